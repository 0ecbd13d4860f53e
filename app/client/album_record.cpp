#include "client/album_record.h"

#include "client/text_encoding.h"
#include "client/database.h"
#include "platform/exceptions.h"

TReelsmithAlbum::TReelsmithAlbum(TReelsmithDB* database, void* handle)
    : TReelsmithRecord(database, handle) {
  database->AlbumFunctions();
}

std::unique_ptr<TReelsmithAlbum> TReelsmithAlbum::CreateNew(TReelsmithDB* database,
                                                            const QString& title,
                                                            const QString& text1,
                                                            const QString& text2, int medium,
                                                            int choice1, int choice2) {
  const auto& fn = database->AlbumFunctions();
  const TDbText titleBuf(title), text1Buf(text1), text2Buf(text2);
  HALBUM handle =
      fn.AddAlbum(titleBuf.Data(), text1Buf.Data(), text2Buf.Data(), medium, choice1, choice2);
  if (!handle) throw Exception("Unable to add album");
  auto album = std::make_unique<TReelsmithAlbum>(database, handle);
  database->Notify(dbeRecordsAdded);
  return album;
}

QString TReelsmithAlbum::DisplayName() const {
  TDbReadBuffer buf;
  Database()->AlbumFunctions().GETALBUMTITLE(static_cast<HALBUM>(Handle()), buf.Data(),
                                             kDbReadSize);
  return buf.Text();
}

TOwnerList<TReelsmithAlbum> TReelsmithAlbum::Albums() const {
  TOwnerList<TReelsmithAlbum> list;
  list.Add(std::make_unique<TReelsmithAlbum>(Database(), Handle()));
  return list;
}

TOwnerList<TReelsmithArtist> TReelsmithAlbum::Artists() const {
  return Database()->GetArtistsOnAlbum(this);
}

TOwnerList<TReelsmithSong> TReelsmithAlbum::Songs() const {
  return Database()->GetSongsOnAlbum(this);
}

int TReelsmithAlbum::FieldItemIndex(int field) const {
  return Database()->AlbumFunctions().GetAlbumFieldItemIndex(static_cast<HALBUM>(Handle()), field) -
         1;
}

QString TReelsmithAlbum::FieldText(int field) const {
  bool isChoice = false;
  QString label;
  Database()->GetAlbumFieldInfo(field, isChoice, label);
  if (isChoice) {
    const int index = FieldItemIndex(field);
    return index < 0 ? QString() : Database()->GetAlbumChoiceFieldItem(field, index);
  }
  TDbReadBuffer buf;
  Database()->AlbumFunctions().GetAlbumFieldText(static_cast<HALBUM>(Handle()), field, buf.Data(),
                                                 kDbReadSize);
  return buf.Text();
}

QString TReelsmithAlbum::MediumName() const {
  const int index = MediumIndex();
  return index < 0 ? QString() : Database()->GetMediumName(index);
}

void TReelsmithAlbum::BeginAddSong() {
  Database()->AlbumFunctions().BeginAddSong();
  Database()->BatchClosed();
}

std::unique_ptr<TReelsmithSong> TReelsmithAlbum::AddSong(const QString& title, int time,
                                                         const TReelsmithArtist& artist,
                                                         int track) {
  const TDbText buf(title);
  HSONG handle =
      Database()->AlbumFunctions().AddSong(buf.Data(), time, static_cast<HARTIST>(artist.Handle()),
                                           static_cast<HALBUM>(Handle()), track);
  // The library refuses a song beyond its limit; passing that on silently would lose it.
  if (!handle) throw Exception("Unable to add song");
  Database()->SongAddedToBatch();
  return std::make_unique<TReelsmithSong>(Database(), handle);
}

void TReelsmithAlbum::FinishAddSong() {
  Database()->AlbumFunctions().FinishAddSong();
  Database()->BatchClosed();
  Database()->Notify(dbeRecordsAdded);
}
