// Saves a picture of every window of the program as a user first sees it, and prints each
// window's first size beside the screen's: window_pictures <folder> <light|dark> <catalogue>.
// scripts/screenshot.sh runs it under Xvfb at each scale factor.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <cstdio>
#include <memory>

#include "cassette/background_picture_dialog.h"
#include "cassette/cassette_insert_window.h"
#include "catalogue/catalogue_window.h"
#include "cd/cd_player.h"
#include "cd/simulated_disc.h"
#include "entry/start_up.h"
#include "reports/report_dialog.h"
#include "select/album_selector.h"
#include "select/music_drag.h"
#include "shell/about_box.h"
#include "shell/application.h"
#include "shell/cancel_dialog.h"
#include "shell/colour_notice.h"
#include "shell/help_window.h"
#include "shell/modeless_message.h"
#include "shell/splash.h"

namespace {

QPalette DarkPalette() {
  QPalette dark = QApplication::style()->standardPalette();
  dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
  dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
  dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
  dark.setColor(QPalette::AlternateBase, QColor(0x28, 0x28, 0x28));
  dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::ToolTipBase, QColor(0x35, 0x35, 0x35));
  dark.setColor(QPalette::ToolTipText, QColor(0xee, 0xee, 0xee));
  dark.setColor(QPalette::Highlight, QColor(0x2a, 0x6a, 0xb0));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x88, 0x88, 0x88));
  dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x88, 0x88, 0x88));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x88, 0x88, 0x88));
  return dark;
}

// Shows the window, saves its picture and prints its size against the screen's free area.
void Take(QWidget* window, const QString& folder, const QString& name) {
  window->show();
  if (!QTest::qWaitForWindowExposed(window))
    std::fprintf(stderr, "%s not shown\n", qPrintable(name));
  QTest::qWait(200);  // lets the first paint and late layouts finish
  const QRect screen = window->screen()->availableGeometry();
  const QSize hint = window->minimumSizeHint();
  const bool fits = screen.contains(window->frameGeometry());
  const bool roomy = window->width() >= hint.width() && window->height() >= hint.height();
  std::printf("%-22s %4dx%-4d at %4d,%-4d  minimum %4dx%-4d  screen %dx%d%s%s\n", qPrintable(name),
              window->width(), window->height(), window->x(), window->y(), hint.width(),
              hint.height(), screen.width(), screen.height(), fits ? "" : "  OFF SCREEN",
              roomy ? "" : "  BELOW MINIMUM");
  window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  TReelsmithApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("reelsmith"));
  if (argc < 4) {
    std::fprintf(stderr, "usage: window_pictures <folder> <light|dark> <catalogue>\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (QString::fromLatin1(argv[2]) == QLatin1String("dark"))
    QApplication::setPalette(DarkPalette());
  QDir().mkpath(folder);
  {
    TStartUpWindows windows({QStringLiteral("--no-splash"), QString::fromLocal8Bit(argv[3])});
    TReelsmithForm* form = windows.Form();
    if (!QTest::qWaitFor([form] { return form->isVisible(); }, 20000)) return 1;
    Take(form, folder, QStringLiteral("catalogue_window"));
    // The cassette with the first album on it, opened as the Tools menu opens it.
    form->DisplayCassetteInsert();
    // What a drag of the first album leaves in the album list's tag.
    TAlbumSelector* albums = form->AlbumSelector1();
    SetTag(albums, albums->RecordOfRow(albums->FixedRows()));
    form->CassetteInsertButtonDragDrop(albums);
    Take(windows.CassetteInsert(), folder, QStringLiteral("cassette_window"));
    std::printf("%-22s catalogue %d..%d, cassette %d..%d\n", "side by side",
                form->frameGeometry().left(), form->frameGeometry().right(),
                windows.CassetteInsert()->frameGeometry().left(),
                windows.CassetteInsert()->frameGeometry().right());
    windows.CassetteInsert()->hide();
    for (const char* name : {"FindDialog", "DatabaseFieldDlg"}) {
      if (auto* dialog = form->findChild<QWidget*>(QString::fromLatin1(name))) {
        Take(dialog, folder, QString::fromLatin1(name));
        dialog->hide();
      }
    }
    TReportDlg report(form->ReelsmithDB(), form);
    Take(&report, folder, QStringLiteral("report_dialog"));
    report.hide();
    TAboutBox about(BuiltInProductPicture(), form);
    Take(&about, folder, QStringLiteral("about_box"));
    about.hide();
    TColorNotice notice(form);
    Take(&notice, folder, QStringLiteral("colour_notice"));
    notice.hide();
    form->hide();
    std::printf("closing the catalogue window\n");
  }
  TSplashScreen splash;
  Take(&splash, folder, QStringLiteral("splash"));
  TCDPlayer player(std::make_unique<TSimulatedCdDevice>());
  Take(&player, folder, QStringLiteral("cd_player"));
  THelpWindow help;
  Take(&help, folder, QStringLiteral("help_window"));
  TBackgroundBitmapDlg picture;
  Take(&picture, folder, QStringLiteral("background_picture_dialog"));
  TCancelDialog cancel;
  Take(&cancel, folder, QStringLiteral("cancel_dialog"));
  TModelessMessageDlg message;
  message.SetText(QStringLiteral("The catalogue file could not be read."));
  Take(&message, folder, QStringLiteral("modeless_message"));
  return 0;
}
