#include "measures/g_arc.h"

#include <cmath>
#include <limits>

#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/measures_fixture.h"
#include "runtime/c_file.h"
#include "runtime/t_persist.h"

namespace {

using G_ARC_Test = MeasuresTest;

TEST_F(G_ARC_Test, StaticsAndSetter) {
  EXPECT_EQ(G_ARC::GetMin(), 5.729577951308232e-07);
  EXPECT_EQ(G_ARC::GetMinSin(), 1e-8);
  EXPECT_EQ(G_ARC::GetMinSin2(), 1e-16);
  EXPECT_EQ(G_ARC::GetMax(), 360.0);

  G_ARC::SetMin(90.0);
  EXPECT_EQ(G_ARC::GetMin(), 90.0);
  EXPECT_NEAR(G_ARC::GetMinSin(), 1.0, 1e-15);
  EXPECT_NEAR(G_ARC::GetMinSin2(), 1.0, 1e-15);
  EXPECT_EQ(G_ARC::GetMax(), 360.0);
  EXPECT_EQ(G_ANG::GetMin(), 5.729577951308233e-08);
}

TEST_F(G_ARC_Test, CheckBoundsAreNonStrict) {
  G_ARC(360 + 5e-8);
  EXPECT_EQ(Take(), nullptr);
  G_ARC(360.0 + G_ANG::GetMin());  // exactly the upper bound
  EXPECT_EQ(Take(), nullptr);
  G_ARC(5.729577951308232e-07);  // exactly the lower bound
  EXPECT_EQ(Take(), nullptr);

  G_ARC large(360.001);
  EXPECT_EQ(Take(), &GerrArcTooLarge);
  EXPECT_EQ(double(large), 360.001);
  G_ARC narrow(0.0);
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
  EXPECT_EQ(double(narrow), 0.0);
  G_ARC negative(-90.0);
  EXPECT_EQ(Take(), &GerrArcTooNarrow);

  G_ARC nan(std::numeric_limits<double>::quiet_NaN());
  EXPECT_NE(Take(), nullptr);
  EXPECT_TRUE(std::isnan(double(nan)));

  // The upper bound moves with the angular resolution.
  G_ANG::SetMin(1.0);
  G_ARC(360.75);
  EXPECT_EQ(Take(), nullptr);
  G_ARC(361.25);
  EXPECT_EQ(Take(), &GerrArcTooLarge);
}

TEST_F(G_ARC_Test, TheTwoTestsAreIndependent) {
  // With Min above Max a value can fail both; the larger-arc test runs second.
  G_ARC::SetMin(400.0);
  G_ARC(380.0);
  EXPECT_EQ(Take(), &GerrArcTooLarge);
  G_ARC(300.0);
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
}

TEST_F(G_ARC_Test, DefaultIsAFullTurnAndIsChecked) {
  G_ARC a;
  EXPECT_EQ(double(a), 360.0);
  EXPECT_EQ(Take(), nullptr);
  G_ARC::SetMin(400.0);
  G_ARC b;
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
}

TEST_F(G_ARC_Test, FromAngleAssignmentAndArithmeticStoreThenCheck) {
  G_ARC a(G_ANG(-10.0));
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
  EXPECT_EQ(double(a), -10.0);
  G_ARC b(G_ANG(370.0));  // an angle is not reduced
  EXPECT_EQ(Take(), &GerrArcTooLarge);

  G_ARC c(90.0);
  c *= 2.0;
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(c), 180.0);
  c *= 3.0;
  EXPECT_EQ(Take(), &GerrArcTooLarge);
  EXPECT_EQ(double(c), 540.0);
  c /= 6.0;
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(c), 90.0);
  c /= 1e9;
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
  c = 45.0;
  EXPECT_EQ(Take(), nullptr);
  c += G_ARC(330.0);
  EXPECT_EQ(Take(), &GerrArcTooLarge);
  EXPECT_EQ(double(c), 375.0);
  c -= G_ARC(300.0);
  EXPECT_EQ(Take(), nullptr);
  c -= G_ARC(75.0);
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
  EXPECT_EQ(double(c), 0.0);
  c = 400.0;
  EXPECT_EQ(Take(), &GerrArcTooLarge);
}

TEST_F(G_ARC_Test, TextAndBinaryRoundTripsLoadWithoutCheck) {
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    G_ARC(1.0 / 3.0).Save(&f);
    G_ARC(360.0).Save(&f);
    Tsave(0.0, &f, 0);  // not a valid arc
    f.Rewind();
    G_ARC a, b, c;
    a.Load(0, &f);
    b.Load(0, &f);
    c.Load(0, &f);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_EQ(double(a), 1.0 / 3.0);
    EXPECT_EQ(double(b), 360.0);
    EXPECT_EQ(double(c), 0.0);
  }
  C_FILE_MEMORY b(C_FILE::BINARY);
  G_ARC(90.0).Save(&b);
  EXPECT_EQ(b.GetContent(), Bytes(90.0));
}

}  // namespace
