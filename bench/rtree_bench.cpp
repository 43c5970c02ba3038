// The R-tree and the hierarchical boxes against Boost.Geometry's rtree, on the
// same data in the same run: one million small boxes spread uniformly, and one
// million small boxes in Gaussian clusters.
// - R-tree: insertion of every box one by one, then window queries, against
//   Boost's rtree with linear<5, 2> (the same split algorithm and capacities)
//   and with rstar<16>.
// - Hierarchical boxes: build, then window queries, against Boost's rtree
//   built by its packing (bulk-loading) constructor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

#include "algebra/g3_point.h"
#include "indexes/g3_hbox.h"
#include "indexes/g3_rtree.h"

#ifdef G3GEOM_HAVE_BOOST
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/point.hpp>
#include <boost/geometry/index/rtree.hpp>
#endif

namespace {

constexpr int kCount = 1000000;
constexpr int kQueries = 2000;
constexpr double kWorld = 1000;

enum DATASET { UNIFORM = 0, CLUSTERED = 1 };

struct DATA {
  std::vector<G3_BOX> boxes;
  std::vector<G3_BOX> windows;
};

const DATA& Data(int which) {
  static DATA data[2];
  DATA& d = data[which];
  if (!d.boxes.empty()) return d;
  std::mt19937_64 rng(which == UNIFORM ? 20240611 : 20240612);
  std::uniform_real_distribution<double> world(0, kWorld), size(0, 1.0);
  d.boxes.reserve(kCount);
  if (which == UNIFORM) {
    for (int i = 0; i < kCount; ++i) {
      const double x = world(rng), y = world(rng), z = world(rng);
      d.boxes.emplace_back(x, x + size(rng), y, y + size(rng), z, z + size(rng));
    }
  } else {
    constexpr int kClusters = 50;
    std::vector<double> centres;
    for (int c = 0; c < 3 * kClusters; ++c) centres.push_back(world(rng));
    std::normal_distribution<double> spread(0, 15);
    std::uniform_int_distribution<int> pick(0, kClusters - 1);
    for (int i = 0; i < kCount; ++i) {
      const int c = pick(rng);
      const double x = centres[3 * c] + spread(rng), y = centres[3 * c + 1] + spread(rng),
                   z = centres[3 * c + 2] + spread(rng);
      d.boxes.emplace_back(x, x + size(rng), y, y + size(rng), z, z + size(rng));
    }
  }
  // Windows centred on stored boxes, so that they fall where the data is:
  // about 30 hits each on the uniform set, a few hundred on the clustered one.
  const double half = which == UNIFORM ? 15 : 2;
  std::uniform_int_distribution<int> any(0, kCount - 1);
  for (int k = 0; k < kQueries; ++k) {
    const G3_POINT c = d.boxes[any(rng)].GetCentre();
    d.windows.emplace_back(c.GetCx() - half, c.GetCx() + half, c.GetCy() - half,
                           c.GetCy() + half, c.GetCz() - half, c.GetCz() + half);
  }
  return d;
}

const char* Name(int which) { return which == UNIFORM ? "uniform" : "clustered"; }

// ---------------------------------------------------------------- g3geom

std::unique_ptr<G3_RTREE> BuildRtree(const DATA& d) {
  auto t = std::make_unique<G3_RTREE>();
  for (int i = 0; i < int(d.boxes.size()); ++i) t->InsertRect(d.boxes[i], i);
  return t;
}

const G3_RTREE& Rtree(int which) {
  static std::unique_ptr<G3_RTREE> trees[2];
  if (!trees[which]) trees[which] = BuildRtree(Data(which));
  return *trees[which];
}

// Hierarchies by data set and leaf size.
const G3_HBOX& Hbox(int which, int leafSize) {
  static std::unique_ptr<G3_HBOX> h[2][65];
  std::unique_ptr<G3_HBOX>& p = h[which][leafSize];
  if (!p) {
    const DATA& d = Data(which);
    T_LIST<G3_BOX> l(int(d.boxes.size()), d.boxes.data());
    p = std::make_unique<G3_HBOX>();
    p->SetBoxes(l, true, leafSize);
  }
  return *p;
}

void BM_G3Rtree_Insert(benchmark::State& state) {
  const DATA& d = Data(int(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<G3_RTREE> t = BuildRtree(d);
    benchmark::DoNotOptimize(t->GetBoxCount());
    state.PauseTiming();
    t.reset();
    state.ResumeTiming();
  }
  state.SetLabel(Name(int(state.range(0))));
  state.SetItemsProcessed(state.iterations() * int64_t(d.boxes.size()));
}

void BM_G3Rtree_Query(benchmark::State& state) {
  const int which = int(state.range(0));
  const DATA& d = Data(which);
  const G3_RTREE& t = Rtree(which);
  T_LIST<int> ids;
  int64_t hits = 0;
  for (auto _ : state) {
    for (const G3_BOX& w : d.windows) {
      t.Intersect(w, &ids);
      hits += ids.GetNumber();
    }
  }
  state.SetLabel(Name(which));
  state.counters["hits/query"] = double(hits) / double(state.iterations() * d.windows.size());
  state.SetItemsProcessed(state.iterations() * int64_t(d.windows.size()));
}

void BM_G3Hbox_Build(benchmark::State& state) {
  const DATA& d = Data(int(state.range(0)));
  T_LIST<G3_BOX> l(int(d.boxes.size()), d.boxes.data());
  for (auto _ : state) {
    G3_HBOX h;
    h.SetBoxes(l, true, int(state.range(1)));
    benchmark::DoNotOptimize(h.GetNumber());
  }
  state.SetLabel(Name(int(state.range(0))));
  state.SetItemsProcessed(state.iterations() * int64_t(d.boxes.size()));
}

void BM_G3Hbox_Query(benchmark::State& state) {
  const int which = int(state.range(0));
  const DATA& d = Data(which);
  const G3_HBOX& h = Hbox(which, int(state.range(1)));
  T_LIST<int> ids;
  int64_t hits = 0;
  for (auto _ : state) {
    for (const G3_BOX& w : d.windows) {
      h.Intersect(w, &ids);
      hits += ids.GetNumber();
    }
  }
  state.SetLabel(Name(which));
  state.counters["hits/query"] = double(hits) / double(state.iterations() * d.windows.size());
  state.SetItemsProcessed(state.iterations() * int64_t(d.windows.size()));
}

BENCHMARK(BM_G3Rtree_Insert)->Arg(UNIFORM)->Arg(CLUSTERED)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_G3Rtree_Query)->Arg(UNIFORM)->Arg(CLUSTERED)->Unit(benchmark::kMicrosecond);
// Second argument: the leaf size.
BENCHMARK(BM_G3Hbox_Build)
    ->ArgsProduct({{UNIFORM, CLUSTERED}, {8}})->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_G3Hbox_Query)
    ->ArgsProduct({{UNIFORM, CLUSTERED}, {8, 16, 32, 64}})->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- Boost

#ifdef G3GEOM_HAVE_BOOST
namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using BPOINT = bg::model::point<double, 3, bg::cs::cartesian>;
using BBOX = bg::model::box<BPOINT>;
using BVALUE = std::pair<BBOX, int>;

BBOX ToBoost(const G3_BOX& b) {
  return BBOX(BPOINT(b.GetXmin(), b.GetYmin(), b.GetZmin()),
              BPOINT(b.GetXmax(), b.GetYmax(), b.GetZmax()));
}

const std::vector<BVALUE>& Values(int which) {
  static std::vector<BVALUE> v[2];
  if (v[which].empty()) {
    const DATA& d = Data(which);
    v[which].reserve(d.boxes.size());
    for (int i = 0; i < int(d.boxes.size()); ++i) v[which].emplace_back(ToBoost(d.boxes[i]), i);
  }
  return v[which];
}

const std::vector<BBOX>& Windows(int which) {
  static std::vector<BBOX> w[2];
  if (w[which].empty())
    for (const G3_BOX& b : Data(which).windows) w[which].push_back(ToBoost(b));
  return w[which];
}

template <class PARAMS>
using BTREE = bgi::rtree<BVALUE, PARAMS>;

template <class PARAMS>
std::unique_ptr<BTREE<PARAMS>> BuildBoost(int which) {
  auto t = std::make_unique<BTREE<PARAMS>>();
  for (const BVALUE& v : Values(which)) t->insert(v);
  return t;
}

template <class PARAMS>
const BTREE<PARAMS>& BoostTree(int which) {
  static std::unique_ptr<BTREE<PARAMS>> trees[2];
  if (!trees[which]) trees[which] = BuildBoost<PARAMS>(which);
  return *trees[which];
}

using PACKED = bgi::rstar<16>;
const BTREE<PACKED>& Packed(int which) {
  static std::unique_ptr<BTREE<PACKED>> trees[2];
  if (!trees[which])
    trees[which] = std::make_unique<BTREE<PACKED>>(Values(which).begin(), Values(which).end());
  return *trees[which];
}

template <class PARAMS>
void BM_BoostInsert(benchmark::State& state) {
  const int which = int(state.range(0));
  const std::vector<BVALUE>& values = Values(which);
  for (auto _ : state) {
    std::unique_ptr<BTREE<PARAMS>> t = BuildBoost<PARAMS>(which);
    benchmark::DoNotOptimize(t->size());
    state.PauseTiming();
    t.reset();
    state.ResumeTiming();
  }
  state.SetLabel(Name(which));
  state.SetItemsProcessed(state.iterations() * int64_t(values.size()));
}

// Context: Boost's tree does not find a box by its id, which the R-tree's id
// map does; deleting by id with Boost needs such a map beside the tree.
template <class PARAMS>
void BM_BoostInsertWithIdMap(benchmark::State& state) {
  const int which = int(state.range(0));
  const std::vector<BVALUE>& values = Values(which);
  for (auto _ : state) {
    auto t = std::make_unique<BTREE<PARAMS>>();
    auto m = std::make_unique<std::unordered_map<int, BBOX>>();
    for (const BVALUE& v : values) {
      t->insert(v);
      (*m)[v.second] = v.first;
    }
    benchmark::DoNotOptimize(t->size());
    state.PauseTiming();
    t.reset();
    m.reset();
    state.ResumeTiming();
  }
  state.SetLabel(Name(which));
  state.SetItemsProcessed(state.iterations() * int64_t(values.size()));
}

template <class TREE>
void RunBoostQueries(benchmark::State& state, const TREE& t, int which) {
  const std::vector<BBOX>& windows = Windows(which);
  std::vector<BVALUE> out;
  int64_t hits = 0;
  for (auto _ : state) {
    for (const BBOX& w : windows) {
      out.clear();
      t.query(bgi::intersects(w), std::back_inserter(out));
      hits += int64_t(out.size());
    }
  }
  state.SetLabel(Name(which));
  state.counters["hits/query"] = double(hits) / double(state.iterations() * windows.size());
  state.SetItemsProcessed(state.iterations() * int64_t(windows.size()));
}

template <class PARAMS>
void BM_BoostQuery(benchmark::State& state) {
  const int which = int(state.range(0));
  RunBoostQueries(state, BoostTree<PARAMS>(which), which);
}

void BM_BoostPacked_Build(benchmark::State& state) {
  const int which = int(state.range(0));
  const std::vector<BVALUE>& values = Values(which);
  for (auto _ : state) {
    BTREE<PACKED> t(values.begin(), values.end());
    benchmark::DoNotOptimize(t.size());
  }
  state.SetLabel(Name(which));
  state.SetItemsProcessed(state.iterations() * int64_t(values.size()));
}

void BM_BoostPacked_Query(benchmark::State& state) {
  const int which = int(state.range(0));
  RunBoostQueries(state, Packed(which), which);
}

BENCHMARK_TEMPLATE(BM_BoostInsert, bgi::linear<5, 2>)
    ->Arg(UNIFORM)->Arg(CLUSTERED)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_BoostInsertWithIdMap, bgi::linear<5, 2>)
    ->Arg(UNIFORM)->Arg(CLUSTERED)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_BoostInsert, bgi::rstar<16>)
    ->Arg(UNIFORM)->Arg(CLUSTERED)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_BoostQuery, bgi::linear<5, 2>)
    ->Arg(UNIFORM)->Arg(CLUSTERED)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_BoostQuery, bgi::rstar<16>)
    ->Arg(UNIFORM)->Arg(CLUSTERED)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BoostPacked_Build)->Arg(UNIFORM)->Arg(CLUSTERED)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoostPacked_Query)->Arg(UNIFORM)->Arg(CLUSTERED)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
