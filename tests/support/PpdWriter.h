#pragma once

#include "support/TempDir.h"

#include <string>
#include <vector>

namespace velmora::test {

// Writes a small but complete PPD file: the header with the given language encoding and
// version, then the body (option and attribute lines) as given. Bytes are written as they
// stand, so a body may carry any legacy encoding.
inline std::string writePpd(const TempDir& dir, const std::string& name,
                            const std::string& encoding, const std::string& version,
                            const std::string& product, const std::string& body) {
    std::string text = "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                       "*LanguageVersion: " +
                       version + "\n*LanguageEncoding: " + encoding +
                       "\n"
                       "*PCFileName: \"VELMORA.PPD\"\n*Manufacturer: \"Velmora\"\n"
                       "*Product: \"(" +
                       product +
                       ")\"\n*ModelName: \"Velmora Press\"\n"
                       "*ShortNickName: \"Velmora Press\"\n*NickName: \"Velmora Press\"\n" +
                       body;
    return dir.write(name, text);
}

// A pick-one option block.
inline std::string pickOne(const std::string& keyword, const std::string& text,
                           const std::string& defaultChoice,
                           const std::vector<std::pair<std::string, std::string>>& choices) {
    std::string block = "*OpenUI *" + keyword + "/" + text + ": PickOne\n*Default" + keyword +
                        ": " + defaultChoice + "\n";
    for (const auto& [choice, choiceText] : choices)
        block += "*" + keyword + " " + choice + "/" + choiceText + ": \"\"\n";
    return block + "*CloseUI: *" + keyword + "\n";
}

inline std::string boolean(const std::string& keyword, const std::string& defaultChoice) {
    return "*OpenUI *" + keyword + "/" + keyword + ": Boolean\n*Default" + keyword + ": " +
           defaultChoice + "\n*" + keyword + " True/On: \"\"\n*" + keyword +
           " False/Off: \"\"\n*CloseUI: *" + keyword + "\n";
}

} // namespace velmora::test
