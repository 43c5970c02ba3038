#include "measures/g_arc.h"

#include <cmath>
#include <limits>

#include "measures/g_ang.h"
#include "measures/measures_fixture.h"

namespace {

using G_ARC_Test = MeasuresTest;

TEST_F(G_ARC_Test, StaticsAndSetter) {
  EXPECT_EQ(G_ARC::GetMin(), 5.729577951308232e-07);
  EXPECT_EQ(G_ARC::GetMinSin(), 1e-8);
  EXPECT_EQ(G_ARC::GetMinSin2(), 1e-16);
  EXPECT_EQ(G_ARC::GetMax(), 360.0);
  G_ARC::SetMin(90.0);
  EXPECT_NEAR(G_ARC::GetMinSin(), 1.0, 1e-15);
  EXPECT_NEAR(G_ARC::GetMinSin2(), 1.0, 1e-15);
  EXPECT_EQ(G_ARC::GetMax(), 360.0);
  EXPECT_EQ(G_ANG::GetMin(), 5.729577951308233e-08);
}

TEST_F(G_ARC_Test, CheckBoundsAreNonStrictAndIndependent) {
  const double good[] = {360 + 5e-8, 360.0 + G_ANG::GetMin(), 5.729577951308232e-07};
  for (double v : good) {
    G_ARC{v};
    EXPECT_EQ(Take(), nullptr) << v;
  }
  G_ARC large(360.001);
  EXPECT_EQ(Take(), &GerrArcTooLarge);
  EXPECT_EQ(double(large), 360.001);
  G_ARC narrow(0.0);
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
  EXPECT_EQ(double(narrow), 0.0);
  G_ARC nan(std::numeric_limits<double>::quiet_NaN());
  EXPECT_NE(Take(), nullptr);

  G_ANG::SetMin(1.0);  // the upper bound moves with the angular resolution
  G_ARC(360.75);
  EXPECT_EQ(Take(), nullptr);
  G_ARC(361.25);
  EXPECT_EQ(Take(), &GerrArcTooLarge);

  // With Min above Max a value fails both tests; the upper one runs second.
  G_ARC::SetMin(400.0);
  G_ARC(380.0);
  EXPECT_EQ(Take(), &GerrArcTooLarge);
  G_ARC();  // the default full turn is checked too
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
}

TEST_F(G_ARC_Test, FromAngleAssignmentAndArithmeticStoreThenCheck) {
  G_ARC a(G_ANG(-10.0));
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
  EXPECT_EQ(double(a), -10.0);
  G_ARC(G_ANG(370.0));  // an angle is not reduced
  EXPECT_EQ(Take(), &GerrArcTooLarge);

  G_ARC c(90.0);
  c *= 6.0;
  EXPECT_EQ(Take(), &GerrArcTooLarge);
  EXPECT_EQ(double(c), 540.0);
  c /= 6.0;
  EXPECT_EQ(Take(), nullptr);
  c += G_ARC(300.0);
  EXPECT_EQ(Take(), &GerrArcTooLarge);
  c -= G_ARC(300.0);
  EXPECT_EQ(Take(), nullptr);
  c -= G_ARC(90.0);
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
  EXPECT_EQ(double(c), 0.0);
  c = 400.0;
  EXPECT_EQ(Take(), &GerrArcTooLarge);
}

TEST_F(G_ARC_Test, RoundTripsAndLoadsWithoutCheck) {
  ExpectRoundTrip(G_ARC(1.0 / 3.0), 1.0 / 3.0);
  G_ARC bad(0.0);
  Take();
  ExpectRoundTrip(bad, 0.0);
}

}  // namespace
