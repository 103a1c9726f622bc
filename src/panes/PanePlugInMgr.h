#pragma once

#include "panes/AppPreference.h"
#include "panes/PaneControlServices.h"
#include "panes/PaneDirectory.h"
#include "panes/PaneOptionNames.h"
#include "panes/PanePlugInHost.h"
#include "panes/PanePlugInInterface.h"
#include "panes/PaneProfiles.h"
#include "panes/PaneServerLists.h"
#include "panes/PaneSummary.h"
#include "panes/PaneValues.h"
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
// and registers their controls in the one ZEMAMgr, and offers the panes their services. What it
// gives the panel and the windows is each in a collaborator of its own: the values of all options
// (values()), their names (optionNames()), the summary (summary()), the profiles (profiles()) and
// the press's lists (serverLists()).
class PanePlugInMgr final : public PanePlugInHost, public PaneDirectory {
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
    const Dictionary* panesTreeDictionary() override;
    bool loadPlugIns();
    std::shared_ptr<PanePlugInInterface>
    loadPaneControllerAtPath(const std::string& bundlePath,
                             const std::optional<std::string>& roleName);
    std::shared_ptr<PanePlugInInterface>
    loadPaneControllerWithName(const std::optional<std::string>& name);
    std::shared_ptr<PanePlugInInterface> paneControllerWithName(const std::string& name) const;
    std::shared_ptr<Bundle> bundleForPlugInWithName(const std::string& name) const;
    std::shared_ptr<PanePlugInInterface> paneControllerOfBundleName(const std::string& name);
    std::shared_ptr<ui::View> panelViewOfBundleName(const std::string& name) override;
    std::optional<std::string> panelNameOfBundleName(const std::string& name) override;
    std::vector<std::pair<std::string, std::shared_ptr<PanePlugInInterface>>>
    loadedPanes() const override;
    std::optional<std::string> roleName(const PanePlugInInterface* controller) const override;
    // Registered plug-in names, in the order they were registered.
    std::vector<std::string> plugInNames() const;

    void willShowAllBundle();
    bool loadPanelView();
    bool rebuildPanes(const std::optional<std::string>& ppdResourceName);
    std::shared_ptr<ui::View> safeInvokePanelViewFor(PanePlugInInterface& controller) override;

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

    // ---- Values as the panes reach them ----
    void setStringValue(const std::optional<std::string>& value, const std::string& key) override;
    std::optional<std::string> getStringValueFromKey(const std::string& key) const override;
    void buildControl(ui::Control* control, const std::string& key,
                      const std::optional<std::string>& title) override {
        _names.buildControl(control, key, title);
    }
    void getAlias(std::optional<std::string>* optionTitle, std::optional<std::string>* choiceTitle,
                  const std::optional<std::string>& mainKeyword,
                  const std::optional<std::string>& optionKeyword) override {
        _names.getAlias(optionTitle, choiceTitle, mainKeyword, optionKeyword);
    }
    void addProfileItem(const std::string& optionKeyword, ui::PopUpButton* popUp, long lastNo,
                        const std::string& format, const Bundle* bundle) override {
        PaneProfiles::addProfileItem(optionKeyword, popUp, lastNo, format, bundle);
    }
    std::optional<Dictionary> dictionaryOfCurrentProfile() const override {
        return _profiles.dictionaryOfCurrentProfile();
    }

    // ---- What the panel and the windows ask for ----
    PaneValues& values() { return _values; }
    PaneOptionNames& optionNames() { return _names; }
    PaneSummary& summary() { return _summary; }
    PaneProfiles& profiles() { return _profiles; }

    // ---- Server lists ----
    // The press's lists, asked of the panel that was set with setPDEObject.
    PaneServerLists& serverLists() { return _serverLists; }

private:
    std::shared_ptr<Bundle> _principalBundle;
    AppPreference _preference;
    std::unique_ptr<ZEMAMgr> _zemaMgr;
    std::optional<Dictionary> _panesTreeDictionary;
    std::vector<std::pair<std::string, ViewInfo>> _plugInTable;
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
    PaneOptionNames _names{[this] { return bundlePpdPath(); }};
    PaneValues _values{*_zemaMgr, _names, *this};
    PaneSummary _summary{_names, *this};
    PaneProfiles _profiles{_preference, *this};

    void readBundleSettings();
    const ViewInfo* viewInfo(const std::string& name) const;
    // The registered panes as they stand: a pane may load another while it is being called.
    std::vector<std::pair<std::string, ViewInfo>> panes() const { return _plugInTable; }
    bool isRegistered(const std::string& name) const;
    void registerPane(const std::string& name, ViewInfo info);
    void registerPaneControls(PanePlugInInterface& controller);
    void addProfileItems(PanePlugInInterface& controller, const std::shared_ptr<Bundle>& bundle);
    std::optional<std::string> bundlePpdPath() const;
    std::optional<Value> sendCommand(const std::string& listName);
};

} // namespace velmora
