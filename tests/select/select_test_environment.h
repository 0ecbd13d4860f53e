#pragma once

// Shared by the selector and songs-grid tests (the application and settings folder come from
// app_test_environment.h): a database component on the real library with a small catalogue builder.

#include "app_test_environment.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>
#include <vector>

#include "client/database.h"
#include "platform/profile.h"

namespace select_test {

// A song to add: title, time in seconds, artist.
struct SongRow {
  QString title;
  int time;
  QString artist;
};

// A database component on the real library, with an empty catalogue before and after each test.
class DbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TLibrarySearch search;
    search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
    search.SystemSearch = false;
    db_ = std::make_unique<TReelsmithDB>(nullptr, search);
    db_->Clear();
  }
  void TearDown() override {
    if (db_) db_->Clear();
  }

  // Adds an album with its songs in track order (each addition raises its events).
  void AddAlbum(const QString& title, const std::vector<SongRow>& songs) {
    std::unique_ptr<TReelsmithAlbum> album =
        TReelsmithAlbum::CreateNew(db_.get(), title, QString(), QString(), 1, 0, 0);
    album->BeginAddSong();
    int track = 1;
    for (const SongRow& s : songs) {
      std::unique_ptr<TReelsmithArtist> artist = TReelsmithArtist::CreateNew(db_.get(), s.artist);
      album->AddSong(s.title, s.time, *artist, track++);
    }
    album->FinishAddSong();
  }

  // A new object for the album of this title, or null.
  std::unique_ptr<TReelsmithAlbum> FindAlbum(const QString& title) {
    TOwnerList<TReelsmithAlbum> all = db_->GetAllAlbums();
    for (int i = 0; i < all.Count(); ++i) {
      if (all[i]->DisplayName() == title) return all.Extract(i);
    }
    return nullptr;
  }

  std::unique_ptr<TReelsmithDB> db_;
};

// Sets a settings value for the lifetime of the object.
class TIntSetting {
 public:
  TIntSetting(const char* section, const char* key, int value) : section_(section), key_(key) {
    TProfile(kSettingsFileName).WriteInteger(section_, key_, value);
  }
  ~TIntSetting() { TProfile(kSettingsFileName).WriteString(section_, key_, QString()); }

 private:
  QString section_;
  QString key_;
};

}  // namespace select_test
