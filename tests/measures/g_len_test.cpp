#include "measures/g_len.h"

#include <cmath>
#include <limits>

#include "frame/g_errors.h"
#include "measures/g_dis.h"
#include "measures/measures_fixture.h"
#include "runtime/c_file.h"
#include "runtime/t_persist.h"

namespace {

using G_LEN_Test = MeasuresTest;

TEST_F(G_LEN_Test, StaticAndSetter) {
  EXPECT_EQ(G_LEN::GetMin(), 1e-7);
  G_LEN::SetMin(1e-3);
  EXPECT_EQ(G_LEN::GetMin(), 1e-3);
  EXPECT_EQ(G_DIS::GetMin(), 1e-8);  // the length resolution is set alone
  G_LEN l(5e-4);
  EXPECT_EQ(Take(), &GerrLengthTooShort);
}

TEST_F(G_LEN_Test, CheckIsNonStrictAtMinAndKeepsTheValue) {
  EXPECT_EQ(double(G_LEN(1e-7)), 1e-7);
  EXPECT_EQ(Take(), nullptr);

  G_LEN below(0.99e-7);
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(below), 0.99e-7);

  G_LEN zero(0.0);
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  G_LEN negative(-1.0);
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(negative), -1.0);

  G_LEN nan(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_TRUE(std::isnan(double(nan)));

  G_LEN huge(std::numeric_limits<double>::infinity());
  EXPECT_EQ(Take(), nullptr);

  // Check alone re-tests the stored value against the current resolution.
  G_LEN l(0.5);
  G_LEN::SetMin(1.0);
  l.Check();
  EXPECT_EQ(Take(), &GerrLengthTooShort);
}

TEST_F(G_LEN_Test, DefaultIsOneAndIsChecked) {
  G_LEN l;
  EXPECT_EQ(double(l), 1.0);
  EXPECT_EQ(Take(), nullptr);
  G_LEN::SetMin(2.0);
  G_LEN m;
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(m), 1.0);
}

TEST_F(G_LEN_Test, FromDistanceKeepsTheSign) {
  G_LEN l(G_DIS(-5.0));
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(l), -5.0);
  G_LEN m(G_DIS(3.0));
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(m), 3.0);
}

TEST_F(G_LEN_Test, AssignmentAndArithmeticStoreThenCheck) {
  G_LEN l(2.0);
  l *= 0.25;
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(l), 0.5);
  l /= 1e7;
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(l), 0.5 / 1e7);

  l = 1.0;
  EXPECT_EQ(Take(), nullptr);
  l += G_LEN(0.5);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(l), 1.5);
  l -= G_LEN(1.5);
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(l), 0.0);

  l = -2.0;
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(l), -2.0);
}

TEST_F(G_LEN_Test, EqualsIsStrictAtTheDistanceResolution) {
  EXPECT_TRUE(G_LEN(2).Equals(G_LEN(2 + 5e-9)));
  EXPECT_FALSE(G_LEN(2).Equals(G_LEN(2 + 2e-8)));
  // With exactly representable numbers: a difference equal to the resolution fails.
  G_DIS::SetMin(0.5);
  EXPECT_TRUE(G_LEN(1.0).Equals(G_LEN(1.25)));
  EXPECT_FALSE(G_LEN(1.0).Equals(G_LEN(1.5)));
  // The length resolution plays no part.
  G_DIS::SetMin(1e-8);
  G_LEN::SetMin(0.1);
  EXPECT_FALSE(G_LEN(1.0).Equals(G_LEN(1.05)));
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G_LEN_Test, TextAndBinaryRoundTrips) {
  const double values[] = {1.0, 0.1, 1.0 / 3.0, 12345.678901234567};
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    for (double v : values) G_LEN(v).Save(&f);
    ASSERT_EQ(Take(), nullptr);
    f.Rewind();
    for (double v : values) {
      G_LEN l;
      l.Load(0, &f);
      ASSERT_EQ(Take(), nullptr);
      EXPECT_EQ(double(l), v);
    }
  }
  // A binary record is the raw double.
  C_FILE_MEMORY b(C_FILE::BINARY);
  G_LEN(0.1).Save(&b);
  EXPECT_EQ(b.GetContent(), Bytes(0.1));
}

TEST_F(G_LEN_Test, LoadedValueIsNotChecked) {
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    Tsave(-3.0, &f, 0);
    f.Rewind();
    G_LEN l;
    l.Load(0, &f);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_EQ(double(l), -3.0);
  }
}

}  // namespace
