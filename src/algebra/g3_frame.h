#ifndef G3GEOM_ALGEBRA_G3_FRAME_H
#define G3GEOM_ALGEBRA_G3_FRAME_H

#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class C_FILE;
class G3_AXIS;
class G3_PLANE;
class G3_TRANSFO;

// A local coordinate system of space: an origin and three unit axes, kept
// right-handed and orthonormal (Vz = Vx ^ Vy) by every constructor. The first
// three members have the layout of a G3_PLANE. Every unit vector is made by
// the normalising G3_VECTOR1 constructor: a null direction becomes (1, 0, 0)
// with GerrNullVector pending.
class G_API G3_FRAME {
 public:
  G3_FRAME() = default;
  // Origin o, axes X, Y, Z.
  explicit G3_FRAME(const G3_POINT& o) : Po(o) {}
  // Vx = vx, Vz = unit(vx ^ vy), Vy = unit(Vz ^ Vx).
  G3_FRAME(const G3_POINT& o, const G3_VECTOR1& vx, const G3_VECTOR1& vy);
  // Vx towards a, Vy on the side of b in the plane (o, a, b).
  G3_FRAME(const G3_POINT& o, const G3_POINT& a, const G3_POINT& b);
  // Vz = vz; Vy = unit(vz ^ R), Vx = unit(Vy ^ vz) with R = X, or Y when
  // |vz.x| > 0.99 (strictly).
  G3_FRAME(const G3_POINT& o, const G3_VECTOR1& vz);
  // Vz = vz; Vx along the line where the new XY plane meets ref's XY plane,
  // turned so that the new Y axis does not point below ref's XY plane.
  G3_FRAME(const G3_POINT& o, const G3_VECTOR1& vz, const G3_FRAME& ref);
  // The plane's origin, Vx and Vy; Vz = unit(Vx ^ Vy).
  explicit G3_FRAME(const G3_PLANE& pl);
  // Frame of the common perpendicular: origin on a1 nearest to a2, Vx along
  // a1, Vz along a1 ^ a2. Parallel axes: GerrNoIntersection (mild) and the
  // frame at the origin with axes X, Y, Z.
  G3_FRAME(const G3_AXIS& a1, const G3_AXIS& a2);

  const G3_POINT& GetPo() const { return Po; }
  const G3_VECTOR1& GetVx() const { return Vx; }
  const G3_VECTOR1& GetVy() const { return Vy; }
  const G3_VECTOR1& GetVz() const { return Vz; }
  void SetPo(const G3_POINT& o) { Po = o; }
  // Unchanged, with GerrNullVector pending, when vx is parallel to vy.
  void SetVxVy(const G3_VECTOR1& vx, const G3_VECTOR1& vy);

  G3_AXIS GetAx() const;
  G3_AXIS GetAy() const;
  G3_AXIS GetAz() const;
  G3_PLANE GetPxy() const;
  G3_PLANE GetPxz() const;
  G3_PLANE GetPyz() const;
  // Po + s (u Vx + v Vy + w Vz).
  G3_POINT GetPosit(double u, double v, double w, double s = 1.0) const;

  // Local to global: a local coordinate of 1 stands for s global units.
  G3_VECTOR GetGlobal(const G3_VECTOR& v, double s = 1.0) const;
  G3_POINT GetGlobal(const G3_POINT& p, double s = 1.0) const;
  G3_AXIS GetGlobal(const G3_AXIS& a, double s = 1.0) const;
  G3_FRAME GetGlobal(const G3_FRAME& f, double s = 1.0) const;
  // Global to local, by projection on the axes (s = 0 divides by zero).
  G3_VECTOR GetLocal(const G3_VECTOR& v, double s = 1.0) const;
  G3_POINT GetLocal(const G3_POINT& p, double s = 1.0) const;
  G3_AXIS GetLocal(const G3_AXIS& a, double s = 1.0) const;
  G3_FRAME GetLocal(const G3_FRAME& f, double s = 1.0) const;

  // Exact comparison of Po, Vx and Vy (Vz follows from them).
  C_BOOL operator==(const G3_FRAME& f) const;
  C_BOOL operator!=(const G3_FRAME& f) const { return !(*this == f); }
  // Lexicographic on (Po, Vx, Vy), each in the point order.
  C_BOOL operator<(const G3_FRAME& f) const;
  C_BOOL operator>(const G3_FRAME& f) const;
  // Origins strictly within tol, Vx and Vy parallel in the same sense.
  C_BOOL IsOn(const G3_FRAME& f, double tol) const;

  // Maps the origin and the images of Vx and Vy, then rebuilds an orthonormal
  // right-handed frame from them (a mirror does not make it left-handed).
  // Unchanged, with GerrNullVector pending, when t collapses a direction.
  void Transfo(const G3_TRANSFO& t);

  // Po as a point record, then Vx, Vy and Vz as vector records.
  void Save(C_FILE* file) const;
  // On a failed or malformed read the frame is unchanged, the error pending.
  void Load(int version, C_FILE* file);

  static const G3_FRAME BASE;

 private:
  G3_POINT Po;
  G3_VECTOR1 Vx = G3_VECTOR1(1, 0, 0);
  G3_VECTOR1 Vy = G3_VECTOR1(0, 1, 0);
  G3_VECTOR1 Vz = G3_VECTOR1(0, 0, 1);
};

#endif
