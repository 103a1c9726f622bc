#include "panes/PanePlugInMgr.h"

#include "common/Alerts.h"
#include "common/AwakeHandlerSwap.h"
#include "common/ControlHelpers.h"
#include "common/EncryptionBridge.h"
#include "common/Localization.h"
#include "common/NotifyUnit.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMAUI.h"
#include "panes/PanePlugInLoader.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/CaughtFailure.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemLog.h"
#include "platform/ui/Image.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TabView.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velmora {
namespace {

constexpr const char* kUISettingsNotFound = "###Error:UISetting Plist file not found!";
constexpr const char* kPanesTreeNotLoaded = "###Error: panesTreeDictionary does not loaded.";
constexpr std::size_t kPlugInTableCapacity = 34;

std::unique_ptr<PanePlugInMgr>& sharedManager() {
    static std::unique_ptr<PanePlugInMgr> manager;
    return manager;
}

bool readsAsTrue(const Value& value) {
    return !value.isNull() && value.boolValue();
}

// Every ".bundle" below the folder, folders before what lies inside them, names sorted within
// a folder so that loading does not depend on the file system's order. Symbolic links to
// folders are not followed (a link loop cannot trap the walk).
std::vector<std::filesystem::path> bundlesBelow(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code code;
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator it(folder, code), end; !code && it != end;
         it.increment(code))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    for (const auto& entry : entries) {
        if (entry.extension() == ".bundle")
            found.push_back(entry);
        if (std::filesystem::is_directory(std::filesystem::symlink_status(entry, code))) {
            auto inner = bundlesBelow(entry);
            found.insert(found.end(), inner.begin(), inner.end());
        }
    }
    return found;
}

void logSkippedPlugIn(const std::string& path, const std::string& reason) {
    SystemLog::write("###PlugIn: " + std::filesystem::path(path).filename().string() +
                     " not loaded: " + reason);
}

} // namespace

// ---- Creation ----

namespace {
std::uint64_t sharedManagerGeneration = 0;
}

PanePlugInMgr& PanePlugInMgr::sharedInstance() {
    auto& manager = sharedManager();
    if (!manager) {
        manager = std::make_unique<PanePlugInMgr>(BSPrincipalBundle());
        ++sharedManagerGeneration;
    }
    return *manager;
}

std::uint64_t PanePlugInMgr::sharedGeneration() {
    return sharedManagerGeneration;
}

bool PanePlugInMgr::hasSharedInstance() {
    return sharedManager() != nullptr;
}

void PanePlugInMgr::releaseSharedInstance() {
    sharedManager().reset();
}

PanePlugInMgr::PanePlugInMgr(std::shared_ptr<Bundle> principalBundle)
    : _principalBundle(std::move(principalBundle)), _preference(_principalBundle),
      _zemaMgr(std::make_unique<ZEMAMgr>()) {
    // The engine asks the person through the host's alerts, and reports the conflicts it cannot
    // resolve once the panes have been shown, whichever host shows them.
    _zemaMgr->setDecision(AlertDecision());
    _zemaMgr->setPanesShownPredicate([this] { return _isInitializedNetworkData; });
    readBundleSettings();
    if (!_principalBundle)
        return;
    _zemaMgr->setPdeResourcePath(_principalBundle->path());
    if (int status = loadEncDec(_principalBundle->resourcePath()); status != 0)
        SystemLog::format("###loadEncDec: error %d", status);
    else
        _loadedEncryption = true;
}

PanePlugInMgr::~PanePlugInMgr() {
    _zemaMgr.reset();
    _plugInTable.clear();
    _names.close();
    if (_loadedEncryption)
        unloadEncDec();
}

std::optional<std::string> PanePlugInMgr::bundlePpdPath() const {
    auto name = _preference.ppdFileNameWithAppName();
    return name && _principalBundle ? _principalBundle->pathForResource(*name, "ppd")
                                    : std::nullopt;
}

std::vector<std::pair<std::string, std::shared_ptr<PanePlugInInterface>>>
PanePlugInMgr::loadedPanes() const {
    std::vector<std::pair<std::string, std::shared_ptr<PanePlugInInterface>>> loaded;
    for (const auto& [name, info] : _plugInTable)
        loaded.emplace_back(name, info.paneConroller);
    return loaded;
}

void PanePlugInMgr::setStringValue(const std::optional<std::string>& value,
                                   const std::string& key) {
    _zemaMgr->setStringValue(key, value);
}

std::optional<std::string> PanePlugInMgr::getStringValueFromKey(const std::string& key) const {
    return _zemaMgr->getStringValue(key);
}

// The press's lists are read from the queue through the panel, by name.
std::optional<Value> PanePlugInMgr::sendCommand(const std::string& listName) {
    return _PDEObject ? _PDEObject->sendCommand(listName) : std::nullopt;
}

void PanePlugInMgr::readBundleSettings() {
    static const Dictionary kNoInfo;
    const Dictionary& info = _principalBundle ? _principalBundle->infoDictionary() : kNoInfo;
    _uiTabTreeView = readsAsTrue(info.get("KVTabTreeView"));
    _isHiddenNumCopies = readsAsTrue(info.get("isHiddenNumCopies"));
    _isHiddenDuplex = readsAsTrue(info.get("isHiddenDuplex"));
    _isHiddenCollate = readsAsTrue(info.get("isHiddenCollate"));
    std::optional<std::string> path;
    if (const std::string* pod = info.get("KVPOD").string()) {
        _uiPOD = *pod;
        path = _principalBundle->resourcePath() + "/" + *pod + ".plist";
    }
    std::error_code code;
    if (!path || !std::filesystem::exists(*path, code)) {
        SystemLog::write(kUISettingsNotFound);
        return;
    }
    _uiFilePath = path;
}

std::shared_ptr<const Dictionary> PanePlugInMgr::uiSettings() {
    if (!_uiSettings) {
        auto settings = _uiFilePath ? PropertyList::readFile(*_uiFilePath) : std::nullopt;
        // Moved, not copied: the file describes every control, hundreds of thousands of values.
        Dictionary* dictionary = settings ? settings->dictionary() : nullptr;
        _uiSettings =
            std::make_shared<const Dictionary>(dictionary ? std::move(*dictionary) : Dictionary());
    }
    return _uiSettings;
}

// ---- Panes tree and roles ----

const Dictionary* PanePlugInMgr::panesTreeDictionary() {
    if (_panesTreeDictionary)
        return &*_panesTreeDictionary;
    auto name = _preference.panesTreeFileNameWithAppName();
    auto path =
        name && _principalBundle ? _principalBundle->pathForResource(*name, "plist") : std::nullopt;
    auto tree = path ? PropertyList::readFile(*path) : std::nullopt;
    if (!tree || !tree->dictionary()) {
        SystemLog::write(kPanesTreeNotLoaded);
        return nullptr;
    }
    _panesTreeDictionary = *tree->dictionary();
    return &*_panesTreeDictionary;
}

std::pair<std::string, std::optional<std::string>>
PanePlugInMgr::separateBundleName(const std::string& name) {
    std::size_t plus = name.find('+');
    if (plus == std::string::npos)
        return {name, std::nullopt};
    // The role is the second part: "Finishing+Front+Left" is Finishing for the role Front.
    std::size_t next = name.find('+', plus + 1);
    return {name.substr(0, plus),
            name.substr(plus + 1, next == std::string::npos ? next : next - plus - 1)};
}

std::string PanePlugInMgr::composeBundleName(const std::string& bundleName,
                                             const std::string& role) {
    return bundleName + "+" + role;
}

namespace {

using RoleTable = std::map<std::string, std::vector<std::string>>;

void addRole(RoleTable& roles, const Value& bundleName) {
    const std::string* name = bundleName.string();
    if (!name)
        return;
    auto [bundle, role] = PanePlugInMgr::separateBundleName(*name);
    if (!bundle.empty() && role)
        roles[bundle].push_back(*role);
}

// Trees come from files: nesting is bounded by the property-list reader.
void gatherRoles(RoleTable& roles, const Dictionary& node) {
    addRole(roles, node.get("bundleName"));
    if (const Dictionary* dependency = node.get("dependency").dictionary()) {
        for (const auto& [key, entry] : *dependency) {
            if (key == "mainKeyword")
                continue;
            if (const Dictionary* inner = entry.dictionary())
                addRole(roles, inner->get("bundleName"));
        }
    }
    if (const Array* items = node.get("items").array()) {
        for (const Value& item : *items) {
            if (const Dictionary* child = item.dictionary())
                gatherRoles(roles, *child);
        }
    }
}

} // namespace

std::map<std::string, std::vector<std::string>>
PanePlugInMgr::gatherPlugInRoleNames(const Dictionary* panesTree) {
    RoleTable roles;
    if (panesTree)
        gatherRoles(roles, *panesTree);
    return roles;
}

// ---- Loading ----

bool PanePlugInMgr::loadPlugIns() {
    auto roles = gatherPlugInRoleNames(panesTreeDictionary());
    if (_principalBundle) {
        for (const auto& path : bundlesBelow(_principalBundle->plugInsPath())) {
            std::string name = path.stem().string();
            auto found = roles.find(name);
            if (found == roles.end()) {
                loadPaneControllerAtPath(path.string(), std::nullopt);
                continue;
            }
            for (const std::string& role : found->second)
                loadPaneControllerAtPath(path.string(), role);
        }
    }
    return !_plugInTable.empty();
}

std::shared_ptr<PanePlugInInterface>
PanePlugInMgr::loadPaneControllerAtPath(const std::string& bundlePath,
                                        const std::optional<std::string>& roleName) {
    std::string name = std::filesystem::path(bundlePath).stem().string();
    if (isRegistered(name))
        return nullptr;
    std::string registered = roleName ? composeBundleName(name, *roleName) : name;
    if (isRegistered(registered))
        return nullptr;
    auto opened = PanePlugInLoader::open(bundlePath);
    if (!opened.factory) {
        logSkippedPlugIn(bundlePath, opened.error);
        return nullptr;
    }
    std::shared_ptr<PanePlugInInterface> controller;
    try {
        controller.reset(opened.factory());
        if (!controller) {
            logSkippedPlugIn(bundlePath, "its factory made no pane");
            return nullptr;
        }
        if (!controller->initializePanel(opened.bundle, *this)) {
            logSkippedPlugIn(bundlePath, "the pane refused to initialize");
            return nullptr;
        }
    } catch (const std::exception& exception) {
        logSkippedPlugIn(bundlePath, std::string("the pane failed: ") + exception.what());
        return nullptr;
    } catch (...) {
        logSkippedPlugIn(bundlePath, "the pane failed");
        return nullptr;
    }
    registerPane(registered, ViewInfo{controller, opened.bundle});
    return controller;
}

std::shared_ptr<PanePlugInInterface>
PanePlugInMgr::loadPaneControllerWithName(const std::optional<std::string>& name) {
    if (!name || !_principalBundle || isRegistered(*name))
        return nullptr;
    // A name is one file name inside the plug-ins folder, never a path.
    if (name->empty() || name->find('/') != std::string::npos || *name == "..")
        return nullptr;
    return loadPaneControllerAtPath(_principalBundle->plugInsPath() + "/" + *name + ".bundle",
                                    std::nullopt);
}

void PanePlugInMgr::registerPane(const std::string& name, ViewInfo info) {
    if (_plugInTable.empty())
        _plugInTable.reserve(kPlugInTableCapacity);
    _plugInTable.emplace_back(name, std::move(info));
}

const PanePlugInMgr::ViewInfo* PanePlugInMgr::viewInfo(const std::string& name) const {
    for (const auto& [registered, info] : _plugInTable) {
        if (registered == name)
            return &info;
    }
    return nullptr;
}

bool PanePlugInMgr::isRegistered(const std::string& name) const {
    return viewInfo(name);
}

std::vector<std::string> PanePlugInMgr::plugInNames() const {
    std::vector<std::string> names;
    for (const auto& entry : _plugInTable)
        names.push_back(entry.first);
    return names;
}

std::shared_ptr<PanePlugInInterface>
PanePlugInMgr::paneControllerWithName(const std::string& name) const {
    const ViewInfo* info = viewInfo(name);
    return info ? info->paneConroller : nullptr;
}

std::shared_ptr<Bundle> PanePlugInMgr::bundleForPlugInWithName(const std::string& name) const {
    const ViewInfo* info = viewInfo(name);
    return info ? info->bundle : nullptr;
}

std::shared_ptr<PanePlugInInterface>
PanePlugInMgr::paneControllerOfBundleName(const std::string& name) {
    auto controller = paneControllerWithName(name);
    if (controller)
        safeInvokePanelViewFor(*controller);
    return controller;
}

std::shared_ptr<ui::View> PanePlugInMgr::panelViewOfBundleName(const std::string& name) {
    auto controller = paneControllerWithName(name);
    return controller ? safeInvokePanelViewFor(*controller) : nullptr;
}

std::optional<std::string> PanePlugInMgr::panelNameOfBundleName(const std::string& name) {
    auto controller = paneControllerWithName(name);
    if (!controller)
        return std::nullopt;
    // A pane that serves several roles is told apart by the role's own title where the press's
    // texts give one ("Finishing+Booklet").
    if (name.find('+') != std::string::npos)
        if (std::string own = BSLocalizedStringOrKey(name); !own.empty() && own != name)
            return own;
    return controller->panelName();
}

std::optional<std::string> PanePlugInMgr::roleName(const PanePlugInInterface* controller) const {
    std::optional<std::string> found;
    int names = 0;
    for (const auto& [name, info] : _plugInTable) {
        if (info.paneConroller.get() != controller)
            continue;
        ++names;
        found = separateBundleName(name).second;
    }
    return names == 1 ? found : std::nullopt;
}

// ---- Showing and views ----

void PanePlugInMgr::willShowAllBundle() {
    for (const auto& entry : panes())
        entry.second.paneConroller->willShow();
    _isInitializedNetworkData = true;
    // Rules that could not be checked while the values were restored are checked now that the
    // person sees them.
    _zemaMgr->reportStandingConflicts();
}

std::shared_ptr<ui::View> PanePlugInMgr::safeInvokePanelViewFor(PanePlugInInterface& controller) {
    AwakeHandlerSwap swap;
    try {
        return controller.panelView();
    } catch (...) {
        SystemLog::write("###Error: the pane " + controller.panelName() +
                         " gave no view: " + caughtFailure());
        return nullptr;
    }
}

bool PanePlugInMgr::loadPanelView() {
    if (_panelViewsLoaded >= _plugInTable.size())
        return false;
    auto controller = _plugInTable[_panelViewsLoaded++].second.paneConroller;
    safeInvokePanelViewFor(*controller);
    return true;
}

bool PanePlugInMgr::rebuildPanes(const std::optional<std::string>& ppdResourceName) {
    _panesTreeDictionary.reset();
    loadPlugIns();
    _values.forgetDefaults();
    bool result =
        _names.reopenIfOpen(ppdResourceName && _principalBundle
                                ? _principalBundle->pathForResource(*ppdResourceName, "ppd")
                                : std::nullopt);
    for (const auto& entry : panes())
        safeInvokePanelViewFor(*entry.second.paneConroller);
    return result;
}

// ---- Services for pane controllers ----

void PanePlugInMgr::buildPaneUi(PanePlugInInterface& controller,
                                const std::shared_ptr<Bundle>& bundle) {
    try {
        addProfileItems(controller, bundle);
        registerPaneControls(controller);
    } catch (...) {
        // A pane that fails half-way keeps what it registered; the panel goes on, and says so.
        SystemLog::write("###Error: the controls of the pane " + controller.panelName() +
                         " were registered only in part: " + caughtFailure());
    }
}

void PanePlugInMgr::addProfileItems(PanePlugInInterface& controller,
                                    const std::shared_ptr<Bundle>& bundle) {
    PaneProfileProvider* provider = controller.profileProvider();
    if (!provider)
        return;
    for (const auto& [keyword, information] : provider->profileUiInformations())
        addProfileItem(keyword, information.profileUiControl.get(), information.profileNo_Max,
                       information.fmtOptionKeywod, bundle.get());
}

void PanePlugInMgr::registerPaneControls(PanePlugInInterface& controller) {
    auto controls = controller.getListZEMAUI();
    for (const auto& control : controls) {
        if (control)
            _zemaMgr->addControl(control);
    }
    for (const auto& control : controls) {
        if (!control)
            continue;
        NotifyUnit::postNotificationName(control->mainKeyword());
        for (const auto& child : control->childControls())
            NotifyUnit::postNotificationName(child->mainKeyword());
    }
}

bool PanePlugInMgr::setupZEMAUIControls(
    const std::vector<std::shared_ptr<ZEMAUI>>* controls, const Dictionary* controlDictionary,
    std::map<std::string, std::shared_ptr<ZEMAUI>>* outputDictionary,
    const std::shared_ptr<Bundle>& bundle) {
    if (!controls || !controlDictionary || !outputDictionary)
        return false;
    auto settings = _uiSettings && controlDictionary == _uiSettings.get()
                        ? _uiSettings
                        : std::make_shared<const Dictionary>(*controlDictionary);
    for (const auto& control : *controls) {
        std::string key = control ? control->toolTip() : std::string();
        if (key.empty() || key == "(null)")
            continue;
        // The description is shared as an entry of the settings the control holds on to; a key
        // without one gives the control an empty description.
        const Dictionary* description = settings->get(key).dictionary();
        control->setControlDictionary(
            description ? std::shared_ptr<const Dictionary>(settings, description) : nullptr,
            bundle);
        control->setUISettings(settings);
        control->updateControl();
        control->setToolTip("");
        (*outputDictionary)[key] = control;
    }
    return true;
}

void PanePlugInMgr::setZemaUiToZemaMgr(const std::shared_ptr<ZEMAUI>& control) {
    if (!control)
        return;
    _zemaMgr->addControl(control);
    NotifyUnit::postNotificationName(control->mainKeyword());
    for (const auto& child : control->childControls())
        NotifyUnit::postNotificationName(child->mainKeyword());
}

} // namespace velmora
