#include "curves/g3_cv_line.h"

#include <gtest/gtest.h>

#include <memory>

#include "curves_test_util.h"
#include "frame/g_errors.h"
#include "runtime/c_file.h"

using namespace curves_test;

namespace {

void ExpectVec(const G3_VECTOR& v, double x, double y, double z) {
  EXPECT_NEAR(v.GetCx(), x, 1e-15);
  EXPECT_NEAR(v.GetCy(), y, 1e-15);
  EXPECT_NEAR(v.GetCz(), z, 1e-15);
}

void ExpectSpan01(const G3_CV& c) {
  EXPECT_EQ(c.GetStart(), 0);
  EXPECT_EQ(c.GetEnd(), 1);
}

}  // namespace

TEST_F(CurveTest, LineConstructorsSetAxisAndLengthPerUnit) {
  G3_CV_LINE d;
  EXPECT_TRUE(d.GetPo() == G3_POINT(0, 0, 0));
  ExpectVec(d.GetVx(), 1, 0, 0);
  EXPECT_EQ(d.GetPULen(), 1);
  ExpectSpan01(d);
  EXPECT_TRUE(d.IsLine());
  EXPECT_FALSE(d.IsCircle() || d.IsPolygon() || d.IsEllipse());
  EXPECT_TRUE(d.GetClass() == C_STRING("G3_CV_LINE"));
  EXPECT_TRUE(d.GetClassName() == C_STRING("#line"));

  const G3_POINT p(1, 2, 3);
  G3_CV_LINE a(p, G3_POINT(4, 2, 3));
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_TRUE(a.GetPo() == p);
  ExpectVec(a.GetVx(), 1, 0, 0);
  EXPECT_EQ(a.GetPULen(), 3);
  ExpectSpan01(a);

  G3_CV_LINE b(p, G3_VECTOR(0, 0, -2));
  ExpectVec(b.GetVx(), 0, 0, -1);
  EXPECT_EQ(b.GetPULen(), 2);
  ExpectSpan01(b);

  G3_CV_LINE c(p, G3_POINT(1, 5, 7), G_LEN(2));  // direction (0, 3, 4) / 5
  EXPECT_TRUE(c.GetPo() == p);
  ExpectVec(c.GetVx(), 0, 0.6, 0.8);
  EXPECT_EQ(c.GetPULen(), 2);

  G3_CV_LINE e(G3_AXIS(p, G3_VECTOR1(0, 1, 0)), G_LEN(6));
  ExpectVec(e.GetAxis().GetVx(), 0, 1, 0);
  EXPECT_EQ(e.GetPULen(), 6);
  G3_CV_LINE f(p, G3_VECTOR1(0, 0, 1), G_LEN(0.5));
  ExpectVec(f.GetVx(), 0, 0, 1);
  EXPECT_EQ(f.GetPULen(), 0.5);
  ExpectSpan01(f);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(CurveTest, LineFromDegenerateInputKeepsDefaults) {
  const G3_POINT p(1, 2, 3);
  G3_CV_LINE same(p, p);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_TRUE(same.GetPo() == p);
  ExpectVec(same.GetVx(), 1, 0, 0);
  EXPECT_EQ(same.GetPULen(), 1);
  C_ERROR::ClearPending();

  G3_CV_LINE null(p, G3_VECTOR(0, 0, 0));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_EQ(null.GetPULen(), 1);
  C_ERROR::ClearPending();

  // Shorter than G_LEN::Min (1e-7): stored, with the error pending.
  G3_CV_LINE tiny(p, G3_VECTOR(0, 5e-8, 0));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  ExpectVec(tiny.GetVx(), 0, 1, 0);
  EXPECT_NEAR(tiny.GetPULen(), 5e-8, 1e-22);
  C_ERROR::ClearPending();
  G3_CV_LINE at_min(p, G3_VECTOR(0, 0, 1e-7));  // the bound itself is valid
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(CurveTest, LineSettersCopiesAndClones) {
  G3_CV_LINE l;
  l.SetPo(G3_POINT(5, 5, 5));
  l.SetVx(G3_VECTOR1(0, 0, 1));
  l.SetPULen(4);
  l.SetElt(E(12));
  l.GetTokensAdr()->Append(G_TOKEN(E(12), 3, 3));
  l.SetStartEnd(0, 2);
  EXPECT_EQ(l > l, 0);

  std::unique_ptr<G3_CV> c(l.Clone());
  ASSERT_NE(c, nullptr);
  ASSERT_TRUE(c->IsLine());
  auto* cl = static_cast<G3_CV_LINE*>(c.get());
  EXPECT_NE(cl, &l);
  EXPECT_TRUE(cl->GetPo() == G3_POINT(5, 5, 5));
  ExpectVec(cl->GetVx(), 0, 0, 1);
  EXPECT_EQ(cl->GetPULen(), 4);
  EXPECT_EQ(cl->GetElt(), E(12));
  EXPECT_EQ(cl->GetTokens().GetNumber(), 1);
  EXPECT_EQ(cl->GetEnd(), 2);
  std::unique_ptr<G3_CV_LINE> same(l.CloneSame());
  EXPECT_EQ(same->GetPULen(), 4);

  G3_CV_LINE assigned;
  assigned = l;
  EXPECT_EQ(assigned.GetTokens().Get(0).GetKey(), 3);
  assigned.SetAxis(G3_AXIS(G3_POINT(0, 0, 0), G3_VECTOR1(0, 1, 0)));
  ExpectVec(l.GetVx(), 0, 0, 1);  // the copy is independent

  std::unique_ptr<G3_CV> g(G3_CV_LINE::GenerateDefault());
  ASSERT_TRUE(g->IsLine());
  EXPECT_EQ(static_cast<G3_CV_LINE*>(g.get())->GetPULen(), 1);
}

TEST_F(CurveTest, LineRecordRoundTrips) {
  G3_CV_LINE l(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G_LEN(2.5));
  C_FILE_MEMORY text(C_FILE::TEXT);
  l.Save(&text);
  EXPECT_EQ(text.GetContent(), "0\n1\n0\n0\n0\n1\nP1 2 3\nV0 1 0\n2.5\n");

  G3_CV_LINE src(G3_POINT(-1, 0.1, 1e10), G3_POINT(2, 4.5, 1e10));
  src.SetStartEnd(-0.5, 0.5);
  src.SetElt(E(4));
  src.GetTokensAdr()->Append(G_TOKEN(E(4), 1, 0));
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    src.Save(&f);
    f.Rewind();
    G3_CV_LINE r;
    r.Load(kVNow, &f);
    ASSERT_FALSE(C_ERROR::Is()) << PendingText();
    EXPECT_TRUE(f.AtEnd());
    EXPECT_TRUE(r.GetPo() == src.GetPo());
    EXPECT_TRUE(r.GetVx() == src.GetVx());
    EXPECT_EQ(double(r.GetPULen()), double(src.GetPULen()));
    EXPECT_EQ(r.GetStart(), -0.5);
    EXPECT_EQ(r.GetEnd(), 0.5);
    EXPECT_EQ(r.GetElt(), E(4));
    EXPECT_EQ(r.GetTokens().GetNumber(), 1);
  }

  // A record cut inside the line's own part leaves the axis and length.
  std::string full = text.GetContent();
  C_FILE_MEMORY cut(C_FILE::TEXT, full.substr(0, full.size() - 4));
  G3_CV_LINE r;
  r.Load(kVNow, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  EXPECT_TRUE(r.GetPo() == G3_POINT(0, 0, 0));
  EXPECT_EQ(r.GetPULen(), 1);
}
