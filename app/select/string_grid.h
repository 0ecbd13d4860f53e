#pragma once

#include <QString>
#include <QTableView>

#include <vector>

class TStringGridModel;
class TGridSelectionModel;

// Grid options, combined as a bit set.
enum TGridOption : unsigned {
  goFixedVertLine = 1u << 0,
  goFixedHorzLine = 1u << 1,
  goVertLine = 1u << 2,
  goHorzLine = 1u << 3,
  goColSizing = 1u << 4,
  goEditing = 1u << 5,
  goTabs = 1u << 6,
  goRowSelect = 1u << 7,
  goAlwaysShowEditor = 1u << 8,
  goThumbTracking = 1u << 9,
};
using TGridOptions = unsigned;

// A grid of text cells addressed as (column, row), fixed heading rows and columns included, over
// a model so that large lists cost one string per cell and no item objects.
//
// At most one fixed row and one fixed column are supported: the fixed row is shown as the column
// heading, the fixed column as the row heading. Every other cell is a model cell.
//
// The current cell moves only when SelectCell accepts the new cell, whether the user moves it with
// the mouse or keyboard or the program calls FocusCell/SetRow/SetCol.
class TStringGrid : public QTableView {
  Q_OBJECT

 public:
  explicit TStringGrid(QWidget* parent = nullptr);
  ~TStringGrid() override;

  // Counts include the fixed rows and columns; there is always at least one data row and column,
  // so a count below FixedRows + 1 (FixedCols + 1) is raised to it.
  int ColCount() const;
  void SetColCount(int count);
  int RowCount() const;
  void SetRowCount(int count);
  int FixedCols() const;
  void SetFixedCols(int count);  // 0 or 1
  int FixedRows() const;
  void SetFixedRows(int count);  // 0 or 1

  // Empties the data rows [first, first + count) and leaves their texts to FillDeferredRow, called
  // once for each such row when a cell of it is first read or set: a list of many thousand rows
  // then costs only the rows that are shown or searched.
  void DeferRows(int first, int count);

  // REQUIRES: 0 <= col < ColCount(), 0 <= row < RowCount(); ERangeError otherwise.
  QString Cells(int col, int row) const;
  void SetCells(int col, int row, const QString& text);

  // The current cell; the first data cell while the view has none.
  int Col() const;
  int Row() const;
  void SetCol(int col);
  void SetRow(int row);
  // Asks SelectCell and, when it accepts, makes (col, row) current and scrolls it into view.
  // A cell that is not a data cell raises ERangeError("Grid index out of range").
  void FocusCell(int col, int row);

  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int width);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int height);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int width);
  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions options);
  // The most characters the cell editor of a column takes; 0 for no limit.
  int ColMaxLength(int col) const;
  void SetColMaxLength(int col, int length);

  // The data cell under a point of the viewport; false when there is none.
  bool MouseToCell(const QPoint& viewportPos, int& col, int& row) const;
  // The viewport rectangle of a data cell.
  QRect CellRect(int col, int row) const;

  // Between BeginUpdate and EndUpdate the grid may be changed at will without the view following
  // each change; EndUpdate redraws once and keeps the current cell where it can.
  void BeginUpdate();
  void EndUpdate();

  // Hands an open cell editor's text to the grid and closes the editor.
  void CommitEditor();

 protected:
  // Answers whether (col, row) may become the current cell. Accepts every cell.
  virtual bool SelectCell(int col, int row);
  // Sets the cells of a row DeferRows left empty; the grid calls it before the row's first use.
  // Does nothing here.
  virtual void FillDeferredRow(int row);
  // Whether the user may edit the cell in place: only with goEditing.
  virtual bool CanEditCell(int col, int row) const;

  void CheckCell(int col, int row) const;
  QModelIndex IndexOf(int col, int row) const;
  // Makes (col, row) current without asking SelectCell.
  void SetCurrentCell(int col, int row);

 private:
  friend class TStringGridModel;
  friend class TGridSelectionModel;

  void ApplyOptions();
  void ApplyRowHeight();
  void ApplyColWidths();
  void ApplyFixed();

  TStringGridModel* model_;
  TGridSelectionModel* selection_;
  std::vector<int> colWidths_;
  std::vector<int> colMaxLengths_;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int gridLineWidth_ = 1;
  TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
  bool applyingWidths_ = false;
  int updateDepth_ = 0;
  int pendingRow_ = -1;
  int pendingCol_ = -1;
};
