#ifndef G3GEOM_ALGEBRA_G2_AXIS_H
#define G3GEOM_ALGEBRA_G2_AXIS_H

#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

// An oriented line of the plane: a point and a unit direction.
class G_API G2_AXIS {
 public:
  constexpr G2_AXIS() = default;
  constexpr G2_AXIS(const G2_POINT& p, const G2_VECTOR1& v) : po_(p), vx_(v) {}
  // Po = a, Vx = unit(b - a); a = b gives (1, 0) with GerrNullVector pending.
  G2_AXIS(const G2_POINT& a, const G2_POINT& b) : po_(a), vx_(a, b) {}

  const G2_POINT& GetPo() const { return po_; }
  const G2_VECTOR1& GetVx() const { return vx_; }
  void SetPo(const G2_POINT& p) { po_ = p; }
  void SetVx(const G2_VECTOR1& v) { vx_ = v; }

  // Foot of q on the line; t = (q - Po).Vx when t is given.
  G2_POINT GetProj(const G2_POINT& q, double* t = nullptr) const;
  // Where the two lines meet. Lines whose directions have a cross product
  // below G_DIS::Min (strict; tol is not consulted) give GerrNoIntersection
  // (mild) and Po, t and s not written.
  G2_POINT GetInter(const G2_AXIS& other, double tol, double* t = nullptr,
                    double* s = nullptr) const;
  // Each origin on the other line within tol (strict) and the directions
  // parallel in either sense.
  C_BOOL IsOn(const G2_AXIS& other, double tol) const;

  // A 2D point record, then a 2D vector record.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

  static const G2_AXIS OX;
  static const G2_AXIS OY;

 private:
  G2_POINT po_;
  G2_VECTOR1 vx_;
};

#endif
