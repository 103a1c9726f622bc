// The favorites commands that change favorites go through the favorites window, driven as a
// person drives it: pick the row, type, press the buttons, answer the file panels.
#include "Command.h"

#include "common/Localization.h"
#include "favorites/FavoriteItem.h"
#include "favoritewindows/FavoriteWindowController.h"
#include "favoritewindows/PrintOptionTreeDataSource.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/FieldEditor.h"
#include "platform/ui/FilePanel.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/Window.h"

#include <cstdio>
#include <filesystem>
#include <functional>

namespace velmora::app {
namespace {

// One run of the favorites window with a person's steps; the first alert stops the steps and
// cancels the window, so that a refused change changes nothing.
class FavoriteWindowSession {
public:
    FavoriteWindowSession() : _manager(BSPrincipalBundle()), _window(_manager) {
        _manager.loadPlugIns(); // the settings tree names the panes
        auto& app = ui::Application::shared();
        _oldInteraction = app.setInteraction([this](ui::Window&) { perform(); });
        _oldAlerts = app.setAlertPresenter([this](const ui::Alert& alert, ui::Window*) {
            if (_message.empty())
                _message = alert.messageText().empty()
                               ? alert.informativeText()
                               : alert.messageText() + " " + alert.informativeText();
            return std::size_t{0};
        });
        _oldPanels = app.setPanelPresenter([this](ui::SavePanel& panel) {
            if (_panelFile.empty())
                return ui::kFileHandlingPanelCancelButton;
            if (auto* open = dynamic_cast<ui::OpenPanel*>(&panel))
                open->setUrls({_panelFile});
            panel.setUrl(_panelFile);
            return ui::kFileHandlingPanelOKButton;
        });
    }
    ~FavoriteWindowSession() {
        auto& app = ui::Application::shared();
        app.setInteraction(std::move(_oldInteraction));
        app.setAlertPresenter(std::move(_oldAlerts));
        app.setPanelPresenter(std::move(_oldPanels));
    }

    // Runs the steps, then presses OK (or Cancel when keep is false); 0 or 1 as the command exits.
    int run(std::function<bool()> steps, bool pressOk = true) {
        _steps = std::move(steps);
        _pressOk = pressOk;
        _window.showAsModalDialog(std::nullopt, std::nullopt);
        if (!_message.empty())
            return failCommand("favorites", _message);
        return 0;
    }

    FavoriteWindowController& window() { return _window; }
    void answerPanelsWith(std::string file) { _panelFile = std::move(file); }
    bool refused() const { return !_message.empty(); }
    void refuse(std::string message) { _message = std::move(message); }

    bool select(const std::string& name) {
        const auto& items = _window.favoriteItems();
        for (std::size_t row = FavoriteItem::kFavoriteListOffset; row < items.size(); ++row)
            if (items[row].name() == name)
                return _window.views().favoriteListView->clickRow(static_cast<long>(row));
        refuse("no favorite named \"" + name + "\"");
        return false;
    }
    // Types as a person would; a field that keeps less than it was given (a line break in a
    // comment, a name too long) is a refusal, not a value silently changed.
    bool type(ui::TextField& field, const std::string& text) {
        auto shown = _window.window();
        shown->makeFirstResponder(&field);
        field.currentEditor()->selectAll();
        field.currentEditor()->typeText(text);
        std::string kept = field.currentEditor()->string();
        shown->makeFirstResponder(nullptr);
        if (kept != text)
            refuse("the field keeps \"" + kept + "\" of \"" + text + "\"");
        return kept == text;
    }

private:
    PanePlugInMgr _manager;
    FavoriteWindowController _window;
    std::function<bool()> _steps;
    bool _pressOk = true;
    std::string _message, _panelFile;
    ui::Application::Interaction _oldInteraction;
    ui::Application::AlertPresenter _oldAlerts;
    ui::Application::PanelPresenter _oldPanels;

    void perform() {
        bool done = _steps() && !refused();
        if (done && _pressOk)
            _window.views().okButton->performClick();
        if (ui::Application::shared().modalWindow())
            _window.views().cancelButton->performClick();
    }
};

Value treeJson(PrintOptionTreeDataSource& source, ui::OutlineView& outline, ui::OutlineItem item) {
    Array children;
    long count = source.outlineViewNumberOfChildrenOfItem(outline, item);
    for (long i = 0; i < count; ++i)
        children.push_back(
            treeJson(source, outline, source.outlineViewChildOfItem(outline, i, item)));
    const Dictionary* node = item ? PrintOptionTreeDataSource::node(item) : nullptr;
    return Value(
        Dictionary{{"title", Value(item ? source.display(item).title : std::string())},
                   {"differs", Value(node && node->get("differedWithDefault").boolValue())},
                   {"children", Value(std::move(children))}});
}

int checkedName(const std::string& name) {
    if (auto problem = FavoriteItem::checkName(name))
        return failCommand("favorites", *problem);
    return 0;
}

} // namespace

int runFavoritesWindowCommand(const std::vector<std::string>& arguments) {
    const std::string& verb = arguments[0];
    // A command that changes the folder holds it from before the window reads it.
    std::unique_ptr<FavoriteFolderLock> lock;
    if (verb == "rename" || verb == "comment" || verb == "import") {
        auto locked = lockFavoriteFolder();
        if (!locked)
            return failCommand("favorites", locked.error());
        lock = std::move(*locked);
    }
    FavoriteWindowSession session;
    auto& views = session.window().views();
    if (verb == "rename" && arguments.size() == 3) {
        if (int refused = checkedName(arguments[2]))
            return refused;
        return session.run([&] {
            return session.select(arguments[1]) && session.type(*views.nameEditField, arguments[2]);
        });
    }
    if (verb == "comment" && arguments.size() == 3) {
        if (auto problem = FavoriteItem::checkComment(arguments[2]))
            return failCommand("favorites", *problem);
        return session.run([&] {
            return session.select(arguments[1]) &&
                   session.type(*views.commentEditField, arguments[2]);
        });
    }
    if (verb == "import" && arguments.size() == 2) {
        if (std::error_code code; std::filesystem::exists(arguments[1], code) &&
                                  !std::filesystem::is_regular_file(arguments[1], code)) {
            return failCommand("favorites", arguments[1] + " is not a regular file");
        }
        session.answerPanelsWith(arguments[1]);
        return session.run([&] { return views.importButton->performClick(); });
    }
    bool force = arguments.size() == 4 && arguments[3] == "--force";
    if (verb == "export" && (arguments.size() == 3 || force)) {
        // A file of that name is only replaced when asked for: it may be another favorite.
        if (std::error_code code; std::filesystem::exists(arguments[2], code) && !force) {
            return failCommand("favorites", arguments[2] + " exists; add --force to replace it");
        }
        session.answerPanelsWith(arguments[2]);
        return session.run(
            [&] { return session.select(arguments[1]) && views.exportButton->performClick(); },
            false);
    }
    if (verb == "tree" && arguments.size() == 2) {
        Value tree;
        int status = session.run(
            [&] {
                if (!session.select(arguments[1]))
                    return false;
                auto& source = session.window().dataSource();
                tree = treeJson(source, *views.treeView, nullptr);
                return true;
            },
            false);
        if (status == 0)
            std::printf("%s\n", tree.toJson(2).c_str());
        return status;
    }
    std::fprintf(stderr, "usage: velmora favorites rename OLD NEW | comment NAME TEXT | "
                         "import FILE | export NAME FILE [--force] | tree NAME\n");
    return 2;
}

} // namespace velmora::app
