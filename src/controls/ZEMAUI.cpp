// Creation and layout of option controls.

#include "controls/ZEMAUI.h"

#include "controls/ZEMAFieldRules.h"
#include "controls/ZEMATextField.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ScopedValue.h"
#include "platform/foundation/StringFormat.h"
#include "platform/foundation/SystemLog.h"
#include "platform/foundation/UnicodeText.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"

#include <algorithm>
#include <limits>
#include <map>
#include <sys/stat.h>
#include <unordered_map>

namespace velmora {
namespace {

constexpr double kRow = 24;
constexpr double kIconSize = 24;
constexpr double kParagraphIndent = 18;
constexpr double kMaxItemIconSide = 16;
constexpr long kDefaultMaxDigit = 256;
constexpr std::size_t kMaxChildDepth = 8;
constexpr std::size_t kMaxTreeControls = 512;
constexpr std::size_t kMaxFileChildren = 4096;

// The count of live child controls built from one UI-settings file. The file stays alive while
// any of its controls does, so its address identifies it for as long as the count matters.
std::shared_ptr<std::size_t> liveChildrenOf(const Dictionary* settings) {
    static std::unordered_map<const Dictionary*, std::weak_ptr<std::size_t>> counts;
    std::erase_if(counts, [](const auto& entry) { return entry.second.expired(); });
    auto& slot = counts[settings];
    auto count = slot.lock();
    if (!count) {
        count = std::make_shared<std::size_t>(0);
        slot = count;
    }
    return count;
}

// UI-settings files are read once per version of the file, not once per control.
std::shared_ptr<const Dictionary> readUISettings(const std::string& path) {
    struct Entry {
        timespec modified;
        std::shared_ptr<const Dictionary> settings;
    };
    static std::map<std::string, Entry> cache;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return nullptr;
    auto it = cache.find(path);
    if (it != cache.end() && it->second.modified.tv_sec == st.st_mtim.tv_sec &&
        it->second.modified.tv_nsec == st.st_mtim.tv_nsec)
        return it->second.settings;
    auto value = PropertyList::readFile(path);
    std::shared_ptr<const Dictionary> settings;
    if (value && value->dictionary())
        settings = std::make_shared<const Dictionary>(std::move(*value->dictionary()));
    cache[path] = Entry{st.st_mtim, settings};
    return settings;
}

std::shared_ptr<ui::Image> iconSized(std::shared_ptr<ui::Image> image) {
    if (!image)
        return nullptr;
    ui::Size size = image->size();
    if (size.width > kMaxItemIconSide || size.height > kMaxItemIconSide)
        return image->scaledCopy({kMaxItemIconSide, kMaxItemIconSide});
    return image;
}

// Digits after the "." of a range string; a string without "." counts as three or more.
std::size_t decimalsOf(const std::string& text) {
    std::size_t point = text.find('.');
    return point == std::string::npos ? 3 : text.size() - point - 1;
}

} // namespace

struct ZEMAUI::Layout {
    double width = 0;
    double top = 0;
    double indent = 0;
    double headWidth = 0;
    bool hasTitle = false;
    // Bottom of the element row: the title row when there is no title, else the row below.
    double elementY() const { return hasTitle ? top - 2 * kRow : top - kRow; }
};

ZEMAUI::ZEMAUI(ui::Rect frame) : ui::View(frame) {}

void ZEMAUI::setFrame(ui::Rect frame) {
    ui::Size old = this->frame().size;
    ui::View::setFrame(frame);
    if (old.width <= 0 || old.height <= 0 || old == frame.size)
        return;
    double grownHeight = frame.size.height - old.height;
    double grownWidth = frame.size.width - old.width;
    // Elements that reach to the right side (fields and pop-ups end a small margin before it)
    // follow the width; what stops earlier keeps its width.
    constexpr double kRightMargin = 16;
    for (const auto& sub : subviews()) {
        ui::Rect placed = sub->frame();
        placed.origin.y += grownHeight;
        if (placed.maxX() >= old.width - kRightMargin)
            placed.size.width = std::max(0.0, placed.size.width + grownWidth);
        sub->setFrame(placed);
    }
    if (_slider)
        placeSliderParts(_description.flag("isParagraph") ? kParagraphIndent : 0);
}

ZEMAUI::~ZEMAUI() {
    if (_textField)
        _textField->setDelegate(nullptr); // the field may outlive the control
}

void ZEMAUI::setControlDictionary(const Dictionary& description, std::shared_ptr<Bundle> bundle) {
    _description = ControlDescription(description);
    _bundle = std::move(bundle);
}

void ZEMAUI::setControlDictionary(std::shared_ptr<const Dictionary> description,
                                  std::shared_ptr<Bundle> bundle) {
    _description = ControlDescription(std::move(description));
    _bundle = std::move(bundle);
}

void ZEMAUI::setUISettings(std::shared_ptr<const Dictionary> settings) {
    _uiSettings = std::move(settings);
}

std::string ZEMAUI::localized(const std::string& key) const {
    if (key.empty() || !_bundle)
        return key;
    const std::string* text = _bundle->findLocalizedString(key, "UI");
    return text ? *text : key;
}

std::shared_ptr<ui::TextField> ZEMAUI::addLabel(ui::Rect frame, const std::string& text) {
    auto label = ui::TextField::label(frame, text);
    addSubview(label);
    return label;
}

std::shared_ptr<ui::ImageView> ZEMAUI::addImage(ui::Rect frame, const std::string& imageName) {
    auto view = std::make_shared<ui::ImageView>(frame);
    if (_bundle)
        view->setImage(ui::Image::named(*_bundle, imageName));
    addSubview(view);
    return view;
}

std::optional<std::string> ZEMAUI::initialValue() const {
    if (auto defchoice = _description.optionalText("defchoice"))
        return defchoice;
    return _description.optionalText("default");
}

void ZEMAUI::createControls(const Dictionary& description, const std::string& paneName) {
    _description = ControlDescription(description);
    createControls(paneName);
}

void ZEMAUI::updateControl(const std::string& paneName) {
    controlRemoveAll();
    createControls(paneName);
}

void ZEMAUI::readDescription(const std::string& paneName) {
    std::string titleKey = "text";
    if (!paneName.empty() && _description.has("text_" + paneName))
        titleKey = "text_" + paneName;
    _title = localized(_description.text(titleKey));
    _mainKeyword = _description.text("mainKeyword");
    auto messageText = _description.optionalText("text_for_message");
    _keywordText = messageText ? localized(*messageText) : _title;
    _kindName = _description.text("control_type");
    _kind = ControlDescription::kindOf(_kindName);
    _conflict = _description.constraint("conflict");
    _unrestorableConflict = _description.constraint("unrestorable_conflict");
    _condition = _description.constraint("condition");
    _logicalSumCondition = _description.constraint("logical_sum_condition");
    _cooperation = _description.constraint("cooperation");
    _hide = _description.constraint("hide");
    _disableForPDE = _description.keywords("disableForPDE");
    _lineCount = 1 + static_cast<int>(std::count(_title.begin(), _title.end(), '\r'));
    _isEnableIcon = _description.flag("isEnabledIcon");
    _isEnableSpread = _description.flag("isEnableSpread");
    _isEnableButton = _description.flag("isEnabledButton");
}

void ZEMAUI::createControls(const std::string& paneName) {
    Layout layout{frame().width(), frame().height()};
    _isEnableIcon = _isEnableSpread = false;
    readDescription(paneName);
    buildGroupIcon(layout);
    buildGroupTitle(layout);
    layout.indent = _description.flag("isParagraph") ? kParagraphIndent : 0;
    layout.headWidth = static_cast<double>(
        _description.integer("head_text_width", _description.text("head_text").empty() ? 0 : 36));
    layout.hasTitle = !_title.empty();
    if (_kind != ControlKind::CheckBox && _kind != ControlKind::NumberField)
        buildLabels(layout, kRow + layout.indent);
    buildKindElement(layout);
    nameForAssistiveTechnology();
    applyHiddenFlags();
    buildChildren(layout, paneName);
    keepCheckBoxAboveChildren();
    setDefault();
}

// A check box is taller than its row; the child controls under it start one row down, so the
// box gives up its foot rather than lie under the first child.
void ZEMAUI::keepCheckBoxAboveChildren() {
    if (!_checkBox)
        return;
    ui::Rect box = _checkBox->frame();
    double highestChild = box.origin.y;
    for (const auto& child : _children)
        highestChild = std::max(highestChild, child->frame().top());
    if (highestChild > box.origin.y && highestChild < box.top())
        _checkBox->setFrame(
            ui::Rect::make(box.origin.x, highestChild, box.width(), box.top() - highestChild));
}

// The elements that show a value, not their label, are named by the control's title (a screen
// reader would announce a pop-up by its value alone otherwise).
void ZEMAUI::nameForAssistiveTechnology() {
    std::string name = _title.empty() ? _keywordText : _title;
    std::replace(name.begin(), name.end(), '\r', ' ');
    if (name.empty())
        return;
    std::vector<ui::View*> elements = {_popUp.get(), _textField.get(), _slider.get(), _matrix.get(),
                                       _stepper.get()};
    for (const auto& picker : _datePickers)
        elements.push_back(picker.get());
    for (ui::View* element : elements)
        if (element) {
            element->setAccessibilityLabel(name);
            if (_titleLabel)
                element->setTitleView(_titleLabel);
        }
}

void ZEMAUI::buildGroupIcon(const Layout& layout) {
    bool ownIcons =
        _isEnableIcon && (_kind == ControlKind::CheckBox || _kind == ControlKind::RadioButton ||
                          _kind == ControlKind::HRadioButton);
    if (!_description.flag("isGroupMain") || ownIcons)
        return;
    double y =
        _kind == ControlKind::CheckBox ? layout.top - 12 * (_lineCount + 1) : layout.top - kRow;
    _groupIcon = addImage(ui::Rect::make(0, y, kIconSize, kIconSize),
                          _description.text("groupIcon", "group_icon"));
}

void ZEMAUI::buildGroupTitle(Layout& layout) {
    auto groupTitle = _description.optionalText("groupTitle");
    if (!groupTitle)
        return;
    double height = _description.isNonEmptyArray("onlytitle") ? 45 : 20;
    _groupTitleLabel =
        addLabel(ui::Rect::make(kRow, layout.top - 4 - height, layout.width - kRow, height),
                 localized(*groupTitle));
    _groupTitleLabel->cell().setWraps(true);
    layout.top -= kRow;
}

void ZEMAUI::buildLabels(const Layout& layout, double x) {
    double titleY = layout.top - kRow;
    if (layout.hasTitle) {
        std::string headTitle = _description.text("head_title_text");
        if (!headTitle.empty() && layout.headWidth != 0)
            _headTitleLabel = addLabel(ui::Rect::make(x, titleY, layout.headWidth, 20), headTitle);
        double titleX = x + layout.headWidth;
        _titleLabel = addLabel(ui::Rect::make(titleX, titleY, layout.width - titleX, 20), _title);
    }
    if (layout.headWidth != 0)
        _headLabel = addLabel(
            ui::Rect::make(x, layout.hasTitle ? titleY - kRow : titleY, layout.headWidth, 20),
            localized(_description.text("head_text")));
}

void ZEMAUI::buildKindElement(Layout& layout) {
    if (_kind == ControlKind::CheckBox)
        buildCheckBox(layout);
    else if (_kind == ControlKind::RadioButton || _kind == ControlKind::HRadioButton)
        buildRadioGroup(layout);
    else if (_kind == ControlKind::PopupButton)
        buildPopUp(layout);
    else if (_kind == ControlKind::Slider)
        buildSlider(layout);
    else if (_kind == ControlKind::NumberField)
        buildNumberField(layout);
    else if (_kind == ControlKind::TextField || _kind == ControlKind::SecureTextField)
        buildTextField(layout);
    else if (_kind == ControlKind::DatePicker)
        buildDatePickers(layout);
}

void ZEMAUI::buildCheckBox(const Layout& layout) {
    double height = 30.0 * _lineCount;
    _checkBox = ui::Button::checkBox(ui::Rect::make(kRow + layout.indent, layout.top - height,
                                                    layout.width - kRow - layout.indent, height),
                                     _title);
    _checkBox->setTransparent(_description.isNonEmptyArray("other_controls_ww") ||
                              _description.isNonEmptyArray("onlytitle"));
    _checkBox->setAction("checkboxAction:");
    _checkBox->setTarget([this](ui::Control&) { checkboxAction(); });
    addSubview(_checkBox);
    if (_isEnableIcon) {
        ui::Rect iconFrame = ui::Rect::make(0, layout.top - kRow, kIconSize, kIconSize);
        _iconTrue = addImage(iconFrame, _mainKeyword + "_True");
        _iconFalse = addImage(iconFrame, _mainKeyword + "_False");
    }
    setCheckBoxState(initialValue() == std::optional<std::string>("True") ? ui::kOnState
                                                                          : ui::kOffState);
}

void ZEMAUI::buildRadioGroup(const Layout& layout) {
    auto choices = _description.choices();
    int rows = static_cast<int>(choices.size());
    double top = layout.hasTitle ? layout.top - kRow : layout.top;
    _matrix = std::make_shared<ui::Matrix>(
        ui::Rect::make(kRow, top - kRow * rows, layout.width - kRow, kRow * rows), rows, 1);
    for (int r = 0; r < rows; ++r) {
        ui::Cell* cell = _matrix->cellAt(r, 0);
        cell->setTitle(localized(choices[static_cast<std::size_t>(r)].text));
        cell->setRepresentedObject(Value(choices[static_cast<std::size_t>(r)].choice));
    }
    _matrix->setAction("radioButtonAction:");
    _matrix->setTarget([this](ui::Control&) { radioButtonAction(); });
    addSubview(_matrix);
    if (_isEnableIcon)
        _radioIcon = addImage(ui::Rect::make(0, top - kRow, kIconSize, kIconSize),
                              _mainKeyword + "_" + _description.text("default"));
}

std::vector<PopupEntry> ZEMAUI::descriptionEntries() const {
    std::vector<PopupEntry> entries;
    for (const auto& choice : _description.choices())
        entries.emplace_back(localized(choice.text), choice.choice);
    return entries;
}

void ZEMAUI::rebuildPopUpItems(const std::vector<PopupEntry>& entries, bool withIcons) {
    _popUp->removeAllItems();
    _choiceRestriction.reset(); // new items offer every choice
    for (const auto& [text, choice] : entries) {
        auto item = std::make_shared<ui::MenuItem>(text);
        item->setRepresentedObject(Value(choice));
        if (withIcons && _bundle)
            item->setImage(iconSized(ui::Image::named(*_bundle, _mainKeyword + "_" + choice)));
        _popUp->addItem(item);
    }
}

void ZEMAUI::buildPopUp(const Layout& layout) {
    double x = kRow + layout.indent + layout.headWidth;
    _popUp = std::make_shared<ui::PopUpButton>(
        ui::Rect::make(x, layout.elementY(), layout.width - x, kRow));
    _popUp->setAction("popupButtonAction:");
    _popUp->setTarget([this](ui::Control&) { popupButtonAction(); });
    addSubview(_popUp);
    if (_popupArray) {
        rebuildPopUpItems(*_popupArray, _isEnableIcon);
        return;
    }
    for (const auto& choice : _description.choices()) {
        if (choice.text.empty()) {
            if (choice.separator)
                _popUp->addItem(ui::MenuItem::separatorItem());
            continue;
        }
        auto item = std::make_shared<ui::MenuItem>(localized(choice.text));
        item->setRepresentedObject(Value(choice.choice));
        if (_isEnableIcon && _bundle)
            item->setImage(
                iconSized(ui::Image::named(*_bundle, _mainKeyword + "_" + choice.choice)));
        _popUp->addItem(item);
    }
}

void ZEMAUI::buildSlider(const Layout& layout) {
    double top = layout.top;
    _slider = std::make_shared<ui::Slider>(ui::Rect::make(48, top - 50, layout.width - 97, 26));
    _slider->setAction("sliderAction:");
    _slider->setTarget([this](ui::Control&) { sliderAction(); });
    addSubview(_slider);
    auto choices = _description.choices();
    if (_description.hasChoices() && !choices.empty()) {
        std::size_t n = choices.size();
        _slider->setMinValue(0);
        _slider->setMaxValue(static_cast<double>(n - 1));
        _slider->setNumberOfTickMarks(static_cast<int>(n));
        _slider->setAllowsTickMarkValuesOnly(true);
        for (std::size_t i = 0; i < n; ++i) {
            _sliderChoices.push_back(choices[i].choice);
            std::string text = localized(choices[i].text);
            _sliderTexts.push_back(text);
            _tickLabels.push_back(addLabel(ui::Rect(), text));
            _tickLabels.back()->setAlignment(ui::TextAlignment::Center);
        }
    } else {
        _slider->setMinValue(static_cast<double>(_description.integer("min", 0)));
        _slider->setMaxValue(static_cast<double>(_description.integer("max", 100)));
        _slider->setNumberOfTickMarks(10);
        auto initial = initialValue();
        _slider->setDoubleValue(initial ? static_cast<double>(Value(*initial).integerValue()) : 50);
    }
    if (_isEnableIcon) {
        std::string single = _description.text("icon");
        auto image = _bundle && !single.empty() ? ui::Image::named(*_bundle, single) : nullptr;
        if (image) {
            _sliderStartIcon = addImage(ui::Rect(), single);
            _sliderStartIcon->setImage(iconSized(image));
        } else {
            _sliderStartIcon = addImage(ui::Rect(), _description.text("min_icon"));
            _sliderEndIcon = addImage(ui::Rect(), _description.text("max_icon"));
            _sliderStartIcon->setImage(iconSized(_sliderStartIcon->image()));
            _sliderEndIcon->setImage(iconSized(_sliderEndIcon->image()));
        }
    }
    if (auto start = _description.optionalText("min_icon_text")) {
        _sliderStartLabel = addLabel(ui::Rect(), localized(*start));
        _sliderStartLabel->setAlignment(ui::TextAlignment::Left);
    }
    if (auto end = _description.optionalText("max_icon_text")) {
        _sliderEndLabel = addLabel(ui::Rect(), localized(*end));
        _sliderEndLabel->setAlignment(ui::TextAlignment::Right);
    }
    placeSliderParts(layout.indent);
}

// The slider's row lies under the title, its icons beside its ends; under the slider each tick's
// text is centred on its tick, and the texts for the two ends come under those (or right under
// the slider when it has no tick texts). Nothing overlaps, and it all follows the control's width.
void ZEMAUI::placeSliderParts(double indent) {
    double width = frame().width(), top = frame().height();
    double sliderWidth = std::max(0.0, width - 97);
    _slider->setFrame(ui::Rect::make(48, top - 50, sliderWidth, 26));
    if (_sliderStartIcon)
        _sliderStartIcon->setFrame(ui::Rect::make(20, top - 49, kIconSize, kIconSize));
    if (_sliderEndIcon)
        _sliderEndIcon->setFrame(ui::Rect::make(width - 45, top - 49, kIconSize, kIconSize));
    constexpr double kTickInset = 7; // where Qt and Cocoa draw the first and last tick
    double rowTop = top - 50;
    ui::Font font = ui::Font::systemFont();
    if (std::size_t n = _tickLabels.size(); n > 0) {
        double step = n > 1 ? (sliderWidth - 2 * kTickInset) / static_cast<double>(n - 1) : 0;
        for (std::size_t i = 0; i < n; ++i) {
            double textWidth = font.widthOfString(_tickLabels[i]->stringValue()) + 12;
            double centre = 48 + kTickInset + step * static_cast<double>(i);
            _tickLabels[i]->setFrame(
                ui::Rect::make(centre - textWidth / 2, rowTop - 20, textWidth, 20));
        }
        rowTop -= 20;
    }
    ui::Font bold{"Helvetica Neue Bold", 15};
    if (_sliderStartLabel) {
        double textWidth = bold.widthOfString(_sliderStartLabel->stringValue()) + 5;
        _sliderStartLabel->setFrame(ui::Rect::make(indent + 12, rowTop - 20, textWidth, 20));
    }
    if (_sliderEndLabel) {
        double textWidth = bold.widthOfString(_sliderEndLabel->stringValue()) + 5;
        _sliderEndLabel->setFrame(
            ui::Rect::make(width - 5 - textWidth, rowTop - 20, textWidth, 20));
    }
}

void ZEMAUI::buildNumberField(const Layout& layout) {
    double x = kRow + layout.indent;
    if (_isEnableIcon) {
        _numberIcon = addImage(ui::Rect::make(x, layout.top - 48, 48, 48), _mainKeyword);
        x += 48;
    }
    buildLabels(layout, x);
    auto minText = _description.optionalText("min"), maxText = _description.optionalText("max");
    bool ranged = minText && maxText;
    double width =
        ranged ? 7.0 * static_cast<double>(std::max(minText->size(), maxText->size())) + 14 : 100;
    double fieldX = x + layout.headWidth;
    _textField =
        std::make_shared<ZEMATextField>(ui::Rect::make(fieldX, layout.elementY(), width, kRow));
    _stepper = std::make_shared<ui::Stepper>(
        ui::Rect::make(fieldX + width + 2, layout.elementY(), 24, kRow));

    std::uint32_t unit = kUnitInteger;
    double increment = 1;
    bool minPoint = minText && minText->find('.') != std::string::npos;
    bool maxPoint = maxText && maxText->find('.') != std::string::npos;
    if (minPoint || maxPoint) {
        std::size_t dMin = decimalsOf(minText.value_or("")),
                    dMax = decimalsOf(maxText.value_or(""));
        if (dMin < 2 && dMax < 2)
            unit = kUnitOneDecimal, increment = 0.1;
        else if (dMin < 3 && dMax < 3)
            unit = kUnitTwoDecimalsAlt, increment = 0.01;
        else
            unit = kUnitThreeDecimals, increment = 0.001;
    }
    double minimum =
        minText ? Value(*minText).doubleValue() : std::numeric_limits<double>::lowest();
    double maximum = maxText ? Value(*maxText).doubleValue() : std::numeric_limits<double>::max();
    _textField->setNum(true);
    _textField->setStringValue("1");
    _textField->setUnit(unit);
    _textField->setMin(minimum);
    _textField->setMax(maximum);
    _textField->setKeyword(_mainKeyword);
    _textField->setDelegate(this);
    _textField->setAction("textAction:");
    _textField->setTarget([this](ui::Control&) { textAction(); });
    _stepper->setMinValue(minimum);
    _stepper->setMaxValue(maximum);
    _stepper->setIncrement(increment);
    _stepper->setAction("stepperAction:");
    _stepper->setTarget([this](ui::Control&) { stepperAction(); });
    addSubview(_textField);
    addSubview(_stepper);

    std::string desc = _description.text("desc_text");
    if (desc.find("%@") != std::string::npos && ranged && !minText->empty() && !maxText->empty())
        desc = StringFormat::format(desc, {Value(*minText), Value(*maxText)});
    if (_textField->rules().usesDecimalComma())
        std::replace(desc.begin(), desc.end(), '.', ',');
    double descX = fieldX + width + 28;
    _descLabel = addLabel(
        ui::Rect::make(descX, layout.elementY(), std::max(0.0, layout.width - descX), 20), desc);
    if (auto initial = initialValue())
        showNumber(*initial);
}

void ZEMAUI::buildTextField(const Layout& layout) {
    double x = kRow + layout.indent + layout.headWidth;
    double width = layout.width - 15 - x - (_isEnableButton ? 104 : 0);
    ui::Rect frame = ui::Rect::make(x, layout.elementY(), std::max(0.0, width), kRow);
    _textField = _kind == ControlKind::SecureTextField
                     ? std::make_shared<ZEMASecureTextField>(frame)
                     : std::make_shared<ZEMATextField>(frame);
    long maxDigit = _description.integer("max_digit", kDefaultMaxDigit);
    _textField->setNum(false);
    _textField->setDigit(static_cast<std::uint32_t>(maxDigit < 1 ? kDefaultMaxDigit : maxDigit));
    static const std::map<std::string, std::uint32_t> textUnits = {{"EMAIL", kUnitEmail},
                                                                   {"ASCII", kUnitAscii},
                                                                   {"NUMOFPAGE", kUnitPageList},
                                                                   {"SPTTEXT", kUnitSpecialText}};
    auto unit = textUnits.find(_description.text("text_type"));
    _textField->setUnit(unit == textUnits.end() ? kUnitPlainText : unit->second);
    _textField->setKeyword(_mainKeyword);
    _textField->setDelegate(this);
    _textField->setStringValue(initialValue().value_or(""));
    _textField->setHidden(_description.flag("isTargetOnlyHidden"));
    addSubview(_textField);
    if (_isEnableButton) {
        _pushButton =
            ui::Button::pushButton(ui::Rect::make(x + width + 4, layout.elementY(), 110, kRow),
                                   localized(_description.text("button_text")));
        _pushButton->setAction("buttonAction:");
        _pushButton->setTarget([this](ui::Control&) { buttonAction(); });
        addSubview(_pushButton);
    }
}

void ZEMAUI::buildDatePickers(const Layout& layout) {
    using Style = ui::DatePicker::Style;
    double offset = layout.headWidth + layout.indent, y = layout.elementY();
    struct PickerSpec {
        ui::Rect frame;
        Style style;
        unsigned elements;
    };
    const PickerSpec specs[] = {
        {ui::Rect::make(46 + offset, y, 110, kRow), Style::TextField,
         ui::DatePicker::kYearMonthDay},
        {ui::Rect::make(196 + offset, y, 95, kRow), Style::TextField,
         ui::DatePicker::kHourMinuteSecond},
        {ui::Rect::make(24 + offset, y - 155, 155, 155), Style::ClockAndCalendar,
         ui::DatePicker::kYearMonthDay},
        {ui::Rect::make(179 + offset, y - 130, 130, 130), Style::ClockAndCalendar,
         ui::DatePicker::kHourMinuteSecond},
    };
    double now = DateString::now();
    auto minDate = DateString::secondsSince1970(_description.text("min"), now);
    auto maxDate = DateString::secondsSince1970(_description.text("max"), now);
    auto initial = DateString::secondsSince1970(initialValue().value_or(""), now);
    bool hidden = _description.flag("isTargetOnlyHidden");
    for (const auto& spec : specs) {
        auto picker = std::make_shared<ui::DatePicker>(spec.frame, spec.style, spec.elements);
        picker->setMinDate(minDate);
        picker->setMaxDate(maxDate);
        if (initial)
            picker->setDateValue(*initial);
        picker->setHidden(hidden);
        picker->setAction("datePickerAction:");
        ui::DatePicker* raw = picker.get();
        picker->setTarget([this, raw](ui::Control&) { datePickerAction(*raw); });
        addSubview(picker);
        _datePickers.push_back(picker);
    }
}

void ZEMAUI::applyHiddenFlags() {
    if (_description.flag("isHidden"))
        for (const auto& sub : subviews())
            sub->setHidden(true);
}

std::vector<std::string> ZEMAUI::childKeywords() const {
    auto worldwide = _description.keywords("other_controls_ww");
    if (!worldwide.empty() && ZEMAFieldRules::isEurope())
        return worldwide;
    return _description.keywords("other_controls");
}

std::optional<std::string> ZEMAUI::getUIFilePath() const {
    if (!_bundle)
        return std::nullopt;
    const std::string& path = _bundle->path();
    std::size_t plugIns = path.find("Contents/PlugIns");
    if (plugIns != std::string::npos) {
        Bundle enclosing(path.substr(0, plugIns));
        const Value& pod = enclosing.objectForInfoDictionaryKey("KVPOD");
        if (pod.isString()) {
            std::string file = enclosing.path() + "/Contents/Resources/" + *pod.string() + ".plist";
            struct stat st {};
            if (::stat(file.c_str(), &st) == 0)
                return file;
        }
    }
    return _bundle->pathForResource("UI", "plist");
}

std::shared_ptr<const Dictionary> ZEMAUI::uiSettingsForChildren() const {
    if (_uiSettings)
        return _uiSettings;
    auto path = getUIFilePath();
    return path ? readUISettings(*path) : nullptr;
}

void ZEMAUI::buildChildren(const Layout& layout, const std::string& paneName) {
    auto keywords = childKeywords();
    if (keywords.empty())
        return;
    auto settings = uiSettingsForChildren();
    if (!settings)
        return;
    struct Child {
        std::string keyword;
        const Dictionary* description;
    };
    std::vector<std::vector<Child>> rows;
    // The count lives as long as one build of the tree, so rebuilding a control starts afresh.
    ScopedValue tree(_treeSize, _treeSize ? _treeSize : std::make_shared<std::size_t>(1));
    auto fileChildren = liveChildrenOf(settings.get());
    std::size_t planned = 0;
    static const Dictionary kNoDescription;
    for (const auto& keyword : keywords) {
        // A child without a description still takes its place (an empty control), so the
        // rows, columns and the first child stay where the list puts them.
        const Dictionary* child = settings->get(keyword).dictionary();
        if (!child)
            child = &kNoDescription;
        if (!mayNestChild(keyword, *fileChildren + planned))
            continue;
        ++planned;
        ++*_treeSize;
        if (child->get("holizontally").boolValue() && !rows.empty())
            rows.back().push_back({keyword, child});
        else
            rows.push_back({{keyword, child}});
    }
    double accumulated = 72, width = layout.width;
    bool paragraph = false, first = true;
    for (const auto& row : rows) {
        double columns = static_cast<double>(row.size());
        for (std::size_t column = 0; column < row.size(); ++column) {
            const Dictionary& description = *row[column].description;
            if (first && row.size() == 1)
                accumulated += getControlHeight();
            first = false;
            paragraph = paragraph || description.get("isParagraph").boolValue();
            double indent = paragraph ? kParagraphIndent : 0;
            double x = static_cast<double>(column) * width / columns +
                       8.0 * static_cast<double>(description.get("indent_count").integerValue());
            double topEdge = layout.top - accumulated + 72;
            auto child = std::make_shared<ZEMAUI>(
                ui::Rect::make(x, topEdge - (72 - indent), width, 72 - indent));
            child->_ancestors = _ancestors;
            child->_ancestors.push_back(row[column].keyword);
            child->_liveChild = std::make_unique<LiveChild>(fileChildren);
            // The child's description is an entry of the settings it holds on to.
            child->setControlDictionary(std::shared_ptr<const Dictionary>(settings, &description),
                                        _bundle);
            child->setUISettings(settings);
            {
                ScopedValue childTree(child->_treeSize, _treeSize);
                child->createControls(paneName);
            }
            child->fitHeightToContent();
            if (column + 1 == row.size())
                accumulated +=
                    child->getControlHeight() + (child->kind() == ControlKind::Slider ? kRow : 0);
            addSubview(child);
            _children.push_back(child);
        }
    }
}

bool ZEMAUI::mayNestChild(const std::string& keyword, std::size_t fileChildren) const {
    const char* problem = nullptr;
    if (std::find(_ancestors.begin(), _ancestors.end(), keyword) != _ancestors.end())
        problem = "it contains itself";
    else if (_ancestors.size() >= kMaxChildDepth)
        problem = "children nest too deeply";
    else if (*_treeSize >= kMaxTreeControls)
        problem = "the control has too many children";
    else if (fileChildren >= kMaxFileChildren)
        problem = "the settings file has too many children";
    if (problem)
        SystemLog::format("###UI settings: child \"%s\" of \"%s\" not built: %s", keyword.c_str(),
                          _mainKeyword.c_str(), problem);
    return !problem;
}

// A child starts in a frame of a fixed height: one that needs less gives the rest back, so that
// its empty foot does not lie over the control or child below it and take their clicks; one that
// needs more (a date picker with its calendar) grows down into the room its parent keeps for it,
// instead of being cut. Its content keeps its place at the top.
void ZEMAUI::fitHeightToContent() {
    double top = frame().height(), lowest = top;
    for (const auto& part : subviews())
        lowest = std::min(lowest, part->frame().origin.y);
    double needed = std::max(top - lowest, 1.0);
    if (needed != top)
        setFrame(ui::Rect::make(frame().origin.x, frame().origin.y + (top - needed),
                                frame().width(), needed));
}

double ZEMAUI::getControlHeight() const {
    bool groupLine = _description.has("isGroupMain") && !_description.flag("isGroupMain") &&
                     _description.has("groupTitle");
    double titleRow = _title.empty() ? 0 : kRow;
    double height = 0;
    if (_kind == ControlKind::CheckBox)
        height = kRow * _lineCount + (groupLine ? kRow : 0);
    else if (_kindName.starts_with("TextField") || _kindName.starts_with("SecureTextField"))
        height = (groupLine ? 48 : kRow) + titleRow;
    else if (_kind == ControlKind::PopupButton || _kind == ControlKind::Slider)
        height = _title.empty() ? kRow : 48;
    else if (_kind == ControlKind::RadioButton)
        height = 20.0 * static_cast<double>(_description.choices().size()) + titleRow;
    else if (_kind == ControlKind::DatePicker)
        height = _title.empty() ? 179 : 203;
    long blankLines = _description.integer("blank_line_count", 0);
    if (height != 0 && blankLines != 0)
        height += kRow * static_cast<double>(blankLines);
    return height;
}

std::optional<std::string> ZEMAUI::getDefault() const {
    auto value = _description.optionalText("default");
    if (!value || value->empty())
        return std::nullopt;
    if (_kind == ControlKind::DatePicker) {
        auto seconds = DateString::secondsSince1970(*value, DateString::now());
        if (!seconds)
            return std::nullopt;
        return std::to_string(NumberText::saturatingInteger(*seconds));
    }
    return value;
}

void ZEMAUI::setDefault() {
    setStringValue(getDefault());
    postPlain();
}

void ZEMAUI::controlRemoveAll() {
    if (_textField)
        _textField->setDelegate(nullptr);
    removeAllSubviews();
    _children.clear();
    _datePickers.clear();
    _tickLabels.clear();
    _sliderChoices.clear();
    _sliderTexts.clear();
    _groupIcon = _iconTrue = _iconFalse = _radioIcon = _numberIcon = _sliderStartIcon =
        _sliderEndIcon = nullptr;
    _groupTitleLabel = _headTitleLabel = _titleLabel = _headLabel = _descLabel = _sliderStartLabel =
        _sliderEndLabel = nullptr;
    _checkBox = _pushButton = nullptr;
    _matrix = nullptr;
    _popUp = nullptr;
    _slider = nullptr;
    _textField = nullptr;
    _stepper = nullptr;
    _conflict = _unrestorableConflict = _condition = _logicalSumCondition = _cooperation = _hide =
        ControlDescription::noConstraint();
    _oldValue.reset();
    _disabledBy.clear();
    _enabledBy.clear();
}

} // namespace velmora
