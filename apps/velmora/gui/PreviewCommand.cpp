#include "PreviewCommand.h"

#include "Command.h"
#include "PanelSession.h"
#include "PrintJob.h"
#include "SheetPreview.h"

#include "platform/foundation/NumberText.h"
#include "platform/foundation/Value.h"
#include "platform/printing/JobDelivery.h"
#include "platform/printing/SheetPlan.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace velmora::app {
namespace {

namespace fs = std::filesystem;

struct PreviewOptions {
    std::string file, output;
    int sheet = 0; // from 1; 0 for every sheet
    int width = 800, height = 1000;
    PanelOptions panel;
};

// The largest picture written: big enough for print-size proofs, small enough for memory.
constexpr int kMostPixels = 8000;

std::optional<int> wholeNumber(const std::string& text, int low, int high) {
    auto number = NumberText::exactInteger(text);
    if (!number || *number < low || *number > high)
        return std::nullopt;
    return static_cast<int>(*number);
}

std::optional<PreviewOptions> parse(const std::vector<std::string>& arguments) {
    PreviewOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        if (argument == "--output" && hasValue) {
            options.output = arguments[++i];
        } else if (argument == "--sheet" && hasValue) {
            auto sheet = wholeNumber(arguments[++i], 1, 1000000);
            if (!sheet)
                return std::nullopt;
            options.sheet = *sheet;
        } else if (argument == "--size" && hasValue) {
            const std::string& size = arguments[++i];
            auto x = size.find('x');
            auto width = x == std::string::npos ? std::nullopt
                                                : wholeNumber(size.substr(0, x), 64, kMostPixels);
            auto height = width ? wholeNumber(size.substr(x + 1), 64, kMostPixels) : std::nullopt;
            if (!height)
                return std::nullopt;
            options.width = *width;
            options.height = *height;
        } else if (!argument.starts_with("-") && options.file.empty()) {
            options.file = argument;
        } else if (parsePanelOption(arguments, i, options.panel) != OptionParse::Taken) {
            return std::nullopt;
        }
    }
    // A preview writes its pictures and nothing else: no favorite is saved from it.
    bool savesSomething = !options.panel.saveFavorite.empty() || options.panel.hasComment ||
                          options.panel.replace || !options.panel.output.empty();
    if (options.file.empty() || options.output.empty() || !panelOptionsComplete(options.panel) ||
        savesSomething)
        return std::nullopt;
    return options;
}

std::string sideFile(int sheet, bool back) {
    return "sheet-" + std::to_string(sheet + 1) + (back ? "-back" : "-front") + ".png";
}

} // namespace

int runPreviewCommand(const std::vector<std::string>& arguments) {
    auto options = parse(arguments);
    if (!options) {
        std::fputs(kPreviewUsage, stderr);
        return 2;
    }
    if (std::error_code code; !fs::is_regular_file(options->file, code))
        return failCommand("preview",
                           options->file + (fs::exists(options->file, code) ? ": not a regular file"
                                                                            : ": no such file"));
    if (std::error_code code; !fs::create_directories(options->output, code) && code)
        return failCommand("preview", "cannot make " + options->output + ": " + code.message());
    if (!options->panel.language.empty())
        ::setenv("LANGUAGE", options->panel.language.c_str(), 1);
    std::optional<Dictionary> restoreFrom;
    if (!options->panel.settings.empty()) {
        auto read = readPrintSettingsFile(options->panel.settings);
        if (!read)
            return failCommand("preview", read.error());
        restoreFrom = std::move(*read);
    }
    Destination destination = embeddedDestination(options->panel);
    PanelSession session(options->panel, destination.host);
    if (!session.run(restoreFrom))
        return failCommand("preview", session.error());
    SheetPlan plan = JobDelivery::sheetPlan(destination, session.dialog().settingsSnapshot());

    // The pictures are drawn, never shown: no display is needed.
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); !platform || !*platform)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "velmora";
    static char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);

    SheetPreview preview(options->file);
    int sheets = plan.sheetCount(preview.pageCount());
    if (options->sheet > sheets)
        return failCommand("preview", "the job has " + std::to_string(sheets) + " sheet" +
                                          (sheets == 1 ? "" : "s") + ", not " +
                                          std::to_string(options->sheet));
    Array written;
    int first = options->sheet ? options->sheet - 1 : 0;
    int last = options->sheet ? options->sheet : sheets;
    for (int sheet = first; sheet < last; ++sheet)
        for (bool back : {false, true}) {
            if (back && !plan.twoSided)
                continue;
            std::string path = (fs::path(options->output) / sideFile(sheet, back)).string();
            QImage image = preview.draw(plan, sheet, back, {options->width, options->height});
            if (!image.save(QString::fromStdString(path), "PNG"))
                return failCommand("preview", "cannot write " + path);
            written.push_back(Value(path));
        }
    Dictionary report{{"document", Value(options->file)},
                      {"pages", Value(static_cast<std::int64_t>(preview.pageCount()))},
                      {"sheets", Value(static_cast<std::int64_t>(sheets))},
                      {"twoSided", Value(plan.twoSided)},
                      {"files", Value(std::move(written))}};
    if (!preview.problem().empty())
        report.set("problem", Value(preview.problem()));
    std::printf("%s\n", Value(std::move(report)).toJson(2).c_str());
    // The layout was written, but not the document's pages: that is no success for a script.
    if (!preview.problem().empty())
        return failCommand("preview", options->file + ": " + preview.problem());
    return 0;
}

} // namespace velmora::app
