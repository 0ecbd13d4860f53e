#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

#include "client/owner_list.h"
#include "client/record.h"

class TReelsmithDB;
class TTextCollation;

// Report column codes; the same codes name the sort keys. 0 is no column.
enum TReportColumn {
  rcNone = 0,
  rcAlbumTitle = 1,
  rcMedium = 2,
  rcAlbumField3 = 3,  // album fields 3 to 6: the user fields in use
  rcAlbumField6 = 6,
  rcArtist = 7,
  rcSongTitle = 8,
  rcSongTime = 9,
};

// The text shown and sorted for a record with two or more artists.
extern const char* const kVariousArtists;

// The records of a collection report (all albums, artists or songs of the catalogue) in the
// order of up to ten sort keys, compared case-insensitively in the program's collation, the song
// time numerically. Each record's keys are computed once, then sorted; pending events are
// processed every 50 records so that CancelSort can arrive.
class TReelsmithReportSource {
 public:
  static constexpr int kMaxSortKeys = 10;
  static constexpr int kPollInterval = 50;

  // The database component is not owned and must outlive the source.
  explicit TReelsmithReportSource(TReelsmithDB* database);
  ~TReelsmithReportSource();
  TReelsmithReportSource(const TReelsmithReportSource&) = delete;
  TReelsmithReportSource& operator=(const TReelsmithReportSource&) = delete;

  // rtAlbum, rtArtist or rtSong; ERangeError otherwise. Read by Prepare.
  int SourceRecordType() const { return recordType_; }
  void SetSourceRecordType(int type);

  // 0 to 10; ERangeError "SortBy index out of range." otherwise. With no keys every record
  // compares equal and Prepare keeps the library's order.
  int SortByCount() const { return sortByCount_; }
  void SetSortByCount(int count);
  // A column code 0 to 9 for key index 0 to SortByCount()-1; ERangeError
  // "SortBy index out of range." for another index, "Sort column out of range." for another code.
  int SortBy(int index) const;
  void SetSortBy(int index, int code);

  // Loads the records, learns the choice fields' texts and sorts. Library errors pass to the
  // caller. After a cancelled sort there are no records.
  void Prepare();
  // Stops a running Prepare at its next poll; Prepare clears the request when it starts.
  void CancelSort() { cancelled_ = true; }
  bool Cancelled() const { return cancelled_; }

  // 0 before Prepare and after a cancelled one.
  int Count() const { return records_.Count(); }
  // ERangeError "Item index out of range." outside 0..Count()-1.
  TReelsmithRecord* Items(int index) const;

  // A record's text for a column: its first album's title, medium or field text (the chosen
  // item's text for a choice field), its artist (kVariousArtists for two or more), its first
  // song's title or time in seconds. A record without the related record, or a choice value
  // with no item text (none chosen, or beyond the field's list), gives the empty text.
  QString ColumnText(const TReelsmithRecord& record, int code) const;
  // The first song's playing time in seconds; 0 when the record has no song.
  int SongSeconds(const TReelsmithRecord& record) const;

  // Compares two records by the sort keys in order: <0, 0 or >0. Asks the records for their
  // related records afresh. Exception "Record types are not the same." for records of
  // different kinds.
  int Compare(const TReelsmithRecord& a, const TReelsmithRecord& b) const;

  // The item texts of album field 2 to 6 as Prepare learnt them (empty for text fields).
  const QStringList& ChoiceTexts(int field) const;

 private:
  class TRelated;

  void LoadChoiceTexts();
  QString ChoiceText(int field, int itemIndex) const;
  QString Text(TRelated& related, int code) const;
  QByteArray SortKey(const TReelsmithRecord& record) const;
  void Sort();

  TReelsmithDB* database_;
  std::unique_ptr<TTextCollation> collation_;
  bool cancelled_ = false;
  int recordType_ = rtAlbum;
  int sortByCount_ = 0;
  std::array<int, kMaxSortKeys> sortBy_{};
  TOwnerList<TReelsmithRecord> records_;
  // Index 0 to 4 for album fields 2 to 6.
  std::array<QStringList, 5> choiceTexts_;
  std::array<bool, 5> isChoice_{};
};
