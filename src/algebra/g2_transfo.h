#ifndef G3GEOM_ALGEBRA_G2_TRANSFO_H
#define G3GEOM_ALGEBRA_G2_TRANSFO_H

#include "algebra/g2_axis.h"
#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "measures/g_ang.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

// An affine map of the plane: a 2x3 matrix, row-major, mapping (x, y) to
// (m00.x + m01.y + m02, m10.x + m11.y + m12) and vectors by the 2x2 block.
class G_API G2_TRANSFO {
 public:
  constexpr G2_TRANSFO() = default;
  // Translation by v.
  explicit G2_TRANSFO(const G2_VECTOR& v) { SetTra(v); }
  // Rotation by a about c.
  G2_TRANSFO(const G2_POINT& c, G_ANG a) { SetRot(c, a); }
  // Scaling by k about c.
  G2_TRANSFO(const G2_POINT& c, double k) { SetSca(c, k); }
  // Scaling by kx along x and ky along y about c.
  G2_TRANSFO(const G2_POINT& c, double kx, double ky) { SetSca(c, kx, ky); }
  // From the local frame (o, u, u turned by +90 degrees) to global coordinates.
  G2_TRANSFO(const G2_POINT& o, const G2_VECTOR1& u) { SetFrame(o, u); }

  void SetIde();
  void SetTra(const G2_VECTOR& v);
  void SetRot(const G2_POINT& c, G_ANG a);
  void SetSca(const G2_POINT& c, double k);
  void SetSca(const G2_POINT& c, double kx, double ky);
  void SetFrame(const G2_POINT& o, const G2_VECTOR1& u);
  // Mirror in the axis.
  void SetSym(const G2_AXIS& ax);
  void SetMat(const double m[2][3]);
  void GetMat(double m[2][3]) const;
  // Read access to the internal array.
  void GetMat(const double (**m)[2][3]) const { *m = &m_; }
  // All six elements 0.
  void Clear();
  // A block whose determinant is below 1e-12 in magnitude (strict) reports
  // "Singular matrix" and leaves the map unchanged.
  void Invert();

  // this = this . t (t applied first); this = t . this.
  G2_TRANSFO& operator<<=(const G2_TRANSFO& t);
  G2_TRANSFO& operator>>=(const G2_TRANSFO& t);

  // Exact on the six elements; < and > lexicographic, row-major.
  C_BOOL operator==(const G2_TRANSFO& t) const;
  C_BOOL operator!=(const G2_TRANSFO& t) const { return !(*this == t); }
  C_BOOL operator<(const G2_TRANSFO& t) const;
  C_BOOL operator>(const G2_TRANSFO& t) const { return t < *this; }

  // In place; vectors by the 2x2 block.
  void Transfo(G2_POINT* p) const;
  void Transfo(G2_VECTOR* v) const;

  // A heap copy owned by the caller (null, with the error pending, when the
  // allocation fails).
  G2_TRANSFO* Clone() const;

  // The six elements row by row, one double each.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

  static const G2_TRANSFO IDENTITY;

 private:
  double m_[2][3] = {{1, 0, 0}, {0, 1, 0}};
};

// The composition a . b: b applied first.
G_API G2_TRANSFO operator*(const G2_TRANSFO& a, const G2_TRANSFO& b);

#endif
