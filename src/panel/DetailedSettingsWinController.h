#pragma once

#include "common/TDWindowController.h"
#include "controls/DataSource.h"
#include "panel/DetailedSettingsLayout.h"
#include "platform/foundation/Value.h"
#include "platform/ui/Window.h"

#include <optional>
#include <string>

namespace velmora {

class PanePlugInMgr;
namespace ui {
class PopUpButton;
}

// The detailed settings window: one tab per pane, in the panes tree's order, optionally with an
// outline of the panes beside it. OK ("Setting") is taken only when the settings are
// consistent. The same controller completes a print option dictionary with the values of every
// pane.
class DetailedSettingsWinController : public TDWindowController, public ui::WindowDelegate {
public:
    static constexpr long kOK = 1;
    static constexpr long kCancel = 0;
    static constexpr const char* kFrameAutosaveName = "DetailedSettingsDialog";

    // The controller of the process; made again when the shared manager was.
    static DetailedSettingsWinController& sharedInstance();
    explicit DetailedSettingsWinController(PanePlugInMgr& manager);
    ~DetailedSettingsWinController() override;

    // Runs the window on the dictionary, which takes every pane's values on OK.
    long showAsModalDialog(Dictionary& options);
    // Fills in every pane's value for the keys the dictionary lacks.
    void reformatPrintOption(Dictionary& options);

    // ---- Actions ----
    void okButton();
    void cancelButton();
    void clickedRevertToDefault();
    void clickedVersionInfo();
    void setupViewStylePopupButton(ui::PopUpButton& viewStyle);
    void _updateEnabledStates(const std::optional<std::string>& plugInName);

    ui::FieldEditor* windowWillReturnFieldEditor(ui::Window& window, ui::View* object) override;

    const DetailedSettingsViews& views() const { return _views; }
    const std::string& prevSelectedProfileName() const { return _prevSelectedProfileName; }
    // The outline column's width for a preferred language.
    static double outlineColumnWidth(const std::string& language);

protected:
    std::shared_ptr<ui::Window> buildWindow() override;
    void windowDidLoad() override;

private:
    PanePlugInMgr& _manager;
    DetailedSettingsViews _views;
    DataSource _dataSource;
    std::string _prevSelectedProfileName;

    void awakeFromNib();
    void setLocalizedTitles();
    void addPaneTabs();
    void highlightShownPage();
    void showOutline();
    void connectActions();
    bool runOnce(Dictionary& options, long& code);
};

} // namespace velmora
