#pragma once
// Turning the music files of a folder scan into albums ready to store: grouping, song order,
// the catalogue's text lengths and character set, albums too long for one album, albums the
// catalogue already has. Plain data in and out; the catalogue is described by its caller.
#include <QString>
#include <QStringList>

#include <vector>

#include "album/album_store.h"
#include "import/music_folder_scan.h"

// The library cuts longer text: titles and names at 49 characters, album text fields at 25.
constexpr int kImportNameLength = 49;
constexpr int kImportFieldTextLength = 25;
// The most songs one album holds (the songs sheet's rows).
constexpr int kImportAlbumSongs = 100;

// A user field that takes the year or the genre of the files.
struct TImportField {
  enum TKind { fkNone, fkText, fkChoice };
  TKind kind = fkNone;
  int slot = 0;         // 1 or 2: which text field or which choice field
  QString name;         // as the user named it
  QStringList choices;  // a choice field's items in order
};

struct TImportFields {
  TImportField year;
  TImportField genre;
};

// An album of the catalogue, for finding the same album among the files.
struct TExistingAlbum {
  QString title;
  QString artist;  // empty when its songs have several artists
};

struct TImportAlbum {
  TAlbumContents contents;  // what would be stored, texts already cut to the catalogue's lengths
  QString artist;           // the album artist shown in the preview
  QStringList songFiles;    // each song's file, in song order
  QStringList problems;     // about this album, each a sentence
  // Some text holds a character the catalogue cannot store (it would be stored as "?").
  bool unstorable = false;
  // The catalogue has an album of this title and artist.
  bool duplicate = false;
  // Whether the preview starts with it checked: neither unstorable nor a duplicate.
  bool checked = true;

  int TotalSeconds() const;
};

struct TImportPlan {
  std::vector<TImportAlbum> albums;
  QStringList problems;  // files and folders passed over, each "path: reason"
  int filesRead = 0;
  int filesSkipped = 0;
  int otherFiles = 0;
};

// The name songs without an artist tag (and no album artist) are stored under.
extern const char kUnknownArtist[];

// One album per album artist (else artist) and album title, its discs together; files without an
// album tag make one album per folder, named after it. Songs go by disc, track, then file name.
// An album of more than kImportAlbumSongs songs becomes parts "Title (1)", "Title (2)", ...
// An artist the catalogue has under another spelling (capitals) keeps the catalogue's spelling.
TImportPlan GroupAlbums(const TFolderScanResult& scan, const TImportFields& fields,
                        const std::vector<TExistingAlbum>& existing,
                        const QStringList& existingArtists = {});
