#include "shell/drag_cursor.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

QPoint DragMusicCursorHotSpot() { return QPoint(16, 16); }

QPixmap DragMusicCursor() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);

  // The arrow, tip on the hot spot, white with a black outline so it shows on any background.
  const QPointF tip = DragMusicCursorHotSpot();
  const QPolygonF arrow{tip,
                        tip + QPointF(0, 11),
                        tip + QPointF(2.5, 8.5),
                        tip + QPointF(4.5, 12.5),
                        tip + QPointF(6, 11.8),
                        tip + QPointF(4.2, 8),
                        tip + QPointF(7.5, 8)};
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawPolygon(arrow);

  // A quaver to the lower right: two heads joined by a beam.
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(Qt::black);
  p.drawEllipse(QPointF(21.5, 29), 2.5, 2);
  p.drawEllipse(QPointF(28, 27.5), 2.5, 2);
  p.drawLine(QPointF(23.8, 29), QPointF(23.8, 19.5));
  p.drawLine(QPointF(30.2, 27.5), QPointF(30.2, 18));
  QPainterPath beam;
  beam.moveTo(23.8, 19.5);
  beam.lineTo(30.2, 18);
  beam.lineTo(30.2, 20.5);
  beam.lineTo(23.8, 22);
  beam.closeSubpath();
  p.drawPath(beam);
  return pixmap;
}
