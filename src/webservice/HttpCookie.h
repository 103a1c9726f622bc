#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// A cookie a print server set, with what decides whether it is sent back: when it expires and
// which host and path it was set for.
struct HttpCookie {
    std::string name;
    std::string value;
    std::optional<std::int64_t> expiresAt = std::nullopt; // seconds since 1970; none: session
    // Two cookies are the same cookie when name and value agree, whatever their attributes.
    bool operator==(const HttpCookie& other) const {
        return name == other.name && value == other.value;
    }

    bool expired(std::int64_t now) const { return expiresAt && *expiresAt <= now; }

    // The cookies that "Set-Cookie" header lines of an answer from host set for requests to
    // the root path, as a browser keeps them: a cookie for another domain or another path, and
    // one that has already expired (the way a server deletes a cookie), is not taken.
    static std::vector<HttpCookie> setByAnswer(const std::vector<std::string>& headerLines,
                                               const std::string& host, std::int64_t now);
    // The "Cookie" header value of the cookies that have not expired; empty when none.
    static std::string headerValue(const std::vector<HttpCookie>& cookies, std::int64_t now);
};

} // namespace velmora
