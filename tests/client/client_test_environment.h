#pragma once
// Shared by the client tests: where the real library and its stand-ins are, and a
// recorder of the change events a database component delivers.
#include <QFileInfo>
#include <QString>

#include <vector>

#include "client/database.h"

// The real library, and nothing else.
inline TLibrarySearch RealLibrary() {
  TLibrarySearch search;
  search.Folders << QFileInfo(QStringLiteral(RS_LIB_PATH)).absolutePath();
  search.SystemSearch = false;
  return search;
}

// The folder of a stand-in library built with some exports left out.
inline QString StubFolder(const char* variant) {
  return QStringLiteral(RS_BIN_DIR "/stubs/") + variant;
}

inline TLibrarySearch StubLibrary(const char* variant) {
  TLibrarySearch search;
  search.Folders << StubFolder(variant);
  search.SystemSearch = false;
  return search;
}

// Records the codes delivered to one link set to the component.
class EventLog {
 public:
  explicit EventLog(TReelsmithDB* db) {
    link_.SetDataSource(db);
    link_.OnNotify = [this](TReelsmithDB*, const TReelsmithDBEventInfo& info) {
      codes.push_back(info.Event());
    };
  }
  // The codes delivered so far, and forgets them.
  std::vector<int> Take() {
    std::vector<int> out(codes.begin(), codes.end());
    codes.clear();
    return out;
  }
  std::vector<int> codes;

 private:
  TNotifyLink link_;
};

using Codes = std::vector<int>;
