#include "indexes/t_min_heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
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

std::vector<char> Layout(const T_MIN_HEAP<ENTRY>& h) {
  std::vector<char> v;
  for (int i = 0; i < h.GetNumber(); ++i) v.push_back(h.GetFast(i).name);
  return v;
}

class MinHeapTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

// Equal keys: a pushed entry climbs over every parent that is not strictly
// smaller, and a pop walks the hole to a leaf through the left child on ties
// before the last entry fills it and climbs. Traced by hand: a, b, c, d of
// one key are laid out d c b a and come out d c b a.
TEST_F(MinHeapTest, EqualKeysFollowThePushAndPopMoves) {
  T_MIN_HEAP<ENTRY> h;
  for (char n : {'a', 'b', 'c', 'd'}) h.Push(ENTRY{1.0, n});
  EXPECT_EQ(Layout(h), (std::vector<char>{'d', 'c', 'b', 'a'}));
  ENTRY e;
  ASSERT_TRUE(h.Pop(&e));
  EXPECT_EQ(e.name, 'd');
  // The hole went 0 -> 1 -> 3, the last position: nothing to move.
  EXPECT_EQ(Layout(h), (std::vector<char>{'c', 'a', 'b'}));
  ASSERT_TRUE(h.Pop(&e));
  EXPECT_EQ(e.name, 'c');
  // The hole stopped at 1; b moved in and climbed over a (equal key).
  EXPECT_EQ(Layout(h), (std::vector<char>{'b', 'a'}));
  EXPECT_EQ(h.Pop().name, 'b');
  EXPECT_EQ(h.Pop().name, 'a');
  EXPECT_TRUE(h.IsVoid());
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(MinHeapTest, DistinctKeysFollowThePushAndPopMoves) {
  T_MIN_HEAP<ENTRY> h;
  // 1a 5b 2c 6d 7e 3f: every parent is already smaller, nothing climbs.
  const double keys[] = {1, 5, 2, 6, 7, 3};
  const char names[] = {'a', 'b', 'c', 'd', 'e', 'f'};
  for (int i = 0; i < 6; ++i) h.Push(ENTRY{keys[i], names[i]});
  EXPECT_EQ(Layout(h), (std::vector<char>{'a', 'b', 'c', 'd', 'e', 'f'}));
  EXPECT_EQ(h.Pop().name, 'a');  // hole 0 -> 2 -> 5, the last position
  EXPECT_EQ(Layout(h), (std::vector<char>{'c', 'b', 'f', 'd', 'e'}));
  EXPECT_EQ(h.Pop().name, 'c');  // hole 0 -> 2, e fills it and stays
  EXPECT_EQ(Layout(h), (std::vector<char>{'f', 'b', 'e', 'd'}));
  EXPECT_EQ(h.Pop().name, 'f');  // hole 0 -> 1 -> 3, the last position
  EXPECT_EQ(Layout(h), (std::vector<char>{'b', 'd', 'e'}));
  // A small key pushed last climbs to the top.
  h.Push(ENTRY{0.5, 'g'});
  EXPECT_EQ(Layout(h), (std::vector<char>{'g', 'b', 'e', 'd'}));
  EXPECT_EQ(h.Top().name, 'g');
}

TEST_F(MinHeapTest, PopOnAVoidHeapRaisesListIsVoid) {
  T_MIN_HEAP<ENTRY> h;
  ENTRY e{7.0, 'x'};
  EXPECT_FALSE(h.Pop(&e));
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListIsVoid);
  EXPECT_EQ(e.name, 'x');  // untouched
  C_ERROR::ClearPending();
  EXPECT_EQ(h.Pop().key, 0.0);  // a default entry
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListIsVoid);
  C_ERROR::ClearPending();
  // Emptied by pops, the heap still refuses one more.
  h.Push(ENTRY{1, 'a'});
  EXPECT_TRUE(h.Pop(nullptr));
  EXPECT_FALSE(h.Pop(nullptr));
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListIsVoid);
  C_ERROR::ClearPending();
  // Checked reads: in range as the unchecked ones, out of range an error.
  h.Push(ENTRY{2, 'b'});
  EXPECT_TRUE(h.Get(0).name == 'b' && h[0].name == 'b' && !C_ERROR::Is());
  EXPECT_EQ(h.Get(1).name, ' ');
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
}

// Many random keys through growth, with an accessor instead of a key member:
// they come out in the order of a plain sort, and copies are independent.
TEST_F(MinHeapTest, RandomKeysComeOutSortedThroughAnAccessor) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> d(0, 200);  // many equal keys
  T_MIN_HEAP<CELL, CELL_DIST> h;
  std::vector<double> keys;
  for (int i = 0; i < 3000; ++i) {
    const double k = d(rng) * 0.5;
    keys.push_back(k);
    h.Push(CELL{k, i});
    // Interleave pops so that holes are made in a growing heap.
    if (i % 7 == 6) {
      const CELL c = h.Pop();
      auto it = std::min_element(keys.begin(), keys.end());
      EXPECT_EQ(c.dist, *it);
      keys.erase(it);
    }
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
  EXPECT_TRUE(h.IsVoid());
  std::sort(seen.begin(), seen.end());
  EXPECT_TRUE(std::adjacent_find(seen.begin(), seen.end()) == seen.end());
  EXPECT_EQ(copy.GetNumber(), int(keys.size()));
  EXPECT_EQ(copy.Pop().dist, keys.front());
  copy.Clear();
  EXPECT_TRUE(copy.IsVoid());
  EXPECT_FALSE(C_ERROR::Is());
}

}  // namespace
