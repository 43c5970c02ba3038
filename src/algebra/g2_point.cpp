#include "algebra/g2_point.h"

#include "algebra/g_coord_record.h"
#include "algebra/g2_axis.h"
#include "algebra/g2_vector.h"
#include "runtime/c_error.h"
#include "runtime/t_solve.h"

const G2_POINT G2_POINT::P0(0, 0);

namespace {

const char* const kPoint2Format = "P%.16g %.16g\n";

}  // namespace

C_BOOL G2_POINT::IsOn(const G2_POINT& q, double tol) const {
  return G2_VECTOR(*this, q).GetNorm2() < tol * tol;  // strict
}

C_BOOL G2_POINT::IsOn(const G2_AXIS& ax, double tol) const {
  const double d = G2_VECTOR(ax.GetPo(), *this) ^ ax.GetVx();
  return d * d < tol * tol;  // strict
}

G2_POINT G2_POINT::GetCoo(const G2_POINT& o, const G2_VECTOR& u, const G2_VECTOR& v) const {
  // Columns u and v.
  const double m[4] = {u.GetCx(), v.GetCx(), u.GetCy(), v.GetCy()};
  const double r[2] = {x_ - o.x_, y_ - o.y_};
  double c[2] = {0, 0};
  Tsolve(m, r, c);
  if (C_ERROR::Is()) return P0;
  return G2_POINT(c[0], c[1]);
}

void G2_POINT::Save(C_FILE* file) const {
  static const C_STRING format(kPoint2Format);
  const double c[2] = {x_, y_};
  GsaveCoords(file, format, c, 2);
}

void G2_POINT::Load(int /*version*/, C_FILE* file) {
  // The value changes only when the whole record was read.
  double c[2];
  if (!GloadCoords(file, 'P', nullptr, "T#Err#Invalid file (point expected)", c, 2)) return;
  x_ = c[0];
  y_ = c[1];
}
