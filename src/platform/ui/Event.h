#pragma once

#include "platform/ui/Geometry.h"

#include <string>

namespace velmora::ui {

// Event types keep the toolkit's numbers.
enum class EventType : int {
    LeftMouseDown = 1,
    LeftMouseUp = 2,
    RightMouseDown = 3,
    RightMouseUp = 4,
    MouseMoved = 5,
    KeyDown = 10,
    KeyUp = 11,
};

struct Event {
    EventType type = EventType::LeftMouseDown;
    Point location;
    std::string characters;
};

} // namespace velmora::ui
