#include "select/selector.h"

#include "client/database.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <algorithm>

TReelsmithSelector::TReelsmithSelector(QWidget* parent) : TReelsmithGrid(parent) {}

TReelsmithSelector::~TReelsmithSelector() {
  if (IsCurrent()) ForgetCurrentSelector();
  ClearSubList();
}

// The current selector is kept by the database component the selectors share, so that each
// catalogue has its own and no process-wide state is needed.
TReelsmithSelector* TReelsmithSelector::CurrentSelector(const TReelsmithDB* db) {
  return db == nullptr ? nullptr : qobject_cast<TReelsmithSelector*>(db->CurrentSelector());
}

bool TReelsmithSelector::IsCurrent() const {
  const TReelsmithDB* db = DataSource();
  return db != nullptr && db->CurrentSelector() == this;
}

void TReelsmithSelector::ForgetCurrentSelector() {
  if (TReelsmithDB* db = DataSource()) db->SetCurrentSelector(nullptr);
}

void TReelsmithSelector::SetAlbumLB(TExListBox* listBox) {
  if (albumLB_ != nullptr) {
    albumLB_->OnMouseDown = nullptr;
    albumLB_->OnClick = nullptr;
  }
  albumLB_ = listBox;
  if (listBox == nullptr) return;
  listBox->hide();
  listBox->OnMouseDown = [this](QMouseEvent* event) { SubListMouseDown(event); };
  listBox->OnClick = [this] { SubListClick(); };
}

void TReelsmithSelector::FillRow(int row, const TReelsmithRecord& record) {
  SetCells(FixedCols(), row, record.DisplayName());
}

void TReelsmithSelector::FillDeferredRow(int row) {
  if (const TReelsmithRecord* record = RecordOfRow(row)) FillRow(row, *record);
}

void TReelsmithSelector::Refresh() {
  BeginUpdate();
  try {
    ReplaceRecords();
    const int count = Records().Count();
    SetRowCount(FixedRows() + std::max(count, 1));
    DeferRows(FixedRows(), count);
    if (count == 0) {
      for (int c = FixedCols(); c < ColCount(); ++c) SetCells(c, FixedRows(), QString());
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  ForgetCurrentSelector();
  // The related albums came from the old fetch and may name deleted records: rebuild them for
  // the row now current. No selector is current here, so the current album stays as it is.
  SelectCell(Col(), Row());
}

void TReelsmithSelector::SelectFirstRow() { FocusCell(FixedCols(), FixedRows()); }

void TReelsmithSelector::CatalogueNew() {
  Refresh();
  SelectFirstRow();
}

void TReelsmithSelector::CatalogueLoaded() {
  Refresh();
  SelectFirstRow();
}

void TReelsmithSelector::ClearSubList() {
  if (albumLB_ == nullptr) return;
  // The items and the tag point into the related-album list.
  SetTag(albumLB_, nullptr);
  albumLB_->clear();
}

bool TReelsmithSelector::SelectCell(int, int row) {
  ClearSubList();
  related_.Clear();
  const TReelsmithRecord* record = RecordOfRow(row);
  if (record == nullptr) {
    if (albumLB_ != nullptr) albumLB_->hide();
    return false;
  }
  related_ = record->Albums();
  if (albumLB_ != nullptr) {
    albumLB_->setVisible(related_.Count() >= 2);
    for (const auto& album : related_) albumLB_->AddItem(album->DisplayName(), album.get());
    albumLB_->SetItemIndex(0);
  }
  if (IsCurrent()) MakeCurrent(related_.IsEmpty() ? nullptr : related_.Items(0));
  return true;
}

void TReelsmithSelector::MakeCurrent(const TReelsmithAlbum* album) {
  TReelsmithDB* db = DataSource();
  if (db == nullptr) return;
  // Typed changes are not dropped behind the user's back.
  if (db->Editing() && db->OnLeaveEditing && !db->OnLeaveEditing()) return;
  std::unique_ptr<TReelsmithAlbum> copy;
  if (album != nullptr) copy = std::make_unique<TReelsmithAlbum>(db, album->Handle());
  db->SetCurrentAlbum(copy.get());
  // The previous copy goes only now that the component has let go of it.
  chosenAlbum_.swap(copy);
}

void TReelsmithSelector::SubListClick() {
  if (albumLB_ == nullptr) return;
  const int index = albumLB_->ItemIndex();
  if (index < 0) return;
  MakeCurrent(static_cast<const TReelsmithAlbum*>(albumLB_->ItemObject(index)));
}

void TReelsmithSelector::SubListMouseDown(QMouseEvent* event) {
  if (albumLB_ == nullptr || event->button() != Qt::LeftButton) return;
  const int index = albumLB_->ItemIndex();
  if (index < 0) return;
  SetTag(albumLB_, static_cast<TReelsmithAlbum*>(albumLB_->ItemObject(index)));
  albumLB_->BeginDrag(event->position().toPoint());
}

void TReelsmithSelector::focusInEvent(QFocusEvent* event) {
  TReelsmithGrid::focusInEvent(event);
  TReelsmithDB* db = DataSource();
  if (db == nullptr || IsCurrent()) return;
  db->SetCurrentSelector(this);
  // The album panel follows the selector in use.
  SelectCell(Col(), Row());
}

bool TReelsmithSelector::Find(const QString& text, TFindOptions options) {
  cancelFind_ = false;
  TFindText finder(text, options);
  const int step = (options & frDown) ? 1 : -1;
  int row = Row() + step;
  bool found = false;
  while (!cancelFind_ && !found && row >= FixedRows() && row <= RowCount() - 1) {
    if (row % 64 == 0) {
      QCoreApplication::processEvents();
      // A pending event may have cancelled the search or refreshed the grid.
      if (cancelFind_ || row > RowCount() - 1) break;
    }
    if (finder.FoundIn(Cells(FixedCols(), row))) {
      found = true;
    } else {
      row += step;
    }
  }
  if (found) SetRow(row);
  return found;
}
