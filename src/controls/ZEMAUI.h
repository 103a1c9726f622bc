#pragma once

#include "controls/ControlDescription.h"
#include "platform/foundation/Value.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class Bundle;
class ZEMATextField;
namespace ui {
class Button;
class DatePicker;
class ImageView;
class Matrix;
class PopUpButton;
class Slider;
class Stepper;
class TextField;
} // namespace ui

// [display text, choice value]: an entry of a pop-up item array.
using PopupEntry = std::pair<std::string, std::string>;

// One option control, built at run time from its control description: labels, the input
// element of its kind, icons and child controls. It holds the option's value string, turns
// user actions into values and posts the notification named by its main keyword.
class ZEMAUI : public ui::View, public ui::TextFieldDelegate {
public:
    explicit ZEMAUI(ui::Rect frame = {});
    ~ZEMAUI() override;
    std::string className() const override { return "ZEMAUI"; }
    // The elements keep their distance from the top, and those that reach the right edge
    // follow it, as a row laid out once and placed again later should.
    void setFrame(ui::Rect frame) override;

    // ---- Creation ----
    void setControlDictionary(const Dictionary& description, std::shared_ptr<Bundle> bundle);
    // Shares the description instead of copying it; it must not change while the control lives.
    void setControlDictionary(std::shared_ptr<const Dictionary> description,
                              std::shared_ptr<Bundle> bundle);
    // Gives the control the UI-settings dictionary its children are looked up in, instead of
    // reading it from the bundle's file.
    void setUISettings(std::shared_ptr<const Dictionary> settings);
    void createControls(const std::string& paneName = "");
    void createControls(const Dictionary& description, const std::string& paneName);
    void updateControl(const std::string& paneName = "");
    void controlRemoveAll();
    double getControlHeight() const;
    std::optional<std::string> getDefault() const;
    void setDefault();
    static std::string controlClass() { return "controlClass"; }

    const std::string& mainKeyword() const { return _mainKeyword; }
    const std::string& mainKeywordText() const { return _keywordText; }
    ControlKind kind() const { return _kind; }
    // The "control_type" as written (also when it names no kind).
    const std::string& kindName() const { return _kindName; }
    const std::string& title() const { return _title; }
    int lineCount() const { return _lineCount; }
    const ControlDescription& description() const { return _description; }
    std::shared_ptr<Bundle> bundle() const { return _bundle; }
    const std::vector<std::shared_ptr<ZEMAUI>>& childControls() const { return _children; }
    const Dictionary& getConflictDictionary() const { return *_conflict; }
    const Dictionary& getUnrestorableConflictDictionary() const { return *_unrestorableConflict; }
    const Dictionary& getConditionDictionary() const { return *_condition; }
    const Dictionary& getLogicalSumConditionDictionary() const { return *_logicalSumCondition; }
    const Dictionary& getCooperationDictionary() const { return *_cooperation; }
    const Dictionary& getHideDictionary() const { return *_hide; }
    bool getSpreadValue() const { return _isEnableSpread; }
    bool isEnableIcon() const { return _isEnableIcon; }
    // The UI-settings file children are read from: the enclosing bundle's "KVPOD" file when
    // the control's bundle is a plug-in inside it, else the bundle's own "UI.plist".
    std::optional<std::string> getUIFilePath() const;

    // ---- Values ----
    void setStringValue(const std::optional<std::string>& value);
    std::optional<std::string> getStringValue();
    void updateValue(const std::string& value);
    void updateOldValue();
    // Takes the current value as the old value, without reading the screen.
    void setOldValueToCurrent() { _oldValue = _value; }
    const std::optional<std::string>& getOldValue() const { return _oldValue; }
    const std::optional<std::string>& value() const { return _value; }
    void setValue(std::optional<std::string> value) { _value = std::move(value); }
    const std::optional<std::string>& getUnsportValue() const { return _unsupportedValue; }
    void setUnsportValue(std::optional<std::string> value) { _unsupportedValue = std::move(value); }
    std::optional<std::string> getOptionText(const std::string& value) const;
    std::optional<std::string> getSelectedOptionText();
    std::size_t getChoicesCount() const;
    int checkBoxState() const;
    void setCheckBoxState(int state);
    void setIconImage(bool on);
    void setDoubleValue(double value);
    void updateMin(double minimum, double max);
    std::string minValue() const { return _description.text("min"); }
    std::string maxValue() const { return _description.text("max"); }
    bool isEmptycheck() const;
    std::shared_ptr<ZEMAUI> getChildZEMAUI(const std::string& mainKeyword) const;
    // "checkbox" when the keyword's description has "defchoice" "True" or "False" and
    // exactly two choices; "unknown" otherwise.
    static std::string getMainKeywordType(const Dictionary& settings, const std::string& keyword);
    // The print-option snapshot shared by all controls.
    static void setUpdateWithPrintOption(Dictionary options);
    static const Dictionary& updateWithPrintOptionSnapshot();
    bool updateWithPrintOption();

    // ---- Enabling, hiding, choices ----
    void setEnabled(bool enabled);
    void setEnabledFrom(bool enabled, const std::string& source);
    void setEnabledPositivelyFrom(bool enabled, const std::string& source);
    void setEnabledByDictionary(const Dictionary& enabledChoices);
    void setEnabledChildControl(bool enabled);
    void disableForPDE();
    bool isEnabled() const;
    bool isHidden() const override;
    // The option's state as the constraint engine sees it (values, enabling, hiding, the
    // offered choices), as text: equal texts mean nothing the engine looks at changed.
    std::string stateDigest() const;
    // The same state as a number (cheap to compare before and after a change).
    std::uint64_t stateHash() const;
    void setHidden(bool hidden) override;
    const std::vector<std::string>& disabledBy() const { return _disabledBy; }
    const std::vector<std::string>& enabledBy() const { return _enabledBy; }
    void setPopupButtonArray(const std::vector<PopupEntry>& entries);
    void addPopupButtonArray(const std::vector<PopupEntry>& entries);
    void removePopupButtonArray(const std::vector<std::string>& choices);
    const std::optional<std::vector<PopupEntry>>& popupButtonArray() const { return _popupArray; }

    // ---- User actions (the toolkit's targets) ----
    void popupButtonAction();
    void checkboxAction();
    void radioButtonAction();
    void sliderAction();
    void radioAction();
    void stepperAction();
    void textAction();
    void datePickerAction(ui::DatePicker& used);
    void buttonAction();
    // Every edit of the number field: the stepper follows the number.
    void controlTextDidChange(ui::TextField& field, ui::FieldEditor& editor) override;
    // The end of an edit: the field's text becomes the current value before the field posts.
    void controlTextDidEndEditing(ui::TextField& field) override;
    // The deferred re-selection of a radio group from the current value.
    void selectMatrix();

    // ---- Sub-controls (null where the kind has none) ----
    std::shared_ptr<ui::Button> checkBox() const { return _checkBox; }
    std::shared_ptr<ui::PopUpButton> popUpButton() const { return _popUp; }
    std::shared_ptr<ui::Matrix> radioMatrix() const { return _matrix; }
    std::shared_ptr<ui::Slider> slider() const { return _slider; }
    std::shared_ptr<ZEMATextField> textField() const { return _textField; }
    std::shared_ptr<ui::Stepper> stepper() const { return _stepper; }
    std::shared_ptr<ui::Button> pushButton() const { return _pushButton; }
    std::shared_ptr<ui::TextField> titleLabel() const { return _titleLabel; }
    std::shared_ptr<ui::TextField> descriptionLabel() const { return _descLabel; }
    std::shared_ptr<ui::ImageView> groupIcon() const { return _groupIcon; }
    std::shared_ptr<ui::ImageView> radioIcon() const { return _radioIcon; }
    std::pair<std::shared_ptr<ui::ImageView>, std::shared_ptr<ui::ImageView>>
    checkBoxIcons() const {
        return {_iconTrue, _iconFalse};
    }
    const std::vector<std::shared_ptr<ui::DatePicker>>& datePickers() const { return _datePickers; }
    const std::vector<std::shared_ptr<ui::TextField>>& sliderTickLabels() const {
        return _tickLabels;
    }

private:
    // Description and identity
    ControlDescription _description;
    std::shared_ptr<Bundle> _bundle;
    std::shared_ptr<const Dictionary> _uiSettings;
    std::string _mainKeyword, _keywordText, _kindName, _title;
    ControlKind _kind = ControlKind::LabelsOnly;
    int _lineCount = 1;
    bool _isEnableIcon = false, _isEnableSpread = false, _isEnableButton = false;
    // Parts of the description that share its ownership, so it lives as long as they do.
    std::shared_ptr<const Dictionary> _conflict = ControlDescription::noConstraint(),
                                      _unrestorableConflict = ControlDescription::noConstraint(),
                                      _condition = ControlDescription::noConstraint(),
                                      _logicalSumCondition = ControlDescription::noConstraint(),
                                      _cooperation = ControlDescription::noConstraint(),
                                      _hide = ControlDescription::noConstraint();
    std::vector<std::string> _disableForPDE;
    std::vector<std::string> _sliderChoices, _sliderTexts;

    // Value state
    std::optional<std::string> _value, _oldValue, _unsupportedValue;
    // A pass of the modal loop is to select the radio row of the value again; one is enough.
    bool _matrixSelectionQueued = false;
    std::vector<std::string> _disabledBy, _enabledBy;
    std::optional<std::vector<PopupEntry>> _popupArray;
    std::optional<Dictionary> _choiceRestriction; // the choices setEnabledByDictionary offers

    // Sub-controls
    std::vector<std::shared_ptr<ZEMAUI>> _children;
    // Where this control sits in its tree of children: the settings names of the controls it is
    // nested in, and the count of controls the whole tree has built. A description that names
    // itself or an ancestor as a child, or a tree grown absurdly deep or large, would otherwise
    // nest without end.
    std::vector<std::string> _ancestors;
    std::shared_ptr<std::size_t> _treeSize;
    // Children alive per UI-settings file: descriptions that share children cannot multiply
    // them without end across the many trees of one file either.
    class LiveChild {
    public:
        LiveChild() = default;
        explicit LiveChild(std::shared_ptr<std::size_t> count) : _count(std::move(count)) {
            ++*_count;
        }
        LiveChild(const LiveChild&) = delete;
        LiveChild& operator=(const LiveChild&) = delete;
        ~LiveChild() {
            if (_count)
                --*_count;
        }

    private:
        std::shared_ptr<std::size_t> _count;
    };
    std::unique_ptr<LiveChild> _liveChild;
    std::shared_ptr<ui::ImageView> _groupIcon, _iconTrue, _iconFalse, _radioIcon, _numberIcon,
        _sliderStartIcon, _sliderEndIcon;
    std::shared_ptr<ui::TextField> _groupTitleLabel, _headTitleLabel, _titleLabel, _headLabel,
        _descLabel, _sliderStartLabel, _sliderEndLabel;
    std::vector<std::shared_ptr<ui::TextField>> _tickLabels;
    std::shared_ptr<ui::Button> _checkBox, _pushButton;
    std::shared_ptr<ui::Matrix> _matrix;
    std::shared_ptr<ui::PopUpButton> _popUp;
    std::shared_ptr<ui::Slider> _slider;
    std::shared_ptr<ZEMATextField> _textField;
    std::shared_ptr<ui::Stepper> _stepper;
    std::vector<std::shared_ptr<ui::DatePicker>> _datePickers;

    // Creation steps
    struct Layout;
    void readDescription(const std::string& paneName);
    bool mayNestChild(const std::string& keyword, std::size_t fileChildren) const;
    void buildGroupIcon(const Layout& layout);
    void buildGroupTitle(Layout& layout);
    void buildLabels(const Layout& layout, double x);
    void buildKindElement(Layout& layout);
    void nameForAssistiveTechnology();
    void buildCheckBox(const Layout& layout);
    void buildRadioGroup(const Layout& layout);
    void buildPopUp(const Layout& layout);
    void buildSlider(const Layout& layout);
    void placeSliderParts(double indent);
    void fitHeightToContent();
    void keepCheckBoxAboveChildren();
    void buildNumberField(const Layout& layout);
    void buildTextField(const Layout& layout);
    void buildDatePickers(const Layout& layout);
    void applyHiddenFlags();
    void buildChildren(const Layout& layout, const std::string& paneName);
    std::vector<std::string> childKeywords() const;
    std::shared_ptr<const Dictionary> uiSettingsForChildren() const;

    // Helpers
    std::string localized(const std::string& key) const;
    std::shared_ptr<ui::TextField> addLabel(ui::Rect frame, const std::string& text);
    std::shared_ptr<ui::ImageView> addImage(ui::Rect frame, const std::string& imageName);
    std::optional<std::string> initialValue() const;
    void rebuildPopUpItems(const std::vector<PopupEntry>& entries, bool withIcons);
    std::vector<PopupEntry> descriptionEntries() const;
    void showPopUpValue(const std::string& value);
    void showRadioValue(const std::string& value);
    void showNumber(const std::string& value);
    void followNumberWithStepper();
    std::string choiceAt(std::size_t index) const;
    std::vector<ui::View*> inputElements() const;
    ui::View* firstInputElement() const;
    std::vector<ui::TextField*> labels() const;
    void post(const std::optional<std::string>& parameter, bool withAction = false);
    void postPlain();
};

} // namespace velmora
