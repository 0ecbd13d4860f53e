#pragma once

#include <QImage>
#include <QString>

#include "cassette/picture_layout.h"

class QIODevice;
class QPainter;
class QRect;

// The background picture of the cassette insert: the built-in picture, reading picture files,
// the stored choice and the dialog's preview. No widgets here, so the reading code can be
// fuzzed with the GUI module alone.

// The built-in "Musical Staff": 200 x 130 pixels, 16 colours, two staves of grey notes on
// light-grey staff lines.
QImage MusicalStaffPicture();

// A picture read from a file, or the message that tells the user it could not be.
struct TPictureLoadResult {
  QImage picture;  // null on failure
  QString error;   // empty on success
};

// Pictures larger than this on either side, or with more pixels in all, are refused before
// they are decoded: picture files come from anywhere.
inline constexpr int kMaxPictureSide = 10000;
inline constexpr qint64 kMaxPicturePixels = 32'000'000;

// "Unable to load <name>.  Please check that it is a picture file."
QString PictureLoadError(const QString& name);

// Reads a picture file in any format Qt reads (PNG, JPEG, BMP, GIF, ...). Refuses what is not a
// regular file, an undecodable or empty picture and one larger than the limits above; the error
// then names `fileName`. A loaded picture is in a 32-bit format, so drawing never converts it.
TPictureLoadResult LoadPictureFile(const QString& fileName);
// The same from an open device; `name` is what the error calls it.
TPictureLoadResult LoadPicture(QIODevice& device, const QString& name);

// A stored layout number as a layout: one outside 0 .. 2 counts as tile.
TPictureLayout PictureLayoutFrom(int value);

// Section "BackgroundBitmap" of the settings file, as the picture dialog reads and writes it.
struct TBackgroundPictureSettings {
  QString fileName;   // "FileName"; not empty exactly when selection is 2
  int selection = 0;  // 0 none, 1 the built-in staff, 2 the file
  TPictureLayout layout = plCenter;
};
// "Selection" counts only when "FileName" is empty, and then anything but 1 is 0; "Layout"
// defaults to centre.
TBackgroundPictureSettings ReadBackgroundPictureSettings();
// Writes all three keys. Raises Exception when the settings file cannot be written.
void WriteBackgroundPictureSettings(const TBackgroundPictureSettings& settings);

// The picture the insert uses at program start.
struct TBackgroundPicture {
  QImage picture;  // null for none
  TPictureLayout layout = plCenter;
  // The stored file when it could not be read. The settings keep its name (the file may be on
  // a disk that is not mounted now); the picture dialog tells the user when it opens.
  QString unreadableFile;
};
TBackgroundPicture StoredBackgroundPicture();

// Paints the dialog's preview into `box`: white with a black frame, and the picture stretched
// over the box, or centred or tiled at the size it would have on the 4-inch-wide insert
// (pictures are measured in screen pixels of `screenPixelsPerInch`; 96 when not positive). Any
// picture is safe: the work is bounded by the box's area.
void DrawPicturePreview(QPainter& painter, const QRect& box, const QImage& picture,
                        TPictureLayout layout, int screenPixelsPerInch);
