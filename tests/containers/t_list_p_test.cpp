#include "containers/t_list_p.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/c_error.h"
#include "runtime/c_file.h"

namespace {

// A heap object that counts the live instances.
class ITEM {
 public:
  static int live;
  ITEM() { ++live; }
  explicit ITEM(int v) : v_(v) { ++live; }
  ITEM(const ITEM& o) : v_(o.v_) { ++live; }
  ITEM& operator=(const ITEM&) = default;
  virtual ~ITEM() { --live; }
  virtual ITEM* CloneSame() const { return new ITEM(*this); }
  C_BOOL operator==(const ITEM& o) const { return v_ == o.v_; }
  C_BOOL operator>(const ITEM& o) const { return v_ > o.v_; }
  void Save(C_FILE* f) const { Tsave(v_, f, 0); }
  void Load(int version, C_FILE* f) { Tload(version, f, &v_); }
  int Get() const { return v_; }

 private:
  int v_ = 0;
};
int ITEM::live = 0;

// A derived object: the list copies through the virtual CloneSame.
class BIG_ITEM : public ITEM {
 public:
  explicit BIG_ITEM(int v) : ITEM(v) {}
  ITEM* CloneSame() const override { return new BIG_ITEM(*this); }
};

using LIST = T_LIST_P<ITEM>;
using VI = std::vector<int>;

// A list of new objects, appended by pointer (which clears the flag).
LIST Make(std::initializer_list<int> values) {
  LIST l;
  for (int v : values) {
    ITEM* p = new ITEM(v);
    l.Append(&p);
  }
  return l;
}

// The values of l (-999 for a null slot) are values, and live objects are live.
testing::AssertionResult Holds(const LIST& l, const VI& values, int live) {
  VI got;
  for (int k = 0; k < l.GetNumber(); ++k) {
    got.push_back(l.GetAdrFast(k) != nullptr ? l.GetFast(k).Get() : -999);
  }
  if (got == values && ITEM::live == live) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "live " << ITEM::live << ", number " << got.size();
}

// True when an error with exactly this text is pending; clears it.
bool Raised(const char* text) {
  const C_ERROR* e = C_ERROR::GetPending();
  const bool same = e != nullptr && std::strcmp(e->GetText(), text) == 0;
  C_ERROR::ClearPending();
  return same;
}

template <class F>
bool Raises(const char* text, F f) {
  f();
  return Raised(text);
}

const char* const kBadIndex = "T#Err#Invalid index";
const char* const kVoid = "T#Err#List is void";
const char* const kNotFound = "T#Err#Object not found in list";

// The object the pointer gives, which is then deleted: -1 for null.
int Take(ITEM* p) {
  const int v = p != nullptr ? p->Get() : -1;
  delete p;
  return v;
}

class TListPTest : public ::testing::Test {
 protected:
  void SetUp() override {
    C_ERROR::ClearPending();
    LIST::GetDefault();  // the static default object lives on; not counted
    ITEM::live = 0;
  }
  void TearDown() override {
    EXPECT_FALSE(C_ERROR::Is());
    C_ERROR::ClearPending();
    EXPECT_EQ(ITEM::live, 0) << "objects leaked or deleted twice";
  }
};

TEST_F(TListPTest, RemovalHandsObjectsOverOrDeletesThem) {
  LIST l = Make({1, 2, 3, 4, 5, 6});
  ITEM* out = nullptr;
  l.Remove(0, &out);
  EXPECT_EQ(Take(out), 1);
  l.Remove(0, nullptr);
  l.RemoveLast(&out);
  EXPECT_EQ(Take(out), 6);
  EXPECT_TRUE(Holds(l, {3, 4, 5}, 3));
  // A range: handed over in order through an array, or deleted; the flag kept.
  l.SetSorted(true);
  ITEM* taken[2] = {nullptr, nullptr};
  l.Remove(0, 2, taken);
  EXPECT_EQ(Take(taken[0]) * 10 + Take(taken[1]), 34);
  EXPECT_TRUE(Holds(l, {5}, 1) && l.IsSorted());
  EXPECT_TRUE(Raises(kBadIndex, [&] { l.Remove(0, 2, nullptr); }));
}

TEST_F(TListPTest, AddingTakesPointersAndClonesValues) {
  LIST l;
  ITEM* p = new ITEM(5);
  l.Append(&p);
  const ITEM v(6);
  l.Insert(0, v);
  ITEM* q = new ITEM(4);
  l.Insert(1, &q);
  EXPECT_TRUE(p == nullptr && q == nullptr);
  EXPECT_TRUE(Holds(l, {6, 4, 5}, 4));  // v and three stored
  ITEM* r = new ITEM(0);
  EXPECT_TRUE(Raises(kBadIndex, [&] { l.Insert(9, &r); }));
  EXPECT_EQ(Take(r), 0);  // still the caller's
  // A derived object is copied as such.
  l.Append(BIG_ITEM(8));
  EXPECT_NE(dynamic_cast<BIG_ITEM*>(l.GetLastAdr()), nullptr);
  // SetNumber below the number deletes; above it adds null slots, which read
  // as the default object.
  l.SetNumber(2);
  l.SetNumber(3);
  EXPECT_TRUE(Holds(l, {6, 4, -999}, 3));
  EXPECT_EQ(l.Get(2).Get(), 0);
  l.Clear();
  EXPECT_TRUE(Holds(l, {}, 1) && l.IsSorted());
}

TEST_F(TListPTest, ReplaceHandsOverOrDeletes) {
  LIST l = Make({1, 2, 3});
  ITEM* p = new ITEM(7);
  ITEM* old = nullptr;
  l.Replace(1, &p, &old);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(Take(old), 2);
  l.Replace(0, ITEM(9), nullptr);
  EXPECT_TRUE(Holds(l, {9, 7, 3}, 3));
  // The same pointer again: neither deleted nor handed out.
  ITEM *same = l.GetAdr(1), *again = same, *out = reinterpret_cast<ITEM*>(1);
  l.Replace(1, &same, nullptr);
  l.Replace(1, &again, &out);
  EXPECT_TRUE(out == nullptr && Holds(l, {9, 7, 3}, 3));
  ITEM* bad = new ITEM(1);
  EXPECT_TRUE(Raises(kBadIndex, [&] { l.Replace(3, &bad, nullptr); }));
  EXPECT_EQ(Take(bad), 1);
}

TEST_F(TListPTest, CopiesCloneAndHandOversTransfer) {
  LIST a = Make({1, 2});
  a.SetSorted(true);
  LIST b(a), c = Make({5});
  c = a;
  c = c;
  EXPECT_TRUE(a.GetAdr(0) != b.GetAdr(0) && b == a && b.IsSorted());
  EXPECT_TRUE(Holds(c, {1, 2}, 6) && c.IsSorted());

  // From a heap list: its storage is taken and the emptied list deleted.
  LIST* heap = new LIST(Make({3, 4}));
  LIST taken(&heap);
  LIST* more = new LIST(Make({5, 6}));
  taken.Append(&more);
  EXPECT_TRUE(heap == nullptr && more == nullptr);
  EXPECT_TRUE(Holds(taken, {3, 4, 5, 6}, 10));
  EXPECT_FALSE(taken.IsSorted());
  LIST* self = &taken;
  taken.Append(&self);
  EXPECT_TRUE(Raised(CerrInvalidValue.GetText()));
  EXPECT_EQ(self, &taken);
}

TEST_F(TListPTest, PointerListsGoInAndOut) {
  T_LIST<ITEM*> raw;
  raw.Append(new ITEM(1));
  raw.Append(new ITEM(0));
  LIST owned(&raw);
  EXPECT_EQ(raw.GetNumber(), 0);
  EXPECT_TRUE(Holds(owned, {1, 0}, 2));
  // GrabList fills the given list with the pointers, dropping what it held.
  ITEM* first = owned.GetAdr(0);
  raw.Append(nullptr);
  owned.GrabList(&raw);
  EXPECT_TRUE(Holds(owned, {}, 2));
  ASSERT_EQ(raw.GetNumber(), 2);
  EXPECT_EQ(raw.GetFast(0), first);
  LIST again(raw);  // taken back; the fixture checks nothing leaks
}

TEST_F(TListPTest, FailuresRaiseTheirTexts) {
  LIST l = Make({1, 2, 3}), e;
  l.SetSorted(true);
  EXPECT_TRUE(Raises(kBadIndex, [&] { EXPECT_EQ(&l.GetLast(1), &LIST::GetDefault()); }));
  EXPECT_TRUE(l.GetAdr(0) != nullptr && l.IsSorted());  // the pointer list keeps the flag
  EXPECT_TRUE(Raises(kVoid, [&] { EXPECT_EQ(e.GetLastAdr(), nullptr); }));
  EXPECT_TRUE(Raises("T#Err#List is not void", [&] { l.CheckIsVoid(); }));
  l.SetSorted(false);
  EXPECT_TRUE(Raises("T#Err#List is not sorted", [&] { EXPECT_EQ(l.FindInterval(ITEM(1)), 0); }));
}

TEST_F(TListPTest, SearchesByPointerAndByValue) {
  LIST l = Make({4, 2, 4, 1});
  ITEM* third = l.GetAdr(2);
  EXPECT_EQ(l.Search(third), 2);    // by pointer: the very object
  EXPECT_EQ(l.Search(ITEM(4)), 0);  // by value: the first equal object
  ITEM stranger(4);
  EXPECT_TRUE(Raises(kNotFound, [&] { EXPECT_EQ(l.Find(&stranger), -1); }));
  l.Sort();
  EXPECT_TRUE(Holds(l, {1, 2, 4, 4}, 5) && l.IsSorted());
  EXPECT_TRUE(l.Search(ITEM(4)) == 2 && l.FindInterval(ITEM(4)) == 3);
  l.FindAndRemove(third);
  l.FindAndRemove(ITEM(2));
  EXPECT_TRUE(Holds(l, {1, 4}, 3));  // with the stranger
}

TEST_F(TListPTest, InsertSortedTakesThePointerAndClearsTheFlag) {
  LIST l = Make({1, 3});
  l.SetSorted();
  ITEM* p = new ITEM(3);
  ITEM* inserted = p;
  EXPECT_EQ(l.InsertSorted(&p), 2);  // after the equal object
  EXPECT_TRUE(p == nullptr && l.GetAdr(2) == inserted && !l.IsSorted());
  // On an unflagged list it appends and sorts, which sets the flag again.
  EXPECT_EQ(l.InsertSorted(ITEM(2)), 1);
  EXPECT_TRUE(Holds(l, {1, 2, 3, 3}, 4) && l.IsSorted());
}

TEST_F(TListPTest, SubtractByValueRemoveMultiplesByPointer) {
  LIST a = Make({1, 2, 2, 3}), b = Make({2}), c = Make({3, 1, 2, 1});
  a.SetSorted(true);
  b.SetSorted(true);
  a.Subtract(b);
  c.Subtract(Make({1, 9}));
  EXPECT_TRUE(Holds(a, {1, 2, 3}, 1 + 3 + 2));
  EXPECT_TRUE(Holds(c, {3, 2}, 6));
  // A repeated pointer is dropped without deleting the object it still
  // holds; equal objects stay.
  T_LIST<ITEM*> raw;
  ITEM* shared = new ITEM(4);
  raw.Append(shared);
  raw.Append(new ITEM(4));
  raw.Append(shared);
  LIST m(&raw);
  m.RemoveMultiples();
  EXPECT_TRUE(Holds(m, {4, 4}, 8));
  EXPECT_EQ(m.GetAdr(0), shared);
}

TEST_F(TListPTest, RecordsRoundTripAndFailedLoadsLeakNothing) {
  LIST l = Make({7, -1, 3});
  const int bin[5] = {3, 7, -1, 3, 0};
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    l.Save(&f);
    EXPECT_EQ(f.GetContent(), type == C_FILE::TEXT
                                  ? "3\n7\n-1\n3\n0\n"
                                  : std::string(reinterpret_cast<const char*>(bin), sizeof bin));
    f.Rewind();
    LIST back = Make({1});
    back.Load(0, &f);
    EXPECT_TRUE(back == l && !back.IsSorted());
  }
  C_FILE_MEMORY cut(C_FILE::TEXT, "3\n1\n");
  LIST keep = Make({5});
  keep.Load(0, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_TRUE(Holds(keep, {5}, 4));  // the one read was deleted
}

}  // namespace
