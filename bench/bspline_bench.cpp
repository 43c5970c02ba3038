// Cost of the B-spline basis evaluation per call, and of the composite cubic
// interpolation as the number of points grows.

#include <benchmark/benchmark.h>

#include <cmath>

#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_vector.h"
#include "curves/g3_cv_composit_bsplines.h"
#include "curves/g_bspline.h"
#include "runtime/c_error.h"

namespace {

// Parameters spread over the range so that successive calls hit different
// intervals (the interval search is part of the cost).
const int kParams = 1024;

void FillParams(const G_BSPLINE& bs, double* u) {
  double a = 0, b = 0;
  bs.GetRange(&a, &b);
  for (int i = 0; i < kParams; ++i) u[i] = a + (b - a) * ((i * 389) % kParams + 0.5) / kParams;
}

void BM_GetValuesNZ(benchmark::State& state) {
  int p = int(state.range(0));
  G_BSPLINE bs(0, p, 1000);
  double u[kParams];
  FillParams(bs, u);
  double v[G_BSPLINE::MaxDegree + 1];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bs.GetValuesNZ(u[i], v));
    benchmark::DoNotOptimize(v);
    i = (i + 1) & (kParams - 1);
  }
  if (C_ERROR::Is()) state.SkipWithError("evaluation failed");
}
BENCHMARK(BM_GetValuesNZ)->Arg(3)->Arg(5);

void BM_GetDerivsNZ(benchmark::State& state) {
  int p = int(state.range(0));
  G_BSPLINE bs(0, p, 1000);
  double u[kParams];
  FillParams(bs, u);
  double rows[3][G_BSPLINE::MaxDegree + 1];
  double* ders[3] = {rows[0], rows[1], rows[2]};
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bs.GetDerivsNZ(2, u[i], ders));
    benchmark::DoNotOptimize(rows);
    i = (i + 1) & (kParams - 1);
  }
  if (C_ERROR::Is()) state.SkipWithError("evaluation failed");
}
BENCHMARK(BM_GetDerivsNZ)->Arg(3)->Arg(5);

void BM_GetValuesNZPeriodic(benchmark::State& state) {
  G_BSPLINE bs(1, 3, 1000);
  double u[kParams];
  FillParams(bs, u);
  double v[4];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bs.GetValuesNZ(u[i] + 3000, v));  // one period away
    benchmark::DoNotOptimize(v);
    i = (i + 1) & (kParams - 1);
  }
  if (C_ERROR::Is()) state.SkipWithError("evaluation failed");
}
BENCHMARK(BM_GetValuesNZPeriodic);

// A smooth helix with a sharp turn every `corner` points, so that the chain
// has many segments as well as long ones.
G3_POINTS Helix(int n, int corner) {
  G3_POINTS pts(n);
  double x = 0, y = 0, z = 0;
  int dir = 1;
  for (int i = 0; i < n; ++i) {
    if (corner > 0 && i > 0 && i % corner == 0) dir = -dir;
    x += 0.01 * dir;
    y = std::sin(i * 0.001);
    z = std::cos(i * 0.001);
    pts.Append(G3_POINT(x, y, z));
  }
  return pts;
}

void RunInterpol(benchmark::State& state, int corner) {
  int n = int(state.range(0));
  G3_POINTS pts = Helix(n, corner);
  for (auto _ : state) {
    G3_CV_COMPOSIT_BSPLINES chain;
    chain.Interpol(G3_VECTOR::V0, pts, G3_VECTOR::V0, 30, 1.0, 2, 1, nullptr);
    if (C_ERROR::Is()) {
      state.SkipWithError("interpolation failed");
      C_ERROR::ClearPending();
      break;
    }
    benchmark::DoNotOptimize(chain.GetNumberOfSegments());
  }
  state.SetComplexityN(n);
  state.counters["s/point"] = benchmark::Counter(
      double(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One long segment: a tridiagonal system of n + 2 unknowns.
void BM_CompositInterpolSmooth(benchmark::State& state) { RunInterpol(state, 0); }
BENCHMARK(BM_CompositInterpolSmooth)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A reversal every 1000 points: about n / 1000 segments.
void BM_CompositInterpolCorners(benchmark::State& state) { RunInterpol(state, 1000); }
BENCHMARK(BM_CompositInterpolCorners)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
