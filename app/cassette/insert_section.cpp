#include "cassette/insert_section.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>

#include "cassette/printer_helpers.h"

TInsertSection::TInsertSection(QObject* owner) : QObject(owner) {}

void TInsertSection::AssignFrom(const QWidget* control) {
  lines_.clear();
  if (const auto* section = qobject_cast<const TCassetteSection*>(control)) {
    lines_ = section->ShownLines();
    font_ = section->font();
    alignment_ = section->Alignment();
  } else if (const auto* list = qobject_cast<const QListWidget*>(control)) {
    for (int i = 0; i < list->count(); ++i) lines_ << list->item(i)->text();
    font_ = list->font();
  }
}

int TInsertSection::LineHeight(const QPaintDevice& device) const {
  // The point size resolved for the device's own resolution, as the printer's font is.
  return std::max(1, QFontMetrics(font_, &device).height());
}

int TInsertSection::LinesPerBlock(const QPaintDevice& device) const {
  const int vertical = device.logicalDpiY();
  const int blockHeight = columnHeight_ * vertical / 10;
  const int margin = vertical / 40;
  const int border = border_ ? 1 : 0;
  // Room between the top margin (below the divider or frame) and the bottom margin (above the
  // next one).
  const int room = blockHeight - 2 * margin - 2 * border;
  return std::max(1, room / LineHeight(device));
}

int TInsertSection::SectionHeight(const QPaintDevice& device) const {
  if (columnHeight_ == 0) return height_;
  const int perBlock = LinesPerBlock(device);
  const int blocks = std::max(1, (int(lines_.size()) + perBlock - 1) / perBlock);
  return blocks * columnHeight_;
}

QRect TInsertSection::DeviceRect(int h, int v) const {
  const int left = left_ * h / 10, top = top_ * v / 10;
  const int right = Right() * h / 10, bottom = Bottom() * v / 10;
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

int TInsertSection::LineWidth(int pixelsPerInch) {
  return std::max(1, (pixelsPerInch + 299) / 300);
}

QRect TInsertSection::TextRect(int h, int v) const {
  const QRect frame = DeviceRect(h, v);
  const int border = border_ ? 1 : 0;
  const int mx = h / 40, my = v / 40;
  const int x0 = frame.left() + border + mx, y0 = frame.top() + border + my;
  // The frame's right and bottom lines are the section's right and bottom edges.
  const int w = frame.right() - frame.left() - 2 * border - 2 * mx;
  const int hh = frame.bottom() - frame.top() - 2 * border - 2 * my;
  return QRect(x0, y0, std::max(0, w), std::max(0, hh));
}

void TInsertSection::DrawSection(QPainter& canvas) const {
  const QPaintDevice* device = canvas.device();
  if (device == nullptr) return;
  const int h = device->logicalDpiX(), v = device->logicalDpiY();
  const QRect frame = DeviceRect(h, v);
  const int border = border_ ? 1 : 0;
  canvas.save();
  canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
  canvas.setBrush(Qt::NoBrush);
  canvas.setBackgroundMode(Qt::TransparentMode);
  canvas.setRenderHint(QPainter::Antialiasing, false);

  const int blockHeight = columnHeight_ * v / 10;
  if (border_) {
    // Filled pixel rectangles rather than pen strokes: they cover exactly the rows and columns
    // meant on every device, instead of straddling two (or the page's edge).
    const int across = LineWidth(h), down = LineWidth(v);
    const int length = frame.width() + across - 1;
    auto horizontal = [&](int y) {
      canvas.fillRect(QRect(frame.left(), y, length, down), Qt::black);
    };
    auto vertical = [&](int x) {
      canvas.fillRect(QRect(x, frame.top(), across, frame.height() + down - 1), Qt::black);
    };
    horizontal(frame.top());
    horizontal(frame.bottom());
    vertical(frame.left());
    vertical(frame.right());
    if (columnHeight_ != 0) {
      for (int k = 1; top_ + k * columnHeight_ < Bottom(); ++k)
        horizontal((top_ + k * columnHeight_) * v / 10);
    }
  }

  canvas.setFont(font_);
  FixPrinterFont(canvas);
  const QFontMetrics metrics(font_, device);
  const int lineHeight = LineHeight(*device);
  const int ascent = metrics.ascent();
  const int my = v / 40;
  const QRect text = TextRect(h, v);
  const int perBlock = columnHeight_ != 0 ? LinesPerBlock(*device) : 0;
  canvas.setClipRect(text, Qt::IntersectClip);
  canvas.setPen(Qt::black);
  for (int i = 0; i < lines_.size(); ++i) {
    const QString& line = lines_[i];
    int y = text.top() + i * lineHeight;
    if (perBlock > 0) {
      y = frame.top() + (i / perBlock) * blockHeight + border + my + (i % perBlock) * lineHeight;
    }
    const int width = metrics.horizontalAdvance(line);
    const int right = text.left() + text.width();
    int x = text.left();
    if (alignment_ == taRightJustify) {
      x = right - width;
    } else if (alignment_ == taCenter) {
      x = (text.left() + right - width) / 2;
    }
    canvas.drawText(QPoint(x, y + ascent), line);
  }
  canvas.restore();
}
