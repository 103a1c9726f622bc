#pragma once

#include "platform/ui/Geometry.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::ui {

class Window;

// A rectangle in a window's view tree. A view owns its subviews, kept in order.
class View : public std::enable_shared_from_this<View> {
public:
    explicit View(Rect frame = {});
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // The toolkit class the view stands for ("NSView", "NSButton", ...).
    virtual std::string className() const { return "NSView"; }

    Rect frame() const { return _frame; }
    virtual void setFrame(Rect frame) { _frame = frame; }
    void setFrameOrigin(Point origin) { setFrame(Rect{origin, _frame.size}); }
    void setFrameSize(Size size) { setFrame(Rect{_frame.origin, size}); }
    Rect bounds() const { return Rect{{0, 0}, _frame.size}; }

    View* superview() const { return _superview; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return _subviews; }
    void addSubview(std::shared_ptr<View> view);
    void removeFromSuperview();
    void removeAllSubviews();
    bool isDescendantOf(const View* ancestor) const;

    virtual bool isHidden() const { return _hidden; }
    virtual void setHidden(bool hidden) { _hidden = hidden; }
    bool isHiddenOrHasHiddenAncestor() const;

    const std::string& toolTip() const { return _toolTip; }
    void setToolTip(std::string toolTip) { _toolTip = std::move(toolTip); }
    // What assistive technology names the view by (a control's label that is a view of its own).
    const std::string& accessibilityLabel() const { return _accessibilityLabel; }
    void setAccessibilityLabel(std::string label) { _accessibilityLabel = std::move(label); }
    // The label beside this view that names it (assistive technology relates the two).
    std::shared_ptr<View> titleView() const { return _titleView.lock(); }
    void setTitleView(const std::shared_ptr<View>& title) { _titleView = title; }
    long tag() const { return _tag; }
    void setTag(long tag) { _tag = tag; }
    const std::string& identifier() const { return _identifier; }
    void setIdentifier(std::string identifier) { _identifier = std::move(identifier); }

    // The window the view is shown in: the one whose content view is this view's root.
    Window* window() const;
    void setWindowOfRoot(Window* window) { _window = window; }

    // Redraw requests are counted; a headless toolkit has nothing to draw.
    void setNeedsDisplay() { ++_displayCount; }
    void display() { ++_displayCount; }
    int displayCount() const { return _displayCount; }

    virtual bool acceptsFirstResponder() const { return false; }
    virtual bool becomeFirstResponder() { return true; }
    virtual bool resignFirstResponder() { return true; }

    // Every view of type T below this one, depth first, in subview order.
    template <typename T> std::vector<std::shared_ptr<T>> descendantsOfType() const {
        std::vector<std::shared_ptr<T>> found;
        collect<T>(found);
        return found;
    }

protected:
    virtual void willRemoveSubview(View*) {}

private:
    Rect _frame;
    View* _superview = nullptr;
    Window* _window = nullptr;
    std::vector<std::shared_ptr<View>> _subviews;
    bool _hidden = false;
    std::string _toolTip;
    std::string _accessibilityLabel;
    std::weak_ptr<View> _titleView;
    long _tag = 0;
    std::string _identifier;
    int _displayCount = 0;

    template <typename T> void collect(std::vector<std::shared_ptr<T>>& found) const {
        for (const auto& sub : _subviews) {
            if (auto typed = std::dynamic_pointer_cast<T>(sub))
                found.push_back(typed);
            sub->collect<T>(found);
        }
    }
};

} // namespace velmora::ui
