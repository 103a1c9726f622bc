#pragma once

#include "AlertRecorder.h"
#include "InstallPaths.h"

#include "platform/foundation/Value.h"
#include "platform/printing/InMemoryPrintDialog.h"
#include "platform/ui/Application.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {
class LornPDEByCocoa;
namespace ui {
class Button;
class TabView;
class Window;
} // namespace ui
} // namespace velmora

namespace velmora::app {

// A summary (title → value) as the JSON the commands print: [{"title", "value"}, ...].
Array summaryEntries(const std::optional<Dictionary>& summary);

// What a person does in one print dialog session, from the command line.
struct PanelOptions {
    std::string bundle = pluginDirectory();
    std::string ppd = queuePpd();
    std::string settings, favorite, jobName, saveFavorite, comment, output, language;
    bool hasJobName = false, hasComment = false, answerYes = true, hasAnswer = false,
         replace = false;
    std::vector<std::pair<std::string, std::string>> sets;
};

inline constexpr const char* kPanelOptionsUsage =
    "[--bundle DIR] [--ppd FILE] [--settings FILE] [--favorite NAME]\n"
    "         [--job-name TEXT] [--set KEY=VALUE]... [--answer yes|no]\n"
    "         [--save-favorite NAME [--comment C] [--replace]] [--output FILE] [--lang L]";

enum class OptionParse { Taken, NotMine, Bad };
// Takes the panel option at arguments[i] (and its value, moving i on).
OptionParse parsePanelOption(const std::vector<std::string>& arguments, std::size_t& i,
                             PanelOptions& options);
// Checks what only makes sense together; false when the options do not fit.
bool panelOptionsComplete(const PanelOptions& options);

// One session: the host, the panel in it, and a person's steps for each window it opens.
class PanelSession {
public:
    PanelSession(const PanelOptions& options, InMemoryPrintDialog::Options host);
    ~PanelSession();
    PanelSession(const PanelSession&) = delete;
    PanelSession& operator=(const PanelSession&) = delete;

    // Restores (from the settings snapshot when given), shows, acts, saves. False with error().
    bool run(const std::optional<Dictionary>& restoreFrom);
    const std::string& error() const { return _error; }
    // {"panel", "controls", "favorite", "jobName", "alerts", "summary", "printSettings"}
    Dictionary report();
    InMemoryPrintDialog& dialog() { return _dialog; }
    std::shared_ptr<LornPDEByCocoa> panel() const { return _panel; }

private:
    const PanelOptions& _options;
    AlertRecorder _alerts;
    InMemoryPrintDialog _dialog;
    std::shared_ptr<LornPDEByCocoa> _panel;
    std::function<void(ui::Window&)> _steps;
    std::string _error;
    ui::Application::Interaction _oldInteraction;

    std::string lastAlert() const;
    bool click(ui::Button& button, std::function<void(ui::Window&)> steps);
    bool perform(const std::function<void()>& action, std::function<void(ui::Window&)> steps);
    bool chooseFavorite();
    bool nameJob();
    bool setOnPanel();
    bool isPanelKey(const std::string& key) const;
    bool setInDetailedSettings();
    bool setInTab(ui::TabView& tabs, const std::string& key, const std::string& value,
                  ui::Window& window);
    bool saveFavorite();
    Array controlsReport();
};

} // namespace velmora::app
