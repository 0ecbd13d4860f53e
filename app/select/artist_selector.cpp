#include "select/artist_selector.h"

#include "client/database.h"
#include "select/album_selector.h"

TArtistSelector::TArtistSelector(QWidget* parent) : TReelsmithSelector(parent) {
  SetupOneColumnSelector(*this);
}

TRecordList TArtistSelector::FetchRecords() {
  TReelsmithDB* db = DataSource();
  return db != nullptr ? ToRecordList(db->GetAllArtists()) : TRecordList();
}
