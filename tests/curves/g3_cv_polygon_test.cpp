#include "curves/g3_cv_polygon.h"

#include <gtest/gtest.h>

#include <memory>

#include "curves_test_util.h"
#include "frame/g_errors.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"

using namespace curves_test;

namespace {

G3_POINTS Pts(int n) {
  G3_POINTS p;
  for (int k = 0; k < n; ++k) p.Append(G3_POINT(k, 2 * k, -k));
  return p;
}

void ExpectSpan(const G3_CV& c, double s, double e) {
  EXPECT_EQ(c.GetStart(), s);
  EXPECT_EQ(c.GetEnd(), e);
}

}  // namespace

TEST_F(CurveTest, PolygonSpanFollowsTheConstructionRule) {
  G3_CV_POLYGON d;
  ExpectSpan(d, 0, -1);
  EXPECT_FALSE(d.IsClosed());
  EXPECT_EQ(d.GetNumber(), 0);
  EXPECT_TRUE(d.IsPolygon());
  EXPECT_FALSE(d.IsLine() || d.IsCircle() || d.IsEllipse());
  EXPECT_TRUE(d.GetClass() == C_STRING("G3_CV_POLYGON"));
  EXPECT_TRUE(d.GetClassName() == C_STRING("#polygon"));

  G3_CV_POLYGON room_closed(true, 5);
  ExpectSpan(room_closed, 0, 0);
  EXPECT_GE(room_closed.GetPts().GetSize(), 5);
  ExpectSpan(G3_CV_POLYGON(false, 5), 0, -1);

  G3_CV_POLYGON closed(true, Pts(4));
  ExpectSpan(closed, 0, 4);
  EXPECT_TRUE(closed.IsClosed());
  ExpectSpan(G3_CV_POLYGON(false, Pts(4)), 0, 3);
  ExpectSpan(G3_CV_POLYGON(true, G3_POINTS()), 0, 0);
  ExpectSpan(G3_CV_POLYGON(false, G3_POINTS()), 0, -1);
  EXPECT_TRUE(closed.Get(3) == G3_POINT(3, 6, -3));
  EXPECT_TRUE(closed.GetFast(1) == G3_POINT(1, 2, -1));
  EXPECT_TRUE(closed.GetLast() == G3_POINT(3, 6, -3));
}

TEST_F(CurveTest, PolygonEditsShiftTheSpanEnd) {
  G3_CV_POLYGON p;
  for (int k = 0; k < 3; ++k) p.Append(G3_POINT(k, 0, 0));
  ExpectSpan(p, 0, 2);
  p.RemoveLast();
  ExpectSpan(p, 0, 1);
  p.Insert(0, G3_POINT(-1, 0, 0));
  ExpectSpan(p, 0, 2);
  EXPECT_TRUE(p.Get(0) == G3_POINT(-1, 0, 0));
  p.Replace(1, G3_POINT(9, 9, 9));
  ExpectSpan(p, 0, 2);
  EXPECT_TRUE(p.Get(1) == G3_POINT(9, 9, 9));
  p.Remove(0);
  ExpectSpan(p, 0, 1);
  EXPECT_TRUE(p.Get(0) == G3_POINT(9, 9, 9));

  // Closed or not, an edit moves the end by the points added or removed.
  G3_CV_POLYGON c(true, Pts(2));
  c.Append(p);
  ExpectSpan(c, 0, 4);
  EXPECT_EQ(c.GetNumber(), 4);
  c.Append(c);  // its own points, once
  ExpectSpan(c, 0, 8);
  EXPECT_EQ(c.GetNumber(), 8);
  EXPECT_TRUE(c.Get(7) == c.Get(3));

  // Bad indices: the list's error, nothing changes.
  p.Insert(5, G3_POINT(0, 0, 0));
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
  C_ERROR::ClearPending();
  p.Remove(2);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
  C_ERROR::ClearPending();
  EXPECT_TRUE(p.Get(-1) == G3_POINT(0, 0, 0));
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
  C_ERROR::ClearPending();
  ExpectSpan(p, 0, 1);
  EXPECT_EQ(p.GetNumber(), 2);

  // Changes through the list itself leave the span as it is.
  p.GetPtsAdr()->Append(G3_POINT(5, 5, 5));
  ExpectSpan(p, 0, 1);

  G3_CV_POLYGON e;
  e.RemoveLast();
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  ExpectSpan(e, 0, -1);

  c.Grow(100);
  EXPECT_GE(c.GetPts().GetSize(), 100);
  c.Clear();
  EXPECT_FALSE(c.IsClosed());
  EXPECT_EQ(c.GetNumber(), 0);
  EXPECT_GE(c.GetPts().GetSize(), 100);
  ExpectSpan(c, 0, -1);
}

TEST_F(CurveTest, PolygonCopiesAreIndependent) {
  G3_CV_POLYGON p(true, Pts(3));
  p.SetElt(E(2));
  std::unique_ptr<G3_CV> c(p.Clone());
  ASSERT_TRUE(c->IsPolygon());
  auto* cp = static_cast<G3_CV_POLYGON*>(c.get());
  cp->Append(G3_POINT(7, 7, 7));
  EXPECT_EQ(p.GetNumber(), 3);
  EXPECT_EQ(cp->GetNumber(), 4);
  EXPECT_TRUE(cp->IsClosed());
  EXPECT_EQ(cp->GetElt(), E(2));
  std::unique_ptr<G3_CV_POLYGON> s(p.CloneSame());
  EXPECT_EQ(s->GetEnd(), 3);
  G3_CV_POLYGON a;
  a = p;
  EXPECT_TRUE(a.IsClosed());
  EXPECT_EQ(a.GetNumber(), 3);
  std::unique_ptr<G3_CV> g(G3_CV_POLYGON::GenerateDefault());
  EXPECT_EQ(g->GetEnd(), -1);
}

TEST_F(CurveTest, PolygonRecordRoundTrips) {
  G3_CV_POLYGON small(true, G3_POINTS());
  small.Append(G3_POINT(1, 2, 3));
  small.Append(G3_POINT(4, 5, 6));
  C_FILE_MEMORY text(C_FILE::TEXT);
  small.Save(&text);
  EXPECT_EQ(text.GetContent(), "0\n1\n0\n0\n0\n2\n1\n2\nP1 2 3\nP4 5 6\n0\n");

  G3_CV_POLYGON src(false, Pts(5));
  src.GetPtsAdr()->SetSorted(true);
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    src.Save(&f);
    f.Rewind();
    G3_CV_POLYGON r(true, Pts(9));  // replaced by the load
    r.Load(kVNow, &f);
    ASSERT_FALSE(C_ERROR::Is()) << PendingText();
    EXPECT_TRUE(f.AtEnd());
    EXPECT_FALSE(r.IsClosed());
    ASSERT_EQ(r.GetNumber(), 5);
    EXPECT_TRUE(r.GetPts() == src.GetPts());
    EXPECT_TRUE(r.GetPts().IsSorted());
    ExpectSpan(r, 0, 4);
  }
}

TEST_F(CurveTest, PolygonLoadRejectsBadCountsWithoutChange) {
  const std::string base = "0\n1\n0\n0\n0\n2\n1\n";
  const char* bodies[] = {"2000000000\nP1 2 3\n0\n", "-3\n0\n", "2\nP1 2 3\nV4 5 6\n0\n",
                          "1\nP1 2 3\n"};
  for (const char* b : bodies) {
    C_FILE_MEMORY f(C_FILE::TEXT, base + b);
    G3_CV_POLYGON r(false, Pts(2));
    r.Load(kVNow, &f);
    EXPECT_TRUE(C_ERROR::Is()) << b;
    C_ERROR::ClearPending();
    EXPECT_FALSE(r.IsClosed()) << b;
    EXPECT_EQ(r.GetNumber(), 2) << b;
    EXPECT_LE(r.GetPts().GetSize(), 4096) << b;
  }
}

TEST_F(CurveTest, PolygonListsOwnAndHandOver) {
  G3_CV_POLYGONS l;
  G3_CV_POLYGON* p = new G3_CV_POLYGON(false, Pts(2));
  l.Append(&p);
  EXPECT_EQ(p, nullptr);
  G3_CV_POLYGON q(true, Pts(3));
  l.Append(q);
  ASSERT_EQ(l.GetNumber(), 2);
  EXPECT_NE(l.GetAdr(1), &q);
  EXPECT_EQ(l.Get(1).GetNumber(), 3);

  G3_CV_POLYGONS copy(l);
  ASSERT_EQ(copy.GetNumber(), 2);
  EXPECT_NE(copy.GetAdr(0), l.GetAdr(0));
  EXPECT_EQ(copy.Get(0).GetNumber(), 2);
  std::unique_ptr<G3_CV_POLYGONS> clone(l.CloneSame());
  ASSERT_EQ(clone->GetNumber(), 2);
  EXPECT_NE(clone->GetAdr(1), l.GetAdr(1));
  G3_CV_POLYGONS assigned;
  assigned = l;
  EXPECT_EQ(assigned.GetNumber(), 2);

  // Taking over a heap list: its polygons move, the list object is deleted.
  G3_CV_POLYGONS* heap = new G3_CV_POLYGONS(l);
  G3_CV_POLYGON* first = heap->GetAdr(0);
  G3_CV_POLYGONS taken(&heap);
  EXPECT_EQ(heap, nullptr);
  ASSERT_EQ(taken.GetNumber(), 2);
  EXPECT_EQ(taken.GetAdr(0), first);

  G3_CV_POLYGONS* more = new G3_CV_POLYGONS(copy);
  G3_CV_POLYGON* moved = more->GetAdr(1);
  taken.Append(&more);
  EXPECT_EQ(more, nullptr);
  ASSERT_EQ(taken.GetNumber(), 4);
  EXPECT_EQ(taken.GetAdr(3), moved);
  EXPECT_FALSE(taken.IsSorted());

  G3_CV_POLYGONS* self = &taken;
  taken.Append(&self);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  EXPECT_EQ(taken.GetNumber(), 4);
}
