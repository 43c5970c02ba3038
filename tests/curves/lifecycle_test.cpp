#include "frame/g_lifecycle.h"

#include <gtest/gtest.h>

#include "curves/g3_cv.h"
#include "runtime/c_error.h"

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
