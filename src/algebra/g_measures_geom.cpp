// The measures built from geometry: distances, squared distances and angles of
// points, vectors, axes and planes, in the plane and in space.

#include <cmath>

#include "algebra/g2_axis.h"
#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "measures/g_dis2.h"

namespace {

// Unsigned distance of p from the line (o, d) in the plane, d unit.
double Dis2dAxis(const G2_POINT& p, const G2_AXIS& ax) {
  const G2_VECTOR w(ax.GetPo(), p);
  return std::fabs(w.GetCx() * ax.GetVx().GetCy() - w.GetCy() * ax.GetVx().GetCx());
}

double Dis2PointAxis(const G3_POINT& p, const G3_AXIS& ax) {
  return (G3_VECTOR(ax.GetPo(), p) ^ ax.GetVx()).GetNorm2();
}

double DisPointPlane(const G3_POINT& p, const G3_PLANE& pl) {
  return std::fabs(G3_VECTOR(pl.GetPo(), p) * pl.GetVz());
}

// Angle of two unit vectors in [0, 180].
double Angle3(const G3_VECTOR1& u, const G3_VECTOR1& v) {
  return G_ANG::FromCosSin(u * v, (u ^ v).GetNorm());
}

// Signed angle from u to v in [-180, 180].
double Angle2(const G2_VECTOR1& u, const G2_VECTOR1& v) {
  const double cross = u ^ v;
  const double a = G_ANG::FromCosSin(u * v, std::fabs(cross));
  return cross < 0 ? -a : a;
}

// The angle about r in [0, 360].
double Angle3About(const G3_VECTOR1& u, const G3_VECTOR1& v, const G3_VECTOR& r) {
  const double a = Angle3(u, v);
  return (u ^ v) * r < 0 ? 360 - a : a;
}

}  // namespace

// ---- G_DIS

G_DIS::G_DIS(const G2_POINT& p, const G2_POINT& q) : G_DIS(G2_VECTOR(p, q).GetNorm()) {}

G_DIS::G_DIS(const G3_POINT& p, const G3_POINT& q) : G_DIS(G3_VECTOR(p, q).GetNorm()) {}

G_DIS::G_DIS(const G2_POINT& p, const G2_AXIS& ax) : G_DIS(Dis2dAxis(p, ax)) {}

G_DIS::G_DIS(const G3_POINT& p, const G3_POINT& q, const G3_VECTOR1& u)
    : G_DIS(G3_VECTOR(p, q) * u) {}

G_DIS::G_DIS(const G3_POINT& p, const G3_AXIS& ax) : G_DIS(std::sqrt(Dis2PointAxis(p, ax))) {}

G_DIS::G_DIS(const G3_POINT& p, const G3_PLANE& pl) : G_DIS(DisPointPlane(p, pl)) {}

G_DIS::G_DIS(const G3_AXIS& a, const G3_AXIS& b) {
  const G3_VECTOR w(a.GetPo(), b.GetPo());
  const G3_VECTOR& da = a.GetVx();
  const G3_VECTOR& db = b.GetVx();
  if (da.IsOn(db, false, G_ANG::MinSin2)) {
    *this = (w ^ da).GetNorm();
  } else {
    *this = std::fabs(w * G3_VECTOR1(da ^ db));
  }
}

G_DIS::G_DIS(const G3_AXIS& a, const G3_PLANE& pl) {
  const G3_VECTOR1 n = pl.GetVz();
  // An axis that crosses the plane is at distance 0 from it.
  *this = a.GetVx().IsOrthoTo(n, G_ANG::MinSin2)
              ? std::fabs(G3_VECTOR(a.GetPo(), pl.GetPo()) * n)
              : 0.0;
}

G_DIS::G_DIS(const G3_PLANE& p1, const G3_PLANE& p2) {
  *this = p1.IsParallelTo(p2, G_DIS::Min, G_ANG::MinSin2)
              ? std::fabs(G3_VECTOR(p1.GetPo(), p2.GetPo()) * p1.GetVz())
              : 0.0;
}

// ---- G_DIS2

G_DIS2::G_DIS2(const G2_POINT& p, const G2_POINT& q) : G_DIS2(G2_VECTOR(p, q).GetNorm2()) {}

G_DIS2::G_DIS2(const G3_POINT& p, const G3_POINT& q) : G_DIS2(G3_VECTOR(p, q).GetNorm2()) {}

G_DIS2::G_DIS2(const G2_POINT& p, const G2_AXIS& ax) {
  const double d = Dis2dAxis(p, ax);
  *this = d * d;
}

G_DIS2::G_DIS2(const G3_POINT& p, const G3_AXIS& ax) : G_DIS2(Dis2PointAxis(p, ax)) {}

G_DIS2::G_DIS2(const G3_POINT& p, const G3_PLANE& pl) {
  const double d = G3_VECTOR(pl.GetPo(), p) * pl.GetVz();
  *this = d * d;
}

// ---- G_ANG

G_ANG::G_ANG(const G3_VECTOR1& u, const G3_VECTOR1& v) : G_ANG(Angle3(u, v)) {}

G_ANG::G_ANG(const G2_VECTOR1& u, const G2_VECTOR1& v) : G_ANG(Angle2(u, v)) {}

G_ANG::G_ANG(const G3_VECTOR1& u, const G3_VECTOR1& v, const G3_VECTOR& r)
    : G_ANG(Angle3About(u, v, r)) {}

G_ANG::G_ANG(const G2_POINT& p0, const G2_POINT& p1, const G2_POINT& p2) {
  // A null side becomes (1, 0); its GerrNullVector stays pending.
  const G2_VECTOR1 u(p0, p1);
  const G2_VECTOR1 v(p0, p2);
  *this = Angle2(u, v);
}

G_ANG::G_ANG(const G3_POINT& p0, const G3_POINT& p1, const G3_POINT& p2) {
  const G3_VECTOR1 u(p0, p1);
  const G3_VECTOR1 v(p0, p2);
  *this = Angle3(u, v);
}

G_ANG::G_ANG(const G3_POINT& p0, const G3_POINT& p1, const G3_POINT& p2, const G3_VECTOR& r) {
  const G3_VECTOR1 u(p0, p1);
  const G3_VECTOR1 v(p0, p2);
  *this = Angle3About(u, v, r);
}

G_ANG::G_ANG(const G3_AXIS& ax, const G3_PLANE& pl) : G_ANG(Angle3(ax.GetVx(), pl.GetVz())) {}

G_ANG::G_ANG(const G3_PLANE& p1, const G3_PLANE& p2) : G_ANG(Angle3(p1.GetVz(), p2.GetVz())) {}
