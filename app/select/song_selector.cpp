#include "select/song_selector.h"

#include "client/database.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

TSongSelector::TSongSelector(QWidget* parent)
    : TReelsmithSelector(parent),
      popupMenu_(new QMenu(this)),
      sortAlphabetically_(popupMenu_->addAction(QStringLiteral("Sort &Alphabetically"))),
      sortByTime_(popupMenu_->addAction(QStringLiteral("Sort by &Time"))) {
  SetFixedCols(0);
  SetFixedRows(1);
  SetColCount(2);
  SetRowCount(2);
  SetCells(0, 0, QStringLiteral("Title"));
  SetCells(1, 0, QStringLiteral("Time"));
  SetOptions(goFixedVertLine | goFixedHorzLine | goRowSelect | goThumbTracking);
  setTextElideMode(Qt::ElideNone);
  sortAlphabetically_->setCheckable(true);
  sortByTime_->setCheckable(true);
  sortAlphabetically_->setChecked(true);
  connect(sortAlphabetically_, &QAction::triggered, this,
          [this] { SortAlphabeticallyMenuClick(); });
  connect(sortByTime_, &QAction::triggered, this, [this] { SortByTimeMenuClick(); });
}

QString TSongSelector::TimeText(int seconds) {
  if (seconds == 0) return QStringLiteral("??:??");
  return QString::asprintf("%3d:%02d", seconds / 60, seconds % 60);
}

void TSongSelector::SetSongSortByTime(bool byTime) {
  if (TReelsmithDB* db = DataSource()) db->SetSortByTime(byTime);
}

void TSongSelector::SortMenuClick(bool byTime) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    SetSongSortByTime(byTime);
  } catch (...) {
    QApplication::restoreOverrideCursor();
    throw;
  }
  sortAlphabetically_->setChecked(!byTime);
  sortByTime_->setChecked(byTime);
  QApplication::restoreOverrideCursor();
}

void TSongSelector::SortAlphabeticallyMenuClick() { SortMenuClick(false); }
void TSongSelector::SortByTimeMenuClick() { SortMenuClick(true); }

TRecordList TSongSelector::FetchRecords() {
  TReelsmithDB* db = DataSource();
  return db != nullptr ? ToRecordList(db->GetAllSongs()) : TRecordList();
}

void TSongSelector::FillRow(int row, const TReelsmithRecord& record) {
  TReelsmithSelector::FillRow(row, record);
  const auto* song = dynamic_cast<const TReelsmithSong*>(&record);
  SetCells(FixedCols() + 1, row, song != nullptr ? TimeText(song->Time()) : QString());
}

void TSongSelector::Refresh() {
  TReelsmithSelector::Refresh();
  FocusCell(FixedCols(), FixedRows());
}

void TSongSelector::SongSortChanged() { Refresh(); }

void TSongSelector::FitColumns() {
  if (ColCount() != 2) return;
  const int timeWidth = fontMetrics().horizontalAdvance(QStringLiteral(" 88:88")) +
                        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  SetColWidths(1, timeWidth);
  SetColWidths(0, std::max(viewport()->width() - timeWidth, 0));
}

void TSongSelector::resizeEvent(QResizeEvent* event) {
  TReelsmithSelector::resizeEvent(event);
  FitColumns();
}

void TSongSelector::contextMenuEvent(QContextMenuEvent* event) {
  popupMenu_->exec(event->globalPos());
}
