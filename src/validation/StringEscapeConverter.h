#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora {

// Escapes text for storage by ordered rules (source text → escaped text) and turns it back.
// At each position the first matching rule wins; otherwise one UTF-16 code unit is copied.
class StringEscapeConverter {
public:
    static StringEscapeConverter emptyConverter() { return {}; }
    // The standard rules; the order of the backslash and yen rules depends on whether the user
    // prefers Japanese (two backslashes then read back as a yen sign, else as a backslash).
    static StringEscapeConverter standardConverter(bool japanesePreferred);

    void replace(const std::string& source, const std::string& escaped);
    std::string escape(const std::string& text) const;
    std::string unEscape(const std::string& text) const;
    const std::vector<std::pair<std::string, std::string>>& replacePattern() const {
        return _rules;
    }

private:
    std::vector<std::pair<std::string, std::string>> _rules;
    std::string convert(const std::string& text, bool escaping) const;
};

} // namespace velmora
