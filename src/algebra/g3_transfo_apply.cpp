// The Transfo operations of the 3D value types: each applies a G3_TRANSFO.
#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "runtime/c_error.h"

void G3_POINT::Transfo(const G3_TRANSFO& t) { t.Transfo(this); }

void G3_VECTOR::Transfo(const G3_TRANSFO& t) { t.Transfo(this); }

void G3_VECTOR1::Transfo(const G3_TRANSFO& t) { t.Transfo(this); }

void G3_POINTS::Transfo(const G3_TRANSFO& t) {
  if (t.IsIde()) return;
  // A local copy cannot be aliased by the points written, so the loop keeps
  // the matrix in registers.
  const G3_TRANSFO map = t;
  for (int i = GetNumber() - 1; i >= 0; --i) map.Transfo(&(*this)[i]);
}

void G3_AXIS::Transfo(const G3_TRANSFO& t) {
  G3_VECTOR v(GetVx());
  t.Transfo(&v);
  v.Unit();
  if (C_ERROR::Is()) return;  // a collapsed direction: the axis is kept
  vx_ = G3_VECTOR1(v);
  t.Transfo(&po_);
}

void G3_PLANE::Transfo(const G3_TRANSFO& t) {
  G3_VECTOR vx(GetVx());
  t.Transfo(&vx);
  vx.Unit();
  if (C_ERROR::Is()) return;
  G3_VECTOR vy(GetVy());
  t.Transfo(&vy);
  // The normal of the images rebuilds an orthonormal pair even when t shears.
  G3_VECTOR n = vx ^ vy;
  n.Unit();
  if (C_ERROR::Is()) return;
  vx_ = G3_VECTOR1(vx);
  vy_ = G3_VECTOR1(n ^ vx);
  t.Transfo(&po_);
}
