#include "algebra/g2_axis.h"

#include <cmath>

#include "frame/g_errors.h"
#include "measures/g_dis.h"
#include "runtime/c_error.h"

const G2_AXIS G2_AXIS::OX(G2_POINT(0, 0), G2_VECTOR1(1, 0, G2_VECTOR1::Exact()));
const G2_AXIS G2_AXIS::OY(G2_POINT(0, 0), G2_VECTOR1(0, 1, G2_VECTOR1::Exact()));

G2_POINT G2_AXIS::GetProj(const G2_POINT& q, double* t) const {
  const double tt = G2_VECTOR(po_, q) * vx_;
  if (t != nullptr) *t = tt;
  return po_ + tt * vx_;
}

G2_POINT G2_AXIS::GetInter(const G2_AXIS& other, double /*tol*/, double* t, double* s) const {
  // The parallel test compares the sine with the distance resolution; tol is
  // not consulted.
  const G2_VECTOR& u = vx_;
  const G2_VECTOR& v = other.vx_;
  const double den = u ^ v;
  if (std::fabs(den) < G_DIS::Min) {  // strict
    GerrNoIntersection.TriggerMild();
    return po_;
  }
  const G2_VECTOR w(po_, other.po_);
  const double tt = (w ^ v) / den;
  if (t != nullptr) *t = tt;
  if (s != nullptr) *s = (w ^ u) / den;
  return po_ + tt * u;
}

C_BOOL G2_AXIS::IsOn(const G2_AXIS& other, double tol) const {
  return po_.IsOn(other, tol) && other.po_.IsOn(*this, tol) && vx_.IsOn(other.vx_);
}

void G2_AXIS::Save(C_FILE* file) const {
  po_.Save(file);
  if (C_ERROR::Is()) return;
  vx_.Save(file);
}

void G2_AXIS::Load(int version, C_FILE* file) {
  // The axis changes only when both records were read; a stream type that reads
  // nothing keeps it.
  G2_POINT p = po_;
  G2_VECTOR v = vx_;
  p.Load(version, file);
  if (C_ERROR::Is()) return;
  v.Load(version, file);
  if (C_ERROR::Is()) return;
  po_ = p;
  static_cast<G2_VECTOR&>(vx_) = v;
}
