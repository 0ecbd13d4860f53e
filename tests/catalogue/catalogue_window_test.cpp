#include "app_test_environment.h"

#include "cassette/cassette_insert_window.h"
#include "catalogue/catalogue_window.h"
#include "catalogue/field_controls.h"
#include "catalogue/find_window.h"
#include "catalogue/songs_grid.h"
#include "client/database.h"
#include "platform/profile.h"
#include "reports/report_dialog.h"
#include "select/album_selector.h"
#include "select/selection_notebook.h"
#include "select/song_selector.h"
#include "shell/cancel_dialog_wrapper.h"
#include "shell/file_dialogs.h"
#include "shell/help_window.h"
#include "shell/last_file.h"
#include "shell/message_dialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <deque>
#include <memory>

namespace {

// Answers file dialogs from a queue (empty = cancelled) and records what was asked.
class TFileAnswers {
 public:
  TFileAnswers()
      : seam_([this](const TFileDialogRequest& r) {
          asked.push_back(r);
          if (answers.empty()) return QString();
          QString a = answers.front();
          answers.pop_front();
          return a;
        }) {}
  std::deque<QString> answers;
  std::vector<TFileDialogRequest> asked;

 private:
  TFileDialogSeam seam_;
};

class CatalogueWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // Each test starts with no settings of its own.
    QFile::remove(TProfile::ResolveFileName(QString::fromLatin1(kSettingsFileName)));
  }
  void TearDown() override {
    form_.reset();
    QDir::setCurrent(startDir_);
  }

  // A window as the program builds it, on the library the tests were built with; the first idle
  // moment runs at once.
  TReelsmithForm& Open(const QStringList& arguments = {}) {
    TLibrarySearch search;
    search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
    search.SystemSearch = false;
    form_ = std::make_unique<TReelsmithForm>(arguments, search);
    form_->OnStartUpLoadError = [this](const QString& text) { startUpErrors_ << text; };
    form_->IdleStep();
    return *form_;
  }

  // A copy of the sample catalogue in the temporary folder.
  QString CopyOf(const QString& source, const QString& name) {
    const QString target = dir_.filePath(name);
    QFile::remove(target);
    EXPECT_TRUE(QFile::copy(source, target));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
  }
  QString Sample(const QString& name = QStringLiteral("rock.mus")) {
    return CopyOf(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"), name);
  }

  // Makes the catalogue changed by adding an album.
  void Change() {
    auto album = TReelsmithAlbum::CreateNew(form_->ReelsmithDB(), QStringLiteral("Extra"),
                                            QString(), QString(), 1, 0, 0);
    ASSERT_TRUE(form_->ReelsmithDB()->Changed());
  }

  bool Enabled(const char* action) const { return form_->Action(action)->isEnabled(); }

  QTemporaryDir dir_;
  QString startDir_ = QDir::currentPath();
  std::unique_ptr<TReelsmithForm> form_;
  QStringList startUpErrors_;
};

TEST_F(CatalogueWindowTest, CaptionShowsTheFileInFrontOfTheProductName) {
  TReelsmithForm& form = Open({Sample()});
  EXPECT_EQ(form.windowTitle(), "rock.mus - Reelsmith 4.2");
  EXPECT_EQ(form.ReelsmithDB()->GetAllAlbums().Count(), form.AlbumSelector1()->Records().Count());
  EXPECT_GT(form.AlbumSelector1()->Records().Count(), 0);
  form.FileNew();
  EXPECT_EQ(form.windowTitle(), "Untitled - Reelsmith 4.2");
  EXPECT_EQ(form.AutoFile()->GetLastFile(), QString());
}

TEST_F(CatalogueWindowTest, BrandCaptionStaysTheBaseCaptionThroughFileCommands) {
  TProfile(QString::fromLatin1(kSettingsFileName)).WriteString("Brand", "Caption", "Jukebox");
  TReelsmithForm& form = Open({Sample()});
  EXPECT_EQ(form.windowTitle(), "rock.mus - Jukebox");
  form.FileNew();
  EXPECT_EQ(form.windowTitle(), "Untitled - Jukebox");
  EXPECT_EQ(form.BaseCaption(), "Jukebox");
}

TEST_F(CatalogueWindowTest, StartUpOpensTheNamedFileElseTheLastElseANewCatalogue) {
  const QString rock = Sample();
  {
    // A relative name is stored as the full path, whatever folder the next start runs in.
    QDir::setCurrent(dir_.path());
    TReelsmithForm& form = Open({QStringLiteral("rock.mus")});
    EXPECT_EQ(form.ReelsmithDB()->FileName(), rock);
    form_.reset();
  }
  QDir::setCurrent(startDir_);
  TAutoFile autoFile;
  autoFile.SetIniFileName(TReelsmithForm::kIniFileName);
  EXPECT_EQ(autoFile.GetLastFile(), rock);

  TReelsmithForm& again = Open();
  EXPECT_EQ(again.ReelsmithDB()->FileName(), rock);
  again.FileNew();
  form_.reset();
  EXPECT_EQ(autoFile.GetLastFile(), QString());
  TReelsmithForm& fresh = Open();
  EXPECT_EQ(fresh.windowTitle(), "Untitled - Reelsmith 4.2");
  EXPECT_TRUE(startUpErrors_.isEmpty());
}

TEST_F(CatalogueWindowTest, FailedLoadLeavesANewUntitledCatalogueThatCannotOverwriteTheFile) {
  const QString damaged = dir_.filePath("damaged.mus");
  {
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a catalogue at all");
  }
  TReelsmithForm& form = Open({damaged});
  ASSERT_EQ(startUpErrors_.size(), 1);
  EXPECT_EQ(form.ReelsmithDB()->FileName(), QString());
  EXPECT_EQ(form.windowTitle(), "Untitled - Reelsmith 4.2");

  // Save now asks for a name instead of writing over the unread file.
  TMessageRecorder messages;
  TFileAnswers files;
  EXPECT_FALSE(form.FileSave());
  ASSERT_EQ(files.asked.size(), 1u);
  EXPECT_EQ(files.asked[0].kind, TFileDialogRequest::Save);
  QFile f(damaged);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "not a catalogue at all");
}

TEST_F(CatalogueWindowTest, RepairedOldFileIsReportedWithTheRepairLog) {
  const QString old = CopyOf(QStringLiteral(RS_FIXTURES_DIR "/v1-duplicate-track.mus"), "old.mus");
  QDir::setCurrent(dir_.path());  // the library writes its log in the working folder
  TMessageRecorder messages;
  Open({old});
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].type, mtWarning);
  EXPECT_TRUE(messages.Asked()[0].text.contains(dir_.filePath("muserror.txt")))
      << messages.Asked()[0].text.toStdString();
  EXPECT_TRUE(startUpErrors_.isEmpty());
}

TEST_F(CatalogueWindowTest, OpenEmptiesTheCatalogueBeforeTheDialogSoCancelLeavesItUntitled) {
  TReelsmithForm& form = Open({Sample()});
  Change();
  TMessageRecorder messages;
  messages.Answer(mrNo);
  TFileAnswers files;  // cancels
  form.FileOpen();
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text, "The current database has changed. Do you want to save it?");
  EXPECT_EQ(form.ReelsmithDB()->GetAllAlbums().Count(), 0);
  EXPECT_EQ(form.windowTitle(), "Untitled - Reelsmith 4.2");

  files.answers.push_back(Sample("jazz.mus"));
  form.FileOpen();
  EXPECT_EQ(form.windowTitle(), "jazz.mus - Reelsmith 4.2");
  EXPECT_EQ(form.AutoFile()->GetLastFile(), dir_.filePath("jazz.mus"));
}

TEST_F(CatalogueWindowTest, SaveFailuresFallBackToSaveAsAndKeepTheNameOnCancel) {
  // Untitled: the library's error, then the Save As dialog; cancelling refuses the close.
  TReelsmithForm& form = Open();
  Change();
  {
    TMessageRecorder messages;
    TFileAnswers files;
    messages.Answer(mrYes);  // save the changes on closing
    messages.Answer(mrOk);   // the library's error
    EXPECT_FALSE(form.close());
    EXPECT_EQ(messages.Asked()[0].text,
              "You have modified your database.  Do you want to save the changes?");
    EXPECT_EQ(messages.Asked()[1].type, mtError);
    EXPECT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(form.ReelsmithDB()->FileName(), QString());
  }
  // A file whose folder has gone: the failed save and a cancelled Save As leave the old name.
  QTemporaryDir gone;
  const QString name = gone.filePath("kept.mus");
  {
    TFileAnswers files;
    files.answers.push_back(name);
    ASSERT_TRUE(form.FileSaveAs());
  }
  Change();
  ASSERT_TRUE(gone.remove());
  TMessageRecorder messages;
  TFileAnswers files;
  EXPECT_FALSE(form.FileSave());
  EXPECT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(form.ReelsmithDB()->FileName(), name);
  EXPECT_EQ(form.AutoFile()->GetLastFile(), name);
  EXPECT_EQ(form.windowTitle(), "kept.mus - Reelsmith 4.2");

  // Save As retries after a failure until the user gives up.
  files.answers = {dir_.filePath("no/such/folder/a.mus"), dir_.filePath("good.mus")};
  messages.Answer(mrOk);
  EXPECT_TRUE(form.FileSaveAs());
  EXPECT_EQ(messages.Asked().back().text,
            "Unable to save file under this name.  Please try another file name.");
  EXPECT_EQ(form.ReelsmithDB()->FileName(), dir_.filePath("good.mus"));
}

TEST_F(CatalogueWindowTest, FailedSaveAtTheSaveQuestionStopsTheCommandAndKeepsTheCatalogue) {
  // The catalogue came from a folder that has gone since (a removed stick): Yes to saving fails,
  // and the user cancels the Save As dialog that follows.
  QTemporaryDir stick;
  const QString name = stick.filePath("tapes.mus");
  ASSERT_TRUE(QFile::copy(QStringLiteral(RS_SOURCE_DIR "/examples/sample.mus"), name));
  QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner);
  TReelsmithForm& form = Open({name});
  Change();
  const int albums = form.ReelsmithDB()->GetAllAlbums().Count();
  ASSERT_TRUE(stick.remove());

  auto expectKept = [&](const char* command) {
    SCOPED_TRACE(command);
    EXPECT_EQ(form.ReelsmithDB()->GetAllAlbums().Count(), albums);
    EXPECT_EQ(form.AlbumSelector1()->Records().Count(), albums);
    EXPECT_TRUE(form.ReelsmithDB()->Changed());
    EXPECT_EQ(form.ReelsmithDB()->FileName(), name);
    EXPECT_EQ(form.AutoFile()->GetLastFile(), name);
    EXPECT_EQ(form.windowTitle(), "tapes.mus - Reelsmith 4.2");
  };
  auto answerYesThenFail = [](TMessageRecorder& messages) {
    messages.Answer(mrYes);  // save the changes
    messages.Answer(mrOk);   // the library's error
  };
  {
    TMessageRecorder messages;
    TFileAnswers files;  // cancels Save As
    answerYesThenFail(messages);
    form.FileNew();
    ASSERT_EQ(messages.Asked().size(), 2u);
    EXPECT_EQ(messages.Asked()[0].text,
              "The current database has changed. Do you want to save it?");
    EXPECT_EQ(messages.Asked()[1].type, mtError);
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].kind, TFileDialogRequest::Save);
    expectKept("New");
  }
  {
    // Open stops before its file dialog.
    TMessageRecorder messages;
    TFileAnswers files;
    files.answers.push_back(QString());  // cancels Save As
    files.answers.push_back(Sample("other.mus"));
    answerYesThenFail(messages);
    form.FileOpen();
    EXPECT_EQ(messages.Asked().size(), 2u);
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].kind, TFileDialogRequest::Save);
    expectKept("Open");
  }
  {
    TMessageRecorder messages;
    TFileAnswers files;
    answerYesThenFail(messages);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(messages.Asked().size(), 2u);
    expectKept("Exit");
  }
}

TEST_F(CatalogueWindowTest, ClosingWhileEditingAsksBothQuestionsBeforeDroppingTheEdit) {
  TReelsmithForm& form = Open({Sample()});
  Change();
  form.ReelsmithDB()->SetEditing(true);
  {
    // Yes to leaving the edit, Cancel to saving: the window stays and so does the edit.
    TMessageRecorder messages;
    messages.Answer(mrYes);
    messages.Answer(mrCancel);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(messages.Asked().size(), 2u);
    EXPECT_EQ(messages.Asked()[0].text,
              "You are editing an album.  Are you sure you want to exit Reelsmith?");
    EXPECT_TRUE(form.ReelsmithDB()->Editing());
  }
  {
    // No to leaving still asks about saving, and the window stays whatever the answer.
    TMessageRecorder messages;
    messages.Answer(mrNo);
    messages.Answer(mrNo);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(messages.Asked().size(), 2u);
    EXPECT_TRUE(form.ReelsmithDB()->Editing());
  }
  TMessageRecorder messages;
  messages.Answer(mrYes);
  messages.Answer(mrNo);
  EXPECT_TRUE(form.close());
  EXPECT_FALSE(form.ReelsmithDB()->Editing());
}

TEST_F(CatalogueWindowTest, MergeLeavesNoOldHandleAndWaitsWhileEditing) {
  TReelsmithForm& form = Open({Sample()});
  const int albums = form.ReelsmithDB()->GetAllAlbums().Count();
  form.AlbumSelector1()->setFocus();
  auto shown = form.ReelsmithDB()->GetAllAlbums().Extract(0);
  form.ReelsmithDB()->SetCurrentAlbum(shown.get());
  EXPECT_FALSE(form.FieldCtrl(0)->Text().isEmpty());

  TFileAnswers files;
  files.answers.push_back(Sample("second.mus"));
  form.MergeMenuClick();
  EXPECT_EQ(files.asked.at(0).title, "Merge");
  EXPECT_EQ(form.ReelsmithDB()->CurrentAlbum(), nullptr);
  EXPECT_TRUE(form.FieldCtrl(0)->Text().isEmpty());
  EXPECT_EQ(form.SongsGrid()->Records().Count(), 0);
  // Merging a catalogue with itself doubles its albums; the selector lists the new records.
  EXPECT_EQ(form.AlbumSelector1()->Records().Count(), 2 * albums);

  form.ReelsmithDB()->SetEditing(true);
  EXPECT_FALSE(Enabled("MergeMenu"));
  EXPECT_FALSE(Enabled("FileNewMenu"));
  EXPECT_FALSE(Enabled("FileOpenMenu"));
  EXPECT_FALSE(form.Button("OpenButton")->isEnabled());
  form.MergeMenuClick();
  EXPECT_EQ(files.asked.size(), 1u);  // no dialog while editing
  form.ReelsmithDB()->SetEditing(false);
  EXPECT_TRUE(Enabled("MergeMenu"));
}

TEST_F(CatalogueWindowTest, CommandsAreEnabledByEditingStateAndWaitForTheirWindows) {
  Open({Sample()});
  EXPECT_TRUE(Enabled("FileSaveMenu"));
  EXPECT_TRUE(Enabled("FindMenu"));
  for (const char* waiting : {"ReadTimesfromCD", "CassetteInsertMenu", "CDPlayerMenu"})
    EXPECT_FALSE(Enabled(waiting)) << waiting;
  // The album commands follow the editing state; nothing is current yet.
  EXPECT_TRUE(Enabled("NewAlbumMenu"));
  EXPECT_TRUE(Enabled("DBFieldsMenu"));
  EXPECT_FALSE(Enabled("EditAlbumMenu"));
  EXPECT_FALSE(Enabled("SaveChangesMenu"));

  TCommandInputs in;
  in.albumEditor = in.cdPlayer = true;
  in.albumCurrent = true;
  TCommandStates viewing = ComputeCommandStates(in);
  EXPECT_TRUE(viewing.newAlbum && viewing.editAlbum && viewing.deleteAlbum);
  EXPECT_FALSE(viewing.saveChanges || viewing.cancelEditing || viewing.insertSong ||
               viewing.deleteSong || viewing.readTimes);
  in.editing = true;
  TCommandStates editing = ComputeCommandStates(in);
  EXPECT_FALSE(editing.newAlbum || editing.editAlbum || editing.deleteAlbum || editing.readTimes);
  EXPECT_TRUE(editing.saveChanges && editing.cancelEditing && editing.insertSong &&
              editing.deleteSong);
  in.discPresent = true;
  EXPECT_TRUE(ComputeCommandStates(in).readTimes);
}

TEST_F(CatalogueWindowTest, PrintOpensTheReportDialogOnThisCatalogue) {
  Open({Sample()});
  ASSERT_TRUE(Enabled("PrintMenu"));
  int shown = 0;
  TReportDialogSeam seam([&](const TReportDialogRequest& request) {
    ++shown;
    EXPECT_EQ(request.dialog->parentWidget(), form_.get());
    EXPECT_EQ(request.dialog->windowTitle(), "Print Database");
    EXPECT_FALSE(request.dialog->Columns().empty());
    return static_cast<int>(QDialog::Rejected);
  });
  form_->Action("PrintMenu")->trigger();
  EXPECT_EQ(shown, 1);
}

TEST_F(CatalogueWindowTest, FindSearchesThePageShownAndSaysWhenNothingMatches) {
  TReelsmithForm& form = Open({CopyOf(QStringLiteral(RS_FIXTURES_DIR "/v5.mus"), "v5.mus")});
  // Find Again without a text opens the find window instead of searching.
  form.FindAgainMenuClick();
  EXPECT_TRUE(form.FindDialog()->isVisible());

  form.SelectionNoteBook()->setCurrentIndex(2);
  form.FindDialog()->SetFindText(QStringLiteral("dusk"));
  form.FindDialog()->SetOptions(frDown);
  TMessageRecorder messages;
  form.FindAgainMenuClick();
  EXPECT_TRUE(messages.Asked().empty());
  EXPECT_EQ(form.SongSelector1()->Cells(0, form.SongSelector1()->Row()), "Dusk");
  EXPECT_TRUE(form.FindDialog()->isEnabled());

  form.FindDialog()->SetFindText(QStringLiteral("no such song"));
  form.FindDialog()->FindNextButton()->click();
  ASSERT_EQ(messages.Asked().size(), 1u);
  EXPECT_EQ(messages.Asked()[0].text, "No match found.");
  EXPECT_EQ(messages.Asked()[0].type, mtInformation);
  EXPECT_EQ(form.CancelDlgWrapper()->Dialog(), nullptr);
}

TEST_F(CatalogueWindowTest, SortCommandsMoveTheCheckMarkAndHintsReachTheStatusLine) {
  TReelsmithForm& form = Open({Sample()});
  QAction* byTitle = form.findChild<QAction*>("SortAlphabeticallyMenu");
  QAction* byTime = form.findChild<QAction*>("SortByTimeMenu");
  ASSERT_TRUE(byTitle && byTime);
  EXPECT_TRUE(byTitle->isChecked());
  form.SortByTimeMenuClick();
  EXPECT_TRUE(byTime->isChecked());
  EXPECT_FALSE(byTitle->isChecked());
  form.SortAlphabeticallyMenuClick();
  EXPECT_TRUE(byTitle->isChecked());

  EXPECT_EQ(form.Button("SaveButton")->toolTip(), "Save");
  QStatusTipEvent tip(form.Button("SaveButton")->statusTip());
  QCoreApplication::sendEvent(&form, &tip);
  EXPECT_EQ(form.StatusLine()->text(), "Save the current Reelsmith file.");
}

TEST_F(CatalogueWindowTest, HelpOpensTheContentsAndF1ThePageOfTheControlInUse) {
  TReelsmithForm& form = Open({Sample()});
  form.Action("HelpContentsMenu")->trigger();
  ASSERT_NE(form.Help()->Window(), nullptr);
  EXPECT_EQ(form.Help()->Window()->Source(), HelpContentsUrl());

  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.activateWindow();
  form.SongsGrid()->setFocus();
  QTest::keyClick(form.SongsGrid(), Qt::Key_F1);
  EXPECT_EQ(form.Help()->Window()->Source(), HelpUrlOf(20));  // the album panel's page
  form.AlbumSelector1()->setFocus();
  QTest::keyClick(form.AlbumSelector1(), Qt::Key_F1);
  EXPECT_EQ(form.Help()->Window()->Source(), HelpUrlOf(60));  // the browser's page
  form.Help()->Window()->close();
}

TEST_F(CatalogueWindowTest, StartsAndStopsWithoutAWritableSettingsFolder) {
  // The settings folder's place is taken by a file: nothing needs writing for a new catalogue.
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  const QString blocked = dir_.filePath("config");
  {
    QFile f(blocked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  qputenv("XDG_CONFIG_HOME", blocked.toLocal8Bit());
  TMessageRecorder messages;
  Open();
  EXPECT_EQ(form_->windowTitle(), "Untitled - Reelsmith 4.2");
  form_.reset();  // storing the (empty) last file and the placement fails quietly
  qputenv("XDG_CONFIG_HOME", saved);
  EXPECT_TRUE(messages.Asked().empty());
}

}  // namespace

namespace {

TEST_F(CatalogueWindowTest, TheCassetteWindowFirstOpensBesideTheCatalogueWindowNotOverIt) {
  TReelsmithForm& form = Open();
  auto cassette = std::make_unique<TCassetteInsert>();
  form.SetCassetteInsert(cassette.get());
  const QRect screen = form.screen()->availableGeometry();
  form.setGeometry(screen.left(), screen.top() + 20, screen.width() / 3, screen.height() / 2);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QPoint before = cassette->pos();
  const bool room = cassette->width() <= screen.width() - form.frameGeometry().width();
  form.Action("CassetteInsertMenu")->trigger();
  ASSERT_TRUE(cassette->isVisible());
  const QRect beside = cassette->frameGeometry();
  if (room) {
    EXPECT_FALSE(beside.intersects(form.frameGeometry()));
    EXPECT_EQ(beside.left(), form.frameGeometry().right() + 1);
    EXPECT_TRUE(screen.contains(beside));
  } else {
    // No room on this screen: the window system places it, as before.
    EXPECT_EQ(cassette->pos(), before);
  }

  form.SetCassetteInsert(nullptr);
}

}  // namespace
