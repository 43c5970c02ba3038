#include "curves/g3_cv_bspline.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "curves/g3_cv_composit.h"
#include "curves/g3_cv_line.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"

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

// The binary record: every field of the curve, exactly (its layout is
// pinned below), so that two curves with the same record are the same.
std::string Record(const G3_CV& cv) {
  C_FILE_MEMORY f(C_FILE::BINARY);
  cv.Save(&f);
  return f.GetContent();
}

TEST_F(CvBsplineTest, SpanKnotsAndWeights) {
  const G3_CV_BSPLINE def;
  EXPECT_TRUE(def.GetStart() == 0 && def.GetEnd() == 1 && def.GetNumberOfKnots() == 0);
  EXPECT_TRUE(def.GetClass() == C_STRING("G3_CV_BSPLINE") && def.IsClass(G3_CV_BSPLINE::CLASS));
  EXPECT_TRUE(def.GetClassName() == C_STRING("#b-spline curve"));
  EXPECT_EQ(G3_CV_BSPLINE::GetTolForSketch(), 1e-5);

  // The span is the basis's range, and the basis setter leaves it alone.
  G3_CV_BSPLINE cv(G_BSPLINE(1, 2, 4), Points(4));
  EXPECT_TRUE(cv.GetStart() == 0 && cv.GetEnd() == 4);
  cv.SetBs(G_BSPLINE(0, 3, 6));
  EXPECT_TRUE(cv.GetEnd() == 4 && cv.GetDegree() == 3);
  // No weights: 1 whatever the index; else a bad index is an error and 0.
  EXPECT_TRUE(cv.GetCWt(4) == 1.0 && cv.GetCWt(99) == 1.0 && !cv.IsRational());
  cv.SetCWts(List({1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(cv.GetCWt(4) == 5.0 && cv.IsRational());
  EXPECT_EQ(C_ERROR::Is(), 0);
  EXPECT_EQ(cv.GetCWt(6), 0.0);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();

  // SetKnots sorts, even a list flagged sorted though it is not.
  cv.SetKnots(List({3, 1, 2}));
  EXPECT_TRUE(cv.GetKnot(0) == 1 && cv.GetKnot(1) == 2 && cv.GetKnot(2) == 3);
  EXPECT_TRUE(cv.GetBs().GetKnots().IsSorted());
  T_LIST<double> liar = List({5, 4});
  liar.SetSorted(1);
  cv.SetKnots(liar);
  EXPECT_EQ(cv.GetKnot(0), 4);
  EXPECT_EQ(cv.GetKnot(-1), 0.0);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
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
  const std::string rec = Record(cv);
  G3_CV_BSPLINE copy(cv), assigned;
  assigned = cv;
  assigned = assigned;  // self-assignment keeps everything
  std::unique_ptr<G3_CV> clone(cv.Clone());
  std::unique_ptr<G3_CV_BSPLINE> same(cv.CloneSame());
  cv.SetCPt(0, G3_POINT(7, 7, 7));
  cv.SetCWt(0, 9);
  for (const G3_CV* c : std::initializer_list<const G3_CV*>{&copy, &assigned, clone.get(),
                                                            same.get()}) {
    EXPECT_TRUE(c->GetClass() == G3_CV_BSPLINE::CLASS);
    EXPECT_EQ(Record(*c), rec);
  }
  EXPECT_EQ(copy.GetElt(), &owner);

  TAGGED_BSPLINE tagged;
  tagged.tag = 7;
  std::unique_ptr<G3_CV_BSPLINE> taggedSame(tagged.CloneSame());
  const TAGGED_BSPLINE* t2 = dynamic_cast<const TAGGED_BSPLINE*>(taggedSame.get());
  ASSERT_TRUE(t2 != nullptr);
  EXPECT_EQ(t2->tag, 7);
  std::unique_ptr<G3_CV> gen(G3_CV_BSPLINE::GenerateDefault());
  EXPECT_TRUE(gen->GetClass() == G3_CV_BSPLINE::CLASS);
  // NewtonVars starts zero-filled.
  EXPECT_TRUE(G3_CV_BSPLINE::NewtonVars.maxIter == 0 && G3_CV_BSPLINE::NewtonVars.tolerance == 0);
}

TEST_F(CvBsplineTest, RecordsRoundTripExactlyAndEncoded) {
  const G3_CV_BSPLINE rat(G_BSPLINE(1, 3, List({0, 0.5, 1.25, 2, 3.5, 4, 6})), Points(6),
                          List({1, 0.5, 2, 1, 1, 3}));
  const G3_CV_BSPLINE poly(G_BSPLINE(0, 2, 5), Points(5));
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    G3_CV_BSPLINE back;
    for (const G3_CV_BSPLINE* cv : {&rat, &poly}) {
      C_FILE_MEMORY f(type);
      cv->Save(&f);
      f.Rewind();
      back.Load(kVersion, &f);  // the polynomial after the rational: no weights left
      ASSERT_EQ(C_ERROR::Is(), 0);
      EXPECT_TRUE(f.AtEnd());
      EXPECT_EQ(Record(back), Record(*cv));
    }
    // Encoded: the class comes back, also inside a composite between lines.
    G3_CV_COMPOSIT cc(0, 3);
    cc.Append(G3_CV_LINE(G3_POINT(0, 0, 0), G3_POINT(1, 0, 0)));
    cc.Append(rat);
    cc.Append(poly);
    C_FILE_MEMORY g(type);
    cc.SaveEnc(&g);
    g.Rewind();
    std::unique_ptr<G3_CV> ccBack(G3_CV::LoadEnc(kVersion, &g));
    ASSERT_EQ(C_ERROR::Is(), 0);
    ASSERT_TRUE(ccBack != nullptr && ccBack->GetClass() == G3_CV_COMPOSIT::CLASS);
    const G3_CV_COMPOSIT* c2 = static_cast<const G3_CV_COMPOSIT*>(ccBack.get());
    ASSERT_EQ(c2->GetNumber(), 3);
    EXPECT_TRUE(c2->Get(0)->IsLine());
    for (int i : {1, 2}) {
      ASSERT_TRUE(c2->Get(i)->GetClass() == G3_CV_BSPLINE::CLASS);
      EXPECT_EQ(Record(*c2->Get(i)), Record(i == 1 ? rat : poly));
    }
  }
  // The body: the base record, then the records of the basis, the point
  // list and the weight list (each pinned by its own tests).
  const G_BSPLINE bs(0, 1, List({0, 0, 2, 2}));
  const G3_POINTS pts = Points(2);
  const T_LIST<double> wts = List({1, 3});
  C_FILE_MEMORY ref(C_FILE::BINARY);
  G3_CV(0, 2).Save(&ref);
  bs.Save(&ref);
  pts.Save(&ref);
  wts.Save(&ref);
  EXPECT_EQ(Record(G3_CV_BSPLINE(bs, pts, wts)), ref.GetContent());
  // A truncated record ends with an error, never a crash.
  const std::string all = Record(poly);
  for (size_t cut : {size_t(3), all.size() / 2, all.size() - 1}) {
    C_FILE_MEMORY part(C_FILE::BINARY, all.substr(0, cut));
    G3_CV_BSPLINE back;
    back.Load(kVersion, &part);
    EXPECT_TRUE(C_ERROR::Is()) << cut;
    C_ERROR::ClearPending();
  }
}

}  // namespace
