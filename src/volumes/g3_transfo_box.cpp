// The transformation of an axis-aligned box by a G3_TRANSFO.
#include "algebra/g3_points.h"
#include "algebra/g3_transfo.h"
#include "runtime/c_error.h"
#include "volumes/g3_box.h"

void G3_TRANSFO::Transfo(G3_BOX* b) const {
  if (!ModPos) return;
  if (!Homogenous && !ModVec) {
    b->SetXmin(b->GetXmin() + Mat[0][3]);
    b->SetXmax(b->GetXmax() + Mat[0][3]);
    b->SetYmin(b->GetYmin() + Mat[1][3]);
    b->SetYmax(b->GetYmax() + Mat[1][3]);
    b->SetZmin(b->GetZmin() + Mat[2][3]);
    b->SetZmax(b->GetZmax() + Mat[2][3]);
    return;
  }
  // A box with an empty interval (the void box above all) holds no point and
  // neither does its image. Propagating its 1e100 sentinels through a turn or
  // a mirror would give the whole space instead, so it is left as it is.
  if (b->GetXmax() < b->GetXmin() || b->GetYmax() < b->GetYmin() || b->GetZmax() < b->GetZmin())
    return;
  if (!Homogenous) {
    // Bounds propagation: each output bound gathers, input axis by input axis,
    // the smaller (or larger) of the two products with that axis's bounds.
    const double lo[3] = {b->GetXmin(), b->GetYmin(), b->GetZmin()};
    const double hi[3] = {b->GetXmax(), b->GetYmax(), b->GetZmax()};
    double nlo[3], nhi[3];
    for (int i = 0; i < 3; ++i) {
      nlo[i] = nhi[i] = Mat[i][3];
      for (int j = 0; j < 3; ++j) {
        const double p = Mat[i][j] * lo[j];
        const double q = Mat[i][j] * hi[j];
        if (p < q) {
          nlo[i] += p;
          nhi[i] += q;
        } else {
          nlo[i] += q;
          nhi[i] += p;
        }
      }
    }
    *b = G3_BOX(nlo[0], nhi[0], nlo[1], nhi[1], nlo[2], nhi[2]);
    return;
  }
  // A projective map does not keep the box's faces parallel: bound the images
  // of the eight corners.
  G3_POINTS corners;
  b->GetCorners(&corners);
  if (C_ERROR::Is()) return;
  corners.Transfo(*this);
  *b = G3_BOX(corners);
}

void G3_BOX::Transfo(const G3_TRANSFO& t) { t.Transfo(this); }
