#include "app_test_environment.h"

#include "album/album_store.h"
#include "client/client_test_environment.h"
#include "client/database.h"
#include "client/notify_link.h"
#include "import/album_import.h"
#include "platform/exceptions.h"


#include <memory>
#include <stdexcept>

namespace {

class AlbumImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = std::make_unique<TReelsmithDB>(nullptr, RealLibrary());
    db_->setObjectName(QStringLiteral("ImportDB"));
    link_ = std::make_unique<TNotifyLink>();
    link_->SetDataSource(db_.get());
    link_->OnNotify = [this](TReelsmithDB*, const TReelsmithDBEventInfo& info) {
      events_.push_back(info.Event());
    };
  }
  void TearDown() override {
    link_.reset();
    db_.reset();
  }

  static TAlbumContents Album(const QString& title, int songs, const QString& artist) {
    TAlbumContents c;
    c.title = title;
    for (int i = 0; i < songs; ++i)
      c.songs.push_back({QStringLiteral("%1 %2").arg(title).arg(i + 1), artist, 61 + i, false});
    return c;
  }
  static std::vector<const TAlbumContents*> Pointers(const std::vector<TAlbumContents>& all) {
    std::vector<const TAlbumContents*> p;
    for (const TAlbumContents& c : all) p.push_back(&c);
    return p;
  }
  // Fills the catalogue in one batch, then forgets its events.
  void Fill(int albums, int songsEach) {
    std::vector<TAlbumContents> all;
    for (int i = 0; i < albums; ++i)
      all.push_back(Album(QStringLiteral("Filler %1").arg(i), songsEach,
                          QStringLiteral("Artist %1").arg(i % 50)));
    TAlbumStore(*db_).AddAll(Pointers(all));
    events_.clear();
  }
  QStringList AlbumTitles() {
    QStringList titles;
    const TOwnerList<TReelsmithAlbum> all = db_->GetAllAlbums();
    for (int i = 0; i < all.Count(); ++i) titles << all.Items(i)->DisplayName();
    return titles;
  }

  std::unique_ptr<TReelsmithDB> db_;
  std::unique_ptr<TNotifyLink> link_;
  std::vector<int> events_;
};

TEST_F(AlbumImportTest, AddsEveryAlbumInOneBatchOfEvents) {
  std::vector<TAlbumContents> albums = {Album("First", 3, "Band"), Album("Second", 2, "Band")};
  albums[1].songs[1].artist = QStringLiteral("Guest");
  albums[1].text1 = QStringLiteral("1999");
  TAlbumImport(*db_).Add(Pointers(albums));

  EXPECT_TRUE(db_->Changed());
  EXPECT_EQ(db_->AlbumCount(), 2);
  EXPECT_EQ(db_->SongCount(), 5);
  EXPECT_EQ(db_->ArtistCount(), 2);
  // Deferred: each event once, the selectors refetch once.
  EXPECT_EQ(std::count(events_.begin(), events_.end(), dbeRecordsAdded), 1);
  const TOwnerList<TReelsmithAlbum> all = db_->GetAllAlbums();
  ASSERT_EQ(all.Count(), 2);
  const TAlbumContents second = ReadAlbumContents(*db_, *all.Items(1));
  EXPECT_EQ(second.title, QStringLiteral("Second"));
  ASSERT_EQ(second.songs.size(), 2u);
  EXPECT_EQ(second.songs[0].artist, QStringLiteral("Band"));
  EXPECT_EQ(second.songs[1].artist, QStringLiteral("Guest"));
  EXPECT_EQ(second.songs[1].time, 62);
}

TEST_F(AlbumImportTest, TooManyAlbumsRefusesTheWholeAddNamingTheLimit) {
  Fill(14999, 1);
  const std::vector<TAlbumContents> albums = {Album("New 1", 1, "Band"), Album("New 2", 1, "Band")};
  try {
    TAlbumImport(*db_).Add(Pointers(albums));
    FAIL() << "the add was not refused";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(),
              QStringLiteral("The catalogue holds at most 15,000 albums. It has 14,999, and the "
                             "chosen albums would add 2. Nothing was added."));
  }
  EXPECT_EQ(db_->AlbumCount(), 14999);
  EXPECT_TRUE(events_.empty());
  // One fits.
  TAlbumImport(*db_).Add({&albums[0]});
  EXPECT_EQ(db_->AlbumCount(), 15000);
}

TEST_F(AlbumImportTest, TooManySongsRefusesTheWholeAdd) {
  Fill(149, 100);
  const std::vector<TAlbumContents> albums = {Album("New 1", 60, "Band"), Album("New 2", 60, "X")};
  const QString message = TAlbumImport(*db_).LimitMessage(Pointers(albums));
  EXPECT_TRUE(
      message.startsWith(QStringLiteral("The catalogue holds at most 15,000 songs. It "
                                        "has 14,900, and the chosen albums would add 120.")))
      << message.toStdString();
  EXPECT_THROW(TAlbumImport(*db_).Add(Pointers(albums)), Exception);
  EXPECT_EQ(db_->SongCount(), 14900);
  EXPECT_FALSE(AlbumTitles().contains(QStringLiteral("New 1")));
  EXPECT_TRUE(events_.empty());
}

TEST_F(AlbumImportTest, OnlyArtistsNotYetInTheCatalogueCountAgainstItsLimit) {
  Fill(1, 1);  // "Artist 0"
  const std::vector<TAlbumContents> albums = {Album("A", 2, "artist 0"), Album("B", 1, "New")};
  EXPECT_EQ(TAlbumImport(*db_).LimitMessage(Pointers(albums)), QString());
  TAlbumImport(*db_).Add(Pointers(albums));
  EXPECT_EQ(db_->ArtistCount(), 2);
}

TEST_F(AlbumImportTest, AlbumsOverTheSongOrTextLimitsAreRefusedWhole) {
  std::vector<TAlbumContents> albums = {Album("Fits", 2, "Band"), Album("Too long", 101, "Band")};
  EXPECT_EQ(TAlbumImport(*db_).LimitMessage(Pointers(albums)),
            QStringLiteral("An album holds at most 100 songs; \"Too long\" has 101. Nothing was "
                           "added."));
  albums[1].songs.resize(100);
  albums[1].songs[99].artist = QString(50, QLatin1Char('x'));
  EXPECT_TRUE(TAlbumImport(*db_)
                  .LimitMessage(Pointers(albums))
                  .startsWith(QStringLiteral("The artist name \"xxxx")));
  albums[1].songs[99].artist = QString(49, QLatin1Char('x'));
  albums[0].text2 = QString(26, QLatin1Char('y'));
  EXPECT_THROW(TAlbumImport(*db_).Add(Pointers(albums)), Exception);
  EXPECT_EQ(db_->AlbumCount(), 0);
  albums[0].text2 = QString(25, QLatin1Char('y'));
  TAlbumImport(*db_).Add(Pointers(albums));
  EXPECT_EQ(db_->SongCount(), 102);
}

TEST_F(AlbumImportTest, FailureMidwayLeavesNoneOfTheAlbums) {
  Fill(1, 2);
  const int songsBefore = db_->SongCount();
  const std::vector<TAlbumContents> albums = {Album("Kept back 1", 3, "Band"),
                                              Album("Kept back 2", 3, "Other")};
  TAlbumStore store(*db_);
  int added = 0;
  store.OnSongAdded = [&added](int) {
    if (++added == 5) throw std::runtime_error("refused");
  };
  EXPECT_THROW(store.AddAll(Pointers(albums)), std::runtime_error);
  EXPECT_EQ(AlbumTitles(), QStringList({"Filler 0"}));
  EXPECT_EQ(db_->SongCount(), songsBefore);
  EXPECT_EQ(db_->ArtistCount(), 1);
  EXPECT_FALSE(db_->DeferEvents());
}

TEST_F(AlbumImportTest, FieldsNamedYearAndGenreAreFoundIgnoringCase) {
  db_->SetUserTextFieldInfo(1, QStringLiteral("Notes"), true);
  db_->SetUserTextFieldInfo(2, QStringLiteral(" year "), true);
  // The library drops a choice field whose first choice is empty: the choices go first.
  db_->SetUserChoiceFieldItem(2, 0, QStringLiteral("Jazz"));
  db_->SetUserChoiceFieldItem(2, 1, QStringLiteral("Rock"));
  db_->SetUserChoiceFieldInfo(2, QStringLiteral("GENRE"), 2);
  const TImportFields f = TAlbumImport(*db_).Fields();
  EXPECT_EQ(f.year.kind, TImportField::fkText);
  EXPECT_EQ(f.year.slot, 2);
  EXPECT_EQ(f.genre.kind, TImportField::fkChoice);
  EXPECT_EQ(f.genre.slot, 2);
  EXPECT_EQ(f.genre.choices, QStringList({"Jazz", "Rock"}));

  // A disabled field takes nothing.
  db_->SetUserTextFieldInfo(2, QStringLiteral("Year"), false);
  EXPECT_EQ(TAlbumImport(*db_).Fields().year.kind, TImportField::fkNone);
}

TEST_F(AlbumImportTest, ExistingAlbumsCarryTheirSoleArtist) {
  std::vector<TAlbumContents> albums = {Album("Solo", 2, "Singer"), Album("Mixed", 2, "One")};
  albums[1].songs[1].artist = QStringLiteral("Two");
  TAlbumImport(*db_).Add(Pointers(albums));
  const std::vector<TExistingAlbum> existing = TAlbumImport(*db_).ExistingAlbums();
  ASSERT_EQ(existing.size(), 2u);
  EXPECT_EQ(existing[0].title, QStringLiteral("Mixed"));
  EXPECT_EQ(existing[0].artist, QString());
  EXPECT_EQ(existing[1].artist, QStringLiteral("Singer"));
}

}  // namespace
