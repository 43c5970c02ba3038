#include "algebra/g3_axis.h"

#include <cmath>

#include "algebra/g2_point.h"
#include "algebra/g3_plane.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_dis2.h"
#include "runtime/c_error.h"

const G3_AXIS G3_AXIS::OX(G3_POINT(0, 0, 0), G3_VECTOR1(1, 0, 0, G3_VECTOR1::Exact()));
const G3_AXIS G3_AXIS::OY(G3_POINT(0, 0, 0), G3_VECTOR1(0, 1, 0, G3_VECTOR1::Exact()));
const G3_AXIS G3_AXIS::OZ(G3_POINT(0, 0, 0), G3_VECTOR1(0, 0, 1, G3_VECTOR1::Exact()));

namespace {

// Below this magnitude the barycentric determinant means a line parallel to
// the triangle's plane (bound included).
const double kTriangleDetMin = 1e-12;
// |cos| at or above this: the nearest-points problem has no unique answer.
const double kParallelCos = 0.999999999999;

// Parallelism of two directions with the norms scaled in, either sense.
C_BOOL AreParallel(const G3_VECTOR& u, const G3_VECTOR& v) {
  return u.IsOn(v, false, G_ANG::MinSin2);
}

}  // namespace

G3_POINT G3_AXIS::GetProj(const G3_POINT& q, double* t) const {
  const double tt = G3_VECTOR(po_, q) * vx_;
  if (t != nullptr) *t = tt;
  return po_ + tt * vx_;
}

G3_POINT G3_AXIS::GetProj(const G3_AXIS& other, double* t, double* s) const {
  const G3_VECTOR& u = vx_;
  const G3_VECTOR& v = other.vx_;
  if (AreParallel(u, v)) {
    GerrNoIntersection.TriggerMild();
    return po_;
  }
  const G3_VECTOR w(po_, other.po_);
  const G3_VECTOR n = u ^ v;
  const G3_VECTOR m = n ^ v;
  const G3_VECTOR k = n ^ u;
  const double tt = (m * w) / (m * u);
  if (t != nullptr) *t = tt;
  if (s != nullptr) *s = -(k * w) / (k * v);
  return po_ + tt * u;
}

G3_POINT G3_AXIS::GetInter(const G3_AXIS& other, double /*tol*/, double* t, double* s) const {
  // The meeting test uses the distance resolution, not tol.
  const G3_VECTOR& u = vx_;
  const G3_VECTOR& v = other.vx_;
  if (AreParallel(u, v)) {
    GerrNoIntersection.TriggerMild();
    return po_;
  }
  const G3_VECTOR w(po_, other.po_);
  const G3_VECTOR n = u ^ v;
  const double nw = n * w;
  if (nw * nw / n.GetNorm2() > G_DIS2::Min) {  // the lines pass each other
    GerrNoIntersection.TriggerMild();
    return po_;
  }
  const G3_VECTOR m = n ^ v;
  const G3_VECTOR k = n ^ u;
  const double tt = (m * w) / (m * u);
  if (t != nullptr) *t = tt;
  if (s != nullptr) *s = -(k * w) / (k * v);
  return po_ + tt * u;
}

void G3_AXIS::GetNearestPoints(const G3_AXIS& other, G3_POINT* p, G3_POINT* q, double* t,
                               double* s) const {
  const G3_VECTOR& u = vx_;
  const G3_VECTOR& v = other.vx_;
  const double c = u * v;
  if (std::fabs(c) >= kParallelCos) {
    // Parallel: this axis's point and its foot on the other line.
    const double k = G3_VECTOR(other.po_, po_) * v;
    const G3_POINT qq = other.po_ + k * v;
    if (t != nullptr) *t = 0;
    if (p != nullptr) *p = po_;
    if (q != nullptr) *q = qq;
    if (s != nullptr) *s = G3_VECTOR(other.po_, qq) * v;
    return;
  }
  const G3_VECTOR w(po_, other.po_);
  const double a = u * w;
  const double b = v * w;
  const double d = 1 / (1 - c * c);
  const double tt = (a - b * c) * d;
  const double ss = (c * a - b) * d;
  if (t != nullptr) *t = tt;
  if (s != nullptr) *s = ss;
  if (p != nullptr) *p = po_ + tt * u;
  if (q != nullptr) *q = other.po_ + ss * v;
}

C_BOOL G3_AXIS::IntersectTriangle(const G3_POINT& a, const G3_POINT& b, const G3_POINT& c,
                                  double* t, G3_POINT* p, G2_POINT* uv) const {
  const G3_VECTOR& d = vx_;
  if (t == nullptr && p == nullptr && uv == nullptr) {
    // Sign test: the line passes on the same side of the three edges. The
    // side of edge ab is B.(d ^ A) = d.(A ^ B), that of ca is -C.(d ^ A) and
    // that of bc is C.(d ^ B). A side that is exactly 0 (the line meets the
    // edge's line) does not vote, so a line through a vertex or an edge is
    // a hit whatever the triangle's orientation, as in the barycentric test;
    // when all three are 0 (a line in the triangle's plane, or a flat
    // triangle) it is a miss, as there.
    const G3_VECTOR A(po_, a), B(po_, b), C(po_, c);
    const G3_VECTOR dA = d ^ A;
    const G3_VECTOR dB = d ^ B;
    const double sides[3] = {B * dA, -(C * dA), C * dB};
    bool positive = false, negative = false;
    for (double side : sides) {
      if (side > 0) positive = true;
      if (side < 0) negative = true;
    }
    return positive != negative;
  }
  const G3_VECTOR e1(a, b), e2(a, c);
  const G3_VECTOR P = d ^ e2;
  const double det = e1 * P;
  if (std::fabs(det) <= kTriangleDetMin) return false;
  const G3_VECTOR T(a, po_);
  const G3_VECTOR Q = T ^ e1;
  const double u = T * P;
  const double v = d * Q;
  // Bounds included: edges and vertices are hit.
  // Written as the conditions of a hit, so that a NaN misses.
  if (det > kTriangleDetMin) {
    if (!(u >= 0 && u <= det && v >= 0 && u + v <= det)) return false;
  } else {
    if (!(u <= 0 && u >= det && v <= 0 && u + v >= det)) return false;
  }
  const double inv = 1 / det;
  const double uu = u * inv, vv = v * inv;
  if (t != nullptr) *t = (e2 * Q) * inv;
  if (uv != nullptr) *uv = G2_POINT(uu, vv);
  if (p != nullptr) *p = a + uu * e1 + vv * e2;
  return true;
}

C_BOOL G3_AXIS::IntersectSphere(const G3_POINT& centre, double r, double* t1, G3_POINT* p1,
                                double* t2, G3_POINT* p2) const {
  double t0 = 0;
  const G3_POINT f = GetProj(centre, &t0);
  const G3_VECTOR w(centre, f);
  const double b = vx_ * w;
  const double c = w.GetNorm2() - r * r;
  const double disc = b * b - c;
  if (disc < 0) return false;
  if (t1 != nullptr || p1 != nullptr) {
    const double sigma = -b - std::sqrt(disc);
    if (t1 != nullptr) *t1 = t0 + sigma;
    if (p1 != nullptr) *p1 = f + sigma * vx_;
  }
  if (t2 != nullptr || p2 != nullptr) {
    const double sigma = std::sqrt(disc) - b;
    if (t2 != nullptr) *t2 = t0 + sigma;
    if (p2 != nullptr) *p2 = f + sigma * vx_;
  }
  return true;
}

C_BOOL G3_AXIS::IntersectAAEllipsoid(const G3_POINT& centre, double a, double b, double c,
                                     double* t1, G3_POINT* p1, double* t2,
                                     G3_POINT* p2) const {
  double t0 = 0;
  const G3_POINT f = GetProj(centre, &t0);
  const G3_VECTOR w(centre, f);
  const double ia2 = 1 / (a * a), ib2 = 1 / (b * b), ic2 = 1 / (c * c);
  const double A = vx_.GetCx() * vx_.GetCx() * ia2 + vx_.GetCy() * vx_.GetCy() * ib2 +
                   vx_.GetCz() * vx_.GetCz() * ic2;
  const double B = vx_.GetCx() * w.GetCx() * ia2 + vx_.GetCy() * w.GetCy() * ib2 +
                   vx_.GetCz() * w.GetCz() * ic2;
  // The surface passes through the corners (+-a, +-b, +-c): level 3, not 1.
  const double C = w.GetCx() * w.GetCx() * ia2 + w.GetCy() * w.GetCy() * ib2 +
                   w.GetCz() * w.GetCz() * ic2 - 3;
  const double disc = B * B - A * C;
  if (disc < 0) return false;
  if (t1 != nullptr || p1 != nullptr) {
    const double sigma = (-B - std::sqrt(disc)) / A;
    if (t1 != nullptr) *t1 = t0 + sigma;
    if (p1 != nullptr) *p1 = f + sigma * vx_;
  }
  if (t2 != nullptr || p2 != nullptr) {
    const double sigma = (std::sqrt(disc) - B) / A;
    if (t2 != nullptr) *t2 = t0 + sigma;
    if (p2 != nullptr) *p2 = f + sigma * vx_;
  }
  return true;
}

C_BOOL G3_AXIS::IsOn(const G3_AXIS& other, double tolDist, double tolAng,
                     C_BOOL sameSense) const {
  return po_.IsOn(other, tolDist) && other.po_.IsOn(*this, tolDist) &&
         vx_.IsOn(other.vx_, sameSense, tolAng);
}

C_BOOL G3_AXIS::IsOn(const G3_PLANE& pl, double tolDist, double tolAng) const {
  return double(G_DIS2(po_, pl)) < tolDist * tolDist && vx_.IsOrthoTo(pl.GetVz(), tolAng);
}

void G3_AXIS::Save(C_FILE* file) const {
  po_.Save(file);
  if (C_ERROR::Is()) return;
  vx_.Save(file);
}

void G3_AXIS::Load(int version, C_FILE* file) {
  // The axis changes only when both records were read; a stream type that reads
  // nothing keeps it.
  G3_POINT p = po_;
  G3_VECTOR v = vx_;
  p.Load(version, file);
  if (C_ERROR::Is()) return;
  v.Load(version, file);
  if (C_ERROR::Is()) return;
  po_ = p;
  static_cast<G3_VECTOR&>(vx_) = v;
}
