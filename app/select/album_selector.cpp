#include "select/album_selector.h"

#include "client/database.h"

void SetupOneColumnSelector(TReelsmithSelector& selector) {
  selector.SetFixedCols(0);
  selector.SetFixedRows(0);
  selector.SetColCount(1);
  selector.SetRowCount(1);
  selector.SetDefaultColWidth(1024);
  selector.SetGridLineWidth(0);
  selector.SetOptions(goRowSelect | goThumbTracking);
  // The one wide column is cut at the right edge rather than scrolled.
  selector.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  selector.setTextElideMode(Qt::ElideNone);
}

TAlbumSelector::TAlbumSelector(QWidget* parent) : TReelsmithSelector(parent) {
  SetupOneColumnSelector(*this);
}

TRecordList TAlbumSelector::FetchRecords() {
  TReelsmithDB* db = DataSource();
  return db != nullptr ? ToRecordList(db->GetAllAlbums()) : TRecordList();
}
