#ifndef G3GEOM_TESTS_MEASURES_MEASURES_FIXTURE_H
#define G3GEOM_TESTS_MEASURES_MEASURES_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "measures/g_ang.h"
#include "measures/g_arc.h"
#include "measures/g_dis.h"
#include "measures/g_dis2.h"
#include "measures/g_len.h"
#include "runtime/c_error.h"

// Saves every tolerance static before a test and puts them back after it, so
// that a test changing them through the setters leaves the process as it was.
class MeasuresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    C_ERROR::ClearPending();
    for (int i = 0; i < kCount; ++i) saved_[i] = *Statics()[i];
  }
  void TearDown() override {
    for (int i = 0; i < kCount; ++i) *Statics()[i] = saved_[i];
    C_ERROR::ClearPending();
  }

  // The pending error (null when none), cleared.
  static const C_ERROR* Take() {
    const C_ERROR* e = C_ERROR::Is() ? C_ERROR::GetPending() : nullptr;
    C_ERROR::ClearPending();
    return e;
  }

  // The raw bytes of a double, as a binary record holds them.
  static std::string Bytes(double d) {
    std::string s(sizeof d, '\0');
    std::memcpy(&s[0], &d, sizeof d);
    return s;
  }

 private:
  static constexpr int kCount = 13;
  static double* const* Statics() {
    static double* const all[kCount] = {
        &G_LEN::Min,      &G_DIS::Min,         &G_DIS2::Min,     &G_ANG::Min,     &G_ANG::MinSin,
        &G_ANG::MinSin2,  &G_ANG::Min100,      &G_ANG::Min100Sin, &G_ANG::Min100Sin2, &G_ARC::Min,
        &G_ARC::MinSin,   &G_ARC::MinSin2,     &G_ARC::Max};
    return all;
  }
  double saved_[kCount] = {};
};

#endif
