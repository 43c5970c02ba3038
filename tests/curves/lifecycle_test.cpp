#include "frame/g_lifecycle.h"

#include <gtest/gtest.h>

#include <memory>

#include "algebra/g3_frame.h"
#include "algebra/g3_point.h"
#include "curves/g3_cv.h"
#include "runtime/c_error.h"

namespace {

const G3_POINT* seen_point = nullptr;
const G3_FRAME* seen_frame = nullptr;
int calls = 0;
void OnPoint(const G3_POINT& p) {
  seen_point = &p;
  ++calls;
}
void OnFrame(const G3_FRAME& f) {
  seen_frame = &f;
  ++calls;
}

}  // namespace

TEST(Lifecycle, HooksStartNullAndGDocCreateCallsOnlyASetHandler) {
  EXPECT_EQ(GDocCreatePtHandler, nullptr);
  EXPECT_EQ(GDocCreateFrHandler, nullptr);
  EXPECT_EQ(GeventCheckInterruption, nullptr);
  G3_POINT p(1, 2, 3);
  G3_FRAME f;
  calls = 0;
  GDocCreate(p);
  GDocCreate(f);
  EXPECT_EQ(calls, 0);

  GDocCreatePtHandler = &OnPoint;
  GDocCreate(p);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen_point, &p);  // the very object passed
  GDocCreate(f);               // no frame handler yet
  EXPECT_EQ(calls, 1);
  GDocCreateFrHandler = &OnFrame;
  GDocCreate(f);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(seen_frame, &f);
  GDocCreatePtHandler = nullptr;
  GDocCreateFrHandler = nullptr;
}

TEST(Lifecycle, OpenRegistersTheBaseCurveEachTimeAndCloseKeepsErrors) {
  C_ERROR::ClearPending();
  int before = G3_CV::DefaultGenerators.GetNumber();
  Gopen();
  EXPECT_EQ(G3_CV::DefaultGenerators.GetNumber(), before + 1);
  G3CVopen();
  ASSERT_EQ(G3_CV::DefaultGenerators.GetNumber(), before + 2);
  const G3_CV::GENERATOR& g = G3_CV::DefaultGenerators.GetLast(0);
  EXPECT_TRUE(g.Name == C_STRING("G3_CV"));
  C_BOOL lost = true;
  std::unique_ptr<G3_CV> c(G3_CV::GenerateDefault("G3_CV", &lost));
  ASSERT_NE(c, nullptr);
  EXPECT_FALSE(lost);
  EXPECT_TRUE(c->IsClass("G3_CV"));

  Gclose();
  EXPECT_FALSE(C_ERROR::Is());
  CerrInvalidValue.Trigger();
  Gclose();
  EXPECT_TRUE(C_ERROR::Is());
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
}
