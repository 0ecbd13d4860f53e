#include "select/record_grid.h"

#include "client/notify_link.h"
#include "client/database.h"
#include "platform/profile.h"

#include <QEvent>
#include <QMouseEvent>

TReelsmithGrid::TReelsmithGrid(QWidget* parent)
    : TControlGrid(parent), link_(new TNotifyLink(this)) {
  link_->OnNotify = [this](TReelsmithDB*, const TReelsmithDBEventInfo& info) {
    Dispatch(info.Event());
  };
  rowHeightSetting_ = TProfile(kSettingsFileName).ReadInteger("Grids", "RowHeight", 0);
  ApplyRowHeight();
}

TReelsmithGrid::~TReelsmithGrid() {
  // The tag points into the record list, which goes now.
  SetTag(this, nullptr);
}

TReelsmithDB* TReelsmithGrid::DataSource() const { return link_->DataSource(); }

void TReelsmithGrid::SetDataSource(TReelsmithDB* dataSource) { link_->SetDataSource(dataSource); }

TReelsmithRecord* TReelsmithGrid::RecordOfRow(int row) const {
  const int index = row - FixedRows();
  return index >= 0 && index < records_.Count() ? records_.Items(index) : nullptr;
}

void TReelsmithGrid::Dispatch(int event) {
  switch (event) {
    case dbeCleared:
      CatalogueNew();
      break;
    case dbeLoaded:
      CatalogueLoaded();
      break;
    case 2:
      Refresh();
      break;
    // Saving an edited album raises both; they refresh alike, so the later one does it alone.
    case dbeAlbumDeleted:
      if (!OtherRefreshQueued(dbeRecordsAdded)) AlbumDeleted();
      break;
    case dbeRecordsAdded:
      if (!OtherRefreshQueued(dbeAlbumDeleted)) RecordsChanged();
      break;
    case dbeAlbumChanged:
      CurrentAlbumChanged();
      break;
    case dbeSortChanged:
      SongSortChanged();
      break;
    case dbeEditingChanged:
      EditingChanged();
      break;
    case dbeTapeMarkChanged:
      SongMarkChanged();
      break;
    default:  // saved, field definitions changed, album about to change
      break;
  }
}

bool TReelsmithGrid::OtherRefreshQueued(int event) const {
  const TReelsmithDB* db = DataSource();
  return db && db->Queued(static_cast<TReelsmithDBEvent>(event));
}

void TReelsmithGrid::CatalogueNew() { Refresh(); }
void TReelsmithGrid::CatalogueLoaded() { Refresh(); }
void TReelsmithGrid::AlbumDeleted() { Refresh(); }
void TReelsmithGrid::RecordsChanged() { Refresh(); }
void TReelsmithGrid::Refresh() {}
void TReelsmithGrid::CurrentAlbumChanged() {}
void TReelsmithGrid::SongSortChanged() {}
void TReelsmithGrid::EditingChanged() {}
void TReelsmithGrid::SongMarkChanged() {}

void TReelsmithGrid::ReplaceRecords() {
  SetTag(this, nullptr);
  dragStarter_.Disarm();
  records_ = FetchRecords();
}

void TReelsmithGrid::ApplyRowHeight() {
  SetDefaultRowHeight(rowHeightSetting_ != 0 ? rowHeightSetting_ : fontMetrics().height() + 6);
}

void TReelsmithGrid::resizeEvent(QResizeEvent* event) {
  ApplyRowHeight();
  TControlGrid::resizeEvent(event);
}

void TReelsmithGrid::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) ApplyRowHeight();
  TControlGrid::changeEvent(event);
}

bool TReelsmithGrid::BeginDragAt(const QPoint& viewportPos) {
  int col = 0;
  int row = 0;
  if (!MouseToCell(viewportPos, col, row)) return false;
  TReelsmithRecord* record = RecordOfRow(row);
  const TReelsmithDB* db = DataSource();
  if (record == nullptr || (db != nullptr && db->Editing())) return false;
  SetTag(this, record);
  dragStarter_.Arm(viewportPos);
  return true;
}

void TReelsmithGrid::mousePressEvent(QMouseEvent* event) {
  dragStarter_.Disarm();
  TControlGrid::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) BeginDragAt(event->position().toPoint());
}

void TReelsmithGrid::mouseMoveEvent(QMouseEvent* event) {
  if (dragStarter_.ShouldStart(event->position().toPoint())) {
    ExecMusicDrag(this);
    // The drag took the button's release; the view must not go on selecting with the mouse.
    setState(QAbstractItemView::NoState);
    return;
  }
  TControlGrid::mouseMoveEvent(event);
}

void TReelsmithGrid::mouseReleaseEvent(QMouseEvent* event) {
  dragStarter_.Disarm();
  TControlGrid::mouseReleaseEvent(event);
}
