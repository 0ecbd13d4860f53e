#include "app_test_environment.h"
#include "colour_contrast.h"

#include "catalogue/album_editor.h"
#include "catalogue/auto_height_panel.h"
#include "catalogue/catalogue_window.h"
#include "catalogue/field_controls.h"
#include "catalogue/fields_dialog.h"
#include "catalogue/songs_grid.h"
#include "client/database.h"
#include "platform/exceptions.h"
#include "platform/profile.h"
#include "select/album_selector.h"
#include "shell/message_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class AlbumEditingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QFile::remove(TProfile::ResolveFileName(QString::fromLatin1(kSettingsFileName)));
    TLibrarySearch search;
    search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
    search.SystemSearch = false;
    form_ = std::make_unique<TReelsmithForm>(QStringList(), search);
    form_->IdleStep();
    db_ = form_->ReelsmithDB();
  }
  void TearDown() override { form_.reset(); }

  TReelsmithFieldCtrl* Field(int i) const { return form_->FieldCtrl(i); }
  TSongsGrid* Grid() const { return form_->SongsGrid(); }
  void Command(const char* name) { form_->Action(name)->trigger(); }
  void Type(int field, const QString& text) {
    Field(field)->Edit()->clear();
    // Typed as a key sequence where it can be; other scripts go in as an input method puts them.
    bool ascii = true;
    for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
    if (ascii)
      QTest::keyClicks(Field(field)->Edit(), text);
    else
      Field(field)->Edit()->insert(text);
  }
  void Row(int n, const QString& title, const QString& artist, const QString& time) {
    Grid()->SetSongTitle(n, title);
    Grid()->SetSongArtist(n, artist);
    Grid()->SetCells(3, n, time);
  }
  // An album stored straight through the library, made current as a selector would.
  TReelsmithAlbum* AddAlbum(const QString& title, int songs, int medium = 1,
                            const std::vector<bool>& marks = {}) {
    TAlbumContents c;
    c.title = title;
    c.medium = medium;
    for (int i = 0; i < songs; ++i)
      c.songs.push_back({QStringLiteral("%1 song %2").arg(title).arg(i + 1),
                         QStringLiteral("Artist"), 60 + i,
                         i < static_cast<int>(marks.size()) && marks[static_cast<size_t>(i)]});
    std::unique_ptr<TReelsmithAlbum> restored;
    TAlbumStore(*db_).Store(c, nullptr, restored);
    return Find(title);
  }
  TReelsmithAlbum* Find(const QString& title) {
    TOwnerList<TReelsmithAlbum> all = db_->GetAllAlbums();
    for (int i = 0; i < all.Count(); ++i) {
      if (all.Items(i)->DisplayName() == title) {
        shown_ = all.Extract(i);
        db_->SetCurrentAlbum(shown_.get());
        return shown_.get();
      }
    }
    return nullptr;
  }
  // Saves the catalogue and loads it again through the library.
  void ReadBack() {
    const QString file = dir_.filePath(QStringLiteral("back.mus"));
    db_->SetFileName(file);
    ASSERT_TRUE(db_->Save()) << db_->ErrorText().toStdString();
    db_->Clear();
    db_->SetFileName(file);
    ASSERT_TRUE(db_->Load()) << db_->ErrorText().toStdString();
  }

  QTemporaryDir dir_;
  std::unique_ptr<TReelsmithForm> form_;
  TReelsmithDB* db_ = nullptr;
  std::unique_ptr<TReelsmithAlbum> shown_;
};

TEST_F(AlbumEditingTest, NewAlbumTypedAndSavedIsReadBackFromTheFile) {
  // Only the second text field and the second choice field in use: each value must land in the
  // field its control shows.
  db_->SetUserChoiceFieldItem(2, 0, QStringLiteral("Calm"));
  db_->SetUserChoiceFieldItem(2, 1, QStringLiteral("Wild"));
  db_->SetUserChoiceFieldInfo(2, QStringLiteral("Mood"), 2);
  db_->SetUserTextFieldInfo(2, QStringLiteral("Label"), true);
  ASSERT_FALSE(Field(3)->isHidden());
  ASSERT_FALSE(Field(4)->isHidden());
  EXPECT_TRUE(Field(5)->isHidden());
  EXPECT_EQ(Field(3)->LabelText(), "Mood");
  EXPECT_EQ(Field(3)->FieldType(), ftCombo);
  EXPECT_EQ(Field(4)->FieldType(), ftEdit);

  EXPECT_TRUE(form_->Action("NewAlbumMenu")->isEnabled());
  EXPECT_FALSE(form_->Action("SaveChangesMenu")->isEnabled());
  Command("NewAlbumMenu");
  ASSERT_TRUE(db_->Editing());
  EXPECT_FALSE(form_->Action("NewAlbumMenu")->isEnabled());
  EXPECT_TRUE(form_->Action("SaveChangesMenu")->isEnabled());
  EXPECT_TRUE(form_->Action("InsertSongMenu")->isEnabled());
  EXPECT_FALSE(Field(0)->Edit()->isReadOnly());
  EXPECT_EQ(Grid()->RowCount(), 101);
  // A new album starts on the first choice of every choice field.
  EXPECT_EQ(Field(2)->ItemText(), "CD");
  EXPECT_EQ(Field(3)->ItemIndex(), 0);

  Type(0, QStringLiteral("Blue Train  "));
  Type(1, QStringLiteral("John Coltrane"));
  Field(2)->Combo()->setCurrentIndex(1);
  Field(3)->Combo()->setCurrentIndex(1);
  Type(4, QStringLiteral("Blue Note"));
  Row(1, "Blue Train", "", "10:43");
  Row(2, "Moment's Notice", "", " 9:10 ");
  Row(3, "Locomotion", "Lee Morgan", "7:14");
  TMessageRecorder messages;
  Command("SaveChangesMenu");
  EXPECT_TRUE(messages.Asked().empty());
  EXPECT_FALSE(db_->Editing());
  EXPECT_EQ(db_->CurrentAlbum(), nullptr);
  EXPECT_TRUE(Field(0)->Text().isEmpty());
  EXPECT_FALSE(db_->DeferEvents());

  ReadBack();
  TOwnerList<TReelsmithAlbum> albums = db_->GetAllAlbums();
  ASSERT_EQ(albums.Count(), 1);
  const TReelsmithAlbum* album = albums.Items(0);
  EXPECT_EQ(album->DisplayName(), "Blue Train");
  EXPECT_EQ(album->MediumName(), "LP");
  EXPECT_EQ(album->FieldItemIndex(3), 1);
  EXPECT_EQ(album->FieldText(4), "Blue Note");
  TOwnerList<TReelsmithSong> songs = album->Songs();
  ASSERT_EQ(songs.Count(), 3);
  EXPECT_EQ(songs.Items(1)->DisplayName(), "Moment's Notice");
  EXPECT_EQ(songs.Items(1)->Time(), 550);
  EXPECT_EQ(songs.Items(0)->Artist()->DisplayName(), "John Coltrane");
  EXPECT_EQ(songs.Items(2)->Artist()->DisplayName(), "Lee Morgan");
}

TEST_F(AlbumEditingTest, TrailingTabsAndBlanksGoBeforeTheChecksLeadingOnesStay) {
  db_->SetUserTextFieldInfo(1, QStringLiteral("Label"), true);
  Command("NewAlbumMenu");
  // A title of tabs and blanks is no title.
  Field(0)->Edit()->setText(QStringLiteral("\t \t"));
  Field(1)->Edit()->setText(QStringLiteral("Band"));
  Row(1, "Song", "", "1:00");
  TMessageRecorder messages;
  Command("SaveChangesMenu");
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text, "Please enter an album title.");
  EXPECT_EQ(Field(0)->Text(), "");

  Field(0)->Edit()->setText(QStringLiteral("\tBlue Train \t"));
  Field(1)->Edit()->setText(QStringLiteral(" Coltrane\t"));
  Field(3)->Edit()->setText(QStringLiteral("Blue Note\t "));
  Row(1, "\tLocomotion\t", "", "7:14\t");  // a time with a tab after it is still a time
  Row(2, "Lazy Bird", "\tLee Morgan \t", "7:00");
  Row(3, "\t", "", " \t");  // nothing but tabs and blanks: no third song
  Command("SaveChangesMenu");
  ASSERT_EQ(messages.Asked().size(), 1u) << messages.Asked().back().text.toStdString();
  ASSERT_FALSE(db_->Editing());

  const TOwnerList<TReelsmithAlbum> albums = db_->GetAllAlbums();
  ASSERT_EQ(albums.Count(), 1);
  const TReelsmithAlbum* album = albums.Items(0);
  EXPECT_EQ(album->DisplayName(), "\tBlue Train");
  EXPECT_EQ(album->FieldText(3), "Blue Note");
  const TOwnerList<TReelsmithSong> songs = album->Songs();
  ASSERT_EQ(songs.Count(), 2);
  EXPECT_EQ(songs.Items(0)->DisplayName(), "\tLocomotion");
  EXPECT_EQ(songs.Items(0)->Time(), 434);
  EXPECT_EQ(songs.Items(0)->Artist()->DisplayName(), " Coltrane");
  EXPECT_EQ(songs.Items(1)->Artist()->DisplayName(), "\tLee Morgan");
}

TEST_F(AlbumEditingTest, ChecksReportInOrderAndPutTheCursorOnTheFault) {
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  Command("NewAlbumMenu");
  TMessageRecorder messages;
  auto save = [&] {
    const size_t before = messages.Asked().size();
    Command("SaveChangesMenu");
    EXPECT_TRUE(db_->Editing());
    return messages.Asked().size() == before + 1 ? messages.Asked().back().text : QString();
  };
  EXPECT_EQ(save(), "Please enter an album title.");
  EXPECT_EQ(messages.Asked().back().type, mtError);
  EXPECT_TRUE(Field(0)->Edit()->hasFocus());
  Type(0, QStringLiteral("Album"));
  EXPECT_EQ(save(), "Please enter at least one song.");
  EXPECT_EQ(Grid()->Row(), 1);
  EXPECT_EQ(Grid()->Col(), 1);
  Row(1, "One", "", "3:5");
  EXPECT_EQ(save(), "Please enter an artist for the album.");
  Type(1, QStringLiteral("Someone"));
  EXPECT_EQ(save(), "Please enter a valid time for the song, in the format MM:SS.");
  EXPECT_EQ(Grid()->Col(), 3);
  Row(1, "One", "", "1100:00");
  EXPECT_EQ(save(), "Please enter a valid time for the song, in the format MM:SS.");
  Row(1, "One", "", "3:75");
  Row(3, "Three", "", "");
  EXPECT_EQ(save(), "There is a gap in the songs.");
  EXPECT_EQ(Grid()->Row(), 3);
  EXPECT_TRUE(Grid()->hasFocus());

  // A single without a title is stored under its medium in brackets.
  Row(3, "", "", "");
  Field(0)->Edit()->clear();
  Field(2)->Combo()->setCurrentIndex(4);
  Command("SaveChangesMenu");
  EXPECT_FALSE(db_->Editing());
  ASSERT_NE(Find(QStringLiteral("[45]")), nullptr);
  EXPECT_EQ(db_->CurrentAlbum()->Songs().Items(0)->Time(), 255);
}

TEST_F(AlbumEditingTest, EditCancelAndDeleteAskTheCassetteFirst) {
  AddAlbum(QStringLiteral("Kind of Blue"), 3);
  AddAlbum(QStringLiteral("Giant Steps"), 2);
  TReelsmithAlbum* album = Find(QStringLiteral("Kind of Blue"));
  ASSERT_NE(album, nullptr);
  EXPECT_EQ(Field(0)->Text(), "Kind of Blue");
  EXPECT_TRUE(form_->Action("EditAlbumMenu")->isEnabled());

  bool onCassette = true;
  int removed = 0;
  form_->AlbumEditor()->HasMusic = [&](const TReelsmithAlbum&) { return onCassette; };
  form_->AlbumEditor()->RemoveMusic = [&](const TReelsmithAlbum&) { ++removed; };
  TMessageRecorder messages;
  messages.Answer(mrNo);
  Command("EditAlbumMenu");
  EXPECT_FALSE(db_->Editing());
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text,
            "Some songs on this album are also on the cassette insert. If you proceed, they will "
            "be removed from the insert.  Do you want to proceed?");
  EXPECT_EQ(messages.Asked()[0].type, mtWarning);
  messages.Answer(mrYes);
  Command("EditAlbumMenu");
  EXPECT_TRUE(db_->Editing());
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(Grid()->SongTitle(3), "Kind of Blue song 3");

  Type(0, QStringLiteral("Changed"));
  Row(1, "Other", "", "1:00");
  Command("DeleteAlbumMenu");  // disabled while editing, and does nothing
  Command("CancelEditingMenu");
  EXPECT_FALSE(db_->Editing());
  ASSERT_NE(db_->CurrentAlbum(), nullptr);
  EXPECT_EQ(Field(0)->Text(), "Kind of Blue");
  EXPECT_EQ(Grid()->SongTitle(1), "Kind of Blue song 1");
  EXPECT_EQ(db_->AlbumCount(), 2);

  messages.Answer(mrNo);
  Command("DeleteAlbumMenu");
  EXPECT_EQ(db_->AlbumCount(), 2);
  onCassette = false;
  const size_t asked = messages.Asked().size();
  Command("DeleteAlbumMenu");
  EXPECT_EQ(messages.Asked().size(), asked);  // no other confirmation
  EXPECT_EQ(db_->AlbumCount(), 1);
  EXPECT_EQ(db_->SongCount(), 2);
  EXPECT_EQ(db_->CurrentAlbum(), nullptr);
  EXPECT_FALSE(form_->Action("DeleteAlbumMenu")->isEnabled());
}

TEST_F(AlbumEditingTest, EditKeepsHiddenMarksUnsetChoicesAndEverySong) {
  ASSERT_FALSE(Grid()->MarkSongsUsedOnTape());
  // 120 songs, more than the sheet's 100 rows; songs 2 and 110 are on a tape; no medium.
  std::vector<bool> marks(120, false);
  marks[1] = marks[109] = true;
  AddAlbum(QStringLiteral("Box Set"), 120, 0, marks);
  ASSERT_EQ(db_->CurrentAlbum()->MediumIndex(), -1);
  Command("EditAlbumMenu");
  ASSERT_TRUE(db_->Editing());
  EXPECT_EQ(Field(2)->ItemIndex(), -1);  // an album being changed keeps "none"
  EXPECT_EQ(Grid()->RowCount(), 121);
  // A new first song moves every mark down with its song.
  Grid()->FocusCell(1, 1);
  Command("InsertSongMenu");
  EXPECT_EQ(Grid()->RowCount(), 122);
  EXPECT_TRUE(Grid()->SongTitle(1).isEmpty());
  EXPECT_EQ(Grid()->SongTitle(121), "Box Set song 120");
  Row(1, "Intro", "", "0:30");
  TMessageRecorder messages;
  Command("SaveChangesMenu");
  EXPECT_TRUE(messages.Asked().empty());
  ASSERT_FALSE(db_->Editing());

  ReadBack();
  ASSERT_NE(Find(QStringLiteral("Box Set")), nullptr);
  const TReelsmithAlbum* album = db_->CurrentAlbum();
  EXPECT_EQ(album->MediumIndex(), -1);
  TOwnerList<TReelsmithSong> songs = album->Songs();
  ASSERT_EQ(songs.Count(), 121);
  EXPECT_EQ(songs.Items(0)->DisplayName(), "Intro");
  for (int i = 0; i < songs.Count(); ++i)
    EXPECT_EQ(songs.Items(i)->UsedOnTape(), i == 2 || i == 110) << i;
}

TEST_F(AlbumEditingTest, InsertAndDeleteSongMoveTheRowsOfAFullSheet) {
  Command("NewAlbumMenu");
  for (int n = 1; n <= 100; ++n) Row(n, QStringLiteral("S%1").arg(n), "", "1:00");
  Grid()->FocusCell(2, 50);
  Command("InsertSongMenu");
  EXPECT_EQ(Grid()->RowCount(), 102);  // grown, not dropped
  EXPECT_TRUE(Grid()->SongTitle(50).isEmpty());
  EXPECT_EQ(Grid()->SongTitle(51), "S50");
  EXPECT_EQ(Grid()->SongTitle(101), "S100");
  EXPECT_EQ(Grid()->Cells(0, 101), "101");
  Command("DeleteSongMenu");
  EXPECT_EQ(Grid()->SongTitle(50), "S50");
  EXPECT_TRUE(Grid()->SongTitle(101).isEmpty());
  // The last row of a sheet: deleting empties it.
  Grid()->FocusCell(1, 101);
  Row(101, "Last", "", "");
  Command("DeleteSongMenu");
  EXPECT_TRUE(Grid()->SongTitle(101).isEmpty());
  EXPECT_EQ(Grid()->SongTitle(100), "S100");
}

TEST_F(AlbumEditingTest, FailedStoreKeepsTheOldAlbumTheEditAndNoOpenBatch) {
  AddAlbum(QStringLiteral("Original"), 4, 2);
  const int songs = db_->SongCount();
  Command("EditAlbumMenu");
  Type(0, QStringLiteral("Renamed"));
  Row(2, "Typed", "", "2:00");
  form_->AlbumEditor()->Store().OnSongAdded = [](int i) {
    if (i == 1) throw Exception("Unable to add song");
  };
  TMessageRecorder messages;
  Command("SaveChangesMenu");
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text, "Unable to add song");
  EXPECT_FALSE(db_->DeferEvents());
  EXPECT_TRUE(db_->Editing());
  EXPECT_EQ(Field(0)->Text(), "Renamed");
  EXPECT_EQ(Grid()->SongTitle(2), "Typed");
  EXPECT_EQ(db_->AlbumCount(), 1);
  EXPECT_EQ(db_->SongCount(), songs);
  EXPECT_EQ(db_->GetAllAlbums().Items(0)->DisplayName(), "Original");
  EXPECT_EQ(form_->AlbumSelector1()->Records().Count(), 1);
  EXPECT_EQ(form_->AlbumSelector1()->Records().Items(0)->DisplayName(), "Original");

  // Cancel returns to the old album, now under its new handle.
  Command("CancelEditingMenu");
  EXPECT_EQ(Field(0)->Text(), "Original");
  EXPECT_EQ(Field(2)->ItemText(), "LP");
  // A second try stores, which an open song batch would forbid.
  form_->AlbumEditor()->Store().OnSongAdded = nullptr;
  Command("EditAlbumMenu");
  Type(0, QStringLiteral("Renamed"));
  Command("SaveChangesMenu");
  EXPECT_FALSE(db_->Editing());
  EXPECT_EQ(db_->GetAllAlbums().Items(0)->DisplayName(), "Renamed");
  EXPECT_EQ(db_->SongCount(), songs);
}

TEST_F(AlbumEditingTest, FullCatalogueTakesAnEditButRefusesANewAlbumUnchanged) {
  AddAlbum(QStringLiteral("Huge"), TReelsmithDB::kMaxRecords - 2);
  AddAlbum(QStringLiteral("Small"), 2);
  ASSERT_EQ(db_->SongCount(), TReelsmithDB::kMaxRecords);
  Command("EditAlbumMenu");
  Type(0, QStringLiteral("Small Renamed"));
  TMessageRecorder messages;
  Command("SaveChangesMenu");
  EXPECT_TRUE(messages.Asked().empty());
  EXPECT_FALSE(db_->Editing());

  Command("NewAlbumMenu");
  Type(0, QStringLiteral("One Too Many"));
  Type(1, QStringLiteral("Band"));
  Row(1, "Song", "", "1:00");
  Command("SaveChangesMenu");
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text, "The database is full.");
  EXPECT_TRUE(db_->Editing());
  EXPECT_EQ(Field(0)->Text(), "One Too Many");
  EXPECT_EQ(db_->AlbumCount(), 2);
  EXPECT_EQ(db_->SongCount(), TReelsmithDB::kMaxRecords);
}

TEST_F(AlbumEditingTest, NewAlbumBringingTheAlbumsToTheLimitIsStoredAndOneMoreRefused) {
  // Albums without songs straight through the library, named downwards so that each goes in at
  // the head of the list, with their change events gathered into one.
  db_->SetDeferEvents(true);
  for (int i = 0; i < TReelsmithDB::kMaxRecords - 1; ++i)
    TReelsmithAlbum::CreateNew(db_, QStringLiteral("n%1").arg(99999 - i), QString(), QString(), 1,
                               0, 0);
  db_->ResequenceAlbums();
  db_->SetDeferEvents(false);
  ASSERT_EQ(db_->AlbumCount(), TReelsmithDB::kMaxRecords - 1);

  auto typeNew = [this](const QString& title) {
    Command("NewAlbumMenu");
    Type(0, title);
    Type(1, QStringLiteral("Band"));
    Row(1, "Song", "", "1:00");
  };
  TMessageRecorder messages;
  typeNew(QStringLiteral("At The Limit"));
  Command("SaveChangesMenu");
  EXPECT_TRUE(messages.Asked().empty());
  EXPECT_FALSE(db_->Editing());
  EXPECT_EQ(db_->AlbumCount(), TReelsmithDB::kMaxRecords);
  EXPECT_EQ(db_->SongCount(), 1);

  typeNew(QStringLiteral("One Too Many"));
  Command("SaveChangesMenu");
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text, "The database is full.");
  EXPECT_TRUE(db_->Editing());
  EXPECT_EQ(Field(0)->Text(), "One Too Many");
  EXPECT_EQ(db_->AlbumCount(), TReelsmithDB::kMaxRecords);
  EXPECT_EQ(db_->SongCount(), 1);
  EXPECT_EQ(db_->ArtistCount(), 1);
}

TEST_F(AlbumEditingTest, AlbumBringingSongsAndArtistsToTheLimitIsStoredAndOneMoreRefused) {
  // One album whose every song has an artist of its own, named downwards so that each artist
  // goes in at the head of the list.
  TAlbumContents many;
  many.title = QStringLiteral("Many");
  many.medium = 1;
  for (int i = 0; i < TReelsmithDB::kMaxRecords - 2; ++i)
    many.songs.push_back({QStringLiteral("s%1").arg(i, 5, 10, QLatin1Char('0')),
                          QStringLiteral("n%1").arg(99999 - i), 60, false});
  std::unique_ptr<TReelsmithAlbum> restored;
  TAlbumStore(*db_).Store(many, nullptr, restored);
  ASSERT_EQ(db_->SongCount(), TReelsmithDB::kMaxRecords - 2);
  ASSERT_EQ(db_->ArtistCount(), TReelsmithDB::kMaxRecords - 2);

  // Two songs by two new artists: exactly 15,000 of each.
  TMessageRecorder messages;
  Command("NewAlbumMenu");
  Type(0, QStringLiteral("Debut"));
  Type(1, QStringLiteral("Newcomer"));
  Row(1, "First", "", "1:00");
  Row(2, "Second", "Guest", "2:00");
  Command("SaveChangesMenu");
  EXPECT_TRUE(messages.Asked().empty());
  EXPECT_FALSE(db_->Editing());
  EXPECT_EQ(db_->SongCount(), TReelsmithDB::kMaxRecords);
  EXPECT_EQ(db_->ArtistCount(), TReelsmithDB::kMaxRecords);
  EXPECT_EQ(db_->AlbumCount(), 2);

  // A third song on the stored album, by an artist it already has, is one song too many.
  ASSERT_NE(Find(QStringLiteral("Debut")), nullptr);
  Command("EditAlbumMenu");
  Row(3, "Third", "Guest", "3:00");
  Command("SaveChangesMenu");
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text, "The database is full.");
  EXPECT_TRUE(db_->Editing());
  EXPECT_EQ(Grid()->SongTitle(3), "Third");
  EXPECT_EQ(db_->SongCount(), TReelsmithDB::kMaxRecords);
  EXPECT_EQ(db_->ArtistCount(), TReelsmithDB::kMaxRecords);
  const TOwnerList<TReelsmithAlbum> albums = db_->GetAllAlbums();
  ASSERT_EQ(albums.Count(), 2);
  EXPECT_EQ(albums.Items(0)->DisplayName(), "Debut");
  EXPECT_EQ(albums.Items(0)->Songs().Count(), 2);
}

TEST_F(AlbumEditingTest, TapeMarksAndNewFieldsLeaveTypedValuesAlone) {
  AddAlbum(QStringLiteral("Marked"), 2);
  Command("EditAlbumMenu");
  Type(0, QStringLiteral("Typed title"));
  Row(1, "Typed song", "", "1:00");
  // A cassette's Mark elsewhere, then new field definitions from the fields dialog.
  db_->GetAllSongs().Items(1)->SetUsedOnTape(true);
  db_->SetUserTextFieldInfo(1, QStringLiteral("Notes"), true);
  EXPECT_EQ(Field(0)->Text(), "Typed title");
  EXPECT_EQ(Grid()->SongTitle(1), "Typed song");
  EXPECT_FALSE(Field(3)->isHidden());
  EXPECT_FALSE(Field(3)->Edit()->isReadOnly());
}

TEST_F(AlbumEditingTest, FieldsDialogStoresEditedGroupsAndRefusesAGapInTheChoices) {
  const int fullHeight = form_->FieldsPanel()->height();
  Command("DBFieldsMenu");
  TDatabaseFieldDlg* dlg = form_->DatabaseFieldDlg();
  ASSERT_TRUE(dlg->isVisible());
  EXPECT_EQ(dlg->windowTitle(), "Database Fields");
  EXPECT_EQ(dlg->NameEdit(TDatabaseFieldDlg::kText1)->maxLength(), 20);
  EXPECT_EQ(dlg->ChoiceGrid(0)->rowCount(), 50);

  QTest::keyClicks(dlg->NameEdit(TDatabaseFieldDlg::kChoice1), QStringLiteral("Mood"));
  dlg->EnabledBox(TDatabaseFieldDlg::kChoice1)->setChecked(true);
  dlg->ChoiceGrid(0)->item(0, 0)->setText(QStringLiteral("Calm"));
  dlg->ChoiceGrid(0)->item(2, 0)->setText(QStringLiteral("Wild"));
  QTest::keyClicks(dlg->NameEdit(TDatabaseFieldDlg::kText1), QStringLiteral("Notes"));
  dlg->EnabledBox(TDatabaseFieldDlg::kText1)->setChecked(true);
  TMessageRecorder messages;
  EXPECT_FALSE(dlg->OkClick());
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_TRUE(messages.Asked()[0].text.contains("Multiple Choice Field 1"));
  EXPECT_TRUE(Field(3)->isHidden());  // nothing stored

  dlg->ChoiceGrid(0)->item(1, 0)->setText(QStringLiteral("Warm"));
  EXPECT_TRUE(dlg->OkClick());
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(Field(3)->LabelText(), "Mood");
  EXPECT_EQ(Field(3)->Items(), QStringList({"Calm", "Warm", "Wild"}));
  EXPECT_EQ(Field(4)->LabelText(), "Notes");
  EXPECT_EQ(Field(4)->FieldType(), ftEdit);
  EXPECT_GT(form_->FieldsPanel()->height(), fullHeight);

  // Unchecking a text field takes it out of use; Cancel drops edits.
  Command("DBFieldsMenu");
  EXPECT_EQ(dlg->NameEdit(TDatabaseFieldDlg::kText1)->text(), "Notes");
  dlg->EnabledBox(TDatabaseFieldDlg::kChoice1)->setChecked(false);
  dlg->CancelClick();
  EXPECT_TRUE(dlg->EnabledBox(TDatabaseFieldDlg::kChoice1)->isChecked());
  Command("DBFieldsMenu");
  dlg->EnabledBox(TDatabaseFieldDlg::kText1)->setChecked(false);
  EXPECT_TRUE(dlg->OkClick());
  EXPECT_TRUE(Field(4)->isHidden());
  bool on = true;
  QString name;
  db_->GetUserTextFieldInfo(1, on, name);
  EXPECT_FALSE(on);
  EXPECT_TRUE(name.isEmpty());
}

}  // namespace

namespace {

TEST_F(AlbumEditingTest, ChoosingAnotherAlbumInASelectorAsksBeforeDroppingTheEdit) {
  AddAlbum(QStringLiteral("First"), 1);
  AddAlbum(QStringLiteral("Second"), 1);
  TAlbumSelector* selector = form_->AlbumSelector1();
  db_->SetCurrentSelector(selector);
  auto choose = [selector](int i) {
    selector->FocusCell(selector->FixedCols(), selector->FixedRows() + i);
  };
  choose(0);
  ASSERT_EQ(db_->CurrentAlbum()->DisplayName(), "First");
  Command("EditAlbumMenu");
  Type(0, QStringLiteral("Typed"));

  TMessageRecorder messages;
  messages.Answer(mrNo);
  choose(1);
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].buttons, mbYesNo);
  EXPECT_TRUE(db_->Editing());
  EXPECT_EQ(Field(0)->Text(), "Typed");

  messages.Answer(mrYes);
  choose(0);
  EXPECT_EQ(messages.Asked().size(), 2u);
  EXPECT_FALSE(db_->Editing());
  EXPECT_EQ(Field(0)->Text(), "First");
}

TEST_F(AlbumEditingTest, TextTheCatalogueCannotHoldIsRefusedAndStaysAsTyped) {
  db_->SetUserTextFieldInfo(1, QStringLiteral("Label"), true);
  ASSERT_FALSE(Field(3)->isHidden());
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  Command("NewAlbumMenu");
  TMessageRecorder messages;
  auto refusal = [&] {
    const size_t before = messages.Asked().size();
    Command("SaveChangesMenu");
    EXPECT_TRUE(db_->Editing());
    EXPECT_EQ(db_->AlbumCount(), 0);
    return messages.Asked().size() == before + 1 ? messages.Asked().back().text : QString();
  };
  const QString greek = QString::fromUtf8("Μουσική Νύχτα");
  Type(0, greek);
  Type(1, QStringLiteral("Someone"));
  Row(1, QString::fromUtf8("Party 🎵🎸"), "", "3:00");
  QString message = refusal();
  ASSERT_FALSE(message.isEmpty());
  EXPECT_TRUE(message.contains(Field(0)->LabelText())) << message.toStdString();
  EXPECT_TRUE(message.contains(QString::fromUtf8("\"Μ\""))) << message.toStdString();
  EXPECT_EQ(messages.Asked().back().type, mtError);
  EXPECT_EQ(Field(0)->Text(), greek);
  EXPECT_TRUE(Field(0)->Edit()->hasFocus());

  // Everything Windows-1252 holds goes through; the song's emoji is next.
  const QString western = QString::fromUtf8("Café Niño — €5 «ß»");
  Type(0, western);
  message = refusal();
  EXPECT_TRUE(message.contains("song 1")) << message.toStdString();
  EXPECT_TRUE(message.contains(QString::fromUtf8("\"🎵\""))) << message.toStdString();
  EXPECT_EQ(Grid()->SongTitle(1), QString::fromUtf8("Party 🎵🎸"));
  EXPECT_EQ(Grid()->Row(), 1);
  EXPECT_EQ(Grid()->Col(), 1);
  Row(1, "Party", QString::fromUtf8("音楽の旅"), "3:00");
  message = refusal();
  EXPECT_TRUE(message.contains("artist of song 1")) << message.toStdString();
  EXPECT_EQ(Grid()->Col(), 2);
  Row(1, "Party", "", "3:00");
  Type(3, QString::fromUtf8("Ωmega"));
  message = refusal();
  EXPECT_TRUE(message.startsWith("Label")) << message.toStdString();
  EXPECT_TRUE(Field(3)->Edit()->hasFocus());

  Type(3, QStringLiteral("Blue Note"));
  Command("SaveChangesMenu");
  EXPECT_FALSE(db_->Editing());
  ReadBack();
  TOwnerList<TReelsmithAlbum> albums = db_->GetAllAlbums();
  ASSERT_EQ(albums.Count(), 1);
  EXPECT_EQ(albums.Items(0)->DisplayName(), western);
}

TEST_F(AlbumEditingTest, FieldsDialogRefusesNamesAndChoicesTheCatalogueCannotHold) {
  Command("DBFieldsMenu");
  TDatabaseFieldDlg* dlg = form_->DatabaseFieldDlg();
  ASSERT_TRUE(dlg->isVisible());
  QLineEdit* name = dlg->NameEdit(TDatabaseFieldDlg::kText1);
  name->insert(QString::fromUtf8("Jahr 年"));
  dlg->EnabledBox(TDatabaseFieldDlg::kText1)->setChecked(true);
  TMessageRecorder messages;
  EXPECT_FALSE(dlg->OkClick());
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_TRUE(messages.Asked()[0].text.contains(QString::fromUtf8("\"年\"")));
  EXPECT_TRUE(messages.Asked()[0].text.contains("Text Field 1"));
  EXPECT_EQ(name->text(), QString::fromUtf8("Jahr 年"));
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_TRUE(Field(3)->isHidden());  // nothing stored

  name->clear();
  name->insert(QString::fromUtf8("Année"));
  QTest::keyClicks(dlg->NameEdit(TDatabaseFieldDlg::kChoice1), QStringLiteral("Mood"));
  dlg->EnabledBox(TDatabaseFieldDlg::kChoice1)->setChecked(true);
  QTableWidget* choices = dlg->ChoiceGrid(0);
  choices->item(0, 0)->setText(QStringLiteral("Calm"));
  choices->item(1, 0)->setText(QString::fromUtf8("Ruhig ☺"));
  EXPECT_FALSE(dlg->OkClick());
  ASSERT_EQ(messages.Asked().size(), 2u);
  EXPECT_TRUE(messages.Asked()[1].text.contains("Choice 2 of Multiple Choice Field 1"))
      << messages.Asked()[1].text.toStdString();
  EXPECT_EQ(choices->currentRow(), 1);
  EXPECT_TRUE(Field(3)->isHidden());

  choices->item(1, 0)->setText(QStringLiteral("Wild"));
  EXPECT_TRUE(dlg->OkClick());
  bool on = false;
  QString stored;
  db_->GetUserTextFieldInfo(1, on, stored);
  EXPECT_TRUE(on);
  EXPECT_EQ(stored, QString::fromUtf8("Année"));
  EXPECT_EQ(Field(3)->Items(), QStringList({"Calm", "Wild"}));

  // A choice cell takes no more than a choice keeps.
  Command("DBFieldsMenu");
  choices->setCurrentCell(2, 0);
  choices->edit(choices->model()->index(2, 0));
  auto* cellEditor = choices->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(cellEditor, nullptr);
  EXPECT_EQ(cellEditor->maxLength(), 50);
  dlg->CancelClick();
}

TEST_F(AlbumEditingTest, BoxesTakeNoMoreThanTheCatalogueKeeps) {
  db_->SetUserTextFieldInfo(1, QStringLiteral("Label"), true);
  Command("NewAlbumMenu");
  Type(0, QString(300, QLatin1Char('t')));
  Type(1, QString(60, QLatin1Char('a')));
  Type(3, QString(33, QLatin1Char('l')));
  EXPECT_EQ(Field(0)->Text().size(), 49);
  EXPECT_EQ(Field(1)->Text().size(), 49);
  EXPECT_EQ(Field(3)->Text().size(), 25);
  // The songs grid's title and artist cells hold names too.
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  Grid()->FocusCell(1, 1);
  Grid()->setFocus();
  QTest::keyClick(Grid(), Qt::Key_S);  // opens the cell editor
  QWidget* cellEditor = QApplication::focusWidget();
  ASSERT_TRUE(cellEditor != nullptr && Grid()->isAncestorOf(cellEditor));
  QTest::keyClicks(cellEditor, QString(59, QLatin1Char('s')));
  Grid()->CommitEditor();
  EXPECT_EQ(Grid()->SongTitle(1).size(), 49);

  Command("SaveChangesMenu");
  ASSERT_FALSE(db_->Editing());
  ReadBack();
  TOwnerList<TReelsmithAlbum> albums = db_->GetAllAlbums();
  ASSERT_EQ(albums.Count(), 1);
  EXPECT_EQ(albums.Items(0)->DisplayName(), QString(49, QLatin1Char('t')));
  EXPECT_EQ(albums.Items(0)->FieldText(3), QString(25, QLatin1Char('l')));
}

TEST_F(AlbumEditingTest, ReadOnlyChoicesReadAsTextAndDoNotChange) {
  db_->SetUserChoiceFieldItem(1, 0, QStringLiteral("Calm"));
  db_->SetUserChoiceFieldItem(1, 1, QStringLiteral("Wild"));
  db_->SetUserChoiceFieldInfo(1, QStringLiteral("Mood"), 2);
  AddAlbum(QStringLiteral("Kind of Blue"), 3, 2);
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  QComboBox* medium = Field(2)->Combo();
  ASSERT_EQ(Field(2)->ItemText(), "LP");
  for (const bool dark : {false, true}) {
    QPalette palette = QApplication::style()->standardPalette();
    if (dark) {
      palette.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
      palette.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
      palette.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
      palette.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
      palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
      palette.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    }
    form_->setPalette(palette);
    // The text is drawn in the palette group of an enabled control.
    ASSERT_TRUE(medium->isEnabled());
    const QPalette& used = medium->palette();
    EXPECT_GE(ContrastRatio(used.color(QPalette::Active, QPalette::ButtonText),
                            used.color(QPalette::Active, QPalette::Button)),
              4.5)
        << (dark ? "dark" : "light");
  }
  // Neither keys, the wheel nor a click change a viewed album's value.
  medium->setFocus();
  QTest::keyClick(medium, Qt::Key_Down);
  QTest::keyClick(medium, Qt::Key_End);
  QTest::keyClicks(medium, "c");
  QTest::mouseClick(medium, Qt::LeftButton);
  EXPECT_EQ(Field(2)->ItemText(), "LP");
  EXPECT_FALSE(Field(2)->Modified());
  EXPECT_FALSE(QApplication::activePopupWidget());
  // While editing, the same key does change it.
  Command("EditAlbumMenu");
  medium->setFocus();
  QTest::keyClick(medium, Qt::Key_Down);
  EXPECT_NE(Field(2)->ItemText(), "LP");
  Command("CancelEditingMenu");
}

TEST_F(AlbumEditingTest, TheEmptyPanelLooksTheSameAtStartAndAfterASave) {
  auto panel = [&] {
    QStringList rows;
    for (int r = 0; r < Grid()->RowCount(); ++r)
      rows << Grid()->Cells(0, r) + "|" + Grid()->Cells(1, r);
    return QStringList{Field(2)->ItemText(), QString::number(Field(2)->ItemIndex()),
                       rows.join(';')};
  };
  const QStringList atStart = panel();
  EXPECT_EQ(atStart[0], QString());
  EXPECT_EQ(atStart[1], "-1");
  EXPECT_EQ(atStart[2], "|Title;1|");  // the heading and one empty numbered row
  Command("NewAlbumMenu");
  Type(0, QStringLiteral("Album"));
  Type(1, QStringLiteral("Someone"));
  Row(1, "One", "", "1:00");
  Command("SaveChangesMenu");
  ASSERT_FALSE(db_->Editing());
  EXPECT_EQ(panel(), atStart);
  // A catalogue loaded or cleared shows it too.
  Command("FileNewMenu");
  EXPECT_EQ(panel(), atStart);
}

TEST_F(AlbumEditingTest, TabLeavesAViewedSongsGridAndCtrlTabAnEditedOne) {
  AddAlbum(QStringLiteral("Kind of Blue"), 3);
  form_->show();
  form_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  auto focusInGrid = [&] {
    QWidget* f = QApplication::focusWidget();
    return f != nullptr && (f == Grid() || Grid()->isAncestorOf(f));
  };
  Grid()->setFocus();
  ASSERT_TRUE(focusInGrid());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_FALSE(focusInGrid()) << "Tab stays in a viewed grid";
  Grid()->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_FALSE(focusInGrid()) << "Shift+Tab stays in a viewed grid";

  Command("EditAlbumMenu");
  ASSERT_TRUE(db_->Editing());
  Grid()->FocusCell(1, 1);
  Grid()->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_TRUE(focusInGrid());
  EXPECT_EQ(Grid()->Col(), 2);
  // Ctrl+Tab leaves the grid from the open cell editor too, keeping what was typed.
  QTest::keyClicks(QApplication::focusWidget(), "x");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_FALSE(focusInGrid()) << "Ctrl+Tab stays in an edited grid";
  EXPECT_EQ(Grid()->SongArtist(1), "x");
  Grid()->FocusCell(1, 2);
  Grid()->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                  Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(focusInGrid()) << "Ctrl+Shift+Tab stays in an edited grid";
  Command("CancelEditingMenu");
}

}  // namespace
