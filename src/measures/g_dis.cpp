#include "measures/g_dis.h"

#include <cmath>

#include "frame/g_errors.h"
#include "measures/g_dis2.h"
#include "runtime/t_persist.h"

double G_DIS::Min = 1e-8;

void G_DIS::SetMin(double d) {
  Min = d;
  G_DIS2::Min = d * d;
}

G_DIS::G_DIS(const G_DIS2& d2) : v_(std::sqrt(double(d2))) {}

C_BOOL G_DIS::Is0() const { return std::fabs(v_) < Min; }

void G_DIS::CheckIs0() const {
  if (!Is0()) GerrDistanceIsNotNull.Trigger();
}

void G_DIS::CheckIsNot0() const {
  if (Is0()) GerrDistanceIsNull.Trigger();
}

void G_DIS::Load(int version, C_FILE* file) { Tload(version, file, &v_); }

void G_DIS::Save(C_FILE* file) const { Tsave(v_, file, 0); }
