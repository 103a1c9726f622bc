#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/TextField.h"

namespace velmora::qt {

// A label, or an editable (or secure) field. Typing goes through the window's field editor key
// by key, so a keystroke its formatter or delegate refuses is refused on screen too; Tab and
// moving the focus end the editing the way the toolkit does, which the field may refuse.
class MirroredTextField : public MirroredView {
public:
    static std::string kindOf(const ui::TextField& field);
    static MirroredView* make(const std::shared_ptr<ui::TextField>& field, QWidget* parent);

protected:
    using MirroredView::MirroredView;
};

} // namespace velmora::qt
