// The whole start of the program as a process: from launch to the catalogue window shown and idle
// on a catalogue of 15,000 albums, artists and songs, started with --no-splash on the offscreen
// platform. The reference in the same run is the start of bare_window_reference, a bare Qt
// Widgets window with one tool bar and one list. Each process's peak memory is reported beside
// its time (peak_MiB, from the kernel's account of the ended process).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtGlobal>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../catalogue_writer.h"
#include "client/database.h"

namespace {

std::unique_ptr<QTemporaryDir> gDir;

QString FullCatalogue() {
  if (!gDir) {
    gDir = std::make_unique<QTemporaryDir>();
    // Both programs get an empty settings and data folder, with the colour notice put away.
    qputenv("XDG_CONFIG_HOME", gDir->path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", gDir->path().toLocal8Bit());
    QDir(gDir->path()).mkpath("reelsmith");
    QFile ini(gDir->filePath("reelsmith/reelsmt.ini"));
    if (ini.open(QIODevice::WriteOnly)) ini.write("[ColorNotice]\nDoNotDisplay=1\n");
    ini.close();
    TReelsmithDB db;
    WriteBenchmarkCatalogue(db, 15000, 0, gDir->filePath("full.mus"));
  }
  return gDir->filePath("full.mus");
}

std::string BinaryBeside(const char* name) {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return name;
  return (QFileInfo(QString::fromLocal8Bit(self, n)).absolutePath() + "/" + name).toStdString();
}

// Starts the program, waits for its ready byte, ends it; answers its peak memory in MiB, or a
// negative number when it never became ready.
double StartOnce(const std::vector<std::string>& command) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    setenv("RS_READY_FD", std::to_string(ready[1]).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(ready[1]);
  char byte = 0;
  const bool became_ready = read(ready[0], &byte, 1) == 1;
  close(ready[0]);
  kill(child, SIGKILL);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return became_ready ? static_cast<double>(usage.ru_maxrss) / 1024.0 : -1;
}

void RunStarts(benchmark::State& state, const std::vector<std::string>& command) {
  double peak = 0;
  for (auto _ : state) {
    peak = StartOnce(command);
    if (peak < 0) {
      state.SkipWithError("the program never became ready");
      return;
    }
  }
  state.counters["peak_MiB"] = peak;
}

void BM_StartNoSplashTo15000Songs(benchmark::State& state) {
  RunStarts(state, {BinaryBeside("reelsmith"), "--no-splash", FullCatalogue().toStdString()});
}
BENCHMARK(BM_StartNoSplashTo15000Songs)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Reference_BareQtWindow(benchmark::State& state) {
  FullCatalogue();  // the same environment
  RunStarts(state, {BinaryBeside("bare_window_reference")});
}
BENCHMARK(BM_Reference_BareQtWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  gDir.reset();
  return 0;
}
