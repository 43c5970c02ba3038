#include "measures/g_dis.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "measures/g_dis2.h"
#include "measures/measures_fixture.h"

namespace {

using G_DIS_Test = MeasuresTest;

TEST_F(G_DIS_Test, NullTestsAreStrictAndFollowTheSetter) {
  EXPECT_EQ(G_DIS::GetMin(), 1e-8);
  EXPECT_EQ(G_DIS2::GetMin(), 1e-16);
  EXPECT_TRUE(G_DIS(-0.99e-8).Is0());
  EXPECT_FALSE(G_DIS(1e-8).Is0());  // exactly the resolution is not null
  EXPECT_FALSE(G_DIS(std::numeric_limits<double>::quiet_NaN()).Is0());
  EXPECT_TRUE(G_DIS2(0.5e-16).Is0());
  EXPECT_FALSE(G_DIS2(1e-16).Is0());

  G_DIS::SetMin(1e-6);
  EXPECT_DOUBLE_EQ(G_DIS2::GetMin(), 1e-12);
  EXPECT_TRUE(G_DIS(5e-7).Is0());
  EXPECT_TRUE(G_DIS2(5e-13).Is0());
  EXPECT_EQ(G_LEN::GetMin(), 1e-7);
}

TEST_F(G_DIS_Test, ChecksRaiseTheirErrors) {
  G_DIS(1e-9).CheckIs0();
  G_DIS(-2.0).CheckIsNot0();
  G_DIS2(1e-17).CheckIs0();
  G_DIS2(1.0).CheckIsNot0();
  EXPECT_EQ(Take(), nullptr);
  G_DIS(1e-9).CheckIsNot0();
  EXPECT_EQ(Take(), &GerrDistanceIsNull);
  G_DIS(-2.0).CheckIs0();
  EXPECT_EQ(Take(), &GerrDistanceIsNotNull);
  G_DIS2(1e-17).CheckIsNot0();
  EXPECT_EQ(Take(), &GerrDistanceIsNull);
  G_DIS2(1.0).CheckIs0();
  EXPECT_EQ(Take(), &GerrDistanceIsNotNull);
}

TEST_F(G_DIS_Test, ArithmeticIsPlainAndNeverFails) {
  G_DIS d(3.0);
  d += G_DIS(1.5);
  d -= G_DIS(6.5);
  d *= 3.0;
  d /= 4.0;
  EXPECT_EQ(double(d), -1.5);
  d.Abs();
  EXPECT_EQ(double(d), 1.5);
  static_assert(std::is_same_v<decltype(G_DIS(1.0) - G_DIS(2.0)), G_DIS>);
  EXPECT_EQ(double(G_DIS(1.0) + G_DIS(2.5)), 3.5);
  EXPECT_EQ(double(G_DIS(1.0) - G_DIS(2.5)), -1.5);
  EXPECT_EQ(double(2 - G_DIS(0.5)), 1.5);

  G_DIS2 s(4.0);
  s += G_DIS2(2.0);
  s -= G_DIS2(8.0);
  s *= -1.5;
  EXPECT_EQ(double(s), 3.0);
  s /= 0.0;
  EXPECT_TRUE(std::isinf(double(s)));
  EXPECT_EQ(Take(), nullptr);

  EXPECT_EQ(double(G_DIS(G_DIS2(2.25))), 1.5);
  EXPECT_EQ(double(G_DIS2(G_DIS(-3.0))), 9.0);
}

TEST_F(G_DIS_Test, SquaredComparisonsAreExactAndGiveInt) {
  const double next = std::nextafter(1.0, 2.0);
  G_DIS2 a(1.0), b(next), c(1.0);
  static_assert(std::is_same_v<decltype(a < b), int>);
  EXPECT_EQ((a < b) + (a <= c) + (b > a) + (a >= c) + (a == c) + (a != b), 6);
  EXPECT_EQ((b < a) + (b <= a) + (a > c) + (a >= b) + (a == b) + (a != c), 0);
  EXPECT_EQ((a < next) + (a == 1) + (b > 1), 3);
}

TEST_F(G_DIS_Test, RoundTrips) { ExpectRoundTrip(G_DIS(-0.1), -0.1); }

}  // namespace
