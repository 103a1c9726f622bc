#include "JobCommandOptions.h"

#include <charconv>

namespace velmora::app {
namespace {

// A job id as the scheduler gives them: a positive decimal number; 0 for anything else.
int jobId(const std::string& text) {
    int id = 0;
    auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), id);
    return problem == std::errc() && end == text.data() + text.size() && id > 0 ? id : 0;
}

} // namespace

bool onlyDialogOptions(const PanelOptions& panel) {
    return panel.sets.empty() && panel.favorite.empty() && !panel.hasJobName &&
           panel.saveFavorite.empty() && !panel.hasComment && panel.output.empty() &&
           !panel.hasAnswer && !panel.replace;
}

std::optional<JobCommandOptions> parseJobCommand(const std::vector<std::string>& arguments,
                                                 JobFrontEnd frontEnd) {
    JobCommandOptions options;
    bool gui = frontEnd == JobFrontEnd::Gui;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        auto panel = parsePanelOption(arguments, i, options.panel);
        if (panel == OptionParse::Bad)
            return std::nullopt;
        if (panel == OptionParse::Taken)
            continue;
        if (arg == "-d" && hasValue)
            options.queue = arguments[++i];
        else if (arg == "--output-dir" && hasValue)
            options.outputDir = arguments[++i];
        else if (arg == "--save-defaults")
            options.saveDefaults = true;
        else if (arg == "--embedded")
            options.embedded = true;
        else if (arg == "--job" && hasValue) {
            if (!(options.job = jobId(arguments[++i])))
                return std::nullopt;
        } else if (arg == "--keep-held")
            options.keepHeld = true;
        else if (arg == "--no-gui")
            continue;
        else if (gui && arg == "--screenshot" && hasValue)
            options.screenshots = arguments[++i];
        else if (gui && arg == "--open-and-close")
            options.openAndClose = true;
        else if (!arg.empty() && arg[0] != '-')
            options.files.push_back(arg);
        else
            return std::nullopt;
    }
    if (!panelOptionsComplete(options.panel) || (options.embedded && !options.queue.empty()))
        return std::nullopt;
    if (gui ? !onlyDialogOptions(options.panel) : options.files.empty() && !options.job)
        return std::nullopt;
    // A held job has its documents and its queue; what its queue keeps as defaults is not its.
    if (options.job && (!options.files.empty() || !options.queue.empty() || options.embedded ||
                        options.saveDefaults))
        return std::nullopt;
    if (options.keepHeld && !options.job)
        return std::nullopt;
    return options;
}

} // namespace velmora::app
