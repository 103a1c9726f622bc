#include "webservice/HttpCookie.h"

#include "platform/foundation/NumberText.h"
#include "platform/foundation/TextTrim.h"

#include <curl/curl.h>

#include <algorithm>
#include <arpa/inet.h>
#include <strings.h>

namespace velmora {
namespace {

std::string trim(std::string_view text) {
    return std::string(trimWhiteSpace(text));
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

bool isInteger(const std::string& text) {
    std::size_t digits = text.starts_with('-') ? 1 : 0;
    return text.size() > digits &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool isAddress(const std::string& host) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
           inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

// A domain attribute matches the host itself or, for a name, a host below it.
bool domainMatches(std::string domain, const std::string& host) {
    domain = lowered(domain);
    if (domain.starts_with('.'))
        domain.erase(0, 1);
    if (domain.empty() || domain == host)
        return true;
    return !isAddress(host) && host.size() > domain.size() && host.ends_with("." + domain);
}

// Requests go to the root path, so only a cookie for the root path is ever sent back.
bool pathMatchesRoot(const std::string& path) {
    return path.empty() || path == "/";
}

std::optional<HttpCookie> cookieOf(const std::string& line, const std::string& host,
                                   std::int64_t now) {
    auto parts = split(line, ';');
    std::string pair = trim(parts.front());
    std::size_t equals = pair.find('=');
    if (equals == std::string::npos || equals == 0)
        return std::nullopt;
    HttpCookie cookie{trim(pair.substr(0, equals)), trim(pair.substr(equals + 1))};
    std::optional<std::int64_t> maxAge, expires;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::string attribute = trim(parts[i]);
        std::size_t eq = attribute.find('=');
        std::string key = lowered(trim(attribute.substr(0, eq)));
        std::string value = eq == std::string::npos ? "" : trim(attribute.substr(eq + 1));
        if (key == "max-age" && isInteger(value)) // a malformed Max-Age is ignored
            maxAge = NumberText::leadingInteger(value);
        else if (key == "expires")
            if (time_t when = curl_getdate(value.c_str(), nullptr); when != -1)
                expires = when;
        if (key == "domain" && !domainMatches(value, host))
            return std::nullopt;
        if (key == "path" && !pathMatchesRoot(value))
            return std::nullopt;
    }
    // Max-Age wins over Expires; a time now or past deletes the cookie.
    if (maxAge)
        cookie.expiresAt = *maxAge <= 0 ? now : now + std::min<std::int64_t>(*maxAge, INT32_MAX);
    else if (expires)
        cookie.expiresAt = *expires;
    if (cookie.expired(now))
        return std::nullopt;
    return cookie;
}

} // namespace

std::vector<HttpCookie> HttpCookie::setByAnswer(const std::vector<std::string>& headerLines,
                                                const std::string& host, std::int64_t now) {
    std::string plainHost = lowered(host);
    if (plainHost.starts_with('[') && plainHost.ends_with(']'))
        plainHost = plainHost.substr(1, plainHost.size() - 2);
    std::vector<HttpCookie> cookies;
    for (const auto& line : headerLines) {
        if (::strncasecmp(line.c_str(), "Set-Cookie:", 11) != 0)
            continue;
        auto cookie = cookieOf(line.substr(11), plainHost, now);
        if (!cookie)
            continue;
        // A later cookie of the same name replaces the earlier one.
        std::erase_if(cookies, [&](const HttpCookie& c) { return c.name == cookie->name; });
        cookies.push_back(std::move(*cookie));
    }
    return cookies;
}

std::string HttpCookie::headerValue(const std::vector<HttpCookie>& cookies, std::int64_t now) {
    std::string header;
    for (const auto& cookie : cookies) {
        if (cookie.expired(now))
            continue;
        header += (header.empty() ? "" : "; ") + cookie.name + "=" + cookie.value;
    }
    return header;
}

} // namespace velmora
