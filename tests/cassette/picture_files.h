#pragma once

// Picture files for the background picture tests: good ones in several formats and damaged ones.

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>
#include <QtEndian>

namespace picture_test {

inline QString WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return QString();
  return path;
}

inline QString WriteImage(const QString& path, const QImage& image, const char* format) {
  return image.save(path, format) ? path : QString();
}

inline QImage Filled(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// A 1 x 1 GIF whose one pixel is red.
inline QByteArray RedGif() {
  return QByteArray::fromHex(
      "474946383961010001008000"
      "00ff00000000ff"
      "2c00000000010001000002024401003b");
}

// A BMP file header and info header declaring width x height at 24 bits, with no pixels.
inline QByteArray BitmapHeader(qint32 width, qint32 height) {
  QByteArray bytes(54, '\0');
  auto put32 = [&](int at, qint32 v) { qToLittleEndian<qint32>(v, bytes.data() + at); };
  auto put16 = [&](int at, qint16 v) { qToLittleEndian<qint16>(v, bytes.data() + at); };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, 54);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  put16(26, 1);
  put16(28, 24);
  return bytes;
}

}  // namespace picture_test
