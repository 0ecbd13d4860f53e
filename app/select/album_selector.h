#pragma once

#include "select/selector.h"

// Lists every album of the catalogue in one column.
class TAlbumSelector : public TReelsmithSelector {
  Q_OBJECT

 public:
  explicit TAlbumSelector(QWidget* parent = nullptr);

 protected:
  TRecordList FetchRecords() override;
};

// The layout the album and artist selectors share: one column, no fixed rows or columns, no grid
// lines, whole-row selection, the tab key leaving the grid.
void SetupOneColumnSelector(TReelsmithSelector& selector);
