#include "algebra/g_mat33.h"

#include <cmath>

#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_vector.h"
#include "algebra/g_mat44.h"
#include "runtime/c_error.h"
#include "runtime/c_math.h"
#include "runtime/t_persist.h"

const G_MAT33 G_MAT33::IDENTITY;

namespace {

// Sines and cosines this small are rounding noise of a quarter or half turn.
constexpr double kTrigZero = 1e-15;
// Tolerance of the axis-parallel test.
constexpr double kParaxialEps = 1e-12;

}  // namespace

G_MAT33::G_MAT33(const G2_VECTOR& v) { SetTra(v); }

G_MAT33::G_MAT33(G_ANG a) { SetRot(a); }

G_MAT33::G_MAT33(double k) { SetSca(k); }

G_MAT33::G_MAT33(const G_MAT44& m) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m_[i][j] = m.GetMatVal(i, j);
}

void G_MAT33::SetIde() {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m_[i][j] = i == j ? 1.0 : 0.0;
}

void G_MAT33::Clear() {
  for (auto& row : m_)
    for (double& e : row) e = 0.0;
}

void G_MAT33::SetTra(const G2_VECTOR& v) {
  SetIde();
  m_[0][2] = v.GetCx();
  m_[1][2] = v.GetCy();
}

void G_MAT33::SetRot(G_ANG a) {
  double s = 0, c = 0;
  CmathSinCos(a, &s, &c);
  if (std::fabs(s) < kTrigZero) s = 0;
  if (std::fabs(c) < kTrigZero) c = 0;
  SetIde();
  m_[0][0] = c;
  m_[0][1] = -s;
  m_[1][0] = s;
  m_[1][1] = c;
}

void G_MAT33::SetSca(double k) {
  SetIde();
  m_[0][0] = k;
  m_[1][1] = k;
}

void G_MAT33::GetMat(double m[3][3]) const {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m[i][j] = m_[i][j];
}

void G_MAT33::SetMat(const double m[3][3]) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m_[i][j] = m[i][j];
}

void G_MAT33::Transpose() {
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) {
      const double t = m_[i][j];
      m_[i][j] = m_[j][i];
      m_[j][i] = t;
    }
}

C_BOOL G_MAT33::Invert() {
  const double(&m)[3][3] = m_;
  // Cofactors c[i][j] of element (i, j).
  double c[3][3];
  c[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  c[0][1] = -(m[1][0] * m[2][2] - m[1][2] * m[2][0]);
  c[0][2] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  c[1][0] = -(m[0][1] * m[2][2] - m[0][2] * m[2][1]);
  c[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
  c[1][2] = -(m[0][0] * m[2][1] - m[0][1] * m[2][0]);
  c[2][0] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
  c[2][1] = -(m[0][0] * m[1][2] - m[0][2] * m[1][0]);
  c[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
  // Expansion along the first column; only an exact 0 is refused.
  const double det = m[0][0] * c[0][0] + m[1][0] * c[1][0] + m[2][0] * c[2][0];
  if (det == 0.0) return false;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m_[i][j] = c[j][i] / det;
  return true;
}

G_MAT33& G_MAT33::operator<<=(const G_MAT33& b) {
  *this = *this * b;
  return *this;
}

G_MAT33& G_MAT33::operator>>=(const G_MAT33& b) {
  *this = b * *this;
  return *this;
}

G_MAT33 operator*(const G_MAT33& a, const G_MAT33& b) {
  double r[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      r[i][j] = a.GetMatVal(i, 0) * b.GetMatVal(0, j) + a.GetMatVal(i, 1) * b.GetMatVal(1, j) +
                a.GetMatVal(i, 2) * b.GetMatVal(2, j);
  G_MAT33 m;
  m.SetMat(r);
  return m;
}

C_BOOL G_MAT33::operator==(const G_MAT33& b) const {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (m_[i][j] != b.m_[i][j]) return false;
  return true;
}

C_BOOL G_MAT33::operator>(const G_MAT33& b) const {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (m_[i][j] != b.m_[i][j]) return m_[i][j] > b.m_[i][j];
  return false;
}

namespace {

// Which coordinate axis the third row (the direction sent onto Z) stands for.
// A null row counts as X.
PARA_TYPE ParaxialOfRow(double x, double y, double z) {
  G3_VECTOR n(x, y, z);
  if (n.GetNorm2() == 0.0)
    n = G3_VECTOR(1, 0, 0);
  else
    n.Unit();
  const double ax = std::fabs(n.GetCx()), ay = std::fabs(n.GetCy()), az = std::fabs(n.GetCz());
  if (ay < kParaxialEps && az < kParaxialEps) return G_PARA_X;
  if (ax < kParaxialEps && az < kParaxialEps) return G_PARA_Y;
  if (ax < kParaxialEps && ay < kParaxialEps) return G_PARA_Z;
  return G_PARA_NONE;
}

}  // namespace

PARA_TYPE G_MAT33::GetParaxial() const { return ParaxialOfRow(m_[2][0], m_[2][1], m_[2][2]); }

void G_MAT33::Transfo(G2_POINT* p) const {
  const double x = p->GetCx(), y = p->GetCy();
  p->SetCar(m_[0][0] * x + m_[0][1] * y + m_[0][2], m_[1][0] * x + m_[1][1] * y + m_[1][2]);
}

void G_MAT33::Transfo(G2_VECTOR* v) const {
  const double x = v->GetCx(), y = v->GetCy();
  v->SetCar(m_[0][0] * x + m_[0][1] * y, m_[1][0] * x + m_[1][1] * y);
}

void G_MAT33::Transfo(G2_VECTOR1* v) const {
  G2_VECTOR w(*v);
  Transfo(&w);
  w.Unit();
  if (C_ERROR::Is()) return;  // a null image: the unit vector is kept
  *v = G2_VECTOR1(w);
}

void G_MAT33::Save(C_FILE* file) const {
  for (const auto& row : m_)
    for (double e : row) Tsave(e, file, 0);
}

void G_MAT33::Load(int version, C_FILE* file) {
  double r[3][3];
  for (auto& row : r)
    for (double& e : row) {
      e = 0.0;
      Tload(version, file, &e);
      if (C_ERROR::Is()) return;
    }
  SetMat(r);
}

G_MAT33* G_MAT33::Clone() const { return Cnew<G_MAT33>(*this); }
