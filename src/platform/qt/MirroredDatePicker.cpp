#include "platform/qt/MirroredDatePicker.h"

#include <QFocusEvent>
#include <QTimeZone>

namespace velmora::qt {
namespace {

QString formatOf(unsigned elements) {
    QStringList parts;
    if (elements & ui::DatePicker::kYearMonthDay)
        parts << "yyyy/MM/dd";
    if (elements & ui::DatePicker::kHourMinuteSecond)
        parts << "HH:mm:ss";
    return parts.join(' ');
}

} // namespace

MirroredDatePicker::MirroredDatePicker(std::shared_ptr<ui::DatePicker> picker, QWidget* parent)
    : QDateTimeEdit(parent), MirroredView(picker), _picker(picker) {
    setTimeSpec(Qt::UTC);
    connect(this, &QDateTimeEdit::editingFinished, this, [this] {
        auto shown = _picker.lock();
        double picked = static_cast<double>(dateTime().toSecsSinceEpoch());
        if (shown && picked != shown->dateValue())
            shown->pickDate(picked);
        actionDone();
    });
}

void MirroredDatePicker::focusInEvent(QFocusEvent* event) {
    QDateTimeEdit::focusInEvent(event);
    focusTaken(event->reason());
}

void MirroredDatePicker::pull() {
    auto picker = _picker.lock();
    if (!picker)
        return;
    pullCommon(*this);
    QSignalBlocker quiet(this);
    if (QString format = formatOf(picker->elements()); displayFormat() != format)
        setDisplayFormat(format);
    bool graphical = picker->style() == ui::DatePicker::Style::ClockAndCalendar;
    setCalendarPopup(graphical);
    // The calendar a graphical picker stands for opens from the field; the field keeps a field's
    // height at the top of the room kept for the calendar, not stretched over all of it.
    if (graphical && height() > sizeHint().height())
        resize(width(), sizeHint().height());
    // While the person types a date, it is theirs until they leave the field.
    if (!hasFocus())
        setDateTime(
            QDateTime::fromSecsSinceEpoch(static_cast<qint64>(picker->dateValue()), Qt::UTC));
}

} // namespace velmora::qt
