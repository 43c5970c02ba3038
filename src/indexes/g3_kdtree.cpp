#include "indexes/g3_kdtree.h"

#include <cmath>

#include "algebra/g3_vector.h"
#include "runtime/c_error.h"

namespace {

// The search towards a line re-anchors the line's origin this many box radii
// before the projection of the points' box centre, so that the half-line
// from the new origin runs through the whole box.
constexpr double LINE_ANCHOR_RADII = 1.1;
// Relative share of the coordinate scale taken off the cell distance so that
// rounding never lets it exceed a true point distance.
constexpr double CELL_DIS_MARGIN = 1e-12;
// Directions shorter than this are not normalised.
constexpr double TINY_LENGTH = 1e-150;
// A corner direction whose part orthogonal to the line is below this share
// of its length runs along the line and is not used.
constexpr double ALONG_LINE = 1e-8;

C_BOOL IsFinitePoint(const G3_POINT& p) {
  return std::isfinite(p.GetCx()) && std::isfinite(p.GetCy()) && std::isfinite(p.GetCz());
}

double Dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The squared distance to a line (origin o, unit direction u) of the points
// of the tree and a lower bound of it over a kd-tree cell.
//
// A cell's bound is 0 when the half-line from o meets it. Otherwise the cell
// is first cut down to the points' box (every point of a subtree lies in its
// cell and in that box) and the distance between the line and the cut box
// is found in the plane orthogonal to u, where the line is a point and the
// box a convex polygon: it is the largest gap along the directions that can
// separate them, the normals of the polygon's edges (u x each coordinate
// axis) and the directions from the line to the projected corners. Each gap
// alone is a lower bound, so any rounding of a direction only weakens the
// bound; a margin relative to the coordinate scale covers the rounding of
// the gaps themselves.
class LINE_METRIC {
 public:
  LINE_METRIC(const G3_AXIS& axis, const double* pointsBox) : axis_(axis) {
    const G3_POINT& o = axis.GetPo();
    const G3_VECTOR1& u = axis.GetVx();
    o_[0] = o.GetCx();
    o_[1] = o.GetCy();
    o_[2] = o.GetCz();
    u_[0] = u.GetCx();
    u_[1] = u.GetCy();
    u_[2] = u.GetCz();
    for (int i = 0; i < 6; ++i) box_[i] = pointsBox[i];
    for (int i = 0; i < 3; ++i) {
      // u x e_i.
      double n[3] = {0, 0, 0};
      n[(i + 1) % 3] = u_[(i + 2) % 3];
      n[(i + 2) % 3] = -u_[(i + 1) % 3];
      const double len = std::sqrt(Dot(n, n));
      hasNormal_[i] = len > TINY_LENGTH;
      for (int j = 0; j < 3; ++j) normal_[i][j] = hasNormal_[i] ? n[j] / len : 0;
    }
  }

  double PointDis(const G3_KDTREE_POINT& x) const {
    const G3_POINT& p = x.GetPoint();
    const double d[3] = {p.GetCx() - o_[0], p.GetCy() - o_[1], p.GetCz() - o_[2]};
    const double c[3] = {d[1] * u_[2] - d[2] * u_[1], d[2] * u_[0] - d[0] * u_[2],
                         d[0] * u_[1] - d[1] * u_[0]};
    return Dot(c, c);
  }

  double CellDis(const double* cell) const {
    const G3_BOX cellBox(cell[0], cell[1], cell[2], cell[3], cell[4], cell[5]);
    G3_POINT entry;
    if (cellBox.Intersect(axis_, &entry)) return 0;
    // w: from the origin to the centre of the cut cell; h: its half extents.
    // scale: the largest magnitude met, coordinates included, since their
    // rounding carries into every difference.
    double w[3], h[3];
    double scale = 0;
    for (int i = 0; i < 3; ++i) {
      const double lo = cell[2 * i] > box_[2 * i] ? cell[2 * i] : box_[2 * i];
      const double hi = cell[2 * i + 1] < box_[2 * i + 1] ? cell[2 * i + 1] : box_[2 * i + 1];
      // A cell apart from the points' box holds no point; not pruning it
      // is the safe answer should that ever happen.
      if (!(lo <= hi)) return 0;
      w[i] = 0.5 * (lo + hi) - o_[i];
      h[i] = 0.5 * (hi - lo);
      for (const double v : {lo, hi, o_[i], w[i]}) {
        if (std::fabs(v) > scale) scale = std::fabs(v);
      }
    }
    double best = 0;
    for (int i = 0; i < 3; ++i) {
      if (!hasNormal_[i]) continue;
      const double gap = std::fabs(Dot(w, normal_[i])) - Spread(h, normal_[i]);
      if (gap > best) best = gap;
    }
    for (int corner = 0; corner < 8; ++corner) {
      double d[3];
      for (int i = 0; i < 3; ++i) d[i] = (corner & (1 << i)) != 0 ? w[i] + h[i] : w[i] - h[i];
      if (!Orthogonalise(d)) continue;
      const double gap = Dot(w, d) - Spread(h, d);
      if (gap > best) best = gap;
    }
    const double bound = best - CELL_DIS_MARGIN * scale;
    return bound > 0 ? bound * bound : 0;
  }

 private:
  // Half the extent of the box of half extents h along the unit vector n.
  static double Spread(const double* h, const double* n) {
    return h[0] * std::fabs(n[0]) + h[1] * std::fabs(n[1]) + h[2] * std::fabs(n[2]);
  }
  // d minus its component along u, normalised. False when d runs nearly
  // along u: what is left is then mostly rounding, whose direction means
  // nothing (and may run along u itself); skipping a direction only weakens
  // the bound. A second pass cleans the rounding of the first.
  C_BOOL Orthogonalise(double* d) const {
    double full = std::sqrt(Dot(d, d));
    for (int pass = 0; pass < 2; ++pass, full = 1) {
      const double t = Dot(d, u_);
      for (int i = 0; i < 3; ++i) d[i] -= t * u_[i];
      const double len = std::sqrt(Dot(d, d));
      if (!(len > ALONG_LINE * full) || !(len > TINY_LENGTH)) return false;
      for (int i = 0; i < 3; ++i) d[i] /= len;
    }
    return true;
  }

  G3_AXIS axis_;
  double o_[3];
  double u_[3];
  double box_[6];
  double normal_[3][3];
  C_BOOL hasNormal_[3];
};

}  // namespace

G3_KDTREE::PointSearchContext::PointSearchContext(T_CONTEXT* inner, const G3_POINT& query)
    : inner_(inner), query_(query) {}

G3_KDTREE::PointSearchContext::~PointSearchContext() = default;

G3_KDTREE::G3_KDTREE() = default;

G3_KDTREE::G3_KDTREE(int n) : KDTREE(n) {}

G3_KDTREE::G3_KDTREE(const G3_KDTREE& t) = default;

G3_KDTREE& G3_KDTREE::operator=(const G3_KDTREE& t) {
  KDTREE::operator=(t);
  return *this;
}

G3_KDTREE::~G3_KDTREE() = default;

void G3_KDTREE::Clear() { KDTREE::Clear(); }

void G3_KDTREE::Grow(int n) { KDTREE::Grow(n); }

int G3_KDTREE::GetNumber() const { return KDTREE::GetNumber(); }

C_BOOL G3_KDTREE::IsVoid() const { return KDTREE::IsVoid(); }

C_BOOL G3_KDTREE::Insert(const G3_POINT& p, int id, C_BOOL replace, double tol, int* existingId) {
  C_BOOL replaced;
  G3_KDTREE_POINT existing;
  const C_BOOL inserted = KDTREE::Insert(G3_KDTREE_POINT(p, id), replace, tol, &replaced, &existing);
  if (existingId != nullptr) {
    // A new node, or a failure, has no existing point to tell of.
    const C_BOOL duplicate = !C_ERROR::Is() && (replaced || !inserted);
    *existingId = duplicate ? existing.GetId() : -1;
  }
  return inserted;
}

void G3_KDTREE::Insert(const T_LIST<G3_POINT>& pts, const T_LIST<int>& ids, C_BOOL replace,
                       double tol) {
  const int n = pts.GetNumber();
  if (n == 0) return;
  if (ids.GetNumber() != n) {
    CerrInternalError.Trigger();
    return;
  }
  T_LIST<G3_KDTREE_POINT> items(n);
  if (C_ERROR::Is()) return;
  for (int i = 0; i < n; ++i) items.Append(G3_KDTREE_POINT(pts.GetFast(i), ids.GetFast(i)));
  KDTREE::Insert(items, replace, tol);
}

C_BOOL G3_KDTREE::Delete(const G3_POINT& p, double tol) {
  const T_NODE n = KDTREE::Search(G3_KDTREE_POINT(p, 0), tol);
  if (n.IsVoid()) return false;
  KDTREE::Delete(n);
  return !C_ERROR::Is();
}

C_BOOL G3_KDTREE::Search(const G3_POINT& p, int* id, double tol) const {
  const T_NODE n = KDTREE::Search(G3_KDTREE_POINT(p, 0), tol);
  if (n.IsVoid()) return false;
  if (id != nullptr) *id = GetFast(n).GetId();
  return true;
}

C_BOOL G3_KDTREE::Search(const G3_BOX& box, T_LIST<G3_POINT>* pts, T_LIST<int>* ids,
                         int mask) const {
  const double bounds[6] = {box.GetXmin(), box.GetXmax(), box.GetYmin(),
                            box.GetYmax(), box.GetZmin(), box.GetZmax()};
  T_LIST<T_NODE> found;
  if (!KDTREE::Search(bounds, &found, mask & ALL_BOUNDS)) return false;
  const int n = found.GetNumber();
  if (pts != nullptr) {
    pts->Grow(pts->GetNumber() + n);
    if (C_ERROR::Is()) return false;
  }
  if (ids != nullptr) {
    ids->Grow(ids->GetNumber() + n);
    if (C_ERROR::Is()) return false;
  }
  for (int i = 0; i < n; ++i) {
    const G3_KDTREE_POINT& q = GetFast(found.GetFast(i));
    if (pts != nullptr) pts->Append(q.GetPoint());
    if (ids != nullptr) ids->Append(q.GetId());
  }
  return true;
}

void G3_KDTREE::GetPoints(T_LIST<G3_POINT>* pts) const {
  if (pts == nullptr) return;
  pts->Clear();
  if (IsVoid()) return;
  T_LIST<T_NODE> all(GetNumber());
  if (C_ERROR::Is()) return;
  Gather(GetRoot(), &all);
  if (C_ERROR::Is()) return;
  pts->Grow(all.GetNumber());
  if (C_ERROR::Is()) return;
  for (int i = 0; i < all.GetNumber(); ++i) pts->Append(GetFast(all.GetFast(i)).GetPoint());
}

const G3_POINT& G3_KDTREE::SearchNearest(const G3_POINT& p, int* id) const {
  T_LIST<T_NODE> out;
  KDTREE::SearchNearest(G3_KDTREE_POINT(p, 0), 1, &out);
  if (out.IsVoid()) {
    if (!C_ERROR::Is()) TerrListNotFound.Trigger();
    return G3_POINT::P0;
  }
  const G3_KDTREE_POINT& q = GetFast(out.GetFast(0));
  if (id != nullptr) *id = q.GetId();
  return q.GetPoint();
}

namespace {

// Copies the points (and ids) of the nodes into the lists.
void CopyNodes(const G3_KDTREE& tree, const T_LIST<T_NODE>& nodes, T_LIST<G3_POINT>* pts,
               T_LIST<int>* ids) {
  const int n = nodes.GetNumber();
  pts->Grow(n);
  if (ids != nullptr) ids->Grow(n);
  if (C_ERROR::Is()) return;
  for (int i = 0; i < n; ++i) {
    const G3_KDTREE_POINT& q = tree.GetFast(nodes.GetFast(i));
    pts->Append(q.GetPoint());
    if (ids != nullptr) ids->Append(q.GetId());
  }
}

}  // namespace

void G3_KDTREE::SearchNearest(const G3_POINT& p, int k, T_LIST<G3_POINT>* pts,
                              T_LIST<int>* ids) const {
  if (ids != nullptr) ids->Clear();
  if (pts == nullptr) return;
  pts->Clear();
  T_LIST<T_NODE> out;
  KDTREE::SearchNearest(G3_KDTREE_POINT(p, 0), k, &out);
  CopyNodes(*this, out, pts, ids);
}

void G3_KDTREE::SearchNearestNodes(const G3_AXIS& a, int k, T_LIST<T_NODE>* out) const {
  out->Clear();
  if (k <= 0 || IsVoid()) return;
  const G3_POINT& o = a.GetPo();
  const G3_VECTOR1& u = a.GetVx();
  if (!IsFinitePoint(o) || !IsFinitePoint(G3_POINT(u.GetCx(), u.GetCy(), u.GetCz()))) return;
  double b[6];
  ComputeBox(b);
  const G3_BOX box(b[0], b[1], b[2], b[3], b[4], b[5]);
  const double r = LINE_ANCHOR_RADII * box.GetRadius();
  const G3_POINT c = box.GetCentre();
  // The projection of the centre on the line, moved back by r along u.
  const double t = (c.GetCx() - o.GetCx()) * u.GetCx() + (c.GetCy() - o.GetCy()) * u.GetCy() +
                   (c.GetCz() - o.GetCz()) * u.GetCz() - r;
  const G3_POINT origin(o.GetCx() + t * u.GetCx(), o.GetCy() + t * u.GetCy(),
                        o.GetCz() + t * u.GetCz());
  const LINE_METRIC metric(G3_AXIS(origin, u), b);
  SearchNearestCells(metric, k, out);
}

void G3_KDTREE::SearchNearest(const G3_AXIS& a, int k, T_LIST<G3_POINT>* pts,
                              T_LIST<int>* ids) const {
  if (ids != nullptr) ids->Clear();
  if (pts == nullptr) return;
  pts->Clear();
  T_LIST<T_NODE> out;
  SearchNearestNodes(a, k, &out);
  CopyNodes(*this, out, pts, ids);
}

const G3_POINT& G3_KDTREE::SearchNearest(const G3_AXIS& a, int* id) const {
  T_LIST<T_NODE> out;
  SearchNearestNodes(a, 1, &out);
  if (out.IsVoid()) {
    if (!C_ERROR::Is()) TerrListNotFound.Trigger();
    return G3_POINT::P0;
  }
  const G3_KDTREE_POINT& q = GetFast(out.GetFast(0));
  if (id != nullptr) *id = q.GetId();
  return q.GetPoint();
}

T_CONTEXT* G3_KDTREE::BeginEuclideanSearch(const G3_POINT& q) const {
  T_CONTEXT* inner = BeginIncrementalSearchTpl();
  if (inner == nullptr) return nullptr;
  PointSearchContext* c = Cnew<PointSearchContext>(inner, q);
  if (C_ERROR::Is()) {
    EndIncrementalSearchTpl(inner);
    return nullptr;
  }
  return c;
}

C_BOOL G3_KDTREE::SearchEuclideanNearest(T_CONTEXT* c, G3_POINT* p, int* id) const {
  const PointSearchContext* pc = dynamic_cast<const PointSearchContext*>(c);
  if (pc == nullptr) return false;
  const G3_POINT& q = pc->GetQuery();
  // No point has a distance to a query with a NaN or infinite coordinate.
  if (!IsFinitePoint(q)) return false;
  const double query[3] = {q.GetCx(), q.GetCy(), q.GetCz()};
  const T_NODE n = IncrementalSearchNext(pc->GetInner(), query);
  if (n.IsVoid()) return false;
  const G3_KDTREE_POINT& found = GetFast(n);
  if (p != nullptr) *p = found.GetPoint();
  if (id != nullptr) *id = found.GetId();
  return true;
}

void G3_KDTREE::EndEuclideanSearch(T_CONTEXT* c) const {
  if (c == nullptr) return;
  const PointSearchContext* pc = dynamic_cast<const PointSearchContext*>(c);
  if (pc != nullptr) EndIncrementalSearchTpl(pc->GetInner());
  delete c;
}
