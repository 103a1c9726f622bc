#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace velmora::qt {
class QtWindow;
}

namespace velmora::app {

class PrintDialogWindow;

// Opens every window of a print dialog session the way a person would (the buttons on the
// panel and in the detailed settings window), renders each one to a PNG file and collects what
// would look untidy in it: clipped texts, widgets outside their parent, overlapping siblings.
class ScreenshotTour {
public:
    ScreenshotTour(PrintDialogWindow& dialog, std::string folder);

    // Every problem, each starting with the name of the window it was found in.
    std::vector<std::string> run();
    // The files written, in the order the windows were opened.
    const std::vector<std::string>& written() const { return _written; }

private:
    using Step = std::function<void(qt::QtWindow&)>;

    PrintDialogWindow& _dialog;
    std::string _folder;
    std::vector<std::string> _written;
    std::vector<std::string> _problems;
    std::vector<Step> _steps;

    void capture(QWidget& widget, const std::string& name);
    // Clicks the panel's button (through its widget); each window that opens takes the next step.
    void openFromPanel(const void* button, std::vector<Step> steps);
    void openByPanel(const std::function<void()>& open, std::vector<Step> steps);
    Step captureAndClose(const std::string& name);
    Step detailedSettings();
};

} // namespace velmora::app
