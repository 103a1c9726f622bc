#pragma once

#include <string>
#include <vector>

class QWidget;

namespace velmora::qt {

// What a person would find untidy in a window as Qt draws it: a text wider than the room its
// widget (and the widget's parent) gives it, two sibling widgets on top of each other, a row of a
// tree cut to its column without a tool tip that holds the whole text (rows are cut with an
// ellipsis by design, and read whole in their tool tip). Only shown widgets count; the other
// parts Qt builds inside its own composite widgets (a pop-up's list, a table's viewport) are
// Qt's business.
std::vector<std::string> layoutProblems(const QWidget& root);

// Marks a widget as one that shows a toolkit view (only those are compared with their siblings).
void markMirrored(QWidget& widget);
bool isMirrored(const QWidget& widget);

} // namespace velmora::qt
