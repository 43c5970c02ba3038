#ifndef G3GEOM_INDEXES_G3_HBOX_H
#define G3GEOM_INDEXES_G3_HBOX_H

#include <utility>

#include "containers/t_list.h"
#include "indexes/t_min_heap.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"
#include "runtime/t_node.h"
#include "volumes/g2_box.h"
#include "volumes/g3_box.h"

class G3_AXIS;

// One element of a box hierarchy: a leaf or an inner node. Positions min..max
// of the hierarchy's id permutation are exactly the boxes below it; a node's
// children are the elements link1 and link2.
class G_API G3_HBOXELT {
 public:
  // An element of any other type has nothing below it.
  enum TYPE : int { LEAF = 0, NODE = 1 };

  G3_HBOXELT() = default;
  // Replaces the box only.
  G3_HBOXELT& operator=(const G3_BOX& box) {
    box_ = box;
    return *this;
  }

  const G3_BOX& GetBox() const { return box_; }
  TYPE GetType() const { return type_; }
  void SetType(TYPE t) { type_ = t; }
  // Any int is kept as it is; a value other than LEAF or NODE has nothing below.
  void SetType(int t) { type_ = static_cast<TYPE>(t); }
  int GetMin() const { return min_; }
  void SetMin(int v) { min_ = v; }
  int GetMax() const { return max_; }
  void SetMax(int v) { max_ = v; }
  int GetLink1() const { return link1_; }
  void SetLink1(int v) { link1_ = v; }
  int GetLink2() const { return link2_; }
  void SetLink2(int v) { link2_ = v; }

 private:
  G3_BOX box_;  // void until built
  TYPE type_ = LEAF;
  int min_ = 0;
  int max_ = 0;
  int link1_ = 0;
  int link2_ = 0;
};

// A static hierarchy of boxes, built once from a whole list by sorting and
// halving. A box's id is its position in the list; queries report ids. The
// root is the last element and children are built before their parents. A
// box with a NaN coordinate keeps its id but is never reported by a query.
class G_API G3_HBOX {
 public:
  // Entry of an incremental search heap. The initial entry is {0.0, root,
  // false, 0.0}; the caller decides what the others mean.
  struct SEARCH_ENTRY {
    double value = 0.0;
    int index = 0;
    C_BOOL flag;
    double key = 0.0;
  };
  using SEARCH_HEAP = T_MIN_HEAP<SEARCH_ENTRY>;

  // A best-first search over a hierarchy, stepped by the caller through its
  // heap. The hierarchy must outlive it and not be rebuilt meanwhile.
  class G_API IncrementalSearchContext : public T_CONTEXT {
   public:
    IncrementalSearchContext() = default;
    IncrementalSearchContext(const IncrementalSearchContext&) = delete;
    IncrementalSearchContext& operator=(const IncrementalSearchContext&) = delete;
    ~IncrementalSearchContext() override;
    SEARCH_HEAP* heap = nullptr;    // owned
    const G3_HBOX* hbox = nullptr;  // not owned
  };

  // Runs of at least this many boxes are split; a run of one box cannot be.
  static constexpr int MIN_LEAF_SIZE = 2;

  G3_HBOX();
  G3_HBOX(const G3_HBOX& h);
  G3_HBOX& operator=(const G3_HBOX& h);
  ~G3_HBOX();

  // Stores a copy of boxes and builds over it. Runs of leafSize boxes or more
  // are split, along x or y (or z too when splitZ). A leaf size below 2 is
  // rejected ("R#Err#Leaf size below 2") and nothing changes.
  void SetBoxes(const T_LIST<G3_BOX>& boxes, C_BOOL splitZ, int leafSize);
  // The same, taking the caller's list and nulling the pointer; a rejected
  // leaf size leaves the list with the caller.
  void GrabBoxes(T_LIST<G3_BOX>** boxes, C_BOOL splitZ, int leafSize);

  int GetNumber() const { return eltCount_; }
  // No index checks below.
  const G3_HBOXELT& Get(int i) const { return elts_[i]; }
  const T_LIST<G3_BOX>& GetBoxes() const;
  // The list itself. Queries read the boxes as they were at the last build:
  // a list changed through this pointer is seen after the next build only.
  T_LIST<G3_BOX>* GetBoxesAdr() { return boxes_; }
  int GetIdFromElt(int k) const { return ids_[k]; }
  const G3_BOX& GetLeafBox(int id) const { return GetBoxes()[id]; }
  int GetLeafSize() const { return leafSize_; }

  // ---- Queries (touching counts; a query with a NaN coordinate meets nothing)
  void Intersect(const G3_BOX& q, T_LIST<int>* ids) const;
  // Boxes whose x and y ranges meet q's.
  void Intersect(const G2_BOX& q, T_LIST<int>* ids) const;
  // Boxes that the line meets.
  void Intersect(const G3_AXIS& a, T_LIST<int>* ids) const;
  // False when no box meets q in plan; else out = union of the boxes meeting
  // q in plan, its x and y ranges clipped to q.
  // Neither Union nor IncludeAll changes anything: the const forms serve
  // const hierarchies as well.
  C_BOOL Union(const G2_BOX& q, G3_BOX* out) const;
  C_BOOL Union(const G2_BOX& q, G3_BOX* out) { return std::as_const(*this).Union(q, out); }
  // Every box lies in q (inclusive); true for an empty hierarchy.
  C_BOOL IncludeAll(const G3_BOX& q) const;
  C_BOOL IncludeAll(const G3_BOX& q) { return std::as_const(*this).IncludeAll(q); }
  C_BOOL IncludeAll(const G2_BOX& q) const;
  C_BOOL IncludeAll(const G2_BOX& q) { return std::as_const(*this).IncludeAll(q); }
  // Appends the ids of every box below element elt.
  void Gather(int elt, T_LIST<int>* ids) const;

 protected:
  void BuildHBox(C_BOOL splitZ);
  void Build(int first, int last, C_BOOL splitZ);
  // Union of the boxes at positions first..last of the id permutation.
  G3_BOX GetBox(int first, int last) const;

  void GetIndexes(int elt, const G3_BOX& q, T_LIST<int>* ids) const;
  void GetIndexes(int elt, const G2_BOX& q, T_LIST<int>* ids) const;
  void GetIndexes(int elt, const G3_AXIS& a, T_LIST<int>* ids) const;
  // The walk of the two box queries (Q: G3_BOX or G2_BOX).
  template <class Q>
  void GetIndexesOf(int elt, const Q& q, T_LIST<int>* ids) const;
  C_BOOL GetUnion(int elt, const G2_BOX& q, G3_BOX* out) const;

 private:
  // Gather for a query that encloses element elt: boxes with a NaN
  // coordinate are left out.
  void GatherMet(int elt, T_LIST<int>* ids) const;
  // The split's sort of positions first..last along axis (0, 1, 2), with the
  // boxes in permutation order kept alongside.
  void SortRange(int axis, int first, int last);
  // GetBox read from the boxes in permutation order.
  G3_BOX RangeBox(int first, int last) const;
  // Build over positions first..last, whose order is the one the sorts give
  // when order is -1, and otherwise the ascending order of their minimums
  // along axis order (all different there), to be put in place when needed.
  void BuildFast(int first, int last, C_BOOL splitZ, int order);
  // Positions first..last in ascending order of their minimums along axis,
  // all different.
  void OrderBy(int axis, int first, int last);
  // Positions first..last parted so that the mid - first + 1 smallest
  // minimums along axis, all different, come first.
  void SplitAt(int axis, int first, int mid, int last);
  // No two boxes share their minimum along axis, and none is NaN.
  C_BOOL DistinctMins(int axis) const;

  // Work area of a build: a sort key per position, and room to permute.
  struct SORT_KEY {
    double key;  // minimum coordinate along the split axis
    int pos;     // position in the range being sorted
  };
  struct BUILD_AREA {
    SORT_KEY* keys = nullptr;
    G3_BOX* boxes = nullptr;
    int* ids = nullptr;
    double* mins = nullptr;
    C_BOOL distinct[3];  // DistinctMins of each axis
  };

  G3_HBOXELT* elts_ = nullptr;
  int eltCount_ = 0;
  int eltCapacity_ = 0;
  int leafSize_ = 0;
  T_LIST<G3_BOX>* boxes_ = nullptr;
  T_LIST<int> ids_;
  // The boxes in the order of the id permutation, copied at the build, so
  // that a leaf reads its boxes side by side instead of all over the list.
  G3_BOX* posBoxes_ = nullptr;
  // Some box has a NaN coordinate: such a box meets nothing, so a query that
  // encloses a whole element must still look at its boxes.
  C_BOOL hasNan_;
  // Set during BuildHBox only; a Build without it sorts through the list.
  BUILD_AREA* area_ = nullptr;
};

// A best-first search context over h, holding the initial entry (none for an
// empty hierarchy); null when it cannot be allocated.
G_API T_CONTEXT* G3_HBOX_BeginIncrementalSearch(const G3_HBOX& h);
// Destroys c; nothing for null.
G_API void G3_HBOX_EndIncrementalSearch(T_CONTEXT* c);

#endif
