#include "runtime/c_string.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/c_error.h"

namespace {

struct RealCase {
  const char* text;
  int start;
  double value;
  int next;
};

}  // namespace

TEST(C_STRING, ScanRealReadsSignFractionAndExponentAtTheIndex) {
  C_ERROR::ClearPending();
  const double inf = std::numeric_limits<double>::infinity();
  const RealCase cases[] = {
      {"1.5e2 x", 0, 150, 5},   {"-0.25", 0, -0.25, 5},   {"+3.", 0, 3, 3},  {".5", 0, 0.5, 2},
      {"x12.5y", 1, 12.5, 5},   {"2e", 0, 2, 1},          {"2e+;", 0, 2, 1}, {"7E-3;", 0, 0.007, 4},
      {"1e-300", 0, 1e-300, 6}, {"0x10", 0, 0, 1},        {"1 2", 2, 2, 3},  {"inf", 0, inf, 3},
      {"-inf 1", 0, -inf, 4},   {"-Infinity", 0, -inf, 9}};
  for (const RealCase& c : cases) {
    int next = -1;
    EXPECT_EQ(C_STRING(c.text).ScanReal(c.start, &next), c.value) << c.text;
    EXPECT_EQ(next, c.next) << c.text;
    EXPECT_FALSE(C_ERROR::Is()) << c.text;
  }
  for (const char* text : {"nan", "-nan"}) {
    int next = -1;
    EXPECT_TRUE(std::isnan(C_STRING(text).ScanReal(0, &next)));
    EXPECT_EQ(next, int(std::char_traits<char>::length(text)));
  }
}

TEST(C_STRING, ScanFailsWhereNoNumberStands) {
  const struct {
    const char* text;
    int start;
  } cases[] = {{"", 0},   {"abc", 0}, {"-", 0},   {".", 0},  {"+.e5", 0},
               {" 1", 0}, {"12", 2},  {"12", -1}, {"12", 7}, {"-x", 0}};
  for (const auto& c : cases) {
    C_STRING s(c.text);
    int next = -1;
    C_ERROR::ClearPending();
    EXPECT_EQ(s.ScanReal(c.start, &next), 0.0) << c.text;
    EXPECT_EQ(next, c.start) << c.text;
    EXPECT_EQ(C_ERROR::GetPending(), &CerrStringNotReal) << c.text;
    for (int k = 0; k < 2; ++k) {
      next = -1;
      C_ERROR::ClearPending();
      const int64_t v = k == 0 ? s.ScanInt(c.start, &next) : s.ScanLong(c.start, &next);
      EXPECT_EQ(v, 0) << c.text;
      EXPECT_EQ(next, c.start) << c.text;
      EXPECT_EQ(C_ERROR::GetPending(), &CerrStringNotReal) << c.text;
    }
  }
  C_ERROR::ClearPending();
}

TEST(C_STRING, ScanIntAndScanLongStopAtTheFirstNonDigitAndCheckRange) {
  // Beyond the range: an error, not a wrapped value.
  const struct {
    const char* text;
    int start;
    bool isLong;
    int64_t value;
    int next;
  } cases[] = {{"42,7", 3, false, 7, 4},
               {"-12.5", 0, false, -12, 3},
               {"-2147483648", 0, false, std::numeric_limits<int>::min(), 11},
               {"+9223372036854775807", 0, true, std::numeric_limits<int64_t>::max(), 20},
               {"-9223372036854775808;", 0, true, std::numeric_limits<int64_t>::min(), 20},
               {"2147483648", 0, false, 0, 0},
               {"9223372036854775808", 0, true, 0, 0},
               {"-9223372036854775809", 0, true, 0, 0}};
  for (const auto& c : cases) {
    C_ERROR::ClearPending();
    int next = -1;
    const C_STRING s(c.text);
    EXPECT_EQ(c.isLong ? s.ScanLong(c.start, &next) : s.ScanInt(c.start, &next), c.value);
    EXPECT_EQ(next, c.next) << c.text;
    EXPECT_EQ(bool(C_ERROR::Is()), c.next == 0) << c.text;
  }
  C_ERROR::ClearPending();
}

TEST(C_STRING, WideCharactersAndComparisons) {
  C_STRING s("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");  // a, e acute, euro, emoji
  ASSERT_EQ(s.GetNumber(), 4);
  EXPECT_EQ(int(s.Get(2)), 0x20AC);
  EXPECT_EQ(int(s.Get(3)), 0x1F600);
  EXPECT_EQ(s.GetUtf8(), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(int(s.Get(-1)), 0);
  EXPECT_EQ(int(s.Get(4)), 0);
  EXPECT_TRUE(s.Get(0) == 'a');
  EXPECT_EQ(int(C_STRING("\xFF").Get(0)), 0xFFFD);  // malformed byte
  EXPECT_EQ(C_STRING("\xE2\x82").GetNumber(), 2);   // truncated sequence

  EXPECT_TRUE(C_STRING().IsVoid());
  EXPECT_FALSE(C_STRING("x").IsVoid());
  EXPECT_TRUE(C_STRING("G3_CV_LINE").StartsWith("G3_CV"));
  EXPECT_FALSE(C_STRING("G3").StartsWith("G3_CV"));
  EXPECT_TRUE(C_STRING("abc") == C_STRING(L"abc"));
  EXPECT_TRUE(C_STRING("abc") != C_STRING("abd"));
  EXPECT_TRUE(C_STRING("abd") > C_STRING("abc"));
  EXPECT_FALSE(C_STRING("ab") > C_STRING("ab"));
}
