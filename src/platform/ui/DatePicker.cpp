#include "platform/ui/DatePicker.h"

#include "platform/foundation/DateFormat.h"

#include <algorithm>
#include <cmath>

namespace velmora::ui {

DatePicker::DatePicker(Rect frame, Style style, unsigned elements)
    : Control(frame), _style(style), _elements(elements) {}

void DatePicker::setDateValue(double secondsSince1970) {
    if (!std::isfinite(secondsSince1970))
        return;
    if (_minDate)
        secondsSince1970 = std::max(secondsSince1970, *_minDate);
    if (_maxDate)
        secondsSince1970 = std::min(secondsSince1970, *_maxDate);
    _date = secondsSince1970;
    Control::setObjectValue(Value(Date{_date}));
}

void DatePicker::setMinDate(std::optional<double> date) {
    _minDate = date;
    setDateValue(_date);
}

void DatePicker::setMaxDate(std::optional<double> date) {
    _maxDate = date;
    setDateValue(_date);
}

std::string DatePicker::text() const {
    std::string iso = DateFormat::iso8601(_date); // YYYY-MM-DDTHH:MM:SSZ
    std::string day = iso.substr(0, 10), time = iso.substr(11, 8);
    std::replace(day.begin(), day.end(), '-', '/');
    bool hasDay = (_elements & kYearMonthDay) != 0, hasTime = (_elements & kHourMinuteSecond) != 0;
    if (hasDay && hasTime)
        return day + " " + time;
    return hasTime ? time : day;
}

bool DatePicker::pickDate(double secondsSince1970) {
    if (!isEnabled() || isHidden())
        return false;
    setDateValue(secondsSince1970);
    sendAction();
    return true;
}

} // namespace velmora::ui
