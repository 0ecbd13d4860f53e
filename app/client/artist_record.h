#pragma once
#include <memory>

#include "client/record.h"

// An artist of the catalogue.
class TReelsmithArtist : public TReelsmithRecord {
 public:
  // Binds the artist functions at the first construction; EMissingMethod if one is missing.
  TReelsmithArtist(TReelsmithDB* database, void* handle);

  // The artist of that name: the existing one (the library compares ignoring case) or
  // a new one. Raises dbeRecordsAdded either way; Exception "Unable to add artist" when
  // the library refuses (then no event).
  static std::unique_ptr<TReelsmithArtist> CreateNew(TReelsmithDB* database, const QString& name);

  QString DisplayName() const override;
  TOwnerList<TReelsmithAlbum> Albums() const override;
  // One new object for this same artist.
  TOwnerList<TReelsmithArtist> Artists() const override;
  TOwnerList<TReelsmithSong> Songs() const override;
  int RecordType() const override { return rtArtist; }
};
