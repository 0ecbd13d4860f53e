#include "select/artstsel.h"

#include "client/rsdb.h"
#include "select/albumsel.h"

TArtistSelector::TArtistSelector(QWidget* parent) : TReelsmithSelector(parent) {
  SetupOneColumnSelector(*this);
}

TRecordList TArtistSelector::FetchRecords() {
  TReelsmithDB* db = DataSource();
  return db != nullptr ? ToRecordList(db->GetAllArtists()) : TRecordList();
}
