#pragma once

#include "select/selector.h"

class QAction;
class QMenu;

// Lists every song of the catalogue in the current song order: its title and its playing time.
// Its pop-up menu switches the order between alphabetical and by time.
class TSongSelector : public TReelsmithSelector {
  Q_OBJECT

 public:
  explicit TSongSelector(QWidget* parent = nullptr);

  // "%3d:%02d" of minutes and seconds; "??:??" for a song without a time.
  static QString TimeText(int seconds);

  // Asks the database component to sort the songs by time (true) or by title (false); the change
  // event that follows refreshes the list.
  void SetSongSortByTime(bool byTime);

  QMenu* PopupMenu() const { return popupMenu_; }
  QAction* SortAlphabeticallyAction() const { return sortAlphabetically_; }
  QAction* SortByTimeAction() const { return sortByTime_; }
  // The menu items' handlers: sort, with the hourglass meanwhile, and move the check mark.
  void SortAlphabeticallyMenuClick();
  void SortByTimeMenuClick();

  // Lists the songs, then selects the first data row.
  void Refresh() override;

 protected:
  TRecordList FetchRecords() override;
  void FillRow(int row, const TReelsmithRecord& record) override;
  void SongSortChanged() override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void SortMenuClick(bool byTime);
  void FitColumns();

  QMenu* popupMenu_;
  QAction* sortAlphabetically_;
  QAction* sortByTime_;
};
