#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/PopUpButton.h"

#include <QComboBox>

namespace velmora::qt {

// A pop-up menu with its separators, images and disabled items. Picking an item is the
// toolkit's selectItemByUser, which refuses separators and disabled items.
class MirroredPopUpButton : public QComboBox, public MirroredView {
public:
    MirroredPopUpButton(std::shared_ptr<ui::PopUpButton> popUp, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override;

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    std::weak_ptr<ui::PopUpButton> _popUp;
    std::vector<std::string> _shownItems;

    void fillItems(const ui::PopUpButton& popUp);
};

} // namespace velmora::qt
