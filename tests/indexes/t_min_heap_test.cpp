#include "indexes/t_min_heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

struct ENTRY {
  double key = 0;
  char name = ' ';
};

// An entry whose priority is not called key: read through an accessor.
struct CELL {
  double dist = 0;
  int id = 0;
};
struct CELL_DIST {
  static double Get(const CELL& c) { return c.dist; }
};

class MinHeapTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

// Push and pop moves traced by hand. A push climbs over every parent that is
// not strictly smaller; a pop walks the hole to a leaf through the smaller
// child (the left one on ties), then the last entry fills the hole (unless
// the hole is the last position) and climbs.
TEST_F(MinHeapTest, PushAndPopFollowTheTieRules) {
  struct STEP {
    double key;          // a push of (key, name); 0 for a pop returning name
    char name;
    const char* layout;  // names in heap order afterwards
  };
  const STEP equal[] = {
      {1, 'a', "a"}, {1, 'b', "ba"}, {1, 'c', "cab"}, {1, 'd', "dcba"},  // each climbs to the top
      {0, 'd', "cab"},  // hole 0 -> 1 -> 3, the last position: nothing moves
      {0, 'c', "ba"},   // hole 0 -> 1; b fills it and climbs over a (equal key)
      {0, 'b', "a"},    {0, 'a', ""}};
  const STEP distinct[] = {
      {1, 'a', "a"}, {5, 'b', "ab"}, {2, 'c', "abc"}, {6, 'd', "abcd"}, {7, 'e', "abcde"},
      {3, 'f', "abcdef"},
      {0, 'a', "cbfde"},  // hole 0 -> 2 -> 5, the last position
      {0, 'c', "fbed"},   // hole 0 -> 2; e fills it and stays
      {0, 'f', "bde"},    // hole 0 -> 1 -> 3, the last position
      {0.5, 'g', "gbed"}};
  for (const auto& steps : {std::vector<STEP>(std::begin(equal), std::end(equal)),
                            std::vector<STEP>(std::begin(distinct), std::end(distinct))}) {
    T_MIN_HEAP<ENTRY> h;
    for (const STEP& s : steps) {
      if (s.key != 0) h.Push(ENTRY{s.key, s.name});
      else EXPECT_EQ(h.Pop().name, s.name);
      std::string layout;
      for (int i = 0; i < h.GetNumber(); ++i) layout += h[i].name;
      EXPECT_EQ(layout, s.layout);
    }
  }
  EXPECT_FALSE(C_ERROR::Is());
}

// A void heap refuses a pop with TerrListIsVoid, leaving *out untouched or
// giving a default entry; a checked read out of range raises
// TerrInvalidIndex.
TEST_F(MinHeapTest, VoidPopsAndBadReadsRaiseErrors) {
  T_MIN_HEAP<ENTRY> h;
  ENTRY e{7.0, 'x'};
  EXPECT_FALSE(h.Pop(&e));
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrListIsVoid && e.name == 'x');
  C_ERROR::ClearPending();
  h.Push(ENTRY{1, 'a'});
  EXPECT_TRUE(h.Pop(nullptr));
  EXPECT_EQ(h.Pop().key, 0.0);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListIsVoid);
  C_ERROR::ClearPending();
  h.Push(ENTRY{2, 'b'});
  EXPECT_TRUE(h.Get(0).name == 'b' && h[0].name == 'b' && !C_ERROR::Is());
  EXPECT_EQ(h.Get(1).name, ' ');
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
}

// Many random keys through growth, pops interleaved, with an accessor
// instead of a key member: they come out in the order of a plain sort, each
// once, and copies are independent.
TEST_F(MinHeapTest, RandomKeysComeOutSortedThroughAnAccessor) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> d(0, 200);  // many equal keys
  T_MIN_HEAP<CELL, CELL_DIST> h;
  std::vector<double> keys;
  for (int i = 0; i < 3000; ++i) {
    keys.push_back(d(rng) * 0.5);
    h.Push(CELL{keys.back(), i});
    if (i % 7 != 6) continue;
    auto it = std::min_element(keys.begin(), keys.end());
    EXPECT_EQ(h.Pop().dist, *it);
    keys.erase(it);
  }
  T_MIN_HEAP<CELL, CELL_DIST> copy(h);
  std::sort(keys.begin(), keys.end());
  ASSERT_EQ(h.GetNumber(), int(keys.size()));
  std::vector<int> seen;
  for (double k : keys) {
    const CELL c = h.Pop();
    EXPECT_EQ(c.dist, k);
    seen.push_back(c.id);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_TRUE(h.IsVoid() && std::adjacent_find(seen.begin(), seen.end()) == seen.end());
  EXPECT_TRUE(copy.GetNumber() == int(keys.size()) && copy.Pop().dist == keys.front());
  EXPECT_FALSE(C_ERROR::Is());
}

}  // namespace
