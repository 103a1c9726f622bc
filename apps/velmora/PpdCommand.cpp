#include "Command.h"

#include "ppd/PpdDataBlock.h"
#include "ppd/PpdFile.h"

#include <cstdio>

namespace velmora::app {
namespace {

Value optionJson(const PpdFile& ppd, const std::string& keyword) {
    Array choices;
    auto keywords = ppd.optionKeywords(keyword).value_or(std::vector<std::string>{});
    auto aliases = ppd.optionAliases(keyword).value_or(std::vector<std::string>{});
    for (std::size_t i = 0; i < keywords.size(); ++i)
        choices.push_back(Value(Dictionary{{"keyword", keywords[i]}, {"text", aliases[i]}}));
    auto text = ppd.mainAlias(keyword);
    auto defaultChoice = ppd.defaultOptionChoice(keyword);
    return Value(Dictionary{{"keyword", keyword},
                            {"text", text ? Value(*text) : Value()},
                            {"uiType", ppd.uiType(keyword)},
                            {"default", defaultChoice ? *defaultChoice : Value()},
                            {"choices", std::move(choices)}});
}

std::unique_ptr<PpdFileExt> openOrComplain(const std::string& path, const char* command) {
    std::string reason;
    auto ppd = PpdFileExt::openFile(path, &reason);
    if (!ppd)
        reportCommandProblem(command, path + ": not a PPD file that can be read (" + reason + ")");
    return ppd;
}

} // namespace

int runPpdCommand(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: velmora ppd FILE\n");
        return 2;
    }
    auto ppd = openOrComplain(arguments[0], "ppd");
    if (!ppd)
        return 1;
    Array options;
    for (const auto& keyword : ppd->optionKeywordsInOrder())
        options.push_back(optionJson(*ppd, keyword));
    auto product = ppd->product();
    Value output(Dictionary{{"product", product ? Value(*product) : Value()},
                            {"encoding", PpdFile::encodingName(ppd->declaredEncoding())},
                            {"options", std::move(options)}});
    std::printf("%s\n", output.toJson(2).c_str());
    return 0;
}

int runPpdListCommand(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: velmora ppd-list FILE NAME\n");
        return 2;
    }
    auto ppd = openOrComplain(arguments[0], "ppd-list");
    if (!ppd)
        return 1;
    auto list = PpdDataBlock::readList(ppd->handle(), arguments[1]);
    if (!list) {
        std::printf("null\n");
        return failCommand("ppd-list", arguments[0] + ": no list \"" + arguments[1] +
                                           "\", or it cannot be decoded");
    }
    std::printf("%s\n", list->toJson(2).c_str());
    return 0;
}

} // namespace velmora::app
