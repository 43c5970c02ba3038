#include "curves/g3_cv_bspline.h"

#include <gtest/gtest.h>

#include <memory>

#include "curves/g3_cv_composit.h"
#include "curves_test_util.h"
#include "runtime/t_node.h"

using namespace curves_test;

namespace {

using CvBsplineTest = CurveTest;

G3_POINTS Points(int n) {
  G3_POINTS pts;
  for (int i = 0; i < n; ++i) pts.Append(G3_POINT(i, i * i * 0.5, -i + 0.25));
  return pts;
}

TEST_F(CvBsplineTest, SpanKnotsAndWeights) {
  // The span is the basis's range.
  G3_CV_BSPLINE cv(G_BSPLINE(1, 2, 4), Points(4));
  EXPECT_TRUE(cv.GetStart() == 0 && cv.GetEnd() == 4);
  // No weights: 1 whatever the index; else a bad index is an error and 0.
  EXPECT_TRUE(cv.GetCWt(99) == 1.0 && !cv.IsRational());
  cv.SetCWts(List({1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(cv.GetCWt(5) == 6.0 && cv.IsRational());
  EXPECT_EQ(Take(), "");
  EXPECT_FAILS(EXPECT_EQ(cv.GetCWt(6), 0.0), TerrInvalidIndex);
  // SetKnots sorts, even a list flagged sorted though it is not.
  T_LIST<double> liar = List({5, 4, 6});
  liar.SetSorted(1);
  cv.SetKnots(liar);
  EXPECT_TRUE(cv.GetKnot(0) == 4 && cv.GetKnot(1) == 5 && cv.GetBs().GetKnots().IsSorted());
}

TEST_F(CvBsplineTest, CopiesAndClonesAreDeep) {
  G3_CV_BSPLINE cv(G_BSPLINE(1, 2, 4), Points(4), List({1, 1, 2, 1}));
  cv.SetElt(E(3));
  const std::string rec = Record(cv);
  G3_CV_BSPLINE assigned;
  assigned = cv;
  assigned = assigned;  // self-assignment keeps everything
  std::unique_ptr<G3_CV_BSPLINE> same(cv.CloneSame());
  cv.SetCPt(0, G3_POINT(7, 7, 7));
  cv.SetCWt(0, 9);
  EXPECT_TRUE(Record(assigned) == rec && Record(*same) == rec);
}

TEST_F(CvBsplineTest, RecordsRoundTripExactlyAndEncoded) {
  const G3_CV_BSPLINE rat(G_BSPLINE(1, 3, List({0, 0.5, 1.25, 2, 3.5, 4, 6})), Points(6),
                          List({1, 0.5, 2, 1, 1, 3}));
  const G3_CV_BSPLINE poly(G_BSPLINE(0, 2, 5), Points(5));
  // The polynomial loaded after the rational: no weights left. Encoded, the
  // class comes back inside a composite.
  G3_CV_COMPOSIT cc(0, 2);
  cc.Append(rat);
  cc.Append(poly);
  RoundTrip(poly, rat, [&](const G3_CV_BSPLINE& r) { EXPECT_EQ(Record(r), Record(poly)); });
  RoundTrip(cc, G3_CV_COMPOSIT(), [&](const G3_CV_COMPOSIT& r) {
    EXPECT_TRUE(r.Get(1)->GetClass() == G3_CV_BSPLINE::CLASS && Text(r, true) == Text(cc, true));
  });
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
    back.Load(kVNow, &part);
    EXPECT_NE(Take(), "") << cut;
  }
}

}  // namespace
