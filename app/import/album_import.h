#pragma once
// What the import needs to know about the catalogue, and the add itself: the user fields that
// take a year or a genre, the albums already there, the catalogue's limits, and storing the
// chosen albums as one batch. The catalogue is reached only through the database component.
#include <QString>

#include <vector>

#include "import/album_grouping.h"

class TReelsmithDB;

class TAlbumImport {
 public:
  explicit TAlbumImport(TReelsmithDB& db) : db_(db) {}

  // The user fields in use named "Year" or "Genre" (ignoring case and surrounding blanks); a text
  // field is taken before a choice field of the same name.
  TImportFields Fields() const;
  // Every album of the catalogue with its artist (empty when its songs have several).
  std::vector<TExistingAlbum> ExistingAlbums() const;
  // The names of the catalogue's artists as stored.
  QStringList ExistingArtists() const;

  // Empty when the albums fit, else the message naming the limit they would pass.
  QString LimitMessage(const std::vector<const TAlbumContents*>& albums) const;

  // Adds the albums as one batch of deferred change events, each event delivered once. Throws
  // Exception with LimitMessage, before anything changes, when they do not fit; when the library
  // refuses one all the same, none of them stays.
  void Add(const std::vector<const TAlbumContents*>& albums);

 private:
  TReelsmithDB& db_;
};
