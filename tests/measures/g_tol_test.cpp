#include "measures/g_tol.h"

#include "measures/measures_fixture.h"
#include "runtime/t_persist.h"

namespace {

using G_TOL_Test = MeasuresTest;

TEST_F(G_TOL_Test, MembersAreCheckedDefaultsIncluded) {
  G_TOL t;
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(double(t.GetLen()), 0.0002);
  EXPECT_EQ(double(t.GetArc()), 5.0);
  t.SetLen(G_LEN(2.0));
  t.SetArc(G_ARC(90.0));
  EXPECT_EQ(double(t.GetLen()), 2.0);
  EXPECT_EQ(double(t.GetArc()), 90.0);

  G_LEN::SetMin(0.001);
  G_TOL();
  EXPECT_EQ(Take(), &GerrLengthTooShort);
  G_LEN::SetMin(1e-7);
  G_ARC::SetMin(10.0);
  G_TOL();
  EXPECT_EQ(Take(), &GerrArcTooNarrow);
}

TEST_F(G_TOL_Test, RecordIsTheLengthThenTheArcLoadedWithoutCheck) {
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    G_TOL(G_LEN(0.125), G_ARC(7.5)).Save(&f);
    if (type == C_FILE::BINARY) {
      EXPECT_EQ(f.GetContent(), Bytes(0.125) + Bytes(7.5));
    }
    f.Rewind();
    double len = 0, arc = 0;
    Tload(0, &f, &len);
    Tload(0, &f, &arc);
    EXPECT_EQ(len, 0.125);
    EXPECT_EQ(arc, 7.5);

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
}

}  // namespace
