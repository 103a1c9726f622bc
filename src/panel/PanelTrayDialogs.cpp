#include "panel/PanelTrayDialogs.h"

#include "controls/ZEMAUI.h"
#include "device/PdeAutomaticPaperTraySelection.h"
#include "panel/OptionText.h"
#include "panes/PanePlugInMgr.h"

namespace velmora {
namespace {

using optiontext::isEmpty;
using optiontext::setIfValue;
using optiontext::textOf;

constexpr const char* kBypassPaperKey =
    "PaperTypeBypass_MediaTypeTabbedBypass_MediaTypeCoatingMaterialBypass_"
    "MediaTypePreprintedBypass_MediaTypeDrilledBypass_PaperTypeCustomNumberBypass";
const char* const kMediaAttributes[] = {"MediaTypeCoatingMaterial", "MediaTypeDrilled",
                                        "MediaTypeGlossFine", "MediaTypePreprinted"};

// Two-string entries (display text, keyword) of a server list; anything else is left out.
std::vector<PopupEntry> twoStringEntries(const Value& list) {
    std::vector<PopupEntry> entries;
    if (const Array* items = list.array()) {
        for (const Value& item : *items) {
            const Array* pair = item.array();
            if (pair && pair->size() >= 2 && (*pair)[0].string() && (*pair)[1].string())
                entries.emplace_back(*(*pair)[0].string(), *(*pair)[1].string());
        }
    }
    return entries;
}

} // namespace

PanelTrayDialogs::PanelTrayDialogs(PanePlugInMgr& manager, std::shared_ptr<Bundle> bundle)
    : _manager(manager), _bundle(std::move(bundle)) {}

PanelTrayDialogs::~PanelTrayDialogs() = default;

void PanelTrayDialogs::build() {
    if (!_automatic)
        _automatic = make(false);
    if (!_bypass && bypassExists())
        _bypass = make(true);
}

void PanelTrayDialogs::reset() {
    _automatic.reset();
    _bypass.reset();
}

bool PanelTrayDialogs::bypassExists() const {
    auto settings = _manager.uiSettings();
    return settings && settings->get(kBypassKey).dictionary();
}

std::shared_ptr<PdeAutomaticPaperTraySelection> PanelTrayDialogs::make(bool bypass) {
    auto dialog = std::make_shared<PdeAutomaticPaperTraySelection>();
    dialog->initializePanel(_bundle, bypass, &_manager);
    for (const auto& [key, control] : dialog->getListZEMAUI())
        _manager.setZemaUiToZemaMgr(control);
    return dialog;
}

void PanelTrayDialogs::offerCustomPapers(const Value& papers) {
    if (!papers.array() || papers.array()->empty())
        return;
    auto entries = twoStringEntries(papers);
    for (const auto& dialog : {_automatic, _bypass})
        if (dialog)
            dialog->setPaperTypeCustomList(entries);
}

bool PanelTrayDialogs::open(long tag, std::function<void()> didEnd) {
    const auto& dialog = tag == 0 ? _automatic : _bypass;
    if (!dialog)
        return false;
    dialog->modalWindow(std::move(didEnd));
    return true;
}

bool PanelTrayDialogs::gather(Dictionary& options) const {
    gatherAutomatic(options);
    return options.contains(kBypassKey) && gatherBypass(options);
}

bool PanelTrayDialogs::restore(const Dictionary& options) {
    restoreAutomatic(options);
    return options.contains(kBypassKey) && restoreBypass(options);
}

std::optional<std::string> PanelTrayDialogs::managerValue(const std::string& key) const {
    return _manager.getStringValueFromKey(key);
}

void PanelTrayDialogs::setManagerValue(const Dictionary& options, const std::string& key) {
    _manager.setStringValue(textOf(options.find(key)), key);
}

// What the window's text fields hold counts where a field says more than the pop-up beside it
// (a custom paper's name, the weight as a number).
void PanelTrayDialogs::gatherAutomatic(Dictionary& options) const {
    Dictionary texts = _automatic ? _automatic->getTextFieldStringDictionary() : Dictionary();
    auto text = [&](const char* key) { return textOf(texts.find(key)); };
    if (auto tabbed = managerValue("PaperType_MediaTypeTabbed"))
        options.set("PaperType_MediaTypeTabbed", Value(*tabbed));
    else
        setIfValue(options, "PaperTypeD", managerValue("PaperTypeD"));
    if (!isEmpty(text("PaperTypeCustomName")))
        options.set("PaperTypeCustomName", Value(*text("PaperTypeCustomName")));
    setIfValue(options, "MediaTypeSequence", text("MediaTypeSequence"));
    setIfValue(options, "PaperColor", managerValue("PaperColor"));
    setIfValue(options, "PaperColorCustomName", text("PaperColorCustomName"));
    if (!isEmpty(text("MediaTypeWeightValue")))
        options.set("MediaTypeWeightValue", Value(*text("MediaTypeWeightValue")));
    else
        setIfValue(options, "MediaTypeWeight", managerValue("MediaTypeWeight"));
    for (const char* key : kMediaAttributes)
        if (!isEmpty(text(key)))
            setIfValue(options, key, managerValue(key));
}

bool PanelTrayDialogs::gatherBypass(Dictionary& options) const {
    Dictionary texts = _bypass ? _bypass->getTextFieldStringDictionary() : Dictionary();
    setIfValue(options, kBypassPaperKey, managerValue(kBypassPaperKey));
    setIfValue(options, "MediaTypeSequenceBypass", textOf(texts.find("MediaTypeSequenceBypass")));
    setIfValue(options, "PaperColorBypass", managerValue("PaperColorBypass"));
    setIfValue(options, "MediaTypeWeightBypass", managerValue("MediaTypeWeightBypass"));
    bool bypass = managerValue(kBypassKey) == "True";
    options.set(kBypassKey, Value(bypass));
    return bypass;
}

void PanelTrayDialogs::restoreAutomatic(const Dictionary& options) {
    auto nonEmpty = [&](const char* key) { return !isEmpty(textOf(options.find(key))); };
    setManagerValue(options, options.contains("PaperType_MediaTypeTabbed")
                                 ? "PaperType_MediaTypeTabbed"
                                 : "PaperTypeD");
    setManagerValue(options, nonEmpty("PaperTypeCustomNumber") ? "PaperTypeCustomNumber"
                                                               : "PaperTypeCustomName");
    setManagerValue(options, "MediaTypeSequence");
    setManagerValue(options, "PaperColor");
    if (options.contains("PaperColorCustomName"))
        setManagerValue(options, "PaperColorCustomName");
    setManagerValue(options,
                    nonEmpty("MediaTypeWeightValue") ? "MediaTypeWeightValue" : "MediaTypeWeight");
    for (const char* key : kMediaAttributes)
        if (nonEmpty(key))
            setManagerValue(options, key);
}

bool PanelTrayDialogs::restoreBypass(const Dictionary& options) {
    for (const char* key :
         {kBypassPaperKey, "MediaTypeSequenceBypass", "PaperColorBypass", "MediaTypeWeightBypass"})
        setManagerValue(options, key);
    bool bypass = options.get(kBypassKey).boolValue();
    _manager.setStringValue(bypass ? "True" : "False", kBypassKey);
    return bypass;
}

} // namespace velmora
