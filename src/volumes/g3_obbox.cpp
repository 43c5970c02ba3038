#include "volumes/g3_obbox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

extern "C" {
#include <libqhull_r/qhull_ra.h>
}

#include "algebra/g3_axis.h"
#include "algebra/g3_points.h"
#include "algebra/g3_transfo.h"
#include "measures/g_dis.h"
#include "runtime/c_error.h"
#include "runtime/c_math.h"
#include "runtime/t_persist.h"
#include "runtime/t_solve.h"

namespace {

// Planarity is judged on the first of at most this many random triangles
// whose cross product is not null.
constexpr int kPlanarTries = 10;
// Below this |u.Vi| the line runs parallel to the slab of axis Vi.
constexpr double kParallelSlab = 1e-12;
// Open ends of the parameter interval of the slab test.
constexpr double kFar = 1e100;
// Beyond this magnitude the squares and cross products of coordinates
// overflow: such sets get their axis-aligned box.
constexpr double kLargestCoordinate = 1e150;
// Eigenvalues of the normalised covariance closer than this (relative to the
// largest) are equal: their eigenvectors are then any basis of their common
// space, and the axes are sought among the shape's own directions instead.
constexpr double kEqualEigen = 1e-9;
// Facet normals tried as an axis when the covariance is isotropic, largest
// facets first.
constexpr int kMaxNormals = 32;
// Edges of the projected hull tried as a side of the least rectangle; a
// longer hull is sampled evenly.
constexpr int kMaxEdges = 1024;

// Indices 0, 1, 2 ordered by decreasing d; equal values keep their order.
void SortDecreasing(const double d[3], int order[3]) {
  order[0] = 0;
  order[1] = 1;
  order[2] = 2;
  for (int i = 1; i < 3; i++)
    for (int j = i; j > 0 && d[order[j]] > d[order[j - 1]]; j--) {
      const int t = order[j];
      order[j] = order[j - 1];
      order[j - 1] = t;
    }
}

// 12 S times the area-weighted covariance of a triangulated surface, as the
// triangles come: S the total area, sm the area-weighted sum of centroids.
struct SURFACE_MOMENTS {
  double area = 0;
  double sm[3] = {0, 0, 0};
  double c[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};

  void AddTriangle(const G3_POINT& p, const G3_POINT& q, const G3_POINT& r) {
    const double a = 0.5 * (G3_VECTOR(p, q) ^ G3_VECTOR(p, r)).GetNorm();
    const G3_POINT g = (p + q + r) / 3.0;
    const G3_POINT* v[3] = {&p, &q, &r};
    area += a;
    for (int j = 0; j < 3; j++) {
      sm[j] += a * g.GetCi(j);
      for (int k = 0; k < 3; k++) {
        double spread = 0;
        for (const G3_POINT* w : v)
          spread += (w->GetCi(j) - g.GetCi(j)) * (w->GetCi(k) - g.GetCi(k));
        c[j][k] += a * (12 * g.GetCi(j) * g.GetCi(k) + spread);
      }
    }
  }
};

// What became of the hull.
enum HULL_RESULT { kHullOk, kHullFailed, kHullEmpty };

// The hull's own directions, kept for a covariance that cannot tell the axes:
// its vertices (in space) and, in space, the outward unit normal and the area
// of each facet.
struct HULL_SHAPE {
  G3_POINTS vertices;
  T_LIST<G3_VECTOR> normals;
  T_LIST<double> areas;
};

// Convex hull of n points of dimension dim (2 or 3) held in coords, and the
// surface moments of its facets. In the plane each hull edge (p, q) makes the
// triangle (a, p, q), its ends mapped back to space by back; in space each
// facet is a triangle. A facet that is not a simplex fails the hull. The hull
// lives in its own qhull context, released before returning on every path.
// A library does not write on its host's terminal: qhull's messages about a
// hull it cannot build go to a null stream (stderr only if none can be
// opened); the caller sees no error, only the fallback covariance.
struct QUIET_STREAM {
  QUIET_STREAM() : f(std::fopen("/dev/null", "w")) {}
  ~QUIET_STREAM() {
    if (f != nullptr) std::fclose(f);
  }
  QUIET_STREAM(const QUIET_STREAM&) = delete;
  QUIET_STREAM& operator=(const QUIET_STREAM&) = delete;
  std::FILE* Get() const { return f != nullptr ? f : stderr; }
  std::FILE* f;
};

HULL_RESULT HullMoments(int dim, int n, double* coords, const G3_POINT& a,
                        const G3_TRANSFO& back, SURFACE_MOMENTS* mom, HULL_SHAPE* shape) {
  QUIET_STREAM quiet;
  qhT qh_qh;
  qhT* qh = &qh_qh;
  QHULL_LIB_CHECK
  qh_zero(qh, quiet.Get());
  char command[] = "qhull ";
  const int code = qh_new_qhull(qh, dim, n, coords, False, command, nullptr, quiet.Get());
  HULL_RESULT result = code != 0 ? kHullFailed : kHullEmpty;
  if (code == 0) {
    facetT* facet;
    vertexT* vertex;
    vertexT** vertexp;
    FORALLfacets {
      G3_POINT v[3];
      int count = 0;
      FOREACHvertex_(facet->vertices) {
        if (count < 3) {
          const coordT* c = vertex->point;
          if (dim == 2) {
            v[count] = G3_POINT(c[0], c[1], 0);
            back.Transfo(&v[count]);
          } else {
            v[count] = G3_POINT(c[0], c[1], c[2]);
          }
        }
        count++;
      }
      if (!facet->simplicial || count != dim) {
        result = kHullFailed;
        break;
      }
      if (dim == 2)
        mom->AddTriangle(a, v[0], v[1]);
      else
        mom->AddTriangle(v[0], v[1], v[2]);
      result = kHullOk;
    }
    // The shape, whatever the facets are (qhull merges coplanar ones).
    FORALLvertices {
      const coordT* c = vertex->point;
      G3_POINT v(c[0], c[1], dim == 2 ? 0 : c[2]);
      if (dim == 2) back.Transfo(&v);
      shape->vertices.Append(v);
      if (C_ERROR::Is()) break;
    }
    if (dim == 3 && !C_ERROR::Is()) {
      FORALLfacets {
        shape->normals.Append(G3_VECTOR(facet->normal[0], facet->normal[1], facet->normal[2]));
        shape->areas.Append(qh_facetarea(qh, facet));
        if (C_ERROR::Is()) break;
      }
    }
  }
  qh_freeqhull(qh, !qh_ALL);
  int curlong = 0, totlong = 0;
  qh_memfreeshort(qh, &curlong, &totlong);
  return result;
}

// The index of a point of the k-th third of a list of n points, drawn with
// the C library's generator on 15 bits.
int DrawInThird(int k, int n) {
  const double r = double(CmathIntRand() % 32768u) / 32768.0;
  const int i = int(std::floor((r + k) * n / 3.0));
  return i < n ? i : n - 1;
}

// Midpoints and extents of the points along the three axes. The bounds start
// from the first point, so that no coordinate range is too large for them.
void Extents(const G3_POINTS& pts, const G3_VECTOR1 ax[3], double mid[3], double ext[3]) {
  double lo[3], hi[3];
  const G3_VECTOR p0(pts[0].GetCx(), pts[0].GetCy(), pts[0].GetCz());
  for (int j = 0; j < 3; j++) lo[j] = hi[j] = p0 * ax[j];
  for (int i = 1; i < pts.GetNumber(); i++) {
    const G3_VECTOR p(pts[i].GetCx(), pts[i].GetCy(), pts[i].GetCz());
    for (int j = 0; j < 3; j++) {
      const double x = p * ax[j];
      if (x < lo[j]) lo[j] = x;
      if (x > hi[j]) hi[j] = x;
    }
  }
  for (int j = 0; j < 3; j++) {
    mid[j] = 0.5 * (lo[j] + hi[j]);
    ext[j] = hi[j] - lo[j];
  }
}

// The measures of two boxes by their extents: their volumes, or the products
// of their two larger extents when the smallest of both is zero.
void Measures(const double ea[3], const double eb[3], double* ma, double* mb) {
  int oa[3], ob[3];
  SortDecreasing(ea, oa);
  SortDecreasing(eb, ob);
  *ma = ea[oa[0]] * ea[oa[1]];
  *mb = eb[ob[0]] * eb[ob[1]];
  if (TisEqual(ea[oa[2]], 0) && TisEqual(eb[ob[2]], 0)) return;
  *ma *= ea[oa[2]];
  *mb *= eb[ob[2]];
}

struct PLANE_POINT {
  double x, y;
};

// Cross product of (b - o) and (c - o).
double Turn(const PLANE_POINT& o, const PLANE_POINT& b, const PLANE_POINT& c) {
  return (b.x - o.x) * (c.y - o.y) - (b.y - o.y) * (c.x - o.x);
}

// Axes ax[0], ax[1] across n, with ax[2] = n, of the rectangle of least area
// around the points projected on the plane normal to n. That rectangle has a
// side along an edge of the projection's convex hull, so the hull's edges are
// the candidates. False (ax untouched) when the projection has no edge.
C_BOOL LeastRectAbout(const G3_POINTS& pts, const G3_VECTOR1& n, G3_VECTOR1 ax[3]) {
  const int np = pts.GetNumber();
  const G3_FRAME f(G3_POINT::P0, n);
  const G3_VECTOR u = f.GetVx(), v = f.GetVy();
  std::unique_ptr<PLANE_POINT[]> q(CnewArray<PLANE_POINT>(np));
  if (C_ERROR::Is()) return false;
  std::unique_ptr<PLANE_POINT[]> h(CnewArray<PLANE_POINT>(2 * np + 1));
  if (C_ERROR::Is()) return false;
  for (int i = 0; i < np; i++) {
    const G3_VECTOR p(pts[i].GetCx(), pts[i].GetCy(), pts[i].GetCz());
    q[i] = {p * u, p * v};
  }
  std::sort(q.get(), q.get() + np, [](const PLANE_POINT& a, const PLANE_POINT& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
  });
  // Monotone chain, counter-clockwise, collinear points dropped.
  int k = 0;
  for (int i = 0; i < np; i++) {
    while (k >= 2 && Turn(h[k - 2], h[k - 1], q[i]) <= 0) k--;
    h[k++] = q[i];
  }
  for (int i = np - 2, low = k + 1; i >= 0; i--) {
    while (k >= low && Turn(h[k - 2], h[k - 1], q[i]) <= 0) k--;
    h[k++] = q[i];
  }
  const int nh = k - 1;  // the last point repeats the first
  if (nh < 2) return false;
  const int stride = nh > kMaxEdges ? (nh + kMaxEdges - 1) / kMaxEdges : 1;
  double best = HUGE_VAL, bx = 0, by = 0;
  for (int e = 0; e < nh; e += stride) {
    double ex = h[e + 1].x - h[e].x, ey = h[e + 1].y - h[e].y;
    const double len = std::sqrt(ex * ex + ey * ey);
    if (!(len > 0)) continue;
    ex /= len;
    ey /= len;
    double alo = HUGE_VAL, ahi = -HUGE_VAL, blo = HUGE_VAL, bhi = -HUGE_VAL;
    for (int i = 0; i < nh; i++) {
      const double a = h[i].x * ex + h[i].y * ey, b = h[i].y * ex - h[i].x * ey;
      alo = std::min(alo, a);
      ahi = std::max(ahi, a);
      blo = std::min(blo, b);
      bhi = std::max(bhi, b);
    }
    const double area = (ahi - alo) * (bhi - blo);
    if (area < best) {
      best = area;
      bx = ex;
      by = ey;
    }
  }
  if (best == HUGE_VAL) return false;
  ax[0] = G3_VECTOR1(bx * u + by * v);
  ax[1] = G3_VECTOR1(bx * v - by * u);
  ax[2] = n;
  return !C_ERROR::Is();
}

// The indices of the facets with the largest areas whose normals are not
// parallel to one already taken, largest first, at most kMaxNormals.
int PickNormals(const HULL_SHAPE& shape, int picked[kMaxNormals]) {
  const int nf = shape.normals.GetNumber();
  int count = 0;
  double below = HUGE_VAL;  // areas at or above it are taken or rejected
  int last = -1;
  while (count < kMaxNormals) {
    int best = -1;
    for (int i = 0; i < nf; i++) {
      const double a = shape.areas[i];
      if (a > below || (a == below && i <= last)) continue;
      if (best < 0 || a > shape.areas[best]) best = i;
    }
    if (best < 0) break;
    below = shape.areas[best];
    last = best;
    const G3_VECTOR& nb = shape.normals[best];
    C_BOOL parallel = false;
    for (int j = 0; j < count && !parallel; j++)
      parallel = std::fabs(nb * shape.normals[picked[j]]) > 1 - 1e-12;
    if (!parallel) picked[count++] = best;
  }
  return count;
}

}  // namespace

G3_OBBOX::G3_OBBOX(const G3_BOX& b) { SetAligned(b); }

G3_OBBOX::G3_OBBOX(const G3_POINTS& pts) { FromPoints(pts); }

G3_OBBOX::G3_OBBOX(const T_LIST<const G3_OBBOX*>& boxes) {
  G3_POINTS all;
  all.Grow(8 * boxes.GetNumber());
  if (C_ERROR::Is()) return;
  G3_POINTS corners;
  for (int i = 0; i < boxes.GetNumber(); i++) {
    if (boxes[i] == nullptr) continue;
    boxes[i]->GetCorners(&corners);
    if (C_ERROR::Is()) return;
    all.Append(corners);
    if (C_ERROR::Is()) return;
  }
  FromPoints(all);
}

void G3_OBBOX::FromPoints(const G3_POINTS& pts) {
  const int n = pts.GetNumber();
  if (n == 0) return;
  double largest = 0;
  for (int i = 0; i < n; i++) {
    const G3_POINT& p = pts[i];
    for (int j = 0; j < 3; j++) {
      const double x = std::fabs(p.GetCi(j));
      if (!std::isfinite(x)) {
        CerrInvalidValue.Trigger();
        return;
      }
      if (x > largest) largest = x;
    }
  }
  if (n == 1) {
    frame_.SetPo(pts[0]);
    return;
  }
  if (largest > kLargestCoordinate) {
    SetAligned(G3_BOX(pts));
    return;
  }
  if (n == 2) {
    const G3_POINT& p = pts[0];
    const G3_POINT& q = pts[1];
    if (p.IsOn(q, G_DIS::Min)) {
      frame_.SetPo(p);
      return;
    }
    // The segment's direction as Vx; the other two axes do not matter.
    const G3_VECTOR1 u(p, q);
    const G3_FRAME along(p, u);
    frame_ = G3_FRAME(0.5 * (p + q), along.GetVz(), along.GetVx());
    dx_ = G3_VECTOR(p, q).GetNorm();
    return;
  }

  // Planarity by random sampling: the first triangle that is not flat decides.
  C_BOOL planar = false;
  G3_POINT a, b, c;
  for (int t = 0; t < kPlanarTries; t++) {
    a = pts[DrawInThird(0, n)];
    b = pts[DrawInThird(1, n)];
    c = pts[DrawInThird(2, n)];
    const G3_VECTOR cross = G3_VECTOR(a, b) ^ G3_VECTOR(a, c);
    if (cross.GetNorm() <= G_DIS::Min) continue;
    const G3_VECTOR1 nrm(cross);
    planar = true;
    for (int i = 0; i < n && planar; i++)
      if (std::fabs(G3_VECTOR(a, pts[i]) * nrm) > G_DIS::Min) planar = false;
    break;
  }

  // Covariance of the hull's surface.
  const int dim = planar ? 2 : 3;
  std::unique_ptr<double[]> coords(CnewArray<double>(long(n) * dim));
  if (C_ERROR::Is()) return;
  G3_TRANSFO toPlane, back;
  if (planar) {
    const G3_FRAME f(a, b, c);
    toPlane.SetPos(f, G3_FRAME::BASE);
    back.SetPos(G3_FRAME::BASE, f);
    for (int i = 0; i < n; i++) {
      G3_POINT p = pts[i];
      toPlane.Transfo(&p);
      coords[2 * i] = p.GetCx();
      coords[2 * i + 1] = p.GetCy();
    }
  } else {
    for (int i = 0; i < n; i++) {
      coords[3 * i] = pts[i].GetCx();
      coords[3 * i + 1] = pts[i].GetCy();
      coords[3 * i + 2] = pts[i].GetCz();
    }
  }
  SURFACE_MOMENTS mom;
  HULL_SHAPE shape;
  const HULL_RESULT hull = HullMoments(dim, n, coords.get(), a, back, &mom, &shape);
  coords.reset();
  if (C_ERROR::Is()) return;
  if (hull == kHullEmpty) return;

  double cov[9];
  if (hull == kHullOk && mom.area > 0) {
    double m[3];
    for (int j = 0; j < 3; j++) m[j] = mom.sm[j] / mom.area;
    for (int j = 0; j < 3; j++)
      for (int k = 0; k < 3; k++) cov[3 * j + k] = mom.c[j][k] - 12 * mom.area * m[j] * m[k];
  } else {
    // The hull failed (or has no area): covariance of the points themselves.
    double s[3] = {0, 0, 0};
    double spp[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < n; i++) {
      const G3_POINT& p = pts[i];
      for (int j = 0; j < 3; j++) {
        s[j] += p.GetCi(j);
        for (int k = 0; k < 3; k++) spp[j][k] += p.GetCi(j) * p.GetCi(k);
      }
    }
    for (int j = 0; j < 3; j++)
      for (int k = 0; k < 3; k++) cov[3 * j + k] = spp[j][k] - n * (s[j] / n) * (s[k] / n);
  }

  // Eigen axes of the covariance. A matrix that overflowed has no axes to give:
  // the axis-aligned box is then the answer.
  double norm = 0;
  C_BOOL finite = true;
  for (double v : cov) {
    if (!std::isfinite(v)) finite = false;
    if (std::fabs(v) > norm) norm = std::fabs(v);
  }
  G3_VECTOR1 ax[3] = {G3_FRAME::BASE.GetVx(), G3_FRAME::BASE.GetVy(), G3_FRAME::BASE.GetVz()};
  double ext[3] = {0, 0, 0};
  double mid[3] = {0, 0, 0};
  C_BOOL eigenBox = finite;
  double values[3] = {0, 0, 0}, vectors[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  if (eigenBox) {
    // An all-zero matrix (every point at one place) is left as it is.
    if (norm > 0)
      for (double& v : cov) v /= norm;
    TmatrixEigenSym(3, cov, values, vectors);
    if (C_ERROR::Is()) {
      C_ERROR::ClearPending();
      eigenBox = false;
    }
  }
  if (eigenBox) {
    G3_VECTOR kept[3];
    int nk = 0;
    for (int i = 0; i < 3; i++) {
      G3_VECTOR v(vectors[3 * i], vectors[3 * i + 1], vectors[3 * i + 2]);
      v.Unit();
      if (C_ERROR::Is()) {
        C_ERROR::ClearPending();  // a null eigenvector is dropped
        continue;
      }
      kept[nk++] = v;
    }
    G3_FRAME f;
    if (nk == 1) {
      f = G3_FRAME(G3_POINT::P0, G3_VECTOR1(kept[0]));
    } else if (nk >= 2) {
      f.SetVxVy(G3_VECTOR1(kept[0]), G3_VECTOR1(kept[1]));
      if (C_ERROR::Is()) {
        C_ERROR::ClearPending();
        f = G3_FRAME();
      }
    }
    ax[0] = f.GetVx();
    ax[1] = f.GetVy();
    ax[2] = f.GetVz();
    Extents(pts, ax, mid, ext);

    // Equal eigenvalues leave the axes in their common space to the solver's
    // rounding. Then the least rectangle about the distinct axis (two equal),
    // or about the normals of the largest hull facets (all three equal),
    // gives the axes, when its box is strictly smaller.
    const double vmax = std::max(std::fabs(values[0]), std::max(std::fabs(values[1]),
                                                                std::fabs(values[2])));
    const double tol = kEqualEigen * vmax;
    const C_BOOL e01 = std::fabs(values[0] - values[1]) <= tol;
    const C_BOOL e12 = std::fabs(values[1] - values[2]) <= tol;
    if (nk == 3 && vmax > 0 && (e01 || e12)) {
      G3_VECTOR1 axes[kMaxNormals];
      int na = 0;
      if (e01 && e12) {
        int picked[kMaxNormals];
        na = PickNormals(shape, picked);
        for (int i = 0; i < na; i++) axes[i] = G3_VECTOR1(shape.normals[picked[i]]);
      } else {
        axes[na++] = kept[e01 ? 2 : 0];
      }
      const G3_POINTS& outline = shape.vertices.GetNumber() > 0 ? shape.vertices : pts;
      double bestExt[3];
      G3_VECTOR1 bestAx[3];
      C_BOOL found = false;
      for (int i = 0; i < na && !C_ERROR::Is(); i++) {
        G3_VECTOR1 cax[3];
        if (!LeastRectAbout(outline, axes[i], cax)) continue;
        double cmid[3], cext[3];
        Extents(outline, cax, cmid, cext);
        double mc = 0, mb = 0;
        Measures(cext, found ? bestExt : ext, &mc, &mb);
        if (mc < mb) {
          found = true;
          for (int j = 0; j < 3; j++) {
            bestAx[j] = cax[j];
            bestExt[j] = cext[j];
          }
        }
      }
      if (C_ERROR::Is()) return;
      if (found) {
        // Final extents from every point, as for the eigen axes.
        for (int j = 0; j < 3; j++) ax[j] = bestAx[j];
        Extents(pts, ax, mid, ext);
      }
    }
  }

  // Competition with the axis-aligned box: it wins only when strictly smaller.
  const G3_BOX box(pts);
  const double aext[3] = {box.GetDeltaX(), box.GetDeltaY(), box.GetDeltaZ()};
  int aord[3], eord[3];
  SortDecreasing(aext, aord);
  SortDecreasing(ext, eord);
  C_BOOL aligned = !eigenBox;
  if (eigenBox) {
    double am = aext[aord[0]] * aext[aord[1]] * aext[aord[2]];
    double em = ext[eord[0]] * ext[eord[1]] * ext[eord[2]];
    if (TisEqual(aext[aord[2]], 0) && TisEqual(ext[eord[2]], 0)) {
      // Both flat: compare areas.
      am = aext[aord[0]] * aext[aord[1]];
      em = ext[eord[0]] * ext[eord[1]];
    }
    aligned = am < em;
  }
  if (aligned) {
    SetAligned(box);
    return;
  }
  const G3_POINT centre = G3_POINT::P0 + mid[0] * ax[0] + mid[1] * ax[1] + mid[2] * ax[2];
  frame_ = G3_FRAME(centre, ax[eord[0]], ax[eord[1]]);
  dx_ = ext[eord[0]];
  dy_ = ext[eord[1]];
  dz_ = ext[eord[2]];
}

void G3_OBBOX::SetAligned(const G3_BOX& b) {
  frame_ = G3_FRAME(b.GetCentre());
  dx_ = b.GetDeltaX();
  dy_ = b.GetDeltaY();
  dz_ = b.GetDeltaZ();
  Regularize();
}

G3_BOX G3_OBBOX::GetBox() const {
  const G3_POINT& c = frame_.GetPo();
  const G3_VECTOR1& u = frame_.GetVx();
  const G3_VECTOR1& v = frame_.GetVy();
  const G3_VECTOR1& w = frame_.GetVz();
  double h[3];
  for (int i = 0; i < 3; i++)
    h[i] = 0.5 * (std::fabs(u.GetCi(i)) * dx_ + std::fabs(v.GetCi(i)) * dy_ +
                  std::fabs(w.GetCi(i)) * dz_);
  return G3_BOX(c.GetCx() - h[0], c.GetCx() + h[0], c.GetCy() - h[1], c.GetCy() + h[1],
                c.GetCz() - h[2], c.GetCz() + h[2]);
}

void G3_OBBOX::GetCorners(G3_POINTS* pts) const {
  pts->Clear();
  pts->Grow(8);
  if (C_ERROR::Is()) return;
  const G3_VECTOR u = 0.5 * dx_ * G3_VECTOR(frame_.GetVx());
  const G3_VECTOR v = 0.5 * dy_ * G3_VECTOR(frame_.GetVy());
  const G3_VECTOR w = 0.5 * dz_ * G3_VECTOR(frame_.GetVz());
  const G3_POINT& c = frame_.GetPo();
  for (int k = -1; k <= 1; k += 2) {
    const G3_POINT z = c + double(k) * w;
    pts->Append(z - u - v);
    pts->Append(z + u - v);
    pts->Append(z + u + v);
    pts->Append(z - u + v);
  }
}

G3_VECTOR G3_OBBOX::GetLongestAxis() const {
  if (dx_ >= dy_ && dx_ >= dz_) return frame_.GetVx();
  if (dy_ >= dz_) return frame_.GetVy();
  return frame_.GetVz();
}

void G3_OBBOX::Scale(double k) {
  if (!(k >= 0)) return;  // negative or NaN
  dx_ *= k;
  dy_ *= k;
  dz_ *= k;
}

void G3_OBBOX::Expand(double x1, double x2, double y1, double y2, double z1, double z2) {
  // The shift is global, not along the box axes.
  frame_.SetPo(frame_.GetPo() + G3_VECTOR(0.5 * (x1 + x2), 0.5 * (y1 + y2), 0.5 * (z1 + z2)));
  dx_ += x2 - x1;
  dy_ += y2 - y1;
  dz_ += z2 - z1;
}

void G3_OBBOX::Regularize() {
  if (dx_ >= dy_ && dy_ >= dz_) return;
  const double d[3] = {dx_, dy_, dz_};
  const G3_VECTOR1 ax[3] = {frame_.GetVx(), frame_.GetVy(), frame_.GetVz()};
  int order[3];
  SortDecreasing(d, order);
  frame_.SetVxVy(ax[order[0]], ax[order[1]]);
  dx_ = d[order[0]];
  dy_ = d[order[1]];
  dz_ = d[order[2]];
}

void G3_OBBOX::Transfo(const G3_TRANSFO& t) { frame_.Transfo(t); }

C_BOOL G3_OBBOX::IsIn(const G3_POINT& p) const {
  const G3_VECTOR w(frame_.GetPo(), p);
  return std::fabs(w * frame_.GetVx()) <= 0.5 * dx_ && std::fabs(w * frame_.GetVy()) <= 0.5 * dy_ &&
         std::fabs(w * frame_.GetVz()) <= 0.5 * dz_;
}

C_BOOL G3_OBBOX::IsIn(const G3_OBBOX&) const {
  CerrInternalError.Trigger();
  return false;
}

C_LOG G3_OBBOX::IsInHalfSpace(const G3_POINT& o, const G3_VECTOR1& n) const {
  const G3_POINT lo = frame_.GetLocal(o);
  const G3_VECTOR1 ln(frame_.GetLocal(G3_VECTOR(n)));
  return GetLocalBox().IsInHalfSpace(lo, ln);
}

namespace {

// Separating-axis test of two oriented boxes, given by centre, unit axes and
// half sides. Touching boxes are apart.
C_BOOL BoxesClash(const G3_POINT& ca, const G3_VECTOR a[3], const double ha[3],
                  const G3_POINT& cb, const G3_VECTOR b[3], const double hb[3]) {
  const G3_VECTOR t(ca, cb);
  auto apart = [&](const G3_VECTOR& l) {
    double ra = 0, rb = 0;
    for (int i = 0; i < 3; i++) {
      if (ha[i] != 0) ra += std::fabs(ha[i] * (l * a[i]));
      if (hb[i] != 0) rb += std::fabs(hb[i] * (l * b[i]));
    }
    return std::fabs(t * l) >= ra + rb;
  };
  for (int i = 0; i < 3; i++)
    if (apart(a[i])) return false;
  for (int i = 0; i < 3; i++)
    if (apart(b[i])) return false;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) {
      const G3_VECTOR l = a[i] ^ b[j];
      if (l.Is0()) continue;  // parallel axes
      if (apart(l)) return false;
    }
  return true;
}

}  // namespace

C_BOOL G3_OBBOX::Clash(const G3_OBBOX& b) const {
  const G3_VECTOR a3[3] = {frame_.GetVx(), frame_.GetVy(), frame_.GetVz()};
  const G3_VECTOR b3[3] = {b.frame_.GetVx(), b.frame_.GetVy(), b.frame_.GetVz()};
  const double ha[3] = {0.5 * dx_, 0.5 * dy_, 0.5 * dz_};
  const double hb[3] = {0.5 * b.dx_, 0.5 * b.dy_, 0.5 * b.dz_};
  return BoxesClash(frame_.GetPo(), a3, ha, b.frame_.GetPo(), b3, hb);
}

C_BOOL G3_OBBOX::Clash(const G3_BOX& b) const {
  const G3_VECTOR a3[3] = {frame_.GetVx(), frame_.GetVy(), frame_.GetVz()};
  const G3_VECTOR b3[3] = {G3_VECTOR(1, 0, 0), G3_VECTOR(0, 1, 0), G3_VECTOR(0, 0, 1)};
  const double ha[3] = {0.5 * dx_, 0.5 * dy_, 0.5 * dz_};
  const double hb[3] = {0.5 * b.GetDeltaX(), 0.5 * b.GetDeltaY(), 0.5 * b.GetDeltaZ()};
  return BoxesClash(frame_.GetPo(), a3, ha, b.GetCentre(), b3, hb);
}

C_BOOL G3_OBBOX::Intersect(const G3_AXIS& ax, G3_POINT* p) const {
  const G3_POINT& o = ax.GetPo();
  const G3_VECTOR u = ax.GetVx();
  const G3_VECTOR v[3] = {frame_.GetVx(), frame_.GetVy(), frame_.GetVz()};
  const double h[3] = {0.5 * dx_, 0.5 * dy_, 0.5 * dz_};
  const G3_VECTOR d(o, frame_.GetPo());

  if (p == nullptr) {
    // The line misses when, across some Vi ^ u, the centre is at least the
    // box's radius away; a grazing line misses.
    for (int i = 0; i < 3; i++) {
      const G3_VECTOR c = v[i] ^ u;
      if (c.Is0()) continue;
      const int j = (i + 1) % 3, k = (i + 2) % 3;
      const double r = h[j] * std::fabs(u * v[k]) + h[k] * std::fabs(u * v[j]);
      if (std::fabs(d * c) >= r) return false;
    }
    return true;
  }

  // Slabs along the half-line from o.
  double tlo = -kFar, thi = kFar;
  for (int i = 0; i < 3; i++) {
    const double e = d * v[i];
    const double f = u * v[i];
    if (std::fabs(f) <= kParallelSlab) {
      if (std::fabs(e) > h[i]) return false;
      continue;
    }
    double t1 = (e + h[i]) / f, t2 = (e - h[i]) / f;
    if (t1 > t2) std::swap(t1, t2);
    if (t1 > tlo) tlo = t1;
    if (t2 < thi) thi = t2;
    if (tlo > thi || thi < 0) return false;
  }
  *p = o + (tlo > 0 ? tlo : thi) * u;
  return true;
}

void G3_OBBOX::Save(C_FILE* file) const {
  frame_.Save(file);
  if (C_ERROR::Is()) return;
  const double v[3] = {dx_, dy_, dz_};
  for (double x : v) {
    Tsave(x, file, 0);
    if (C_ERROR::Is()) return;
  }
}

void G3_OBBOX::Load(int version, C_FILE* file) {
  frame_.Load(version, file);
  if (C_ERROR::Is()) return;
  double* const v[3] = {&dx_, &dy_, &dz_};
  for (double* x : v) {
    Tload(version, file, x);
    if (C_ERROR::Is()) return;
  }
}
