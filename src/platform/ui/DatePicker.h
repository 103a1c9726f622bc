#pragma once

#include "platform/ui/Control.h"

#include <optional>

namespace velmora::ui {

// A date picker showing one date in UTC, as text fields or graphically (calendar or clock).
class DatePicker : public Control {
public:
    enum class Style { TextField, TextFieldAndStepper, ClockAndCalendar };
    enum Elements : unsigned { kYearMonthDay = 0xE0, kHourMinuteSecond = 0x0E };

    explicit DatePicker(Rect frame = {}, Style style = Style::TextField,
                        unsigned elements = kYearMonthDay);
    std::string className() const override { return "NSDatePicker"; }

    Style style() const { return _style; }
    void setStyle(Style style) { _style = style; }
    unsigned elements() const { return _elements; }
    void setElements(unsigned elements) { _elements = elements; }

    // Seconds since 1970-01-01 00:00:00 UTC; kept within the earliest and latest dates.
    double dateValue() const { return _date; }
    void setDateValue(double secondsSince1970);
    std::optional<double> minDate() const { return _minDate; }
    std::optional<double> maxDate() const { return _maxDate; }
    void setMinDate(std::optional<double> date);
    void setMaxDate(std::optional<double> date);

    // What the picker shows: "YYYY/MM/DD" for the date elements, "HH:MM:SS" for the time
    // elements, both separated by a space when it has both.
    std::string text() const;
    std::string stringValue() const override { return text(); }

    // The user picks a date; the action is sent.
    bool pickDate(double secondsSince1970);

private:
    Style _style;
    unsigned _elements;
    double _date = 0;
    std::optional<double> _minDate, _maxDate;
};

} // namespace velmora::ui
