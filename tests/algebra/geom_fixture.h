#ifndef G3GEOM_TESTS_ALGEBRA_GEOM_FIXTURE_H
#define G3GEOM_TESTS_ALGEBRA_GEOM_FIXTURE_H

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <initializer_list>
#include <string>

#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"

// Starts every test with no pending error, and fails one that ends with an error
// it did not take.
class GeomTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { EXPECT_EQ(TakeText(), "") << "error left pending"; }

  // The pending error (null when none), cleared.
  static const C_ERROR* Take() {
    const C_ERROR* e = C_ERROR::Is() ? C_ERROR::GetPending() : nullptr;
    C_ERROR::ClearPending();
    return e;
  }
  // The text of the pending error ("" when none), cleared.
  static std::string TakeText() {
    const C_ERROR* e = Take();
    return e == nullptr ? std::string() : std::string(e->GetText());
  }
  // ok, and then the pending error (cleared in any case) is e (null: none).
  static ::testing::AssertionResult AndError(::testing::AssertionResult ok, const C_ERROR* e) {
    const C_ERROR* got = Take();
    if (ok && got != e)
      ok = ::testing::AssertionFailure() << "error: " << (got ? got->GetText() : "none");
    return ok;
  }
  static ::testing::AssertionResult AndError(bool ok, const C_ERROR* e) {
    return AndError(::testing::AssertionResult(ok), e);
  }
  // Whether the pending error is a mild GerrNoIntersection; cleared.
  static bool TakeMildNoIntersection() {
    const bool mild = C_ERROR::Is() && C_ERROR::GetPending()->IsMild();
    return Take() == &GerrNoIntersection && mild;
  }
  // The raw bytes of the doubles, in order.
  static std::string Bytes(std::initializer_list<double> values) {
    std::string s;
    for (double d : values) {
      char b[sizeof d];
      std::memcpy(b, &d, sizeof d);
      s.append(b, sizeof d);
    }
    return s;
  }
  // What Save writes on a stream of that type.
  template <class T>
  static std::string Saved(const T& value, int type) {
    C_FILE_MEMORY f(type);
    value.Save(&f);
    return f.GetContent();
  }
  // The value after a Load from that content (the error, if any, stays pending).
  template <class T>
  static T Loaded(T value, int type, const std::string& content) {
    C_FILE_MEMORY f(type, content);
    value.Load(0, &f);
    return value;
  }
  // Whether a text and a binary record of value both load back equal, with no error.
  template <class T>
  static bool RoundTrips(const T& value) {
    const bool same = Loaded(T(), C_FILE::TEXT, Saved(value, C_FILE::TEXT)) == value &&
                      Loaded(T(), C_FILE::BINARY, Saved(value, C_FILE::BINARY)) == value;
    return Take() == nullptr && same;
  }
  // Whether a Load from that content leaves value as it was and raises error
  // (null: none); cleared.
  template <class T>
  static bool Kept(const T& value, int type, const std::string& content, const C_ERROR* error) {
    const bool same = Loaded(value, type, content) == value;
    return Take() == error && same;
  }
};

// The coordinates of a 3D or 2D value.
template <class V>
std::array<double, 3> Xyz(const V& v) { return {v.GetCx(), v.GetCy(), v.GetCz()}; }
template <class V>
std::array<double, 2> Xy(const V& v) { return {v.GetCx(), v.GetCy()}; }

// Each coordinate within tol of the one expected (exactly when tol is 0); a failure
// shows the first coordinate that is not.
template <size_t N>
::testing::AssertionResult Near(const std::array<double, N>& found,
                                const std::array<double, N>& expected, double tol) {
  for (size_t i = 0; i < N; ++i)
    if (found[i] != expected[i] && !(std::fabs(found[i] - expected[i]) <= tol))
      return ::testing::AssertionFailure() << std::setprecision(17) << "coordinate " << i
                                           << " is " << found[i] << ", not " << expected[i];
  return ::testing::AssertionSuccess();
}

// a times the matrix read by get(i, j), multiplied out here, is the identity within tol.
template <size_t N, class Get>
::testing::AssertionResult IsInverse(const double (&a)[N][N], Get get, double tol) {
  for (size_t i = 0; i < N; ++i)
    for (size_t j = 0; j < N; ++j) {
      double s = 0;
      for (size_t k = 0; k < N; ++k) s += a[i][k] * get(int(k), int(j));
      if (std::fabs(s - (i == j ? 1.0 : 0.0)) > tol)
        return ::testing::AssertionFailure() << "element " << i << j << " is " << s;
    }
  return ::testing::AssertionSuccess();
}

// The image of v under m, by m.Transfo(&v); v moved by its own Transfo(t).
template <class M, class V>
V Map(const M& m, V v) {
  m.Transfo(&v);
  return v;
}
template <class V, class T>
V Moved(V v, const T& t) {
  v.Transfo(t);
  return v;
}

// Every entry of a table of checks holds; a failure names its index.
template <size_t N>
void ExpectAll(const int (&holds)[N]) {
  for (size_t i = 0; i < N; ++i) EXPECT_TRUE(holds[i]) << "check " << i;
}

#define EXPECT_XYZ(v, x, y, z) EXPECT_TRUE(Near(Xyz(v), {x, y, z}, 0))
#define EXPECT_NEAR_XYZ(v, x, y, z, tol) EXPECT_TRUE(Near(Xyz(v), {x, y, z}, tol))
#define EXPECT_XY(v, x, y) EXPECT_TRUE(Near(Xy(v), {x, y}, 0))
// The same, then the pending error (cleared) is e.
#define EXPECT_XYZ_ERR(v, x, y, z, e) EXPECT_TRUE(AndError(Near(Xyz(v), {x, y, z}, 0), e))
#define EXPECT_XY_ERR(v, x, y, e) EXPECT_TRUE(AndError(Near(Xy(v), {x, y}, 0), e))
#define EXPECT_NEAR_XY(v, x, y, tol) EXPECT_TRUE(Near(Xy(v), {x, y}, tol))

#endif
