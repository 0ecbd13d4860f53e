#pragma once

// Shared by the report tests (the application and settings folder come from
// app_test_environment.h): a database component on the real library and a catalogue builder.

#include "app_test_environment.h"

#include <QFileInfo>
#include <QString>

#include <memory>
#include <vector>

#include "client/database.h"

namespace report_test {

struct SongRow {
  QString title;
  int time;
  QString artist;
};

struct AlbumRow {
  QString title;
  std::vector<SongRow> songs;
  int medium = 1;  // 1-based, 0 none
  int choice1 = 0;
  int choice2 = 0;
  QString text1;
  QString text2;
};

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

  void AddAlbum(const AlbumRow& row) {
    std::unique_ptr<TReelsmithAlbum> album = TReelsmithAlbum::CreateNew(
        db_.get(), row.title, row.text1, row.text2, row.medium, row.choice1, row.choice2);
    if (row.songs.empty()) return;
    album->BeginAddSong();
    int track = 1;
    for (const SongRow& s : row.songs) {
      std::unique_ptr<TReelsmithArtist> artist = TReelsmithArtist::CreateNew(db_.get(), s.artist);
      album->AddSong(s.title, s.time, *artist, track++);
    }
    album->FinishAddSong();
  }

  void AddAlbum(const QString& title, const QString& artist, int songs = 1) {
    AlbumRow row;
    row.title = title;
    for (int i = 0; i < songs; ++i)
      row.songs.push_back({title + QStringLiteral(" song %1").arg(i + 1), 60 + i, artist});
    AddAlbum(row);
  }

  std::unique_ptr<TReelsmithDB> db_;
};

}  // namespace report_test
