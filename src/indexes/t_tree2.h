#ifndef G3GEOM_INDEXES_T_TREE2_H
#define G3GEOM_INDEXES_T_TREE2_H

#include <climits>
#include <utility>

#include "containers/t_list.h"
#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/t_node.h"

// A last-in first-out stack of plain records for the iterative walks of the
// trees: a tree built by single insertions can be as deep as it has nodes,
// far too deep for recursion. The first records live in the object itself.
// A failed growth leaves CerrOutOfMemory pending and drops the record.
template <class E>
class T_TREE2_STACK {
 public:
  static constexpr int LOCAL_CAPACITY = 64;

  T_TREE2_STACK() = default;
  T_TREE2_STACK(const T_TREE2_STACK&) = delete;
  T_TREE2_STACK& operator=(const T_TREE2_STACK&) = delete;
  ~T_TREE2_STACK() {
    if (a_ != local_) delete[] a_;
  }

  C_BOOL IsVoid() const { return number_ == 0; }
  int GetNumber() const { return number_; }
  C_BOOL Push(const E& e) {
    if (number_ == size_ && !Grow()) return false;
    a_[number_++] = e;
    return true;
  }
  // No check: the stack must not be void.
  E Pop() { return a_[--number_]; }

 private:
  C_BOOL Grow() {
    const int n = size_ > INT_MAX / 2 ? INT_MAX : 2 * size_;
    if (n <= size_) {
      CerrOutOfMemory.Trigger();
      return false;
    }
    E* b = CnewArray<E>(n);
    if (b == nullptr) return false;
    for (int i = 0; i < number_; ++i) b[i] = a_[i];
    if (a_ != local_) delete[] a_;
    a_ = b;
    size_ = n;
    return true;
  }

  E local_[LOCAL_CAPACITY];
  E* a_ = local_;
  int size_ = LOCAL_CAPACITY;
  int number_ = 0;
};

// A binary tree whose nodes live in one growable array and are addressed by
// T_NODE handles (a handle's identifier is its slot). Each node holds an item
// and the handles of its parent and of its two children; a void handle means
// there is no such node.
//
// Slots are never reused nor compacted: a node taken out of the tree keeps its
// slot, so GetNumber counts the slots used since the last Clear.
//
// Every operation that takes a handle checks it: a void handle or one not
// below GetNumber raises TerrTreeInvalidNode and gives a void handle, false,
// 0 or the static zero item. Links that disagree raise TerrTreeCorruptedTree.
// A failed operation leaves the tree unchanged.
template <class T>
class T_TREE2 {
 public:
  struct NODE {
    T item{};
    T_NODE parent;
    T_NODE left;
    T_NODE right;
  };

  // Below this many slots the array grows straight to this size.
  static constexpr int MIN_GROWTH = 10;

  T_TREE2() = default;
  // Allocates n slots.
  explicit T_TREE2(int n) { Grow(n); }
  // Copies the used slots, the capacity, the count and the root. A failed
  // allocation leaves the copy empty.
  T_TREE2(const T_TREE2& t) { CopyFrom(t); }
  T_TREE2& operator=(const T_TREE2& t) {
    if (&t != this) {
      Free();
      CopyFrom(t);
    }
    return *this;
  }
  ~T_TREE2() { delete[] nodes_; }

  // A new heap copy owned by the caller; null after a failed allocation.
  T_TREE2* Clone() const { return CloneSame(); }
  T_TREE2* CloneSame() const {
    T_TREE2* c = Cnew<T_TREE2>(*this);
    if (C_ERROR::Is()) {
      delete c;
      return nullptr;
    }
    return c;
  }

  // Voids the links of every allocated slot; the array is kept.
  void Clear() {
    for (int i = 0; i < capacity_; ++i) {
      nodes_[i].parent.Clear();
      nodes_[i].left.Clear();
      nodes_[i].right.Clear();
    }
    count_ = 0;
    root_.Clear();
  }
  // Exactly n slots when n exceeds the capacity; the used ones are kept.
  void Grow(int n) {
    if (n > capacity_) Reallocate(n);
  }
  // When n exceeds the capacity c: 10 slots when n < 10 and 2c < 10, else
  // max(2c, n).
  void GrowAuto(int n) {
    if (n <= capacity_) return;
    const int twice = Twice(capacity_);
    if (n < MIN_GROWTH && twice < MIN_GROWTH) {
      Reallocate(MIN_GROWTH);
    } else {
      Reallocate(twice > n ? twice : n);
    }
  }

  // Stores item in the next slot and gives its handle (void after a failed
  // allocation). The array grows to max(2c, 10) while the tree is small, to
  // 2c when that is enough, else to exactly one more slot.
  T_NODE CreateNode(const T& item) {
    if (count_ == INT_MAX) {
      CerrOutOfMemory.Trigger();
      return T_NODE();
    }
    const int need = count_ + 1;
    if (need > capacity_) {
      const int twice = Twice(capacity_);
      int n = need;
      if (need < MIN_GROWTH) {
        n = twice > MIN_GROWTH ? twice : MIN_GROWTH;
      } else if (need <= twice) {
        n = twice;
      }
      // The item may live in the array that is about to move.
      const T copy(item);
      if (!Reallocate(n)) return T_NODE();
      nodes_[count_].item = copy;
    } else {
      nodes_[count_].item = item;
    }
    return T_NODE(count_++);
  }

  // Makes a new node holding item the root; the previous root, if any,
  // becomes its left child when asLeft is true, else its right child.
  T_NODE NewRoot(const T& item, C_BOOL asLeft) {
    const T_NODE n = CreateNode(item);
    if (n.IsVoid()) return n;
    LinkAsRoot(n, asLeft);
    return n;
  }
  // The same with an existing node, which must head a detached subtree (no
  // parent) and have the slot for the previous root free.
  T_NODE NewRoot(T_NODE n, C_BOOL asLeft) {
    if (!Check(n)) return T_NODE();
    if (n == root_) return n;
    NODE& v = At(n);
    const T_NODE side = asLeft ? v.left : v.right;
    if (!v.parent.IsVoid() || (!root_.IsVoid() && !side.IsVoid())) {
      TerrTreeInvalidNode.Trigger();
      return T_NODE();
    }
    LinkAsRoot(n, asLeft);
    return n;
  }

  // Creates a node holding item as the left (right) child of parent and gives
  // its handle. The parent's slot must be free, else TerrTreeInvalidNode: an
  // occupied slot would silently drop the subtree hanging there.
  T_NODE AppendLeftChild(T_NODE parent, const T& item) { return AppendItem(parent, item, true); }
  T_NODE AppendRightChild(T_NODE parent, const T& item) { return AppendItem(parent, item, false); }
  // Links an existing node as the left (right) child of parent. The parent's
  // slot must be free and child must head a detached subtree that does not
  // hold parent (else TerrTreeInvalidNode: the link would make a cycle).
  T_NODE AppendLeftChild(T_NODE parent, T_NODE child) { return AppendNode(parent, child, true); }
  T_NODE AppendRightChild(T_NODE parent, T_NODE child) { return AppendNode(parent, child, false); }

  // Unlinks n from its parent (both links cleared); nothing for a node
  // without parent. TerrTreeCorruptedTree when the parent does not point back.
  void Detach(T_NODE n) {
    if (!Check(n)) return;
    const T_NODE p = At(n).parent;
    if (p.IsVoid()) return;
    NODE& pv = At(p);
    if (pv.left == n) {
      pv.left.Clear();
    } else if (pv.right == n) {
      pv.right.Clear();
    } else {
      TerrTreeCorruptedTree.Trigger();
      return;
    }
    At(n).parent.Clear();
  }

  // Puts n, which must head a detached subtree that does not hold old, in
  // old's place under old's parent, or as root when old is the root; old
  // loses its parent.
  void Replace(T_NODE old, T_NODE n) {
    if (!Check(old) || !Check(n)) return;
    if (old == n) return;
    if (!IsDetachedTop(n) || Holds(n, old)) {
      TerrTreeInvalidNode.Trigger();
      return;
    }
    const T_NODE p = At(old).parent;
    if (p.IsVoid()) {
      if (old != root_) {
        TerrTreeInvalidNode.Trigger();
        return;
      }
      root_ = n;
      return;
    }
    NODE& pv = At(p);
    if (pv.left == old) {
      pv.left = n;
    } else if (pv.right == old) {
      pv.right = n;
    } else {
      TerrTreeCorruptedTree.Trigger();
      return;
    }
    At(n).parent = p;
    At(old).parent.Clear();
  }

  // The item: checked (the static zero item on error) or not.
  const T& Get(T_NODE n) const {
    if (!Check(n)) return GetDefault();
    return At(n).item;
  }
  const T& GetFast(T_NODE n) const { return nodes_[n.GetId()].item; }
  T* GetAdr(T_NODE n) {
    if (!Check(n)) return nullptr;
    return &At(n).item;
  }
  T* GetAdrFast(T_NODE n) { return &nodes_[n.GetId()].item; }
  const T* GetAdr(T_NODE n) const {
    if (!Check(n)) return nullptr;
    return &At(n).item;
  }
  const T* GetAdrFast(T_NODE n) const { return &nodes_[n.GetId()].item; }

  T_NODE GetRoot() const { return root_; }
  T_NODE GetLeftChild(T_NODE n) const { return Check(n) ? At(n).left : T_NODE(); }
  T_NODE GetRightChild(T_NODE n) const { return Check(n) ? At(n).right : T_NODE(); }
  T_NODE GetParent(T_NODE n) const { return Check(n) ? At(n).parent : T_NODE(); }

  C_BOOL HasChildren(T_NODE n) const {
    if (!Check(n)) return false;
    return !At(n).left.IsVoid() || !At(n).right.IsVoid();
  }
  int GetChildrenNumber(T_NODE n) const {
    if (!Check(n)) return 0;
    return (At(n).left.IsVoid() ? 0 : 1) + (At(n).right.IsVoid() ? 0 : 1);
  }
  // TerrTreeNoParent for a node without parent.
  C_BOOL IsLeftChild(T_NODE n) const { return IsChild(n, true); }
  C_BOOL IsRightChild(T_NODE n) const { return IsChild(n, false); }

  // Appends n and every node below it to out, pre-order (node, left subtree,
  // right subtree). Walks the parent links, so it needs no stack.
  void Gather(T_NODE n, T_LIST<T_NODE>* out) const {
    if (!Check(n) || out == nullptr) return;
    T_NODE v = n;
    if (!Collect(out, v)) return;
    for (;;) {
      const NODE& nv = At(v);
      if (!nv.left.IsVoid()) {
        v = nv.left;
      } else if (!nv.right.IsVoid()) {
        v = nv.right;
      } else {
        // Climb to the nearest ancestor (below n) whose right subtree is
        // still to be walked.
        for (;;) {
          if (v == n) return;
          const T_NODE p = At(v).parent;
          if (At(p).left == v && !At(p).right.IsVoid()) {
            v = At(p).right;
            break;
          }
          v = p;
        }
      }
      if (!Collect(out, v)) return;
    }
  }

  // Slots used since the last Clear (deleted nodes included).
  int GetNumber() const { return count_; }
  C_BOOL IsVoid() const { return root_.IsVoid(); }

 protected:
  static const T& GetDefault() {
    static const T item{};
    return item;
  }
  // Appends v to out; false after a failed growth (error pending). The
  // pending error is looked at only when the list had to grow.
  static C_BOOL Collect(T_LIST<T_NODE>* out, T_NODE v) {
    const C_BOOL grows = out->GetNumber() == out->GetSize();
    out->Append(v);
    return !grows || !C_ERROR::Is();
  }
  NODE& At(T_NODE n) { return nodes_[n.GetId()]; }
  const NODE& At(T_NODE n) const { return nodes_[n.GetId()]; }
  C_BOOL Check(T_NODE n) const {
    if (n.IsVoid() || n.GetId() >= count_) {
      TerrTreeInvalidNode.Trigger();
      return false;
    }
    return true;
  }
  // Parentless and not the root: the top of a subtree out of the tree.
  C_BOOL IsDetachedTop(T_NODE n) const { return At(n).parent.IsVoid() && n != root_; }
  // Whether top is n or one of its ancestors.
  C_BOOL Holds(T_NODE top, T_NODE n) const {
    for (T_NODE v = n; !v.IsVoid(); v = At(v).parent) {
      if (v == top) return true;
    }
    return false;
  }

  NODE* nodes_ = nullptr;
  int capacity_ = 0;
  int count_ = 0;
  T_NODE root_;

 private:
  static int Twice(int c) { return c > INT_MAX / 2 ? INT_MAX : 2 * c; }

  C_BOOL Reallocate(int n) {
    NODE* b = CnewArray<NODE>(n);
    if (b == nullptr) return false;
    for (int i = 0; i < count_; ++i) b[i] = std::move(nodes_[i]);
    delete[] nodes_;
    nodes_ = b;
    capacity_ = n;
    return true;
  }

  void Free() {
    delete[] nodes_;
    nodes_ = nullptr;
    capacity_ = count_ = 0;
    root_.Clear();
  }

  void CopyFrom(const T_TREE2& t) {
    if (t.capacity_ <= 0) return;
    NODE* b = CnewArray<NODE>(t.capacity_);
    if (b == nullptr) return;
    for (int i = 0; i < t.count_; ++i) b[i] = t.nodes_[i];
    nodes_ = b;
    capacity_ = t.capacity_;
    count_ = t.count_;
    root_ = t.root_;
  }

  void LinkAsRoot(T_NODE n, C_BOOL asLeft) {
    if (!root_.IsVoid()) {
      (asLeft ? At(n).left : At(n).right) = root_;
      At(root_).parent = n;
    }
    root_ = n;
  }

  T_NODE AppendItem(T_NODE parent, const T& item, C_BOOL left) {
    if (!Check(parent)) return T_NODE();
    if (!(left ? At(parent).left : At(parent).right).IsVoid()) {
      TerrTreeInvalidNode.Trigger();
      return T_NODE();
    }
    const T_NODE n = CreateNode(item);
    if (n.IsVoid()) return n;
    Link(parent, n, left);
    return n;
  }

  T_NODE AppendNode(T_NODE parent, T_NODE child, C_BOOL left) {
    if (!Check(parent) || !Check(child)) return T_NODE();
    if (!(left ? At(parent).left : At(parent).right).IsVoid() || !IsDetachedTop(child) ||
        Holds(child, parent)) {
      TerrTreeInvalidNode.Trigger();
      return T_NODE();
    }
    Link(parent, child, left);
    return child;
  }

  void Link(T_NODE parent, T_NODE child, C_BOOL left) {
    (left ? At(parent).left : At(parent).right) = child;
    At(child).parent = parent;
  }

  C_BOOL IsChild(T_NODE n, C_BOOL left) const {
    if (!Check(n)) return false;
    const T_NODE p = At(n).parent;
    if (p.IsVoid()) {
      TerrTreeNoParent.Trigger();
      return false;
    }
    return (left ? At(p).left : At(p).right) == n;
  }
};

#endif
