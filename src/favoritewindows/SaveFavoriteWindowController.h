#pragma once

#include "common/TDWindowController.h"
#include "favoritewindows/SaveFavoriteLayout.h"

#include <functional>
#include <optional>
#include <string>

namespace velmora {

// Asks for the name and comment under which the current settings are saved as a favorite.
class SaveFavoriteWindowController : public TDWindowController {
public:
    static constexpr long kSave = 1;
    static constexpr long kCancel = 0;

    static SaveFavoriteWindowController& sharedInstance();
    SaveFavoriteWindowController();

    long showAsModalDialog(const std::optional<std::string>& name,
                           const std::optional<std::string>& comment);
    using DidEnd = std::function<void(SaveFavoriteWindowController&)>;
    void showSheet(ui::Window& owner, DidEnd didEnd, const std::optional<std::string>& name,
                   const std::optional<std::string>& comment);
    std::string name() const;
    std::string comment() const;

    void save();
    void cancel();
    const SaveFavoriteViews& views() const { return _views; }

protected:
    std::shared_ptr<ui::Window> buildWindow() override;
    void windowDidLoad() override;

private:
    SaveFavoriteViews _views;
    DidEnd _didEndSelector;
    ui::Window* _sheetOwner = nullptr;

    void fill(const std::optional<std::string>& name, const std::optional<std::string>& comment);
    void refuse(const std::string& message, ui::TextField* field);
    void end(long code);
};

// The save dialog on the two texts; on Save they are replaced with what was entered.
extern "C" bool ShowSaveFavoriteModalDialog(std::string* name, std::string* comment);

} // namespace velmora
