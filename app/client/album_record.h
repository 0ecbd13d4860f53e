#pragma once
#include <memory>

#include "client/record.h"

// An album of the catalogue. Field numbers are the library's: 0 title, 1 artist,
// 2 medium, then the user fields in use.
class TReelsmithAlbum : public TReelsmithRecord {
 public:
  // Binds the album functions at the first construction; EMissingMethod if one is missing.
  TReelsmithAlbum(TReelsmithDB* database, void* handle);

  // A new album. medium, choice1 and choice2 are 1-based, 0 meaning none (callers pass
  // a 0-based index plus one). Raises dbeRecordsAdded; Exception "Unable to add album"
  // when the library refuses (then no event).
  static std::unique_ptr<TReelsmithAlbum> CreateNew(TReelsmithDB* database, const QString& title,
                                                    const QString& text1, const QString& text2,
                                                    int medium, int choice1, int choice2);

  QString DisplayName() const override;
  // One new object for this same album.
  TOwnerList<TReelsmithAlbum> Albums() const override;
  TOwnerList<TReelsmithArtist> Artists() const override;
  // In track order.
  TOwnerList<TReelsmithSong> Songs() const override;
  int RecordType() const override { return rtAlbum; }

  // The chosen item of a choice field, 0-based; -1 for none.
  int FieldItemIndex(int field) const;
  // The field's text: the chosen item of a choice field (empty for none), else the
  // library's text (for field 1 the sole artist's name, or empty).
  QString FieldText(int field) const;
  int MediumIndex() const { return FieldItemIndex(2); }
  QString MediumName() const;

  // A batch of songs: BeginAddSong, AddSong for each, FinishAddSong. The songs join the
  // catalogue's song order at FinishAddSong, which raises dbeRecordsAdded.
  void BeginAddSong();
  // Throws Exception "Unable to add song" when the library refuses the song (the
  // catalogue is full); the batch stays open and must still be finished.
  std::unique_ptr<TReelsmithSong> AddSong(const QString& title, int time,
                                          const TReelsmithArtist& artist, int track);
  void FinishAddSong();
};
