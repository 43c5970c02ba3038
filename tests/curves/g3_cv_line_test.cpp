#include "curves/g3_cv_line.h"

#include <gtest/gtest.h>

#include "curves_test_util.h"
#include "frame/g_errors.h"

using namespace curves_test;

namespace {
void ExpectLine(const G3_CV_LINE& l, G3_POINT po, G3_VECTOR vx, double len) {
  EXPECT_TRUE(l.GetPo() == po && l.GetStart() == 0 && l.GetEnd() == 1);
  EXPECT_LT((l.GetVx() - vx).GetNorm(), 1e-15);
  EXPECT_NEAR(double(l.GetPULen()), len, 1e-15);
}
}  // namespace

TEST_F(CurveTest, LineConstructorsSetAxisAndLengthPerUnit) {
  const G3_POINT p(1, 2, 3);
  ExpectLine(G3_CV_LINE(p, G3_POINT(4, 2, 3)), p, G3_VECTOR(1, 0, 0), 3);
  ExpectLine(G3_CV_LINE(p, G3_VECTOR(0, 0, -2)), p, G3_VECTOR(0, 0, -1), 2);
  ExpectLine(G3_CV_LINE(p, G3_POINT(1, 5, 7), G_LEN(2)), p, G3_VECTOR(0, 0.6, 0.8), 2);
  ASSERT_FALSE(C_ERROR::Is());
  // Equal points: the default direction and length.
  EXPECT_FAILS(ExpectLine(G3_CV_LINE(p, p), p, G3_VECTOR(1, 0, 0), 1), GerrNullVector);
  // Shorter than G_LEN::Min (1e-7): stored, with the error pending; the bound is valid.
  EXPECT_FAILS(ExpectLine(G3_CV_LINE(p, G3_VECTOR(0, 5e-8, 0)), p, G3_VECTOR(0, 1, 0), 5e-8),
               GerrLengthTooShort);
  G3_CV_LINE at_min(p, G3_VECTOR(0, 0, 1e-7));  // no error: the fixture checks at the end
}

TEST_F(CurveTest, LineRecordIsExactAndACutOneChangesNothing) {
  const std::string rec = Text(G3_CV_LINE(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G_LEN(2.5)));
  EXPECT_EQ(rec, "0\n1\n0\n0\n0\n1\nP1 2 3\nV0 1 0\n2.5\n");
  C_FILE_MEMORY cut(C_FILE::TEXT, rec.substr(0, rec.size() - 4));  // no length
  G3_CV_LINE r;
  r.Load(kVNow, &cut);
  EXPECT_TRUE(!Take().empty() && r.GetPo() == G3_POINT(0, 0, 0) && r.GetPULen() == 1);
}
