#include "measures/g_dis2.h"

#include "frame/g_errors.h"
#include "measures/g_dis.h"

double G_DIS2::Min = 1e-16;

G_DIS2::G_DIS2(const G_DIS& d) : v_(double(d) * double(d)) {}

void G_DIS2::CheckIs0() const {
  if (!Is0()) GerrDistanceIsNotNull.Trigger();
}

void G_DIS2::CheckIsNot0() const {
  if (Is0()) GerrDistanceIsNull.Trigger();
}
