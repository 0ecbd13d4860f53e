#include "cassette/background_picture.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>

#include "app_test_environment.h"
#include "picture_files.h"
#include "platform/profile.h"

namespace {

using namespace picture_test;

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kWhitePixel = qRgb(255, 255, 255);
const QRgb kBlackPixel = qRgb(0, 0, 0);

// Each test starts without a settings file and with a folder for its pictures.
class BackgroundPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(TProfile(kSettingsFileName).FileName());
    ASSERT_TRUE(folder_.isValid());
  }
  QString Path(const QString& name) const { return folder_.filePath(name); }
  static TProfile Settings() { return TProfile(kSettingsFileName); }

  QTemporaryDir folder_;
};

// The preview of `picture` painted on a white-initialised canvas of the box's size.
QImage Preview(const QImage& picture, TPictureLayout layout, QSize box = QSize(160, 100),
               int ppi = 96) {
  QImage canvas(box, QImage::Format_RGB32);
  canvas.fill(Qt::green);
  QPainter painter(&canvas);
  DrawPicturePreview(painter, QRect(QPoint(0, 0), box), picture, layout, ppi);
  painter.end();
  return canvas;
}

TEST_F(BackgroundPictureTest, MusicalStaffIsASixteenColourGreyPicture) {
  const QImage staff = MusicalStaffPicture();
  ASSERT_EQ(staff.size(), QSize(200, 130));
  EXPECT_LE(staff.colorCount(), 16);
  QSet<QRgb> used;
  for (int y = 0; y < staff.height(); ++y)
    for (int x = 0; x < staff.width(); ++x) used.insert(staff.pixel(x, y));
  EXPECT_TRUE(used.contains(kWhitePixel));
  EXPECT_TRUE(used.contains(qRgb(0xC0, 0xC0, 0xC0)));  // staff lines
  EXPECT_TRUE(used.contains(qRgb(0x80, 0x80, 0x80)));  // notes
  for (QRgb colour : used) EXPECT_EQ(qRed(colour), qBlue(colour)) << "only greys";
}

TEST_F(BackgroundPictureTest, LoadsEveryCommonFormat) {
  const QImage red = Filled(30, 20, Qt::red);
  for (const char* format : {"PNG", "BMP", "JPG"}) {
    const QString file = WriteImage(Path(QStringLiteral("red.") + format), red, format);
    ASSERT_FALSE(file.isEmpty()) << format;
    const TPictureLoadResult loaded = LoadPictureFile(file);
    EXPECT_TRUE(loaded.error.isEmpty()) << format;
    EXPECT_EQ(loaded.picture.size(), QSize(30, 20)) << format;
    EXPECT_NEAR(qRed(loaded.picture.pixel(10, 10)), 255, 8) << format;
  }
  // The content decides, not the name.
  const TPictureLoadResult gif = LoadPictureFile(WriteBytes(Path("red.bmp"), RedGif()));
  ASSERT_TRUE(gif.error.isEmpty());
  EXPECT_EQ(gif.picture.pixel(0, 0), kRed);

  QBuffer buffer;
  buffer.open(QIODevice::ReadWrite);
  red.save(&buffer, "PNG");
  buffer.seek(0);
  EXPECT_EQ(LoadPicture(buffer, QStringLiteral("buffer")).picture.size(), QSize(30, 20));
}

TEST_F(BackgroundPictureTest, RefusesDamagedAndOversizedFiles) {
  QByteArray png;
  {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage noise(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) noise.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) & 255));
    noise.save(&buffer, "PNG");
  }
  const QString bad[] = {
      Path("missing.png"),
      folder_.path(),               // a folder
      QStringLiteral("/dev/zero"),  // endless: must not be read
      WriteBytes(Path("empty.png"), QByteArray()),
      WriteBytes(Path("garbage.png"), QByteArray(5000, '\x5a')),
      WriteBytes(Path("truncated.png"), png.left(png.size() / 2)),
      WriteBytes(Path("truncated.gif"), RedGif().left(20)),
      WriteBytes(Path("zero.bmp"), BitmapHeader(0, 0)),
      WriteBytes(Path("huge.bmp"), BitmapHeader(200000, 200000)),
      WriteBytes(Path("many.bmp"), BitmapHeader(9000, 9000)),  // each side allowed, too many pixels
      WriteImage(Path("wide.png"), Filled(kMaxPictureSide + 1, 1, Qt::red), "PNG"),
  };
  for (const QString& file : bad) {
    ASSERT_FALSE(file.isEmpty());
    const TPictureLoadResult loaded = LoadPictureFile(file);
    EXPECT_TRUE(loaded.picture.isNull()) << file.toStdString();
    EXPECT_EQ(loaded.error,
              "Unable to load " + file + ".  Please check that it is a picture file.");
  }
  const QString widest = WriteImage(Path("widest.png"), Filled(kMaxPictureSide, 1, Qt::red), "PNG");
  EXPECT_EQ(LoadPictureFile(widest).picture.width(), kMaxPictureSide);
}

TEST_F(BackgroundPictureTest, FirstStartHasNoPictureCentred) {
  const TBackgroundPicture stored = StoredBackgroundPicture();
  EXPECT_TRUE(stored.picture.isNull());
  EXPECT_EQ(stored.layout, plCenter);
  EXPECT_TRUE(stored.unreadableFile.isEmpty());
}

TEST_F(BackgroundPictureTest, StoredChoiceIsReadAsTheDialogReadsIt) {
  TProfile settings = Settings();
  settings.WriteInteger("BackgroundBitmap", "Selection", 1);
  settings.WriteInteger("BackgroundBitmap", "Layout", 5);
  TBackgroundPicture stored = StoredBackgroundPicture();
  EXPECT_EQ(stored.picture, MusicalStaffPicture());
  EXPECT_EQ(stored.layout, plTile);  // outside 0 .. 2

  settings.WriteInteger("BackgroundBitmap", "Selection", 2);  // only a file name makes a file
  settings.WriteInteger("BackgroundBitmap", "Layout", 2);
  stored = StoredBackgroundPicture();
  EXPECT_TRUE(stored.picture.isNull());
  EXPECT_EQ(stored.layout, plStretch);

  const QString file = WriteImage(Path("blue.png"), Filled(8, 4, Qt::blue), "PNG");
  settings.WriteString("BackgroundBitmap", "FileName", file);
  settings.WriteInteger("BackgroundBitmap", "Selection", 1);  // ignored beside a file name
  stored = StoredBackgroundPicture();
  EXPECT_EQ(stored.picture.size(), QSize(8, 4));
  EXPECT_EQ(stored.picture.pixel(0, 0), kBlue);
  EXPECT_EQ(ReadBackgroundPictureSettings().selection, 2);
}

TEST_F(BackgroundPictureTest, UnreadableStoredFileKeepsItsName) {
  const QString file = Path("unmounted/picture.png");
  Settings().WriteString("BackgroundBitmap", "FileName", file);
  const TBackgroundPicture stored = StoredBackgroundPicture();
  EXPECT_TRUE(stored.picture.isNull());
  EXPECT_EQ(stored.unreadableFile, file);
  EXPECT_EQ(Settings().ReadString("BackgroundBitmap", "FileName", ""), file);
}

TEST_F(BackgroundPictureTest, PreviewWithoutPictureIsWhiteInABlackFrame) {
  const QImage preview = Preview(QImage(), plStretch);
  for (QPoint corner :
       {QPoint(0, 0), QPoint(159, 0), QPoint(0, 99), QPoint(159, 99), QPoint(80, 0)})
    EXPECT_EQ(preview.pixel(corner), kBlackPixel);
  EXPECT_EQ(preview.pixel(1, 1), kWhitePixel);
  EXPECT_EQ(preview.pixel(158, 98), kWhitePixel);
}

TEST_F(BackgroundPictureTest, PreviewStretchCoversTheBox) {
  const QImage preview = Preview(Filled(3, 2, Qt::red), plStretch);
  for (QPoint inside :
       {QPoint(1, 1), QPoint(158, 1), QPoint(1, 98), QPoint(158, 98), QPoint(80, 50)})
    EXPECT_EQ(preview.pixel(inside), kRed);
  EXPECT_EQ(preview.pixel(0, 50), kBlackPixel);
}

TEST_F(BackgroundPictureTest, PreviewCentresTheInsertSizeTimesAWholeFactor) {
  // 160 pixels stand for 4 inches: 40 per inch. 48 x 24 screen pixels at 96 per inch are half
  // an inch by a quarter: 20 x 10, enlarged 8 times (160 / 20 = 8 < 100 / 10) to 160 x 80.
  QImage preview = Preview(Filled(48, 24, Qt::red), plCenter);
  EXPECT_EQ(preview.pixel(80, 8), kWhitePixel);
  EXPECT_EQ(preview.pixel(80, 11), kRed);
  EXPECT_EQ(preview.pixel(80, 88), kRed);
  EXPECT_EQ(preview.pixel(80, 91), kWhitePixel);

  // At 48 per inch the same picture is 40 x 20: factor min(4, 5) = 4, 160 x 80 again. At 192
  // per inch it is 10 x 5: factor min(16, 20) = 16, still 160 x 80.
  EXPECT_EQ(Preview(Filled(48, 24, Qt::red), plCenter, QSize(160, 100), 48), preview);
  EXPECT_EQ(Preview(Filled(48, 24, Qt::red), plCenter, QSize(160, 100), 192), preview);

  // 240 x 48 is 100 x 20; factor 1 (160 / 100): centred at x 30 .. 129, y 40 .. 59.
  preview = Preview(Filled(240, 48, Qt::red), plCenter);
  EXPECT_EQ(preview.pixel(28, 50), kWhitePixel);
  EXPECT_EQ(preview.pixel(32, 50), kRed);
  EXPECT_EQ(preview.pixel(127, 50), kRed);
  EXPECT_EQ(preview.pixel(131, 50), kWhitePixel);
  EXPECT_EQ(preview.pixel(80, 38), kWhitePixel);
  EXPECT_EQ(preview.pixel(80, 42), kRed);
  EXPECT_EQ(preview.pixel(80, 61), kWhitePixel);
}

TEST_F(BackgroundPictureTest, PreviewTilesFromTheBoxsTopLeft) {
  // Quadrants: red at top left and bottom right, blue elsewhere.
  QImage quadrants = Filled(48, 48, Qt::red);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x)
      if ((x < 24) != (y < 24)) quadrants.setPixel(x, y, kBlue);
  // 48 screen pixels are 20 preview pixels at 96 per inch, 40 at 48 per inch.
  for (const auto& [ppi, tile] : {std::pair{96, 20}, std::pair{48, 40}}) {
    QImage canvas(180, 120, QImage::Format_RGB32);
    canvas.fill(Qt::green);
    QPainter painter(&canvas);
    DrawPicturePreview(painter, QRect(10, 10, 160, 100), quadrants, plTile, ppi);
    painter.end();
    EXPECT_EQ(canvas.pixel(5, 5), qRgb(0, 255, 0)) << "outside the box";
    const int near = tile / 10;  // beside a tile's edge, clear of smoothing
    const int far = tile / 2 - tile / 10;
    for (int tileLeft = 10; tileLeft < 170; tileLeft += tile) {
      for (int tileTop = 10; tileTop < 110; tileTop += tile) {
        for (int dx : {near, far}) {
          for (int dy : {near, far}) {
            const int x = tileLeft + dx, y = tileTop + dy;
            const int x2 = x + tile / 2, y2 = y + tile / 2;
            if (x > 10 && y > 10) {
              EXPECT_EQ(canvas.pixel(x, y), kRed) << x << "," << y;
            }
            if (x2 < 169 && y > 10) {
              EXPECT_EQ(canvas.pixel(x2, y), kBlue) << x2 << "," << y;
            }
            if (x > 10 && y2 < 109) {
              EXPECT_EQ(canvas.pixel(x, y2), kBlue) << x << "," << y2;
            }
            if (x2 < 169 && y2 < 109) {
              EXPECT_EQ(canvas.pixel(x2, y2), kRed) << x2 << "," << y2;
            }
          }
        }
      }
    }
  }
}

TEST_F(BackgroundPictureTest, PreviewOfDegeneratePicturesFinishes) {
  const QImage pictures[] = {Filled(1, 1, Qt::red), Filled(2, 2, Qt::red),
                             Filled(kMaxPictureSide, 1, Qt::red),
                             Filled(1, kMaxPictureSide, Qt::red)};
  for (const QImage& picture : pictures) {
    for (TPictureLayout layout : {plTile, plCenter, plStretch}) {
      for (int ppi : {96, 1, 0, -5, 100000}) {
        const QImage preview = Preview(picture, layout, QSize(150, 97), ppi);
        EXPECT_EQ(preview.pixel(0, 0), kBlackPixel);
        if (picture.width() <= 2 && layout != plCenter) {
          // Tiles of at least one pixel still cover the box.
          EXPECT_EQ(preview.pixel(75, 48), kRed) << layout << " " << ppi;
          EXPECT_EQ(preview.pixel(148, 95), kRed) << layout << " " << ppi;
        }
      }
    }
  }
  // An empty box paints nothing and does not fail.
  QImage canvas(10, 10, QImage::Format_RGB32);
  canvas.fill(Qt::green);
  QPainter painter(&canvas);
  DrawPicturePreview(painter, QRect(5, 5, 0, 0), Filled(1, 1, Qt::red), plTile, 96);
  painter.end();
  EXPECT_EQ(canvas.pixel(5, 5), qRgb(0, 255, 0));
}

}  // namespace
