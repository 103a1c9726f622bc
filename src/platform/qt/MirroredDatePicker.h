#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/DatePicker.h"

#include <QDateTimeEdit>

namespace velmora::qt {

// A date picker in UTC with the picker's elements ("yyyy/MM/dd", "HH:mm:ss") and a calendar
// for the graphical style. Finishing an edit is the toolkit's pickDate, which keeps the date
// within the earliest and latest dates.
class MirroredDatePicker : public QDateTimeEdit, public MirroredView {
public:
    MirroredDatePicker(std::shared_ptr<ui::DatePicker> picker, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override;

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    std::weak_ptr<ui::DatePicker> _picker;
};

} // namespace velmora::qt
