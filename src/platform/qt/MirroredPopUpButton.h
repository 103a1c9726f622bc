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
    // A pop-up the host shows in a place of its own: only its items and selection follow the
    // toolkit's, not its frame or whether it is hidden where the toolkit has it.
    void setPlacedByHost(bool placed) { _placedByHost = placed; }

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    std::weak_ptr<ui::PopUpButton> _popUp;
    std::vector<std::string> _shownItems;
    bool _placedByHost = false;

    void fillItems(const ui::PopUpButton& popUp);
};

} // namespace velmora::qt
