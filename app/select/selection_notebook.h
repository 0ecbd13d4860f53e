#pragma once

#include <QTabWidget>

class TNotifyLink;
class TReelsmithDB;

// The tabbed notebook holding the album, artist and song selectors. It is linked to the database
// component but reacts to none of its events; the selectors on its pages do.
class TReelsmithSelectionNoteBook : public QTabWidget {
  Q_OBJECT

 public:
  explicit TReelsmithSelectionNoteBook(QWidget* parent = nullptr);

  TReelsmithDB* AlbumSelSource() const;
  void SetAlbumSelSource(TReelsmithDB* dataSource);

 private:
  TNotifyLink* link_;
};
