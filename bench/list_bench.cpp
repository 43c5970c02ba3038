// T_LIST<double> against the standard library on one million doubles: the
// quicksort of Sort against std::sort, and the binary Search of a flagged list
// against std::lower_bound.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "containers/t_list.h"

namespace {

constexpr int kCount = 1000000;
constexpr int kQueries = 4096;

const std::vector<double>& RandomDoubles() {
  static const std::vector<double> values = [] {
    std::mt19937_64 rng(20240601);
    std::uniform_real_distribution<double> d(-1e6, 1e6);
    std::vector<double> v(kCount);
    for (double& x : v) x = d(rng);
    return v;
  }();
  return values;
}

// Half the queries are elements of the list, half are not.
const std::vector<double>& Queries() {
  static const std::vector<double> queries = [] {
    const std::vector<double>& v = RandomDoubles();
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<int> pick(0, kCount - 1);
    std::uniform_real_distribution<double> d(-1e6, 1e6);
    std::vector<double> q(kQueries);
    for (int k = 0; k < kQueries; ++k) q[k] = (k % 2 == 0) ? v[pick(rng)] : d(rng);
    return q;
  }();
  return queries;
}

void BM_TListSort(benchmark::State& state) {
  const std::vector<double>& src = RandomDoubles();
  T_LIST<double> l(kCount);
  for (auto _ : state) {
    state.PauseTiming();
    l.Clear();
    l.Append(kCount, src.data());  // clears the flag
    state.ResumeTiming();
    l.Sort();
    benchmark::DoNotOptimize(l.GetAdrFast(0));
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_TListSort)->Unit(benchmark::kMillisecond);

void BM_StdSort(benchmark::State& state) {
  const std::vector<double>& src = RandomDoubles();
  std::vector<double> v(kCount);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(src.begin(), src.end(), v.begin());
    state.ResumeTiming();
    std::sort(v.begin(), v.end());
    benchmark::DoNotOptimize(v.data());
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_StdSort)->Unit(benchmark::kMillisecond);

void BM_TListSearch(benchmark::State& state) {
  std::vector<double> sorted = RandomDoubles();
  std::sort(sorted.begin(), sorted.end());
  T_LIST<double> l(kCount, sorted.data());
  l.SetSorted(true);
  const std::vector<double>& q = Queries();
  long found = 0;
  for (auto _ : state) {
    for (double v : q) found += l.Search(v);
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(state.iterations() * kQueries);
}
BENCHMARK(BM_TListSearch);

// The same answer as Search: first index of an equal element, or -1.
void BM_StdLowerBound(benchmark::State& state) {
  std::vector<double> sorted = RandomDoubles();
  std::sort(sorted.begin(), sorted.end());
  const std::vector<double>& q = Queries();
  long found = 0;
  for (auto _ : state) {
    for (double v : q) {
      auto it = std::lower_bound(sorted.begin(), sorted.end(), v);
      found += (it != sorted.end() && *it == v) ? long(it - sorted.begin()) : -1;
    }
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(state.iterations() * kQueries);
}
BENCHMARK(BM_StdLowerBound);

}  // namespace

BENCHMARK_MAIN();
