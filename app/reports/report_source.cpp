#include "reports/report_source.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>

#include "client/album_record.h"
#include "client/artist_record.h"
#include "client/database.h"
#include "client/song_record.h"
#include "platform/exceptions.h"
#include "platform/text_collation.h"

const char* const kVariousArtists = "[Various Artists]";

namespace {

const QString kSortByRange = QStringLiteral("SortBy index out of range.");

// Album field 2 (the medium) has the library's fixed list; a longer one is a damaged library.
constexpr int kMaxChoiceItems = 256;

bool IsAlbumField(int code) { return code >= rcMedium && code <= rcAlbumField6; }

// Appends a song time to a sort key: fixed width, so the keys after it stay aligned, and
// big-endian with the sign bit flipped, so byte order is numeric order.
void AppendSeconds(QByteArray& key, int seconds) {
  const quint32 v = static_cast<quint32>(seconds) ^ 0x80000000u;
  for (int shift = 24; shift >= 0; shift -= 8) key.append(static_cast<char>((v >> shift) & 0xFF));
}

// Moves every record of a query's list into `to`, keeping their order. Taken from the back,
// because removing the first of a long list moves all the others.
template <typename T>
void TakeAll(TOwnerList<T> from, TOwnerList<TReelsmithRecord>& to) {
  std::vector<std::unique_ptr<TReelsmithRecord>> items;
  items.reserve(static_cast<size_t>(from.Count()));
  while (!from.IsEmpty()) items.push_back(from.Extract(from.Count() - 1));
  to.Reserve(to.Count() + static_cast<int>(items.size()));
  for (auto it = items.rbegin(); it != items.rend(); ++it) to.Add(std::move(*it));
}

}  // namespace

// The related records of one record, each asked of the library only when first needed.
class TReelsmithReportSource::TRelated {
 public:
  explicit TRelated(const TReelsmithRecord& record) : record_(record) {}

  TReelsmithAlbum* Album() {
    if (!albumsRead_) {
      albums_ = record_.Albums();
      albumsRead_ = true;
    }
    return albums_.IsEmpty() ? nullptr : albums_[0];
  }
  const TOwnerList<TReelsmithArtist>& Artists() {
    if (!artistsRead_) {
      artists_ = record_.Artists();
      artistsRead_ = true;
    }
    return artists_;
  }
  TReelsmithSong* Song() {
    if (!songsRead_) {
      songs_ = record_.Songs();
      songsRead_ = true;
    }
    return songs_.IsEmpty() ? nullptr : songs_[0];
  }

 private:
  const TReelsmithRecord& record_;
  bool albumsRead_ = false, artistsRead_ = false, songsRead_ = false;
  TOwnerList<TReelsmithAlbum> albums_;
  TOwnerList<TReelsmithArtist> artists_;
  TOwnerList<TReelsmithSong> songs_;
};

TReelsmithReportSource::TReelsmithReportSource(TReelsmithDB* database)
    : database_(database), collation_(std::make_unique<TTextCollation>()) {}

TReelsmithReportSource::~TReelsmithReportSource() = default;

void TReelsmithReportSource::SetSourceRecordType(int type) {
  if (type < rtAlbum || type > rtSong)
    throw ERangeError(QStringLiteral("Record type out of range."));
  recordType_ = type;
}

void TReelsmithReportSource::SetSortByCount(int count) {
  if (count < 0 || count > kMaxSortKeys) throw ERangeError(kSortByRange);
  sortByCount_ = count;
}

int TReelsmithReportSource::SortBy(int index) const {
  if (index < 0 || index >= sortByCount_) throw ERangeError(kSortByRange);
  return sortBy_[static_cast<size_t>(index)];
}

void TReelsmithReportSource::SetSortBy(int index, int code) {
  if (index < 0 || index >= sortByCount_) throw ERangeError(kSortByRange);
  if (code < rcNone || code > rcSongTime)
    throw ERangeError(QStringLiteral("Sort column out of range."));
  sortBy_[static_cast<size_t>(index)] = code;
}

TReelsmithRecord* TReelsmithReportSource::Items(int index) const {
  if (index < 0 || index >= Count()) throw ERangeError(QStringLiteral("Item index out of range."));
  return records_[index];
}

const QStringList& TReelsmithReportSource::ChoiceTexts(int field) const {
  if (field < 2 || field > 6) throw ERangeError(QStringLiteral("Field index out of range."));
  return choiceTexts_[static_cast<size_t>(field - 2)];
}

void TReelsmithReportSource::Prepare() {
  cancelled_ = false;
  records_.Clear();
  if (recordType_ == rtAlbum)
    TakeAll(database_->GetAllAlbums(), records_);
  else if (recordType_ == rtArtist)
    TakeAll(database_->GetAllArtists(), records_);
  else
    TakeAll(database_->GetAllSongs(), records_);
  LoadChoiceTexts();
  Sort();
}

void TReelsmithReportSource::LoadChoiceTexts() {
  for (QStringList& list : choiceTexts_) list.clear();
  isChoice_.fill(false);

  QStringList& media = choiceTexts_[0];
  isChoice_[0] = true;
  for (int k = 0; k < kMaxChoiceItems; ++k) {
    const QString text = database_->GetAlbumChoiceFieldItem(2, k);
    if (text.isEmpty()) break;
    media << text;
  }

  // Album fields 3 onwards are the user fields in use, choice fields first. Which user choice
  // field an album field is follows from which of them are in use, so a catalogue that uses
  // only the second choice field (or none) still finds each field's own list.
  std::vector<int> choiceCounts;
  for (int user = 1; user <= 2; ++user) {
    int count = 0;
    QString label;
    database_->GetUserChoiceFieldInfo(user, count, label);
    if (count > 0) choiceCounts.push_back(std::min(count, kMaxChoiceItems));
  }
  for (int field = 3; field <= 6; ++field) {
    bool isChoice = false;
    QString name;
    database_->GetAlbumFieldInfo(field, isChoice, name);
    const size_t slot = static_cast<size_t>(field - 2);
    if (name.isEmpty() || !isChoice) continue;
    isChoice_[slot] = true;
    const size_t userIndex = static_cast<size_t>(field - 3);
    if (userIndex >= choiceCounts.size()) continue;
    for (int k = 0; k < choiceCounts[userIndex]; ++k)
      choiceTexts_[slot] << database_->GetAlbumChoiceFieldItem(field, k);
  }
}

QString TReelsmithReportSource::ChoiceText(int field, int itemIndex) const {
  const QStringList& list = choiceTexts_[static_cast<size_t>(field - 2)];
  // No value (index -1) or one beyond the list has no text.
  return itemIndex >= 0 && itemIndex < list.size() ? list[itemIndex] : QString();
}

QString TReelsmithReportSource::Text(TRelated& related, int code) const {
  if (code == rcAlbumTitle) {
    TReelsmithAlbum* album = related.Album();
    return album ? album->DisplayName() : QString();
  }
  if (IsAlbumField(code)) {
    TReelsmithAlbum* album = related.Album();
    if (!album) return QString();
    if (isChoice_[static_cast<size_t>(code - 2)])
      return ChoiceText(code, album->FieldItemIndex(code));
    return album->FieldText(code);
  }
  if (code == rcArtist) {
    const TOwnerList<TReelsmithArtist>& artists = related.Artists();
    if (artists.Count() >= 2) return QString::fromLatin1(kVariousArtists);
    return artists.IsEmpty() ? QString() : artists[0]->DisplayName();
  }
  if (code == rcSongTitle) {
    TReelsmithSong* song = related.Song();
    return song ? song->DisplayName() : QString();
  }
  if (code == rcSongTime) {
    TReelsmithSong* song = related.Song();
    return QString::number(song ? song->Time() : 0);
  }
  return QString();
}

QString TReelsmithReportSource::ColumnText(const TReelsmithRecord& record, int code) const {
  TRelated related(record);
  return Text(related, code);
}

int TReelsmithReportSource::SongSeconds(const TReelsmithRecord& record) const {
  TRelated related(record);
  TReelsmithSong* song = related.Song();
  return song ? song->Time() : 0;
}

int TReelsmithReportSource::Compare(const TReelsmithRecord& a, const TReelsmithRecord& b) const {
  if (a.RecordType() != b.RecordType())
    throw Exception(QStringLiteral("Record types are not the same."));
  for (int i = 0; i < sortByCount_; ++i) {
    const int code = sortBy_[static_cast<size_t>(i)];
    if (code == rcNone) continue;
    TRelated ra(a), rb(b);
    int c;
    if (code == rcSongTime) {
      TReelsmithSong* sa = ra.Song();
      TReelsmithSong* sb = rb.Song();
      c = (sa ? sa->Time() : 0) - (sb ? sb->Time() : 0);
    } else {
      c = collation_->Compare(Text(ra, code), Text(rb, code));
    }
    if (c != 0) return c;
  }
  return 0;
}

QByteArray TReelsmithReportSource::SortKey(const TReelsmithRecord& record) const {
  TRelated related(record);
  QByteArray key;
  for (int i = 0; i < sortByCount_; ++i) {
    const int code = sortBy_[static_cast<size_t>(i)];
    if (code == rcNone) continue;
    if (code == rcSongTime) {
      TReelsmithSong* song = related.Song();
      AppendSeconds(key, song ? song->Time() : 0);
    } else {
      // Collation keys hold no zero byte, so a zero ends each one: a key that is a prefix of
      // another sorts first, and the next key's bytes are never compared against this one's.
      key.append(collation_->SortKey(Text(related, code)));
      key.append('\0');
    }
  }
  return key;
}

void TReelsmithReportSource::Sort() {
  const int n = Count();
  std::vector<QByteArray> keys;
  keys.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    if (i % kPollInterval == 0) {
      QCoreApplication::processEvents();
      if (cancelled_) break;
    }
    keys.push_back(SortKey(*records_[i]));
  }
  if (cancelled_) {
    records_.Clear();
    return;
  }
  std::vector<int> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&keys](int x, int y) {
    const QByteArray& a = keys[static_cast<size_t>(x)];
    const QByteArray& b = keys[static_cast<size_t>(y)];
    const int c = std::memcmp(a.constData(), b.constData(),
                              static_cast<size_t>(std::min(a.size(), b.size())));
    return c != 0 ? c < 0 : a.size() < b.size();
  });
  std::vector<std::unique_ptr<TReelsmithRecord>> items;
  items.reserve(static_cast<size_t>(n));
  while (!records_.IsEmpty()) items.push_back(records_.Extract(records_.Count() - 1));
  std::reverse(items.begin(), items.end());
  records_.Reserve(n);
  for (int index : order) records_.Add(std::move(items[static_cast<size_t>(index)]));
}
