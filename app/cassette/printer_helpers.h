#pragma once

#include <QImage>
#include <QRect>

class QPainter;

// Shared by every printing path: run FixPrinterFont once the painter is active on the printer,
// before the job draws any text.

// Re-resolves the painter's font for the device's vertical resolution and sets its point size
// again, so that a size in points comes out at its true size on paper at any resolution.
// A font given in pixels is left alone.
void FixPrinterFont(QPainter& canvas);

// Draws the whole picture stretched into rect (device pixels of the painter's device), pixel for
// pixel with no smoothing. Throws Exception when the picture is empty or the painter is not
// active.
void PrintBitmap(QPainter& canvas, const QImage& picture, const QRect& rect);
