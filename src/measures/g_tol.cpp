#include "measures/g_tol.h"

#include "runtime/c_error.h"

void G_TOL::Load(int version, C_FILE* file) {
  len_.Load(version, file);
  if (C_ERROR::Is()) return;
  arc_.Load(version, file);
}

void G_TOL::Save(C_FILE* file) const {
  len_.Save(file);
  if (C_ERROR::Is()) return;
  arc_.Save(file);
}
