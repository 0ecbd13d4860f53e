#include "cassette/background_picture.h"

#include <QBrush>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QTransform>

#include <algorithm>
#include <utility>

#include "platform/profile.h"

namespace {

const QString kSection = QStringLiteral("BackgroundBitmap");

// Qt's own default, stated here so that a change of the default cannot raise it.
constexpr int kAllocationLimitMegabytes = 256;
// Bounds a centred or tiled picture's size in the preview, so integer sums cannot overflow.
constexpr qint64 kMaxPreviewTile = 1 << 20;
constexpr int kDefaultPixelsPerInch = 96;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kStaffGrey = 0xFFC0C0C0;
constexpr QRgb kNoteGrey = 0xFF808080;

// The 16 colours of the classic display palette.
QList<QRgb> SixteenColours() {
  return {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
          0xFF008080, 0xFF808080, 0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
          0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
}

// One staff: five lines 8 pixels apart from `top`, with a bar line at each end.
void DrawStaff(QPainter& painter, int top) {
  painter.setPen(QPen(QColor::fromRgb(kStaffGrey), 1));
  for (int line = 0; line < 5; ++line) painter.drawLine(8, top + 8 * line, 191, top + 8 * line);
  painter.drawLine(8, top, 8, top + 32);
  painter.drawLine(191, top, 191, top + 32);
}

// A note head centred on `step` half-spaces below the staff's top line, with its stem up.
void DrawNote(QPainter& painter, int top, int x, int step, bool filled) {
  const int y = top + 4 * step;
  painter.setPen(QPen(QColor::fromRgb(kNoteGrey), 1));
  painter.setBrush(filled ? QBrush(QColor::fromRgb(kNoteGrey)) : QBrush(Qt::NoBrush));
  painter.drawEllipse(QRect(x - 4, y - 3, 9, 7));
  painter.drawLine(x + 4, y, x + 4, y - 22);
}

bool SizeAcceptable(const QSize& size) {
  return size.width() > 0 && size.height() > 0 && size.width() <= kMaxPictureSide &&
         size.height() <= kMaxPictureSide &&
         qint64(size.width()) * size.height() <= kMaxPicturePixels;
}

TPictureLoadResult Failure(const QString& name) { return {QImage(), PictureLoadError(name)}; }

TPictureLoadResult ReadPicture(QImageReader& reader, const QString& name) {
  reader.setAllocationLimit(kAllocationLimitMegabytes);
  // The declared size is known before decoding for most formats: refuse a huge one now.
  const QSize declared = reader.size();
  if (declared.isValid() && !SizeAcceptable(declared)) return Failure(name);
  QImage picture;
  if (!reader.read(&picture) || picture.isNull() || !SizeAcceptable(picture.size()))
    return Failure(name);
  if (picture.format() != QImage::Format_RGB32 &&
      picture.format() != QImage::Format_ARGB32_Premultiplied) {
    picture = picture.convertToFormat(
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (picture.isNull()) return Failure(name);
  }
  return {picture, QString()};
}

}  // namespace

QImage MusicalStaffPicture() {
  QImage canvas(200, 130, QImage::Format_RGB32);
  canvas.fill(kWhite);
  {
    // No antialiasing: every pixel keeps one of the few colours drawn.
    QPainter painter(&canvas);
    struct Note {
      int x, step;
      bool filled;
    };
    const Note upper[] = {{30, 6, true},  {50, 5, true},  {70, 4, true},  {90, 3, false},
                          {115, 4, true}, {135, 2, true}, {155, 3, true}, {175, 5, false}};
    const Note lower[] = {{30, 8, false},  {55, 7, true},  {75, 6, true},  {95, 5, true},
                          {120, 6, false}, {145, 4, true}, {165, 5, true}, {182, 6, true}};
    for (const auto& [top, notes] : {std::pair{16, upper}, std::pair{82, lower}}) {
      DrawStaff(painter, top);
      for (int i = 0; i < 8; ++i)
        DrawNote(painter, top, notes[i].x, notes[i].step, notes[i].filled);
    }
  }
  return canvas.convertToFormat(QImage::Format_Indexed8, SixteenColours(), Qt::ThresholdDither);
}

QString PictureLoadError(const QString& name) {
  return QStringLiteral("Unable to load ") + name +
         QStringLiteral(".  Please check that it is a picture file.");
}

TPictureLoadResult LoadPictureFile(const QString& fileName) {
  // A pipe or device would be read without end.
  if (!QFileInfo(fileName).isFile()) return Failure(fileName);
  QImageReader reader(fileName);
  return ReadPicture(reader, fileName);
}

TPictureLoadResult LoadPicture(QIODevice& device, const QString& name) {
  QImageReader reader(&device);
  return ReadPicture(reader, name);
}

TPictureLayout PictureLayoutFrom(int value) {
  return value >= plTile && value <= plStretch ? static_cast<TPictureLayout>(value) : plTile;
}

TBackgroundPictureSettings ReadBackgroundPictureSettings() {
  const TProfile profile(kSettingsFileName);
  TBackgroundPictureSettings settings;
  settings.fileName = profile.ReadString(kSection, QStringLiteral("FileName"), QString());
  if (!settings.fileName.isEmpty()) {
    settings.selection = 2;
  } else {
    settings.selection = profile.ReadInteger(kSection, QStringLiteral("Selection"), 0) == 1 ? 1 : 0;
  }
  settings.layout = PictureLayoutFrom(profile.ReadInteger(kSection, QStringLiteral("Layout"), 1));
  return settings;
}

void WriteBackgroundPictureSettings(const TBackgroundPictureSettings& settings) {
  TProfile profile(kSettingsFileName);
  profile.WriteString(kSection, QStringLiteral("FileName"), settings.fileName);
  profile.WriteInteger(kSection, QStringLiteral("Selection"), settings.selection);
  profile.WriteInteger(kSection, QStringLiteral("Layout"), settings.layout);
}

TBackgroundPicture StoredBackgroundPicture() {
  const TBackgroundPictureSettings settings = ReadBackgroundPictureSettings();
  TBackgroundPicture stored;
  stored.layout = settings.layout;
  if (settings.selection == 2) {
    TPictureLoadResult loaded = LoadPictureFile(settings.fileName);
    if (loaded.picture.isNull()) stored.unreadableFile = settings.fileName;
    stored.picture = loaded.picture;
  } else if (settings.selection == 1) {
    stored.picture = MusicalStaffPicture();
  }
  return stored;
}

void DrawPicturePreview(QPainter& painter, const QRect& box, const QImage& picture,
                        TPictureLayout layout, int screenPixelsPerInch) {
  if (box.isEmpty()) return;
  painter.save();
  painter.fillRect(box, Qt::white);
  if (!picture.isNull()) {
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (layout == plStretch) {
      painter.drawImage(box, picture);
    } else {
      const qint64 ppi = screenPixelsPerInch > 0 ? screenPixelsPerInch : kDefaultPixelsPerInch;
      // The box stands for the 4-inch-wide insert.
      const qint64 perInch = box.width() / 4;
      const auto tileSide = [&](int pictureSide) {
        return int(std::clamp<qint64>(pictureSide * perInch / ppi, 1, kMaxPreviewTile));
      };
      const int tileWidth = tileSide(picture.width());
      const int tileHeight = tileSide(picture.height());
      if (layout == plCenter) {
        const int f = std::max(1, std::min(box.width() / tileWidth, box.height() / tileHeight));
        const int w = tileWidth * f;
        const int h = tileHeight * f;
        painter.drawImage(
            QRect(box.left() + (box.width() - w) / 2, box.top() + (box.height() - h) / 2, w, h),
            picture);
      } else {
        // One textured fill: the tiles cost per pixel of the box, however small they are.
        QBrush tiles(picture);
        QTransform place;
        place.translate(box.left(), box.top());
        place.scale(double(tileWidth) / picture.width(), double(tileHeight) / picture.height());
        tiles.setTransform(place);
        painter.fillRect(box, tiles);
      }
    }
  }
  painter.restore();
  painter.save();
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  painter.restore();
}
