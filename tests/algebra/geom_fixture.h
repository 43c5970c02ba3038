#ifndef G3GEOM_TESTS_ALGEBRA_GEOM_FIXTURE_H
#define G3GEOM_TESTS_ALGEBRA_GEOM_FIXTURE_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iomanip>
#include <initializer_list>
#include <string>

#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"

// Starts and ends every test with no pending error.
class GeomTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }

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
};

// Whether the coordinates are those given, within tol (exactly when tol is 0); a failure
// shows the coordinates found.
inline bool NearOrEqual(double a, double b, double tol) {
  return a == b || std::fabs(a - b) <= tol;
}
template <class V>
::testing::AssertionResult Xyz(const V& v, double x, double y, double z, double tol = 0) {
  if (NearOrEqual(v.GetCx(), x, tol) && NearOrEqual(v.GetCy(), y, tol) &&
      NearOrEqual(v.GetCz(), z, tol)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::setprecision(17) << "found (" << v.GetCx()
                                       << ", " << v.GetCy() << ", " << v.GetCz() << ")";
}
template <class V>
::testing::AssertionResult Xy(const V& v, double x, double y, double tol = 0) {
  if (NearOrEqual(v.GetCx(), x, tol) && NearOrEqual(v.GetCy(), y, tol)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << std::setprecision(17) << "found (" << v.GetCx()
                                       << ", " << v.GetCy() << ")";
}

#define EXPECT_XYZ(v, x, y, z) EXPECT_TRUE(Xyz((v), (x), (y), (z)))
#define EXPECT_NEAR_XYZ(v, x, y, z, tol) EXPECT_TRUE(Xyz((v), (x), (y), (z), (tol)))
#define EXPECT_XY(v, x, y) EXPECT_TRUE(Xy((v), (x), (y)))
#define EXPECT_NEAR_XY(v, x, y, tol) EXPECT_TRUE(Xy((v), (x), (y), (tol)))

#endif
