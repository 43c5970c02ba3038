#include "curves/g3_cv_polygon.h"

#include <gtest/gtest.h>

#include "curves_test_util.h"
#include "runtime/t_node.h"

using namespace curves_test;

namespace {
G3_POINTS Line(int n) {
  G3_POINTS p;
  for (int k = 0; k < n; ++k) p.Append(G3_POINT(k, 2 * k, -k));
  return p;
}
double End(const G3_CV& c) {
  EXPECT_EQ(c.GetStart(), 0);
  return c.GetEnd();
}
}  // namespace

TEST_F(CurveTest, PolygonSpanFollowsTheRuleThenTheEdits) {
  G3_CV_POLYGON d;
  EXPECT_TRUE(End(d) == -1 && End(G3_CV_POLYGON(true, 5)) == 0);
  EXPECT_TRUE(End(G3_CV_POLYGON(true, Line(4))) == 4 && End(G3_CV_POLYGON(false, Line(4))) == 3);
  for (int k = 0; k < 3; ++k) d.Append(G3_POINT(k, 0, 0));
  d.RemoveLast();
  d.Insert(0, G3_POINT(-1, 0, 0));
  d.Remove(1);
  EXPECT_TRUE(End(d) == 1 && d.Get(0) == G3_POINT(-1, 0, 0) && d.GetLast() == G3_POINT(1, 0, 0));
  // Closed or not, an edit moves the end by the points added or removed.
  G3_CV_POLYGON c(true, Line(2));
  c.Append(d);
  c.Append(c);  // its own points, once
  EXPECT_EQ(End(c), 8);
  EXPECT_TRUE(c.GetNumber() == 8 && c.GetFast(7) == c.GetFast(3));
  // Bad indices: the list's error, nothing changes.
  EXPECT_FAILS(d.Insert(5, G3_POINT(0, 0, 0)), TerrInvalidIndex);
  EXPECT_EQ(End(d), 1);
  c.Clear();
  EXPECT_TRUE(!c.IsClosed() && c.GetNumber() == 0 && End(c) == -1);
}

TEST_F(CurveTest, PolygonRecordsKeepEveryPoint) {
  G3_CV_POLYGON small(true, G3_POINTS());
  small.Append(G3_POINT(1, 2, 3));
  small.Append(G3_POINT(4, 5, 6));
  EXPECT_EQ(Text(small), "0\n1\n0\n0\n0\n2\n1\n2\nP1 2 3\nP4 5 6\n0\n");
  G3_CV_POLYGON src(false, Line(5));
  src.GetPtsAdr()->SetSorted(true);
  RoundTrip(src, G3_CV_POLYGON(true, Line(9)), [&](const G3_CV_POLYGON& r) {
    EXPECT_TRUE(!r.IsClosed() && r.GetPts() == src.GetPts() && r.GetPts().IsSorted());
    EXPECT_EQ(End(r), 4);
  });
  // Bad counts and records fail at once and change nothing.
  for (const char* b : {"2000000000\nP1 2 3\n0\n", "-3\n0\n", "2\nP1 2 3\nV4 5 6\n0\n"}) {
    C_FILE_MEMORY f(C_FILE::TEXT, std::string("0\n1\n0\n0\n0\n2\n1\n") + b);
    G3_CV_POLYGON r(false, Line(2));
    r.Load(kVNow, &f);
    EXPECT_NE(Take(), "") << b;
    EXPECT_TRUE(!r.IsClosed() && r.GetNumber() == 2 && r.GetPts().GetSize() <= 4096) << b;
  }
}

TEST_F(CurveTest, PolygonListsOwnAndHandOver) {
  G3_CV_POLYGONS l;
  G3_CV_POLYGON* p = new G3_CV_POLYGON(false, Line(2));
  l.Append(&p);
  l.Append(G3_CV_POLYGON(true, Line(3)));
  ASSERT_TRUE(p == nullptr && l.GetNumber() == 2);
  // Taking over a heap list: its polygons move, the list object is deleted.
  G3_CV_POLYGONS* heap = new G3_CV_POLYGONS(l);
  G3_CV_POLYGON* first = heap->GetAdr(0);
  G3_CV_POLYGONS taken(&heap);
  EXPECT_TRUE(heap == nullptr && taken.GetNumber() == 2 && taken.GetAdr(0) == first);
  G3_CV_POLYGONS* self = &taken;
  EXPECT_FAILS(taken.Append(&self), CerrInvalidValue);
  EXPECT_EQ(taken.GetNumber(), 2);
}
