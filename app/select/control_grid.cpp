#include "select/control_grid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "select/text_length_delegate.h"

namespace {

// Draws the style's check box centred in the cells of check-box columns.
class TCheckBoxDelegate : public TTextLengthDelegate {
 public:
  explicit TCheckBoxDelegate(TControlGrid* grid)
      : TTextLengthDelegate(
            [grid](int column) { return grid->ColMaxLength(column + grid->FixedCols()); }, grid),
        grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (!grid_->IsCheckColumn(index.column() + grid_->FixedCols())) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const bool checked = !cell.text.isEmpty();
    cell.text.clear();
    QStyle* style = grid_->style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, grid_);

    QStyleOptionButton box;
    box.initFrom(grid_);
    box.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &box, grid_);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &box, grid_);
    // Integer halving rounds toward zero, as the grid always placed the image.
    box.rect = QRect(cell.rect.left() + (cell.rect.width() - w) / 2,
                     cell.rect.top() + (cell.rect.height() - h) / 2, w, h);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, grid_);
  }

 private:
  TControlGrid* grid_;
};

}  // namespace

TControlGrid::TControlGrid(QWidget* parent) : TStringGrid(parent) {
  setItemDelegate(new TCheckBoxDelegate(this));
}

void TControlGrid::SetCheckColumn(int col, bool flag) {
  if (col < 0) return;
  if (static_cast<size_t>(col) >= checkColumns_.size()) {
    if (!flag) return;
    checkColumns_.resize(static_cast<size_t>(col) + 1, false);
  }
  checkColumns_[static_cast<size_t>(col)] = flag;
  viewport()->update();
}

bool TControlGrid::IsCheckColumn(int col) const {
  return col >= 0 && static_cast<size_t>(col) < checkColumns_.size() &&
         checkColumns_[static_cast<size_t>(col)];
}

void TControlGrid::ToggleCheckCell(int col, int row) {
  SetCells(col, row, Cells(col, row).isEmpty() ? QStringLiteral("Y") : QString());
}

bool TControlGrid::CanEditCell(int col, int row) const {
  return !IsCheckColumn(col) && TStringGrid::CanEditCell(col, row);
}

void TControlGrid::mousePressEvent(QMouseEvent* event) {
  TStringGrid::mousePressEvent(event);
  if (event->button() != Qt::LeftButton || !(Options() & goEditing)) return;
  int col = 0;
  int row = 0;
  if (MouseToCell(event->position().toPoint(), col, row) && IsCheckColumn(col)) {
    ToggleCheckCell(col, row);
  }
}

void TControlGrid::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
      (Options() & goEditing) && IsCheckColumn(Col()) && Row() >= FixedRows()) {
    ToggleCheckCell(Col(), Row());
    event->accept();
    return;
  }
  TStringGrid::keyPressEvent(event);
}
