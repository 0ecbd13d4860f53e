#include "cd/libcdio_log.h"

#include <cdio/logging.h>

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace {

// What the handler keeps between libcdio's calls and the device's look at them.
struct TLibcdioLog {
  std::mutex mutex;
  std::string lastError;
  // The poll reopens a broken source every second: each message is printed only once.
  std::set<std::string> printed;
};

TLibcdioLog& Log() {
  static TLibcdioLog log;
  return log;
}

void KeepAndReturn(cdio_log_level_t level, const char message[]) {
  if (level < cdio_loglevel_default || message == nullptr) return;
  TLibcdioLog& log = Log();
  const std::lock_guard<std::mutex> lock(log.mutex);
  if (level >= CDIO_LOG_ERROR) log.lastError = message;
  if (!log.printed.insert(message).second) return;
  // Kept small: a message printed long ago may be printed again.
  if (log.printed.size() > 64) log.printed = {message};
  std::fprintf(stderr, "reelsmith: libcdio: %s\n", message);
}

}  // namespace

void InstallLibcdioLogHandler() {
  static std::once_flag once;
  std::call_once(once, [] { cdio_log_set_handler(KeepAndReturn); });
}

QString TakeLibcdioError() {
  TLibcdioLog& log = Log();
  const std::lock_guard<std::mutex> lock(log.mutex);
  const QString error = QString::fromLocal8Bit(log.lastError.c_str());
  log.lastError.clear();
  return error;
}
