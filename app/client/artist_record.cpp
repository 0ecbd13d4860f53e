#include "client/artist_record.h"

#include "client/text_encoding.h"
#include "client/database.h"
#include "platform/exceptions.h"

TReelsmithArtist::TReelsmithArtist(TReelsmithDB* database, void* handle)
    : TReelsmithRecord(database, handle) {
  database->ArtistFunctions();
}

std::unique_ptr<TReelsmithArtist> TReelsmithArtist::CreateNew(TReelsmithDB* database,
                                                              const QString& name) {
  const TDbText buf(name);
  HARTIST handle = database->ArtistFunctions().AddArtist(buf.Data());
  if (!handle) throw Exception("Unable to add artist");
  auto artist = std::make_unique<TReelsmithArtist>(database, handle);
  database->Notify(dbeRecordsAdded);
  return artist;
}

QString TReelsmithArtist::DisplayName() const {
  TDbReadBuffer buf;
  Database()->ArtistFunctions().GETARTISTNAME(static_cast<HARTIST>(Handle()), buf.Data(),
                                              kDbReadSize);
  return buf.Text();
}

TOwnerList<TReelsmithAlbum> TReelsmithArtist::Albums() const {
  return Database()->GetAlbumsByArtist(this);
}

TOwnerList<TReelsmithArtist> TReelsmithArtist::Artists() const {
  TOwnerList<TReelsmithArtist> list;
  list.Add(std::make_unique<TReelsmithArtist>(Database(), Handle()));
  return list;
}

TOwnerList<TReelsmithSong> TReelsmithArtist::Songs() const {
  return Database()->GetSongsByArtist(this);
}
