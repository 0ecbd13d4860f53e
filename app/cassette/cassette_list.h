#pragma once

#include <QListWidget>
#include <QPointer>
#include <QString>

class QAction;
class QContextMenuEvent;
class QMenu;
class TReelsmithSong;
class TSongArrangement;

// The songs of one cassette side, or the songs that fit on neither side. Each entry is the
// song's title and the song object, which the arrangement owns; the arrangement alone fills and
// empties the list, rebuilding it after every change.
//
// A right click opens a menu with "&Remove Highlighted Song" and, while SetableFont is true,
// "&Font...".
class TCassetteList : public QListWidget {
  Q_OBJECT

 public:
  explicit TCassetteList(QWidget* parent = nullptr);

  void AddEntry(const QString& text, TReelsmithSong* song);
  void ClearEntries() { clear(); }
  int EntryCount() const { return count(); }
  // The entry's text and song; empty and nullptr outside 0 .. EntryCount() - 1.
  QString EntryText(int index) const;
  TReelsmithSong* EntrySong(int index) const;

  // Whether the menu offers "&Font...". Turning it on adds the item once; turning it off
  // destroys it.
  bool SetableFont() const { return setableFont_; }
  void SetSetableFont(bool value);

  // The arrangement that removing an entry acts on; may be unset.
  // Defined out of line: the arrangement's class is only declared here.
  TSongArrangement* SongArrangement() const;
  void SetSongArrangement(TSongArrangement* arrangement);

  // The right-click menu, and its items as they stand (FontItem is nullptr while the font is
  // fixed). PreparePopup enables the remove item exactly when an entry is highlighted and an
  // arrangement is set; the menu runs it each time it opens.
  QMenu* PopupMenu() const { return menu_; }
  QAction* RemoveItem() const { return removeItem_; }
  QAction* FontItem() const { return fontItem_; }
  void PreparePopup();

  // Default entry height: 16 pixels at 96 dpi scaled with the screen, never below the font's line.
  int EntryHeight() const;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void RemoveHighlighted();
  void ChooseFont();
  void ApplyEntryHeight();

  bool setableFont_ = false;
  QPointer<TSongArrangement> songArrangement_;
  QMenu* menu_ = nullptr;          // child of this list
  QAction* removeItem_ = nullptr;  // child of menu_
  QAction* fontItem_ = nullptr;    // child of menu_, or none
};
