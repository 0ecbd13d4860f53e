#include "catalogue/catalogue_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QApplication>
#include <QGridLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "cassette/cassette_insert_window.h"
#include "catalogue/album_editor.h"
#include "catalogue/auto_height_panel.h"
#include "catalogue/catalogue_file_commands.h"
#include "catalogue/field_controls.h"
#include "catalogue/fields_dialog.h"
#include "catalogue/find_window.h"
#include "catalogue/read_times_command.h"
#include "catalogue/songs_grid.h"
#include "cd/cd_audio_source.h"
#include "cd/cd_player.h"
#include "client/album_record.h"
#include "client/notify_link.h"
#include "import/music_import_command.h"
#include "platform/exceptions.h"
#include "platform/profile.h"
#include "reports/report_dialog.h"
#include "select/album_selector.h"
#include "select/artist_selector.h"
#include "select/list_box.h"
#include "select/music_drag.h"
#include "select/selection_notebook.h"
#include "select/song_selector.h"
#include "shell/application.h"
#include "shell/beside_placement.h"
#include "shell/cancel_dialog_wrapper.h"
#include "shell/command_icons.h"
#include "shell/file_type_registration.h"
#include "shell/help_window.h"
#include "shell/last_file.h"
#include "shell/message_dialog.h"
#include "shell/window_placement.h"

namespace {

const char kProductCaption[] = "Reelsmith 4.2";
const char kNoCdDevice[] = "There is no CD Audio device installed on your system.";

// Actions are not widgets, so their context is kept the same way by hand.
void SetActionHelpContext(QAction* action, int context) {
  action->setProperty("helpContext", context);
}

}  // namespace

TReelsmithForm::TReelsmithForm(const QStringList& arguments, const TLibrarySearch& search,
                               QWidget* parent)
    : QMainWindow(parent) {
  setObjectName(QStringLiteral("ReelsmithForm"));
  SetHelpContext(this, 10);
  help_ = new THelp(this);
  help_->InstallHelpKey(this);
  // The database component first: without the library there is no window.
  db_ = new TReelsmithDB(this, search);
  db_->setObjectName(QStringLiteral("ReelsmithDB"));

  autoFile_ = new TAutoFile(this);
  autoFile_->setObjectName(QStringLiteral("AutoFile"));
  autoFile_->SetIniFileName(QString::fromLatin1(kIniFileName));
  placement_ = new TPlacement(this);
  placement_->setObjectName(QStringLiteral("MainPlacement"));
  placement_->SetIniFileName(QString::fromLatin1(kIniFileName));
  placement_->SetSection(QStringLiteral("ReelsmithForm"));
  cancelDlgWrapper_ = new TCancelDlgWrapper(this);
  cancelDlgWrapper_->setObjectName(QStringLiteral("CancelDlgWrapper"));
  cancelDlgWrapper_->SetModality(mdApplication);
  cancelDlgWrapper_->OnCancel = [this](QObject*) {
    if (TReelsmithSelector* selector = SelectorOfPage(notebook_->currentIndex()))
      selector->CancelFind();
  };
  fileCommands_ = std::make_unique<TCatalogueFileCommands>(*db_, *autoFile_, this);
  musicImport_ = std::make_unique<TMusicImportCommand>(*db_, this);

  BuildControls();
  BuildMenus();
  BuildSpeedBar();
  ApplyCommandIcons(this);

  setWindowTitle(QString::fromLatin1(kProductCaption));
  // Every start keeps the desktop's record of catalogue files pointing at this program, without
  // taking over a default the user chose; failures only cost the desktop integration.
  RegisterReelsmithFileType(RunningProgramPath(), false);

  // The window stays hidden until the splash screen hands over, so the placement is restored
  // invisibly and its show state kept for then.
  placement_->SetForceInvisible(true);
  placement_->RestorePlacement();
  placementShowCmd_ = TProfile(QString::fromLatin1(kIniFileName))
                          .ReadInteger(QStringLiteral("ReelsmithForm"),
                                       QStringLiteral("PlaceShowCmd"), TWindowPlacement::kShowNormal);

  changeLink_ = new TNotifyLink(this);
  changeLink_->OnNotify = [this](TReelsmithDB*, const TReelsmithDBEventInfo& info) {
    DatabaseChanged(info.Event());
  };
  changeLink_->SetDataSource(db_);

  ChooseCatalogue(arguments);
  ApplyStartUpSettings();
  colourNoticePending_ = true;
  UpdateCommands();
  ScheduleIdle();
}

TReelsmithForm::~TReelsmithForm() {
  try {
    autoFile_->SetLastFile(db_->FileName());
  } catch (...) {
  }
  try {
    placement_->SetForceInvisible(false);
    placement_->SavePlacement();
  } catch (...) {
  }
  // The editor may hold the album the component shows; the selectors and grids hold record
  // objects: all go before the library does.
  db_->OnLeaveEditing = nullptr;
  // The CD player outlives this window.
  if (cdPlayer_) cdPlayer_->OnReadyChanged = nullptr;
  try {
    editor_.reset();
  } catch (...) {
  }
  delete centralWidget();
}

// ---- Building -----------------------------------------------------------------------

void TReelsmithForm::BuildControls() {
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName(QStringLiteral("Splitter"));

  notebook_ = new TReelsmithSelectionNoteBook(splitter);
  notebook_->setObjectName(QStringLiteral("ReelsmithSelectionNoteBook"));
  SetHelpContext(notebook_, 60);
  albumSelector_ = new TAlbumSelector;
  artistSelector_ = new TArtistSelector;
  songSelector_ = new TSongSelector;
  albumSelector_->setObjectName(QStringLiteral("AlbumSelector1"));
  artistSelector_->setObjectName(QStringLiteral("ArtistSelector1"));
  songSelector_->setObjectName(QStringLiteral("SongSelector1"));
  const std::pair<TReelsmithSelector*, QString> pages[] = {
      {albumSelector_, QStringLiteral("Albums")},
      {artistSelector_, QStringLiteral("Artists")},
      {songSelector_, QStringLiteral("Songs")}};
  notebook_->setAccessibleName(QStringLiteral("Music browser"));
  for (const auto& [selector, title] : pages) {
    selector->setAccessibleName(title);
    selector->setAccessibleDescription(
        QStringLiteral("The catalogue's %1; the chosen row's album shows in the album panel.")
            .arg(title.toLower()));
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    selector->setParent(page);
    auto* subList = new TExListBox(page);
    subList->setAccessibleName(QStringLiteral("Albums of the chosen row"));
    layout->addWidget(selector, 3);
    layout->addWidget(subList, 1);
    selector->SetAlbumLB(subList);
    notebook_->addTab(page, title);
  }
  notebook_->SetAlbumSelSource(db_);
  for (TReelsmithSelector* selector : {static_cast<TReelsmithSelector*>(albumSelector_),
                                       static_cast<TReelsmithSelector*>(artistSelector_),
                                       static_cast<TReelsmithSelector*>(songSelector_)})
    selector->SetDataSource(db_);

  // The album panel: the album's fields above its songs.
  auto* albumPanel = new QWidget(splitter);
  albumPanel->setObjectName(QStringLiteral("AlbumEditPanel"));
  SetHelpContext(albumPanel, 20);
  auto* panelLayout = new QVBoxLayout(albumPanel);
  panelLayout->setContentsMargins(4, 2, 2, 2);
  fieldsPanel_ = new TAutoHeightPanel(albumPanel);
  fieldsPanel_->setObjectName(QStringLiteral("AutoHeightPanel1"));
  auto* fieldsLayout = new QGridLayout(fieldsPanel_);
  fieldsLayout->setContentsMargins(0, 4, 0, 4);
  // Title and artist take the whole width; the medium and the user fields go two to a row.
  const int places[7][3] = {{0, 0, 2}, {1, 0, 2}, {2, 0, 1}, {2, 1, 1},
                            {3, 0, 1}, {3, 1, 1}, {4, 0, 1}};
  for (int i = 0; i < 7; ++i) {
    auto* field = new TReelsmithFieldCtrl(fieldsPanel_);
    field->setObjectName(QStringLiteral("ReelsmithFieldCtrl%1").arg(i + 1));
    field->SetFieldIndex(i);
    field->SetFieldType(ftCombo);
    field->SetReadOnly(true);
    field->OnVisibilityChange = [this] { fieldsPanel_->Recalc(); };
    fieldsLayout->addWidget(field, places[i][0], places[i][1], 1, places[i][2]);
    fieldCtrls_[static_cast<size_t>(i)] = field;
  }
  for (TReelsmithFieldCtrl* field : fieldCtrls_) field->SetDataSource(db_);
  titleEdit_ = fieldCtrls_[0]->Edit();
  titleEdit_->installEventFilter(this);
  fieldsPanel_->Recalc();
  panelLayout->addWidget(fieldsPanel_);

  songsGrid_ = new TSongsGrid(albumPanel);
  songsGrid_->setObjectName(QStringLiteral("SongsGrid"));
  songsGrid_->setAccessibleName(QStringLiteral("Songs of the album"));
  songsGrid_->SetIniFileName(QString::fromLatin1(kIniFileName));
  songsGrid_->SetMarkSongsUsedOnTape(false);
  songsGrid_->SetDataSource(db_);
  songsGrid_->SetReadOnly(true);
  panelLayout->addWidget(songsGrid_, 1);
  editor_ = std::make_unique<TAlbumEditor>(*db_, fieldCtrls_, *songsGrid_, this);
  db_->OnLeaveEditing = [this] { return editor_->ConfirmDiscard(); };

  splitter->addWidget(notebook_);
  splitter->addWidget(albumPanel);
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  setCentralWidget(splitter);

  statusLine_ = new QLabel(this);
  statusLine_->setObjectName(QStringLiteral("StatusLine"));
  statusBar()->addWidget(statusLine_, 1);

  findDialog_ = new TFindDialog(this);
  help_->InstallHelpKey(findDialog_);
  findDialog_->setObjectName(QStringLiteral("FindDialog"));
  findDialog_->OnFind = [this] { FindDialogFind(); };

  fieldsDialog_ = new TDatabaseFieldDlg(this);
  help_->InstallHelpKey(fieldsDialog_);

  // As much of the usual first size as the screen holds; the controls fit in far less.
  QSize first(860, 560);
  if (const QScreen* shown = screen())
    first = first.boundedTo(shown->availableGeometry().size() * 0.9);
  resize(first);
}

QAction* TReelsmithForm::AddCommand(QMenu* menu, const char* name, const QString& caption,
                                    const QString& hint, const QKeySequence& shortcut,
                                    int helpContext, std::function<void()> handler) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  action->setStatusTip(hint);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (helpContext) SetActionHelpContext(action, helpContext);
  connect(action, &QAction::triggered, this, Guarded([this, handler = std::move(handler)](bool) {
            handler();
            UpdateCommands();
          }));
  return action;
}

void TReelsmithForm::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  AddCommand(file, "FileNewMenu", QStringLiteral("&New"),
             QStringLiteral("Create a new music database."), {}, 30, [this] { FileNew(); });
  AddCommand(file, "FileOpenMenu", QStringLiteral("&Open..."),
             QStringLiteral("Open a music database."), {}, 110, [this] { FileOpen(); });
  AddCommand(file, "MergeMenu", QStringLiteral("&Merge..."),
             QStringLiteral("Combine a database with the one currently open."), {}, 120,
             [this] { MergeMenuClick(); });
  AddCommand(file, "FileSaveMenu", QStringLiteral("&Save"),
             QStringLiteral("Save the music database."), {}, 0, [this] { FileSave(); });
  AddCommand(file, "FileSaveAsMenu", QStringLiteral("Save &As..."),
             QStringLiteral("Save the music database with a new name."), {}, 0,
             [this] { FileSaveAs(); });
  AddCommand(file, "ExportMenu", QStringLiteral("Export..."),
             QStringLiteral("Save the database in dBase format."), {}, 170,
             [this] { ExportMenuClick(); });
  file->addSeparator();
  AddCommand(file, "PrintMenu", QStringLiteral("&Print..."),
             QStringLiteral("Print a list of your music collection."), {}, 180,
             [this] { PrintMenuClick(); });
  file->addSeparator();
  AddCommand(file, "FileExitMenu", QStringLiteral("E&xit"), QStringLiteral("Exit Reelsmith."), {},
             0, [this] { FileExit(); });

  QMenu* album = menuBar()->addMenu(QStringLiteral("A&lbum"));
  AddCommand(album, "NewAlbumMenu", QStringLiteral("&New Album"),
             QStringLiteral("Clear the album fields so that a new album may be entered."),
             QKeySequence(Qt::CTRL | Qt::Key_N), 20, [this] { NewAlbum(); });
  AddCommand(album, "EditAlbumMenu", QStringLiteral("&Edit Album"),
             QStringLiteral("Edit the displayed album."), QKeySequence(Qt::CTRL | Qt::Key_E), 20,
             [this] { EditAlbum(); });
  AddCommand(album, "DeleteAlbumMenu", QStringLiteral("&Delete Album"),
             QStringLiteral("Remove the currently displayed album from the database."), {}, 40,
             [this] { DeleteAlbumMenuClick(); });
  AddCommand(album, "AddAlbumsFromMusicFilesMenu",
             QStringLiteral("Add Albums from &Music Files..."),
             QStringLiteral("Add albums from a folder of music files."), {}, 190,
             [this] { AddAlbumsFromMusicFilesMenuClick(); });
  album->addSeparator();
  AddCommand(album, "ReadTimesfromCD", QStringLiteral("&Read Times from CD"),
             QStringLiteral("Read song times from the CD in the CD-ROM drive."),
             QKeySequence(Qt::CTRL | Qt::Key_R), 50, [this] { ReadCD(); });
  AddCommand(album, "InsertSongMenu", QStringLiteral("&Insert Song"),
             QStringLiteral("Insert a song above the currently highlighted song."),
             QKeySequence(Qt::CTRL | Qt::Key_Insert), 20, [this] { InsertSongClick(); });
  AddCommand(album, "DeleteSongMenu", QStringLiteral("Dele&te Song"),
             QStringLiteral("Remove the currently highlighted song from the album."),
             QKeySequence(Qt::CTRL | Qt::Key_Delete), 20, [this] { DeleteSongClick(); });
  AddCommand(album, "SaveChangesMenu", QStringLiteral("&Save Changes"),
             QStringLiteral("Save changes made to the album."), QKeySequence(Qt::CTRL | Qt::Key_S),
             20, [this] { SaveChangesClick(); });
  AddCommand(album, "CancelEditingMenu", QStringLiteral("Cance&l Editing"),
             QStringLiteral("End editing without saving changes."),
             QKeySequence(Qt::CTRL | Qt::Key_L), 20, [this] { CancelEditing(); });

  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  AddCommand(tools, "CassetteInsertMenu", QStringLiteral("&Cassette Insert"),
             QStringLiteral("Display cassette insert."), {}, 80, [this] { DisplayCassetteInsert(); });
  AddCommand(tools, "CDPlayerMenu", QStringLiteral("CD &Player"),
             QStringLiteral("Display the Audio CD player."), {}, 100,
             [this] { DisplayCDPlayer(); });
  tools->addSeparator();
  AddCommand(tools, "FindMenu", QStringLiteral("&Find..."),
             QStringLiteral("Find text in the album, artist, or song list"),
             QKeySequence(Qt::CTRL | Qt::Key_F), 130, [this] { FindMenuClick(); });
  AddCommand(tools, "FindAgainMenu", QStringLiteral("Find &Again"),
             QStringLiteral("Find text in the album, artist, or song list"),
             QKeySequence(Qt::Key_F3), 130, [this] { FindAgainMenuClick(); });
  tools->addSeparator();
  AddCommand(tools, "DBFieldsMenu", QStringLiteral("&Database Configuration"),
             QStringLiteral("Display database configuration."), {}, 70,
             [this] { DBFieldsMenuClick(); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  AddCommand(help, "HelpContentsMenu", QStringLiteral("&Contents"),
             QStringLiteral("Display contents of Reelsmith help."), {}, 0,
             [this] { HelpContents(); });
  AddCommand(help, "HelpSearchMenu", QStringLiteral("&Search for Help on..."),
             QStringLiteral("Search for a topic in Reelsmith help."), {}, 0,
             [this] { HelpSearch(); });
  AddCommand(help, "HelpAboutMenu", QStringLiteral("&About Reelsmith"), QString(), {}, 150,
             [this] { HelpAbout(); });

  // The song selector's pop-up menu sorts; the window's handlers stand behind its items.
  QAction* byTitle = songSelector_->SortAlphabeticallyAction();
  QAction* byTime = songSelector_->SortByTimeAction();
  byTitle->setObjectName(QStringLiteral("SortAlphabeticallyMenu"));
  byTime->setObjectName(QStringLiteral("SortByTimeMenu"));
}

QToolButton* TReelsmithForm::AddButton(QWidget* bar, const char* name, const QString& text,
                                       const QString& hint, QAction* action) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(text);
  const int bar_ = hint.indexOf(QLatin1Char('|'));
  button->setToolTip(bar_ < 0 ? hint : hint.left(bar_));
  button->setStatusTip(bar_ < 0 ? hint : hint.mid(bar_ + 1));
  button->setAutoRaise(true);
  connect(button, &QToolButton::clicked, action, &QAction::trigger);
  return button;
}

void TReelsmithForm::BuildSpeedBar() {
  QToolBar* bar = addToolBar(QStringLiteral("SpeedBar"));
  bar->setObjectName(QStringLiteral("SpeedBar"));
  bar->setMovable(false);
  bar->setToolButtonStyle(CommandButtonStyle());
  auto add = [&](const char* name, const QString& text, const QString& hint, const char* action) {
    QToolButton* b = AddButton(bar, name, text, hint, Action(action));
    bar->addWidget(b);
    return b;
  };
  add("NewButton", QStringLiteral("New"), QStringLiteral("New|Create a new Reelsmith file."),
      "FileNewMenu");
  add("OpenButton", QStringLiteral("Open"), QStringLiteral("Open|Open an existing Reelsmith file."),
      "FileOpenMenu");
  add("SaveButton", QStringLiteral("Save"), QStringLiteral("Save|Save the current Reelsmith file."),
      "FileSaveMenu");
  bar->addSeparator();
  add("CassetteInsertButton", QStringLiteral("Cassette"),
      QStringLiteral("Cassette Insert|Display Cassette Insert."), "CassetteInsertMenu");
  add("CDPlayerButton", QStringLiteral("CD Player"),
      QStringLiteral("CD Player|Display the Audio CD player."), "CDPlayerMenu");
  add("HelpButton", QStringLiteral("Help"),
      QStringLiteral("Help Contents|Display the help contents screen."), "HelpContentsMenu");

  auto* spacer = new QWidget(bar);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(spacer);
  add("NewAlbumButton", QStringLiteral("New"),
      QStringLiteral("New Album   Ctrl+N|Clear the album fields to allow a new album to be entered."),
      "NewAlbumMenu");
  add("EditAlbumButton", QStringLiteral("Edit"),
      QStringLiteral("Edit Album   Ctrl+E|Edit the displayed album."), "EditAlbumMenu");
  add("InsertSongButton", QStringLiteral("Insert"),
      QStringLiteral("Insert Song   Ctrl+Ins|Insert a song above the currently highlighted song."),
      "InsertSongMenu");
  add("SaveChangesButton", QStringLiteral("Save"),
      QStringLiteral("Save Changes   Ctrl+S|Save changes made to the album."), "SaveChangesMenu");
  add("CancelEditingButton", QStringLiteral("Cancel"),
      QStringLiteral("Cancel Editing   Ctrl+L|End editing without saving changes."),
      "CancelEditingMenu");
  add("ReadCDButton", QStringLiteral("Read CD"),
      QStringLiteral("Read CD   Ctrl+R|Read song times from the CD in the CD-ROM drive."),
      "ReadTimesfromCD");
}

QAction* TReelsmithForm::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

QToolButton* TReelsmithForm::Button(const char* name) const {
  return findChild<QToolButton*>(QString::fromLatin1(name));
}

TReelsmithSelector* TReelsmithForm::SelectorOfPage(int page) const {
  switch (page) {
    case 0:
      return albumSelector_;
    case 1:
      return artistSelector_;
    case 2:
      return songSelector_;
    default:
      throw ERangeError("Tabbed notebook has more pages than expected");
  }
}

// ---- Start-up -----------------------------------------------------------------------

void TReelsmithForm::ChooseCatalogue(const QStringList& arguments) {
  // The shell has already split and unquoted the command line; a name with blanks that reached
  // us in pieces is one name again.
  const QString named = arguments.join(QLatin1Char(' '));
  if (!named.isEmpty()) {
    // Stored as the last file later, so it must not depend on the directory we started in.
    namedFile_ = QFileInfo(named).absoluteFilePath();
    openNamedFile_ = true;
    return;
  }
  if (!autoFile_->GetLastFile().isEmpty()) {
    openLastFile_ = true;
    return;
  }
  try {
    FileNew();
  } catch (const std::exception& e) {
    // A settings file that cannot be written costs the last-file entry, not the start.
    ShowException(e);
  }
}

void TReelsmithForm::ShowCdDeviceHints(bool devicePresent) {
  const QString hint = devicePresent ? QStringLiteral("Display the Audio CD player.")
                                     : QString::fromLatin1(kNoCdDevice);
  if (QToolButton* b = Button("CDPlayerButton")) {
    if (!devicePresent) b->setEnabled(false);
    b->setToolTip(QStringLiteral("CD Player"));
    b->setStatusTip(hint);
  }
  Action("CDPlayerMenu")->setStatusTip(hint);
}

void TReelsmithForm::ApplyStartUpSettings() {
  ShowCdDeviceHints(!CdAudioSource().isEmpty());
  const TProfile settings(QString::fromLatin1(kSettingsFileName));
  songsGrid_->SetMarkSongsUsedOnTape(
      settings.ReadBool(QStringLiteral("Features"), QStringLiteral("MarkSongsOnTape"), false));
  const QString brand =
      settings.ReadString(QStringLiteral("Brand"), QStringLiteral("Caption"), QString());
  if (!brand.isEmpty()) {
    // The brand replaces the product name for good: it is the caption every file part joins.
    const QString filePart = baseCaption_.isEmpty()
                                 ? QString()
                                 : windowTitle().left(windowTitle().size() - baseCaption_.size());
    baseCaption_ = brand;
    setWindowTitle(filePart + brand);
  }
}

QString TReelsmithForm::PendingFileName() const {
  if (openNamedFile_) return namedFile_;
  if (openLastFile_) return autoFile_->GetLastFile();
  return QString();
}

void TReelsmithForm::ScheduleIdle() {
  if (idleScheduled_) return;
  idleScheduled_ = true;
  QTimer::singleShot(0, this, Guarded([this] { IdleStep(); }));
}

void TReelsmithForm::IdleStep() {
  idleScheduled_ = false;
  bool messageShown = false;
  if (openNamedFile_ || openLastFile_) {
    const QString fileName = PendingFileName();
    openNamedFile_ = openLastFile_ = false;
    fileCommands_->Load(fileName, [this, &messageShown](const QString& why) {
      messageShown = true;
      if (OnStartUpLoadError)
        OnStartUpLoadError(why);
      else
        MessageDlg(why, mtError, mbOK, this);
    });
  }
  const bool splashDone = !SplashDone || SplashDone();
  if (!messageShown && splashDone && colourNoticePending_) {
    colourNoticePending_ = false;
    if (OnColourNotice) OnColourNotice();
  }
  UpdateCommands();
}

void TReelsmithForm::ShowFromSplash() {
  switch (placementShowCmd_) {
    case TWindowPlacement::kShowMaximized:
      showMaximized();
      break;
    case TWindowPlacement::kShowMinimized:
      showMinimized();
      break;
    default:
      showNormal();
      break;
  }
  raise();
  activateWindow();
  // The browser has the keyboard from the start, so its first album shows in the album panel.
  albumSelector_->setFocus();
  ScheduleIdle();
}

// ---- Change events, caption, commands -----------------------------------------------

void TReelsmithForm::DatabaseChanged(int event) {
  switch (event) {
    case dbeCleared:
    case 2:
      SetCaptionFile(QStringLiteral("Untitled"));
      break;
    case dbeLoaded:
    case dbeSaved:
      SetCaptionFile(QFileInfo(db_->FileName()).fileName());
      break;
    case dbeEditingChanged:
      UpdateCommands();
      break;
    default:
      break;
  }
}

void TReelsmithForm::SetCaptionFile(const QString& text) {
  if (baseCaption_.isEmpty()) baseCaption_ = windowTitle();
  setWindowTitle(text.isEmpty() ? baseCaption_ : text + QStringLiteral(" - ") + baseCaption_);
}

TCommandInputs TReelsmithForm::CommandInputs() const {
  TCommandInputs in;
  in.editing = db_->Editing();
  in.albumCurrent = db_->CurrentAlbum() != nullptr;
  in.reports = true;
  in.albumEditor = editor_ != nullptr;
  in.fieldsDialog = fieldsDialog_ != nullptr;
  in.cdPlayer = cdPlayer_ && cdPlayer_->HasDevice();
  in.discPresent = cdPlayer_ && cdPlayer_->IsReady();
  in.cassetteWindow = cassette_ != nullptr || makeCassette_ != nullptr;
  return in;
}

void TReelsmithForm::UpdateCommands() {
  const TCommandStates s = ComputeCommandStates(CommandInputs());
  auto set = [this](const char* action, const char* button, bool enabled) {
    if (QAction* a = Action(action)) a->setEnabled(enabled);
    if (button)
      if (QToolButton* b = Button(button)) b->setEnabled(enabled);
  };
  set("NewAlbumMenu", "NewAlbumButton", s.newAlbum);
  set("EditAlbumMenu", "EditAlbumButton", s.editAlbum);
  set("DeleteAlbumMenu", nullptr, s.deleteAlbum);
  set("AddAlbumsFromMusicFilesMenu", nullptr, s.addFromMusicFiles);
  set("SaveChangesMenu", "SaveChangesButton", s.saveChanges);
  set("CancelEditingMenu", "CancelEditingButton", s.cancelEditing);
  set("InsertSongMenu", "InsertSongButton", s.insertSong);
  set("DeleteSongMenu", nullptr, s.deleteSong);
  set("ReadTimesfromCD", "ReadCDButton", s.readTimes);
  set("FileNewMenu", "NewButton", s.fileNew);
  set("FileOpenMenu", "OpenButton", s.fileOpen);
  set("MergeMenu", nullptr, s.merge);
  set("PrintMenu", nullptr, s.print);
  set("CassetteInsertMenu", "CassetteInsertButton", s.cassetteInsert);
  set("CDPlayerMenu", "CDPlayerButton", s.cdPlayer);
  set("DBFieldsMenu", nullptr, s.databaseConfiguration);
}

// ---- CD commands ------------------------------------------------------------------

void TReelsmithForm::SetCDPlayer(TCDPlayer* player) {
  if (cdPlayer_ && cdPlayer_ != player) cdPlayer_->OnReadyChanged = nullptr;
  cdPlayer_ = player;
  if (player) player->OnReadyChanged = [this] { UpdateCommands(); };
  ShowCdDeviceHints(player && player->HasDevice());
  UpdateCommands();
}

TCDPlayer* TReelsmithForm::CDPlayer() const { return cdPlayer_.data(); }

void TReelsmithForm::ReadCD() {
  if (!cdPlayer_) return;
  ReadTimesFromCD(*cdPlayer_, *db_, *songsGrid_, FieldCtrl(0), FieldCtrl(1), this);
}

void TReelsmithForm::DisplayCDPlayer() {
  if (!cdPlayer_ || !cdPlayer_->HasDevice()) return;
  cdPlayer_->show();
  cdPlayer_->raise();
  cdPlayer_->activateWindow();
}

// ---- File commands ------------------------------------------------------------------

bool TReelsmithForm::CheckSaveAndClear() { return fileCommands_->CheckSaveAndClear(); }

void TReelsmithForm::FileNew() {
  if (db_->Editing()) return;
  fileCommands_->FileNew();
}

void TReelsmithForm::FileOpen() {
  if (db_->Editing()) return;
  fileCommands_->FileOpen();
}

void TReelsmithForm::MergeMenuClick() {
  if (db_->Editing()) return;
  fileCommands_->Merge();
}

bool TReelsmithForm::FileSave() { return fileCommands_->FileSave(); }

bool TReelsmithForm::FileSaveAs() { return fileCommands_->FileSaveAs(); }

void TReelsmithForm::ExportMenuClick() { fileCommands_->Export(); }

void TReelsmithForm::PrintMenuClick() {
  TReportDlg dialog(db_, this);
  ShowReportDialog(dialog);
}

void TReelsmithForm::FileExit() { close(); }

// ---- Album commands -----------------------------------------------------------------

void TReelsmithForm::NewAlbum() { editor_->NewAlbum(); }

void TReelsmithForm::EditAlbum() { editor_->EditAlbum(); }

bool TReelsmithForm::SaveChangesClick() { return editor_->SaveChanges(); }

void TReelsmithForm::CancelEditing() { editor_->CancelEditing(); }

void TReelsmithForm::DeleteAlbumMenuClick() { editor_->DeleteAlbum(); }

void TReelsmithForm::AddAlbumsFromMusicFilesMenuClick() { musicImport_->Run(); }

void TReelsmithForm::InsertSongClick() { editor_->InsertSong(); }

void TReelsmithForm::DeleteSongClick() { editor_->DeleteSong(); }

void TReelsmithForm::DBFieldsMenuClick() {
  if (fieldsDialog_->Database() == nullptr) fieldsDialog_->SetDatabase(db_);
  fieldsDialog_->show();
  fieldsDialog_->raise();
  fieldsDialog_->activateWindow();
}

bool TReelsmithForm::eventFilter(QObject* watched, QEvent* event) {
  if (CassetteButtonEvent(watched, event)) return true;
  // The displayed album can be dragged from its title to the cassette insert.
  if (titleEdit_ != nullptr && watched == titleEdit_) {
    if (event->type() == QEvent::MouseButtonPress) {
      auto* press = static_cast<QMouseEvent*>(event);
      titleDragArmed_ =
          press->button() == Qt::LeftButton && !db_->Editing() && db_->CurrentAlbum() != nullptr;
      titlePressPos_ = press->position().toPoint();
    } else if (event->type() == QEvent::MouseMove && titleDragArmed_) {
      const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
      if ((pos - titlePressPos_).manhattanLength() >= QApplication::startDragDistance()) {
        titleDragArmed_ = false;
        if (!db_->Editing() && db_->CurrentAlbum() != nullptr) {
          auto* edit = qobject_cast<QWidget*>(watched);
          SetTag(edit, db_->CurrentAlbum());
          ExecMusicDrag(edit);
          return true;
        }
      }
    } else if (event->type() == QEvent::MouseButtonRelease) {
      titleDragArmed_ = false;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Closing ------------------------------------------------------------------------

bool TReelsmithForm::FormCloseQuery() {
  bool allowed = true;
  bool dropEdit = false;
  if (db_->Editing()) {
    if (MessageDlg(
            QStringLiteral("You are editing an album.  Are you sure you want to exit Reelsmith?"),
            mtConfirmation, mbYesNo, this) == mrYes)
      dropEdit = true;
    else
      allowed = false;
  }
  if (db_->Changed()) {
    switch (MessageDlg(
        QStringLiteral("You have modified your database.  Do you want to save the changes?"),
        mtConfirmation, mbYesNoCancel, this)) {
      case mrCancel:
        allowed = false;
        break;
      case mrYes:
        if (!FileSave()) allowed = false;
        break;
      default:
        break;
    }
  }
  // Both answers are in before anything is thrown away: a refused close keeps the edit.
  if (allowed && dropEdit) CancelEditing();
  return allowed;
}

void TReelsmithForm::closeEvent(QCloseEvent* event) {
  // The cassette window's print runs inside this program's event loop: it ends first.
  if (cassette_ != nullptr && cassette_->Printing()) {
    event->ignore();
    return;
  }
  bool allowed = false;
  try {
    allowed = FormCloseQuery();
  } catch (...) {
    ShowCurrentException();
  }
  if (!allowed) {
    event->ignore();
    return;
  }
  event->accept();
  findDialog_->hide();
  fieldsDialog_->hide();
  if (QuitOnClose) QCoreApplication::quit();
}

bool TReelsmithForm::event(QEvent* event) {
  // The long part of the hint under the mouse goes to the status line.
  if (event->type() == QEvent::StatusTip) {
    statusLine_->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

// ---- Find ---------------------------------------------------------------------------

void TReelsmithForm::FindMenuClick() {
  findDialog_->show();
  findDialog_->raise();
  findDialog_->activateWindow();
}

void TReelsmithForm::FindAgainMenuClick() {
  if (findDialog_->FindText().isEmpty())
    FindMenuClick();
  else
    FindDialogFind();
}

void TReelsmithForm::FindDialogFind() {
  TReelsmithSelector* selector = SelectorOfPage(notebook_->currentIndex());
  findDialog_->setEnabled(false);
  cancelDlgWrapper_->Show(QStringLiteral("Searching..."));
  bool found = false;
  try {
    found = selector->Find(findDialog_->FindText(), findDialog_->Options());
  } catch (...) {
    cancelDlgWrapper_->Hide();
    findDialog_->setEnabled(true);
    throw;
  }
  cancelDlgWrapper_->Hide();
  findDialog_->setEnabled(true);
  activateWindow();
  if (findDialog_->isVisible()) findDialog_->activateWindow();
  if (!found) MessageDlg(QStringLiteral("No match found."), mtInformation, mbOK, this);
}

void TReelsmithForm::SortAlphabeticallyMenuClick() { songSelector_->SortAlphabeticallyMenuClick(); }

void TReelsmithForm::SortByTimeMenuClick() { songSelector_->SortByTimeMenuClick(); }

// ---- Help ---------------------------------------------------------------------------

void TReelsmithForm::HelpContents() { help_->Contents(); }

void TReelsmithForm::HelpSearch() { help_->Search(QString()); }

void TReelsmithForm::HelpAbout() {
  if (OnAbout) OnAbout();
}

// ---- Cassette insert ----------------------------------------------------------------

void TReelsmithForm::SetCassetteInsert(TCassetteInsert* window) {
  cassette_ = window;
  cassetteConnected_ = false;
  if (window != nullptr) {
    help_->InstallHelpKey(window);
    window->InstallHelpKey = [this](QWidget* dialog) { help_->InstallHelpKey(dialog); };
  }
  LetCassetteButtonTakeDrops(window != nullptr);
  QPointer<TCassetteInsert> cassette = window;
  editor_->HasMusic = [cassette](const TReelsmithAlbum& album) {
    return cassette != nullptr && cassette->HasMusic(album);
  };
  editor_->RemoveMusic = [cassette](const TReelsmithAlbum& album) {
    if (cassette != nullptr) cassette->RemoveMusic(album);
  };
  UpdateCommands();
}

void TReelsmithForm::SetCassetteMaker(std::function<TCassetteInsert*()> make) {
  makeCassette_ = std::move(make);
  LetCassetteButtonTakeDrops(cassette_ != nullptr || makeCassette_ != nullptr);
  UpdateCommands();
}

void TReelsmithForm::LetCassetteButtonTakeDrops(bool takes) {
  if (cassetteButton_ == nullptr) {
    cassetteButton_ = Button("CassetteInsertButton");
    if (cassetteButton_ != nullptr) cassetteButton_->installEventFilter(this);
  }
  if (cassetteButton_ != nullptr) cassetteButton_->setAcceptDrops(takes);
}

TCassetteInsert* TReelsmithForm::Cassette() {
  if (cassette_ == nullptr && makeCassette_) {
    // A maker that fails stays, to be tried again the next time.
    TCassetteInsert* made = makeCassette_();
    makeCassette_ = nullptr;
    SetCassetteInsert(made);
  }
  return cassette_;
}

TCassetteInsert* TReelsmithForm::CassetteInsert() const { return cassette_; }

void TReelsmithForm::ConnectCassette() {
  if (cassette_ == nullptr || cassetteConnected_) return;
  cassette_->SetDataSource(db_);
  cassetteConnected_ = true;
}

void TReelsmithForm::DisplayCassetteInsert() {
  if (Cassette() == nullptr) return;
  ConnectCassette();
  PlaceCassetteBeside();
  if (cassette_->isMinimized())
    cassette_->showNormal();
  else
    cassette_->show();
  cassette_->raise();
  cassette_->activateWindow();
}

bool TReelsmithForm::CassetteInsertButtonDragOver(QObject* source) {
  if (!CarriesRecord(source) || Cassette() == nullptr) return false;
  ConnectCassette();
  return cassette_->OnSideDragOver(cassetteButton_, source, QPoint());
}

void TReelsmithForm::CassetteInsertButtonDragDrop(QObject* source) {
  if (Cassette() == nullptr) return;
  ConnectCassette();
  cassette_->DropFromOutside(cassetteButton_, source);
}

void TReelsmithForm::PlaceCassetteBeside() {
  if (cassettePlaced_ || cassette_->isVisible() || !isVisible()) return;
  cassettePlaced_ = true;
  // A placement the user left in the settings file wins.
  const bool stored = TProfile(QString::fromLatin1(kIniFileName))
                          .ReadInteger(QString::fromLatin1(TCassetteInsert::kSection),
                                       QStringLiteral("PlaceShowCmd"), -1) >= 0;
  const QScreen* screen = this->screen();
  if (stored || screen == nullptr) return;
  // Not shown yet, the cassette window has no frame: it will get one like this window's.
  const QSize frame = frameGeometry().size() - geometry().size();
  if (const auto at = PlaceBeside(frameGeometry(), cassette_->size() + frame,
                                  screen->availableGeometry()))
    cassette_->move(*at);
}

bool TReelsmithForm::CassetteButtonEvent(QObject* watched, QEvent* event) {
  if (watched == nullptr || watched != cassetteButton_) return false;
  return HandleMusicDropEvent(
      event,
      [this](QObject* source, const QPoint&) { return CassetteInsertButtonDragOver(source); },
      [this](QObject* source, const QPoint&) { CassetteInsertButtonDragDrop(source); });
}
