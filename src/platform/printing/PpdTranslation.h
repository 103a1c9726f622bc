#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>

struct ppd_file_s;

namespace velmora {

// A PPD's own translations for one language ("*ja.Translation Option/Text: """ for groups and
// options, "*ja.Option Choice/Text: """ for choices), put in place of the texts libcups read, as
// a print dialog shows a queue's options to a person of that language.
//
// libcups keeps only the translations of the language of the process's locale, fixed at its
// first use, and drops the others while parsing; the dialog's language is the person's
// preferred one, which may be another. So the lines are read from the file's text here.
class PpdTranslation {
public:
    // PPD files are small; a larger file is not read.
    static constexpr std::size_t kMaxFileSize = 16u << 20;

    // language: "ja", "ja-JP" or "ja_JP" (an encoding or modifier after "." or "@" is ignored);
    // a region's line wins over the language's. English, or a language named with other
    // characters, has no translations. Lines whose text is not UTF-8 are left out.
    static PpdTranslation read(std::string_view ppdText, const std::string& language);
    static PpdTranslation readFile(const std::string& path, const std::string& language);

    // The translated text of a group or option ("Translation", its keyword) or of a choice (the
    // option's keyword, the choice); null when the PPD gives none.
    const std::string* find(const std::string& keyword, const std::string& spec) const;
    std::size_t size() const { return _texts.size(); }

    // Puts the translations in the place of the group, option and choice texts; a translation
    // that does not fit libcups's text field whole keeps the original text. Returns how many
    // texts it replaced.
    int applyTo(ppd_file_s* ppd) const;

private:
    std::map<std::pair<std::string, std::string>, std::string> _texts;
};

} // namespace velmora
