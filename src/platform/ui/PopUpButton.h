#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/MenuItem.h"

#include <vector>

namespace velmora::ui {

// A pop-up menu. While it has items, one of them is selected unless the selection was
// cleared on purpose (selectItemAtIndex(-1)); removing the selected item selects the first.
class PopUpButton : public Control {
public:
    explicit PopUpButton(Rect frame = {});
    std::string className() const override { return "NSPopUpButton"; }

    // Adding or inserting a title that an item already has removes that item first.
    void addItemWithTitle(const std::string& title);
    void addItemsWithTitles(const std::vector<std::string>& titles);
    void insertItemWithTitle(const std::string& title, int index);
    // Adds an item as it is (separators, items with represented objects or images).
    void addItem(std::shared_ptr<MenuItem> item);
    void insertItem(std::shared_ptr<MenuItem> item, int index);
    void removeItemAtIndex(int index);
    void removeItemWithTitle(const std::string& title);
    void removeAllItems();

    int numberOfItems() const { return static_cast<int>(_items.size()); }
    const std::vector<std::shared_ptr<MenuItem>>& itemArray() const { return _items; }
    std::shared_ptr<MenuItem> itemAtIndex(int index) const;
    std::shared_ptr<MenuItem> itemWithTitle(const std::string& title) const;
    std::vector<std::string> itemTitles() const;
    int indexOfItem(const MenuItem* item) const;
    int indexOfItemWithTitle(const std::string& title) const;
    int indexOfItemWithRepresentedObject(const Value& object) const;
    int indexOfItemWithTag(long tag) const;

    void selectItemAtIndex(int index);
    // No item with the title (or represented object, or tag) clears the selection.
    void selectItemWithTitle(const std::string& title);
    bool selectItemWithTag(long tag);
    bool selectItemWithRepresentedObject(const Value& object);
    void selectItem(const MenuItem* item);
    int indexOfSelectedItem() const;
    std::shared_ptr<MenuItem> selectedItem() const;
    std::string titleOfSelectedItem() const;

    // With automatic enabling the menu enables every item itself; without it each item's own
    // enabled flag counts.
    bool autoenablesItems() const { return _autoenablesItems; }
    void setAutoenablesItems(bool on) { _autoenablesItems = on; }
    bool isItemSelectable(int index) const;

    // The user picks an item: refused for separators, disabled items and a disabled pop-up;
    // otherwise the item is selected and the action sent.
    bool selectItemByUser(int index);

    std::string stringValue() const override { return titleOfSelectedItem(); }

private:
    std::vector<std::shared_ptr<MenuItem>> _items;
    std::shared_ptr<MenuItem> _selected;
    bool _autoenablesItems = true;

    void synchronizeSelection();
};

} // namespace velmora::ui
