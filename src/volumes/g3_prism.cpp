#include "volumes/g3_prism.h"

#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_transfo.h"
#include "runtime/c_error.h"
#include "volumes/g3_box.h"

G3_PRISM* G3_PRISM::Clone() const {
  C_ERROR::Trigger("Clone()");
  return nullptr;
}

C_BOOL G3_PRISM::Contains(const G3_BOX& box) const {
  if (C_ERROR::Is()) return false;
  G3_POINTS corners;
  box.GetCorners(&corners);
  if (C_ERROR::Is()) {
    C_ERROR::ClearPending();
    return false;
  }
  for (int i = 0; i < corners.GetNumber(); i++)
    if (!Contains(corners[i])) return false;
  return true;
}

void G3_PRISM::Transfo(const G3_TRANSFO& t) { plane_.Transfo(t); }

// Applies t, from the last point down to the first, to the points that the
// prism contains; the others are left as they are. No prism restricts nothing.
void G3_POINTS::Transfo(const G3_TRANSFO& t, const G3_PRISM* prism) {
  for (int i = GetNumber() - 1; i >= 0; i--) {
    G3_POINT& p = (*this)[i];
    if (prism == nullptr || prism->Contains(p)) t.Transfo(&p);
  }
}
