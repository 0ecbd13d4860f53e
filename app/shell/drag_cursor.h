#pragma once

#include <QPixmap>
#include <QPoint>

// The cursor shown while music is dragged: an arrow with a music note, 32 x 32.
//
// Qt takes a drag cursor's hot spot at the centre of its picture, so the arrow's tip is drawn
// there (DragMusicCursorHotSpot) and the note sits below it to the right.
QPixmap DragMusicCursor();
QPoint DragMusicCursorHotSpot();
