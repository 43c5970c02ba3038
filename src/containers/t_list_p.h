#ifndef G3GEOM_CONTAINERS_T_LIST_P_H
#define G3GEOM_CONTAINERS_T_LIST_P_H

#include <algorithm>
#include <climits>
#include <type_traits>
#include <utility>

#include "containers/t_list.h"
#include "containers/t_list_io.h"
#include "containers/t_sort.h"
#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_persist.h"

// Messages of the pointer lists, raised by text.
inline constexpr const char TLISTP_ERR_INVALID_INDEX[] = "T#Err#Invalid index";
inline constexpr const char TLISTP_ERR_LIST_IS_VOID[] = "T#Err#List is void";
inline constexpr const char TLISTP_ERR_LIST_IS_NOT_VOID[] = "T#Err#List is not void";
inline constexpr const char TLISTP_ERR_NOT_FOUND[] = "T#Err#Object not found in list";
inline constexpr const char TLISTP_ERR_NOT_SORTED[] = "T#Err#List is not sorted";

// A growable array of owned heap objects with a "sorted" flag. The list owns
// every non-null pointer of its live part and deletes it (through T's virtual
// destructor) when it removes, replaces, clears or is destroyed; copies are
// made with T's CloneSame(). Value operations (Search of a value, FindMin,
// FindMax, FindInterval, Sort, Subtract, ==, SetSorted) compare the pointed
// objects with T's == and >; a null slot is taken as less than any object.
// Slots beyond the live part are always null.
template <class T>
class T_LIST_P {
 public:
  // ---- Construction and copying. An empty list starts flagged.
  T_LIST_P() { sorted_.SetTrue(); }
  explicit T_LIST_P(int capacity) {
    sorted_.SetTrue();
    Grow(capacity);
  }
  // Clones of the source's objects; the flag is copied. A failed clone leaves
  // the list empty with the error pending.
  T_LIST_P(const T_LIST_P& l) : sorted_(l.sorted_) { CopyFrom(l); }
  // Takes over the storage of another heap list, deletes that emptied list
  // and nulls the caller's pointer.
  explicit T_LIST_P(T_LIST_P** other) {
    sorted_.SetTrue();
    if (other == nullptr || *other == nullptr) return;
    T_LIST_P* o = *other;
    a_ = o->a_;
    size_ = o->size_;
    number_ = o->number_;
    sorted_ = o->sorted_;
    o->a_ = nullptr;
    o->size_ = o->number_ = 0;
    delete o;
    *other = nullptr;
  }
  // Takes the pointers of a value list (storage of exactly its number) and
  // sets its number to 0; the objects now belong to this list.
  explicit T_LIST_P(T_LIST<T*>* list) {
    sorted_.SetTrue();
    if (list == nullptr || list->GetNumber() == 0) return;
    int n = list->GetNumber();
    T** b = Alloc(n);
    if (b == nullptr) return;
    std::copy(list->GetAdrFast(0), list->GetAdrFast(0) + n, b);
    list->SetNumber(0);
    a_ = b;
    size_ = number_ = n;
    sorted_.SetFalse();
  }
  explicit T_LIST_P(T_LIST<T*>& list) : T_LIST_P(&list) {}
  T_LIST_P(T_LIST_P&& l) noexcept
      : a_(l.a_), size_(l.size_), number_(l.number_), sorted_(l.sorted_) {
    l.a_ = nullptr;
    l.size_ = l.number_ = 0;
  }
  T_LIST_P& operator=(T_LIST_P&& l) noexcept {
    if (&l == this) return *this;
    Release();
    a_ = l.a_;
    size_ = l.size_;
    number_ = l.number_;
    sorted_ = l.sorted_;
    l.a_ = nullptr;
    l.size_ = l.number_ = 0;
    return *this;
  }
  // Deep copy with the flag. The own storage is kept when it holds enough;
  // otherwise it is released before allocating, so a failed allocation or
  // clone leaves the list empty and usable.
  T_LIST_P& operator=(const T_LIST_P& l) {
    if (&l == this) return *this;
    DeleteObjects();
    if (l.number_ > size_) {
      delete[] a_;
      a_ = nullptr;
      size_ = 0;
      T** b = Alloc(l.number_);
      if (b == nullptr) return *this;
      a_ = b;
      size_ = l.number_;
    }
    for (int k = 0; k < l.number_; ++k) {
      if (l.a_[k] != nullptr) {
        a_[k] = CloneOf(*l.a_[k]);
        if (C_ERROR::Is()) {
          DeleteObjects();
          return *this;
        }
      }
      number_ = k + 1;
    }
    sorted_ = l.sorted_;
    return *this;
  }
  ~T_LIST_P() { Release(); }

  // A new heap copy owned by the caller; null on failure.
  T_LIST_P* CloneSame() const {
    T_LIST_P* c = Cnew<T_LIST_P>(*this);
    if (C_ERROR::Is()) {
      delete c;
      return nullptr;
    }
    return c;
  }

  // The object returned by reference when none can be given.
  static const T& GetDefault() {
    static_assert(std::is_default_constructible_v<T> && !std::is_abstract_v<T>,
                  "the default element of a pointer list is a default-built object");
    static const T element{};
    return element;
  }

  // ---- Size and storage
  int GetNumber() const { return number_; }
  int GetSize() const { return size_; }
  C_BOOL IsVoid() const { return number_ == 0; }
  void CheckIsVoid() const {
    if (number_ != 0) C_ERROR::Trigger(TLISTP_ERR_LIST_IS_NOT_VOID);
  }
  void CheckIsNotVoid() const {
    if (number_ == 0) C_ERROR::Trigger(TLISTP_ERR_LIST_IS_VOID);
  }
  void Grow(int n) {
    if (n > size_) Reallocate(n);
  }
  void GrowAuto(int n) {
    if (n > size_) Reallocate(AutoCapacity(n));
  }
  // Below the number the dropped objects are deleted; above it the new slots
  // are null (and the flag cleared).
  void SetNumber(int n) {
    if (n < 0) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    GrowAuto(n);
    if (C_ERROR::Is()) return;
    for (int k = n; k < number_; ++k) {
      delete a_[k];
      a_[k] = nullptr;
    }
    if (n > number_) sorted_.SetFalse();
    number_ = n;
  }
  // Deletes every object; storage kept, flag set.
  void Clear() {
    DeleteObjects();
    sorted_.SetTrue();
  }

  // ---- Access (a null slot reads as the default object)
  const T& Get(int i) const {
    if (i < 0 || i >= number_) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return GetDefault();
    }
    return a_[i] != nullptr ? *a_[i] : GetDefault();
  }
  const T& GetLast(int k = 0) const { return Get(number_ + k - 1); }
  // The stored pointer (still owned by the list); the flag is left alone.
  T* GetAdr(int i) const {
    if (number_ == 0) {
      C_ERROR::Trigger(TLISTP_ERR_LIST_IS_VOID);
      return nullptr;
    }
    if (i < 0 || i >= number_) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return nullptr;
    }
    return a_[i];
  }
  T* GetLastAdr() const { return GetAdr(number_ - 1); }
  // Unchecked.
  const T& GetFast(int i) const { return *a_[i]; }
  T& GetFast(int i) { return *a_[i]; }
  const T& operator[](int i) const { return *a_[i]; }
  T& operator[](int i) { return *a_[i]; }
  T* GetAdrFast(int i) const { return a_[i]; }

  // ---- Adding: the list takes *p and nulls the caller's pointer; a value is
  // stored as a clone. Every adding operation clears the flag.
  void Append(T** p) {
    if (p == nullptr) return;
    if (!OpenGap(number_, 1)) return;
    a_[number_ - 1] = *p;
    *p = nullptr;
    sorted_.SetFalse();
  }
  void Append(const T& v) {
    T* c = CloneOf(v);
    if (C_ERROR::Is()) return;
    Append(&c);
    delete c;  // still set only when the append failed
  }
  // Moves every object of another heap list to the end, then deletes that
  // list and nulls the caller's pointer.
  void Append(T_LIST_P** other) {
    if (other == nullptr || *other == nullptr) return;
    T_LIST_P* o = *other;
    if (o == this) {
      CerrInvalidValue.Trigger();
      return;
    }
    int n = o->number_;
    if (n > 0) {
      int at = number_;
      if (!OpenGap(at, n)) return;
      std::copy(o->a_, o->a_ + n, a_ + at);
      std::fill(o->a_, o->a_ + n, nullptr);
      o->number_ = 0;
    }
    delete o;
    *other = nullptr;
    sorted_.SetFalse();
  }
  void Insert(int i, T** p) {
    if (p == nullptr) return;
    if (i < 0 || i > number_) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    if (!OpenGap(i, 1)) return;
    a_[i] = *p;
    *p = nullptr;
    sorted_.SetFalse();
  }
  void Insert(int i, const T& v) {
    if (i < 0 || i > number_) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    T* c = CloneOf(v);
    if (C_ERROR::Is()) return;
    Insert(i, &c);
    delete c;
  }
  // On a flagged non-empty list the object goes after every object equal to
  // it; otherwise it is appended and the list sorted. Like every adding
  // operation it leaves the flag clear (the next call then sorts again).
  // Gives the object's index, -1 on failure.
  int InsertSorted(T** p) {
    if (p == nullptr) return -1;
    T* q = *p;
    if (sorted_ && number_ > 0) {
      int i = FindInterval(q) + 1;
      if (!OpenGap(i, 1)) return -1;
      a_[i] = q;
      *p = nullptr;
      sorted_.SetFalse();
      return i;
    }
    Append(p);
    if (C_ERROR::Is()) return -1;
    Sort();
    return Search(static_cast<const T*>(q));
  }
  int InsertSorted(const T& v) {
    T* c = CloneOf(v);
    if (C_ERROR::Is()) return -1;
    int i = InsertSorted(&c);
    delete c;
    return i;
  }

  // ---- Removing: with out null the object is deleted, otherwise handed to
  // the caller. The flag is kept.
  void Remove(int i, T** out) {
    if (i < 0 || i >= number_) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    T* q = a_[i];
    std::copy(a_ + i + 1, a_ + number_, a_ + i);
    --number_;
    a_[number_] = nullptr;
    if (out != nullptr)
      *out = q;
    else
      delete q;
  }
  // Removes count objects from i (i >= 0, i + count <= number). out, when not
  // null, is an array of count pointers that receives them in order;
  // otherwise they are deleted.
  void Remove(int i, int count, T** out) {
    if (i < 0 || count < 0 || i > number_ - count) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    for (int k = 0; k < count; ++k) {
      if (out != nullptr)
        out[k] = a_[i + k];
      else
        delete a_[i + k];
    }
    std::copy(a_ + i + count, a_ + number_, a_ + i);
    std::fill(a_ + number_ - count, a_ + number_, nullptr);
    number_ -= count;
  }
  void RemoveLast(T** out) { Remove(number_ - 1, out); }
  // Drops later slots holding a pointer already held by an earlier one; the
  // object stays owned by the first.
  void RemoveMultiples() {
    int w = 0;
    for (int r = 0; r < number_; ++r) {
      int k = 0;
      while (k < w && a_[k] != a_[r]) ++k;
      if (k == w) a_[w++] = a_[r];
    }
    std::fill(a_ + w, a_ + number_, nullptr);
    number_ = w;
  }
  // Finds the object by pointer (or by value) and deletes it, only when no
  // error is pending, an earlier one included.
  void FindAndRemove(const T* p) {
    int i = Search(p);
    if (i < 0) {
      C_ERROR::Trigger(TLISTP_ERR_NOT_FOUND);
      return;
    }
    if (C_ERROR::Is()) return;
    Remove(i, nullptr);
  }
  void FindAndRemove(const T& v) {
    int i = Search(v);
    if (i < 0) {
      C_ERROR::Trigger(TLISTP_ERR_NOT_FOUND);
      return;
    }
    if (C_ERROR::Is()) return;
    Remove(i, nullptr);
  }

  // ---- Replacing and reordering
  // Stores *p at i (nulling the caller's pointer); the former object goes to
  // out, or is deleted when out is null and it is not the new one.
  void Replace(int i, T** p, T** out) {
    if (p == nullptr) return;
    if (i < 0 || i >= number_) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    T* old = a_[i];
    a_[i] = *p;
    *p = nullptr;
    sorted_.SetFalse();
    if (out != nullptr)
      *out = old != a_[i] ? old : nullptr;  // never hand out an object still held
    else if (old != a_[i])
      delete old;
  }
  void Replace(int i, const T& v, T** out) {
    if (i < 0 || i >= number_) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    T* c = CloneOf(v);
    if (C_ERROR::Is()) return;
    Replace(i, &c, out);
  }
  void Swap(int i, int j) {
    if (i < 0 || i >= number_ || j < 0 || j >= number_) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    SwapFast(i, j);
    sorted_.SetFalse();
  }
  void SwapFast(int i, int j) { std::swap(a_[i], a_[j]); }
  void Invert() {
    std::reverse(a_, a_ + number_);
    sorted_.SetFalse();
  }
  void Rotate(int k) {
    if (number_ == 0) return;
    int r = k % number_;
    if (r < 0) r += number_;
    if (r == 0) return;
    std::rotate(a_, a_ + (number_ - r), a_ + number_);
    sorted_.SetFalse();
  }
  // Quicksort by the pointed objects; nothing when flagged. Sets the flag.
  void Sort() {
    if (sorted_) return;
    if (number_ > 1)
      Tquicksort(a_, 0, number_ - 1, [](const T* x, const T* y) { return Gt(y, x); });
    sorted_.SetTrue();
  }
  // As T_LIST::SortIndexes, compare receiving the stored object pointers.
  template <class COMPARE, class = TLIST_COMPARE<COMPARE>>
  void SortIndexes(COMPARE compare, int first, int last, T_LIST<int>* indexes) const {
    if (indexes == nullptr || sorted_ || number_ < 2) return;
    if (first < 0 || last >= indexes->GetNumber()) {
      C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
      return;
    }
    if (last <= first) return;
    int* ids = indexes->GetAdrFast(0);
    for (int k = first; k <= last; ++k) {
      if (ids[k] < 0 || ids[k] >= number_) {
        C_ERROR::Trigger(TLISTP_ERR_INVALID_INDEX);
        return;
      }
    }
    T* const* e = a_;
    Tquicksort(ids, first, last,
               [e, &compare](int x, int y) { return compare(e[y], e[x]) > 0; });
    indexes->SetSorted(false);
  }
  template <class COMPARE, class = TLIST_COMPARE<COMPARE>>
  void SortIndexes(COMPARE compare, T_LIST<int>* indexes) const {
    if (indexes == nullptr) return;
    SortIndexes(compare, 0, indexes->GetNumber() - 1, indexes);
  }
  // The same with the positions first, and with the index list by reference.
  template <class COMPARE, class = TLIST_COMPARE<COMPARE>>
  void SortIndexes(int first, int last, COMPARE compare, T_LIST<int>* indexes) const {
    SortIndexes(compare, first, last, indexes);
  }
  template <class COMPARE, class = TLIST_COMPARE<COMPARE>>
  void SortIndexes(COMPARE compare, int first, int last, T_LIST<int>& indexes) const {
    SortIndexes(compare, first, last, &indexes);
  }
  template <class COMPARE, class = TLIST_COMPARE<COMPARE>>
  void SortIndexes(int first, int last, COMPARE compare, T_LIST<int>& indexes) const {
    SortIndexes(compare, first, last, &indexes);
  }
  template <class COMPARE, class = TLIST_COMPARE<COMPARE>>
  void SortIndexes(COMPARE compare, T_LIST<int>& indexes) const {
    SortIndexes(compare, &indexes);
  }
  void SetSorted() {
    for (int k = 1; k < number_; ++k) {
      if (Gt(a_[k - 1], a_[k])) {
        sorted_.SetFalse();
        return;
      }
    }
    sorted_.SetTrue();
  }
  void SetSorted(C_BOOL flag) { sorted_ = flag; }
  C_BOOL IsSorted() const { return sorted_; }

  // ---- Searching and comparing
  // By pointer: index of the slot holding p, or -1.
  int Search(const T* p) const {
    for (int k = 0; k < number_; ++k)
      if (a_[k] == p) return k;
    return -1;
  }
  int Find(const T* p) const {
    int i = Search(p);
    if (i < 0) C_ERROR::Trigger(TLISTP_ERR_NOT_FOUND);
    return i;
  }
  // By value: first object equal to v (binary search on a flagged list).
  int Search(const T& v) const {
    if (number_ == 0) return -1;
    if (!sorted_) {
      for (int k = 0; k < number_; ++k)
        if (Eq(a_[k], &v)) return k;
      return -1;
    }
    int lo = 0;
    int hi = number_ - 1;
    while (lo < hi) {
      int mid = (lo + hi) / 2;
      if (Gt(&v, a_[mid]))
        lo = mid + 1;
      else
        hi = mid;
    }
    return Eq(a_[lo], &v) ? lo : -1;
  }
  int Find(const T& v) const {
    int i = Search(v);
    if (i < 0) C_ERROR::Trigger(TLISTP_ERR_NOT_FOUND);
    return i;
  }
  int FindMin() const {
    if (number_ == 0) {
      C_ERROR::Trigger(TLISTP_ERR_LIST_IS_VOID);
      return -1;
    }
    if (sorted_) return 0;
    int m = 0;
    for (int k = 1; k < number_; ++k)
      if (Gt(a_[m], a_[k])) m = k;
    return m;
  }
  int FindMax() const {
    if (number_ == 0) {
      C_ERROR::Trigger(TLISTP_ERR_LIST_IS_VOID);
      return -1;
    }
    if (sorted_) return number_ - 1;
    int m = 0;
    for (int k = 1; k < number_; ++k)
      if (Gt(a_[k], a_[m])) m = k;
    return m;
  }
  int FindInterval(const T& v) const { return FindInterval(&v); }
  C_BOOL operator==(const T_LIST_P& l) const {
    if (number_ != l.number_) return false;
    for (int k = 0; k < number_; ++k)
      if (!Eq(a_[k], l.a_[k])) return false;
    return true;
  }
  C_BOOL operator!=(const T_LIST_P& l) const { return !(*this == l); }
  // Deletes the objects equal to objects of l: a merge from the ends when both
  // lists are flagged (each match uses one object of l), else a Search in l.
  void Subtract(const T_LIST_P& l) {
    if (&l == this) {
      for (int k = 0; k < number_; ++k) {
        delete a_[k];
        a_[k] = nullptr;
      }
      number_ = 0;
      return;
    }
    int w = number_;
    if (sorted_ && l.sorted_) {
      int i = number_ - 1;
      int j = l.number_ - 1;
      while (i >= 0) {
        if (j >= 0 && !Gt(a_[i], l.a_[j])) {
          if (Eq(l.a_[j], a_[i])) {
            delete a_[i];
            --i;
          }
          --j;
        } else {
          a_[--w] = a_[i--];
        }
      }
    } else {
      for (int i = number_ - 1; i >= 0; --i) {
        if (l.SearchValue(a_[i]) >= 0)
          delete a_[i];
        else
          a_[--w] = a_[i];
      }
    }
    std::copy(a_ + w, a_ + number_, a_);
    std::fill(a_ + (number_ - w), a_ + number_, nullptr);
    number_ -= w;
  }

  // ---- Views and hand-over
  // Fills list with the pointers; this list keeps the objects.
  void GetList(T_LIST<const T*>* list) const {
    if (list == nullptr) return;
    list->Clear();
    list->SetSorted(false);
    list->Grow(number_);
    if (C_ERROR::Is()) return;
    for (int k = 0; k < number_; ++k) list->Append(a_[k]);
  }
  // Moves the pointers into list (its former pointers are dropped, as GetList
  // fills its list), whose holder then owns the objects; this list is left
  // empty and flagged. A failed allocation leaves both lists as they were.
  void GrabList(T_LIST<T*>* list) {
    if (list == nullptr) return;
    list->Grow(number_);
    if (C_ERROR::Is()) return;
    list->Clear();
    list->Append(number_, a_);
    std::fill(a_, a_ + number_, nullptr);
    number_ = 0;
    sorted_.SetTrue();
  }

  // ---- Persistence: the count, each object's record, then the flag. A null
  // slot is written as a default object.
  void Save(C_FILE* file) const {
    Tsave(number_, file, 0);
    if (C_ERROR::Is()) return;
    for (int k = 0; k < number_; ++k) {
      TlistSaveElement(a_[k] != nullptr ? *a_[k] : GetDefault(), file);
      if (C_ERROR::Is()) return;
    }
    Tsave(sorted_, file, 0);
  }
  // The list is replaced only when the whole record was read.
  static constexpr int kLoadReserve = 1024;
  void Load(int version, C_FILE* file) {
    int n = 0;
    Tload(version, file, &n);
    if (C_ERROR::Is()) return;
    if (n < 0) {
      CerrInvalidValue.Trigger();
      return;
    }
    // A count read from a file is not trusted with the allocation: room
    // grows as the elements actually arrive.
    T_LIST_P tmp(std::min(n, kLoadReserve));
    if (C_ERROR::Is()) return;
    for (int k = 0; k < n; ++k) {
      if (k >= tmp.size_) {
        tmp.GrowAuto(k + 1);
        if (C_ERROR::Is()) return;
      }
      T* q = Cnew<T>();
      if (C_ERROR::Is()) return;
      tmp.a_[k] = q;
      tmp.number_ = k + 1;
      TlistLoadElement(version, file, q);
      if (C_ERROR::Is()) return;
    }
    C_BOOL flag;
    Tload(version, file, &flag);
    if (C_ERROR::Is()) return;
    Release();
    a_ = tmp.a_;
    size_ = tmp.size_;
    number_ = tmp.number_;
    sorted_ = flag;
    tmp.a_ = nullptr;
    tmp.size_ = tmp.number_ = 0;
  }

 private:
  static bool Eq(const T* x, const T* y) {
    if (x == nullptr || y == nullptr) return x == y;
    return bool(*x == *y);
  }
  // x > y, a null slot being less than any object.
  static bool Gt(const T* x, const T* y) {
    if (x == nullptr) return false;
    if (y == nullptr) return true;
    return bool(*x > *y);
  }
  static T* CloneOf(const T& v) { return static_cast<T*>(v.CloneSame()); }
  // Pointer arrays are null-filled so that spare slots are always null.
  static T** Alloc(int n) {
    T** b = CnewArray<T*>(n);
    if (b != nullptr) std::fill(b, b + n, nullptr);
    return b;
  }
  int AutoCapacity(int n) const {
    int twice = size_ > INT_MAX / 2 ? INT_MAX : 2 * size_;
    int c = std::max(twice, n);
    return c < 1 ? 1 : c;
  }
  void Reallocate(int cap) {
    T** b = Alloc(cap);
    if (b == nullptr) return;
    std::copy(a_, a_ + number_, b);
    delete[] a_;
    a_ = b;
    size_ = cap;
  }
  // Opens k null slots at i, growing as Append does.
  bool OpenGap(int i, int k) {
    if (number_ + k > size_) {
      int cap = AutoCapacity(number_ + k);
      T** b = Alloc(cap);
      if (b == nullptr) return false;
      std::copy(a_, a_ + i, b);
      std::copy(a_ + i, a_ + number_, b + i + k);
      delete[] a_;
      a_ = b;
      size_ = cap;
    } else {
      std::copy_backward(a_ + i, a_ + number_, a_ + number_ + k);
      std::fill(a_ + i, a_ + i + k, nullptr);
    }
    number_ += k;
    return true;
  }
  int SearchValue(const T* p) const {
    if (p == nullptr) {
      for (int k = 0; k < number_; ++k)
        if (a_[k] == nullptr) return k;
      return -1;
    }
    return Search(*p);
  }
  int FindInterval(const T* v) const {
    if (number_ == 0) {
      C_ERROR::Trigger(TLISTP_ERR_LIST_IS_VOID);
      return 0;
    }
    if (!sorted_) {
      C_ERROR::Trigger(TLISTP_ERR_NOT_SORTED);
      return 0;
    }
    if (Gt(a_[0], v)) return -1;
    if (!Gt(a_[number_ - 1], v)) return number_ - 1;
    int lo = 0;
    int hi = number_ - 1;
    while (hi - lo > 1) {
      int mid = lo + (hi - lo) / 2;
      if (Gt(a_[mid], v))
        hi = mid;
      else
        lo = mid;
    }
    return lo;
  }
  void CopyFrom(const T_LIST_P& l) {
    if (l.number_ == 0) return;
    T** b = Alloc(l.number_);
    if (b == nullptr) return;
    for (int k = 0; k < l.number_; ++k) {
      if (l.a_[k] == nullptr) continue;
      b[k] = CloneOf(*l.a_[k]);
      if (C_ERROR::Is()) {
        for (int m = 0; m <= k; ++m) delete b[m];
        delete[] b;
        return;
      }
    }
    a_ = b;
    size_ = number_ = l.number_;
  }
  // Deletes the live objects and nulls their slots; number 0, storage kept.
  void DeleteObjects() {
    for (int k = 0; k < number_; ++k) {
      delete a_[k];
      a_[k] = nullptr;
    }
    number_ = 0;
  }
  void Release() {
    for (int k = 0; k < number_; ++k) delete a_[k];
    delete[] a_;
    a_ = nullptr;
    size_ = number_ = 0;
  }

  T** a_ = nullptr;
  int size_ = 0;
  int number_ = 0;
  C_BOOL sorted_;
};

#endif
