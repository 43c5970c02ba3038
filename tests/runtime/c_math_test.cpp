#include "runtime/c_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double kPi = 3.14159265358979323846;

}  // namespace

TEST(Cmath, ExactAnglesGiveExactValues) {
  // NAN: not exact at that angle.
  const struct {
    double a, sin, cos;
  } cases[] = {{0, 0, 1},     {30, 0.5, NAN},   {60, NAN, 0.5}, {120, NAN, -0.5},
               {180, 0, -1},  {210, -0.5, NAN}, {270, -1, 0},   {360, 0, 1},
               {-60, NAN, 0.5}, {-720, 0, 1},   {1e6 * 360 + 90, 1, 0}};
  for (const auto& c : cases) {
    double s = 0, co = 0;
    CmathSinCos(c.a, &s, &co);
    EXPECT_TRUE(std::isnan(c.sin) || (CmathSin(c.a) == c.sin && s == c.sin)) << c.a;
    EXPECT_TRUE(std::isnan(c.cos) || (CmathCos(c.a) == c.cos && co == c.cos)) << c.a;
    EXPECT_FALSE(std::signbit(s) && s == 0) << c.a;  // no negative zero
  }
  // {computed, exact}; the arcsine takes rounding noise beyond 1.
  const double exact[][2] = {
      {CmathTan(45), 1},      {CmathTan(-135), 1},      {CmathSin(45), CmathCos(45)},
      {CmathAsin(0.5), 30},   {CmathAsin(1 + 1e-15), 90}, {CmathAcos(-1), 180},
      {CmathAtan(-1), -45},   {CmathAtan2(0, -1), 180}, {CmathAtan2(-2, -2), -135},
      {CmathAtan2(0, 0), 0}};
  for (const auto& e : exact) EXPECT_EQ(e[0], e[1]) << "case " << &e - exact;
}

TEST(Cmath, GeneralAnglesAgreeWithRadianFunctions) {
  for (double a = -725.3; a < 725; a += 7.7) {
    const double r = a * kPi / 180;
    EXPECT_NEAR(CmathSin(a), std::sin(r), 1e-14) << a;
    EXPECT_NEAR(CmathCos(a), std::cos(r), 1e-14) << a;
    if (std::fabs(std::cos(r)) > 1e-3) {
      EXPECT_NEAR(CmathTan(a), std::tan(r), 1e-10) << a;
    }
  }
  for (double v = -0.99; v < 1; v += 0.07) {
    EXPECT_NEAR(CmathAsin(v), std::asin(v) * 180 / kPi, 1e-12) << v;
    EXPECT_NEAR(CmathAcos(v), std::acos(v) * 180 / kPi, 1e-12) << v;
    EXPECT_NEAR(CmathAtan(v * 5), std::atan(v * 5) * 180 / kPi, 1e-12) << v;
    EXPECT_NEAR(CmathAtan2(v, -0.3), std::atan2(v, -0.3) * 180 / kPi, 1e-12) << v;
  }
  EXPECT_TRUE(std::isnan(CmathSin(std::numeric_limits<double>::infinity())));
  EXPECT_TRUE(std::isnan(CmathAsin(1.1)));
}
