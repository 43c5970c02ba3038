#include "algebra/g3_points.h"

#include <limits>

#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_vector.h"
#include "measures/g_dis2.h"
#include "runtime/c_error.h"

namespace {

// Index of the least of the n distances given by dist(i); ties go to the
// lowest index. The running best starts at +infinity, so points however far
// still count; a list whose distances are all infinite or NaN answers 0.
template <class DIST>
int IndexOfLeast(int n, DIST dist) {
  if (n == 0) return -1;
  int best = -1;
  double bestDist = std::numeric_limits<double>::infinity();
  for (int i = 0; i < n; ++i) {
    const double d = dist(i);
    if (d < bestDist) {
      bestDist = d;
      best = i;
    }
  }
  return best < 0 ? 0 : best;
}

}  // namespace

void G3_POINTS::Move(int i, const G3_VECTOR& v) {
  const G3_POINT& p = Get(i);  // a bad index raises the list's error
  if (C_ERROR::Is()) return;
  Replace(i, G3_POINT(p, v));
}

int G3_POINTS::SearchNearest(const G3_POINT& q) const {
  return IndexOfLeast(GetNumber(),
                      [&](int i) { return G3_VECTOR(q, GetFast(i)).GetNorm2(); });
}

int G3_POINTS::SearchNearest(const G3_AXIS& ax) const {
  const G3_POINT& o = ax.GetPo();
  const G3_VECTOR& u = ax.GetVx();
  return IndexOfLeast(GetNumber(),
                      [&](int i) { return (G3_VECTOR(o, GetFast(i)) ^ u).GetNorm2(); });
}

int G3_POINTS::SearchNearest(const G3_PLANE& pl) const {
  G3_VECTOR n = pl.GetVx() ^ pl.GetVy();
  double norm = 1;
  n.Unit(&norm);
  if (norm == 0) n = G3_VECTOR(1, 0, 0);  // GerrNullVector stays pending
  const G3_POINT& o = pl.GetPo();
  return IndexOfLeast(GetNumber(), [&](int i) {
    const double d = G3_VECTOR(o, GetFast(i)) * n;
    return d * d;
  });
}

int G3_POINTS::SearchWithTol(const G3_POINT& q, double tol) const {
  const double tol2 = tol * tol;
  for (int i = 0; i < GetNumber(); ++i) {
    if (G3_VECTOR(q, GetFast(i)).GetNorm2() < tol2) return i;  // strict
  }
  return -1;
}

C_BOOL G3_POINTS::IsOn(const G3_POINTS& other) const {
  if (GetNumber() != other.GetNumber()) return false;
  for (int i = 0; i < GetNumber(); ++i) {
    if (!(G3_VECTOR(GetFast(i), other.GetFast(i)).GetNorm2() < G_DIS2::Min)) return false;
  }
  return true;
}

void G3_POINTS::Save(C_FILE* file) const { T_LIST<G3_POINT>::Save(file); }

void G3_POINTS::Load(int version, C_FILE* file) { T_LIST<G3_POINT>::Load(version, file); }
