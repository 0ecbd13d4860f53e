#include "cassette/printer_helpers.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include "cassette_test_environment.h"
#include "platform/exceptions.h"

namespace {

QImage PageAt(int dpi) {
  QImage image(dpi * 2, dpi, QImage::Format_RGB32);
  image.setDotsPerMeterX(qRound(dpi / 0.0254));
  image.setDotsPerMeterY(qRound(dpi / 0.0254));
  image.fill(Qt::white);
  return image;
}

// Height in pixels of the ink (non-white rows) on the image.
int InkHeight(const QImage& image) {
  int top = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) {
        if (top < 0) top = y;
        bottom = y;
        break;
      }
    }
  }
  return top < 0 ? 0 : bottom - top + 1;
}

// Draws "H" in a 10-point font that was made for a 96 dpi screen and returns the ink height.
int CapHeightDrawnAt(int dpi, int* lineHeight) {
  QImage screen(10, 10, QImage::Format_RGB32);
  screen.setDotsPerMeterX(qRound(96 / 0.0254));
  screen.setDotsPerMeterY(qRound(96 / 0.0254));
  QImage page = PageAt(dpi);
  QPainter painter(&page);
  painter.setFont(QFont(QFont(QStringLiteral("Arial"), 10), &screen));
  FixPrinterFont(painter);
  *lineHeight = painter.fontMetrics().height();
  painter.setPen(Qt::black);
  painter.drawText(QPoint(dpi / 4, dpi / 2), QStringLiteral("H"));
  painter.end();
  return InkHeight(page);
}

TEST(Printfix, TenPointTextHasItsTrueSizeAtAnyResolution) {
  int line600 = 0, line300 = 0;
  const int cap600 = CapHeightDrawnAt(600, &line600);
  const int cap300 = CapHeightDrawnAt(300, &line300);
  // Liberation Sans: capital height 0.688 em, line height 1.117 em.
  EXPECT_NEAR(cap600, 0.688 * 10 / 72 * 600, 3);
  EXPECT_NEAR(cap300, 0.688 * 10 / 72 * 300, 2);
  EXPECT_NEAR(line600 / 600.0, 1.117 * 10 / 72, 0.01);
  EXPECT_NEAR(line300 / 300.0, 1.117 * 10 / 72, 0.01);
}

TEST(Printfix, PrinterFontKeepsPointSizeOnPdfPrinters) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (int dpi : {300, 600, 1200}) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("f%1.pdf").arg(dpi)));
    printer.setResolution(dpi);
    QPainter painter;
    ASSERT_TRUE(painter.begin(&printer));
    painter.setFont(QFont(QStringLiteral("Arial"), 10));
    FixPrinterFont(painter);
    EXPECT_EQ(painter.font().pointSizeF(), 10);
    EXPECT_NEAR(painter.fontMetrics().height() / double(dpi), 1.117 * 10 / 72, 0.01) << dpi;
    painter.end();
  }
}

TEST(Printfix, PixelSizedFontIsLeftAlone) {
  QImage page = PageAt(600);
  QPainter painter(&page);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(40);
  painter.setFont(font);
  FixPrinterFont(painter);
  EXPECT_EQ(painter.font().pixelSize(), 40);
}

TEST(Printfix, BitmapIsStretchedIntoTheRectangle) {
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(255, 0, 0));
  picture.setPixel(1, 0, qRgb(0, 255, 0));
  picture.setPixel(0, 1, qRgb(0, 0, 255));
  picture.setPixel(1, 1, qRgb(255, 255, 255));
  QImage page(100, 100, QImage::Format_RGB32);
  page.fill(qRgb(128, 128, 128));
  QPainter painter(&page);
  PrintBitmap(painter, picture, QRect(10, 20, 40, 60));
  painter.end();

  // Each source pixel fills a 20 x 30 block; nothing outside the rectangle is touched.
  EXPECT_EQ(page.pixel(10, 20), qRgb(255, 0, 0));
  EXPECT_EQ(page.pixel(29, 49), qRgb(255, 0, 0));
  EXPECT_EQ(page.pixel(30, 20), qRgb(0, 255, 0));
  EXPECT_EQ(page.pixel(49, 49), qRgb(0, 255, 0));
  EXPECT_EQ(page.pixel(10, 50), qRgb(0, 0, 255));
  EXPECT_EQ(page.pixel(49, 79), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(9, 20), qRgb(128, 128, 128));
  EXPECT_EQ(page.pixel(50, 79), qRgb(128, 128, 128));
  EXPECT_EQ(page.pixel(10, 80), qRgb(128, 128, 128));
  EXPECT_EQ(page.pixel(10, 19), qRgb(128, 128, 128));
}

TEST(Printfix, BitmapFailuresReachTheCaller) {
  QImage page(10, 10, QImage::Format_RGB32);
  QPainter idle;
  EXPECT_THROW(PrintBitmap(idle, page, QRect(0, 0, 5, 5)), Exception);
  QPainter painter(&page);
  EXPECT_THROW(PrintBitmap(painter, QImage(), QRect(0, 0, 5, 5)), Exception);
}

}  // namespace
