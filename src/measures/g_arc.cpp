#include "measures/g_arc.h"

#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "runtime/c_math.h"
#include "runtime/t_persist.h"

double G_ARC::Min = 5.729577951308232e-07;
double G_ARC::MinSin = 1e-8;
double G_ARC::MinSin2 = 1e-16;
double G_ARC::Max = 360.0;

void G_ARC::SetMin(double a) {
  Min = a;
  MinSin = CmathSin(a);
  MinSin2 = MinSin * MinSin;
}

G_ARC::G_ARC(const G_ANG& a) : v_(double(a)) { Check(); }

void G_ARC::Check() const {
  // Two independent tests, in this order; each is written as "not valid" so
  // that a NaN fails both.
  if (!(v_ >= Min)) GerrArcTooNarrow.Trigger();
  if (!(v_ <= Max + G_ANG::Min)) GerrArcTooLarge.Trigger();
}

void G_ARC::Load(int version, C_FILE* file) { Tload(version, file, &v_); }

void G_ARC::Save(C_FILE* file) const { Tsave(v_, file, 0); }
