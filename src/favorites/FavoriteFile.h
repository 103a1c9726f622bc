#pragma once

#include "platform/foundation/Result.h"
#include "platform/foundation/TextEncoding.h"
#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace velmora {

// A favorite file (".pfj", version 2): version, device type and language code lines, the
// comment line, then option=value pairs each followed by two TABs, in the text encoding of the
// language code.
class FavoriteFile {
public:
    static constexpr int kUnknownVersion = -1;
    static constexpr int kUnknownIotType = 0;
    static constexpr int kUnknownEncoding = -1;
    static constexpr int kCurrentVersion = 2;
    static constexpr const char* kExtension = "pfj";
    // The device type of the press that this driver's favorites are written for.
    static constexpr int kDestinationIotType = 12;

    FavoriteFile() = default;
    // Always an instance; the fields keep their unknown values when the file is missing or
    // not a valid favorite for this device type.
    static FavoriteFile favoriteFileWithContentsOfFile(const std::string& path, int currentIotType);
    // The same for the bytes of a file.
    static FavoriteFile favoriteFileWithBytes(const std::string& bytes, int currentIotType);

    // Writes version 2 for the device type. The text goes in an encoding whose language code
    // reads back exactly; when no such encoding holds the text, nothing is written and an
    // existing file is left as it was. The file is replaced only when complete.
    Status writeToFile(const std::string& path, int iotType) const;

    int version() const { return _version; }
    int iotType() const { return _iotType; }
    int encoding() const { return _encoding; }
    const std::optional<std::string>& comment() const { return _comment; }
    const std::optional<Dictionary>& options() const { return _options; }
    void setComment(const std::optional<std::string>& comment);
    void setOptions(const std::optional<Dictionary>& options);
    bool isValid() const { return _version != kUnknownVersion; }

    // The text encoding a language code is read with: 2 EUC-JP, 3 code page 1252, 4 code page
    // 936, every other code Shift-JIS.
    static TextEncoding readingEncoding(int languageCode);
    // The language code written for an encoding: 3, 4, 2 for code pages 1252, 936 and EUC-JP,
    // 0 for everything else.
    static int languageCodeFor(TextEncoding encoding);

    // Script of the running system (0 Roman, 1 Japanese, 2 Traditional Chinese, 3 Korean, 25
    // Simplified Chinese, -1 another), from the first preferred language; tests may set one.
    static int currentScript();
    static void setScriptOverride(std::optional<int> script);
    // The encoding the table gives a script; null for scripts it does not list.
    static std::optional<TextEncoding> scriptEncoding(int script);

    // Path helpers
    static std::optional<std::string> pathWithName(const std::optional<std::string>& name,
                                                   const std::optional<std::string>& folder);
    static std::string nameWithPath(const std::string& path);
    static std::string stringByAppendingExtension(const std::string& name);
    static bool hasExtension(const std::string& fileName);
    static std::string nameAppendingClassic(const std::string& name);

private:
    int _version = kUnknownVersion;
    int _iotType = kUnknownIotType;
    int _encoding = kUnknownEncoding;
    std::optional<std::string> _comment;
    std::optional<Dictionary> _options;

    bool parse(const std::string& bytes, int currentIotType);
    void reset();
    std::string textToWrite() const;
};

// True when the file exists and carries the invisible flag.
bool isFileInVisible(const std::string& path);

} // namespace velmora
