#include "cassette/cassette_list.h"

#include <QListWidgetItem>

#include <memory>

#include "cassette/song_arrangement.h"

namespace {
// Where an entry keeps its song object.
constexpr int kSongRole = Qt::UserRole;
}  // namespace

TCassetteList::TCassetteList(QWidget* parent) : QListWidget(parent) {}

void TCassetteList::AddEntry(const QString& text, TReelsmithSong* song) {
  auto item = std::make_unique<QListWidgetItem>(text);
  item->setData(kSongRole, QVariant::fromValue(static_cast<void*>(song)));
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
