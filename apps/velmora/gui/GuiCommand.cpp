// velmora gui: the graphical print dialog, and its screenshots.
#include "GuiCommand.h"
#include "GraphicalDialog.h"

#include "Command.h"
#include "InstallPaths.h"
#include "JobCommandOptions.h"
#include "PdfModule.h"
#include "PrintDialogWindow.h"
#include "ScreenshotTour.h"

#include "platform/printing/DestinationPpd.h"
#include "platform/printing/PpdCache.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtToolkit.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace velmora::app {
namespace {

constexpr const char* kUsage =
    "usage: velmora gui [FILE...] [-d QUEUE] [--embedded] [--output-dir DIR] [--save-defaults]\n"
    "       velmora gui --job ID [--keep-held]\n"
    "         [--settings FILE] [--bundle DIR] [--ppd FILE] [--lang L] [--screenshot DIR]\n"
    "         [--open-and-close]\n";

struct GuiOptions {
    PrintDialogWindow::Request request;
    std::string settingsFile, screenshots;
    bool openAndClose = false; // start-up checks: the dialog drawn once, then gone
};

// The options velmora print takes too, read by the same parser.
std::optional<GuiOptions> parse(const std::vector<std::string>& arguments) {
    auto shared = parseJobCommand(arguments, JobFrontEnd::Gui);
    if (!shared)
        return std::nullopt;
    GuiOptions options;
    auto& request = options.request;
    request.files = shared->files;
    request.queue = shared->queue;
    request.embeddedOnly = shared->embedded;
    request.outputDir = shared->outputDir;
    request.saveDefaults = shared->saveDefaults;
    request.panel = shared->panel;
    options.settingsFile = shared->panel.settings;
    options.screenshots = shared->screenshots;
    options.openAndClose = shared->openAndClose;
    request.job = shared->job;
    request.keepHeld = shared->keepHeld;
    // Without documents the dialog offers the chosen queue's held jobs beside the sample document.
    request.listHeldJobs = request.files.empty() && !request.job && !request.embeddedOnly;
    if (request.files.empty() && !request.job)
        request.files.push_back(sampleDocument());
    return options;
}

int takeScreenshots(PrintDialogWindow& window, const std::string& folder) {
    ScreenshotTour tour(window, folder);
    auto problems = tour.run();
    for (const auto& file : tour.written())
        std::printf("%s\n", file.c_str());
    for (const auto& problem : problems)
        std::fprintf(stderr, "layout: %s\n", problem.c_str());
    return problems.empty() ? 0 : 1;
}

// Shown and drawn: what a person sees first, without waiting for them.
void showOnce(PrintDialogWindow& window) {
    window.show();
    QApplication::processEvents();
    window.repaint();
}

} // namespace

// Only a display a person can see makes a session graphical: a set QT_QPA_PLATFORM (offscreen,
// say) is no display, and a dialog there would wait for no one.
int runGuiCommand(const std::vector<std::string>& arguments) {
    auto options = parse(arguments);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    auto& request = options->request;
    for (const auto& file : request.files)
        if (std::error_code code; !std::filesystem::is_regular_file(file, code))
            return failCommand("gui",
                               file + (std::filesystem::exists(file, code) ? ": not a regular file"
                                                                           : ": no such file"));
    if (!options->settingsFile.empty()) {
        auto settings = readPrintSettingsFile(options->settingsFile);
        if (!settings)
            return failCommand("gui", settings.error());
        request.settings = std::move(*settings);
    }
    if (!request.panel.language.empty())
        ::setenv("LANGUAGE", request.panel.language.c_str(), 1);
    // Screenshots and the start-up check wait for no one: they need no display.
    bool waitsForAPerson = options->screenshots.empty() && !options->openAndClose;
    if (!displayAvailable()) {
        if (waitsForAPerson)
            return failCommand("gui", "no display (set DISPLAY, or use velmora print --no-gui)");
        if (const char* platform = std::getenv("QT_QPA_PLATFORM"); !platform || !*platform)
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    // A queue named for the dialog: its PPD, as cached by an earlier session, is read on another
    // core while Qt starts and the window is made. The session still asks the scheduler whether
    // it changed, and reads it anew when it did.
    if (!request.queue.empty() && !request.embeddedOnly && !request.job)
        if (auto cached =
                PpdCache::entry(CupsConnection(), request.queue.substr(0, request.queue.find('/'))))
            DestinationPpd::readAhead(cached->path);

    // The preview's PDF reader is loaded on another core as well: it draws the first sheet (a
    // held job's documents are on the server, and have no preview).
    if (!request.job)
        PdfModule::loadAhead();

    static int argc = 1;
    static char name[] = "velmora";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    qt::installApplicationFont();
    qt::QtToolkit::shared().install();

    CupsConnection cups;
    Status connected = request.embeddedOnly ? Status() : cups.connect();
    bool reachable = !request.embeddedOnly && connected;
    if (!request.queue.empty() && !reachable)
        return failCommand("gui", connected.error());
    int status = 0;
    {
        PrintDialogWindow window(request, cups, reachable);
        if (!window.openDestination()) {
            status = failCommand("gui", window.error());
        } else if (options->openAndClose) {
            showOnce(window);
        } else if (!options->screenshots.empty()) {
            status = takeScreenshots(window, options->screenshots);
        } else if (bool accepted = window.exec() == QDialog::Accepted; window.result()) {
            // A held job that was changed, but not as far as asked (not released), is no success.
            std::printf("%s\n", Value(*window.result()).toJson(2).c_str());
            if (!accepted || window.result()->contains("warning"))
                status = failCommand("gui", "not everything was done: " +
                                                window.result()->get("warning").stringValue());
        } else {
            std::fprintf(stderr, "velmora: nothing printed\n");
            status = 1;
        }
    }
    qt::QtToolkit::shared().uninstall();
    return status;
}

} // namespace velmora::app
