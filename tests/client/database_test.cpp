#include "client/database.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "client_test_environment.h"
#include "platform/exceptions.h"

namespace {

struct SongRow {
  const char* title;
  int time;
  const char* artist;
  int track;
};

class RsdbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db = std::make_unique<TReelsmithDB>(nullptr, RealLibrary());
    db->SetSortByTime(false);  // the library keeps it across clean-ups
    db->Clear();
    log = std::make_unique<EventLog>(db.get());
  }

  std::unique_ptr<TReelsmithAlbum> Album(const QString& title, const std::vector<SongRow>& songs,
                                         int medium = 0, int choice1 = 0,
                                         const QString& text2 = QString()) {
    auto album = TReelsmithAlbum::CreateNew(db.get(), title, QString(), text2, medium, choice1, 0);
    album->BeginAddSong();
    for (const SongRow& s : songs) {
      auto artist = TReelsmithArtist::CreateNew(db.get(), QString::fromUtf8(s.artist));
      album->AddSong(QString::fromUtf8(s.title), s.time, *artist, s.track);
    }
    album->FinishAddSong();
    db->ResequenceSongs();
    return album;
  }

  template <class T>
  static QStringList Names(const TOwnerList<T>& list) {
    QStringList names;
    for (const auto& r : list) names << r->DisplayName();
    return names;
  }

  std::unique_ptr<TReelsmithDB> db;
  std::unique_ptr<EventLog> log;
  QTemporaryDir dir;
};

TEST_F(RsdbTest, QueriesReturnNewRecordsInTheLibrarysOrder) {
  auto blue =
      Album("Blue", {{"Song C", 180, "X", 1}, {"Song A", 200, "Y", 2}, {"Song B", 180, "X", 3}});
  auto abbey = Album("Abbey", {{"Zed", 120, "X", 1}});
  auto singles = Album("[Singles]", {});

  EXPECT_EQ(Names(db->GetAllAlbums()), QStringList({"Abbey", "Blue", "[Singles]"}));
  EXPECT_EQ(Names(db->GetAllArtists()), QStringList({"X", "Y"}));
  EXPECT_EQ(Names(db->GetAllSongs()), QStringList({"Song A", "Song B", "Song C", "Zed"}));
  db->SetSortByTime(true);
  EXPECT_EQ(Names(db->GetAllSongs()), QStringList({"Zed", "Song B", "Song C", "Song A"}));
  db->SetSortByTime(false);

  EXPECT_EQ(Names(blue->Songs()), QStringList({"Song C", "Song A", "Song B"}));  // track order
  EXPECT_EQ(Names(blue->Artists()), QStringList({"X", "Y"}));
  EXPECT_EQ(singles->Songs().Count(), 0);
  EXPECT_EQ(singles->Artists().Count(), 0);

  auto artists = db->GetAllArtists();
  const TReelsmithArtist* x = artists[0];
  EXPECT_EQ(Names(x->Albums()), QStringList({"Abbey", "Blue"}));
  EXPECT_EQ(Names(x->Songs()), QStringList({"Song B", "Song C", "Zed"}));

  auto songs = blue->Songs();
  const TReelsmithSong* songA = songs[1];
  EXPECT_EQ(db->GetAlbumOfSong(songA)->Handle(), blue->Handle());
  EXPECT_EQ(songA->Artist()->DisplayName(), "Y");
  EXPECT_EQ(Names(songA->Albums()), QStringList({"Blue"}));
  EXPECT_EQ(Names(songA->Artists()), QStringList({"Y"}));
  EXPECT_EQ(songA->Time(), 200);

  // The one-element lists of a record hold a new object for the same record.
  auto self = songA->Songs();
  ASSERT_EQ(self.Count(), 1);
  EXPECT_NE(self[0], songA);
  EXPECT_EQ(self[0]->Handle(), songA->Handle());
  self.Clear();
  EXPECT_EQ(songA->DisplayName(), "Song A");
  EXPECT_EQ(abbey->Albums()[0]->Handle(), abbey->Handle());
  EXPECT_EQ(x->Artists()[0]->Handle(), x->Handle());
  EXPECT_EQ(blue->RecordType(), rtAlbum);
  EXPECT_EQ(x->RecordType(), rtArtist);
  EXPECT_EQ(songA->RecordType(), rtSong);
  Codes expected(10, 9);  // three albums, four artist additions, three batches
  expected.insert(expected.end(), {10, 10});
  EXPECT_EQ(log->Take(), expected);
}

TEST_F(RsdbTest, ObjectsOfTheWrongClassRaiseInvalidCastWithoutReachingTheLibrary) {
  auto album = Album("Blue", {{"Song", 100, "X", 1}});
  auto song = album->Songs().Extract(0);
  auto artist = song->Artist();
  log->Take();
  auto expectCast = [](auto call, const char* text) {
    try {
      call();
      ADD_FAILURE() << "no exception for: " << text;
    } catch (const EInvalidCast& e) {
      EXPECT_EQ(e.Message(), text);
    }
  };
  expectCast([&] { db->DeleteAlbum(artist.get()); },
             "Object passed to DeleteAlbum is not a TReelsmithAlbum");
  expectCast([&] { db->GetAlbumsByArtist(song.get()); },
             "Object passed to GetAlbumsByArtist is not a TReelsmithArtist");
  expectCast([&] { db->GetArtistsOnAlbum(artist.get()); },
             "Object passed to GetArtistsOnAlbum is not a TReelsmithAlbum");
  expectCast([&] { db->GetSongsByArtist(album.get()); },
             "Object passed to GetSongsByArtist is not a TReelsmithArtist");
  expectCast([&] { db->GetAlbumOfSong(album.get()); },
             "Object passed to GetAlbumOfSong is not a TReelsmithSong");
  expectCast([&] { db->GetArtistOfSong(nullptr); },
             "Object passed to GetArtistOfSong is not a TReelsmithSong");
  // A song handle read as an album would corrupt the library, so this one checks too.
  expectCast([&] { db->GetSongsOnAlbum(song.get()); },
             "Object passed to GetSongsOnAlbum is not a TReelsmithAlbum");
  EXPECT_EQ(db->GetAllAlbums().Count(), 1);
  EXPECT_TRUE(log->Take().empty());
}

TEST_F(RsdbTest, ClearLoadSaveAndMergeAnnounceWhatTheyDid) {
  auto album = Album("Blue", {{"Song", 100, "X", 1}});
  db->SetCurrentAlbum(album.get());
  log->Take();
  db->SetFileName("x");
  db->Clear();
  EXPECT_EQ(log->Take(), Codes({0, 5, 6, 7}));
  EXPECT_EQ(db->CurrentAlbum(), nullptr);
  EXPECT_EQ(db->FileName(), QString());
  db->Clear();
  EXPECT_EQ(log->Take(), Codes({0}));

  album = Album("Blue", {{"Song", 100, "X", 1}});
  const QString file = dir.filePath(QString::fromUtf8("Sammlung Müller.mus"));  // UTF-8 path
  db->SetFileName(file);
  log->Take();
  ASSERT_TRUE(db->Save()) << db->ErrorText().toStdString();
  EXPECT_EQ(log->Take(), Codes({3}));
  EXPECT_FALSE(db->Changed());
  EXPECT_TRUE(QFileInfo::exists(file));

  db->SetCurrentAlbum(album.get());
  db->Clear();
  db->SetCurrentAlbum(album.get());  // a stale object, but Load must leave it alone
  log->Take();
  db->SetFileName(dir.filePath("missing.mus"));
  EXPECT_FALSE(db->Load());
  EXPECT_TRUE(log->Take().empty());
  EXPECT_EQ(db->CurrentAlbum(), album.get());
  EXPECT_EQ(db->ErrorText(), "Could not open database file.  Check file name.");

  db->SetFileName(file);
  ASSERT_TRUE(db->Load());
  EXPECT_EQ(log->Take(), Codes({1, 5, 6, 7}));
  EXPECT_EQ(db->CurrentAlbum(), nullptr);
  EXPECT_EQ(db->GetAllAlbums().Count(), 1);

  // A merge renews every handle: the current album goes, and listeners refetch as after a load.
  auto shown = db->GetAllAlbums().Extract(0);
  db->SetCurrentAlbum(shown.get());
  log->Take();
  ASSERT_TRUE(db->Merge(file));
  EXPECT_EQ(log->Take(), Codes({5, 6, 7, 1}));
  EXPECT_EQ(db->CurrentAlbum(), nullptr);
  EXPECT_EQ(db->GetAllAlbums().Count(), 2);
  EXPECT_FALSE(db->Merge(dir.filePath("missing.mus")));

  EXPECT_TRUE(db->ExportDBase(dir.filePath("out.dbf")));
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("out.dbf")));
  db->SetFileName(dir.filePath("no/such/folder/x.mus"));
  EXPECT_FALSE(db->Save());
  EXPECT_TRUE(log->Take().empty());
}

TEST_F(RsdbTest, FileNamesTheLibraryWouldCutAreRefusedBeforeItIsCalled) {
  db->SetFileName(dir.filePath(QString(260, 'a')));
  EXPECT_THROW(db->Save(), Exception);
  EXPECT_FALSE(db->Changed());  // SetFileName of the library would have marked it
  EXPECT_THROW(db->Load(), Exception);
  EXPECT_THROW(db->Merge(QString(300, 'b')), Exception);
  EXPECT_THROW(db->ExportDBase(QString(300, 'b')), Exception);
  EXPECT_TRUE(log->Take().empty());
}

TEST_F(RsdbTest, AccentedTextSurvivesTheCatalogueFileAsWindows1252) {
  Album(QString::fromUtf8("Café Noir"), {{"Œuvre №1", 61, "Björk", 1}});
  const QString file = dir.filePath("accents.mus");
  db->SetFileName(file);
  ASSERT_TRUE(db->Save());
  QFile raw(file);
  ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
  const QByteArray bytes = raw.readAll();
  EXPECT_TRUE(bytes.contains("Caf\xE9 Noir"));
  EXPECT_TRUE(bytes.contains("Bj\xF6rk"));

  db->Clear();
  db->SetFileName(file);
  ASSERT_TRUE(db->Load());
  EXPECT_EQ(Names(db->GetAllAlbums()), QStringList({QString::fromUtf8("Café Noir")}));
  EXPECT_EQ(Names(db->GetAllArtists()), QStringList({QString::fromUtf8("Björk")}));
  EXPECT_EQ(Names(db->GetAllSongs()), QStringList({QString::fromUtf8("Œuvre ?1")}));
}

TEST_F(RsdbTest, SettingTheCurrentAlbumEndsEditing) {
  auto a = Album("A", {});
  auto b = Album("B", {});
  std::vector<TReelsmithAlbum*> seen;
  TNotifyLink probe;
  probe.SetDataSource(db.get());
  probe.OnNotify = [&](TReelsmithDB* sender, const TReelsmithDBEventInfo&) {
    seen.push_back(sender->CurrentAlbum());
  };
  db->SetCurrentAlbum(a.get());
  log->Take();
  seen.clear();
  db->SetEditing(true);
  db->SetEditing(true);  // unchanged, still announced
  EXPECT_EQ(log->Take(), Codes({7, 7}));
  EXPECT_TRUE(db->Editing());
  seen.clear();
  db->SetCurrentAlbum(b.get());
  EXPECT_EQ(log->Take(), Codes({5, 6, 7}));
  EXPECT_EQ(seen, (std::vector<TReelsmithAlbum*>{a.get(), b.get(), b.get()}));
  EXPECT_FALSE(db->Editing());
}

TEST_F(RsdbTest, DeletingTheCurrentAlbumClearsItFirst) {
  auto a = Album("A", {{"One", 60, "Solo", 1}});
  auto b = Album("B", {{"Two", 60, "Solo", 1}});
  db->SetCurrentAlbum(a.get());
  log->Take();
  db->DeleteAlbum(b.get());
  EXPECT_EQ(log->Take(), Codes({8}));
  EXPECT_EQ(db->CurrentAlbum(), a.get());
  auto sameAsCurrent = std::make_unique<TReelsmithAlbum>(db.get(), a->Handle());
  db->DeleteAlbum(sameAsCurrent.get());
  EXPECT_EQ(log->Take(), Codes({5, 6, 7, 8}));
  EXPECT_EQ(db->CurrentAlbum(), nullptr);
  EXPECT_EQ(db->GetAllAlbums().Count(), 0);
  EXPECT_EQ(db->GetAllArtists().Count(), 0);
}

TEST_F(RsdbTest, DeferredEventsArriveOnceEachInTheOrderOfTheirLatestOccurrence) {
  db->SetDeferEvents(true);
  db->Notify(dbeRecordsAdded);
  db->Notify(dbeTapeMarkChanged);
  db->Notify(dbeRecordsAdded);
  db->SetEditing(false);
  EXPECT_TRUE(log->Take().empty());
  db->SetDeferEvents(false);
  EXPECT_EQ(log->Take(), Codes({11, 9, 7}));

  db->SetDeferEvents(true);
  db->SetDeferEvents(true);  // no nesting count: one false ends both
  db->Notify(dbeSaved);
  db->SetDeferEvents(false);
  EXPECT_EQ(log->Take(), Codes({3}));
  db->SetDeferEvents(false);
  EXPECT_TRUE(log->Take().empty());

  // A listener that defers again while the queue is delivered keeps the rest queued,
  // and the code it raises again is heard again rather than dropped.
  TNotifyLink echo;
  echo.SetDataSource(db.get());
  bool echoed = false;
  echo.OnNotify = [&](TReelsmithDB* sender, const TReelsmithDBEventInfo& info) {
    if (info.Event() == dbeSortChanged && !echoed) {
      echoed = true;
      sender->SetDeferEvents(true);
      sender->Notify(dbeSortChanged);
    }
  };
  db->SetDeferEvents(true);
  db->Notify(dbeSortChanged);
  db->Notify(dbeFieldsChanged);
  db->SetDeferEvents(false);
  EXPECT_EQ(log->Take(), Codes({10}));
  EXPECT_TRUE(db->DeferEvents());
  db->SetDeferEvents(false);
  EXPECT_EQ(log->Take(), Codes({4, 10}));
}

TEST_F(RsdbTest, FieldDefinitionsAndAlbumFieldValues) {
  db->SetUserChoiceFieldItem(1, 0, "Jazz");
  db->SetUserChoiceFieldItem(1, 1, QString::fromUtf8("Rock • Pop"));
  db->SetUserChoiceFieldInfo(1, "Genre", 2);
  db->SetUserTextFieldInfo(2, QString::fromUtf8("Étiquette du disque xyz"), true);  // 23 chars
  EXPECT_EQ(log->Take(), Codes({4, 4, 4, 4}));

  int count = -5;
  QString label;
  db->GetUserChoiceFieldInfo(1, count, label);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(label, "Genre");
  bool flag = false;
  db->GetUserTextFieldInfo(2, flag, label);
  EXPECT_TRUE(flag);
  EXPECT_EQ(label, QString::fromUtf8("Étiquette du disque "));  // the library keeps 20
  EXPECT_EQ(db->GetUserChoiceFieldItem(1, 1), QString::fromUtf8("Rock • Pop"));

  db->GetAlbumFieldInfo(3, flag, label);
  EXPECT_TRUE(flag);
  EXPECT_EQ(label, "Genre");
  db->GetAlbumFieldInfo(4, flag, label);
  EXPECT_FALSE(flag);
  flag = true;
  db->GetAlbumFieldInfo(9, flag, label);  // beyond the fields in use
  EXPECT_FALSE(flag);
  EXPECT_EQ(label, QString());
  EXPECT_EQ(db->GetMediumName(2), "Cassette");
  EXPECT_EQ(db->GetMediumName(5), "3\" CD");
  EXPECT_EQ(db->GetAlbumChoiceFieldItem(3, 0), "Jazz");

  auto rock = Album("Rocks", {{"One", 60, "Solo", 1}}, 3, 2, "Blue Note");
  auto plain = Album("Plain", {{"Two", 60, "Solo", 1}, {"Three", 60, "Duo", 2}});
  EXPECT_EQ(rock->FieldItemIndex(3), 1);
  EXPECT_EQ(rock->FieldText(3), QString::fromUtf8("Rock • Pop"));
  EXPECT_EQ(rock->FieldText(4), "Blue Note");
  EXPECT_EQ(rock->FieldText(0), "Rocks");
  EXPECT_EQ(rock->FieldText(1), "Solo");
  EXPECT_EQ(rock->MediumIndex(), 2);
  EXPECT_EQ(rock->MediumName(), "Cassette");
  EXPECT_EQ(rock->FieldText(2), "Cassette");
  EXPECT_EQ(plain->FieldItemIndex(3), -1);
  EXPECT_EQ(plain->FieldText(3), QString());
  EXPECT_EQ(plain->FieldText(1), QString());  // two artists
  EXPECT_EQ(plain->MediumIndex(), -1);
  EXPECT_EQ(plain->MediumName(), QString());
}

TEST_F(RsdbTest, RecordCreationAndTapeMarksAnnounceThemselves) {
  auto abba = TReelsmithArtist::CreateNew(db.get(), "Abba");
  auto again = TReelsmithArtist::CreateNew(db.get(), "ABBA");  // the existing artist
  EXPECT_EQ(again->Handle(), abba->Handle());
  EXPECT_EQ(abba->DisplayName(), "ABBA");
  auto album = TReelsmithAlbum::CreateNew(db.get(), "Gold", "", "", 1, 0, 0);
  EXPECT_EQ(log->Take(), Codes({9, 9, 9}));

  album->BeginAddSong();
  auto song = album->AddSong("Waterloo", 167, *abba, 1);
  EXPECT_TRUE(log->Take().empty());
  EXPECT_EQ(db->GetAllSongs().Count(), 0);  // not in the song order before the finish
  album->FinishAddSong();
  EXPECT_EQ(log->Take(), Codes({9}));
  EXPECT_EQ(db->GetAllSongs().Count(), 1);

  db->SetFileName(dir.filePath("tape.mus"));
  ASSERT_TRUE(db->Save());
  EXPECT_FALSE(song->UsedOnTape());
  log->Take();
  song->SetUsedOnTape(false);  // unchanged, yet the library is told and it is announced
  EXPECT_TRUE(db->Changed());
  song->SetUsedOnTape(true);
  EXPECT_TRUE(song->UsedOnTape());
  EXPECT_EQ(log->Take(), Codes({11, 11}));
}

// Albums from files and merges can hold more songs than the program enters (100).
TEST_F(RsdbTest, AlbumAndArtistQueriesHoldAlbumsOfAnySize) {
  auto solo = TReelsmithArtist::CreateNew(db.get(), "Solo");
  auto big = TReelsmithAlbum::CreateNew(db.get(), "Big", "", "", 0, 0, 0);
  big->BeginAddSong();
  for (int i = 0; i < 230; ++i)
    big->AddSong(QString("S%1").arg(i, 3, 10, QChar('0')), 60, *solo, i + 1);
  // Mid-batch the library counts none of them yet.
  EXPECT_EQ(solo->Songs().Count(), 230);
  EXPECT_EQ(big->Songs().Count(), 230);
  big->FinishAddSong();

  auto huge = TReelsmithAlbum::CreateNew(db.get(), "Huge", "", "", 0, 0, 0);
  huge->BeginAddSong();
  for (int i = 0; i < 250; ++i) {
    auto artist = TReelsmithArtist::CreateNew(db.get(), QString("Artist %1").arg(i));
    huge->AddSong(QString("T%1").arg(i), 60, *artist, i + 1);
  }
  EXPECT_EQ(huge->Songs().Count(), 250);
  huge->FinishAddSong();
  EXPECT_EQ(huge->Songs().Count(), 250);
  EXPECT_EQ(huge->Artists().Count(), 250);
  EXPECT_EQ(db->GetAllSongs().Count(), 480);
}

TEST_F(RsdbTest, ASongTheFullLibraryRefusesRaisesInsteadOfVanishing) {
  auto artist = TReelsmithArtist::CreateNew(db.get(), "Prolific");
  // 150 albums of 100 songs: 15,000, the library's limit. Each batch sorts before the
  // last so that merging it into the song order stays short.
  for (int a = 0; a < 150; ++a) {
    auto album = TReelsmithAlbum::CreateNew(db.get(), QString("Album %1").arg(a), "", "", 0, 0, 0);
    album->BeginAddSong();
    for (int s = 0; s < 100; ++s)
      album->AddSong(QString("Song %1").arg((149 - a) * 100 + s, 5, 10, QChar('0')), 60, *artist,
                     s + 1);
    album->FinishAddSong();
  }
  ASSERT_EQ(db->GetAllSongs().Count(), 15000);
  auto last = TReelsmithAlbum::CreateNew(db.get(), "One too many", "", "", 0, 0, 0);
  last->BeginAddSong();
  try {
    last->AddSong("Extra", 60, *artist, 1);
    ADD_FAILURE() << "a refused song passed silently";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Unable to add song");
  }
  last->FinishAddSong();
  EXPECT_EQ(db->ErrorText(), "The database is full.");
  EXPECT_EQ(last->Songs().Count(), 0);
  EXPECT_EQ(db->GetAllSongs().Count(), 15000);

  // An album stored into the full catalogue adds its artist before the song is refused;
  // that artist stays without songs, and its lists are empty.
  auto newcomer = TReelsmithArtist::CreateNew(db.get(), "Newcomer");
  last->BeginAddSong();
  EXPECT_THROW(last->AddSong("Debut", 60, *newcomer, 1), Exception);
  last->FinishAddSong();
  EXPECT_EQ(newcomer->Songs().Count(), 0);
  EXPECT_EQ(newcomer->Albums().Count(), 0);
  EXPECT_EQ(artist->Albums().Count(), 150);
}

TEST(RsdbSearch, TheDefaultSearchTakesTheLibraryBesideTheProgram) {
  TReelsmithDB db;
  EXPECT_EQ(db.objectName(), "ReelsmithDB");
  EXPECT_EQ(QFileInfo(db.LibraryPath()).canonicalFilePath(),
            QFileInfo(RS_BIN_DIR "/libReelsmithDB.so.1").canonicalFilePath());
}

}  // namespace
