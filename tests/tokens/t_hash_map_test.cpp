#include "tokens/t_hash_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <random>
#include <vector>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "tokens/g_token.h"

// Failure injection: the library allocates through the non-throwing forms of
// new, which this test program replaces. While fail_after >= 0, that many
// more of them succeed and the next ones give null.
namespace {
int fail_after = -1;
bool Fails() {
  if (fail_after == 0) return true;
  if (fail_after > 0) --fail_after;
  return false;
}
}  // namespace

void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return Fails() ? nullptr : ::operator new(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  return Fails() ? nullptr : ::operator new[](n);
}

namespace {

class HashMapTest : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    fail_after = -1;
    C_ERROR::ClearPending();
    G_TOKEN::SetX64bits(false);
    G_TOKEN::ClearTokensMap();
  }
};

bool Took(const C_ERROR& e) {
  const bool is = C_ERROR::GetPending() == &e;
  C_ERROR::ClearPending();
  return is;
}
// Keys in the order ForEach visits them.
template <class M>
std::vector<int64_t> Visit(const M& m) {
  std::vector<int64_t> keys;
  m.ForEach([&](auto k, auto) { keys.push_back(int64_t(k)); });
  return keys;
}

}  // namespace

TEST_F(HashMapTest, SixtyFourBitKeysAreFoldedAndComparedWhole) {
  T_HASH_MAP<int64_t, int> m;
  EXPECT_EQ(m.Search(5), nullptr);  // no buckets: nothing found
  // In 11 buckets: (1 << 32) + 5 hashes to 1 ^ 5 = 4, like 4 itself; 3 to 3;
  // -1 to 0 (halves taken unsigned: 0xffffffff ^ 0xffffffff).
  const int64_t folded = (int64_t(1) << 32) + 5;
  for (int64_t k : {folded, int64_t(4), int64_t(3), int64_t(-1)}) m.Insert(k, int(k));
  EXPECT_EQ(Visit(m), (std::vector<int64_t>{-1, 3, folded, 4}));
  // The full 64 bits are compared: (2 << 32) + 6 folds to 4 too.
  EXPECT_TRUE(*m.Search(folded) == 5 && !m.Search((int64_t(2) << 32) + 6));
}

TEST_F(HashMapTest, FailedAllocationLeavesTheMapAsItWas) {
  // Multiples of 13409 = 11 x 23 x 53 share bucket 0 at every size: one
  // inline entry, the others chained in insertion order.
  T_HASH_MAP<int, int> m;
  std::vector<int64_t> order;
  for (int k = 0; k < 23; ++k) {
    m.Insert(k * 13409, k);
    order.push_back(k * 13409);
  }
  ASSERT_TRUE(m.GetBucketCount() == 23 && m.GetNumber() == 23);
  // Each allocation a rebuild makes fails in turn, those before it granted:
  // the map stays as it was, and nothing leaks. Returns the allocations made.
  auto failEach = [&](T_HASH_MAP<int, int>* map, int key) {
    const int buckets = map->GetBucketCount();
    const std::vector<int64_t> before = Visit(*map);
    int granted = 0;
    for (; granted < 50; ++granted) {
      fail_after = granted;
      map->Insert(key, key);
      fail_after = -1;
      if (!Took(CerrOutOfMemory)) break;
      EXPECT_TRUE(map->GetBucketCount() == buckets && !map->Search(key) && Visit(*map) == before);
    }
    return granted;
  };
  EXPECT_GE(failEach(&m, 1), 1);  // at least the bucket array could not grow
  order.push_back(1);             // bucket 1 follows bucket 0
  EXPECT_TRUE(m.GetBucketCount() == 53 && Visit(m) == order);
  // 0, 2..10 keep their buckets from 11 to 23 and 12 moves from 1 to 12: the
  // array has room for 23 buckets, and the move in place needs one pool place.
  T_HASH_MAP<int, int> few;
  for (int k : {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12}) few.Insert(k, k);
  EXPECT_EQ(failEach(&few, 30), 1);
  EXPECT_EQ(Visit(few), (std::vector<int64_t>{0, 2, 3, 4, 5, 6, 7, 30, 8, 9, 10, 12}));
}

TEST_F(HashMapTest, AnIdentifierTheMapCannotStoreIsABadHashMap) {
  G_TOKEN::TokensMap.ClearAndFree();  // the next identifier needs a bucket array
  G_TOKEN::SetX64bits(true);
  // In binary, key and index are read all the same; the element is kept.
  const char rec[16] = {0x63, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0, 9, 0, 0, 0};  // 99, 8, 9
  C_FILE_MEMORY text(C_FILE::TEXT, "T99 1 2\n"), bin(C_FILE::BINARY, std::string(rec, 16));
  G_TOKEN t(nullptr, 5, 6);
  for (C_FILE* f : {static_cast<C_FILE*>(&text), static_cast<C_FILE*>(&bin)}) {
    fail_after = 0;
    t.Load(0, f);
    ASSERT_TRUE(C_ERROR::Is());
    EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "T#Err#Invalid file (bad hash map)");
    C_ERROR::ClearPending();
    const int key = f == &bin ? 8 : 5;
    EXPECT_TRUE(!t.GetElt() && t.GetKey() == key && t.GetIndex() == key + 1);
  }
  EXPECT_EQ(G_TOKEN::TokensMap.GetNumber(), 0);
}

// Random inserts, replacements and removals against a plain model of the
// buckets (one vector per bucket, rebuilt by walking the old buckets in
// order): same entries in the same order, same bucket counts.
TEST_F(HashMapTest, EntriesFollowAPlainModelOfTheBuckets) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> key(-3000, 3000), op(0, 9);
  T_HASH_MAP<int, int> m, copy;
  std::vector<std::vector<std::pair<int, int>>> model(1);  // no buckets: one empty
  auto bucket = [&](int k) -> auto& { return model[uint32_t(k) % uint32_t(model.size())]; };
  int entries = 0, counted = 0;
  for (int step = 0; step < 20000; ++step) {
    // Mostly keys counted up from 0, which keep their buckets as the map
    // grows (a rebuild in place), some anywhere, which move.
    const int k = op(rng) < 2 ? key(rng) : counted++ % 5000;
    const bool remove = op(rng) < 3;
    if (!remove && entries == m.GetBucketCount()) {
      auto old = std::move(model);
      model.assign(size_t(T_HASH_MAP<int, int>::NextBucketCount(entries + 1)), {});
      for (auto& b : old)
        for (auto& e : b) bucket(e.first).push_back(e);
    }
    auto& b = bucket(k);
    auto it = std::find_if(b.begin(), b.end(), [&](auto& e) { return e.first == k; });
    if (remove) {
      ASSERT_EQ(bool(m.Remove(k)), it != b.end());
      if (it != b.end()) b.erase(it), --entries;
    } else {
      m.Insert(k, step);
      if (it != b.end()) it->second = step;
      else b.emplace_back(k, step), ++entries;
    }
    if (step % 1000 != 999) continue;
    std::vector<std::pair<int, int>> want, got;
    for (auto& bk : model) want.insert(want.end(), bk.begin(), bk.end());
    m.ForEach([&](int k2, int v) { got.emplace_back(k2, v); });
    ASSERT_EQ(got, want);
    ASSERT_TRUE(m.GetNumber() == entries && m.GetBucketCount() == int(model.size()));
    copy = m;
    for (auto& e : want) ASSERT_EQ(*copy.Search(e.first), e.second);
  }
}

// Identifiers whose halves fold to small numbers keep their buckets, chains
// included, when the map grows: (1 << 32) + (b ^ 1) shares bucket b with b.
TEST_F(HashMapTest, SmallHashesKeepTheirChainsWhenTheMapGrows) {
  T_HASH_MAP<int64_t, int> m;
  std::vector<int64_t> order;
  for (int64_t b = 0; b < 20; ++b) {
    for (int64_t key : {b, (int64_t(1) << 32) + (b ^ 1)}) {
      m.Insert(key, int(b));
      order.push_back(key);
    }
  }
  EXPECT_TRUE(m.GetBucketCount() == 53 && m.GetNumber() == 40 && Visit(m) == order);
  EXPECT_EQ(*m.Search((int64_t(1) << 32) + 6), 7);
}
