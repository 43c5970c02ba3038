#include <gtest/gtest.h>

#include <cmath>

#include "algebra/g3_point.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "runtime/c_error.h"
#include "volumes/g3_box.h"

namespace {

void ExpectBox(const G3_BOX& b, double x0, double x1, double y0, double y1, double z0, double z1,
               double tol = 1e-12) {
  EXPECT_NEAR(b.GetXmin(), x0, tol);
  EXPECT_NEAR(b.GetXmax(), x1, tol);
  EXPECT_NEAR(b.GetYmin(), y0, tol);
  EXPECT_NEAR(b.GetYmax(), y1, tol);
  EXPECT_NEAR(b.GetZmin(), z0, tol);
  EXPECT_NEAR(b.GetZmax(), z1, tol);
}

TEST(TransfoBoxTest, EachKindOfMap) {
  C_ERROR::ClearPending();
  // The identity leaves even a void box alone; a translation shifts bounds.
  G3_BOX v;
  G3_TRANSFO::IDENTITY.Transfo(&v);
  ExpectBox(v, 1e100, -1e100, 1e100, -1e100, 1e100, -1e100, 0);
  G3_BOX b(0, 1, 0, 2, 0, 3);
  b.Transfo(G3_TRANSFO(G3_VECTOR(1, -1, 0.5)));
  ExpectBox(b, 1, 2, -1, 1, 0.5, 3.5, 0);

  // Bounds propagation: a quarter turn about Z.
  G3_TRANSFO r;
  r.SetRotZ(90);
  G3_BOX c(0, 1, 0, 2, 0, 3);
  r.Transfo(&c);
  ExpectBox(c, -2, 0, 0, 1, 0, 3);

  // An eighth turn: the box of the turned box, by hand.
  r.SetRotZ(45);
  G3_BOX d(-1, 1, -1, 1, 0, 1);
  r.Transfo(&d);
  const double s = std::sqrt(2.0);
  ExpectBox(d, -s, s, -s, s, 0, 1);

  // A negative scaling flips each interval.
  G3_TRANSFO n(G3_POINT(0, 0, 0), -2.0);
  G3_BOX e(1, 2, -1, 3, 0, 1);
  n.Transfo(&e);
  ExpectBox(e, -4, -2, -6, 2, -2, 0);

  // Projective: the box of the eight mapped corners, here divided by z + 1.
  const double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}};
  G3_TRANSFO p;
  p.SetMat(m);
  G3_BOX f(-2, 2, 0, 4, 0, 1);
  p.Transfo(&f);
  ExpectBox(f, -2, 2, 0, 4, 0, 0.5);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST(TransfoBoxTest, EmptyBoxesStayEmpty) {
  C_ERROR::ClearPending();
  // Through a turn, a mirror or a projective map the void box would
  // otherwise gather +-1e100 into the whole space.
  G3_TRANSFO turn, mirror, proj;
  turn.SetRotZ(90);
  mirror.SetSym(G3_POINT(0, 0, 0));
  const double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}};
  proj.SetMat(m);
  for (const G3_TRANSFO* t : {&turn, &mirror, &proj}) {
    G3_BOX v;
    t->Transfo(&v);
    ExpectBox(v, 1e100, -1e100, 1e100, -1e100, 1e100, -1e100, 0);
  }
  // One empty interval is enough to hold no point.
  G3_BOX e(0, 1, 3, 2, 0, 1);
  turn.Transfo(&e);
  ExpectBox(e, 0, 1, 3, 2, 0, 1, 0);
  // A translation only shifts the bounds, which leaves the void box void.
  G3_BOX w;
  G3_TRANSFO(G3_VECTOR(1, 2, 3)).Transfo(&w);
  EXPECT_GT(w.GetXmin(), w.GetXmax());
  EXPECT_GT(w.GetYmin(), w.GetYmax());
  EXPECT_GT(w.GetZmin(), w.GetZmax());
  EXPECT_FALSE(C_ERROR::Is());
}

}  // namespace
