#include "indexes/g3_rtree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "algebra/g3_axis.h"

namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();

class RtreeTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

G3_BOX Cube(double cx, double cy, double cz, double half = 0.5) {
  return G3_BOX(cx - half, cx + half, cy - half, cy + half, cz - half, cz + half);
}

std::vector<int> Sorted(const T_LIST<int>& l) {
  std::vector<int> v;
  for (int i = 0; i < l.GetNumber(); ++i) v.push_back(l[i]);
  std::sort(v.begin(), v.end());
  return v;
}

std::vector<int> LeafIds(const G3_RTREE_NODE* n) {
  std::vector<int> v;
  for (const G3_RTREE_BRANCH& b : n->branch)
    if (b.child != nullptr) v.push_back(b.GetId());
  return v;
}

// Walks the tree and checks what every node must satisfy; returns the number
// of stored entries, and adds to the node, leaf and slot tallies.
int CheckNode(const G3_RTREE_NODE* n, int level, int* nodes, int* leaves, int* slots) {
  EXPECT_EQ(n->level, level);
  ++*nodes;
  if (level == 0) ++*leaves;
  int used = 0, entries = 0;
  for (const G3_RTREE_BRANCH& b : n->branch) {
    if (b.child == nullptr) continue;
    ++used;
    if (level == 0) {
      ++entries;
      continue;
    }
    // An inner slot's box is exactly the union of its child's boxes.
    G3_BOX cover;
    for (const G3_RTREE_BRANCH& c : b.child->branch)
      if (c.child != nullptr) cover.Unite(c.rect);
    EXPECT_TRUE(cover == b.rect);
    EXPECT_GE(b.child->count, G3_RTREE_MIN_FILL);
    entries += CheckNode(b.child, level - 1, nodes, leaves, slots);
  }
  EXPECT_EQ(n->count, used);
  *slots += used;
  return entries;
}

void CheckCounters(const G3_RTREE& t, int expectedBoxes) {
  int nodes = 0, leaves = 0, slots = 0;
  const G3_RTREE_NODE* root = t.GetRoot();
  ASSERT_NE(root, nullptr);
  const int entries = CheckNode(root, root->level, &nodes, &leaves, &slots);
  EXPECT_EQ(entries, expectedBoxes);
  EXPECT_EQ(t.GetBoxCount(), expectedBoxes);
  EXPECT_EQ(t.GetNodeCount(), nodes);
  EXPECT_EQ(t.GetLeafCount(), leaves);
  EXPECT_EQ(t.GetInnerCount(), nodes - leaves);
  EXPECT_EQ(t.GetBranchCount(), slots);
  EXPECT_LE(nodes, t.GetPoolSize());
}

// Squared distance from a point to a box (0 inside).
double Dist2(const G3_POINT& p, const G3_BOX& b) {
  auto gap = [](double v, double lo, double hi) { return v < lo ? lo - v : (v > hi ? v - hi : 0); };
  const double dx = gap(p.GetCx(), b.GetXmin(), b.GetXmax());
  const double dy = gap(p.GetCy(), b.GetYmin(), b.GetYmax());
  const double dz = gap(p.GetCz(), b.GetZmin(), b.GetZmax());
  return dx * dx + dy * dy + dz * dz;
}

// A fixed-seed source of small boxes in [0, 100]^3 and of queries.
class RandomBoxes {
 public:
  explicit RandomBoxes(unsigned seed) : rng_(seed) {}
  G3_BOX Box(double maxSize) {
    std::uniform_real_distribution<double> pos(0, 100), size(0, maxSize);
    const double x = pos(rng_), y = pos(rng_), z = pos(rng_);
    return G3_BOX(x, x + size(rng_), y, y + size(rng_), z, z + size(rng_));
  }
  G3_AXIS Axis() {
    std::uniform_real_distribution<double> pos(0, 100), dir(-1, 1);
    double a = dir(rng_), b = dir(rng_), c = dir(rng_);
    if (std::fabs(a) + std::fabs(b) + std::fabs(c) < 0.1) a = 1;
    // Every fourth axis runs along a coordinate axis.
    const int k = pick_++ % 4;
    if (k == 1) b = c = 0;
    if (k == 2) a = c = 0;
    if (k == 3) a = b = 0;
    if (std::fabs(a) + std::fabs(b) + std::fabs(c) == 0) c = 1;
    return G3_AXIS(G3_POINT(pos(rng_), pos(rng_), pos(rng_)), G3_VECTOR1(a, b, c));
  }
  int Int(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

 private:
  std::mt19937 rng_;
  int pick_ = 0;
};

std::vector<int> BruteBox(const std::map<int, G3_BOX>& live, const G3_BOX& q) {
  std::vector<int> v;
  for (const auto& [id, b] : live)
    if (b.Clashes(q)) v.push_back(id);
  return v;
}

G3_BOX Flat(const G2_BOX& q) {
  return G3_BOX(q.GetXmin(), q.GetXmax(), q.GetYmin(), q.GetYmax(), -1e300, 1e300);
}

std::vector<int> BrutePlan(const std::map<int, G3_BOX>& live, const G2_BOX& q) {
  return BruteBox(live, Flat(q));
}

std::vector<int> BruteAxis(const std::map<int, G3_BOX>& live, const G3_AXIS& a) {
  std::vector<int> v;
  for (const auto& [id, b] : live)
    if (b.Intersect(a, nullptr)) v.push_back(id);
  return v;
}

void ExpectQueriesMatch(const G3_RTREE& t, const std::map<int, G3_BOX>& live, RandomBoxes* r,
                        int rounds) {
  T_LIST<int> ids;
  for (int k = 0; k < rounds; ++k) {
    const G3_BOX q = r->Box(25);
    t.Intersect(q, &ids);
    ASSERT_EQ(Sorted(ids), BruteBox(live, q));
    const G2_BOX p(q.GetXmin(), q.GetXmax(), q.GetYmin(), q.GetYmax());
    t.Intersect(p, &ids);
    ASSERT_EQ(Sorted(ids), BrutePlan(live, p));
    const G3_AXIS a = r->Axis();
    t.Intersect(a, &ids);
    ASSERT_EQ(Sorted(ids), BruteAxis(live, a));
  }
}

TEST_F(RtreeTest, TheSixthBoxSplitsTheRootLeaf) {
  G3_RTREE t;
  CheckCounters(t, 0);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(t.InsertRect(Cube(2.0 * i, 0, 0), 10 + i));
  EXPECT_EQ(t.GetRoot()->level, 0);
  EXPECT_EQ(t.GetRoot()->count, 5);
  EXPECT_TRUE(t.InsertRect(Cube(10, 0, 0), 15));
  const G3_RTREE_NODE* root = t.GetRoot();
  EXPECT_EQ(root->level, 1);
  EXPECT_EQ(root->count, 2);
  EXPECT_EQ(t.GetHeight(), 1);
  // Seeds on x: the cube at 0 (lowest max) and the cube at 10 (highest min).
  // 2, 4 and 6 cost group 0 less; 8 is forced into group 1, full at 4.
  // Each node takes its group in buffer order: the node's 5 slots, then the
  // new box.
  EXPECT_EQ(LeafIds(root->branch[0].child), (std::vector<int>{10, 11, 12, 13}));
  EXPECT_EQ(LeafIds(root->branch[1].child), (std::vector<int>{14, 15}));
  EXPECT_TRUE(root->branch[0].rect == G3_BOX(-0.5, 6.5, -0.5, 0.5, -0.5, 0.5));
  EXPECT_TRUE(root->branch[1].rect == G3_BOX(7.5, 10.5, -0.5, 0.5, -0.5, 0.5));
  CheckCounters(t, 6);
  EXPECT_EQ(t.GetNodeCount(), 3);
  EXPECT_EQ(t.GetBranchCount(), 8);
  G3_BOX g;
  t.GetGlobalBox(&g);
  EXPECT_TRUE(g == G3_BOX(-0.5, 10.5, -0.5, 0.5, -0.5, 0.5));
}

// Deleting from the small leaf leaves it with one box: the box is reinserted,
// the leaf freed, and the root left with one child hands over to it.
TEST_F(RtreeTest, DeletionCondensesAndShrinksTheTree) {
  G3_RTREE t;
  for (int i = 0; i < 6; ++i) t.InsertRect(Cube(2.0 * i, 0, 0), 10 + i);
  EXPECT_TRUE(t.DeleteRect(14));
  EXPECT_FALSE(C_ERROR::Is());
  const G3_RTREE_NODE* root = t.GetRoot();
  EXPECT_EQ(root->level, 0);
  EXPECT_EQ(LeafIds(root), (std::vector<int>{10, 11, 12, 13, 15}));
  CheckCounters(t, 5);
  EXPECT_EQ(t.GetNodeCount(), 1);
  // Absent ids: false and nothing changes, the deleted one included.
  EXPECT_FALSE(t.DeleteRect(14));
  EXPECT_FALSE(t.DeleteRect(99));
  EXPECT_FALSE(t.DeleteRect(-1));
  CheckCounters(t, 5);
  // Freed nodes are reused before the pool grows.
  const int pool = t.GetPoolSize();
  EXPECT_TRUE(t.InsertRect(Cube(20, 0, 0), 20));
  EXPECT_EQ(t.GetPoolSize(), pool);
  // Down to nothing: the root is an empty leaf again.
  for (int id : {10, 11, 12, 13, 15, 20}) EXPECT_TRUE(t.DeleteRect(id));
  EXPECT_TRUE(t.IsVoid());
  CheckCounters(t, 0);
  EXPECT_EQ(t.GetRoot()->level, 0);
}

TEST_F(RtreeTest, VoidTreeAnswersEmpty) {
  G3_RTREE t;
  T_LIST<int> ids;
  ids.Append(42);
  t.Intersect(G3_BOX(-1e9, 1e9, -1e9, 1e9, -1e9, 1e9), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  ids.Append(42);
  t.Intersect(G2_BOX(-1, 1, -1, 1), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  ids.Append(42);
  t.Intersect(G3_AXIS(G3_POINT(0, 0, 0), G3_VECTOR1(1, 0, 0)), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  G3_BOX g(1, 2, 3, 4, 5, 6);
  t.GetGlobalBox(&g);
  EXPECT_TRUE(g == G3_BOX(1e100, -1e100, 1e100, -1e100, 1e100, -1e100));
  G3_BOX u(1, 2, 3, 4, 5, 6);
  EXPECT_FALSE(t.Union(G2_BOX(-1, 1, -1, 1), &u));
  EXPECT_TRUE(t.IncludeAll(G3_BOX(0, 0, 0, 0, 0, 0)));
  EXPECT_TRUE(t.IncludeAll(G2_BOX(0, 0, 0, 0)));
  EXPECT_FALSE(t.DeleteRect(0));
  EXPECT_FALSE(C_ERROR::Is());
  // Cleared after use, the tree is void again.
  t.InsertRect(Cube(0, 0, 0), 1);
  t.Clear();
  EXPECT_TRUE(t.IsVoid());
  CheckCounters(t, 0);
  t.Intersect(Cube(0, 0, 0), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  EXPECT_FALSE(t.DeleteRect(1));
}

TEST_F(RtreeTest, TouchingCountsAndPlanAndUnionAndIncludeAll) {
  G3_RTREE t;
  t.InsertRect(G3_BOX(0, 1, 0, 1, 0, 1), 1);
  t.InsertRect(G3_BOX(2, 3, 0, 1, 5, 9), 2);
  T_LIST<int> ids;
  // Face, edge and corner contacts all count.
  t.Intersect(G3_BOX(1, 2, 0.2, 0.4, 0.2, 0.4), &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{1}));
  t.Intersect(G3_BOX(1, 2, 1, 2, 1, 5), &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{1, 2}));
  t.Intersect(G3_BOX(1.1, 1.9, 0, 1, 0, 9), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  // In plan z is ignored.
  t.Intersect(G2_BOX(1, 2.5, 0.5, 0.6), &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{1, 2}));
  // Union of the boxes met in plan: full z range, x and y clipped.
  G3_BOX u;
  const G3_RTREE& ct = t;  // queries serve const trees too
  EXPECT_TRUE(ct.Union(G2_BOX(0.5, 2.5, 0.25, 2), &u));
  EXPECT_TRUE(u == G3_BOX(0.5, 2.5, 0.25, 1, 0, 9));
  EXPECT_TRUE(t.Union(G2_BOX(2.5, 10, -1, 10), &u));
  EXPECT_TRUE(u == G3_BOX(2.5, 3, 0, 1, 5, 9));
  EXPECT_FALSE(t.Union(G2_BOX(1.2, 1.8, -5, 5), &u));
  EXPECT_TRUE(t.IncludeAll(G3_BOX(0, 3, 0, 1, 0, 9)));
  EXPECT_FALSE(t.IncludeAll(G3_BOX(0, 3, 0, 1, 0, 8.9)));
  EXPECT_TRUE(t.IncludeAll(G2_BOX(0, 3, 0, 1)));
  EXPECT_FALSE(ct.IncludeAll(G2_BOX(0.1, 3, 0, 1)));
  EXPECT_FALSE(ct.IncludeAll(G3_BOX(0, 3, 0, 1, 0.1, 9)));
  // An axis through both boxes, one past them, one along a face.
  t.Intersect(G3_AXIS(G3_POINT(-5, 0.5, 0.5), G3_VECTOR1(1, 0, 0)), &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{1}));
  t.Intersect(G3_AXIS(G3_POINT(2.5, 0.5, 0), G3_VECTOR1(0, 0, 1)), &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{2}));
  t.Intersect(G3_AXIS(G3_POINT(0, 5, 0), G3_VECTOR1(1, 0, 0)), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
}

// Bad input: the id whose slot value would be null, NaN boxes, NaN queries,
// void boxes and ids stored twice.
TEST_F(RtreeTest, BadInputEndsInAnErrorOrAnEmptyResult) {
  G3_RTREE t;
  EXPECT_FALSE(t.InsertRect(Cube(0, 0, 0), -1));
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
  EXPECT_TRUE(t.IsVoid());
  CheckCounters(t, 0);

  RandomBoxes r(7);
  std::map<int, G3_BOX> live;
  for (int i = 0; i < 400; ++i) {
    live[i] = r.Box(5);
    t.InsertRect(live[i], i);
  }
  // NaN boxes are refused; void and inverted boxes, which the box search of
  // a deletion cannot follow, are still found by their id.
  for (const G3_BOX& nan : {G3_BOX(kNan, 1, 0, 1, 0, 1), G3_BOX(0, 1, 0, 1, 0, kNan)}) {
    EXPECT_FALSE(t.InsertRect(nan, 1000));
    EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
    C_ERROR::ClearPending();
  }
  EXPECT_FALSE(t.DeleteRect(1000));
  CheckCounters(t, 400);
  t.InsertRect(G3_BOX(), 1002);
  t.InsertRect(G3_BOX(5, 4, 5, 4, 5, 4), 1003);
  EXPECT_FALSE(C_ERROR::Is());
  CheckCounters(t, 402);
  for (int id : {1002, 1003}) EXPECT_TRUE(t.DeleteRect(id));
  CheckCounters(t, 400);
  T_LIST<int> ids;
  const G3_BOX all(-1e9, 1e9, -1e9, 1e9, -1e9, 1e9);
  t.Intersect(all, &ids);
  EXPECT_EQ(Sorted(ids), BruteBox(live, all));
  ExpectQueriesMatch(t, live, &r, 30);

  // NaN queries meet nothing.
  t.Intersect(G3_BOX(kNan, 1e9, -1e9, 1e9, -1e9, 1e9), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  t.Intersect(G2_BOX(-1e9, kNan, -1e9, 1e9), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  t.Intersect(G3_AXIS(G3_POINT(kNan, 50, 50), G3_VECTOR1(1, 0, 0)), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  G3_BOX u;
  EXPECT_FALSE(t.Union(G2_BOX(kNan, 1e9, -1e9, 1e9), &u));
  EXPECT_FALSE(C_ERROR::Is());

  // An id stored twice: two entries, the map keeps the last box, and one
  // deletion removes one entry.
  G3_RTREE d;
  d.InsertRect(Cube(0, 0, 0), 7);
  d.InsertRect(Cube(50, 0, 0), 7);
  d.Intersect(all, &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{7, 7}));
  EXPECT_TRUE(d.DeleteRect(7));
  d.Intersect(all, &ids);
  EXPECT_EQ(Sorted(ids), (std::vector<int>{7}));
  EXPECT_FALSE(d.DeleteRect(7));
  CheckCounters(d, 1);
}

// Batches of inserts and deletes on a few thousand random boxes; after each
// batch every query equals brute force and the counters match a walk.
TEST_F(RtreeTest, QueriesEqualBruteForceThroughInsertsAndDeletes) {
  RandomBoxes r(2024);
  G3_RTREE t;
  std::map<int, G3_BOX> live;
  int next = 0;
  for (int batch = 0; batch < 8; ++batch) {
    for (int i = 0; i < 500; ++i) {
      const G3_BOX b = r.Box(batch % 2 == 0 ? 4 : 12);
      live[next] = b;
      t.InsertRect(b, next * 3 - 701);  // negative ids too (never -1)
      ++next;
    }
    // Renumber the map's keys as stored ids.
    std::vector<int> keys;
    for (const auto& kv : live) keys.push_back(kv.first);
    for (int i = 0; i < 200; ++i) {
      const int k = r.Int(int(keys.size()));
      if (live.erase(keys[k]) == 0) continue;
      EXPECT_TRUE(t.DeleteRect(keys[k] * 3 - 701));
    }
    ASSERT_FALSE(C_ERROR::Is());
    std::map<int, G3_BOX> stored;
    for (const auto& [k, b] : live) stored[k * 3 - 701] = b;
    CheckCounters(t, int(stored.size()));
    ExpectQueriesMatch(t, stored, &r, 40);
    // Union and IncludeAll against brute force.
    for (int k = 0; k < 20; ++k) {
      const G3_BOX q = r.Box(30);
      const G2_BOX p(q.GetXmin(), q.GetXmax(), q.GetYmin(), q.GetYmax());
      G3_BOX expected;
      C_BOOL any = false;
      for (const auto& kv : stored)
        if (kv.second.Clashes(Flat(p))) {
          expected.Unite(kv.second);
          any = true;
        }
      G3_BOX u;
      ASSERT_EQ(bool(t.Union(p, &u)), bool(any));
      if (!any) continue;
      expected.SetXmin(std::max(expected.GetXmin(), p.GetXmin()));
      expected.SetXmax(std::min(expected.GetXmax(), p.GetXmax()));
      expected.SetYmin(std::max(expected.GetYmin(), p.GetYmin()));
      expected.SetYmax(std::min(expected.GetYmax(), p.GetYmax()));
      EXPECT_TRUE(u == expected);
    }
    G3_BOX global;
    for (const auto& kv : stored) global.Unite(kv.second);
    G3_BOX g;
    t.GetGlobalBox(&g);
    EXPECT_TRUE(g == global);
    EXPECT_TRUE(t.IncludeAll(global));
    G3_BOX smaller(global);
    smaller.SetZmax(global.GetZmax() - 1e-9);
    EXPECT_FALSE(t.IncludeAll(smaller));
  }
  // Delete everything that is left.
  for (const auto& kv : live) EXPECT_TRUE(t.DeleteRect(kv.first * 3 - 701));
  CheckCounters(t, 0);
  EXPECT_EQ(t.GetHeight(), 0);
}

TEST_F(RtreeTest, CopiesAreIndependent) {
  RandomBoxes r(99);
  G3_RTREE t;
  std::map<int, G3_BOX> live;
  for (int i = 0; i < 600; ++i) {
    live[i] = r.Box(6);
    t.InsertRect(live[i], i);
  }
  for (int i = 0; i < 600; i += 5) t.DeleteRect(i);  // leaves free nodes behind
  for (int i = 0; i < 600; i += 5) live.erase(i);
  G3_RTREE c(t);
  ASSERT_FALSE(C_ERROR::Is());
  CheckCounters(c, int(live.size()));
  EXPECT_EQ(c.GetPoolSize(), t.GetPoolSize());
  // Changing the original leaves the copy as it was, and the other way round.
  std::map<int, G3_BOX> original = live;
  for (int i = 1; i < 600; i += 5) {
    t.DeleteRect(i);
    original.erase(i);
  }
  for (int i = 600; i < 700; ++i) {
    original[i] = r.Box(6);
    t.InsertRect(original[i], i);
  }
  ExpectQueriesMatch(c, live, &r, 20);
  ExpectQueriesMatch(t, original, &r, 20);
  // The copy's free list and map work on their own.
  for (int i = 2; i < 600; i += 5) {
    EXPECT_TRUE(c.DeleteRect(i));
    live.erase(i);
  }
  for (int i = 700; i < 800; ++i) {
    live[i] = r.Box(6);
    c.InsertRect(live[i], i);
  }
  CheckCounters(c, int(live.size()));
  ExpectQueriesMatch(c, live, &r, 20);
  ExpectQueriesMatch(t, original, &r, 20);
  // Assignment, and assignment over a tree that already holds boxes.
  G3_RTREE a;
  a.InsertRect(Cube(0, 0, 0), 5000);
  a = c;
  const G3_RTREE& self = t;
  t = self;
  CheckCounters(a, int(live.size()));
  c.Clear();
  ExpectQueriesMatch(a, live, &r, 20);
  EXPECT_FALSE(a.DeleteRect(5000));
  EXPECT_FALSE(C_ERROR::Is());
}

// A best-first walk stepped by the caller: nodes and boxes keyed by their
// squared distance to a point come out in non-decreasing order, each box once.
TEST_F(RtreeTest, IncrementalSearchReturnsEveryBoxOnceInKeyOrder) {
  G3_RTREE_EndIncrementalSearch(nullptr);
  G3_RTREE empty;
  T_CONTEXT* c0 = G3_RTREE_BeginIncrementalSearch(empty);
  ASSERT_NE(c0, nullptr);
  EXPECT_TRUE(static_cast<G3_RTREE::IncrementalSearchContext*>(c0)->heap->IsVoid());
  G3_RTREE_EndIncrementalSearch(c0);

  RandomBoxes r(5);
  G3_RTREE t;
  std::map<int, G3_BOX> live;
  for (int i = 0; i < 2000; ++i) {
    live[i] = r.Box(5);
    t.InsertRect(live[i], i);
  }
  const G3_POINT p(40, 55, 60);
  T_CONTEXT* c = G3_RTREE_BeginIncrementalSearch(t);
  ASSERT_NE(c, nullptr);
  G3_RTREE::SEARCH_HEAP* heap = static_cast<G3_RTREE::IncrementalSearchContext*>(c)->heap;
  ASSERT_EQ(heap->GetNumber(), 1);
  const G3_RTREE::SEARCH_ENTRY& first = heap->Top();
  EXPECT_EQ(first.value, 0.0);
  EXPECT_EQ(first.node, t.GetRoot());
  EXPECT_FALSE(first.flag);
  EXPECT_EQ(first.index, -1);
  EXPECT_EQ(first.key, 0.0);
  std::vector<int> order;
  double last = -1;
  G3_RTREE::SEARCH_ENTRY e;
  while (!heap->IsVoid()) {
    heap->Pop(&e);
    EXPECT_GE(e.key, last);
    last = e.key;
    if (e.flag) {
      EXPECT_EQ(e.key, Dist2(p, live[e.index]));
      order.push_back(e.index);
      continue;
    }
    for (const G3_RTREE_BRANCH& b : e.node->branch) {
      if (b.child == nullptr) continue;
      G3_RTREE::SEARCH_ENTRY n;
      n.value = n.key = Dist2(p, b.rect);
      n.flag = e.node->level == 0;
      n.node = n.flag ? nullptr : b.child;
      n.index = n.flag ? b.GetId() : -1;
      heap->Push(n);
    }
  }
  EXPECT_FALSE(C_ERROR::Is());
  G3_RTREE_EndIncrementalSearch(c);
  ASSERT_EQ(order.size(), live.size());
  std::set<int> unique(order.begin(), order.end());
  EXPECT_EQ(unique.size(), live.size());
}

}  // namespace
