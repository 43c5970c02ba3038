#include "indexes/g3_hbox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "box_index_test_util.h"

namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();

class HboxTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

T_LIST<G3_BOX> RandomBoxes(unsigned seed, int n, double maxSize) {
  std::mt19937 rng(seed);
  T_LIST<G3_BOX> l;
  for (int i = 0; i < n; ++i) l.Append(RandomBox(&rng, maxSize));
  return l;
}

// The shape of a hierarchy over n boxes: root last covering 0..n-1, children
// before parents and each element the child of one parent, halves split at
// the middle, boxes that are exact unions, leaves shorter than the leaf size,
// and a permutation of the ids.
void CheckShape(const G3_HBOX& h, int n, int leafSize) {
  const int count = h.GetNumber();
  ASSERT_TRUE(count >= 1 && count <= 2 * n - 1);
  EXPECT_TRUE(h.Get(count - 1).GetMin() == 0 && h.Get(count - 1).GetMax() == n - 1);
  std::vector<int> perm, parents(size_t(count), 0);
  for (int k = 0; k < n; ++k) perm.push_back(h.GetIdFromElt(k));
  std::sort(perm.begin(), perm.end());
  for (int k = 0; k < n; ++k) ASSERT_EQ(perm[size_t(k)], k);
  for (int i = 0; i < count; ++i) {
    const G3_HBOXELT& e = h.Get(i);
    G3_BOX u;
    for (int k = e.GetMin(); k <= e.GetMax(); ++k) u.Unite(h.GetLeafBox(h.GetIdFromElt(k)));
    EXPECT_TRUE(u == e.GetBox());
    if (e.GetType() == G3_HBOXELT::LEAF) {
      EXPECT_LT(e.GetMax() - e.GetMin() + 1, leafSize);
      continue;
    }
    ASSERT_EQ(e.GetType(), G3_HBOXELT::NODE);
    const G3_HBOXELT& a = h.Get(e.GetLink1());
    const G3_HBOXELT& b = h.Get(e.GetLink2());
    EXPECT_TRUE(e.GetLink1() < e.GetLink2() && e.GetLink2() < i);
    EXPECT_TRUE(a.GetMin() == e.GetMin() && b.GetMax() == e.GetMax());
    EXPECT_TRUE(a.GetMax() + 1 == b.GetMin() && a.GetMax() == (e.GetMin() + e.GetMax()) / 2);
    ++parents[size_t(e.GetLink1())];
    ++parents[size_t(e.GetLink2())];
  }
  for (int i = 0; i + 1 < count; ++i) EXPECT_EQ(parents[size_t(i)], 1) << "element " << i;
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
  G3_BOX nb = (*out)[size_t(left)].box;
  nb.Unite((*out)[size_t(right)].box);
  out->push_back({nb, 1, first, last, left, right});
}

void ExpectBuiltAsReference(const G3_HBOX& h, const T_LIST<G3_BOX>& l, bool splitZ, int leaf) {
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

// The build permutes ids exactly as the list's sort does, and builds the
// same elements: with many equal keys, signed zeros and a NaN box; with keys
// all different and a NaN z; with a list flagged sorted, not sorted again.
TEST_F(HboxTest, BuildMatchesASortThroughTheList) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<int> c(0, 12);
  std::uniform_real_distribution<double> u(0, 200);
  for (int set = 0; set < 3; ++set) {
    T_LIST<G3_BOX> l;
    for (int i = 0; i < 3000; ++i) {
      double x = c(rng), y = c(rng), z = c(rng) * 0.5;
      if (set > 0) x = u(rng), y = u(rng), z = u(rng);
      l.Append(G3_BOX(x, x + c(rng), y, y + 1, z, z + c(rng)));
    }
    if (set == 0) {
      *l.GetAdr(5) = G3_BOX(-0.0, 1, -0.0, 1, -0.0, 1);
      *l.GetAdr(6) = G3_BOX(0.0, 1, 0.0, 1, 0.0, 1);
      l.GetAdr(7)->SetYmin(kNan);
    }
    if (set == 1) l.GetAdr(8)->SetZmin(kNan);  // x and y still all different
    l.SetSorted(set == 2);
    for (int leaf : {2, 5}) {
      for (bool splitZ : {false, true}) {
        G3_HBOX h;
        h.SetBoxes(l, splitZ, leaf);
        ExpectBuiltAsReference(h, l, splitZ, leaf);
      }
    }
  }
}

TEST_F(HboxTest, ShapeOfSmallHierarchies) {
  // A default element: void box, a leaf covering position 0.
  G3_HBOXELT d;
  EXPECT_TRUE(d.GetBox() == G3_BOX(1e100, -1e100, 1e100, -1e100, 1e100, -1e100));
  EXPECT_TRUE(d.GetType() == G3_HBOXELT::LEAF && d.GetMax() == 0 && d.GetLink2() == 0);
  // One box, any leaf size: one leaf, the root. Fewer boxes than the leaf
  // size: one leaf. Exactly the leaf size: split once. Leaf size 2: one box
  // per leaf, 2n - 1 elements.
  G3_HBOX h;
  T_LIST<G3_BOX> one;
  one.Append(G3_BOX(0, 1, 0, 1, 0, 1));
  h.SetBoxes(one, true, 2);
  ASSERT_EQ(h.GetNumber(), 1);
  EXPECT_TRUE(h.Get(0).GetType() == G3_HBOXELT::LEAF && h.Get(0).GetBox() == one[0]);
  const T_LIST<G3_BOX> seven = RandomBoxes(1, 7, 3);
  h.SetBoxes(seven, false, 8);
  EXPECT_TRUE(h.GetNumber() == 1 && h.Get(0).GetMax() == 6);
  h.SetBoxes(seven, false, 7);
  EXPECT_EQ(h.GetNumber(), 3);
  CheckShape(h, 7, 7);
  for (int n : {2, 33}) {
    h.SetBoxes(RandomBoxes(unsigned(n), n, 5), true, 2);
    EXPECT_EQ(h.GetNumber(), 2 * n - 1);
    CheckShape(h, n, 2);
  }
  EXPECT_FALSE(C_ERROR::Is());
}

// The first split follows the longer extent of the whole box: y on a tie of
// x and y, z only with splitZ and only when strictly longer.
TEST_F(HboxTest, SplitAxisChoice) {
  // Corners of a 10 x 10 square, 0 top-left, 1 bottom-right, 2 bottom-left,
  // 3 top-right: along y the low half is {1, 2}, along x {0, 2}; with 0 and 2
  // raised to z = 30, along z {1, 3}.
  T_LIST<G3_BOX> b;
  b.Append(G3_BOX(0, 1, 9, 10, 0, 1));
  b.Append(G3_BOX(9, 10, 0, 1, 0, 1));
  b.Append(G3_BOX(0, 1, 0, 1, 0, 1));
  b.Append(G3_BOX(9, 10, 9, 10, 0, 1));
  auto lowHalf = [](const T_LIST<G3_BOX>& boxes, bool splitZ) {
    G3_HBOX h;
    h.SetBoxes(boxes, splitZ, 2);
    const G3_HBOXELT& left = h.Get(h.Get(h.GetNumber() - 1).GetLink1());
    return std::set<int>{h.GetIdFromElt(left.GetMin()), h.GetIdFromElt(left.GetMax())};
  };
  EXPECT_EQ(lowHalf(b, true), (std::set<int>{1, 2}));  // dx = dy > dz
  b.GetAdr(3)->SetXmax(10.5);
  EXPECT_EQ(lowHalf(b, false), (std::set<int>{0, 2}));  // wider in x
  *b.GetAdr(0) = G3_BOX(0, 1, 9, 10, 30, 31);
  *b.GetAdr(2) = G3_BOX(0, 1, 0, 1, 30, 31);
  EXPECT_EQ(lowHalf(b, true), (std::set<int>{1, 3}));
  EXPECT_EQ(lowHalf(b, false), (std::set<int>{0, 2}));
  // Depth equal to the width in x is not enough.
  *b.GetAdr(0) = G3_BOX(0, 1, 9, 10, 0, 10.5);
  *b.GetAdr(2) = G3_BOX(0, 1, 0, 1, 9.5, 10);
  EXPECT_EQ(lowHalf(b, true), (std::set<int>{0, 2}));
}

// An empty hierarchy answers empty; answers worked out by hand, with one box
// per leaf and with all in one leaf; gathering.
TEST_F(HboxTest, HandCheckedAnswers) {
  G3_HBOX h;
  ExpectEmptyAnswers(h);
  for (int leaf : {2, 8}) {
    h.SetBoxes(HandBoxes(), true, leaf);
    ExpectHandAnswers(h);
    T_LIST<int> ids;
    h.Gather(h.GetNumber() - 1, &ids);
    EXPECT_EQ(Sorted(ids), (std::vector<int>{0, 1, 2}));
  }
}

// Mends: leaf sizes that would split forever are refused and change nothing
// (a grabbed list stays the caller's); a hierarchy rebuilt from its own list;
// NaN boxes meet nothing and hide none of their neighbours; NaN queries.
TEST_F(HboxTest, BadInputEndsInAnErrorOrAnEmptyResult) {
  G3_HBOX h;
  h.SetBoxes(RandomBoxes(3, 50, 4), true, 4);
  const int built = h.GetNumber();
  T_LIST<G3_BOX>* mine = new T_LIST<G3_BOX>(RandomBoxes(5, 20, 4));
  for (int leaf : {1, 0, -5}) {
    if (leaf == 1) h.GrabBoxes(&mine, false, leaf);
    else h.SetBoxes(RandomBoxes(4, 9, 4), true, leaf);
    ASSERT_TRUE(C_ERROR::Is());
    EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "R#Err#Leaf size below 2");
    C_ERROR::ClearPending();
    EXPECT_TRUE(h.GetNumber() == built && h.GetBoxes().GetNumber() == 50);
    EXPECT_TRUE(h.GetLeafSize() == 4 && mine != nullptr);
  }
  h.GrabBoxes(&mine, false, 3);
  EXPECT_TRUE(mine == nullptr && h.GetBoxes().GetNumber() == 20);
  CheckShape(h, 20, 3);
  h.SetBoxes(h.GetBoxes(), true, 2);
  CheckShape(h, 20, 2);
  h.GrabBoxes(nullptr, true, 2);
  EXPECT_EQ(h.GetNumber(), 0);

  T_LIST<G3_BOX> withNan = RandomBoxes(6, 300, 6);
  withNan.GetAdr(0)->SetXmin(kNan);
  *withNan.GetAdr(7) = G3_BOX(kNan, kNan, kNan, kNan, kNan, kNan);
  T_LIST<int> ids;
  std::mt19937 rng(8);
  for (int leaf : {2, 16}) {
    h.SetBoxes(withNan, true, leaf);
    for (int i = 0; i < h.GetNumber(); ++i) EXPECT_FALSE(HasNan(h.Get(i).GetBox()));
    h.Intersect(G3_BOX(-1e9, 1e9, -1e9, 1e9, -1e9, 1e9), &ids);
    EXPECT_EQ(ids.GetNumber(), 298);
    ExpectQueriesMatch(h, withNan, &rng, 50);
    // A line through the leaf that holds the all-NaN box.
    int pos = 0, elt = 0;
    while (h.GetIdFromElt(pos) != 7) ++pos;
    while (h.Get(elt).GetType() != G3_HBOXELT::LEAF || h.Get(elt).GetMax() < pos) ++elt;
    const G3_AXIS a(h.Get(elt).GetBox().GetCentre(), G3_VECTOR1(0, 0, 1));
    h.Intersect(a, &ids);
    EXPECT_EQ(Sorted(ids), Brute(withNan, [&](const G3_BOX& b) {
                return !HasNan(b) && b.Intersect(a, nullptr);
              }));
  }
  ExpectNanQueriesMeetNothing(h);
}

// Random boxes, several leaf sizes, both split modes: every query equals
// brute force, on copies too, which keep their boxes when the original is
// rebuilt.
TEST_F(HboxTest, QueriesEqualBruteForceAndCopiesAreIndependent) {
  const T_LIST<G3_BOX> boxes = RandomBoxes(77, 3000, 5);
  std::mt19937 rng(78);
  G3_HBOX h, assigned;
  assigned.SetBoxes(RandomBoxes(11, 5, 5), true, 2);
  for (int leaf : {2, 8}) {
    for (int splitZ = 0; splitZ < 2; ++splitZ) {
      h.SetBoxes(boxes, splitZ, leaf);
      CheckShape(h, 3000, leaf);
      G3_HBOX copy(h);
      assigned = h;
      h.SetBoxes(RandomBoxes(12, 40, 5), false, 2);
      ExpectQueriesMatch(copy, boxes, &rng, 15);
      ExpectQueriesMatch(assigned, boxes, &rng, 15);
    }
  }
  ExpectQueriesMatch(h, RandomBoxes(12, 40, 5), &rng, 15);
  G3_BOX global;
  for (int i = 0; i < boxes.GetNumber(); ++i) global.Unite(boxes[i]);
  EXPECT_TRUE(assigned.IncludeAll(global));
  global.SetYmin(global.GetYmin() + 1e-9);
  EXPECT_FALSE(assigned.IncludeAll(global));
  G3_HBOX empty, e(empty);
  EXPECT_EQ(e.GetNumber(), 0);
  EXPECT_FALSE(C_ERROR::Is());
}

// A best-first walk stepped by the caller: elements and boxes keyed by their
// squared distance to a point come out in non-decreasing order, each box once.
TEST_F(HboxTest, IncrementalSearchReturnsEveryBoxOnceInKeyOrder) {
  G3_HBOX_EndIncrementalSearch(nullptr);
  G3_HBOX h;
  T_CONTEXT* c0 = G3_HBOX_BeginIncrementalSearch(h);
  EXPECT_TRUE(c0 && static_cast<G3_HBOX::IncrementalSearchContext*>(c0)->heap->IsVoid());
  G3_HBOX_EndIncrementalSearch(c0);

  const T_LIST<G3_BOX> boxes = RandomBoxes(21, 2000, 5);
  h.SetBoxes(boxes, true, 4);
  T_CONTEXT* c = G3_HBOX_BeginIncrementalSearch(h);
  ASSERT_NE(c, nullptr);
  auto* ctx = static_cast<G3_HBOX::IncrementalSearchContext*>(c);
  ASSERT_TRUE(ctx->hbox == &h && ctx->heap->GetNumber() == 1);
  const G3_HBOX::SEARCH_ENTRY& top = ctx->heap->Top();
  EXPECT_TRUE(top.value == 0.0 && top.index == h.GetNumber() - 1 && !top.flag && top.key == 0.0);
  const G3_POINT p(30, 70, 10);
  auto dist2 = [&p](const G3_BOX& b) { return Dist2(p, b); };
  auto push = [&](int index, bool box, const G3_BOX& b) {
    G3_HBOX::SEARCH_ENTRY n;
    n.index = index;
    n.flag = box;
    n.value = n.key = dist2(b);
    ctx->heap->Push(n);
  };
  std::vector<int> order;
  double last = -1;
  G3_HBOX::SEARCH_ENTRY e;
  while (!ctx->heap->IsVoid()) {
    ctx->heap->Pop(&e);
    EXPECT_GE(e.key, last);
    last = e.key;
    if (e.flag) {
      EXPECT_EQ(e.key, dist2(boxes[e.index]));
      order.push_back(e.index);
      continue;
    }
    const G3_HBOXELT& elt = h.Get(e.index);
    if (elt.GetType() == G3_HBOXELT::NODE) {
      for (int child : {elt.GetLink1(), elt.GetLink2()}) push(child, false, h.Get(child).GetBox());
      continue;
    }
    for (int k = elt.GetMin(); k <= elt.GetMax(); ++k)
      push(h.GetIdFromElt(k), true, h.GetLeafBox(h.GetIdFromElt(k)));
  }
  G3_HBOX_EndIncrementalSearch(c);
  EXPECT_TRUE(order.size() == 2000u && std::set<int>(order.begin(), order.end()).size() == 2000u);
  EXPECT_FALSE(C_ERROR::Is());
}

}  // namespace
