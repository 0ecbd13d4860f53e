// Reads arbitrary bytes as a background picture and paints the preview of whatever loaded in
// each layout. Whatever the bytes, loading must answer a picture or the error message, and a
// picture must be within the size limits and paint without a sanitizer finding.
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cassette/background_picture.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Painting wants the GUI module set up; nobody looks, so no display is needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static std::unique_ptr<QGuiApplication> application =
      std::make_unique<QGuiApplication>(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  const TPictureLoadResult loaded = LoadPicture(buffer, QStringLiteral("input"));
  Require(loaded.picture.isNull() != loaded.error.isEmpty(), "a picture or an error, not both");
  if (loaded.picture.isNull()) {
    Require(loaded.error == PictureLoadError(QStringLiteral("input")),
            "the load error names the input");
    return 0;
  }
  Require(loaded.picture.width() <= kMaxPictureSide && loaded.picture.height() <= kMaxPictureSide,
          "a loaded picture is within the size limit");

  QImage preview(150, 97, QImage::Format_RGB32);
  for (TPictureLayout layout : {plTile, plCenter, plStretch}) {
    QPainter painter(&preview);
    DrawPicturePreview(painter, preview.rect(), loaded.picture, layout, 96);
    painter.end();
    Require(preview.pixel(0, 0) == qRgb(0, 0, 0), "the preview is framed");
  }
  return 0;
}
