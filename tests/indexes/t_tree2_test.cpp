#include "indexes/t_tree2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "indexes/t_candidate_set.h"

namespace {

// Opens the storage of a tree to the tests: capacity, and a way to break a
// link on purpose.
class PROBE : public T_TREE2<int> {
 public:
  using T_TREE2<int>::T_TREE2;
  int GetCapacity() const { return capacity_; }
  void SetParentRaw(T_NODE n, T_NODE p) { At(n).parent = p; }
};

std::vector<int> Items(const T_TREE2<int>& t, const T_LIST<T_NODE>& nodes) {
  std::vector<int> v;
  for (int i = 0; i < nodes.GetNumber(); ++i) v.push_back(t.Get(nodes[i]));
  return v;
}

std::vector<int> PreOrder(const T_TREE2<int>& t) {
  T_LIST<T_NODE> nodes;
  if (!t.IsVoid()) t.Gather(t.GetRoot(), &nodes);
  return Items(t, nodes);
}

// Expects the given error to be pending and clears it.
void ExpectError(const C_ERROR& e) {
  EXPECT_EQ(C_ERROR::GetPending(), &e);
  C_ERROR::ClearPending();
}

}  // namespace

TEST(T_TREE2, BuildsLinksAndGathersPreOrder) {
  T_TREE2<int> t;
  EXPECT_TRUE(t.IsVoid());
  const T_NODE a = t.NewRoot(1, true);
  const T_NODE b = t.AppendLeftChild(a, 2);
  const T_NODE c = t.AppendRightChild(a, 3);
  const T_NODE d = t.AppendRightChild(b, 4);
  const T_NODE e = t.AppendLeftChild(c, 5);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_EQ(t.GetNumber(), 5);
  EXPECT_EQ(t.GetRoot(), a);
  EXPECT_EQ(t.GetParent(d), b);
  EXPECT_TRUE(t.IsLeftChild(b));
  EXPECT_TRUE(t.IsRightChild(d));
  EXPECT_FALSE(t.IsLeftChild(d));
  EXPECT_EQ(t.GetChildrenNumber(a), 2);
  EXPECT_EQ(t.GetChildrenNumber(b), 1);
  EXPECT_FALSE(t.HasChildren(e));
  EXPECT_EQ(PreOrder(t), (std::vector<int>{1, 2, 4, 3, 5}));
  // Gather of a subtree stops at it and appends to what out holds.
  T_LIST<T_NODE> out;
  out.Append(a);
  t.Gather(c, &out);
  EXPECT_EQ(Items(t, out), (std::vector<int>{1, 3, 5}));

  // A new root takes the old one on the side asked.
  const T_NODE r = t.NewRoot(0, false);
  EXPECT_EQ(t.GetRightChild(r), a);
  EXPECT_EQ(t.GetParent(a), r);
  EXPECT_EQ(PreOrder(t), (std::vector<int>{0, 1, 2, 4, 3, 5}));

  // Detach, then relink the subtree elsewhere, then replace a node by it.
  t.Detach(b);
  EXPECT_TRUE(t.GetParent(b).IsVoid());
  EXPECT_TRUE(t.GetLeftChild(a).IsVoid());
  EXPECT_EQ(PreOrder(t), (std::vector<int>{0, 1, 3, 5}));
  t.AppendLeftChild(e, b);
  EXPECT_EQ(PreOrder(t), (std::vector<int>{0, 1, 3, 5, 2, 4}));
  t.Detach(b);
  t.Replace(c, b);
  EXPECT_TRUE(t.GetParent(c).IsVoid());
  EXPECT_EQ(PreOrder(t), (std::vector<int>{0, 1, 2, 4}));
  // Replacing the root makes the node the root; detaching a root does nothing.
  t.Detach(c);
  t.Replace(r, c);
  EXPECT_EQ(t.GetRoot(), c);
  EXPECT_EQ(PreOrder(t), (std::vector<int>{3, 5}));
  t.Detach(c);
  EXPECT_EQ(t.GetRoot(), c);
  ASSERT_FALSE(C_ERROR::Is());

  // An existing node as new root, on the left.
  T_TREE2<int> u;
  const T_NODE x = u.NewRoot(7, true);
  const T_NODE y = u.CreateNode(8);
  u.NewRoot(y, true);
  EXPECT_EQ(u.GetRoot(), y);
  EXPECT_EQ(u.GetLeftChild(y), x);
  EXPECT_EQ(PreOrder(u), (std::vector<int>{8, 7}));
  EXPECT_FALSE(C_ERROR::Is());
}

TEST(T_TREE2, HandleChecksRaiseAndLeaveTheTreeAlone) {
  PROBE t;
  const T_NODE a = t.NewRoot(1, true);
  const T_NODE b = t.AppendLeftChild(a, 2);
  const T_NODE bad(5);
  const T_NODE none;

  EXPECT_EQ(t.Get(bad), 0);
  ExpectError(TerrTreeInvalidNode);
  EXPECT_EQ(t.GetAdr(none), nullptr);
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(t.GetLeftChild(bad).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(t.GetRightChild(none).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(t.GetParent(T_NODE(2)).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  EXPECT_FALSE(t.HasChildren(bad));
  ExpectError(TerrTreeInvalidNode);
  EXPECT_EQ(t.GetChildrenNumber(bad), 0);
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(t.AppendLeftChild(bad, 9).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(t.AppendRightChild(a, bad).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  t.Detach(bad);
  ExpectError(TerrTreeInvalidNode);
  t.Replace(a, none);
  ExpectError(TerrTreeInvalidNode);
  T_LIST<T_NODE> out;
  t.Gather(bad, &out);
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(out.IsVoid());

  // A root asked for its side.
  EXPECT_FALSE(t.IsLeftChild(a));
  ExpectError(TerrTreeNoParent);
  EXPECT_FALSE(t.IsRightChild(a));
  ExpectError(TerrTreeNoParent);

  // Occupied slots: neither a new item nor a node may overwrite a child.
  const T_NODE c = t.CreateNode(3);
  EXPECT_TRUE(t.AppendLeftChild(a, 4).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(t.AppendLeftChild(a, c).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  // A node with a parent, the root, or a subtree holding the parent cannot
  // be linked: each would break the tree or make a cycle.
  EXPECT_TRUE(t.AppendRightChild(a, b).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(t.AppendRightChild(b, a).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  t.AppendLeftChild(c, 5);
  const T_NODE below = t.GetLeftChild(c);
  EXPECT_TRUE(t.AppendRightChild(below, c).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  t.Replace(below, c);
  ExpectError(TerrTreeInvalidNode);
  // A detached node that is not the root cannot be replaced.
  t.Replace(c, t.CreateNode(6));
  ExpectError(TerrTreeInvalidNode);
  // New root from a node that has a parent.
  EXPECT_TRUE(t.NewRoot(b, true).IsVoid());
  ExpectError(TerrTreeInvalidNode);
  EXPECT_EQ(PreOrder(t), (std::vector<int>{1, 2}));

  // A parent that does not point back.
  t.SetParentRaw(c, b);
  t.Detach(c);
  ExpectError(TerrTreeCorruptedTree);
  EXPECT_EQ(t.GetParent(c), b);
}

TEST(T_TREE2, GrowsByItsRulesAndClearKeepsTheArray) {
  PROBE t;
  t.CreateNode(0);
  EXPECT_EQ(t.GetCapacity(), 10);  // small trees jump to 10 slots
  for (int i = 1; i < 10; ++i) t.CreateNode(i);
  EXPECT_EQ(t.GetCapacity(), 10);
  t.CreateNode(10);
  EXPECT_EQ(t.GetCapacity(), 20);  // then doubling
  t.Grow(15);
  EXPECT_EQ(t.GetCapacity(), 20);  // never shrinks
  t.Grow(23);
  EXPECT_EQ(t.GetCapacity(), 23);  // exactly what is asked

  PROBE g;
  g.GrowAuto(3);
  EXPECT_EQ(g.GetCapacity(), 10);
  g.GrowAuto(12);
  EXPECT_EQ(g.GetCapacity(), 20);
  g.GrowAuto(50);
  EXPECT_EQ(g.GetCapacity(), 50);
  PROBE h(7);
  EXPECT_EQ(h.GetCapacity(), 7);
  EXPECT_EQ(h.GetNumber(), 0);
  h.GrowAuto(8);
  EXPECT_EQ(h.GetCapacity(), 14);

  // Clear keeps the storage and voids every link.
  const T_NODE r = t.NewRoot(100, true);
  t.AppendLeftChild(r, 101);
  t.Clear();
  EXPECT_TRUE(t.IsVoid());
  EXPECT_EQ(t.GetNumber(), 0);
  EXPECT_EQ(t.GetCapacity(), 23);
  const T_NODE n = t.CreateNode(5);
  EXPECT_EQ(n.GetId(), 0);
  t.Get(T_NODE(1));
  ExpectError(TerrTreeInvalidNode);
  EXPECT_TRUE(t.GetLeftChild(n).IsVoid());
  EXPECT_TRUE(t.GetParent(n).IsVoid());
}

TEST(T_TREE2, CopiesAreIndependent) {
  T_TREE2<int> t;
  const T_NODE a = t.NewRoot(1, true);
  t.AppendLeftChild(a, 2);
  t.AppendRightChild(a, 3);
  T_TREE2<int> copy(t);
  T_TREE2<int>* clone = t.Clone();
  T_TREE2<int>* same = t.CloneSame();
  T_TREE2<int> assigned;
  assigned.NewRoot(9, true);
  assigned = t;
  *t.GetAdr(a) = 10;
  t.Detach(t.GetLeftChild(a));
  for (const T_TREE2<int>* c : std::vector<const T_TREE2<int>*>{&copy, clone, same, &assigned}) {
    EXPECT_EQ(PreOrder(*c), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(c->GetNumber(), 3);
  }
  EXPECT_EQ(PreOrder(t), (std::vector<int>{10, 3}));
  delete clone;
  delete same;
}

namespace {

// Checks the red-black rules below n and gives the black height, -1 when
// broken.
int BlackHeight(const T_CANDIDATE_SET& s, T_NODE n) {
  if (n.IsVoid()) return 1;
  const T_NODE l = s.GetLeftChild(n), r = s.GetRightChild(n);
  if (s.Get(n).red) {
    if ((!l.IsVoid() && s.Get(l).red) || (!r.IsVoid() && s.Get(r).red)) return -1;
  }
  const int hl = BlackHeight(s, l), hr = BlackHeight(s, r);
  if (hl < 0 || hl != hr) return -1;
  return hl + (s.Get(n).red ? 0 : 1);
}

std::vector<std::pair<double, int>> InOrder(const T_CANDIDATE_SET& s) {
  std::vector<std::pair<double, int>> v;
  for (T_NODE n = s.GetFirst(); !n.IsVoid(); n = s.GetNext(n)) {
    v.emplace_back(s.Get(n).dis, s.Get(n).node.GetId());
  }
  return v;
}

}  // namespace

TEST(T_CANDIDATE_SET, StaysSortedStableAndBalanced) {
  // A reference kept by hand: equal distances in insertion order; the last
  // record is the largest, the latest among equals.
  std::mt19937 rng(7);
  T_CANDIDATE_SET s;
  std::vector<std::pair<double, int>> ref;
  for (int i = 0; i < 3000; ++i) {
    const double d = static_cast<double>(rng() % 40);
    s.Insert(T_NODE(i), d);
    auto at = std::upper_bound(ref.begin(), ref.end(), d,
                               [](double x, const std::pair<double, int>& e) { return x < e.first; });
    ref.insert(at, {d, i});
    if (ref.size() > 25 && rng() % 3 != 0) {
      s.RemoveLast();
      ref.pop_back();
    }
    ASSERT_EQ(s.GetCount(), static_cast<int>(ref.size()));
    if (i % 97 == 0) {
      ASSERT_EQ(InOrder(s), ref) << "after " << i;
      ASSERT_GT(BlackHeight(s, s.GetRoot()), 0) << "after " << i;
      ASSERT_FALSE(s.Get(s.GetRoot()).red);
    }
  }
  EXPECT_EQ(InOrder(s), ref);
  // Removed slots are reused: the array holds far fewer slots than inserts.
  EXPECT_LT(s.GetNumber(), 3000);
  while (!ref.empty()) {
    s.RemoveLast();
    ref.pop_back();
    ASSERT_EQ(InOrder(s), ref);
    ASSERT_GT(BlackHeight(s, s.GetRoot()), 0);
  }
  EXPECT_TRUE(s.IsVoid());
  s.RemoveLast();  // nothing to remove
  EXPECT_TRUE(s.GetFirst().IsVoid());
  EXPECT_FALSE(C_ERROR::Is());
}
