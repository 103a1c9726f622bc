#include "JobCommandOptions.h"

namespace velmora::app {

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
    if (gui ? !onlyDialogOptions(options.panel) : options.files.empty())
        return std::nullopt;
    return options;
}

} // namespace velmora::app
