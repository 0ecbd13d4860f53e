#pragma once

#include <QRect>
#include <QString>

class QPainter;

// A few ways of placing text on a drawing surface, all in device pixels of the painter's device.
// The painter is not owned and must be active while the helper draws.
class TCanvasHelper {
 public:
  explicit TCanvasHelper(QPainter* canvas) : canvas_(canvas) {}

  QPainter* Canvas() const { return canvas_; }

  // Sets the painter's font; the size in points comes out at its true size on the device.
  void SetFont(const QString& faceName, int points, bool bold);
  int TextHeight(const QString& text) const;
  int TextWidth(const QString& text) const;

  // Draws at the rectangle's top-left, clipped to it.
  void DrawClipped(const QRect& rect, const QString& text);
  // As DrawClipped, with the text's right edge at the rectangle's right edge.
  void DrawRight(const QRect& rect, const QString& text);
  // Draws unclipped at the rectangle's left and top, or centred in the chosen directions.
  void DrawCentered(const QRect& rect, const QString& text, bool centreVertically,
                    bool centreHorizontally);
  // Character i (from 1) is drawn centred in the cell of the width of cellSample that starts at
  // rect.left + i * cell width, at rect.top; so digits line up in columns whatever their shapes.
  void DrawFixedPitch(const QRect& rect, const QString& text, const QString& cellSample);

 private:
  void DrawAt(int x, int y, const QString& text);

  QPainter* canvas_;
};
