#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <optional>

#include "platform/profile.h"
#include "shell/about_box.h"
#include "shell/colour_notice.h"
#include "shell/drag_cursor.h"
#include "shell/message_dialog.h"
#include "shell/modeless_message.h"
#include "shell/splash.h"
#include "shell_test_environment.h"

namespace {

using StartUpWindows = SettingsTest;

bool SamePicture(const QPixmap& a, const QPixmap& b) { return a.toImage() == b.toImage(); }

TEST_F(StartUpWindows, AboutBoxShowsTheProductPictureEvenUnderABrand) {
  QImage brand(50, 40, QImage::Format_RGB32);
  brand.fill(Qt::blue);
  const QString path = home_.filePath("brand.png");
  ASSERT_TRUE(brand.save(path));
  TProfile(kSettingsFileName).WriteString("Brand", "Bitmap", path);
  TSplashScreen splash;
  ASSERT_EQ(splash.Picture().size(), QSize(50, 40));

  std::optional<TAboutBoxRequest> asked;
  TAboutBoxSeam seam([&](const TAboutBoxRequest& request) {
    asked = request;
    return true;
  });
  ShowAboutBox(&splash, splash.ProductPicture());
  ASSERT_TRUE(asked.has_value());
  EXPECT_EQ(asked->caption, "About Reelsmith");
  EXPECT_EQ(asked->programName, "Reelsmith 4.2");
  EXPECT_TRUE(SamePicture(asked->picture, BuiltInProductPicture()));

  TAboutBox box(splash.ProductPicture());
  EXPECT_EQ(box.property("helpContext").toInt(), 150);
  EXPECT_EQ(box.Image->pixmap().size(), QSize(420, 260));
  EXPECT_FALSE(box.Description->text().isEmpty());
  QTest::mouseClick(box.OKButton, Qt::LeftButton);
  EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST_F(StartUpWindows, DialogsWithoutSeamAreNotShownWhereNobodyCanAnswer) {
  // Offscreen: a forgotten seam must not leave a test waiting for a person.
  TAboutBox box(BuiltInProductPicture());
  EXPECT_FALSE(box.ShowModal());
  TModelessMessageDlg message;
  EXPECT_FALSE(message.ShowModal());
}

TEST_F(StartUpWindows, LoadErrorMessageCarriesTheTextAndTheErrorIcon) {
  std::optional<TModelessMessageRequest> asked;
  TModelessMessageSeam seam([&](const TModelessMessageRequest& request) {
    asked = request;
    return true;
  });
  ShowModelessMessage(nullptr, "The file is damaged.");
  ASSERT_TRUE(asked.has_value());
  EXPECT_EQ(asked->caption, "Reelsmith");
  EXPECT_EQ(asked->text, "The file is damaged.");

  TModelessMessageDlg dialog;
  dialog.SetText("Second line\nof text");
  EXPECT_EQ(dialog.Text(), "Second line\nof text");
  EXPECT_TRUE(dialog.MessageText->wordWrap());
  EXPECT_FALSE(dialog.Image1->pixmap().isNull());
  EXPECT_EQ(dialog.Image1->size(), QSize(32, 32));
  EXPECT_TRUE(dialog.ShowModal());
}

TEST_F(StartUpWindows, ColourNoticeIsDueOnlyAboveEightBitsAndUntilSuppressed) {
  TProfile settings(kSettingsFileName);
  EXPECT_FALSE(NeedsColorNotice(8));
  EXPECT_FALSE(NeedsColorNotice(1));
  EXPECT_TRUE(NeedsColorNotice(9));
  EXPECT_TRUE(NeedsColorNotice(24));

  settings.WriteString("ColorNotice", "DoNotDisplay", "0");
  EXPECT_TRUE(NeedsColorNotice(32));
  settings.WriteString("ColorNotice", "DoNotDisplay", "0x10");  // any non-zero value
  EXPECT_FALSE(NeedsColorNotice(32));
  EXPECT_FALSE(NeedsColorNotice(8));
}

TEST_F(StartUpWindows, OkWithDoNotShowCheckedSuppressesTheNotice) {
  TProfile settings(kSettingsFileName);
  TColorNotice notice;
  EXPECT_EQ(notice.windowTitle(), "Color Notice");
  EXPECT_EQ(notice.DoNotShow->text(), "&Do not show this notice again.");
  EXPECT_TRUE(notice.NoticeLabel->text().startsWith("Your display driver handles more than 256"));
  EXPECT_TRUE(notice.NoticeLabel->text().endsWith("or you can ignore the problem."));

  // OK unchecked writes nothing.
  QTest::mouseClick(notice.OKBtn, Qt::LeftButton);
  EXPECT_EQ(notice.result(), QDialog::Accepted);
  EXPECT_EQ(settings.ReadString("ColorNotice", "DoNotDisplay", "absent"), "absent");

  notice.DoNotShow->setChecked(true);
  QTest::mouseClick(notice.OKBtn, Qt::LeftButton);
  EXPECT_EQ(settings.ReadString("ColorNotice", "DoNotDisplay", "absent"), "1");
  EXPECT_FALSE(NeedsColorNotice(24));
}

TEST_F(StartUpWindows, ShowColorNoticeIfNeededAsksTheSeamAndAppliesItsAnswer) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  if (screen->depth() <= 8) GTEST_SKIP() << "the notice is never due on this screen";

  int asked = 0;
  bool checkIt = false;
  TColorNoticeSeam seam([&](const TColorNoticeRequest& request) {
    EXPECT_EQ(request.caption, "Color Notice");
    EXPECT_EQ(request.text, TColorNotice::NoticeText());
    ++asked;
    return checkIt;
  });
  EXPECT_TRUE(ShowColorNoticeIfNeeded(nullptr));
  EXPECT_TRUE(ShowColorNoticeIfNeeded(nullptr));
  EXPECT_EQ(asked, 2);
  checkIt = true;
  EXPECT_TRUE(ShowColorNoticeIfNeeded(nullptr));
  EXPECT_FALSE(ShowColorNoticeIfNeeded(nullptr));
  EXPECT_EQ(asked, 3);
}

TEST_F(StartUpWindows, UnwritableSettingsFileIsReportedOnceAndTheNoticeStillCloses) {
  // The settings folder's place is taken by a plain file, so nothing can be written there.
  QFile blocker(home_.filePath("reelsmith"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  TMessageRecorder messages;
  TColorNoticeSeam seam([](const TColorNoticeRequest&) { return true; });
  TColorNotice notice;
  notice.ShowModal();
  EXPECT_EQ(notice.result(), QDialog::Accepted);
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].type, mtError);
  EXPECT_TRUE(messages.Asked()[0].text.startsWith("Unable to write to"));
}

TEST(DragCursor, ArrowTipSitsOnTheHotSpotOfA32By32Picture) {
  const QImage cursor = DragMusicCursor().toImage();
  EXPECT_EQ(cursor.size(), QSize(32, 32));
  const QPoint hot = DragMusicCursorHotSpot();
  EXPECT_GT(qAlpha(cursor.pixel(hot + QPoint(1, 3))), 0);
  EXPECT_EQ(qAlpha(cursor.pixel(0, 0)), 0) << "the corners stay see-through";
}

}  // namespace
