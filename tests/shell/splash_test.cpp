#include "shell/splash.h"

#include <QFile>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "platform/profile.h"
#include "shell/message_dialog.h"
#include "shell_test_environment.h"

namespace {

class SplashTest : public SettingsTest {
 protected:
  // Names `fileName` (in the test's folder) as the brand picture and answers its full path.
  QString Brand(const QString& fileName) {
    const QString path = home_.filePath(fileName);
    TProfile(kSettingsFileName).WriteString("Brand", "Bitmap", path);
    return path;
  }
  QString BrandPicture(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = Brand("brand.png");
    EXPECT_TRUE(image.save(path));
    return path;
  }
  void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  TMessageRecorder messages_;
};

bool SamePicture(const QPixmap& a, const QPixmap& b) { return a.toImage() == b.toImage(); }

TEST_F(SplashTest, WithoutBrandShowsTheBuiltInPictureCentredAndStartsItsTimer) {
  TSplashScreen splash;
  EXPECT_EQ(splash.Picture().size(), QSize(420, 260));
  EXPECT_TRUE(SamePicture(splash.Picture(), BuiltInProductPicture()));
  EXPECT_TRUE(SamePicture(splash.ProductPicture(), splash.Picture()));
  EXPECT_EQ(splash.size(), QSize(420, 260));
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(splash.palette().color(QPalette::Window), QColor(Qt::white));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE((splash.geometry().center() - screen.center()).manhattanLength(), 2);
  EXPECT_FALSE(splash.isVisible()) << "the caller shows it";
  EXPECT_TRUE(splash.Timer()->isActive());
  EXPECT_EQ(splash.Timer()->interval(), 3000);
  EXPECT_FALSE(splash.Done());
  EXPECT_TRUE(messages_.Asked().empty());
}

TEST_F(SplashTest, BrandPictureReplacesThePictureAndSizesTheWindow) {
  BrandPicture(QSize(123, 77), Qt::red);
  TSplashScreen splash;
  EXPECT_EQ(splash.Picture().size(), QSize(123, 77));
  EXPECT_EQ(splash.Picture().toImage().pixelColor(60, 40), QColor(Qt::red));
  EXPECT_EQ(splash.size(), QSize(123, 77));
  // The about box still gets the product picture.
  EXPECT_TRUE(SamePicture(splash.ProductPicture(), BuiltInProductPicture()));
  EXPECT_TRUE(messages_.Asked().empty());
}

TEST_F(SplashTest, UnreadableBrandFileIsReportedAndTheBuiltInPictureStays) {
  const QString garbage = Brand("garbage.bmp");
  WriteFile(garbage, "BM this is no picture at all");
  {
    TSplashScreen splash;
    EXPECT_EQ(splash.size(), QSize(420, 260));
    EXPECT_TRUE(SamePicture(splash.Picture(), BuiltInProductPicture()));
    EXPECT_TRUE(SamePicture(splash.ProductPicture(), BuiltInProductPicture()));
    EXPECT_TRUE(splash.Timer()->isActive());
  }
  ASSERT_EQ(messages_.Asked().size(), 1u);
  EXPECT_EQ(messages_.Asked()[0].type, mtError);
  EXPECT_TRUE(messages_.Asked()[0].text.contains(garbage))
      << messages_.Asked()[0].text.toStdString();

  const QString missing = Brand("missing.png");
  TSplashScreen splash;
  EXPECT_EQ(splash.size(), QSize(420, 260));
  ASSERT_EQ(messages_.Asked().size(), 2u);
  EXPECT_TRUE(messages_.Asked()[1].text.contains(missing));
}

TEST_F(SplashTest, EmptyBrandFileChangesNothing) {
  WriteFile(Brand("empty.bmp"), QByteArray());
  TSplashScreen splash;
  EXPECT_EQ(splash.size(), QSize(420, 260));
  EXPECT_TRUE(SamePicture(splash.Picture(), BuiltInProductPicture()));
  EXPECT_TRUE(messages_.Asked().empty());
}

TEST_F(SplashTest, TicksWaitForTheHandOverTargetAndTheFirstTickAfterHandsOver) {
  TSplashScreen splash;
  splash.show();
  splash.Timer()->setInterval(5);
  int ticks = 0;
  QObject::connect(splash.Timer(), &QTimer::timeout, [&ticks] { ++ticks; });
  QTRY_VERIFY(ticks >= 2);
  EXPECT_FALSE(splash.Done());
  EXPECT_TRUE(splash.isVisible());
  EXPECT_TRUE(splash.Timer()->isActive());

  int shown = 0;
  splash.SetHandOver([&] {
    // The splash is out of the way before the catalogue window comes up.
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(splash.Done());
    ++shown;
  });
  QTRY_VERIFY(splash.Done());
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(splash.isVisible());
  EXPECT_FALSE(splash.Timer()->isActive());
  splash.HandOver();
  EXPECT_EQ(shown, 1) << "hands over once";
}

TEST_F(SplashTest, ClickHandsOverOnlyOnceATargetIsSet) {
  TSplashScreen splash;
  splash.show();
  QTest::mouseClick(&splash, Qt::LeftButton);
  EXPECT_FALSE(splash.Done());
  EXPECT_TRUE(splash.isVisible());

  int shown = 0;
  splash.SetHandOver([&] { ++shown; });
  QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(splash.Done());
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(splash.isVisible());
  EXPECT_FALSE(splash.Timer()->isActive());

  // Brought back by the window system after hand-over, it hides again on (de)activation.
  splash.show();
  QEvent activation(QEvent::ActivationChange);
  QCoreApplication::sendEvent(&splash, &activation);
  EXPECT_FALSE(splash.isVisible());
}

TEST_F(SplashTest, ActivationBeforeHandOverKeepsTheSplash) {
  TSplashScreen splash;
  splash.show();
  QEvent activation(QEvent::ActivationChange);
  QCoreApplication::sendEvent(&splash, &activation);
  EXPECT_TRUE(splash.isVisible());
}

}  // namespace
