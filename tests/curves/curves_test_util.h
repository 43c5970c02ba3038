#ifndef G3GEOM_TESTS_CURVES_CURVES_TEST_UTIL_H
#define G3GEOM_TESTS_CURVES_CURVES_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "algebra/g3_points.h"
#include "curves/g3_cv.h"
#include "frame/g_lifecycle.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"

// Shared by the curve tests: a clean error state, the base class registered,
// the texts handed to the report handler collected, and record helpers.
namespace curves_test {

using Vec = std::vector<double>;
inline std::vector<std::string> reports;
inline const char* PendingText() {
  const C_ERROR* e = C_ERROR::GetPending();
  return e != nullptr ? e->GetText() : "";
}
// The text of the pending error ("" when none), cleared.
inline std::string Take() {
  std::string s = PendingText();
  C_ERROR::ClearPending();
  return s;
}
// True when e is the pending error; clears it.
inline bool Took(const C_ERROR& e) {
  const bool is = C_ERROR::GetPending() == &e;
  C_ERROR::ClearPending();
  return is;
}
inline std::string ErrOf(const C_ERROR& e) { return e.GetText(); }
inline std::string ErrOf(const std::string& s) { return s; }
// Runs stmt and expects the error err (a C_ERROR or its text) pending after it; clears it.
#define EXPECT_FAILS(stmt, err) do { stmt; EXPECT_EQ(Take(), curves_test::ErrOf(err)); } while (0)
inline void* E(intptr_t v) { return reinterpret_cast<void*>(v); }

inline T_LIST<double> List(const Vec& v) {
  T_LIST<double> l;
  for (double x : v) l.Append(x);
  return l;
}
template <class T>
std::vector<T> Values(const T_LIST<T>& l) {
  std::vector<T> v;
  for (int i = 0; i < l.GetNumber(); ++i) v.push_back(l[i]);
  return v;
}
inline G3_POINTS Pts(const std::vector<G3_POINT>& v) {
  G3_POINTS p;
  for (const G3_POINT& q : v) p.Append(q);
  return p;
}
inline double Dist(const G3_POINT& a, const G3_POINT& b) { return G3_VECTOR(a, b).GetNorm(); }

const int kVNow = 608101;  // a current file version

inline std::string Text(const G3_CV& cv, bool encoded = false) {
  C_FILE_MEMORY f(C_FILE::TEXT);
  encoded ? cv.SaveEnc(&f) : cv.Save(&f);
  return f.GetContent();
}
// The binary record of cv (every field, so equal records mean equal curves).
inline std::string Record(const G3_CV& cv) {
  C_FILE_MEMORY f(C_FILE::BINARY);
  cv.Save(&f);
  return f.GetContent();
}

// Saves cv in text then in binary, loads each record back into a copy of
// into, and hands the result to check.
template <class T, class F>
void RoundTrip(const G3_CV& cv, const T& into, F check) {
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    cv.Save(&f);
    f.Rewind();
    T r(into);
    r.Load(kVNow, &f);
    ASSERT_FALSE(C_ERROR::Is()) << PendingText();
    EXPECT_TRUE(f.AtEnd());
    check(r);
  }
}

class CurveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    C_ERROR::ClearPending();
    reports.clear();
    C_ERROR::SetReportHandler([](const char* text) { reports.push_back(text); });
    Gopen();
  }
  // Every test ends with no error left pending.
  void TearDown() override {
    EXPECT_FALSE(C_ERROR::Is()) << PendingText();
    C_ERROR::ClearPending();
    C_ERROR::SetReportHandler(nullptr);
  }
};

}  // namespace curves_test

#endif
