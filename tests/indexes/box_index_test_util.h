#ifndef G3GEOM_TESTS_INDEXES_BOX_INDEX_TEST_UTIL_H
#define G3GEOM_TESTS_INDEXES_BOX_INDEX_TEST_UTIL_H

// Brute-force references shared by the tests of the box indexes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "algebra/g3_axis.h"
#include "containers/t_list.h"
#include "volumes/g2_box.h"
#include "volumes/g3_box.h"

inline std::vector<int> Sorted(const T_LIST<int>& l) {
  std::vector<int> v(size_t(l.GetNumber()));
  for (int i = 0; i < l.GetNumber(); ++i) v[size_t(i)] = l[i];
  std::sort(v.begin(), v.end());
  return v;
}

// Squared distance from a point to a box (0 inside).
inline double Dist2(const G3_POINT& p, const G3_BOX& b) {
  auto gap = [](double v, double lo, double hi) { return v < lo ? lo - v : (v > hi ? v - hi : 0); };
  const double dx = gap(p.GetCx(), b.GetXmin(), b.GetXmax());
  const double dy = gap(p.GetCy(), b.GetYmin(), b.GetYmax());
  const double dz = gap(p.GetCz(), b.GetZmin(), b.GetZmax());
  return dx * dx + dy * dy + dz * dz;
}

// A box in [0, 100]^3 with sides up to maxSize.
inline G3_BOX RandomBox(std::mt19937* rng, double maxSize) {
  std::uniform_real_distribution<double> pos(0, 100), size(0, maxSize);
  const double x = pos(*rng), y = pos(*rng), z = pos(*rng);
  return G3_BOX(x, x + size(*rng), y, y + size(*rng), z, z + size(*rng));
}

inline bool HasNan(const G3_BOX& b) {
  return std::isnan(b.GetXmin()) || std::isnan(b.GetXmax()) || std::isnan(b.GetYmin()) ||
         std::isnan(b.GetYmax()) || std::isnan(b.GetZmin()) || std::isnan(b.GetZmax());
}

inline const G3_BOX& BoxOf(const std::map<int, G3_BOX>& boxes, int id) { return boxes.at(id); }
inline const G3_BOX& BoxOf(const T_LIST<G3_BOX>& boxes, int id) { return boxes[id]; }

// The ids, ascending, of the boxes that meets accepts: map keys, or
// positions in a list.
template <class MEETS>
std::vector<int> Brute(const std::map<int, G3_BOX>& boxes, MEETS meets) {
  std::vector<int> v;
  for (const auto& [id, b] : boxes)
    if (meets(b)) v.push_back(id);
  return v;
}
template <class MEETS>
std::vector<int> Brute(const T_LIST<G3_BOX>& boxes, MEETS meets) {
  std::vector<int> v;
  for (int i = 0; i < boxes.GetNumber(); ++i)
    if (meets(boxes[i])) v.push_back(i);
  return v;
}

// An index holding no box: every query empties its list and finds nothing,
// no union, everything included.
template <class INDEX>
void ExpectEmptyAnswers(const INDEX& index) {
  for (int k = 0; k < 3; ++k) {
    T_LIST<int> ids;
    ids.Append(42);
    if (k == 0) index.Intersect(G3_BOX(-1e9, 1e9, -1e9, 1e9, -1e9, 1e9), &ids);
    if (k == 1) index.Intersect(G2_BOX(-1, 1, -1, 1), &ids);
    if (k == 2) index.Intersect(G3_AXIS(G3_POINT(0, 0, 0), G3_VECTOR1(1, 0, 0)), &ids);
    EXPECT_EQ(ids.GetNumber(), 0);
  }
  G3_BOX u;
  EXPECT_FALSE(index.Union(G2_BOX(-1, 1, -1, 1), &u));
  EXPECT_TRUE(index.IncludeAll(G3_BOX(0, 0, 0, 0, 0, 0)) && index.IncludeAll(G2_BOX(0, 0, 0, 0)));
}

// Three boxes: [0, 1]^3, [2, 3] x [0, 1] x [5, 9] and [5, 6]^2 x [0, 1].
inline T_LIST<G3_BOX> HandBoxes() {
  T_LIST<G3_BOX> l;
  l.Append(G3_BOX(0, 1, 0, 1, 0, 1));
  l.Append(G3_BOX(2, 3, 0, 1, 5, 9));
  l.Append(G3_BOX(5, 6, 5, 6, 0, 1));
  return l;
}

// Answers over HandBoxes worked out by hand: contacts on a face, an edge or
// a corner count, in plan z is ignored, unions keep their full z range and
// are clipped in x and y, inclusion is inclusive.
template <class INDEX>
void ExpectHandAnswers(const INDEX& index) {
  T_LIST<int> ids;
  auto found = [&ids] { return Sorted(ids); };
  index.Intersect(G3_BOX(1, 2, 0.2, 0.4, 0.2, 0.4), &ids);  // face x = 1 of box 0
  EXPECT_EQ(found(), (std::vector<int>{0}));
  index.Intersect(G3_BOX(1, 2, 1, 2, 1, 5), &ids);  // a corner of 0, an edge of 1
  EXPECT_EQ(found(), (std::vector<int>{0, 1}));
  index.Intersect(G3_BOX(1.1, 1.9, 0, 1, 0, 9), &ids);
  EXPECT_EQ(found(), (std::vector<int>{}));
  index.Intersect(G2_BOX(1, 2.5, 0.5, 0.6), &ids);
  EXPECT_EQ(found(), (std::vector<int>{0, 1}));
  index.Intersect(G2_BOX(4, 7, 1, 5), &ids);  // the edge y = 5 of box 2
  EXPECT_EQ(found(), (std::vector<int>{2}));
  index.Intersect(G3_AXIS(G3_POINT(-5, 0.5, 0.5), G3_VECTOR1(1, 0, 0)), &ids);
  EXPECT_EQ(found(), (std::vector<int>{0}));
  index.Intersect(G3_AXIS(G3_POINT(2.5, 0.5, 0), G3_VECTOR1(0, 0, 1)), &ids);
  EXPECT_EQ(found(), (std::vector<int>{1}));
  index.Intersect(G3_AXIS(G3_POINT(0, 3, 0), G3_VECTOR1(1, 0, 0)), &ids);
  EXPECT_EQ(found(), (std::vector<int>{}));
  const struct {
    G2_BOX q;
    G3_BOX u;  // void when no box meets q
  } unions[] = {{G2_BOX(-1, 0.5, -1, 3), G3_BOX(0, 0.5, 0, 1, 0, 1)},  // half of box 0
                {G2_BOX(0.5, 2.5, 0.25, 2), G3_BOX(0.5, 2.5, 0.25, 1, 0, 9)},
                {G2_BOX(2.5, 10, -1, 10), G3_BOX(2.5, 6, 0, 6, 0, 9)},
                {G2_BOX(3.5, 4.5, -5, 5), G3_BOX()}};
  for (const auto& c : unions) {
    G3_BOX u;
    const bool any = c.u.GetXmin() <= c.u.GetXmax();
    EXPECT_EQ(bool(index.Union(c.q, &u)), any);
    EXPECT_TRUE(!any || u == c.u);
  }
  EXPECT_TRUE(index.IncludeAll(G3_BOX(0, 6, 0, 6, 0, 9)) && index.IncludeAll(G2_BOX(0, 6, 0, 6)));
  EXPECT_FALSE(index.IncludeAll(G3_BOX(0, 6, 0, 6, 0, 8.9)));
  EXPECT_FALSE(index.IncludeAll(G3_BOX(0, 6, 0, 6, 0.1, 9)));
  EXPECT_FALSE(index.IncludeAll(G2_BOX(0.1, 6, 0, 6)));
}

// Queries with a NaN coordinate meet nothing.
template <class INDEX>
void ExpectNanQueriesMeetNothing(const INDEX& index) {
  const double nan = std::nan("");
  T_LIST<int> ids;
  index.Intersect(G3_BOX(nan, 1e9, -1e9, 1e9, -1e9, 1e9), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  index.Intersect(G2_BOX(-1e9, 1e9, nan, 1e9), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  index.Intersect(G3_AXIS(G3_POINT(50, nan, 50), G3_VECTOR1(1, 0, 0)), &ids);
  EXPECT_EQ(ids.GetNumber(), 0);
  G3_BOX u;
  EXPECT_FALSE(index.Union(G2_BOX(nan, 1e9, -1e9, 1e9), &u));
  EXPECT_FALSE(C_ERROR::Is());
}

// Random box, plan and line queries (every third line vertical) and plan
// unions against brute force, over boxes in [0, 100]^3.
template <class INDEX, class BOXES>
void ExpectQueriesMatch(const INDEX& index, const BOXES& boxes, std::mt19937* rng, int rounds) {
  std::uniform_real_distribution<double> pos(0, 100), size(0, 25), dir(-1, 1);
  T_LIST<int> ids;
  for (int k = 0; k < rounds; ++k) {
    const double x = pos(*rng), y = pos(*rng), z = pos(*rng);
    const G3_BOX q(x, x + size(*rng), y, y + size(*rng), z, z + size(*rng));
    index.Intersect(q, &ids);
    ASSERT_EQ(Sorted(ids), Brute(boxes, [&](const G3_BOX& b) { return b.Clashes(q); }));
    const G2_BOX p(q.GetXmin(), q.GetXmax(), q.GetYmin(), q.GetYmax());
    const G3_BOX flat(p.GetXmin(), p.GetXmax(), p.GetYmin(), p.GetYmax(), -1e300, 1e300);
    index.Intersect(p, &ids);
    const std::vector<int> inPlan = Brute(boxes, [&](const G3_BOX& b) { return b.Clashes(flat); });
    ASSERT_EQ(Sorted(ids), inPlan);
    const G3_AXIS a(G3_POINT(x, y, z),
                    k % 3 == 1 ? G3_VECTOR1(0, 0, 1) : G3_VECTOR1(dir(*rng), dir(*rng), 1));
    index.Intersect(a, &ids);
    // A box with a NaN coordinate meets no line (the line test alone says
    // otherwise).
    ASSERT_EQ(Sorted(ids),
              Brute(boxes, [&](const G3_BOX& b) { return !HasNan(b) && b.Intersect(a, nullptr); }));
    // The union of the boxes met in plan, x and y clipped to the plan box.
    G3_BOX want, u;
    for (int id : inPlan) want.Unite(BoxOf(boxes, id));
    ASSERT_EQ(bool(index.Union(p, &u)), !inPlan.empty());
    if (inPlan.empty()) continue;
    EXPECT_TRUE(u == G3_BOX(std::max(want.GetXmin(), x), std::min(want.GetXmax(), q.GetXmax()),
                            std::max(want.GetYmin(), y), std::min(want.GetYmax(), q.GetYmax()),
                            want.GetZmin(), want.GetZmax()));
  }
}

#endif
