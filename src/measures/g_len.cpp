#include "measures/g_len.h"

#include <cmath>

#include "frame/g_errors.h"
#include "measures/g_dis.h"
#include "runtime/t_persist.h"

double G_LEN::Min = 1e-7;

G_LEN::G_LEN(const G_DIS& d) : v_(double(d)) { Check(); }

void G_LEN::Check() const {
  // Written as "not valid" rather than "below Min" so that a NaN fails too.
  if (!(v_ >= Min)) GerrLengthTooShort.Trigger();
}

C_BOOL G_LEN::Equals(const G_LEN& other) const { return std::fabs(v_ - other.v_) < G_DIS::Min; }

void G_LEN::Load(int version, C_FILE* file) { Tload(version, file, &v_); }

void G_LEN::Save(C_FILE* file) const { Tsave(v_, file, 0); }
