#include "select_test_environment.h"

#include "platform/exceptions.h"
#include "select/control_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTest>

namespace {

// A grid that refuses one row, to watch the current cell stay put.
class RefusingGrid : public TControlGrid {
 public:
  int refusedRow = -1;
  int asked = 0;

 protected:
  bool SelectCell(int, int row) override {
    ++asked;
    return row != refusedRow;
  }
};

TEST(StringGrid, FixedRowAndColumnBecomeHeadingsAndDataCellsTheModel) {
  TControlGrid grid;
  grid.SetColCount(3);
  grid.SetRowCount(4);
  grid.SetCells(1, 0, "Title");
  grid.SetCells(0, 2, "2");
  grid.SetCells(2, 3, "last");
  EXPECT_EQ(grid.model()->columnCount(), 2);
  EXPECT_EQ(grid.model()->rowCount(), 3);
  EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Title");
  EXPECT_EQ(grid.model()->headerData(1, Qt::Vertical).toString(), "2");
  EXPECT_EQ(grid.model()->index(2, 1).data().toString(), "last");

  // Counts keep at least one data row and column; cells outside raise.
  grid.SetRowCount(0);
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_THROW(grid.Cells(3, 0), ERangeError);
  EXPECT_THROW(grid.SetCells(0, 2, "x"), ERangeError);

  // Shrinking and growing again leaves no stale text behind.
  grid.SetRowCount(4);
  EXPECT_EQ(grid.Cells(2, 3), "");
}

TEST(StringGrid, ColumnWidthsSurviveAFullUpdate) {
  TControlGrid grid;
  grid.SetColCount(3);
  grid.SetColWidths(0, 30);
  grid.SetColWidths(1, 120);
  grid.SetColWidths(2, 70);
  grid.BeginUpdate();
  grid.SetRowCount(50);
  for (int r = 1; r < 50; ++r) grid.SetCells(1, r, QString::number(r));
  grid.EndUpdate();
  EXPECT_EQ(grid.horizontalHeader()->sectionSize(0), 120);
  EXPECT_EQ(grid.horizontalHeader()->sectionSize(1), 70);
  EXPECT_EQ(grid.verticalHeader()->width(), 30);
  EXPECT_EQ(grid.model()->index(48, 0).data().toString(), "49");
}

TEST(StringGrid, CurrentCellMovesOnlyWhenSelectCellAccepts) {
  RefusingGrid grid;
  grid.refusedRow = 3;
  grid.FocusCell(1, 2);
  EXPECT_EQ(grid.Row(), 2);

  grid.FocusCell(1, 3);
  EXPECT_EQ(grid.Row(), 2);

  // The user's keyboard goes through the same gate.
  grid.resize(300, 300);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  QTest::keyClick(grid.viewport(), Qt::Key_Down);
  EXPECT_EQ(grid.Row(), 2);
  grid.refusedRow = -1;
  QTest::keyClick(grid.viewport(), Qt::Key_Down);
  EXPECT_EQ(grid.Row(), 3);

  EXPECT_THROW(grid.FocusCell(0, 1), ERangeError);  // a fixed cell is never current
}

TEST(StringGrid, AnUpdateKeepsTheCurrentCellWithinTheNewRows) {
  TControlGrid grid;
  grid.SetRowCount(10);
  grid.FocusCell(2, 8);
  grid.BeginUpdate();
  grid.SetRowCount(5);
  grid.EndUpdate();
  EXPECT_EQ(grid.Row(), 4);
  EXPECT_EQ(grid.Col(), 2);
}

// A grid whose deferred rows say which row they are, counting the rows it was asked to fill.
class CountingGrid : public TControlGrid {
 public:
  int fills = 0;

 protected:
  void FillDeferredRow(int row) override {
    ++fills;
    SetCells(1, row, QStringLiteral("title %1").arg(row));
    SetCells(2, row, QStringLiteral("time %1").arg(row));
  }
};

TEST(StringGrid, DeferredRowsAreFilledOnceWhenFirstShownReadOrSet) {
  CountingGrid grid;
  grid.SetColCount(3);
  grid.SetRowCount(5001);
  grid.SetCells(1, 3, QStringLiteral("stale"));
  grid.DeferRows(1, 5000);
  EXPECT_EQ(grid.fills, 0);

  // Showing the grid fills the rows in view, and the first and last hundred whose headings Qt
  // measures for the heading column's width; not the thousands of others.
  grid.resize(300, 300);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  QApplication::processEvents();
  EXPECT_GT(grid.fills, 0);
  EXPECT_LE(grid.fills, 220);
  EXPECT_EQ(grid.model()->index(2, 0).data().toString(), "title 3");  // the stale text is gone

  // A read fills the row once; a cell set on a waiting row keeps what was set.
  const int shown = grid.fills;
  EXPECT_EQ(grid.Cells(2, 4000), "time 4000");
  EXPECT_EQ(grid.Cells(1, 4000), "title 4000");
  EXPECT_EQ(grid.fills, shown + 1);
  grid.SetCells(1, 4500, QStringLiteral("mine"));
  EXPECT_EQ(grid.Cells(1, 4500), "mine");
  EXPECT_EQ(grid.Cells(2, 4500), "time 4500");
  EXPECT_EQ(grid.fills, shown + 2);

  // Rows cut off and added again start empty; a change of columns fills the waiting rows first.
  grid.SetRowCount(4800);
  grid.SetRowCount(5001);
  EXPECT_EQ(grid.Cells(1, 4900), "");
  grid.SetColCount(4);
  EXPECT_EQ(grid.Cells(2, 4799), "time 4799");
  const int all = grid.fills;
  grid.Cells(1, 1000);
  EXPECT_EQ(grid.fills, all);
}

TEST(ControlGrid, CheckColumnsToggleOnlyWhenEditableAndNeverOpenTheEditor) {
  TControlGrid grid;
  grid.SetColCount(3);
  grid.SetRowCount(3);
  grid.SetCheckColumn(2, true);
  EXPECT_TRUE(grid.IsCheckColumn(2));
  EXPECT_FALSE(grid.IsCheckColumn(1));
  EXPECT_FALSE(grid.IsCheckColumn(40));  // grown on demand, absent entries false
  grid.resize(400, 200);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  const QPoint cell = grid.CellRect(2, 1).center();

  // Not editable: a click does nothing.
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
  EXPECT_EQ(grid.Cells(2, 1), "");

  grid.SetOptions(grid.Options() | goEditing);
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
  EXPECT_EQ(grid.Cells(2, 1), "Y");
  QTest::keyClick(grid.viewport(), Qt::Key_Space);
  EXPECT_EQ(grid.Cells(2, 1), "");
  grid.SetCells(2, 1, "yes");
  QTest::keyClick(grid.viewport(), Qt::Key_Space);
  EXPECT_EQ(grid.Cells(2, 1), "");

  const QModelIndex check = grid.model()->index(0, 1);
  const QModelIndex text = grid.model()->index(0, 0);
  EXPECT_FALSE(grid.model()->flags(check) & Qt::ItemIsEditable);
  EXPECT_TRUE(grid.model()->flags(text) & Qt::ItemIsEditable);
  grid.SetOptions(grid.Options() & ~goEditing);
  EXPECT_FALSE(grid.model()->flags(text) & Qt::ItemIsEditable);
}

TEST(ControlGrid, CheckedAndEmptyCellsLookDifferentAndShowNoText) {
  TControlGrid grid;
  grid.SetColCount(2);
  grid.SetRowCount(3);
  grid.SetColWidths(1, 60);
  grid.SetCheckColumn(1, true);
  grid.SetCells(1, 1, "Y");
  grid.SetCells(1, 2, "");
  grid.resize(200, 200);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  grid.clearSelection();
  const QImage shot = grid.viewport()->grab().toImage();
  const QImage checked = shot.copy(grid.CellRect(1, 1).adjusted(1, 1, -1, -1));
  const QImage empty = shot.copy(grid.CellRect(1, 2).adjusted(1, 1, -1, -1));
  EXPECT_NE(checked, empty);

  // The same cell with another non-empty text draws the same checked box, not the text.
  grid.SetCells(1, 1, "anything");
  const QImage again =
      grid.viewport()->grab().toImage().copy(grid.CellRect(1, 1).adjusted(1, 1, -1, -1));
  EXPECT_EQ(checked, again);
}

}  // namespace
