#include "algebra/g2_vector.h"

#include <cmath>

#include "algebra/g_coord_record.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_math.h"

const G2_VECTOR G2_VECTOR::V0(0, 0);
const G2_VECTOR1 G2_VECTOR1::VX(1, 0, G2_VECTOR1::Exact());
const G2_VECTOR1 G2_VECTOR1::VY(0, 1, G2_VECTOR1::Exact());

namespace {

// Squared norms this close to 1 are taken as unit (no change at all).
const double kUnitLow = 0.999999999999;
const double kUnitHigh = 1.000000000001;

const char* const kVector2Format = "V%.16g %.16g\n";

}  // namespace

void G2_VECTOR::Unit(double* norm) {
  const double n2 = GetNorm2();
  if (n2 == 0) {
    GerrNullVector.Trigger();
    if (norm != nullptr) *norm = 0;
    return;
  }
  if (n2 > kUnitLow && n2 < kUnitHigh) {  // open band
    if (norm != nullptr) *norm = 1;
    return;
  }
  const double n = std::sqrt(n2);
  if (norm != nullptr) *norm = n;
  const double k = 1 / n;
  x_ *= k;
  y_ *= k;
}

void G2_VECTOR::Rotate(G_ANG a) {
  double s, c;
  CmathSinCos(double(a), &s, &c);
  const double x = x_ * c - y_ * s;
  y_ = x_ * s + y_ * c;
  x_ = x;
}

C_BOOL G2_VECTOR::IsOn(const G2_VECTOR& v) const {
  const double c = *this ^ v;
  return c * c <= G_ANG::MinSin2 * GetNorm2() * v.GetNorm2();
}

C_BOOL G2_VECTOR::IsOrthoTo(const G2_VECTOR& v) const {
  const double d = *this * v;
  return d * d <= G_ANG::MinSin2 * GetNorm2() * v.GetNorm2();
}

void G2_VECTOR::Save(C_FILE* file) const {
  static const C_STRING format(kVector2Format);
  const double c[2] = {x_, y_};
  GsaveCoords(file, format, c, 2);
}

void G2_VECTOR::Load(int /*version*/, C_FILE* file) {
  // The value changes only when the whole record was read.
  double c[2];
  if (!GloadCoords(file, 'V', nullptr, "T#Err#Invalid file (vector expected)", c, 2)) return;
  x_ = c[0];
  y_ = c[1];
}

G2_VECTOR1::G2_VECTOR1(double x, double y) : G2_VECTOR(x, y) {
  // Unit reports a null vector by a zero norm (GerrNullVector stays pending).
  double n = 1;
  Unit(&n);
  if (n == 0) *this = VX;
}

G2_VECTOR1::G2_VECTOR1(const G2_POINT& a, const G2_POINT& b) : G2_VECTOR(a, b) {
  double n = 1;
  Unit(&n);
  if (n == 0) *this = VX;
}

G2_VECTOR1::G2_VECTOR1(const G2_VECTOR& v) : G2_VECTOR(v) {
  double n = 1;
  Unit(&n);
  if (n == 0) *this = VX;
}

C_BOOL G2_VECTOR1::IsOn(const G2_VECTOR1& v) const {
  return std::fabs(*this ^ v) < G_ANG::MinSin;  // strict, either sense
}

C_BOOL G2_VECTOR1::IsOrthoTo(const G2_VECTOR1& v) const {
  return std::fabs(*this * v) < G_ANG::MinSin;  // strict
}
