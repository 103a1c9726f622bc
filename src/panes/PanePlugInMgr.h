#pragma once

#include "panes/AppPreference.h"
#include "panes/PaneControlServices.h"
#include "panes/PanePlugInHost.h"
#include "panes/PanePlugInInterface.h"
#include "panes/PaneServerLists.h"
#include "platform/foundation/Value.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class Bundle;
class PpdFileExt;
class ZEMAMgr;
class ZEMAUI;
namespace ui {
class Control;
class MenuItem;
class PopUpButton;
class View;
} // namespace ui

// Who answers a server list by name: the panel, which asks the print queue (see
// ServerListCommand). The manager forwards every list getter to it.
class PanelCommandTarget {
public:
    virtual ~PanelCommandTarget() = default;
    virtual std::optional<Value> sendCommand(const std::string& listName) = 0;
};

// The manager behind the panel: reads the plug-in bundle's settings, loads the pane plug-ins
// and registers their controls in the one ZEMAMgr, offers the panes their services, and gives
// the panel and the windows the values, names and summary of all options at once.
class PanePlugInMgr final : public PanePlugInHost {
public:
    // One loaded pane: its controller and its bundle.
    struct ViewInfo {
        std::shared_ptr<PanePlugInInterface> paneConroller;
        std::shared_ptr<Bundle> bundle;
    };

    // The manager of the process, made from the principal bundle on first use.
    static PanePlugInMgr& sharedInstance();
    static bool hasSharedInstance();
    static void releaseSharedInstance();
    // Counts the shared managers made so far: what is shared with a manager is made again when
    // the count moves.
    static std::uint64_t sharedGeneration();

    explicit PanePlugInMgr(std::shared_ptr<Bundle> principalBundle);
    ~PanePlugInMgr();
    PanePlugInMgr(const PanePlugInMgr&) = delete;
    PanePlugInMgr& operator=(const PanePlugInMgr&) = delete;

    // ---- Settings of the plug-in bundle ----
    std::optional<std::string> getUIFilePath() const { return _uiFilePath; }
    std::optional<std::string> isPOD() const { return _uiPOD; }
    bool getTabTreeView() const { return _uiTabTreeView; }
    bool isHiddenNumCopies() const { return _isHiddenNumCopies; }
    bool isHiddenDuplex() const { return _isHiddenDuplex; }
    bool isHiddenCollate() const { return _isHiddenCollate; }
    std::optional<std::string> getHostName() const { return _hostName; }
    void setHostName(const std::optional<std::string>& hostName) { _hostName = hostName; }
    std::optional<std::string> destinationAddress() const { return _hostName; }
    void setPDEObject(PanelCommandTarget* panel) { _PDEObject = panel; }
    PanelCommandTarget* PDEObject() const { return _PDEObject; }
    void setDelegate(void* delegate) { _delegate = delegate; }
    void* delegate() const { return _delegate; }
    bool isInitializedNetworkData() const { return _isInitializedNetworkData; }
    void setInitializedNetworkData(bool initialized) { _isInitializedNetworkData = initialized; }
    ZEMAMgr& zemaMgr() { return *_zemaMgr; }
    std::shared_ptr<Bundle> principalBundle() const override { return _principalBundle; }
    // The UI-settings dictionary, read once and shared by every pane (empty without a file).
    std::shared_ptr<const Dictionary> uiSettings() override;

    // ---- Panes tree and plug-ins ----
    const Dictionary* panesTreeDictionary();
    bool loadPlugIns();
    std::shared_ptr<PanePlugInInterface>
    loadPaneControllerAtPath(const std::string& bundlePath,
                             const std::optional<std::string>& roleName);
    std::shared_ptr<PanePlugInInterface>
    loadPaneControllerWithName(const std::optional<std::string>& name);
    std::shared_ptr<PanePlugInInterface> paneControllerWithName(const std::string& name) const;
    std::shared_ptr<Bundle> bundleForPlugInWithName(const std::string& name) const;
    std::shared_ptr<PanePlugInInterface> paneControllerOfBundleName(const std::string& name);
    std::shared_ptr<ui::View> panelViewOfBundleName(const std::string& name);
    std::optional<std::string> panelNameOfBundleName(const std::string& name);
    std::optional<std::string> roleName(const PanePlugInInterface* controller) const override;
    // Registered plug-in names, in the order they were registered.
    std::vector<std::string> plugInNames() const;

    void willShowAllBundle();
    bool loadPanelView();
    bool rebuildPanes(const std::optional<std::string>& ppdResourceName);
    std::shared_ptr<ui::View> safeInvokePanelViewFor(PanePlugInInterface& controller);

    static std::pair<std::string, std::optional<std::string>>
    separateBundleName(const std::string& name);
    static std::string composeBundleName(const std::string& bundleName, const std::string& role);
    static std::map<std::string, std::vector<std::string>>
    gatherPlugInRoleNames(const Dictionary* panesTree);

    // ---- Services for pane controllers ----
    void buildPaneUi(PanePlugInInterface& controller,
                     const std::shared_ptr<Bundle>& bundle) override;
    bool setupZEMAUIControls(const std::vector<std::shared_ptr<ZEMAUI>>* controls,
                             const Dictionary* controlDictionary,
                             std::map<std::string, std::shared_ptr<ZEMAUI>>* outputDictionary,
                             const std::shared_ptr<Bundle>& bundle) override;
    void setZemaUiToZemaMgr(const std::shared_ptr<ZEMAUI>& control);
    // The same services as a pane reaches them (see PanePlugInHost).
    std::vector<std::shared_ptr<ZEMAUI>> controlsIn(const ui::View* view) override {
        return PaneControlServices::getZEMAUIControls(view);
    }
    std::shared_ptr<ui::Image> image(const std::string& name, const Bundle* bundle) override {
        return PaneControlServices::imageWithName(name, bundle);
    }
    void performLater(const std::shared_ptr<ui::Control>& sender) override {
        PaneControlServices::delayedAction(sender);
    }
    std::optional<Value> serverList(const std::string& name) override { return sendCommand(name); }

    // ---- Operations that do nothing here, kept for the panes' interface ----
    void updateEnabledStatesByBundleName(const std::string&, int, bool, bool, bool) {}
    // The duplex / media type conflict is settled by the panes; the answer never holds "alert".
    Dictionary resloveConflictAlertDuplex(const std::optional<std::string>&,
                                          const std::optional<std::string>&, int) {
        return {};
    }
    template <typename T> T resolveItem(T item) const { return item; }
    template <typename T> T resolveItem(T item, bool) const { return item; }

    // ---- Option values (PanePlugInMgrValues.cpp) ----
    Dictionary defaultSettings();
    std::optional<Dictionary> gatherPrintOptionValues(bool values, int fileType,
                                                      bool useServerSetting,
                                                      bool sameSettingForNext,
                                                      bool unifiedFileType);
    // False when a pane failed while the values were given to it (an alert said why).
    bool restorePrintOptionValues(const std::optional<Dictionary>& values);
    void updateEnabledStates(int fileType, bool unifiedFileType, bool useServerSetting,
                             bool sameSettingForNext);
    static bool isEnable(bool values, int fileType, bool useServerSetting, bool sameSettingForNext,
                         bool unifiedFileType);
    void setStringValue(const std::optional<std::string>& value, const std::string& key) override;
    std::optional<std::string> getStringValueFromKey(const std::string& key) const override;
    std::optional<std::vector<std::string>>
    setStringValueWithRestoreConfliction(const std::string& value, const std::string& key);
    void updateOldValue(const std::string& key);
    bool validateBeforeChange(const std::string& key, const std::string& valueIf,
                              const std::optional<std::string>& name);

    const PpdFileExt* ppdInformation();
    bool isExistsInPpd(const std::optional<std::string>& option,
                       const std::optional<std::string>& optionKeyword);
    std::optional<std::string> selectedOptionKeyword(const std::string& key);
    void buildControl(ui::Control* control, const std::string& key,
                      const std::optional<std::string>& title) override;

    void getAlias(std::optional<std::string>* optionTitle, std::optional<std::string>* choiceTitle,
                  const std::optional<std::string>& mainKeyword,
                  const std::optional<std::string>& optionKeyword) override;
    std::optional<std::string> mainAlias(const std::string& keyword, const Bundle* bundle);
    std::string mainAlias(const std::string& keyword);
    std::optional<std::string> optionAlias(const std::optional<std::string>& choice,
                                           const std::optional<std::string>& option,
                                           const Bundle* bundle);
    std::optional<Dictionary> summaryInfoFromPrintOption(const std::optional<Dictionary>& options);
    // The summary as a person reads it: by pane, in the panes' order, leaving out options whose
    // control is hidden or disabled (they do not apply as the job is set up); options that no
    // pane shows come last, in a group of their own.
    struct SummaryGroup {
        std::string title;
        std::string bundleName; // the pane's bundle; empty for the options no pane shows
        std::vector<std::pair<std::string, std::string>> rows; // option title, choice title
    };
    // With onlyApplying false, every option a pane shows is listed, whatever the panel's own
    // controls say of it now (settings other than the panel's, such as a favorite's).
    std::vector<SummaryGroup> summaryGroupsFromPrintOption(const Dictionary& options,
                                                           bool onlyApplying = true);
    // One summary row: the option's title and its choice's; null when either has none.
    std::optional<std::pair<std::string, std::string>> summaryRow(const std::string& key,
                                                                  const Value& value);
    bool isPrintOptionConsistencyCheck(const Dictionary& options);
    static int checkPageRangeForSpecialToner(const std::string& range);

    void addProfileItem(const std::string& optionKeyword, ui::PopUpButton* popUp, long lastNo,
                        const std::string& format, const Bundle* bundle) override;
    void setProfilePath(const std::optional<std::string>& path);
    void updateProfilesOfAllBundles(const std::optional<std::string>& path);
    void updateProfileByBundleName(const std::string& name, const std::optional<std::string>& path);
    std::optional<Dictionary> dictionaryOfCurrentProfile() const override;
    const std::optional<std::string>& currentProfilePath() const { return _currentProfilePath; }

    // ---- Server lists ----
    // The press's lists, asked of the panel that was set with setPDEObject.
    PaneServerLists& serverLists() { return _serverLists; }

private:
    std::shared_ptr<Bundle> _principalBundle;
    AppPreference _preference;
    std::unique_ptr<ZEMAMgr> _zemaMgr;
    std::optional<Dictionary> _panesTreeDictionary;
    std::vector<std::pair<std::string, ViewInfo>> _plugInTable;
    std::unique_ptr<PpdFileExt> _ppdFile;
    bool _ppdTried = false;
    std::optional<Dictionary> _defaultDictionary;
    std::optional<std::string> _currentProfilePath;
    std::optional<std::string> _hostName;
    std::optional<std::string> _uiFilePath;
    std::optional<std::string> _uiPOD;
    bool _uiTabTreeView = false;
    bool _isHiddenNumCopies = false;
    bool _isHiddenDuplex = false;
    bool _isHiddenCollate = false;
    void* _delegate = nullptr;
    PanelCommandTarget* _PDEObject = nullptr;
    bool _isInitializedNetworkData = false;
    bool _loadedEncryption = false;
    std::shared_ptr<const Dictionary> _uiSettings;
    std::size_t _panelViewsLoaded = 0;
    PaneServerLists _serverLists{[this](const std::string& name) { return sendCommand(name); }};

    void readBundleSettings();
    const ViewInfo* viewInfo(const std::string& name) const;
    // The registered panes as they stand: a pane may load another while it is being called.
    std::vector<std::pair<std::string, ViewInfo>> panes() const { return _plugInTable; }
    bool isRegistered(const std::string& name) const;
    void registerPane(const std::string& name, ViewInfo info);
    void registerPaneControls(PanePlugInInterface& controller);
    void addProfileItems(PanePlugInInterface& controller, const std::shared_ptr<Bundle>& bundle);
    void requirePlugIns() const;
    std::optional<Value> sendCommand(const std::string& listName);
};

} // namespace velmora
