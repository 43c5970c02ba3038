#include "algebra/g3_plane.h"

#include <cmath>

#include "algebra/g3_frame.h"
#include "frame/g_errors.h"
#include "measures/g_dis2.h"
#include "runtime/c_error.h"
#include "runtime/c_math.h"

const G3_PLANE G3_PLANE::OXY(1, 0, 0, 0, 1, 0);
// Vx = X, Vy = Z: the normal is -Y.
const G3_PLANE G3_PLANE::OXZ(1, 0, 0, 0, 0, 1);
const G3_PLANE G3_PLANE::OYZ(0, 1, 0, 0, 0, 1);

namespace {

// Above this |n.x| the normal is too close to X to build Vy from X.
const double kNormalRefSwitch = 0.99;

}  // namespace

G3_PLANE::G3_PLANE(const G3_POINT& p, const G3_VECTOR1& vx, const G3_VECTOR1& vy)
    : po_(p), vx_(vx), vy_((vx ^ vy) ^ vx) {}

G3_PLANE::G3_PLANE(const G3_POINT& a, const G3_POINT& b, const G3_POINT& c)
    : po_(a), vx_(a, b), vy_(a, c) {
  vy_ = G3_VECTOR1((vx_ ^ vy_) ^ vx_);
}

G3_PLANE::G3_PLANE(const G3_POINT& p, const G3_VECTOR1& n) : po_(p) {
  const G3_VECTOR r = std::fabs(n.GetCx()) > kNormalRefSwitch ? G3_VECTOR(0, 1, 0)
                                                               : G3_VECTOR(1, 0, 0);
  vy_ = G3_VECTOR1(n ^ r);
  vx_ = G3_VECTOR1(vy_ ^ n);
}

G3_PLANE::G3_PLANE(const G3_FRAME& f) : po_(f.GetPo()), vx_(f.GetVx()), vy_(f.GetVy()) {}

void G3_PLANE::SetVxVy(const G3_VECTOR1& vx, const G3_VECTOR1& vy) {
  const G3_VECTOR1 n(vx ^ vy);
  if (C_ERROR::Is()) return;
  vx_ = vx;
  vy_ = G3_VECTOR1(n ^ vx);
}

G3_VECTOR1 G3_PLANE::GetVa(G_ANG a) const {
  double s, c;
  CmathSinCos(double(a), &s, &c);
  return G3_VECTOR1(c * vx_ + s * vy_);
}

G3_POINT G3_PLANE::GetProj(const G3_POINT& q, double* u, double* v) const {
  const G3_VECTOR w(po_, q);
  const double uu = w * vx_, vv = w * vy_;
  if (u != nullptr) *u = uu;
  if (v != nullptr) *v = vv;
  return po_ + uu * vx_ + vv * vy_;
}

G3_VECTOR G3_PLANE::GetProj(const G3_VECTOR& w, double* u, double* v) const {
  const double uu = w * vx_, vv = w * vy_;
  if (u != nullptr) *u = uu;
  if (v != nullptr) *v = vv;
  return uu * vx_ + vv * vy_;
}

C_BOOL G3_PLANE::IsInHalfSpace(const G3_POINT& q) const {
  return G3_VECTOR(po_, q) * GetVz() >= 0;
}

void G3_PLANE::Offset(G_DIS d) { po_ += double(d) * (vx_ ^ vy_); }

C_BOOL G3_PLANE::DoesIntersect(const G3_AXIS& ax, G3_POINT* p, double* u, double* v) const {
  const G3_VECTOR1 n = GetVz();
  const double den = n * ax.GetVx();
  if (std::fabs(den) < G_ANG::MinSin) return false;  // strict
  const double sigma = (G3_VECTOR(ax.GetPo(), po_) * n) / den;
  const G3_POINT x = ax.GetPo() + sigma * ax.GetVx();
  const G3_VECTOR w(po_, x);
  if (p != nullptr) *p = x;
  if (u != nullptr) *u = w * vx_;
  if (v != nullptr) *v = w * vy_;
  return true;
}

G3_POINT G3_PLANE::GetInter(const G3_AXIS& ax, double* u, double* v) const {
  G3_POINT x;
  if (!DoesIntersect(ax, &x, u, v)) {
    GerrNoIntersection.TriggerMild();
    return po_;
  }
  return x;
}

G3_AXIS G3_PLANE::GetInter(const G3_PLANE& other) const {
  const G3_VECTOR1 n1 = GetVz();
  const G3_VECTOR1 n2 = other.GetVz();
  G3_VECTOR d = n1 ^ n2;
  if (static_cast<const G3_VECTOR&>(n1).IsOn(n2, false, G_ANG::MinSin2)) {
    GerrNullVector.TriggerMild();
  }
  // A mild error counts as pending: parallel planes end here.
  if (C_ERROR::Is()) return G3_AXIS();
  d.Unit();
  if (C_ERROR::Is()) return G3_AXIS();
  const G3_VECTOR m = n1 ^ d;
  const double sigma = (G3_VECTOR(po_, other.po_) * n2) / (n2 * m);
  return G3_AXIS(po_ + sigma * m, G3_VECTOR1(d));
}

G3_POINT G3_PLANE::GetInter(const G3_PLANE& p2, const G3_PLANE& p3) const {
  const G3_AXIS line = p2.GetInter(p3);
  if (C_ERROR::Is()) return G3_POINT(0, 0, 0);
  return GetInter(line, nullptr, nullptr);
}

C_BOOL G3_PLANE::IsParallelTo(const G3_PLANE& other, double /*tolDist*/, double tolAng) const {
  // Opposite normals count as parallel.
  return GetVz().IsOn(other.GetVz(), false, tolAng);
}

C_BOOL G3_PLANE::IsOn(const G3_PLANE& other, double tolDist, double tolAng) const {
  const double tol2 = tolDist * tolDist;
  return double(G_DIS2(po_, other)) < tol2 && double(G_DIS2(other.po_, *this)) < tol2 &&
         GetVz().IsOn(other.GetVz(), false, tolAng);
}

void G3_PLANE::Save(C_FILE* file) const {
  po_.Save(file);
  if (C_ERROR::Is()) return;
  vx_.Save(file);
  if (C_ERROR::Is()) return;
  vy_.Save(file);
}

void G3_PLANE::Load(int version, C_FILE* file) {
  // The plane changes only when the three records were read; a stream type that reads
  // nothing keeps it.
  G3_POINT p = po_;
  G3_VECTOR x = vx_, y = vy_;
  p.Load(version, file);
  if (C_ERROR::Is()) return;
  x.Load(version, file);
  if (C_ERROR::Is()) return;
  y.Load(version, file);
  if (C_ERROR::Is()) return;
  po_ = p;
  static_cast<G3_VECTOR&>(vx_) = x;
  static_cast<G3_VECTOR&>(vy_) = y;
}
