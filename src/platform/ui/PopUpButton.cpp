#include "platform/ui/PopUpButton.h"

#include <algorithm>

namespace velmora::ui {

std::shared_ptr<MenuItem> MenuItem::separatorItem() {
    auto item = std::make_shared<MenuItem>();
    item->_separator = true;
    item->_enabled = false;
    return item;
}

PopUpButton::PopUpButton(Rect frame) : Control(frame) {}

void PopUpButton::synchronizeSelection() {
    if (!_selected && !_items.empty())
        _selected = _items.front();
}

void PopUpButton::addItemWithTitle(const std::string& title) {
    insertItemWithTitle(title, numberOfItems());
}

void PopUpButton::addItemsWithTitles(const std::vector<std::string>& titles) {
    for (const auto& title : titles)
        addItemWithTitle(title);
}

void PopUpButton::insertItemWithTitle(const std::string& title, int index) {
    removeItemWithTitle(title);
    insertItem(std::make_shared<MenuItem>(title), std::min(index, numberOfItems()));
}

void PopUpButton::addItem(std::shared_ptr<MenuItem> item) {
    insertItem(std::move(item), numberOfItems());
}

void PopUpButton::insertItem(std::shared_ptr<MenuItem> item, int index) {
    if (!item)
        return;
    index = std::clamp(index, 0, numberOfItems());
    _items.insert(_items.begin() + index, std::move(item));
    synchronizeSelection();
}

void PopUpButton::removeItemAtIndex(int index) {
    if (index < 0 || index >= numberOfItems())
        return;
    if (_items[static_cast<std::size_t>(index)] == _selected)
        _selected.reset();
    _items.erase(_items.begin() + index);
    synchronizeSelection();
}

void PopUpButton::removeItemWithTitle(const std::string& title) {
    removeItemAtIndex(indexOfItemWithTitle(title));
}

void PopUpButton::removeAllItems() {
    _items.clear();
    _selected.reset();
}

std::shared_ptr<MenuItem> PopUpButton::itemAtIndex(int index) const {
    return index >= 0 && index < numberOfItems() ? _items[static_cast<std::size_t>(index)]
                                                 : nullptr;
}

std::shared_ptr<MenuItem> PopUpButton::itemWithTitle(const std::string& title) const {
    return itemAtIndex(indexOfItemWithTitle(title));
}

std::vector<std::string> PopUpButton::itemTitles() const {
    std::vector<std::string> titles;
    for (const auto& item : _items)
        titles.push_back(item->title());
    return titles;
}

int PopUpButton::indexOfItem(const MenuItem* item) const {
    for (int i = 0; i < numberOfItems(); ++i)
        if (_items[static_cast<std::size_t>(i)].get() == item)
            return i;
    return -1;
}

int PopUpButton::indexOfItemWithTitle(const std::string& title) const {
    for (int i = 0; i < numberOfItems(); ++i)
        if (!_items[static_cast<std::size_t>(i)]->isSeparatorItem() &&
            _items[static_cast<std::size_t>(i)]->title() == title)
            return i;
    return -1;
}

int PopUpButton::indexOfItemWithRepresentedObject(const Value& object) const {
    for (int i = 0; i < numberOfItems(); ++i)
        if (_items[static_cast<std::size_t>(i)]->representedObject() == object)
            return i;
    return -1;
}

int PopUpButton::indexOfItemWithTag(long tag) const {
    for (int i = 0; i < numberOfItems(); ++i)
        if (_items[static_cast<std::size_t>(i)]->tag() == tag)
            return i;
    return -1;
}

void PopUpButton::selectItemAtIndex(int index) {
    _selected = itemAtIndex(index);
}

void PopUpButton::selectItemWithTitle(const std::string& title) {
    selectItemAtIndex(indexOfItemWithTitle(title));
}

bool PopUpButton::selectItemWithTag(long tag) {
    int index = indexOfItemWithTag(tag);
    selectItemAtIndex(index);
    return index >= 0;
}

bool PopUpButton::selectItemWithRepresentedObject(const Value& object) {
    int index = indexOfItemWithRepresentedObject(object);
    selectItemAtIndex(index);
    return index >= 0;
}

void PopUpButton::selectItem(const MenuItem* item) {
    selectItemAtIndex(indexOfItem(item));
}

int PopUpButton::indexOfSelectedItem() const {
    return indexOfItem(_selected.get());
}

std::shared_ptr<MenuItem> PopUpButton::selectedItem() const {
    return _selected;
}

std::string PopUpButton::titleOfSelectedItem() const {
    return _selected ? _selected->title() : std::string();
}

bool PopUpButton::isItemSelectable(int index) const {
    auto item = itemAtIndex(index);
    if (!item || item->isSeparatorItem())
        return false;
    return _autoenablesItems || item->isEnabled();
}

bool PopUpButton::selectItemByUser(int index) {
    if (!isEnabled() || isHidden() || !isItemSelectable(index))
        return false;
    selectItemAtIndex(index);
    sendAction();
    return true;
}

} // namespace velmora::ui
