#pragma once
// The tool bar's icons: the style's standard icons where one fits, small drawings elsewhere.

#include <QIcon>

class QStyle;

namespace almx {

// A null icon for a command without one.
QIcon CommandIcon(int id, const QStyle* style);

}  // namespace almx
