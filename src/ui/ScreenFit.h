#pragma once
// Keeping a window whole on the screen. A window that the program places
// (beside its owner, or where it stood when last closed, perhaps on a bigger
// screen) is moved onto the screen's available area when it would not fit
// there; one larger than the area is cut to it.

#include <QRect>

namespace tilbo::ui {

// `wanted`, moved (and if need be cut) the least so that it lies whole
// within `available`.
QRect FitOnScreen(const QRect& wanted, const QRect& available);

// A window of `size` beside `owner`, `gap` pixels apart: to its right, or
// to its left when only that side has room; whole within `available` in any
// case.
QRect BesideOwner(const QRect& owner, const QSize& size, int gap, const QRect& available);

}  // namespace tilbo::ui
