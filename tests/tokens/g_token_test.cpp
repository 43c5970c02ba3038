#include "tokens/g_token.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"
#include "tokens/g_tokens.h"

namespace {

void* E(intptr_t v) { return reinterpret_cast<void*>(v); }

const char* PendingText() {
  const C_ERROR* e = C_ERROR::GetPending();
  return e != nullptr ? e->GetText() : "";
}

class TokenTest : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    C_ERROR::ClearPending();
    G_TOKEN::SetX64bits(false);
    G_TOKEN::ClearTokensMap();
  }
};

G_TOKENS Make(std::initializer_list<G_TOKEN> ts) {
  G_TOKENS l;
  for (const G_TOKEN& t : ts) l.Append(t);
  return l;
}

}  // namespace

TEST_F(TokenTest, EqualityHasWildcardsOrderHasNone) {
  void* e = E(40);
  EXPECT_TRUE(G_TOKEN(e, -1, 3) == G_TOKEN(e, 7, 3));
  EXPECT_FALSE(G_TOKEN(e, -1, 3) == G_TOKEN(e, 7, 4));
  EXPECT_TRUE(G_TOKEN(e, 7, 4) == G_TOKEN(e, 7, -1));
  EXPECT_TRUE(G_TOKEN(e, 7, 4) != G_TOKEN(E(41), -1, -1));  // no wildcard element
  EXPECT_TRUE(G_TOKEN(e, 1, 2) < G_TOKEN(e, 1, 3));
  EXPECT_TRUE(G_TOKEN(e, -1, 9) < G_TOKEN(e, 0, 0));  // keys signed, -1 no wildcard
  EXPECT_TRUE(G_TOKEN(E(-1), 0, 0) > G_TOKEN(E(1), 5, 5));  // elements unsigned
  EXPECT_TRUE(G_TOKEN::VOID.IsVoid());
  EXPECT_FALSE(G_TOKEN(nullptr, 0, 1).IsVoid());
}

TEST_F(TokenTest, RecordsAreExactAndFailuresLeaveTheTokenAlone) {
  C_FILE_MEMORY text(C_FILE::TEXT);
  G_TOKEN(nullptr, 5, -1).Save(&text);
  G_TOKEN(E(-7), 0, 12).Save(&text);
  EXPECT_EQ(text.GetContent(), "T0 5 -1\nT-7 0 12\n");
  G_TOKEN::SetX64bits(true);  // the 32-bit form is written all the same
  C_FILE_MEMORY bin(C_FILE::BINARY);
  G_TOKEN(E(9), -1, 300).Save(&bin);
  const int32_t ints[3] = {9, -1, 300};
  EXPECT_EQ(bin.GetContent(), std::string(reinterpret_cast<const char*>(ints), 12));
  G_TOKEN::SetX64bits(false);

  text.Rewind();
  G_TOKEN t;
  t.Load(0, &text);
  t.Load(0, &text);
  EXPECT_TRUE(t.GetElt() == E(-7) && t.GetKey() == 0 && t.GetIndex() == 12);
  bin.Rewind();
  t.Load(0, &bin);
  EXPECT_TRUE(t.GetElt() == E(9) && t.GetKey() == -1 && t.GetIndex() == 300);
  ASSERT_FALSE(C_ERROR::Is());

  const char* bad[] = {"P1 2 3\n", "T1 2\n", "Tx 2 3\n", ""};
  for (const char* s : bad) {
    C_FILE_MEMORY f(C_FILE::TEXT, s);
    G_TOKEN u(E(5), 6, 7);
    u.Load(0, &f);
    EXPECT_TRUE(C_ERROR::Is()) << s;
    EXPECT_TRUE(u.GetElt() == E(5) && u.GetKey() == 6 && u.GetIndex() == 7) << s;
    if (s[0] == 'P') {
      EXPECT_STREQ(PendingText(), "T#Err#Invalid file (token expected)");
    }
    C_ERROR::ClearPending();
  }
}

TEST_F(TokenTest, SixtyFourBitIdentifiersAreNumberedInOrderOfFirstMeeting) {
  G_TOKEN::SetX64bits(true);
  C_FILE_MEMORY text(C_FILE::TEXT, "T4294967296 1 2\nT7 3 4\nT4294967296 5 6\n");
  const intptr_t expected[] = {1, 2, 1};
  for (intptr_t x : expected) {
    G_TOKEN t;
    t.Load(0, &text);
    EXPECT_EQ(t.GetElt(), E(x));
  }
  // Binary: 8 bytes of identifier, then key and index.
  char rec[16];
  const int64_t id = int64_t(1) << 40;
  const int32_t ki[2] = {11, 12};
  std::memcpy(rec, &id, 8);
  std::memcpy(rec + 8, ki, 8);
  C_FILE_MEMORY bin(C_FILE::BINARY, std::string(rec, 16));
  G_TOKEN b;
  b.Load(0, &bin);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_TRUE(b.GetElt() == E(3) && b.GetKey() == 11 && b.GetIndex() == 12);

  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(0), 0);  // stores nothing
  EXPECT_EQ(G_TOKEN::TokensMap.GetNumber(), 3);
  G_TOKEN::ClearTokensMap();
  EXPECT_EQ(G_TOKEN::TokensMap.GetBucketCount(), 11);  // buckets kept
  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(7), 1);
  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(-7), 2);
}

TEST_F(TokenTest, LoadEltPtrFollowsTheFileVersions) {
  const int64_t big = (int64_t(5) << 32) | 9;  // low 32 bits: 9
  struct CASE {
    int version, kind;
    bool x64, wide;  // wide: the file holds a 64-bit integer
    intptr_t expected;  // 1: mapped (the first identifier met)
  };
  const CASE cases[] = {
      {608025, 1, true, false, 41},  {608026, 1, false, true, 9},
      {608030, 3, true, true, 9},    {608031, 1, false, true, 9},
      {608031, 2, true, true, 1},    {608100, 1, true, true, 1},
      {608031, 3, false, false, 41}, {608031, 3, true, true, 1},
      {608101, 1, false, false, 41}, {608101, 2, true, true, 1},
  };
  for (const CASE& c : cases) {
    G_TOKEN::ClearTokensMap();
    G_TOKEN::SetX64bits(c.x64);
    C_FILE_MEMORY f(C_FILE::BINARY);
    if (c.wide)
      Tsave(big, &f);
    else
      Tsave(41, &f);
    f.Rewind();
    EXPECT_EQ(G_TOKEN::LoadEltPtr(c.kind, c.version, &f), E(c.expected)) << c.version;
    EXPECT_TRUE(f.AtEnd()) << c.version << " " << c.kind;
  }
  C_FILE_MEMORY empty(C_FILE::TEXT);
  EXPECT_EQ(G_TOKEN::LoadEltPtr(1, 608101, &empty), nullptr);
  EXPECT_TRUE(C_ERROR::Is());
}

TEST_F(TokenTest, ListsRemoveAndRenameElements) {
  void *a = E(1), *b = E(2), *c = E(3);
  G_TOKENS v = Make({G_TOKEN(nullptr, 1, 1), G_TOKEN(a, 0, 0), G_TOKEN(nullptr, 0, 0)});
  v.RemoveVoid();
  ASSERT_EQ(v.GetNumber(), 1);
  EXPECT_EQ(v.Get(0).GetElt(), a);

  T_LIST<void*> olds, news;
  olds.Append(a);
  news.Append(b);
  G_TOKENS l = Make({G_TOKEN(a, 1, 1), G_TOKEN(nullptr, 5, 5), G_TOKEN(c, 2, 2)});
  G_TOKENS k = l;
  l.SetSorted(true);
  l.ChangeGeomsWithRefs(olds, news, true);
  ASSERT_EQ(l.GetNumber(), 1);
  EXPECT_EQ(l.Get(0).GetElt(), b);
  EXPECT_FALSE(l.IsSorted());
  k.ChangeGeomsWithRefs(olds, news, false);
  ASSERT_EQ(k.GetNumber(), 2);
  EXPECT_EQ(k.Get(0).GetElt(), b);
  EXPECT_EQ(k.Get(1).GetElt(), c);
  // An old element without a new one: the list's index error, and removed.
  olds.Append(c);
  k.ChangeGeomsWithRefs(olds, news, false);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
  EXPECT_EQ(k.GetNumber(), 1);
  C_ERROR::ClearPending();

  T_LIST<int> idx;
  Make({G_TOKEN(a, 2, 0), G_TOKEN(a, -1, 0), G_TOKEN(b, 2, 5)}).SearchTokensByKey(2, &idx);
  ASSERT_EQ(idx.GetNumber(), 2);
  EXPECT_EQ(idx.Get(1), 2);
}

TEST_F(TokenTest, ListRecordRoundTripsAndRejectsBadCounts) {
  G_TOKENS l = Make({G_TOKEN(E(4), 1, 0), G_TOKEN(E(5), -1, 2)});
  C_FILE_MEMORY text(C_FILE::TEXT);
  l.Save(&text);
  EXPECT_EQ(text.GetContent(), "2\nT4 1 0\nT5 -1 2\n0\n");
  l.SetSorted(true);
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    l.Save(&f);
    f.Rewind();
    G_TOKENS r = Make({G_TOKEN(E(9), 9, 9)});
    r.Load(0, &f);
    ASSERT_FALSE(C_ERROR::Is());
    ASSERT_EQ(r.GetNumber(), 2);
    EXPECT_TRUE(r.Get(1).GetElt() == E(5) && r.Get(1).GetIndex() == 2);
    EXPECT_TRUE(r.IsSorted());
  }
  // A count far beyond the file fails at the end of the stream, at once.
  const char* bad[] = {"2000000000\nT1 1 1\n", "-1\n0\n", "1\nP1 2 3\n0\n"};
  for (const char* s : bad) {
    C_FILE_MEMORY f(C_FILE::TEXT, s);
    G_TOKENS r;
    r.Load(0, &f);
    EXPECT_TRUE(C_ERROR::Is()) << s;
    EXPECT_LE(r.GetSize(), 4096);
    C_ERROR::ClearPending();
  }
}
