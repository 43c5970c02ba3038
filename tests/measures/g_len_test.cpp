#include "measures/g_len.h"

#include <cmath>
#include <limits>

#include "measures/measures_fixture.h"

namespace {

using G_LEN_Test = MeasuresTest;

TEST_F(G_LEN_Test, CheckIsNonStrictAtMinAndKeepsTheValue) {
  EXPECT_EQ(G_LEN::GetMin(), 1e-7);
  G_LEN(1e-7);
  EXPECT_EQ(Take(), nullptr);
  const double bad[] = {0.99e-7, 0.0, -1.0, std::numeric_limits<double>::quiet_NaN()};
  for (double v : bad) {
    G_LEN l(v);
    EXPECT_EQ(Take(), &GerrLengthTooShort) << v;
    EXPECT_TRUE(double(l) == v || std::isnan(v)) << v;
  }
  G_LEN l(G_DIS(-5.0));  // the signed distance, not its magnitude
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(l), -5.0);

  // The default passes the same check, against the current resolution.
  EXPECT_EQ(double(G_LEN()), 1.0);
  EXPECT_EQ(Take(), nullptr);
  G_LEN::SetMin(2.0);
  EXPECT_EQ(G_DIS::GetMin(), 1e-8);  // set alone
  G_LEN();
  EXPECT_EQ(Take(), &GerrLengthTooShort);
}

TEST_F(G_LEN_Test, AssignmentAndArithmeticStoreThenCheck) {
  G_LEN l(2.0);
  l *= 0.25;
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(l), 0.5);
  l /= 1e7;
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(l), 0.5 / 1e7);
  l = 1.0;
  l += G_LEN(0.5);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(l), 1.5);
  l -= G_LEN(1.5);
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(l), 0.0);
  l = -2.0;
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(l), -2.0);
}

TEST_F(G_LEN_Test, EqualsIsStrictAtTheDistanceResolution) {
  EXPECT_TRUE(G_LEN(2).Equals(G_LEN(2 + 5e-9)));
  EXPECT_FALSE(G_LEN(2).Equals(G_LEN(2 + 2e-8)));
  G_LEN::SetMin(0.1);  // plays no part
  EXPECT_FALSE(G_LEN(1.0).Equals(G_LEN(1.05)));
  G_DIS::SetMin(0.5);  // exactly representable: a difference equal to it fails
  EXPECT_TRUE(G_LEN(1.0).Equals(G_LEN(1.25)));
  EXPECT_FALSE(G_LEN(1.0).Equals(G_LEN(1.5)));
}

TEST_F(G_LEN_Test, RoundTripsAndLoadsWithoutCheck) {
  ExpectRoundTrip(G_LEN(1.0 / 3.0), 1.0 / 3.0);
  G_LEN bad(-3.0);
  Take();
  ExpectRoundTrip(bad, -3.0);
}

}  // namespace
