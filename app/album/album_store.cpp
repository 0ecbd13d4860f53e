#include "album/album_store.h"

#include "client/database.h"
#include "platform/exceptions.h"

TUserFieldNumbers TUserFieldNumbers::Of(TReelsmithDB& db) {
  TUserFieldNumbers n;
  int next = 3;
  for (int k = 0; k < 2; ++k) {
    int count = 0;
    QString name;
    db.GetUserChoiceFieldInfo(k + 1, count, name);
    if (count > 0 && !name.isEmpty()) n.choice[k] = next++;
  }
  for (int k = 0; k < 2; ++k) {
    bool enabled = false;
    QString name;
    db.GetUserTextFieldInfo(k + 1, enabled, name);
    if (enabled && !name.isEmpty()) n.text[k] = next++;
  }
  return n;
}

TAlbumContents ReadAlbumContents(TReelsmithDB& db, const TReelsmithAlbum& album) {
  TAlbumContents c;
  const TUserFieldNumbers fields = TUserFieldNumbers::Of(db);
  c.title = album.DisplayName();
  c.medium = album.MediumIndex() + 1;
  if (fields.choice[0] >= 0) c.choice1 = album.FieldItemIndex(fields.choice[0]) + 1;
  if (fields.choice[1] >= 0) c.choice2 = album.FieldItemIndex(fields.choice[1]) + 1;
  if (fields.text[0] >= 0) c.text1 = album.FieldText(fields.text[0]);
  if (fields.text[1] >= 0) c.text2 = album.FieldText(fields.text[1]);
  const TOwnerList<TReelsmithSong> songs = album.Songs();
  c.songs.reserve(static_cast<size_t>(songs.Count()));
  for (int i = 0; i < songs.Count(); ++i) {
    const TReelsmithSong* song = songs.Items(i);
    const std::unique_ptr<TReelsmithArtist> artist = song->Artist();
    c.songs.push_back({song->DisplayName(), artist ? artist->DisplayName() : QString(),
                       song->Time(), song->UsedOnTape()});
  }
  return c;
}

std::unique_ptr<TReelsmithAlbum> TAlbumStore::Build(const TAlbumContents& contents, bool withHook) {
  std::unique_ptr<TReelsmithAlbum> album =
      TReelsmithAlbum::CreateNew(&db_, contents.title, contents.text1, contents.text2,
                                 contents.medium, contents.choice1, contents.choice2);
  album->BeginAddSong();
  try {
    for (size_t i = 0; i < contents.songs.size(); ++i) {
      const TAlbumSong& s = contents.songs[i];
      const std::unique_ptr<TReelsmithArtist> artist = TReelsmithArtist::CreateNew(&db_, s.artist);
      const std::unique_ptr<TReelsmithSong> song =
          album->AddSong(s.title, s.time, *artist, static_cast<int>(i) + 1);
      song->SetUsedOnTape(s.onTape);
      if (withHook && OnSongAdded) OnSongAdded(static_cast<int>(i));
    }
  } catch (...) {
    // The half-built album goes again, with the artists that only its songs brought.
    album->FinishAddSong();
    db_.DeleteAlbum(album.get());
    throw;
  }
  album->FinishAddSong();
  return album;
}

void TAlbumStore::Store(const TAlbumContents& contents, const TReelsmithAlbum* old,
                        std::unique_ptr<TReelsmithAlbum>& restored) {
  // The net result must fit the library's limits; every artist has a song, so the artists fit
  // when the songs do. Checked first so that a full catalogue is refused with nothing changed.
  TAlbumContents saved;
  if (old) saved = ReadAlbumContents(db_, *old);
  const int albums = db_.AlbumCount() - (old ? 1 : 0) + 1;
  const int songs = db_.SongCount() - static_cast<int>(saved.songs.size()) +
                    static_cast<int>(contents.songs.size());
  if (albums > TReelsmithDB::kMaxRecords || songs > TReelsmithDB::kMaxRecords)
    throw Exception("The database is full.");

  // The old album goes first so that a full catalogue can still take an edited album; its
  // contents are kept to rebuild it should the new one fail.
  db_.SetDeferEvents(true);
  bool oldDeleted = false;
  try {
    if (old) {
      db_.DeleteAlbum(old);
      oldDeleted = true;
    }
    Build(contents, true);
  } catch (...) {
    try {
      if (oldDeleted) restored = Build(saved, false);
      Resequence();
    } catch (...) {
      // The first failure is the one to report; the rebuild had the room the old album left.
    }
    db_.SetDeferEvents(false);
    throw;
  }
  Resequence();
  db_.SetEditing(false);
  db_.SetDeferEvents(false);
}

void TAlbumStore::AddAll(const std::vector<const TAlbumContents*>& albums) {
  db_.SetDeferEvents(true);
  std::vector<std::unique_ptr<TReelsmithAlbum>> added;
  added.reserve(albums.size());
  try {
    for (const TAlbumContents* contents : albums) added.push_back(Build(*contents, true));
  } catch (...) {
    try {
      for (auto it = added.rbegin(); it != added.rend(); ++it) db_.DeleteAlbum(it->get());
      Resequence();
    } catch (...) {
      // The first failure is the one to report.
    }
    db_.SetDeferEvents(false);
    throw;
  }
  Resequence();
  db_.SetDeferEvents(false);
}

void TAlbumStore::Resequence() {
  db_.ResequenceArtists();
  db_.ResequenceAlbums();
  db_.ResequenceSongs();
}
