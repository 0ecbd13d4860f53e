#pragma once

#include "client/owner_list.h"
#include "client/record.h"
#include "select/control_grid.h"
#include "select/music_drag.h"

#include <QPointer>

class TNotifyLink;
class TReelsmithDB;
class TReelsmithDBEventInfo;

// The records a grid shows, one per data row in order; owned by the grid.
using TRecordList = TOwnerList<TReelsmithRecord>;

// A list of a particular record class as a list of records, in the same order.
template <class T>
TRecordList ToRecordList(TOwnerList<T> list) {
  const int n = list.Count();
  std::vector<std::unique_ptr<TReelsmithRecord>> items(static_cast<size_t>(n));
  for (int i = n - 1; i >= 0; --i) items[static_cast<size_t>(i)] = list.Extract(i);
  TRecordList out;
  out.Reserve(n);
  for (auto& item : items) out.Add(std::move(item));
  return out;
}

// A catalogue grid: it listens to a database component and routes each change event to a
// handler of its own, keeps the list of records it shows, takes its row height from the settings
// and starts a drag of a row's record on a left-button press.
class TReelsmithGrid : public TControlGrid {
  Q_OBJECT

 public:
  explicit TReelsmithGrid(QWidget* parent = nullptr);
  ~TReelsmithGrid() override;

  TReelsmithDB* DataSource() const;
  // Stores the component and attaches the change link to it.
  void SetDataSource(TReelsmithDB* dataSource);

  // The records shown, the first on row FixedRows(); empty before the first fetch.
  const TRecordList& Records() const { return records_; }
  // The record of a data row, or null when the row has none.
  TReelsmithRecord* RecordOfRow(int row) const;

  // The row height the settings ask for ("Grids"/"RowHeight", read once at construction); 0
  // means the font's character height plus 6.
  int RowHeightSetting() const { return rowHeightSetting_; }

  // Routes a change event code to its handler; codes 3, 4 and 5 reach none.
  void Dispatch(int event);

  virtual void Refresh();

  // A left-button press at this viewport point: when the row holds a record and no album is
  // being edited, puts the record in the tag and waits for the mouse to move before dragging.
  // Answers whether a drag was armed.
  bool BeginDragAt(const QPoint& viewportPos);
  bool DragArmed() const { return dragStarter_.Armed(); }

 protected:
  // Handlers of the change events; the first four refresh, the others do nothing.
  virtual void CatalogueNew();
  virtual void CatalogueLoaded();
  virtual void AlbumDeleted();
  virtual void RecordsChanged();
  virtual void CurrentAlbumChanged();
  virtual void SongSortChanged();
  virtual void EditingChanged();
  virtual void SongMarkChanged();
  // A new list of the records to show; the grid owns it.
  virtual TRecordList FetchRecords() = 0;

  // Replaces the record list by a new fetch. The tag never outlives the records it points to,
  // so it is emptied here.
  void ReplaceRecords();

  void ApplyRowHeight();
  // Whether the event still waits in the data source's queue.
  bool OtherRefreshQueued(int event) const;

  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TNotifyLink* link_;
  TRecordList records_;
  int rowHeightSetting_ = 0;
  TDragStarter dragStarter_;
};
