#include "reports/canvas_helpers.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

// Rectangles here are the platform's: right and bottom lie just outside the area, so widths are
// right - left (QRect::right() is one less).
namespace {

int Right(const QRect& r) { return r.left() + r.width(); }

}  // namespace

void TCanvasHelper::SetFont(const QString& faceName, int points, bool bold) {
  QFont font(faceName);
  font.setPointSize(points);
  font.setBold(bold);
  // Resolved for the painter's device, so points mean points on paper.
  canvas_->setFont(canvas_->device() ? QFont(font, canvas_->device()) : font);
}

int TCanvasHelper::TextHeight(const QString& text) const {
  (void)text;  // a line's height does not depend on its characters
  return canvas_->fontMetrics().height();
}

int TCanvasHelper::TextWidth(const QString& text) const {
  return canvas_->fontMetrics().horizontalAdvance(text);
}

void TCanvasHelper::DrawAt(int x, int y, const QString& text) {
  canvas_->drawText(x, y + canvas_->fontMetrics().ascent(), text);
}

void TCanvasHelper::DrawClipped(const QRect& rect, const QString& text) {
  if (rect.width() <= 0 || rect.height() <= 0) return;
  canvas_->save();
  canvas_->setClipRect(rect, Qt::IntersectClip);
  DrawAt(rect.left(), rect.top(), text);
  canvas_->restore();
}

void TCanvasHelper::DrawRight(const QRect& rect, const QString& text) {
  QRect moved = rect;
  moved.setLeft(Right(rect) - TextWidth(text));
  DrawClipped(moved, text);
}

void TCanvasHelper::DrawCentered(const QRect& rect, const QString& text, bool centreVertically,
                                 bool centreHorizontally) {
  int x = rect.left();
  int y = rect.top();
  if (centreHorizontally) x += (rect.width() - TextWidth(text)) / 2;
  if (centreVertically) y += (rect.height() - TextHeight(text)) / 2;
  DrawAt(x, y, text);
}

void TCanvasHelper::DrawFixedPitch(const QRect& rect, const QString& text,
                                   const QString& cellSample) {
  const int cell = TextWidth(cellSample);
  for (int i = 1; i <= text.size(); ++i) {
    const QString ch = text.mid(i - 1, 1);
    DrawAt(rect.left() + i * cell + (cell - TextWidth(ch)) / 2, rect.top(), ch);
  }
}
