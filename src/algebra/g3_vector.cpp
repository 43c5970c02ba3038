#include "algebra/g3_vector.h"

#include <cmath>

#include "algebra/g_coord_record.h"
#include "algebra/g3_plane.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "runtime/c_error.h"

const G3_VECTOR G3_VECTOR::V0(0, 0, 0);
// Exact unit components: the normalising constructor would leave them as they are.
const G3_VECTOR1 G3_VECTOR1::VX(1, 0, 0, G3_VECTOR1::Exact());
const G3_VECTOR1 G3_VECTOR1::VY(0, 1, 0, G3_VECTOR1::Exact());
const G3_VECTOR1 G3_VECTOR1::VZ(0, 0, 1, G3_VECTOR1::Exact());

namespace {

// Squared norms this close to 1 are taken as unit (no change at all).
const double kUnitLow = 0.999999999999;
const double kUnitHigh = 1.000000000001;
// Squared norms this close to 1 take the second-order norm, no square root.
const double kNearLow = 0.99999999;
const double kNearHigh = 1.00000001;

const char* const kVectorFormat = "V%.16g %.16g %.16g\n";

}  // namespace

void G3_VECTOR::Unit(double* norm) {
  const double n2 = GetNorm2();
  if (n2 == 0) {
    GerrNullVector.Trigger();
    if (norm != nullptr) *norm = 0;
    return;
  }
  // Both bands are open at both ends.
  if (n2 > kUnitLow && n2 < kUnitHigh) {
    if (norm != nullptr) *norm = 1;
    return;
  }
  double n;
  if (n2 > kNearLow && n2 < kNearHigh) {
    const double d = n2 - 1;
    n = 1 + d * (0.5 - 0.125 * d);
  } else {
    n = std::sqrt(n2);
  }
  if (norm != nullptr) *norm = n;
  const double k = 1 / n;
  x_ *= k;
  y_ *= k;
  z_ *= k;
}

C_BOOL G3_VECTOR::IsOn(const G3_VECTOR& v, C_BOOL sameSense, double tol) const {
  // Non-strict: a null vector is parallel to everything.
  if ((*this ^ v).GetNorm2() > tol * GetNorm2() * v.GetNorm2()) return false;
  if (sameSense && !(*this * v > 0)) return false;
  return true;
}

C_BOOL G3_VECTOR::IsOn(const G3_PLANE& pl) const {
  const G3_VECTOR1 n = pl.GetVz();
  const double d = *this * n;
  return d * d <= G_ANG::MinSin2 * GetNorm2() * n.GetNorm2();
}

C_BOOL G3_VECTOR::IsOrthoTo(const G3_VECTOR& v, double tol) const {
  const double d = *this * v;
  return d * d <= tol * GetNorm2() * v.GetNorm2();
}

G3_VECTOR::G3_VECTOR(const C_STRING& s) {
  // Only blanks and commas separate the numbers of a vector; a vector text
  // always carries something behind its second number.
  const int n = s.GetNumber();
  if (n == 0) return;
  auto skip = [&s, n](int i) {
    while (i < n && (s.Get(i) == ' ' || s.Get(i) == ',')) ++i;
    return i;
  };
  int next = 0;
  const double x = s.ScanReal(0, &next);
  if (C_ERROR::Is()) return;
  if (next >= n) {
    GerrInvalidVectorString.Trigger();
    return;
  }
  const double y = s.ScanReal(skip(next), &next);
  if (C_ERROR::Is()) return;
  if (next >= n) {
    GerrInvalidVectorString.Trigger();
    return;
  }
  double z = s.ScanReal(skip(next), &next);
  if (C_ERROR::Is()) {
    C_ERROR::ClearPending();
    z = 0;
  }
  // Whatever stands behind z is ignored.
  x_ = x;
  y_ = y;
  z_ = z;
}

void G3_VECTOR::Save(C_FILE* file) const {
  static const C_STRING format(kVectorFormat);
  const double c[3] = {x_, y_, z_};
  GsaveCoords(file, format, c, 3);
}

void G3_VECTOR::Load(int /*version*/, C_FILE* file) {
  // The value changes only when the whole record was read.
  double c[3];
  if (!GloadCoords(file, 'V', &GerrInvalidFileVectorExpected, nullptr, c, 3)) return;
  x_ = c[0];
  y_ = c[1];
  z_ = c[2];
}

G3_VECTOR1::G3_VECTOR1(double x, double y, double z) : G3_VECTOR(x, y, z) {
  // Unit reports a null vector by a zero norm (GerrNullVector stays pending).
  double n = 1;
  Unit(&n);
  if (n == 0) *this = VX;
}

G3_VECTOR1::G3_VECTOR1(const G3_POINT& a, const G3_POINT& b) : G3_VECTOR(a, b) {
  double n = 1;
  Unit(&n);
  if (n == 0) *this = VX;
}

G3_VECTOR1::G3_VECTOR1(const G3_VECTOR& v) : G3_VECTOR(v) {
  double n = 1;
  Unit(&n);
  if (n == 0) *this = VX;
}

C_BOOL G3_VECTOR1::IsOn(const G3_VECTOR1& v, C_BOOL sameSense, double tol) const {
  if ((*this ^ v).GetNorm2() > tol) return false;
  if (sameSense && !(*this * v > 0)) return false;
  return true;
}

C_BOOL G3_VECTOR1::IsOn(const G3_PLANE& pl) const {
  return std::fabs(*this * pl.GetVz()) < G_ANG::MinSin;  // strict
}

C_BOOL G3_VECTOR1::IsOrthoTo(const G3_VECTOR1& v, double tol) const {
  const double d = *this * v;
  return d * d < tol;  // strict
}
