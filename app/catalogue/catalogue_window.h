#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

#include "catalogue/command_states.h"
#include "client/database.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class TAlbumEditor;
class TCDPlayer;
class TAlbumSelector;
class TAutoHeightPanel;
class TDatabaseFieldDlg;
class TReelsmithFieldCtrl;
class TArtistSelector;
class TAutoFile;
class TCancelDlgWrapper;
class TCassetteInsert;
class TCatalogueFileCommands;
class TFindDialog;
class THelp;
class TNotifyLink;
class TPlacement;
class TReelsmithSelectionNoteBook;
class TReelsmithSelector;
class TSongSelector;
class TSongsGrid;
class TMusicImportCommand;

// The program's main window: the music browser on the left, the album panel (album fields above
// the album's songs) on the right, the file, album, tools and help commands, and the status line.
// It owns the database component, so the library lives exactly as long as this window.
class TReelsmithForm : public QMainWindow {
  Q_OBJECT

 public:
  // The settings file of the window's placement, last file and songs grid columns.
  static constexpr char kIniFileName[] = "ReelSmt.ini";

  // Builds the window and its database component (EMissingMethod when the library or one of its
  // functions is missing), restores the placement without showing the window, and decides what
  // the first idle moment opens: `arguments` are the program's arguments after its name (their
  // text, joined by blanks, names the catalogue to open); none means the last file, else a new
  // catalogue.
  explicit TReelsmithForm(const QStringList& arguments = {},
                          const TLibrarySearch& search = TLibrarySearch::Default(),
                          QWidget* parent = nullptr);
  // Stores the catalogue's file as the last file and the placement; failures are ignored.
  ~TReelsmithForm() override;

  TReelsmithDB* ReelsmithDB() const { return db_; }

  // ---- Commands (the menu items and buttons call these) ----
  void FileNew();
  void FileOpen();
  void MergeMenuClick();
  bool FileSave();
  bool FileSaveAs();
  void ExportMenuClick();
  void PrintMenuClick();
  void FileExit();
  void NewAlbum();
  void EditAlbum();
  bool SaveChangesClick();
  void CancelEditing();
  void DeleteAlbumMenuClick();
  // Adds albums from a folder of music files after a preview.
  void AddAlbumsFromMusicFilesMenuClick();
  void InsertSongClick();
  void DeleteSongClick();
  void DBFieldsMenuClick();
  void FindMenuClick();
  void FindAgainMenuClick();
  void FindDialogFind();
  void SortAlphabeticallyMenuClick();
  void SortByTimeMenuClick();
  void HelpContents();
  void HelpSearch();
  void HelpAbout();
  bool CheckSaveAndClear();
  // Reads the track times of the disc in the CD player into the album being edited.
  void ReadCD();
  // Shows the CD player (not modal).
  void DisplayCDPlayer();
  // The CD player window the CD commands use (start-up gives it; not owned). Without one, or
  // with one that has no device, the CD commands stay disabled.
  void SetCDPlayer(TCDPlayer* player);
  TCDPlayer* CDPlayer() const;

  // Enables each command for the present state (the full table, also commands whose windows
  // have not been given to this window yet: those stay disabled).
  void UpdateCommands();
  TCommandInputs CommandInputs() const;

  // "Untitled" or a file name in front of the base caption.
  void SetCaptionFile(const QString& text);
  const QString& BaseCaption() const { return baseCaption_; }

  // The first idle moment's work: open the chosen catalogue, then (once the splash screen has
  // handed over) the colour notice, then the command states. Runs from zero-delay single-shot
  // timers, never from a repeating one, so an idle program uses no processor time.
  void ScheduleIdle();
  void IdleStep();

  // Shows the window in the show state its restored placement asks for (called on the splash
  // screen's hand-over) and schedules the idle step that may show the colour notice.
  void ShowFromSplash();

  // Start-up hooks the entry sets: whether the splash screen has handed over (true when there
  // is none), the about box, the colour notice, the start-up load error message.
  std::function<bool()> SplashDone;
  std::function<void()> OnAbout;
  std::function<void()> OnColourNotice;
  std::function<void(const QString&)> OnStartUpLoadError;
  // Closing the window ends the program's event loop (the entry sets it; tests leave it off).
  bool QuitOnClose = false;

  // The catalogue a first idle moment will open, empty when none.
  QString PendingFileName() const;

  // The cassette insert window (owned by the entry, may go first): the Cassette Insert command
  // shows it, drops on the cassette button add music to it, and the album editor asks it about
  // songs on the tape.
  void SetCassetteInsert(TCassetteInsert* window);
  // Or a maker of the window, called when the window is first needed; its window is then set as
  // above. Until then the Cassette Insert command and the cassette button work as with a window.
  void SetCassetteMaker(std::function<TCassetteInsert*()> make);
  // The window, none until it was set or first needed.
  TCassetteInsert* CassetteInsert() const;
  void DisplayCassetteInsert();
  // A drop of the source's record on the cassette button (also while the window is hidden).
  bool CassetteInsertButtonDragOver(QObject* source);
  void CassetteInsertButtonDragDrop(QObject* source);

  // Controls, for the entry, tests and the windows that join later.
  TReelsmithSelectionNoteBook* SelectionNoteBook() const { return notebook_; }
  TReelsmithSelector* SelectorOfPage(int page) const;
  TAlbumSelector* AlbumSelector1() const { return albumSelector_; }
  TArtistSelector* ArtistSelector1() const { return artistSelector_; }
  TSongSelector* SongSelector1() const { return songSelector_; }
  TSongsGrid* SongsGrid() const { return songsGrid_; }
  TFindDialog* FindDialog() const { return findDialog_; }
  TCancelDlgWrapper* CancelDlgWrapper() const { return cancelDlgWrapper_; }
  TAutoFile* AutoFile() const { return autoFile_; }
  TPlacement* MainPlacement() const { return placement_; }
  THelp* Help() const { return help_; }
  QAction* Action(const char* name) const;
  QToolButton* Button(const char* name) const;
  QLabel* StatusLine() const { return statusLine_; }
  // The album field controls by field index 0 to 6 (ReelsmithFieldCtrl1 to 7).
  TReelsmithFieldCtrl* FieldCtrl(int field) const {
    return fieldCtrls_.at(static_cast<size_t>(field));
  }
  TAutoHeightPanel* FieldsPanel() const { return fieldsPanel_; }
  TAlbumEditor* AlbumEditor() const { return editor_.get(); }
  TMusicImportCommand* MusicImport() const { return musicImport_.get(); }
  TDatabaseFieldDlg* DatabaseFieldDlg() const { return fieldsDialog_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void BuildSpeedBar();
  QAction* AddCommand(QMenu* menu, const char* name, const QString& caption, const QString& hint,
                      const QKeySequence& shortcut, int helpContext, std::function<void()> handler);
  QToolButton* AddButton(QWidget* bar, const char* name, const QString& text, const QString& hint,
                         QAction* action);
  void ApplyStartUpSettings();
  void ShowCdDeviceHints(bool devicePresent);
  void ChooseCatalogue(const QStringList& arguments);
  void DatabaseChanged(int event);
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool FormCloseQuery();
  void ConnectCassette();
  // The window, made now by the maker where there is one and none yet.
  TCassetteInsert* Cassette();
  void LetCassetteButtonTakeDrops(bool takes);
  // The first time the cassette window opens without a stored placement, it opens beside this
  // window when the screen has room.
  void PlaceCassetteBeside();
  bool CassetteButtonEvent(QObject* watched, QEvent* event);

  TReelsmithDB* db_ = nullptr;
  TNotifyLink* changeLink_ = nullptr;
  TAutoFile* autoFile_ = nullptr;
  TPlacement* placement_ = nullptr;
  TCancelDlgWrapper* cancelDlgWrapper_ = nullptr;
  std::unique_ptr<TCatalogueFileCommands> fileCommands_;
  THelp* help_ = nullptr;

  TReelsmithSelectionNoteBook* notebook_ = nullptr;
  TAlbumSelector* albumSelector_ = nullptr;
  TArtistSelector* artistSelector_ = nullptr;
  TSongSelector* songSelector_ = nullptr;
  TSongsGrid* songsGrid_ = nullptr;
  TFindDialog* findDialog_ = nullptr;
  QLabel* statusLine_ = nullptr;
  TAutoHeightPanel* fieldsPanel_ = nullptr;
  std::array<TReelsmithFieldCtrl*, 7> fieldCtrls_{};
  std::unique_ptr<TAlbumEditor> editor_;
  std::unique_ptr<TMusicImportCommand> musicImport_;
  TDatabaseFieldDlg* fieldsDialog_ = nullptr;
  QPointer<TCDPlayer> cdPlayer_;
  // Dragging the displayed album from its title.
  // Kept apart from the field control: the filter still hears its text box while it is destroyed.
  QPointer<QObject> titleEdit_;
  bool titleDragArmed_ = false;
  QPoint titlePressPos_;

  QPointer<TCassetteInsert> cassette_;
  std::function<TCassetteInsert*()> makeCassette_;
  // Kept, not looked up: the filter hears every event of the button.
  QPointer<QToolButton> cassetteButton_;
  bool cassetteConnected_ = false;

  QString baseCaption_;
  int placementShowCmd_ = 1;

  // Start-up marks for the first idle moment.
  bool openNamedFile_ = false;
  bool openLastFile_ = false;
  QString namedFile_;
  bool colourNoticePending_ = false;
  bool cassettePlaced_ = false;
  bool idleScheduled_ = false;
  bool closing_ = false;
};
