#include "algebra/g2_points.h"

#include "algebra/g2_vector.h"
#include "runtime/c_error.h"
#include "runtime/t_persist.h"

void G2_POINTS::Move(int i, const G2_VECTOR& v) {
  const G2_POINT& p = Get(i);  // a bad index raises the list's error
  if (C_ERROR::Is()) return;
  Replace(i, G2_POINT(p, v));
}

void G2_POINTS::Save(C_FILE* file) const {
  Tsave(GetNumber(), file, 0);
  if (C_ERROR::Is()) return;
  for (int i = 0; i < GetNumber(); ++i) {
    GetFast(i).Save(file);
    if (C_ERROR::Is()) return;
  }
}

void G2_POINTS::Load(int version, C_FILE* file) {
  int n = 0;
  Tload(version, file, &n);
  if (C_ERROR::Is()) return;
  // Appended one by one (no room reserved from a count that may be corrupt);
  // the first record that fails ends the load.
  for (int i = 0; i < n; ++i) {
    G2_POINT p;
    p.Load(version, file);
    if (C_ERROR::Is()) return;
    Append(p);
    if (C_ERROR::Is()) return;
  }
}
