#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iterator>
#include <tuple>

#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "runtime/c_error.h"
#include "volumes/g3_box.h"

namespace {

using Bounds = std::array<double, 6>;  // xmin, xmax, ymin, ymax, zmin, zmax

TEST(TransfoBoxTest, BoundsOfTheImage) {
  C_ERROR::ClearPending();
  const Bounds kVoid = {1e100, -1e100, 1e100, -1e100, 1e100, -1e100};
  const double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}};
  G3_TRANSFO quarter, mirror, proj;
  quarter.SetRotZ(90);
  mirror.SetSym(G3_PLANE::OXY);
  proj.SetMat(m);  // divides by z + 1
  const std::tuple<G3_TRANSFO, Bounds, Bounds> cases[] = {
      {G3_TRANSFO(G3_VECTOR(1, -1, 0.5)), {0, 1, 0, 2, 0, 3}, {1, 2, -1, 1, 0.5, 3.5}},
      {quarter, {0, 1, 0, 2, 0, 3}, {-2, 0, 0, 1, 0, 3}},
      {G3_TRANSFO(G3_POINT(0, 0, 0), -2.0), {1, 2, -1, 3, 0, 1}, {-4, -2, -6, 2, -2, 0}},
      {proj, {-2, 2, 0, 4, 0, 1}, {-2, 2, 0, 4, 0, 0.5}},  // the box of the eight corners
      // A box with an empty interval holds no point, nor does its image: through
      // a turn, a mirror or a projective map the void box would otherwise gather
      // its +-1e100 into the whole space. A translation only shifts the bounds.
      {mirror, kVoid, kVoid},
      {proj, kVoid, kVoid},
      {quarter, {0, 1, 3, 2, 0, 1}, {0, 1, 3, 2, 0, 1}},
      {G3_TRANSFO(G3_VECTOR(1, 2, 3)), kVoid, kVoid},
  };
  for (size_t k = 0; k < std::size(cases); ++k) {
    const auto& [t, in, want] = cases[k];
    G3_BOX b(in[0], in[1], in[2], in[3], in[4], in[5]);
    b.Transfo(t);
    const Bounds found = {b.GetXmin(), b.GetXmax(), b.GetYmin(),
                          b.GetYmax(), b.GetZmin(), b.GetZmax()};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(found[i], want[i], 1e-12) << "case " << k << ", " << i;
  }
  EXPECT_FALSE(C_ERROR::Is());
}

}  // namespace
