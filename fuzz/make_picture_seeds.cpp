// Writes the seed pictures of the picture fuzz target into the folder given: tiny pictures in
// each format Qt reads (PNG, BMP in 24, 8 and 1 bits, GIF, JPEG), the built-in staff, and
// damaged ones (truncated, a zero size, a huge declared size). Run by hand when the seeds
// should change: make_picture_seeds fuzz/picture_corpus
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

#include <cstdio>

#include "cassette/background_picture.h"

namespace {

bool Write(const QString& folder, const char* name, const QByteArray& bytes) {
  QFile file(folder + QLatin1Char('/') + QLatin1String(name));
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

QImage Checks(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, (x + y) % 2 ? 0xFFFF0000 : 0xFF0000FF);
  return image;
}

// A 24-bit BMP header declaring width x height, without pixels.
QByteArray BitmapHeader(qint32 width, qint32 height) {
  QByteArray bytes(54, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  qToLittleEndian<qint32>(54, bytes.data() + 2);
  qToLittleEndian<qint32>(54, bytes.data() + 10);
  qToLittleEndian<qint32>(40, bytes.data() + 14);
  qToLittleEndian<qint32>(width, bytes.data() + 18);
  qToLittleEndian<qint32>(height, bytes.data() + 22);
  qToLittleEndian<qint16>(1, bytes.data() + 26);
  qToLittleEndian<qint16>(24, bytes.data() + 28);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_picture_seeds <folder>\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QImage checks = Checks(4, 3);
  const QByteArray png = Encoded(Checks(16, 16), "PNG");
  const QByteArray gif =
      QByteArray::fromHex("47494638396101000100800000ff00000000ff2c00000000010001000002024401003b");
  const bool written = Write(folder, "checks.png", Encoded(checks, "PNG")) &&
                       Write(folder, "checks.bmp", Encoded(checks, "BMP")) &&
                       Write(folder, "checks-8bit.bmp",
                             Encoded(checks.convertToFormat(QImage::Format_Indexed8), "BMP")) &&
                       Write(folder, "checks-1bit.bmp",
                             Encoded(checks.convertToFormat(QImage::Format_Mono), "BMP")) &&
                       Write(folder, "checks.jpg", Encoded(Checks(8, 8), "JPEG")) &&
                       Write(folder, "red.gif", gif) &&
                       Write(folder, "staff.png", Encoded(MusicalStaffPicture(), "PNG")) &&
                       Write(folder, "truncated.png", png.left(png.size() / 2)) &&
                       Write(folder, "truncated.gif", gif.left(20)) &&
                       Write(folder, "zero-size.bmp", BitmapHeader(0, 0)) &&
                       Write(folder, "huge-size.bmp", BitmapHeader(200000, 200000));
  if (!written) {
    std::fprintf(stderr, "make_picture_seeds: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
