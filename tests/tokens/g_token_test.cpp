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

// Every test starts and ends with no pending error, 32-bit identifiers and
// an empty identifier map.
class TokenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    C_ERROR::ClearPending();
    G_TOKEN::SetX64bits(false);
    G_TOKEN::ClearTokensMap();
  }
  void TearDown() override {
    C_ERROR::ClearPending();
    G_TOKEN::SetX64bits(false);
    G_TOKEN::ClearTokensMap();
  }
};

std::string Bytes(std::initializer_list<int32_t> ints) {
  std::string s;
  for (int32_t v : ints) s.append(reinterpret_cast<const char*>(&v), 4);
  return s;
}

G_TOKENS Make(std::initializer_list<G_TOKEN> ts) {
  G_TOKENS l;
  for (const G_TOKEN& t : ts) l.Append(t);
  return l;
}

}  // namespace

TEST_F(TokenTest, EqualityHasWildcardsOrderHasNone) {
  void* e = E(40);
  EXPECT_TRUE(G_TOKEN(e, -1, 3) == G_TOKEN(e, 7, 3));
  EXPECT_TRUE(G_TOKEN(e, 7, 3) == G_TOKEN(e, -1, 3));
  EXPECT_FALSE(G_TOKEN(e, -1, 3) == G_TOKEN(e, 7, 4));
  EXPECT_TRUE(G_TOKEN(e, 7, -1) == G_TOKEN(e, 7, 4));
  EXPECT_TRUE(G_TOKEN(e, 7, 4) != G_TOKEN(e, 8, 4));
  // The element has no wildcard.
  EXPECT_FALSE(G_TOKEN(E(-1), 1, 1) == G_TOKEN(E(1), 1, 1));

  EXPECT_TRUE(G_TOKEN(e, 1, 2) < G_TOKEN(e, 1, 3));
  EXPECT_TRUE(G_TOKEN(e, 1, 3) > G_TOKEN(e, 1, 2));
  EXPECT_TRUE(G_TOKEN(e, -1, 9) < G_TOKEN(e, 0, 0));  // keys signed, no wildcard
  EXPECT_FALSE(G_TOKEN(e, -1, 3) < G_TOKEN(e, 7, 3) && G_TOKEN(e, 7, 3) < G_TOKEN(e, -1, 3));
  // Elements compare as unsigned: the all-ones reference is the largest.
  EXPECT_TRUE(G_TOKEN(E(-1), 0, 0) > G_TOKEN(E(1), 5, 5));
  EXPECT_TRUE(G_TOKEN(E(1), 5, 5) < G_TOKEN(E(2), 0, 0));

  EXPECT_TRUE(G_TOKEN().IsVoid());
  EXPECT_TRUE(G_TOKEN::VOID.IsVoid());
  EXPECT_FALSE(G_TOKEN(nullptr, 0, 1).IsVoid());
  EXPECT_FALSE(G_TOKEN(e, 0, 0).IsVoid());
  G_TOKEN t(e, 2, 3);
  t.SetKey(4);
  t.SetIndex(5);
  t.SetElt(E(6));
  EXPECT_EQ(t.GetElt(), E(6));
  EXPECT_EQ(t.GetKey(), 4);
  EXPECT_EQ(t.GetIndex(), 5);
}

TEST_F(TokenTest, RecordsAreExact) {
  C_FILE_MEMORY text(C_FILE::TEXT);
  G_TOKEN(nullptr, 5, -1).Save(&text);
  G_TOKEN(E(-7), 0, 12).Save(&text);
  EXPECT_EQ(text.GetContent(), "T0 5 -1\nT-7 0 12\n");

  // The 32-bit form whatever X64bits holds.
  G_TOKEN::SetX64bits(true);
  C_FILE_MEMORY bin(C_FILE::BINARY);
  G_TOKEN(E(9), -1, 300).Save(&bin);
  EXPECT_EQ(bin.GetContent(), Bytes({9, -1, 300}));

  C_FILE_MEMORY other(2);
  G_TOKEN(E(9), 1, 1).Save(&other);
  EXPECT_EQ(other.GetContent(), "");
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(TokenTest, LoadReadsTextAndBinaryAndRejectsBadRecords) {
  C_FILE_MEMORY text(C_FILE::TEXT, "T12 -3 4\nT-1 0 0\n");
  G_TOKEN t;
  t.Load(0, &text);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_EQ(t.GetElt(), E(12));
  EXPECT_EQ(t.GetKey(), -3);
  EXPECT_EQ(t.GetIndex(), 4);
  t.Load(0, &text);
  EXPECT_EQ(t.GetElt(), E(-1));

  C_FILE_MEMORY bin(C_FILE::BINARY, Bytes({77, 8, -9}));
  G_TOKEN b;
  b.Load(0, &bin);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_EQ(b.GetElt(), E(77));
  EXPECT_EQ(b.GetKey(), 8);
  EXPECT_EQ(b.GetIndex(), -9);

  // Each failure leaves the token as it was.
  const G_TOKEN keep(E(5), 6, 7);
  const char* bad_text[] = {"P1 2 3\n", "T1 2\n", "Tx 2 3\n", "", "T\n"};
  for (const char* s : bad_text) {
    C_FILE_MEMORY f(C_FILE::TEXT, s);
    G_TOKEN u = keep;
    u.Load(0, &f);
    EXPECT_TRUE(C_ERROR::Is()) << s;
    EXPECT_TRUE(u.GetElt() == keep.GetElt() && u.GetKey() == 6 && u.GetIndex() == 7) << s;
    C_ERROR::ClearPending();
  }
  C_FILE_MEMORY p(C_FILE::TEXT, "P1 2 3\n");
  G_TOKEN u;
  u.Load(0, &p);
  EXPECT_STREQ(PendingText(), "T#Err#Invalid file (token expected)");
  C_ERROR::ClearPending();

  C_FILE_MEMORY cut(C_FILE::BINARY, Bytes({1, 2}));
  u = keep;
  u.Load(0, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  EXPECT_EQ(u.GetKey(), 6);
}

TEST_F(TokenTest, SixtyFourBitIdentifiersAreNumberedInOrderOfFirstMeeting) {
  G_TOKEN::SetX64bits(true);
  EXPECT_TRUE(G_TOKEN::GetX64bits());
  C_FILE_MEMORY text(C_FILE::TEXT, "T4294967296 1 2\nT7 3 4\nT4294967296 5 6\n");
  int got[3];
  for (int& g : got) {
    G_TOKEN t;
    t.Load(0, &text);
    ASSERT_FALSE(C_ERROR::Is());
    g = int(reinterpret_cast<intptr_t>(t.GetElt()));
  }
  EXPECT_EQ(got[0], 1);
  EXPECT_EQ(got[1], 2);
  EXPECT_EQ(got[2], 1);
  EXPECT_EQ(G_TOKEN::TokensMap.GetNumber(), 2);

  // Binary: the identifier takes 8 bytes, then key and index.
  std::string rec(16, '\0');
  int64_t id = int64_t(1) << 40;
  int32_t ki[2] = {11, 12};
  std::memcpy(&rec[0], &id, 8);
  std::memcpy(&rec[8], ki, 8);
  C_FILE_MEMORY bin(C_FILE::BINARY, rec + rec.substr(0, 8));
  G_TOKEN b;
  b.Load(0, &bin);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_EQ(b.GetElt(), E(3));
  EXPECT_EQ(b.GetKey(), 11);
  EXPECT_EQ(b.GetIndex(), 12);
  G_TOKEN c(E(1), 1, 1);
  c.Load(0, &bin);  // only 8 bytes left
  EXPECT_TRUE(C_ERROR::Is());
  EXPECT_EQ(c.GetElt(), E(1));
  C_ERROR::ClearPending();

  // Identifier 0 gives 0 and stores nothing; a cleared map numbers from 1.
  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(0), 0);
  EXPECT_EQ(G_TOKEN::TokensMap.GetNumber(), 3);
  int buckets = G_TOKEN::TokensMap.GetBucketCount();
  G_TOKEN::ClearTokensMap();
  EXPECT_EQ(G_TOKEN::TokensMap.GetNumber(), 0);
  EXPECT_EQ(G_TOKEN::TokensMap.GetBucketCount(), buckets);  // buckets kept
  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(7), 1);
  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(-7), 2);
  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(7), 1);
}

TEST_F(TokenTest, LoadEltPtrFollowsTheFileVersions) {
  const int64_t big = (int64_t(5) << 32) | 9;  // low 32 bits: 9
  struct CASE {
    int version, kind;
    bool x64, wide;  // wide: the file holds a 64-bit integer
    intptr_t expected;
  };
  // Expected values by hand: "map" cases get 1 (first identifier met).
  const CASE cases[] = {
      {608025, 1, true, false, 41},  // below 608026: an int, X64bits ignored
      {608026, 1, false, true, 9},   // low 32 bits
      {608030, 3, true, true, 9},    // low 32 bits, whatever kind and X64bits
      {608031, 1, false, true, 9},   // kinds 1 and 2: low bits when X64bits clear
      {608031, 2, true, true, 1},    // mapped when set
      {608100, 1, true, true, 1},
      {608031, 3, false, false, 41},  // another kind: the general rule
      {608031, 3, true, true, 1},
      {608101, 1, false, false, 41},  // from 608101 every kind: X64bits decides
      {608101, 2, true, true, 1},
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
    void* p = G_TOKEN::LoadEltPtr(c.kind, c.version, &f);
    EXPECT_FALSE(C_ERROR::Is()) << c.version << " " << c.kind;
    EXPECT_EQ(p, E(c.expected)) << c.version << " " << c.kind;
    EXPECT_TRUE(f.AtEnd()) << c.version << " " << c.kind;
  }
  // A read error gives 0.
  C_FILE_MEMORY empty(C_FILE::TEXT);
  EXPECT_EQ(G_TOKEN::LoadEltPtr(1, 608101, &empty), nullptr);
  EXPECT_TRUE(C_ERROR::Is());
}

TEST_F(TokenTest, RegistryEntryPointsAreInert) {
  G_TOKENS l = Make({G_TOKEN(E(1), 1, 1)});
  T_LIST<void*> elts;
  elts.Append(E(3));
  T_LIST<int> ids;
  G_TOKEN::Clear(1);
  G_TOKEN::Clear32Or64(true, 1);
  G_TOKEN::Add(1, G_TOKEN(E(2), 2, 2));
  G_TOKEN::Add(1, l);
  G_TOKEN::Remove(1, 0);
  G_TOKEN::Replace(1, 0, G_TOKEN(E(2), 2, 2));
  G_TOKEN::GetAll(1, &l);
  G_TOKEN::GetAll32Or64(false, 1, &l);
  G_TOKEN::GetPartElts(1, &elts);
  G_TOKEN::ChangePartElts(1, elts, elts, true);
  G_TOKEN::ChangePartEltsForSlavePart(1, E(1), elts, ids);
  G_TOKEN::OpenClass();
  EXPECT_EQ(l.GetNumber(), 1);
  EXPECT_EQ(elts.GetNumber(), 1);
  EXPECT_EQ(G_TOKEN::GetNumber(1), 0);
  EXPECT_EQ(G_TOKEN::Search(1, G_TOKEN(E(1), 1, 1)), -1);
  EXPECT_TRUE(G_TOKEN::Get(1, 0).IsVoid());
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(TokenTest, RemoveVoidLooksAtTheElementOnly) {
  void* e = E(8);
  G_TOKENS l = Make({G_TOKEN(nullptr, 1, 1), G_TOKEN(e, 0, 0), G_TOKEN(nullptr, 0, 0)});
  l.RemoveVoid();
  ASSERT_EQ(l.GetNumber(), 1);
  EXPECT_EQ(l.Get(0).GetElt(), e);
  EXPECT_EQ(l.Get(0).GetKey(), 0);
}

TEST_F(TokenTest, ChangeGeomsWithRefsRenamesAndRemoves) {
  void* a = E(1);
  void* b = E(2);
  void* c = E(3);
  T_LIST<void*> olds;
  olds.Append(a);
  T_LIST<void*> news;
  news.Append(b);

  G_TOKENS l = Make({G_TOKEN(a, 1, 1), G_TOKEN(c, 2, 2)});
  l.SetSorted(true);
  l.ChangeGeomsWithRefs(olds, news, true);
  ASSERT_EQ(l.GetNumber(), 1);
  EXPECT_EQ(l.Get(0).GetElt(), b);
  EXPECT_EQ(l.Get(0).GetKey(), 1);
  EXPECT_FALSE(l.IsSorted());

  G_TOKENS k = Make({G_TOKEN(a, 1, 1), G_TOKEN(nullptr, 5, 5), G_TOKEN(c, 2, 2)});
  k.ChangeGeomsWithRefs(olds, news, false);
  ASSERT_EQ(k.GetNumber(), 2);
  EXPECT_EQ(k.Get(0).GetElt(), b);
  EXPECT_EQ(k.Get(1).GetElt(), c);
  EXPECT_EQ(k.Get(1).GetKey(), 2);

  // A null new element removes; an old without a new one raises the list's
  // index error and also removes.
  T_LIST<void*> olds2;
  olds2.Append(a);
  olds2.Append(c);
  T_LIST<void*> news2;
  news2.Append(nullptr);
  G_TOKENS m = Make({G_TOKEN(a, 1, 1), G_TOKEN(c, 2, 2), G_TOKEN(b, 3, 3)});
  m.ChangeGeomsWithRefs(olds2, news2, false);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
  C_ERROR::ClearPending();
  ASSERT_EQ(m.GetNumber(), 1);
  EXPECT_EQ(m.Get(0).GetElt(), b);
}

TEST_F(TokenTest, SearchTokensByKeyIsExact) {
  G_TOKENS l = Make({G_TOKEN(E(1), 2, 0), G_TOKEN(E(1), -1, 0), G_TOKEN(E(2), 2, 5),
                     G_TOKEN(E(3), 3, 0)});
  T_LIST<int> idx;
  idx.Append(99);
  l.SearchTokensByKey(2, &idx);
  ASSERT_EQ(idx.GetNumber(), 2);
  EXPECT_EQ(idx.Get(0), 0);
  EXPECT_EQ(idx.Get(1), 2);
  l.SearchTokensByKey(-1, &idx);
  ASSERT_EQ(idx.GetNumber(), 1);
  EXPECT_EQ(idx.Get(0), 1);
  l.SearchTokensByKey(4, &idx);
  EXPECT_EQ(idx.GetNumber(), 0);
}

TEST_F(TokenTest, ListRecordRoundTripsAndCopies) {
  G_TOKENS l = Make({G_TOKEN(E(4), 1, 0), G_TOKEN(E(5), -1, 2)});
  C_FILE_MEMORY text(C_FILE::TEXT);
  l.Save(&text);
  EXPECT_EQ(text.GetContent(), "2\nT4 1 0\nT5 -1 2\n0\n");
  l.SetSorted(true);
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    l.Save(&f);
    f.Rewind();
    G_TOKENS r = Make({G_TOKEN(E(9), 9, 9)});  // replaced by the load
    r.Load(0, &f);
    ASSERT_FALSE(C_ERROR::Is());
    ASSERT_EQ(r.GetNumber(), 2);
    EXPECT_EQ(r.Get(1).GetElt(), E(5));
    EXPECT_EQ(r.Get(1).GetKey(), -1);
    EXPECT_EQ(r.Get(1).GetIndex(), 2);
    EXPECT_TRUE(r.IsSorted());
  }

  G_TOKENS* c = l.CloneSame();
  ASSERT_NE(c, nullptr);
  c->Append(G_TOKEN(E(6), 0, 0));
  EXPECT_EQ(l.GetNumber(), 2);
  EXPECT_EQ(c->GetNumber(), 3);
  delete c;
  G_TOKENS d;
  d = l;
  EXPECT_TRUE(d == l);
}

TEST_F(TokenTest, ListLoadStopsOnBadCounts) {
  // A count far beyond the file ends at the end of the stream, at once.
  C_FILE_MEMORY huge(C_FILE::TEXT, "2000000000\nT1 1 1\n");
  G_TOKENS l;
  l.Load(0, &huge);
  EXPECT_TRUE(C_ERROR::Is());
  EXPECT_LE(l.GetSize(), 4096);
  C_ERROR::ClearPending();

  C_FILE_MEMORY negative(C_FILE::TEXT, "-1\n0\n");
  l.Load(0, &negative);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();

  C_FILE_MEMORY wrong(C_FILE::TEXT, "1\nP1 2 3\n0\n");
  l.Load(0, &wrong);
  EXPECT_STREQ(PendingText(), "T#Err#Invalid file (token expected)");
}
