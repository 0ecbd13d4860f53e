#pragma once

#include "client/album_record.h"
#include "select/find_text.h"
#include "select/list_box.h"
#include "select/record_grid.h"

#include <QPointer>

#include <memory>

// A selector: a grid listing every album, artist or song of the catalogue, with a sub-list of the
// albums related to the chosen row under it. Choosing a row in the selector last entered makes
// the row's album the database component's current album.
class TReelsmithSelector : public TReelsmithGrid {
  Q_OBJECT

 public:
  explicit TReelsmithSelector(QWidget* parent = nullptr);
  ~TReelsmithSelector() override;

  // The selector showing db that most recently received the input focus; none at start and
  // after every refresh of any selector of that catalogue.
  static TReelsmithSelector* CurrentSelector(const TReelsmithDB* db);

  TExListBox* AlbumLB() const { return albumLB_; }
  // Stores the list box, hides it and makes it start drags and choose albums.
  void SetAlbumLB(TExListBox* listBox);

  // The albums related to the selected row, in the order the record gave them.
  const TOwnerList<TReelsmithAlbum>& RelatedAlbums() const { return related_; }

  // Fetches the records and lists them, one per row, the display text in the first data column
  // (read from the record when the row is first shown or searched); the sub-list then shows the
  // albums of the row now current.
  void Refresh() override;

  // Searches the first data column from the row after (or before) the current one; on a match
  // makes that row current. Yields to pending events every 64 rows; stops, answering false, when
  // CancelFind is called meanwhile. Never wraps around.
  bool Find(const QString& text, TFindOptions options);
  void CancelFind() { cancelFind_ = true; }

 protected:
  void CatalogueNew() override;
  void CatalogueLoaded() override;
  bool SelectCell(int col, int row) override;
  // The album attached to the chosen sub-list item becomes the current album.
  virtual void SubListClick();
  // Writes a record's texts into its row; the first data column holds the display text.
  virtual void FillRow(int row, const TReelsmithRecord& record);
  // Rows are filled from their records when first shown or searched.
  void FillDeferredRow(int row) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  bool IsCurrent() const;
  void ForgetCurrentSelector();
  // Makes a copy of the album the database component's current album. The component does not own
  // it, so the selector keeps it until it hands over another: the component never holds an album
  // that a refreshed related-album list has freed.
  void MakeCurrent(const TReelsmithAlbum* album);
  void SelectFirstRow();
  void ClearSubList();
  void SubListMouseDown(QMouseEvent* event);

  QPointer<TExListBox> albumLB_;
  TOwnerList<TReelsmithAlbum> related_;
  std::unique_ptr<TReelsmithAlbum> chosenAlbum_;
  bool cancelFind_ = false;
};
