#include "client/owner_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Tracked {
  Tracked(std::vector<int>& log, int id) : log(log), id(id) {}
  ~Tracked() { log.push_back(id); }
  std::vector<int>& log;
  int id;
};

TEST(OwnerList, FreesWhatItStillHoldsInIndexOrder) {
  std::vector<int> freed;
  std::unique_ptr<Tracked> kept;
  {
    TOwnerList<Tracked> list;
    for (int id = 0; id < 4; ++id) list.Add(std::make_unique<Tracked>(freed, id));
    kept = list.Extract(1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1]->id, 2);
    list.Delete(1);
    EXPECT_EQ(freed, (std::vector<int>{2}));
  }
  EXPECT_EQ(freed, (std::vector<int>{2, 0, 3}));
  EXPECT_EQ(kept->id, 1);  // handed over, so not freed by the list
}

TEST(OwnerList, MovingHandsTheObjectsOver) {
  std::vector<int> freed;
  TOwnerList<Tracked> a;
  a.Add(std::make_unique<Tracked>(freed, 7));
  TOwnerList<Tracked> b;
  b.Add(std::make_unique<Tracked>(freed, 8));
  b = std::move(a);  // b's own object goes; a's moves in
  EXPECT_EQ(freed, (std::vector<int>{8}));
  ASSERT_EQ(b.Count(), 1);
  EXPECT_EQ(b[0]->id, 7);
}

TEST(OwnerList, IndexesOutsideTheListRaiseRangeError) {
  std::vector<int> freed;
  TOwnerList<Tracked> list;
  EXPECT_THROW(list.Items(0), ERangeError);
  list.Add(std::make_unique<Tracked>(freed, 1));
  EXPECT_THROW(list.Items(1), ERangeError);
  EXPECT_THROW(list.Extract(-1), ERangeError);
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
