#include "select/string_grid.h"

#include "platform/exceptions.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>

#include <algorithm>

// The cells of a TStringGrid, fixed ones included, row after row. The model shows only the data
// cells; the fixed row and column come out as header data.
class TStringGridModel : public QAbstractTableModel {
 public:
  explicit TStringGridModel(TStringGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

  int Cols() const { return cols_; }
  int Rows() const { return rows_; }
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }

  const QString& Cell(int col, int row) const {
    FillIfDeferred(row);
    return cells_[static_cast<size_t>(row) * cols_ + col];
  }

  void SetCell(int col, int row, const QString& text) {
    // A deferred row is filled first, so that what is set here is not overwritten later.
    FillIfDeferred(row);
    cells_[static_cast<size_t>(row) * cols_ + col] = text;
    // A row filled while the view reads it needs no news of its own.
    if (grid_->updateDepth_ > 0 || filling_) return;
    if (row < fixedRows_ && col < fixedCols_) return;
    if (row < fixedRows_) {
      emit headerDataChanged(Qt::Horizontal, col - fixedCols_, col - fixedCols_);
    } else if (col < fixedCols_) {
      emit headerDataChanged(Qt::Vertical, row - fixedRows_, row - fixedRows_);
    } else {
      const QModelIndex i = index(row - fixedRows_, col - fixedCols_);
      emit dataChanged(i, i);
    }
  }

  // Empties rows [first, first + count) and marks them to be filled on first use.
  void DeferRows(int first, int count) {
    first = std::clamp(first, fixedRows_, rows_);
    const int end = std::clamp(first + std::max(count, 0), first, rows_);
    deferred_.resize(static_cast<size_t>(rows_), 0);
    for (int r = first; r < end; ++r) {
      for (int c = 0; c < cols_; ++c) cells_[static_cast<size_t>(r) * cols_ + c] = QString();
      deferred_[static_cast<size_t>(r)] = 1;
    }
  }

  void SetRows(int rows) {
    rows = std::max(rows, fixedRows_ + 1);
    if (rows == rows_) return;
    // Rows added later start empty; rows cut off are gone.
    if (deferred_.size() > static_cast<size_t>(rows)) deferred_.resize(static_cast<size_t>(rows));
    const bool live = grid_->updateDepth_ == 0;
    if (rows > rows_) {
      if (live) beginInsertRows(QModelIndex(), rows_ - fixedRows_, rows - fixedRows_ - 1);
      cells_.resize(static_cast<size_t>(rows) * cols_);
      rows_ = rows;
      if (live) endInsertRows();
    } else {
      if (live) beginRemoveRows(QModelIndex(), rows - fixedRows_, rows_ - fixedRows_ - 1);
      cells_.resize(static_cast<size_t>(rows) * cols_);
      rows_ = rows;
      if (live) endRemoveRows();
    }
  }

  void SetCols(int cols) {
    cols = std::max(cols, fixedCols_ + 1);
    if (cols == cols_) return;
    FillDeferredRows();
    const bool live = grid_->updateDepth_ == 0;
    if (live) {
      if (cols > cols_) {
        beginInsertColumns(QModelIndex(), cols_ - fixedCols_, cols - fixedCols_ - 1);
      } else {
        beginRemoveColumns(QModelIndex(), cols - fixedCols_, cols_ - fixedCols_ - 1);
      }
    }
    std::vector<QString> cells(static_cast<size_t>(rows_) * cols);
    const int keep = std::min(cols, cols_);
    for (int r = 0; r < rows_; ++r) {
      for (int c = 0; c < keep; ++c) {
        cells[static_cast<size_t>(r) * cols + c] =
            std::move(cells_[static_cast<size_t>(r) * cols_ + c]);
      }
    }
    cells_.swap(cells);
    const bool grew = cols > cols_;
    cols_ = cols;
    if (live) {
      if (grew) {
        endInsertColumns();
      } else {
        endRemoveColumns();
      }
    }
  }

  // Changing what is fixed changes what the model shows, so the view starts over.
  void SetFixed(int fixedCols, int fixedRows) {
    const bool live = grid_->updateDepth_ == 0;
    if (live) beginResetModel();
    // The rows change their part: they are filled now, before that changes.
    FillDeferredRows();
    fixedCols_ = fixedCols;
    fixedRows_ = fixedRows;
    if (rows_ < fixedRows_ + 1) {
      rows_ = fixedRows_ + 1;
      cells_.resize(static_cast<size_t>(rows_) * cols_);
    }
    if (cols_ < fixedCols_ + 1) {
      std::vector<QString> cells(static_cast<size_t>(rows_) * (fixedCols_ + 1));
      for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
          cells[static_cast<size_t>(r) * (fixedCols_ + 1) + c] =
              cells_[static_cast<size_t>(r) * cols_ + c];
        }
      }
      cells_.swap(cells);
      cols_ = fixedCols_ + 1;
    }
    if (live) endResetModel();
  }

  void BeginReset() { beginResetModel(); }
  void EndReset() { endResetModel(); }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : rows_ - fixedRows_;
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : cols_ - fixedCols_;
  }

  QVariant data(const QModelIndex& i, int role) const override {
    if (!i.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return Cell(i.column() + fixedCols_, i.row() + fixedRows_);
  }

  bool setData(const QModelIndex& i, const QVariant& value, int role) override {
    if (!i.isValid() || role != Qt::EditRole) return false;
    SetCell(i.column() + fixedCols_, i.row() + fixedRows_, value.toString());
    return true;
  }

  Qt::ItemFlags flags(const QModelIndex& i) const override {
    if (!i.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (grid_->CanEditCell(i.column() + fixedCols_, i.row() + fixedRows_)) f |= Qt::ItemIsEditable;
    return f;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
      if (fixedRows_ == 0 || section < 0 || section + fixedCols_ >= cols_) return {};
      return Cell(section + fixedCols_, 0);
    }
    if (fixedCols_ == 0 || section < 0 || section + fixedRows_ >= rows_) return {};
    return Cell(0, section + fixedRows_);
  }

 private:
  // Before the shape of the rows changes, the rows still waiting are filled in the old one.
  void FillDeferredRows() {
    for (size_t r = 0; r < deferred_.size(); ++r) FillIfDeferred(static_cast<int>(r));
    deferred_.clear();
  }

  void FillIfDeferred(int row) const {
    if (filling_ || static_cast<size_t>(row) >= deferred_.size() ||
        deferred_[static_cast<size_t>(row)] == 0)
      return;
    deferred_[static_cast<size_t>(row)] = 0;
    struct TFilling {
      bool& flag;
      explicit TFilling(bool& f) : flag(f) { flag = true; }
      ~TFilling() { flag = false; }
    } filling{filling_};
    grid_->FillDeferredRow(row);
  }

  TStringGrid* grid_;
  // One flag a row: 1 while the row waits for FillDeferredRow. Empty when no row waits.
  mutable std::vector<char> deferred_;
  mutable bool filling_ = false;
  int cols_ = 5;
  int rows_ = 5;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  std::vector<QString> cells_ = std::vector<QString>(25);
};

// Lets the grid refuse a new current cell before the view moves to it.
class TGridSelectionModel : public QItemSelectionModel {
 public:
  TGridSelectionModel(QAbstractItemModel* model, TStringGrid* grid)
      : QItemSelectionModel(model, grid), grid_(grid) {}

  using QItemSelectionModel::select;

  void setCurrentIndex(const QModelIndex& index,
                       QItemSelectionModel::SelectionFlags command) override {
    refused_ = false;
    if (!silent_ && index.isValid()) {
      const QModelIndex cur = currentIndex();
      if (!cur.isValid() || cur.row() != index.row() || cur.column() != index.column()) {
        const int col = index.column() + grid_->FixedCols();
        const int row = index.row() + grid_->FixedRows();
        if (!grid_->SelectCell(col, row)) {
          // A mouse press selects right after moving the current cell; that must not happen
          // either.
          refused_ = true;
          return;
        }
      }
    }
    QItemSelectionModel::setCurrentIndex(index, command);
  }

  void select(const QItemSelection& selection,
              QItemSelectionModel::SelectionFlags command) override {
    if (refused_) {
      refused_ = false;
      return;
    }
    QItemSelectionModel::select(selection, command);
  }

  void SetCurrentSilently(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) {
    silent_ = true;
    setCurrentIndex(index, command);
    silent_ = false;
  }

 private:
  TStringGrid* grid_;
  bool silent_ = false;
  bool refused_ = false;
};

TStringGrid::TStringGrid(QWidget* parent)
    : QTableView(parent),
      model_(new TStringGridModel(this)),
      selection_(new TGridSelectionModel(model_, this)) {
  setModel(model_);
  setSelectionModel(selection_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  // Headings are fixed cells: pressing one selects nothing.
  horizontalHeader()->setSectionsClickable(false);
  verticalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(0);
  verticalHeader()->setMinimumSectionSize(0);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  colWidths_.assign(static_cast<size_t>(model_->Cols()), defaultColWidth_);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int logical, int, int newSize) {
            if (applyingWidths_ || updateDepth_ > 0) return;
            const size_t c = static_cast<size_t>(logical + FixedCols());
            if (c < colWidths_.size()) colWidths_[c] = newSize;
          });
  ApplyFixed();
  ApplyOptions();
  ApplyRowHeight();
  ApplyColWidths();
}

TStringGrid::~TStringGrid() = default;

int TStringGrid::ColCount() const { return model_->Cols(); }
int TStringGrid::RowCount() const { return model_->Rows(); }
int TStringGrid::FixedCols() const { return model_->FixedCols(); }
int TStringGrid::FixedRows() const { return model_->FixedRows(); }

void TStringGrid::SetColCount(int count) {
  model_->SetCols(count);
  colWidths_.resize(static_cast<size_t>(model_->Cols()), defaultColWidth_);
  if (updateDepth_ == 0) ApplyColWidths();
}

void TStringGrid::SetRowCount(int count) { model_->SetRows(count); }

void TStringGrid::DeferRows(int first, int count) { model_->DeferRows(first, count); }

void TStringGrid::FillDeferredRow(int) {}

void TStringGrid::SetFixedCols(int count) {
  count = std::clamp(count, 0, 1);
  if (count == FixedCols()) return;
  model_->SetFixed(count, FixedRows());
  colWidths_.resize(static_cast<size_t>(model_->Cols()), defaultColWidth_);
  ApplyFixed();
  if (updateDepth_ == 0) ApplyColWidths();
}

void TStringGrid::SetFixedRows(int count) {
  count = std::clamp(count, 0, 1);
  if (count == FixedRows()) return;
  model_->SetFixed(FixedCols(), count);
  colWidths_.resize(static_cast<size_t>(model_->Cols()), defaultColWidth_);
  ApplyFixed();
  if (updateDepth_ == 0) ApplyColWidths();
}

void TStringGrid::CheckCell(int col, int row) const {
  if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) {
    throw ERangeError("Grid index out of range");
  }
}

QString TStringGrid::Cells(int col, int row) const {
  CheckCell(col, row);
  return model_->Cell(col, row);
}

void TStringGrid::SetCells(int col, int row, const QString& text) {
  CheckCell(col, row);
  model_->SetCell(col, row, text);
}

QModelIndex TStringGrid::IndexOf(int col, int row) const {
  return model_->index(row - FixedRows(), col - FixedCols());
}

// While an update runs the view knows no cell; the one to restore stands in for it.
int TStringGrid::Col() const {
  if (updateDepth_ > 0) {
    return pendingCol_ >= 0 ? std::clamp(pendingCol_, FixedCols(), ColCount() - 1) : FixedCols();
  }
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.column() + FixedCols() : FixedCols();
}

int TStringGrid::Row() const {
  if (updateDepth_ > 0) {
    return pendingRow_ >= 0 ? std::clamp(pendingRow_, FixedRows(), RowCount() - 1) : FixedRows();
  }
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() + FixedRows() : FixedRows();
}

void TStringGrid::SetCol(int col) { FocusCell(col, Row()); }
void TStringGrid::SetRow(int row) { FocusCell(Col(), row); }

void TStringGrid::FocusCell(int col, int row) {
  if (col < FixedCols() || row < FixedRows() || col >= ColCount() || row >= RowCount()) {
    throw ERangeError("Grid index out of range");
  }
  if (!SelectCell(col, row)) return;
  SetCurrentCell(col, row);
}

void TStringGrid::SetCurrentCell(int col, int row) {
  if (updateDepth_ > 0) {
    pendingCol_ = col;
    pendingRow_ = row;
    return;
  }
  const QModelIndex i = IndexOf(col, row);
  QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
  if (options_ & goRowSelect) flags |= QItemSelectionModel::Rows;
  selection_->SetCurrentSilently(i, flags);
  scrollTo(i);
}

int TStringGrid::ColWidths(int col) const {
  if (col < 0 || col >= ColCount()) throw ERangeError("Grid index out of range");
  return colWidths_[static_cast<size_t>(col)];
}

void TStringGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= ColCount()) throw ERangeError("Grid index out of range");
  colWidths_[static_cast<size_t>(col)] = std::max(width, 0);
  if (updateDepth_ == 0) ApplyColWidths();
}

void TStringGrid::SetDefaultColWidth(int width) {
  defaultColWidth_ = std::max(width, 0);
  colWidths_.assign(static_cast<size_t>(ColCount()), defaultColWidth_);
  if (updateDepth_ == 0) ApplyColWidths();
}

void TStringGrid::SetDefaultRowHeight(int height) {
  defaultRowHeight_ = std::max(height, 1);
  ApplyRowHeight();
}

void TStringGrid::SetGridLineWidth(int width) {
  gridLineWidth_ = std::max(width, 0);
  ApplyOptions();
}

int TStringGrid::ColMaxLength(int col) const {
  return col >= 0 && static_cast<size_t>(col) < colMaxLengths_.size()
             ? colMaxLengths_[static_cast<size_t>(col)]
             : 0;
}

void TStringGrid::SetColMaxLength(int col, int length) {
  if (col < 0) return;
  if (static_cast<size_t>(col) >= colMaxLengths_.size())
    colMaxLengths_.resize(static_cast<size_t>(col) + 1, 0);
  colMaxLengths_[static_cast<size_t>(col)] = length;
}

void TStringGrid::SetOptions(TGridOptions options) {
  if (!(options & goEditing) && (options_ & goEditing)) CommitEditor();
  options_ = options;
  ApplyOptions();
  // Editability is part of every cell's flags.
  if (updateDepth_ == 0 && model_->rowCount(QModelIndex()) > 0) {
    emit model_->dataChanged(
        model_->index(0, 0),
        model_->index(model_->rowCount(QModelIndex()) - 1, model_->columnCount(QModelIndex()) - 1));
  }
}

void TStringGrid::ApplyOptions() {
  setShowGrid(gridLineWidth_ > 0 && (options_ & (goVertLine | goHorzLine)) != 0);
  setSelectionBehavior((options_ & goRowSelect) ? QAbstractItemView::SelectRows
                                                : QAbstractItemView::SelectItems);
  setTabKeyNavigation((options_ & goTabs) != 0);
  EditTriggers triggers = QAbstractItemView::NoEditTriggers;
  if (options_ & goEditing) {
    triggers = QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
               QAbstractItemView::AnyKeyPressed;
    if (options_ & goAlwaysShowEditor) triggers |= QAbstractItemView::SelectedClicked;
  }
  setEditTriggers(triggers);
  horizontalHeader()->setSectionResizeMode((options_ & goColSizing) ? QHeaderView::Interactive
                                                                    : QHeaderView::Fixed);
}

void TStringGrid::ApplyRowHeight() {
  verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
  if (FixedRows() > 0) horizontalHeader()->setFixedHeight(defaultRowHeight_);
}

void TStringGrid::ApplyFixed() {
  horizontalHeader()->setVisible(FixedRows() > 0);
  verticalHeader()->setVisible(FixedCols() > 0);
  ApplyRowHeight();
}

void TStringGrid::ApplyColWidths() {
  applyingWidths_ = true;
  for (int c = FixedCols(); c < ColCount(); ++c) {
    horizontalHeader()->resizeSection(c - FixedCols(), colWidths_[static_cast<size_t>(c)]);
  }
  if (FixedCols() > 0) verticalHeader()->setFixedWidth(colWidths_[0]);
  applyingWidths_ = false;
}

bool TStringGrid::MouseToCell(const QPoint& viewportPos, int& col, int& row) const {
  const QModelIndex i = indexAt(viewportPos);
  if (!i.isValid()) return false;
  col = i.column() + FixedCols();
  row = i.row() + FixedRows();
  return true;
}

QRect TStringGrid::CellRect(int col, int row) const {
  CheckCell(col, row);
  if (col < FixedCols() || row < FixedRows()) return {};
  return visualRect(IndexOf(col, row));
}

void TStringGrid::BeginUpdate() {
  if (updateDepth_++ > 0) return;
  const QModelIndex i = currentIndex();
  pendingCol_ = i.isValid() ? i.column() + FixedCols() : -1;
  pendingRow_ = i.isValid() ? i.row() + FixedRows() : -1;
  CommitEditor();
  model_->BeginReset();
}

void TStringGrid::EndUpdate() {
  if (updateDepth_ == 0 || --updateDepth_ > 0) return;
  model_->EndReset();
  ApplyColWidths();
  if (pendingRow_ >= 0) {
    const int col = std::clamp(pendingCol_, FixedCols(), ColCount() - 1);
    const int row = std::clamp(pendingRow_, FixedRows(), RowCount() - 1);
    SetCurrentCell(col, row);
  }
  pendingCol_ = -1;
  pendingRow_ = -1;
}

void TStringGrid::CommitEditor() {
  if (state() != QAbstractItemView::EditingState) return;
  QWidget* editor = QApplication::focusWidget();
  if (editor == nullptr || !viewport()->isAncestorOf(editor)) return;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool TStringGrid::SelectCell(int, int) { return true; }

bool TStringGrid::CanEditCell(int, int) const { return (options_ & goEditing) != 0; }
