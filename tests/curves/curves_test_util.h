#ifndef G3GEOM_TESTS_CURVES_CURVES_TEST_UTIL_H
#define G3GEOM_TESTS_CURVES_CURVES_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/g_lifecycle.h"
#include "runtime/c_error.h"

// Shared by the curve tests: a clean error state, the base class registered,
// and the texts handed to the report handler collected.
namespace curves_test {

inline std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}
inline void Capture(const char* text) { Reports().push_back(text); }
inline const char* PendingText() {
  const C_ERROR* e = C_ERROR::GetPending();
  return e != nullptr ? e->GetText() : "";
}
inline void* E(intptr_t v) { return reinterpret_cast<void*>(v); }

const int kVNow = 608101;  // a current file version

class CurveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    C_ERROR::ClearPending();
    Reports().clear();
    C_ERROR::SetReportHandler(&Capture);
    Gopen();
  }
  void TearDown() override {
    C_ERROR::ClearPending();
    C_ERROR::SetReportHandler(nullptr);
  }
};

}  // namespace curves_test

#endif
