#ifndef G3GEOM_ALGEBRA_G_MAT44_H
#define G3GEOM_ALGEBRA_G_MAT44_H

#include "algebra/g_mat33.h"
#include "measures/g_ang.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class C_FILE;
class G2_POINT;
class G2_VECTOR;
class G3_AXIS;
class G3_FRAME;
class G3_PLANE;
class G3_POINT;
class G3_VECTOR;
class G3_VECTOR1;

// The 4x4 homogeneous matrix of an affine map of space, row-major, acting on
// column vectors: the translation is the fourth column and row 3 is
// (0, 0, 0, 1) for every matrix built here. Vectors use the 3x3 block only.
class G_API G_MAT44 {
 public:
  G_MAT44() { SetIde(); }
  // Translation by v.
  explicit G_MAT44(const G3_VECTOR& v);
  // Scaling by k about c.
  G_MAT44(const G3_POINT& c, double k);
  // Rotation by a about the axis, built by composition: move the axis point
  // to the origin, align the direction with Z, turn, and undo.
  G_MAT44(const G3_AXIS& ax, G_ANG a);
  // m in the upper-left block, no translation.
  explicit G_MAT44(const G_MAT33& m);

  void SetIde();
  void Reset() { Clear(); }
  void Clear();
  void SetTra(const G3_VECTOR& v);
  void SetSca(const G3_POINT& c, double k);
  void SetRotX(G_ANG a);
  void SetRotY(G_ANG a);
  void SetRotZ(G_ANG a);
  // The same rotation as G_MAT44(ax, a), built through the axis frame.
  void SetRot(const G3_AXIS& ax, G_ANG a);
  // Mirror image in the plane.
  void SetMir(const G3_PLANE& pl);
  // Change of coordinates: a point given in f1 gets its coordinates in f2.
  void SetFrame(const G3_FRAME& f1, const G3_FRAME& f2);
  // The rigid motion carrying frame f1 onto frame f2.
  void SetPos(const G3_FRAME& f1, const G3_FRAME& f2);

  double GetMatVal(int i, int j) const { return m_[i][j]; }
  void GetMat(double m[4][4]) const;
  void SetMat(const double m[4][4]);

  void Transpose();
  // Inversion by cofactors. False, with the matrix unchanged and no error,
  // when the determinant is exactly 0.
  C_BOOL Invert();

  G_MAT44& operator<<=(const G_MAT44& b);  // this = this . b
  G_MAT44& operator>>=(const G_MAT44& b);  // this = b . this
  // Exact lexicographic order over the elements, row-major.
  C_BOOL operator>(const G_MAT44& b) const;
  C_BOOL operator<(const G_MAT44& b) const { return b > *this; }
  // Exact comparison of every element.
  C_BOOL operator==(const G_MAT44& b) const;
  C_BOOL operator!=(const G_MAT44& b) const { return !(*this == b); }

  PARA_TYPE GetParaxial() const;

  void Transfo(G3_POINT* p) const;
  void Transfo(double* x, double* y, double* z) const;
  void Transfo(G3_VECTOR* v) const;
  // The 3x3 block then renormalisation; GerrNullVector pending on a null image.
  void Transfo(G3_VECTOR1* v) const;
  // The first two coordinates of the image of p.
  G2_POINT Transfo(const G3_POINT& p) const;
  // The image of (p.x, p.y, 0).
  G3_POINT Transfo(const G2_POINT& p) const;
  G2_VECTOR Transfo(const G3_VECTOR& v) const;
  G3_VECTOR Transfo(const G2_VECTOR& v) const;

  void Save(C_FILE* file) const;
  // On a failed read the matrix is unchanged and the error stays pending.
  void Load(int version, C_FILE* file);
  // A heap copy owned by the caller (null with CerrOutOfMemory pending).
  G_MAT44* Clone() const;

  static const G_MAT44 IDENTITY;

 private:
  double m_[4][4];
};

// The product a . b.
G_API G_MAT44 operator*(const G_MAT44& a, const G_MAT44& b);

#endif
