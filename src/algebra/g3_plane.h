#ifndef G3GEOM_ALGEBRA_G3_PLANE_H
#define G3GEOM_ALGEBRA_G3_PLANE_H

#include "algebra/g3_axis.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G3_BOX;
class G3_FRAME;
class G3_TRANSFO;

// An oriented plane: an origin and two orthonormal in-plane directions. The
// normal is not stored: GetVz() computes Vx ^ Vy. The three members have the
// layout of a frame's first three.
class G_API G3_PLANE {
 public:
  constexpr G3_PLANE() = default;
  // Po = p, Vx = vx, Vy = unit((vx ^ vy) ^ vx), the part of vy orthogonal to vx.
  G3_PLANE(const G3_POINT& p, const G3_VECTOR1& vx, const G3_VECTOR1& vy);
  // Po = a, Vx = unit(b - a), Vy from unit(c - a) as above. Collinear points
  // leave GerrNullVector pending.
  G3_PLANE(const G3_POINT& a, const G3_POINT& b, const G3_POINT& c);
  // Through p with unit normal n.
  G3_PLANE(const G3_POINT& p, const G3_VECTOR1& n);
  // The frame's origin, Vx and Vy.
  G3_PLANE(const G3_FRAME& f);  // NOLINT: implicit by design

  const G3_POINT& GetPo() const { return po_; }
  const G3_VECTOR1& GetVx() const { return vx_; }
  const G3_VECTOR1& GetVy() const { return vy_; }
  // The unit normal Vx ^ Vy; a degenerate plane gives (1, 0, 0) with
  // GerrNullVector pending.
  G3_VECTOR1 GetVz() const { return G3_VECTOR1(vx_ ^ vy_); }
  void SetPo(const G3_POINT& p) { po_ = p; }
  // Vx = vx and Vy = unit(n ^ vx), n = unit(vx ^ vy). Parallel vx and vy
  // leave GerrNullVector pending and the plane unchanged.
  void SetVxVy(const G3_VECTOR1& vx, const G3_VECTOR1& vy);
  // Each flips the normal.
  void InvertVx() { vx_.Invert(); }
  void InvertVy() { vy_.Invert(); }

  // Po + u.Vx + v.Vy.
  G3_POINT GetPosit(double u, double v) const { return po_ + u * vx_ + v * vy_; }
  // unit(cos a.Vx + sin a.Vy), a in degrees.
  G3_VECTOR1 GetVa(G_ANG a) const;
  // Projection of q, with its plane coordinates u and v when given.
  G3_POINT GetProj(const G3_POINT& q, double* u = nullptr, double* v = nullptr) const;
  // Projection of w on the plane's direction.
  G3_VECTOR GetProj(const G3_VECTOR& w, double* u = nullptr, double* v = nullptr) const;
  // (q - Po).GetVz() >= 0: the plane itself is inside.
  C_BOOL IsInHalfSpace(const G3_POINT& q) const;
  // True when every corner of the box is inside, false when none is, unknown
  // otherwise. Defined with the boxes.
  C_LOG IsInHalfSpace(const G3_BOX& b) const;
  // Po += d.(Vx ^ Vy).
  void Offset(G_DIS d);

  // Where the axis crosses the plane: false, nothing written, when the axis
  // is parallel to it (|n.Vx| < G_ANG::MinSin, strict).
  C_BOOL DoesIntersect(const G3_AXIS& ax, G3_POINT* p = nullptr, double* u = nullptr,
                       double* v = nullptr) const;
  // As DoesIntersect; a parallel axis gives GerrNoIntersection (mild) and Po.
  G3_POINT GetInter(const G3_AXIS& ax, double* u = nullptr, double* v = nullptr) const;
  // The line common to two planes; parallel planes give GerrNullVector and
  // the axis ((0, 0, 0), (1, 0, 0)).
  G3_AXIS GetInter(const G3_PLANE& other) const;
  // The point common to three planes; (0, 0, 0) with the error pending when
  // p2 and p3 have no common line.
  G3_POINT GetInter(const G3_PLANE& p2, const G3_PLANE& p3) const;

  // Normals parallel in either sense within tolAng (a squared sine); tolDist
  // does not enter the test.
  C_BOOL IsParallelTo(const G3_PLANE& other, double tolDist, double tolAng) const;
  // Same plane: each origin within tolDist of the other plane (strict) and
  // the normals parallel in either sense within tolAng.
  C_BOOL IsOn(const G3_PLANE& other, double tolDist, double tolAng) const;

  // Exact on the nine coordinates.
  C_BOOL operator==(const G3_PLANE& p) const {
    return po_ == p.po_ && vx_ == p.vx_ && vy_ == p.vy_;
  }
  // Lexicographic on (Po, Vx, Vy).
  C_BOOL operator>(const G3_PLANE& p) const {
    if (po_ != p.po_) return po_ > p.po_;
    if (vx_ != p.vx_) return vx_ > p.vx_;
    return vy_ > p.vy_;
  }

  // A point record, then two vector records.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

  // Stays orthonormal under any map; a collapsed direction leaves
  // GerrNullVector pending and the plane unchanged. Defined with the
  // transformations.
  void Transfo(const G3_TRANSFO& t);

  static const G3_PLANE OXY;
  static const G3_PLANE OXZ;
  static const G3_PLANE OYZ;

 private:
  constexpr G3_PLANE(double vx0, double vx1, double vx2, double vy0, double vy1, double vy2)
      : vx_(vx0, vx1, vx2, G3_VECTOR1::Exact()), vy_(vy0, vy1, vy2, G3_VECTOR1::Exact()) {}

  G3_POINT po_;
  G3_VECTOR1 vx_;
  G3_VECTOR1 vy_ = G3_VECTOR1(0, 1, 0, G3_VECTOR1::Exact());
};

#endif
