#include "algebra/g3_transfo.h"

#include <cmath>

#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "algebra/g3_plane.h"
#include "algebra/g_mat44.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_math.h"
#include "runtime/t_persist.h"

const G3_TRANSFO G3_TRANSFO::IDENTITY;

namespace {

// A translation component at most this large does not count as moving points.
constexpr double kTraEps = 1e-12;
// Column norms and dot products of the angle test.
constexpr double kAngEps = 1e-12;
// Row 3 of IsEqual, the determinant of IsDispl, the projection denominator
// and the rotation test of GetRot.
constexpr double kEps = 1e-12;
// Degrees to radians and its powers, for the derivatives of a rotation.
constexpr double kRad = 0.017453292519943295;
constexpr double kRad2 = 0.00030461741978670857;
constexpr double kRad3 = 5.316576934207788e-6;

// SetFrame(f, BASE) . d . SetFrame(BASE, f): the map d written in the frame f.
G_MAT44 InFrame(const G3_FRAME& f, const G_MAT44& d) {
  G_MAT44 toLocal, toGlobal;
  toLocal.SetFrame(G3_FRAME::BASE, f);
  toGlobal.SetFrame(f, G3_FRAME::BASE);
  return toGlobal * d * toLocal;
}

G_MAT44 Diagonal(double a, double b, double c) {
  const double r[4][4] = {{a, 0, 0, 0}, {0, b, 0, 0}, {0, 0, c, 0}, {0, 0, 0, 1}};
  G_MAT44 m;
  m.SetMat(r);
  return m;
}

// The frame of an axis: Vz along the direction.
G3_FRAME AxisFrame(const G3_AXIS& ax) { return G3_FRAME(ax.GetPo(), ax.GetVx()); }

double Det3(const double m[4][4]) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[1][0] * (m[0][1] * m[2][2] - m[0][2] * m[2][1]) +
         m[2][0] * (m[0][1] * m[1][2] - m[0][2] * m[1][1]);
}

// 2x2 helpers of the block inversion; a 2x2 matrix is {a00, a01, a10, a11}.
void Mul2(const double a[4], const double b[4], double r[4]) {
  const double t[4] = {a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3],
                       a[2] * b[0] + a[3] * b[2], a[2] * b[1] + a[3] * b[3]};
  for (int i = 0; i < 4; ++i) r[i] = t[i];
}

// False when the determinant is exactly 0.
bool Inv2(const double a[4], double r[4]) {
  const double det = a[0] * a[3] - a[1] * a[2];
  if (det == 0.0) return false;
  const double t[4] = {a[3] / det, -a[1] / det, -a[2] / det, a[0] / det};
  for (int i = 0; i < 4; ++i) r[i] = t[i];
  return true;
}

}  // namespace

// ---------------------------------------------------------------- builders

G3_TRANSFO::G3_TRANSFO(const G3_VECTOR& v) {
  SetIde();
  Mat[0][3] = v.GetCx();
  Mat[1][3] = v.GetCy();
  Mat[2][3] = v.GetCz();
  ModPos = true;
}

G3_TRANSFO::G3_TRANSFO(const G3_POINT& c, double k) { SetSca(c, k); }

G3_TRANSFO::G3_TRANSFO(const G3_AXIS& ax, G_ANG a) {
  G_MAT44(ax, a).GetMat(Mat);
  SetMods();
}

void G3_TRANSFO::SetIde() {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) Mat[i][j] = i == j ? 1.0 : 0.0;
  Scale = 1;
  ModPos = false;
  ModVec = false;
  ModOri = false;
  ModAng.SetFalse();
  Homogenous = false;
}

void G3_TRANSFO::SetTra(const G3_VECTOR& v) {
  const C_BOOL moved = ModPos;
  SetIde();
  Mat[0][3] = v.GetCx();
  Mat[1][3] = v.GetCy();
  Mat[2][3] = v.GetCz();
  // A negligible shift keeps whatever the map said about moving points.
  if (std::fabs(v.GetCx()) > kTraEps || std::fabs(v.GetCy()) > kTraEps ||
      std::fabs(v.GetCz()) > kTraEps)
    ModPos = true;
  else
    ModPos = moved;
}

void G3_TRANSFO::SetSca(const G3_POINT& c, double k) {
  G_MAT44(c, k).GetMat(Mat);
  ModPos = true;
  ModVec = true;
  ModOri = true;
  ModAng.SetFalse();
  Homogenous = false;
  // Lengths scale by |k|: a negative factor also reverses directions.
  Scale = std::fabs(k);
}

void G3_TRANSFO::SetSca(const G3_AXIS& ax, double k) {
  InFrame(AxisFrame(ax), Diagonal(k, k, 1)).GetMat(Mat);
  SetMods();
}

void G3_TRANSFO::SetSca(const G3_PLANE& pl, double k) {
  InFrame(G3_FRAME(pl), Diagonal(1, 1, k)).GetMat(Mat);
  SetMods();
}

void G3_TRANSFO::SetRotationFlags() {
  ModPos = true;
  ModVec = true;
  ModOri = true;
  ModAng.SetFalse();
  Homogenous = false;
  Scale = 1;
}

void G3_TRANSFO::SetRotX(G_ANG a) {
  G_MAT44 m;
  m.SetRotX(a);
  m.GetMat(Mat);
  SetRotationFlags();
}

void G3_TRANSFO::SetRotY(G_ANG a) {
  G_MAT44 m;
  m.SetRotY(a);
  m.GetMat(Mat);
  SetRotationFlags();
}

void G3_TRANSFO::SetRotZ(G_ANG a) {
  G_MAT44 m;
  m.SetRotZ(a);
  m.GetMat(Mat);
  SetRotationFlags();
}

void G3_TRANSFO::SetRot(const G3_AXIS& ax, G_ANG a) {
  G_MAT44 m;
  m.SetRot(ax, a);
  m.GetMat(Mat);
  SetMods();
}

void G3_TRANSFO::SetRotZDeriv(int n, G_ANG a) {
  if (n < 1 || n > 3) {
    GerrInvalidDifferentiationDegree.Trigger();
    return;
  }
  double s = 0, c = 0;
  CmathSinCos(a, &s, &c);
  double diag = 0, low = 0;  // m00 = m11 and m10 = -m01
  if (n == 1) {
    diag = -s * kRad;
    low = c * kRad;
  } else if (n == 2) {
    diag = -c * kRad2;
    low = -s * kRad2;
  } else {
    diag = s * kRad3;
    low = -c * kRad3;
  }
  for (auto& row : Mat)
    for (double& e : row) e = 0.0;
  Mat[0][0] = Mat[1][1] = diag;
  Mat[1][0] = low;
  Mat[0][1] = -low;
  Mat[3][3] = 1;
  SetRotationFlags();
}

void G3_TRANSFO::SetRotDeriv(int n, const G3_AXIS& ax, G_ANG a) {
  G3_TRANSFO d;
  d.SetRotZDeriv(n, a);
  if (C_ERROR::Is()) return;
  G_MAT44 dz;
  dz.SetMat(d.Mat);
  InFrame(AxisFrame(ax), dz).GetMat(Mat);
  // A point on the axis does not move as the angle changes: its derivative is
  // 0, so the translation is -D.P (the frame sandwich would add P back).
  const G3_POINT& p = ax.GetPo();
  for (int i = 0; i < 3; ++i)
    Mat[i][3] = -(Mat[i][0] * p.GetCx() + Mat[i][1] * p.GetCy() + Mat[i][2] * p.GetCz());
  SetMods();
}

void G3_TRANSFO::SetSym(const G3_POINT& c) {
  SetIde();
  Mat[0][0] = Mat[1][1] = Mat[2][2] = -1;
  Mat[0][3] = 2 * c.GetCx();
  Mat[1][3] = 2 * c.GetCy();
  Mat[2][3] = 2 * c.GetCz();
  SetMods();
}

void G3_TRANSFO::SetSym(const G3_AXIS& ax) {
  InFrame(AxisFrame(ax), Diagonal(-1, -1, 1)).GetMat(Mat);
  SetMods();
}

void G3_TRANSFO::SetSym(const G3_PLANE& pl) {
  InFrame(G3_FRAME(pl), Diagonal(1, 1, -1)).GetMat(Mat);
  SetMods();
}

void G3_TRANSFO::SetProj(const G3_PLANE& pl) {
  const G3_VECTOR1 n = pl.GetVz();
  if (C_ERROR::Is()) return;
  const double nn = n * n;
  if (nn > -kEps && nn < kEps) return;
  const double np = n * G3_VECTOR(G3_POINT::P0, pl.GetPo());
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) Mat[i][j] = (i == j ? 1.0 : 0.0) - n.GetCi(i) * n.GetCi(j) / nn;
    Mat[i][3] = n.GetCi(i) * np / nn;
  }
  Mat[3][0] = Mat[3][1] = Mat[3][2] = 0;
  Mat[3][3] = 1;
  SetMods();
}

void G3_TRANSFO::SetFrame(const G3_FRAME& f1, const G3_FRAME& f2) {
  G_MAT44 m;
  m.SetFrame(f1, f2);
  m.GetMat(Mat);
  SetMods();
}

void G3_TRANSFO::SetPos(const G3_FRAME& f1, const G3_FRAME& f2) {
  G_MAT44 m;
  m.SetPos(f1, f2);
  m.GetMat(Mat);
  SetMods();
}

void G3_TRANSFO::SetFixMov(const G3_POINT& o, const G3_POINT& a, const G3_POINT& b) {
  G3_VECTOR u(o, a), v(o, b);
  double nu = 0, nv = 0;
  u.Unit(&nu);
  if (C_ERROR::Is()) return;
  v.Unit(&nv);
  if (C_ERROR::Is()) return;
  const G3_TRANSFO s(o, nv / nu);
  const G3_VECTOR w = u ^ v;
  const double sigma = w.GetNorm();
  const double cosine = u * v;
  G3_TRANSFO r;
  // The angle comes from both its sine and its cosine, so obtuse angles are
  // right; opposite directions take a half turn about any normal of u.
  if (sigma >= G_ANG::MinSin) {
    r.SetRot(G3_AXIS(o, G3_VECTOR1(w)), CmathAtan2(sigma, cosine));
  } else if (cosine < 0) {
    r.SetRot(G3_AXIS(o, G3_FRAME(o, G3_VECTOR1(u)).GetVx()), 180.0);
  }
  if (C_ERROR::Is()) return;
  *this = s * r;
}

void G3_TRANSFO::SetMat(const double m[4][4]) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) Mat[i][j] = m[i][j];
  SetMods();
}

void G3_TRANSFO::SetMods() {
  if (Mat[3][0] != 0 || Mat[3][1] != 0 || Mat[3][2] != 0 || Mat[3][3] != 1) {
    ModPos = ModVec = ModOri = true;
    ModAng.SetTrue();
    Homogenous = true;
    Scale = 0;
    return;
  }
  Homogenous = false;
  if (Mat[0][1] != 0 || Mat[0][2] != 0 || Mat[1][0] != 0 || Mat[1][2] != 0 || Mat[2][0] != 0 ||
      Mat[2][1] != 0) {
    ModPos = ModVec = ModOri = true;
    ModAng.SetUnknown();  // the angle test runs on first need
    Scale = 0;
    return;
  }
  const double a = Mat[0][0], b = Mat[1][1], c = Mat[2][2];
  if (a == 1 && b == 1 && c == 1) {
    ModPos = Mat[0][3] != 0 || Mat[1][3] != 0 || Mat[2][3] != 0;
    ModVec = ModOri = false;
    ModAng.SetFalse();
    Scale = 1;
    return;
  }
  if (a == b && b == c) {
    // Uniform scaling. A negative factor reverses every direction.
    ModPos = ModVec = true;
    ModOri = a < 0;
    ModAng.SetFalse();
    Scale = std::fabs(a);
    return;
  }
  ModPos = ModVec = ModOri = true;
  if (std::fabs(a) == std::fabs(b) && std::fabs(b) == std::fabs(c)) {
    // Half turns and mirrors in coordinate planes (times a uniform factor)
    // keep angles.
    ModAng.SetFalse();
    Scale = std::fabs(a);
    return;
  }
  ModAng.SetTrue();
  Scale = 0;
}

void G3_TRANSFO::SetAngMod() const {
  double n[3];
  G3_VECTOR col[3];
  for (int j = 0; j < 3; ++j) {
    col[j] = G3_VECTOR(Mat[0][j], Mat[1][j], Mat[2][j]);
    n[j] = col[j].GetNorm();
  }
  ModAng.SetTrue();
  Scale = 0;
  if (n[0] < kAngEps || n[1] < kAngEps || n[2] < kAngEps) return;
  if (std::fabs(n[0] - n[1]) > kAngEps || std::fabs(n[0] - n[2]) > kAngEps) return;
  for (int j = 0; j < 3; ++j) col[j] /= n[j];
  if (std::fabs(col[0] * col[1]) > kAngEps || std::fabs(col[2] * col[1]) > kAngEps ||
      std::fabs(col[2] * col[0]) > kAngEps)
    return;
  ModAng.SetFalse();
  Scale = n[0];
}

// ------------------------------------------------------ composition, order

G3_TRANSFO operator*(const G3_TRANSFO& a, const G3_TRANSFO& b) {
  double r[4][4];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r[i][j] = a.GetMat(i, 0) * b.GetMat(0, j) + a.GetMat(i, 1) * b.GetMat(1, j) +
                a.GetMat(i, 2) * b.GetMat(2, j) + a.GetMat(i, 3) * b.GetMat(3, j);
  G3_TRANSFO t;
  t.SetMat(r);
  return t;
}

G3_TRANSFO operator+(const G3_TRANSFO& a, const G3_TRANSFO& b) {
  double r[4][4];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) r[i][j] = a.GetMat(i, j) + b.GetMat(i, j);
  r[3][0] = r[3][1] = r[3][2] = 0;
  r[3][3] = 1;
  G3_TRANSFO t;
  t.SetMat(r);
  return t;
}

G3_TRANSFO& G3_TRANSFO::operator<<=(const G3_TRANSFO& t) {
  *this = *this * t;
  return *this;
}

G3_TRANSFO& G3_TRANSFO::operator>>=(const G3_TRANSFO& t) {
  *this = t * *this;
  return *this;
}

C_BOOL G3_TRANSFO::Invert() {
  if (!ModPos) return true;
  double r[4][4];
  if (!ModVec) {
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) r[i][j] = Mat[i][j];
    r[0][3] = -Mat[0][3];
    r[1][3] = -Mat[1][3];
    r[2][3] = -Mat[2][3];
  } else if (!Homogenous) {
    const double(&m)[4][4] = Mat;
    double c[3][3];  // cofactors of the 3x3 block
    c[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    c[0][1] = -(m[1][0] * m[2][2] - m[1][2] * m[2][0]);
    c[0][2] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    c[1][0] = -(m[0][1] * m[2][2] - m[0][2] * m[2][1]);
    c[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
    c[1][2] = -(m[0][0] * m[2][1] - m[0][1] * m[2][0]);
    c[2][0] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
    c[2][1] = -(m[0][0] * m[1][2] - m[0][2] * m[1][0]);
    c[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    const double det = m[0][0] * c[0][0] + m[1][0] * c[1][0] + m[2][0] * c[2][0];
    if (det == 0.0) {
      GerrUnableToInvert.Trigger();
      return false;
    }
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) r[i][j] = c[j][i] / det;
    for (int i = 0; i < 3; ++i)
      r[i][3] = -(r[i][0] * m[0][3] + r[i][1] * m[1][3] + r[i][2] * m[2][3]);
    r[3][0] = r[3][1] = r[3][2] = 0;
    r[3][3] = 1;
  } else {
    // Blocks [A B; C D] of 2x2. Without pivoting, a singular A or Schur
    // complement S = D - C.A^-1.B fails even when the whole matrix would not.
    const double A[4] = {Mat[0][0], Mat[0][1], Mat[1][0], Mat[1][1]};
    const double B[4] = {Mat[0][2], Mat[0][3], Mat[1][2], Mat[1][3]};
    const double C[4] = {Mat[2][0], Mat[2][1], Mat[3][0], Mat[3][1]};
    const double D[4] = {Mat[2][2], Mat[2][3], Mat[3][2], Mat[3][3]};
    double Ai[4], AiB[4], CAi[4], CAiB[4], S[4], Si[4];
    if (!Inv2(A, Ai)) {
      GerrUnableToInvert.Trigger();
      return false;
    }
    Mul2(Ai, B, AiB);
    Mul2(C, Ai, CAi);
    Mul2(C, AiB, CAiB);
    for (int i = 0; i < 4; ++i) S[i] = D[i] - CAiB[i];
    if (!Inv2(S, Si)) {
      GerrUnableToInvert.Trigger();
      return false;
    }
    double TR[4], BL[4], TL[4];
    Mul2(AiB, Si, TR);  // A^-1.B.S^-1, negated below
    Mul2(Si, CAi, BL);  // S^-1.C.A^-1, negated below
    Mul2(TR, CAi, TL);  // A^-1.B.S^-1.C.A^-1
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j) {
        r[i][j] = Ai[2 * i + j] + TL[2 * i + j];
        r[i][j + 2] = -TR[2 * i + j];
        r[i + 2][j] = -BL[2 * i + j];
        r[i + 2][j + 2] = Si[2 * i + j];
      }
  }
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) Mat[i][j] = r[i][j];
  // An inverse shares every property; only the scale is inverted.
  if (int(ModAng) == 0 && Scale != 0) Scale = 1 / Scale;
  return true;
}

G3_TRANSFO G3_TRANSFO::Transpose() const {
  double r[4][4];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r[i][j] = Mat[j][i];
  G3_TRANSFO t;
  t.SetMat(r);
  return t;
}

C_BOOL G3_TRANSFO::operator==(const G3_TRANSFO& t) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (Mat[i][j] != t.Mat[i][j]) return false;
  return true;
}

C_BOOL G3_TRANSFO::operator<(const G3_TRANSFO& t) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (Mat[i][j] != t.Mat[i][j]) return Mat[i][j] < t.Mat[i][j];
  return false;
}

C_BOOL G3_TRANSFO::operator>(const G3_TRANSFO& t) const { return t < *this; }

C_BOOL G3_TRANSFO::IsEqual(const G3_TRANSFO& t, G_DIS d, G_ANG a) const {
  const double ang = a.GetRad();
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j)
      if (!(std::fabs(Mat[i][j] - t.Mat[i][j]) < ang)) return false;
    if (!(std::fabs(Mat[i][3] - t.Mat[i][3]) < double(d))) return false;
  }
  for (int j = 0; j < 4; ++j)
    if (!(std::fabs(Mat[3][j] - t.Mat[3][j]) < kEps)) return false;
  return true;
}

// ----------------------------------------------------------------- queries

C_BOOL G3_TRANSFO::DoesModAng() const {
  if (ModAng.IsUnknown()) SetAngMod();
  return ModAng.IsTrue();
}

double G3_TRANSFO::GetScale() const {
  if (ModAng.IsUnknown()) SetAngMod();
  return Scale;
}

C_BOOL G3_TRANSFO::IsHomogenous() const {
  return Mat[3][0] != 0 || Mat[3][1] != 0 || Mat[3][2] != 0 || Mat[3][3] != 1;
}

C_BOOL G3_TRANSFO::DoesInvertSpace() const { return Det3(Mat) < 0; }

C_BOOL G3_TRANSFO::IsDispl() const { return std::fabs(1 - Det3(Mat)) < kEps; }

void G3_TRANSFO::GetMat(double m[4][4]) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m[i][j] = Mat[i][j];
}

void G3_TRANSFO::GetRot(G3_VECTOR1* axis, G_ANG* angle) const {
  const double(&m)[4][4] = Mat;
  double c = (m[0][0] + m[1][1] + m[2][2] - 1) / 2;
  if (c < -1) c = -1;
  if (c > 1) c = 1;
  if (1 - c < kEps) {
    *axis = G3_VECTOR1::VZ;
    *angle = 0.0;
    return;
  }
  *angle = CmathAcos(c);
  const double k = 1 - c;
  double x[3];
  const double diff[3] = {m[2][1] - m[1][2], m[0][2] - m[2][0], m[1][0] - m[0][1]};
  for (int i = 0; i < 3; ++i) {
    const double q = (m[i][i] - c) / k;
    x[i] = std::sqrt(q > 0 ? q : 0);
    if (diff[i] < 0) x[i] = -x[i];
  }
  // The largest component is the most accurate; the two others come from the
  // symmetric sums of the off-diagonal elements. Ties keep the first.
  int big = 0;
  for (int i = 1; i < 3; ++i)
    if (std::fabs(x[i]) > std::fabs(x[big])) big = i;
  if (x[big] == 0.0) {
    // No component at all (a block such as -I, which is no rotation): the
    // axis that a failed normalisation falls back to, without dividing by 0.
    *axis = G3_VECTOR1::VX;
    return;
  }
  const double den = 2 * x[big] * k;
  if (big == 0) {
    x[1] = (m[0][1] + m[1][0]) / den;
    x[2] = (m[0][2] + m[2][0]) / den;
  } else if (big == 1) {
    x[0] = (m[0][1] + m[1][0]) / den;
    x[2] = (m[1][2] + m[2][1]) / den;
  } else {
    x[0] = (m[0][2] + m[2][0]) / den;
    x[1] = (m[1][2] + m[2][1]) / den;
  }
  *axis = G3_VECTOR1(x[0], x[1], x[2]);
}

void G3_TRANSFO::CleanDispl() {
  G3_FRAME f = G3_FRAME::BASE;
  f.Transfo(*this);
  if (C_ERROR::Is()) return;  // a collapsing map: nothing to place
  SetPos(G3_FRAME::BASE, f);
}

void G3_TRANSFO::Clear() {
  for (auto& row : Mat)
    for (double& e : row) e = 0.0;
}

// ------------------------------------------------------------- application

void G3_TRANSFO::Transfo(G3_VECTOR* v) const {
  if (!ModVec) return;
  const double x = v->GetCx(), y = v->GetCy(), z = v->GetCz();
  G3_VECTOR r(Mat[0][0] * x + Mat[0][1] * y + Mat[0][2] * z,
              Mat[1][0] * x + Mat[1][1] * y + Mat[1][2] * z,
              Mat[2][0] * x + Mat[2][1] * y + Mat[2][2] * z);
  if (Homogenous) r /= Mat[3][0] * x + Mat[3][1] * y + Mat[3][2] * z + Mat[3][3];
  *v = r;
}

void G3_TRANSFO::Transfo(G3_VECTOR1* v) const {
  if (!ModOri) return;
  const double x = v->GetCx(), y = v->GetCy(), z = v->GetCz();
  G3_VECTOR r(Mat[0][0] * x + Mat[0][1] * y + Mat[0][2] * z,
              Mat[1][0] * x + Mat[1][1] * y + Mat[1][2] * z,
              Mat[2][0] * x + Mat[2][1] * y + Mat[2][2] * z);
  r.Unit();
  if (C_ERROR::Is()) return;  // a collapsed direction: the unit vector is kept
  *v = G3_VECTOR1(r);
}

G2_POINT G3_TRANSFO::Transfo(const G3_POINT& p) const {
  G3_POINT q(p);
  Transfo(&q);
  return G2_POINT(q.GetCx(), q.GetCy());
}

G3_POINT G3_TRANSFO::Transfo(const G2_POINT& p) const {
  G3_POINT q(p.GetCx(), p.GetCy(), 0);
  Transfo(&q);
  return q;
}

G2_VECTOR G3_TRANSFO::Transfo(const G3_VECTOR& v) const {
  G3_VECTOR w(v);
  Transfo(&w);
  return G2_VECTOR(w.GetCx(), w.GetCy());
}

G3_VECTOR G3_TRANSFO::Transfo(const G2_VECTOR& v) const {
  G3_VECTOR w(v.GetCx(), v.GetCy(), 0);
  Transfo(&w);
  return w;
}

void G3_TRANSFO::Transfo(G_DIS* d) const {
  if (DoesModAng()) {
    GerrTransfoChangeAngle.Trigger();
    return;
  }
  *d *= Scale;
}

void G3_TRANSFO::Transfo(G_LEN* l) const {
  if (DoesModAng()) {
    GerrTransfoChangeAngle.Trigger();
    return;
  }
  *l *= Scale;  // checks the scaled length, which is kept either way
}

// ------------------------------------------------------------- persistence

void G3_TRANSFO::Save(C_FILE* file) const {
  for (const auto& row : Mat)
    for (double e : row) Tsave(e, file, 0);
}

void G3_TRANSFO::Load(int version, C_FILE* file) {
  double r[4][4];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      r[i][j] = Mat[i][j];
      Tload(version, file, &r[i][j]);
      if (C_ERROR::Is()) return;
    }
  SetMat(r);
}

G3_TRANSFO* G3_TRANSFO::Clone() const { return Cnew<G3_TRANSFO>(*this); }

G3_TRANSFO* G3_TRANSFO::CloneSame() const { return Cnew<G3_TRANSFO>(*this); }
