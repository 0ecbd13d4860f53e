#include "cassette/cassette_insert_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

#include "cassette/background_picture.h"
#include "cassette/background_picture_dialog.h"
#include "cassette/cassette_list.h"
#include "cassette/cassette_section.h"
#include "cassette/insert_section.h"
#include "cassette/printer_helpers.h"
#include "cassette/song_arrangement.h"
#include "cassette/time_edit.h"
#include "client/database.h"
#include "client/record.h"
#include "platform/profile.h"
#include "select/music_drag.h"
#include "shell/application.h"
#include "shell/busy_cursor.h"
#include "shell/cancel_dialog_wrapper.h"
#include "shell/command_icons.h"
#include "shell/help_context.h"
#include "shell/message_dialog.h"
#include "shell/print_dialogs.h"
#include "shell/screen_room.h"
#include "shell/window_placement.h"

namespace {

const char kIllegalTime[] =
    "Illegal value in cassette playing time field. Please enter a time as MM:SS (e.g 1:35).";
const char kFontHint[] = "Right click to change fonts.";
constexpr int kMaxDelta = 9;

// The layout menu items in menu order and the layout each one chooses.
struct TLayoutItem {
  const char* name;
  const char* caption;
  const char* hint;
  InsertArrangement arrangement;
};
const TLayoutItem kLayoutItems[] = {
    {"Layout1Menu", "&1. Flaps on Top, Songs Side-by-Side",
     "Flaps on top; sides next to each other.", iaHCassetteUp},
    {"Layout2Menu", "&2. Flaps on Bottom, Songs Side-by-Side",
     "Flaps on bottom; sides next to each other.", iaHCassetteDown},
    {"Layout3Menu", "&3. Flaps on Top, Sides Stacked Vertically",
     "Flaps on top; sides stacked vertically.", iaVCassetteUp},
    {"Layout4Menu", "&4. Flaps on Bottom, Sides Stacked Vertically",
     "Flaps on bottom; sides stacked vertically.", iaVCassetteDown},
};

void SetHint(QWidget* widget, const QString& hint) {
  const int bar = hint.indexOf(QLatin1Char('|'));
  widget->setToolTip(bar < 0 ? hint : hint.left(bar));
  widget->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

}  // namespace

TCassetteInsert::TCassetteInsert(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("CassetteInsert"));
  setWindowTitle(QStringLiteral("Reelsmith Cassette Insert"));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  SetHelpContext(this, 80);
  setAcceptDrops(true);

  arrangement_ = new TSongArrangement(this);
  arrangement_->setObjectName(QStringLiteral("SongArrangement"));
  arranger_ = new TInsertArranger(this);
  arranger_->setObjectName(QStringLiteral("InsertArranger"));
  insertPrinter_ = new TInsertPrinter(this);
  insertPrinter_->setObjectName(QStringLiteral("InsertPrinter"));
  cancelDlgWrapper_ = new TCancelDlgWrapper(this);
  cancelDlgWrapper_->setObjectName(QStringLiteral("CancelDlgWrapper"));
  cancelDlgWrapper_->SetModality(mdApplication);
  cancelDlgWrapper_->OnCancel = [this](QObject*) {
    insertPrinter_->SetAborted(true);
    if (printer_ && printer_->printerState() == QPrinter::Active) printer_->abort();
  };
  placement_ = new TPlacement(this);
  placement_->setObjectName(QStringLiteral("InsertPlacement"));
  placement_->SetIniFileName(QString::fromLatin1(kIniFileName));
  placement_->SetSection(QString::fromLatin1(kSection));
  placement_->SetForceInvisible(true);
  placement_->SetSetSize(false);

  BuildControls();
  BuildMenus();
  BuildToolBar();
  ApplyCommandIcons(this);
  arrangement_->SetSide1Ctrl(side1_);
  arrangement_->SetSide2Ctrl(side2_);
  arrangement_->SetExcessSongs(excess_);
  arrangement_->SetSide1LengthPanel(side1Length_);
  arrangement_->SetSide2LengthPanel(side2Length_);
  arrangement_->SetTapeLength(kDefaultTapeLength);

  // The stored picture choice; a file that cannot be read now leaves no picture, and the
  // picture dialog says so when it next opens.
  const TBackgroundPicture stored = StoredBackgroundPicture();
  SetBackgroundPicture(stored.picture, stored.layout);
  ReadSettings();
  FitWindowSize();
  placement_->RestorePlacement();
}

TCassetteInsert::~TCassetteInsert() {
  try {
    placement_->SetForceInvisible(false);
    placement_->SavePlacement();
  } catch (...) {
  }
  try {
    WriteSettings();
  } catch (...) {
  }
}

// ---- Building -----------------------------------------------------------------------

void TCassetteInsert::BuildControls() {
  area_ = new QWidget(this);
  area_->setObjectName(QStringLiteral("InsertArea"));
  setCentralWidget(area_);

  frontFlap_ = new TCassetteSection(area_);
  frontFlap_->setObjectName(QStringLiteral("FrontFlap"));
  edgeFlap_ = new TCassetteSection(area_);
  edgeFlap_->setObjectName(QStringLiteral("EdgeFlap"));
  side1_ = new TCassetteList(area_);
  side1_->setObjectName(QStringLiteral("Side1Flap"));
  side2_ = new TCassetteList(area_);
  side2_->setObjectName(QStringLiteral("Side2Flap"));
  // Tab goes on to the next control, as in every other box of the window.
  frontFlap_->setTabChangesFocus(true);
  edgeFlap_->setTabChangesFocus(true);
  // Screen readers cannot see where on the card a section lies: the names and descriptions say.
  frontFlap_->setAccessibleName(QStringLiteral("Front flap"));
  frontFlap_->setAccessibleDescription(
      QStringLiteral("Text printed on the insert's front flap, such as the tape's title."));
  edgeFlap_->setAccessibleName(QStringLiteral("Edge flap"));
  edgeFlap_->setAccessibleDescription(
      QStringLiteral("Text printed on the insert's narrow edge, read when the tape stands on a "
                     "shelf."));
  side1_->setAccessibleName(QStringLiteral("Side 1"));
  side1_->setAccessibleDescription(QStringLiteral("The songs on side 1 of the tape, in order."));
  side2_->setAccessibleName(QStringLiteral("Side 2"));
  side2_->setAccessibleDescription(QStringLiteral("The songs on side 2 of the tape, in order."));
  for (TCassetteList* side : {side1_, side2_}) side->SetSetableFont(true);

  excessPanel_ = new QWidget(area_);
  excessPanel_->setObjectName(QStringLiteral("ExcessPanel"));
  auto* excessLayout = new QHBoxLayout(excessPanel_);
  excessLayout->setContentsMargins(2, 2, 2, 2);
  auto* caption = new QLabel(QStringLiteral("Excess Songs:"), excessPanel_);
  QFont bold = caption->font();
  bold.setBold(true);
  caption->setFont(bold);
  caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  excessLayout->addWidget(caption);
  excess_ = new TCassetteList(excessPanel_);
  excess_->setObjectName(QStringLiteral("ExcessSongs"));
  excess_->setAccessibleName(QStringLiteral("Excess songs"));
  excess_->setAccessibleDescription(QStringLiteral("Songs that do not fit on either side."));
  excess_->SetSetableFont(false);
  excessLayout->addWidget(excess_, 1);

  // The card's type, whatever the desktop's default: Arial 10 point (Liberation Sans, which has
  // Arial's metrics, where Arial is not installed). A font chosen later replaces it.
  const QFont cardFont(QStringLiteral("Arial"), 10);
  for (QWidget* control :
       std::initializer_list<QWidget*>{frontFlap_, edgeFlap_, side1_, side2_, excess_})
    control->setFont(cardFont);
  for (QWidget* flap : {static_cast<QWidget*>(frontFlap_), static_cast<QWidget*>(edgeFlap_)}) {
    SetHint(flap, QString::fromLatin1(kFontHint));
    // The flaps hold typed text; music dropped on them goes nowhere.
    flap->setAcceptDrops(false);
  }
  for (TCassetteList* list : {side1_, side2_, excess_}) {
    SetHint(list, QString::fromLatin1(kFontHint));
    list->SetSongArrangement(arrangement_);
    list->setAcceptDrops(true);
    list->viewport()->setAcceptDrops(true);
    list->viewport()->installEventFilter(this);
  }
  for (auto& starter : dragStarters_) starter = std::make_unique<TDragStarter>();

  arranger_->SetFrontFlap(frontFlap_);
  arranger_->SetEdgeFlap(edgeFlap_);
  arranger_->SetSide1(side1_);
  arranger_->SetSide2(side2_);
  arranger_->SetExcessSongs(excessPanel_);

  statusLine_ = new QLabel(this);
  statusLine_->setObjectName(QStringLiteral("CassetteStatus"));
  statusBar()->addWidget(statusLine_, 1);
  side1Length_ = new QLabel(QStringLiteral("0:00"), this);
  side1Length_->setObjectName(QStringLiteral("Side1Length"));
  side2Length_ = new QLabel(QStringLiteral("0:00"), this);
  side2Length_->setObjectName(QStringLiteral("Side2Length"));
  for (QLabel* panel : {side1Length_, side2Length_}) {
    panel->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000:00")) + 8);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameShape(QFrame::StyledPanel);
    statusBar()->addPermanentWidget(panel);
  }
  SetHint(side1Length_, QStringLiteral("Length of side 1|"));
  SetHint(side2Length_, QStringLiteral("Length of side 2|"));
  statusBar()->setSizeGripEnabled(false);
}

QAction* TCassetteInsert::AddCommand(QMenu* menu, const char* name, const QString& caption,
                                     const QString& hint, const QKeySequence& shortcut,
                                     std::function<void()> handler) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  action->setStatusTip(hint);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (handler) connect(action, &QAction::triggered, this, Guarded([handler](bool) { handler(); }));
  return action;
}

void TCassetteInsert::BuildMenus() {
  QMenu* insert = menuBar()->addMenu(QStringLiteral("&Insert"));
  AddCommand(insert, "OptimizeMenu", QStringLiteral("&Optimize"),
             QStringLiteral("Try to arrange songs so the tape is perfectly filled"),
             QKeySequence(Qt::CTRL | Qt::Key_O), [this] { Optimize(); });
  AddCommand(insert, "RandomizeMenu", QStringLiteral("&Randomize"),
             QStringLiteral("Scramble the arrangement of songs."),
             QKeySequence(Qt::CTRL | Qt::Key_R), [this] { Randomize(); });
  AddCommand(insert, "ClearMenu", QStringLiteral("C&lear"),
             QStringLiteral("Remove all songs from the cassette insert."), {},
             [this] { ClearSongs(); });
  insert->addSeparator();
  AddCommand(insert, "PrintSetupMenu", QStringLiteral("&Print Setup.."),
             QStringLiteral("Change the printer and printer options."), {},
             [this] { PrintSetup(); });
  AddCommand(insert, "PrintInsertMenu", QStringLiteral("Print &Insert..."),
             QStringLiteral("Print the cassette insert."), QKeySequence(Qt::CTRL | Qt::Key_P),
             [this] { PrintInsert(); });
  AddCommand(insert, "PreviewInsertMenu", QStringLiteral("Print Pre&view..."),
             QStringLiteral("Show the cassette insert as it will be printed."), {},
             [this] { PreviewInsert(); });
  AddCommand(insert, "PrintSongListMenu", QStringLiteral("Print &Song List..."),
             QStringLiteral("Print details about the songs on the cassette insert."),
             QKeySequence(Qt::CTRL | Qt::Key_L), [this] { PrintSongList(); });
  AddCommand(insert, "PreviewSongListMenu", QStringLiteral("Song List Previe&w..."),
             QStringLiteral("Show the song list as it will be printed."), {},
             [this] { PreviewSongList(); });
  insert->addSeparator();
  AddCommand(insert, "CloseMenu", QStringLiteral("&Close"),
             QStringLiteral("Close the cassette insert window."), {}, [this] { close(); });

  QMenu* layout = menuBar()->addMenu(QStringLiteral("&Layout"));
  auto* group = new QActionGroup(layout);
  for (const TLayoutItem& item : kLayoutItems) {
    QAction* action = AddCommand(layout, item.name, QString::fromLatin1(item.caption),
                                 QString::fromLatin1(item.hint), {}, nullptr);
    action->setCheckable(true);
    group->addAction(action);
  }
  // Each item is looked up again: one missing must not take the others with it.
  if (QAction* a = Action("Layout1Menu")) arranger_->SetHorizontalUpMenu(a);
  if (QAction* a = Action("Layout2Menu")) arranger_->SetHorizontalDownMenu(a);
  if (QAction* a = Action("Layout3Menu")) arranger_->SetVerticalUpMenu(a);
  if (QAction* a = Action("Layout4Menu")) arranger_->SetVerticalDownMenu(a);
  layout->addSeparator();
  AddCommand(layout, "BackgroundBitmapMenu", QStringLiteral("&Select Background Picture..."),
             QStringLiteral("Choose a bitmap to print as the background of the insert."),
             QKeySequence(Qt::CTRL | Qt::Key_B), [this] { SelectBackgroundPicture(); });
}

QToolButton* TCassetteInsert::AddButton(const char* name, const QString& text,
                                        const QString& hint) {
  auto* button = new QToolButton(toolBar_);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(text);
  button->setAutoRaise(true);
  SetHint(button, hint);
  toolBar_->addWidget(button);
  return button;
}

void TCassetteInsert::BuildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("ToolBar"));
  toolBar_->setObjectName(QStringLiteral("ToolBar"));
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->toggleViewAction()->setEnabled(false);

  auto trigger = [this](QToolButton* button, const char* action) {
    connect(button, &QToolButton::clicked, Action(action), &QAction::trigger);
  };
  trigger(AddButton("OptimizeButton", QStringLiteral("Optimize"),
                    QStringLiteral("Optimize   Ctrl+O|Try to arrange songs so the tape is "
                                   "perfectly filled")),
          "OptimizeMenu");
  trigger(AddButton("RandomizeButton", QStringLiteral("Randomize"),
                    QStringLiteral("Randomize   Ctrl+R|Scramble the arrangement of songs.")),
          "RandomizeMenu");
  trigger(AddButton("PrintButton", QStringLiteral("Print"),
                    QStringLiteral("Print Insert   Ctrl+P|Print the cassette insert")),
          "PrintInsertMenu");
  toolBar_->addSeparator();

  auto* layouts = new QButtonGroup(toolBar_);
  layouts->setExclusive(true);
  const struct {
    const char* name;
    const char* text;
    const char* hint;
    InsertArrangement arrangement;
  } layoutButtons[] = {
      {"HorizontalUpLayout", "1", "Cassette Layout|Flaps on top; sides next to each other",
       iaHCassetteUp},
      {"HorizontalDownLayout", "2", "Cassette Layout|Flaps on bottom; sides next to each other",
       iaHCassetteDown},
      {"VerticalUpLayout", "3", "Cassette Layout|Flaps on top; sides stacked vertically",
       iaVCassetteUp},
      {"VerticalDownLayout", "4", "Cassette Layout|Flaps on bottom; sides stacked vertically",
       iaVCassetteDown},
  };
  for (const auto& b : layoutButtons) {
    QToolButton* button =
        AddButton(b.name, QString::fromLatin1(b.text), QString::fromLatin1(b.hint));
    button->setCheckable(true);
    layouts->addButton(button);
    switch (b.arrangement) {
      case iaHCassetteUp:
        arranger_->SetHorizontalUpButton(button);
        break;
      case iaHCassetteDown:
        arranger_->SetHorizontalDownButton(button);
        break;
      case iaVCassetteUp:
        arranger_->SetVerticalUpButton(button);
        break;
      case iaVCassetteDown:
        arranger_->SetVerticalDownButton(button);
        break;
    }
  }
  trigger(AddButton("BackgroundBitmapButton", QStringLiteral("Picture"),
                    QStringLiteral("Select Background Picture   Ctrl+B|Choose a bitmap to print "
                                   "as the background of the insert.")),
          "BackgroundBitmapMenu");
  // From here on the controls may take a second row on a small screen.
  tapeActions_ << toolBar_->addSeparator();

  const QString lengthHint =
      QStringLiteral("Tape Length|Enter the length in minutes:seconds of the tape");
  timeEdit_ = new TTimeEdit(toolBar_);
  timeEdit_->setObjectName(QStringLiteral("TimeEdit"));
  timeEdit_->setText(QStringLiteral("90:00"));
  timeEdit_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000:00")) + 12);
  SetHint(timeEdit_, lengthHint);
  toolBar_->addWidget(timeEdit_);
  connect(timeEdit_, &QLineEdit::editingFinished, this, Guarded([this] { TimeFieldLeft(); }));
  timeEdit_->OnInvalidText = [this](QObject*) {
    try {
      TimeFieldInvalid();
    } catch (...) {
      ShowCurrentException();
    }
  };

  const QString gapHint =
      QStringLiteral("Extra seconds per song|Amount to add or subtract from each song's time");
  extraSongTime_ = new QLabel(QStringLiteral("0"), toolBar_);
  extraSongTime_->setObjectName(QStringLiteral("ExtraSongTime"));
  extraSongTime_->setAlignment(Qt::AlignCenter);
  extraSongTime_->setFrameShape(QFrame::StyledPanel);
  extraSongTime_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-00")) + 8);
  SetHint(extraSongTime_, gapHint);
  toolBar_->addWidget(extraSongTime_);
  auto* spin = new QWidget(toolBar_);
  spin->setObjectName(QStringLiteral("SpinButton1"));
  SetHint(spin, gapHint);
  auto* spinLayout = new QVBoxLayout(spin);
  spinLayout->setContentsMargins(0, 0, 0, 0);
  spinLayout->setSpacing(0);
  for (int step : {1, -1}) {
    auto* arrow = new QToolButton(spin);
    arrow->setObjectName(step > 0 ? QStringLiteral("SpinButton1Up")
                                  : QStringLiteral("SpinButton1Down"));
    arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
    arrow->setAutoRepeat(true);
    arrow->setFixedHeight(fontMetrics().height() / 2 + 4);
    SetHint(arrow, gapHint);
    spinLayout->addWidget(arrow);
    connect(arrow, &QToolButton::clicked, this,
            Guarded([this, step](bool) { StepExtraSongTime(step); }));
  }
  toolBar_->addWidget(spin);
  toolBar_->addSeparator();

  QToolButton* mark =
      AddButton("MarkButton", QStringLiteral("Mark"),
                QStringLiteral(
                    "Mark Songs on Tape|Indicate in the database that these songs are on a tape."));
  connect(mark, &QToolButton::clicked, this, Guarded([this](bool) { MarkSongsOnTape(); }));
  // Hidden unless the settings ask for it; a toolbar hides its widgets through their actions.
  for (QAction* a : toolBar_->actions()) {
    if (toolBar_->widgetForAction(a) == mark) a->setVisible(false);
  }
  const QList<QAction*> all = toolBar_->actions();
  tapeActions_ = all.mid(all.indexOf(tapeActions_.front()));
}

void TCassetteInsert::ReadSettings() {
  settings_ = std::make_unique<TProfile>(QString::fromLatin1(kIniFileName));
  const QString section = QString::fromLatin1(kSection);
  arranger_->SetArrangement(
      settings_->ReadInteger(section, QStringLiteral("Layout"), arranger_->Arrangement()));
  int tape = settings_->ReadInteger(section, QStringLiteral("TapeLength"), kDefaultTapeLength);
  if (tape <= -1) tape = kDefaultTapeLength;
  timeEdit_->SetTime(tape);
  // The length as the field shows it, so the two never disagree.
  if (timeEdit_->Time() >= 0) arrangement_->SetTapeLength(timeEdit_->Time());
  const int delta = std::clamp(settings_->ReadInteger(section, QStringLiteral("PerSongDelta"), 0),
                               -kMaxDelta, kMaxDelta);
  extraSongTime_->setText(QString::number(delta));
  arrangement_->SetPerSongDelta(delta);
  const bool mark =
      settings_->ReadInteger(QStringLiteral("Features"), QStringLiteral("MarkSongsOnTape"), 0) != 0;
  for (QAction* a : toolBar_->actions()) {
    if (toolBar_->widgetForAction(a) == Button("MarkButton")) a->setVisible(mark);
  }
}

void TCassetteInsert::WriteSettings() {
  if (!settings_) return;
  const QString section = QString::fromLatin1(kSection);
  settings_->WriteInteger(section, QStringLiteral("Layout"), arranger_->Arrangement());
  // Invalid text in the field at the end keeps the length the cassette was arranged for.
  const int time = timeEdit_->Time();
  settings_->WriteInteger(section, QStringLiteral("TapeLength"),
                          time >= 0 ? time : arrangement_->TapeLength());
  settings_->WriteInteger(section, QStringLiteral("PerSongDelta"), arrangement_->PerSongDelta());
}

void TCassetteInsert::FitWindowSize() {
  area_->setFixedSize(arranger_->AreaWidth(), arranger_->AreaHeight());
  const QSize room = ScreenRoom(this);
  // Once fitted to a small screen the window stays so until the room changes: going back and
  // forth would move the controls about each time the window is shown.
  if (scroller_ != nullptr && room == fittedRoom_) return;
  fittedRoom_ = room;
  SplitToolBar(false);
  ScrollInsertArea(false);
  layout()->invalidate();
  // Menu bar, toolbar and status bar on top of the insert area; the layout adds them up.
  const QSize natural = QMainWindow::sizeHint().expandedTo(QSize(arranger_->AreaWidth(), 0));
  if (!room.isValid() || (natural.width() <= room.width() && natural.height() <= room.height())) {
    setFixedSize(natural);
    return;
  }
  SplitToolBar(toolBar_->sizeHint().width() > room.width());
  ScrollInsertArea(true);
  layout()->invalidate();
  QSize size = QMainWindow::sizeHint().expandedTo(QSize(arranger_->AreaWidth(), 0));
  // Room for the scroll bars the capped size calls for; a horizontal one can call for a
  // vertical one in turn.
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroller_);
  const bool vertical = size.height() > room.height();
  if (vertical) size.rwidth() += bar;
  if (size.width() > room.width()) {
    size.rheight() += bar;
    if (!vertical && size.height() > room.height()) size.rwidth() += bar;
  }
  setFixedSize(size.boundedTo(room));
}

void TCassetteInsert::SplitToolBar(bool split) {
  if (split == toolBarSplit_) return;
  toolBarSplit_ = split;
  if (tapeBar_ == nullptr) {
    tapeBar_ = new QToolBar(QStringLiteral("TapeBar"), this);
    tapeBar_->setObjectName(QStringLiteral("TapeBar"));
    tapeBar_->setMovable(false);
    tapeBar_->setFloatable(false);
    tapeBar_->toggleViewAction()->setEnabled(false);
  }
  QToolBar* from = split ? toolBar_ : tapeBar_;
  QToolBar* to = split ? tapeBar_ : toolBar_;
  // A widget's action hands its widget on to the toolbar it joins.
  for (QAction* action : tapeActions_) {
    from->removeAction(action);
    to->addAction(action);
  }
  // The separator would stand alone at the start of the row.
  tapeActions_.front()->setVisible(!split);
  if (split) {
    addToolBarBreak();
    addToolBar(tapeBar_);
    tapeBar_->show();
  } else {
    removeToolBarBreak(tapeBar_);
    removeToolBar(tapeBar_);
  }
}

void TCassetteInsert::ScrollInsertArea(bool scroll) {
  if (scroll == (scroller_ != nullptr)) return;
  if (scroll) {
    takeCentralWidget();
    scroller_ = new QScrollArea(this);
    scroller_->setObjectName(QStringLiteral("InsertScroller"));
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Tab goes on from control to control as before; the scroll area brings each into view.
    scroller_->setFocusPolicy(Qt::NoFocus);
    scroller_->setWidget(area_);
    setCentralWidget(scroller_);
    // Made while the window is being shown, it would only show itself after the size is set.
    scroller_->show();
  } else {
    scroller_->takeWidget();
    setCentralWidget(area_);  // deletes the scroll area
    area_->show();
    scroller_ = nullptr;
  }
}

void TCassetteInsert::showEvent(QShowEvent* event) {
  FitWindowSize();
  QMainWindow::showEvent(event);
}

QAction* TCassetteInsert::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

QToolButton* TCassetteInsert::Button(const char* name) const {
  return findChild<QToolButton*>(QString::fromLatin1(name));
}

// ---- Published ----------------------------------------------------------------------

void TCassetteInsert::SetDataSource(TReelsmithDB* database) {
  arrangement_->SetDataSource(database);
}

bool TCassetteInsert::HasMusic(const TReelsmithRecord& record) const {
  return arrangement_->ContainsSongsOf(record);
}

void TCassetteInsert::RemoveMusic(const TReelsmithRecord& record) {
  arrangement_->RemoveSongsOf(record);
}

void TCassetteInsert::SetBackgroundPicture(const QImage& picture, TPictureLayout layout) {
  picture_ = picture.copy();
  pictureLayout_ = layout;
}

bool TCassetteInsert::Printing() const { return insertPrinter_->Printing() || printingSongList_; }

// ---- Drag and drop ------------------------------------------------------------------

bool TCassetteInsert::IsCassetteList(const QObject* object) const {
  return object != nullptr && (object == side1_ || object == side2_ || object == excess_);
}

TCassetteList* TCassetteInsert::ListOfViewport(const QObject* viewport) const {
  for (TCassetteList* list : {side1_, side2_, excess_}) {
    if (list->viewport() == viewport) return list;
  }
  return nullptr;
}

bool TCassetteInsert::OverFlap(const QPoint& windowPos) const {
  // Scrolled, only the part of a flap in the scroll area's view is under the pointer; the bars
  // above and below belong to the window.
  const QWidget* view = scroller_ != nullptr ? scroller_->viewport() : nullptr;
  const QRect shown =
      view != nullptr ? QRect(view->mapTo(this, QPoint(0, 0)), view->size()) : rect();
  for (const QWidget* flap :
       {static_cast<QWidget*>(frontFlap_), static_cast<QWidget*>(edgeFlap_)}) {
    const QRect r = QRect(flap->mapTo(this, QPoint(0, 0)), flap->size()) & shown;
    if (r.contains(windowPos)) return true;
  }
  return false;
}

bool TCassetteInsert::OnSideDragOver(QObject*, QObject* source, const QPoint&) const {
  return CarriesRecord(source);
}

void TCassetteInsert::OnSideDragDrop(QObject* sender, QObject* source, const QPoint& pos) {
  if (source == nullptr) return;
  TReelsmithRecord* record = Tag(source);
  if (record == nullptr) return;
  if (IsCassetteList(source)) {
    // A list's tag points at a song the arrangement owns; once that song has left the cassette
    // the pointer is stale, so it is only compared, never followed, until found.
    const auto& songs = arrangement_->SongList();
    bool onCassette = false;
    for (const auto& song : songs)
      onCassette |= static_cast<TReelsmithRecord*>(song.get()) == record;
    if (!onCassette) {
      SetTag(source, nullptr);
      return;
    }
    if (IsCassetteList(sender)) {
      auto* list = static_cast<TCassetteList*>(sender);
      auto* song = static_cast<TReelsmithSong*>(record);
      QListWidgetItem* item = list->itemAt(pos);
      if (item != nullptr)
        arrangement_->MoveSongBefore(list, list->row(item), song);
      else
        arrangement_->MoveSongAfter(list, list->EntryCount(), song);
      return;
    }
  }
  arrangement_->AddSongs(*record);
}

bool TCassetteInsert::TakesWindowDrag(QEvent::Type type, QObject* source,
                                      const QPoint& windowPos) const {
  if (!CarriesRecord(source)) return false;
  return type == QEvent::DragEnter || !OverFlap(windowPos);
}

bool TCassetteInsert::WindowDropEvent(QEvent* event) {
  const QEvent::Type type = event->type();
  return HandleMusicDropEvent(
      event,
      [this, type](QObject* source, const QPoint& pos) {
        return TakesWindowDrag(type, source, pos);
      },
      [this](QObject* source, const QPoint& pos) { OnSideDragDrop(this, source, pos); });
}

void TCassetteInsert::dragEnterEvent(QDragEnterEvent* event) { WindowDropEvent(event); }
void TCassetteInsert::dragMoveEvent(QDragMoveEvent* event) { WindowDropEvent(event); }
void TCassetteInsert::dropEvent(QDropEvent* event) { WindowDropEvent(event); }

bool TCassetteInsert::eventFilter(QObject* watched, QEvent* event) {
  TCassetteList* list = ListOfViewport(watched);
  if (list == nullptr) return QMainWindow::eventFilter(watched, event);
  const int which = list == side1_ ? 0 : list == side2_ ? 1 : 2;
  TDragStarter& starter = *dragStarters_[which];
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* press = static_cast<QMouseEvent*>(event);
      starter.Disarm();
      if (press->button() == Qt::LeftButton) starter.Arm(press->position().toPoint());
      break;
    }
    case QEvent::MouseMove: {
      auto* move = static_cast<QMouseEvent*>(event);
      if (starter.ShouldStart(move->position().toPoint())) {
        // The press has highlighted the entry by now.
        const int row = list->currentRow();
        if (list->EntryCount() > 0 && row >= 0 && list->EntrySong(row) != nullptr) {
          SetTag(list, list->EntrySong(row));
          ExecMusicDrag(list);
          return true;
        }
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      starter.Disarm();
      break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return HandleMusicDropEvent(
          event,
          [this, list](QObject* source, const QPoint& pos) {
            return OnSideDragOver(list, source, pos);
          },
          [this, list](QObject* source, const QPoint& pos) { OnSideDragDrop(list, source, pos); });
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Tape length and gap ------------------------------------------------------------

void TCassetteInsert::TimeFieldLeft() {
  const int time = timeEdit_->Time();
  if (time >= 0 && time != arrangement_->TapeLength()) arrangement_->SetTapeLength(time);
}

void TCassetteInsert::TimeFieldInvalid() {
  MessageDlg(QString::fromLatin1(kIllegalTime), mtError, mbOK, this);
  timeEdit_->SetTime(arrangement_->TapeLength());
  timeEdit_->setFocus();
}

void TCassetteInsert::StepExtraSongTime(int step) {
  bool ok = false;
  int delta = extraSongTime_->text().toInt(&ok);
  if (!ok) delta = arrangement_->PerSongDelta();
  delta = std::clamp(delta + (step > 0 ? 1 : step < 0 ? -1 : 0), -kMaxDelta, kMaxDelta);
  extraSongTime_->setText(QString::number(delta));
  arrangement_->SetPerSongDelta(delta);
}

// ---- Commands -----------------------------------------------------------------------

void TCassetteInsert::Optimize() { arrangement_->Optimize(); }

void TCassetteInsert::Randomize() { arrangement_->Randomize(); }

void TCassetteInsert::ClearSongs() { arrangement_->ClearSongs(); }

void TCassetteInsert::MarkSongsOnTape() { arrangement_->MarkSongsUsedOnTape(); }

void TCassetteInsert::SelectBackgroundPicture() {
  if (Printing()) return;
  TBackgroundBitmapDlg dialog(this);
  if (InstallHelpKey) InstallHelpKey(&dialog);
  // Cancel keeps the picture in use and the stored choice alike.
  if (ShowBackgroundPictureDialog(dialog) == QDialog::Accepted)
    SetBackgroundPicture(dialog.Picture(), dialog.PictureLayout());
}

QPrinter& TCassetteInsert::Printer() const {
  // Made on first use: a printer loads the print system's plugin and asks for its printers, which
  // a start that never prints should not wait for.
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void TCassetteInsert::PrintSetup() {
  if (Printing()) return;
  RunPrinterSetup(Printer(), this);
}

bool TCassetteInsert::AskPrinter() {
  statusLine_->clear();
  Printer().setCopyCount(1);
  return RunPrintDialog(Printer(), this);
}

void TCassetteInsert::PrintInsert() {
  // Printing lets events through between its steps; a second command then waits its turn.
  if (Printing()) return;
  if (!AskPrinter()) return;
  insertPrinter_->SetAborted(false);
  cancelDlgWrapper_->Show(QStringLiteral("Printing..."));
  struct TFinally {
    TCassetteInsert* window;
    ~TFinally() {
      window->cancelDlgWrapper_->Hide();
      window->activateWindow();
    }
  } finally{this};
  insertPrinter_->FrontFlap()->AssignFrom(frontFlap_);
  insertPrinter_->EdgeFlap()->AssignFrom(edgeFlap_);
  insertPrinter_->Side1()->AssignFrom(side1_);
  insertPrinter_->Side2()->AssignFrom(side2_);
  insertPrinter_->SetArrangement(arranger_->Arrangement());
  Printer().setDocName(QStringLiteral("Reelsmith Cassette Insert"));
  insertPrinter_->PrintCopies(Printer(), picture_, pictureLayout_);
}

void TCassetteInsert::PreviewInsert() {
  if (Printing()) return;
  statusLine_->clear();
  insertPrinter_->FrontFlap()->AssignFrom(frontFlap_);
  insertPrinter_->EdgeFlap()->AssignFrom(edgeFlap_);
  insertPrinter_->Side1()->AssignFrom(side1_);
  insertPrinter_->Side2()->AssignFrom(side2_);
  insertPrinter_->SetArrangement(arranger_->Arrangement());
  RunPrintPreview(
      Printer(),
      [this](QPrinter* target) {
        insertPrinter_->SetAborted(false);
        QPainter painter(target);
        FixPrinterFont(painter);
        insertPrinter_->LayoutInsert(*target, 0, 0);
        insertPrinter_->PrintInsert(painter, picture_, pictureLayout_);
      },
      this);
}

void TCassetteInsert::PrintSongList() {
  if (Printing()) return;
  if (!AskPrinter()) return;
  printingSongList_ = true;
  struct TFinally {
    bool& flag;
    ~TFinally() { flag = false; }
  } finally{printingSongList_};
  TBusyCursor busy;
  const int copies = std::max(1, Printer().copyCount());
  Printer().setCopyCount(1);
  // A file takes one job: further jobs would only write over it.
  const int jobs = Printer().outputFileName().isEmpty() ? copies : 1;
  for (int job = 0; job < jobs; ++job) arrangement_->PrintSongList(Printer());
}

void TCassetteInsert::PreviewSongList() {
  if (Printing()) return;
  statusLine_->clear();
  RunPrintPreview(
      Printer(), [this](QPrinter* target) { arrangement_->PrintSongList(*target); }, this);
}

// ---- Window events ------------------------------------------------------------------

bool TCassetteInsert::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::StatusTip:
      // While the window is active its status line shows the hint under the mouse.
      statusLine_->setText(static_cast<QStatusTipEvent*>(event)->tip());
      return true;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      statusLine_->clear();
      break;
    default:
      break;
  }
  return QMainWindow::event(event);
}

void TCassetteInsert::closeEvent(QCloseEvent* event) {
  // The print in progress still draws on the window's sections.
  if (Printing()) {
    event->ignore();
    return;
  }
  event->accept();
}
