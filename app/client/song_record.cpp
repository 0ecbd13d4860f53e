#include "client/song_record.h"

#include "client/text_encoding.h"
#include "client/database.h"

TReelsmithSong::TReelsmithSong(TReelsmithDB* database, void* handle)
    : TReelsmithRecord(database, handle) {
  database->SongFunctions();
}

QString TReelsmithSong::DisplayName() const {
  TDbReadBuffer buf;
  Database()->SongFunctions().GETSONGTITLE(static_cast<HSONG>(Handle()), buf.Data(), kDbReadSize);
  return buf.Text();
}

int TReelsmithSong::Time() const {
  return Database()->SongFunctions().GetSongTime(static_cast<HSONG>(Handle()));
}

bool TReelsmithSong::UsedOnTape() const {
  return Database()->SongFunctions().GetSongUsedOnTape(static_cast<HSONG>(Handle())) != 0;
}

void TReelsmithSong::SetUsedOnTape(bool value) {
  Database()->SongFunctions().SetSongUsedOnTape(static_cast<HSONG>(Handle()), value ? 1 : 0);
  Database()->Notify(dbeTapeMarkChanged);
}

std::unique_ptr<TReelsmithArtist> TReelsmithSong::Artist() const {
  return Database()->GetArtistOfSong(this);
}

TOwnerList<TReelsmithAlbum> TReelsmithSong::Albums() const {
  TOwnerList<TReelsmithAlbum> list;
  list.Add(Database()->GetAlbumOfSong(this));
  return list;
}

TOwnerList<TReelsmithArtist> TReelsmithSong::Artists() const {
  TOwnerList<TReelsmithArtist> list;
  list.Add(Artist());
  return list;
}

TOwnerList<TReelsmithSong> TReelsmithSong::Songs() const {
  TOwnerList<TReelsmithSong> list;
  list.Add(std::make_unique<TReelsmithSong>(Database(), Handle()));
  return list;
}
