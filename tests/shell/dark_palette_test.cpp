// With a dark desktop palette, every text the windows draw themselves stays readable: at least
// 4.5:1 against what it is drawn on, measured on the drawn pixels.
#include "app_test_environment.h"
#include "colour_contrast.h"
#include "every_window.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStyle>

#include <map>

#include "catalogue/songs_grid.h"
#include "platform/profile.h"

namespace {

constexpr double kReadable = 4.5;

QPalette DarkPalette() {
  QPalette dark = QApplication::style()->standardPalette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    dark.setColor(group, QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
    dark.setColor(group, QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(group, QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(group, QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(group, QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(group, QPalette::AlternateBase, QColor(0x28, 0x28, 0x28));
    dark.setColor(group, QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(group, QPalette::Highlight, QColor(0x2a, 0x6a, 0xb0));
    dark.setColor(group, QPalette::HighlightedText, Qt::white);
  }
  return dark;
}

// The contrast of the text in a drawn area: its background is its most common colour, its text
// the colour that stands out most from that.
double TextContrast(const QImage& area) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x) ++counts[area.pixel(x, y) | 0xff000000u];
  if (counts.size() < 2) return 1.0;  // nothing drawn at all
  QRgb background = 0;
  int most = 0;
  for (const auto& [colour, n] : counts)
    if (n > most) {
      most = n;
      background = colour;
    }
  double best = 1.0;
  for (const auto& [colour, n] : counts)
    best = std::max(best, ContrastRatio(QColor(background), QColor(colour)));
  return best;
}

double TextContrast(QWidget* w, const QRect& area) { return TextContrast(w->grab(area).toImage()); }

class DarkPaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = QApplication::palette();
    // As a dark desktop gives it, before any window is built.
    QApplication::setPalette(DarkPalette());
  }
  void TearDown() override { QApplication::setPalette(saved_); }

  QPalette saved_;
};

TEST(ContrastOfDrawnText, TheMeasureTellsReadableFromUnreadable) {
  QLabel label("Readable");
  label.resize(120, 30);
  QPalette p = label.palette();
  p.setColor(QPalette::Window, Qt::white);
  p.setColor(QPalette::WindowText, Qt::black);
  label.setPalette(p);
  label.setAutoFillBackground(true);
  EXPECT_GT(TextContrast(&label, label.rect()), 15);
  p.setColor(QPalette::WindowText, QColor(0xcc, 0xcc, 0xcc));
  label.setPalette(p);
  EXPECT_LT(TextContrast(&label, label.rect()), 2);
  label.setText(QString());
  EXPECT_EQ(TextContrast(&label, label.rect()), 1.0);
}

TEST_F(DarkPaletteTest, TheWindowsOwnTextStaysReadable) {
  // The songs grid with its "On Tape" marks, on the sample catalogue.
  TProfile(QString::fromLatin1(kSettingsFileName))
      .WriteBool(QStringLiteral("Features"), QStringLiteral("MarkSongsOnTape"), true);
  TEveryWindow all(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"));
  all.form->resize(1000, 700);
  all.form->ShowFromSplash();
  QCoreApplication::processEvents();

  auto* grid = all.form->findChild<TSongsGrid*>();
  ASSERT_NE(grid, nullptr);
  ASSERT_GT(grid->model()->rowCount(), 1);
  // The second song, on the tape: a row that is not selected, so its mark sits on the grid's own
  // background.
  grid->SetSongOnTape(2, true);
  for (int column = 0; column < grid->model()->columnCount(); ++column) {
    const QRect cell = grid->visualRect(grid->model()->index(1, column));
    ASSERT_FALSE(cell.isEmpty());
    EXPECT_GE(TextContrast(grid->viewport(), cell), kReadable) << "songs grid column " << column;
  }
  EXPECT_GE(
      ContrastRatio(grid->palette().color(QPalette::Text), grid->palette().color(QPalette::Base)),
      kReadable);

  // The cassette's sections and side lists as they show on screen.
  for (QPlainTextEdit* section : all.cassette->findChildren<QPlainTextEdit*>()) {
    section->setPlainText(QStringLiteral("Summer Tape"));
    section->resize(200, 40);
    EXPECT_GE(TextContrast(section->viewport(), section->viewport()->rect()), kReadable)
        << section->objectName().toStdString();
  }
  for (QListWidget* list : all.cassette->findChildren<QListWidget*>()) {
    list->addItem(QStringLiteral("A song"));
    list->resize(200, 60);
    EXPECT_GE(TextContrast(list->viewport(), list->visualItemRect(list->item(0))), kReadable)
        << list->objectName().toStdString();
  }

  // The CD player: its display and the lettering on its face.
  auto* display = all.player->findChild<QLabel*>(QStringLiteral("CDLabel"));
  ASSERT_NE(display, nullptr);
  display->setText(QStringLiteral(" 1    0:00"));
  EXPECT_GE(TextContrast(all.player.get(), display->geometry()), kReadable);
  for (const char* name : {"TrackLabel", "TimeLabel"}) {
    auto* label = all.player->findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_NE(label, nullptr);
    EXPECT_GE(TextContrast(all.player.get(), label->geometry()), kReadable) << name;
  }

  // The splash picture's lettering, and the colour notice.
  EXPECT_GE(TextContrast(BuiltInProductPicture().toImage().copy(50, 40, 320, 42)), kReadable);
  all.notice->adjustSize();
  EXPECT_GE(TextContrast(all.notice.get(), all.notice->NoticeLabel->geometry()), kReadable);
}

}  // namespace
