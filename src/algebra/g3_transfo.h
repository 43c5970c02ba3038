#ifndef G3GEOM_ALGEBRA_G3_TRANSFO_H
#define G3GEOM_ALGEBRA_G3_TRANSFO_H

#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "measures/g_len.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class C_FILE;
class G2_POINT;
class G2_VECTOR;
class G3_AXIS;
class G3_BOX;
class G3_FRAME;
class G3_PLANE;

// An affine (or, when asked, projective) map of space: a 4x4 matrix acting on
// column vectors as G_MAT44 does, with a cache of its properties so that
// applying it costs only what it needs: a test for the identity, three
// additions for a translation, no division unless projective, no
// renormalisation of unit vectors unless directions change.
class G_API G3_TRANSFO {
 public:
  // ---- builders: each replaces the whole transformation ----
  G3_TRANSFO() { SetIde(); }
  // Translation by v (moves points even when v is null).
  explicit G3_TRANSFO(const G3_VECTOR& v);
  // Scaling by k about c.
  G3_TRANSFO(const G3_POINT& c, double k);
  // Rotation by a about the axis, built by composition (see G_MAT44).
  G3_TRANSFO(const G3_AXIS& ax, G_ANG a);

  void SetIde();
  // Translation by v; points count as moved only when some |v_i| > 1e-12,
  // otherwise that property is kept as it was.
  void SetTra(const G3_VECTOR& v);
  // Scaling by k about c: diag(k, k, k), translation (1 - k) c.
  void SetSca(const G3_POINT& c, double k);
  // Scaling by k of the distance to the axis: diag(k, k, 1) in the axis frame.
  void SetSca(const G3_AXIS& ax, double k);
  // Scaling by k of the distance to the plane: diag(1, 1, k) in the plane frame.
  void SetSca(const G3_PLANE& pl, double k);
  void SetRotX(G_ANG a);
  void SetRotY(G_ANG a);
  void SetRotZ(G_ANG a);
  // Rotation by a about the axis, built through the axis frame.
  void SetRot(const G3_AXIS& ax, G_ANG a);
  // The n-th derivative (n = 1, 2, 3) of the rotation about Z with respect to
  // its angle in degrees. Another n: GerrInvalidDifferentiationDegree, unchanged.
  void SetRotZDeriv(int n, G_ANG a);
  // The same derivative for a rotation about the axis.
  void SetRotDeriv(int n, const G3_AXIS& ax, G_ANG a);
  // Central symmetry about c.
  void SetSym(const G3_POINT& c);
  // Half turn about the axis.
  void SetSym(const G3_AXIS& ax);
  // Mirror in the plane.
  void SetSym(const G3_PLANE& pl);
  // Orthogonal projection on the plane; a degenerate plane leaves the map
  // unchanged.
  void SetProj(const G3_PLANE& pl);
  // Change of coordinates from f1 to f2.
  void SetFrame(const G3_FRAME& f1, const G3_FRAME& f2);
  // Rigid motion carrying f1 onto f2.
  void SetPos(const G3_FRAME& f1, const G3_FRAME& f2);
  // Similarity that keeps o fixed and carries a onto b. Unchanged, with
  // GerrNullVector pending, when a or b coincides with o.
  void SetFixMov(const G3_POINT& o, const G3_POINT& a, const G3_POINT& b);
  // Copies the 16 elements, then recomputes the properties.
  void SetMat(const double m[4][4]);
  // Recomputes the cached properties from the matrix.
  void SetMods();

  // ---- composition and comparison ----
  G3_TRANSFO& operator<<=(const G3_TRANSFO& t);  // this = this . t
  G3_TRANSFO& operator>>=(const G3_TRANSFO& t);  // this = t . this
  // In place; true on success. A singular matrix: GerrUnableToInvert, the
  // map unchanged and false.
  C_BOOL Invert();
  // A new transformation with the transposed matrix.
  G3_TRANSFO Transpose() const;
  // Exact comparisons of the 16 elements (order: lexicographic, row-major).
  C_BOOL operator==(const G3_TRANSFO& t) const;
  C_BOOL operator!=(const G3_TRANSFO& t) const { return !(*this == t); }
  C_BOOL operator<(const G3_TRANSFO& t) const;
  C_BOOL operator>(const G3_TRANSFO& t) const;
  // Every 3x3 element within a (as radians), every translation element within
  // d, row 3 within 1e-12; all bounds strict.
  C_BOOL IsEqual(const G3_TRANSFO& t, G_DIS d, G_ANG a) const;

  // ---- queries ----
  C_BOOL IsIde() const { return !ModPos; }
  C_BOOL DoesModVec() const { return ModVec; }
  C_BOOL DoesModOri() const { return ModOri; }
  // Resolves the angle property first when it is still unknown.
  C_BOOL DoesModAng() const;
  // The factor applied to lengths by a map that preserves angles, 0 when the
  // map changes angles (resolves the angle property first).
  double GetScale() const;
  // False exactly when row 3 is (0, 0, 0, 1).
  C_BOOL IsHomogenous() const;
  // The 3x3 block has a negative determinant.
  C_BOOL DoesInvertSpace() const;
  // |1 - det| < 1e-12 for the 3x3 block (orthogonality is not checked).
  C_BOOL IsDispl() const;
  double GetMat(int i, int j) const { return Mat[i][j]; }
  void GetMat(double m[4][4]) const;
  // Axis and angle (degrees) of the rotation held in the 3x3 block.
  void GetRot(G3_VECTOR1* axis, G_ANG* angle) const;
  // Replaces the map by the rigid motion that places BASE as the map does
  // (origin and X axis kept; scaling and shear removed).
  void CleanDispl();
  // All 16 elements 0; the properties are left as they are.
  void Clear();

  // ---- application ----
  void Transfo(G3_POINT* p) const;
  void Transfo(G3_VECTOR* v) const;
  // Renormalised after the 3x3 block; GerrNullVector pending (vector
  // unchanged) on a null image.
  void Transfo(G3_VECTOR1* v) const;
  G2_POINT Transfo(const G3_POINT& p) const;
  G3_POINT Transfo(const G2_POINT& p) const;
  G2_VECTOR Transfo(const G3_VECTOR& v) const;
  G3_VECTOR Transfo(const G2_VECTOR& v) const;
  // Multiplies by the scale; a map that changes angles raises
  // GerrTransfoChangeAngle and leaves the value.
  void Transfo(G_DIS* d) const;
  // As for G_DIS; a result below G_LEN::Min raises GerrLengthTooShort (the
  // scaled value is kept).
  void Transfo(G_LEN* l) const;
  // The box of the image of the box.
  void Transfo(G3_BOX* b) const;

  // ---- persistence and copies ----
  void Save(C_FILE* file) const;
  // The 16 elements, then the properties; a failed read leaves the map
  // unchanged with the error pending.
  void Load(int version, C_FILE* file);
  G3_TRANSFO* Clone() const;
  G3_TRANSFO* CloneSame() const;

  static const G3_TRANSFO IDENTITY;

 private:
  void SetAngMod() const;
  // The properties of a rotation about a coordinate axis and of its derivatives.
  void SetRotationFlags();
  double Mat[4][4];
  mutable double Scale;  // resolved with ModAng
  C_BOOL ModPos;
  C_BOOL ModVec;
  C_BOOL ModOri;
  mutable C_LOG ModAng;
  C_BOOL Homogenous;
};

G_API G3_TRANSFO operator*(const G3_TRANSFO& a, const G3_TRANSFO& b);
// The sum of the upper three rows; row 3 is (0, 0, 0, 1).
G_API G3_TRANSFO operator+(const G3_TRANSFO& a, const G3_TRANSFO& b);

// The hot path, inline so that a loop over points can keep the flags and the
// matrix in registers: the identity costs a test, a translation three
// additions, and only a projective map divides.
inline void G3_TRANSFO::Transfo(G3_POINT* p) const {
  if (!ModPos) return;
  const double x = p->GetCx(), y = p->GetCy(), z = p->GetCz();
  if (!ModVec) {
    double nx = x + Mat[0][3], ny = y + Mat[1][3], nz = z + Mat[2][3];
    if (Homogenous) {
      nx /= Mat[3][3];
      ny /= Mat[3][3];
      nz /= Mat[3][3];
    }
    p->SetCar(nx, ny, nz);
    return;
  }
  double nx = Mat[0][0] * x + Mat[0][1] * y + Mat[0][2] * z + Mat[0][3];
  double ny = Mat[1][0] * x + Mat[1][1] * y + Mat[1][2] * z + Mat[1][3];
  double nz = Mat[2][0] * x + Mat[2][1] * y + Mat[2][2] * z + Mat[2][3];
  if (Homogenous) {
    const double w = Mat[3][0] * x + Mat[3][1] * y + Mat[3][2] * z + Mat[3][3];
    nx /= w;
    ny /= w;
    nz /= w;
  }
  p->SetCar(nx, ny, nz);
}

#endif
