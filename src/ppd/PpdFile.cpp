#include "ppd/PpdFile.h"

#include "common/Localization.h"
#include "platform/foundation/FileSystem.h"

// libcups marks its PPD API deprecated, but a queue's PPD can only be read through it.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace velmora {
namespace {

constexpr std::size_t kMaxKeyword = PPD_MAX_NAME - 1; // 40 characters

std::optional<TextEncoding> textEncodingOf(PpdEncoding encoding) {
    switch (encoding) {
    case PpdEncoding::UTF8: return TextEncoding::UTF8;
    case PpdEncoding::MacRoman: return TextEncoding::MacRoman;
    case PpdEncoding::MacJapanese: return TextEncoding::ShiftJIS;
    case PpdEncoding::MacSimplifiedChinese: return TextEncoding::CP936;
    case PpdEncoding::ASCII: return std::nullopt;
    }
    return std::nullopt;
}

const ppd_option_t* asOption(const void* p) {
    return static_cast<const ppd_option_t*>(p);
}

} // namespace

PpdFile::PpdFile(Handle borrowed) : PpdFile(borrowed, false) {}

PpdFile::PpdFile(Handle handle, bool owned) : _ppdFile(handle), _isOpendBySelf(owned) {
    if (_ppdFile)
        setEncodings();
}

PpdFile::~PpdFile() {
    if (_ppdFile && _isOpendBySelf)
        ppdClose(_ppdFile);
}

namespace {

// Opens the file through libcups; on failure error says why, with libcups's own reason and the
// line at which it gave up, as CUPS's own tools report it.
ppd_file_t* openPpd(const std::string& path, std::string* error) {
    auto fail = [error](std::string reason) -> ppd_file_t* {
        if (error)
            *error = std::move(reason);
        return nullptr;
    };
    if (!FileSystem::exists(path))
        return fail("no such file");
    if (FileSystem::isFolder(path))
        return fail("a folder, not a PPD file");
    if (!FileSystem::isRegularFile(path))
        return fail("not a regular file");
    ppd_file_t* ppd = ppdOpenFile(path.c_str());
    if (ppd)
        return ppd;
    int line = 0;
    ppd_status_t status = ppdLastError(&line);
    return fail("line " + std::to_string(line) + ": " + ppdErrorString(status));
}

} // namespace

std::unique_ptr<PpdFile> PpdFile::openFile(const std::string& path, std::string* error) {
    ppd_file_t* ppd = openPpd(path, error);
    return ppd ? std::unique_ptr<PpdFile>(new PpdFile(ppd, true)) : nullptr;
}

std::unique_ptr<PpdFileExt> PpdFileExt::openFile(const std::string& path, std::string* error) {
    ppd_file_t* ppd = openPpd(path, error);
    return ppd ? std::unique_ptr<PpdFileExt>(new PpdFileExt(ppd, true)) : nullptr;
}

PpdEncoding PpdFile::encodingFor(const std::string& languageEncoding,
                                 const std::string& languageVersion) {
    if (languageEncoding == "UTF-8")
        return PpdEncoding::UTF8;
    if (languageEncoding == "ISOLatin1")
        return PpdEncoding::MacRoman;
    if (languageEncoding == "JIS83-RKSJ")
        return PpdEncoding::MacJapanese;
    if (languageEncoding == "None" && languageVersion == "Chinese")
        return PpdEncoding::MacSimplifiedChinese;
    return PpdEncoding::ASCII;
}

const char* PpdFile::encodingName(PpdEncoding encoding) {
    switch (encoding) {
    case PpdEncoding::UTF8: return "UTF-8";
    case PpdEncoding::MacRoman: return "MacRoman";
    case PpdEncoding::MacJapanese: return "MacJapanese";
    case PpdEncoding::MacSimplifiedChinese: return "MacSimplifiedChinese";
    case PpdEncoding::ASCII: return "ASCII";
    }
    return "ASCII";
}

// The encodings libcups converts to UTF-8 while parsing; texts of any other declared encoding
// keep the file's bytes.
static bool libcupsConvertsToUtf8(const std::string& declared) {
    for (const char* name :
         {"ISOLatin1", "ISOLatin2", "ISOLatin5", "JIS83-RKSJ", "MacStandard", "WindowsANSI"})
        if (::strcasecmp(declared.c_str(), name) == 0)
            return true;
    return false;
}

void PpdFile::setEncodings() {
    std::string version = _ppdFile->lang_version ? _ppdFile->lang_version : "";
    ppd_attr_t* attr = ppdFindAttr(_ppdFile, "LanguageEncoding", nullptr);
    std::string declared = attr && attr->value ? attr->value : "";
    _declaredEncoding = encodingFor(declared, version);
    _stringEncoding = libcupsConvertsToUtf8(declared) ? PpdEncoding::UTF8 : _declaredEncoding;
}

std::optional<std::string> PpdFile::decode(const char* bytes, PpdEncoding encoding) const {
    if (!bytes)
        return std::nullopt;
    std::string_view raw(bytes);
    if (auto text = textEncodingOf(encoding))
        return TextEncodings::toUtf8(raw, *text);
    if (std::any_of(raw.begin(), raw.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return std::nullopt; // not plain ASCII
    return std::string(raw);
}

bool PpdFile::isUsableKeyword(const std::string& keyword) {
    return keyword.size() <= kMaxKeyword && std::all_of(keyword.begin(), keyword.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x80;
           });
}

const void* PpdFile::findOption(const std::string& option) const {
    if (!_ppdFile || !isUsableKeyword(option))
        return nullptr;
    return ppdFindOption(_ppdFile, option.c_str());
}

bool PpdFile::isExists(const std::string& option) const {
    return findOption(option) != nullptr;
}

bool PpdFile::isExists(const std::string& option, const std::string& choice) const {
    const ppd_option_t* o = asOption(findOption(option));
    if (!o || !isUsableKeyword(choice))
        return false;
    bool found = false;
    for (int i = 0; i < o->num_choices; ++i)
        found = found || std::strcmp(o->choices[i].choice, choice.c_str()) == 0;
    return found;
}

std::optional<std::vector<std::string>> PpdFile::optionKeywords(const std::string& option) const {
    const ppd_option_t* o = asOption(findOption(option));
    if (!o)
        return std::nullopt;
    std::vector<std::string> keywords;
    for (int i = 0; i < o->num_choices; ++i)
        keywords.push_back(text(o->choices[i].choice).value_or("xxx"));
    return keywords;
}

std::optional<std::vector<std::string>> PpdFile::optionAliases(const std::string& option) const {
    const ppd_option_t* o = asOption(findOption(option));
    if (!o)
        return std::nullopt;
    std::vector<std::string> aliases;
    for (int i = 0; i < o->num_choices; ++i)
        aliases.push_back(text(o->choices[i].text).value_or(o->choices[i].choice));
    return aliases;
}

std::optional<std::string> PpdFile::optionAlias(const std::string& option,
                                                const std::string& choice) const {
    auto keywords = optionKeywords(option);
    auto aliases = optionAliases(option);
    if (!keywords || !aliases)
        return std::nullopt;
    auto it = std::find(keywords->begin(), keywords->end(), choice);
    if (it == keywords->end())
        return std::nullopt;
    return (*aliases)[static_cast<std::size_t>(it - keywords->begin())];
}

int PpdFile::uiType(const std::string& option) const {
    const ppd_option_t* o = asOption(findOption(option));
    return o ? static_cast<int>(o->ui) : 0;
}

std::optional<Value> PpdFile::defaultOptionChoice(const std::string& option) const {
    const ppd_option_t* o = asOption(findOption(option));
    if (!o)
        return std::nullopt;
    if (o->ui == PPD_UI_BOOLEAN)
        return Value(std::strcmp(o->defchoice, "True") == 0);
    auto choice = text(o->defchoice);
    return choice ? std::optional<Value>(Value(*choice)) : std::nullopt;
}

std::optional<std::string> PpdFile::mainAlias(const std::string& option) const {
    const ppd_option_t* o = asOption(findOption(option));
    return o ? text(o->text) : std::nullopt;
}

std::optional<std::string> PpdFile::product() const {
    return _ppdFile ? decode(_ppdFile->product, _declaredEncoding) : std::nullopt;
}

int PpdFile::markOption(const std::string& option, const std::string& choice) {
    if (!_ppdFile || !isUsableKeyword(option) || !isUsableKeyword(choice))
        return 0;
    return ppdMarkOption(_ppdFile, option.c_str(), choice.c_str());
}

std::optional<Value> PpdFile::findMarkedChoice(const std::string& option) const {
    if (!_ppdFile || !isUsableKeyword(option))
        return std::nullopt;
    ppd_choice_t* marked = ppdFindMarkedChoice(_ppdFile, option.c_str());
    if (!marked)
        return std::nullopt;
    if (marked->option && marked->option->ui == PPD_UI_BOOLEAN)
        return Value(std::strcmp(marked->choice, "True") == 0);
    auto choice = text(marked->choice);
    return choice ? std::optional<Value>(Value(*choice)) : std::nullopt;
}

std::vector<std::string> PpdFile::optionKeywordsInOrder() const {
    std::vector<std::string> keywords;
    if (!_ppdFile)
        return keywords;
    auto addOptions = [&](const ppd_group_t& group) {
        for (int i = 0; i < group.num_options; ++i)
            keywords.emplace_back(group.options[i].keyword);
    };
    for (int g = 0; g < _ppdFile->num_groups; ++g) {
        addOptions(_ppdFile->groups[g]);
        for (int s = 0; s < _ppdFile->groups[g].num_subgroups; ++s)
            addOptions(_ppdFile->groups[g].subgroups[s]);
    }
    return keywords;
}

Dictionary PpdFile::defaultValueDictionary() const {
    Dictionary defaults;
    if (!_ppdFile)
        return defaults;
    auto addOptions = [&](const ppd_group_t& group) {
        for (int i = 0; i < group.num_options; ++i) {
            const ppd_option_t& o = group.options[i];
            Value value = o.ui == PPD_UI_BOOLEAN ? Value(std::strcmp(o.defchoice, "True") == 0)
                                                 : Value(text(o.defchoice).value_or(""));
            defaults.set(o.keyword, std::move(value));
        }
    };
    for (int g = 0; g < _ppdFile->num_groups; ++g) {
        const ppd_group_t& group = _ppdFile->groups[g];
        addOptions(group);
        for (int s = 0; s < group.num_subgroups; ++s)
            addOptions(group.subgroups[s]);
    }
    return defaults;
}

const Dictionary& PpdFileExt::extendedOptionDescriptions() {
    auto list = [](std::initializer_list<const char*> items) {
        Array array;
        for (const char* item : items)
            array.push_back(Value(item));
        return Value(std::move(array));
    };
    static const Dictionary descriptions{
        {"ZRSRGBAutoType", Dictionary{{"uiType", 1},
                                      {"defaultValue", "sRGBAutoAdjust"},
                                      {"options", list({"sRGBAutoAdjust", "sRGBAutoPerson",
                                                        "sRGBAutoScene", "sRGBAutoOnSitePhoto"})}}},
        {"ZRSRGBAuto", Dictionary{{"uiType", 0}, {"defaultValue", "False"}}},
        {"ZRSaveFile_DPI", Dictionary{{"uiType", 1}, {"defaultValue", "600"}}},
        {"ZRSaveFile_FileType", Dictionary{{"uiType", 1},
                                           {"defaultValue", "None"},
                                           {"options", list({"None", "TIFF", "PDF"})}}},
        {"ZRRIPMode",
         Dictionary{{"uiType", 1}, {"defaultValue", "CPSI"}, {"options", list({"CPSI", "APPE"})}}},
    };
    return descriptions;
}

std::string PpdFileExt::localizedOptionKeyword(const std::string& option,
                                               const std::string& choice) {
    return BSLocalizedStringOrKey(option + ":" + choice);
}

} // namespace velmora
