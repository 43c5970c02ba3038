#include "measures/g_ang.h"

#include <cmath>

#include "runtime/c_math.h"
#include "runtime/t_persist.h"

double G_ANG::Min = 5.729577951308233e-08;
double G_ANG::MinSin = 1e-9;
double G_ANG::MinSin2 = 1e-18;
double G_ANG::Min100 = 5.729577951308232e-06;
double G_ANG::Min100Sin = 1e-7;
double G_ANG::Min100Sin2 = 1e-14;

namespace {

const double kPi = 3.14159265358979323846;

}  // namespace

void G_ANG::SetMin(double a) {
  Min = a;
  MinSin = CmathSin(a);
  MinSin2 = MinSin * MinSin;
}

void G_ANG::SetMin100(double a) {
  Min100 = a;
  Min100Sin = CmathSin(a);
  Min100Sin2 = Min100Sin * Min100Sin;
}

double G_ANG::GetRad() const { return v_ * kPi / 180; }

void G_ANG::SetRad(double r) { v_ = r / kPi * 180; }

double G_ANG::GetCos() const { return CmathCos(v_); }
double G_ANG::GetSin() const { return CmathSin(v_); }
double G_ANG::GetTan() const { return CmathTan(v_); }
void G_ANG::SetCos(double c) { v_ = CmathAcos(c); }
void G_ANG::SetSin(double s) { v_ = CmathAsin(s); }
void G_ANG::SetTan(double t) { v_ = CmathAtan(t); }
void G_ANG::SetTan2(double y, double x) { v_ = CmathAtan2(y, x); }
void G_ANG::SetXY(double x, double y) { v_ = CmathAtan2(y, x); }

C_BOOL G_ANG::Is0() const { return std::fabs(v_) < Min; }
C_BOOL G_ANG::Is360() const { return std::fabs(v_ - 360) < Min; }
C_BOOL G_ANG::Equals(const G_ANG& other) const { return std::fabs(v_ - other.v_) < Min; }

void G_ANG::Load(int version, C_FILE* file) { Tload(version, file, &v_); }

void G_ANG::Save(C_FILE* file) const { Tsave(v_, file, 0); }

double G_ANG::FromCosSin(double c, double s) {
  // Near 0 and 180 the cosine is flat, so the sine gives the angle; the bands
  // are tested so that a NaN cosine falls through to acos.
  if (c > 0.999) return CmathAsin(s);
  if (c < -0.999) return 180 - CmathAsin(s);
  return CmathAcos(c);
}
