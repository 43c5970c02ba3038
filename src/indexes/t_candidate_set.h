#ifndef G3GEOM_INDEXES_T_CANDIDATE_SET_H
#define G3GEOM_INDEXES_T_CANDIDATE_SET_H

#include "indexes/t_tree2.h"
#include "runtime/c_bool.h"
#include "runtime/t_node.h"

// A candidate of a nearest-neighbour search: a node of the searched tree, its
// distance to the query and the colour of its record in the candidate set.
struct T_CANDIDATE {
  T_NODE node;
  double dis = 0;
  C_BOOL red;
};

// The candidates of a k-nearest search, sorted by distance ascending, kept as
// a red-black tree on T_TREE2. A new record goes left of a record only when
// its distance is strictly smaller, so records of equal distance stay in the
// order in which they were inserted.
//
// The search alternates "insert one, remove the largest" once it holds k
// candidates, so the slot of a removed record is reused by the next insertion
// and the array stays at k + 1 slots.
class T_CANDIDATE_SET : public T_TREE2<T_CANDIDATE> {
 public:
  T_CANDIDATE_SET() = default;
  explicit T_CANDIDATE_SET(int n) : T_TREE2<T_CANDIDATE>(n) {}

  // Number of records held.
  int GetCount() const { return held_; }

  // Adds {node, dis}; a failed allocation leaves the set unchanged.
  void Insert(T_NODE node, double dis) {
    const T_NODE z = NewSlot(T_CANDIDATE{node, dis, true});
    if (z.IsVoid()) return;
    T_NODE y;
    for (T_NODE x = root_; !x.IsVoid();) {
      y = x;
      x = dis < At(x).item.dis ? At(x).left : At(x).right;
    }
    At(z).parent = y;
    if (y.IsVoid()) {
      root_ = z;
    } else if (dis < At(y).item.dis) {
      At(y).left = z;
    } else {
      At(y).right = z;
    }
    ++held_;
    FixInsert(z);
  }

  // Removes the last record: the largest distance, the latest inserted among
  // equals. Nothing for an empty set.
  void RemoveLast() {
    const T_NODE z = GetLast();
    if (z.IsVoid()) return;
    // The rightmost record has no right child; a left child is a red leaf.
    const T_NODE x = At(z).left;
    T_NODE xp = At(z).parent;
    if (xp.IsVoid()) {
      root_ = x;
    } else {
      At(xp).right = x;
    }
    if (!x.IsVoid()) At(x).parent = xp;
    if (!IsRed(z)) FixRemove(x, xp);
    At(z).parent.Clear();
    At(z).left.Clear();
    free_ = z;
    --held_;
  }

  // In-order walk: the first (smallest) record, the one after n, the last.
  // Void handles at the ends.
  T_NODE GetFirst() const {
    T_NODE v = root_;
    if (v.IsVoid()) return v;
    while (!At(v).left.IsVoid()) v = At(v).left;
    return v;
  }
  T_NODE GetNext(T_NODE n) const {
    if (!At(n).right.IsVoid()) {
      T_NODE v = At(n).right;
      while (!At(v).left.IsVoid()) v = At(v).left;
      return v;
    }
    T_NODE v = n;
    T_NODE p = At(v).parent;
    while (!p.IsVoid() && At(p).right == v) {
      v = p;
      p = At(p).parent;
    }
    return p;
  }
  T_NODE GetLast() const {
    T_NODE v = root_;
    if (v.IsVoid()) return v;
    while (!At(v).right.IsVoid()) v = At(v).right;
    return v;
  }

 private:
  T_NODE NewSlot(const T_CANDIDATE& c) {
    if (free_.IsVoid()) return CreateNode(c);
    const T_NODE z = free_;
    free_.Clear();
    At(z) = NODE{c, T_NODE(), T_NODE(), T_NODE()};
    return z;
  }

  // Void leaves are black.
  C_BOOL IsRed(T_NODE n) const { return !n.IsVoid() && At(n).item.red; }
  void SetRed(T_NODE n, C_BOOL red) {
    if (!n.IsVoid()) At(n).item.red = red;
  }

  // Puts child c of x in x's place, x becoming c's left (right) child.
  void Rotate(T_NODE x, C_BOOL left) {
    NODE& xv = At(x);
    const T_NODE c = left ? xv.right : xv.left;
    NODE& cv = At(c);
    const T_NODE inner = left ? cv.left : cv.right;
    (left ? xv.right : xv.left) = inner;
    if (!inner.IsVoid()) At(inner).parent = x;
    const T_NODE p = xv.parent;
    cv.parent = p;
    if (p.IsVoid()) {
      root_ = c;
    } else if (At(p).left == x) {
      At(p).left = c;
    } else {
      At(p).right = c;
    }
    (left ? cv.left : cv.right) = x;
    xv.parent = c;
  }

  void FixInsert(T_NODE z) {
    while (IsRed(At(z).parent)) {
      const T_NODE p = At(z).parent;
      const T_NODE g = At(p).parent;  // a red parent is never the root
      const C_BOOL pLeft = At(g).left == p;
      const T_NODE uncle = pLeft ? At(g).right : At(g).left;
      if (IsRed(uncle)) {
        SetRed(p, false);
        SetRed(uncle, false);
        SetRed(g, true);
        z = g;
        continue;
      }
      if (z == (pLeft ? At(p).right : At(p).left)) {
        z = p;
        Rotate(z, pLeft);
      }
      const T_NODE p2 = At(z).parent;
      SetRed(p2, false);
      SetRed(At(p2).parent, true);
      Rotate(At(p2).parent, !pLeft);
    }
    SetRed(root_, false);
  }

  // x (possibly void) carries an extra black; xp is its parent. x starts as
  // a right child (the removed record was the rightmost); the side is told
  // explicitly since a void x cannot be found among xp's links.
  void FixRemove(T_NODE x, T_NODE xp) {
    C_BOOL xLeft = false;
    while (x != root_ && !IsRed(x) && !xp.IsVoid()) {
      T_NODE w = xLeft ? At(xp).right : At(xp).left;
      if (w.IsVoid()) break;  // cannot happen in a valid tree
      if (IsRed(w)) {
        SetRed(w, false);
        SetRed(xp, true);
        Rotate(xp, xLeft);
        w = xLeft ? At(xp).right : At(xp).left;
      }
      const T_NODE near = xLeft ? At(w).left : At(w).right;
      const T_NODE far = xLeft ? At(w).right : At(w).left;
      if (!IsRed(near) && !IsRed(far)) {
        SetRed(w, true);
        x = xp;
        xp = At(x).parent;
        if (!xp.IsVoid()) xLeft = At(xp).left == x;
        continue;
      }
      if (!IsRed(far)) {
        SetRed(near, false);
        SetRed(w, true);
        Rotate(w, !xLeft);
        w = xLeft ? At(xp).right : At(xp).left;
      }
      SetRed(w, IsRed(xp));
      SetRed(xp, false);
      SetRed(xLeft ? At(w).right : At(w).left, false);
      Rotate(xp, xLeft);
      x = root_;
      break;
    }
    SetRed(x, false);
  }

  T_NODE free_;
  int held_ = 0;
};

#endif
