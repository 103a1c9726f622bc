// The values, names and summary of all options: what the panel and the windows ask the
// manager for at once.
#include "panes/PanePlugInMgr.h"

#include "common/Alerts.h"
#include "common/Localization.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMAUI.h"
#include "favorites/Scrambling.h"
#include "panes/PrintOptionConsistency.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/foundation/SystemLog.h"
#include "platform/printing/PpdTranslation.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Button.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "ppd/PpdFile.h"
#include "validation/MaxBytesFormatter.h"
#include "validation/MaxLengthFormatter.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace velmora {
namespace {

// A localized string of a plug-in bundle, the key itself when the bundle has none.
std::string plugInString(const Bundle& bundle, const std::string& key) {
    const std::string* text = bundle.findLocalizedString(key, "Localizable");
    return text ? *text : key;
}

} // namespace

// ---- Values ----

Dictionary PanePlugInMgr::defaultSettings() {
    if (!_defaultDictionary)
        _defaultDictionary = _zemaMgr->getAllValueDictionary();
    return *_defaultDictionary;
}

std::optional<Dictionary> PanePlugInMgr::gatherPrintOptionValues(bool, int, bool useServerSetting,
                                                                 bool, bool) {
    if (useServerSetting || !_zemaMgr)
        return std::nullopt;
    return _zemaMgr->getAllValueDictionary();
}

bool PanePlugInMgr::restorePrintOptionValues(const std::optional<Dictionary>& values) {
    if (_plugInTable.empty() || !values)
        return true;
    try {
        _zemaMgr->setSettings(*values);
        for (const auto& [name, info] : panes()) {
            if (name == "Page") {
                if (auto* writer = info.paneConroller->automaticPaperTrayWriter())
                    writer->writeAutomaticPapaerTraySelection();
            } else if (name == "Layout" || name == "SpoolOptions") {
                info.paneConroller->willShow();
            }
        }
        for (const auto& entry : panes())
            safeInvokePanelViewFor(*entry.second.paneConroller);
    } catch (const std::exception& exception) {
        SystemLog::write(
            std::string("###Error: a pane stopped while the settings were restored: ") +
            exception.what());
        ExceptionAlert(&exception);
        return false;
    } catch (...) {
        SystemLog::write("###Error: a pane stopped while the settings were restored");
        const std::runtime_error unknown("unknown exception");
        ExceptionAlert(&unknown);
        return false;
    }
    return true;
}

void PanePlugInMgr::requirePlugIns() const {
    if (_plugInTable.empty())
        throw std::logic_error("## plug-in table is nil");
}

void PanePlugInMgr::updateEnabledStates(int fileType, bool unifiedFileType, bool useServerSetting,
                                        bool sameSettingForNext) {
    requirePlugIns();
    for (const auto& entry : panes())
        updateEnabledStatesByBundleName(entry.first, fileType, unifiedFileType, useServerSetting,
                                        sameSettingForNext);
}

bool PanePlugInMgr::isEnable(bool, int, bool useServerSetting, bool, bool) {
    return !useServerSetting;
}

void PanePlugInMgr::setStringValue(const std::optional<std::string>& value,
                                   const std::string& key) {
    _zemaMgr->setStringValue(key, value);
}

std::optional<std::string> PanePlugInMgr::getStringValueFromKey(const std::string& key) const {
    return _zemaMgr->getStringValue(key);
}

std::optional<std::vector<std::string>>
PanePlugInMgr::setStringValueWithRestoreConfliction(const std::string& value,
                                                    const std::string& key) {
    return _zemaMgr->setStringValueWithRestoreConfliction(key, value);
}

void PanePlugInMgr::updateOldValue(const std::string& key) {
    _zemaMgr->updateOldValue(key);
}

bool PanePlugInMgr::validateBeforeChange(const std::string& key, const std::string& valueIf,
                                         const std::optional<std::string>& name) {
    return _zemaMgr->validateBeforeChange(key, valueIf, name);
}

// ---- The bundle's PPD ----

const PpdFileExt* PanePlugInMgr::ppdInformation() {
    if (!_ppdFile && !_ppdTried && _principalBundle) {
        _ppdTried = true;
        auto name = _preference.ppdFileNameWithAppName();
        auto path = name ? _principalBundle->pathForResource(*name, "ppd") : std::nullopt;
        if (path)
            _ppdFile = PpdFileExt::openFile(*path);
        // Option and choice names (the summary's, the alerts') in the person's language where
        // the PPD has it.
        if (_ppdFile)
            PpdTranslation::readFile(*path, PreferredLanguages::first())
                .applyTo(_ppdFile->handle());
    }
    return _ppdFile.get();
}

bool PanePlugInMgr::isExistsInPpd(const std::optional<std::string>& option,
                                  const std::optional<std::string>& optionKeyword) {
    const PpdFileExt* ppd = ppdInformation();
    if (!option || !ppd)
        return false;
    return optionKeyword ? ppd->isExists(*option, *optionKeyword) : ppd->isExists(*option);
}

std::optional<std::string> PanePlugInMgr::selectedOptionKeyword(const std::string& key) {
    Dictionary defaults = defaultSettings();
    const Value& captured = defaults.get(key);
    std::optional<std::string> value;
    if (const std::string* text = captured.string())
        value = *text;
    if (key == "ColorModel" && value == "CMYK1" && isExistsInPpd(key, std::string("CMYK2")))
        return "CMYK2";
    return value;
}

// ---- Plain controls of the panes ----

namespace {

Array stringArray(const std::vector<std::string>& texts) {
    Array array;
    for (const auto& text : texts)
        array.push_back(Value(text));
    return array;
}

} // namespace

void PanePlugInMgr::buildControl(ui::Control* control, const std::string& key,
                                 const std::optional<std::string>& title) {
    const PpdFileExt* ppd = ppdInformation();
    if (!control || key.empty() || !ppd)
        return;
    auto keywords = ppd->optionKeywords(key);
    auto aliases = ppd->optionAliases(key);
    if (!keywords || !aliases)
        return;
    if (auto* popUp = dynamic_cast<ui::PopUpButton*>(control)) {
        popUp->setAutoenablesItems(false);
        popUp->removeAllItems();
        for (std::size_t i = 0; i < keywords->size(); ++i)
            PaneControlServices::addMenuItem(popUp, key, (*aliases)[i], (*keywords)[i]);
    } else if (auto* slider = dynamic_cast<ui::Slider*>(control)) {
        if (title) {
            Dictionary represented;
            represented.set("title", *title);
            represented.set("mainKeyword", key);
            represented.set("optionKeywords", Value(stringArray(*keywords)));
            represented.set("optionAliases", Value(stringArray(*aliases)));
            slider->cell().setRepresentedObject(Value(std::move(represented)));
        }
        slider->setMinValue(0);
        slider->setMaxValue(static_cast<double>(keywords->size()) - 1);
        slider->setNumberOfTickMarks(static_cast<int>(keywords->size()));
        slider->setAllowsTickMarkValuesOnly(true);
    } else if (auto* button = dynamic_cast<ui::Button*>(control)) {
        Dictionary represented;
        represented.set("mainKeyword", key);
        if (ppd->uiType(key) == 1)
            represented.set("optionKeywords", Value(stringArray(*keywords)));
        button->cell().setRepresentedObject(Value(std::move(represented)));
    } else if (auto* field = dynamic_cast<ui::TextField*>(control)) {
        if (title) {
            Dictionary represented;
            represented.set("title", *title);
            represented.set("mainKeyword", key);
            field->cell().setRepresentedObject(Value(std::move(represented)));
        }
    } else if (auto* matrix = dynamic_cast<ui::Matrix*>(control)) {
        std::size_t choice = 0;
        for (int row = 0; row < matrix->numberOfRows(); ++row) {
            for (int column = 0; column < matrix->numberOfColumns(); ++column, ++choice) {
                ui::Cell* cell = matrix->cellAt(row, column);
                if (!cell || choice >= keywords->size())
                    continue;
                cell->setTitle((*aliases)[choice]);
                cell->setRepresentedObject(Value((*keywords)[choice]));
            }
        }
    }
}

// ---- Names of options and choices ----

std::optional<std::string> PanePlugInMgr::mainAlias(const std::string& keyword,
                                                    const Bundle* bundle) {
    const PpdFileExt* ppd = ppdInformation();
    if (auto text = ppd ? ppd->mainAlias(keyword) : std::nullopt)
        return text;
    if (bundle)
        return plugInString(*bundle, keyword);
    return std::nullopt;
}

std::string PanePlugInMgr::mainAlias(const std::string& keyword) {
    auto title = mainAlias(keyword, nullptr);
    return title ? *title : BSLocalizedStringOrKey(keyword);
}

std::optional<std::string> PanePlugInMgr::optionAlias(const std::optional<std::string>& choice,
                                                      const std::optional<std::string>& option,
                                                      const Bundle* bundle) {
    if (!choice || !option)
        return std::nullopt;
    const PpdFileExt* ppd = ppdInformation();
    if (auto text = ppd ? ppd->optionAlias(*option, *choice) : std::nullopt)
        return text;
    if (!bundle)
        return std::nullopt;
    std::string text = plugInString(*bundle, *choice);
    return text == *choice ? BSLocalizedStringOrKey(*choice) : text;
}

void PanePlugInMgr::getAlias(std::optional<std::string>* optionTitle,
                             std::optional<std::string>* choiceTitle,
                             const std::optional<std::string>& mainKeyword,
                             const std::optional<std::string>& optionKeyword) {
    if (optionTitle)
        *optionTitle = std::nullopt;
    if (choiceTitle)
        *choiceTitle = std::nullopt;
    if (!mainKeyword)
        return;
    if (optionTitle)
        *optionTitle = mainAlias(*mainKeyword, nullptr);
    if (choiceTitle && optionKeyword)
        *choiceTitle = optionAlias(optionKeyword, mainKeyword, nullptr);
}

std::optional<Dictionary>
PanePlugInMgr::summaryInfoFromPrintOption(const std::optional<Dictionary>& options) {
    if (!options)
        return std::nullopt;
    Dictionary summary;
    for (const auto& [key, value] : *options)
        if (auto row = summaryRow(key, value))
            summary.set(row->first, row->second);
    return summary;
}

std::optional<std::pair<std::string, std::string>> PanePlugInMgr::summaryRow(const std::string& key,
                                                                             const Value& value) {
    if (value.isNull())
        return std::nullopt;
    auto title = mainAlias(key, nullptr);
    auto choice = optionAlias(PaneControlServices::textOf(value), key, nullptr);
    if (!title || !choice)
        return std::nullopt;
    return std::make_pair(*title, *choice);
}

namespace {

// The option controls of a pane and their child controls, in the order the pane shows them.
void addWithChildren(const std::shared_ptr<ZEMAUI>& control,
                     std::vector<std::shared_ptr<ZEMAUI>>& all) {
    all.push_back(control);
    for (const auto& child : control->childControls())
        addWithChildren(child, all);
}

// A control applies to the job as set up when neither it nor a control it belongs to is hidden
// or disabled (a child of an unticked box, "2 Up" while imposition is off). The view's own
// hidden state counts: a control without an input element of its own (a group's title) calls
// itself hidden, but its children show.
bool applies(const ZEMAUI& control) {
    for (const ui::View* view = &control; view; view = view->superview()) {
        auto* owner = dynamic_cast<const ZEMAUI*>(view);
        if (!owner)
            break;
        if (owner->ui::View::isHidden() || !owner->isEnabled())
            return false;
    }
    return true;
}

} // namespace

std::vector<PanePlugInMgr::SummaryGroup>
PanePlugInMgr::summaryGroupsFromPrintOption(const Dictionary& options, bool onlyApplying) {
    std::vector<SummaryGroup> groups;
    std::set<std::string> seen, listed;
    // The panes in the order the detailed settings show them.
    const Dictionary* tree = panesTreeDictionary();
    const Array* items = tree ? tree->get("items").array() : nullptr;
    for (const Value& node : items ? *items : Array()) {
        const Dictionary* description = node.dictionary();
        const std::string* name = description ? description->get("bundleName").string() : nullptr;
        if (!name)
            continue;
        SummaryGroup group{panelNameOfBundleName(*name).value_or(*name), *name, {}};
        std::vector<std::shared_ptr<ZEMAUI>> controls;
        for (const auto& control :
             PaneControlServices::getZEMAUIControls(panelViewOfBundleName(*name).get()))
            addWithChildren(control, controls);
        for (const auto& control : controls) {
            const std::string& key = control->mainKeyword();
            if (key.empty() || !options.contains(key))
                continue;
            seen.insert(key);
            // An option shows once, with the first pane that shows it as applying.
            if (listed.contains(key) || (onlyApplying && !applies(*control)))
                continue;
            if (auto row = summaryRow(key, options.get(key))) {
                group.rows.push_back(std::move(*row));
                listed.insert(key);
            }
        }
        if (!group.rows.empty())
            groups.push_back(std::move(group));
    }
    SummaryGroup rest{BSLocalizedStringOrKey("Summary_OtherOptions"), {}, {}};
    for (const auto& [key, value] : options)
        if (!seen.contains(key))
            if (auto row = summaryRow(key, value))
                rest.rows.push_back(std::move(*row));
    if (!rest.rows.empty())
        groups.push_back(std::move(rest));
    return groups;
}

bool PanePlugInMgr::isPrintOptionConsistencyCheck(const Dictionary& options) {
    // Restored values may still break a rule the person was told about: not printed as they are.
    if (auto standing = _zemaMgr->standingConflicts(); !standing.empty()) {
        std::string all;
        for (const auto& conflict : standing)
            all += (all.empty() ? "" : "\r\r") + conflict.message;
        ui::Alert alert;
        alert.setMessageText(all);
        alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
        alert.runModal();
        return false;
    }
    std::vector<std::string> problems = PrintOptionConsistency::problems(options);
    if (problems.empty())
        return true;
    std::string list;
    for (const auto& key : problems)
        list += BSLocalizedStringOrKey(key) + "\r";
    ui::Alert alert;
    alert.setMessageText(BSLocalizedStringOrKey("Alert_ChkMsg"));
    alert.setInformativeText(list);
    alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    alert.runModal();
    return false;
}

int PanePlugInMgr::checkPageRangeForSpecialToner(const std::string& range) {
    return PrintOptionConsistency::checkPageRangeForSpecialToner(range);
}

// ---- Profiles ----

namespace {

// "Profile12" → {"Profile", 12}; no digit → {"", 0}.
std::pair<std::string, long> splitBeforeNumber(const std::string& keyword) {
    std::size_t digit = 0;
    while (digit < keyword.size() && !std::isdigit(static_cast<unsigned char>(keyword[digit])))
        ++digit;
    if (digit == keyword.size())
        return {"", 0};
    auto number = NumberText::leadingInteger(std::string_view(keyword).substr(digit));
    return {keyword.substr(0, digit), static_cast<long>(number)};
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

void PanePlugInMgr::addProfileItem(const std::string& optionKeyword, ui::PopUpButton* popUp,
                                   long lastNo, const std::string& format, const Bundle* bundle) {
    if (!popUp)
        return;
    std::string keywordPrefix, titlePrefix;
    long last = 0;
    if (popUp->numberOfItems() == 0) {
        keywordPrefix = endsWith(format, "%d") ? format.substr(0, format.size() - 2) : format;
        titlePrefix = bundle ? plugInString(*bundle, keywordPrefix) : keywordPrefix;
    } else {
        auto item = popUp->itemAtIndex(popUp->numberOfItems() - 1);
        const Value keyword =
            PaneControlServices::representedObjectOfMenuItem(item.get(), "optionKeyword");
        if (const std::string* text = keyword.string()) {
            std::tie(keywordPrefix, last) = splitBeforeNumber(*text);
            std::string number = std::to_string(last);
            titlePrefix = endsWith(item->title(), number)
                              ? item->title().substr(0, item->title().size() - number.size())
                              : std::string();
        }
    }
    // A pop-up of profiles is a list a person picks from: more would only exhaust memory.
    constexpr long kMostProfileItems = 9999;
    long limit = std::min(lastNo, kMostProfileItems);
    if (last >= limit)
        return;
    for (long number = last + 1; number <= limit; ++number)
        PaneControlServices::addMenuItem(popUp, optionKeyword, titlePrefix + std::to_string(number),
                                         keywordPrefix + std::to_string(number));
}

void PanePlugInMgr::setProfilePath(const std::optional<std::string>& path) {
    _currentProfilePath = path;
    updateProfilesOfAllBundles(path);
}

void PanePlugInMgr::updateProfilesOfAllBundles(const std::optional<std::string>& path) {
    requirePlugIns();
    for (const auto& entry : panes())
        updateProfileByBundleName(entry.first, path);
}

void PanePlugInMgr::updateProfileByBundleName(const std::string& name,
                                              const std::optional<std::string>& path) {
    const ViewInfo* info = viewInfo(name);
    if (!info)
        return;
    if (_currentProfilePath != path)
        _currentProfilePath = path;
    auto controller = info->paneConroller;
    if (auto* provider = controller->profileProvider())
        provider->profileUiInformations();
}

std::optional<Dictionary> PanePlugInMgr::dictionaryOfCurrentProfile() const {
    return _preference.profileDictionaryWithContentsOfFile(_currentProfilePath);
}

} // namespace velmora
