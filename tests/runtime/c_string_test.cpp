#include "runtime/c_string.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/c_error.h"

TEST(C_STRING, ScanRealReadsSignFractionAndExponentAtTheIndex) {
  C_ERROR::ClearPending();
  const double inf = std::numeric_limits<double>::infinity();
  // An exponent without digits and a hexadecimal prefix end the number early.
  const struct {
    const char* text;
    int start;
    double value;
    int next;
  } cases[] = {{"1.5e2 x", 0, 150, 5}, {".5", 0, 0.5, 2},   {"x12.5y", 1, 12.5, 5},
               {"2e+;", 0, 2, 1},      {"7E-3;", 0, 0.007, 4}, {"0x10", 0, 0, 1},
               {"-Infinity", 0, -inf, 9}};
  for (const auto& c : cases) {
    int next = -1;
    EXPECT_EQ(C_STRING(c.text).ScanReal(c.start, &next), c.value) << c.text;
    EXPECT_EQ(next, c.next) << c.text;
    EXPECT_FALSE(C_ERROR::Is()) << c.text;
  }
  int next = -1;
  EXPECT_TRUE(std::isnan(C_STRING("-nan").ScanReal(0, &next)));
  EXPECT_EQ(next, 4);
}

TEST(C_STRING, ScanFailsWhereNoNumberStands) {
  const struct {
    const char* text;
    int start;
  } cases[] = {{"", 0}, {"+.e5", 0}, {" 1", 0}, {"12", 2}, {"12", -1}};
  for (const auto& c : cases) {
    const C_STRING s(c.text);
    for (int k = 0; k < 3; ++k) {
      int next = -1;
      C_ERROR::ClearPending();
      const double v = k == 0   ? s.ScanReal(c.start, &next)
                       : k == 1 ? double(s.ScanInt(c.start, &next))
                                : double(s.ScanLong(c.start, &next));
      EXPECT_TRUE(v == 0 && next == c.start) << c.text << " " << k;
      EXPECT_EQ(C_ERROR::GetPending(), &CerrStringNotReal) << c.text << " " << k;
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
               {"-9223372036854775808;", 0, true, std::numeric_limits<int64_t>::min(), 20},
               {"2147483648", 0, false, 0, 0},
               {"9223372036854775808", 0, true, 0, 0}};
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
  EXPECT_TRUE(int(s.Get(2)) == 0x20AC && int(s.Get(3)) == 0x1F600 && int(s.Get(4)) == 0);
  EXPECT_EQ(s.GetUtf8(), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(int(C_STRING("\xFF").Get(0)), 0xFFFD);  // malformed byte
  EXPECT_EQ(C_STRING("\xE2\x82").GetNumber(), 2);   // truncated sequence
  EXPECT_TRUE(C_STRING("G3_CV_LINE").StartsWith("G3_CV") && !C_STRING("G3").StartsWith("G3_CV"));
  EXPECT_TRUE(C_STRING("abc") == C_STRING(L"abc") && C_STRING("abd") > C_STRING("abc"));
  EXPECT_FALSE(C_STRING("ab") > C_STRING("ab"));
}
