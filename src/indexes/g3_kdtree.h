#ifndef G3GEOM_INDEXES_G3_KDTREE_H
#define G3GEOM_INDEXES_G3_KDTREE_H

#include "algebra/g3_axis.h"
#include "algebra/g3_point.h"
#include "containers/t_list.h"
#include "indexes/t_kdtree.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"
#include "runtime/t_node.h"
#include "volumes/g3_box.h"

// A point of the kd-tree with the caller's identifier of it. A plain record:
// its two members are open, with accessors beside them.
class G_API G3_KDTREE_POINT {
 public:
  G3_KDTREE_POINT() = default;
  G3_KDTREE_POINT(const G3_POINT& p, int i) : point(p), id(i) {}

  const G3_POINT& GetPoint() const { return point; }
  int GetId() const { return id; }
  void SetPoint(const G3_POINT& p) { point = p; }
  void SetId(int i) { id = i; }

  // Exact; the order is the points' lexicographic one, then the ids.
  C_BOOL operator==(const G3_KDTREE_POINT& q) const { return point == q.point && id == q.id; }
  C_BOOL operator>(const G3_KDTREE_POINT& q) const {
    if (point != q.point) return point > q.point;
    return id > q.id;
  }

  G3_POINT point;
  int id = 0;
};

// The coordinate accessor of the kd-tree: 0 is x, 1 is y, any other index z.
class G_API G3_KDTREE_POINT_GETCOO {
 public:
  static double Get(const G3_KDTREE_POINT& p, int i) { return p.point.GetCi(i); }
  double operator()(const G3_KDTREE_POINT& p, int i) const { return Get(p, i); }
};

// A kd-tree of identified points in space: the kd-tree template speaking
// G3_POINT and int ids instead of items and node handles. It adds no member.
//
// The searches write the search state held in the tree, so one tree serves
// one search at a time, the const ones included (incremental searches keep
// their state in their contexts). Points with a NaN or infinite coordinate
// are refused (CerrInvalidValue); queries with one find nothing.
class G_API G3_KDTREE : public T_KDTREE<3, G3_KDTREE_POINT, G3_KDTREE_POINT_GETCOO> {
 public:
  using KDTREE = T_KDTREE<3, G3_KDTREE_POINT, G3_KDTREE_POINT_GETCOO>;
  // The template's own forms (items and node handles) stay callable beside
  // the point-and-id forms below.
  using KDTREE::Delete;
  using KDTREE::Insert;
  using KDTREE::Search;
  using KDTREE::SearchNearest;

  // State of an incremental Euclidean search: the inner kd-tree context and
  // the query point. Its destructor leaves the inner context alone;
  // EndEuclideanSearch destroys both.
  class G_API PointSearchContext : public T_CONTEXT {
   public:
    PointSearchContext(T_CONTEXT* inner, const G3_POINT& query);
    PointSearchContext(const PointSearchContext&) = delete;
    PointSearchContext& operator=(const PointSearchContext&) = delete;
    ~PointSearchContext() override;

    T_CONTEXT* GetInner() const { return inner_; }
    const G3_POINT& GetQuery() const { return query_; }

   private:
    T_CONTEXT* inner_;
    G3_POINT query_;
  };

  G3_KDTREE();
  // Reserves n nodes.
  explicit G3_KDTREE(int n);
  G3_KDTREE(const G3_KDTREE& t);
  G3_KDTREE& operator=(const G3_KDTREE& t);
  ~G3_KDTREE();

  // Empties the tree, keeping its storage.
  void Clear();
  void Grow(int n);
  // Nodes ever created since the last Clear, deleted ones included.
  int GetNumber() const;
  C_BOOL IsVoid() const;

  // Inserts {p, id}. existingId (when given) receives -1 when the point went
  // in as a new node, else the id of the point found within tol on p's
  // descent path (the old id, also when replace overwrote it). False when a
  // duplicate was kept, or on error.
  C_BOOL Insert(const G3_POINT& p, int id, C_BOOL replace, double tol, int* existingId = nullptr);
  // Pairs pts with ids and inserts them (balanced when the tree is empty).
  // Nothing for empty pts; lists of different lengths raise CerrInternalError
  // and insert nothing.
  void Insert(const T_LIST<G3_POINT>& pts, const T_LIST<int>& ids, C_BOOL replace, double tol);
  // Deletes the point found by the lookup of p; false when none is found.
  C_BOOL Delete(const G3_POINT& p, double tol);
  // Lookup along p's descent path; the found point's id into id (when given).
  C_BOOL Search(const G3_POINT& p, int* id, double tol) const;
  // Range search with the box's bounds and mask & 63 (bit 2i the lower bound
  // of axis i, bit 2i + 1 its upper bound). Appends the points found (and
  // their ids) in search order without emptying the lists first; false with
  // the lists untouched when nothing is found.
  C_BOOL Search(const G3_BOX& box, T_LIST<G3_POINT>* pts, T_LIST<int>* ids, int mask) const;
  // Empties pts, then appends every point, pre-order from the root.
  void GetPoints(T_LIST<G3_POINT>* pts) const;

  // The nearest point to p by the Chebyshev distance (its id into id). An
  // empty tree raises TerrListNotFound and gives G3_POINT::P0.
  const G3_POINT& SearchNearest(const G3_POINT& p, int* id = nullptr) const;
  // Empties pts (and ids), then the k nearest points to p (Chebyshev),
  // nearest first; all the points, in pre-order, when there are no more
  // than k.
  void SearchNearest(const G3_POINT& p, int k, T_LIST<G3_POINT>* pts,
                     T_LIST<int>* ids = nullptr) const;
  // Empties pts (and ids), then the k points nearest to the line a by squared
  // distance, nearest first; all the points, in pre-order, when there are no
  // more than k.
  void SearchNearest(const G3_AXIS& a, int k, T_LIST<G3_POINT>* pts,
                     T_LIST<int>* ids = nullptr) const;
  // The point nearest to the line a; TerrListNotFound and G3_POINT::P0 for
  // an empty tree.
  const G3_POINT& SearchNearest(const G3_AXIS& a, int* id = nullptr) const;

  // Incremental search by increasing Euclidean distance from q: Begin once,
  // SearchEuclideanNearest as often as wanted (false once every point has
  // been given), End once. The tree must not change meanwhile. Begin gives
  // null after a failed allocation.
  T_CONTEXT* BeginEuclideanSearch(const G3_POINT& q) const;
  C_BOOL SearchEuclideanNearest(T_CONTEXT* c, G3_POINT* p, int* id = nullptr) const;
  // Destroys the inner context, then c; nothing for null.
  void EndEuclideanSearch(T_CONTEXT* c) const;

 private:
  // The nodes of the k points nearest to the line a (out emptied first).
  void SearchNearestNodes(const G3_AXIS& a, int k, T_LIST<T_NODE>* out) const;
};

#endif
