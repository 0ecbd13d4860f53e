#include "cassette/cassette_list.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QListWidgetItem>
#include <QMenu>

#include <algorithm>
#include <memory>

#include "cassette/song_arrangement.h"
#include "client/song_record.h"
#include "shell/font_dialog.h"

namespace {
// Where an entry keeps its song object.
constexpr int kSongRole = Qt::UserRole;
}  // namespace

TCassetteList::TCassetteList(QWidget* parent) : QListWidget(parent) {
  menu_ = new QMenu(this);
  removeItem_ = menu_->addAction(tr("&Remove Highlighted Song"));
  connect(removeItem_, &QAction::triggered, this, &TCassetteList::RemoveHighlighted);
  setUniformItemSizes(true);
  ApplyEntryHeight();
}

void TCassetteList::AddEntry(const QString& text, TReelsmithSong* song) {
  auto item = std::make_unique<QListWidgetItem>(text);
  item->setData(kSongRole, QVariant::fromValue(static_cast<void*>(song)));
  item->setSizeHint(QSize(0, EntryHeight()));
  addItem(item.release());  // the list owns its items
}

QString TCassetteList::EntryText(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry ? entry->text() : QString();
}

TReelsmithSong* TCassetteList::EntrySong(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry ? static_cast<TReelsmithSong*>(entry->data(kSongRole).value<void*>()) : nullptr;
}

void TCassetteList::SetSetableFont(bool value) {
  setableFont_ = value;
  if (value && fontItem_ == nullptr) {
    fontItem_ = menu_->addAction(tr("&Font..."));
    connect(fontItem_, &QAction::triggered, this, &TCassetteList::ChooseFont);
  } else if (!value && fontItem_ != nullptr) {
    menu_->removeAction(fontItem_);
    delete fontItem_;
    fontItem_ = nullptr;
  }
}

TSongArrangement* TCassetteList::SongArrangement() const { return songArrangement_; }

void TCassetteList::SetSongArrangement(TSongArrangement* arrangement) {
  songArrangement_ = arrangement;
}

void TCassetteList::PreparePopup() {
  removeItem_->setEnabled(currentItem() != nullptr && songArrangement_ != nullptr);
}

int TCassetteList::EntryHeight() const {
  const int scaled = 16 * logicalDpiY() / 96;
  return std::max(scaled, QFontMetrics(font()).height());
}

void TCassetteList::contextMenuEvent(QContextMenuEvent* event) {
  PreparePopup();
  menu_->exec(event->globalPos());
}

void TCassetteList::changeEvent(QEvent* event) {
  QListWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) ApplyEntryHeight();
}

void TCassetteList::RemoveHighlighted() {
  const QListWidgetItem* entry = currentItem();
  if (entry == nullptr || songArrangement_ == nullptr) return;
  TReelsmithSong* song = EntrySong(row(entry));
  // The arrangement rebuilds this list, deleting the entry: nothing of it is used afterwards.
  if (song != nullptr) songArrangement_->RemoveSongsOf(*song);
}

void TCassetteList::ChooseFont() {
  if (auto chosen = AskFont(this, font())) setFont(*chosen);
}

void TCassetteList::ApplyEntryHeight() {
  const int height = EntryHeight();
  for (int i = 0; i < count(); ++i) item(i)->setSizeHint(QSize(0, height));
}
