// The values of all options at once.
#include "panes/PaneValues.h"

#include "common/Alerts.h"
#include "common/Localization.h"
#include "controls/ZEMAMgr.h"
#include "panes/PaneDirectory.h"
#include "panes/PaneOptionNames.h"
#include "panes/PanePlugInInterface.h"
#include "panes/PrintOptionConsistency.h"
#include "platform/foundation/SystemLog.h"
#include "platform/ui/Alert.h"

#include <stdexcept>

namespace velmora {

Dictionary PaneValues::defaultSettings() {
    if (!_defaultDictionary)
        _defaultDictionary = _engine.getAllValueDictionary();
    return *_defaultDictionary;
}

std::optional<Dictionary> PaneValues::gatherPrintOptionValues(bool, int, bool useServerSetting,
                                                              bool, bool) {
    if (useServerSetting)
        return std::nullopt;
    return _engine.getAllValueDictionary();
}

bool PaneValues::restorePrintOptionValues(const std::optional<Dictionary>& values) {
    const auto panes = _panes.loadedPanes();
    if (panes.empty() || !values)
        return true;
    try {
        _engine.setSettings(*values);
        for (const auto& [name, pane] : panes) {
            if (name == "Page") {
                if (auto* writer = pane->automaticPaperTrayWriter())
                    writer->writeAutomaticPapaerTraySelection();
            } else if (name == "Layout" || name == "SpoolOptions") {
                pane->willShow();
            }
        }
        for (const auto& entry : _panes.loadedPanes())
            _panes.safeInvokePanelViewFor(*entry.second);
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

void PaneValues::updateEnabledStates(int, bool, bool, bool) {
    // The panes settle their enabled states themselves; there must be panes to ask.
    if (_panes.loadedPanes().empty())
        throw std::logic_error("## plug-in table is nil");
}

bool PaneValues::isEnable(bool, int, bool useServerSetting, bool, bool) {
    return !useServerSetting;
}

std::optional<std::string> PaneValues::selectedOptionKeyword(const std::string& key) {
    Dictionary defaults = defaultSettings();
    const Value& captured = defaults.get(key);
    std::optional<std::string> value;
    if (const std::string* text = captured.string())
        value = *text;
    if (key == "ColorModel" && value == "CMYK1" && _names.isExistsInPpd(key, std::string("CMYK2")))
        return "CMYK2";
    return value;
}

bool PaneValues::isPrintOptionConsistencyCheck(const Dictionary& options) {
    // Restored values may still break a rule the person was told about: not printed as they are.
    if (auto standing = _engine.standingConflicts(); !standing.empty()) {
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

int PaneValues::checkPageRangeForSpecialToner(const std::string& range) {
    return PrintOptionConsistency::checkPageRangeForSpecialToner(range);
}

} // namespace velmora
