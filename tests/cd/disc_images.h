#pragma once

// Disc images written by the tests themselves: a cue sheet or cdrdao table of contents over a
// sparse .bin file of raw 2352-byte frames, so a 70-minute disc costs no disk space.

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <vector>

namespace cdtest {

struct TTestTrack {
  long frames = 0;
  QString mode;  // AUDIO, or MODE1/2352 for a data track
  QString title;
};

inline TTestTrack Audio(long frames, const QString& title = {}) {
  return {frames, QStringLiteral("AUDIO"), title};
}
inline TTestTrack Data(long frames) { return {frames, QStringLiteral("MODE1/2352"), {}}; }

inline constexpr long kFrameBytes = 2352;

inline QString Msf(long frames) {
  return QString::asprintf("%02ld:%02ld:%02ld", frames / 75 / 60, frames / 75 % 60, frames % 75);
}

inline long TotalFrames(const std::vector<TTestTrack>& tracks) {
  long total = 0;
  for (const TTestTrack& t : tracks) total += t.frames;
  return total;
}

inline bool WriteSparseBin(const QString& path, long frames) {
  QFile bin(path);
  return bin.open(QIODevice::WriteOnly | QIODevice::Truncate) && bin.resize(frames * kFrameBytes);
}

inline bool WriteText(const QString& path, const QString& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  file.write(text.toUtf8());
  return true;
}

// `base`.cue and `base`.bin; answers the cue sheet's path.
inline QString WriteCueImage(const QString& base, const std::vector<TTestTrack>& tracks,
                             const QString& title = {}, const QString& performer = {}) {
  QString cue;
  QTextStream out(&cue);
  if (!title.isEmpty()) out << "TITLE \"" << title << "\"\n";
  if (!performer.isEmpty()) out << "PERFORMER \"" << performer << "\"\n";
  const QString binName = base.section(QLatin1Char('/'), -1) + QStringLiteral(".bin");
  out << "FILE \"" << binName << "\" BINARY\n";
  long start = 0;
  for (size_t i = 0; i < tracks.size(); ++i) {
    out << QString::asprintf("  TRACK %02zu ", i + 1) << tracks[i].mode << "\n";
    if (!tracks[i].title.isEmpty()) out << "    TITLE \"" << tracks[i].title << "\"\n";
    out << "    INDEX 01 " << Msf(start) << "\n";
    start += tracks[i].frames;
  }
  out.flush();
  if (!WriteSparseBin(base + QStringLiteral(".bin"), TotalFrames(tracks))) return {};
  return WriteText(base + QStringLiteral(".cue"), cue) ? base + QStringLiteral(".cue") : QString();
}

// The same disc as a cdrdao table of contents, `base`.toc over `base`.bin. Libcdio finds a
// table of contents' data file from the working folder, so its full path is written.
inline QString WriteTocImage(const QString& base, const std::vector<TTestTrack>& tracks) {
  QString toc;
  QTextStream out(&toc);
  out << "CD_DA\n";
  const QString binName = base + QStringLiteral(".bin");
  long start = 0;
  for (const TTestTrack& t : tracks) {
    out << "TRACK AUDIO\nFILE \"" << binName << "\" "
        << (start == 0 ? QStringLiteral("0") : Msf(start)) << " " << Msf(t.frames) << "\n";
    start += t.frames;
  }
  out.flush();
  if (!WriteSparseBin(base + QStringLiteral(".bin"), TotalFrames(tracks))) return {};
  return WriteText(base + QStringLiteral(".toc"), toc) ? base + QStringLiteral(".toc") : QString();
}

}  // namespace cdtest
