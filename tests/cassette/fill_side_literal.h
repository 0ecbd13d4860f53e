#pragma once

// The exhaustive depth-first side search and the attempt loop, written step by step as the
// optimiser was first designed. It is exponential and serves only as the reference the fast
// optimiser is checked against (songarrg_test) and timed beside (bench).

#include <cstdint>
#include <deque>
#include <functional>
#include <numeric>
#include <vector>

#include "cassette/song_arrangement.h"

namespace literal {

class TExhaustiveOptimizer {
 public:
  TExhaustiveOptimizer(std::vector<int> times, int delta)
      : times_(std::move(times)), delta_(delta) {}

  std::vector<int> Optimize(int tapeLength, const std::function<uint32_t()>& nextSeed) {
    const int64_t n = int64_t(times_.size());
    std::vector<int> sequence(times_.size());
    std::iota(sequence.begin(), sequence.end(), 0);
    int64_t total = 0;
    for (int t : times_) total += t;
    std::vector<int> first, second;
    int attempts = 0;
    int64_t rest = 0;
    for (;;) {
      pool_.assign(sequence.begin(), sequence.end());
      first.clear();
      second.clear();
      const int64_t half = tapeLength / 2;
      if (half >= total + (n - 1) * delta_) {
        first.assign(pool_.begin(), pool_.end());
        pool_.clear();
        rest = half - (total + (n - 1) * delta_);
      } else {
        FillSide(half, first);
        rest = result_;
      }
      if (rest != 0 || total + (n - 2) * delta_ <= tapeLength) {
        second.assign(pool_.begin(), pool_.end());
        pool_.clear();
        int64_t sum = 0;
        for (int s : second) sum += times_[s];
        rest = (tapeLength - half) - (sum + (int64_t(second.size()) - 1) * delta_);
      } else {
        FillSide(tapeLength - half, second);
        rest = result_;
      }
      if (rest != 0 && !pool_.empty()) {
        const std::vector<int> order = ShuffledOrder(int(sequence.size()), nextSeed());
        std::vector<int> shuffled;
        for (int i : order) shuffled.push_back(sequence[i]);
        sequence = shuffled;
      }
      ++attempts;
      if (attempts == 10 || rest == 0 || pool_.empty()) break;
    }
    std::vector<int> result = first;
    result.insert(result.end(), second.begin(), second.end());
    result.insert(result.end(), pool_.begin(), pool_.end());
    return result;
  }

 private:
  void FillSide(int64_t target, std::vector<int>& destination) {
    result_ = target;
    if (target == 0 || pool_.empty()) return;
    const int s = pool_.front();
    pool_.pop_front();
    int64_t left = target - times_[s];
    if (!destination.empty()) left -= delta_;
    if (left >= 0) {
      destination.push_back(s);
      FillSide(left, destination);
      if (result_ == 0) return;
      destination.pop_back();
    }
    FillSide(target, destination);
    pool_.push_front(s);
  }

  std::vector<int> times_;
  int delta_;
  std::deque<int> pool_;
  int64_t result_ = 0;
};

}  // namespace literal
