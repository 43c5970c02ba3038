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

// Keys in the order ForEach visits them.
template <class M>
std::vector<int64_t> Visit(const M& m) {
  std::vector<int64_t> keys;
  m.ForEach([&](auto k, auto) { keys.push_back(int64_t(k)); });
  return keys;
}

}  // namespace

TEST_F(HashMapTest, KeysAreFoldedChainedReplacedAndRemoved) {
  T_HASH_MAP<int64_t, int> m;
  EXPECT_EQ(m.Search(5), nullptr);  // no buckets: nothing found
  // In 11 buckets: (1 << 32) + 5 hashes to 1 ^ 5 = 4, like 4 itself; 3 to 3.
  const int64_t folded = (int64_t(1) << 32) + 5;
  for (int64_t k : {folded, int64_t(4), int64_t(3)}) m.Insert(k, int(k));
  m.Insert(4, 20);  // replaced, no new entry
  ASSERT_TRUE(m.GetBucketCount() == 11 && m.GetNumber() == 3);
  // Bucket 3, then bucket 4: its inline entry, then its chain.
  EXPECT_EQ(Visit(m), (std::vector<int64_t>{3, folded, 4}));
  EXPECT_TRUE(*m.Search(4) == 20 && *m.Search(folded) == 5);
  // The full 64 bits are compared: (2 << 32) + 6 folds to 4 too.
  EXPECT_EQ(m.Search((int64_t(2) << 32) + 6), nullptr);
  m.Insert(-1, 40);  // halves taken unsigned: 0xffffffff ^ 0xffffffff = 0
  EXPECT_EQ(Visit(m).front(), -1);
  EXPECT_TRUE(m.Remove(folded));  // the inline entry: the chain moves up
  EXPECT_EQ(Visit(m), (std::vector<int64_t>{-1, 3, 4}));
  EXPECT_TRUE(m.Remove(4) && !m.Remove(4) && m.Remove(3) && !m.Search(4));
  m.Clear();
  EXPECT_TRUE(m.GetNumber() == 0 && m.GetBucketCount() == 11 && !m.Search(-1));
}

TEST_F(HashMapTest, TwelfthIdentifierRebuildsFromElevenToTwentyThreeBuckets) {
  // Chained entries exist before the rebuild: 1, 12 and 23 share a bucket of 11.
  const int64_t ids[] = {1, 12, 23, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100};
  for (int k = 0; k < 13; ++k) {
    EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(ids[k]), k + 1);
    EXPECT_EQ(G_TOKEN::TokensMap.GetBucketCount(), k < 11 ? 11 : 23) << k;
  }
  for (int k = 0; k < 13; ++k) EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(ids[k]), k + 1);
  // In 23 buckets 1, 12 and 23 no longer collide: 23 is in bucket 0, first.
  EXPECT_EQ(Visit(G_TOKEN::TokensMap).front(), 23);
  EXPECT_EQ(G_TOKEN::TokensMap.GetNumber(), 13);
}

TEST_F(HashMapTest, FailedAllocationLeavesTheMapAsItWas) {
  T_HASH_MAP<int, int> m;
  // Inserts key with only `after` more allocations granted.
  auto insert_fails = [&](int after, int key) {
    fail_after = after;
    m.Insert(key, key);
    fail_after = -1;
    const bool oom = C_ERROR::GetPending() == &CerrOutOfMemory;
    C_ERROR::ClearPending();
    return oom;
  };
  // In chain order: 5 was taken out and put back after 16.
  std::vector<int64_t> order;
  for (int k : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 5})
    order.push_back(k * 13409);
  for (int k = 17; k < 23; ++k) order.push_back(k * 13409);
  EXPECT_TRUE(insert_fails(0, 1) && m.GetBucketCount() == 0);  // the bucket array
  // Multiples of 13409 = 11 x 23 x 53 share bucket 0 at every size: one
  // inline entry, the others chained in insertion order. The chained entries
  // take 16 places of the pool, then 32.
  for (int k = 0; k < 17; ++k) m.Insert(k * 13409, k);
  EXPECT_TRUE(insert_fails(0, 17 * 13409) && m.GetNumber() == 17);  // the pool's growth
  // A released place is taken again without allocating.
  EXPECT_TRUE(m.Remove(5 * 13409) && !insert_fails(0, 5 * 13409));
  EXPECT_EQ(m.GetNumber(), 17);
  for (int k = 17; k < 23; ++k) m.Insert(k * 13409, k);
  ASSERT_TRUE(m.GetBucketCount() == 23 && m.GetNumber() == 23);
  // The rebuild to 53 buckets fails half-way: its array and first 16 pool
  // places are granted, the growth to 32 is not.
  EXPECT_TRUE(insert_fails(2, 1) && m.GetBucketCount() == 23 && !m.Search(1));
  EXPECT_EQ(Visit(m), order);
  m.Insert(1, 1);
  EXPECT_TRUE(m.GetBucketCount() == 53 && m.GetNumber() == 24);
  order.push_back(1);  // bucket 1 follows bucket 0
  EXPECT_EQ(Visit(m), order);
  // A copy holds the same entries in the same order.
  T_HASH_MAP<int, int> c(m);
  EXPECT_TRUE(Visit(c) == order && *c.Search(22 * 13409) == 22 && c.GetBucketCount() == 53);
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
  T_HASH_MAP<int, int> m;
  std::vector<std::vector<std::pair<int, int>>> model;
  auto bucket = [&](int k) -> auto& { return model[uint32_t(k) % uint32_t(model.size())]; };
  int entries = 0;
  for (int step = 0; step < 20000; ++step) {
    const int k = key(rng);
    if (op(rng) < 3) {  // remove
      const bool had = !model.empty() && [&] {
        auto& b = bucket(k);
        for (size_t i = 0; i < b.size(); ++i)
          if (b[i].first == k) return b.erase(b.begin() + long(i)), true;
        return false;
      }();
      ASSERT_EQ(bool(m.Remove(k)), had);
      entries -= had;
    } else {
      if (entries == int(model.size())) {
        auto old = std::move(model);
        model.assign(size_t(T_HASH_MAP<int, int>::NextBucketCount(entries + 1)), {});
        for (auto& b : old)
          for (auto& e : b) bucket(e.first).push_back(e);
      }
      auto& b = bucket(k);
      auto it = std::find_if(b.begin(), b.end(), [&](auto& e) { return e.first == k; });
      if (it != b.end()) it->second = step;
      else b.emplace_back(k, step), ++entries;
      m.Insert(k, step);
    }
    if (step % 1000 != 999) continue;
    std::vector<std::pair<int, int>> want, got;
    for (auto& b : model) want.insert(want.end(), b.begin(), b.end());
    m.ForEach([&](int k2, int v) { got.emplace_back(k2, v); });
    ASSERT_EQ(got, want);
    ASSERT_TRUE(m.GetNumber() == entries && m.GetBucketCount() == int(model.size()));
    T_HASH_MAP<int, int> copy(m);
    for (auto& e : want) ASSERT_EQ(*copy.Search(e.first), e.second);
  }
}
