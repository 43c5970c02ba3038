// Applying transformations to 10M points in place: the identity, a
// translation, a rotation and a general affine map, with G3_TRANSFO and, when
// Eigen is found, with Eigen::Affine3d on the same matrices.
#include <benchmark/benchmark.h>

#include <vector>

#include "algebra/g3_axis.h"
#include "algebra/g3_point.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"

#ifdef G3GEOM_HAVE_EIGEN
#include <Eigen/Geometry>
#endif

namespace {

constexpr int kPoints = 10000000;

enum Kind { IDENTITY = 0, TRANSLATION = 1, ROTATION = 2, AFFINE = 3 };

// Every map has bounded orbits (or drifts slowly), so repeated application in
// place keeps the coordinates finite and ordinary.
G3_TRANSFO MakeMap(int kind) {
  G3_TRANSFO t;
  if (kind == TRANSLATION) {
    t.SetTra(G3_VECTOR(1e-3, -2e-3, 3e-3));
  } else if (kind == ROTATION) {
    t.SetRot(G3_AXIS(G3_POINT(1, 2, 3), G3_VECTOR1(1, 2, 2)), 17);
  } else if (kind == AFFINE) {
    // A rotation seen through a shear: every element non-zero, no structure
    // the property flags could use.
    const double s[4][4] = {{1, 0.3, 0.2, 0.5}, {0.1, 1, 0.4, -1}, {0.2, 0.1, 1, 2}, {0, 0, 0, 1}};
    G3_TRANSFO shear, rot;
    shear.SetMat(s);
    G3_TRANSFO back = shear;
    back.Invert();
    rot.SetRot(G3_AXIS(G3_POINT(1, 2, 3), G3_VECTOR1(1, 2, 2)), 17);
    t = shear * rot * back;
  }
  return t;
}

std::vector<double> Seeds() {
  std::vector<double> c(3 * size_t(kPoints));
  unsigned s = 12345;
  for (double& v : c) {
    s = s * 1103515245u + 12345u;
    v = double(s % 20000u) / 1000.0 - 10.0;
  }
  return c;
}

void G3Transfo(benchmark::State& state) {
  // Like Eigen's matrix below, the map is a local that the loop's stores
  // cannot alias, so its flags and elements can stay in registers.
  const G3_TRANSFO map = MakeMap(int(state.range(0)));
  const G3_TRANSFO t = map;
  const std::vector<double> c = Seeds();
  std::vector<G3_POINT> pts(kPoints);
  for (int i = 0; i < kPoints; ++i) pts[i] = G3_POINT(c[3 * i], c[3 * i + 1], c[3 * i + 2]);
  for (auto _ : state) {
    for (G3_POINT& p : pts) t.Transfo(&p);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kPoints));
}

#ifdef G3GEOM_HAVE_EIGEN
void EigenAffine(benchmark::State& state) {
  const G3_TRANSFO t = MakeMap(int(state.range(0)));
  Eigen::Affine3d a = Eigen::Affine3d::Identity();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) a.matrix()(i, j) = t.GetMat(i, j);
  const std::vector<double> c = Seeds();
  std::vector<Eigen::Vector3d> pts(kPoints);
  for (int i = 0; i < kPoints; ++i) pts[i] = Eigen::Vector3d(c[3 * i], c[3 * i + 1], c[3 * i + 2]);
  for (auto _ : state) {
    for (Eigen::Vector3d& p : pts) p = a * p;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kPoints));
}
#endif

void Kinds(benchmark::internal::Benchmark* b) {
  b->ArgName("map")->Arg(IDENTITY)->Arg(TRANSLATION)->Arg(ROTATION)->Arg(AFFINE);
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(G3Transfo)->Apply(Kinds);
#ifdef G3GEOM_HAVE_EIGEN
BENCHMARK(EigenAffine)->Apply(Kinds);
#endif

BENCHMARK_MAIN();
