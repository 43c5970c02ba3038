// The convenience forms of the curve and token interfaces: hand-overs from
// pointers to derived curve classes, defaulted out-pointers and by-reference
// outputs.
#include <gtest/gtest.h>

#include "curves/g3_cv.h"
#include "curves/g3_cv_circle.h"
#include "curves/g3_cv_composit.h"
#include "curves/g3_cv_line.h"
#include "frame/g_lifecycle.h"
#include "runtime/c_error.h"
#include "tokens/g_tokens.h"
#include "tokens/t_hash_map.h"

namespace {

void* E(intptr_t v) { return reinterpret_cast<void*>(v); }

}  // namespace

TEST(CurvesApi, CompositeTakesPointersToDerivedClasses) {
  G3_CV_COMPOSIT c;
  G3_CV_LINE* line = new G3_CV_LINE;  // span 1
  c.Append(&line);
  EXPECT_EQ(line, nullptr);
  G3_CV_CIRCLE* arc = new G3_CV_CIRCLE(G3_PLANE(), G_LEN(1), G_ARC(90));
  c.Insert(0, &arc);
  EXPECT_EQ(arc, nullptr);
  EXPECT_EQ(c.GetSpan(), 91);
  ASSERT_EQ(c.GetNumber(), 2);
  EXPECT_TRUE(c.Get(0)->IsCircle());

  // A refused hand-over leaves the curve with the caller.
  G3_CV_CIRCLE* kept = new G3_CV_CIRCLE(G3_PLANE(), G_LEN(1), G_ARC(30));
  c.Insert(5, &kept);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(c.GetNumber(), 2);
  EXPECT_EQ(c.GetSpan(), 91);

  // Without an out-pointer the former child is deleted (the sanitizer build
  // sees a leak otherwise).
  c.Replace(0, &kept);
  EXPECT_EQ(kept, nullptr);
  EXPECT_EQ(c.GetSpan(), 31);
  c.Replace(1, G3_CV_CIRCLE(G3_PLANE(), G_LEN(1), G_ARC(10)));
  EXPECT_EQ(c.GetSpan(), 40);
  c.Remove(0);
  EXPECT_EQ(c.GetNumber(), 1);
  EXPECT_EQ(c.GetSpan(), 10);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST(CurvesApi, BaseRangeTokensAndGenerationByName) {
  G3_CV c(2.5, 7);
  double a = 0, b = 0;
  c.GetRange(&a, &b);
  EXPECT_EQ(a, 2.5);
  EXPECT_EQ(b, 7);

  // The token list is editable in place; exactly (owner, 1, 0) is implicit:
  // owner 7, flag 0, start, end.
  c.SetElt(E(7));
  c.GetTokens().Append(G_TOKEN(E(7), 1, 0));
  C_FILE_MEMORY f(C_FILE::TEXT);
  c.Save(&f);
  EXPECT_EQ(f.GetContent(), "7\n0\n2.5\n7\n");

  G3CVopen();
  G3_CV* g = G3_CV::GenerateDefault("G3_CV_SOMETHING");  // prefix "G3_CV"
  ASSERT_NE(g, nullptr);
  EXPECT_TRUE(g->IsClass(G3_CV::CLASS));
  delete g;
}

TEST(CurvesApi, TokensByKeyIntoAListAndMapCounts) {
  G_TOKENS t;
  t.Append(G_TOKEN(E(1), 4, 0));
  t.Append(G_TOKEN(E(2), -1, 0));
  t.Append(G_TOKEN(E(3), 4, 1));
  T_LIST<int> found;
  found.Append(99);  // cleared first
  t.SearchTokensByKey(4, found);
  ASSERT_EQ(found.GetNumber(), 2);
  EXPECT_EQ(found.Get(0), 0);
  EXPECT_EQ(found.Get(1), 2);

  T_HASH_MAP<int, int> m;
  for (int k = 0; k < 12; ++k) m.Insert(k * 7, k);
  EXPECT_EQ(m.GetNumberOfEntries(), 12);
  EXPECT_EQ(m.GetNumberOfBuckets(), 23);  // rebuilt from 11 at the 12th entry
}
