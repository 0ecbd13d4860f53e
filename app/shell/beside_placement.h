#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where a window of frame size `size` opens beside the window whose frame is `owner`, on a
// screen whose free area is `available`: to the right of the owner when it fits there, else to
// its left; level with the owner's top, raised as far as needed to end on the screen. None when
// it fits on neither side or is taller than the screen.
std::optional<QPoint> PlaceBeside(const QRect& owner, const QSize& size, const QRect& available);
