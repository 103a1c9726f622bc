#include "favoritewindows/SaveFavoriteWindowController.h"

#include "common/Localization.h"
#include "favorites/FavoriteItem.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "validation/FormatterAttachment.h"

namespace velmora {

SaveFavoriteWindowController& SaveFavoriteWindowController::sharedInstance() {
    static SaveFavoriteWindowController instance;
    return instance;
}

SaveFavoriteWindowController::SaveFavoriteWindowController() : TDWindowController("SaveFavorite") {}

std::shared_ptr<ui::Window> SaveFavoriteWindowController::buildWindow() {
    _views = layOutSaveFavoriteWindow();
    return _views.window;
}

void SaveFavoriteWindowController::windowDidLoad() {
    std::string placeholder = BSLocalizedStringOrKey("Placeholder Max chars");
    attachMaxBytesFormatter(_views.favoriteName.get(),
                            static_cast<std::uint32_t>(FavoriteItem::maxNameLength()), placeholder,
                            std::nullopt);
    attachMaxBytesFormatter(_views.comment.get(),
                            static_cast<std::uint32_t>(FavoriteItem::maxCommentLength()),
                            placeholder, std::nullopt);
    _views.ok->setAction("save:");
    _views.ok->setTarget([this](ui::Control&) { save(); });
    _views.cancel->setAction("cancel:");
    _views.cancel->setTarget([this](ui::Control&) { cancel(); });
}

void SaveFavoriteWindowController::fill(const std::optional<std::string>& name,
                                        const std::optional<std::string>& comment) {
    bool fresh = FavoriteItem::isEqualToDefaultFavoriteName(name);
    _views.favoriteName->setStringValue(fresh ? "" : name.value_or(""));
    _views.comment->setStringValue(fresh ? "" : comment.value_or(""));
}

std::string SaveFavoriteWindowController::name() const {
    return _views.favoriteName ? _views.favoriteName->stringValue() : std::string();
}

std::string SaveFavoriteWindowController::comment() const {
    return _views.comment ? _views.comment->stringValue() : std::string();
}

void SaveFavoriteWindowController::refuse(const std::string& message, ui::TextField* field) {
    auto dialog = window();
    ui::Alert alert;
    alert.setMessageText("");
    alert.setInformativeText(message);
    alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    alert.beginSheetModalForWindow(dialog.get(), [dialog, field](long) {
        if (dialog)
            dialog->makeFirstResponder(field);
    });
}

void SaveFavoriteWindowController::save() {
    auto dialog = window();
    if (dialog)
        dialog->endEditingFor(nullptr);
    if (auto message = FavoriteItem::checkName(name())) {
        refuse(*message, _views.favoriteName.get());
        return;
    }
    if (auto message = FavoriteItem::checkComment(comment())) {
        refuse(*message, _views.comment.get());
        return;
    }
    end(kSave);
}

void SaveFavoriteWindowController::cancel() {
    end(kCancel);
}

void SaveFavoriteWindowController::end(long code) {
    auto dialog = window();
    if (_sheetOwner && dialog)
        ui::Application::shared().endSheet(*dialog, code);
    else
        ui::Application::shared().stopModalWithCode(code);
}

long SaveFavoriteWindowController::showAsModalDialog(const std::optional<std::string>& name,
                                                     const std::optional<std::string>& comment) {
    auto dialog = window();
    if (!dialog)
        return kCancel;
    _sheetOwner = nullptr;
    fill(name, comment);
    long code = ui::Application::shared().runModalForWindow(*dialog);
    dialog->orderOut();
    return code;
}

void SaveFavoriteWindowController::showSheet(ui::Window& owner, DidEnd didEnd,
                                             const std::optional<std::string>& name,
                                             const std::optional<std::string>& comment) {
    auto dialog = window();
    if (!dialog)
        return;
    fill(name, comment);
    _didEndSelector = std::move(didEnd);
    _sheetOwner = &owner;
    ui::Application::shared().beginSheet(*dialog, owner, [this](long code) {
        _sheetOwner = nullptr;
        if (auto shown = window())
            shown->orderOut();
        if (code == kSave && _didEndSelector)
            _didEndSelector(*this);
    });
}

bool ShowSaveFavoriteModalDialog(std::string* name, std::string* comment) {
    auto& dialog = SaveFavoriteWindowController::sharedInstance();
    long code =
        dialog.showAsModalDialog(name ? std::optional<std::string>(*name) : std::nullopt,
                                 comment ? std::optional<std::string>(*comment) : std::nullopt);
    if (code != SaveFavoriteWindowController::kSave)
        return false;
    if (name)
        *name = dialog.name();
    if (comment)
        *comment = dialog.comment();
    return true;
}

} // namespace velmora
