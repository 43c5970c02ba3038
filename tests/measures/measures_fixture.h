#ifndef G3GEOM_TESTS_MEASURES_MEASURES_FIXTURE_H
#define G3GEOM_TESTS_MEASURES_MEASURES_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_arc.h"
#include "measures/g_dis.h"
#include "measures/g_dis2.h"
#include "measures/g_len.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"

// Puts every tolerance static back after each test, so that a test changing
// them through the setters leaves the process as it found it.
class MeasuresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    C_ERROR::ClearPending();
    for (int i = 0; i < kCount; ++i) saved_[i] = *kStatics[i];
  }
  void TearDown() override {
    for (int i = 0; i < kCount; ++i) *kStatics[i] = saved_[i];
    C_ERROR::ClearPending();
  }

  // The pending error (null when none), cleared.
  static const C_ERROR* Take() {
    const C_ERROR* e = C_ERROR::Is() ? C_ERROR::GetPending() : nullptr;
    C_ERROR::ClearPending();
    return e;
  }

  // Saves m on a text and on a binary stream (whose record is the raw double)
  // and loads it back, expecting v and no error either way.
  template <class M>
  static void ExpectRoundTrip(const M& m, double v) {
    for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
      C_FILE_MEMORY f(type);
      m.Save(&f);
      if (type == C_FILE::BINARY) {
        EXPECT_EQ(f.GetContent(), Bytes(v));
      }
      f.Rewind();
      M back;
      back.Load(0, &f);
      EXPECT_EQ(Take(), nullptr) << "type " << type;
      EXPECT_EQ(double(back), v) << "type " << type;
    }
  }

  static std::string Bytes(double d) {
    std::string s(sizeof d, '\0');
    std::memcpy(&s[0], &d, sizeof d);
    return s;
  }

 private:
  static constexpr int kCount = 13;
  static inline double* const kStatics[kCount] = {
      &G_LEN::Min,    &G_DIS::Min,        &G_DIS2::Min,        &G_ANG::Min,  &G_ANG::MinSin,
      &G_ANG::MinSin2, &G_ANG::Min100,    &G_ANG::Min100Sin,   &G_ANG::Min100Sin2,
      &G_ARC::Min,    &G_ARC::MinSin,     &G_ARC::MinSin2,     &G_ARC::Max};
  double saved_[kCount] = {};
};

#endif
