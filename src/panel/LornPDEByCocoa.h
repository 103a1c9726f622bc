#pragma once

#include "panel/PanelFavoritesPopUp.h"
#include "panel/PanelLayout.h"
#include "panel/PanelTicketEntries.h"
#include "panel/PanelTrayDialogs.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/Value.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/PDEPlugIn.h"
#include "platform/printing/PressNames.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

class Bundle;
class DetailedSettingsWinController;
class PDEPlugInCallback;

class PdeAutomaticPaperTraySelection;
class PpdFileExt;
class Ticket;
struct Notification;
namespace ui {
class Control;
class Window;
} // namespace ui

// The "Velmora Flow" panel of the print dialog: a few option controls of its own, the job
// name, the favorites and the buttons that open the detailed settings and tray windows. It
// moves the job's settings between its controls, every pane, one print option dictionary and
// the print settings of the dialog (PPD choices and entries of its own).
class LornPDEByCocoa : public PDEPanel, public PanelCommandTarget {
public:
    static constexpr const char* kPanelName = "Velmora Flow";
    static constexpr const char* kPanelKind = "com.velmora.flow.print.pde.VelmoraFlow";
    // The panel's own entries in the print settings: this prefix and the option keyword.
    static constexpr const char* kCustomTicketPrefix = JobOptions::kEntryPrefix;
    static constexpr int kNoErr = 0;
    static constexpr int kParamErr = -50;
    // The final check found a conflict between duplex and the media type.
    static constexpr int kConflictErr = -1;

    // Start-up; the panel is ready to be built and shown.
    LornPDEByCocoa(PDEPlugInCallback* callback, std::shared_ptr<Bundle> bundle);
    ~LornPDEByCocoa() override;
    LornPDEByCocoa(const LornPDEByCocoa&) = delete;
    LornPDEByCocoa& operator=(const LornPDEByCocoa&) = delete;

    // ---- What the print dialog calls ----
    std::string panelName() override { return kPanelName; }
    std::string panelKind() override { return kPanelKind; }
    std::shared_ptr<ui::View> panelView() override;
    std::optional<Array> supportedPPDOptionKeys() override;
    void willShow() override;
    bool shouldHide() override;
    // The check the detailed settings' OK makes, for every path that saves or prints: false,
    // after an alert that says what is missing or inconsistent, when the settings fail it.
    bool passesFinalCheck();
    bool saveValuesAndReturnError(std::string* error) override;
    bool restoreValuesAndReturnError(std::string* error) override;
    std::optional<Dictionary> summaryInfo() override;
    // The same settings grouped by pane, without those that do not apply (for a host that
    // shows the summary beside the panel).
    std::vector<SummaryGroup> summaryGroups();
    void PPDOptionKeyValueDidChange(const std::optional<std::string>& option,
                                    const std::optional<std::string>& choice) override;

    // The press's choices as the settings stand now, the values being chosen in an open detailed
    // settings window included, under the queue PPD's names; nothing is saved or changed. What a
    // preview draws: printing would send the same choices.
    std::map<std::string, std::string> pressChoices();

    // Server lists, asked of the queue.
    std::optional<Value> sendCommand(const std::string& listName) override;

    // ---- Button actions ----
    void clickedSelectPaperTraySelectionButton(long tag);
    void clickedJobNameButton();
    void clickedShowDetailedSettingsButton();

    void clickedSaveFavoriteButton();
    void clickedDeleteFavoriteButton();
    void clickedBrowseFavoriteButton();

    std::optional<std::string> getCopies();
    void setCopies(const std::optional<std::string>& copies);
    std::optional<std::string> getCollate();
    void setCollate(bool collate);

    void _setValueToPpdDictionary(Ticket* ticket, Dictionary* ppdDictionary,
                                  const std::string& optionKeyword, const Value& value);

    // ---- State, for the host and for tests ----
    // The panel's entries in the dialog's settings.
    PanelTicketEntries& ticketEntries() { return _ticketEntries; }
    const PanelViews& views() const { return _views; }
    DetailedSettingsWinController* detailedSettingsWinController() const {
        return _detailedSettingsWinController;
    }
    const std::optional<Dictionary>& printOption() const { return _printOption; }
    const std::optional<Dictionary>& defaultPrintOption() const { return _defaultPrintOption; }
    const std::optional<std::string>& hostName() const { return _hostName; }
    const std::string& specificJobNameValue() const { return _specificJobNameValue; }
    const std::string& jobNameValue() const { return _jobNameValue; }
    bool isIntializedUi() const { return _isIntializedUi; }
    bool isMyPluginPDE() const { return _isMyPluginPDE; }
    PdeAutomaticPaperTraySelection* automaticPaperTraySelection() const {
        return _trayDialogs->automatic();
    }
    PdeAutomaticPaperTraySelection* bypassPaperTraySelection() const {
        return _trayDialogs->bypass();
    }

    // Turns the host name of a device URI into the address the web service is reached at.
    static std::string hostNameFromDeviceURIHost(const std::string& host);

private:
    // ---- Used within the panel ----
    // The save that writes only what changed since the detailed settings window opened.
    bool saveValuesAndReturnError_Fast(std::string* error);
    // ---- Notifications and device lists ----
    void configuringNotification(bool observe);
    void keyChangeNotification(const Notification& notification);
    void checkDevice();
    void updateOutputTrayList();
    void updateInputSlotList();
    void updateInputSlotList(const Value& feeders);
    void automaticPapaerTraySelectionDidEnd();
    void clickedRevertToDefaultSettings();
    // ---- Favorite pop-up (LornPDEByCocoaFavorites.cpp) ----
    void selectFavorite();
    void _selectPrintOption();
    void _checkDifferenceFromCurrentFavorite(bool completeFromPanes);
    void _reflectCurrentFavoriteToUi();
    // ---- Print settings bridge (LornPDEByCocoaSettings.cpp) ----
    void removedObjectByGatheringPrintOption(const std::string& keyword);
    void _gatherValuesFromPane(Dictionary& options);
    void _restoreValuesToPane(const Dictionary& options);
    void setKVInputSlot(const std::optional<std::string>& slot);
    ui::Control* getCocoaPDEsControl(ui::View* view, const std::string& key) const;
    int _gatherPrintOptionFromUi(Ticket* ticket, Dictionary* ppdDictionary);
    int _gatherPrintOptionFromUi_Fast(Ticket* ticket, Dictionary* ppdDictionary);
    int _restorePrintOptionToUi(Ticket* ticket, Dictionary* ppdDictionary);
    bool saveValues(int (LornPDEByCocoa::*gather)(Ticket*, Dictionary*), std::string* error);
    void _willChangePPDOptionKeyValue(const std::string& option, const std::string& choice,
                                      Dictionary* ppdDictionary);
    int _checkUIConstraint(Ticket* ticket, Dictionary* ppdDictionary);
    void _setDefaults();
    const std::string& escapedJobNameValue() const { return _escapedJobNameValue; }
    const std::string& selectedProfilePath() const { return _selectedProfilePath; }
    bool useConstraintHandling() const { return _useConstraintHandling; }
    // The queue's PPD, wrapped on first use; null without constraint handling.
    const PpdFileExt* _PPD();
    // The queue PPD's names of the press's options (IPP's, where CUPS reads them).
    const PressNames& queueNames();
    // The press's choice of one of its options as the queue holds it (the dialog's print
    // settings, or the PPD's marked choice); null when it holds none.
    std::optional<std::string> queueChoiceOf(const PpdFileExt* queue,
                                             const Dictionary* ppdDictionary,
                                             const std::string& option);

    void buildForSummary();
    PanelViews _views;
    std::unique_ptr<PanelTrayDialogs> _trayDialogs;
    PanelFavoritesPopUp _favorites{_views.favorite};
    PanelTicketEntries _ticketEntries;
    PDEPlugInCallback* _pdePluginCallbackObject = nullptr;
    std::shared_ptr<Bundle> _plugInBundle;
    std::unique_ptr<PpdFileExt> _ppdFile;
    std::optional<PressNames> _queueNames;
    std::optional<Dictionary> _defaultPrintOption;
    std::optional<Dictionary> _printOption;
    std::optional<Dictionary> _printOption_old;
    std::optional<std::string> _hostName;
    std::string _selectedProfilePath;
    std::string _specificJobNameValue = "Auto";
    std::string _escapedJobNameValue;
    std::string _jobNameValue;
    bool _isIntializedUi = false;
    bool _isMyPluginPDE = false;
    bool _useConstraintHandling = false;
    bool _isHiddenNumCopies = false;
    bool _isHiddenDuplex = false;
    bool _isHiddenCollate = false;
    std::string _selectedFavorite;
    std::string _backupFavoriteName;
    std::string _favoriteToSelect;
    bool _compareWithRestoredFavorite = false;
    PanePlugInMgr* _panePlugInMgr = nullptr;
    DetailedSettingsWinController* _detailedSettingsWinController = nullptr;

    void _buildUi();
    void buildControls();
    void selectRestoredFavorite();
    void setUpOptionControl(const std::shared_ptr<ZEMAUI>& control, const Dictionary& settings,
                            const std::string& key);
    void setLocalizedTitles();
    void connectActions();
    void findHostName();
    void _updatePaneFromModel();
    void takeEngineChange(const Notification& notification);
    bool queueOffers(const std::string& option, const std::optional<std::string>& choice);
    void _updateJobNameUI();
    void hideFavoriteStrip();
    void giveCustomPapersToTrayDialogs();
    int gatherPrintOption(Ticket* ticket, Dictionary* ppdDictionary, bool fast);
    void writeCustomTicketEntries(Ticket* ticket);
    void completeFromPanes();
    bool isUnchangedSinceSnapshot(const std::string& key, const std::string& value) const;
    void restoreTicketEntries(Ticket* ticket);
    void restoreHostControls(const Dictionary& options);
    void takeCopiesFromDialog();
    void tellDialogDuplex();
    std::optional<std::string> managerValue(const std::string& key) const;
    void setManagerValue(const Dictionary& options, const std::string& key);
    ui::Window* hostWindow() const;
    void setDeleteButtonEnabled(bool enabled);
    void applyBypassSetting(const Value& value);
};

} // namespace velmora
