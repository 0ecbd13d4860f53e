// One poll of the CD player on a disc image, which must stay well under 5 ms so the once-a-second
// poll never stalls the window: while playing (every poll redraws the track and time) and while
// stopped (the poll only looks at the image). The image is a 15-track cue sheet over a sparse
// .bin written at start.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QTemporaryDir>

#include <memory>

#include "cd/cd_player.h"
#include "cd/libcdio_device.h"
#include "../qt_benchmark_main.h"

namespace {

QString WriteImage(const QTemporaryDir& dir) {
  QString cue = QStringLiteral("FILE \"disc.bin\" BINARY\n");
  long start = 0;
  for (int track = 1; track <= 15; ++track) {
    cue += QString::asprintf("  TRACK %02d AUDIO\n    INDEX 01 %02ld:%02ld:%02ld\n", track,
                             start / 75 / 60, start / 75 % 60, start % 75);
    start += (180 + track) * 75;
  }
  QFile bin(dir.filePath(QStringLiteral("disc.bin")));
  QFile sheet(dir.filePath(QStringLiteral("disc.cue")));
  if (!bin.open(QIODevice::WriteOnly) || !bin.resize(start * 2352) ||
      !sheet.open(QIODevice::WriteOnly))
    return {};
  sheet.write(cue.toUtf8());
  return sheet.fileName();
}

void PollImage(benchmark::State& state, bool playing) {
  QTemporaryDir dir;
  const QString image = WriteImage(dir);
  if (image.isEmpty()) {
    state.SkipWithError("cannot write the disc image");
    return;
  }
  TCDPlayer player(std::make_unique<TLibcdioDevice>(image));
  player.CDTimer()->stop();
  player.CDTimerTimer();
  if (playing) player.PlayClick();
  for (auto _ : state) player.CDTimerTimer();
  state.counters["ready"] = player.IsReady() ? 1 : 0;
}

void BM_PollTickPlayingImage(benchmark::State& state) { PollImage(state, true); }
BENCHMARK(BM_PollTickPlayingImage)->Unit(benchmark::kMicrosecond);

void BM_PollTickStoppedImage(benchmark::State& state) { PollImage(state, false); }
BENCHMARK(BM_PollTickStoppedImage)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
