#pragma once

#include "select/string_grid.h"

#include <vector>

// A string grid whose chosen columns are check boxes: a data cell of such a column shows a checked
// box when its text is not empty and an empty box when it is. The column never opens the cell
// editor; when the grid allows editing, a left click on the cell or the space key toggles it
// between empty and "Y".
class TControlGrid : public TStringGrid {
  Q_OBJECT

 public:
  explicit TControlGrid(QWidget* parent = nullptr);

  void SetCheckColumn(int col, bool flag);
  bool IsCheckColumn(int col) const;

  // Empty becomes "Y", any other text empty.
  void ToggleCheckCell(int col, int row);

 protected:
  bool CanEditCell(int col, int row) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // One flag per column index, grown on demand; a missing entry is false.
  std::vector<bool> checkColumns_;
};
