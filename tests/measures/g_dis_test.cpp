#include "measures/g_dis.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "frame/g_errors.h"
#include "measures/g_dis2.h"
#include "measures/measures_fixture.h"
#include "runtime/c_file.h"

namespace {

using G_DIS_Test = MeasuresTest;

TEST_F(G_DIS_Test, StaticsAndSetterKeepTheSquareInStep) {
  EXPECT_EQ(G_DIS::GetMin(), 1e-8);
  EXPECT_EQ(G_DIS2::GetMin(), 1e-16);
  G_DIS::SetMin(1e-6);
  EXPECT_EQ(G_DIS::GetMin(), 1e-6);
  EXPECT_DOUBLE_EQ(G_DIS2::GetMin(), 1e-12);
  EXPECT_TRUE(G_DIS(5e-7).Is0());
  EXPECT_TRUE(G_DIS2(5e-13).Is0());
  EXPECT_FALSE(G_DIS2(2e-12).Is0());
  EXPECT_EQ(G_LEN::GetMin(), 1e-7);
}

TEST_F(G_DIS_Test, Is0IsStrictAndChecksRaiseTheirErrors) {
  EXPECT_TRUE(G_DIS(0.0).Is0());
  EXPECT_TRUE(G_DIS(-0.99e-8).Is0());
  EXPECT_FALSE(G_DIS(1e-8).Is0());  // exactly the resolution is not null
  EXPECT_FALSE(G_DIS(-1e-8).Is0());

  G_DIS(1e-9).CheckIs0();
  EXPECT_EQ(Take(), nullptr);
  G_DIS(1e-9).CheckIsNot0();
  EXPECT_EQ(Take(), &GerrDistanceIsNull);
  G_DIS(-2.0).CheckIs0();
  EXPECT_EQ(Take(), &GerrDistanceIsNotNull);
  G_DIS(-2.0).CheckIsNot0();
  EXPECT_EQ(Take(), nullptr);

  // A NaN is not null.
  G_DIS nan(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(nan.Is0());
  nan.CheckIs0();
  EXPECT_EQ(Take(), &GerrDistanceIsNotNull);
}

TEST_F(G_DIS_Test, ArithmeticIsPlainAndNeverFails) {
  G_DIS d(3.0);
  d += G_DIS(1.5);
  EXPECT_EQ(double(d), 4.5);
  d -= G_DIS(6.5);
  EXPECT_EQ(double(d), -2.0);
  d *= 3.0;
  EXPECT_EQ(double(d), -6.0);
  d /= 4.0;
  EXPECT_EQ(double(d), -1.5);
  d.Abs();
  EXPECT_EQ(double(d), 1.5);
  d.Abs();
  EXPECT_EQ(double(d), 1.5);

  G_DIS sum = G_DIS(1.0) + G_DIS(2.5);
  G_DIS diff = G_DIS(1.0) - G_DIS(2.5);
  EXPECT_EQ(double(sum), 3.5);
  EXPECT_EQ(double(diff), -1.5);
  static_assert(std::is_same_v<decltype(G_DIS(1.0) + G_DIS(2.0)), G_DIS>);
  EXPECT_EQ(double(G_DIS(1.0) + 1), 2.0);
  EXPECT_EQ(double(2.0 - G_DIS(0.5)), 1.5);

  G_DIS z(1.0);
  z /= 0.0;
  EXPECT_TRUE(std::isinf(double(z)));
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(G_DIS()), 0.0);
}

TEST_F(G_DIS_Test, DistanceAndSquareConvertIntoEachOther) {
  EXPECT_EQ(double(G_DIS(G_DIS2(9.0))), 3.0);
  EXPECT_EQ(double(G_DIS2(G_DIS(-3.0))), 9.0);
  G_DIS from = G_DIS2(2.25);
  EXPECT_EQ(double(from), 1.5);
  G_DIS d;
  d = 4.0;
  EXPECT_EQ(double(d), 4.0);
}

TEST_F(G_DIS_Test, TextAndBinaryRoundTrips) {
  const double values[] = {-2.5, 0.0, 1e-300, 0.1 + 0.2};
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    for (double v : values) G_DIS(v).Save(&f);
    f.Rewind();
    for (double v : values) {
      G_DIS d;
      d.Load(0, &f);
      ASSERT_EQ(Take(), nullptr);
      EXPECT_EQ(double(d), v);
    }
  }
  C_FILE_MEMORY b(C_FILE::BINARY);
  G_DIS(-2.5).Save(&b);
  EXPECT_EQ(b.GetContent(), Bytes(-2.5));
}

using G_DIS2_Test = MeasuresTest;

TEST_F(G_DIS2_Test, ComparisonsAreExactAndGiveInt) {
  const double one = 1.0;
  const double next = std::nextafter(1.0, 2.0);
  G_DIS2 a(one), b(next), c(one);
  static_assert(std::is_same_v<decltype(a < b), int>);
  static_assert(std::is_same_v<decltype(a == b), int>);
  EXPECT_EQ(a < b, 1);
  EXPECT_EQ(b < a, 0);
  EXPECT_EQ(a <= c, 1);
  EXPECT_EQ(b <= a, 0);
  EXPECT_EQ(b > a, 1);
  EXPECT_EQ(a > c, 0);
  EXPECT_EQ(a >= c, 1);
  EXPECT_EQ(a >= b, 0);
  EXPECT_EQ(a == c, 1);
  EXPECT_EQ(a == b, 0);  // one ulp apart: no tolerance
  EXPECT_EQ(a != b, 1);
  EXPECT_EQ(a != c, 0);
  // Against bare numbers.
  EXPECT_EQ(a < next, 1);
  EXPECT_EQ(a == 1, 1);
  EXPECT_EQ(b <= 1, 0);
}

TEST_F(G_DIS2_Test, Is0IsStrictAndChecksRaiseTheirErrors) {
  EXPECT_TRUE(G_DIS2(0.5e-16).Is0());
  EXPECT_FALSE(G_DIS2(1e-16).Is0());  // exactly the resolution is not null
  EXPECT_TRUE(G_DIS2(-1.0).Is0());    // any negative value is below it

  G_DIS2(1e-17).CheckIs0();
  EXPECT_EQ(Take(), nullptr);
  G_DIS2(1e-17).CheckIsNot0();
  EXPECT_EQ(Take(), &GerrDistanceIsNull);
  G_DIS2(1.0).CheckIs0();
  EXPECT_EQ(Take(), &GerrDistanceIsNotNull);
  G_DIS2(1.0).CheckIsNot0();
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G_DIS2_Test, ArithmeticIsPlain) {
  G_DIS2 d(4.0);
  d += G_DIS2(2.0);
  EXPECT_EQ(double(d), 6.0);
  d -= G_DIS2(8.0);
  EXPECT_EQ(double(d), -2.0);
  d *= -1.5;
  EXPECT_EQ(double(d), 3.0);
  d /= 0.0;
  EXPECT_TRUE(std::isinf(double(d)));
  d = 0.25;
  EXPECT_EQ(double(d), 0.25);
  EXPECT_EQ(double(G_DIS2()), 0.0);
  EXPECT_EQ(Take(), nullptr);
}

}  // namespace
