#pragma once
// TReelsmithRecord: a library handle wrapped with the database component it belongs to.
// Freeing a record object never touches the catalogue; two objects for the same record
// are independent and equal only by Handle.
#include <QString>

#include "client/owner_list.h"

class TReelsmithDB;
class TReelsmithAlbum;
class TReelsmithArtist;
class TReelsmithSong;

enum TRecordType { rtAlbum = 0, rtArtist = 1, rtSong = 2 };

class TReelsmithRecord {
 public:
  // The handle stays valid until its record is deleted or the catalogue is cleared,
  // loaded or merged; the component must outlive the object.
  TReelsmithRecord(TReelsmithDB* database, void* handle) : database_(database), handle_(handle) {}
  virtual ~TReelsmithRecord() = default;
  TReelsmithRecord(const TReelsmithRecord&) = delete;
  TReelsmithRecord& operator=(const TReelsmithRecord&) = delete;

  TReelsmithDB* Database() const { return database_; }
  void* Handle() const { return handle_; }

  // The album title, artist name or song title.
  virtual QString DisplayName() const = 0;
  // New lists of new objects related to this record; the caller owns them.
  virtual TOwnerList<TReelsmithAlbum> Albums() const = 0;
  virtual TOwnerList<TReelsmithArtist> Artists() const = 0;
  virtual TOwnerList<TReelsmithSong> Songs() const = 0;
  // rtAlbum, rtArtist or rtSong.
  virtual int RecordType() const = 0;

 private:
  TReelsmithDB* database_;
  void* handle_;
};
