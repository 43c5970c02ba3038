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

struct PT {
  double x, y, z;
  int id;
};

double Coo(const PT& p, int i) { return i == 0 ? p.x : (i == 1 ? p.y : p.z); }
double Coo(const G3_POINT& p, int i) { return p.GetCi(i); }

// Random points: on an integer grid of the given side (many equal
// coordinates) or, for side 0, uniform in [-100, 100)^3.
std::vector<PT> MakePoints(int n, unsigned seed, int side) {
  std::mt19937 rng(seed);
  std::vector<PT> v;
  for (int i = 0; i < n; ++i) {
    double c[3];
    for (double& x : c) {
      x = side > 0 ? static_cast<double>(rng() % side) : (rng() / 4294967296.0) * 200 - 100;
    }
    v.push_back(PT{c[0], c[1], c[2], i});
  }
  return v;
}

void Fill(G3_KDTREE* t, const std::vector<PT>& pts, C_BOOL bulk) {
  if (bulk) {
    T_LIST<G3_POINT> p;
    T_LIST<int> ids;
    for (const PT& q : pts) {
      p.Append(G3_POINT(q.x, q.y, q.z));
      ids.Append(q.id);
    }
    // A negative tolerance keeps every point, equal ones included.
    t->Insert(p, ids, false, -1);
  } else {
    for (const PT& q : pts) t->Insert(G3_POINT(q.x, q.y, q.z), q.id, false, -1);
  }
  ASSERT_FALSE(C_ERROR::Is());
}

// Every node lies in its cell: below a node split on axis a, the left
// subtree holds coordinates < the node's and the right one coordinates >=.
// Gives the depth of the tree (0 when empty), -1 when the rule is broken or a link is
// inconsistent.
int CheckTree(const G3_KDTREE& t) {
  if (t.IsVoid()) return 0;
  struct STEP {
    T_NODE n;
    int depth;
    double lo[3], hi[3];
    bool hiStrict[3];
  };
  std::vector<STEP> stack;
  STEP first{t.GetRoot(), 0, {}, {}, {}};
  for (int i = 0; i < 3; ++i) {
    first.lo[i] = -std::numeric_limits<double>::infinity();
    first.hi[i] = std::numeric_limits<double>::infinity();
    first.hiStrict[i] = false;
  }
  stack.push_back(first);
  int depth = 0;
  while (!stack.empty()) {
    STEP s = stack.back();
    stack.pop_back();
    depth = std::max(depth, s.depth);
    const G3_POINT& p = t.Get(s.n).GetPoint();
    for (int i = 0; i < 3; ++i) {
      const double c = Coo(p, i);
      if (c < s.lo[i] || c > s.hi[i] || (s.hiStrict[i] && c == s.hi[i])) return -1;
    }
    const int a = s.depth % 3;
    const T_NODE l = t.GetLeftChild(s.n), r = t.GetRightChild(s.n);
    if (!l.IsVoid()) {
      if (t.GetParent(l) != s.n) return -1;
      STEP c = s;
      c.n = l;
      c.depth = s.depth + 1;
      c.hi[a] = Coo(p, a);
      c.hiStrict[a] = true;
      stack.push_back(c);
    }
    if (!r.IsVoid()) {
      if (t.GetParent(r) != s.n) return -1;
      STEP c = s;
      c.n = r;
      c.depth = s.depth + 1;
      c.lo[a] = Coo(p, a);
      stack.push_back(c);
    }
  }
  return depth;
}

std::vector<int> SortedIds(const T_LIST<int>& ids) {
  std::vector<int> v;
  for (int i = 0; i < ids.GetNumber(); ++i) v.push_back(ids[i]);
  std::sort(v.begin(), v.end());
  return v;
}

// Position of every id in the tree's pre-order.
std::map<int, int> PreOrderRanks(const G3_KDTREE& t) {
  std::map<int, int> rank;
  T_LIST<T_NODE> all;
  if (!t.IsVoid()) t.Gather(t.GetRoot(), &all);
  for (int i = 0; i < all.GetNumber(); ++i) rank[t.Get(all[i]).GetId()] = i;
  return rank;
}

double Chebyshev(const PT& p, const G3_POINT& q) {
  return std::max({std::fabs(p.x - q.GetCx()), std::fabs(p.y - q.GetCy()),
                   std::fabs(p.z - q.GetCz())});
}

// Squared distance to the line through o along the unit vector u.
double LineDis2(const PT& p, const G3_POINT& o, const G3_VECTOR1& u) {
  const double dx = p.x - o.GetCx(), dy = p.y - o.GetCy(), dz = p.z - o.GetCz();
  const double cx = dy * u.GetCz() - dz * u.GetCy(), cy = dz * u.GetCx() - dx * u.GetCz(),
               cz = dx * u.GetCy() - dy * u.GetCx();
  return cx * cx + cy * cy + cz * cz;
}

PT ToPt(const G3_POINT& p, int id) { return PT{p.GetCx(), p.GetCy(), p.GetCz(), id}; }

// The result lists hold distinct ids of points of the set, with their true
// coordinates, and their distances are the k smallest of the set in
// non-decreasing order (within rel for rounding; 0 for exact).
template <class DIS>
void ExpectNearest(const std::vector<PT>& pts, const T_LIST<G3_POINT>& got,
                   const T_LIST<int>& ids, int k, DIS dis, double rel) {
  std::map<int, PT> byId;
  for (const PT& p : pts) byId[p.id] = p;
  std::vector<double> all;
  for (const PT& p : pts) all.push_back(dis(p));
  std::sort(all.begin(), all.end());
  ASSERT_EQ(got.GetNumber(), std::min<int>(k, static_cast<int>(pts.size())));
  ASSERT_EQ(ids.GetNumber(), got.GetNumber());
  std::set<int> seen;
  double previous = -1;
  for (int i = 0; i < got.GetNumber(); ++i) {
    ASSERT_TRUE(seen.insert(ids[i]).second) << "id given twice: " << ids[i];
    const PT& p = byId.at(ids[i]);
    ASSERT_EQ(G3_POINT(p.x, p.y, p.z), got[i]);
    const double d = dis(p);
    EXPECT_NEAR(d, all[i], rel * (1 + all[i])) << "rank " << i;
    EXPECT_GE(d, previous - rel * (1 + previous)) << "rank " << i;
    previous = d;
  }
}

std::vector<PT> Live(const std::map<int, PT>& m) {
  std::vector<PT> v;
  for (const auto& e : m) v.push_back(e.second);
  return v;
}

// rank: PreOrderRanks(t).
void ExpectRangeMatches(const G3_KDTREE& t, const std::map<int, int>& rank,
                        const std::vector<PT>& pts, const G3_BOX& box, int mask) {
  const double b[6] = {box.GetXmin(), box.GetXmax(), box.GetYmin(),
                       box.GetYmax(), box.GetZmin(), box.GetZmax()};
  std::vector<int> expected;
  for (const PT& p : pts) {
    bool in = true;
    for (int i = 0; i < 3; ++i) {
      if ((mask & (1 << (2 * i))) && Coo(p, i) < b[2 * i]) in = false;
      if ((mask & (1 << (2 * i + 1))) && Coo(p, i) > b[2 * i + 1]) in = false;
    }
    if (in) expected.push_back(p.id);
  }
  std::sort(expected.begin(), expected.end());
  T_LIST<G3_POINT> got;
  T_LIST<int> ids;
  const C_BOOL found = t.Search(box, &got, &ids, mask);
  ASSERT_EQ(static_cast<bool>(found), !expected.empty()) << "mask " << mask;
  ASSERT_EQ(SortedIds(ids), expected) << "mask " << mask;
  // Visiting order: pre-order of the tree.
  for (int i = 1; i < ids.GetNumber(); ++i) {
    ASSERT_LT(rank.at(ids[i - 1]), rank.at(ids[i])) << "mask " << mask;
  }
}

}  // namespace

TEST(G3_KDTREE, SingleInsertionWalksAndDetectsDuplicatesOnThePath) {
  G3_KDTREE t;
  int existing = 7;
  EXPECT_TRUE(t.Insert(G3_POINT(1, 1, 1), 1, false, 0, &existing));
  EXPECT_EQ(existing, -1);
  // Equal x goes right, smaller x left.
  EXPECT_TRUE(t.Insert(G3_POINT(1, 0, 0), 2, false, 0));
  EXPECT_TRUE(t.Insert(G3_POINT(0, 5, 5), 3, false, 0));
  EXPECT_EQ(t.Get(t.GetRightChild(t.GetRoot())).GetId(), 2);
  EXPECT_EQ(t.Get(t.GetLeftChild(t.GetRoot())).GetId(), 3);

  // A duplicate within tol: kept (false) or replaced (true); the old id is
  // told either way.
  EXPECT_FALSE(t.Insert(G3_POINT(1, 1, 1), 9, false, 0, &existing));
  EXPECT_EQ(existing, 1);
  int id = 0;
  EXPECT_TRUE(t.Search(G3_POINT(1, 1, 1), &id, 0));
  EXPECT_EQ(id, 1);
  existing = 0;
  EXPECT_TRUE(t.Insert(G3_POINT(1, 1, 1.0000001), 9, true, 1e-6, &existing));
  EXPECT_EQ(existing, 1);
  EXPECT_TRUE(t.Search(G3_POINT(1, 1, 1.0000001), &id, 0));
  EXPECT_EQ(id, 9);
  EXPECT_EQ(t.GetNumber(), 3);
  // The bound is non-strict (Chebyshev 0.5 <= 0.5).
  EXPECT_FALSE(t.Insert(G3_POINT(0.5, 5, 5), 4, false, 0.5, &existing));
  EXPECT_EQ(existing, 3);

  // Only the descent path is looked at: (-0.05, 10, 0) lies within 0.1 of the
  // new point but in the other subtree of the root.
  G3_KDTREE u;
  u.Insert(G3_POINT(0, 0, 0), 1, false, 0.1);
  u.Insert(G3_POINT(-0.05, 10, 0), 2, false, 0.1);
  EXPECT_TRUE(u.Insert(G3_POINT(0.01, 10, 0), 3, false, 0.1, &existing));
  EXPECT_EQ(existing, -1);
  EXPECT_EQ(u.GetNumber(), 3);

  // Points that cannot be placed are refused.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(u.Insert(G3_POINT(nan, 0, 0), 5, true, 0.1, &existing));
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
  EXPECT_EQ(existing, -1);
  EXPECT_FALSE(u.Insert(G3_POINT(0, -inf, 0), 5, true, 0.1));
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
  EXPECT_EQ(u.GetNumber(), 3);
  EXPECT_GE(CheckTree(u), 0);
}

TEST(G3_KDTREE, BulkInsertionBalancesAnEmptyTreeOnly) {
  // Seven points with distinct coordinates: a full tree of depth 2 whose
  // root is the median on x, its children the medians on y of each half.
  const std::vector<PT> seven = {{6, 2, 9, 0}, {2, 5, 3, 1}, {4, 0, 7, 2}, {0, 6, 1, 3},
                                 {5, 3, 2, 4}, {1, 1, 8, 5}, {3, 4, 0, 6}};
  G3_KDTREE t;
  Fill(&t, seven, true);
  EXPECT_EQ(CheckTree(t), 2);
  const T_NODE root = t.GetRoot();
  EXPECT_EQ(t.Get(root).GetId(), 6);                  // x = 3
  EXPECT_EQ(t.Get(t.GetLeftChild(root)).GetId(), 1);  // y of {0, 1, 2}: 5
  EXPECT_EQ(t.Get(t.GetRightChild(root)).GetId(), 0);  // y of {4, 5, 6}: 2

  // Eight points: the lower median on x goes to the root.
  std::vector<PT> eight;
  for (int i = 0; i < 8; ++i) eight.push_back(PT{double((i * 5) % 8), double(i), 0, i});
  G3_KDTREE e;
  Fill(&e, eight, true);
  EXPECT_EQ(t.Get(t.GetRoot()).GetPoint().GetCx(), 3);
  EXPECT_EQ(e.Get(e.GetRoot()).GetPoint().GetCx(), 3);
  EXPECT_EQ(CheckTree(e), 3);

  // Into a non-empty tree the points go one by one in list order: a chain.
  G3_KDTREE c;
  c.Insert(G3_POINT(10, 0, 0), 0, false, 0);
  Fill(&c, {{5, 0, 0, 1}, {3, 0, 0, 2}, {4, 0, 0, 3}}, true);
  T_NODE n = c.GetLeftChild(c.GetRoot());
  EXPECT_EQ(c.Get(n).GetId(), 1);
  n = c.GetRightChild(n);
  EXPECT_EQ(c.Get(n).GetId(), 2);
  n = c.GetRightChild(n);
  EXPECT_EQ(c.Get(n).GetId(), 3);

  // A large set stays balanced: depth ceil(log2(n + 1)) - 1 with distinct
  // coordinates.
  G3_KDTREE big;
  Fill(&big, MakePoints(4095, 3, 0), true);
  EXPECT_EQ(CheckTree(big), 11);

  // Bad lists insert nothing.
  G3_KDTREE b;
  T_LIST<G3_POINT> pts;
  T_LIST<int> ids;
  ids.Append(1);
  b.Insert(pts, ids, false, 0);  // empty points: nothing, no error
  EXPECT_FALSE(C_ERROR::Is());
  pts.Append(G3_POINT(1, 2, 3));
  pts.Append(G3_POINT(4, 5, 6));
  b.Insert(pts, ids, false, 0);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInternalError);
  C_ERROR::ClearPending();
  EXPECT_TRUE(b.IsVoid());
  ids.Append(2);
  pts.Append(G3_POINT(std::numeric_limits<double>::quiet_NaN(), 0, 0));
  ids.Append(3);
  b.Insert(pts, ids, false, 0);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
  EXPECT_TRUE(b.IsVoid());

  // Duplicates within tol in one list: the first inserted is kept.
  T_LIST<G3_POINT> dp;
  T_LIST<int> di;
  for (const PT& p : MakePoints(500, 5, 4)) {
    dp.Append(G3_POINT(p.x, p.y, p.z));
    di.Append(p.id);
  }
  G3_KDTREE dd;
  dd.Insert(dp, di, false, 0);
  T_LIST<G3_POINT> kept;
  dd.GetPoints(&kept);
  std::set<std::vector<double>> distinct;
  for (const PT& p : MakePoints(500, 5, 4)) distinct.insert({p.x, p.y, p.z});
  EXPECT_EQ(kept.GetNumber(), static_cast<int>(distinct.size()));
  EXPECT_GE(CheckTree(dd), 0);
}

TEST(G3_KDTREE, DeletionRelinksNodesAndKeepsSlots) {
  // The root with a left subtree only: the subtree's minimum on x takes its
  // place.
  G3_KDTREE t;
  t.Insert(G3_POINT(10, 0, 0), 0, false, 0);
  t.Insert(G3_POINT(5, 1, 0), 1, false, 0);
  t.Insert(G3_POINT(7, -1, 0), 2, false, 0);
  t.Insert(G3_POINT(3, 2, 0), 3, false, 0);
  t.Insert(G3_POINT(4, 0, 1), 4, false, 0);
  EXPECT_TRUE(t.Delete(G3_POINT(10, 0, 0), 0));
  EXPECT_EQ(t.Get(t.GetRoot()).GetId(), 3);
  EXPECT_GE(CheckTree(t), 0);
  T_LIST<G3_POINT> left;
  t.GetPoints(&left);
  EXPECT_EQ(left.GetNumber(), 4);
  EXPECT_EQ(t.GetNumber(), 5);  // slots are kept
  EXPECT_FALSE(t.Delete(G3_POINT(10, 0, 0), 0));
  EXPECT_FALSE(t.Search(G3_POINT(10, 0, 0), nullptr, 0));

  G3_KDTREE three;
  three.Insert(G3_POINT(0, 0, 0), 0, false, 0);
  three.Insert(G3_POINT(1, 0, 0), 1, false, 0);
  three.Insert(G3_POINT(2, 0, 0), 2, false, 0);
  EXPECT_TRUE(three.Delete(G3_POINT(1, 0, 0), 0));
  EXPECT_EQ(three.GetNumber(), 3);

  // A node already out of the tree cannot be deleted again: that would
  // hang a void root in place of the whole tree.
  G3_KDTREE::KDTREE& raw = three;
  const T_NODE gone(1);
  raw.Delete(gone);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrTreeInvalidNode);
  C_ERROR::ClearPending();
  raw.Delete(T_NODE(3));
  EXPECT_EQ(C_ERROR::GetPending(), &TerrTreeInvalidNode);
  C_ERROR::ClearPending();
  T_LIST<G3_POINT> rest;
  three.GetPoints(&rest);
  EXPECT_EQ(rest.GetNumber(), 2);

  // Deleting every point, root last or not, empties the tree.
  G3_KDTREE all;
  const std::vector<PT> pts = MakePoints(300, 11, 6);
  Fill(&all, pts, false);
  for (const PT& p : pts) ASSERT_TRUE(all.Delete(G3_POINT(p.x, p.y, p.z), 0));
  EXPECT_TRUE(all.IsVoid());
  all.Clear();
  EXPECT_EQ(all.GetNumber(), 0);
}

TEST(G3_KDTREE, RangeSearchEqualsBruteForceForEveryMask) {
  const std::vector<PT> pts = MakePoints(3000, 1, 20);
  G3_KDTREE bulk, single;
  Fill(&bulk, pts, true);
  Fill(&single, MakePoints(3000, 1, 20), false);
  ASSERT_GE(CheckTree(bulk), 0);
  ASSERT_GE(CheckTree(single), 0);
  const std::map<int, int> bulkRank = PreOrderRanks(bulk), singleRank = PreOrderRanks(single);
  std::mt19937 rng(2);
  for (int mask = 0; mask < 64; ++mask) {
    for (int trial = 0; trial < 4; ++trial) {
      double b[6];
      for (int i = 0; i < 3; ++i) {
        const double a = double(rng() % 24) - 2, c = double(rng() % 24) - 2;
        b[2 * i] = std::min(a, c);
        b[2 * i + 1] = std::max(a, c);
      }
      const G3_BOX box(b[0], b[1], b[2], b[3], b[4], b[5]);
      ExpectRangeMatches(bulk, bulkRank, pts, box, mask);
      ExpectRangeMatches(single, singleRank, pts, box, mask);
      // Bits above the sixth are ignored.
      ExpectRangeMatches(bulk, bulkRank, pts, box, mask | (trial << 6));
    }
  }

  // Only the x lower bound active: the other values do not matter.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ExpectRangeMatches(bulk, bulkRank, pts, G3_BOX(12, nan, 50, -50, nan, nan), 1);
  // An inverted box finds nothing and leaves the lists as they were.
  T_LIST<G3_POINT> got;
  T_LIST<int> ids;
  got.Append(G3_POINT(1, 2, 3));
  EXPECT_FALSE(bulk.Search(G3_BOX(5, 4, 0, 20, 0, 20), &got, &ids, 63));
  EXPECT_EQ(got.GetNumber(), 1);
  // Results are appended to what the lists hold.
  EXPECT_TRUE(bulk.Search(G3_BOX(0, 20, 0, 20, 0, 20), &got, &ids, 63));
  EXPECT_EQ(got.GetNumber(), 3001);
  EXPECT_EQ(ids.GetNumber(), 3000);
  // An active NaN bound admits no point; an empty tree finds nothing.
  EXPECT_FALSE(bulk.Search(G3_BOX(nan, 20, 0, 20, 0, 20), &got, nullptr, 63));
  G3_KDTREE empty;
  EXPECT_FALSE(empty.Search(G3_BOX(0, 20, 0, 20, 0, 20), &got, &ids, 63));
  EXPECT_FALSE(C_ERROR::Is());

  // A point on an active upper bound, in the node and in its right subtree.
  G3_KDTREE edge;
  edge.Insert(G3_POINT(1, 0, 0), 0, false, 0);
  edge.Insert(G3_POINT(1, 5, 0), 1, false, 0);
  T_LIST<int> both;
  EXPECT_TRUE(edge.Search(G3_BOX(0, 1, 0, 0, 0, 0), nullptr, &both, 2));
  EXPECT_EQ(SortedIds(both), (std::vector<int>{0, 1}));
}

TEST(G3_KDTREE, LookupsAndDeletionsKeepTheTreeExact) {
  const std::vector<PT> pts = MakePoints(2000, 4, 12);
  for (C_BOOL bulk : {true, false}) {
    G3_KDTREE t;
    Fill(&t, pts, bulk);
    std::map<int, PT> live;
    for (const PT& p : pts) live[p.id] = p;
    std::mt19937 rng(bulk ? 9 : 10);
    std::vector<PT> order = pts;
    std::shuffle(order.begin(), order.end(), rng);
    size_t next = 0;
    while (next < order.size()) {
      for (int k = 0; k < 250 && next < order.size(); ++k, ++next) {
        // Each visit deletes one point at its place: a place holding m points
        // is visited m times, so a live point is always there to be found.
        const PT& p = order[next];
        const G3_POINT q(p.x, p.y, p.z);
        int id = -1;
        ASSERT_TRUE(t.Search(q, &id, 0));
        ASSERT_EQ(live.count(id), 1u);
        ASSERT_EQ(G3_POINT(live[id].x, live[id].y, live[id].z), q);
        ASSERT_TRUE(t.Delete(q, 0));
        live.erase(id);
      }
      const std::vector<PT> rest = Live(live);
      ASSERT_GE(CheckTree(t), 0) << "after " << next << " deletions";
      T_LIST<G3_POINT> all;
      t.GetPoints(&all);
      ASSERT_EQ(all.GetNumber(), static_cast<int>(rest.size()));
      const std::map<int, int> rank = PreOrderRanks(t);
      for (int mask : {63, 5, 42, 17}) {
        ExpectRangeMatches(t, rank, rest, G3_BOX(2, 9, 1, 7, 3, 11), mask);
      }
      for (const PT& p : rest) {
        int id = -1;
        ASSERT_TRUE(t.Search(G3_POINT(p.x, p.y, p.z), &id, 0));
        ASSERT_EQ(live.count(id), 1u);
      }
      if (!rest.empty()) {
        const G3_POINT q(5.5, 6.25, 4.75);
        T_LIST<G3_POINT> near;
        T_LIST<int> ids;
        t.SearchNearest(q, 20, &near, &ids);
        ExpectNearest(rest, near, ids, 20, [&](const PT& p) { return Chebyshev(p, q); }, 0);
      }
    }
    EXPECT_TRUE(t.IsVoid());
    EXPECT_EQ(t.GetNumber(), 2000);
  }
}

TEST(G3_KDTREE, NearestToPointEqualsBruteForce) {
  const std::vector<PT> uniform = MakePoints(3000, 21, 0);
  const std::vector<PT> grid = MakePoints(3000, 22, 9);
  G3_KDTREE u, g;
  Fill(&u, uniform, true);
  Fill(&g, grid, false);
  std::mt19937 rng(5);
  for (int q = 0; q < 40; ++q) {
    const double span = q % 4 == 0 ? 400 : 220;
    const G3_POINT p((rng() / 4294967296.0 - 0.5) * span, (rng() / 4294967296.0 - 0.5) * span,
                     (rng() / 4294967296.0 - 0.5) * span);
    for (int k : {1, 2, 10, 57}) {
      T_LIST<G3_POINT> got;
      T_LIST<int> ids;
      u.SearchNearest(p, k, &got, &ids);
      ExpectNearest(uniform, got, ids, k, [&](const PT& x) { return Chebyshev(x, p); }, 0);
      // Many equal distances on the grid.
      const G3_POINT pg(std::round(p.GetCx() / 25) + 4, std::round(p.GetCy() / 25) + 4,
                        std::round(p.GetCz() / 25) + 4);
      g.SearchNearest(pg, k, &got, &ids);
      ExpectNearest(grid, got, ids, k, [&](const PT& x) { return Chebyshev(x, pg); }, 0);
    }
    int id = -1;
    const G3_POINT& nearest = u.SearchNearest(p, &id);
    double best = 1e300;
    for (const PT& x : uniform) best = std::min(best, Chebyshev(x, p));
    EXPECT_EQ(Chebyshev(ToPt(nearest, id), p), best);
    EXPECT_EQ(G3_POINT(uniform[id].x, uniform[id].y, uniform[id].z), nearest);
  }
  EXPECT_FALSE(C_ERROR::Is());
}

TEST(G3_KDTREE, NearestSearchesEdgeCases) {
  const std::vector<PT> pts = MakePoints(50, 8, 0);
  G3_KDTREE t;
  Fill(&t, pts, false);
  T_LIST<G3_POINT> got, preorder;
  T_LIST<int> ids;
  t.GetPoints(&preorder);
  const G3_AXIS axis(G3_POINT(1, 2, 3), G3_VECTOR1(1, 1, 0));

  // k = 0 empties the lists and finds nothing.
  got.Append(G3_POINT(1, 1, 1));
  ids.Append(4);
  t.SearchNearest(G3_POINT(0, 0, 0), 0, &got, &ids);
  EXPECT_TRUE(got.IsVoid());
  EXPECT_TRUE(ids.IsVoid());
  t.SearchNearest(axis, -3, &got, &ids);
  EXPECT_TRUE(got.IsVoid());
  // k at least the number of points: all of them, in pre-order.
  for (int k : {50, 1000}) {
    t.SearchNearest(G3_POINT(0, 0, 0), k, &got, nullptr);
    EXPECT_EQ(got, preorder);
    t.SearchNearest(axis, k, &got, &ids);
    EXPECT_EQ(got, preorder);
    EXPECT_EQ(ids.GetNumber(), 50);
  }

  // Queries with NaN find nothing; the single forms raise TerrListNotFound.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  t.SearchNearest(G3_POINT(nan, 0, 0), 3, &got, &ids);
  EXPECT_TRUE(got.IsVoid());
  t.SearchNearest(G3_AXIS(G3_POINT(0, nan, 0), G3_VECTOR1(0, 0, 1)), 3, &got, &ids);
  EXPECT_TRUE(got.IsVoid());
  EXPECT_FALSE(C_ERROR::Is());
  int id = 5;
  EXPECT_EQ(t.SearchNearest(G3_POINT(0, 0, nan), &id), G3_POINT::P0);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListNotFound);
  C_ERROR::ClearPending();
  EXPECT_EQ(id, 5);

  // An empty tree.
  G3_KDTREE e;
  e.SearchNearest(G3_POINT(0, 0, 0), 3, &got, &ids);
  EXPECT_TRUE(got.IsVoid());
  e.SearchNearest(axis, 3, &got, &ids);
  EXPECT_TRUE(got.IsVoid());
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_EQ(e.SearchNearest(G3_POINT(0, 0, 0), &id), G3_POINT::P0);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListNotFound);
  C_ERROR::ClearPending();
  EXPECT_EQ(e.SearchNearest(axis, &id), G3_POINT::P0);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListNotFound);
  C_ERROR::ClearPending();
  EXPECT_TRUE(e.KDTREE::SearchNearest(G3_KDTREE_POINT()).IsVoid());

  // A single point is its own nearest.
  G3_KDTREE one;
  one.Insert(G3_POINT(4, 5, 6), 42, false, 0);
  EXPECT_EQ(one.SearchNearest(G3_POINT(100, 0, 0), &id), G3_POINT(4, 5, 6));
  EXPECT_EQ(id, 42);
  EXPECT_EQ(one.SearchNearest(axis, &id), G3_POINT(4, 5, 6));
}

TEST(G3_KDTREE, NearestToAxisEqualsBruteForce) {
  const std::vector<PT> uniform = MakePoints(3000, 31, 0);
  const std::vector<PT> grid = MakePoints(3000, 32, 15);
  G3_KDTREE u, g;
  Fill(&u, uniform, true);
  Fill(&g, grid, false);
  std::vector<G3_AXIS> axes;
  std::mt19937 rng(6);
  auto rnd = [&rng](double span) { return (rng() / 4294967296.0 - 0.5) * span; };
  // Through the points' box, and passing outside it (far origins included).
  for (int i = 0; i < 12; ++i) {
    axes.emplace_back(G3_POINT(rnd(200), rnd(200), rnd(200)),
                      G3_VECTOR1(rnd(2), rnd(2), rnd(2)));
  }
  for (int i = 0; i < 12; ++i) {
    // 260 away from the centre of the box [-100, 100]^3 (half diagonal 173),
    // the origin anywhere along the line.
    const G3_VECTOR1 d(rnd(2), rnd(2), rnd(2));
    const G3_VECTOR1 s(d ^ G3_VECTOR(0.3, -0.7, 0.2));
    const double far = rnd(4e5);
    axes.emplace_back(G3_POINT(s.GetCx() * 260 + far * d.GetCx(), s.GetCy() * 260 + far * d.GetCy(),
                               s.GetCz() * 260 + far * d.GetCz()),
                      d);
  }
  // Parallel to the coordinate axes, and lying in split planes: through the
  // first nodes' points with directions in their cells' faces.
  axes.emplace_back(G3_POINT(3, 150, -2), G3_VECTOR1(1, 0, 0));
  axes.emplace_back(G3_POINT(-120, 7, 40), G3_VECTOR1(0, 0, 1));
  for (const G3_KDTREE* t : {&u, &g}) {
    std::vector<T_NODE> nodes = {t->GetRoot(), t->GetLeftChild(t->GetRoot()),
                                 t->GetRightChild(t->GetRoot())};
    for (const T_NODE n : nodes) {
      const G3_POINT p = t->Get(n).GetPoint();
      axes.emplace_back(p, G3_VECTOR1(0, 1, 1));
      axes.emplace_back(G3_POINT(p.GetCx(), p.GetCy() + 0.5, p.GetCz()), G3_VECTOR1(0, 1, -1));
      axes.emplace_back(G3_POINT(p.GetCx() + 1e-3, p.GetCy(), p.GetCz()), G3_VECTOR1(0, 0, 1));
      axes.emplace_back(p, G3_VECTOR1(1, 0, 1));
    }
  }
  for (size_t i = 0; i < axes.size(); ++i) {
    const G3_AXIS& a = axes[i];
    for (int k : {1, 7, 40}) {
      T_LIST<G3_POINT> got;
      T_LIST<int> ids;
      u.SearchNearest(a, k, &got, &ids);
      ExpectNearest(uniform, got, ids, k,
                    [&](const PT& x) { return LineDis2(x, a.GetPo(), a.GetVx()); }, 1e-9);
      g.SearchNearest(a, k, &got, &ids);
      ExpectNearest(grid, got, ids, k,
                    [&](const PT& x) { return LineDis2(x, a.GetPo(), a.GetVx()); }, 1e-9);
      if (HasFailure()) {
        ADD_FAILURE() << "axis " << i << " k " << k;
        return;
      }
    }
    int id = -1;
    const G3_POINT& p = u.SearchNearest(a, &id);
    double best = 1e300;
    for (const PT& x : uniform) best = std::min(best, LineDis2(x, a.GetPo(), a.GetVx()));
    EXPECT_NEAR(LineDis2(ToPt(p, id), a.GetPo(), a.GetVx()), best, 1e-9 * (1 + best));
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
    for (int i = 0; i < 1500; ++i) {
      pts.push_back(PT{shift + rnd(400), rnd(400) - shift, shift - 0.01 - rnd(0.02), i});
    }
    for (int i = 1500; i < 2000; ++i) {
      pts.push_back(PT{shift + rnd(400), rnd(400) - shift, shift + 300 + rnd(100), i});
    }
    G3_KDTREE t;
    Fill(&t, pts, true);
    for (const G3_VECTOR1& d :
         {G3_VECTOR1(1, 0.3, 0), G3_VECTOR1(-0.2, 1, 0), G3_VECTOR1(1, 1, 0.001)}) {
      const G3_AXIS a(G3_POINT(shift + 200, 200 - shift, shift + 0.2), d);
      T_LIST<G3_POINT> got;
      T_LIST<int> ids;
      t.SearchNearest(a, 5, &got, &ids);
      ExpectNearest(pts, got, ids, 5,
                    [&](const PT& x) { return LineDis2(x, a.GetPo(), a.GetVx()); }, 1e-9);
    }
  }
}

TEST(G3_KDTREE, EuclideanSearchGivesEveryPointOnceInOrder) {
  const std::vector<PT> pts = MakePoints(3000, 41, 0);
  const std::vector<PT> grid = MakePoints(1500, 42, 7);
  G3_KDTREE t, g;
  Fill(&t, pts, true);
  Fill(&g, grid, false);
  for (const G3_POINT& q : {G3_POINT(0, 0, 0), G3_POINT(95, -99, 3), G3_POINT(1e4, 2e3, -5e3)}) {
    for (const G3_KDTREE* tree : {&t, &g}) {
      const std::vector<PT>& set = tree == &t ? pts : grid;
      T_CONTEXT* c = tree->BeginEuclideanSearch(q);
      ASSERT_NE(c, nullptr);
      // A second search interleaved with the first on the same tree.
      T_CONTEXT* other = tree->BeginEuclideanSearch(G3_POINT(5, 5, 5));
      std::set<int> seen;
      double previous = -1;
      G3_POINT p;
      int id = -1;
      while (tree->SearchEuclideanNearest(c, &p, &id)) {
        ASSERT_TRUE(seen.insert(id).second) << "id given twice: " << id;
        const PT& x = set[id];
        ASSERT_EQ(G3_POINT(x.x, x.y, x.z), p);
        const double d = (x.x - q.GetCx()) * (x.x - q.GetCx()) +
                         (x.y - q.GetCy()) * (x.y - q.GetCy()) +
                         (x.z - q.GetCz()) * (x.z - q.GetCz());
        ASSERT_GE(d, previous);
        previous = d;
        if (seen.size() % 3 == 0) tree->SearchEuclideanNearest(other, nullptr, nullptr);
      }
      EXPECT_EQ(seen.size(), set.size());
      EXPECT_FALSE(tree->SearchEuclideanNearest(c, &p, &id));
      EXPECT_FALSE(tree->SearchEuclideanNearest(c, nullptr, nullptr));
      tree->EndEuclideanSearch(c);
      tree->EndEuclideanSearch(other);
    }
  }

  // A far point on the face of its cell nearest to the query: its squared
  // distance equals the cell's once 1e-12 is lost to rounding, and it must
  // still come out.
  G3_KDTREE f;
  f.Insert(G3_POINT(1000, 0, 0), 1, false, 0);
  f.Insert(G3_POINT(1000, 1e-6, 0), 2, false, 0);
  f.Insert(G3_POINT(1000, 1e-6, 3e-6), 3, false, 0);
  T_CONTEXT* c = f.BeginEuclideanSearch(G3_POINT(0, 0, 0));
  std::vector<int> order;
  int id = 0;
  while (f.SearchEuclideanNearest(c, nullptr, &id)) order.push_back(id);
  f.EndEuclideanSearch(c);
  std::sort(order.begin(), order.end());
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

  // Empty tree, NaN query, foreign and null contexts.
  G3_KDTREE e;
  c = e.BeginEuclideanSearch(G3_POINT(0, 0, 0));
  ASSERT_NE(c, nullptr);
  EXPECT_FALSE(e.SearchEuclideanNearest(c, nullptr, &id));
  e.EndEuclideanSearch(c);
  c = t.BeginEuclideanSearch(G3_POINT(0, std::numeric_limits<double>::quiet_NaN(), 0));
  EXPECT_FALSE(t.SearchEuclideanNearest(c, nullptr, &id));
  t.EndEuclideanSearch(c);
  T_CONTEXT* inner = t.BeginIncrementalSearchTpl();
  EXPECT_FALSE(t.SearchEuclideanNearest(inner, nullptr, &id));
  t.EndIncrementalSearchTpl(inner);
  t.EndIncrementalSearchTpl(nullptr);
  t.EndEuclideanSearch(nullptr);
  EXPECT_FALSE(t.SearchEuclideanNearest(nullptr, nullptr, &id));
  EXPECT_FALSE(C_ERROR::Is());
}

TEST(G3_KDTREE, CopiesAndBoxesAreIndependentOfTheSource) {
  const std::vector<PT> pts = MakePoints(500, 51, 0);
  G3_KDTREE t(600);
  Fill(&t, pts, true);
  G3_KDTREE copy(t);
  G3_KDTREE assigned;
  assigned.Insert(G3_POINT(1, 2, 3), 0, false, 0);
  assigned = t;
  for (const PT& p : pts) ASSERT_TRUE(t.Delete(G3_POINT(p.x, p.y, p.z), 0));
  EXPECT_TRUE(t.IsVoid());
  for (const G3_KDTREE* c : {&copy, &assigned}) {
    T_LIST<G3_POINT> all;
    c->GetPoints(&all);
    EXPECT_EQ(all.GetNumber(), 500);
    double box[6];
    c->ComputeBox(box);
    for (int i = 0; i < 3; ++i) {
      double lo = 1e300, hi = -1e300;
      for (const PT& p : pts) {
        lo = std::min(lo, Coo(p, i));
        hi = std::max(hi, Coo(p, i));
      }
      EXPECT_EQ(box[2 * i], lo);
      EXPECT_EQ(box[2 * i + 1], hi);
    }
  }
  double untouched[6] = {7, 7, 7, 7, 7, 7};
  t.ComputeBox(untouched);
  EXPECT_EQ(untouched[0], 7);
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
  t.GetPoints(&pts);
  EXPECT_EQ(pts.GetNumber(), kDepth);
  double box[6];
  t.ComputeBox(box);
  EXPECT_EQ(box[1], kDepth - 1);
  EXPECT_EQ(box[4], 0);
  EXPECT_TRUE(t.Search(G3_BOX(kDepth - 3.5, 1e9, 0, 1e9, 0, 1e9), &pts, &ids, 63));
  EXPECT_EQ(SortedIds(ids), (std::vector<int>{kDepth - 3, kDepth - 2, kDepth - 1}));
  int id = -1;
  EXPECT_TRUE(t.Search(G3_POINT(kDepth - 1, kDepth - 1, kDepth - 1), &id, 0));
  EXPECT_EQ(id, kDepth - 1);

  t.SearchNearest(G3_POINT(kDepth + 5.0, kDepth + 5.0, kDepth + 5.0), 2, &pts, &ids);
  EXPECT_EQ(ids.GetNumber(), 2);
  EXPECT_EQ(ids[0], kDepth - 1);
  t.SearchNearest(G3_AXIS(G3_POINT(kDepth, kDepth, 0), G3_VECTOR1(0, 0, 1)), 1, &pts, &ids);
  EXPECT_EQ(ids[0], kDepth - 1);
  T_CONTEXT* c = t.BeginEuclideanSearch(G3_POINT(kDepth + 1.0, kDepth + 1.0, kDepth + 1.0));
  for (int k = 1; k <= 3; ++k) {
    ASSERT_TRUE(t.SearchEuclideanNearest(c, nullptr, &id));
    EXPECT_EQ(id, kDepth - k);
  }
  t.EndEuclideanSearch(c);

  // Deleting near the bottom relinks the last nodes.
  EXPECT_TRUE(t.Delete(G3_POINT(kDepth - 3, kDepth - 3, kDepth - 3), 0));
  EXPECT_TRUE(t.Delete(G3_POINT(kDepth - 1, kDepth - 1, kDepth - 1), 0));
  t.GetPoints(&pts);
  EXPECT_EQ(pts.GetNumber(), kDepth - 2);
  EXPECT_EQ(CheckTree(t), kDepth - 3);
  EXPECT_FALSE(C_ERROR::Is());
}
