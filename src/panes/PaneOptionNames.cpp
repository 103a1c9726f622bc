// The names of options and choices, from the bundle's PPD or a pane's strings.
#include "panes/PaneOptionNames.h"

#include "common/Localization.h"
#include "panes/PaneControlServices.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/PreferredLanguages.h"
#include "platform/printing/PpdTranslation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "ppd/PpdFile.h"

#include <utility>

namespace velmora {
PaneOptionNames::PaneOptionNames(std::function<std::optional<std::string>()> ppdPath)
    : _ppdPath(std::move(ppdPath)) {}

PaneOptionNames::~PaneOptionNames() = default;

const PpdFileExt* PaneOptionNames::ppdInformation() {
    if (!_ppdFile && !_ppdTried) {
        _ppdTried = true;
        auto path = _ppdPath ? _ppdPath() : std::nullopt;
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

bool PaneOptionNames::isExistsInPpd(const std::optional<std::string>& option,
                                    const std::optional<std::string>& optionKeyword) {
    const PpdFileExt* ppd = ppdInformation();
    if (!option || !ppd)
        return false;
    return optionKeyword ? ppd->isExists(*option, *optionKeyword) : ppd->isExists(*option);
}

bool PaneOptionNames::reopenIfOpen(const std::optional<std::string>& path) {
    if (!_ppdFile)
        return true;
    // When the other does not open, the next use opens the bundle's own again.
    _ppdTried = false;
    _ppdFile = path ? PpdFileExt::openFile(*path) : nullptr;
    return _ppdFile != nullptr;
}

void PaneOptionNames::close() {
    _ppdFile.reset();
}

namespace {

Array stringArray(const std::vector<std::string>& texts) {
    Array array;
    for (const auto& text : texts)
        array.push_back(Value(text));
    return array;
}

} // namespace

void PaneOptionNames::buildControl(ui::Control* control, const std::string& key,
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

std::optional<std::string> PaneOptionNames::mainAlias(const std::string& keyword,
                                                      const Bundle* bundle) {
    const PpdFileExt* ppd = ppdInformation();
    if (auto text = ppd ? ppd->mainAlias(keyword) : std::nullopt)
        return text;
    if (bundle)
        return PaneControlServices::plugInString(*bundle, keyword);
    return std::nullopt;
}

std::string PaneOptionNames::mainAlias(const std::string& keyword) {
    auto title = mainAlias(keyword, nullptr);
    return title ? *title : BSLocalizedStringOrKey(keyword);
}

std::optional<std::string> PaneOptionNames::optionAlias(const std::optional<std::string>& choice,
                                                        const std::optional<std::string>& option,
                                                        const Bundle* bundle) {
    if (!choice || !option)
        return std::nullopt;
    const PpdFileExt* ppd = ppdInformation();
    if (auto text = ppd ? ppd->optionAlias(*option, *choice) : std::nullopt)
        return text;
    if (!bundle)
        return std::nullopt;
    std::string text = PaneControlServices::plugInString(*bundle, *choice);
    return text == *choice ? BSLocalizedStringOrKey(*choice) : text;
}

void PaneOptionNames::getAlias(std::optional<std::string>* optionTitle,
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

} // namespace velmora
