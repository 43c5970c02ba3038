// Oriented bounding boxes of large point sets: time per point, and how much
// tighter the oriented box is than the axis-aligned one (volume ratio).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "runtime/c_error.h"
#include "volumes/g3_box.h"
#include "volumes/g3_obbox.h"

namespace {

// Rotation by deg degrees about the unit axis (1, 2, 3)/sqrt14 (Rodrigues),
// then a shift: the sets are neither centred nor aligned.
G3_POINT Place(double x, double y, double z) {
  const double n = std::sqrt(14.0);
  const double ax = 1 / n, ay = 2 / n, az = 3 / n;
  const double t = 40 * M_PI / 180, c = std::cos(t), s = std::sin(t);
  const double d = ax * x + ay * y + az * z;
  const double cx = ay * z - az * y, cy = az * x - ax * z, cz = ax * y - ay * x;
  return G3_POINT(x * c + cx * s + ax * d * (1 - c) + 10, y * c + cy * s + ay * d * (1 - c) - 5,
                  z * c + cz * s + az * d * (1 - c) + 2);
}

// Points on the surface of the ellipsoid of semi-axes 3, 2, 1.
G3_POINTS Ellipsoid(int n) {
  std::mt19937 gen(12345);
  std::normal_distribution<double> g(0, 1);
  G3_POINTS pts(n);
  for (int i = 0; i < n; i++) {
    double x = g(gen), y = g(gen), z = g(gen);
    const double r = std::sqrt(x * x + y * y + z * z);
    x /= r;
    y /= r;
    z /= r;
    pts.Append(Place(3 * x, 2 * y, z));
  }
  return pts;
}

// Points uniform in the box 4 x 2 x 1.
G3_POINTS InBox(int n) {
  std::mt19937 gen(54321);
  std::uniform_real_distribution<double> u(-0.5, 0.5);
  G3_POINTS pts(n);
  for (int i = 0; i < n; i++) pts.Append(Place(4 * u(gen), 2 * u(gen), u(gen)));
  return pts;
}

// A grid of about n points on the faces of a cube: an isotropic covariance,
// whose axes come from the hull's facets.
G3_POINTS CubeSurface(int n) {
  const int g = std::max(1, int(std::sqrt(n / 6.0)) - 1);
  G3_POINTS pts(6 * (g + 1) * (g + 1));
  for (int i = 0; i <= g; i++)
    for (int j = 0; j <= g; j++) {
      const double u = double(i) / g - 0.5, v = double(j) / g - 0.5;
      pts.Append(Place(-0.5, u, v));
      pts.Append(Place(0.5, u, v));
      pts.Append(Place(u, -0.5, v));
      pts.Append(Place(u, 0.5, v));
      pts.Append(Place(u, v, -0.5));
      pts.Append(Place(u, v, 0.5));
    }
  return pts;
}

// About n points on a latitude-longitude grid of the sphere, 4k meridians:
// two equal eigenvalues, whose axes come from the least rectangle about the
// polar axis.
G3_POINTS SphereGrid(int n) {
  const int m = std::max(4, 4 * int(std::sqrt(double(n)) / 4));
  const int l = std::max(2, n / m);
  G3_POINTS pts(m * l);
  for (int i = 0; i < l; i++) {
    const double t = M_PI * (i + 0.5) / l;
    for (int j = 0; j < m; j++) {
      const double f = 2 * M_PI * j / m;
      pts.Append(Place(std::sin(t) * std::cos(f), std::sin(t) * std::sin(f), std::cos(t)));
    }
  }
  return pts;
}

void Run(benchmark::State& state, const G3_POINTS& pts) {
  for (auto _ : state) {
    G3_OBBOX b(pts);
    benchmark::DoNotOptimize(b);
  }
  if (C_ERROR::Is()) state.SkipWithError(C_ERROR::GetPending()->GetText());
  const double ratio = G3_OBBOX(pts).GetVolume() / G3_BOX(pts).GetVolume();
  state.counters["time_per_point"] = benchmark::Counter(
      double(pts.GetNumber()), benchmark::Counter::kIsIterationInvariantRate |
                                   benchmark::Counter::kInvert);
  state.counters["volume_vs_aabb"] = ratio;
}

void BM_ObboxEllipsoidSurface(benchmark::State& state) {
  const G3_POINTS pts = Ellipsoid(int(state.range(0)));
  Run(state, pts);
}

void BM_ObboxUniformInBox(benchmark::State& state) {
  const G3_POINTS pts = InBox(int(state.range(0)));
  Run(state, pts);
}

void BM_ObboxCubeSurface(benchmark::State& state) {
  const G3_POINTS pts = CubeSurface(int(state.range(0)));
  Run(state, pts);
}

void BM_ObboxSphereGrid(benchmark::State& state) {
  const G3_POINTS pts = SphereGrid(int(state.range(0)));
  Run(state, pts);
}

}  // namespace

BENCHMARK(BM_ObboxEllipsoidSurface)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObboxUniformInBox)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ObboxCubeSurface)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObboxSphereGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
