#include "app_test_environment.h"

#include "import/album_grouping.h"

#include <QStringList>

namespace {

TScannedFile File(const QString& shownPath, const QString& album, const QString& artist,
                  const QString& title, int track = 0, int disc = 0, int seconds = 60) {
  TScannedFile f;
  f.shownPath = shownPath;
  const int slash = shownPath.lastIndexOf(QLatin1Char('/'));
  f.folderPath = slash < 0 ? QString() : shownPath.left(slash);
  f.folderName = f.folderPath.section(QLatin1Char('/'), -1);
  f.baseName = shownPath.mid(slash + 1).section(QLatin1Char('.'), 0, 0);
  f.tags.album = album;
  f.tags.artist = artist;
  f.tags.title = title;
  f.tags.track = track;
  f.tags.disc = disc;
  f.tags.seconds = seconds;
  f.tags.hasLength = true;
  return f;
}

QStringList Titles(const TImportAlbum& a) {
  QStringList t;
  for (const TAlbumSong& s : a.contents.songs) t << s.title;
  return t;
}

TEST(AlbumGrouping, DiscsOfASetBecomeOneAlbumInDiscTrackAndNameOrder) {
  TFolderScanResult scan;
  scan.files.push_back(File("set/cd2/02.flac", "Set", "Band", "D2T2", 2, 2));
  scan.files.push_back(File("set/cd1/02.flac", "Set", "Band", "D1T2", 2, 1));
  scan.files.push_back(File("set/cd2/01.flac", "set ", "BAND", "D2T1", 1, 2));
  scan.files.push_back(File("set/cd1/01.flac", "Set", "Band", "D1T1", 1, 1));
  scan.files.push_back(File("set/cd1/b.flac", "Set", "Band", "NoTrackB", 0, 1));
  scan.files.push_back(File("set/cd1/a.flac", "Set", "Band", "NoTrackA", 0, 1));
  scan.files.push_back(File("other/x.flac", "Set", "Other Band", "Elsewhere", 1));
  const TImportPlan plan = GroupAlbums(scan, {}, {});
  ASSERT_EQ(plan.albums.size(), 2u);
  const TImportAlbum& set = plan.albums[0];
  EXPECT_EQ(set.contents.title, QStringLiteral("Set"));
  EXPECT_EQ(set.artist, QStringLiteral("Band"));
  EXPECT_EQ(Titles(set), QStringList({"D1T1", "D1T2", "NoTrackA", "NoTrackB", "D2T1", "D2T2"}));
  EXPECT_EQ(set.TotalSeconds(), 360);
  EXPECT_TRUE(set.checked);
  EXPECT_TRUE(set.problems.isEmpty()) << set.problems.join('\n').toStdString();
  EXPECT_EQ(plan.albums[1].artist, QStringLiteral("Other Band"));
}

TEST(AlbumGrouping, MissingTagsFallBackToFolderFileNameAndAlbumArtist) {
  TFolderScanResult scan;
  scan.files.push_back(File("Loose Songs/first take.mp3", "", "", ""));
  scan.files.push_back(File("Loose Songs/second.mp3", "", "Singer", "Second"));
  TScannedFile various = File("mix/1.mp3", "Mix", "", "Untagged artist", 1);
  various.tags.albumArtist = QStringLiteral("Various Artists");
  scan.files.push_back(various);
  TScannedFile other = File("mix/2.mp3", "Mix", "Guest", "By a guest", 2);
  other.tags.albumArtist = QStringLiteral("Various Artists");
  scan.files.push_back(other);
  TScannedFile noLength = File("mix/3.mp3", "Mix", "Guest", "Unknown length", 3, 0, 0);
  noLength.tags.albumArtist = QStringLiteral("Various Artists");
  noLength.tags.hasLength = false;
  scan.files.push_back(noLength);

  const TImportPlan plan = GroupAlbums(scan, {}, {});
  ASSERT_EQ(plan.albums.size(), 2u);
  const TImportAlbum& loose = plan.albums[0];
  EXPECT_EQ(loose.contents.title, QStringLiteral("Loose Songs"));
  EXPECT_EQ(Titles(loose), QStringList({"first take", "Second"}));
  EXPECT_EQ(loose.contents.songs[0].artist, QString::fromLatin1(kUnknownArtist));
  EXPECT_EQ(loose.contents.songs[1].artist, QStringLiteral("Singer"));

  const TImportAlbum& mix = plan.albums[1];
  EXPECT_EQ(mix.artist, QStringLiteral("Various Artists"));
  EXPECT_EQ(mix.contents.songs[0].artist, QStringLiteral("Various Artists"));
  EXPECT_EQ(mix.contents.songs[1].artist, QStringLiteral("Guest"));
  EXPECT_EQ(mix.contents.songs[2].time, 0);
  EXPECT_EQ(mix.problems.filter(QStringLiteral("playing time could not be read")).size(), 1);
}

TEST(AlbumGrouping, LongAlbumIsSplitIntoNumberedParts) {
  TFolderScanResult scan;
  const QString title = QStringLiteral("A very long album title that nearly fills the field");
  for (int i = 1; i <= 120; ++i)
    scan.files.push_back(File(QStringLiteral("big/%1.ogg").arg(i, 3, 10, QLatin1Char('0')), title,
                              "Orchestra", QStringLiteral("Movement %1").arg(i), i));
  const TImportPlan plan = GroupAlbums(scan, {}, {});
  ASSERT_EQ(plan.albums.size(), 2u);
  EXPECT_EQ(plan.albums[0].contents.songs.size(), 100u);
  EXPECT_EQ(plan.albums[1].contents.songs.size(), 20u);
  EXPECT_EQ(plan.albums[1].contents.songs.front().title, QStringLiteral("Movement 101"));
  for (int p = 0; p < 2; ++p) {
    const QString stored = plan.albums[static_cast<size_t>(p)].contents.title;
    EXPECT_EQ(stored.size(), kImportNameLength);
    EXPECT_TRUE(stored.endsWith(QStringLiteral(" (%1)").arg(p + 1))) << stored.toStdString();
  }
  EXPECT_EQ(plan.albums[0].problems.filter(QStringLiteral("split into 2 albums")).size(), 1);
}

TEST(AlbumGrouping, TextTheCatalogueCannotHoldIsNamedAndStartsUnchecked) {
  TFolderScanResult scan;
  scan.files.push_back(File("a/1.mp3", QStringLiteral("Caf\u00e9 cr\u00e8me"),
                            QStringLiteral("Bj\u00f6rk"), QStringLiteral("S\u00fc\u00df"), 1));
  scan.files.push_back(File("b/1.mp3", QStringLiteral("\u6771\u4eac"), QStringLiteral("Band"),
                            QStringLiteral("Song \u2603"), 1));
  scan.files.push_back(File("c/1.mp3", "Long", "Band",
                            QStringLiteral("A song title well over the forty-nine characters the "
                                           "catalogue keeps"),
                            1));
  const TImportPlan plan = GroupAlbums(scan, {}, {});
  ASSERT_EQ(plan.albums.size(), 3u);
  // Accented Western European text is stored as it is.
  EXPECT_TRUE(plan.albums[0].checked);
  EXPECT_FALSE(plan.albums[0].unstorable);
  EXPECT_TRUE(plan.albums[0].problems.isEmpty());

  const TImportAlbum& tokyo = plan.albums[1];
  EXPECT_TRUE(tokyo.unstorable);
  EXPECT_FALSE(tokyo.checked);
  const QString problems = tokyo.problems.join('\n');
  EXPECT_TRUE(problems.contains(QStringLiteral("U+6771"))) << problems.toStdString();
  EXPECT_TRUE(problems.contains(QStringLiteral("U+2603"))) << problems.toStdString();
  EXPECT_TRUE(problems.contains(QStringLiteral("stored as \"Song ?\"")));

  const TImportAlbum& cut = plan.albums[2];
  EXPECT_TRUE(cut.checked);
  EXPECT_EQ(cut.contents.songs[0].title.size(), kImportNameLength);
  EXPECT_EQ(cut.problems.filter(QStringLiteral("longer than 49 characters")).size(), 1);
}

TEST(AlbumGrouping, AlbumAlreadyInTheCatalogueStartsUnchecked) {
  TFolderScanResult scan;
  scan.files.push_back(File("a/1.mp3", "Blue", "Singer", "One", 1));
  scan.files.push_back(File("b/1.mp3", "Blue", "Another Singer", "One", 1));
  scan.files.push_back(File("c/1.mp3", "Mixed", "One", "x", 1));
  scan.files.push_back(File("c/2.mp3", "Mixed", "Two", "y", 2));
  scan.files[2].tags.albumArtist = scan.files[3].tags.albumArtist = QStringLiteral("Various");
  const TImportPlan plan =
      GroupAlbums(scan, {}, {{"blue", "SINGER"}, {"Mixed", ""}, {"Green", "Singer"}});
  ASSERT_EQ(plan.albums.size(), 3u);
  EXPECT_TRUE(plan.albums[0].duplicate);
  EXPECT_FALSE(plan.albums[0].checked);
  EXPECT_FALSE(plan.albums[1].duplicate);
  EXPECT_TRUE(plan.albums[1].checked);
  // The catalogue shows no artist for an album of several.
  EXPECT_TRUE(plan.albums[2].duplicate);
}

TEST(AlbumGrouping, ArtistKeepsTheCatalogueSpellingAndThePreviewSaysSo) {
  TFolderScanResult scan;
  scan.files.push_back(File("a/1.mp3", "Loud", "the band", "One", 1));
  scan.files.push_back(File("a/2.mp3", "Loud", "The Band", "Two", 2));
  scan.files.push_back(File("a/3.mp3", "Loud", "the band", "Three", 3));
  const TImportPlan plan = GroupAlbums(scan, {}, {}, {"THE BAND", "Other"});
  ASSERT_EQ(plan.albums.size(), 1u);
  for (const TAlbumSong& s : plan.albums[0].contents.songs)
    EXPECT_EQ(s.artist, QStringLiteral("THE BAND"));
  EXPECT_EQ(plan.albums[0].artist, QStringLiteral("THE BAND"));
  EXPECT_EQ(plan.albums[0].problems,
            QStringList({"The artist \"the band\" is in the catalogue as \"THE BAND\": stored as "
                         "\"THE BAND\".",
                         "The artist \"The Band\" is in the catalogue as \"THE BAND\": stored as "
                         "\"THE BAND\"."}));
}

TEST(AlbumGrouping, YearAndGenreFillUserFieldsAChoiceOnlyWithOneOfItsChoices) {
  TFolderScanResult scan;
  scan.files.push_back(File("a/1.mp3", "Rocking", "Band", "One", 1));
  scan.files[0].tags.year = 1977;
  scan.files[0].tags.genre = QStringLiteral("rock");
  scan.files.push_back(File("b/1.mp3", "Odd", "Band", "One", 1));
  scan.files[1].tags.genre = QStringLiteral("Krautrock");
  scan.files[1].tags.year = 2001;

  TImportFields fields;
  fields.year.kind = TImportField::fkText;
  fields.year.slot = 2;
  fields.year.name = QStringLiteral("YEAR");
  fields.genre.kind = TImportField::fkChoice;
  fields.genre.slot = 1;
  fields.genre.name = QStringLiteral("Genre");
  fields.genre.choices = QStringList({"Jazz", "Rock", "Pop"});
  const TImportPlan plan = GroupAlbums(scan, fields, {});
  ASSERT_EQ(plan.albums.size(), 2u);
  EXPECT_EQ(plan.albums[0].contents.text2, QStringLiteral("1977"));
  EXPECT_EQ(plan.albums[0].contents.text1, QString());
  EXPECT_EQ(plan.albums[0].contents.choice1, 2);
  EXPECT_EQ(plan.albums[1].contents.choice1, 0);
  EXPECT_EQ(plan.albums[1].contents.text2, QStringLiteral("2001"));
  EXPECT_EQ(plan.albums[1].problems.filter(QStringLiteral("not one of the choices")).size(), 1);
}

TEST(AlbumGrouping, PassedOverFilesAreListedAndCounted) {
  TFolderScanResult scan;
  scan.skipped.push_back({QStringLiteral("x/bad.mp3"), QStringLiteral("damaged file")});
  scan.otherFiles = 12;
  const TImportPlan plan = GroupAlbums(scan, {}, {});
  EXPECT_TRUE(plan.albums.empty());
  EXPECT_EQ(plan.problems, QStringList({"x/bad.mp3: damaged file."}));
  EXPECT_EQ(plan.filesSkipped, 1);
  EXPECT_EQ(plan.otherFiles, 12);
}

}  // namespace
