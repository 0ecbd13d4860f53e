#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TReelsmithAlbum;
class TReelsmithDB;

// A song as it is stored: its artist by name (an existing artist of that name is reused).
struct TAlbumSong {
  QString title;
  QString artist;
  int time = 0;
  bool onTape = false;
};

// Everything an album record holds. Choice values are 1-based positions, 0 meaning none.
struct TAlbumContents {
  QString title;
  QString text1;
  QString text2;
  int medium = 0;
  int choice1 = 0;
  int choice2 = 0;
  std::vector<TAlbumSong> songs;  // in track order, track = position + 1
};

// The album field numbers of the four user fields, -1 for a field not in use. Field numbers
// count from 3 over the fields in use, choice fields first.
struct TUserFieldNumbers {
  int choice[2] = {-1, -1};
  int text[2] = {-1, -1};

  static TUserFieldNumbers Of(TReelsmithDB& db);
};

// Reads an album record back into plain contents.
TAlbumContents ReadAlbumContents(TReelsmithDB& db, const TReelsmithAlbum& album);

// Stores an album in the catalogue in place of an old one, as one deferred batch of change
// events.
class TAlbumStore {
 public:
  explicit TAlbumStore(TReelsmithDB& db) : db_(db) {}

  // Replaces `old` (none for a new album) by a new album of `contents`, renumbers the lists,
  // ends editing and delivers the deferred events once each.
  //
  // Throws Exception ("The database is full." before anything changes when the result would
  // not fit; otherwise the library's refusal or whatever a caller's hook threw). After a failure
  // the catalogue holds the old album's contents again (rebuilt under new handles when it had
  // been removed: `restored` then receives the new object), no song batch is open and events
  // are resumed. Removing an old album that was current made none current, which ended
  // editing: the caller puts back what the user was doing.
  void Store(const TAlbumContents& contents, const TReelsmithAlbum* old,
             std::unique_ptr<TReelsmithAlbum>& restored);

  // Adds new albums as one deferred batch of change events: every one of them, or none when the
  // library refuses one (those added before it go again, and the refusal is thrown on). Checks
  // no limits of its own: the caller refuses what cannot fit before calling.
  void AddAll(const std::vector<const TAlbumContents*>& albums);

  // Test seam: called after each stored song with its position; a throw there is a failure
  // midway.
  std::function<void(int)> OnSongAdded;

 private:
  std::unique_ptr<TReelsmithAlbum> Build(const TAlbumContents& contents, bool withHook);
  // Renumbers the artists, albums and songs after a change of the catalogue.
  void Resequence();

  TReelsmithDB& db_;
};
