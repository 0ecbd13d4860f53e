#pragma once

#include <QApplication>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include <functional>

// The main of a benchmark of the program's windows: runs the registered benchmarks inside a Qt
// application, on the offscreen platform unless the environment names another. `release` frees
// what the benchmarks kept (windows, the catalogue component, folders) while the application
// still exists.
inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& release = {}) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (release) release();
  return 0;
}
