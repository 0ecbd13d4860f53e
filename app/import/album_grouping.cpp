#include "import/album_grouping.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <climits>

#include "album/album_validation.h"
#include "cassette/duration.h"
#include "client/text_encoding.h"

const char kUnknownArtist[] = "Unknown Artist";

int TImportAlbum::TotalSeconds() const {
  int total = 0;
  for (const TAlbumSong& s : contents.songs) total += s.time;
  return total;
}

namespace {

QString Quoted(const QString& text) { return QStringLiteral("\"%1\"").arg(text); }

QString Fold(const QString& text) { return text.trimmed().toCaseFolded(); }

// Checks one text that goes into the catalogue: a character it cannot store is named, a text
// longer than the field is cut and the cut is named. Answers the text as it will be stored
// (before the Windows-1252 conversion).
class TTextCheck {
 public:
  explicit TTextCheck(TImportAlbum& album) : album_(album) {}

  QString Check(const QString& what, const QString& text, int length) {
    const QString bad = FirstUnstorableCharacter(text);
    if (!bad.isEmpty()) {
      album_.unstorable = true;
      album_.problems << UnstorableTextMessage(what + QLatin1Char(' ') + Quoted(text), bad) +
                             QStringLiteral(" Checked, it is stored as %1.")
                                 .arg(
                                     Quoted(QString::fromLatin1(ToWindows1252(text.left(length)))));
    }
    if (text.size() <= length) return text;
    const QString cut = text.left(length);
    album_.problems << QStringLiteral("%1 %2 is longer than %3 characters: stored as %4.")
                           .arg(what, Quoted(text))
                           .arg(length)
                           .arg(Quoted(cut));
    return cut;
  }

 private:
  TImportAlbum& album_;
};

struct TGroup {
  QString title;
  QString albumArtist;  // the album artist tag, else the first file's artist
  std::vector<const TScannedFile*> files;
};

int DiscOrder(const TScannedFile* f) { return f->tags.disc > 0 ? f->tags.disc : 1; }
int TrackOrder(const TScannedFile* f) { return f->tags.track > 0 ? f->tags.track : INT_MAX; }

void FillField(const TImportField& field, const QString& value, TImportAlbum& album,
               TTextCheck& check) {
  if (field.kind == TImportField::fkNone || value.isEmpty()) return;
  TAlbumContents& c = album.contents;
  if (field.kind == TImportField::fkText) {
    const QString text =
        check.Check(QStringLiteral("The %1").arg(field.name), value, kImportFieldTextLength);
    (field.slot == 1 ? c.text1 : c.text2) = text;
    return;
  }
  for (int i = 0; i < field.choices.size(); ++i) {
    if (field.choices[i].compare(value, Qt::CaseInsensitive) == 0) {
      (field.slot == 1 ? c.choice1 : c.choice2) = i + 1;
      return;
    }
  }
  album.problems << QStringLiteral("%1 is not one of the choices of the field %2: left empty.")
                        .arg(Quoted(value), Quoted(field.name));
}

// Builds the album (or one part of it) of the files [first, last).
TImportAlbum MakeAlbum(const TGroup& group, size_t first, size_t last, int part, int parts,
                       const TImportFields& fields, const QHash<QString, QString>& knownArtists) {
  TImportAlbum album;
  QSet<QString> respelled;
  TTextCheck check(album);
  QString title = group.title;
  if (parts > 1) {
    const QString suffix = QStringLiteral(" (%1)").arg(part);
    if (part == 1)
      album.problems << QStringLiteral(
                            "%1 has %2 songs, more than the %3 an album holds: split into %4 "
                            "albums.")
                            .arg(Quoted(group.title))
                            .arg(group.files.size())
                            .arg(kImportAlbumSongs)
                            .arg(parts);
    // The part number must survive the cut to the title's length.
    title = check.Check(QStringLiteral("The album title"), title,
                        kImportNameLength - static_cast<int>(suffix.size())) +
            suffix;
  } else {
    title = check.Check(QStringLiteral("The album title"), title, kImportNameLength);
  }
  album.contents.title = title;

  QStringList artists;
  for (size_t i = first; i < last; ++i) {
    const TScannedFile& f = *group.files[i];
    QString artist = !f.tags.artist.isEmpty() ? f.tags.artist : group.albumArtist;
    if (artist.isEmpty()) artist = QString::fromLatin1(kUnknownArtist);
    if (!artists.contains(artist, Qt::CaseInsensitive)) artists << artist;
    TAlbumSong song;
    const QString songTitle = f.tags.title.isEmpty() ? f.baseName : f.tags.title;
    const int n = static_cast<int>(i - first) + 1;
    song.title =
        check.Check(QStringLiteral("The title of song %1").arg(n), songTitle, kImportNameLength);
    song.artist =
        check.Check(QStringLiteral("The artist of song %1").arg(n), artist, kImportNameLength);
    // The library finds an artist by name ignoring case and takes the new spelling: keep the
    // catalogue's spelling instead, and say so.
    const auto known = knownArtists.constFind(Fold(song.artist));
    if (known != knownArtists.constEnd() && *known != song.artist) {
      if (!respelled.contains(song.artist)) {
        respelled.insert(song.artist);
        album.problems << QStringLiteral("The artist %1 is in the catalogue as %2: stored as %2.")
                              .arg(Quoted(song.artist), Quoted(*known));
      }
      song.artist = *known;
    }
    song.time = f.tags.seconds;
    if (!f.tags.hasLength)
      album.problems << QStringLiteral("Song %1 (%2): the playing time could not be read.")
                            .arg(n)
                            .arg(f.shownPath);
    if (song.time > kMaxSongSeconds) {
      song.time = kMaxSongSeconds;
      album.problems << QStringLiteral(
                            "Song %1 (%2) is longer than a song time holds: stored as %3.")
                            .arg(n)
                            .arg(f.shownPath, FormatDuration(kMaxSongSeconds));
    }
    album.contents.songs.push_back(song);
    album.songFiles << f.shownPath;
  }
  if (artists.size() == 1 && artists.front().compare(QString::fromLatin1(kUnknownArtist)) == 0)
    album.problems << QStringLiteral("No artist in the tags: stored as %1.")
                          .arg(Quoted(QString::fromLatin1(kUnknownArtist)));
  album.artist = artists.size() == 1
                     ? album.contents.songs.front().artist
                     : (group.albumArtist.isEmpty() ? QString() : group.albumArtist);

  // The year and genre of the first file that has one.
  int year = 0;
  QString genre;
  for (size_t i = first; i < last; ++i) {
    if (year == 0) year = group.files[i]->tags.year;
    if (genre.isEmpty()) genre = group.files[i]->tags.genre;
  }
  FillField(fields.year, year > 0 ? QString::number(year) : QString(), album, check);
  FillField(fields.genre, genre, album, check);
  return album;
}

bool SeveralArtists(const TImportAlbum& album) {
  for (const TAlbumSong& s : album.contents.songs)
    if (s.artist.compare(album.contents.songs.front().artist, Qt::CaseInsensitive) != 0)
      return true;
  return false;
}

// The catalogue shows no artist for an album whose songs have several.
bool SameArtist(const TImportAlbum& album, const QString& existingArtist) {
  if (SeveralArtists(album)) return existingArtist.isEmpty();
  return album.artist.compare(existingArtist, Qt::CaseInsensitive) == 0;
}

}  // namespace

TImportPlan GroupAlbums(const TFolderScanResult& scan, const TImportFields& fields,
                        const std::vector<TExistingAlbum>& existing,
                        const QStringList& existingArtists) {
  QHash<QString, QString> knownArtists;
  for (const QString& a : existingArtists) knownArtists.insert(Fold(a), a);
  TImportPlan plan;
  plan.filesRead = static_cast<int>(scan.files.size());
  plan.filesSkipped = static_cast<int>(scan.skipped.size());
  plan.otherFiles = scan.otherFiles;
  for (const TSkippedEntry& s : scan.skipped)
    plan.problems << QStringLiteral("%1: %2.").arg(s.shownPath, s.reason);

  QMultiHash<QString, QString> byTitle;
  for (const TExistingAlbum& e : existing) byTitle.insert(Fold(e.title), e.artist);

  std::vector<TGroup> groups;
  QHash<QString, size_t> index;
  for (const TScannedFile& f : scan.files) {
    QString key;
    if (f.tags.album.isEmpty()) {
      key = QStringLiteral("folder\n") + f.folderPath;
    } else {
      const QString& artist = f.tags.albumArtist.isEmpty() ? f.tags.artist : f.tags.albumArtist;
      key = QStringLiteral("tag\n") + Fold(artist) + QLatin1Char('\n') + Fold(f.tags.album);
    }
    auto it = index.find(key);
    if (it == index.end()) {
      TGroup g;
      g.title = f.tags.album.isEmpty() ? f.folderName : f.tags.album;
      g.albumArtist = f.tags.albumArtist;
      it = index.insert(key, groups.size());
      groups.push_back(std::move(g));
    }
    TGroup& g = groups[*it];
    if (g.albumArtist.isEmpty()) g.albumArtist = f.tags.albumArtist;
    g.files.push_back(&f);
  }

  for (TGroup& g : groups) {
    std::stable_sort(g.files.begin(), g.files.end(),
                     [](const TScannedFile* a, const TScannedFile* b) {
                       if (DiscOrder(a) != DiscOrder(b)) return DiscOrder(a) < DiscOrder(b);
                       if (TrackOrder(a) != TrackOrder(b)) return TrackOrder(a) < TrackOrder(b);
                       return a->shownPath < b->shownPath;
                     });
    const size_t n = g.files.size();
    const int parts = static_cast<int>((n + kImportAlbumSongs - 1) / kImportAlbumSongs);
    for (int p = 0; p < parts; ++p) {
      const size_t first = static_cast<size_t>(p) * kImportAlbumSongs;
      const size_t last = std::min(n, first + kImportAlbumSongs);
      TImportAlbum album = MakeAlbum(g, first, last, p + 1, parts, fields, knownArtists);
      for (auto it = byTitle.find(Fold(album.contents.title));
           it != byTitle.end() && it.key() == Fold(album.contents.title); ++it) {
        if (SameArtist(album, *it)) {
          album.duplicate = true;
          album.problems << QStringLiteral("The catalogue already has this album.");
          break;
        }
      }
      album.checked = !album.duplicate && !album.unstorable;
      plan.albums.push_back(std::move(album));
    }
  }
  return plan;
}
