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

using V = std::vector<int>;

V Items(const T_TREE2<int>& t, const T_LIST<T_NODE>& nodes) {
  V v;
  for (int i = 0; i < nodes.GetNumber(); ++i) v.push_back(t.Get(nodes[i]));
  return v;
}

V PreOrder(const T_TREE2<int>& t) {
  T_LIST<T_NODE> nodes;
  if (!t.IsVoid()) t.Gather(t.GetRoot(), &nodes);
  return Items(t, nodes);
}

}  // namespace

// The call gives its fallback (ok) and leaves exactly the error e pending.
#define EXPECT_RAISES(ok, e)                \
  do {                                      \
    EXPECT_TRUE(ok);                        \
    EXPECT_EQ(C_ERROR::GetPending(), &(e)); \
    C_ERROR::ClearPending();                \
  } while (0)

TEST(T_TREE2, BuildsLinksAndGathersPreOrder) {
  T_TREE2<int> t, u;
  EXPECT_TRUE(t.IsVoid());
  const T_NODE a = t.NewRoot(1, true), b = t.AppendLeftChild(a, 2), c = t.AppendRightChild(a, 3);
  const T_NODE d = t.AppendRightChild(b, 4), e = t.AppendLeftChild(c, 5);
  EXPECT_TRUE(t.GetNumber() == 5 && t.GetParent(d) == b && !C_ERROR::Is());
  EXPECT_TRUE(t.IsLeftChild(b) && t.IsRightChild(d) && !t.IsLeftChild(d));
  EXPECT_TRUE(t.GetChildrenNumber(a) == 2 && t.GetChildrenNumber(b) == 1 && !t.HasChildren(e));
  EXPECT_EQ(PreOrder(t), (V{1, 2, 4, 3, 5}));
  // Gather of a subtree stops at it and appends to what out holds.
  T_LIST<T_NODE> out;
  out.Append(a);
  t.Gather(c, &out);
  EXPECT_EQ(Items(t, out), (V{1, 3, 5}));
  // A new root takes the old one on the side asked; detach, relink, replace.
  const T_NODE r = t.NewRoot(0, false);
  EXPECT_TRUE(t.GetRightChild(r) == a && t.GetParent(a) == r);
  t.Detach(b);
  EXPECT_TRUE(t.GetParent(b).IsVoid() && t.GetLeftChild(a).IsVoid());
  EXPECT_EQ(PreOrder(t), (V{0, 1, 3, 5}));
  t.AppendLeftChild(e, b);
  EXPECT_EQ(PreOrder(t), (V{0, 1, 3, 5, 2, 4}));
  t.Detach(b);
  t.Replace(c, b);
  EXPECT_TRUE(t.GetParent(c).IsVoid());
  EXPECT_EQ(PreOrder(t), (V{0, 1, 2, 4}));
  // Replacing the root makes the node the root; detaching a root does nothing.
  t.Detach(c);
  t.Replace(r, c);
  t.Detach(c);
  EXPECT_EQ(t.GetRoot(), c);
  EXPECT_EQ(PreOrder(t), (V{3, 5}));
  // An existing node as new root, the old root on its left.
  const T_NODE x = u.NewRoot(7, true), y = u.CreateNode(8);
  u.NewRoot(y, true);
  EXPECT_TRUE(u.GetLeftChild(y) == x && PreOrder(u) == (V{8, 7}) && !C_ERROR::Is());
}

TEST(T_TREE2, HandleChecksRaiseAndLeaveTheTreeAlone) {
  PROBE t;
  const PROBE& ct = t;
  const T_NODE a = t.NewRoot(1, true), b = t.AppendLeftChild(a, 2);
  const T_NODE bad(5), none, c(2);
  T_LIST<T_NODE> out;
  EXPECT_RAISES(t.Get(bad) == 0, TerrTreeInvalidNode);
  EXPECT_RAISES(ct.GetAdr(none) == nullptr, TerrTreeInvalidNode);
  EXPECT_RAISES(t.GetParent(c).IsVoid(), TerrTreeInvalidNode);  // not created yet
  EXPECT_RAISES(t.AppendRightChild(a, bad).IsVoid(), TerrTreeInvalidNode);
  EXPECT_RAISES((t.Gather(bad, &out), out.IsVoid()), TerrTreeInvalidNode);
  EXPECT_RAISES(!t.IsLeftChild(a), TerrTreeNoParent);
  // An occupied slot is never overwritten, by a new item or by a node.
  EXPECT_RAISES(t.AppendLeftChild(a, 4).IsVoid(), TerrTreeInvalidNode);
  EXPECT_RAISES(t.AppendLeftChild(a, t.CreateNode(3)).IsVoid(), TerrTreeInvalidNode);
  // A node with a parent, or the root, cannot be linked elsewhere; a subtree
  // holding the parent would make a cycle.
  EXPECT_RAISES(t.AppendRightChild(a, b).IsVoid(), TerrTreeInvalidNode);
  EXPECT_RAISES(t.AppendRightChild(b, a).IsVoid(), TerrTreeInvalidNode);
  EXPECT_RAISES(t.NewRoot(b, true).IsVoid(), TerrTreeInvalidNode);
  const T_NODE below = t.AppendLeftChild(c, 5);
  EXPECT_RAISES(t.AppendRightChild(below, c).IsVoid(), TerrTreeInvalidNode);
  EXPECT_RAISES((t.Replace(below, c), true), TerrTreeInvalidNode);
  // A detached node that is not the root cannot be replaced.
  EXPECT_RAISES((t.Replace(c, t.CreateNode(6)), true), TerrTreeInvalidNode);
  EXPECT_EQ(PreOrder(t), (V{1, 2}));
  // A parent that does not point back.
  t.SetParentRaw(c, b);
  EXPECT_RAISES((t.Detach(c), t.GetParent(c) == b), TerrTreeCorruptedTree);
}

TEST(T_TREE2, GrowsByItsRulesAndClearKeepsTheArray) {
  // Small trees jump to 10 slots, then double; Grow never shrinks and gives
  // exactly what is asked; GrowAuto gives 10, 2c or n.
  PROBE t, g;
  V caps;
  for (int i = 0; i <= 10; ++i) {
    t.CreateNode(i);
    if (i == 0 || i == 10) caps.push_back(t.GetCapacity());
  }
  for (int n : {15, 23}) {
    t.Grow(n);
    caps.push_back(t.GetCapacity());
  }
  for (int n : {3, 12, 50}) {
    g.GrowAuto(n);
    caps.push_back(g.GetCapacity());
  }
  EXPECT_EQ(caps, (V{10, 20, 20, 23, 10, 20, 50}));
  // Clear keeps the storage and voids every link.
  t.AppendLeftChild(t.NewRoot(100, true), 101);
  t.Clear();
  EXPECT_TRUE(t.IsVoid() && t.GetNumber() == 0 && t.GetCapacity() == 23);
  const T_NODE n = t.CreateNode(5);
  EXPECT_TRUE(n.GetId() == 0 && t.GetLeftChild(n).IsVoid() && t.GetParent(n).IsVoid());
  EXPECT_RAISES(t.Get(T_NODE(1)) == 0, TerrTreeInvalidNode);
}

TEST(T_TREE2, CopiesAreIndependent) {
  T_TREE2<int> t, assigned;
  const T_NODE a = t.NewRoot(1, true);
  t.AppendLeftChild(a, 2);
  t.AppendRightChild(a, 3);
  T_TREE2<int> copy(t);
  T_TREE2<int>* clone = t.Clone();
  assigned.NewRoot(9, true);
  assigned = t;
  *t.GetAdr(a) = 10;
  t.Detach(t.GetLeftChild(a));
  for (const T_TREE2<int>* c : {&copy, &assigned, clone}) EXPECT_EQ(PreOrder(*c), (V{1, 2, 3}));
  EXPECT_EQ(PreOrder(t), (V{10, 3}));
  delete clone;
}

namespace {

// Checks the red-black rules below n and gives the black height, -1 when
// broken.
int BlackHeight(const T_CANDIDATE_SET& s, T_NODE n) {
  if (n.IsVoid()) return 1;
  const T_NODE l = s.GetLeftChild(n), r = s.GetRightChild(n);
  const bool red = s.Get(n).red;
  if (red && ((!l.IsVoid() && s.Get(l).red) || (!r.IsVoid() && s.Get(r).red))) return -1;
  const int hl = BlackHeight(s, l), hr = BlackHeight(s, r);
  return hl < 0 || hl != hr ? -1 : hl + (red ? 0 : 1);
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
  // record is the largest, the latest among equals. 3000 insertions, with
  // removals once 25 are held, then removals down to nothing.
  std::mt19937 rng(7);
  T_CANDIDATE_SET s;
  std::vector<std::pair<double, int>> ref;
  for (int i = 0; i < 3000 || !ref.empty(); ++i) {
    if (i < 3000) {
      const double d = static_cast<double>(rng() % 40);
      s.Insert(T_NODE(i), d);
      ref.insert(std::upper_bound(ref.begin(), ref.end(), std::make_pair(d, 1 << 30)), {d, i});
    }
    if (i >= 3000 || (ref.size() > 25 && rng() % 3 != 0)) {
      s.RemoveLast();
      ref.pop_back();
    }
    ASSERT_EQ(s.GetCount(), static_cast<int>(ref.size()));
    if (i % 97 == 0 || i >= 3000) {
      ASSERT_EQ(InOrder(s), ref) << "after " << i;
      ASSERT_GT(BlackHeight(s, s.GetRoot()), 0) << "after " << i;
      ASSERT_TRUE(s.IsVoid() || !s.Get(s.GetRoot()).red);
    }
    // Removed slots are reused: the array holds far fewer slots than inserts.
    if (i == 2999) {
      EXPECT_LT(s.GetNumber(), 3000);
    }
  }
  s.RemoveLast();  // nothing to remove
  EXPECT_TRUE(s.IsVoid() && s.GetFirst().IsVoid() && !C_ERROR::Is());
}
