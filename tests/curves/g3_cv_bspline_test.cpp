#include "curves/g3_cv_bspline.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "curves/g3_cv_composit.h"
#include "curves/g3_cv_line.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"

namespace {

const int kVersion = 700000;

class CvBsplineTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

G3_POINTS Points(int n) {
  G3_POINTS pts;
  for (int i = 0; i < n; ++i) pts.Append(G3_POINT(i, i * i * 0.5, -i + 0.25));
  return pts;
}

T_LIST<double> List(std::initializer_list<double> v) {
  T_LIST<double> l;
  for (double x : v) l.Append(x);
  return l;
}

void ExpectSame(const G3_CV_BSPLINE& a, const G3_CV_BSPLINE& b) {
  ASSERT_EQ(a.GetNumberOfKnots(), b.GetNumberOfKnots());
  for (int i = 0; i < a.GetNumberOfKnots(); ++i) EXPECT_EQ(a.GetKnot(i), b.GetKnot(i));
  EXPECT_EQ(int(a.GetBs().IsPeriodic()), int(b.GetBs().IsPeriodic()));
  EXPECT_EQ(a.GetDegree(), b.GetDegree());
  ASSERT_EQ(a.GetNumberOfCPts(), b.GetNumberOfCPts());
  for (int i = 0; i < a.GetNumberOfCPts(); ++i) EXPECT_TRUE(a.GetCPt(i) == b.GetCPt(i));
  ASSERT_EQ(a.GetCWts().GetNumber(), b.GetCWts().GetNumber());
  for (int i = 0; i < a.GetCWts().GetNumber(); ++i) EXPECT_EQ(a.GetCWt(i), b.GetCWt(i));
  EXPECT_EQ(a.GetStart(), b.GetStart());
  EXPECT_EQ(a.GetEnd(), b.GetEnd());
}

TEST_F(CvBsplineTest, ConstructionSpanAndWeights) {
  G3_CV_BSPLINE def;
  EXPECT_EQ(def.GetStart(), 0);
  EXPECT_EQ(def.GetEnd(), 1);
  EXPECT_EQ(def.GetNumberOfKnots(), 0);
  EXPECT_TRUE(def.IsBspline());
  EXPECT_TRUE(def.GetClass() == C_STRING("G3_CV_BSPLINE"));
  EXPECT_TRUE(def.GetClassName() == C_STRING("#b-spline curve"));
  EXPECT_TRUE(def.IsClass(C_STRING("G3_CV_BSPLINE")));
  EXPECT_FALSE(def.IsLine());

  G3_CV_BSPLINE cv(G_BSPLINE(0, 3, 6), Points(6));
  EXPECT_EQ(cv.GetStart(), 0);
  EXPECT_EQ(cv.GetEnd(), 3);
  EXPECT_EQ(cv.GetNumberOfCPts(), 6);
  EXPECT_FALSE(cv.IsRational());
  EXPECT_EQ(cv.GetCWt(4), 1.0);
  EXPECT_EQ(cv.GetCWt(99), 1.0);  // no weights: 1 whatever the index
  EXPECT_EQ(C_ERROR::Is(), 0);

  cv.SetCWts(List({1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(cv.IsRational());
  EXPECT_EQ(cv.GetCWt(4), 5.0);
  cv.SetCWt(4, 0.5);
  EXPECT_EQ(cv.GetCWt(4), 0.5);
  EXPECT_EQ(cv.GetCWt(6), 0.0);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();
  cv.ClearCWts();
  EXPECT_FALSE(cv.IsRational());

  G3_CV_BSPLINE rat(G_BSPLINE(1, 2, 4), Points(4), List({1, 1, 2, 1}));
  EXPECT_TRUE(rat.IsRational());
  EXPECT_EQ(rat.GetEnd(), 4);
  // The setters of basis and knots leave the span alone.
  rat.SetBs(G_BSPLINE(0, 3, 6));
  EXPECT_EQ(rat.GetEnd(), 4);
  EXPECT_EQ(rat.GetDegree(), 3);
}

TEST_F(CvBsplineTest, KnotAndPointAccessors) {
  G3_CV_BSPLINE cv(G_BSPLINE(0, 1, 3), Points(3));
  cv.SetKnots(List({3, 1, 2}));
  ASSERT_EQ(cv.GetNumberOfKnots(), 3);
  EXPECT_EQ(cv.GetKnot(0), 1);
  EXPECT_EQ(cv.GetKnot(1), 2);
  EXPECT_EQ(cv.GetKnot(2), 3);
  EXPECT_TRUE(cv.GetBs().GetKnots().IsSorted());
  // A list flagged sorted though it is not is sorted all the same.
  T_LIST<double> liar = List({5, 4});
  liar.SetSorted(1);
  cv.SetKnots(liar);
  EXPECT_EQ(cv.GetKnot(0), 4);

  EXPECT_EQ(cv.GetKnot(-1), 0.0);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();

  cv.SetDegree(2);
  EXPECT_EQ(cv.GetBs().GetDegree(), 2);
  cv.SetCPt(1, G3_POINT(9, 9, 9));
  EXPECT_TRUE(cv.GetCPt(1) == G3_POINT(9, 9, 9));
  cv.SetCPt(3, G3_POINT(1, 1, 1));
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();
  cv.SetCPts(Points(5));
  EXPECT_EQ(cv.GetNumberOfCPts(), 5);

  G3_CV_BSPLINE::SetTolForSketch(2e-4);
  EXPECT_EQ(G3_CV_BSPLINE::GetTolForSketch(), 2e-4);
  G3_CV_BSPLINE::SetTolForSketch(1e-5);
}

// A host's own B-spline class: CloneSame goes through its Clone.
class TAGGED_BSPLINE : public G3_CV_BSPLINE {
 public:
  G3_CV* Clone() const override { return new TAGGED_BSPLINE(*this); }
  int tag = 0;
};

TEST_F(CvBsplineTest, CopiesAndClonesAreDeep) {
  G3_CV_BSPLINE cv(G_BSPLINE(1, 2, 4), Points(4), List({1, 1, 2, 1}));
  int owner = 0;
  cv.SetElt(&owner);
  G3_CV_BSPLINE copy(cv);
  ExpectSame(copy, cv);
  EXPECT_EQ(copy.GetElt(), &owner);
  cv.SetCPt(0, G3_POINT(7, 7, 7));
  EXPECT_FALSE(copy.GetCPt(0) == G3_POINT(7, 7, 7));

  G3_CV_BSPLINE assigned;
  assigned = cv;
  ExpectSame(assigned, cv);
  assigned = assigned;  // self-assignment keeps everything
  ExpectSame(assigned, cv);

  std::unique_ptr<G3_CV> clone(cv.Clone());
  ASSERT_TRUE(clone != nullptr);
  EXPECT_TRUE(clone->GetClass() == G3_CV_BSPLINE::CLASS);
  ExpectSame(*static_cast<G3_CV_BSPLINE*>(clone.get()), cv);
  std::unique_ptr<G3_CV_BSPLINE> same(cv.CloneSame());
  ExpectSame(*same, cv);
  TAGGED_BSPLINE tagged;
  tagged.tag = 7;
  std::unique_ptr<G3_CV_BSPLINE> taggedSame(tagged.CloneSame());
  TAGGED_BSPLINE* t2 = dynamic_cast<TAGGED_BSPLINE*>(taggedSame.get());
  ASSERT_TRUE(t2 != nullptr);
  EXPECT_EQ(t2->tag, 7);
  std::unique_ptr<G3_CV> gen(G3_CV_BSPLINE::GenerateDefault());
  EXPECT_TRUE(gen->GetClass() == G3_CV_BSPLINE::CLASS);

  // NewtonVars starts zero-filled and copies member by member.
  NewtonMethodStruct nv = G3_CV_BSPLINE::NewtonVars;
  EXPECT_EQ(nv.maxIter, 0);
  EXPECT_EQ(nv.tolerance, 0.0);
}

TEST_F(CvBsplineTest, RecordsRoundTripInTextAndBinary) {
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    G3_CV_BSPLINE cv(G_BSPLINE(1, 3, List({0, 0.5, 1.25, 2, 3.5, 4, 6})), Points(6),
                     List({1, 0.5, 2, 1, 1, 3}));
    C_FILE_MEMORY f(type);
    cv.Save(&f);
    ASSERT_EQ(C_ERROR::Is(), 0);
    f.Rewind();
    G3_CV_BSPLINE back;
    back.Load(kVersion, &f);
    ASSERT_EQ(C_ERROR::Is(), 0);
    ExpectSame(back, cv);
    EXPECT_TRUE(f.AtEnd());

    // A polynomial curve loads with an empty weight list.
    G3_CV_BSPLINE poly(G_BSPLINE(0, 2, 5), Points(5));
    C_FILE_MEMORY g(type);
    poly.Save(&g);
    g.Rewind();
    back.Load(kVersion, &g);
    ASSERT_EQ(C_ERROR::Is(), 0);
    ExpectSame(back, poly);
    EXPECT_FALSE(back.IsRational());
  }
  // The binary body: the base record, then knots (count, values, flag),
  // periodic flag, degree, points (count, raw coordinates, flag), weights.
  {
    G3_POINTS pts = Points(2);
    T_LIST<double> wts = List({1, 3});  // built unflagged
    G3_CV_BSPLINE cv(G_BSPLINE(0, 1, List({0, 0, 2, 2})), pts, wts);
    C_FILE_MEMORY f(C_FILE::BINARY);
    cv.Save(&f);
    C_FILE_MEMORY ref(C_FILE::BINARY);
    G3_CV(0, 2).Save(&ref);
    Tsave(4, &ref);
    for (double k : {0.0, 0.0, 2.0, 2.0}) Tsave(k, &ref);
    Tsave(C_BOOL(1), &ref);
    Tsave(C_BOOL(0), &ref);
    Tsave(1, &ref);
    Tsave(2, &ref);
    for (int i = 0; i < 2; ++i) {
      double xyz[3] = {pts[i].GetCx(), pts[i].GetCy(), pts[i].GetCz()};
      ref.Write(24, xyz);
    }
    Tsave(C_BOOL(pts.IsSorted()), &ref);
    Tsave(2, &ref);
    Tsave(1.0, &ref);
    Tsave(3.0, &ref);
    Tsave(C_BOOL(0), &ref);
    EXPECT_EQ(f.GetContent(), ref.GetContent());
  }
  // A truncated record ends with an error, never a crash.
  G3_CV_BSPLINE cv(G_BSPLINE(0, 2, 5), Points(5));
  C_FILE_MEMORY f(C_FILE::BINARY);
  cv.Save(&f);
  const std::string& all = f.GetContent();
  for (size_t cut : {size_t(3), all.size() / 2, all.size() - 1}) {
    C_FILE_MEMORY part(C_FILE::BINARY, all.substr(0, cut));
    G3_CV_BSPLINE back;
    back.Load(kVersion, &part);
    EXPECT_TRUE(C_ERROR::Is()) << cut;
    C_ERROR::ClearPending();
  }
}

TEST_F(CvBsplineTest, EncodedRecordsCarryTheClass) {
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    G3_CV_BSPLINE cv(G_BSPLINE(0, 3, 6), Points(6), List({1, 2, 1, 2, 1, 2}));
    C_FILE_MEMORY f(type);
    cv.SaveEnc(&f);
    ASSERT_EQ(C_ERROR::Is(), 0);
    f.Rewind();
    std::unique_ptr<G3_CV> back(G3_CV::LoadEnc(kVersion, &f));
    ASSERT_EQ(C_ERROR::Is(), 0);
    ASSERT_TRUE(back != nullptr);
    ASSERT_TRUE(back->GetClass() == G3_CV_BSPLINE::CLASS);
    ExpectSame(*static_cast<G3_CV_BSPLINE*>(back.get()), cv);

    // A composite holding B-splines between lines.
    G3_CV_COMPOSIT cc(0, 3);
    cc.Append(G3_CV_LINE(G3_POINT(0, 0, 0), G3_POINT(1, 0, 0)));
    cc.Append(cv);
    G3_CV_BSPLINE per(G_BSPLINE(1, 2, 4), Points(4));
    cc.Append(per);
    ASSERT_EQ(C_ERROR::Is(), 0);
    C_FILE_MEMORY g(type);
    cc.SaveEnc(&g);
    ASSERT_EQ(C_ERROR::Is(), 0);
    g.Rewind();
    std::unique_ptr<G3_CV> ccBack(G3_CV::LoadEnc(kVersion, &g));
    ASSERT_EQ(C_ERROR::Is(), 0);
    ASSERT_TRUE(ccBack != nullptr);
    ASSERT_TRUE(ccBack->GetClass() == G3_CV_COMPOSIT::CLASS);
    const G3_CV_COMPOSIT* c2 = static_cast<const G3_CV_COMPOSIT*>(ccBack.get());
    ASSERT_EQ(c2->GetNumber(), 3);
    EXPECT_TRUE(c2->Get(0)->IsLine());
    ASSERT_TRUE(c2->Get(1)->GetClass() == G3_CV_BSPLINE::CLASS);
    ExpectSame(*static_cast<const G3_CV_BSPLINE*>(c2->Get(1)), cv);
    ASSERT_TRUE(c2->Get(2)->GetClass() == G3_CV_BSPLINE::CLASS);
    ExpectSame(*static_cast<const G3_CV_BSPLINE*>(c2->Get(2)), per);
  }
}

}  // namespace
