#include "select/list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

class TSortedItem : public QListWidgetItem {
 public:
  using QListWidgetItem::QListWidgetItem;

  bool operator<(const QListWidgetItem& other) const override {
    return QString::localeAwareCompare(text(), other.text()) < 0;
  }
};

}  // namespace

TExListBox::TExListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSortingEnabled(true);
}

int TExListBox::AddItem(const QString& text, void* object) {
  auto* item = new TSortedItem(text);  // owned by the list once added
  item->setData(Qt::UserRole, QVariant::fromValue(object));
  addItem(item);
  return row(item);
}

void* TExListBox::ItemObject(int row) const {
  const QListWidgetItem* it = item(row);
  return it != nullptr ? it->data(Qt::UserRole).value<void*>() : nullptr;
}

int TExListBox::ItemIndex() const {
  const QListWidgetItem* it = currentItem();
  return it != nullptr && it->isSelected() ? row(it) : -1;
}

void TExListBox::SetItemIndex(int row) {
  if (row < 0 || row >= count()) {
    setCurrentRow(-1);
    clearSelection();
    return;
  }
  setCurrentRow(row);
}

void TExListBox::CheckChange() {
  const int index = ItemIndex();
  if (index == lastIndex_) return;
  lastIndex_ = index;
  if (OnChange) OnChange();
}

void TExListBox::mousePressEvent(QMouseEvent* event) {
  dragStarter_.Disarm();
  QListWidget::mousePressEvent(event);
  if (OnMouseDown) OnMouseDown(event);
  CheckChange();
}

void TExListBox::mouseMoveEvent(QMouseEvent* event) {
  if (dragStarter_.ShouldStart(event->position().toPoint())) {
    ExecMusicDrag(this);
    return;
  }
  QListWidget::mouseMoveEvent(event);
}

void TExListBox::mouseReleaseEvent(QMouseEvent* event) {
  dragStarter_.Disarm();
  QListWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) != nullptr &&
      OnClick) {
    OnClick();
  }
  CheckChange();
}

void TExListBox::keyPressEvent(QKeyEvent* event) {
  const int before = ItemIndex();
  QListWidget::keyPressEvent(event);
  if (ItemIndex() != before && ItemIndex() >= 0 && OnClick) OnClick();
  CheckChange();
}
