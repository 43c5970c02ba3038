#include "tokens/g_token.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"
#include "tokens/g_tokens.h"

namespace {

void* E(intptr_t v) { return reinterpret_cast<void*>(v); }
std::string Str(const G_TOKEN& t) {
  return std::to_string(reinterpret_cast<intptr_t>(t.GetElt())) + " " + std::to_string(t.GetKey()) +
         " " + std::to_string(t.GetIndex());
}
G_TOKENS Make(std::initializer_list<G_TOKEN> ts) {
  G_TOKENS l;
  for (const G_TOKEN& t : ts) l.Append(t);
  return l;
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

}  // namespace

TEST_F(TokenTest, EqualityHasWildcardsOrderHasNone) {
  void* e = E(40);
  EXPECT_TRUE(G_TOKEN(e, -1, 3) == G_TOKEN(e, 7, 3) && G_TOKEN(e, 7, 4) == G_TOKEN(e, 7, -1));
  EXPECT_FALSE(G_TOKEN(e, -1, 3) == G_TOKEN(e, 7, 4));
  EXPECT_TRUE(G_TOKEN(e, 7, 4) != G_TOKEN(E(41), -1, -1));  // no wildcard element
  EXPECT_TRUE(G_TOKEN(e, 1, 2) < G_TOKEN(e, 1, 3));
  EXPECT_TRUE(G_TOKEN(e, -1, 9) < G_TOKEN(e, 0, 0));        // keys signed, -1 no wildcard
  EXPECT_TRUE(G_TOKEN(E(-1), 0, 0) > G_TOKEN(E(1), 5, 5));  // elements unsigned
  EXPECT_TRUE(G_TOKEN::VOID.IsVoid() && !G_TOKEN(nullptr, 0, 1).IsVoid());
}

TEST_F(TokenTest, RecordsAreExactAndFailuresLeaveTheTokenAlone) {
  C_FILE_MEMORY text(C_FILE::TEXT), bin(C_FILE::BINARY);
  G_TOKEN(E(-7), 0, 12).Save(&text);
  G_TOKEN::SetX64bits(true);  // the 32-bit form is written all the same
  G_TOKEN(E(9), -1, 300).Save(&bin);
  EXPECT_EQ(text.GetContent(), "T-7 0 12\n");
  const int32_t ints[3] = {9, -1, 300};
  EXPECT_EQ(bin.GetContent(), std::string(reinterpret_cast<const char*>(ints), 12));
  for (const char* s : {"P1 2 3\n", "T1 2\n", "Tx 2 3\n", ""}) {
    C_FILE_MEMORY f(C_FILE::TEXT, s);
    G_TOKEN u(E(5), 6, 7);
    u.Load(0, &f);
    ASSERT_TRUE(C_ERROR::Is()) << s;
    if (s[0] == 'P') {
      EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "T#Err#Invalid file (token expected)");
    }
    EXPECT_EQ(Str(u), "5 6 7") << s;
    C_ERROR::ClearPending();
  }
}

TEST_F(TokenTest, SixtyFourBitIdentifiersAreNumberedInOrderOfFirstMeeting) {
  G_TOKEN::SetX64bits(true);
  // Binary: 8 bytes of identifier, then key and index.
  C_FILE_MEMORY text(C_FILE::TEXT, "T4294967296 1 2\nT7 3 4\n"), bin(C_FILE::BINARY);
  Tsave(int64_t(1) << 40, &bin);
  Tsave(11, &bin);
  Tsave(12, &bin);
  bin.Rewind();
  std::string got;
  for (C_FILE* f : {&text, &text, &bin}) {
    G_TOKEN t;
    t.Load(0, f);
    got += Str(t) + ",";
  }
  EXPECT_EQ(got, "1 1 2,2 3 4,3 11 12,");
  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(0), 0);  // stores nothing
  EXPECT_EQ(G_TOKEN::TokensMap.GetNumber(), 3);
  G_TOKEN::ClearTokensMap();
  EXPECT_EQ(G_TOKEN::TokensMap.GetBucketCount(), 11);  // buckets kept
  EXPECT_EQ(G_TOKEN::GetIdFromIdentifier(-7), 1);      // numbering starts again
}

TEST_F(TokenTest, LoadEltPtrFollowsTheFileVersions) {
  const int64_t big = (int64_t(5) << 32) | 9;  // low 32 bits: 9
  // {version, kind, X64bits, wide (the file holds a 64-bit integer), element};
  // element 1: mapped (the first identifier met).
  const std::tuple<int, int, bool, bool, intptr_t> cases[] = {
      {608025, 1, true, false, 41}, {608026, 1, false, true, 9},    {608030, 3, true, true, 9},
      {608031, 2, true, true, 1},   {608031, 3, false, false, 41},  {608100, 1, false, true, 9},
      {608101, 1, false, false, 41}, {608101, 2, true, true, 1}};
  for (const auto& [version, kind, x64, wide, expected] : cases) {
    G_TOKEN::ClearTokensMap();
    G_TOKEN::SetX64bits(x64);
    C_FILE_MEMORY f(C_FILE::BINARY);
    wide ? Tsave(big, &f) : Tsave(41, &f);
    f.Rewind();
    EXPECT_EQ(G_TOKEN::LoadEltPtr(kind, version, &f), E(expected)) << version << " " << kind;
    EXPECT_TRUE(f.AtEnd()) << version << " " << kind;
  }
  C_FILE_MEMORY empty(C_FILE::TEXT);
  EXPECT_EQ(G_TOKEN::LoadEltPtr(1, 608101, &empty), nullptr);
  EXPECT_TRUE(C_ERROR::Is());
}

TEST_F(TokenTest, ListsSearchKeysAndRenameElements) {
  void *a = E(1), *b = E(2), *c = E(3);
  T_LIST<void*> olds, news;
  olds.Append(a);
  news.Append(b);
  G_TOKENS l = Make({G_TOKEN(a, 1, 1), G_TOKEN(nullptr, 5, 5), G_TOKEN(c, 2, 2)}), k = l;
  T_LIST<int> found;
  found.Append(99);  // cleared first
  Make({G_TOKEN(a, 4, 0), G_TOKEN(b, -1, 0), G_TOKEN(c, 4, 1)}).SearchTokensByKey(4, found);
  EXPECT_TRUE(found.GetNumber() == 2 && found[0] == 0 && found[1] == 2);  // -1 no wildcard
  l.SetSorted(true);
  l.ChangeGeomsWithRefs(olds, news, true);  // void tokens and others removed
  EXPECT_TRUE(l.GetNumber() == 1 && Str(l.Get(0)) == "2 1 1" && !l.IsSorted());
  k.ChangeGeomsWithRefs(olds, news, false);
  EXPECT_TRUE(k.GetNumber() == 2 && Str(k.Get(0)) == "2 1 1" && Str(k.Get(1)) == "3 2 2");
  // An old element without a new one: the list's index error, and removed.
  olds.Append(c);
  k.ChangeGeomsWithRefs(olds, news, false);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
  EXPECT_EQ(k.GetNumber(), 1);
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
    EXPECT_TRUE(r.GetNumber() == 2 && Str(r.Get(1)) == "5 -1 2" && r.IsSorted());
  }
  // A count far beyond the file fails at the end of the stream, at once.
  for (const char* s : {"2000000000\nT1 1 1\n", "-1\n0\n", "1\nP1 2 3\n0\n"}) {
    C_FILE_MEMORY f(C_FILE::TEXT, s);
    G_TOKENS r;
    r.Load(0, &f);
    EXPECT_TRUE(C_ERROR::Is()) << s;
    EXPECT_LE(r.GetSize(), 4096);
    C_ERROR::ClearPending();
  }
}
