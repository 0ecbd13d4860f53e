#pragma once

#include <QEvent>
#include <QImage>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QSize>

#include <functional>
#include <memory>

#include "cassette/insert_arranger.h"
#include "cassette/insert_printer.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QScrollArea;
class QToolBar;
class QToolButton;
class TCancelDlgWrapper;
class TCassetteList;
class TCassetteSection;
class TDragStarter;
class TPlacement;
class TProfile;
class TReelsmithDB;
class TReelsmithRecord;
class TSongArrangement;
class TTimeEdit;

// The window in which the user compiles a cassette: songs dragged in from the catalogue window
// are laid out on the two sides of the tape, reordered, optimised or shuffled, and printed as an
// insert or as a song list. It looks like the insert itself; the controls are placed by the
// insert arranger. The program creates one at start and keeps it; closing only hides it.
//
// Layout, tape length and per-song gap are read from the settings file when the window is
// created and written back when it is destroyed.
class TCassetteInsert : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr char kIniFileName[] = "ReelSmt.ini";
  static constexpr char kSection[] = "CassetteInsert";
  static constexpr int kDefaultTapeLength = 5400;

  explicit TCassetteInsert(QWidget* parent = nullptr);
  // Saves the placement and writes the settings; failures are ignored.
  ~TCassetteInsert() override;

  // The catalogue the songs come from. Call once, before the window is first shown or handed a
  // drag.
  void SetDataSource(TReelsmithDB* database);
  // Whether any of the record's songs is on the cassette, and taking them off it.
  bool HasMusic(const TReelsmithRecord& record) const;
  void RemoveMusic(const TReelsmithRecord& record);

  // Drag acceptance: true exactly when the drag's source control carries a record.
  bool OnSideDragOver(QObject* sender, QObject* source, const QPoint& pos) const;
  // A drop. From one cassette list onto another (pos in the target list's viewport) the song
  // moves there; anything else appends the record's songs to the end of the cassette. A drop
  // without a source, or of a cassette song that is no longer on the cassette, is ignored.
  void OnSideDragDrop(QObject* sender, QObject* source, const QPoint& pos);
  // Whether a drag event on the window itself (anywhere outside the three lists, the blank
  // strip beside the insert area included) is taken at `windowPos`. The entry is taken wherever
  // the drag carries a record: Qt sends a widget that refused the entry neither moves nor the
  // drop until the drag leaves it, and the flaps belong to the window as the strip does. Moves
  // and the drop are refused over the flaps only.
  bool TakesWindowDrag(QEvent::Type type, QObject* source, const QPoint& windowPos) const;
  // A drop on the catalogue window's cassette button.
  void DropFromOutside(QObject* sender, QObject* source) { OnSideDragDrop(sender, source, {}); }

  // The picture printed behind the sides, and how it fills them. A null picture prints none.
  void SetBackgroundPicture(const QImage& picture, TPictureLayout layout);
  const QImage& BackgroundPicture() const { return picture_; }
  TPictureLayout PictureLayout() const { return pictureLayout_; }
  // Gives a dialog of this window the F1 key; set by whoever owns the help.
  std::function<void(QWidget*)> InstallHelpKey;

  // ---- Commands (the menu items and buttons call these) ----
  void Optimize();
  void Randomize();
  void ClearSongs();
  void PrintSetup();
  void PrintInsert();
  void PreviewInsert();
  void PrintSongList();
  void PreviewSongList();
  void MarkSongsOnTape();
  void SelectBackgroundPicture();
  // The gap arrows: +1 or -1 second per song, kept within -9 .. 9.
  void StepExtraSongTime(int step);

  // True while an insert or song list is being printed; the window refuses to close meanwhile,
  // and so should the program.
  bool Printing() const;

  // Controls and components, for the catalogue window and tests.
  TSongArrangement* SongArrangement() const { return arrangement_; }
  TInsertArranger* InsertArranger() const { return arranger_; }
  TInsertPrinter* InsertPrinter() const { return insertPrinter_; }
  TCancelDlgWrapper* CancelDlgWrapper() const { return cancelDlgWrapper_; }
  TPlacement* InsertPlacement() const { return placement_; }
  // The printer the print commands use, made on first use.
  QPrinter& Printer() const;
  TCassetteSection* FrontFlap() const { return frontFlap_; }
  TCassetteSection* EdgeFlap() const { return edgeFlap_; }
  TCassetteList* Side1Flap() const { return side1_; }
  TCassetteList* Side2Flap() const { return side2_; }
  TCassetteList* ExcessSongs() const { return excess_; }
  TTimeEdit* TimeEdit() const { return timeEdit_; }
  QLabel* ExtraSongTime() const { return extraSongTime_; }
  QLabel* Side1Length() const { return side1Length_; }
  QLabel* Side2Length() const { return side2Length_; }
  QLabel* StatusLine() const { return statusLine_; }
  QAction* Action(const char* name) const;
  QToolButton* Button(const char* name) const;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void BuildToolBar();
  void ReadSettings();
  void WriteSettings();
  // The window's fixed size: the insert area under the toolbar, as large as its controls ask,
  // where the screen has room for that. On a smaller screen the size is that of the screen: the
  // toolbar takes two rows where one is wider than the screen and the insert area scrolls.
  void FitWindowSize();
  // Moves the tape length, gap and Mark controls to a toolbar row of their own, or back.
  void SplitToolBar(bool split);
  // Puts the insert area into a scroll area, or back as the central widget.
  void ScrollInsertArea(bool scroll);
  QAction* AddCommand(QMenu* menu, const char* name, const QString& caption, const QString& hint,
                      const QKeySequence& shortcut, std::function<void()> handler);
  QToolButton* AddButton(const char* name, const QString& text, const QString& hint);
  void TimeFieldLeft();
  void TimeFieldInvalid();
  bool IsCassetteList(const QObject* object) const;
  TCassetteList* ListOfViewport(const QObject* viewport) const;
  // Drag enter, drag move and drop on the window itself.
  bool WindowDropEvent(QEvent* event);
  bool OverFlap(const QPoint& windowPos) const;
  // Asks the print dialog with one copy; false when cancelled.
  bool AskPrinter();

  TSongArrangement* arrangement_ = nullptr;
  TInsertArranger* arranger_ = nullptr;
  TInsertPrinter* insertPrinter_ = nullptr;
  TCancelDlgWrapper* cancelDlgWrapper_ = nullptr;
  TPlacement* placement_ = nullptr;
  mutable std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<TProfile> settings_;

  QWidget* area_ = nullptr;
  TCassetteSection* frontFlap_ = nullptr;
  TCassetteSection* edgeFlap_ = nullptr;
  TCassetteList* side1_ = nullptr;
  TCassetteList* side2_ = nullptr;
  TCassetteList* excess_ = nullptr;
  QWidget* excessPanel_ = nullptr;
  TTimeEdit* timeEdit_ = nullptr;
  QLabel* extraSongTime_ = nullptr;
  QLabel* side1Length_ = nullptr;
  QLabel* side2Length_ = nullptr;
  QLabel* statusLine_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  // The second toolbar row and the actions that move there; the row exists once first needed.
  QToolBar* tapeBar_ = nullptr;
  QList<QAction*> tapeActions_;
  bool toolBarSplit_ = false;
  // Holds the insert area while the window is smaller than the area needs, else none.
  QScrollArea* scroller_ = nullptr;
  // The screen room the size was last fitted to.
  QSize fittedRoom_;

  // One drag starter per list, armed by a press and started by a move.
  std::unique_ptr<TDragStarter> dragStarters_[3];

  QImage picture_;
  TPictureLayout pictureLayout_ = plCenter;
  bool printingSongList_ = false;
};
