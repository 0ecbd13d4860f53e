#include "album/album_validation.h"

#include <gtest/gtest.h>

namespace {

TAlbumCheckInput Album(std::vector<TSheetRow> rows, const QString& artist = "Band") {
  TAlbumCheckInput in;
  in.title = QStringLiteral("Title");
  in.artist = artist;
  in.mediumText = QStringLiteral("CD");
  in.rows = std::move(rows);
  in.rows.resize(100);
  return in;
}

}  // namespace

TEST(AlbumValidation, MissingTitleTakesTheMediumOfSinglesAndSmallCdsOnly) {
  TAlbumCheckInput in = Album({{"Song", "", 60}});
  in.title.clear();
  TAlbumCheckResult r = ValidateAlbum(in);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Please enter an album title.");
  EXPECT_EQ(r.focus, TAlbumCheckResult::fcTitleControl);

  in.mediumText = QStringLiteral("45");
  r = ValidateAlbum(in);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.title, "[45]");
  in.mediumText = QStringLiteral("3\" CD");
  EXPECT_EQ(ValidateAlbum(in).title, "[3\" CD]");
  // Even when a later check fails the filled-in title is reported, as the control shows it.
  in.rows[0].time = -1;
  r = ValidateAlbum(in);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.title, "[3\" CD]");
}

TEST(AlbumValidation, EachRowFailsItsFirstCheckInOrder) {
  struct Case {
    std::vector<TSheetRow> rows;
    QString artist;
    const char* message;
    int row;
    int col;
  };
  const Case cases[] = {
      {{}, "Band", "Please enter at least one song.", 1, 1},
      {{{"A", "", 60}, {"", "", 30}}, "Band", "Please enter a title for the song.", 2, 1},
      // A gap before it does not hide a time without a title.
      {{{"A", "", 60}, {}, {"", "", 30}}, "Band", "Please enter a title for the song.", 3, 1},
      {{{"A", "", 60}}, "", "Please enter an artist for the album.", 0, 0},
      {{{"A", "X", 60}, {"", "Y", 0}}, "", "Please enter a song title.", 2, 1},
      {{{"A", "", -1}},
       "Band",
       "Please enter a valid time for the song, in the format MM:SS.",
       1,
       3},
      // The file keeps 16 bits of seconds: 1100:00 would come back as 464 seconds.
      {{{"A", "", 66000}},
       "Band",
       "Please enter a valid time for the song, in the format MM:SS.",
       1,
       3},
      {{{"A", "", 60}, {}, {"C", "", 0}}, "Band", "There is a gap in the songs.", 3, 1},
      {{{"A", "", 60}, {}, {"", "Z", 0}}, "Band", "Please enter a song title.", 3, 1},
  };
  for (const Case& c : cases) {
    const TAlbumCheckResult r = ValidateAlbum(Album(c.rows, c.artist));
    EXPECT_FALSE(r.ok) << c.message;
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.row, c.row) << c.message;
    EXPECT_EQ(r.col, c.col) << c.message;
  }
}

TEST(AlbumValidation, SongsWithTheirOwnArtistsAndTheLongestTimeAreAccepted) {
  EXPECT_TRUE(ValidateAlbum(Album({{"A", "X", 65535}, {"B", "Y", 0}}, "")).ok);
  // A row with only a blank artist never needs the album artist.
  EXPECT_TRUE(ValidateAlbum(Album({{"A", "X", 10}, {}}, "")).ok);
}
