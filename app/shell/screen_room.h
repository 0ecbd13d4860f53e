#pragma once

#include <QSize>

class QWidget;

// The room a window has on its screen: the screen's free area less the window's frame, where
// the window system has told the frame (before the first show it may not have). Windows whose
// natural size is larger than this fit themselves to it. An invalid size when there is no
// screen.
QSize ScreenRoom(const QWidget* window);
