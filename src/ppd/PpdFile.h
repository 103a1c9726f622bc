#pragma once

#include "platform/foundation/TextEncoding.h"
#include "platform/foundation/Value.h"

#include <optional>
#include <string>
#include <vector>

struct ppd_file_s;

namespace velmora {

// Encodings a PPD's texts can be in, chosen from its LanguageEncoding and LanguageVersion.
enum class PpdEncoding { ASCII, UTF8, MacRoman, MacJapanese, MacSimplifiedChinese };

// A read-only view of one PPD file parsed by libcups: options, choices, their texts, UI types,
// defaults, marked choices and the product string.
//
// libcups hands option, choice and group texts over already converted to UTF-8 (its record
// says "UTF-8"); those are read as UTF-8 and never decoded a second time. The Product stays as
// it stands in the file, so it is decoded with the encoding the file declares.
class PpdFile {
public:
    using Handle = ppd_file_s*;

    // Wraps a handle the print system opened; it is borrowed and never closed here. A null
    // handle gives an empty view.
    explicit PpdFile(Handle borrowed);
    // Opens a PPD file; null when it is missing or libcups cannot parse it.
    // Null when libcups cannot open the file; error then says why ("line 12: Missing value").
    static std::unique_ptr<PpdFile> openFile(const std::string& path, std::string* error = nullptr);
    virtual ~PpdFile();
    PpdFile(const PpdFile&) = delete;
    PpdFile& operator=(const PpdFile&) = delete;

    Handle handle() const { return _ppdFile; }
    PpdEncoding stringEncoding() const { return _stringEncoding; }
    PpdEncoding declaredEncoding() const { return _declaredEncoding; }
    static const char* encodingName(PpdEncoding encoding);
    static PpdEncoding encodingFor(const std::string& languageEncoding,
                                   const std::string& languageVersion);

    bool isExists(const std::string& option) const;
    bool isExists(const std::string& option, const std::string& choice) const;
    // Choice keywords in PPD order ("xxx" for one that cannot be decoded); null when the
    // option is missing.
    std::optional<std::vector<std::string>> optionKeywords(const std::string& option) const;
    // Texts parallel to optionKeywords (the keyword where a text cannot be decoded).
    std::optional<std::vector<std::string>> optionAliases(const std::string& option) const;
    std::optional<std::string> optionAlias(const std::string& option,
                                           const std::string& choice) const;
    // 0 Boolean, 1 pick-one, 2 pick-many; 0 also for a missing option.
    int uiType(const std::string& option) const;
    // A Boolean for Boolean options (true only for "True"), else the choice keyword.
    std::optional<Value> defaultOptionChoice(const std::string& option) const;
    std::optional<std::string> mainAlias(const std::string& option) const;
    std::optional<std::string> product() const;
    int markOption(const std::string& option, const std::string& choice);
    std::optional<Value> findMarkedChoice(const std::string& option) const;
    // Option keywords in PPD order: each group's options, then those of its sub-groups.
    std::vector<std::string> optionKeywordsInOrder() const;
    // Every option of every group and sub-group → its default, typed as defaultOptionChoice.
    Dictionary defaultValueDictionary() const;

    // Keywords longer than 40 characters or not plain ASCII match nothing.
    static bool isUsableKeyword(const std::string& keyword);

protected:
    PpdFile(Handle handle, bool owned);

private:
    Handle _ppdFile = nullptr;
    PpdEncoding _stringEncoding = PpdEncoding::ASCII;
    PpdEncoding _declaredEncoding = PpdEncoding::ASCII;
    bool _isOpendBySelf = false;

    void setEncodings();
    std::optional<std::string> decode(const char* bytes, PpdEncoding encoding) const;
    std::optional<std::string> text(const char* bytes) const {
        return decode(bytes, _stringEncoding);
    }
    struct OptionRecord;
    const void* findOption(const std::string& option) const;
};

// The PPD view the rest of the program creates; it adds built-in descriptions of options that
// the input-manager translation writes or removes.
class PpdFileExt : public PpdFile {
public:
    using PpdFile::PpdFile;
    static std::unique_ptr<PpdFileExt> openFile(const std::string& path,
                                                std::string* error = nullptr);

    // "uiType", "defaultValue" and, for fixed lists, "options" of the five built-in options.
    static const Dictionary& extendedOptionDescriptions();
    // The localized text whose key is "option:choice".
    static std::string localizedOptionKeyword(const std::string& option, const std::string& choice);

private:
    friend class PpdFile;
    PpdFileExt(Handle handle, bool owned) : PpdFile(handle, owned) {}
    Dictionary _extOptions;
};

} // namespace velmora
