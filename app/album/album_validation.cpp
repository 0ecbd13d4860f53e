#include "album/album_validation.h"

#include "client/text_encoding.h"

namespace {

TAlbumCheckResult Fail(const QString& message, TAlbumCheckResult::TFocus focus, int row = 0,
                       int col = 0) {
  TAlbumCheckResult r;
  r.ok = false;
  r.message = message;
  r.focus = focus;
  r.row = row;
  r.col = col;
  return r;
}

TAlbumCheckResult Fail(const char* message, TAlbumCheckResult::TFocus focus, int row = 0,
                       int col = 0) {
  return Fail(QString::fromLatin1(message), focus, row, col);
}

// Text the catalogue would store with '?' in place of some characters is refused, so that what
// the user typed is never changed behind their back.
TAlbumCheckResult CheckStorable(const TAlbumCheckInput& input) {
  for (const TFieldText& f : input.texts) {
    const QString c = FirstUnstorableCharacter(f.text);
    if (c.isEmpty()) continue;
    TAlbumCheckResult r = Fail(UnstorableTextMessage(f.name, c), TAlbumCheckResult::fcField);
    r.field = f.field;
    return r;
  }
  for (size_t i = 0; i < input.rows.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    const TSheetRow& row = input.rows[i];
    const std::pair<const QString*, const char*> cells[] = {{&row.title, "The title of song %1"},
                                                            {&row.artist, "The artist of song %1"}};
    for (int col = 0; col < 2; ++col) {
      const QString c = FirstUnstorableCharacter(*cells[col].first);
      if (c.isEmpty()) continue;
      return Fail(UnstorableTextMessage(QString::fromLatin1(cells[col].second).arg(n), c),
                  TAlbumCheckResult::fcCell, n, col + 1);
    }
  }
  return TAlbumCheckResult();
}

}  // namespace

TAlbumCheckResult ValidateAlbum(const TAlbumCheckInput& input) {
  QString title = input.title;
  if (title.isEmpty()) {
    // Singles and 3" CDs often have no album title of their own: the medium stands in for one.
    if (input.mediumText == QLatin1String("45") || input.mediumText == QLatin1String("3\" CD"))
      title = QLatin1Char('[') + input.mediumText + QLatin1Char(']');
    else
      return Fail("Please enter an album title.", TAlbumCheckResult::fcTitleControl);
  }
  const bool albumArtist = !input.artist.isEmpty();

  const TSheetRow empty;
  const TSheetRow& first = input.rows.empty() ? empty : input.rows.front();
  if (first.title.isEmpty() && first.artist.isEmpty() && first.time == 0) {
    TAlbumCheckResult r = Fail("Please enter at least one song.", TAlbumCheckResult::fcCell, 1, 1);
    r.title = title;
    return r;
  }

  bool gapSeen = false;
  for (size_t i = 0; i < input.rows.size(); ++i) {
    const TSheetRow& row = input.rows[i];
    const int n = static_cast<int>(i) + 1;
    TAlbumCheckResult r;
    if (row.time != 0 && row.title.isEmpty())
      r = Fail("Please enter a title for the song.", TAlbumCheckResult::fcCell, n, 1);
    else if (!row.title.isEmpty() && row.artist.isEmpty() && !albumArtist)
      r = Fail("Please enter an artist for the album.", TAlbumCheckResult::fcTitleControl);
    else if (!row.artist.isEmpty() && row.title.isEmpty())
      r = Fail("Please enter a song title.", TAlbumCheckResult::fcCell, n, 1);
    else if (row.time < 0 || row.time > kMaxSongSeconds)
      r = Fail("Please enter a valid time for the song, in the format MM:SS.",
               TAlbumCheckResult::fcCell, n, 3);
    else if (gapSeen && (!row.title.isEmpty() || !row.artist.isEmpty() || row.time != 0))
      r = Fail("There is a gap in the songs.", TAlbumCheckResult::fcCell, n, 1);
    else if (row.title.isEmpty())
      gapSeen = true;
    if (!r.ok) {
      r.title = title;
      return r;
    }
  }
  TAlbumCheckResult r = CheckStorable(input);
  r.title = title;
  return r;
}
