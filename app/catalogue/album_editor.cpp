#include "catalogue/album_editor.h"

#include <QWidget>

#include <algorithm>

#include "catalogue/field_controls.h"
#include "catalogue/songs_grid.h"
#include "client/database.h"
#include "platform/exceptions.h"
#include "shell/busy_cursor.h"
#include "shell/message_dialog.h"

namespace {

const char kCassetteQuestion[] =
    "Some songs on this album are also on the cassette insert. If you proceed, they will be "
    "removed from the insert.  Do you want to proceed?";

enum { kTitle = 0, kArtist = 1, kMedium = 2 };

}  // namespace

TAlbumEditor::TAlbumEditor(TReelsmithDB& db, const std::array<TReelsmithFieldCtrl*, 7>& fields,
                           TSongsGrid& grid, QWidget* window)
    : db_(db), fields_(fields), grid_(grid), window_(window), store_(db) {}

TAlbumEditor::~TAlbumEditor() {
  // The component must not keep pointing at an album object this editor owns.
  if (shown_ && db_.CurrentAlbum() == shown_.get()) {
    db_.SetDeferEvents(false);
    db_.SetCurrentAlbum(nullptr);
  }
}

void TAlbumEditor::Remember(const TReelsmithAlbum* album) {
  remembered_ = album ? std::make_unique<TReelsmithAlbum>(&db_, album->Handle()) : nullptr;
}

void TAlbumEditor::Show(const TReelsmithAlbum* album) {
  std::unique_ptr<TReelsmithAlbum> copy =
      album ? std::make_unique<TReelsmithAlbum>(&db_, album->Handle()) : nullptr;
  db_.SetCurrentAlbum(copy.get());
  // The previous copy goes only now that the component has let go of it.
  shown_.swap(copy);
}

bool TAlbumEditor::CassetteLetsGo(const TReelsmithAlbum& album) {
  if (!HasMusic || !HasMusic(album)) return true;
  if (MessageDlg(QString::fromLatin1(kCassetteQuestion), mtWarning, mbYesNo, window_) != mrYes)
    return false;
  if (RemoveMusic) RemoveMusic(album);
  return true;
}

void TAlbumEditor::NewAlbum() {
  if (db_.Editing()) return;
  Remember(db_.CurrentAlbum());
  marks_.clear();
  db_.SetCurrentAlbum(nullptr);
  db_.SetEditing(true);
  fields_[kTitle]->SetFocus();
}

void TAlbumEditor::EditAlbum() {
  const TReelsmithAlbum* album = db_.CurrentAlbum();
  if (album == nullptr || db_.Editing()) return;
  if (!CassetteLetsGo(*album)) return;
  Remember(album);
  marks_.clear();
  const TOwnerList<TReelsmithSong> songs = album->Songs();
  for (int i = 0; i < songs.Count(); ++i) marks_.push_back(songs.Items(i)->UsedOnTape());
  db_.SetEditing(true);
  fields_[kTitle]->SetFocus();
}

void TAlbumEditor::CancelEditing() {
  if (!db_.Editing()) return;
  db_.SetEditing(false);
  Show(remembered_.get());
}

bool TAlbumEditor::ConfirmDiscard() {
  if (!db_.Editing()) return true;
  return MessageDlg(QStringLiteral("You are editing an album.  Do you want to discard your "
                                   "changes?"),
                    mtConfirmation, mbYesNo, window_) == mrYes;
}

void TAlbumEditor::DeleteAlbum() {
  const TReelsmithAlbum* album = db_.CurrentAlbum();
  if (db_.Editing() || album == nullptr) return;
  if (!CassetteLetsGo(*album)) return;
  db_.DeleteAlbum(album);
}

bool TAlbumEditor::RowHasText(int gridRow) const {
  for (int c = grid_.FixedCols(); c < grid_.ColCount(); ++c)
    if (!grid_.Cells(c, gridRow).isEmpty()) return true;
  return false;
}

void TAlbumEditor::InsertSong() {
  if (!db_.Editing()) return;
  grid_.CommitEditor();
  const int r = grid_.Row();
  if (r < grid_.FixedRows()) return;
  // A full sheet grows rather than dropping its last song.
  const int last = grid_.RowCount() - 1;
  if (RowHasText(last)) {
    grid_.SetRowCount(grid_.RowCount() + 1);
    grid_.NumberRows();
  }
  for (int row = grid_.RowCount() - 1; row > r; --row)
    for (int c = grid_.FixedCols(); c < grid_.ColCount(); ++c)
      grid_.SetCells(c, row, grid_.Cells(c, row - 1));
  for (int c = grid_.FixedCols(); c < grid_.ColCount(); ++c) grid_.SetCells(c, r, QString());
  const size_t at = static_cast<size_t>(r - grid_.FixedRows());
  if (at < marks_.size()) marks_.insert(marks_.begin() + static_cast<std::ptrdiff_t>(at), false);
}

void TAlbumEditor::DeleteSong() {
  if (!db_.Editing()) return;
  grid_.CommitEditor();
  const int r = grid_.Row();
  if (r < grid_.FixedRows()) return;
  const int last = grid_.RowCount() - 1;
  for (int row = r; row < last; ++row)
    for (int c = grid_.FixedCols(); c < grid_.ColCount(); ++c)
      grid_.SetCells(c, row, grid_.Cells(c, row + 1));
  for (int c = grid_.FixedCols(); c < grid_.ColCount(); ++c) grid_.SetCells(c, last, QString());
  const size_t at = static_cast<size_t>(r - grid_.FixedRows());
  if (at < marks_.size()) marks_.erase(marks_.begin() + static_cast<std::ptrdiff_t>(at));
}

TAlbumCheckInput TAlbumEditor::CheckInput() const {
  TAlbumCheckInput in;
  in.title = fields_[kTitle]->Text();
  in.artist = fields_[kArtist]->Text();
  in.mediumText = fields_[kMedium]->ItemText();
  const int songRows = grid_.RowCount() - grid_.FixedRows();
  in.rows.reserve(static_cast<size_t>(std::max(songRows, 0)));
  for (int n = 1; n <= songRows; ++n)
    in.rows.push_back({grid_.SongTitle(n), grid_.SongArtist(n), grid_.SongTime(n)});
  for (size_t i = 0; i < fields_.size(); ++i) {
    const TReelsmithFieldCtrl* f = fields_[i];
    if (f->FieldType() == ftEdit && !f->isHidden())
      in.texts.push_back({static_cast<int>(i), f->LabelText(), f->Text()});
  }
  return in;
}

void TAlbumEditor::GoToCell(int row, int col) {
  grid_.FocusCell(col, row + grid_.FixedRows() - 1);
  grid_.setFocus();
}

void TAlbumEditor::ShowError(const QString& text) { MessageDlg(text, mtError, mbOK, window_); }

bool TAlbumEditor::ValidateAlbum() {
  const TAlbumCheckResult r = ::ValidateAlbum(CheckInput());
  if (!r.title.isEmpty() && r.title != fields_[kTitle]->Text()) fields_[kTitle]->SetText(r.title);
  if (r.ok) return true;
  ShowError(r.message);
  if (r.focus == TAlbumCheckResult::fcTitleControl)
    fields_[kTitle]->SetFocus();
  else if (r.focus == TAlbumCheckResult::fcField)
    fields_[static_cast<size_t>(r.field)]->SetFocus();
  else if (r.focus == TAlbumCheckResult::fcCell)
    GoToCell(r.row, r.col);
  return false;
}

bool TAlbumEditor::MarkOfRow(int n) const {
  if (grid_.MarkSongsUsedOnTape()) return grid_.SongOnTape(n);
  const size_t i = static_cast<size_t>(n - 1);
  return i < marks_.size() && marks_[i];
}

TAlbumContents TAlbumEditor::Contents() const {
  TAlbumContents c;
  c.title = fields_[kTitle]->Text();
  c.medium = fields_[kMedium]->ItemIndex() + 1;
  // Each user field's value goes to the field its control shows.
  const TUserFieldNumbers numbers = TUserFieldNumbers::Of(db_);
  for (int i = 3; i < 7; ++i) {
    const TReelsmithFieldCtrl* f = fields_[static_cast<size_t>(i)];
    if (f->isHidden()) continue;
    const int field = f->FieldIndex();
    if (f->FieldType() == ftCombo) {
      if (field == numbers.choice[0]) c.choice1 = f->ItemIndex() + 1;
      if (field == numbers.choice[1]) c.choice2 = f->ItemIndex() + 1;
    } else {
      if (field == numbers.text[0]) c.text1 = f->Text();
      if (field == numbers.text[1]) c.text2 = f->Text();
    }
  }
  const QString albumArtist = fields_[kArtist]->Text();
  const int songRows = grid_.RowCount() - grid_.FixedRows();
  for (int n = 1; n <= songRows; ++n) {
    const QString title = grid_.SongTitle(n);
    if (title.isEmpty()) break;
    QString artist = grid_.SongArtist(n);
    if (artist.isEmpty()) artist = albumArtist;
    c.songs.push_back({title, artist, grid_.SongTime(n), MarkOfRow(n)});
  }
  return c;
}

TAlbumEditor::TSheetSnapshot TAlbumEditor::Snapshot() const {
  TSheetSnapshot s;
  for (size_t i = 0; i < fields_.size(); ++i) {
    s.texts[i] = fields_[i]->Text();
    s.indexes[i] = fields_[i]->ItemIndex();
  }
  for (int r = grid_.FixedRows(); r < grid_.RowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < grid_.ColCount(); ++c) row << grid_.Cells(c, r);
    s.rows.push_back(row);
  }
  s.marks = marks_;
  return s;
}

void TAlbumEditor::Restore(const TSheetSnapshot& s) {
  for (size_t i = 0; i < fields_.size(); ++i) {
    fields_[i]->SetText(s.texts[i]);
    fields_[i]->SetItemIndex(s.indexes[i]);
  }
  grid_.SetRowCount(grid_.FixedRows() + static_cast<int>(s.rows.size()));
  for (size_t r = 0; r < s.rows.size(); ++r)
    for (int c = 0; c < s.rows[r].size() && c < grid_.ColCount(); ++c)
      grid_.SetCells(c, grid_.FixedRows() + static_cast<int>(r), s.rows[r][c]);
  marks_ = s.marks;
}

bool TAlbumEditor::SaveChanges() {
  if (!db_.Editing()) return false;
  grid_.CommitEditor();
  for (TReelsmithFieldCtrl* f : fields_) f->TrimText();
  grid_.TrimCells();
  if (!ValidateAlbum()) return false;

  const TAlbumContents contents = Contents();
  const TSheetSnapshot typed = Snapshot();
  const bool hadOld = db_.CurrentAlbum() != nullptr;
  std::unique_ptr<TReelsmithAlbum> restored;
  QString failure;
  {
    TBusyCursor busy;
    try {
      store_.Store(contents, db_.CurrentAlbum(), restored);
      remembered_.reset();
      // A stored album that was new raised no album change, so the panel would keep showing
      // what was typed for an album that is not current.
      if (!hadOld) db_.SetCurrentAlbum(nullptr);
      return true;
    } catch (const Exception& e) {
      failure = e.Message();
    } catch (const std::exception& e) {
      failure = QString::fromLocal8Bit(e.what());
    }
  }
  // The catalogue holds the old album again; the user goes on editing what was typed.
  if (hadOld && restored) {
    Remember(restored.get());
    Show(restored.get());
  }
  if (!db_.Editing()) db_.SetEditing(true);
  Restore(typed);
  ShowError(failure);
  return false;
}
