#include "algebra/g2_transfo.h"

#include <cmath>

#include "runtime/c_error.h"
#include "runtime/c_math.h"
#include "runtime/t_persist.h"

const G2_TRANSFO G2_TRANSFO::IDENTITY;

namespace {

// Below this |det| (strict) the 2x2 block has no inverse.
const double kSingularDet = 1e-12;

}  // namespace

void G2_TRANSFO::SetIde() {
  const double m[2][3] = {{1, 0, 0}, {0, 1, 0}};
  SetMat(m);
}

void G2_TRANSFO::SetTra(const G2_VECTOR& v) {
  const double m[2][3] = {{1, 0, v.GetCx()}, {0, 1, v.GetCy()}};
  SetMat(m);
}

void G2_TRANSFO::SetRot(const G2_POINT& c, G_ANG a) {
  double s, co;
  CmathSinCos(double(a), &s, &co);
  const double m[2][3] = {{co, -s, s * c.GetCy() + (1 - co) * c.GetCx()},
                          {s, co, -s * c.GetCx() + (1 - co) * c.GetCy()}};
  SetMat(m);
}

void G2_TRANSFO::SetSca(const G2_POINT& c, double k) {
  const double m[2][3] = {{k, 0, (1 - k) * c.GetCx()}, {0, k, (1 - k) * c.GetCy()}};
  SetMat(m);
}

void G2_TRANSFO::SetSca(const G2_POINT& c, double kx, double ky) {
  const double m[2][3] = {{kx, 0, (1 - kx) * c.GetCx()}, {0, ky, (1 - ky) * c.GetCy()}};
  SetMat(m);
}

void G2_TRANSFO::SetFrame(const G2_POINT& o, const G2_VECTOR1& u) {
  const double m[2][3] = {{u.GetCx(), -u.GetCy(), o.GetCx()}, {u.GetCy(), u.GetCx(), o.GetCy()}};
  SetMat(m);
}

void G2_TRANSFO::SetSym(const G2_AXIS& ax) {
  // F . diag(1, -1) . F^-1, F the frame of the axis.
  G2_TRANSFO f(ax.GetPo(), ax.GetVx());
  G2_TRANSFO fInv(f);
  fInv.Invert();
  G2_TRANSFO mirror;
  mirror.m_[1][1] = -1;
  *this = f * mirror * fInv;
}

void G2_TRANSFO::SetMat(const double m[2][3]) {
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) m_[i][j] = m[i][j];
}

void G2_TRANSFO::GetMat(double m[2][3]) const {
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) m[i][j] = m_[i][j];
}

void G2_TRANSFO::Clear() {
  const double m[2][3] = {{0, 0, 0}, {0, 0, 0}};
  SetMat(m);
}

void G2_TRANSFO::Invert() {
  const double det = m_[0][0] * m_[1][1] - m_[0][1] * m_[1][0];
  if (std::fabs(det) < kSingularDet) {
    C_ERROR::TriggerDbg("Singular matrix");
    return;
  }
  const double a = m_[1][1] / det, b = -m_[0][1] / det;
  const double c = -m_[1][0] / det, d = m_[0][0] / det;
  const double tx = m_[0][2], ty = m_[1][2];
  const double m[2][3] = {{a, b, -(a * tx + b * ty)}, {c, d, -(c * tx + d * ty)}};
  SetMat(m);
}

G2_TRANSFO operator*(const G2_TRANSFO& a, const G2_TRANSFO& b) {
  const double (*ma)[2][3] = nullptr;
  const double (*mb)[2][3] = nullptr;
  a.GetMat(&ma);
  b.GetMat(&mb);
  const double(&x)[2][3] = *ma;
  const double(&y)[2][3] = *mb;
  double m[2][3];
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 3; ++j) m[i][j] = x[i][0] * y[0][j] + x[i][1] * y[1][j];
    m[i][2] += x[i][2];
  }
  G2_TRANSFO r;
  r.SetMat(m);
  return r;
}

G2_TRANSFO& G2_TRANSFO::operator<<=(const G2_TRANSFO& t) {
  *this = *this * t;
  return *this;
}

G2_TRANSFO& G2_TRANSFO::operator>>=(const G2_TRANSFO& t) {
  *this = t * *this;
  return *this;
}

C_BOOL G2_TRANSFO::operator==(const G2_TRANSFO& t) const {
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j)
      if (m_[i][j] != t.m_[i][j]) return false;
  return true;
}

C_BOOL G2_TRANSFO::operator<(const G2_TRANSFO& t) const {
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j)
      if (m_[i][j] != t.m_[i][j]) return m_[i][j] < t.m_[i][j];
  return false;
}

void G2_TRANSFO::Transfo(G2_POINT* p) const {
  const double x = p->GetCx(), y = p->GetCy();
  p->SetCar(m_[0][0] * x + m_[0][1] * y + m_[0][2], m_[1][0] * x + m_[1][1] * y + m_[1][2]);
}

void G2_TRANSFO::Transfo(G2_VECTOR* v) const {
  const double x = v->GetCx(), y = v->GetCy();
  v->SetCar(m_[0][0] * x + m_[0][1] * y, m_[1][0] * x + m_[1][1] * y);
}

G2_TRANSFO* G2_TRANSFO::Clone() const { return Cnew<G2_TRANSFO>(*this); }

void G2_TRANSFO::Save(C_FILE* file) const {
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 3; ++j) {
      Tsave(m_[i][j], file, 0);
      if (C_ERROR::Is()) return;
    }
  }
}

void G2_TRANSFO::Load(int version, C_FILE* file) {
  // The map changes only when the six elements were read.
  double m[2][3] = {{0, 0, 0}, {0, 0, 0}};
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 3; ++j) {
      Tload(version, file, &m[i][j]);
      if (C_ERROR::Is()) return;
    }
  }
  SetMat(m);
}
