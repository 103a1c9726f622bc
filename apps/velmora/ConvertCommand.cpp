#include "Command.h"
#include "InstallPaths.h"

#include "common/EncryptionBridge.h"
#include "common/Localization.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/JsonReader.h"
#include "ppd/PrintOptionConverter.h"

#include <cstdio>
#include <iostream>
#include <iterator>

namespace velmora::app {
namespace {

struct ConvertOptions {
    std::string to;
    std::string table;
    std::string bundle = pluginDirectory();
};

bool parse(const std::vector<std::string>& arguments, ConvertOptions& options) {
    for (std::size_t i = 0; i + 1 < arguments.size(); i += 2) {
        const std::string& flag = arguments[i];
        if (flag == "--to")
            options.to = arguments[i + 1];
        else if (flag == "--table")
            options.table = arguments[i + 1];
        else if (flag == "--bundle")
            options.bundle = arguments[i + 1];
        else
            return false;
    }
    static const char* const directions[] = {"internal", "canonical", "input-manager",
                                             "ppd-keyword"};
    return arguments.size() % 2 == 0 && std::any_of(std::begin(directions), std::end(directions),
                                                    [&](const char* d) { return options.to == d; });
}

} // namespace

int runConvertCommand(const std::vector<std::string>& arguments) {
    ConvertOptions options;
    if (!parse(arguments, options)) {
        std::fprintf(stderr,
                     "usage: velmora convert --to internal|canonical|input-manager|ppd-keyword "
                     "[--table FILE] [--bundle DIR] < options.json\n");
        return 2;
    }
    std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    std::string error;
    auto json = JsonReader::parse(input, &error);
    if (!json || !json->dictionary())
        return failCommand("convert", "standard input must hold a JSON object" +
                                          (error.empty() ? std::string() : ": " + error));
    Dictionary dictionary = *json->dictionary();
    auto bundle = Bundle::open(options.bundle);
    if (bundle)
        SetNSBundleForPrincipalBundle(bundle);
    auto& converter = PrintOptionConverter::sharedInstance();
    if (!options.table.empty())
        converter.setConvertTableLocator(
            [table = options.table] { return std::optional<std::string>(table); });

    if (options.to == "internal" || options.to == "canonical") {
        // Passwords go through the codec library of the plug-in bundle, as in the panel.
        if (bundle)
            loadEncDec(bundle->resourcePath());
        if (options.to == "internal")
            PrintOptionConverter::convertToInternalPpdKeyword(dictionary);
        else
            PrintOptionConverter::convertToCanonicalPpdKeyword(dictionary, true);
        unloadEncDec();
    } else {
        if (!converter.convertTable())
            return failCommand("convert", "no convert table (give --table FILE)");
        dictionary = options.to == "input-manager" ? converter.toInputMgrFormat(&dictionary)
                                                   : converter.toPpdKeywordFormat(&dictionary);
    }
    std::printf("%s\n", Value(std::move(dictionary)).toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
