#pragma once

#include "controls/ZEMAFieldRules.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <string>

namespace velmora {

// The editable field of option controls. In number mode it holds a number with a fixed
// precision and range: only keystrokes that keep a valid number are taken, and ending the
// edit clamps and re-formats the number, with an alert when it was out of range. In text mode
// it holds text; page lists and special texts are checked while typing. Under the decimal
// comma the field shows "," while option values keep ".".
class ZEMATextField : public ui::TextField {
public:
    explicit ZEMATextField(ui::Rect frame = {});
    ~ZEMATextField() override;
    // A field as an interface file makes it: number mode, unit 2, maximal length 4, the full
    // range of doubles, answering "VALIDATE" requests.
    static std::shared_ptr<ZEMATextField> fromInterfaceFile(ui::Rect frame);
    std::string className() const override { return "ZEMATextField"; }

    void setNum(bool numberMode) { _rules.numberMode = numberMode; }
    bool isNum() const { return _rules.numberMode; }
    void setDigit(std::uint32_t maxLength) { _rules.maxLength = maxLength; }
    std::uint32_t digit() const { return _rules.maxLength; }
    void setUnit(std::uint32_t unit);
    std::uint32_t unit() const { return _rules.unit; }
    void setMin(double minimum) { _rules.minimum = minimum; }
    // Also sets the maximal length to what the maximum needs.
    void setMax(double maximum);
    double minValue() const { return _rules.minimum; }
    double maxValue() const { return _rules.maximum; }
    void setKeyword(std::string keyword);
    const std::string& keyword() const { return _keyword; }
    const std::string& savedText() const { return _savedText; }
    const ZEMAFieldRules& rules() const { return _rules; }

    std::string unitFormat() const { return _rules.displayFormat(); }
    std::string unitCFormat() const { return _rules.cFormat(); }
    double doubleValueInRange() const;
    int intValueInRange() const;
    void validateTextField();
    void validateTextFieldforNumber();
    void setDoubleValue(double value) override;
    void setDoubleValueforNumber(double value);
    void setIntValue(int value) override;
    // Takes the sender's integer, takes the focus and ends the edit as the user would.
    void takeIntValueFrom(ui::Control& sender);
    static bool isEurope() { return ZEMAFieldRules::isEurope(); }

    bool isNumFormat(const std::string& text) const { return _rules.isNumFormat(text); }
    bool isTextFormatForPageNum(const std::string& text) const {
        return _rules.isTextFormatForPageNum(text);
    }
    // The out-of-range alert.
    void errorMsg() const;
    // The reaction to a "VALIDATE" request.
    void validate();

    bool textShouldChange(ui::FieldEditor& editor, ui::Range range,
                          const std::string& replacement) override;
    void textDidBeginEditing(ui::FieldEditor& editor) override;
    void textDidEndEditing() override;

protected:
    ZEMAFieldRules _rules;
    std::string _keyword;
    std::string _savedText;
    bool _observesValidation = false;

    double currentNumber() const { return _rules.numberOf(stringValue()); }
    bool currentNumberOutOfRange() const;
    void endEditing(bool decimalCommaVariant);
};

// The same field for secret text: characters are not shown, there is no decimal comma, a
// number edit is checked by its form alone and a text edit is always taken.
class ZEMASecureTextField : public ZEMATextField {
public:
    explicit ZEMASecureTextField(ui::Rect frame = {});
    std::string className() const override { return "ZEMASecureTextField"; }
    bool isSecure() const override { return true; }

    bool textShouldChange(ui::FieldEditor& editor, ui::Range range,
                          const std::string& replacement) override;
    void textDidEndEditing() override;
};

} // namespace velmora
