#ifndef G3GEOM_INDEXES_G3_RTREE_H
#define G3GEOM_INDEXES_G3_RTREE_H

#include <cstdint>
#include <utility>

#include "containers/t_list.h"
#include "containers/t_list_p.h"
#include "indexes/t_min_heap.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"
#include "runtime/t_node.h"
#include "tokens/t_hash_map.h"
#include "volumes/g2_box.h"
#include "volumes/g3_box.h"

class G3_AXIS;
struct G3_RTREE_NODE;

// Most branches of a node; a split works on one more.
constexpr int G3_RTREE_NODE_CARD = 5;
constexpr int G3_RTREE_SPLIT_CARD = G3_RTREE_NODE_CARD + 1;
// Fewest branches a node keeps after a split or a deletion.
constexpr int G3_RTREE_MIN_FILL = 2;

// One slot of a node: a box and what it covers. In an inner node child points
// to the child node; in a leaf it holds the stored id plus 1, so that a null
// child marks a free slot.
struct G_API G3_RTREE_BRANCH {
  G3_BOX rect;
  G3_RTREE_NODE* child = nullptr;

  static G3_RTREE_NODE* IdToChild(int id) {
    return reinterpret_cast<G3_RTREE_NODE*>(static_cast<intptr_t>(id) + 1);
  }
  static int ChildToId(const G3_RTREE_NODE* child) {
    return static_cast<int>(reinterpret_cast<intptr_t>(child) - 1);
  }
  // The id stored in a leaf slot.
  int GetId() const { return ChildToId(child); }
};

// A node of the tree. Branches are not packed: an insertion takes the first
// free slot and a deletion frees its slot in place.
struct G_API G3_RTREE_NODE {
  int count = 0;       // slots in use
  int level = -1;      // 0 for a leaf, height above the leaves otherwise
  int poolIndex = -1;  // position in the tree's node pool
  G3_RTREE_BRANCH branch[G3_RTREE_NODE_CARD];

  // Empty: no slot in use, level -1 until it is given one.
  void Init();
  C_BOOL IsLeaf() const { return level == 0; }
  // The union of the used slots' boxes (the void box for an empty node).
  G3_BOX GetCover() const;
};

// A cell of the list of nodes whose entries a deletion reinserts.
struct G_API G3_RTREE_NODE_LIST {
  G3_RTREE_NODE_LIST* next = nullptr;
  G3_RTREE_NODE* node = nullptr;
};

// Work area of a node split over the 6 buffered entries.
struct G_API G3_RTREE_PARTITION_VARS {
  int partition[G3_RTREE_SPLIT_CARD];  // group 0 or 1 of each entry, -1 for none
  C_BOOL taken[G3_RTREE_SPLIT_CARD];
  int count[2];     // entries per group
  G3_BOX cover[2];  // bounding box per group
  double area[2];   // volume of each cover
};

// What the id map holds for an id.
struct G_API G3_RTREE_RECORD {
  int id = 0;
  G3_BOX box;
};

// A dynamic R-tree of boxes, each stored with an id chosen by the caller.
// Insertion chooses the subtree of least volume enlargement and splits full
// nodes with a linear choice of seeds; deletion condenses the tree and
// reinserts the entries of underfull nodes. A map from id to box lets a box be
// deleted by its id alone. Queries return ids, depth first, slots in order.
//
// Ids: any int but -1 (its slot value, id + 1, would read as a free slot).
// Boxes: any but those with a NaN coordinate. An id inserted twice is stored
// twice; the map keeps its last box, and deleting the id removes one entry
// found with that box.
class G_API G3_RTREE {
 public:
  // Entry of an incremental search heap. The initial entry is {0.0, root,
  // false, -1, 0.0}; the caller decides what the others mean.
  struct SEARCH_ENTRY {
    double value = 0.0;
    G3_RTREE_NODE* node = nullptr;
    C_BOOL flag;
    int index = -1;
    double key = 0.0;
  };
  using SEARCH_HEAP = T_MIN_HEAP<SEARCH_ENTRY>;

  // A best-first search over the tree, stepped by the caller through its
  // heap. It must not outlive the tree, and the tree must not change while
  // it is in use.
  class G_API IncrementalSearchContext : public T_CONTEXT {
   public:
    IncrementalSearchContext() = default;
    IncrementalSearchContext(const IncrementalSearchContext&) = delete;
    IncrementalSearchContext& operator=(const IncrementalSearchContext&) = delete;
    ~IncrementalSearchContext() override;
    SEARCH_HEAP* heap = nullptr;  // owned
  };

  G3_RTREE();
  // Independent copies: nodes, links, counters and id map are duplicated. A
  // failed copy leaves CerrOutOfMemory pending; the copy constructor then
  // gives an empty tree and the assignment leaves the target unchanged.
  G3_RTREE(const G3_RTREE& t);
  G3_RTREE& operator=(const G3_RTREE& t);
  ~G3_RTREE();

  // Back to a single empty leaf; every node is freed and the map emptied.
  void Clear();
  C_BOOL IsVoid() const { return boxCount_ == 0; }
  G3_RTREE_NODE* GetRoot() const { return root_; }
  // The union of the root's boxes; the void box when no box is stored.
  void GetGlobalBox(G3_BOX* box) const;

  // Counters: stored boxes, nodes in use, leaves, inner nodes, used slots.
  int GetBoxCount() const { return boxCount_; }
  int GetNodeCount() const { return nodeCount_; }
  int GetLeafCount() const { return leafCount_; }
  int GetInnerCount() const { return innerCount_; }
  int GetBranchCount() const { return branchCount_; }
  // Every node ever allocated (in use or free).
  int GetPoolSize() const { return pool_.GetNumber(); }
  // Height of the tree: the root's level (0 for a single leaf).
  int GetHeight() const { return root_ != nullptr ? root_->level : 0; }

  // ---- Node management
  // A free node re-initialised, or a new one added to the pool; null with
  // CerrOutOfMemory pending when none can be had.
  G3_RTREE_NODE* NewNode();
  // A new leaf.
  G3_RTREE_NODE* NewIndex();
  // Returns n to the free list.
  void FreeNode(G3_RTREE_NODE* n);
  G3_RTREE_NODE_LIST* NewListNode();
  void FreeListNode(G3_RTREE_NODE_LIST* l);
  // Puts b in the first free slot of n (false), or splits n into n and a new
  // node returned in *newNode (true).
  C_BOOL AddBranch(const G3_RTREE_BRANCH& b, G3_RTREE_NODE* n, G3_RTREE_NODE** newNode);

  // ---- Updates
  // Stores box with id and records it in the id map; true when the root was
  // split (the tree grew one level). An id of -1 or a box with a NaN
  // coordinate (CerrInvalidValue), or a failed allocation, leaves an error
  // pending, returns false and stores nothing.
  C_BOOL InsertRect(const G3_BOX& box, int id);
  // Deletes the entry of id found with its recorded box; false when the id is
  // not in the map.
  C_BOOL DeleteRect(int id);

  // ---- Queries (touching counts; a query with a NaN coordinate meets nothing)
  void Intersect(const G3_BOX& q, T_LIST<int>* ids) const;
  // Boxes whose x and y ranges meet q's.
  void Intersect(const G2_BOX& q, T_LIST<int>* ids) const;
  // Boxes that the line meets.
  void Intersect(const G3_AXIS& a, T_LIST<int>* ids) const;
  // False when the tree is void or no box meets q in plan. Else out = union of
  // the boxes meeting q in plan, its x and y ranges clipped to q.
  // Neither Union nor IncludeAll changes anything: the const forms serve
  // const trees as well.
  C_BOOL Union(const G2_BOX& q, G3_BOX* out) const;
  C_BOOL Union(const G2_BOX& q, G3_BOX* out) { return std::as_const(*this).Union(q, out); }
  // The global box lies in q (inclusive); true for a void tree.
  C_BOOL IncludeAll(const G3_BOX& q) const;
  C_BOOL IncludeAll(const G3_BOX& q) { return std::as_const(*this).IncludeAll(q); }
  C_BOOL IncludeAll(const G2_BOX& q) const;
  C_BOOL IncludeAll(const G2_BOX& q) { return std::as_const(*this).IncludeAll(q); }

 private:
  C_BOOL InsertRect1(const G3_RTREE_BRANCH& b, G3_RTREE_NODE** root, int level);
  C_BOOL InsertRect2(const G3_RTREE_BRANCH& b, G3_RTREE_NODE* n, G3_RTREE_NODE** newNode,
                     int level);
  C_BOOL DeleteRect1(const G3_BOX& r, int id, G3_RTREE_NODE** root);
  C_BOOL DeleteRect2(const G3_BOX& r, int id, G3_RTREE_NODE* n, G3_RTREE_NODE_LIST** reinsert,
                     C_BOOL guided);
  void ReInsert(G3_RTREE_NODE* n, G3_RTREE_NODE_LIST** list);
  void SplitNode(G3_RTREE_NODE* n, const G3_RTREE_BRANCH& b, G3_RTREE_NODE** newNode);
  void GetBranches(G3_RTREE_NODE* n, const G3_RTREE_BRANCH& b);
  void MethodZero(G3_RTREE_PARTITION_VARS* pv);
  void InitPVars(G3_RTREE_PARTITION_VARS* pv);
  void PickSeeds(G3_RTREE_PARTITION_VARS* pv);
  void Pigeonhole(G3_RTREE_PARTITION_VARS* pv);
  void Classify(int i, int group, G3_RTREE_PARTITION_VARS* pv);
  void LoadNodes(G3_RTREE_NODE* n, G3_RTREE_NODE* q, G3_RTREE_PARTITION_VARS* pv);
  // Makes sure n nodes wait on the free list, so that an update never has to
  // allocate half-way.
  C_BOOL ReserveFree(int n);
  void FreeAll();
  void CopyFrom(const G3_RTREE& t);

  void GetIndexes(const G3_RTREE_NODE* n, const G3_BOX& q, T_LIST<int>* ids) const;
  void GetIndexes(const G3_RTREE_NODE* n, const G2_BOX& q, T_LIST<int>* ids) const;
  void GetIndexes(const G3_RTREE_NODE* n, const G3_AXIS& a, T_LIST<int>* ids) const;
  // The walk of the two box queries (Q: G3_BOX or G2_BOX).
  template <class Q>
  void GetIndexesOf(const G3_RTREE_NODE* n, const Q& q, T_LIST<int>* ids) const;
  C_BOOL GetUnion(const G3_RTREE_NODE* n, const G2_BOX& q, G3_BOX* out) const;
  void Gather(const G3_RTREE_NODE* n, T_LIST<int>* ids) const;
  // Empties ids and makes room for every stored box.
  void PrepareOutput(T_LIST<int>* ids) const;

  int minFill_ = G3_RTREE_MIN_FILL;
  G3_RTREE_NODE* root_ = nullptr;
  G3_RTREE_NODE* freeNodes_ = nullptr;  // chained through branch[0].child
  C_BOOL reinserting_;
  int boxCount_ = 0;
  int nodeCount_ = 0;
  int leafCount_ = 0;
  int innerCount_ = 0;
  int branchCount_ = 0;
  T_LIST_P<G3_RTREE_NODE> pool_;
  G3_RTREE_PARTITION_VARS pv_;
  G3_RTREE_BRANCH branchBuf_[G3_RTREE_SPLIT_CARD];
  G3_BOX coverSplit_;
  T_HASH_MAP<int, G3_RTREE_RECORD>* idMap_ = nullptr;
  int freeCount_ = 0;   // nodes on the free list
  C_BOOL broken_;       // an update met a state it cannot handle
};

// A best-first search context over t, holding the initial entry (none for a
// void tree); null when it cannot be allocated.
G_API T_CONTEXT* G3_RTREE_BeginIncrementalSearch(const G3_RTREE& t);
// Destroys c; nothing for null.
G_API void G3_RTREE_EndIncrementalSearch(T_CONTEXT* c);

#endif
