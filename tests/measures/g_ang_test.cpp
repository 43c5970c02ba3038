#include "measures/g_ang.h"

#include <cmath>
#include <limits>

#include "measures/measures_fixture.h"
#include "runtime/c_file.h"

namespace {

const double kPi = 3.14159265358979323846;
double SinDeg(double a) { return std::sin(a * kPi / 180.0); }

using G_ANG_Test = MeasuresTest;

TEST_F(G_ANG_Test, StaticsAtLoad) {
  EXPECT_EQ(G_ANG::GetMin(), 5.729577951308233e-08);
  EXPECT_EQ(G_ANG::GetMinSin(), 1e-9);
  EXPECT_EQ(G_ANG::GetMinSin2(), 1e-18);
  EXPECT_EQ(G_ANG::GetMin100(), 5.729577951308232e-06);
  EXPECT_EQ(G_ANG::GetMin100Sin(), 1e-7);
  EXPECT_EQ(G_ANG::GetMin100Sin2(), 1e-14);
  // Each angle is the radian resolution in degrees.
  EXPECT_NEAR(G_ANG::GetMin() * kPi / 180, 1e-9, 1e-24);
  EXPECT_NEAR(G_ANG::GetMin100() * kPi / 180, 1e-7, 1e-22);
}

TEST_F(G_ANG_Test, SettersUpdateSineAndSquaredSine) {
  G_ANG::SetMin(1e-3);
  EXPECT_EQ(G_ANG::GetMin(), 1e-3);
  EXPECT_NEAR(G_ANG::GetMinSin(), 1.7453292519057202e-05, 1e-19);
  EXPECT_NEAR(G_ANG::GetMinSin2(), 1.7453292519057202e-05 * 1.7453292519057202e-05, 1e-24);
  EXPECT_EQ(G_ANG::GetMin100(), 5.729577951308232e-06);  // untouched

  G_ANG::SetMin100(30.0);
  EXPECT_EQ(G_ANG::GetMin100(), 30.0);
  EXPECT_NEAR(G_ANG::GetMin100Sin(), 0.5, 1e-15);
  EXPECT_NEAR(G_ANG::GetMin100Sin2(), 0.25, 1e-15);
  EXPECT_EQ(G_ANG::GetMin(), 1e-3);
}

TEST_F(G_ANG_Test, UnitsAndArithmeticWithoutReduction) {
  G_ANG a(180.0);
  EXPECT_EQ(a.GetDeg(), 180.0);
  EXPECT_DOUBLE_EQ(a.GetRad(), kPi);
  a.SetRad(kPi / 2);
  EXPECT_DOUBLE_EQ(double(a), 90.0);
  a.SetDeg(90.0);
  EXPECT_DOUBLE_EQ(a.GetGra(), 100.0);
  a.SetGra(200.0);
  EXPECT_DOUBLE_EQ(a.GetDeg(), 180.0);

  G_ANG b(370.0);
  EXPECT_EQ(double(b), 370.0);
  b += G_ANG(20.0);
  EXPECT_EQ(double(b), 390.0);
  b -= G_ANG(800.0);
  EXPECT_EQ(double(b), -410.0);
  b *= 2.0;
  EXPECT_EQ(double(b), -820.0);
  b /= -4.0;
  EXPECT_EQ(double(b), 205.0);
  b = 12.5;
  EXPECT_EQ(double(b), 12.5);
  EXPECT_EQ(double(G_ANG()), 0.0);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(G_ANG_Test, TrigonometryInDegrees) {
  EXPECT_NEAR(G_ANG(30.0).GetSin(), 0.5, 1e-15);
  EXPECT_NEAR(G_ANG(60.0).GetCos(), 0.5, 1e-15);
  EXPECT_NEAR(G_ANG(45.0).GetTan(), 1.0, 1e-15);
  G_ANG a;
  a.SetCos(0.5);
  EXPECT_NEAR(double(a), 60.0, 1e-12);
  a.SetSin(-0.5);
  EXPECT_NEAR(double(a), -30.0, 1e-12);
  a.SetTan(1.0);
  EXPECT_NEAR(double(a), 45.0, 1e-12);
  // SetTan2 takes (y, x), SetXY takes (x, y).
  a.SetTan2(1.0, 0.0);
  EXPECT_NEAR(double(a), 90.0, 1e-12);
  a.SetXY(1.0, 0.0);
  EXPECT_NEAR(double(a), 0.0, 1e-12);
  a.SetTan2(1.0, -1.0);
  EXPECT_NEAR(double(a), 135.0, 1e-12);
  a.SetXY(-1.0, -1.0);
  EXPECT_NEAR(double(a), -135.0, 1e-12);
}

TEST_F(G_ANG_Test, ComparisonsAreStrictAtTheResolution) {
  EXPECT_TRUE(G_ANG(0.0).Is0());
  EXPECT_TRUE(G_ANG(-5e-8).Is0());
  EXPECT_FALSE(G_ANG(1e-7).Is0());
  EXPECT_TRUE(G_ANG(360.0 + 1e-8).Is360());
  EXPECT_FALSE(G_ANG(0.0).Is360());
  EXPECT_TRUE(G_ANG(10.0).Equals(G_ANG(10.0 + 1e-8)));
  EXPECT_FALSE(G_ANG(10.0).Equals(G_ANG(10.0 + 1e-6)));

  // Exactly representable bounds: a difference equal to Min fails.
  G_ANG::SetMin(0.5);
  EXPECT_FALSE(G_ANG(0.5).Is0());
  EXPECT_TRUE(G_ANG(-0.25).Is0());
  EXPECT_FALSE(G_ANG(360.5).Is360());
  EXPECT_TRUE(G_ANG(359.75).Is360());
  EXPECT_FALSE(G_ANG(10.0).Equals(G_ANG(10.5)));
  EXPECT_TRUE(G_ANG(10.0).Equals(G_ANG(9.75)));
}

TEST_F(G_ANG_Test, AngleFromCosineAndSineUsesTheStableFormInEachBand) {
  // A tiny angle: acos of its cosine would lose it entirely.
  const double t = 1e-6;
  EXPECT_NEAR(G_ANG::FromCosSin(std::cos(t * kPi / 180), SinDeg(t)), t, 1e-18);
  EXPECT_NEAR(G_ANG::FromCosSin(-std::cos(t * kPi / 180), SinDeg(t)), 180 - t, 1e-12);
  // Between the bands, and at the band limits themselves, acos of the cosine
  // alone: the sine given here is deliberately inconsistent.
  EXPECT_NEAR(G_ANG::FromCosSin(0.5, 0.0), 60.0, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(0.999, 0.0), std::acos(0.999) * 180 / kPi, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(-0.999, 0.0), std::acos(-0.999) * 180 / kPi, 1e-12);
  // Just inside the outer bands, the sine alone.
  EXPECT_NEAR(G_ANG::FromCosSin(0.9995, 0.5), 30.0, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(-0.9995, 0.5), 150.0, 1e-12);
  // A NaN cosine goes to acos.
  EXPECT_TRUE(std::isnan(G_ANG::FromCosSin(std::numeric_limits<double>::quiet_NaN(), 0.0)));
}

TEST_F(G_ANG_Test, TextAndBinaryRoundTrips) {
  const double values[] = {-270.0, 0.0, 1.0 / 7.0, 720.125};
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    for (double v : values) G_ANG(v).Save(&f);
    f.Rewind();
    for (double v : values) {
      G_ANG a;
      a.Load(0, &f);
      ASSERT_EQ(Take(), nullptr);
      EXPECT_EQ(double(a), v);
    }
  }
  C_FILE_MEMORY b(C_FILE::BINARY);
  G_ANG(720.125).Save(&b);
  EXPECT_EQ(b.GetContent(), Bytes(720.125));
}

}  // namespace
