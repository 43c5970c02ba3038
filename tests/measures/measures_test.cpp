#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <map>
#include <string>
#include <tuple>
#include <type_traits>

#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_arc.h"
#include "measures/g_dis.h"
#include "measures/g_dis2.h"
#include "measures/g_len.h"
#include "measures/g_tol.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kNan = std::numeric_limits<double>::quiet_NaN();

// Every resolution, and its value at load.
double* const kStatics[] = {&G_LEN::Min,        &G_DIS::Min,     &G_DIS2::Min,   &G_ANG::Min,
                            &G_ANG::MinSin,     &G_ANG::MinSin2, &G_ANG::Min100, &G_ANG::Min100Sin,
                            &G_ANG::Min100Sin2, &G_ARC::Min,     &G_ARC::MinSin, &G_ARC::MinSin2,
                            &G_ARC::Max};
// clang-format off
const double kAtLoad[] = {1e-7, 1e-8, 1e-16,
                          5.729577951308233e-08, 1e-9, 1e-18, 5.729577951308232e-06, 1e-7, 1e-14,
                          5.729577951308232e-07, 1e-8, 1e-16, 360.0};
// clang-format on

// Puts the resolutions back after each test that changes them.
class Measures : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override {
    for (int k = 0; k < 13; ++k) *kStatics[k] = kAtLoad[k];
    C_ERROR::ClearPending();
  }
};

// The pending error (null when none), cleared.
const C_ERROR* Take() {
  const C_ERROR* e = C_ERROR::Is() ? C_ERROR::GetPending() : nullptr;
  C_ERROR::ClearPending();
  return e;
}

template <class F>
const C_ERROR* ErrorOf(F f) {
  f();
  return Take();
}

// Builds M from each value, directly and through the measure From: the value
// is kept and the error (null: none) left pending.
template <class M, class From>
void ExpectChecked(std::initializer_list<double> values, const C_ERROR* e) {
  for (double v : values) {
    const M direct(v);
    EXPECT_EQ(Take(), e) << v;
    const M through{From(v)};
    EXPECT_EQ(Take(), e) << v;
    EXPECT_TRUE(std::isnan(v) || (double(direct) == v && double(through) == v)) << v;
  }
}

// Applies each step in turn to m: m then holds the value, with the error pending.
template <class M>
void ExpectSteps(M m, std::initializer_list<std::tuple<void (*)(M&), double, const C_ERROR*>> s) {
  for (const auto& [op, v, e] : s) {
    op(m);
    EXPECT_EQ(Take(), e) << v;
    EXPECT_EQ(double(m), v);
  }
}

std::string Bytes(double d) {
  std::string s(sizeof d, '\0');
  std::memcpy(&s[0], &d, sizeof d);
  return s;
}

// Saves m on a text and on a binary stream (whose record is the raw double)
// and loads it back unchecked, expecting v and no error either way.
template <class M>
void ExpectRoundTrip(const M& m, double v) {
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    m.Save(&f);
    EXPECT_TRUE(type == C_FILE::TEXT || f.GetContent() == Bytes(v)) << v;
    f.Rewind();
    M back;
    back.Load(0, &f);
    EXPECT_EQ(Take(), nullptr) << type;
    EXPECT_EQ(double(back), v) << type;
  }
}

TEST_F(Measures, ResolutionsAndSetters) {
  // Each setter moves its own statics (a sine is of degrees) and no other.
  const struct {
    void (*set)();
    std::map<const double*, double> changed;
  } setters[] = {{[] {}, {}},
                 {[] { G_ANG::SetMin(30); },
                  {{&G_ANG::Min, 30}, {&G_ANG::MinSin, 0.5}, {&G_ANG::MinSin2, 0.25}}},
                 {[] { G_ARC::SetMin(-30); },
                  {{&G_ARC::Min, -30}, {&G_ARC::MinSin, -0.5}, {&G_ARC::MinSin2, 0.25}}},
                 {[] { G_DIS::SetMin(1e-6); }, {{&G_DIS::Min, 1e-6}, {&G_DIS2::Min, 1e-12}}},
                 {[] { G_LEN::SetMin(2); }, {{&G_LEN::Min, 2}}}};
  for (const auto& c : setters) {
    c.set();
    for (int k = 0; k < 13; ++k) {
      const auto it = c.changed.find(kStatics[k]);
      EXPECT_DOUBLE_EQ(*kStatics[k], it == c.changed.end() ? kAtLoad[k] : it->second)
          << "static " << k << ", setter " << &c - setters;
    }
    TearDown();
  }
}

TEST_F(Measures, AngleUnitsTrigonometryAndNoReduction) {
  G_ANG a(180.0), b(370.0);
  a.SetTan2(1.0, -1.0);  // (y, x)
  EXPECT_NEAR(double(a), 135.0, 1e-12);
  a.SetXY(1.0, -1.0);  // (x, y)
  EXPECT_NEAR(double(a), -45.0, 1e-12);
  b += G_ANG(20.0);
  b -= G_ANG(800.0);
  EXPECT_EQ(double(b), -410.0);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(Measures, AngleFromCosineAndSineUsesTheStableFormInEachBand) {
  // A tiny angle, which acos of its cosine would lose entirely.
  const double t = 1e-6, c = std::cos(t * kPi / 180), s = std::sin(t * kPi / 180);
  EXPECT_NEAR(G_ANG::FromCosSin(c, s), t, 1e-18);
  EXPECT_NEAR(G_ANG::FromCosSin(-c, s), 180 - t, 1e-12);
  // Inside the outer bands the sine alone counts; from -0.999 to 0.999, both
  // included, the cosine alone (the sines given are deliberately inconsistent).
  EXPECT_NEAR(G_ANG::FromCosSin(0.9995, 0.5), 30.0, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(-0.9995, 0.5), 150.0, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(0.999, 0.0), std::acos(0.999) * 180 / kPi, 1e-12);
  EXPECT_NEAR(G_ANG::FromCosSin(-0.999, 0.0), std::acos(-0.999) * 180 / kPi, 1e-12);
  EXPECT_TRUE(std::isnan(G_ANG::FromCosSin(kNan, 0.0)));
}

TEST_F(Measures, ComparisonsAreStrictAtTheirResolutions) {
  // Exactly representable resolutions: a difference equal to one fails.
  G_ANG::SetMin(0.5);
  G_DIS::SetMin(0.5);
  G_LEN::SetMin(0.1);  // plays no part in Equals
  EXPECT_TRUE(G_ANG(-0.25).Is0() && G_ANG(359.75).Is360() && G_ANG(10.0).Equals(G_ANG(9.75)));
  EXPECT_FALSE(G_ANG(0.5).Is0() || G_ANG(360.5).Is360() || G_ANG(10.0).Equals(G_ANG(10.5)));
  EXPECT_TRUE(G_DIS(-0.25).Is0() && G_DIS2(0.125).Is0() && G_LEN(1.0).Equals(G_LEN(1.25)));
  EXPECT_FALSE(G_DIS(0.5).Is0() || G_DIS(kNan).Is0() || G_DIS2(0.25).Is0());
  EXPECT_FALSE(G_LEN(1.0).Equals(G_LEN(1.5)));
  EXPECT_EQ(ErrorOf([] { G_DIS(0.25).CheckIs0(), G_DIS(-2.0).CheckIsNot0(); }), nullptr);
  EXPECT_EQ(ErrorOf([] { G_DIS(0.25).CheckIsNot0(); }), &GerrDistanceIsNull);
  EXPECT_EQ(ErrorOf([] { G_DIS(-2.0).CheckIs0(); }), &GerrDistanceIsNotNull);
  EXPECT_EQ(ErrorOf([] { G_DIS2(0.125).CheckIs0(), G_DIS2(1.0).CheckIsNot0(); }), nullptr);
  EXPECT_EQ(ErrorOf([] { G_DIS2(0.125).CheckIsNot0(); }), &GerrDistanceIsNull);
  EXPECT_EQ(ErrorOf([] { G_DIS2(1.0).CheckIs0(); }), &GerrDistanceIsNotNull);
}

TEST_F(Measures, DistanceArithmeticIsPlainAndSquaresCompareExactly) {
  // Mixed with numbers without ambiguity, and between the two measures.
  static_assert(std::is_same_v<decltype(2 - G_DIS(0.5) + G_DIS(1.0)), G_DIS>);
  EXPECT_EQ(double(2 - G_DIS(0.5) + G_DIS(1.0) - 0.25), 2.25);
  EXPECT_EQ(double(G_DIS(G_DIS2(2.25))) + double(G_DIS2(G_DIS(-3.0))), 1.5 + 9.0);
  const double next = std::nextafter(1.0, 2.0);
  G_DIS2 a(1.0), b(next), c(1.0);
  static_assert(std::is_same_v<decltype(a < b), int>);
  EXPECT_EQ((a < b) + (a <= c) + (b > a) + (a >= c) + (a == c) + (a != b), 6);
  EXPECT_EQ((b < a) + (b <= a) + (a > c) + (a >= b) + (a == b) + (a != c), 0);
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(Measures, LengthIsStoredThenCheckedNonStrictlyAtMin) {
  ExpectChecked<G_LEN, G_DIS>({1e-7, 2.0}, nullptr);
  // A negative distance fails: its sign counts, not its magnitude.
  ExpectChecked<G_LEN, G_DIS>({0.99e-7, 0.0, -5.0, kNan}, &GerrLengthTooShort);
  ExpectSteps(G_LEN(2.0), {{[](G_LEN& l) { l *= 0.25; }, 0.5, nullptr},
                           {[](G_LEN& l) { l /= 1e7; }, 0.5e-7, &GerrLengthTooShort},
                           {[](G_LEN& l) { l += G_LEN(0.5); }, 0.5 + 0.5e-7, nullptr},
                           {[](G_LEN& l) { l = -2.0; }, -2.0, &GerrLengthTooShort}});
  // The default passes the same check, against the current resolution.
  EXPECT_EQ(double(G_LEN()), 1.0);
  G_LEN::SetMin(2.0);
  EXPECT_EQ(ErrorOf([] { G_LEN(); }), &GerrLengthTooShort);
}

TEST_F(Measures, ArcBoundsAreNonStrictIndependentAndInOrder) {
  // The upper bound is Max plus the angular resolution.
  ExpectChecked<G_ARC, G_ANG>({360.0 + G_ANG::GetMin(), 5.729577951308232e-07}, nullptr);
  ExpectChecked<G_ARC, G_ANG>({0.0, -10.0}, &GerrArcTooNarrow);
  // A NaN fails both tests, the upper one (run second) left pending.
  ExpectChecked<G_ARC, G_ANG>({360.001, 370.0, kNan}, &GerrArcTooLarge);
  ExpectSteps(G_ARC(90.0), {{[](G_ARC& a) { a *= 6.0; }, 540.0, &GerrArcTooLarge},
                            {[](G_ARC& a) { a /= 6.0; }, 90.0, nullptr},
                            {[](G_ARC& a) { a += G_ARC(300.0); }, 390.0, &GerrArcTooLarge},
                            {[](G_ARC& a) { a -= G_ARC(390.0); }, 0.0, &GerrArcTooNarrow}});
  G_ANG::SetMin(1.0);  // the upper bound moves with the angular resolution
  EXPECT_EQ(ErrorOf([] { G_ARC(361.0); }), nullptr);
  EXPECT_EQ(ErrorOf([] { G_ARC(361.25); }), &GerrArcTooLarge);
  G_ARC::SetMin(400.0);
  EXPECT_EQ(ErrorOf([] { G_ARC(); }), &GerrArcTooNarrow);  // the default full turn
}

TEST_F(Measures, RecordsRoundTripAndLoadWithoutCheck) {
  ExpectRoundTrip(G_ANG(-270.0 / 7), -270.0 / 7);
  ExpectRoundTrip(G_DIS(-0.1), -0.1);
  const G_LEN badLen(-3.0);
  const G_ARC badArc(0.0);
  Take();
  ExpectRoundTrip(badLen, -3.0);
  ExpectRoundTrip(badArc, 0.0);

  // A tolerance: the length then the arc.
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    const bool text = type == C_FILE::TEXT;
    C_FILE_MEMORY f(type);
    G_TOL(G_LEN(0.125), G_ARC(17.5)).Save(&f);
    EXPECT_EQ(f.GetContent(), text ? "0.125\n17.5\n" : Bytes(0.125) + Bytes(17.5));
    C_FILE_MEMORY g(type, text ? "1e-09\n1000\n" : Bytes(1e-9) + Bytes(1000.0));
    G_TOL t;
    t.Load(0, &g);  // unchecked: both values are out of range
    EXPECT_TRUE(Take() == nullptr && double(t.GetLen()) == 1e-9 && double(t.GetArc()) == 1000.0);
  }
}

TEST_F(Measures, ToleranceChecksItsMembersDefaultsIncluded) {
  G_TOL t;
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(t.GetLen()), 0.0002);
  EXPECT_EQ(double(t.GetArc()), 5.0);
  G_LEN::SetMin(0.001);
  EXPECT_EQ(ErrorOf([] { G_TOL(); }), &GerrLengthTooShort);
  G_LEN::SetMin(1e-7);
  G_ARC::SetMin(10.0);
  EXPECT_EQ(ErrorOf([] { G_TOL(); }), &GerrArcTooNarrow);
}

}  // namespace
