#include "platform/qt/MirroredPopUpButton.h"

#include "platform/ui/Image.h"

#include <QFocusEvent>
#include <QStandardItemModel>

namespace velmora::qt {
namespace {

// What an item looks like, to tell when the menu must be filled again.
std::string itemSignature(const ui::PopUpButton& popUp, int index) {
    const auto& item = *popUp.itemAtIndex(index);
    if (item.isSeparatorItem())
        return "\x01-";
    std::string image = item.image() ? item.image()->path() : std::string();
    return (popUp.isItemSelectable(index) ? "+" : "-") + item.title() + "\x01" + image;
}

} // namespace

MirroredPopUpButton::MirroredPopUpButton(std::shared_ptr<ui::PopUpButton> popUp, QWidget* parent)
    : QComboBox(parent), MirroredView(popUp), _popUp(popUp) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        auto shown = _popUp.lock();
        // A pop-up the host shows is picked here even where the toolkit hides it in its own view.
        if (shown && _placedByHost && shown->isEnabled() && shown->isItemSelectable(index)) {
            shown->selectItemAtIndex(index);
            shown->sendAction();
        } else if (shown) {
            shown->selectItemByUser(index);
        }
        actionDone();
    });
}

void MirroredPopUpButton::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    focusTaken(event->reason());
}

void MirroredPopUpButton::fillItems(const ui::PopUpButton& popUp) {
    std::vector<std::string> items;
    for (int i = 0; i < popUp.numberOfItems(); ++i)
        items.push_back(itemSignature(popUp, i));
    if (items == _shownItems)
        return;
    _shownItems = std::move(items);
    QSignalBlocker quiet(this);
    clear();
    auto* model = qobject_cast<QStandardItemModel*>(this->model());
    for (int i = 0; i < popUp.numberOfItems(); ++i) {
        const auto& item = *popUp.itemAtIndex(i);
        if (item.isSeparatorItem()) {
            insertSeparator(count());
            continue;
        }
        QIcon icon;
        if (item.image() && !item.image()->path().empty())
            icon = QIcon(toQString(item.image()->path()));
        addItem(icon, toQString(item.title()));
        if (model && !popUp.isItemSelectable(i))
            model->item(count() - 1)->setEnabled(false);
    }
}

void MirroredPopUpButton::pull() {
    auto popUp = _popUp.lock();
    if (!popUp)
        return;
    if (!_placedByHost)
        pullCommon(*this);
    fillItems(*popUp);
    QSignalBlocker quiet(this);
    setCurrentIndex(popUp->indexOfSelectedItem());
}

} // namespace velmora::qt
