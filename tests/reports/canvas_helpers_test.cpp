#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "app_test_environment.h"
#include "reports/canvas_helpers.h"

namespace {

QImage Page(int dpi) {
  QImage image(1200, 400, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(qRound(dpi / 0.0254));
  image.setDotsPerMeterY(qRound(dpi / 0.0254));
  return image;
}

// The leftmost and rightmost columns with ink, or -1.
std::pair<int, int> InkColumns(const QImage& image) {
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (qGray(image.pixel(x, y)) < 128) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

TEST(CanvasHelper, PointSizesComeOutAtTheirTrueSizeOnAnyResolution) {
  QImage low = Page(300), high = Page(600);
  QPainter lowPainter(&low), highPainter(&high);
  TCanvasHelper lowHelper(&lowPainter), highHelper(&highPainter);
  lowHelper.SetFont(QStringLiteral("Arial"), 10, false);
  highHelper.SetFont(QStringLiteral("Arial"), 10, false);
  const int lowHeight = lowHelper.TextHeight(QStringLiteral("Ag"));
  // 10 points are 10/72 inch: about 42 pixels at 300 dpi, with the line's leading on top.
  EXPECT_GT(lowHeight, 40);
  EXPECT_LT(lowHeight, 55);
  EXPECT_NEAR(highHelper.TextHeight(QStringLiteral("Ag")), 2 * lowHeight, 3);
  EXPECT_NEAR(highHelper.TextWidth(QStringLiteral("Music")),
              2 * lowHelper.TextWidth(QStringLiteral("Music")), 4);
}

TEST(CanvasHelper, ClipsRightAlignsAndCentres) {
  QImage image = Page(96);
  {
    QPainter painter(&image);
    TCanvasHelper helper(&painter);
    helper.SetFont(QStringLiteral("Arial"), 20, false);
    helper.DrawClipped(QRect(100, 10, 30, 40), QStringLiteral("WWWWWWWW"));
  }
  EXPECT_GE(InkColumns(image).first, 100);
  EXPECT_LE(InkColumns(image).second, 129);

  image = Page(96);
  {
    QPainter painter(&image);
    TCanvasHelper helper(&painter);
    helper.SetFont(QStringLiteral("Arial"), 20, false);
    helper.DrawRight(QRect(100, 10, 500, 40), QStringLiteral("Page 12"));
  }
  EXPECT_NEAR(InkColumns(image).second, 599, 6);

  image = Page(96);
  int width = 0;
  {
    QPainter painter(&image);
    TCanvasHelper helper(&painter);
    helper.SetFont(QStringLiteral("Arial"), 20, false);
    width = helper.TextWidth(QStringLiteral("Listing"));
    helper.DrawCentered(QRect(0, 10, 1200, 40), QStringLiteral("Listing"), false, true);
  }
  EXPECT_NEAR(InkColumns(image).first, (1200 - width) / 2, 6);
}

TEST(CanvasHelper, DrawsEachCharacterCentredInItsOwnCell) {
  QImage image = Page(96);
  int cell = 0;
  {
    QPainter painter(&image);
    TCanvasHelper helper(&painter);
    helper.SetFont(QStringLiteral("Arial"), 30, false);
    cell = helper.TextWidth(QStringLiteral("0"));
    // Character i goes into the cell starting at left + i * cell; "  1" puts "1" in cell 3.
    helper.DrawFixedPitch(QRect(100, 10, 400, 60), QStringLiteral("  1"), QStringLiteral("0"));
  }
  const auto [first, last] = InkColumns(image);
  ASSERT_GE(first, 0);
  EXPECT_GE(first, 100 + 3 * cell);
  EXPECT_LE(last, 100 + 4 * cell);
  EXPECT_NEAR((first + last) / 2.0, 100 + 3.5 * cell, cell / 4.0);
}

}  // namespace
