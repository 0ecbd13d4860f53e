#pragma once

#include "select/selector.h"

// Lists every artist of the catalogue in one column.
class TArtistSelector : public TReelsmithSelector {
  Q_OBJECT

 public:
  explicit TArtistSelector(QWidget* parent = nullptr);

 protected:
  TRecordList FetchRecords() override;
};
