#ifndef G3GEOM_TESTS_ALGEBRA_GEOM_FIXTURE_H
#define G3GEOM_TESTS_ALGEBRA_GEOM_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "runtime/c_error.h"

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
};

// The value is computed once.
#define EXPECT_XYZ(v, x, y, z)         \
  do {                                 \
    const auto xyz_ = (v);             \
    EXPECT_EQ(xyz_.GetCx(), (x));      \
    EXPECT_EQ(xyz_.GetCy(), (y));      \
    EXPECT_EQ(xyz_.GetCz(), (z));      \
  } while (0)

#define EXPECT_NEAR_XYZ(v, x, y, z, tol)  \
  do {                                    \
    const auto xyz_ = (v);                \
    EXPECT_NEAR(xyz_.GetCx(), (x), tol);  \
    EXPECT_NEAR(xyz_.GetCy(), (y), tol);  \
    EXPECT_NEAR(xyz_.GetCz(), (z), tol);  \
  } while (0)

#endif
