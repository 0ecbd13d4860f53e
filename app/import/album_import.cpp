#include "import/album_import.h"

#include <QLocale>
#include <QSet>

#include "album/album_store.h"
#include "client/database.h"
#include "platform/exceptions.h"

namespace {

bool Named(const QString& label, const char* name) {
  return label.trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QString Count(int n) { return QLocale(QLocale::English).toString(n); }

QString Refusal(int have, int adding, const char* what) {
  return QStringLiteral(
             "The catalogue holds at most %1 %2. It has %3, and the chosen albums would add %4. "
             "Nothing was added.")
      .arg(Count(TReelsmithDB::kMaxRecords), QLatin1String(what), Count(have), Count(adding));
}

QString TooLong(const char* what, const QString& text, int limit) {
  return QStringLiteral(
             "The %1 \"%2\" is longer than the %3 characters the catalogue keeps. Nothing was "
             "added.")
      .arg(QLatin1String(what), text)
      .arg(limit);
}

// The first text longer than its field, as a refusal; the preview cuts them, so only a caller
// that did not go through it meets this.
QString TextLimitMessage(const TAlbumContents& c) {
  if (c.title.size() > kImportNameLength) return TooLong("album title", c.title, kImportNameLength);
  for (const QString* text : {&c.text1, &c.text2})
    if (text->size() > kImportFieldTextLength)
      return TooLong("album field text", *text, kImportFieldTextLength);
  for (const TAlbumSong& s : c.songs) {
    if (s.title.size() > kImportNameLength)
      return TooLong("song title", s.title, kImportNameLength);
    if (s.artist.size() > kImportNameLength)
      return TooLong("artist name", s.artist, kImportNameLength);
  }
  return QString();
}

}  // namespace

TImportFields TAlbumImport::Fields() const {
  TImportFields fields;
  for (int k = 1; k <= 2; ++k) {
    bool enabled = false;
    QString label;
    db_.GetUserTextFieldInfo(k, enabled, label);
    if (!enabled || label.isEmpty()) continue;
    for (TImportField* f : {&fields.year, &fields.genre}) {
      if (f->kind == TImportField::fkNone && Named(label, f == &fields.year ? "Year" : "Genre")) {
        f->kind = TImportField::fkText;
        f->slot = k;
        f->name = label;
      }
    }
  }
  for (int k = 1; k <= 2; ++k) {
    int count = 0;
    QString label;
    db_.GetUserChoiceFieldInfo(k, count, label);
    if (count <= 0 || label.isEmpty()) continue;
    for (TImportField* f : {&fields.year, &fields.genre}) {
      if (f->kind == TImportField::fkNone && Named(label, f == &fields.year ? "Year" : "Genre")) {
        f->kind = TImportField::fkChoice;
        f->slot = k;
        f->name = label;
        for (int i = 0; i < count; ++i) f->choices << db_.GetUserChoiceFieldItem(k, i);
      }
    }
  }
  return fields;
}

std::vector<TExistingAlbum> TAlbumImport::ExistingAlbums() const {
  std::vector<TExistingAlbum> result;
  const TOwnerList<TReelsmithAlbum> albums = db_.GetAllAlbums();
  result.reserve(static_cast<size_t>(albums.Count()));
  for (int i = 0; i < albums.Count(); ++i)
    result.push_back({albums.Items(i)->DisplayName(), albums.Items(i)->FieldText(1)});
  return result;
}

QStringList TAlbumImport::ExistingArtists() const {
  QStringList names;
  const TOwnerList<TReelsmithArtist> artists = db_.GetAllArtists();
  names.reserve(artists.Count());
  for (int i = 0; i < artists.Count(); ++i) names << artists.Items(i)->DisplayName();
  return names;
}

QString TAlbumImport::LimitMessage(const std::vector<const TAlbumContents*>& albums) const {
  const int albumCount = db_.AlbumCount();
  if (albumCount + static_cast<long long>(albums.size()) > TReelsmithDB::kMaxRecords)
    return Refusal(albumCount, static_cast<int>(albums.size()), "albums");
  long long songs = 0;
  for (const TAlbumContents* c : albums) songs += static_cast<long long>(c->songs.size());
  const int songCount = db_.SongCount();
  if (songCount + songs > TReelsmithDB::kMaxRecords)
    return Refusal(songCount, static_cast<int>(songs), "songs");
  // The library finds an artist by name ignoring case; only names it does not have yet count.
  QSet<QString> known;
  {
    const TOwnerList<TReelsmithArtist> artists = db_.GetAllArtists();
    for (int i = 0; i < artists.Count(); ++i)
      known.insert(artists.Items(i)->DisplayName().toCaseFolded());
  }
  QSet<QString> fresh;
  for (const TAlbumContents* c : albums)
    for (const TAlbumSong& s : c->songs) {
      const QString folded = s.artist.toCaseFolded();
      if (!known.contains(folded)) fresh.insert(folded);
    }
  const int artistCount = db_.ArtistCount();
  if (artistCount + static_cast<long long>(fresh.size()) > TReelsmithDB::kMaxRecords)
    return Refusal(artistCount, static_cast<int>(fresh.size()), "artists");
  for (const TAlbumContents* c : albums) {
    const QString text = TextLimitMessage(*c);
    if (!text.isEmpty()) return text;
  }
  for (const TAlbumContents* c : albums)
    if (c->songs.size() > static_cast<size_t>(kImportAlbumSongs))
      return QStringLiteral("An album holds at most %1 songs; %2 has %3. Nothing was added.")
          .arg(kImportAlbumSongs)
          .arg(QStringLiteral("\"%1\"").arg(c->title))
          .arg(c->songs.size());
  return QString();
}

void TAlbumImport::Add(const std::vector<const TAlbumContents*>& albums) {
  const QString refusal = LimitMessage(albums);
  if (!refusal.isEmpty()) throw Exception(refusal);
  if (albums.empty()) return;
  TAlbumStore(db_).AddAll(albums);
}
