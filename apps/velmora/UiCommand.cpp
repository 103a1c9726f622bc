#include "AlertRecorder.h"
#include "Command.h"
#include "UserAction.h"

#include "common/Alerts.h"
#include "common/NotifyUnit.h"
#include "controls/ControlDescription.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMAUI.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace velmora::app {
namespace {

constexpr double kControlWidth = 500;
constexpr double kControlHeight = 72;

struct UiOptions {
    std::string file;
    std::string bundlePath;
    std::string pane;
    std::string language;
    std::vector<std::pair<std::string, std::string>> sets;
    bool answerYes = true;
};

bool parseSet(const std::string& text, UiOptions& options) {
    std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return false;
    options.sets.emplace_back(text.substr(0, equals), text.substr(equals + 1));
    return true;
}

bool parseOptions(const std::vector<std::string>& arguments, UiOptions& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        auto next = [&](std::string& out) {
            if (i + 1 >= arguments.size())
                return false;
            out = arguments[++i];
            return true;
        };
        if (arg == "--bundle") {
            if (!next(options.bundlePath))
                return false;
        } else if (arg == "--pane") {
            if (!next(options.pane))
                return false;
        } else if (arg == "--lang") {
            if (!next(options.language))
                return false;
        } else if (arg == "--set") {
            std::string set;
            if (!next(set) || !parseSet(set, options))
                return false;
        } else if (arg == "--answer") {
            std::string answer;
            if (!next(answer) || (answer != "yes" && answer != "no"))
                return false;
            options.answerYes = answer == "yes";
        } else if (options.file.empty() && !arg.starts_with("--")) {
            options.file = arg;
        } else {
            return false;
        }
    }
    return !options.file.empty();
}

Value controlJson(ZEMAUI& control) {
    Array choices;
    for (const auto& choice : control.description().choices()) {
        if (choice.text.empty() && choice.separator) {
            choices.push_back(Value(Dictionary{{"separator", true}}));
            continue;
        }
        std::string text = choice.text;
        if (auto bundle = control.bundle())
            if (const std::string* localized = bundle->findLocalizedString(text, "UI"))
                text = *localized;
        choices.push_back(Value(Dictionary{{"choice", choice.choice}, {"text", text}}));
    }
    Array children;
    for (const auto& child : control.childControls())
        children.push_back(controlJson(*child));
    const auto& value = control.getUnsportValue() ? control.getUnsportValue() : control.value();
    return Value(Dictionary{{"mainKeyword", control.mainKeyword()},
                            {"kind", control.kindName()},
                            {"value", value ? Value(*value) : Value()},
                            {"enabled", control.isEnabled()},
                            {"hidden", control.isHidden()},
                            {"height", control.getControlHeight()},
                            {"choices", std::move(choices)},
                            {"children", std::move(children)}});
}

// Children named by a description that the file does not describe.
void checkChildren(const Dictionary& settings, const std::string& name,
                   const Dictionary& description, std::vector<std::string>& problems) {
    ControlDescription reader(description);
    for (const char* key : {"other_controls", "other_controls_ww"})
        for (const auto& child : reader.keywords(key))
            if (!settings.get(child).isDictionary())
                problems.push_back(name + ": \"" + key + "\" names \"" + child +
                                   "\", which the file does not describe");
}

// Announces a control and its children once, as the panel does when it registers them.
void announce(const ZEMAUI& control) {
    NotifyUnit::postNotificationName(control.mainKeyword());
    for (const auto& child : control.childControls())
        announce(*child);
}

} // namespace

int runUiCommand(const std::vector<std::string>& arguments) {
    UiOptions options;
    if (!parseOptions(arguments, options)) {
        std::fprintf(stderr, "usage: velmora ui FILE [--bundle DIR] [--pane NAME] [--lang L] "
                             "[--set KEY=VALUE]... [--answer yes|no]\n");
        return 2;
    }
    if (!options.language.empty())
        ::setenv("LANGUAGE", options.language.c_str(), 1);
    std::string error;
    auto file = PropertyList::readFile(options.file, &error);
    if (!file)
        return failCommand("ui", error);
    if (!file->dictionary())
        return failCommand("ui", options.file + ": a UI-settings file must be a dictionary of "
                                                "control descriptions");
    std::shared_ptr<Bundle> bundle;
    if (!options.bundlePath.empty() && !(bundle = Bundle::open(options.bundlePath)))
        return failCommand("ui", options.bundlePath + ": no such bundle folder");
    auto settings = std::make_shared<const Dictionary>(*file->dictionary());
    AlertRecorder recorder(options.answerYes);
    ui::Window window(ui::Rect::make(0, 0, kControlWidth,
                                     kControlHeight * static_cast<double>(settings->size() + 1)));
    ZEMAMgr mgr;
    mgr.setDecision(AlertDecision());
    bool panesShown = false;
    mgr.setPanesShownPredicate([&panesShown] { return panesShown; });
    if (bundle)
        mgr.setPdeResourcePath(bundle->path());

    std::vector<std::shared_ptr<ZEMAUI>> built;
    std::map<std::string, std::shared_ptr<ZEMAUI>> byKeyword;
    std::vector<std::string> problems;
    for (const auto& [name, description] : *settings) {
        auto found = ControlDescription::problems(description, name);
        problems.insert(problems.end(), found.begin(), found.end());
        const Dictionary* d = description.dictionary();
        if (!d)
            continue;
        checkChildren(*settings, name, *d, problems);
        auto control =
            std::make_shared<ZEMAUI>(ui::Rect::make(0, 0, kControlWidth, kControlHeight));
        control->setControlDictionary(*d, bundle);
        control->setUISettings(settings);
        control->createControls(options.pane);
        window.contentView()->addSubview(control);
        built.push_back(control);
        if (!control->mainKeyword().empty())
            byKeyword.emplace(control->mainKeyword(), control);
    }
    for (const auto& control : built) {
        mgr.addControl(control);
        announce(*control);
    }
    panesShown = true; // the changes below are made on panes that have been shown

    for (const auto& [keyword, value] : options.sets) {
        auto it = byKeyword.find(keyword);
        std::optional<std::string> error =
            it == byKeyword.end()
                ? std::optional<std::string>("no control edits \"" + keyword + "\"")
                : actAsUser(*it->second, value, window);
        if (error)
            return failCommand("ui", *error);
    }

    Array controls;
    for (const auto& control : built)
        controls.push_back(controlJson(*control));
    Array problemList;
    for (const auto& problem : problems) {
        reportCommandProblem("ui", problem);
        problemList.push_back(Value(problem));
    }
    Value output(Dictionary{{"controls", std::move(controls)},
                            {"alerts", std::move(recorder.alerts)},
                            {"problems", std::move(problemList)}});
    std::printf("%s\n", output.toJson(2).c_str());
    return problems.empty() ? 0 : 1;
}

} // namespace velmora::app
