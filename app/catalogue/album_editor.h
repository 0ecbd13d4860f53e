#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "album/album_store.h"
#include "album/album_validation.h"

class QWidget;
class TReelsmithAlbum;
class TReelsmithDB;
class TReelsmithFieldCtrl;
class TSongsGrid;

// The album panel's editing commands: entering a new album, changing, storing and deleting the
// displayed one, and inserting and deleting song rows. The editing state itself lives in the
// database component (CurrentAlbum, Editing), so every control follows it through change
// events; this class reads what was typed, checks it and stores it.
class TAlbumEditor : public QObject {
  Q_OBJECT

 public:
  // The seven field controls in field order (title, artist, medium, the four user fields);
  // `window` parents the message boxes. All must outlive the editor.
  TAlbumEditor(TReelsmithDB& db, const std::array<TReelsmithFieldCtrl*, 7>& fields,
               TSongsGrid& grid, QWidget* window);
  ~TAlbumEditor() override;

  void NewAlbum();
  void EditAlbum();
  void CancelEditing();
  // Checks and stores the album; false when a check failed or the store was refused.
  bool SaveChanges();
  void DeleteAlbum();
  void InsertSong();
  void DeleteSong();
  // Runs the checks on what was typed, shows the first failure and puts the cursor there.
  bool ValidateAlbum();

  // Whether an album being edited may be dropped for another one: asks while editing; true
  // when not editing.
  bool ConfirmDiscard();

  // The album Cancel Editing returns to (a copy of its own), none for an empty panel.
  const TReelsmithAlbum* RememberedAlbum() const { return remembered_.get(); }

  // The cassette insert: whether it holds songs of an album, and taking them off it. Until a
  // cassette window answers, it holds none.
  std::function<bool(const TReelsmithAlbum&)> HasMusic;
  std::function<void(const TReelsmithAlbum&)> RemoveMusic;

  // The store, for its test seam.
  TAlbumStore& Store() { return store_; }

 private:
  struct TSheetSnapshot {
    std::array<QString, 7> texts;
    std::array<int, 7> indexes{};
    std::vector<QStringList> rows;
    std::vector<bool> marks;
  };

  bool CassetteLetsGo(const TReelsmithAlbum& album);
  void Remember(const TReelsmithAlbum* album);
  void Show(const TReelsmithAlbum* album);
  TAlbumCheckInput CheckInput() const;
  TAlbumContents Contents() const;
  bool RowHasText(int gridRow) const;
  bool MarkOfRow(int n) const;
  TSheetSnapshot Snapshot() const;
  void Restore(const TSheetSnapshot& s);
  void GoToCell(int row, int col);
  void ShowError(const QString& text);

  TReelsmithDB& db_;
  std::array<TReelsmithFieldCtrl*, 7> fields_;
  TSongsGrid& grid_;
  QWidget* window_;
  TAlbumStore store_;
  // The component points only at shown_ (or a selector's copy), never at remembered_, so either
  // can be replaced without leaving it a freed object.
  std::unique_ptr<TReelsmithAlbum> remembered_;
  std::unique_ptr<TReelsmithAlbum> shown_;
  // The on-tape marks of the sheet's rows while the "On Tape" column is hidden: they must
  // survive an edit all the same.
  std::vector<bool> marks_;
};
