#include "cassette/song_arrangement.h"
#include "shell/busy_cursor.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <QPrinter>

#include <algorithm>
#include <chrono>
#include <climits>
#include <numeric>
#include <unordered_set>
#include <utility>

#include "cassette/cassette_list.h"
#include "cassette/duration.h"
#include "cassette/printer_helpers.h"
#include "client/notify_link.h"
#include "client/album_record.h"
#include "client/database.h"
#include "platform/exceptions.h"
#include "shell/message_dialog.h"

uint32_t TimeOfDaySeed() {
  using namespace std::chrono;
  const auto sinceEpoch = system_clock::now().time_since_epoch();
  return uint32_t(duration_cast<milliseconds>(sinceEpoch).count() % (24LL * 60 * 60 * 1000));
}

std::vector<int> ShuffledOrder(int n, uint32_t seed) {
  std::vector<int> order(size_t(std::max(n, 0)));
  std::iota(order.begin(), order.end(), 0);
  TShuffleRandom random(seed);
  for (int pass = 0; pass < 5; ++pass) {
    for (int i = 0; i < n; ++i) std::swap(order[size_t(i)], order[random.Random(uint32_t(n))]);
  }
  return order;
}

namespace {
// Looks for the first exact fill of a side in the order of a depth-first search that tries each
// song of the pool as included before it tries it as left out. The outcome of the search below
// a point depends only on (pool position, time still to fill, whether the side holds a song
// yet), so a point once found to lead to no exact fill is never searched again: the search
// meets the same first fill as the plain exhaustive one, in time bounded by the number of such
// points instead of the number of subsets.
class TSideFiller {
 public:
  TSideFiller(const std::vector<int>& times, int delta, const std::vector<int>& pool,
              int64_t target)
      : times_(times), delta_(delta), pool_(pool), chosen_(pool.size(), false) {
    // Times to fill never go below 0, and rise above the start only through negative gaps.
    const int64_t rise = delta < 0 ? -int64_t(delta) * int64_t(pool.size()) : 0;
    span_ = std::max<int64_t>(target, 0) + rise + 1;
    const int64_t bits = span_ * 2 * int64_t(pool.size());
    if (bits <= kDenseLimit) dense_.assign(size_t(bits), false);
  }

  // Returns true on an exact fill of target from the whole pool; Chosen() then marks the pool
  // places that fill the side. The search keeps its own stack, so a cassette of thousands of
  // songs cannot exhaust the thread's.
  bool Search(int64_t target) {
    std::vector<TFrame> stack;
    TOutcome outcome = Enter(stack, 0, target, false);
    for (;;) {
      if (outcome == kFound) return true;
      if (stack.empty()) return false;
      TFrame& frame = stack.back();
      const TFrame at = frame;  // Enter may grow the stack and move the frame
      if (at.step == 0) {
        // Each song is tried as included before it is tried as left out.
        int64_t left = at.target - times_[size_t(pool_[at.i])];
        if (at.holdsSong) left -= delta_;
        if (left >= 0) {
          frame.step = 1;
          chosen_[at.i] = true;
          outcome = Enter(stack, at.i + 1, left, true);
        } else {
          frame.step = 2;
          outcome = Enter(stack, at.i + 1, at.target, at.holdsSong);
        }
      } else if (at.step == 1) {
        frame.step = 2;
        chosen_[at.i] = false;
        outcome = Enter(stack, at.i + 1, at.target, at.holdsSong);
      } else {
        MarkFailed(at.i, at.target, at.holdsSong);
        stack.pop_back();
        outcome = kDeadEnd;
      }
    }
  }

  const std::vector<bool>& Chosen() const { return chosen_; }

 private:
  enum TOutcome { kFound, kDeadEnd, kOpened };
  // A search point: pool place i, time still to fill, whether the side holds a song yet, and
  // how far its search has got (0 not begun, 1 trying with the song, 2 trying without).
  struct TFrame {
    size_t i;
    int64_t target;
    bool holdsSong;
    int step;
  };

  // Settles a search point at once when it can, else opens it on the stack.
  TOutcome Enter(std::vector<TFrame>& stack, size_t i, int64_t target, bool holdsSong) const {
    if (target == 0) return kFound;
    if (i == pool_.size() || Failed(i, target, holdsSong)) return kDeadEnd;
    stack.push_back({i, target, holdsSong, 0});
    return kOpened;
  }

  static constexpr int64_t kDenseLimit = int64_t(1) << 27;

  bool InDense(int64_t target) const { return !dense_.empty() && target >= 0 && target < span_; }
  size_t DenseIndex(size_t i, int64_t target, bool holdsSong) const {
    return (i * 2 + (holdsSong ? 1 : 0)) * size_t(span_) + size_t(target);
  }
  // Hash key for points outside the dense table; pool places are below 2^31.
  static std::pair<uint64_t, int64_t> Key(size_t i, int64_t target, bool holdsSong) {
    return {uint64_t(i) * 2 + (holdsSong ? 1 : 0), target};
  }
  bool Failed(size_t i, int64_t target, bool holdsSong) const {
    if (InDense(target)) return dense_[DenseIndex(i, target, holdsSong)];
    return sparse_.count(Key(i, target, holdsSong)) != 0;
  }
  void MarkFailed(size_t i, int64_t target, bool holdsSong) {
    if (InDense(target)) {
      dense_[DenseIndex(i, target, holdsSong)] = true;
    } else {
      sparse_.insert(Key(i, target, holdsSong));
    }
  }

  struct KeyHash {
    size_t operator()(const std::pair<uint64_t, int64_t>& k) const {
      return std::hash<uint64_t>()(k.first * 0x9E3779B97F4A7C15ull ^ uint64_t(k.second));
    }
  };

  const std::vector<int>& times_;
  const int64_t delta_;
  const std::vector<int>& pool_;
  std::vector<bool> chosen_;
  int64_t span_ = 0;
  std::vector<bool> dense_;
  std::unordered_set<std::pair<uint64_t, int64_t>, KeyHash> sparse_;
};

// Fills destination (empty on entry) exactly to target from pool. On success moves the chosen
// songs, in pool order, from pool to destination and returns 0; otherwise changes nothing and
// returns target.
int64_t FillSide(const std::vector<int>& times, int delta, int64_t target,
                 std::vector<int>& destination, std::vector<int>& pool) {
  if (target == 0) return 0;
  TSideFiller filler(times, delta, pool, target);
  if (!filler.Search(target)) return target;
  std::vector<int> left;
  for (size_t i = 0; i < pool.size(); ++i) {
    (filler.Chosen()[i] ? destination : left).push_back(pool[i]);
  }
  pool = std::move(left);
  return 0;
}

int64_t LengthOf(const std::vector<int>& times, int delta, const std::vector<int>& songs) {
  int64_t sum = 0;
  for (int s : songs) sum += times[size_t(s)];
  return sum + (int64_t(songs.size()) - 1) * delta;
}

}  // namespace

std::vector<int> OptimizedOrder(const std::vector<int>& times, int tapeLength, int perSongDelta,
                                const std::function<uint32_t()>& nextSeed) {
  const int64_t n = int64_t(times.size());
  const int64_t delta = perSongDelta;
  std::vector<int> sequence(times.size());
  std::iota(sequence.begin(), sequence.end(), 0);
  int64_t total = 0;
  for (int t : times) total += t;

  std::vector<int> pool, first, second;
  const int64_t half = tapeLength / 2;
  for (int attempt = 1;; ++attempt) {
    pool = sequence;
    first.clear();
    second.clear();
    int64_t rest;
    if (half >= total + (n - 1) * delta) {
      first = std::move(pool);
      pool.clear();
      rest = half - (total + (n - 1) * delta);
    } else {
      rest = FillSide(times, perSongDelta, half, first, pool);
    }
    if (rest != 0 || total + (n - 2) * delta <= tapeLength) {
      second = std::move(pool);
      pool.clear();
      rest = (tapeLength - half) - LengthOf(times, perSongDelta, second);
    } else {
      rest = FillSide(times, perSongDelta, tapeLength - half, second, pool);
    }
    if (rest != 0 && !pool.empty()) {
      const std::vector<int> order = ShuffledOrder(int(n), nextSeed());
      std::vector<int> shuffled;
      shuffled.reserve(sequence.size());
      for (int i : order) shuffled.push_back(sequence[size_t(i)]);
      sequence = std::move(shuffled);
    }
    if (attempt == 10 || rest == 0 || pool.empty()) break;
  }
  first.insert(first.end(), second.begin(), second.end());
  first.insert(first.end(), pool.begin(), pool.end());
  return first;
}

namespace {

// Holds repainting of the controls of the view while they are refilled; repaints them once.
class TRepaintHold {
 public:
  explicit TRepaintHold(std::vector<QWidget*> widgets) : widgets_(std::move(widgets)) {
    for (QWidget* w : widgets_) w->setUpdatesEnabled(false);
  }
  ~TRepaintHold() {
    for (QWidget* w : widgets_) {
      w->setUpdatesEnabled(true);
      w->update();
    }
  }

 private:
  std::vector<QWidget*> widgets_;
};


void ShowLength(QLabel* panel, int64_t seconds) {
  if (panel) panel->setText(FormatDuration(int(std::clamp<int64_t>(seconds, INT_MIN, INT_MAX))));
}

}  // namespace

TSongArrangement::TSongArrangement(QObject* owner) : QObject(owner) {
  link_ = new TNotifyLink(this);
  // A new, cleared or newly loaded catalogue has none of the cassette's songs.
  link_->OnNotify = [this](TReelsmithDB*, const TReelsmithDBEventInfo& info) {
    if (info.Event() < dbeSaved) {
      songs_.Clear();
      Rearrange();
    }
  };
}

TSongArrangement::~TSongArrangement() = default;

void TSongArrangement::SetTapeLength(int seconds) {
  tapeLength_ = seconds;
  if (side1_) Rearrange();
}

void TSongArrangement::SetPerSongDelta(int seconds) {
  if (seconds < -9 || seconds > 9 || seconds == perSongDelta_) return;
  perSongDelta_ = seconds;
  Rearrange();
}

void TSongArrangement::SetDataSource(TReelsmithDB* database) {
  dataSource_ = database;
  link_->SetDataSource(database);
}

void TSongArrangement::Rearrange() {
  for (TCassetteList* list : {side1_.data(), side2_.data(), excess_.data()}) {
    if (list) list->ClearEntries();
  }
  ShowLength(side1Panel_, 0);
  ShowLength(side2Panel_, 0);

  std::vector<QWidget*> view;
  for (QWidget* w :
       std::initializer_list<QWidget*>{side1_, side2_, excess_, side1Panel_, side2Panel_}) {
    if (w) view.push_back(w);
  }
  TRepaintHold hold(std::move(view));

  enum { kSide1, kSide2, kExcess } place = kSide1;
  TCassetteList* list = side1_;
  QLabel* panel = side1Panel_;
  const int64_t half = tapeLength_ / 2;
  int64_t running = 0;
  for (const auto& song : songs_) {
    const int64_t time = song->Time();
    int64_t candidate = running + time;
    if (list && list->EntryCount() > 0) candidate += perSongDelta_;
    if (candidate > half) {
      if (place == kSide1) {
        // The song that overflows side 1 opens side 2, however long it is.
        place = kSide2;
        list = side2_;
        panel = side2Panel_;
        ShowLength(panel, 0);
        running = 0;
        candidate = time;
      } else {
        place = kExcess;
        list = excess_;
        panel = nullptr;
        candidate = 0;
        running = -32768;
      }
    }
    if (list) {
      list->AddEntry(song->DisplayName(), song.get());
      running = candidate;
      ShowLength(panel, running);
    }
  }
}

void TSongArrangement::AddSongs(const TReelsmithRecord& record) {
  TOwnerList<TReelsmithSong> found = record.Songs();
  TOwnerList<TReelsmithSong> untimed;
  while (!found.IsEmpty()) {
    std::unique_ptr<TReelsmithSong> song = found.Extract(0);
    if (song->Time() >= 1) {
      songs_.Add(std::move(song));
    } else {
      untimed.Add(std::move(song));
    }
  }
  if (untimed.Count() == 1) {
    MessageDlg(untimed[0]->DisplayName() +
                   " has no playing time entered, so it has not been added to the cassette.",
               mtError, mbOK);
  } else if (untimed.Count() > 1) {
    MessageDlg(
        "Some songs have no playing time entered, so they have not been added to the cassette.",
        mtError, mbOK);
  }
  Rearrange();
}

void TSongArrangement::ClearSongs() {
  songs_.Clear();
  Rearrange();
}

void TSongArrangement::Reorder(const std::vector<int>& order) {
  std::vector<std::unique_ptr<TReelsmithSong>> former(size_t(songs_.Count()));
  for (int i = songs_.Count() - 1; i >= 0; --i) former[size_t(i)] = songs_.Extract(i);
  for (int i : order) songs_.Add(std::move(former[size_t(i)]));
}

void TSongArrangement::ShuffleSongs() {
  Reorder(ShuffledOrder(songs_.Count(), SeedSource ? SeedSource() : TimeOfDaySeed()));
}

void TSongArrangement::Randomize() {
  ShuffleSongs();
  Rearrange();
}

void TSongArrangement::Optimize() {
  TBusyCursor busy;
  std::vector<int> times;
  times.reserve(size_t(songs_.Count()));
  for (const auto& song : songs_) times.push_back(song->Time());
  Reorder(OptimizedOrder(times, tapeLength_, perSongDelta_,
                         SeedSource ? SeedSource : std::function<uint32_t()>(TimeOfDaySeed)));
  Rearrange();
}

int TSongArrangement::SequenceIndex(const TCassetteList* list, int index) const {
  const int side1 = side1_ ? side1_->EntryCount() : 0;
  const int side2 = side2_ ? side2_->EntryCount() : 0;
  if (list == nullptr) return -1;
  if (list == side1_) return index;
  if (list == side2_) return index + side1;
  if (list == excess_) return index + side1 + side2;
  return -1;
}

void TSongArrangement::MoveSongBefore(TCassetteList* list, int index, TReelsmithSong* song) {
  MoveSong(list, index, song);
}

void TSongArrangement::MoveSongAfter(TCassetteList* list, int index, TReelsmithSong* song) {
  MoveSong(list, index, song);
}

void TSongArrangement::MoveSong(TCassetteList* list, int index, TReelsmithSong* song) {
  int target = SequenceIndex(list, index);
  int old = -1;
  for (int i = 0; i < songs_.Count() && old < 0; ++i) {
    if (songs_[i] == song) old = i;
  }
  // Only the arrangement's own objects move: a stranger put in the sequence would be owned
  // twice.
  if (target >= 0 && old >= 0) {
    if (target > old) --target;
    std::vector<int> order;
    order.reserve(size_t(songs_.Count()));
    for (int i = 0; i < songs_.Count(); ++i) {
      if (i != old) order.push_back(i);
    }
    order.insert(order.begin() + std::min<ptrdiff_t>(target, ptrdiff_t(order.size())), old);
    Reorder(order);
  }
  Rearrange();
}

void TSongArrangement::RemoveSongsOf(const TReelsmithRecord& record) {
  const TOwnerList<TReelsmithSong> gone = record.Songs();
  for (const auto& song : gone) {
    for (int i = 0; i < songs_.Count(); ++i) {
      if (songs_[i]->Handle() == song->Handle()) {
        songs_.Delete(i);
        break;
      }
    }
  }
  Rearrange();
}

bool TSongArrangement::ContainsSongsOf(const TReelsmithRecord& record) const {
  const TOwnerList<TReelsmithSong> wanted = record.Songs();
  for (const auto& song : wanted) {
    for (const auto& held : songs_) {
      if (held->Handle() == song->Handle()) return true;
    }
  }
  return false;
}

void TSongArrangement::MarkSongsUsedOnTape() {
  for (TCassetteList* list : {side1_.data(), side2_.data()}) {
    if (!list) continue;
    for (int i = 0; i < list->EntryCount(); ++i) {
      if (TReelsmithSong* song = list->EntrySong(i)) song->SetUsedOnTape(true);
    }
  }
}

namespace {

QFont PrintFont(int points, bool bold) {
  QFont font(QStringLiteral("Arial"), points, bold ? QFont::Bold : QFont::Normal);
  font.setStyleHint(QFont::SansSerif);
  font.setFixedPitch(false);
  return font;
}

// Draws text at the top left of its column, clipped to the column.
void DrawCell(QPainter& painter, int left, int right, int top, int height, const QString& text) {
  const QRect cell(left, top, std::max(right - left, 0), height);
  painter.save();
  painter.setClipRect(cell);
  painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                   text);
  painter.restore();
}

}  // namespace

void TSongArrangement::PrintSongList(QPrinter& printer) {
  printer.setDocName(QStringLiteral("Reelsmith Song List"));
  // The painter's destructor ends the job, also when drawing throws.
  QPainter painter;
  if (!painter.begin(&printer)) throw Exception(QStringLiteral("Unable to start printing."));
  FixPrinterFont(painter);
  painter.setPen(Qt::black);

  const int pageWidth = printer.width();
  const int pageHeight = printer.height();
  const QFont body = PrintFont(11, false);
  const QFont heading = PrintFont(14, true);
  painter.setFont(body);
  FixPrinterFont(painter);
  const int timeWidth = painter.fontMetrics().horizontalAdvance(QStringLiteral("000:00"));
  const int timeX = pageWidth - timeWidth - printer.logicalDpiX();
  const int albumX = timeX / 2;
  // Where each song starts on its side, gaps included, stands just before its length.
  const int startX = timeX - timeWidth - printer.logicalDpiX() / 4;

  int y = 0;
  auto printHeading = [&] {
    painter.setFont(heading);
    FixPrinterFont(painter);
    const int h = painter.fontMetrics().height();
    DrawCell(painter, 0, albumX - 1, y, h, QStringLiteral("Song"));
    DrawCell(painter, albumX, startX - 1, y, h, QStringLiteral("Album"));
    DrawCell(painter, startX, timeX - 1, y, h, QStringLiteral("Start"));
    DrawCell(painter, timeX, pageWidth, y, h, QStringLiteral("Time"));
    y += h;
    const int lineWidth = 2;
    painter.setPen(QPen(Qt::black, lineWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(0, y, pageWidth, y);
    painter.setPen(Qt::black);
    y += lineWidth + 2;
    painter.setFont(body);
    FixPrinterFont(painter);
  };

  printHeading();
  const int h = painter.fontMetrics().height();
  for (TCassetteList* list : {side1_.data(), side2_.data()}) {
    if (!list) continue;
    int64_t start = 0;
    for (int i = 0; i < list->EntryCount(); ++i) {
      if (pageHeight < y + h) {
        if (!printer.newPage()) throw Exception(QStringLiteral("Unable to start a new page."));
        y = 0;
        printHeading();
      }
      const TReelsmithSong* song = list->EntrySong(i);
      QString album, time, startText;
      if (song) {
        const TOwnerList<TReelsmithAlbum> albums = song->Albums();
        if (!albums.IsEmpty() && albums[0]) album = albums[0]->DisplayName();
        const int seconds = song->Time();
        time = QString::asprintf("%3d:%02d", seconds / 60, seconds % 60);
        // The same count as the side's length: the gap stands between songs.
        const int64_t at = std::max<int64_t>(0, start);
        startText = QString::asprintf("%3d:%02d", int(at / 60), int(at % 60));
        start += seconds + perSongDelta_;
      }
      DrawCell(painter, 0, albumX - 1, y, h, list->EntryText(i));
      DrawCell(painter, albumX, startX - 1, y, h, album);
      DrawCell(painter, startX, timeX - 1, y, h, startText);
      DrawCell(painter, timeX, pageWidth, y, h, time);
      y += h;
    }
  }
}
