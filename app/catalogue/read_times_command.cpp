#include "catalogue/read_times_command.h"

#include <vector>

#include "catalogue/field_controls.h"
#include "catalogue/songs_grid.h"
#include "cd/cd_player.h"
#include "cd/track_times.h"
#include "client/database.h"
#include "platform/exceptions.h"
#include "shell/message_dialog.h"

const char kUnableToReadCd[] =
    "Unable to read CD. Please check that there is a CD in the drive and that no other "
    "application is using it.";

namespace {

std::vector<TAlbumRow> AlbumRows(const TSongsGrid& grid) {
  std::vector<TAlbumRow> rows;
  const int count = grid.RowCount() - grid.FixedRows();
  for (int n = 1; n <= count; ++n)
    rows.push_back({grid.SongTitle(n), grid.SongArtist(n), grid.SongTime(n), grid.SongOnTape(n)});
  return rows;
}

QString FieldText(const TReelsmithFieldCtrl* ctrl) {
  return ctrl && ctrl->isVisibleTo(ctrl->parentWidget()) ? ctrl->Text() : QStringLiteral("-");
}

// Rows that would be blanked and hold something: the first such row is after the last track,
// the last is the last row holding anything.
bool ConfirmClearing(const std::vector<TAlbumRow>& rows, int clearFrom, int tracks,
                     QWidget* parent) {
  int last = 0;
  for (int n = clearFrom; n <= static_cast<int>(rows.size()); ++n)
    if (rows[static_cast<size_t>(n) - 1].HoldsAnything()) last = n;
  const QString disc =
      tracks == 1 ? QStringLiteral("1 track") : QStringLiteral("%1 tracks").arg(tracks);
  const bool oneRow = last == clearFrom;
  const QString rowsText = oneRow ? QStringLiteral("row %1").arg(clearFrom)
                                  : QStringLiteral("rows %1 to %2").arg(clearFrom).arg(last);
  const QString text =
      QStringLiteral("The CD has %1, but the album has songs in %2. Do you want to clear %3?")
          .arg(disc, rowsText, oneRow ? QStringLiteral("that row") : QStringLiteral("those rows"));
  return MessageDlg(text, mtConfirmation, mbYesNo, parent) == mrYes;
}

}  // namespace

void ReadTimesFromCD(TCDPlayer& player, TReelsmithDB& db, TSongsGrid& grid,
                     TReelsmithFieldCtrl* titleCtrl, TReelsmithFieldCtrl* artistCtrl,
                     QWidget* parent) {
  if (!player.IsReady() || !db.Editing() || !player.Device()) return;
  try {
    const TDiscContents disc = ReadDiscContents(*player.Device());
    player.Refresh();
    const std::vector<TAlbumRow> rows = AlbumRows(grid);
    const TTrackTimesPlan plan =
        PlanTrackTimes(disc, rows, FieldText(titleCtrl), FieldText(artistCtrl));
    const bool clear =
        !plan.clearingLosesSongs ||
        ConfirmClearing(rows, plan.clearFrom, static_cast<int>(disc.trackSeconds.size()), parent);
    if (!plan.albumTitle.isEmpty()) titleCtrl->SetText(plan.albumTitle);
    if (!plan.albumArtist.isEmpty()) artistCtrl->SetText(plan.albumArtist);
    for (const TTrackTimesPlan::TWrite& write : plan.writes) {
      if (!write.title.isEmpty()) grid.SetSongTitle(write.row, write.title);
      grid.SetSongTime(write.row, write.seconds);
    }
    if (clear) {
      for (int n = plan.clearFrom; n <= static_cast<int>(rows.size()); ++n) {
        grid.SetSongTitle(n, QString());
        grid.SetSongArtist(n, QString());
        grid.SetSongTime(n, 0);
      }
    }
    grid.setFocus();
  } catch (const Exception&) {
    MessageDlg(QString::fromLatin1(kUnableToReadCd), mtWarning, mbOK, parent);
  }
}
