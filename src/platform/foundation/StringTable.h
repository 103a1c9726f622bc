#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

// A localized string table: key → text.
class StringTable {
public:
    // Reads the classic form ("key" = "value"; with /* */ and // comments, C escapes and
    // \Uxxxx, in UTF-8 or UTF-16 with a byte-order mark) or a property list of strings.
    // Null, with a reason naming the line, when the text is malformed.
    static std::optional<StringTable> parse(std::string_view bytes, std::string* error = nullptr);
    static std::optional<StringTable> readFile(const std::string& path,
                                               std::string* error = nullptr);

    const std::string* find(std::string_view key) const;
    std::size_t size() const { return _strings.size(); }
    void set(std::string key, std::string value) { _strings[std::move(key)] = std::move(value); }

private:
    std::unordered_map<std::string, std::string> _strings;
};

} // namespace velmora
