#include "tokens/t_hash_map.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "tokens/g_token.h"

// Failure injection: the library allocates through the non-throwing forms of
// new, which this test program replaces. While fail_after >= 0, that many
// more of them succeed and the next ones give null. Every form is replaced so
// that allocation and release always pair (malloc / free).
namespace {
int fail_after = -1;
void* Allocate(std::size_t n) { return std::malloc(n == 0 ? 1 : n); }
void* AllocateNoThrow(std::size_t n) {
  if (fail_after == 0) return nullptr;
  if (fail_after > 0) --fail_after;
  return Allocate(n);
}
void* AllocateOrThrow(std::size_t n) {
  void* p = Allocate(n);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
}  // namespace

void* operator new(std::size_t n) { return AllocateOrThrow(n); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return AllocateNoThrow(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return AllocateNoThrow(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

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

TEST_F(HashMapTest, SixtyFourBitKeysFoldTheirHalves) {
  T_HASH_MAP<int64_t, int> m;
  EXPECT_EQ(m.Search(5), nullptr);  // no buckets: nothing found
  // In 11 buckets: (1 << 32) + 5 hashes to 1 ^ 5 = 4, like 4 itself; 3 to 3.
  const int64_t folded = (int64_t(1) << 32) + 5;
  m.Insert(folded, 10);
  m.Insert(4, 20);
  m.Insert(3, 30);
  ASSERT_EQ(m.GetBucketCount(), 11);
  // Bucket 3, then bucket 4: its inline entry, then its chain.
  EXPECT_EQ(Visit(m), (std::vector<int64_t>{3, folded, 4}));
  ASSERT_TRUE(m.Search(4) && m.Search(folded));
  EXPECT_TRUE(*m.Search(4) == 20 && *m.Search(folded) == 10);
  // The full 64 bits are compared: (2 << 32) + 6 folds to 4 too.
  EXPECT_EQ(m.Search((int64_t(2) << 32) + 6), nullptr);
  m.Insert(-1, 40);  // halves taken unsigned: 0xffffffff ^ 0xffffffff = 0
  EXPECT_EQ(Visit(m).front(), -1);
}

TEST_F(HashMapTest, InsertReplacesAndRemoveKeepsChains) {
  T_HASH_MAP<int, int> m;
  for (int k : {0, 11, 22}) m.Insert(k, k);  // one bucket of 11
  m.Insert(11, 20);                           // replaced, no new entry
  EXPECT_TRUE(m.GetNumber() == 3 && *m.Search(11) == 20);
  EXPECT_TRUE(m.Remove(0));  // the inline entry: the chain moves up
  EXPECT_EQ(Visit(m), (std::vector<int64_t>{11, 22}));
  EXPECT_TRUE(m.Remove(22));  // a chained entry
  EXPECT_FALSE(m.Remove(22));
  EXPECT_EQ(*m.Search(11), 20);
  m.Insert(-11, 7);
  T_HASH_MAP<int, int> c(m);
  c.Insert(-11, 8);
  EXPECT_EQ(*m.Search(-11), 7);  // copies are independent
  m.Clear();
  EXPECT_TRUE(m.GetNumber() == 0 && m.GetBucketCount() == 11 && !m.Search(11));
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
  fail_after = 0;  // the bucket array
  m.Insert(1, 1);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrOutOfMemory);
  EXPECT_EQ(m.GetBucketCount(), 0);
  C_ERROR::ClearPending();
  fail_after = -1;
  // Multiples of 253 = 11 x 23 share bucket 0 before and after a rebuild.
  for (int k = 0; k < 10; ++k) m.Insert(k * 253, k);
  fail_after = 0;  // a chain node
  m.Insert(2530, 10);
  EXPECT_TRUE(C_ERROR::Is() && m.GetNumber() == 10);
  C_ERROR::ClearPending();
  fail_after = -1;
  m.Insert(2530, 10);
  fail_after = 3;  // the rebuild fails half-way through its chain nodes
  m.Insert(5, 5);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  fail_after = -1;
  EXPECT_TRUE(m.GetBucketCount() == 11 && !m.Search(5));
  m.Insert(5, 5);
  EXPECT_TRUE(m.GetBucketCount() == 23 && m.GetNumber() == 12);
  for (int k = 0; k < 11; ++k) EXPECT_EQ(*m.Search(k * 253), k);
}

TEST_F(HashMapTest, AnIdentifierTheMapCannotStoreIsABadHashMap) {
  G_TOKEN::TokensMap.ClearAndFree();  // the next identifier needs a bucket array
  G_TOKEN::SetX64bits(true);
  // Text; binary (key and index read, the element kept); a bare identifier.
  const char rec[16] = {0x63, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0, 9, 0, 0, 0};  // 99, 8, 9
  C_FILE_MEMORY text(C_FILE::TEXT, "T99 1 2\n"), bin(C_FILE::BINARY, std::string(rec, 16));
  C_FILE_MEMORY id(C_FILE::BINARY, std::string(rec, 8));
  G_TOKEN t(nullptr, 5, 6);
  auto expect_bad = [&](const char* what, int key, int index) {
    ASSERT_TRUE(C_ERROR::Is()) << what;
    EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "T#Err#Invalid file (bad hash map)");
    C_ERROR::ClearPending();
    EXPECT_TRUE(!t.GetElt() && t.GetKey() == key && t.GetIndex() == index) << what;
    fail_after = 0;
  };
  fail_after = 0;
  t.Load(0, &text);
  expect_bad("text", 5, 6);
  t.Load(0, &bin);
  expect_bad("binary", 8, 9);
  EXPECT_EQ(G_TOKEN::LoadEltPtr(1, 608101, &id), nullptr);
  expect_bad("identifier", 8, 9);
  EXPECT_EQ(G_TOKEN::TokensMap.GetNumber(), 0);
}
