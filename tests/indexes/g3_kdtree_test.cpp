#include "indexes/g3_kdtree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

using V = std::vector<int>;
const double kNan = std::numeric_limits<double>::quiet_NaN();

struct PT {
  double c[3];
  int id;
  G3_POINT P() const { return G3_POINT(c[0], c[1], c[2]); }
};

// Random points, id = position: on an integer grid of the given side (many
// equal coordinates) or, for side 0, uniform in [-100, 100)^3.
std::vector<PT> MakePoints(int n, unsigned seed, int side) {
  std::mt19937 rng(seed);
  std::vector<PT> v(n);
  for (int i = 0; i < n; ++i) {
    for (double& x : v[i].c) x = side > 0 ? rng() % side : rng() / 4294967296.0 * 200 - 100;
    v[i].id = i;
  }
  return v;
}

// The default negative tolerance keeps every point, equal ones included.
void Fill(G3_KDTREE* t, const std::vector<PT>& pts, bool bulk, double tol = -1) {
  T_LIST<G3_POINT> p;
  T_LIST<int> ids;
  for (const PT& q : pts) {
    if (!bulk) t->Insert(q.P(), q.id, false, tol);
    p.Append(q.P());
    ids.Append(q.id);
  }
  if (bulk) t->Insert(p, ids, false, tol);
  ASSERT_FALSE(C_ERROR::Is());
}

void ExpectError(const C_ERROR& e) {
  EXPECT_EQ(C_ERROR::GetPending(), &e);
  C_ERROR::ClearPending();
}

V Ids(const T_LIST<int>& ids) {
  V v;
  for (int i = 0; i < ids.GetNumber(); ++i) v.push_back(ids[i]);
  return v;
}

// Every node lies in its cell (left subtree < the node's coordinate on the
// split axis, right subtree >=) and the links agree. Gives the depth (0 when
// empty), -1 when broken. Iterative: trees may be very deep.
int CheckTree(const G3_KDTREE& t, V* preOrder = nullptr) {
  struct CELL {
    T_NODE n;
    int depth;
    double lo[3], hi[3];  // hi strict
  };
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<CELL> stack;
  if (!t.IsVoid()) stack.push_back({t.GetRoot(), 0, {-inf, -inf, -inf}, {inf, inf, inf}});
  int depth = 0;
  while (!stack.empty()) {
    const CELL s = stack.back();
    stack.pop_back();
    depth = std::max(depth, s.depth);
    const G3_POINT& p = t.Get(s.n).point;
    if (preOrder != nullptr) preOrder->push_back(t.Get(s.n).id);
    for (int i = 0; i < 3; ++i) {
      if (p.GetCi(i) < s.lo[i] || !(p.GetCi(i) < s.hi[i])) return -1;
    }
    for (const bool left : {false, true}) {  // the left child comes out first
      const T_NODE c = left ? t.GetLeftChild(s.n) : t.GetRightChild(s.n);
      if (c.IsVoid()) continue;
      if (t.GetParent(c) != s.n) return -1;
      CELL n{c, s.depth + 1, {s.lo[0], s.lo[1], s.lo[2]}, {s.hi[0], s.hi[1], s.hi[2]}};
      (left ? n.hi : n.lo)[s.depth % 3] = p.GetCi(s.depth % 3);
      stack.push_back(n);
    }
  }
  return depth;
}

// The ids of the tree in pre-order.
V PreOrder(const G3_KDTREE& t) {
  V v;
  CheckTree(t, &v);
  return v;
}

double Chebyshev(const PT& p, const G3_POINT& q) {
  double d = 0;
  for (int i = 0; i < 3; ++i) d = std::max(d, std::fabs(p.c[i] - q.GetCi(i)));
  return d;
}

double LineDis2(const PT& p, const G3_AXIS& a) {
  return (G3_VECTOR(a.GetPo(), p.P()) ^ a.GetVx()).GetNorm2();
}

// The lists hold distinct ids of the set with their true points, and their
// distances are the k smallest of the set in order (within rel for
// rounding; 0 for exact).
template <class DIS>
void ExpectNearest(const std::vector<PT>& set, const T_LIST<G3_POINT>& got, const T_LIST<int>& ids,
                   int k, DIS dis, double rel) {
  std::map<int, PT> byId;
  std::vector<double> all;
  for (const PT& p : set) {
    byId[p.id] = p;
    all.push_back(dis(p));
  }
  std::sort(all.begin(), all.end());
  const V given = Ids(ids);
  ASSERT_EQ(got.GetNumber(), std::min<int>(k, static_cast<int>(set.size())));
  ASSERT_EQ(given.size(), static_cast<size_t>(got.GetNumber()));
  ASSERT_EQ(std::set<int>(given.begin(), given.end()).size(), given.size()) << "id given twice";
  for (int i = 0; i < got.GetNumber(); ++i) {
    ASSERT_EQ(byId.at(given[i]).P(), got[i]);
    EXPECT_NEAR(dis(byId[given[i]]), all[i], rel * (1 + all[i])) << "rank " << i;
  }
}

// The ids found are those of pre (the tree's pre-order) whose points (pts
// indexed by id) pass the active bounds, in that order.
void ExpectRange(const G3_KDTREE& t, const V& pre, const std::vector<PT>& pts, const G3_BOX& box,
                 int mask) {
  const double b[6] = {box.GetXmin(), box.GetXmax(), box.GetYmin(),
                       box.GetYmax(), box.GetZmin(), box.GetZmax()};
  V expected;
  for (const int id : pre) {
    bool in = true;
    for (int i = 0; i < 3; ++i) {
      in = in && !(((mask >> (2 * i)) & 1) && pts[id].c[i] < b[2 * i]) &&
           !(((mask >> (2 * i + 1)) & 1) && pts[id].c[i] > b[2 * i + 1]);
    }
    if (in) expected.push_back(id);
  }
  T_LIST<G3_POINT> got;
  T_LIST<int> ids;
  ASSERT_EQ(static_cast<bool>(t.Search(box, &got, &ids, mask)), !expected.empty()) << mask;
  ASSERT_EQ(Ids(ids), expected) << "mask " << mask;
  for (int i = 0; i < got.GetNumber(); ++i) ASSERT_EQ(got[i], pts[ids[i]].P());
}

}  // namespace

TEST(G3_KDTREE, SingleInsertionWalksAndDetectsDuplicatesOnThePath) {
  G3_KDTREE t;
  int existing = 7, id = 0;
  EXPECT_TRUE(t.Insert(G3_POINT(1, 1, 1), 1, false, 0, &existing) && existing == -1);
  // Equal x goes right, smaller x left.
  t.Insert(G3_POINT(1, 0, 0), 2, false, 0);
  t.Insert(G3_POINT(0, 5, 5), 3, false, 0);
  EXPECT_EQ(PreOrder(t), V({1, 3, 2}));
  // A duplicate within tol: kept (false) or replaced (true); the old id is
  // told either way. The bound is non-strict (Chebyshev 0.5 <= 0.5).
  EXPECT_TRUE(!t.Insert(G3_POINT(1, 1, 1), 9, false, 0, &existing) && existing == 1);
  EXPECT_TRUE(t.Search(G3_POINT(1, 1, 1), &id, 0) && id == 1);
  EXPECT_TRUE(t.Insert(G3_POINT(1, 1, 1.0000001), 9, true, 1e-6, &existing) && existing == 1);
  EXPECT_TRUE(t.Search(G3_POINT(1, 1, 1.0000001), &id, 0) && id == 9);
  EXPECT_TRUE(!t.Insert(G3_POINT(0.5, 5, 5), 4, false, 0.5, &existing) && existing == 3);
  // The item form reports the flag and the whole existing item.
  C_BOOL replaced = false;
  G3_KDTREE_POINT old;
  const G3_KDTREE_POINT item(G3_POINT(1, 0, 0.5), 5);
  EXPECT_TRUE(t.Insert(item, true, 0.5, &replaced, &old) && replaced && old.id == 2);
  EXPECT_EQ(old.point, G3_POINT(1, 0, 0));
  EXPECT_EQ(t.Get(t.Search(item, 0)).id, 5);
  EXPECT_EQ(t.GetNumber(), 3);
  // Only the descent path is looked at: (-0.05, 10, 0) lies within 0.1 of the
  // new point but in the other subtree of the root.
  G3_KDTREE u;
  Fill(&u, {{{0, 0, 0}, 1}, {{-0.05, 10, 0}, 2}}, false, 0.1);
  EXPECT_TRUE(u.Insert(G3_POINT(0.01, 10, 0), 3, false, 0.1, &existing) && existing == -1);
  // Points that cannot be placed are refused.
  EXPECT_FALSE(u.Insert(G3_POINT(0, -std::numeric_limits<double>::infinity(), 0), 5, true, 0.1,
                        &existing));
  ExpectError(CerrInvalidValue);
  EXPECT_TRUE(existing == -1 && u.GetNumber() == 3);
}

TEST(G3_KDTREE, BulkInsertionBalancesAnEmptyTreeOnly) {
  // Seven points with distinct coordinates: a full tree of depth 2 whose
  // root is the median on x (3), its children the medians on y of each half.
  G3_KDTREE t, e, c, b, d;
  Fill(&t, {{{6, 2, 9}, 0}, {{2, 5, 3}, 1}, {{4, 0, 7}, 2}, {{0, 6, 1}, 3},
            {{5, 3, 2}, 4}, {{1, 1, 8}, 5}, {{3, 4, 0}, 6}}, true);
  V pre;
  EXPECT_EQ(CheckTree(t, &pre), 2);
  EXPECT_EQ(pre, V({6, 1, 5, 3, 0, 2, 4}));
  // Eight points: the lower median on x (3 of 0..7) is the root.
  std::vector<PT> eight;
  for (int i = 0; i < 8; ++i) eight.push_back({{double((i * 5) % 8), double(i), 0}, i});
  Fill(&e, eight, true);
  EXPECT_EQ(e.Get(e.GetRoot()).point.GetCx(), 3);
  EXPECT_EQ(CheckTree(e), 3);
  // Into a non-empty tree the points go one by one in list order: a chain.
  c.Insert(G3_POINT(10, 0, 0), 0, false, 0);
  Fill(&c, {{{5, 0, 0}, 1}, {{3, 0, 0}, 2}, {{4, 0, 0}, 3}}, true);
  EXPECT_EQ(CheckTree(c), 3);
  EXPECT_EQ(PreOrder(c), V({0, 1, 2, 3}));
  // Bad lists insert nothing: empty points (no error), lengths that differ,
  // a NaN coordinate.
  T_LIST<G3_POINT> pts;
  T_LIST<int> ids;
  ids.Append(1);
  b.Insert(pts, ids, false, 0);
  EXPECT_FALSE(C_ERROR::Is());
  pts.Append(G3_POINT(1, 2, 3));
  pts.Append(G3_POINT(kNan, 0, 0));
  b.Insert(pts, ids, false, 0);
  ExpectError(CerrInternalError);
  ids.Append(2);
  b.Insert(pts, ids, false, 0);
  ExpectError(CerrInvalidValue);
  EXPECT_TRUE(b.IsVoid());
  // Exact duplicates in one list with tol 0: one point is kept per place.
  Fill(&d, {{{1, 2, 3}, 0}, {{0, 0, 0}, 1}, {{1, 2, 3}, 2}, {{0, 0, 0}, 3}, {{1, 2, 3}, 4}}, true, 0);
  EXPECT_EQ(PreOrder(d).size(), 2u);
}

TEST(G3_KDTREE, DeletionRelinksNodesAndKeepsSlots) {
  // The root with a left subtree only: the subtree's minimum on x takes its
  // place. Slots are kept.
  G3_KDTREE t, three;
  Fill(&t, {{{10, 0, 0}, 0}, {{5, 1, 0}, 1}, {{7, -1, 0}, 2}, {{3, 2, 0}, 3}, {{4, 0, 1}, 4}},
       false);
  EXPECT_TRUE(t.Delete(G3_POINT(10, 0, 0), 0));
  EXPECT_EQ(t.Get(t.GetRoot()).id, 3);
  EXPECT_GE(CheckTree(t), 0);
  EXPECT_TRUE(PreOrder(t).size() == 4 && t.GetNumber() == 5);
  EXPECT_FALSE(t.Delete(G3_POINT(10, 0, 0), 0) || t.Search(G3_POINT(10, 0, 0), nullptr, 0));
  Fill(&three, {{{0, 0, 0}, 0}, {{1, 0, 0}, 1}, {{2, 0, 0}, 2}}, false);
  EXPECT_TRUE(three.Delete(G3_POINT(1, 0, 0), 0));
  EXPECT_EQ(three.GetNumber(), 3);
  // A node already out of the tree cannot be deleted again: that would hang
  // a void root in place of the whole tree.
  for (int n : {1, 3}) {
    three.Delete(T_NODE(n));
    ExpectError(TerrTreeInvalidNode);
  }
  EXPECT_EQ(PreOrder(three), V({0, 2}));
}

TEST(G3_KDTREE, RangeSearchEqualsBruteForceForEveryMask) {
  const std::vector<PT> pts = MakePoints(3000, 1, 20);
  G3_KDTREE bulk, edge;
  Fill(&bulk, pts, true);
  V bulkPre;
  ASSERT_GE(CheckTree(bulk, &bulkPre), 0);
  std::mt19937 rng(2);
  for (int mask = 0; mask < 64; ++mask) {
    for (int trial = 0; trial < 2; ++trial) {
      double b[6];
      for (int i = 0; i < 6; i += 2) {
        b[i] = double(rng() % 24) - 2;
        b[i + 1] = double(rng() % 24) - 2;
        if (b[i] > b[i + 1]) std::swap(b[i], b[i + 1]);
      }
      const G3_BOX box(b[0], b[1], b[2], b[3], b[4], b[5]);
      ExpectRange(bulk, bulkPre, pts, box, mask);
      ExpectRange(bulk, bulkPre, pts, box, mask | (trial << 6));  // high bits ignored
    }
  }
  // Only the x lower bound active: the other values do not matter.
  ExpectRange(bulk, bulkPre, pts, G3_BOX(12, kNan, 50, -50, kNan, kNan), 1);
  // An inverted box finds nothing and leaves the lists as they were; results
  // are appended to what the lists hold.
  T_LIST<G3_POINT> got;
  T_LIST<int> ids, both;
  got.Append(G3_POINT(1, 2, 3));
  EXPECT_FALSE(bulk.Search(G3_BOX(5, 4, 0, 20, 0, 20), &got, &ids, 63));
  EXPECT_TRUE(bulk.Search(G3_BOX(0, 20, 0, 20, 0, 20), &got, &ids, 63));
  EXPECT_TRUE(got.GetNumber() == 3001 && ids.GetNumber() == 3000);
  // An active NaN bound admits no point; an empty tree finds nothing.
  EXPECT_FALSE(bulk.Search(G3_BOX(kNan, 20, 0, 20, 0, 20), &got, nullptr, 63));
  EXPECT_FALSE(G3_KDTREE().Search(G3_BOX(0, 20, 0, 20, 0, 20), &got, &ids, 63));
  EXPECT_FALSE(C_ERROR::Is());
  // A point on an active upper bound, in the node and in its right subtree.
  Fill(&edge, {{{1, 0, 0}, 0}, {{1, 5, 0}, 1}}, false);
  EXPECT_TRUE(edge.Search(G3_BOX(0, 1, 0, 0, 0, 0), nullptr, &both, 2));
  EXPECT_EQ(Ids(both), V({0, 1}));
}

TEST(G3_KDTREE, SearchesEqualBruteForceThroughBatchesOfDeletions) {
  // Grid points (many equal coordinates and distances) one by one, uniform
  // points bulk. Copies taken at the start must not follow.
  const std::vector<PT> grid = MakePoints(2000, 4, 12), uniform = MakePoints(2000, 21, 0);
  std::mt19937 rng(5);
  auto rnd = [&rng](double span) { return (rng() / 4294967296.0 - 0.5) * 2 * span; };
  for (int run = 0; run < 2; ++run) {
    const std::vector<PT>& pts = run == 0 ? grid : uniform;
    const G3_BOX range = run == 0 ? G3_BOX(2, 9, 1, 7, 3, 11) : G3_BOX(-60, 50, -30, 70, -80, 40);
    G3_KDTREE t(2000), assigned;
    Fill(&t, pts, run == 1);
    const V start = PreOrder(t);
    G3_KDTREE copy(t);
    assigned.Insert(G3_POINT(1, 2, 3), 0, false, 0);
    assigned = t;
    std::set<int> live(start.begin(), start.end());
    std::vector<PT> order = pts;
    std::shuffle(order.begin(), order.end(), rng);
    for (size_t next = 0; next < order.size();) {
      for (int k = 0; k < 250 && next < order.size(); ++k, ++next) {
        // A place holding m points is visited m times, each deleting one, so
        // a live point is always there to be found.
        const G3_POINT q = order[next].P();
        int id = -1;
        ASSERT_TRUE(t.Search(q, &id, 0) && live.erase(id) == 1 && pts[id].P() == q);
        ASSERT_TRUE(t.Delete(q, 0));
      }
      V pre;
      ASSERT_GE(CheckTree(t, &pre), 0) << "after " << next << " deletions";
      ASSERT_EQ(std::set<int>(pre.begin(), pre.end()), live);
      T_LIST<G3_POINT> all;
      t.GetPoints(&all);
      ASSERT_EQ(all.GetNumber(), static_cast<int>(pre.size()));
      for (size_t i = 0; i < pre.size(); ++i) ASSERT_EQ(all[int(i)], pts[pre[i]].P());
      for (int mask : {63, 42}) ExpectRange(t, pre, pts, range, mask);
      std::vector<PT> rest;
      for (const int id : live) rest.push_back(pts[id]);
      // A query among the points (on half units for the grid) or far out.
      const double span = next % 500 == 0 ? 1.1 : 3.0;
      double c[3];
      for (double& x : c) x = run == 0 ? std::round(12 + rnd(span) * 12) / 2 : rnd(span) * 100;
      const G3_POINT q(c[0], c[1], c[2]);
      const auto dis = [&q](const PT& p) { return Chebyshev(p, q); };
      T_LIST<G3_POINT> near;
      T_LIST<int> ids;
      for (int k : {57, 1}) {
        t.SearchNearest(q, k, &near, &ids);
        ExpectNearest(rest, near, ids, k, dis, 0);
      }
      // The single form: a point at the smallest distance, or none.
      int id = -1;
      const G3_POINT& nearest = t.SearchNearest(q, &id);
      if (live.empty()) ExpectError(TerrListNotFound);
      else EXPECT_TRUE(pts[id].P() == nearest && dis(pts[id]) == dis(pts[ids[0]]));
    }
    // Emptied by deletions, the tree keeps its slots until cleared.
    EXPECT_TRUE(t.IsVoid() && t.GetNumber() == 2000);
    t.Clear();
    EXPECT_EQ(t.GetNumber(), 0);
    EXPECT_TRUE(PreOrder(copy) == start && PreOrder(assigned) == start);
  }
}

TEST(G3_KDTREE, NearestSearchesEdgeCases) {
  G3_KDTREE t, e;
  Fill(&t, MakePoints(50, 8, 0), false);
  T_LIST<G3_POINT> got;
  T_LIST<int> ids;
  const G3_AXIS axis(G3_POINT(1, 2, 3), G3_VECTOR1(1, 1, 0));
  // k <= 0 empties the lists; k at least the number of points gives all of
  // them in pre-order, unsorted.
  got.Append(G3_POINT(1, 1, 1));
  ids.Append(4);
  t.SearchNearest(G3_POINT(0, 0, 0), 0, &got, &ids);
  EXPECT_TRUE(got.IsVoid() && ids.IsVoid());
  t.SearchNearest(axis, -3, &got);
  EXPECT_TRUE(got.IsVoid());
  for (int k : {50, 1000}) {
    t.SearchNearest(G3_POINT(0, 0, 0), k, &got, &ids);
    EXPECT_EQ(Ids(ids), PreOrder(t));
    t.SearchNearest(axis, k, &got, &ids);
    EXPECT_EQ(Ids(ids), PreOrder(t));
  }
  // Queries with NaN, and an empty tree: empty lists; the single forms raise
  // TerrListNotFound and give P0, id untouched.
  for (const G3_KDTREE* s : {&t, &e}) {
    const double bad = s == &t ? kNan : 0;
    s->SearchNearest(G3_POINT(bad, 0, 0), 3, &got, &ids);
    EXPECT_TRUE(got.IsVoid());
    s->SearchNearest(G3_AXIS(G3_POINT(0, bad, 0), G3_VECTOR1(0, 0, 1)), 3, &got, &ids);
    EXPECT_TRUE(got.IsVoid() && ids.IsVoid() && !C_ERROR::Is());
    int id = 5;
    EXPECT_EQ(&s->SearchNearest(G3_POINT(0, 0, bad), &id), &G3_POINT::P0);
    ExpectError(TerrListNotFound);
    EXPECT_EQ(&s->SearchNearest(G3_AXIS(G3_POINT(bad, 0, 0), G3_VECTOR1(0, 0, 1)), &id),
              &G3_POINT::P0);
    ExpectError(TerrListNotFound);
    EXPECT_EQ(id, 5);
  }
  EXPECT_TRUE(e.SearchNearest(G3_KDTREE_POINT()).IsVoid());
}

TEST(G3_KDTREE, NearestToAxisEqualsBruteForce) {
  const std::vector<PT> uniform = MakePoints(3000, 31, 0);
  G3_KDTREE u;
  Fill(&u, uniform, true);
  std::vector<G3_AXIS> axes;
  std::mt19937 rng(6);
  auto rnd = [&rng](double span) { return (rng() / 4294967296.0 - 0.5) * span; };
  for (int i = 0; i < 6; ++i) {
    // Through the points' box, then 260 away from the centre of the box
    // [-100, 100]^3 (half diagonal 173), the origin anywhere along the line.
    axes.emplace_back(G3_POINT(rnd(200), rnd(200), rnd(200)), G3_VECTOR1(rnd(2), rnd(2), rnd(2)));
    const G3_VECTOR1 d(rnd(2), rnd(2), rnd(2));
    const G3_VECTOR s = 260 * G3_VECTOR1(d ^ G3_VECTOR(0.3, -0.7, 0.2));
    axes.emplace_back(G3_POINT(0, 0, 0) + (s + rnd(4e5) * d), d);
  }
  // Parallel to the coordinate axes, and lying in split planes: through the
  // first nodes' points with directions in their cells' faces.
  axes.emplace_back(G3_POINT(3, 150, -2), G3_VECTOR1(1, 0, 0));
  axes.emplace_back(G3_POINT(-120, 7, 40), G3_VECTOR1(0, 0, 1));
  for (const T_NODE n : {u.GetRoot(), u.GetLeftChild(u.GetRoot())}) {
    const G3_POINT p = u.Get(n).point;
    axes.emplace_back(p, G3_VECTOR1(0, 1, 1));
    axes.emplace_back(p + G3_VECTOR(1e-3, 0, 0), G3_VECTOR1(0, 0, 1));
    axes.emplace_back(p, G3_VECTOR1(1, 0, 1));
  }
  for (size_t i = 0; i < axes.size(); ++i) {
    const G3_AXIS& a = axes[i];
    const auto dis = [&a](const PT& x) { return LineDis2(x, a); };
    T_LIST<G3_POINT> got;
    T_LIST<int> ids;
    u.SearchNearest(a, 40, &got, &ids);
    ExpectNearest(uniform, got, ids, 40, dis, 1e-9);
    ASSERT_FALSE(HasFailure()) << "axis " << i;
    int id = -1;
    const G3_POINT& p = u.SearchNearest(a, &id);
    const double best = dis(uniform[ids[0]]);  // the smallest, checked above
    EXPECT_TRUE(uniform[id].P() == p && std::fabs(dis(uniform[id]) - best) <= 1e-9 * (1 + best));
  }
  EXPECT_FALSE(C_ERROR::Is());
}

TEST(G3_KDTREE, NearestToAxisSeesCellsBesideTheLine) {
  // A thin slab of points just below z = 0 under a cloud high above: lines
  // skimming the slab obliquely pass near the middle of its cells' top faces,
  // far from every corner, so only a true line-to-cell distance keeps the
  // slab's points. Once near the origin, once far from it.
  for (const double shift : {0.0, 3e6}) {
    std::vector<PT> pts;
    std::mt19937 rng(12);
    auto rnd = [&rng](double span) { return (rng() / 4294967296.0) * span; };
    for (int i = 0; i < 2000; ++i) {
      const double x = shift + rnd(400), y = rnd(400) - shift;
      pts.push_back({{x, y, shift + (i < 1500 ? -0.01 - rnd(0.02) : 300 + rnd(100))}, i});
    }
    G3_KDTREE t;
    Fill(&t, pts, true);
    for (const G3_VECTOR1& d :
         {G3_VECTOR1(1, 0.3, 0), G3_VECTOR1(-0.2, 1, 0), G3_VECTOR1(1, 1, 0.001)}) {
      const G3_AXIS a(G3_POINT(shift + 200, 200 - shift, shift + 0.2), d);
      T_LIST<G3_POINT> got;
      T_LIST<int> ids;
      t.SearchNearest(a, 5, &got, &ids);
      ExpectNearest(pts, got, ids, 5, [&a](const PT& x) { return LineDis2(x, a); }, 1e-9);
    }
  }
}

TEST(G3_KDTREE, EuclideanSearchGivesEveryPointOnceInOrder) {
  const std::vector<PT> pts = MakePoints(3000, 41, 0);
  G3_KDTREE t, f, e;
  Fill(&t, pts, true);
  // A far point on the face of its cell nearest to the query: its squared
  // distance equals the cell's once 1e-12 is lost to rounding, and it must
  // still come out.
  const std::vector<PT> far = {{{1000, 0, 0}, 0}, {{1000, 1e-6, 0}, 1}, {{1000, 1e-6, 3e-6}, 2}};
  Fill(&f, far, false);
  for (const G3_POINT& q : {G3_POINT(95, -99, 3), G3_POINT(1e4, 2e3, -5e3)}) {
    for (const G3_KDTREE* tree : {&t, &f}) {
      const std::vector<PT>& set = tree == &t ? pts : far;
      T_CONTEXT* c = tree->BeginEuclideanSearch(q);
      // A second search interleaved with the first on the same tree.
      T_CONTEXT* other = tree->BeginEuclideanSearch(G3_POINT(5, 5, 5));
      ASSERT_TRUE(c != nullptr && other != nullptr);
      std::set<int> seen;
      double previous = -1;
      G3_POINT p;
      int id = -1;
      while (tree->SearchEuclideanNearest(c, &p, &id)) {
        ASSERT_TRUE(seen.insert(id).second) << "id given twice: " << id;
        ASSERT_EQ(set[id].P(), p);
        ASSERT_GE(G3_VECTOR(q, p).GetNorm2(), previous);
        previous = G3_VECTOR(q, p).GetNorm2();
        if (seen.size() % 3 == 0) tree->SearchEuclideanNearest(other, nullptr, nullptr);
      }
      EXPECT_EQ(seen.size(), set.size());
      EXPECT_FALSE(tree->SearchEuclideanNearest(c, &p, &id));
      EXPECT_FALSE(tree->SearchEuclideanNearest(c, &p));
      tree->EndEuclideanSearch(c);
      tree->EndEuclideanSearch(other);
    }
  }
  // Empty tree, NaN query, foreign and null contexts give nothing.
  T_CONTEXT* cs[] = {e.BeginEuclideanSearch(G3_POINT(0, 0, 0)),
                     t.BeginEuclideanSearch(G3_POINT(0, kNan, 0)), t.BeginIncrementalSearchTpl(),
                     nullptr};
  int id = -1;
  for (int i = 0; i < 4; ++i) EXPECT_FALSE((i ? t : e).SearchEuclideanNearest(cs[i], nullptr, &id));
  e.EndEuclideanSearch(cs[0]);
  t.EndEuclideanSearch(cs[1]);
  t.EndIncrementalSearchTpl(cs[2]);
  t.EndIncrementalSearchTpl(nullptr);
  t.EndEuclideanSearch(nullptr);
  EXPECT_TRUE(id == -1 && !C_ERROR::Is());
}

TEST(G3_KDTREE, DegenerateDeepTreeIsWalkedWithoutRecursion) {
  // A chain 200000 nodes deep (each point above the previous on every axis,
  // hung as its right child), as single insertions of sorted points would
  // make it; recursion over it would overflow the stack.
  constexpr int kDepth = 200000;
  G3_KDTREE t;
  T_NODE last = t.NewRoot(G3_KDTREE_POINT(G3_POINT(0, 0, 0), 0), true);
  for (int i = 1; i < kDepth; ++i) {
    last = t.AppendRightChild(last, G3_KDTREE_POINT(G3_POINT(i, i, i), i));
  }
  ASSERT_FALSE(C_ERROR::Is());
  T_LIST<G3_POINT> pts;
  T_LIST<int> ids;
  double box[6];
  t.ComputeBox(box);
  EXPECT_TRUE(box[1] == kDepth - 1 && box[4] == 0);
  EXPECT_TRUE(t.Search(G3_BOX(kDepth - 3.5, 1e9, 0, 1e9, 0, 1e9), &pts, &ids, 63));
  EXPECT_EQ(Ids(ids), V({kDepth - 3, kDepth - 2, kDepth - 1}));
  const G3_POINT top(kDepth - 1, kDepth - 1, kDepth - 1);
  t.SearchNearest(top + G3_VECTOR(6, 6, 6), 2, &pts, &ids);
  EXPECT_EQ(Ids(ids), V({kDepth - 1, kDepth - 2}));
  t.SearchNearest(G3_AXIS(G3_POINT(kDepth, kDepth, 0), G3_VECTOR1(0, 0, 1)), 1, &pts, &ids);
  EXPECT_EQ(Ids(ids), V({kDepth - 1}));
  // Deleting near the bottom relinks the last nodes.
  EXPECT_TRUE(t.Delete(top - G3_VECTOR(2, 2, 2), 0) && t.Delete(top, 0));
  EXPECT_EQ(CheckTree(t), kDepth - 3);
  EXPECT_FALSE(C_ERROR::Is());
}
