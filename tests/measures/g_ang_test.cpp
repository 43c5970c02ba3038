#include "measures/g_ang.h"

#include <cmath>
#include <limits>

#include "measures/measures_fixture.h"

namespace {

const double kPi = 3.14159265358979323846;

using G_ANG_Test = MeasuresTest;

TEST_F(G_ANG_Test, StaticsAndSetters) {
  EXPECT_EQ(G_ANG::GetMin(), 5.729577951308233e-08);
  EXPECT_EQ(G_ANG::GetMinSin(), 1e-9);
  EXPECT_EQ(G_ANG::GetMinSin2(), 1e-18);
  EXPECT_EQ(G_ANG::GetMin100(), 5.729577951308232e-06);
  EXPECT_EQ(G_ANG::GetMin100Sin(), 1e-7);
  EXPECT_EQ(G_ANG::GetMin100Sin2(), 1e-14);

  G_ANG::SetMin(1e-3);  // sin 0.001 degree
  EXPECT_EQ(G_ANG::GetMin(), 1e-3);
  EXPECT_NEAR(G_ANG::GetMinSin(), 1.7453292519057202e-05, 1e-19);
  EXPECT_NEAR(G_ANG::GetMinSin2(), 3.046174197557781e-10, 1e-23);
  EXPECT_EQ(G_ANG::GetMin100(), 5.729577951308232e-06);
  G_ANG::SetMin100(30.0);
  EXPECT_NEAR(G_ANG::GetMin100Sin(), 0.5, 1e-15);
  EXPECT_NEAR(G_ANG::GetMin100Sin2(), 0.25, 1e-15);
  EXPECT_EQ(G_ANG::GetMin(), 1e-3);
}

TEST_F(G_ANG_Test, UnitsTrigonometryAndNoReduction) {
  G_ANG a(180.0);
  EXPECT_DOUBLE_EQ(a.GetRad(), kPi);
  a.SetRad(kPi / 2);
  EXPECT_DOUBLE_EQ(a.GetDeg(), 90.0);
  EXPECT_DOUBLE_EQ(a.GetGra(), 100.0);
  a.SetGra(200.0);
  EXPECT_DOUBLE_EQ(double(a), 180.0);

  EXPECT_NEAR(G_ANG(30.0).GetSin(), 0.5, 1e-15);
  EXPECT_NEAR(G_ANG(60.0).GetCos(), 0.5, 1e-15);
  EXPECT_NEAR(G_ANG(45.0).GetTan(), 1.0, 1e-15);
  const struct {
    void (G_ANG::*set)(double);
    double arg, deg;
  } one[] = {{&G_ANG::SetCos, 0.5, 60}, {&G_ANG::SetSin, -0.5, -30}, {&G_ANG::SetTan, 1, 45}};
  for (const auto& c : one) {
    (a.*c.set)(c.arg);
    EXPECT_NEAR(double(a), c.deg, 1e-12);
  }
  a.SetTan2(1.0, -1.0);  // (y, x)
  EXPECT_NEAR(double(a), 135.0, 1e-12);
  a.SetXY(1.0, -1.0);  // (x, y)
  EXPECT_NEAR(double(a), -45.0, 1e-12);

  G_ANG b(370.0);
  b += G_ANG(20.0);
  b -= G_ANG(800.0);
  b *= 2.0;
  b /= -4.0;
  EXPECT_EQ(double(b), 205.0);
  EXPECT_EQ(double(G_ANG(370.0)), 370.0);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(G_ANG_Test, ComparisonsAreStrictAtTheResolution) {
  EXPECT_TRUE(G_ANG(-5e-8).Is0());
  EXPECT_FALSE(G_ANG(1e-7).Is0());
  EXPECT_TRUE(G_ANG(360.0 + 1e-8).Is360());
  EXPECT_TRUE(G_ANG(10.0).Equals(G_ANG(10.0 + 1e-8)));
  EXPECT_FALSE(G_ANG(10.0).Equals(G_ANG(10.0 + 1e-6)));
  G_ANG::SetMin(0.5);  // exactly representable: a difference equal to it fails
  EXPECT_FALSE(G_ANG(0.5).Is0());
  EXPECT_TRUE(G_ANG(-0.25).Is0());
  EXPECT_FALSE(G_ANG(360.5).Is360());
  EXPECT_TRUE(G_ANG(359.75).Is360());
  EXPECT_FALSE(G_ANG(10.0).Equals(G_ANG(10.5)));
  EXPECT_TRUE(G_ANG(10.0).Equals(G_ANG(9.75)));
}

TEST_F(G_ANG_Test, AngleFromCosineAndSineUsesTheStableFormInEachBand) {
  // A tiny angle, which acos of its cosine would lose entirely.
  const double t = 1e-6, c = std::cos(t * kPi / 180), s = std::sin(t * kPi / 180);
  EXPECT_NEAR(G_ANG::FromCosSin(c, s), t, 1e-18);
  EXPECT_NEAR(G_ANG::FromCosSin(-c, s), 180 - t, 1e-12);
  // Inside the outer bands the sine alone counts; from -0.999 to 0.999, both
  // included, the cosine alone (the sines given are deliberately inconsistent).
  EXPECT_NEAR(G_ANG::FromCosSin(0.9995, 0.5), 30.0, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(-0.9995, 0.5), 150.0, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(0.5, 0.0), 60.0, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(0.999, 0.0), std::acos(0.999) * 180 / kPi, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(-0.999, 0.0), std::acos(-0.999) * 180 / kPi, 1e-12);
  EXPECT_TRUE(std::isnan(G_ANG::FromCosSin(std::numeric_limits<double>::quiet_NaN(), 0.0)));
}

TEST_F(G_ANG_Test, RoundTrips) { ExpectRoundTrip(G_ANG(-270.0 / 7), -270.0 / 7); }

}  // namespace
