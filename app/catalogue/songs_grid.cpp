#include "catalogue/songs_grid.h"

#include "client/database.h"
#include "client/text_encoding.h"
#include "platform/exceptions.h"
#include "platform/profile.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QShortcut>
#include <QStringView>
#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace {

constexpr int kTitleCol = 1;
constexpr int kArtistCol = 2;
constexpr int kTimeCol = 3;
constexpr int kOnTapeCol = 4;

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

TSongsGrid::TSongsGrid(QWidget* parent) : TReelsmithGrid(parent) {
  SetFixedCols(1);
  SetFixedRows(1);
  SetColCount(4);
  SetRowCount(2);
  SetDefaultColWidth(1024);
  SetGridLineWidth(1);
  SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goColSizing | goTabs |
             goRowSelect | goThumbTracking);
  SetCells(kTitleCol, 0, QStringLiteral("Title"));
  SetCells(kArtistCol, 0, QStringLiteral("Artist (if different)"));
  SetCells(kTimeCol, 0, QStringLiteral("Time"));
  SetColMaxLength(kTitleCol, kDbNameLength);
  SetColMaxLength(kArtistCol, kDbNameLength);
  verticalHeader()->setTextElideMode(Qt::ElideNone);
  // While editing, Tab moves between cells, so Ctrl+Tab and Ctrl+Shift+Tab leave the grid, as
  // they leave any control that uses Tab itself.
  for (const bool next : {true, false}) {
    auto* leave = new QShortcut(next ? QKeySequence(Qt::CTRL | Qt::Key_Tab)
                                     : QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                this);
    leave->setContext(Qt::WidgetWithChildrenShortcut);
    connect(leave, &QShortcut::activated, this, [this, next] { LeaveGrid(next); });
  }
}

void TSongsGrid::LeaveGrid(bool next) {
  CommitEditor();
  setFocus(Qt::OtherFocusReason);
  // The widget's own chain, not the cell navigation the view puts on Tab.
  QWidget::focusNextPrevChild(next);
}

TSongsGrid::~TSongsGrid() {
  try {
    SaveColumnWidths();
  } catch (const Exception& e) {
    // Nobody is left to tell: the window is going away.
    qWarning("%s", qUtf8Printable(e.Message()));
  }
}

int TSongsGrid::GridRow(int n, const char* error) const {
  const int row = n + FixedRows() - 1;
  // Row 0 is the heading, never a song row.
  if (n < 1 || row > RowCount() - 1) throw ERangeError(QString::fromLatin1(error));
  return row;
}

QString TSongsGrid::SongTitle(int n) const {
  return Cells(kTitleCol,
               GridRow(n, "Getting the song title can not be used to create a new song"));
}

void TSongsGrid::SetSongTitle(int n, const QString& title) {
  SetCells(kTitleCol, GridRow(n, "Setting the song title can not be used to create a new song"),
           title);
}

QString TSongsGrid::SongArtist(int n) const {
  return Cells(kArtistCol,
               GridRow(n, "Getting the song artist can not be used to create a new song"));
}

void TSongsGrid::SetSongArtist(int n, const QString& artist) {
  SetCells(kArtistCol, GridRow(n, "Setting the song artist can not be used to create a new song"),
           artist);
}

int TSongsGrid::SongTime(int n) const {
  return ParseSongTime(
      Cells(kTimeCol, GridRow(n, "Getting the song time can not be used to create a new song")));
}

void TSongsGrid::SetSongTime(int n, int seconds) {
  const int row = GridRow(n, "Setting the song time can not be used to create a new song");
  SetCells(kTimeCol, row,
           seconds == 0 ? QString() : QString::asprintf("%d:%02d", seconds / 60, seconds % 60));
}

bool TSongsGrid::SongOnTape(int n) const {
  const int row = GridRow(n, "Getting the song on tape flag can not be used to create a new song");
  return markSongsUsedOnTape_ && ColCount() > kOnTapeCol && !Cells(kOnTapeCol, row).isEmpty();
}

void TSongsGrid::SetSongOnTape(int n, bool onTape) {
  const int row = GridRow(n, "Setting the song on tape flag can not be used to create a new song");
  if (!markSongsUsedOnTape_ || ColCount() <= kOnTapeCol) return;
  SetCells(kOnTapeCol, row, onTape ? QStringLiteral("Y") : QString());
}

int TSongsGrid::ParseSongTime(const QString& text) {
  qsizetype end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  qsizetype begin = 0;
  while (begin < end && IsBlank(text[begin])) ++begin;
  const QStringView s = QStringView(text).mid(begin, end - begin);
  if (s.isEmpty()) return 0;

  // Minutes that would overflow are no time either.
  constexpr long long kMaxMinutes = (INT_MAX - 99) / 60;
  long long minutes = 0;
  qsizetype i = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) {
    minutes = minutes * 10 + (s[i].unicode() - u'0');
    if (minutes > kMaxMinutes) return -1;
  }
  if (i != s.size() - 3 || s[i] != u':' || !IsDigit(s[i + 1]) || !IsDigit(s[i + 2])) return -1;
  const int seconds = (s[i + 1].unicode() - u'0') * 10 + (s[i + 2].unicode() - u'0');
  return static_cast<int>(minutes * 60 + seconds);
}

void TSongsGrid::TrimCells() {
  for (int r = FixedRows(); r < RowCount(); ++r) {
    for (int c = FixedCols(); c < ColCount(); ++c) {
      const QString text = Cells(c, r);
      qsizetype end = text.size();
      while (end > 0 && IsBlank(text[end - 1])) --end;
      if (end != text.size()) SetCells(c, r, text.left(end));
    }
  }
}

void TSongsGrid::NumberRows() {
  for (int r = FixedRows(); r < RowCount(); ++r) {
    SetCells(0, r, QString::number(r - FixedRows() + 1));
  }
}

void TSongsGrid::SetMarkSongsUsedOnTape(bool value) {
  markSongsUsedOnTape_ = value;
  if (value) {
    SetColCount(kOnTapeCol + 1);
    SetCells(kOnTapeCol, 0, QStringLiteral("On Tape"));
    SetCheckColumn(kOnTapeCol, true);
  } else {
    SetColCount(kOnTapeCol);
  }
  // A grid already laid out would otherwise keep the new column at the default width until its
  // next resize.
  if (widthOfLastFit_ >= 0) FitColumns(true);
}

void TSongsGrid::SetReadOnly(bool value) {
  readOnly_ = value;
  if (value) {
    CommitEditor();
    ApplyViewingColour();
    // A grid that only shows songs is one stop of the Tab order, like any control.
    SetOptions((Options() & ~(goEditing | goAlwaysShowEditor | goTabs)) | goRowSelect);
    // The grid ends after the last consecutive titled row; the first row always stays.
    int rows = FixedRows() + 1;
    while (rows < RowCount() && !Cells(kTitleCol, rows).isEmpty()) ++rows;
    SetRowCount(rows);
    // An empty panel shows one empty numbered row, however it came to be empty.
    NumberRows();
  } else {
    setPalette(QPalette());  // every colour the desktop's again
    SetOptions((Options() | goEditing | goAlwaysShowEditor | goTabs) & ~goRowSelect);
    const int oldRows = RowCount();
    // An album longer than the sheet keeps all its rows, so saving it loses no song.
    SetRowCount(std::max(FixedRows() + kEditRows, oldRows));
    NumberRows();
    for (int r = oldRows; r < RowCount(); ++r) {
      for (int c = FixedCols(); c < ColCount(); ++c) SetCells(c, r, QString());
    }
  }
  FocusCell(FixedCols(), FixedRows());
}

void TSongsGrid::ApplyViewingColour() {
  // Only the background is the grid's own, taken from the desktop's current colours, so that a
  // palette changed while the program runs (light to dark) keeps the text readable.
  const QWidget* parent = parentWidget();
  const QColor button =
      (parent ? parent->palette() : QApplication::palette(this)).color(QPalette::Button);
  if (palette().resolveMask() != 0 && palette().color(QPalette::Base) == button) return;
  QPalette viewing;
  viewing.setColor(QPalette::Base, button);
  setPalette(viewing);
}

void TSongsGrid::changeEvent(QEvent* event) {
  TReelsmithGrid::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && readOnly_) ApplyViewingColour();
}

TRecordList TSongsGrid::FetchRecords() {
  const TReelsmithDB* db = DataSource();
  if (db == nullptr || db->CurrentAlbum() == nullptr) return TRecordList();
  return ToRecordList(db->CurrentAlbum()->Songs());
}

void TSongsGrid::ShowCurrentAlbum() {
  BeginUpdate();
  try {
    ReplaceRecords();
    const int count = Records().Count();
    if (count == 0) {
      SetRowCount(FixedRows() + kEditRows);
      for (int r = FixedRows(); r < RowCount(); ++r) {
        for (int c = FixedCols(); c < ColCount(); ++c) SetCells(c, r, QString());
      }
    } else {
      SetRowCount(FixedRows() + count);
    }

    std::vector<const TReelsmithSong*> songs(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      songs[static_cast<size_t>(i)] = dynamic_cast<const TReelsmithSong*>(Records().Items(i));
    }
    // The artist column is needed when any song's artist differs from the first song's.
    std::vector<QString> artists;
    bool artistNeeded = false;
    if (count >= 2) {
      artists.reserve(static_cast<size_t>(count));
      for (const TReelsmithSong* song : songs) {
        const std::unique_ptr<TReelsmithArtist> artist = song ? song->Artist() : nullptr;
        artists.push_back(artist ? artist->DisplayName() : QString());
        if (artists.back() != artists.front()) artistNeeded = true;
      }
    }

    NumberRows();
    for (int i = 0; i < count; ++i) {
      const TReelsmithSong* song = songs[static_cast<size_t>(i)];
      if (song == nullptr) continue;
      SetSongTitle(i + 1, song->DisplayName());
      SetSongArtist(i + 1, artistNeeded ? artists[static_cast<size_t>(i)] : QString());
      SetSongTime(i + 1, song->Time());
      if (markSongsUsedOnTape_) SetSongOnTape(i + 1, song->UsedOnTape());
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  SetRow(FixedRows());
  scrollToTop();
}

void TSongsGrid::CurrentAlbumChanged() { ShowCurrentAlbum(); }

void TSongsGrid::SongMarkChanged() {
  // A mark set elsewhere must not wipe a sheet being typed; the edit keeps its own marks.
  if (!readOnly_) return;
  ShowCurrentAlbum();
}

void TSongsGrid::EditingChanged() {
  if (const TReelsmithDB* db = DataSource()) SetReadOnly(!db->Editing());
}

int TSongsGrid::TextWidth(const QString& text) const {
  // The text's extent plus the margins a cell or heading keeps around it.
  const int margin =
      std::max(style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this),
               style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  return fontMetrics().horizontalAdvance(text) + 2 * margin;
}

void TSongsGrid::FitColumns(bool force) {
  if (ColCount() < 4 || (!force && width() == widthOfLastFit_)) return;
  const bool useIni = !iniFileName_.isEmpty() && !objectName().isEmpty();
  const TProfile profile(useIni ? iniFileName_ : QString::fromLatin1(kSettingsFileName));
  const QString section = objectName();
  auto read = [&](const char* key, int def) {
    return useIni ? profile.ReadInteger(section, QString::fromLatin1(key), def) : def;
  };

  const int col0 = read("Col0Width", TextWidth(QStringLiteral("100")));
  const int col3 = read("Col3Width", TextWidth(QStringLiteral(" 88:88")));
  int available = width() - col3 - col0 - 4 * GridLineWidth() -
                  style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  if (ColCount() > 4) {
    const int col4 = read("Col4Width", TextWidth(QStringLiteral("On Tape")));
    SetColWidths(kOnTapeCol, col4);
    available -= col4 + GridLineWidth();
  }
  const int col2 = read("Col2Width", available / 3);
  const int col1 = read("Col1Width", available - col2);
  SetColWidths(0, col0);
  SetColWidths(kTitleCol, col1);
  SetColWidths(kArtistCol, col2);
  SetColWidths(kTimeCol, col3);
  widthOfLastFit_ = width();
}

void TSongsGrid::SaveColumnWidths() {
  // Widths the grid never laid out are not the user's; keep what the file has.
  if (iniFileName_.isEmpty() || objectName().isEmpty() || widthOfLastFit_ < 0) return;
  TProfile profile(iniFileName_);
  const QString section = objectName();
  const int shown = std::min(ColCount(), kOnTapeCol + 1);
  for (int c = 0; c < shown; ++c) {
    profile.WriteInteger(section, QStringLiteral("Col%1Width").arg(c), ColWidths(c));
  }
}

void TSongsGrid::resizeEvent(QResizeEvent* event) {
  TReelsmithGrid::resizeEvent(event);
  FitColumns(false);
}
