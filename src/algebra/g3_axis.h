#ifndef G3GEOM_ALGEBRA_G3_AXIS_H
#define G3GEOM_ALGEBRA_G3_AXIS_H

#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G2_POINT;
class G3_PLANE;
class G3_TRANSFO;

// An oriented infinite line: a point and a unit direction.
class G_API G3_AXIS {
 public:
  constexpr G3_AXIS() = default;
  constexpr G3_AXIS(const G3_POINT& p, const G3_VECTOR1& v) : po_(p), vx_(v) {}
  // Po = a, Vx = unit(b - a); a = b gives (1, 0, 0) with GerrNullVector pending.
  G3_AXIS(const G3_POINT& a, const G3_POINT& b) : po_(a), vx_(a, b) {}

  const G3_POINT& GetPo() const { return po_; }
  const G3_VECTOR1& GetVx() const { return vx_; }
  // The members themselves, as SetPo and SetVx: no check.
  G3_POINT& GetPo() { return po_; }
  G3_VECTOR1& GetVx() { return vx_; }
  void SetPo(const G3_POINT& p) { po_ = p; }
  void SetVx(const G3_VECTOR1& v) { vx_ = v; }
  void Invert() { vx_.Invert(); }

  // Po + t.Vx.
  G3_POINT GetPosit(double t) const { return po_ + t * vx_; }
  // Foot of q on the line; t = (q - Po).Vx when t is given.
  G3_POINT GetProj(const G3_POINT& q, double* t = nullptr) const;
  // The point of this axis nearest to other (foot of the common
  // perpendicular). Parallel axes: GerrNoIntersection (mild), Po, t and s
  // not written.
  G3_POINT GetProj(const G3_AXIS& other, double* t = nullptr, double* s = nullptr) const;
  // The point where the two lines meet: as GetProj, and the lines must be at
  // most G_DIS::Min apart (squared distance <= G_DIS2::Min; tol is not
  // consulted). Otherwise GerrNoIntersection (mild) and Po.
  G3_POINT GetInter(const G3_AXIS& other, double tol, double* t = nullptr,
                    double* s = nullptr) const;
  // The nearest points p (on this axis) and q (on other) with their
  // parameters; parallel lines take p = Po. Pointers may be null.
  void GetNearestPoints(const G3_AXIS& other, G3_POINT* p = nullptr, G3_POINT* q = nullptr,
                        double* t = nullptr, double* s = nullptr) const;

  // Whether the full line crosses the triangle abc, boundary included. With
  // no output requested a sign test is used, otherwise a barycentric one that
  // gives the line parameter t, the point p and the barycentric (u, v).
  C_BOOL IntersectTriangle(const G3_POINT& a, const G3_POINT& b, const G3_POINT& c,
                           double* t = nullptr, G3_POINT* p = nullptr,
                           G2_POINT* uv = nullptr) const;
  // Crossings with a sphere, first root (t1, p1) before the second; a tangent
  // line gives two equal roots. False when the line misses.
  C_BOOL IntersectSphere(const G3_POINT& centre, double r, double* t1 = nullptr,
                         G3_POINT* p1 = nullptr, double* t2 = nullptr,
                         G3_POINT* p2 = nullptr) const;
  // Crossings with the axis-aligned ellipsoid (x/a)^2 + (y/b)^2 + (z/c)^2 = 3
  // about centre, which passes through the eight points (+-a, +-b, +-c).
  C_BOOL IntersectAAEllipsoid(const G3_POINT& centre, double a, double b, double c,
                              double* t1 = nullptr, G3_POINT* p1 = nullptr,
                              double* t2 = nullptr, G3_POINT* p2 = nullptr) const;

  // Same line: each point on the other's line within tolDist (strict), and
  // the directions parallel within tolAng (a squared sine).
  C_BOOL IsOn(const G3_AXIS& other, double tolDist, double tolAng, C_BOOL sameSense) const;
  // Lies in the plane: squared distance of Po < tolDist^2 (strict) and Vx
  // orthogonal to the normal within tolAng.
  C_BOOL IsOn(const G3_PLANE& pl, double tolDist, double tolAng) const;

  // Exact.
  C_BOOL operator==(const G3_AXIS& a) const { return po_ == a.po_ && vx_ == a.vx_; }
  // Lexicographic on (Po, Vx).
  C_BOOL operator>(const G3_AXIS& a) const {
    if (po_ != a.po_) return po_ > a.po_;
    return vx_ > a.vx_;
  }

  // A point record, then a vector record.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

  // A transformation that collapses the direction leaves GerrNullVector
  // pending and the axis unchanged. Defined with the transformations.
  void Transfo(const G3_TRANSFO& t);

  static const G3_AXIS OX;
  static const G3_AXIS OY;
  static const G3_AXIS OZ;

 private:
  G3_POINT po_;
  G3_VECTOR1 vx_;
};

#endif
