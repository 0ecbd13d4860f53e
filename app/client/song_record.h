#pragma once
#include <memory>

#include "client/record.h"

// A song of the catalogue.
class TReelsmithSong : public TReelsmithRecord {
 public:
  // Binds the song functions at the first construction; EMissingMethod if one is missing.
  TReelsmithSong(TReelsmithDB* database, void* handle);

  QString DisplayName() const override;
  // Playing time in seconds.
  int Time() const;
  bool UsedOnTape() const;
  // Stores the mark (even when unchanged) and raises dbeTapeMarkChanged.
  void SetUsedOnTape(bool value);
  std::unique_ptr<TReelsmithArtist> Artist() const;

  TOwnerList<TReelsmithAlbum> Albums() const override;
  TOwnerList<TReelsmithArtist> Artists() const override;
  // One new object for this same song.
  TOwnerList<TReelsmithSong> Songs() const override;
  int RecordType() const override { return rtSong; }
};
