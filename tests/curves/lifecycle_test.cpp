#include "frame/g_lifecycle.h"

#include <gtest/gtest.h>

#include "algebra/g3_frame.h"
#include "algebra/g3_point.h"
#include "curves/g3_cv.h"
#include "runtime/c_error.h"

namespace {
const void* seen = nullptr;
}  // namespace

TEST(Lifecycle, GDocCreateCallsOnlyASetHandlerWithTheVeryObject) {
  EXPECT_TRUE(!GDocCreatePtHandler && !GDocCreateFrHandler && !GeventCheckInterruption);
  G3_POINT p(1, 2, 3);
  G3_FRAME f;
  GDocCreatePtHandler = [](const G3_POINT& q) { seen = &q; };
  GDocCreate(f);  // no frame handler
  EXPECT_EQ(seen, nullptr);
  GDocCreate(p);
  EXPECT_EQ(seen, &p);
  GDocCreateFrHandler = [](const G3_FRAME& g) { seen = &g; };
  GDocCreate(f);
  EXPECT_EQ(seen, &f);
  GDocCreatePtHandler = nullptr;
  GDocCreateFrHandler = nullptr;
}

TEST(Lifecycle, OpenRegistersTheBaseCurveEachTimeAndCloseKeepsErrors) {
  C_ERROR::ClearPending();
  const int before = G3_CV::DefaultGenerators.GetNumber();
  Gopen();
  G3CVopen();
  ASSERT_EQ(G3_CV::DefaultGenerators.GetNumber(), before + 2);
  EXPECT_TRUE(G3_CV::DefaultGenerators.GetLast(0).Name == C_STRING("G3_CV"));
  CerrInvalidValue.Trigger();
  Gclose();
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
}
