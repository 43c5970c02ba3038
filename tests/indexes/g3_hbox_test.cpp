#include "indexes/g3_hbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "algebra/g3_axis.h"

namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();

class HboxTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

std::vector<int> Sorted(const T_LIST<int>& l) {
  std::vector<int> v;
  for (int i = 0; i < l.GetNumber(); ++i) v.push_back(l[i]);
  std::sort(v.begin(), v.end());
  return v;
}

T_LIST<G3_BOX> RandomBoxes(unsigned seed, int n, double maxSize) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> pos(0, 100), size(0, maxSize);
  T_LIST<G3_BOX> l;
  for (int i = 0; i < n; ++i) {
    const double x = pos(rng), y = pos(rng), z = pos(rng) * 0.3;  // flatter in z
    l.Append(G3_BOX(x, x + size(rng), y, y + size(rng), z, z + size(rng)));
  }
  return l;
}

G3_BOX Flat(const G2_BOX& q) {
  return G3_BOX(q.GetXmin(), q.GetXmax(), q.GetYmin(), q.GetYmax(), -1e300, 1e300);
}

std::vector<int> BruteBox(const T_LIST<G3_BOX>& boxes, const G3_BOX& q) {
  std::vector<int> v;
  for (int i = 0; i < boxes.GetNumber(); ++i)
    if (boxes[i].Clashes(q)) v.push_back(i);
  return v;
}

// Checks the shape of a hierarchy over n boxes: root last, children before
// parents, ranges that split exactly, boxes that are exact unions, leaves
// shorter than the leaf size, and a permutation of the ids.
void CheckShape(const G3_HBOX& h, int n, int leafSize) {
  ASSERT_GE(h.GetNumber(), 1);
  EXPECT_LE(h.GetNumber(), 2 * n - 1);
  const G3_HBOXELT& root = h.Get(h.GetNumber() - 1);
  EXPECT_EQ(root.GetMin(), 0);
  EXPECT_EQ(root.GetMax(), n - 1);
  std::vector<int> perm;
  for (int k = 0; k < n; ++k) perm.push_back(h.GetIdFromElt(k));
  std::sort(perm.begin(), perm.end());
  for (int k = 0; k < n; ++k) ASSERT_EQ(perm[k], k);
  std::vector<int> parents(h.GetNumber(), 0);
  for (int i = 0; i < h.GetNumber(); ++i) {
    const G3_HBOXELT& e = h.Get(i);
    G3_BOX u;
    for (int k = e.GetMin(); k <= e.GetMax(); ++k) u.Unite(h.GetLeafBox(h.GetIdFromElt(k)));
    EXPECT_TRUE(u == e.GetBox());
    if (e.GetType() == G3_HBOXELT::LEAF) {
      EXPECT_LT(e.GetMax() - e.GetMin() + 1, leafSize);
      continue;
    }
    ASSERT_EQ(e.GetType(), G3_HBOXELT::NODE);
    EXPECT_LT(e.GetLink1(), e.GetLink2());
    EXPECT_LT(e.GetLink2(), i);
    const G3_HBOXELT& a = h.Get(e.GetLink1());
    const G3_HBOXELT& b = h.Get(e.GetLink2());
    EXPECT_EQ(a.GetMin(), e.GetMin());
    EXPECT_EQ(a.GetMax() + 1, b.GetMin());
    EXPECT_EQ(b.GetMax(), e.GetMax());
    EXPECT_EQ(a.GetMax(), (e.GetMin() + e.GetMax()) / 2);
    ++parents[e.GetLink1()];
    ++parents[e.GetLink2()];
  }
  for (int i = 0; i + 1 < h.GetNumber(); ++i) EXPECT_EQ(parents[i], 1) << "element " << i;
  EXPECT_EQ(parents.back(), 0);
}

// Reference build through the list's own index sort, chasing ids for every
// comparison and every union.
struct REF_ELT {
  G3_BOX box;
  int type, min, max, link1, link2;
};
void RefBuild(const T_LIST<G3_BOX>& l, bool splitZ, int leaf, int first, int last,
              T_LIST<int>* ids, std::vector<REF_ELT>* out) {
  G3_BOX b;
  for (int k = first; k <= last; ++k) b.Unite(l[(*ids)[k]]);
  if (last - first + 1 < leaf) return out->push_back({b, 0, first, last, 0, 0});
  int axis = b.GetDeltaY() < b.GetDeltaX() ? 0 : 1;
  if (splitZ && b.GetDeltaZ() > (axis == 0 ? b.GetDeltaX() : b.GetDeltaY())) axis = 2;
  auto key = [axis](const G3_BOX* x) {
    return axis == 0 ? x->GetXmin() : (axis == 1 ? x->GetYmin() : x->GetZmin());
  };
  l.SortIndexes([&](const G3_BOX* x, const G3_BOX* y) {
    return key(x) > key(y) ? 1 : (key(x) < key(y) ? -1 : 0);
  }, first, last, ids);
  RefBuild(l, splitZ, leaf, first, (first + last) / 2, ids, out);
  const int left = int(out->size()) - 1;
  RefBuild(l, splitZ, leaf, (first + last) / 2 + 1, last, ids, out);
  const int right = int(out->size()) - 1;
  G3_BOX nb = (*out)[left].box;
  nb.Unite((*out)[right].box);
  out->push_back({nb, 1, first, last, left, right});
}

// The build permutes ids exactly as the list's sort does, and builds the
// same elements: with many equal keys, signed zeros and a NaN box; with keys
// all different along x and y but not z; with keys all different.
TEST_F(HboxTest, BuildMatchesASortThroughTheList) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<int> c(0, 12);
  std::uniform_real_distribution<double> u(0, 200);
  for (int set = 0; set < 5; ++set) {  // set 4: set 0's kind, flagged sorted
    T_LIST<G3_BOX> l;
    for (int i = 0; i < 3000; ++i) {
      double x = c(rng), y = c(rng), z = c(rng) * 0.5;
      if (set % 4 > 0) x = u(rng), y = u(rng), z = set == 1 ? c(rng) * 16 : u(rng);
      l.Append(G3_BOX(x, x + c(rng), y, y + 1, z, z + c(rng)));
    }
    if (set % 4 == 0) {
      *l.GetAdr(5) = G3_BOX(-0.0, 1, -0.0, 1, -0.0, 1);
      *l.GetAdr(6) = G3_BOX(0.0, 1, 0.0, 1, 0.0, 1);
      l.GetAdr(7)->SetYmin(kNan);
    }
    if (set == 3) l.GetAdr(8)->SetZmin(kNan);  // x and y still all different
    l.SetSorted(set == 4);  // a list flagged sorted is not sorted again
    for (int leaf : {2, 5}) {
      for (bool splitZ : {false, true}) {
        G3_HBOX h;
        h.SetBoxes(l, splitZ, leaf);
        T_LIST<int> ids;
        for (int k = 0; k < l.GetNumber(); ++k) ids.Append(k);
        std::vector<REF_ELT> ref;
        RefBuild(l, splitZ, leaf, 0, l.GetNumber() - 1, &ids, &ref);
        ASSERT_EQ(h.GetNumber(), int(ref.size()));
        for (int k = 0; k < l.GetNumber(); ++k) ASSERT_EQ(h.GetIdFromElt(k), ids[k]) << k;
        for (int i = 0; i < h.GetNumber(); ++i) {
          const G3_HBOXELT& e = h.Get(i);
          const REF_ELT& r = ref[size_t(i)];
          ASSERT_TRUE(e.GetBox() == r.box && e.GetType() == r.type && e.GetMin() == r.min &&
                      e.GetMax() == r.max && e.GetLink1() == r.link1 && e.GetLink2() == r.link2);
        }
      }
    }
  }
}

TEST_F(HboxTest, ShapeOfSmallHierarchies) {
  G3_HBOX h;
  EXPECT_EQ(h.GetNumber(), 0);
  // A default element: void box, a leaf covering position 0; any int type kept.
  G3_HBOXELT d;
  EXPECT_TRUE(d.GetBox() == G3_BOX(1e100, -1e100, 1e100, -1e100, 1e100, -1e100));
  EXPECT_TRUE(d.GetType() == G3_HBOXELT::LEAF && d.GetMax() == 0 && d.GetLink2() == 0);
  d.SetType(7);
  EXPECT_EQ(int(d.GetType()), 7);
  // One box, any leaf size: one leaf, the root.
  T_LIST<G3_BOX> one;
  one.Append(G3_BOX(0, 1, 0, 1, 0, 1));
  for (int leaf : {2, 3, 100}) {
    h.SetBoxes(one, true, leaf);
    ASSERT_EQ(h.GetNumber(), 1);
    EXPECT_EQ(h.Get(0).GetType(), G3_HBOXELT::LEAF);
    EXPECT_EQ(h.Get(0).GetMin(), 0);
    EXPECT_EQ(h.Get(0).GetMax(), 0);
    EXPECT_TRUE(h.Get(0).GetBox() == one[0]);
  }
  // Fewer boxes than the leaf size: one leaf holding all of them.
  const T_LIST<G3_BOX> seven = RandomBoxes(1, 7, 3);
  h.SetBoxes(seven, false, 8);
  ASSERT_EQ(h.GetNumber(), 1);
  EXPECT_EQ(h.Get(0).GetMax(), 6);
  // Exactly the leaf size: split once.
  h.SetBoxes(seven, false, 7);
  EXPECT_EQ(h.GetNumber(), 3);
  CheckShape(h, 7, 7);
  // Leaf size 2: one box per leaf and 2n - 1 elements.
  for (int n : {2, 3, 10, 33}) {
    const T_LIST<G3_BOX> boxes = RandomBoxes(n, n, 5);
    h.SetBoxes(boxes, true, 2);
    EXPECT_EQ(h.GetNumber(), 2 * n - 1);
    CheckShape(h, n, 2);
  }
  EXPECT_FALSE(C_ERROR::Is());
}

// The first split follows the longer extent of the whole box: y on a tie of
// x and y, z only with splitZ and only when strictly longer.
TEST_F(HboxTest, SplitAxisChoice) {
  // Corners of a 10 x 10 square: 0 top-left, 1 bottom-right, 2 bottom-left,
  // 3 top-right. Along y the low half is {1, 2}; along x it is {0, 2}.
  T_LIST<G3_BOX> boxes;
  boxes.Append(G3_BOX(0, 1, 9, 10, 0, 1));
  boxes.Append(G3_BOX(9, 10, 0, 1, 0, 1));
  boxes.Append(G3_BOX(0, 1, 0, 1, 0, 1));
  boxes.Append(G3_BOX(9, 10, 9, 10, 0, 1));
  auto lowHalf = [](const G3_HBOX& h) {
    const G3_HBOXELT& root = h.Get(h.GetNumber() - 1);
    const G3_HBOXELT& left = h.Get(root.GetLink1());
    std::set<int> s;
    for (int k = left.GetMin(); k <= left.GetMax(); ++k) s.insert(h.GetIdFromElt(k));
    return s;
  };
  G3_HBOX h;
  h.SetBoxes(boxes, true, 2);
  EXPECT_EQ(lowHalf(h), (std::set<int>{1, 2}));
  // Wider in x: x.
  boxes.GetAdr(3)->SetXmax(10.5);
  h.SetBoxes(boxes, false, 2);
  EXPECT_EQ(lowHalf(h), (std::set<int>{0, 2}));
  // Deep in z: z with splitZ only. Ids 1 and 3 are the low ones in z.
  boxes.GetAdr(0)->SetZmin(30);
  boxes.GetAdr(0)->SetZmax(31);
  boxes.GetAdr(2)->SetZmin(30);
  boxes.GetAdr(2)->SetZmax(31);
  h.SetBoxes(boxes, true, 2);
  EXPECT_EQ(lowHalf(h), (std::set<int>{1, 3}));
  h.SetBoxes(boxes, false, 2);
  EXPECT_EQ(lowHalf(h), (std::set<int>{0, 2}));
  // Equal depth in z is not enough.
  boxes.GetAdr(0)->SetZmax(10.5);
  boxes.GetAdr(0)->SetZmin(0);
  boxes.GetAdr(2)->SetZmin(9.5);
  boxes.GetAdr(2)->SetZmax(10);
  h.SetBoxes(boxes, true, 2);
  EXPECT_EQ(lowHalf(h), (std::set<int>{0, 2}));
}

TEST_F(HboxTest, TouchingEmptyUnionAndIncludeAll) {
  G3_HBOX h;
  T_LIST<int> ids;
  ids.Append(3);
  h.Intersect(G3_BOX(0, 1, 0, 1, 0, 1), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  ids.Append(3);
  h.Intersect(G2_BOX(0, 1, 0, 1), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  ids.Append(3);
  h.Intersect(G3_AXIS(G3_POINT(0, 0, 0), G3_VECTOR1(0, 0, 1)), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  G3_BOX u;
  EXPECT_FALSE(h.Union(G2_BOX(0, 1, 0, 1), &u));
  EXPECT_TRUE(h.IncludeAll(G3_BOX(0, 0, 0, 0, 0, 0)));
  EXPECT_TRUE(h.IncludeAll(G2_BOX(0, 0, 0, 0)));

  T_LIST<G3_BOX> boxes;
  boxes.Append(G3_BOX(0, 2, 0, 2, -3, 7));
  boxes.Append(G3_BOX(5, 6, 0, 1, 0, 1));
  boxes.Append(G3_BOX(5, 6, 5, 6, 0, 1));
  h.SetBoxes(boxes, true, 2);
  // A query touching box 0 on its face x = 2.
  h.Intersect(G3_BOX(2, 3, 0.5, 1, 0, 1), &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{0}));
  h.Intersect(G3_BOX(2.1, 4.9, -10, 10, -10, 10), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  h.Intersect(G2_BOX(4, 7, 1, 5), &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{1, 2}));
  // Half of box 0 in plan: its full z range, x and y clipped. The queries
  // serve const hierarchies too.
  const G3_HBOX& ch = h;
  EXPECT_TRUE(ch.Union(G2_BOX(1, 3, -1, 3), &u));
  EXPECT_TRUE(u == G3_BOX(1, 2, 0, 2, -3, 7));
  EXPECT_TRUE(h.Union(G2_BOX(1, 5.5, 0.5, 5.5), &u));
  EXPECT_TRUE(u == G3_BOX(1, 5.5, 0.5, 5.5, -3, 7));
  EXPECT_FALSE(h.Union(G2_BOX(3, 4, 0, 10), &u));
  EXPECT_TRUE(h.IncludeAll(G3_BOX(0, 6, 0, 6, -3, 7)));
  EXPECT_FALSE(h.IncludeAll(G3_BOX(0, 6, 0, 6, -2, 7)));
  EXPECT_TRUE(h.IncludeAll(G2_BOX(0, 6, 0, 6)));
  EXPECT_FALSE(ch.IncludeAll(G2_BOX(0, 5.9, 0, 6)));
  EXPECT_TRUE(ch.IncludeAll(G3_BOX(0, 6, 0, 6, -3, 7)));
  ids.Clear();
  h.Gather(h.GetNumber() - 1, &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{0, 1, 2}));
}

// Bad input: leaf sizes that would split forever, NaN boxes and queries, a
// list given by pointer.
TEST_F(HboxTest, BadInputEndsInAnErrorOrAnEmptyResult) {
  const T_LIST<G3_BOX> boxes = RandomBoxes(3, 50, 4);
  G3_HBOX h;
  h.SetBoxes(boxes, true, 4);
  const int built = h.GetNumber();
  for (int leaf : {1, 0, -5}) {
    h.SetBoxes(RandomBoxes(4, 9, 4), true, leaf);
    ASSERT_TRUE(C_ERROR::Is());
    EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "R#Err#Leaf size below 2");
    C_ERROR::ClearPending();
    // Nothing changed.
    EXPECT_EQ(h.GetNumber(), built);
    EXPECT_EQ(h.GetBoxes().GetNumber(), 50);
    EXPECT_EQ(h.GetLeafSize(), 4);
  }
  T_LIST<G3_BOX>* mine = new T_LIST<G3_BOX>(RandomBoxes(5, 20, 4));
  h.GrabBoxes(&mine, false, 1);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  ASSERT_NE(mine, nullptr);  // still the caller's
  h.GrabBoxes(&mine, false, 3);
  EXPECT_EQ(mine, nullptr);
  EXPECT_EQ(h.GetBoxes().GetNumber(), 20);
  CheckShape(h, 20, 3);
  // Rebuilding from its own list.
  h.SetBoxes(h.GetBoxes(), true, 2);
  CheckShape(h, 20, 2);
  h.GrabBoxes(nullptr, true, 2);
  EXPECT_EQ(h.GetNumber(), 0);
  EXPECT_FALSE(C_ERROR::Is());

  // NaN boxes meet nothing and do not hide their neighbours.
  T_LIST<G3_BOX> withNan = RandomBoxes(6, 300, 6);
  withNan.GetAdr(0)->SetXmin(kNan);
  *withNan.GetAdr(7) = G3_BOX(kNan, kNan, kNan, kNan, kNan, kNan);
  h.SetBoxes(withNan, true, 2);
  T_LIST<int> ids;
  const G3_BOX all(-1e9, 1e9, -1e9, 1e9, -1e9, 1e9);
  h.Intersect(all, &ids);
  EXPECT_EQ(Sorted(ids), BruteBox(withNan, all));
  EXPECT_EQ(ids.GetNumber(), 298);
  for (int i = 0; i < h.GetNumber(); ++i) EXPECT_FALSE(std::isnan(h.Get(i).GetBox().GetXmin()));
  std::mt19937 rng(8);
  std::uniform_real_distribution<double> pos(0, 100);
  for (int k = 0; k < 50; ++k) {
    const double x = pos(rng), y = pos(rng), z = pos(rng) * 0.3;
    const G3_BOX q(x, x + 10, y, y + 10, z, z + 10);
    h.Intersect(q, &ids);
    ASSERT_EQ(Sorted(ids), BruteBox(withNan, q));
  }
  // NaN queries.
  h.Intersect(G3_BOX(kNan, 1e9, -1e9, 1e9, -1e9, 1e9), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  h.Intersect(G2_BOX(-1e9, 1e9, kNan, 1e9), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  h.Intersect(G3_AXIS(G3_POINT(50, kNan, 0), G3_VECTOR1(0, 0, 1)), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  G3_BOX u;
  EXPECT_FALSE(h.Union(G2_BOX(kNan, 1e9, -1e9, 1e9), &u));
  EXPECT_FALSE(C_ERROR::Is());
}

// Few thousand random boxes, several leaf sizes, both split modes: every
// query equals brute force.
TEST_F(HboxTest, QueriesEqualBruteForce) {
  const T_LIST<G3_BOX> boxes = RandomBoxes(77, 3000, 5);
  std::mt19937 rng(78);
  std::uniform_real_distribution<double> pos(0, 100), size(0, 30), dir(-1, 1);
  G3_HBOX h;
  T_LIST<int> ids;
  for (int leaf : {2, 3, 8}) {
    for (int splitZ = 0; splitZ < 2; ++splitZ) {
      h.SetBoxes(boxes, splitZ, leaf);
      CheckShape(h, 3000, leaf);
      for (int k = 0; k < 40; ++k) {
        const double x = pos(rng), y = pos(rng), z = pos(rng) * 0.3;
        const G3_BOX q(x, x + size(rng), y, y + size(rng), z, z + size(rng));
        h.Intersect(q, &ids);
        ASSERT_EQ(Sorted(ids), BruteBox(boxes, q));
        const G2_BOX p(q.GetXmin(), q.GetXmax(), q.GetYmin(), q.GetYmax());
        h.Intersect(p, &ids);
        ASSERT_EQ(Sorted(ids), BruteBox(boxes, Flat(p)));
        double a = dir(rng), b = dir(rng), c = dir(rng);
        if (k % 3 == 1) a = b = 0, c = 1;  // vertical lines
        const G3_AXIS ax(G3_POINT(x, y, z), G3_VECTOR1(a, b, c));
        h.Intersect(ax, &ids);
        std::vector<int> expected;
        for (int i = 0; i < boxes.GetNumber(); ++i)
          if (boxes[i].Intersect(ax, nullptr)) expected.push_back(i);
        ASSERT_EQ(Sorted(ids), expected);
        // Union against brute force.
        G3_BOX want;
        C_BOOL any = false;
        for (int i = 0; i < boxes.GetNumber(); ++i)
          if (boxes[i].Clashes(Flat(p))) {
            want.Unite(boxes[i]);
            any = true;
          }
        G3_BOX u;
        ASSERT_EQ(bool(h.Union(p, &u)), bool(any));
        if (any) {
          want.SetXmin(std::max(want.GetXmin(), p.GetXmin()));
          want.SetXmax(std::min(want.GetXmax(), p.GetXmax()));
          want.SetYmin(std::max(want.GetYmin(), p.GetYmin()));
          want.SetYmax(std::min(want.GetYmax(), p.GetYmax()));
          EXPECT_TRUE(u == want);
        }
      }
    }
  }
  G3_BOX global;
  for (int i = 0; i < boxes.GetNumber(); ++i) global.Unite(boxes[i]);
  EXPECT_TRUE(h.IncludeAll(global));
  G3_BOX smaller(global);
  smaller.SetYmin(global.GetYmin() + 1e-9);
  EXPECT_FALSE(h.IncludeAll(smaller));
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(HboxTest, CopiesAreIndependent) {
  const T_LIST<G3_BOX> first = RandomBoxes(10, 500, 5);
  G3_HBOX h;
  h.SetBoxes(first, true, 3);
  G3_HBOX c(h);
  G3_HBOX a;
  a.SetBoxes(RandomBoxes(11, 5, 5), true, 2);
  a = h;
  h.SetBoxes(RandomBoxes(12, 40, 5), false, 2);
  const G3_BOX q(20, 60, 20, 60, 0, 30);
  T_LIST<int> ids;
  for (const G3_HBOX* x : {static_cast<const G3_HBOX*>(&c), static_cast<const G3_HBOX*>(&a)}) {
    EXPECT_EQ(x->GetNumber(), c.GetNumber());
    CheckShape(*x, 500, 3);
    x->Intersect(q, &ids);
    EXPECT_EQ(Sorted(ids), BruteBox(first, q));
  }
  h.Intersect(q, &ids);
  EXPECT_EQ(Sorted(ids), BruteBox(h.GetBoxes(), q));
  G3_HBOX empty;
  G3_HBOX e(empty);
  EXPECT_EQ(e.GetNumber(), 0);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(HboxTest, IncrementalSearchReturnsEveryBoxOnceInKeyOrder) {
  G3_HBOX_EndIncrementalSearch(nullptr);
  G3_HBOX empty;
  T_CONTEXT* c0 = G3_HBOX_BeginIncrementalSearch(empty);
  ASSERT_NE(c0, nullptr);
  EXPECT_TRUE(static_cast<G3_HBOX::IncrementalSearchContext*>(c0)->heap->IsVoid());
  G3_HBOX_EndIncrementalSearch(c0);

  const T_LIST<G3_BOX> boxes = RandomBoxes(21, 2000, 5);
  G3_HBOX h;
  h.SetBoxes(boxes, true, 4);
  T_CONTEXT* c = G3_HBOX_BeginIncrementalSearch(h);
  ASSERT_NE(c, nullptr);
  auto* ctx = static_cast<G3_HBOX::IncrementalSearchContext*>(c);
  EXPECT_EQ(ctx->hbox, &h);
  ASSERT_EQ(ctx->heap->GetNumber(), 1);
  EXPECT_EQ(ctx->heap->Top().index, h.GetNumber() - 1);
  EXPECT_FALSE(ctx->heap->Top().flag);
  EXPECT_EQ(ctx->heap->Top().key, 0.0);
  // Caller-side stepping: key = squared distance from p to a box.
  const G3_POINT p(30, 70, 10);
  auto dist2 = [&p](const G3_BOX& b) {
    auto gap = [](double v, double lo, double hi) {
      return v < lo ? lo - v : (v > hi ? v - hi : 0);
    };
    const double dx = gap(p.GetCx(), b.GetXmin(), b.GetXmax());
    const double dy = gap(p.GetCy(), b.GetYmin(), b.GetYmax());
    const double dz = gap(p.GetCz(), b.GetZmin(), b.GetZmax());
    return dx * dx + dy * dy + dz * dz;
  };
  std::vector<int> order;
  double last = -1;
  G3_HBOX::SEARCH_ENTRY e;
  while (!ctx->heap->IsVoid()) {
    ctx->heap->Pop(&e);
    EXPECT_GE(e.key, last);
    last = e.key;
    if (e.flag) {
      order.push_back(e.index);
      continue;
    }
    const G3_HBOXELT& elt = h.Get(e.index);
    if (elt.GetType() == G3_HBOXELT::NODE) {
      for (int child : {elt.GetLink1(), elt.GetLink2()}) {
        G3_HBOX::SEARCH_ENTRY n;
        n.value = n.key = dist2(h.Get(child).GetBox());
        n.index = child;
        ctx->heap->Push(n);
      }
      continue;
    }
    for (int k = elt.GetMin(); k <= elt.GetMax(); ++k) {
      G3_HBOX::SEARCH_ENTRY n;
      n.index = h.GetIdFromElt(k);
      n.value = n.key = dist2(h.GetLeafBox(n.index));
      n.flag = true;
      ctx->heap->Push(n);
    }
  }
  G3_HBOX_EndIncrementalSearch(c);
  ASSERT_EQ(int(order.size()), 2000);
  std::vector<double> d;
  for (int id : order) d.push_back(dist2(boxes[id]));
  EXPECT_TRUE(std::is_sorted(d.begin(), d.end()));
  std::set<int> unique(order.begin(), order.end());
  EXPECT_EQ(int(unique.size()), 2000);
  EXPECT_FALSE(C_ERROR::Is());
}

}  // namespace
