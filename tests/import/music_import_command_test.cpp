#include "app_test_environment.h"

#include "album/album_store.h"
#include "catalogue/catalogue_window.h"
#include "client/client_test_environment.h"
#include "client/database.h"
#include "import/import_preview_window.h"
#include "import/music_import_command.h"
#include "music_files.h"
#include "platform/profile.h"
#include "select/album_selector.h"
#include "shell/cancel_dialog.h"
#include "shell/cancel_dialog_wrapper.h"
#include "shell/file_dialogs.h"
#include "shell/message_dialog.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

namespace {

// One folder of generated music files for the whole program: every format, a set of two discs,
// files without tags, accents, text the catalogue cannot hold, a 120-song album, an album the
// catalogue already has and damaged files.
class MusicFolder {
 public:
  MusicFolder() {
    formats_ = musictest::MakeTemplates(templates_.path());
    const auto put = [this](const char* ending, const QString& path, const musictest::TTags& t) {
      ok_ = ok_ && musictest::WriteTagged(Template(ending), Path(path), t);
    };
    musictest::TTags t;
    t.album = QStringLiteral("Twin Set");
    t.artist = QStringLiteral("The Band");
    t.genre = QStringLiteral("rock");
    t.year = 1984;
    const char* discOne[] = {"flac", "mp3", "ogg"};
    for (int i = 0; i < 3; ++i) {
      t.disc = 1;
      t.track = i + 1;
      t.title = QStringLiteral("Disc one song %1").arg(i + 1);
      put(discOne[i], QStringLiteral("Twin Set/CD1/%1.%2").arg(i + 1).arg(discOne[i]), t);
    }
    const char* discTwo[] = {"opus", "m4a"};
    for (int i = 0; i < 2; ++i) {
      t.disc = 2;
      t.track = i + 1;
      t.title = QStringLiteral("Disc two song %1").arg(i + 1);
      put(discTwo[i], QStringLiteral("Twin Set/CD2/%1.%2").arg(i + 1).arg(discTwo[i]), t);
    }
    // No tags at all: the folder names the album, the files the songs.
    put("wma", QStringLiteral("Loose Ends/B side.wma"), {});
    put("aiff", QStringLiteral("Loose Ends/A side.aiff"), {});
    // Several artists, accents and a name the catalogue cannot hold.
    musictest::TTags mix;
    mix.album = QStringLiteral("F\u00eate de la musique");
    mix.albumArtist = QStringLiteral("Various Artists");
    mix.artist = QStringLiteral("\u00c9dith");
    mix.title = QStringLiteral("Chanson d'\u00e9t\u00e9");
    mix.track = 1;
    put("wav", QStringLiteral("Mix/1.wav"), mix);
    mix.artist = QStringLiteral("\u0412\u0430\u043d\u044f");
    mix.title = QStringLiteral("\u041f\u0435\u0441\u043d\u044f");
    mix.track = 2;
    put("mp3", QStringLiteral("Mix/2.mp3"), mix);
    // 120 songs.
    musictest::TTags big;
    big.album = QStringLiteral("Marathon");
    big.artist = QStringLiteral("Orchestra");
    for (int i = 1; i <= 120; ++i) {
      big.track = i;
      big.title = QStringLiteral("Movement %1").arg(i);
      put("ogg", QStringLiteral("Marathon/%1.ogg").arg(i, 3, 10, QLatin1Char('0')), big);
    }
    // Already in the catalogue.
    musictest::TTags dup;
    dup.album = QStringLiteral("Old Favourite");
    dup.artist = QStringLiteral("Singer");
    dup.title = QStringLiteral("Evergreen");
    put("flac", QStringLiteral("Old/1.flac"), dup);
    // Damaged and foreign files.
    Write(QStringLiteral("Twin Set/broken.flac"), QByteArray("fLaC\0\0\0\x22garbage", 16));
    Write(QStringLiteral("Twin Set/empty.mp3"), QByteArray());
    Write(QStringLiteral("Twin Set/cover.jpg"), QByteArray(64, 'j'));
  }

  bool Ok() const { return ok_ && formats_.size() == 8; }
  QString Root() const { return music_.path(); }
  QString Path(const QString& rest) const { return music_.path() + QLatin1Char('/') + rest; }

 private:
  QString Template(const char* ending) const {
    return templates_.path() + QStringLiteral("/s.") + QLatin1String(ending);
  }
  void Write(const QString& rest, const QByteArray& bytes) {
    QFile f(Path(rest));
    ok_ = ok_ && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
  }

  QTemporaryDir templates_;
  QTemporaryDir music_;
  QStringList formats_;
  bool ok_ = true;
};

MusicFolder* folder = nullptr;

class MusicImportCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { folder = new MusicFolder; }
  static void TearDownTestSuite() {
    delete folder;
    folder = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(folder->Ok());
    QFile::remove(TProfile::ResolveFileName(QString::fromLatin1(kSettingsFileName)));
    form_ = std::make_unique<TReelsmithForm>(QStringList(), RealLibrary());
    form_->IdleStep();
    db_ = form_->ReelsmithDB();
    // The catalogue keeps the year in a text field and the genre as a choice.
    db_->SetUserTextFieldInfo(1, QStringLiteral("Year"), true);
    db_->SetUserChoiceFieldItem(1, 0, QStringLiteral("Jazz"));
    db_->SetUserChoiceFieldItem(1, 1, QStringLiteral("Rock"));
    db_->SetUserChoiceFieldInfo(1, QStringLiteral("Genre"), 2);
    TAlbumContents old;
    old.title = QStringLiteral("Old Favourite");
    old.songs.push_back({QStringLiteral("Evergreen"), QStringLiteral("Singer"), 200, false});
    std::unique_ptr<TReelsmithAlbum> restored;
    TAlbumStore(*db_).Store(old, nullptr, restored);
  }
  void TearDown() override { form_.reset(); }

  QStringList AlbumTitles() {
    QStringList titles;
    const TOwnerList<TReelsmithAlbum> all = db_->GetAllAlbums();
    for (int i = 0; i < all.Count(); ++i) titles << all.Items(i)->DisplayName();
    return titles;
  }
  TAlbumContents Album(const QString& title) {
    const TOwnerList<TReelsmithAlbum> all = db_->GetAllAlbums();
    for (int i = 0; i < all.Count(); ++i)
      if (all.Items(i)->DisplayName() == title) return ReadAlbumContents(*db_, *all.Items(i));
    ADD_FAILURE() << "no album " << title.toStdString();
    return {};
  }
  static int Row(TImportPreviewWindow* w, const QString& title) {
    for (int i = 0; i < w->AlbumList()->topLevelItemCount(); ++i)
      if (w->AlbumList()->topLevelItem(i)->text(0) == title) return i;
    return -1;
  }
  static bool Checked(TImportPreviewWindow* w, const QString& title) {
    const int row = Row(w, title);
    return row >= 0 && w->AlbumList()->topLevelItem(row)->checkState(0) == Qt::Checked;
  }

  std::unique_ptr<TReelsmithForm> form_;
  TReelsmithDB* db_ = nullptr;
};

TEST_F(MusicImportCommandTest, PreviewShowsAlbumsAndProblemsAndAddStoresTheCheckedOnes) {
  TFolderDialogSeam folderSeam([](const TFolderDialogRequest&) { return folder->Root(); });
  QStringList shown;
  QStringList problems;
  std::map<QString, bool> checked;
  TImportPreviewSeam previewSeam([&](TImportPreviewWindow* const& w) {
    for (int i = 0; i < w->AlbumList()->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* item = w->AlbumList()->topLevelItem(i);
      shown << item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + item->text(2) +
                   QLatin1Char('|') + item->text(3);
      checked[item->text(0)] = item->checkState(0) == Qt::Checked;
    }
    for (int i = 0; i < w->ProblemList()->count(); ++i)
      problems << w->ProblemList()->item(i)->text();
    w->AddButton()->click();
    return w->result();
  });
  int refreshes = 0;
  TNotifyLink counter;
  counter.SetDataSource(db_);
  counter.OnNotify = [&refreshes](TReelsmithDB*, const TReelsmithDBEventInfo& info) {
    if (info.Event() == dbeRecordsAdded) ++refreshes;
  };

  ASSERT_TRUE(form_->Action("AddAlbumsFromMusicFilesMenu")->isEnabled());
  form_->Action("AddAlbumsFromMusicFilesMenu")->trigger();

  // In the order their folders are read.
  EXPECT_EQ(shown, QStringList({"Loose Ends|Unknown Artist|2|0:04",
                                "Marathon (1)|Orchestra|100|3:20", "Marathon (2)|Orchestra|20|0:40",
                                "F\u00eate de la musique|Various Artists|2|0:04",
                                "Old Favourite|Singer|1|0:02", "Twin Set|The Band|5|0:10"}))
      << shown.join('\n').toStdString();
  EXPECT_TRUE(checked["Twin Set"]);
  EXPECT_TRUE(checked["Marathon (2)"]);
  EXPECT_FALSE(checked["F\u00eate de la musique"]);  // a name it cannot hold
  EXPECT_FALSE(checked["Old Favourite"]);            // already there
  const QString all = problems.join('\n');
  EXPECT_TRUE(all.contains(QStringLiteral("Twin Set/broken.flac: ")));
  EXPECT_TRUE(all.contains(QStringLiteral("Twin Set/empty.mp3: empty file.")));
  EXPECT_TRUE(all.contains(QStringLiteral("U+0412")));
  EXPECT_TRUE(all.contains(QStringLiteral("The catalogue already has this album.")));
  EXPECT_TRUE(all.contains(QStringLiteral("split into 2 albums")));

  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(db_->Changed());
  QStringList titles = AlbumTitles();
  titles.sort();
  EXPECT_EQ(titles, QStringList({"Loose Ends", "Marathon (1)", "Marathon (2)", "Old Favourite",
                                 "Twin Set"}));
  const TAlbumContents twin = Album(QStringLiteral("Twin Set"));
  ASSERT_EQ(twin.songs.size(), 5u);
  EXPECT_EQ(twin.songs[0].title, QStringLiteral("Disc one song 1"));
  EXPECT_EQ(twin.songs[3].title, QStringLiteral("Disc two song 1"));
  for (const TAlbumSong& s : twin.songs) {
    EXPECT_EQ(s.time, musictest::kTemplateSeconds);
    EXPECT_EQ(s.artist, QStringLiteral("The Band"));
  }
  EXPECT_EQ(twin.text1, QStringLiteral("1984"));
  EXPECT_EQ(twin.choice1, 2);  // "rock" is the choice "Rock"
  const TAlbumContents loose = Album(QStringLiteral("Loose Ends"));
  ASSERT_EQ(loose.songs.size(), 2u);
  EXPECT_EQ(loose.songs[0].title, QStringLiteral("A side"));
  EXPECT_EQ(Album(QStringLiteral("Marathon (2)")).songs.front().title,
            QStringLiteral("Movement 101"));

  // What was added survives a save and a load.
  QTemporaryDir saved;
  db_->SetFileName(saved.path() + QStringLiteral("/music.mus"));
  ASSERT_TRUE(db_->Save());
  db_->Clear();
  EXPECT_EQ(db_->SongCount(), 0);
  db_->SetFileName(saved.path() + QStringLiteral("/music.mus"));
  ASSERT_TRUE(db_->Load());
  EXPECT_EQ(db_->SongCount(), 1 + 5 + 2 + 120);
  EXPECT_EQ(Album(QStringLiteral("Marathon (1)")).songs.size(), 100u);
}

TEST_F(MusicImportCommandTest, CheckingAnUnstorableAlbumStoresWhatThePreviewSaid) {
  TFolderDialogSeam folderSeam([](const TFolderDialogRequest&) { return folder->Path("Mix"); });
  TImportPreviewSeam previewSeam([&](TImportPreviewWindow* const& w) {
    w->SetChecked(Row(w, QStringLiteral("F\u00eate de la musique")), true);
    w->AddButton()->click();
    return w->result();
  });
  form_->Action("AddAlbumsFromMusicFilesMenu")->trigger();
  const TAlbumContents mix = Album(QStringLiteral("F\u00eate de la musique"));
  ASSERT_EQ(mix.songs.size(), 2u);
  EXPECT_EQ(mix.songs[0].artist, QStringLiteral("\u00c9dith"));
  EXPECT_EQ(mix.songs[0].title, QStringLiteral("Chanson d'\u00e9t\u00e9"));
  EXPECT_EQ(mix.songs[1].artist, QStringLiteral("????"));
}

TEST_F(MusicImportCommandTest, CancelInThePreviewOrTheProgressChangesNothing) {
  const QStringList before = AlbumTitles();
  const bool changedBefore = db_->Changed();
  TFolderDialogSeam folderSeam([](const TFolderDialogRequest&) { return folder->Root(); });
  int previews = 0;
  TImportPreviewSeam previewSeam([&](TImportPreviewWindow* const& w) {
    ++previews;
    w->CancelButton()->click();
    return w->result();
  });
  form_->Action("AddAlbumsFromMusicFilesMenu")->trigger();
  EXPECT_EQ(previews, 1);
  EXPECT_EQ(AlbumTitles(), before);

  // Cancel pressed in the progress dialog as soon as it shows: no preview, nothing read.
  QString message;
  form_->MusicImport()->OnProgress = [&message](TCancelDlgWrapper& progress) {
    ASSERT_NE(progress.Dialog(), nullptr);
    message = progress.Dialog()->MessageLabel->text();
    progress.Dialog()->CancelBtn->click();
  };
  form_->Action("AddAlbumsFromMusicFilesMenu")->trigger();
  form_->MusicImport()->OnProgress = nullptr;
  EXPECT_TRUE(message.startsWith(QString::fromLatin1(kReadingMusicFiles)));
  EXPECT_EQ(previews, 1);
  EXPECT_EQ(AlbumTitles(), before);
  EXPECT_EQ(db_->Changed(), changedBefore);
}

TEST_F(MusicImportCommandTest, RefusedAddKeepsThePreviewOpenAndTheCatalogueAsItWas) {
  // Fill the catalogue to 14,950 songs: the 120-song album no longer fits.
  std::vector<TAlbumContents> filler(150);
  std::vector<const TAlbumContents*> pointers;
  for (size_t i = 0; i < filler.size(); ++i) {
    filler[i].title = QStringLiteral("Filler %1").arg(i);
    for (int s = 0; s < 100; ++s)
      filler[i].songs.push_back({QStringLiteral("S%1").arg(s), QStringLiteral("A"), 60, false});
    pointers.push_back(&filler[i]);
  }
  filler.back().songs.resize(49);
  TAlbumStore(*db_).AddAll(pointers);
  const int songs = db_->SongCount();
  ASSERT_EQ(songs, 14950);

  TFolderDialogSeam folderSeam(
      [](const TFolderDialogRequest&) { return folder->Path("Marathon"); });
  TMessageRecorder messages;
  bool stayedOpen = false;
  TImportPreviewSeam previewSeam([&](TImportPreviewWindow* const& w) {
    w->AddButton()->click();
    stayedOpen = w->result() != QDialog::Accepted;
    return w->result();
  });
  form_->Action("AddAlbumsFromMusicFilesMenu")->trigger();
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_TRUE(messages.Asked()[0].text.startsWith(
      QStringLiteral("The catalogue holds at most 15,000 songs.")));
  EXPECT_EQ(db_->SongCount(), songs);
  EXPECT_FALSE(AlbumTitles().contains(QStringLiteral("Marathon (2)")));
}

TEST_F(MusicImportCommandTest, FolderWithoutMusicSaysSoAndCommandWaitsWhileEditing) {
  QTemporaryDir empty;
  QFile note(empty.path() + QStringLiteral("/readme.txt"));
  ASSERT_TRUE(note.open(QIODevice::WriteOnly));
  note.close();
  TFolderDialogSeam folderSeam([&empty](const TFolderDialogRequest&) { return empty.path(); });
  TMessageRecorder messages;
  TImportPreviewSeam previewSeam([](TImportPreviewWindow* const&) -> int {
    ADD_FAILURE() << "no preview without albums";
    return QDialog::Rejected;
  });
  form_->Action("AddAlbumsFromMusicFilesMenu")->trigger();
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_TRUE(messages.Asked()[0].text.contains(QStringLiteral("1 other files")));

  form_->Action("NewAlbumMenu")->trigger();
  ASSERT_TRUE(db_->Editing());
  EXPECT_FALSE(form_->Action("AddAlbumsFromMusicFilesMenu")->isEnabled());
}

}  // namespace
