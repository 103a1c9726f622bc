#pragma once

#include "platform/foundation/Result.h"
#include "platform/foundation/Value.h"
#include "platform/printing/PDEPlugIn.h"
#include "platform/printing/PDEPlugInCallback.h"
#include "platform/printing/PressNames.h"
#include "platform/printing/PrintSession.h"
#include "platform/printing/PrintSettings.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

class DestinationPpd;
class Printer;
namespace ui {
class Button;
class TextField;
class View;
class Window;
} // namespace ui

// A print dialog that lives in this process: it loads a print dialog extension bundle through
// its Info.plist and shared object, as the system's dialog does, asks it for its printer-module
// panels, and puts the first one into its window beside its own copies field and collate and
// two-sided check boxes. It keeps the queue's PPD open with libcups and offers constraint
// handling: a choice is marked and the constraints it breaks are resolved by libcups.
class InMemoryPrintDialog : public PDEPlugInCallback {
public:
    // Frames of the dialog's own controls (the panel looks for them there).
    static constexpr double kCopiesX = 95, kCopiesY = 4, kCopiesWidth = 70, kCopiesHeight = 22;

    struct Options {
        std::string plugInPath;
        std::optional<std::string> ppdPath;
        std::string printerName = "VelmoraPress";
        std::optional<std::string> deviceURI;
        bool constraintHandling = true;
        // The queue behind the dialog; an in-memory printer with the name and URI when null.
        std::shared_ptr<Printer> printer;
        // The PPD at ppdPath, read already (the dialog's preview shares it); read by the dialog
        // when null. The dialog marks its choices in it.
        std::shared_ptr<DestinationPpd> ppd;
    };

    explicit InMemoryPrintDialog(Options options);
    ~InMemoryPrintDialog() override;
    InMemoryPrintDialog(const InMemoryPrintDialog&) = delete;
    InMemoryPrintDialog& operator=(const InMemoryPrintDialog&) = delete;

    // Loads the extension and takes its panel; the reason when there is none.
    Status open();

    // Shows the panel (it may change its size; the window follows) and hides it again.
    void showPanel();
    bool hidePanel();

    // ---- The host callback ----
    PrintSession* printSession() override { return &_session; }
    PrintSettings* printSettings() override { return &_settings; }
    ppd_file_s* ppdFile() override { return _ppd; }
    bool respondsToWillChangePPDOptionKeyValue() const override {
        return _options.constraintHandling;
    }
    void willChangePPDOptionKeyValue(const std::string& option, const std::string& choice) override;

    // ---- What the dialog holds ----
    std::shared_ptr<PDEPanel> panel() const { return _panel; }
    PDEPlugIn* plugIn() const { return _plugIn.get(); }
    std::shared_ptr<ui::Window> window() const { return _window; }
    std::shared_ptr<ui::TextField> copiesField() const { return _copies; }
    std::shared_ptr<ui::Button> collateCheckBox() const { return _collate; }
    std::shared_ptr<ui::Button> twoSidedCheckBox() const { return _twoSided; }
    Printer& printer() const { return *_printer; }

    // The marked choice of an option of the queue's PPD; null without one.
    std::optional<std::string> markedChoice(const std::string& option) const;
    // Every option whose marked choice is not the PPD's default, in PPD order.
    Dictionary changedPpdChoices() const;
    // Choices libcups changed to resolve constraints, in the order it changed them.
    const std::vector<std::pair<std::string, std::string>>& resolvedChoices() const {
        return _resolved;
    }

    // The print settings as a file keeps them: {"ppd": {option: choice}, "ticket": {key:
    // stored value}, "host": {"copies", "collate", "duplexing", "KVInputSlot"}}.
    Dictionary settingsSnapshot() const;
    // Takes such a snapshot back: marks the choices, sets the entries and the host controls.
    // Entries of the wrong type are left out.
    void restoreSnapshot(const Dictionary& snapshot);

private:
    Options _options;
    PrintSession _session;
    PrintSettings _settings;
    std::shared_ptr<Printer> _printer;
    std::shared_ptr<DestinationPpd> _destinationPpd;
    ppd_file_s* _ppd = nullptr; // the PPD's libcups form, while _destinationPpd holds it
    std::unique_ptr<PDEPlugIn> _plugIn;
    std::shared_ptr<PDEPanel> _panel;
    std::shared_ptr<ui::Window> _window;
    std::shared_ptr<ui::TextField> _copies;
    // The typed count is taken however its editing ends (Tab, Return, a click elsewhere), not
    // only by the field's action.
    struct CopiesEditing : ui::TextFieldDelegate {
        InMemoryPrintDialog& dialog;
        explicit CopiesEditing(InMemoryPrintDialog& owner) : dialog(owner) {}
        void controlTextDidEndEditing(ui::TextField& field) override { dialog.takeCopies(field); }
    } _copiesEditing{*this};
    std::shared_ptr<ui::Button> _collate, _twoSided;
    std::vector<std::pair<std::string, std::string>> _resolved;

    void buildWindow();
    void placePanelView();
    void markChoice(const std::string& option, const std::string& choice);
    // Whether the panel handles a PPD option itself (it lists it among its PPD keys).
    bool panelHandles(const std::string& option);
    std::optional<std::set<std::string>> _panelKeys;
    std::optional<PressNames> _pressNames;
    // The queue PPD's names of the press's options, read once.
    const PressNames& pressNames();
    void followDuplexChoice(const std::string& option, const std::string& choice);
    void showHostSettings();
    void takeCopies(ui::TextField& field);
    bool isHostKey(const std::string& key) const;
};

} // namespace velmora
