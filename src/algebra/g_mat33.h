#ifndef G3GEOM_ALGEBRA_G_MAT33_H
#define G3GEOM_ALGEBRA_G_MAT33_H

#include "measures/g_ang.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class C_FILE;
class G_MAT44;
class G2_POINT;
class G2_VECTOR;
class G2_VECTOR1;

// Which coordinate axis a matrix sends onto Z (see GetParaxial).
enum PARA_TYPE {
  G_PARA_X = 0,     // the X axis lands on Z
  G_PARA_Y = 1,     // the Y axis lands on Z
  G_PARA_Z = 2,     // the Z axis stays on Z
  G_PARA_NONE = 3,  // no coordinate axis lands on Z
};

// The 3x3 homogeneous matrix of an affine map of the plane, row-major, acting
// on column vectors: (x, y) maps to (m00 x + m01 y + m02, m10 x + m11 y + m12).
class G_API G_MAT33 {
 public:
  G_MAT33() { SetIde(); }
  // Translation by v.
  explicit G_MAT33(const G2_VECTOR& v);
  // Rotation by a (degrees, counter-clockwise).
  explicit G_MAT33(G_ANG a);
  // Scaling by k about the origin: diag(k, k, 1).
  explicit G_MAT33(double k);
  // The upper-left 3x3 block of m.
  explicit G_MAT33(const G_MAT44& m);

  void SetIde();
  void Reset() { Clear(); }
  void Clear();
  void SetTra(const G2_VECTOR& v);
  // Sine and cosine below 1e-15 in magnitude are forced to 0, so quarter
  // turns come out exact.
  void SetRot(G_ANG a);
  void SetSca(double k);

  double GetMatVal(int i, int j) const { return m_[i][j]; }
  void GetMat(double m[3][3]) const;
  void SetMat(const double m[3][3]);

  void Transpose();
  // Inversion by cofactors. False, with the matrix unchanged and no error,
  // when the determinant is exactly 0.
  C_BOOL Invert();

  G_MAT33& operator<<=(const G_MAT33& b);  // this = this . b
  G_MAT33& operator>>=(const G_MAT33& b);  // this = b . this
  // Exact lexicographic order over the elements, row-major.
  C_BOOL operator>(const G_MAT33& b) const;
  C_BOOL operator<(const G_MAT33& b) const { return b > *this; }
  // Exact comparison of every element.
  C_BOOL operator==(const G_MAT33& b) const;
  C_BOOL operator!=(const G_MAT33& b) const { return !(*this == b); }

  PARA_TYPE GetParaxial() const;

  void Transfo(G2_POINT* p) const;
  void Transfo(G2_VECTOR* v) const;
  // The 2x2 block then renormalisation; GerrNullVector pending on a null image.
  void Transfo(G2_VECTOR1* v) const;

  void Save(C_FILE* file) const;
  // On a failed read the matrix is unchanged and the error stays pending.
  void Load(int version, C_FILE* file);
  // A heap copy owned by the caller (null with CerrOutOfMemory pending).
  G_MAT33* Clone() const;

  static const G_MAT33 IDENTITY;

 private:
  double m_[3][3];
};

// The product a . b.
G_API G_MAT33 operator*(const G_MAT33& a, const G_MAT33& b);

#endif
