#include "measures/g_tol.h"

#include "frame/g_errors.h"
#include "measures/measures_fixture.h"
#include "runtime/c_file.h"
#include "runtime/t_persist.h"

namespace {

using G_TOL_Test = MeasuresTest;

TEST_F(G_TOL_Test, DefaultsAreCheckedLikeAnyValue) {
  G_TOL t;
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(t.GetLen()), 0.0002);
  EXPECT_EQ(double(t.GetArc()), 5.0);

  G_LEN::SetMin(0.001);
  G_TOL u;
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  EXPECT_EQ(double(u.GetLen()), 0.0002);
  G_LEN::SetMin(1e-7);
  G_ARC::SetMin(10.0);
  G_TOL v;
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
}

TEST_F(G_TOL_Test, MembersAndSetters) {
  G_TOL t(G_LEN(0.5), G_ARC(30.0));
  EXPECT_EQ(double(t.GetLen()), 0.5);
  EXPECT_EQ(double(t.GetArc()), 30.0);
  t.SetLen(G_LEN(2.0));
  t.SetArc(G_ARC(90.0));
  EXPECT_EQ(double(t.GetLen()), 2.0);
  EXPECT_EQ(double(t.GetArc()), 90.0);
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G_TOL_Test, RecordIsTheLengthThenTheArc) {
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    G_TOL(G_LEN(0.125), G_ARC(7.5)).Save(&f);
    f.Rewind();
    double len = 0, arc = 0;
    Tload(0, &f, &len);
    Tload(0, &f, &arc);
    EXPECT_EQ(len, 0.125);
    EXPECT_EQ(arc, 7.5);

    // Reading back, values that would fail a check are not checked.
    C_FILE_MEMORY g(type);
    Tsave(1e-9, &g, 0);
    Tsave(1000.0, &g, 0);
    g.Rewind();
    G_TOL t;
    t.Load(0, &g);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_EQ(double(t.GetLen()), 1e-9);
    EXPECT_EQ(double(t.GetArc()), 1000.0);
  }
  C_FILE_MEMORY b(C_FILE::BINARY);
  G_TOL(G_LEN(0.125), G_ARC(7.5)).Save(&b);
  EXPECT_EQ(b.GetContent(), Bytes(0.125) + Bytes(7.5));
}

TEST_F(G_TOL_Test, TruncatedRecordLeavesAnError) {
  C_FILE_MEMORY f(C_FILE::BINARY);
  Tsave(0.25, &f, 0);
  f.Rewind();
  G_TOL t;
  t.Load(0, &f);
  EXPECT_NE(Take(), nullptr);
  EXPECT_EQ(double(t.GetLen()), 0.25);
  EXPECT_EQ(double(t.GetArc()), 5.0);
}

}  // namespace
