#ifndef G3GEOM_INDEXES_T_KDTREE_H
#define G3GEOM_INDEXES_T_KDTREE_H

#include <cmath>

#include "containers/t_list.h"
#include "containers/t_sort.h"
#include "indexes/t_candidate_set.h"
#include "indexes/t_min_heap.h"
#include "indexes/t_tree2.h"
#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/t_node.h"

// A kd-tree of DIM-dimensional items T whose coordinates are read by the
// accessor GETCOO (`static double Get(const T&, int axis)`).
//
// Every node holds an item; the split axis of a node is its depth modulo DIM.
// An item whose coordinate equals a node's coordinate on the node's axis goes
// to the right subtree, so a left subtree holds coordinates strictly below
// the node's and a right subtree coordinates not below it. Nothing rebalances
// the tree after single insertions: balance comes from the bulk insertion
// into an empty tree only.
//
// The tree's own distance is the Chebyshev one (largest coordinate gap).
// Insertion, lookup and the k-nearest searches write the search state held
// in the object, so even the const operations must not run at the same time
// on one tree.
template <int DIM, class T, class GETCOO>
class T_KDTREE : public T_TREE2<T> {
  using BASE = T_TREE2<T>;
  using NODE = typename BASE::NODE;

 public:
  // The cells of the whole space: every min -1e100, every max +1e100.
  static constexpr double WHOLE_SPACE = 1e100;
  // Added to a point's squared distance in the incremental search, so that a
  // cell at the same distance as a point comes out first.
  static constexpr double POINT_KEY_MARGIN = 1e-12;
  // The mask bits of the range search: bit 2i is the lower bound of axis i,
  // bit 2i + 1 its upper bound.
  static constexpr int ALL_BOUNDS = (1 << (2 * DIM)) - 1;

  // An entry of the incremental search's heap: a subtree with the cell it
  // covers, or (isPoint) the node's own point.
  struct SEARCH_ENTRY {
    double cell[2 * DIM] = {};
    double distance = 0;  // squared, from the query to the cell or the point
    T_NODE node;
    int axis = 0;
    C_BOOL isPoint;
    double key = 0;  // heap priority, smallest first
  };

  // State of an incremental search: the heap of entries it has still to pop.
  class IncrementalSearchContext : public T_CONTEXT {
   public:
    IncrementalSearchContext() = default;
    IncrementalSearchContext(const IncrementalSearchContext&) = delete;
    IncrementalSearchContext& operator=(const IncrementalSearchContext&) = delete;
    ~IncrementalSearchContext() override { delete heap; }

    T_MIN_HEAP<SEARCH_ENTRY>* heap = nullptr;  // owned
  };

  T_KDTREE() = default;
  explicit T_KDTREE(int n) : BASE(n) {}
  // The search state is not copied: it means nothing between calls.
  T_KDTREE(const T_KDTREE& t) : BASE(t) {}
  T_KDTREE& operator=(const T_KDTREE& t) {
    BASE::operator=(t);
    return *this;
  }
  ~T_KDTREE() = default;

  // Inserts p. Walks from the root; the first node on the way whose item lies
  // within tol of p (Chebyshev, non-strict) is a duplicate: its item goes to
  // existing (when given) and, when replace is true, p overwrites it
  // (replaced set) and the result is true; otherwise the result is false and
  // the tree is unchanged. Only the descent path of p is looked at.
  // A coordinate that is NaN or infinite raises CerrInvalidValue (false).
  C_BOOL Insert(const T& p, C_BOOL replace, double tol, C_BOOL* replaced = nullptr,
                T* existing = nullptr) {
    if (replaced != nullptr) *replaced = false;
    if (!IsFinite(p)) {
      CerrInvalidValue.Trigger();
      return false;
    }
    if (this->root_.IsVoid()) {
      this->NewRoot(p, true);
      return !C_ERROR::Is();
    }
    SetQuery(p);
    T_NODE v = this->root_;
    int axis = 0;
    for (;;) {
      NODE& nv = this->At(v);
      if (GetDis(nv.item, p) <= tol) break;
      const C_BOOL right = Coo(nv.item, axis) <= Coo(p, axis);
      const T_NODE c = right ? nv.right : nv.left;
      if (c.IsVoid()) {
        if (right) {
          this->AppendRightChild(v, p);
        } else {
          this->AppendLeftChild(v, p);
        }
        return !C_ERROR::Is();
      }
      v = c;
      axis = (axis + 1) % DIM;
    }
    T& found = this->At(v).item;
    if (existing != nullptr) *existing = found;
    if (!replace) return false;
    if (replaced != nullptr) *replaced = true;
    found = p;
    return true;
  }

  // Inserts the points of pts. Into an empty tree by balanced insertion
  // (medians first), otherwise one by one in list order. A point with a NaN
  // or infinite coordinate raises CerrInvalidValue before anything goes in.
  void Insert(const T_LIST<T>& pts, C_BOOL replace, double tol) {
    const int n = pts.GetNumber();
    if (n == 0) return;
    for (int i = 0; i < n; ++i) {
      if (!IsFinite(pts.GetFast(i))) {
        CerrInvalidValue.Trigger();
        return;
      }
    }
    if (this->root_.IsVoid()) {
      T_LIST<int> indexes(n);
      if (C_ERROR::Is()) return;
      for (int i = 0; i < n; ++i) indexes.Append(i);
      this->Grow(this->count_ + n);
      if (C_ERROR::Is()) return;
      InsertBalanced(pts, 0, n - 1, 0, replace, tol, &indexes);
      return;
    }
    for (int i = 0; i < n; ++i) {
      Insert(pts.GetFast(i), replace, tol, nullptr, nullptr);
      if (C_ERROR::Is()) return;
    }
  }

  // Takes node n out of the tree by structural relinking (items are never
  // copied). A node that is not in the tree (no parent and not the root)
  // raises TerrTreeInvalidNode: deleting it again would empty the tree.
  void Delete(T_NODE n) {
    if (!this->Check(n)) return;
    if (this->IsDetachedTop(n)) {
      TerrTreeInvalidNode.Trigger();
      return;
    }
    const T_NODE r = DeleteRecurs(n);
    if (C_ERROR::Is()) return;
    const T_NODE p = this->At(n).parent;
    if (p.IsVoid()) {
      this->root_ = r;
      return;
    }
    const C_BOOL wasLeft = this->At(p).left == n;
    this->Detach(n);
    if (r.IsVoid()) return;
    if (wasLeft) {
      this->AppendLeftChild(p, r);
    } else {
      this->AppendRightChild(p, r);
    }
  }

  // Lookup: walks from the root as an insertion of p would and gives the
  // first node within tol of p (Chebyshev, non-strict); void when the walk
  // leaves the tree.
  T_NODE Search(const T& p, double tol) const {
    SetQuery(p);
    T_NODE v = this->root_;
    int axis = 0;
    while (!v.IsVoid()) {
      const NODE& nv = this->At(v);
      if (GetDis(nv.item, p) <= tol) return v;
      v = Coo(nv.item, axis) <= Coo(p, axis) ? nv.right : nv.left;
      axis = (axis + 1) % DIM;
    }
    return v;
  }

  // Range search. bounds holds (min, max) per axis; mask bit 2i activates the
  // lower bound of axis i and bit 2i + 1 its upper bound (bounds inclusive);
  // the mask is reduced to its low 2 * DIM bits. out is emptied first and
  // receives the nodes in visiting order (node, left subtree, right subtree).
  // True when something was found. An active bound that is NaN admits no
  // point: out stays empty.
  C_BOOL Search(const double* bounds, T_LIST<T_NODE>* out, int mask) const {
    if (out == nullptr) return false;
    out->Clear();
    if (this->root_.IsVoid()) return false;
    mask &= ALL_BOUNDS;
    for (int b = 0; b < 2 * DIM; ++b) {
      if ((mask & (1 << b)) != 0 && std::isnan(bounds[b])) return false;
    }
    SearchBranch(this->root_, 0, bounds, mask, out);
    return !out->IsVoid();
  }

  // The bounding box of the points, (min, max) per axis; nothing for an
  // empty tree.
  void ComputeBox(double* box) const {
    if (this->root_.IsVoid()) return;
    const T& r = this->At(this->root_).item;
    for (int i = 0; i < DIM; ++i) box[2 * i] = box[2 * i + 1] = Coo(r, i);
    for (int i = 0; i < DIM; ++i) {
      ScanMin(this->root_, 0, i, &box[2 * i]);
      ScanMax(this->root_, 0, i, &box[2 * i + 1]);
    }
  }

  // The k nearest nodes to p by the Chebyshev distance, nearest first; equal
  // distances in the order they became candidates. When the tree holds no
  // more than k points, all of them in pre-order (not sorted). out is
  // emptied first; k <= 0 and a query with a NaN or infinite coordinate give
  // nothing.
  void SearchNearest(const T& p, int k, T_LIST<T_NODE>* out) const {
    if (out == nullptr) return;
    out->Clear();
    if (!IsFinite(p)) return;
    SetQuery(p);
    RunNearest(
        k, out, [this](const T& item) { return GetSearchDis(item); },
        [this]() { SearchNode(this->root_, 0); });
  }
  // The nearest node to p, void for an empty tree.
  T_NODE SearchNearest(const T& p) const {
    T_LIST<T_NODE> out;
    SearchNearest(p, 1, &out);
    return out.IsVoid() ? T_NODE() : out.GetFast(0);
  }

  // Starts an incremental search by increasing Euclidean distance; the
  // context belongs to the caller (EndIncrementalSearchTpl). Null after a
  // failed allocation. The tree must not change until the search ends.
  T_CONTEXT* BeginIncrementalSearchTpl() const {
    IncrementalSearchContext* c = Cnew<IncrementalSearchContext>();
    if (C_ERROR::Is()) return nullptr;
    c->heap = Cnew<T_MIN_HEAP<SEARCH_ENTRY>>();
    if (C_ERROR::Is()) {
      delete c;
      return nullptr;
    }
    if (this->root_.IsVoid()) return c;
    SEARCH_ENTRY e;
    SetWholeSpace(e.cell);
    e.node = this->root_;
    c->heap->Push(e);
    if (C_ERROR::Is()) {
      delete c;
      return nullptr;
    }
    return c;
  }
  void EndIncrementalSearchTpl(T_CONTEXT* c) const { delete c; }

  // The next node of the incremental search c around the point q (DIM
  // coordinates), by non-decreasing squared Euclidean distance; void when
  // every point has been given (or c is not such a context).
  T_NODE IncrementalSearchNext(T_CONTEXT* c, const double* q) const {
    IncrementalSearchContext* ctx = dynamic_cast<IncrementalSearchContext*>(c);
    if (ctx == nullptr || ctx->heap == nullptr || q == nullptr) return T_NODE();
    T_MIN_HEAP<SEARCH_ENTRY>& heap = *ctx->heap;
    SEARCH_ENTRY e;
    while (!heap.IsVoid()) {
      heap.Pop(&e);
      if (e.isPoint) return e.node;
      // A handle beyond the slots means the tree was cleared meanwhile.
      if (e.node.GetId() >= this->count_) continue;
      const NODE& nv = this->At(e.node);
      double d2 = 0;
      for (int i = 0; i < DIM; ++i) {
        const double d = Coo(nv.item, i) - q[i];
        d2 += d * d;
      }
      // The point always goes in, with a key never below the popped one: a
      // far point lying on the face of its cell nearest to q has d2 equal to
      // the cell's distance, and d2 + 1e-12 may round back to d2.
      SEARCH_ENTRY pe = e;
      pe.distance = d2;
      pe.isPoint = true;
      pe.key = d2 + POINT_KEY_MARGIN;
      if (!(pe.key >= e.key)) pe.key = e.key;
      heap.Push(pe);
      const int s = e.axis;
      const double c = Coo(nv.item, s);
      PushChild(&heap, e, nv.left, 2 * s + 1, c, q);
      PushChild(&heap, e, nv.right, 2 * s, c, q);
      if (C_ERROR::Is()) return T_NODE();
    }
    return T_NODE();
  }

 protected:
  static double Coo(const T& p, int i) { return GETCOO::Get(p, i); }
  static C_BOOL IsFinite(const T& p) {
    for (int i = 0; i < DIM; ++i) {
      if (!std::isfinite(Coo(p, i))) return false;
    }
    return true;
  }
  static void SetWholeSpace(double* cell) {
    for (int i = 0; i < DIM; ++i) {
      cell[2 * i] = -WHOLE_SPACE;
      cell[2 * i + 1] = WHOLE_SPACE;
    }
  }
  // Chebyshev distance.
  static double GetDis(const T& a, const T& b) {
    double d = 0;
    for (int i = 0; i < DIM; ++i) {
      const double e = std::fabs(Coo(a, i) - Coo(b, i));
      if (e > d) d = e;
    }
    return d;
  }

  // Inserts pts[indexes[lo..hi]] medians first: the lower median of the range
  // on axis, then the lower part, then the upper part with the next axis
  // (iteratively, so that only the lower parts recurse: depth log2 n).
  void InsertBalanced(const T_LIST<T>& pts, int lo, int hi, int axis, C_BOOL replace, double tol,
                      T_LIST<int>* indexes) {
    if (pts.IsVoid()) {
      TerrListIsVoid.Trigger();
      return;
    }
    while (lo <= hi) {
      if (lo == hi) {
        Insert(pts.GetFast(indexes->GetFast(lo)), replace, tol, nullptr, nullptr);
        return;
      }
      const int m = SelectMedian(pts, lo, hi, axis, indexes);
      Insert(pts.GetFast(indexes->GetFast(m)), replace, tol, nullptr, nullptr);
      if (C_ERROR::Is()) return;
      axis = (axis + 1) % DIM;
      if (lo < m) {
        InsertBalanced(pts, lo, m - 1, axis, replace, tol, indexes);
        if (C_ERROR::Is()) return;
      }
      lo = m + 1;
    }
  }

  // Gives the node that takes n's place (void when n has no children) and
  // relinks n's children under it; n is left without children. The classic
  // deletion, unrolled: going down, each node of the chain gets its
  // replacement (the minimum on its split axis of its right subtree, the
  // left subtree being moved right when there is no right one); coming back
  // up, each replacement is detached, its own replacement hung in its place
  // and the children of the node moved under it.
  T_NODE DeleteRecurs(T_NODE n) {
    struct STEP {
      T_NODE v;
      T_NODE m;
      T_NODE mParent;
      C_BOOL mLeft;
    };
    T_TREE2_STACK<STEP> chain;
    for (T_NODE v = n; this->HasChildren(v);) {
      const int axis = GetLevel(v) % DIM;
      if (this->At(v).right.IsVoid()) {
        const T_NODE l = this->At(v).left;
        this->Detach(l);
        this->AppendRightChild(v, l);
      }
      const T_NODE m = FindMinimum(this->At(v).right, axis);
      if (m.IsVoid()) {
        CerrInternalError.Trigger();
        return T_NODE();
      }
      const T_NODE mp = this->At(m).parent;
      chain.Push(STEP{v, m, mp, this->At(mp).left == m});
      if (C_ERROR::Is()) return T_NODE();
      v = m;
    }
    T_NODE r;
    while (!chain.IsVoid()) {
      const STEP s = chain.Pop();
      this->Detach(s.m);
      if (!r.IsVoid()) {
        if (s.mLeft) {
          this->AppendLeftChild(s.mParent, r);
        } else {
          this->AppendRightChild(s.mParent, r);
        }
      }
      const T_NODE l = this->At(s.v).left;
      if (!l.IsVoid()) {
        this->Detach(l);
        this->AppendLeftChild(s.m, l);
      }
      const T_NODE rc = this->At(s.v).right;
      if (!rc.IsVoid()) {
        this->Detach(rc);
        this->AppendRightChild(s.m, rc);
      }
      r = s.m;
    }
    return r;
  }

  // The node of t's subtree with the smallest coordinate on axis; among equal
  // minima the first met in pre-order. Below a node split on axis only the
  // left subtree can hold smaller values.
  T_NODE FindMinimum(T_NODE t, int axis) const {
    double minimum = WHOLE_SPACE;
    T_NODE result;
    if (t.IsVoid()) return result;
    FindMinimumRecurs(t, GetLevel(t), axis, &minimum, &result);
    return result;
  }
  void FindMinimumRecurs(T_NODE t, int level, int axis, double* minimum, T_NODE* result) const {
    struct STEP {
      T_NODE v;
      int split;
    };
    T_TREE2_STACK<STEP> stack;
    stack.Push(STEP{t, level % DIM});
    while (!stack.IsVoid()) {
      const STEP s = stack.Pop();
      const NODE& nv = this->At(s.v);
      const double c = Coo(nv.item, axis);
      if (c < *minimum) {
        *minimum = c;
        *result = s.v;
      }
      const int next = (s.split + 1) % DIM;
      // Pushed right first so that the left subtree is walked first.
      if (s.split != axis && !nv.right.IsVoid() && !stack.Push(STEP{nv.right, next})) return;
      if (!nv.left.IsVoid() && !stack.Push(STEP{nv.left, next})) return;
    }
  }

  // The smallest (largest) coordinate on axis i below v, v's split axis being
  // split: below a node split on i only the left (right) subtree matters.
  void ScanMin(T_NODE v, int split, int i, double* min) const { Scan(v, split, i, min, true); }
  void ScanMax(T_NODE v, int split, int i, double* max) const { Scan(v, split, i, max, false); }

  // Appends the nodes of v's subtree that pass the bounds, in pre-order. A
  // node's subtree is pruned on an axis when the node's coordinate shows it
  // out of the bounds; a child whose remaining mask is empty lies wholly in
  // the bounds and is gathered whole without tests.
  void SearchBranch(T_NODE v, int axis, const double* bounds, int mask,
                    T_LIST<T_NODE>* out) const {
    struct STEP {
      T_NODE v;
      int axis;
      int mask;
    };
    T_TREE2_STACK<STEP> stack;
    stack.Push(STEP{v, axis, mask});
    while (!stack.IsVoid()) {
      const STEP s = stack.Pop();
      if (s.mask == 0 && s.v != v) {
        this->Gather(s.v, out);
        if (C_ERROR::Is()) return;
        continue;
      }
      const NODE& nv = this->At(s.v);
      if (CheckObject(nv.item, bounds, s.mask) && !this->Collect(out, s.v)) return;
      if (nv.left.IsVoid() && nv.right.IsVoid()) continue;
      const int next = (s.axis + 1) % DIM;
      const double c = Coo(nv.item, s.axis);
      const int lowBit = 1 << (2 * s.axis);
      const int highBit = lowBit << 1;
      int leftMask = s.mask;
      int rightMask = s.mask;
      C_BOOL goLeft = true;
      C_BOOL goRight = true;
      if ((s.mask & (lowBit | highBit)) == 0) {
      } else if ((s.mask & highBit) != 0 && c > bounds[2 * s.axis + 1]) {
        goRight = false;
      } else if ((s.mask & lowBit) != 0 && c <= bounds[2 * s.axis]) {
        goLeft = false;
      } else {
        leftMask &= ~highBit;
        rightMask &= ~lowBit;
      }
      // Right first: the stack gives the left subtree first.
      if (goRight && !nv.right.IsVoid() && !stack.Push(STEP{nv.right, next, rightMask})) return;
      if (goLeft && !nv.left.IsVoid() && !stack.Push(STEP{nv.left, next, leftMask})) return;
    }
  }

  // Depth of n: 0 for the root, -1 for a void handle.
  int GetLevel(T_NODE n) const {
    int level = -1;
    for (T_NODE v = n; !v.IsVoid(); v = this->At(v).parent) ++level;
    return level;
  }

  // The k-nearest machinery shared by the searches: gathers every node,
  // takes k of them at random as the first candidates (their largest
  // distance is the first radius), lets traverse refine the candidates, then
  // lists them in order. pointDis gives an item's distance to the query.
  template <class PDIS, class TRAVERSE>
  void RunNearest(int k, T_LIST<T_NODE>* out, PDIS pointDis, TRAVERSE traverse) const {
    if (k <= 0 || this->root_.IsVoid()) return;
    const int slots = this->count_;
    const int reserve = k < slots ? k : slots;
    out->Grow(reserve);
    if (C_ERROR::Is()) return;
    candidates_ = 0;
    radius_ = 0;
    k_ = k;
    initial_.Clear();
    initial_.Grow(reserve);
    if (C_ERROR::Is()) return;
    T_CANDIDATE_SET set(reserve + 1);
    if (C_ERROR::Is()) return;
    T_LIST<T_NODE> all(slots);
    if (C_ERROR::Is()) return;
    this->Gather(this->root_, &all);
    if (C_ERROR::Is()) return;
    const int n = all.GetNumber();
    if (n <= k) {
      out->Append(all);
      return;
    }
    set_ = &set;
    all.Shuffle();
    for (int i = 0; i < k; ++i) {
      const T_NODE v = all.GetFast(i);
      FillSearchTree(v, pointDis(this->At(v).item));
      initial_.Append(v);
    }
    // Sorted by handle, so that FillSearchTree finds them by bisection.
    initial_.Sort();
    if (!C_ERROR::Is()) traverse();
    for (T_NODE c = set.GetFirst(); !c.IsVoid(); c = set.GetNext(c)) {
      out->Append(set.GetFast(c).node);
    }
    set_ = nullptr;
  }

  // The cell traversal of a k-nearest search whose distance is not tied to
  // the split coordinates (the distance to a line): a child's subtree is
  // visited when the lower bound metric.CellDis gives for its cell (DIM
  // (min, max) pairs) is below the radius. metric.PointDis gives an item's
  // distance. The right child is tested after the left subtree has been
  // walked, with the radius it left.
  template <class METRIC>
  void SearchNearestCells(const METRIC& metric, int k, T_LIST<T_NODE>* out) const {
    if (out == nullptr) return;
    out->Clear();
    RunNearest(
        k, out, [&metric](const T& item) { return metric.PointDis(item); },
        [this, &metric]() { SearchCells(metric); });
  }

 private:
  // Item p's Chebyshev distance to the query point.
  double GetSearchDis(const T& p) const {
    double d = 0;
    for (int i = 0; i < DIM; ++i) {
      const double e = std::fabs(Coo(p, i) - query_[i]);
      if (e > d) d = e;
    }
    return d;
  }
  void SetQuery(const T& p) const {
    for (int i = 0; i < DIM; ++i) query_[i] = Coo(p, i);
  }

  // Inactive bounds are not looked at; active ones are inclusive.
  static C_BOOL CheckObject(const T& p, const double* bounds, int mask) {
    for (int i = 0; i < DIM; ++i) {
      const double c = Coo(p, i);
      if ((mask & (1 << (2 * i))) != 0 && c < bounds[2 * i]) return false;
      if ((mask & (1 << (2 * i + 1))) != 0 && c > bounds[2 * i + 1]) return false;
    }
    return true;
  }

  void Scan(T_NODE v, int split, int i, double* value, C_BOOL min) const {
    struct STEP {
      T_NODE v;
      int split;
    };
    T_TREE2_STACK<STEP> stack;
    stack.Push(STEP{v, split});
    while (!stack.IsVoid()) {
      const STEP s = stack.Pop();
      const NODE& nv = this->At(s.v);
      const double c = Coo(nv.item, i);
      if (min ? c < *value : c > *value) *value = c;
      const int next = (s.split + 1) % DIM;
      if (!nv.left.IsVoid() && (s.split != i || min) && !stack.Push(STEP{nv.left, next})) return;
      if (!nv.right.IsVoid() && (s.split != i || !min) && !stack.Push(STEP{nv.right, next})) {
        return;
      }
    }
  }

  // While fewer than k candidates are held, every node goes in and the radius
  // is the largest distance held. Then a node goes in only when strictly
  // nearer than the radius and not one of the initial candidates (already
  // held or dropped); the largest record leaves and its successor's distance
  // is the new radius.
  void FillSearchTree(T_NODE n, double d) const {
    if (candidates_ < k_) {
      set_->Insert(n, d);
      ++candidates_;
      if (d > radius_) radius_ = d;
      return;
    }
    if (!(d < radius_) || initial_.Search(n) >= 0) return;
    set_->Insert(n, d);
    set_->RemoveLast();
    radius_ = set_->GetFast(set_->GetLast()).dis;
  }

  // The Chebyshev traversal from v: a subtree is skipped when the gap between
  // the node's split coordinate and the query exceeds the radius. The near
  // side is walked first; the far side is then tested with the radius the
  // near side left. Unrolled with a stack; a deferred far side carries its
  // gap.
  void SearchNode(T_NODE v, int axis) const {
    enum : int { VISIT, FAR_LEFT, FAR_RIGHT };
    struct STEP {
      T_NODE v;
      int axis;
      int kind;
      double diff;
    };
    T_TREE2_STACK<STEP> stack;
    stack.Push(STEP{v, axis, VISIT, 0});
    while (!stack.IsVoid()) {
      const STEP s = stack.Pop();
      if (s.v.IsVoid()) continue;
      if (s.kind == FAR_LEFT && s.diff <= -radius_) continue;
      if (s.kind == FAR_RIGHT && s.diff >= radius_) continue;
      const NODE& nv = this->At(s.v);
      const double diff = Coo(nv.item, s.axis) - query_[s.axis];
      const int next = (s.axis + 1) % DIM;
      C_BOOL pushed = true;
      if (diff < -radius_) {
        pushed = stack.Push(STEP{nv.right, next, VISIT, 0});
      } else if (diff > radius_) {
        pushed = stack.Push(STEP{nv.left, next, VISIT, 0});
      } else {
        const double d = GetSearchDis(nv.item);
        if (d < radius_) FillSearchTree(s.v, d);
        if (diff < 0) {
          pushed = stack.Push(STEP{nv.left, next, FAR_LEFT, diff}) &&
                   stack.Push(STEP{nv.right, next, VISIT, 0});
        } else {
          pushed = stack.Push(STEP{nv.right, next, FAR_RIGHT, diff}) &&
                   stack.Push(STEP{nv.left, next, VISIT, 0});
        }
      }
      if (!pushed) return;
    }
  }

  template <class METRIC>
  void SearchCells(const METRIC& metric) const {
    struct STEP {
      T_NODE v;
      int axis;
      C_BOOL deferred;  // the cell is still to be tested
      double cell[2 * DIM];
    };
    T_TREE2_STACK<STEP> stack;
    STEP first{this->root_, 0, false, {}};
    SetWholeSpace(first.cell);
    stack.Push(first);
    while (!stack.IsVoid()) {
      const STEP s = stack.Pop();
      if (s.deferred && !(metric.CellDis(s.cell) < radius_)) continue;
      for (int i = 0; i < 2 * DIM; ++i) cell_[i] = s.cell[i];
      const NODE& nv = this->At(s.v);
      const double d = metric.PointDis(nv.item);
      if (d < radius_) FillSearchTree(s.v, d);
      const int a = s.axis;
      const int next = (a + 1) % DIM;
      const double c = Coo(nv.item, a);
      if (!nv.right.IsVoid()) {
        STEP r{nv.right, next, true, {}};
        for (int i = 0; i < 2 * DIM; ++i) r.cell[i] = cell_[i];
        r.cell[2 * a] = c;
        if (!stack.Push(r)) return;
      }
      if (!nv.left.IsVoid()) {
        const double saved = cell_[2 * a + 1];
        cell_[2 * a + 1] = c;
        if (metric.CellDis(cell_) < radius_) {
          STEP l{nv.left, next, false, {}};
          for (int i = 0; i < 2 * DIM; ++i) l.cell[i] = cell_[i];
          if (!stack.Push(l)) return;
        }
        cell_[2 * a + 1] = saved;
      }
    }
  }

  // Pushes the entry of child with the cell of the popped entry e whose bound
  // number b (2s + 1 the max of a left child, 2s the min of a right one)
  // becomes the split coordinate c.
  void PushChild(T_MIN_HEAP<SEARCH_ENTRY>* heap, const SEARCH_ENTRY& e, T_NODE child, int b,
                 double c, const double* q) const {
    if (child.IsVoid()) return;
    SEARCH_ENTRY ce = e;
    ce.cell[b] = c;
    ce.node = child;
    ce.axis = (e.axis + 1) % DIM;
    ce.isPoint = false;
    double d2 = 0;
    for (int i = 0; i < DIM; ++i) {
      double g = 0;
      if (q[i] < ce.cell[2 * i]) {
        g = ce.cell[2 * i] - q[i];
      } else if (q[i] > ce.cell[2 * i + 1]) {
        g = q[i] - ce.cell[2 * i + 1];
      }
      d2 += g * g;
    }
    ce.distance = ce.key = d2;
    heap->Push(ce);
  }

  // Search state of the running operation (meaningless between calls).
  mutable double query_[DIM] = {};
  mutable double cell_[2 * DIM] = {};
  mutable int k_ = 0;
  mutable int candidates_ = 0;
  mutable T_CANDIDATE_SET* set_ = nullptr;
  mutable double radius_ = 0;
  mutable T_LIST<T_NODE> initial_;

  // The median step of InsertBalanced: quickselect of the element of rank
  // (hi - lo) / 2 of indexes[lo..hi] ordered by coordinate axis, with the
  // lists' two-way partition around the middle element; gives its position.
  int SelectMedian(const T_LIST<T>& pts, int lo, int hi, int axis, T_LIST<int>* indexes) const {
    const int target = lo + (hi - lo) / 2;
    int* a = indexes->GetAdrFast(0);
    const T* p = pts.GetAdrFast(0);
    auto less = [p, axis](int x, int y) { return Coo(p[x], axis) < Coo(p[y], axis); };
    while (lo < hi) {
      int i = 0, j = 0;
      Tpartition(a, lo, hi, less, &i, &j);
      if (j == target) break;
      if (target < j) {
        hi = j - 1;
      } else {
        lo = j + 1;
      }
    }
    return target;
  }
};

#endif
