#include "cd/track_times.h"

TDiscContents ReadDiscContents(TCdAudioDevice& device) {
  device.Open();
  TDiscContents disc;
  const int count = device.TrackCount();
  for (int track = 1; track <= count; ++track)
    disc.trackSeconds.push_back(device.TrackSeconds(track));
  disc.text = device.Text();
  return disc;
}

TTrackTimesPlan PlanTrackTimes(const TDiscContents& disc, const std::vector<TAlbumRow>& rows,
                               const QString& albumTitle, const QString& albumArtist) {
  TTrackTimesPlan plan;
  const int tracks = static_cast<int>(disc.trackSeconds.size());
  for (int i = 1; i <= tracks; ++i) {
    TTrackTimesPlan::TWrite write;
    write.row = i;
    write.seconds = disc.trackSeconds[static_cast<size_t>(i) - 1];
    const bool untitled =
        i > static_cast<int>(rows.size()) || rows[static_cast<size_t>(i) - 1].title.isEmpty();
    if (untitled) {
      const QString named =
          i <= disc.text.trackTitles.size() ? disc.text.trackTitles.at(i - 1) : QString();
      write.title = named.isEmpty() ? QString::number(i) : named;
    }
    plan.writes.push_back(write);
  }
  plan.clearFrom = tracks + 1;
  for (int row = plan.clearFrom; row <= static_cast<int>(rows.size()); ++row)
    if (rows[static_cast<size_t>(row) - 1].HoldsAnything()) plan.clearingLosesSongs = true;
  if (albumTitle.isEmpty()) plan.albumTitle = disc.text.title;
  if (albumArtist.isEmpty()) plan.albumArtist = disc.text.performer;
  return plan;
}
