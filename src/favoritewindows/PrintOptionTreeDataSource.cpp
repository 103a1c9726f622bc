#include "favoritewindows/PrintOptionTreeDataSource.h"

#include "common/Localization.h"
#include "panes/AppPreference.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Image.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr ui::Size kIconSize{16, 16};
constexpr const char* kCurrentSetting = "CurrentSetting";

std::shared_ptr<ui::Image> small(std::shared_ptr<ui::Image> image) {
    return image ? image->scaledCopy(kIconSize) : nullptr;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Panes whose node stands for a single page of settings rather than a group.
bool isLeafPane(const std::string& bundleName) {
    for (const char* tail : {"ColorDetailsCommon_", "ColorDetailsRGB_", "ColorDetailsSpotColor_",
                             "TwoColorPrintingSimulation_"})
        if (endsWith(bundleName, tail))
            return true;
    return false;
}

bool isCurrentSetting(const Value& entry) {
    const Dictionary* node = entry.dictionary();
    return node && node->get("itemName").stringValue() == kCurrentSetting;
}

} // namespace

PrintOptionTreeDataSource::PrintOptionTreeDataSource(PanePlugInMgr& manager) : _manager(manager) {}

PrintOptionTreeDataSource::~PrintOptionTreeDataSource() {
    if (_outlineView) {
        _outlineView->setOutlineDataSource(nullptr);
        _outlineView->setOutlineDelegate(nullptr);
    }
}

void PrintOptionTreeDataSource::setOutlineView(ui::OutlineView* outlineView,
                                               bool expandDependency) {
    _outlineView = outlineView;
    _isExpandDependency = expandDependency;
    loadTree();
    // The icon of a folder, as the resource folder shows it.
    _folderIcon = small(ui::Image::systemIcon("fldr"));
    _normalItemIcon = small(ui::Image::systemIcon("unfs"));
    _differWithDefaultIcon = small(ui::Image::systemIcon("note"));
    if (_outlineView) {
        _outlineView->setOutlineDataSource(this);
        _outlineView->setOutlineDelegate(this);
    }
}

// The root: the "CurrentSetting" entry when it comes first, the tree without it when it comes
// last, the whole tree otherwise.
void PrintOptionTreeDataSource::loadTree() {
    const Dictionary* tree = _manager.panesTreeDictionary();
    _treeDictionary = tree ? *tree : Dictionary();
    const Array* items = _treeDictionary.get("items").array();
    if (!items || items->empty())
        return;
    if (isCurrentSetting(items->front())) {
        _treeDictionary = *items->front().dictionary();
    } else if (isCurrentSetting(items->back())) {
        Array rest(items->begin(), items->end() - 1);
        _treeDictionary.set("items", Value(std::move(rest)));
    }
}

namespace {

using OptionRows = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

// Gives each pane's node a row per option of the pane; true when one of them, anywhere under
// the node, differs from the default.
bool addOptionRows(Dictionary& node, const OptionRows& shown, const OptionRows& standard) {
    bool differs = false;
    if (Value* items = node.find("items"); items && items->array()) {
        for (Value& child : *items->array())
            if (Dictionary* entry = child.dictionary())
                differs = addOptionRows(*entry, shown, standard) || differs;
    } else if (const std::string* bundle = node.get("bundleName").string()) {
        auto rows = shown.find(*bundle);
        if (rows == shown.end())
            return false;
        std::map<std::string, std::string> defaults;
        if (auto standardRows = standard.find(*bundle); standardRows != standard.end())
            defaults.insert(standardRows->second.begin(), standardRows->second.end());
        Array leaves;
        for (const auto& [title, value] : rows->second) {
            auto standardValue = defaults.find(title);
            bool different = standardValue == defaults.end() || standardValue->second != value;
            differs = differs || different;
            leaves.push_back(Value(Dictionary{{"mainAlias", Value(title + ": " + value)},
                                              {"differedWithDefault", Value(different)}}));
        }
        node.set("items", Value(std::move(leaves)));
    }
    if (differs)
        node.set("differedWithDefault", Value(true));
    return differs;
}

} // namespace

void PrintOptionTreeDataSource::showSettings(const Dictionary& settings,
                                             const Dictionary& defaults) {
    auto rowsOf = [this](const Dictionary& options) {
        OptionRows rows;
        for (auto& group : _manager.summary().summaryGroupsFromPrintOption(options, false))
            if (!group.bundleName.empty())
                rows[group.bundleName] = std::move(group.rows);
        return rows;
    };
    OptionRows shown = rowsOf(settings), standard = rowsOf(defaults);
    // The rows of the settings shown before go: the tree starts from the panes again.
    _settingTreeCache.clear();
    loadTree();
    addOptionRows(_treeDictionary, shown, standard);
    // The view's rows pointed into the tree that went.
    if (_outlineView)
        _outlineView->reloadData();
}

void PrintOptionTreeDataSource::updatePrintOption(const std::optional<Dictionary>& printOption,
                                                  bool finish) {
    if (printOption)
        _currentPrintOption = printOption;
    if (finish)
        refresh();
}

void PrintOptionTreeDataSource::updateProfilePath(const std::optional<std::string>& profilePath,
                                                  bool finish) {
    if (profilePath) {
        if (profilePath->empty()) {
            _profileDictionary.reset();
        } else {
            try {
                _profileDictionary = _manager.principalBundle()
                                         ? AppPreference(_manager.principalBundle())
                                               .profileDictionaryWithContentsOfFile(profilePath)
                                         : std::nullopt;
            } catch (const FileNotFoundError&) {
                _profileDictionary.reset();
            }
        }
    }
    if (finish)
        refresh();
}

// ---- The tree ----

const Array* PrintOptionTreeDataSource::children(ui::OutlineItem item) const {
    const Dictionary* parent = item ? node(item) : &_treeDictionary;
    return parent ? parent->get("items").array() : nullptr;
}

long PrintOptionTreeDataSource::outlineViewNumberOfChildrenOfItem(ui::OutlineView&,
                                                                  ui::OutlineItem item) {
    const Array* list = children(item);
    return list ? static_cast<long>(list->size()) : 0;
}

ui::OutlineItem PrintOptionTreeDataSource::outlineViewChildOfItem(ui::OutlineView&, long index,
                                                                  ui::OutlineItem item) {
    const Array* list = children(item);
    if (!list || index < 0 || index >= static_cast<long>(list->size()))
        return nullptr;
    return (*list)[static_cast<std::size_t>(index)].dictionary();
}

bool PrintOptionTreeDataSource::outlineViewIsItemExpandable(ui::OutlineView& view,
                                                            ui::OutlineItem item) {
    return outlineViewNumberOfChildrenOfItem(view, item) > 0;
}

Value PrintOptionTreeDataSource::outlineViewObjectValue(ui::OutlineView&, ui::TableColumn*,
                                                        ui::OutlineItem item) {
    return Value(display(item).title);
}

bool PrintOptionTreeDataSource::outlineViewShouldSelectItem(ui::OutlineView&,
                                                            ui::OutlineItem item) {
    const Dictionary* entry = node(item);
    const std::string* bundleName = entry ? entry->get("bundleName").string() : nullptr;
    return !bundleName || _manager.paneControllerWithName(*bundleName) != nullptr;
}

// The node's icon, and its title dimmed for a pane that is not loaded.
ui::RowLook PrintOptionTreeDataSource::outlineViewLookOfItem(ui::OutlineView&,
                                                             ui::OutlineItem item) {
    NodeDisplay shown = display(item);
    return {shown.icon, shown.greyed};
}

PrintOptionTreeDataSource::NodeDisplay PrintOptionTreeDataSource::display(ui::OutlineItem item) {
    if (!item)
        return {};
    auto cached = _settingTreeCache.find(item);
    if (cached != _settingTreeCache.end())
        return cached->second;
    NodeDisplay shown = makeDisplay(*node(item));
    if (!shown.greyed && !shown.title.empty())
        widenColumnFor(item, shown.title);
    _settingTreeCache[item] = shown;
    return shown;
}

PrintOptionTreeDataSource::NodeDisplay
PrintOptionTreeDataSource::makeDisplay(const Dictionary& entry) {
    NodeDisplay shown;
    // Nodes resolve to themselves here; a manager that resolves differently hands back another.
    const Dictionary& resolved = *_manager.resolveItem(&entry, _isExpandDependency);
    if (const std::string* alias = entry.get("mainAlias").string()) {
        shown.title = *alias;
        shown.icon = _normalItemIcon;
    } else if (const std::string* name = entry.get("itemName").string()) {
        shown.title = *name;
        shown.icon = _folderIcon;
    } else if (const std::string* bundle = resolved.get("bundleName").string()) {
        auto panel = _manager.paneControllerWithName(*bundle)
                         ? _manager.panelNameOfBundleName(*bundle)
                         : std::nullopt;
        // A pane that is not loaded keeps a title: its localized name, else the bundle name.
        std::string localized = BSLocalizedStringOrKey(*bundle);
        shown.title = panel ? *panel : (localized.empty() ? *bundle : localized);
        shown.greyed = !panel;
        shown.icon = isLeafPane(*bundle) ? _normalItemIcon : _folderIcon;
    } else if (const std::string* name = resolved.get("itemName").string()) {
        shown.title = *name;
        shown.icon = _folderIcon;
    } else {
        shown.icon = _normalItemIcon;
    }
    if (entry.get("differedWithDefault").boolValue())
        shown.icon = _differWithDefaultIcon;
    const Array* items = entry.get("items").array();
    if (shown.title.empty() && items && !items->empty()) {
        const Dictionary* first = items->front().dictionary();
        std::string plugIn = first ? first->get("plugInName").stringValue() : "";
        std::size_t underscore = plugIn.find('_');
        if (underscore != std::string::npos)
            shown.title = "  " + BSLocalizedStringOrKey(plugIn.substr(0, underscore));
    }
    return shown;
}

// A title that does not fit makes the column wider, and the row is drawn again on the next
// turn of the event loop.
void PrintOptionTreeDataSource::widenColumnFor(ui::OutlineItem item, const std::string& title) {
    if (!_outlineView)
        return;
    ui::TableColumn* column = _outlineView->tableColumnWithIdentifier("name");
    if (!column)
        return;
    int level = std::max(0, _outlineView->levelForItem(item));
    double needed =
        level * _outlineView->indentationPerLevel() + _outlineView->font().widthOfString(title);
    if (needed + 20 <= column->width())
        return;
    column->setMaxWidth(needed + 40);
    column->setWidth(needed + 40);
    std::weak_ptr<bool> alive = _alive;
    ui::OutlineView* view = _outlineView;
    RunLoop::current().perform(
        [alive, view] {
            if (alive.lock())
                view->reloadData();
        },
        {RunLoop::kDefaultMode, RunLoop::kModalPanelMode});
}

// ---- Refresh ----

void PrintOptionTreeDataSource::collapseWithDescendants(const Dictionary& entry) {
    const Array* items = entry.get("items").array();
    if (!items)
        return;
    for (const Value& item : *items) {
        if (const Dictionary* child = item.dictionary()) {
            collapseWithDescendants(*child);
            _outlineView->collapseItem(child);
        }
    }
}

bool PrintOptionTreeDataSource::collectDiffering(const Dictionary& entry,
                                                 std::vector<const Dictionary*>& collected,
                                                 std::set<const Dictionary*>& seen) const {
    bool marked = false;
    if (const Array* items = entry.get("items").array()) {
        for (const Value& item : *items) {
            const Dictionary* child = item.dictionary();
            if (!child)
                continue;
            bool below = collectDiffering(*child, collected, seen);
            marked = marked || below || child->get("differedWithDefault").boolValue();
        }
    }
    if (marked && seen.insert(&entry).second)
        collected.push_back(&entry);
    return marked;
}

void PrintOptionTreeDataSource::refresh() {
    _settingTreeCache.clear();
    if (!_outlineView)
        return;
    _outlineView->deselectAll();
    _outlineView->reloadData();
    collapseWithDescendants(_treeDictionary);
    std::vector<const Dictionary*> collected;
    std::set<const Dictionary*> seen;
    collectDiffering(_treeDictionary, collected, seen);
    for (auto it = collected.rbegin(); it != collected.rend(); ++it) {
        if (*it != &_treeDictionary)
            _outlineView->expandItem(*it);
    }
}

} // namespace velmora
