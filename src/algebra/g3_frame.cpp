#include "algebra/g3_frame.h"

#include <cmath>

#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_transfo.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "runtime/c_error.h"

const G3_FRAME G3_FRAME::BASE;

namespace {

// Above this |vz.x| the X axis is too close to vz to serve as reference.
constexpr double kRefSwitch = 0.99;

}  // namespace

G3_FRAME::G3_FRAME(const G3_POINT& o, const G3_VECTOR1& vx, const G3_VECTOR1& vy)
    : Po(o), Vx(vx) {
  Vz = G3_VECTOR1(vx ^ vy);
  Vy = G3_VECTOR1(Vz ^ Vx);
}

G3_FRAME::G3_FRAME(const G3_POINT& o, const G3_POINT& a, const G3_POINT& b) : Po(o) {
  Vx = G3_VECTOR1(o, a);
  Vz = G3_VECTOR1(Vx ^ G3_VECTOR1(o, b));
  Vy = G3_VECTOR1(Vz ^ Vx);
}

G3_FRAME::G3_FRAME(const G3_POINT& o, const G3_VECTOR1& vz) : Po(o), Vz(vz) {
  const G3_VECTOR r = std::fabs(vz.GetCx()) > kRefSwitch ? G3_VECTOR(0, 1, 0) : G3_VECTOR(1, 0, 0);
  Vy = G3_VECTOR1(vz ^ r);
  Vx = G3_VECTOR1(Vy ^ vz);
}

G3_FRAME::G3_FRAME(const G3_POINT& o, const G3_VECTOR1& vz, const G3_FRAME& ref)
    : G3_FRAME(o, vz) {
  if (vz.IsOn(ref.Vz, false, G_ANG::MinSin2)) return;
  const G3_AXIS line = G3_PLANE(*this).GetInter(G3_PLANE(ref));
  if (C_ERROR::Is()) return;
  Vx = line.GetVx();
  Vy = G3_VECTOR1(Vz ^ Vx);
  // A half turn about Vz keeps the new Y axis from pointing below ref's XY plane.
  if (Vy * ref.Vz < 0) {
    Vx = -Vx;
    Vy = -Vy;
  }
}

G3_FRAME::G3_FRAME(const G3_PLANE& pl) : Po(pl.GetPo()), Vx(pl.GetVx()), Vy(pl.GetVy()) {
  Vz = G3_VECTOR1(Vx ^ Vy);
}

G3_FRAME::G3_FRAME(const G3_AXIS& a1, const G3_AXIS& a2) {
  const G3_VECTOR1& u1 = a1.GetVx();
  const G3_VECTOR1& u2 = a2.GetVx();
  const G3_VECTOR n = u1 ^ u2;
  const G3_VECTOR m = n ^ u1;
  const G3_VECTOR k = n ^ u2;
  if (static_cast<const G3_VECTOR&>(u1).IsOn(static_cast<const G3_VECTOR&>(u2), false,
                                             G_ANG::MinSin2)) {
    GerrNoIntersection.TriggerMild();
    return;
  }
  // The point of a1 on the plane through a2 that contains the common
  // perpendicular: the foot of that perpendicular on a1.
  const double sigma = (G3_VECTOR(a1.GetPo(), a2.GetPo()) * k) / (k * u1);
  Po = a1.GetPo() + sigma * u1;
  Vx = G3_VECTOR1(u1);
  Vy = G3_VECTOR1(m);
  Vz = G3_VECTOR1(n);
}

void G3_FRAME::SetVxVy(const G3_VECTOR1& vx, const G3_VECTOR1& vy) {
  const G3_VECTOR1 n(vx ^ vy);
  if (C_ERROR::Is()) return;  // parallel: the frame is kept
  Vz = n;
  Vx = vx;
  Vy = G3_VECTOR1(n ^ vx);
}

G3_AXIS G3_FRAME::GetAx() const { return G3_AXIS(Po, Vx); }
G3_AXIS G3_FRAME::GetAy() const { return G3_AXIS(Po, Vy); }
G3_AXIS G3_FRAME::GetAz() const { return G3_AXIS(Po, Vz); }
G3_PLANE G3_FRAME::GetPxy() const { return G3_PLANE(Po, Vx, Vy); }
G3_PLANE G3_FRAME::GetPxz() const { return G3_PLANE(Po, Vx, Vz); }
G3_PLANE G3_FRAME::GetPyz() const { return G3_PLANE(Po, Vy, Vz); }

G3_POINT G3_FRAME::GetPosit(double u, double v, double w, double s) const {
  return Po + s * (u * Vx + v * Vy + w * Vz);
}

G3_VECTOR G3_FRAME::GetGlobal(const G3_VECTOR& v, double s) const {
  return s * (v.GetCx() * Vx + v.GetCy() * Vy + v.GetCz() * Vz);
}

G3_POINT G3_FRAME::GetGlobal(const G3_POINT& p, double s) const {
  return Po + s * (p.GetCx() * Vx + p.GetCy() * Vy + p.GetCz() * Vz);
}

G3_AXIS G3_FRAME::GetGlobal(const G3_AXIS& a, double s) const {
  const G3_POINT p = GetGlobal(a.GetPo(), s);
  return G3_AXIS(p, G3_VECTOR1(GetGlobal(static_cast<const G3_VECTOR&>(a.GetVx()), s)));
}

G3_FRAME G3_FRAME::GetGlobal(const G3_FRAME& f, double s) const {
  const G3_POINT p = GetGlobal(f.Po, s);
  const G3_VECTOR1 vx(GetGlobal(static_cast<const G3_VECTOR&>(f.Vx), s));
  const G3_VECTOR1 vy(GetGlobal(static_cast<const G3_VECTOR&>(f.Vy), s));
  return G3_FRAME(p, vx, vy);
}

G3_VECTOR G3_FRAME::GetLocal(const G3_VECTOR& v, double s) const {
  return G3_VECTOR((v * Vx) / s, (v * Vy) / s, (v * Vz) / s);
}

G3_POINT G3_FRAME::GetLocal(const G3_POINT& p, double s) const {
  const G3_VECTOR d(Po, p);
  return G3_POINT((d * Vx) / s, (d * Vy) / s, (d * Vz) / s);
}

G3_AXIS G3_FRAME::GetLocal(const G3_AXIS& a, double s) const {
  const G3_POINT p = GetLocal(a.GetPo(), s);
  return G3_AXIS(p, G3_VECTOR1(GetLocal(static_cast<const G3_VECTOR&>(a.GetVx()), s)));
}

G3_FRAME G3_FRAME::GetLocal(const G3_FRAME& f, double s) const {
  const G3_POINT p = GetLocal(f.Po, s);
  const G3_VECTOR1 vx(GetLocal(static_cast<const G3_VECTOR&>(f.Vx), s));
  const G3_VECTOR1 vy(GetLocal(static_cast<const G3_VECTOR&>(f.Vy), s));
  return G3_FRAME(p, vx, vy);
}

C_BOOL G3_FRAME::operator==(const G3_FRAME& f) const {
  return Po == f.Po && Vx == f.Vx && Vy == f.Vy;
}

C_BOOL G3_FRAME::operator<(const G3_FRAME& f) const {
  if (Po != f.Po) return Po < f.Po;
  if (Vx != f.Vx) return Vx < f.Vx;
  return Vy < f.Vy;
}

C_BOOL G3_FRAME::operator>(const G3_FRAME& f) const { return f < *this; }

C_BOOL G3_FRAME::IsOn(const G3_FRAME& f, double tol) const {
  return Po.IsOn(f.Po, tol) && Vx.IsOn(f.Vx, true, G_ANG::MinSin2) &&
         Vy.IsOn(f.Vy, true, G_ANG::MinSin2);
}

void G3_FRAME::Transfo(const G3_TRANSFO& t) {
  G3_VECTOR vx(Vx);
  t.Transfo(&vx);
  vx.Unit();
  if (C_ERROR::Is()) return;
  G3_VECTOR vy(Vy);
  t.Transfo(&vy);
  // Vz is rebuilt from the images, so a mirror leaves the frame right-handed.
  G3_VECTOR vz = vx ^ vy;
  vz.Unit();
  if (C_ERROR::Is()) return;
  Vx = G3_VECTOR1(vx);
  Vy = G3_VECTOR1(vz ^ vx);
  Vz = G3_VECTOR1(vz);
  t.Transfo(&Po);
}

void G3_FRAME::Save(C_FILE* file) const {
  Po.Save(file);
  Vx.Save(file);
  Vy.Save(file);
  Vz.Save(file);
}

void G3_FRAME::Load(int version, C_FILE* file) {
  // Streams that carry no records read nothing: the frame stays as it is.
  G3_POINT o(Po);
  G3_VECTOR x(Vx), y(Vy), z(Vz);
  o.Load(version, file);
  if (C_ERROR::Is()) return;
  x.Load(version, file);
  if (C_ERROR::Is()) return;
  y.Load(version, file);
  if (C_ERROR::Is()) return;
  z.Load(version, file);
  if (C_ERROR::Is()) return;
  const G3_VECTOR1 ux(x), uy(y), uz(z);
  if (C_ERROR::Is()) return;  // a null axis in the record: the frame is kept
  Po = o;
  Vx = ux;
  Vy = uy;
  Vz = uz;
}
