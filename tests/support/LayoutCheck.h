#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <string>
#include <vector>

namespace velmora::test {

inline bool overlaps(const ui::Rect& a, const ui::Rect& b) {
    return a.origin.x < b.origin.x + b.size.width && b.origin.x < a.origin.x + a.size.width &&
           a.origin.y < b.origin.y + b.size.height && b.origin.y < a.origin.y + a.size.height;
}

inline bool inside(const ui::Rect& frame, const ui::Size& bounds) {
    constexpr double kSlack = 0.5;
    return frame.origin.x >= -kSlack && frame.origin.y >= -kSlack &&
           frame.origin.x + frame.size.width <= bounds.width + kSlack &&
           frame.origin.y + frame.size.height <= bounds.height + kSlack;
}

// A text that does not fit its frame: labels and buttons show their whole title.
inline void checkText(const ui::View& view, const std::string& path,
                      std::vector<std::string>& out) {
    std::string text;
    double room = view.frame().size.width;
    if (auto* button = dynamic_cast<const ui::Button*>(&view)) {
        text = button->title();
        room -= 16; // the bezel
    } else if (auto* field = dynamic_cast<const ui::TextField*>(&view)) {
        if (!field->isEditable())
            text = field->stringValue();
    }
    if (!text.empty() && ui::Font::systemFont().widthOfString(text) > room)
        out.push_back(path + ": \"" + text + "\" does not fit");
    if (auto* matrix = dynamic_cast<const ui::Matrix*>(&view)) {
        double cell = view.frame().size.width / std::max(1, matrix->numberOfColumns());
        for (const auto& c : matrix->cells())
            if (ui::Font::systemFont().widthOfString(c->title()) + 20 > cell)
                out.push_back(path + ": \"" + c->title() + "\" does not fit");
    }
}

// Whatever a person would find untidy in a view tree: children outside their parent, siblings
// on top of each other, texts that do not fit. Hidden views do not count.
inline void layoutProblems(const ui::View& view, const std::string& path,
                           std::vector<std::string>& out) {
    std::vector<const ui::View*> shown;
    for (const auto& child : view.subviews())
        if (!child->isHidden())
            shown.push_back(child.get());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        std::string childPath = path + "/" + shown[i]->className() + "#" + std::to_string(i);
        if (!inside(shown[i]->frame(), view.frame().size))
            out.push_back(childPath + " lies outside " + path);
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            if (overlaps(shown[i]->frame(), shown[j]->frame()))
                out.push_back(childPath + " overlaps " + shown[j]->className() + "#" +
                              std::to_string(j));
        checkText(*shown[i], childPath, out);
        // Plain containers are laid out by the window too; controls lay out their own parts.
        std::string kind = shown[i]->className();
        if (kind == "NSView" || kind == "NSBox")
            layoutProblems(*shown[i], childPath, out);
    }
}

inline std::vector<std::string> windowLayoutProblems(const ui::Window& window) {
    std::vector<std::string> out;
    auto content = window.contentView();
    if (content->frame().size.width != window.frame().size.width ||
        content->frame().size.height != window.frame().size.height)
        out.push_back("the content view does not fill the window");
    layoutProblems(*content, window.title(), out);
    return out;
}

} // namespace velmora::test
