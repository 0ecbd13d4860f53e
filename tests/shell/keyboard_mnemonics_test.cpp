// Walks every window and dialog of the program: each mnemonic a label shows must reach a control,
// and no two controls of one window may share a mnemonic letter, or Alt+letter would reach only
// one of them.
#include "app_test_environment.h"

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

#include <QAbstractButton>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>

#include <map>
#include <memory>
#include <set>

namespace {

// The mnemonic letter of a caption, upper-cased: the character after a single '&'; none for a
// caption without one ("&&" is a literal ampersand).
QChar Mnemonic(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    if (text[i + 1].isLetterOrNumber()) return text[i + 1].toUpper();
  }
  return QChar();
}

// The mnemonics one window offers, and what is wrong with them.
struct TWindowMnemonics {
  std::map<QChar, QStringList> users;
  QStringList faults;

  void Add(QChar letter, const QString& where) {
    if (!letter.isNull()) users[letter] << where;
  }
  void CheckUnique(const QString& scope) {
    for (const auto& [letter, where] : users)
      if (where.size() > 1)
        faults << QStringLiteral("%1: Alt+%2 is shared by %3").arg(scope, letter, where.join(", "));
  }
};

QString Describe(const QWidget* w, const QString& text) {
  return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), text);
}

// The faults of one window: labels whose mnemonic reaches nothing, letters used twice in the
// window, and letters used twice in one of its menus.
QStringList CheckWindow(QWidget* window) {
  const QString scope =
      window->windowTitle().isEmpty() ? window->objectName() : window->windowTitle();
  TWindowMnemonics mine;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() != window || !w->isVisibleTo(window)) continue;
    if (auto* label = qobject_cast<QLabel*>(w)) {
      const QChar letter = label->textFormat() == Qt::RichText ? QChar() : Mnemonic(label->text());
      if (letter.isNull()) continue;
      if (label->buddy() == nullptr)
        mine.faults << QStringLiteral("%1: %2 shows its ampersand and reaches no control")
                           .arg(scope, Describe(label, label->text()));
      else
        mine.Add(letter, Describe(label, label->text()));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      mine.Add(Mnemonic(button->text()), Describe(button, button->text()));
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
      mine.Add(Mnemonic(box->title()), Describe(box, box->title()));
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i)
        mine.Add(Mnemonic(tabs->tabText(i)), Describe(tabs, tabs->tabText(i)));
    } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
      for (QAction* a : bar->actions()) mine.Add(Mnemonic(a->text()), Describe(bar, a->text()));
    }
  }
  mine.CheckUnique(scope);
  for (QMenu* menu : window->findChildren<QMenu*>()) {
    TWindowMnemonics items;
    for (QAction* a : menu->actions())
      if (a->isVisible() && !a->isSeparator()) items.Add(Mnemonic(a->text()), a->text());
    items.CheckUnique(scope + " > " + menu->title());
    mine.faults << items.faults;
  }
  return mine.faults;
}

// Every window below a top-level object, itself included.
void CollectWindows(QWidget* top, std::set<QWidget*>& out) {
  out.insert(top);
  for (QWidget* w : top->findChildren<QWidget*>())
    if (w->isWindow() && !qobject_cast<QMenu*>(w)) out.insert(w);
}

TEST(KeyboardMnemonics, TheWalkFindsTheFaultsItLooksFor) {
  QWidget window;
  window.setWindowTitle("Probe");
  auto* lonely = new QLabel("Report &type:", &window);
  auto* reached = new QLabel("&Go to:", &window);
  reached->setBuddy(new QPushButton("Go", &window));
  new QPushButton("&Name", &window);
  new QPushButton("&Next", &window);
  new QPushButton("Rock && &Roll", &window);
  (void)lonely;
  const QStringList faults = CheckWindow(&window);
  ASSERT_EQ(faults.size(), 2) << faults.join('\n').toStdString();
  EXPECT_TRUE(faults[0].contains("Report &type:") || faults[1].contains("Report &type:"));
  EXPECT_TRUE(faults.join('\n').contains("Alt+N is shared"));
  EXPECT_EQ(Mnemonic("Save &As..."), QChar(u'A'));
  EXPECT_EQ(Mnemonic("Rock && Roll"), QChar());
}

TEST(KeyboardMnemonics, EveryWindowsMnemonicsReachOneControlEach) {
  TLibrarySearch search;
  search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
  search.SystemSearch = false;
  auto form = std::make_unique<TReelsmithForm>(QStringList(), search);
  form->IdleStep();
  auto report = std::make_unique<TReportDlg>(form->ReelsmithDB(), form.get());
  auto cassette = std::make_unique<TCassetteInsert>();
  auto picture = std::make_unique<TBackgroundBitmapDlg>();
  auto player = std::make_unique<TCDPlayer>(std::make_unique<TSimulatedCdDevice>());
  auto help = std::make_unique<THelpWindow>();
  auto cancel = std::make_unique<TCancelDialog>();
  auto about = std::make_unique<TAboutBox>(BuiltInProductPicture());
  auto message = std::make_unique<TModelessMessageDlg>();
  auto notice = std::make_unique<TColorNotice>();

  std::set<QWidget*> windows;
  for (QWidget* top : std::initializer_list<QWidget*>{
           form.get(), report.get(), cassette.get(), picture.get(), player.get(), help.get(),
           cancel.get(), about.get(), message.get(), notice.get()})
    CollectWindows(top, windows);
  // The catalogue window brings the find window and the fields dialog.
  EXPECT_GE(windows.size(), 12u);
  QStringList faults;
  for (QWidget* w : windows) faults << CheckWindow(w);
  EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

}  // namespace
