#pragma once

// The reference order of a report: insertion of each record after a binary search for its
// place, comparing with the source's Compare (fresh related records for every comparison).
// Quadratic in moves; used to check the source's order and as the benchmark's baseline.

#include <memory>
#include <utility>
#include <vector>

#include "client/database.h"
#include "reports/report_source.h"

namespace report_reference {

inline std::vector<std::unique_ptr<TReelsmithRecord>> LoadRecords(TReelsmithDB& db, int type) {
  std::vector<std::unique_ptr<TReelsmithRecord>> out;
  auto take = [&out](auto list) {
    while (!list.IsEmpty()) out.push_back(list.Extract(list.Count() - 1));
  };
  if (type == rtAlbum)
    take(db.GetAllAlbums());
  else if (type == rtArtist)
    take(db.GetAllArtists());
  else
    take(db.GetAllSongs());
  return std::vector<std::unique_ptr<TReelsmithRecord>>(std::make_move_iterator(out.rbegin()),
                                                        std::make_move_iterator(out.rend()));
}

inline void LiteralSort(const TReelsmithReportSource& source,
                        std::vector<std::unique_ptr<TReelsmithRecord>>& items) {
  const int count = static_cast<int>(items.size());
  for (int i = 0; i + 1 < count; ++i) {
    if (source.Compare(*items[i], *items[i + 1]) <= 0) continue;
    std::unique_ptr<TReelsmithRecord> r = std::move(items[i + 1]);
    items[i + 1] = std::move(items[i]);
    int lo = 0, hi = i;
    while (lo != hi) {
      const int mid = (lo + hi) / 2;
      const int c = source.Compare(*r, *items[mid]);
      if (c == 0)
        lo = hi = mid;
      else if (c > 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    for (int k = i; k > lo; --k) items[k] = std::move(items[k - 1]);
    items[lo] = std::move(r);
  }
}

}  // namespace report_reference
