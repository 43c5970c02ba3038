#include "algebra/g_mat44.h"

#include <cmath>

#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "runtime/c_error.h"
#include "runtime/c_math.h"
#include "runtime/t_persist.h"

const G_MAT44 G_MAT44::IDENTITY;

namespace {

// Below this, the axis direction is taken as X itself when aligning it with Z.
constexpr double kAlignEps = 1e-12;

// Determinant of the 3x3 minor of m without row r and column c.
double Minor(const double m[4][4], int r, int c) {
  int rows[3], cols[3];
  for (int i = 0, k = 0; i < 4; ++i)
    if (i != r) rows[k++] = i;
  for (int j = 0, k = 0; j < 4; ++j)
    if (j != c) cols[k++] = j;
  const double(&a)[4] = m[rows[0]];
  const double(&b)[4] = m[rows[1]];
  const double(&d)[4] = m[rows[2]];
  return a[cols[0]] * (b[cols[1]] * d[cols[2]] - b[cols[2]] * d[cols[1]]) -
         a[cols[1]] * (b[cols[0]] * d[cols[2]] - b[cols[2]] * d[cols[0]]) +
         a[cols[2]] * (b[cols[0]] * d[cols[1]] - b[cols[1]] * d[cols[0]]);
}

G_MAT44 FromRows(double a00, double a01, double a02, double a10, double a11, double a12,
                 double a20, double a21, double a22) {
  const double r[4][4] = {
      {a00, a01, a02, 0}, {a10, a11, a12, 0}, {a20, a21, a22, 0}, {0, 0, 0, 1}};
  G_MAT44 m;
  m.SetMat(r);
  return m;
}

}  // namespace

G_MAT44::G_MAT44(const G3_VECTOR& v) { SetTra(v); }

G_MAT44::G_MAT44(const G3_POINT& c, double k) { SetSca(c, k); }

G_MAT44::G_MAT44(const G_MAT33& m) {
  SetIde();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m_[i][j] = m.GetMatVal(i, j);
}

G_MAT44::G_MAT44(const G3_AXIS& ax, G_ANG a) {
  const G3_VECTOR1& u = ax.GetVx();
  const G3_POINT& p = ax.GetPo();
  const double d = std::sqrt(u.GetCy() * u.GetCy() + u.GetCz() * u.GetCz());
  SetTra(G3_VECTOR(-p.GetCx(), -p.GetCy(), -p.GetCz()));
  // Rx turns the direction into the XZ plane; Ry then lays it on Z.
  const G_MAT44 rx = d > kAlignEps ? FromRows(1, 0, 0, 0, u.GetCz() / d, -u.GetCy() / d, 0,
                                              u.GetCy() / d, u.GetCz() / d)
                                   : G_MAT44();
  const G_MAT44 ry = FromRows(d, 0, -u.GetCx(), 0, 1, 0, u.GetCx(), 0, d);
  if (d > kAlignEps) *this >>= rx;
  *this >>= ry;
  G_MAT44 rz;
  rz.SetRotZ(a);
  *this >>= rz;
  *this >>= FromRows(d, 0, u.GetCx(), 0, 1, 0, -u.GetCx(), 0, d);
  if (d > kAlignEps)
    *this >>= FromRows(1, 0, 0, 0, u.GetCz() / d, u.GetCy() / d, 0, -u.GetCy() / d, u.GetCz() / d);
  *this >>= G_MAT44(G3_VECTOR(p.GetCx(), p.GetCy(), p.GetCz()));
}

void G_MAT44::SetIde() {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m_[i][j] = i == j ? 1.0 : 0.0;
}

void G_MAT44::Clear() {
  for (auto& row : m_)
    for (double& e : row) e = 0.0;
}

void G_MAT44::SetTra(const G3_VECTOR& v) {
  SetIde();
  m_[0][3] = v.GetCx();
  m_[1][3] = v.GetCy();
  m_[2][3] = v.GetCz();
}

void G_MAT44::SetSca(const G3_POINT& c, double k) {
  SetIde();
  m_[0][0] = m_[1][1] = m_[2][2] = k;
  m_[0][3] = (1 - k) * c.GetCx();
  m_[1][3] = (1 - k) * c.GetCy();
  m_[2][3] = (1 - k) * c.GetCz();
}

void G_MAT44::SetRotX(G_ANG a) {
  double s = 0, c = 0;
  CmathSinCos(a, &s, &c);
  *this = FromRows(1, 0, 0, 0, c, -s, 0, s, c);
}

void G_MAT44::SetRotY(G_ANG a) {
  double s = 0, c = 0;
  CmathSinCos(a, &s, &c);
  *this = FromRows(c, 0, s, 0, 1, 0, -s, 0, c);
}

void G_MAT44::SetRotZ(G_ANG a) {
  double s = 0, c = 0;
  CmathSinCos(a, &s, &c);
  *this = FromRows(c, -s, 0, s, c, 0, 0, 0, 1);
}

void G_MAT44::SetRot(const G3_AXIS& ax, G_ANG a) {
  const G3_FRAME f(ax.GetPo(), ax.GetVx());
  G_MAT44 toLocal, rz;
  toLocal.SetFrame(G3_FRAME::BASE, f);
  rz.SetRotZ(a);
  SetFrame(f, G3_FRAME::BASE);
  *this <<= rz;
  *this <<= toLocal;
}

void G_MAT44::SetMir(const G3_PLANE& pl) {
  const G3_FRAME f(pl);
  G_MAT44 toLocal;
  toLocal.SetFrame(G3_FRAME::BASE, f);
  const G_MAT44 flip = FromRows(1, 0, 0, 0, 1, 0, 0, 0, -1);
  SetFrame(f, G3_FRAME::BASE);
  *this <<= flip;
  *this <<= toLocal;
}

void G_MAT44::SetFrame(const G3_FRAME& f1, const G3_FRAME& f2) {
  const G3_VECTOR1* a1[3] = {&f1.GetVx(), &f1.GetVy(), &f1.GetVz()};
  const G3_VECTOR1* a2[3] = {&f2.GetVx(), &f2.GetVy(), &f2.GetVz()};
  const G3_VECTOR d(f2.GetPo(), f1.GetPo());  // f1.origin - f2.origin
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) m_[i][j] = *a1[j] * *a2[i];
    m_[i][3] = d * *a2[i];
  }
  m_[3][0] = m_[3][1] = m_[3][2] = 0.0;
  m_[3][3] = 1.0;
}

void G_MAT44::SetPos(const G3_FRAME& f1, const G3_FRAME& f2) {
  const G3_VECTOR1* a1[3] = {&f1.GetVx(), &f1.GetVy(), &f1.GetVz()};
  const G3_VECTOR1* a2[3] = {&f2.GetVx(), &f2.GetVy(), &f2.GetVz()};
  // R = B.A^T: R[i][j] = sum over the axes k of f2_k[i] . f1_k[j].
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      m_[i][j] = a2[0]->GetCi(i) * a1[0]->GetCi(j) + a2[1]->GetCi(i) * a1[1]->GetCi(j) +
                 a2[2]->GetCi(i) * a1[2]->GetCi(j);
  const G3_POINT& o1 = f1.GetPo();
  const G3_POINT& o2 = f2.GetPo();
  for (int i = 0; i < 3; ++i)
    m_[i][3] = o2.GetCi(i) -
               (m_[i][0] * o1.GetCx() + m_[i][1] * o1.GetCy() + m_[i][2] * o1.GetCz());
  m_[3][0] = m_[3][1] = m_[3][2] = 0.0;
  m_[3][3] = 1.0;
}

void G_MAT44::GetMat(double m[4][4]) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m[i][j] = m_[i][j];
}

void G_MAT44::SetMat(const double m[4][4]) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m_[i][j] = m[i][j];
}

void G_MAT44::Transpose() {
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) {
      const double t = m_[i][j];
      m_[i][j] = m_[j][i];
      m_[j][i] = t;
    }
}

C_BOOL G_MAT44::Invert() {
  double c[4][4];  // cofactors
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) c[i][j] = ((i + j) % 2 ? -1.0 : 1.0) * Minor(m_, i, j);
  // Expansion along the first column; only an exact 0 is refused.
  const double det =
      m_[0][0] * c[0][0] + m_[1][0] * c[1][0] + m_[2][0] * c[2][0] + m_[3][0] * c[3][0];
  if (det == 0.0) return false;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) m_[i][j] = c[j][i] / det;
  return true;
}

G_MAT44& G_MAT44::operator<<=(const G_MAT44& b) {
  *this = *this * b;
  return *this;
}

G_MAT44& G_MAT44::operator>>=(const G_MAT44& b) {
  *this = b * *this;
  return *this;
}

G_MAT44 operator*(const G_MAT44& a, const G_MAT44& b) {
  double r[4][4];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r[i][j] = a.GetMatVal(i, 0) * b.GetMatVal(0, j) + a.GetMatVal(i, 1) * b.GetMatVal(1, j) +
                a.GetMatVal(i, 2) * b.GetMatVal(2, j) + a.GetMatVal(i, 3) * b.GetMatVal(3, j);
  G_MAT44 m;
  m.SetMat(r);
  return m;
}

C_BOOL G_MAT44::operator==(const G_MAT44& b) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (m_[i][j] != b.m_[i][j]) return false;
  return true;
}

C_BOOL G_MAT44::operator>(const G_MAT44& b) const {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (m_[i][j] != b.m_[i][j]) return m_[i][j] > b.m_[i][j];
  return false;
}

// The third row of the 3x3 block decides, as for the plane matrix.
PARA_TYPE G_MAT44::GetParaxial() const { return G_MAT33(*this).GetParaxial(); }

void G_MAT44::Transfo(double* x, double* y, double* z) const {
  const double a = *x, b = *y, c = *z;
  *x = m_[0][0] * a + m_[0][1] * b + m_[0][2] * c + m_[0][3];
  *y = m_[1][0] * a + m_[1][1] * b + m_[1][2] * c + m_[1][3];
  *z = m_[2][0] * a + m_[2][1] * b + m_[2][2] * c + m_[2][3];
}

void G_MAT44::Transfo(G3_POINT* p) const {
  double x = p->GetCx(), y = p->GetCy(), z = p->GetCz();
  Transfo(&x, &y, &z);
  p->SetCar(x, y, z);
}

void G_MAT44::Transfo(G3_VECTOR* v) const {
  const double a = v->GetCx(), b = v->GetCy(), c = v->GetCz();
  *v = G3_VECTOR(m_[0][0] * a + m_[0][1] * b + m_[0][2] * c,
                 m_[1][0] * a + m_[1][1] * b + m_[1][2] * c,
                 m_[2][0] * a + m_[2][1] * b + m_[2][2] * c);
}

void G_MAT44::Transfo(G3_VECTOR1* v) const {
  G3_VECTOR w(*v);
  Transfo(&w);
  w.Unit();
  if (C_ERROR::Is()) return;  // a null image: the unit vector is kept
  *v = G3_VECTOR1(w);
}

G2_POINT G_MAT44::Transfo(const G3_POINT& p) const {
  G3_POINT q(p);
  Transfo(&q);
  return G2_POINT(q.GetCx(), q.GetCy());
}

G3_POINT G_MAT44::Transfo(const G2_POINT& p) const {
  G3_POINT q(p.GetCx(), p.GetCy(), 0);
  Transfo(&q);
  return q;
}

G2_VECTOR G_MAT44::Transfo(const G3_VECTOR& v) const {
  G3_VECTOR w(v);
  Transfo(&w);
  return G2_VECTOR(w.GetCx(), w.GetCy());
}

G3_VECTOR G_MAT44::Transfo(const G2_VECTOR& v) const {
  G3_VECTOR w(v.GetCx(), v.GetCy(), 0);
  Transfo(&w);
  return w;
}

void G_MAT44::Save(C_FILE* file) const {
  for (const auto& row : m_)
    for (double e : row) Tsave(e, file, 0);
}

void G_MAT44::Load(int version, C_FILE* file) {
  double r[4][4];
  for (auto& row : r)
    for (double& e : row) {
      e = 0.0;
      Tload(version, file, &e);
      if (C_ERROR::Is()) return;
    }
  SetMat(r);
}

G_MAT44* G_MAT44::Clone() const { return Cnew<G_MAT44>(*this); }
