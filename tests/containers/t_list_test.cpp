#include "containers/t_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"

namespace {

using VI = std::vector<int>;
using LI = T_LIST<int>;
using LD = T_LIST<double>;

template <class T>
std::vector<T> Items(const T_LIST<T>& l) {
  std::vector<T> v;
  for (int k = 0; k < l.GetNumber(); ++k) v.push_back(l.GetFast(k));
  return v;
}

// Lists built by appends, then left unflagged (U) or flagged (F).
template <class T = int, class... A>
T_LIST<T> U(A... v) {
  T_LIST<T> l;
  (l.Append(T(v)), ...);
  l.SetSorted(false);
  return l;
}
template <class T = int, class... A>
T_LIST<T> F(A... v) {
  T_LIST<T> l = U<T>(v...);
  l.SetSorted(true);
  return l;
}

// Number and capacity.
template <class T>
VI NS(const T_LIST<T>& l) {
  return {l.GetNumber(), l.GetSize()};
}

// The elements of l are items and, unless sorted is -1, its flag is sorted.
template <class T>
testing::AssertionResult Is(const T_LIST<T>& l, std::vector<T> items, int sorted = -1) {
  if (Items(l) == items && (sorted < 0 || bool(l.IsSorted()) == bool(sorted))) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "number " << l.GetNumber() << ", flag " << l.IsSorted();
}

// True when exactly e is pending; clears it.
bool Raised(const C_ERROR& e) {
  const bool same = C_ERROR::GetPending() == &e;
  C_ERROR::ClearPending();
  return same;
}

template <class F>
bool Raises(const C_ERROR& e, F f) {
  f();
  return Raised(e);
}

// One operation on a list, then its elements, its flag (-1: either) and the
// error left pending (null: none).
template <class T>
struct STEP {
  void (*op)(T_LIST<T>&);
  std::vector<T> items;
  int sorted;
  const C_ERROR* error = nullptr;
};

template <class T>
void Steps(T_LIST<T> l, std::initializer_list<STEP<T>> steps) {
  int k = 0;
  for (const STEP<T>& s : steps) {
    s.op(l);
    EXPECT_EQ(C_ERROR::GetPending(), s.error) << "step " << k;
    C_ERROR::ClearPending();
    EXPECT_TRUE(Is(l, s.items, s.sorted)) << "step " << k++;
  }
}

class TListTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override {
    EXPECT_FALSE(C_ERROR::Is());
    C_ERROR::ClearPending();
  }
};

// An element ordered by key only, so that equal keys can be told apart by tag.
struct KEYED {
  int key = 0;
  int tag = 0;
  C_BOOL operator==(const KEYED& o) const { return key == o.key; }
  C_BOOL operator>(const KEYED& o) const { return key > o.key; }
};

int CompareDoubles(const double* a, const double* b) { return *a > *b ? 1 : (*a < *b ? -1 : 0); }

TEST_F(TListTest, CapacityOfConstructionCopyAssignmentAndGrowth) {
  // Assignment keeps storage large enough; a copy takes exactly the number.
  LD src = F<double>(1, 2), big(20), small(1);
  big = src;
  small = src;
  small = small;
  EXPECT_TRUE(Is(big, {1, 2}, true) && Is(small, {1, 2}, true) && Is(LD(big), {1, 2}, true));
  EXPECT_TRUE(big.GetSize() == 20 && small.GetSize() == 2 && LD(big).GetSize() == 2);

  LI l;
  VI sizes;
  for (int k = 0; k < 5; ++k) {
    l.Append(k);
    sizes.push_back(l.GetSize());
  }
  EXPECT_EQ(sizes, (VI{1, 2, 4, 4, 8}));
  // n copies: max(2 x capacity, number + n).
  LI m = U(0, 0);
  l.Append(7, 1);
  m.Append(7, 1);
  EXPECT_TRUE(NS(l) == (VI{12, 16}) && NS(m) == (VI{9, 9}));
  // Grow never shrinks and is exact; GrowAuto doubles (sizes read after each).
  LI g(4);
  const VI grown = {(g.Grow(3), g.GetSize()), (g.Grow(6), g.GetSize()),
                    (g.GrowAuto(7), g.GetSize())};
  EXPECT_EQ(grown, (VI{4, 6, 12}));
  LI s(3);  // SetNumber grows by the same rule
  s.SetNumber(4);
  EXPECT_EQ(NS(s), (VI{4, 6}));
}

TEST_F(TListTest, AccessChecksIndexesAndWritablePointersClearTheFlag) {
  LD l = F<double>(1, 2, 3), none;
  const double& bad = l.GetLast(1);
  EXPECT_TRUE(Raised(TerrInvalidIndex) && &bad == &LD::GetDefault());
  EXPECT_TRUE(Raises(TerrInvalidIndex, [&] { EXPECT_EQ(l.GetAdr(3), nullptr); }));
  EXPECT_TRUE(Raises(TerrListIsVoid, [&] { EXPECT_EQ(none.GetLastAdr(), nullptr); }));
  EXPECT_TRUE(Raises(TerrListIsVoid, [&] { EXPECT_EQ(none.GetMin(), 0.0); }));  // the default
  EXPECT_TRUE(l.IsSorted());  // a failure keeps the flag
  *l.GetAdr(0) = 10;
  EXPECT_TRUE(!l.IsSorted() && l.GetMin() == 2 && l.GetLast(-2) == 10);
}

TEST_F(TListTest, AddingChecksTheOrderLocally) {
  Steps(F<double>(1, 2, 3),
        {{[](LD& l) { l.Append(3.0); }, {1, 2, 3, 3}, 1},  // equal neighbours are in order
         {[](LD& l) { l.Append(2, 5.0); }, {1, 2, 3, 3, 5, 5}, 1},
         {[](LD& l) { l.Append(1, 4.5); }, {1, 2, 3, 3, 5, 5, 4.5}, 0},
         // Appending a list clears the flag even when still ordered.
         {[](LD& l) { l.SetSorted(true), l.Append(F<double>(9)); },
          {1, 2, 3, 3, 5, 5, 4.5, 9}, 0}});
  // Insert checks the pairs around and inside the inserted block; bad indexes
  // leave the list unchanged.
  Steps(F(1, 2), {{[](LI& l) { l.Insert(3, 7); }, {1, 2}, 1, &TerrInvalidIndex},
                  {[](LI& l) { l.Insert(2, F(3, 4)); }, {1, 2, 3, 4}, 1},
                  {[](LI& l) { l.Insert(1, 2, 1); }, {1, 1, 1, 2, 3, 4}, 1},
                  {[](LI& l) { l.Insert(2, 9); }, {1, 1, 9, 1, 2, 3, 4}, 0}});  // 9 > 1 after it
  Steps(F(1, 9), {{[](LI& l) { l.Insert(1, U(5, 3)); }, {1, 5, 3, 9}, 0}});
  // SetSorted checks the order unless given the flag.
  Steps(U(1, 1, 2), {{[](LI& l) { l.SetSorted(); }, {1, 1, 2}, 1},
                     {[](LI& l) { l.Append(0), l.SetSorted(); }, {1, 1, 2, 0}, 0}});
}

TEST_F(TListTest, AppendAndInsertOfValuesHeldByTheListItself) {
  // The storage moves while the value is read from it.
  LD l = U<double>(1, 2);
  ASSERT_EQ(l.GetSize(), 2);
  Steps(std::move(l), {{[](LD& l) { l.Append(l.GetFast(0)); }, {1, 2, 1}, -1},
                       {[](LD& l) { l.Append(3, l.GetFast(1)); }, {1, 2, 1, 2, 2, 2}, -1},
                       {[](LD& l) { l.Append(l); }, {1, 2, 1, 2, 2, 2, 1, 2, 1, 2, 2, 2}, -1}});
  // In place: the tail moves over the value.
  LI m(10);
  for (int k = 0; k < 4; ++k) m.Append(k);
  Steps(std::move(m), {{[](LI& l) { l.Insert(0, l.GetFast(0)); }, {0, 0, 1, 2, 3}, -1},
                       {[](LI& l) { l.Insert(1, 2, l.GetFast(4)); }, {0, 3, 3, 0, 1, 2, 3}, -1}});
  Steps(U(1, 2), {{[](LI& l) { l.Insert(1, l); }, {1, 1, 2, 2}, -1},
                  {[](LI& l) { l.Append(2, l.GetAdrFast(0)); }, {1, 1, 2, 2, 1, 1}, -1},
                  {[](LI& l) { l.FillList(3, l.GetFast(2)); }, {2, 2, 2}, -1}});
}

TEST_F(TListTest, InsertSortedPlacesAfterEqualElements) {
  LD l = F<double>(1, 2, 3);
  EXPECT_TRUE(l.InsertSorted(2) == 2 && l.InsertSorted(0) == 0 && l.InsertSorted(9) == 5);
  EXPECT_TRUE(Is(l, {0, 1, 2, 2, 3, 9}, true));
  // Unflagged: appended, sorted, then found (first of equals).
  LD u = U<double>(3, 1, 2);
  EXPECT_EQ(u.InsertSorted(2), 1);
  EXPECT_TRUE(Is(u, {1, 2, 2, 3}, true));
  LD w = U<double>(5, 4);
  EXPECT_EQ(w.InsertSorted(w.GetFast(0)), 1);  // a value of the list itself
  EXPECT_TRUE(Is(w, {4, 5, 5}));
}

TEST_F(TListTest, RemovalKeepsOrderAndFlag) {
  const C_ERROR* bad = &TerrInvalidIndex;
  Steps(F(0, 1, 2, 3, 4, 5), {{[](LI& l) { l.Remove(0); }, {1, 2, 3, 4, 5}, 1},
                              {[](LI& l) { l.Remove(1, 2); }, {1, 4, 5}, 1},
                              {[](LI& l) { l.Remove(2, 2); }, {1, 4, 5}, 1, bad},
                              {[](LI& l) { l.RemoveLast(-1); }, {1, 5}, 1},
                              {[](LI& l) { l.RemoveLast(), l.RemoveLast(); }, {}, 1},
                              {[](LI& l) { l.RemoveLast(); }, {}, 1, bad}});
  Steps(U(3, 1, 3, 2, 1, 3), {{[](LI& l) { l.RemoveMultiples(); }, {3, 1, 2}, 0}});
  Steps(F(1, 1, 2, 3, 3, 3, 4), {{[](LI& l) { l.RemoveMultiples(); }, {1, 2, 3, 4}, 1}});
  Steps(U(5, 1, 7, 3, 9, 3),
        {{[](LI& l) { l.RemoveOutOfRange(3, 7); }, {5, 7, 3, 3}, 0},  // bounds included
         {[](LI& l) { l.RemoveOutOfRange(l.GetFast(2), l.GetFast(0)); }, {5, 3, 3}, 0}});
  // An error left pending by an earlier step stops the removal.
  Steps(U(4, 5, 6), {{[](LI& l) { l.FindAndRemove(5); }, {4, 6}, 0},
                     {[](LI& l) { l.FindAndRemove(5); }, {4, 6}, 0, &TerrListNotFound},
                     {[](LI& l) { CerrInvalidValue.Trigger(), l.FindAndRemove(4); }, {4, 6}, 0,
                      &CerrInvalidValue}});
}

TEST_F(TListTest, ReplaceAndReorder) {
  Steps(F(1, 3, 5),
        {{[](LI& l) { l.Replace(1, 4); }, {1, 4, 5}, 1},
         {[](LI& l) { l.Replace(1, 6); }, {1, 6, 5}, 0},  // successor 5 < 6
         {[](LI& l) { l.SetSorted(true), l.Replace(2, 1); }, {1, 6, 1}, 0},  // predecessor 6 > 1
         {[](LI& l) { l.Replace(3, 1); }, {1, 6, 1}, 0, &TerrInvalidIndex},
         {[](LI& l) { l.SetSorted(true), l.Swap(0, 1); }, {6, 1, 1}, 0},
         {[](LI& l) { l.SetSorted(true), l.Invert(); }, {1, 1, 6}, 0}});
  // Element i moves to (i + k) mod number; nothing happens when that is i.
  Steps(F(10, 20, 30), {{[](LI& l) { l.Rotate(3); }, {10, 20, 30}, 1},
                        {[](LI& l) { l.Rotate(-2); }, {30, 10, 20}, 0},
                        {[](LI& l) { l.Rotate(7); }, {20, 30, 10}, 0}});
  Steps(LI(), {{[](LI& l) { l.Rotate(5); }, {}, 0}});
  LI sh = F(0, 1, 2, 3, 4, 5, 6, 7, 8, 9);
  sh.Shuffle();
  VI v = Items(sh);
  std::sort(v.begin(), v.end());
  EXPECT_TRUE(v == Items(F(0, 1, 2, 3, 4, 5, 6, 7, 8, 9)) && !sh.IsSorted());
}

TEST_F(TListTest, SwapBlocksReassemblesAndChecksBlocks) {
  LI l = F(0, 1, 2, 3, 4, 5);
  l.GrowAuto(20);
  l.SwapBlocks(U(4, 1, 0), U(2, 3, 1));
  EXPECT_TRUE(Is(l, {4, 5, 1, 2, 3, 0}, false) && l.GetSize() == 6);
  // A block past the end, the counts one short.
  EXPECT_TRUE(Raises(CerrInvalidValue, [&] { l.SwapBlocks(U(4, 0), U(3, 3)); }));
  EXPECT_TRUE(Raises(CerrInvalidValue, [&] { l.SwapBlocks(U(0), U(5)); }));
  EXPECT_TRUE(Is(l, {4, 5, 1, 2, 3, 0}));
}

TEST_F(TListTest, SearchFindsTheFirstEqualAndIsBinaryOnFlaggedLists) {
  LI l = F(1, 2, 2, 2, 3);
  EXPECT_TRUE(l.Search(0) == -1 && l.Search(4) == -1 && F().Search(1) == -1);
  EXPECT_TRUE(Raises(TerrListNotFound, [&] { EXPECT_EQ(l.Find(7), -1); }));
  LI w = U(5, 1, 2, 3, 4);  // unflagged: a linear scan
  EXPECT_EQ(w.Search(5), 0);
  LI runs;
  for (int k = 0; k < 1000; ++k) runs.Append(k / 7);
  runs.SetSorted(true);
  for (int v = 0; v < 143; ++v) EXPECT_EQ(runs.Search(v), v * 7);
  EXPECT_EQ(runs.Search(143), -1);
}

TEST_F(TListTest, MinMaxAndInterval) {
  LI u = U(4, 1, 7, 1, 7);
  EXPECT_TRUE(u.FindMin() == 1 && u.FindMax() == 2);  // the first of equals
  EXPECT_TRUE(Raises(TerrListIsVoid, [&] { EXPECT_EQ(LI().FindMax(), -1); }));
  LD eq = F<double>(1, 2, 2, 2, 3);
  EXPECT_EQ(eq.FindInterval(2), 3);  // the last of the equal run
  eq.SetSorted(false);
  EXPECT_TRUE(Raises(TerrListNotSorted, [&] { EXPECT_EQ(eq.FindInterval(2.5), 0); }));
  EXPECT_TRUE(Raises(TerrListIsVoid, [&] { EXPECT_EQ(F<double>().FindInterval(1), 0); }));
  // Against a linear scan on a long list, both ends included.
  LD knots;
  for (int k = 0; k < 200; ++k) knots.Append(double(k / 3));
  knots.SetSorted(true);
  for (double v = -1.5; v < 70; v += 0.25) {
    int expect = -1;
    for (int k = 0; k < knots.GetNumber(); ++k) expect = knots.GetFast(k) <= v ? k : expect;
    EXPECT_EQ(knots.FindInterval(v), expect) << v;
  }
}

TEST_F(TListTest, ComparisonsAndContainment) {
  LI a = U(1, 2, 3);
  EXPECT_TRUE(a == F(1, 2, 3) && a != U(1, 2) && LI() == LI(5) && a > U(9, 9));  // numbers only
  EXPECT_TRUE(a.StartsWith(U(1, 2)) && a.EndsWith(U(2, 3)) && a.Contains(U(1, 3)));
  EXPECT_FALSE(a.StartsWith(U(1, 2, 3, 4)) || a.EndsWith(U(1, 3)) || a.Contains(U(3, 1)));
}

TEST_F(TListTest, SetOperations) {
  // Flagged lists merge from the ends, each match using one element of the
  // other list; otherwise each element is searched (an empty unflagged other
  // included). Unite adds the missing elements (in descending order when
  // merging) and clears the flag.
  const struct {
    void (LI::*op)(const LI&);
    LI a, b;
    VI result;
    int sorted;
  } cases[] = {{&LI::Intersect, F(1, 2, 2, 3), F(2, 2, 5), {2, 2}, 1},
               {&LI::Intersect, F(1, 2), LI(), {}, 1},
               {&LI::Intersect, U(3, 1, 2, 2, 5), U(2, 3), {3, 2, 2}, 0},
               {&LI::Subtract, F(1, 2, 2, 3, 5), F(0, 2, 4, 5, 6), {1, 2, 3}, 1},
               {&LI::Subtract, U(3, 1, 2, 2, 5), F(2, 5), {3, 1}, 0},
               {&LI::Unite, F(1, 3, 5), F(0, 3, 4, 6), {1, 3, 5, 6, 4, 0}, 0},
               {&LI::UniteExc, U(1, 2, 3, 2), U(4, 2, 5), {1, 3, 4, 5}, 0}};
  for (const auto& c : cases) {
    LI a = c.a;
    (a.*c.op)(c.b);
    EXPECT_TRUE(Is(a, c.result, c.sorted)) << &c - cases;
  }
  // A list combined with itself.
  for (auto op : {&LI::Intersect, &LI::Subtract, &LI::Unite, &LI::UniteExc}) {
    LI self = U(2, 1);
    (self.*op)(self);
    EXPECT_TRUE(Is(self, op == &LI::Intersect || op == &LI::Unite ? VI{2, 1} : VI{}));
  }
}

TEST_F(TListTest, SortMatchesStdSortAroundTheInsertionSortThreshold) {
  std::mt19937 rng(12345);
  for (int n : {0, 1, 2, 8, 9, 257, 4099, 4100}) {
    std::uniform_int_distribution<int> d(0, n == 4099 ? 3 : 1000000);  // many duplicates, or few
    LD l;
    std::vector<double> ref;
    for (int k = 0; k < n; ++k) {
      ref.push_back(d(rng) * 0.5);
      l.Append(ref.back());
    }
    l.Sort();
    std::sort(ref.begin(), ref.end());
    EXPECT_TRUE(Is(l, ref, true)) << "n=" << n;
  }
  for (int shape = 0; shape < 3; ++shape) {  // ascending, descending, constant
    LI l;
    for (int k = 0; k < 5000; ++k) l.Append(shape == 0 ? k : shape == 1 ? 5000 - k : 7);
    l.Sort();
    VI v = Items(l);
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
  }
  LI flagged = F(3, 1, 2);
  flagged.Sort();  // left as it is
  EXPECT_TRUE(Is(flagged, {3, 1, 2}));
}

TEST_F(TListTest, StableSortKeepsOrderOfEqualElements) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> d(0, 9);
  for (int n : {7, 1001}) {
    T_LIST<KEYED> l(n + 3);
    std::vector<std::pair<int, int>> ref;
    for (int k = 0; k < n; ++k) {
      l.Append(KEYED{d(rng), k});
      ref.emplace_back(l.GetLast().key, k);
    }
    l.StableSort();
    std::stable_sort(ref.begin(), ref.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    EXPECT_TRUE(l.IsSorted());
    ASSERT_EQ(NS(l), (VI{n, n}));  // new storage of exactly number
    for (int k = 0; k < n; ++k) {
      EXPECT_EQ(std::make_pair(l.GetFast(k).key, l.GetFast(k).tag), ref[k]) << k;
    }
  }
}

TEST_F(TListTest, SortIndexesOrdersIndicesOnly) {
  LD values = U<double>(5, 3, 9, 1, 7, 3, 8, 0, 2, 6, 4);
  LI ids = F(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
  values.SortIndexes(CompareDoubles, &ids);
  const VI order = Items(ids);  // the two 3s in either order
  EXPECT_TRUE(order == (VI{7, 3, 8, 1, 5, 10, 0, 9, 4, 6, 2}) ||
              order == (VI{7, 3, 8, 5, 1, 10, 0, 9, 4, 6, 2}));
  EXPECT_FALSE(ids.IsSorted());
  EXPECT_TRUE(Is(values, {5, 3, 9, 1, 7, 3, 8, 0, 2, 6, 4}));
  // A sub-range, with the positions after or before the comparison and the
  // index list by pointer or reference; positions outside keep their indices.
  LI p1 = U(0, 1, 2, 3, 4, 5), p2 = p1;
  values.SortIndexes(CompareDoubles, 1, 4, &p1);
  values.SortIndexes(1, 4, CompareDoubles, p2);
  EXPECT_TRUE(Is(p1, {0, 3, 1, 4, 2, 5}) && Is(p2, {0, 3, 1, 4, 2, 5}));
  // Errors leave the indices; a flagged list does nothing.
  LI bad = U(0, 1, 2), outside = U(2, 40, 1);
  EXPECT_TRUE(Raises(TerrInvalidIndex, [&] { values.SortIndexes(CompareDoubles, &outside); }));
  EXPECT_TRUE(Is(outside, {2, 40, 1}));
  F<double>(3, 2, 1).SortIndexes(CompareDoubles, &bad);
  EXPECT_TRUE(Is(bad, {0, 1, 2}));
}

TEST_F(TListTest, StorageHandOverSlicesAndShift) {
  LI l = F(1, 2, 3), other = F(7, 8);
  int n = 0;
  int* raw = l.Detach(&n);
  l.ReplaceAll(n, &raw);  // the caller's pointer is nulled
  EXPECT_TRUE(raw == nullptr && Is(l, {1, 2, 3}, false));
  other.Grow(10);
  l.Grab(&other);
  EXPECT_TRUE(Is(l, {7, 8}, true) && NS(l) == (VI{2, 10}) && NS(other) == (VI{0, 0}));

  LI src = F(0, 1, 2, 3, 4), out = U(9, 9, 9, 9, 9, 9);
  src.GetSlice(1, 3, &out);
  EXPECT_TRUE(Is(out, {1, 2, 3}, true));
  EXPECT_TRUE(Raises(TerrInvalidIndex, [&] { src.GetSlice(3, 5, &out); }));
  EXPECT_TRUE(Is(out, {1, 2, 3}));
  src.GetSlice(1, 2, &src);
  EXPECT_TRUE(Is(src, {1, 2}));

  // Shift opens slots that keep their old contents, in storage of exactly
  // the new number; growing by SetNumber clears the flag.
  LI sh = F(1, 2, 3), fill(2);
  sh.Shift(2, 1);
  EXPECT_TRUE(Is(sh, {1, 2, 3, 2, 3}, false) && sh.GetSize() == 5);
  EXPECT_TRUE(Raises(TerrInvalidIndex, [&] { sh.Shift(1, 6); }));
  fill.Append(5);
  fill.FillList(4, 8);
  EXPECT_TRUE(Is(fill, {8, 8, 8, 8}) && fill.GetSize() == 4);
  Steps(F(1, 2), {{[](LI& l) { l.SetNumber(1); }, {1}, 1},
                  {[](LI& l) { l.SetNumber(-1); }, {1}, 1, &TerrInvalidIndex},
                  {[](LI& l) { l.SetNumber(2), l[1] = 5; }, {1, 5}, 0}});
}

TEST_F(TListTest, RecordsAreTheCountTheElementsThenTheFlag) {
  LI l = F(4, -2);
  C_FILE_MEMORY f(C_FILE::TEXT), b(C_FILE::BINARY);
  l.Save(&f);
  l.Save(&b);
  EXPECT_EQ(f.GetContent(), "2\n4\n-2\n1\n");
  const int expect[4] = {2, 4, -2, 1};
  ASSERT_EQ(b.GetContent().size(), sizeof expect);
  EXPECT_EQ(std::memcmp(b.GetContent().data(), expect, sizeof expect), 0);
  for (C_FILE_MEMORY* file : {&f, &b}) {
    file->Rewind();
    LI back = U(1);
    back.Load(0, file);
    EXPECT_TRUE(Is(back, {4, -2}, true));
    EXPECT_TRUE(file->AtEnd());
  }
  // Elements without a record fail.
  C_FILE_MEMORY p(C_FILE::TEXT);
  T_LIST<void*> ptrs;
  ptrs.Append(nullptr);
  EXPECT_TRUE(Raises(CerrInvalidValue, [&] { ptrs.Save(&p); }));
}

TEST_F(TListTest, FailedLoadsLeaveTheListAsItWas) {
  // Truncated; a negative count; a corrupted count far beyond the file, which
  // ends at the file's end without asking for room for the count first.
  for (const char* text : {"3\n1\n2\n", "-1\n0\n", "2000000000\n1\n2\n"}) {
    C_FILE_MEMORY f(C_FILE::TEXT, text);
    LI keep = F(9);
    keep.Load(0, &f);
    EXPECT_TRUE(text[0] == '-' ? Raised(CerrInvalidValue) : bool(C_ERROR::Is())) << text;
    C_ERROR::ClearPending();
    EXPECT_TRUE(Is(keep, {9}, true)) << text;
  }
}

}  // namespace
