// Walks every window and dialog as a screen reader sees them: each control that takes the
// keyboard, each grid and list, the cassette's insert sections and the CD display must have an
// accessible name, and the grids must report their rows and cells.
#include "app_test_environment.h"
#include "every_window.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include "catalogue/songs_grid.h"
#include "select/album_selector.h"

namespace {

QString AccessibleText(QWidget* w, QAccessible::Text which) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
  return face ? face->text(which).trimmed() : QString();
}

QString Describe(const QWidget* w) {
  return QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()),
                                     w->objectName());
}

// Controls of the window a screen reader would announce without a name.
QStringList Nameless(QWidget* window) {
  QStringList faults;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() != window || !w->isVisibleTo(window)) continue;
    // The parts of a grid, a list or a combo box (viewports, editors) belong to it.
    if (qobject_cast<QAbstractItemView*>(w->parentWidget())) continue;
    const bool named = w->focusPolicy() != Qt::NoFocus ||
                       qobject_cast<QAbstractItemView*>(w) != nullptr ||
                       qobject_cast<QPlainTextEdit*>(w) != nullptr;
    if (!named) continue;
    if (AccessibleText(w, QAccessible::Name).isEmpty())
      faults << QStringLiteral("%1: %2 has no accessible name")
                    .arg(TEveryWindow::Scope(window), Describe(w));
  }
  return faults;
}

TEST(AccessibleNames, TheWalkFindsANamelessControl) {
  QWidget window;
  window.setWindowTitle("Probe");
  new QLineEdit(&window);  // nothing says what it is for
  auto* labelled = new QLineEdit(&window);
  (new QLabel("&Title:", &window))->setBuddy(labelled);
  new QPushButton("OK", &window);
  const QStringList faults = Nameless(&window);
  ASSERT_EQ(faults.size(), 1) << faults.join('\n').toStdString();
  EXPECT_TRUE(faults[0].contains("QLineEdit"));
}

TEST(AccessibleNames, EveryWindowsControlsHaveNames) {
  TEveryWindow all;
  const std::set<QWidget*> windows = all.Windows();
  EXPECT_GE(windows.size(), 12u);
  QStringList faults;
  for (QWidget* w : windows) faults << Nameless(w);
  EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST(AccessibleNames, TheCassettesSectionsAndTheCdDisplayAreNamedAndDescribed) {
  TEveryWindow all;
  const auto sections = all.cassette->findChildren<QPlainTextEdit*>();
  ASSERT_FALSE(sections.isEmpty());
  QStringList names;
  for (QPlainTextEdit* section : sections) {
    const QString name = AccessibleText(section, QAccessible::Name);
    EXPECT_FALSE(name.isEmpty()) << Describe(section).toStdString();
    EXPECT_FALSE(AccessibleText(section, QAccessible::Description).isEmpty())
        << Describe(section).toStdString();
    names << name;
  }
  // A reader must be able to tell the sections apart.
  names.removeDuplicates();
  EXPECT_EQ(names.size(), sections.size()) << names.join(", ").toStdString();

  auto* display = all.player->findChild<QLabel*>("CDLabel");
  ASSERT_NE(display, nullptr);
  EXPECT_FALSE(display->accessibleName().isEmpty());
  EXPECT_FALSE(display->accessibleDescription().isEmpty());
}

// The grid as a screen reader reads it: its row count and the text of a cell.
void ExpectGridReadable(QTableView* grid) {
  ASSERT_NE(grid, nullptr);
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(grid);
  ASSERT_NE(face, nullptr);
  QAccessibleTableInterface* table = face->tableInterface();
  ASSERT_NE(table, nullptr) << Describe(grid).toStdString();
  ASSERT_GT(grid->model()->rowCount(), 0);
  EXPECT_EQ(table->rowCount(), grid->model()->rowCount());
  EXPECT_EQ(table->columnCount(), grid->model()->columnCount());
  // The headings are read with the cells.
  EXPECT_EQ(table->columnDescription(0), grid->model()->headerData(0, Qt::Horizontal).toString());
  // The first cell that shows text reads as that text.
  const QAbstractItemModel* model = grid->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    for (int column = 0; column < model->columnCount(); ++column) {
      const QString shown = model->index(row, column).data(Qt::DisplayRole).toString();
      if (shown.isEmpty()) continue;
      QAccessibleInterface* cell = table->cellAt(row, column);
      ASSERT_NE(cell, nullptr);
      EXPECT_EQ(cell->text(QAccessible::Name), shown) << Describe(grid).toStdString();
      return;
    }
  }
  ADD_FAILURE() << Describe(grid).toStdString() << " shows no text";
}

TEST(AccessibleNames, TheGridsReportRowsAndCells) {
  TEveryWindow all(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"));
  // Shown as the splash shows it: the album list has the keyboard and its album is current.
  all.form->ShowFromSplash();
  QCoreApplication::processEvents();
  ExpectGridReadable(all.form->findChild<TAlbumSelector*>());
  ExpectGridReadable(all.form->findChild<TSongsGrid*>());
}

}  // namespace
