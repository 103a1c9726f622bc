#pragma once

#include "common/TDWindowController.h"
#include "device/AutomaticPaperTraySelectionLayout.h"
#include "platform/foundation/Value.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class Bundle;
class PanePlugInMgr;
class ZEMAUI;

// The window in which the user describes the paper the press should pick a tray for
// (automatic mode) or the paper laid on the bypass tray (bypass mode). Its controls are option
// controls built from the panel's UI-settings file, so their values are print settings.
class PdeAutomaticPaperTraySelection : public TDWindowController {
public:
    PdeAutomaticPaperTraySelection();
    ~PdeAutomaticPaperTraySelection() override;

    // The manager gives the UI-settings file and takes the weight the paper type implies.
    bool initializePanel(std::shared_ptr<Bundle> bundle, bool bypassFlag, PanePlugInMgr* callback);
    void initCtrl();
    const std::map<std::string, std::shared_ptr<ZEMAUI>>& getListZEMAUI() const {
        return _zemauiList;
    }
    // Appends [display text, keyword] choices to the paper type control of the mode.
    void setPaperTypeCustomList(const std::vector<std::pair<std::string, std::string>>& choices);
    // Takes choices out of the paper type control for good: they stay out when custom papers
    // are added later (the control itself rebuilds from its description).
    void removePaperTypeChoices(const std::vector<std::string>& keywords);
    // Runs the window modally; didEnd is called when it closes.
    void modalWindow(std::function<void()> didEnd);
    void clickButtonClose();
    void changePaperTypeDButton();
    Dictionary getTextFieldStringDictionary() const;

    bool isBypass() const { return _bypassFlag; }
    const AutomaticPaperTraySelectionViews& views() const { return _views; }
    // The weight group a paper type implies; null for a type the table does not know.
    static std::optional<std::string> weightGroupForPaperType(const std::string& paperType);

protected:
    std::shared_ptr<ui::Window> buildWindow() override;
    void windowDidLoad() override { initCtrl(); }

private:
    AutomaticPaperTraySelectionViews _views;
    bool _bypassFlag = false;
    std::shared_ptr<Bundle> _plugInBundle;
    std::optional<std::string> _uiFilePath;
    PanePlugInMgr* _callback = nullptr;
    std::function<void()> _parentDidEnd;
    std::optional<std::string> _lastPaperTypeDValue;
    std::map<std::string, std::shared_ptr<ZEMAUI>> _zemauiList;
    std::vector<std::string> _removedPaperTypes;
    std::shared_ptr<ZEMAUI> _paperType, _weight, _paperColor, _paperColorCustomName, _sequence;

    std::shared_ptr<const Dictionary> readSettings() const;
    std::shared_ptr<ZEMAUI> configure(const std::shared_ptr<const Dictionary>& settings,
                                      const std::string& key);
    std::shared_ptr<ZEMAUI> configureFirst(const std::shared_ptr<const Dictionary>& settings,
                                           std::initializer_list<const char*> keys);
    void configureAutomatic(const std::shared_ptr<const Dictionary>& settings);
    void configureBypass(const std::shared_ptr<const Dictionary>& settings);
    void setWeight(const std::string& group);
    void applyPaperTypeRemovals();
    std::string localized(const std::string& key) const;
    std::string controlText(const std::string& key) const;
};

} // namespace velmora
