#include "containers/t_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"

namespace {

template <class T>
T_LIST<T> Make(std::initializer_list<T> values, bool sorted) {
  T_LIST<T> l;
  for (const T& v : values) l.Append(v);
  l.SetSorted(sorted);
  return l;
}

template <class T>
std::vector<T> Items(const T_LIST<T>& l) {
  std::vector<T> v;
  for (int k = 0; k < l.GetNumber(); ++k) v.push_back(l.GetFast(k));
  return v;
}

using VD = std::vector<double>;
using VI = std::vector<int>;

// True when exactly e is pending; clears it.
bool Raised(const C_ERROR& e) {
  bool same = C_ERROR::GetPending() == &e;
  C_ERROR::ClearPending();
  return same;
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
  void Save(C_FILE* f) const {
    Tsave(key, f, 0);
    Tsave(tag, f, 0);
  }
  void Load(int version, C_FILE* f) {
    Tload(version, f, &key);
    if (C_ERROR::Is()) return;
    Tload(version, f, &tag);
  }
};

}  // namespace

TEST_F(TListTest, ConstructionAndCopyKeepCapacityRulesAndFlag) {
  T_LIST<double> empty;
  EXPECT_EQ(empty.GetNumber(), 0);
  EXPECT_EQ(empty.GetSize(), 0);
  EXPECT_TRUE(empty.IsVoid());

  T_LIST<double> reserved(7);
  EXPECT_EQ(reserved.GetSize(), 7);
  EXPECT_EQ(reserved.GetNumber(), 0);

  const double raw[] = {3, 1, 2};
  T_LIST<double> fromArray(3, raw);
  EXPECT_EQ(Items(fromArray), (VD{3, 1, 2}));
  EXPECT_EQ(fromArray.GetSize(), 3);
  EXPECT_FALSE(fromArray.IsSorted());

  T_LIST<double> src(10);
  src.Append(1.0);
  src.Append(2.0);
  src.SetSorted(true);
  T_LIST<double> copy(src);
  EXPECT_EQ(copy.GetSize(), 2);  // exactly the source's number
  EXPECT_TRUE(copy.IsSorted());
  EXPECT_EQ(Items(copy), (VD{1, 2}));

  // Assignment keeps storage that is large enough, and copies the flag.
  T_LIST<double> big(20);
  big.Append(9.0);
  big = src;
  EXPECT_EQ(big.GetSize(), 20);
  EXPECT_TRUE(big.IsSorted());
  EXPECT_EQ(Items(big), (VD{1, 2}));
  T_LIST<double> small(1);
  small = fromArray;
  EXPECT_EQ(small.GetSize(), 3);
  EXPECT_EQ(Items(small), (VD{3, 1, 2}));
  small = small;  // self-assignment changes nothing
  EXPECT_EQ(Items(small), (VD{3, 1, 2}));

  T_LIST<double>* c = src.Clone();
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(*c == src);
  EXPECT_TRUE(c->IsSorted());
  delete c;
}

TEST_F(TListTest, GrowthDoublesCapacity) {
  T_LIST<int> l;
  l.Append(1);
  EXPECT_EQ(l.GetSize(), 1);  // capacity 0 -> 1
  l.Append(2);
  EXPECT_EQ(l.GetSize(), 2);
  l.Append(3);
  EXPECT_EQ(l.GetSize(), 4);

  T_LIST<int> five(5);
  for (int k = 0; k < 5; ++k) five.Append(k);
  EXPECT_EQ(five.GetSize(), 5);
  five.Append(5);
  EXPECT_EQ(five.GetSize(), 10);  // full at 5 -> 10

  // n copies: max(2 x capacity, number + n).
  T_LIST<int> m(2);
  m.Append(0);
  m.Append(0);
  m.Append(7, 1);
  EXPECT_EQ(m.GetSize(), 9);
  EXPECT_EQ(m.GetNumber(), 9);

  // Grow is exact and never shrinks; GrowAuto doubles.
  T_LIST<int> g(4);
  g.Grow(3);
  EXPECT_EQ(g.GetSize(), 4);
  g.Grow(6);
  EXPECT_EQ(g.GetSize(), 6);
  g.GrowAuto(7);
  EXPECT_EQ(g.GetSize(), 12);
  g.GrowAuto(30);
  EXPECT_EQ(g.GetSize(), 30);
  T_LIST<int> z;
  z.GrowAuto(0);
  EXPECT_EQ(z.GetSize(), 0);

  // SetNumber grows by the same rule; Clear keeps storage, ClearAndFree not.
  T_LIST<int> s(3);
  s.SetNumber(4);
  EXPECT_EQ(s.GetNumber(), 4);
  EXPECT_EQ(s.GetSize(), 6);
  s.Clear();
  EXPECT_EQ(s.GetNumber(), 0);
  EXPECT_EQ(s.GetSize(), 6);
  s.SetSorted(true);
  s.ClearAndFree();
  EXPECT_EQ(s.GetSize(), 0);
  EXPECT_TRUE(s.IsSorted());

  // A large list built by appends ends ordered and complete.
  T_LIST<int> many;
  for (int k = 0; k < 100000; ++k) many.Append(k);
  EXPECT_EQ(many.GetNumber(), 100000);
  EXPECT_EQ(many.GetSize(), 131072);
  EXPECT_EQ(many.GetFast(99999), 99999);
}

TEST_F(TListTest, AccessChecksIndexes) {
  T_LIST<double> l = Make<double>({1, 2, 3}, true);
  EXPECT_EQ(l.GetLast(0), 3);
  EXPECT_EQ(l.GetLast(), 3);
  EXPECT_EQ(l.GetLast(-2), 1);
  EXPECT_EQ(l.Get(1), 2);

  const double& bad = l.GetLast(1);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  EXPECT_EQ(bad, 0.0);
  EXPECT_EQ(&bad, &T_LIST<double>::GetDefault());
  EXPECT_EQ(l.Get(-1), 0.0);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  T_LIST<void*> ptrs;
  EXPECT_EQ(ptrs.Get(0), nullptr);
  EXPECT_TRUE(Raised(TerrInvalidIndex));

  // Writable pointers clear the flag; failures give null and keep it.
  EXPECT_EQ(l.GetAdr(3), nullptr);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  EXPECT_TRUE(l.IsSorted());
  double* p = l.GetAdr(0);
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(l.IsSorted());
  *p = 10;
  EXPECT_EQ(l.GetFast(0), 10);
  EXPECT_EQ(*l.GetLastAdr(), 3);
  T_LIST<double> none;
  EXPECT_EQ(none.GetLastAdr(), nullptr);
  EXPECT_TRUE(Raised(TerrListIsVoid));

  // Fast access leaves the flag alone.
  l.SetSorted(true);
  l[1] = 5;
  *l.GetAdrFast(2) = 6;
  EXPECT_TRUE(l.IsSorted());
  EXPECT_EQ(Items(l), (VD{10, 5, 6}));

  none.CheckIsVoid();
  EXPECT_FALSE(C_ERROR::Is());
  none.CheckIsNotVoid();
  EXPECT_TRUE(Raised(TerrListIsVoid));
  l.CheckIsVoid();
  EXPECT_TRUE(Raised(TerrListIsNotVoid));

  // GetMin/GetMax give the static element for an empty list.
  EXPECT_EQ(none.GetMin(), 0.0);
  EXPECT_TRUE(Raised(TerrListIsVoid));
  l.SetSorted(false);
  EXPECT_EQ(l.GetMin(), 5);
  EXPECT_EQ(l.GetMax(), 10);
}

TEST_F(TListTest, AppendKeepsFlagOnlyWhileOrdered) {
  T_LIST<double> l = Make<double>({1, 2, 3}, true);
  l.Append(4.0);
  EXPECT_TRUE(l.IsSorted());
  l.Append(4.0);  // equal neighbours are in order
  EXPECT_TRUE(l.IsSorted());
  l.Append(2, 5.0);
  EXPECT_TRUE(l.IsSorted());
  l.Append(1, 4.5);
  EXPECT_FALSE(l.IsSorted());

  T_LIST<double> m = Make<double>({1, 2, 3}, true);
  m.Append(0.0);
  EXPECT_FALSE(m.IsSorted());

  // Appending a list or an array clears the flag even when still ordered.
  T_LIST<double> a = Make<double>({1, 2}, true);
  a.Append(Make<double>({3, 4}, true));
  EXPECT_FALSE(a.IsSorted());
  EXPECT_EQ(Items(a), (VD{1, 2, 3, 4}));
  const double more[] = {5, 6};
  a.SetSorted(true);
  a.Append(2, more);
  EXPECT_FALSE(a.IsSorted());
  EXPECT_EQ(Items(a), (VD{1, 2, 3, 4, 5, 6}));
}

TEST_F(TListTest, AppendAndInsertOfValuesHeldByTheListItself) {
  // The storage moves while the value is read from it.
  T_LIST<double> l = Make<double>({1, 2}, false);
  ASSERT_EQ(l.GetSize(), 2);
  l.Append(l.GetFast(0));
  EXPECT_EQ(Items(l), (VD{1, 2, 1}));
  l.Append(3, l.GetFast(1));
  EXPECT_EQ(Items(l), (VD{1, 2, 1, 2, 2, 2}));
  l.Append(l);
  EXPECT_EQ(Items(l), (VD{1, 2, 1, 2, 2, 2, 1, 2, 1, 2, 2, 2}));

  // Insert in place: the tail moves over the value.
  T_LIST<int> m(10);
  for (int k = 0; k < 4; ++k) m.Append(k);
  m.Insert(0, m.GetFast(0));
  EXPECT_EQ(Items(m), (VI{0, 0, 1, 2, 3}));
  m.Insert(1, 2, m.GetFast(4));
  EXPECT_EQ(Items(m), (VI{0, 3, 3, 0, 1, 2, 3}));
  T_LIST<int> n = Make<int>({1, 2}, false);
  n.Insert(1, n);
  EXPECT_EQ(Items(n), (VI{1, 1, 2, 2}));
  n.Append(2, n.GetAdrFast(0));
  EXPECT_EQ(Items(n), (VI{1, 1, 2, 2, 1, 1}));
  n.FillList(3, n.GetFast(2));
  EXPECT_EQ(Items(n), (VI{2, 2, 2}));
}

TEST_F(TListTest, InsertChecksIndexAndNeighbours) {
  T_LIST<int> l = Make<int>({1, 2}, true);
  l.Insert(0, Make<int>({5, 6}, true));
  EXPECT_FALSE(l.IsSorted());
  EXPECT_EQ(Items(l), (VI{5, 6, 1, 2}));

  T_LIST<int> m = Make<int>({1, 2}, true);
  m.Insert(2, Make<int>({3, 4}, true));
  EXPECT_TRUE(m.IsSorted());
  m.Insert(0, 0);
  EXPECT_TRUE(m.IsSorted());
  m.Insert(2, 2, 1);  // [0 1 1 1 2 3 4]
  EXPECT_TRUE(m.IsSorted());
  EXPECT_EQ(Items(m), (VI{0, 1, 1, 1, 2, 3, 4}));
  m.Insert(3, 9);  // 9 > 1 after it
  EXPECT_FALSE(m.IsSorted());

  // The inserted block itself must be ordered too.
  T_LIST<int> k = Make<int>({1, 9}, true);
  k.Insert(1, Make<int>({5, 3}, false));
  EXPECT_FALSE(k.IsSorted());

  // Bad indexes leave the list unchanged.
  T_LIST<int> u = Make<int>({1, 2}, true);
  u.Insert(3, 7);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  u.Insert(-1, 2, 7);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  u.Insert(5, Make<int>({1}, false));
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  EXPECT_EQ(Items(u), (VI{1, 2}));
  EXPECT_TRUE(u.IsSorted());
}

TEST_F(TListTest, InsertSortedPlacesAfterEqualElements) {
  T_LIST<double> l = Make<double>({1, 2, 3}, true);
  EXPECT_EQ(l.InsertSorted(2), 2);
  EXPECT_EQ(Items(l), (VD{1, 2, 2, 3}));
  EXPECT_EQ(l.InsertSorted(0), 0);
  EXPECT_EQ(l.InsertSorted(9), 5);
  EXPECT_TRUE(l.IsSorted());
  EXPECT_EQ(Items(l), (VD{0, 1, 2, 2, 3, 9}));

  // Unflagged: appended, sorted, then found (first of equals).
  T_LIST<double> u = Make<double>({3, 1, 2}, false);
  EXPECT_EQ(u.InsertSorted(2), 1);
  EXPECT_TRUE(u.IsSorted());
  EXPECT_EQ(Items(u), (VD{1, 2, 2, 3}));
  // A value taken from the list itself.
  T_LIST<double> w = Make<double>({5, 4}, false);
  EXPECT_EQ(w.InsertSorted(w.GetFast(0)), 1);
  EXPECT_EQ(Items(w), (VD{4, 5, 5}));
  T_LIST<double> e;
  e.SetSorted(true);
  EXPECT_EQ(e.InsertSorted(4), 0);
}

TEST_F(TListTest, RemovalFamily) {
  T_LIST<int> l = Make<int>({0, 1, 2, 3, 4, 5}, true);
  l.Remove(0);
  l.Remove(1, 2);  // drops 2, 3
  EXPECT_EQ(Items(l), (VI{1, 4, 5}));
  EXPECT_TRUE(l.IsSorted());
  l.RemoveLast();
  EXPECT_EQ(Items(l), (VI{1, 4}));
  l.RemoveLast(-1);
  EXPECT_EQ(Items(l), (VI{4}));

  T_LIST<int> e = Make<int>({1, 2, 3}, false);
  e.Remove(3);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  e.Remove(2, 2);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  e.Remove(-1, 1);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  e.Remove(0, -1);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  e.RemoveLast(1);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  e.Remove(1, 2);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_EQ(Items(e), (VI{1}));
  T_LIST<int> none;
  none.RemoveLast();
  EXPECT_TRUE(Raised(TerrInvalidIndex));

  T_LIST<int> dup = Make<int>({3, 1, 3, 2, 1, 3}, false);
  dup.RemoveMultiples();
  EXPECT_EQ(Items(dup), (VI{3, 1, 2}));
  T_LIST<int> sdup = Make<int>({1, 1, 2, 3, 3, 3, 4}, true);
  sdup.RemoveMultiples();
  EXPECT_EQ(Items(sdup), (VI{1, 2, 3, 4}));
  EXPECT_TRUE(sdup.IsSorted());

  T_LIST<int> r = Make<int>({5, 1, 7, 3, 9, 3}, false);
  r.RemoveOutOfRange(3, 7);  // bounds included
  EXPECT_EQ(Items(r), (VI{5, 7, 3, 3}));
  r.RemoveOutOfRange(r.GetFast(2), r.GetFast(0));  // bounds read from the list
  EXPECT_EQ(Items(r), (VI{5, 3, 3}));

  T_LIST<int> f = Make<int>({4, 5, 6}, false);
  f.FindAndRemove(5);
  EXPECT_EQ(Items(f), (VI{4, 6}));
  f.FindAndRemove(5);
  EXPECT_TRUE(Raised(TerrListNotFound));
  EXPECT_EQ(Items(f), (VI{4, 6}));
  // An error left pending by an earlier step stops the removal.
  CerrInvalidValue.Trigger();
  f.FindAndRemove(4);
  EXPECT_TRUE(Raised(CerrInvalidValue));
  EXPECT_EQ(Items(f), (VI{4, 6}));
}

TEST_F(TListTest, ReplaceAndReorder) {
  T_LIST<int> l = Make<int>({1, 3, 5}, true);
  l.Replace(1, 4);
  EXPECT_TRUE(l.IsSorted());
  l.Replace(1, 6);  // successor 5 < 6
  EXPECT_FALSE(l.IsSorted());
  l.SetSorted(true);
  l.Replace(2, 7);
  l.Replace(0, 0);
  EXPECT_TRUE(l.IsSorted());
  l.Replace(2, 1);  // predecessor 6 > 1
  EXPECT_FALSE(l.IsSorted());
  l.Replace(3, 1);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  EXPECT_EQ(Items(l), (VI{0, 6, 1}));
  l.SetSorted(true);
  l.ReplaceFast(0, 9);
  EXPECT_TRUE(l.IsSorted());

  T_LIST<int> s = Make<int>({1, 2, 3}, true);
  s.Swap(0, 3);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  EXPECT_TRUE(s.IsSorted());
  s.SwapFast(0, 1);
  EXPECT_TRUE(s.IsSorted());
  s.Swap(0, 2);
  EXPECT_FALSE(s.IsSorted());
  EXPECT_EQ(Items(s), (VI{3, 1, 2}));
  s.Invert();
  EXPECT_EQ(Items(s), (VI{2, 1, 3}));

  // Rotate: element i moves to (i + k) mod number.
  T_LIST<int> r = Make<int>({10, 20, 30}, true);
  r.Rotate(3);
  EXPECT_TRUE(r.IsSorted());
  EXPECT_EQ(Items(r), (VI{10, 20, 30}));
  r.Rotate(1);
  EXPECT_EQ(Items(r), (VI{30, 10, 20}));
  EXPECT_FALSE(r.IsSorted());
  r.Rotate(-1);
  EXPECT_EQ(Items(r), (VI{10, 20, 30}));
  r.Rotate(-1);
  EXPECT_EQ(Items(r), (VI{20, 30, 10}));
  r.Rotate(7);  // 7 mod 3 = 1
  EXPECT_EQ(Items(r), (VI{10, 20, 30}));
  T_LIST<int> empty;
  empty.Rotate(5);
  EXPECT_EQ(empty.GetNumber(), 0);

  // Shuffle keeps the same elements.
  T_LIST<int> sh;
  for (int k = 0; k < 50; ++k) sh.Append(k);
  sh.SetSorted(true);
  sh.Shuffle();
  EXPECT_FALSE(sh.IsSorted());
  VI v = Items(sh);
  std::sort(v.begin(), v.end());
  for (int k = 0; k < 50; ++k) EXPECT_EQ(v[k], k);
}

TEST_F(TListTest, SwapBlocksReassemblesAndChecksBlocks) {
  T_LIST<int> l;
  for (int k = 0; k < 6; ++k) l.Append(k);
  l.GrowAuto(20);
  l.SetSorted(true);
  l.SwapBlocks(Make<int>({4, 1, 0}, false), Make<int>({2, 3, 1}, false));
  EXPECT_EQ(Items(l), (VI{4, 5, 1, 2, 3, 0}));
  EXPECT_EQ(l.GetSize(), 6);
  EXPECT_FALSE(l.IsSorted());

  l.SwapBlocks(Make<int>({0, 1}, false), Make<int>({1}, false));
  EXPECT_TRUE(Raised(CerrInvalidValue));
  l.SwapBlocks(Make<int>({4, 0}, false), Make<int>({3, 3}, false));  // past the end
  EXPECT_TRUE(Raised(CerrInvalidValue));
  l.SwapBlocks(Make<int>({0}, false), Make<int>({5}, false));  // one short
  EXPECT_TRUE(Raised(CerrInvalidValue));
  EXPECT_EQ(Items(l), (VI{4, 5, 1, 2, 3, 0}));
}

TEST_F(TListTest, SearchIsBinaryOnFlaggedLists) {
  T_LIST<int> l = Make<int>({1, 2, 2, 2, 3}, true);
  EXPECT_EQ(l.Search(2), 1);
  EXPECT_EQ(l.Search(1), 0);
  EXPECT_EQ(l.Search(3), 4);
  EXPECT_EQ(l.Search(0), -1);
  EXPECT_EQ(l.Search(4), -1);
  EXPECT_EQ(l.Search(5), -1);

  // A wrongly flagged list shows the search is binary.
  T_LIST<int> w = Make<int>({5, 1, 2, 3, 4}, true);
  EXPECT_EQ(w.Search(5), -1);
  w.SetSorted(false);
  EXPECT_EQ(w.Search(5), 0);
  EXPECT_EQ(w.Search(3), 3);

  // Every value of a long flagged list with runs is found at its first place.
  T_LIST<int> runs;
  for (int k = 0; k < 1000; ++k) runs.Append(k / 7);
  runs.SetSorted(true);
  for (int v = 0; v < 143; ++v) EXPECT_EQ(runs.Search(v), v * 7);
  EXPECT_EQ(runs.Search(143), -1);

  EXPECT_EQ(l.Find(3), 4);
  EXPECT_EQ(l.Find(7), -1);
  EXPECT_TRUE(Raised(TerrListNotFound));
  T_LIST<int> none;
  EXPECT_EQ(none.Search(1), -1);
  none.SetSorted(true);
  EXPECT_EQ(none.Search(1), -1);
}

TEST_F(TListTest, MinMaxAndInterval) {
  T_LIST<int> u = Make<int>({4, 1, 7, 1, 7}, false);
  EXPECT_EQ(u.FindMin(), 1);
  EXPECT_EQ(u.FindMax(), 2);
  T_LIST<int> s = Make<int>({1, 1, 5}, true);
  EXPECT_EQ(s.FindMin(), 0);
  EXPECT_EQ(s.FindMax(), 2);
  T_LIST<int> none;
  EXPECT_EQ(none.FindMin(), -1);
  EXPECT_TRUE(Raised(TerrListIsVoid));
  EXPECT_EQ(none.FindMax(), -1);
  EXPECT_TRUE(Raised(TerrListIsVoid));

  T_LIST<double> f = Make<double>({1, 2, 3}, true);
  EXPECT_EQ(f.FindInterval(2.5), 1);
  EXPECT_EQ(f.FindInterval(3), 2);
  EXPECT_EQ(f.FindInterval(4), 2);
  EXPECT_EQ(f.FindInterval(0), -1);
  EXPECT_EQ(f.FindInterval(1), 0);
  EXPECT_EQ(f.FindInterval(2), 1);
  T_LIST<double> eq = Make<double>({1, 2, 2, 2, 3}, true);
  EXPECT_EQ(eq.FindInterval(2), 3);  // the last of the equal run
  EXPECT_EQ(eq.FindInterval(1.5), 0);
  f.SetSorted(false);
  EXPECT_EQ(f.FindInterval(2.5), 0);
  EXPECT_TRUE(Raised(TerrListNotSorted));
  T_LIST<double> e;
  e.SetSorted(true);
  EXPECT_EQ(e.FindInterval(1), 0);
  EXPECT_TRUE(Raised(TerrListIsVoid));

  // Against a linear scan on a long list.
  T_LIST<double> knots;
  for (int k = 0; k < 200; ++k) knots.Append(double(k / 3));
  knots.SetSorted(true);
  for (double v = -1.5; v < 70; v += 0.25) {
    int expect = -1;
    for (int k = 0; k < knots.GetNumber(); ++k)
      if (knots.GetFast(k) <= v) expect = k;
    EXPECT_EQ(knots.FindInterval(v), expect) << v;
  }
}

TEST_F(TListTest, ComparisonsAndContainment) {
  T_LIST<int> a = Make<int>({1, 2, 3}, false);
  EXPECT_TRUE(a == Make<int>({1, 2, 3}, true));
  EXPECT_FALSE(a == Make<int>({1, 2}, false));
  EXPECT_TRUE(a != Make<int>({1, 2, 4}, false));
  EXPECT_TRUE(T_LIST<int>() == T_LIST<int>(5));
  EXPECT_TRUE(a > Make<int>({9, 9}, false));  // numbers only
  EXPECT_FALSE(Make<int>({0, 0}, false) > Make<int>({9, 9}, false));

  EXPECT_TRUE(a.StartsWith(Make<int>({1, 2}, false)));
  EXPECT_FALSE(a.StartsWith(Make<int>({2}, false)));
  EXPECT_TRUE(a.StartsWith(T_LIST<int>()));
  EXPECT_FALSE(a.StartsWith(Make<int>({1, 2, 3, 4}, false)));
  EXPECT_TRUE(a.EndsWith(Make<int>({2, 3}, false)));
  EXPECT_FALSE(a.EndsWith(Make<int>({1, 3}, false)));
  EXPECT_TRUE(a.EndsWith(T_LIST<int>()));

  EXPECT_TRUE(a.Contains(Make<int>({1, 3}, false)));
  EXPECT_FALSE(a.Contains(Make<int>({3, 1}, false)));
  EXPECT_TRUE(a.Contains(T_LIST<int>()));
  EXPECT_FALSE(a.Contains(Make<int>({1, 1}, false)));
  EXPECT_TRUE(T_LIST<int>().Contains(T_LIST<int>()));
}

TEST_F(TListTest, SetOperationsOnFlaggedLists) {
  T_LIST<int> i = Make<int>({1, 2, 2, 3}, true);
  i.Intersect(Make<int>({2, 3, 4}, true));
  EXPECT_EQ(Items(i), (VI{2, 3}));
  EXPECT_TRUE(i.IsSorted());
  T_LIST<int> i2 = Make<int>({1, 2, 2, 3}, true);
  i2.Intersect(Make<int>({2, 2, 5}, true));
  EXPECT_EQ(Items(i2), (VI{2, 2}));
  T_LIST<int> i3 = Make<int>({1, 2}, true);
  i3.Intersect(T_LIST<int>());  // other empty but unflagged: searched
  EXPECT_EQ(i3.GetNumber(), 0);

  T_LIST<int> s = Make<int>({1, 2, 2, 3}, true);
  s.Subtract(Make<int>({2}, true));
  EXPECT_EQ(Items(s), (VI{1, 2, 3}));
  T_LIST<int> s2 = Make<int>({1, 2, 2, 3, 5}, true);
  s2.Subtract(Make<int>({0, 2, 2, 4, 5, 6}, true));
  EXPECT_EQ(Items(s2), (VI{1, 3}));
  EXPECT_TRUE(s2.IsSorted());

  // The collected elements go in descending order and the flag is cleared.
  T_LIST<int> u = Make<int>({1, 3, 5}, true);
  u.Unite(Make<int>({0, 3, 4, 6}, true));
  EXPECT_EQ(Items(u), (VI{1, 3, 5, 6, 4, 0}));
  EXPECT_FALSE(u.IsSorted());
}

TEST_F(TListTest, SetOperationsOnUnflaggedLists) {
  T_LIST<int> i = Make<int>({3, 1, 2, 2, 5}, false);
  i.Intersect(Make<int>({2, 3}, false));
  EXPECT_EQ(Items(i), (VI{3, 2, 2}));  // every copy kept

  T_LIST<int> s = Make<int>({3, 1, 2, 2, 5}, false);
  s.Subtract(Make<int>({2, 5}, true));
  EXPECT_EQ(Items(s), (VI{3, 1}));

  T_LIST<int> u = Make<int>({3, 1}, false);
  u.Unite(Make<int>({1, 4, 2, 4}, false));
  EXPECT_EQ(Items(u), (VI{3, 1, 4, 2, 4}));  // against this list as it was

  // Symmetric difference.
  T_LIST<int> x = Make<int>({1, 2, 3, 2}, false);
  x.UniteExc(Make<int>({4, 2, 5}, false));
  EXPECT_EQ(Items(x), (VI{1, 3, 4, 5}));
  EXPECT_FALSE(x.IsSorted());

  // A list combined with itself.
  T_LIST<int> self = Make<int>({2, 1}, false);
  self.Unite(self);
  EXPECT_EQ(Items(self), (VI{2, 1}));
  self.Intersect(self);
  EXPECT_EQ(Items(self), (VI{2, 1}));
  self.UniteExc(self);
  EXPECT_EQ(self.GetNumber(), 0);
  T_LIST<int> sub = Make<int>({2, 1}, false);
  sub.Subtract(sub);
  EXPECT_EQ(sub.GetNumber(), 0);
}

TEST_F(TListTest, SortMatchesStdSortOnManySizes) {
  std::mt19937 rng(12345);
  const int sizes[] = {0, 1, 2, 3, 5, 8, 9, 10, 16, 17, 33, 100, 257, 1000, 4099, 20000};
  for (int n : sizes) {
    for (int spread : {3, 1000000}) {  // many duplicates, then few
      std::uniform_int_distribution<int> d(0, spread);
      T_LIST<double> l;
      std::vector<double> ref;
      for (int k = 0; k < n; ++k) {
        double v = d(rng) * 0.5;
        l.Append(v);
        ref.push_back(v);
      }
      l.SetSorted(false);
      l.Sort();
      std::sort(ref.begin(), ref.end());
      EXPECT_TRUE(l.IsSorted());
      EXPECT_EQ(Items(l), ref) << "n=" << n << " spread=" << spread;
    }
  }
  // Already ordered, reversed and constant inputs.
  for (int shape = 0; shape < 3; ++shape) {
    T_LIST<int> l;
    for (int k = 0; k < 5000; ++k) l.Append(shape == 0 ? k : shape == 1 ? 5000 - k : 7);
    l.SetSorted(false);
    l.Sort();
    VI v = Items(l);
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
  }
  // A flagged list is left as it is.
  T_LIST<int> flagged = Make<int>({3, 1, 2}, true);
  flagged.Sort();
  EXPECT_EQ(Items(flagged), (VI{3, 1, 2}));
}

TEST_F(TListTest, PartitionLeavesPivotBetweenItsSides) {
  // The kd-tree's selection relies on these bounds.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> d(0, 20);
  for (int n = 2; n < 60; ++n) {
    std::vector<int> a(n);
    for (int& v : a) v = d(rng);
    std::vector<int> sorted = a;
    std::sort(sorted.begin(), sorted.end());
    int pivot = a[n / 2];
    int i = 0, j = 0;
    Tpartition(a.data(), 0, n - 1, [](int x, int y) { return x < y; }, &i, &j);
    ASSERT_GT(i, j);
    ASSERT_LE(i, n);
    ASSERT_GE(j, 0);
    EXPECT_EQ(a[j], pivot);
    for (int k = 0; k < j; ++k) EXPECT_LE(a[k], pivot);
    for (int k = j + 1; k < i; ++k) EXPECT_EQ(a[k], pivot);
    for (int k = i; k < n; ++k) EXPECT_GE(a[k], pivot);
    std::sort(a.begin(), a.end());
    EXPECT_EQ(a, sorted);
  }
}

TEST_F(TListTest, StableSortKeepsOrderOfEqualElements) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> d(0, 9);
  for (int n : {0, 1, 2, 7, 64, 1001}) {
    T_LIST<KEYED> l(n + 3);
    std::vector<std::pair<int, int>> ref;
    for (int k = 0; k < n; ++k) {
      KEYED e;
      e.key = d(rng);
      e.tag = k;
      l.Append(e);
      ref.emplace_back(e.key, k);
    }
    l.SetSorted(false);
    l.StableSort();
    std::stable_sort(ref.begin(), ref.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    EXPECT_TRUE(l.IsSorted());
    EXPECT_EQ(l.GetSize(), n);  // new storage of exactly number
    ASSERT_EQ(l.GetNumber(), n);
    for (int k = 0; k < n; ++k) {
      EXPECT_EQ(l.GetFast(k).key, ref[k].first);
      EXPECT_EQ(l.GetFast(k).tag, ref[k].second);
    }
  }
}

namespace {
int CompareDoubles(const double* a, const double* b) { return *a > *b ? 1 : (*a < *b ? -1 : 0); }
}  // namespace

TEST_F(TListTest, SortIndexesOrdersIndicesOnly) {
  T_LIST<double> values = Make<double>({5, 3, 9, 1, 7, 3, 8, 0, 2, 6, 4}, false);
  const VD before = Items(values);
  T_LIST<int> ids;
  for (int k = 0; k < values.GetNumber(); ++k) ids.Append(k);
  ids.SetSorted(true);
  values.SortIndexes(CompareDoubles, &ids);
  EXPECT_EQ(Items(values), before);
  EXPECT_FALSE(ids.IsSorted());
  for (int k = 1; k < ids.GetNumber(); ++k)
    EXPECT_LE(values.GetFast(ids.GetFast(k - 1)), values.GetFast(ids.GetFast(k)));
  VI perm = Items(ids);
  std::sort(perm.begin(), perm.end());
  for (int k = 0; k < int(perm.size()); ++k) EXPECT_EQ(perm[k], k);

  // A sub-range; positions outside it keep their indices.
  T_LIST<int> part = Make<int>({0, 1, 2, 3, 4, 5}, false);
  values.SortIndexes(CompareDoubles, 1, 4, &part);
  EXPECT_EQ(Items(part), (VI{0, 3, 1, 4, 2, 5}));
  // The positions may also come first, and the index list by reference.
  T_LIST<int> first = Make<int>({0, 1, 2, 3, 4, 5}, false);
  values.SortIndexes(1, 4, CompareDoubles, &first);
  EXPECT_EQ(Items(first), (VI{0, 3, 1, 4, 2, 5}));
  T_LIST<int> byRef = Make<int>({0, 1, 2, 3, 4, 5}, false);
  values.SortIndexes(1, 4, CompareDoubles, byRef);
  EXPECT_EQ(Items(byRef), (VI{0, 3, 1, 4, 2, 5}));
  T_LIST<int> whole = Make<int>({5, 4, 3}, false);
  values.SortIndexes(CompareDoubles, whole);
  EXPECT_EQ(Items(whole), (VI{3, 5, 4}));  // values 3, 7, 1

  // A lambda as comparison: descending.
  T_LIST<int> desc = Make<int>({0, 1, 2, 3}, false);
  values.SortIndexes([](const double* a, const double* b) { return *a < *b ? 1 : 0; }, &desc);
  EXPECT_EQ(Items(desc), (VI{2, 0, 1, 3}));

  // Errors and the cases that do nothing.
  T_LIST<int> bad = Make<int>({0, 1, 2}, false);
  values.SortIndexes(CompareDoubles, -1, 2, &bad);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  values.SortIndexes(CompareDoubles, 0, 3, &bad);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  T_LIST<int> outside = Make<int>({2, 40, 1}, false);
  values.SortIndexes(CompareDoubles, &outside);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  EXPECT_EQ(Items(outside), (VI{2, 40, 1}));
  T_LIST<double> flagged = Make<double>({3, 2, 1}, true);
  T_LIST<int> kept = Make<int>({0, 1, 2}, false);
  flagged.SortIndexes(CompareDoubles, &kept);
  EXPECT_EQ(Items(kept), (VI{0, 1, 2}));
  T_LIST<double> one = Make<double>({1}, false);
  T_LIST<int> big = Make<int>({5, 6}, false);  // not even checked
  one.SortIndexes(CompareDoubles, 0, 9, &big);
  EXPECT_FALSE(C_ERROR::Is());

  // Long random input against std::sort of the keys.
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> d(0, 1);
  T_LIST<double> keys;
  for (int k = 0; k < 5000; ++k) keys.Append(d(rng));
  keys.SetSorted(false);
  T_LIST<int> order;
  for (int k = 0; k < 5000; ++k) order.Append(k);
  keys.SortIndexes(CompareDoubles, &order);
  VD expect = Items(keys);
  std::sort(expect.begin(), expect.end());
  for (int k = 0; k < 5000; ++k) EXPECT_EQ(keys.GetFast(order.GetFast(k)), expect[k]);
}

TEST_F(TListTest, SetSortedChecksOrder) {
  T_LIST<int> l = Make<int>({1, 1, 2}, false);
  l.SetSorted();
  EXPECT_TRUE(l.IsSorted());
  l.Append(0);
  l.SetSorted();
  EXPECT_FALSE(l.IsSorted());
  T_LIST<int> e;
  e.SetSorted();
  EXPECT_TRUE(e.IsSorted());
  l.SetSorted(true);  // taken as given
  EXPECT_TRUE(l.IsSorted());
}

TEST_F(TListTest, StorageHandOver) {
  T_LIST<int> l = Make<int>({1, 2, 3}, true);
  int n = 0;
  int* raw = l.Detach(&n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(raw[2], 3);
  EXPECT_EQ(l.GetNumber(), 0);
  EXPECT_EQ(l.GetSize(), 0);
  EXPECT_FALSE(l.IsSorted());

  l.SetSorted(true);
  l.ReplaceAll(3, &raw);
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(Items(l), (VI{1, 2, 3}));
  EXPECT_EQ(l.GetSize(), 3);
  EXPECT_FALSE(l.IsSorted());

  T_LIST<int> other = Make<int>({7, 8}, true);
  other.Grow(10);
  l.Grab(&other);
  EXPECT_EQ(Items(l), (VI{7, 8}));
  EXPECT_EQ(l.GetSize(), 10);
  EXPECT_TRUE(l.IsSorted());
  EXPECT_EQ(other.GetNumber(), 0);
  EXPECT_EQ(other.GetSize(), 0);

  // Slices.
  T_LIST<int> src = Make<int>({0, 1, 2, 3, 4}, true);
  T_LIST<int> out = Make<int>({9, 9, 9, 9, 9, 9}, false);
  src.GetSlice(1, 3, &out);
  EXPECT_EQ(Items(out), (VI{1, 2, 3}));
  EXPECT_TRUE(out.IsSorted());
  T_LIST<int>* heap = src.GetSlice(4, 4);
  ASSERT_NE(heap, nullptr);
  EXPECT_EQ(Items(*heap), (VI{4}));
  delete heap;
  src.GetSlice(3, 5, &out);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  EXPECT_EQ(Items(out), (VI{1, 2, 3}));
  src.GetSlice(1, 2, &src);
  EXPECT_EQ(Items(src), (VI{1, 2}));

  // Shift opens slots that keep their old contents.
  T_LIST<int> sh = Make<int>({1, 2, 3}, true);
  sh.Shift(2, 1);
  EXPECT_EQ(Items(sh), (VI{1, 2, 3, 2, 3}));
  EXPECT_EQ(sh.GetSize(), 5);
  EXPECT_FALSE(sh.IsSorted());
  sh.Shift(1, 6);
  EXPECT_TRUE(Raised(TerrInvalidIndex));

  T_LIST<int> fill(2);
  fill.Append(5);
  fill.FillList(4, 8);
  EXPECT_EQ(Items(fill), (VI{8, 8, 8, 8}));
  EXPECT_EQ(fill.GetSize(), 4);

  T_LIST<int> grown = Make<int>({1, 2}, true);
  grown.SetNumber(1);
  EXPECT_TRUE(grown.IsSorted());
  grown.SetNumber(3);  // revealed slots hold anything
  EXPECT_FALSE(grown.IsSorted());
  grown.SetNumber(-1);
  EXPECT_TRUE(Raised(TerrInvalidIndex));
  EXPECT_EQ(grown.GetNumber(), 3);
}

TEST_F(TListTest, TextRecordsRoundTrip) {
  T_LIST<int> l = Make<int>({4, -2, 7}, false);
  C_FILE_MEMORY f(C_FILE::TEXT);
  l.Save(&f);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_EQ(f.GetContent(), "3\n4\n-2\n7\n0\n");
  f.Rewind();
  T_LIST<int> back = Make<int>({1}, true);
  back.Load(0, &f);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_EQ(Items(back), (VI{4, -2, 7}));
  EXPECT_FALSE(back.IsSorted());

  T_LIST<double> d = Make<double>({0.1, 1.0 / 3.0, -2.5e300}, false);
  d.SetSorted(true);
  C_FILE_MEMORY g(C_FILE::TEXT);
  d.Save(&g);
  g.Rewind();
  T_LIST<double> dback;
  dback.Load(0, &g);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_EQ(Items(dback), Items(d));  // exact
  EXPECT_TRUE(dback.IsSorted());

  // Class elements write their own records.
  T_LIST<KEYED> k;
  k.Append(KEYED{3, 30});
  k.Append(KEYED{1, 10});
  C_FILE_MEMORY h(C_FILE::TEXT);
  k.Save(&h);
  EXPECT_EQ(h.GetContent(), "2\n3\n30\n1\n10\n0\n");
  h.Rewind();
  T_LIST<KEYED> kback;
  kback.Load(0, &h);
  ASSERT_FALSE(C_ERROR::Is());
  ASSERT_EQ(kback.GetNumber(), 2);
  EXPECT_EQ(kback.GetFast(1).tag, 10);

  // A truncated record leaves the list as it was.
  C_FILE_MEMORY cut(C_FILE::TEXT, "3\n1\n2\n");
  T_LIST<int> keep = Make<int>({9}, false);
  keep.Load(0, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_EQ(Items(keep), (VI{9}));
  C_FILE_MEMORY neg(C_FILE::TEXT, "-1\n0\n");
  keep.Load(0, &neg);
  EXPECT_TRUE(Raised(CerrInvalidValue));
  EXPECT_EQ(Items(keep), (VI{9}));
  // A corrupted count far beyond the file ends at the file's end, without
  // asking for room for the count first.
  C_FILE_MEMORY huge(C_FILE::TEXT, "2000000000\n1\n2\n");
  keep.Load(0, &huge);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_EQ(Items(keep), (VI{9}));

  // Elements without a record.
  T_LIST<void*> ptrs;
  ptrs.Append(nullptr);
  C_FILE_MEMORY p(C_FILE::TEXT);
  ptrs.Save(&p);
  EXPECT_TRUE(Raised(CerrInvalidValue));
}

TEST_F(TListTest, BinaryRecordsRoundTrip) {
  T_LIST<int> l = Make<int>({4, -2}, true);
  C_FILE_MEMORY f(C_FILE::BINARY);
  l.Save(&f);
  ASSERT_FALSE(C_ERROR::Is());
  int expect[4] = {2, 4, -2, 1};
  ASSERT_EQ(f.GetContent().size(), sizeof expect);
  EXPECT_EQ(std::memcmp(f.GetContent().data(), expect, sizeof expect), 0);
  f.Rewind();
  T_LIST<int> back;
  back.Load(0, &f);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_EQ(Items(back), (VI{4, -2}));
  EXPECT_TRUE(back.IsSorted());

  std::mt19937 rng(5);
  std::uniform_real_distribution<double> d(-1e6, 1e6);
  T_LIST<double> many;
  for (int k = 0; k < 1000; ++k) many.Append(d(rng));
  C_FILE_MEMORY g(C_FILE::BINARY);
  many.Save(&g);
  EXPECT_EQ(g.GetContent().size(), sizeof(int) * 2 + sizeof(double) * 1000);
  g.Rewind();
  T_LIST<double> mback;
  mback.Load(0, &g);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_TRUE(mback == many);
  EXPECT_TRUE(g.AtEnd());

  // Other stream types write and read nothing.
  C_FILE_MEMORY other(2);
  many.Save(&other);
  EXPECT_TRUE(other.GetContent().empty());
}
