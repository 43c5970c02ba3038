// The kd-tree against nanoflann on the same data in the same run: one million
// uniform random points and one million points in Gaussian clusters.
//
// - Build: the balanced bulk insertion of G3_KDTREE against buildIndex of
//   nanoflann's KDTreeSingleIndexAdaptor with leaf size 1.
// - Box range queries: G3_KDTREE::Search(box) against nanoflann, which has no
//   box query: its radius search over the ball around the box, filtered to
//   the box (the same result set).
// - k = 10 nearest to a point: G3_KDTREE::SearchNearest (Chebyshev) against
//   nanoflann's knnSearch (L2). The kd-tree's search gathers and shuffles
//   every node before its traversal, so it is linear per query; the gathering
//   alone is timed too, to show where the time goes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "indexes/g3_kdtree.h"

#ifdef G3GEOM_HAVE_NANOFLANN
#include <nanoflann.hpp>
#endif

namespace {

constexpr int kCount = 1000000;
constexpr int kClusters = 50;
constexpr double kSpan = 1000;         // uniform points in [0, kSpan)^3
constexpr double kClusterSigma = 5;    // standard deviation of a cluster
constexpr int kBoxQueries = 1000;      // boxes per timed iteration
constexpr int kNearestQueries = 10;    // k-nearest queries per timed iteration
constexpr int kNeighbours = 10;

struct DATA {
  std::vector<double> xyz;  // x, y, z of point i at 3i
  double boxSide;           // side of the query boxes (about 100 points each)
};

const DATA& Uniform() {
  static const DATA d = [] {
    DATA data;
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(0, kSpan);
    data.xyz.resize(3 * kCount);
    for (double& v : data.xyz) v = u(rng);
    data.boxSide = 46;  // density 1e-3: 46^3 ~ 100 points
    return data;
  }();
  return d;
}

const DATA& Clustered() {
  static const DATA d = [] {
    DATA data;
    std::mt19937_64 rng(12);
    std::uniform_real_distribution<double> u(0, kSpan);
    std::normal_distribution<double> g(0, kClusterSigma);
    std::vector<double> centres(3 * kClusters);
    for (double& v : centres) v = u(rng);
    data.xyz.resize(3 * kCount);
    for (int i = 0; i < kCount; ++i) {
      const int c = i % kClusters;
      for (int a = 0; a < 3; ++a) data.xyz[3 * i + a] = centres[3 * c + a] + g(rng);
    }
    data.boxSide = 3;  // around points of the clusters: about 100 points
    return data;
  }();
  return d;
}

const DATA& Get(int set) { return set == 0 ? Uniform() : Clustered(); }
const char* Name(int set) { return set == 0 ? "uniform" : "clustered"; }

// Query centres: points of the set, so that boxes and neighbours lie in the
// data wherever it is dense.
std::vector<int> QueryPoints(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<int> q(n);
  for (int& i : q) i = static_cast<int>(rng() % kCount);
  return q;
}

void FillLists(const DATA& d, T_LIST<G3_POINT>* pts, T_LIST<int>* ids) {
  pts->Grow(kCount);
  ids->Grow(kCount);
  for (int i = 0; i < kCount; ++i) {
    pts->Append(G3_POINT(d.xyz[3 * i], d.xyz[3 * i + 1], d.xyz[3 * i + 2]));
    ids->Append(i);
  }
}

const G3_KDTREE& Tree(int set) {
  static G3_KDTREE trees[2];
  G3_KDTREE& t = trees[set];
  if (t.IsVoid()) {
    T_LIST<G3_POINT> pts;
    T_LIST<int> ids;
    FillLists(Get(set), &pts, &ids);
    t.Insert(pts, ids, false, 0);
  }
  return t;
}

G3_BOX QueryBox(const DATA& d, int i) {
  const double h = 0.5 * d.boxSide;
  const double* c = &d.xyz[3 * i];
  return G3_BOX(c[0] - h, c[0] + h, c[1] - h, c[1] + h, c[2] - h, c[2] + h);
}

void BM_KdTreeBuild(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  T_LIST<G3_POINT> pts;
  T_LIST<int> ids;
  FillLists(Get(set), &pts, &ids);
  for (auto _ : state) {
    G3_KDTREE t(kCount);
    t.Insert(pts, ids, false, 0);
    benchmark::DoNotOptimize(t.GetRoot());
  }
  state.SetLabel(Name(set));
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_KdTreeBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_KdTreeBoxQuery(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const DATA& d = Get(set);
  const G3_KDTREE& t = Tree(set);
  const std::vector<int> q = QueryPoints(kBoxQueries, 21);
  T_LIST<G3_POINT> pts;
  T_LIST<int> ids;
  long found = 0;
  for (auto _ : state) {
    for (int i : q) {
      pts.Clear();
      ids.Clear();
      t.Search(QueryBox(d, i), &pts, &ids, 63);
      found += ids.GetNumber();
    }
  }
  state.SetLabel(Name(set));
  state.counters["points_per_query"] =
      static_cast<double>(found) / (static_cast<double>(state.iterations()) * kBoxQueries);
  state.SetItemsProcessed(state.iterations() * kBoxQueries);
}
BENCHMARK(BM_KdTreeBoxQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_KdTreeNearest10(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const DATA& d = Get(set);
  const G3_KDTREE& t = Tree(set);
  const std::vector<int> q = QueryPoints(kNearestQueries, 22);
  T_LIST<G3_POINT> pts;
  T_LIST<int> ids;
  for (auto _ : state) {
    for (int i : q) {
      t.SearchNearest(G3_POINT(d.xyz[3 * i], d.xyz[3 * i + 1], d.xyz[3 * i + 2]), kNeighbours,
                      &pts, &ids);
      benchmark::DoNotOptimize(ids.GetNumber());
    }
  }
  state.SetLabel(Name(set));
  state.SetItemsProcessed(state.iterations() * kNearestQueries);
}
BENCHMARK(BM_KdTreeNearest10)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The part of a k-nearest query that does not depend on the query: gathering
// every node in pre-order (range 1 = 0), then also shuffling the list
// (range 1 = 1).
void BM_KdTreeNearestGather(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const bool shuffle = state.range(1) != 0;
  const G3_KDTREE& t = Tree(set);
  T_LIST<T_NODE> all(kCount);
  for (auto _ : state) {
    for (int k = 0; k < kNearestQueries; ++k) {
      all.Clear();
      t.Gather(t.GetRoot(), &all);
      if (shuffle) all.Shuffle();
      benchmark::DoNotOptimize(all.GetAdrFast(0));
    }
  }
  state.SetLabel(std::string(Name(set)) + (shuffle ? " gather+shuffle" : " gather"));
  state.SetItemsProcessed(state.iterations() * kNearestQueries);
}
BENCHMARK(BM_KdTreeNearestGather)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

#ifdef G3GEOM_HAVE_NANOFLANN

struct CLOUD {
  const DATA* data;
  size_t kdtree_get_point_count() const { return kCount; }
  double kdtree_get_pt(size_t i, size_t dim) const { return data->xyz[3 * i + dim]; }
  template <class BBOX>
  bool kdtree_get_bbox(BBOX&) const {
    return false;
  }
};

using NANO_TREE =
    nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, CLOUD>, CLOUD, 3>;
constexpr int kNanoLeaf = 1;

const NANO_TREE& Nano(int set) {
  static CLOUD clouds[2] = {{&Uniform()}, {&Clustered()}};
  static NANO_TREE* trees[2] = {nullptr, nullptr};
  if (trees[set] == nullptr) {
    clouds[set].data = &Get(set);
    trees[set] =
        new NANO_TREE(3, clouds[set], nanoflann::KDTreeSingleIndexAdaptorParams(kNanoLeaf));
    trees[set]->buildIndex();
  }
  return *trees[set];
}

void BM_NanoflannBuild(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const CLOUD cloud{&Get(set)};
  for (auto _ : state) {
    NANO_TREE t(3, cloud, nanoflann::KDTreeSingleIndexAdaptorParams(kNanoLeaf));
    t.buildIndex();
    benchmark::DoNotOptimize(&t);
    benchmark::ClobberMemory();
  }
  state.SetLabel(Name(set));
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_NanoflannBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_NanoflannBoxQuery(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const DATA& d = Get(set);
  const NANO_TREE& t = Nano(set);
  const std::vector<int> q = QueryPoints(kBoxQueries, 21);
  const double h = 0.5 * d.boxSide;
  // The ball around the box: squared radius of its half diagonal.
  const double r2 = 3 * h * h;
  std::vector<std::pair<uint32_t, double>> hits;
  std::vector<int> ids;
  long found = 0;
  nanoflann::SearchParams params;
  params.sorted = false;
  for (auto _ : state) {
    for (int i : q) {
      const double* c = &d.xyz[3 * i];
      hits.clear();
      t.radiusSearch(c, r2, hits, params);
      ids.clear();
      for (const auto& e : hits) {
        const double* p = &d.xyz[3 * e.first];
        if (std::fabs(p[0] - c[0]) <= h && std::fabs(p[1] - c[1]) <= h &&
            std::fabs(p[2] - c[2]) <= h) {
          ids.push_back(static_cast<int>(e.first));
        }
      }
      found += static_cast<long>(ids.size());
    }
  }
  state.SetLabel(Name(set));
  state.counters["points_per_query"] =
      static_cast<double>(found) / (static_cast<double>(state.iterations()) * kBoxQueries);
  state.SetItemsProcessed(state.iterations() * kBoxQueries);
}
BENCHMARK(BM_NanoflannBoxQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_NanoflannNearest10(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  const DATA& d = Get(set);
  const NANO_TREE& t = Nano(set);
  const std::vector<int> q = QueryPoints(kNearestQueries, 22);
  uint32_t idx[kNeighbours];
  double dis[kNeighbours];
  for (auto _ : state) {
    for (int i : q) {
      t.knnSearch(&d.xyz[3 * i], kNeighbours, idx, dis);
      benchmark::DoNotOptimize(idx[0]);
    }
  }
  state.SetLabel(Name(set));
  state.SetItemsProcessed(state.iterations() * kNearestQueries);
}
BENCHMARK(BM_NanoflannNearest10)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

#endif

}  // namespace

BENCHMARK_MAIN();
