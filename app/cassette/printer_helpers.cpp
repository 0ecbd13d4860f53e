#include "cassette/printer_helpers.h"

#include <QFont>
#include <QPaintDevice>
#include <QPainter>

#include "platform/exceptions.h"

void FixPrinterFont(QPainter& canvas) {
  QPaintDevice* device = canvas.device();
  if (device == nullptr) return;
  const qreal points = canvas.font().pointSizeF();
  if (points <= 0) return;
  // A font built for another device (a screen font handed to the printer, say) keeps that
  // device's resolution until it is resolved for this one.
  QFont font(canvas.font(), device);
  font.setPointSizeF(points);
  canvas.setFont(font);
}

void PrintBitmap(QPainter& canvas, const QImage& picture, const QRect& rect) {
  if (!canvas.isActive()) throw Exception(QStringLiteral("The printer is not ready for drawing."));
  if (picture.isNull()) throw Exception(QStringLiteral("The picture to print is empty."));
  canvas.save();
  canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
  canvas.drawImage(rect, picture, picture.rect());
  canvas.restore();
}
