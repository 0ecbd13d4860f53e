#pragma once

// Every window and dialog of the program, built as the program builds them, for the tests that
// walk all of them (accessible names, the Tab order).

#include <QFileInfo>
#include <QMenu>

#include <memory>
#include <set>

#include "cassette/background_picture_dialog.h"
#include "cassette/cassette_insert_window.h"
#include "catalogue/catalogue_window.h"
#include "cd/cd_player.h"
#include "cd/simulated_disc.h"
#include "client/database.h"
#include "reports/report_dialog.h"
#include "shell/about_box.h"
#include "shell/cancel_dialog.h"
#include "shell/colour_notice.h"
#include "shell/help_window.h"
#include "shell/modeless_message.h"
#include "shell/splash.h"

struct TEveryWindow {
  // `catalogue` (may be empty) is opened in the catalogue window, so its grids hold rows.
  explicit TEveryWindow(const QString& catalogue = QString()) {
    TLibrarySearch search;
    search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
    search.SystemSearch = false;
    form = std::make_unique<TReelsmithForm>(
        catalogue.isEmpty() ? QStringList() : QStringList{catalogue}, search);
    form->IdleStep();
    report = std::make_unique<TReportDlg>(form->ReelsmithDB(), form.get());
    cassette = std::make_unique<TCassetteInsert>();
    picture = std::make_unique<TBackgroundBitmapDlg>();
    player = std::make_unique<TCDPlayer>(std::make_unique<TSimulatedCdDevice>());
    help = std::make_unique<THelpWindow>();
    cancel = std::make_unique<TCancelDialog>();
    about = std::make_unique<TAboutBox>(BuiltInProductPicture());
    message = std::make_unique<TModelessMessageDlg>();
    notice = std::make_unique<TColorNotice>();
  }

  // The top-level windows and the windows they own (the find window, the fields dialog).
  std::set<QWidget*> Windows() const {
    std::set<QWidget*> out;
    for (QWidget* top : std::initializer_list<QWidget*>{
             form.get(), report.get(), cassette.get(), picture.get(), player.get(), help.get(),
             cancel.get(), about.get(), message.get(), notice.get()}) {
      out.insert(top);
      for (QWidget* w : top->findChildren<QWidget*>())
        if (w->isWindow() && !qobject_cast<QMenu*>(w) && w->inherits("QDialog")) out.insert(w);
    }
    return out;
  }

  static QString Scope(const QWidget* window) {
    return window->windowTitle().isEmpty() ? window->objectName() : window->windowTitle();
  }

  std::unique_ptr<TReelsmithForm> form;
  std::unique_ptr<TReportDlg> report;
  std::unique_ptr<TCassetteInsert> cassette;
  std::unique_ptr<TBackgroundBitmapDlg> picture;
  std::unique_ptr<TCDPlayer> player;
  std::unique_ptr<THelpWindow> help;
  std::unique_ptr<TCancelDialog> cancel;
  std::unique_ptr<TAboutBox> about;
  std::unique_ptr<TModelessMessageDlg> message;
  std::unique_ptr<TColorNotice> notice;
};
