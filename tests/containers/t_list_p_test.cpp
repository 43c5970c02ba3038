#include "containers/t_list_p.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <random>
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

LIST Make(std::initializer_list<int> values) {
  LIST l;
  for (int v : values) {
    ITEM* p = new ITEM(v);
    l.Append(&p);
  }
  return l;
}

std::vector<int> Values(const LIST& l) {
  std::vector<int> out;
  for (int k = 0; k < l.GetNumber(); ++k) out.push_back(l.GetAdrFast(k) ? l.GetFast(k).Get() : -999);
  return out;
}

using VI = std::vector<int>;

// True when an error with exactly this text is pending; clears it.
bool Raised(const char* text) {
  const C_ERROR* e = C_ERROR::GetPending();
  bool same = e != nullptr && std::strcmp(e->GetText(), text) == 0;
  C_ERROR::ClearPending();
  return same;
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

}  // namespace

TEST_F(TListPTest, OwnershipOfStoredObjects) {
  {
    LIST l = Make({1, 2, 3});
    EXPECT_EQ(ITEM::live, 3);
  }
  EXPECT_EQ(ITEM::live, 0);  // the three objects went with the list

  LIST l = Make({1, 2, 3});
  ITEM* out = nullptr;
  l.Remove(0, &out);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Get(), 1);
  EXPECT_EQ(ITEM::live, 3);  // handed over, not deleted
  delete out;
  l.Remove(0, nullptr);
  EXPECT_EQ(ITEM::live, 1);
  EXPECT_EQ(Values(l), (VI{3}));
  l.RemoveLast(&out);
  EXPECT_EQ(out->Get(), 3);
  EXPECT_EQ(l.GetNumber(), 0);
  delete out;
  l.RemoveLast(nullptr);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));

  // A range: handed over in order through an array, or deleted.
  LIST five = Make({1, 2, 3, 4, 5});
  five.SetSorted(true);
  ITEM* taken[2] = {nullptr, nullptr};
  five.Remove(1, 2, taken);
  EXPECT_EQ(Values(five), (VI{1, 4, 5}));
  ASSERT_TRUE(taken[0] != nullptr && taken[1] != nullptr);
  EXPECT_EQ(taken[0]->Get(), 2);
  EXPECT_EQ(taken[1]->Get(), 3);
  EXPECT_TRUE(five.IsSorted());
  delete taken[0];
  delete taken[1];
  five.Remove(1, 3, nullptr);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));
  five.Remove(-1, 1, nullptr);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));
  EXPECT_EQ(ITEM::live, 3);
  five.Remove(0, 2, nullptr);
  EXPECT_EQ(Values(five), (VI{5}));
  EXPECT_EQ(ITEM::live, 1);
  five.Remove(1, 0, nullptr);  // an empty range at the end
  EXPECT_FALSE(C_ERROR::Is());
  five.Clear();

  // Adding takes the pointer and nulls the caller's; values are cloned.
  ITEM* p = new ITEM(5);
  l.Append(&p);
  EXPECT_EQ(p, nullptr);
  ITEM v(6);
  l.Append(v);
  EXPECT_EQ(ITEM::live, 3);  // the stored 5, v and its clone
  l.Insert(0, v);
  ITEM* q = new ITEM(4);
  l.Insert(1, &q);
  EXPECT_EQ(q, nullptr);
  EXPECT_EQ(Values(l), (VI{6, 4, 5, 6}));
  ITEM* r = new ITEM(0);
  l.Insert(9, &r);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));
  EXPECT_NE(r, nullptr);  // still the caller's
  delete r;

  // A derived object is copied as such.
  BIG_ITEM big(8);
  l.Append(big);
  EXPECT_NE(dynamic_cast<BIG_ITEM*>(l.GetLastAdr()), nullptr);

  // SetNumber below the number deletes; above it adds null slots.
  l.SetNumber(2);
  EXPECT_EQ(ITEM::live, 4);  // v, big and two stored
  l.SetNumber(3);
  EXPECT_EQ(l.GetAdrFast(2), nullptr);
  EXPECT_EQ(l.Get(2).Get(), 0);  // a null slot reads as the default object
  l.Clear();
  EXPECT_EQ(ITEM::live, 2);
  EXPECT_TRUE(l.IsSorted());
}

TEST_F(TListPTest, ReplaceHandsOverOrDeletes) {
  LIST l = Make({1, 2, 3});
  ITEM* p = new ITEM(7);
  ITEM* old = nullptr;
  l.Replace(1, &p, &old);
  EXPECT_EQ(p, nullptr);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->Get(), 2);
  delete old;
  ITEM* p2 = new ITEM(8);
  l.Replace(1, &p2, nullptr);
  EXPECT_EQ(ITEM::live, 3);
  // The same pointer again: neither deleted nor handed out twice.
  ITEM* same = l.GetAdr(1);
  l.Replace(1, &same, nullptr);
  EXPECT_EQ(l.Get(1).Get(), 8);
  ITEM* again = l.GetAdr(1);
  ITEM* out = reinterpret_cast<ITEM*>(1);
  l.Replace(1, &again, &out);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(ITEM::live, 3);
  l.Replace(0, ITEM(9), nullptr);
  EXPECT_EQ(Values(l), (VI{9, 8, 3}));
  ITEM* bad = new ITEM(1);
  l.Replace(3, &bad, nullptr);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));
  delete bad;
  EXPECT_EQ(ITEM::live, 3);
}

TEST_F(TListPTest, CopiesCloneAndMovesTransfer) {
  LIST a = Make({1, 2});
  a.SetSorted(true);
  LIST b(a);
  EXPECT_EQ(ITEM::live, 4);
  EXPECT_NE(a.GetAdr(0), b.GetAdr(0));
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(b.IsSorted());
  LIST c = Make({5});
  c = a;
  EXPECT_EQ(ITEM::live, 6);
  EXPECT_EQ(Values(c), (VI{1, 2}));
  EXPECT_EQ(c.GetSize(), 2);  // grown to exactly the source's number
  LIST roomy(8);
  roomy.Append(ITEM(9));
  roomy = a;
  EXPECT_EQ(roomy.GetSize(), 8);  // enough storage already: kept
  EXPECT_EQ(Values(roomy), (VI{1, 2}));
  EXPECT_TRUE(roomy.IsSorted());
  EXPECT_EQ(ITEM::live, 8);
  roomy.Clear();
  c = c;
  EXPECT_EQ(ITEM::live, 6);
  LIST* d = a.CloneSame();
  EXPECT_TRUE(*d == a);
  delete d;

  // From a heap list: its storage is taken and the emptied list deleted.
  LIST* heap = new LIST(Make({3, 4}));
  LIST taken(&heap);
  EXPECT_EQ(heap, nullptr);
  EXPECT_EQ(Values(taken), (VI{3, 4}));
  LIST* more = new LIST(Make({5, 6}));
  taken.Append(&more);
  EXPECT_EQ(more, nullptr);
  EXPECT_EQ(Values(taken), (VI{3, 4, 5, 6}));
  EXPECT_FALSE(taken.IsSorted());
  LIST* self = &taken;
  taken.Append(&self);
  EXPECT_TRUE(Raised(CerrInvalidValue.GetText()));
  EXPECT_EQ(self, &taken);

  // From a list of pointers, and back.
  T_LIST<ITEM*> raw;
  raw.Append(new ITEM(1));
  raw.Append(new ITEM(0));
  LIST owned(&raw);
  EXPECT_EQ(raw.GetNumber(), 0);
  EXPECT_EQ(owned.GetSize(), 2);
  EXPECT_FALSE(owned.IsSorted());
  T_LIST<const ITEM*> view;
  owned.GetList(&view);
  ASSERT_EQ(view.GetNumber(), 2);
  EXPECT_EQ(view.GetFast(1), owned.GetAdr(1));
  // GrabList fills the list with the pointers, dropping what it held.
  ITEM* first = owned.GetAdr(0);
  raw.Append(nullptr);
  raw.SetSorted(true);
  owned.GrabList(&raw);
  EXPECT_EQ(owned.GetNumber(), 0);
  EXPECT_TRUE(owned.IsSorted());
  ASSERT_EQ(raw.GetNumber(), 2);
  EXPECT_EQ(raw.GetFast(0), first);
  EXPECT_FALSE(raw.IsSorted());
  // The list given by reference is taken the same way.
  LIST again(raw);
  EXPECT_EQ(raw.GetNumber(), 0);
  EXPECT_EQ(again.GetAdr(0), first);
}

TEST_F(TListPTest, AccessErrorsByText) {
  LIST l = Make({1, 2, 3});
  l.SetSorted(true);
  EXPECT_EQ(l.GetLast().Get(), 3);
  EXPECT_EQ(l.GetLast(-2).Get(), 1);
  const ITEM& bad = l.GetLast(1);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));
  EXPECT_EQ(&bad, &LIST::GetDefault());
  EXPECT_EQ(l.GetAdr(-1), nullptr);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));
  EXPECT_NE(l.GetAdr(0), nullptr);
  EXPECT_TRUE(l.IsSorted());  // the pointer list keeps the flag
  LIST e;
  EXPECT_EQ(e.GetLastAdr(), nullptr);
  EXPECT_TRUE(Raised("T#Err#List is void"));
  e.CheckIsNotVoid();
  EXPECT_TRUE(Raised("T#Err#List is void"));
  l.CheckIsVoid();
  EXPECT_TRUE(Raised("T#Err#List is not void"));
  EXPECT_EQ(e.FindMin(), -1);
  EXPECT_TRUE(Raised("T#Err#List is void"));
  EXPECT_EQ(e.FindInterval(ITEM(1)), 0);
  EXPECT_TRUE(Raised("T#Err#List is void"));
  l.SetSorted(false);
  EXPECT_EQ(l.FindInterval(ITEM(1)), 0);
  EXPECT_TRUE(Raised("T#Err#List is not sorted"));
  EXPECT_EQ(l.Find(ITEM(7)), -1);
  EXPECT_TRUE(Raised("T#Err#Object not found in list"));
  l.Swap(0, 3);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));
  EXPECT_EQ(Values(l), (VI{1, 2, 3}));
  EXPECT_EQ(ITEM::live, 3);
}

TEST_F(TListPTest, SearchesByPointerAndByValue) {
  LIST l = Make({4, 2, 4, 1});
  ITEM* third = l.GetAdr(2);
  EXPECT_EQ(l.Search(third), 2);  // by pointer: the very object
  EXPECT_EQ(l.Search(ITEM(4)), 0);  // by value: the first equal object
  ITEM stranger(4);
  EXPECT_EQ(l.Search(&stranger), -1);
  EXPECT_EQ(l.Find(&stranger), -1);
  EXPECT_TRUE(Raised("T#Err#Object not found in list"));
  EXPECT_EQ(l.FindMin(), 3);
  EXPECT_EQ(l.FindMax(), 0);

  l.Sort();
  EXPECT_TRUE(l.IsSorted());
  EXPECT_EQ(Values(l), (VI{1, 2, 4, 4}));
  EXPECT_EQ(l.Search(ITEM(4)), 2);
  EXPECT_EQ(l.Search(ITEM(3)), -1);
  EXPECT_EQ(l.FindInterval(ITEM(3)), 1);
  EXPECT_EQ(l.FindInterval(ITEM(4)), 3);
  EXPECT_EQ(l.FindInterval(ITEM(0)), -1);

  EXPECT_TRUE(l == Make({1, 2, 4, 4}));
  EXPECT_TRUE(l != Make({1, 2, 4}));

  l.FindAndRemove(third);
  EXPECT_EQ(Values(l), (VI{1, 2, 4}));
  l.FindAndRemove(ITEM(2));
  EXPECT_EQ(Values(l), (VI{1, 4}));
  l.FindAndRemove(ITEM(2));
  EXPECT_TRUE(Raised("T#Err#Object not found in list"));
  C_ERROR::Trigger("earlier step");  // a pending error stops the removal
  l.FindAndRemove(l.GetAdr(0));
  EXPECT_TRUE(Raised("earlier step"));
  EXPECT_EQ(Values(l), (VI{1, 4}));
  EXPECT_EQ(ITEM::live, 3);  // the two stored and the stranger

  // Sorting a longer list by value.
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> d(0, 50);
  LIST big;
  std::vector<int> ref;
  for (int k = 0; k < 500; ++k) {
    int v = d(rng);
    big.Append(ITEM(v));
    ref.push_back(v);
  }
  big.Sort();
  std::sort(ref.begin(), ref.end());
  EXPECT_EQ(Values(big), ref);
}

TEST_F(TListPTest, InsertSortedAndFlagUpkeep) {
  LIST l = Make({1, 3});
  EXPECT_FALSE(l.IsSorted());  // every append clears the flag
  l.SetSorted();
  EXPECT_TRUE(l.IsSorted());
  ITEM* p = new ITEM(3);
  ITEM* inserted = p;
  EXPECT_EQ(l.InsertSorted(&p), 2);  // after the equal object
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(l.GetAdr(2), inserted);
  EXPECT_FALSE(l.IsSorted());  // an adding operation clears the flag
  // On the unflagged list it appends and sorts, which sets the flag again.
  EXPECT_EQ(l.InsertSorted(ITEM(2)), 1);
  EXPECT_EQ(Values(l), (VI{1, 2, 3, 3}));
  EXPECT_TRUE(l.IsSorted());
  EXPECT_EQ(l.InsertSorted(ITEM(0)), 0);
  EXPECT_FALSE(l.IsSorted());
  EXPECT_EQ(Values(l), (VI{0, 1, 2, 3, 3}));

  LIST u = Make({5, 1});
  ITEM* q = new ITEM(3);
  ITEM* keep = q;
  EXPECT_EQ(u.InsertSorted(&q), 1);
  EXPECT_EQ(u.GetAdr(1), keep);
  EXPECT_EQ(Values(u), (VI{1, 3, 5}));
  EXPECT_TRUE(u.IsSorted());

  LIST r = Make({1, 2, 3});
  r.SetSorted(true);
  r.Rotate(3);
  EXPECT_TRUE(r.IsSorted());
  r.Rotate(-1);
  EXPECT_EQ(Values(r), (VI{2, 3, 1}));
  EXPECT_FALSE(r.IsSorted());
  r.Invert();
  EXPECT_EQ(Values(r), (VI{1, 3, 2}));
  r.SetSorted();
  EXPECT_FALSE(r.IsSorted());
  r.SwapFast(1, 2);
  r.SetSorted();
  EXPECT_TRUE(r.IsSorted());
}

TEST_F(TListPTest, SubtractAndRemoveMultiples) {
  LIST a = Make({1, 2, 2, 3});
  a.SetSorted(true);
  LIST b = Make({2});
  b.SetSorted(true);
  a.Subtract(b);
  EXPECT_EQ(Values(a), (VI{1, 2, 3}));
  LIST c = Make({3, 1, 2, 1});
  c.Subtract(Make({1, 9}));
  EXPECT_EQ(Values(c), (VI{3, 2}));
  EXPECT_EQ(ITEM::live, 1 + 3 + 2);

  // Multiples are judged by pointer: equal objects stay, a repeated pointer
  // is dropped without deleting the object it still holds.
  T_LIST<ITEM*> raw;
  ITEM* shared = new ITEM(4);
  raw.Append(shared);
  raw.Append(new ITEM(4));
  raw.Append(shared);
  LIST m(&raw);
  m.RemoveMultiples();
  EXPECT_EQ(m.GetNumber(), 2);
  EXPECT_EQ(m.GetAdr(0), shared);
}

TEST_F(TListPTest, SortIndexesThroughObjects) {
  LIST l = Make({30, 10, 20});
  T_LIST<int> ids;
  for (int k = 0; k < 3; ++k) ids.Append(k);
  l.SortIndexes([](const ITEM* x, const ITEM* y) { return x->Get() - y->Get(); }, &ids);
  EXPECT_EQ(ids.GetFast(0), 1);
  EXPECT_EQ(ids.GetFast(1), 2);
  EXPECT_EQ(ids.GetFast(2), 0);
  EXPECT_EQ(Values(l), (VI{30, 10, 20}));
  l.SortIndexes([](const ITEM*, const ITEM*) { return 0; }, 0, 3, &ids);
  EXPECT_TRUE(Raised("T#Err#Invalid index"));
}

TEST_F(TListPTest, RecordsRoundTrip) {
  LIST l = Make({7, -1, 3});
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    l.Save(&f);
    ASSERT_FALSE(C_ERROR::Is());
    if (type == C_FILE::TEXT) {
      EXPECT_EQ(f.GetContent(), "3\n7\n-1\n3\n0\n");
    } else {
      int expect[5] = {3, 7, -1, 3, 0};
      ASSERT_EQ(f.GetContent().size(), sizeof expect);
      EXPECT_EQ(std::memcmp(f.GetContent().data(), expect, sizeof expect), 0);
    }
    f.Rewind();
    LIST back = Make({1});
    back.Load(0, &f);
    ASSERT_FALSE(C_ERROR::Is());
    EXPECT_TRUE(back == l);
    EXPECT_FALSE(back.IsSorted());
  }
  EXPECT_EQ(ITEM::live, 3);

  // A truncated record leaves the list as it was and leaks nothing.
  C_FILE_MEMORY cut(C_FILE::TEXT, "3\n1\n");
  LIST keep = Make({5});
  keep.Load(0, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_EQ(Values(keep), (VI{5}));
  EXPECT_EQ(ITEM::live, 4);
}
