#ifndef G3GEOM_CONTAINERS_T_LIST_H
#define G3GEOM_CONTAINERS_T_LIST_H

#include <algorithm>
#include <climits>
#include <type_traits>
#include <utility>

#include "containers/t_list_io.h"
#include "containers/t_sort.h"
#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/c_math.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"

// The strict order of list elements: a < b means b > a (elements offer only
// == and >).
template <class T>
struct TLIST_LESS {
  bool operator()(const T& a, const T& b) const { return b > a; }
};

// SortIndexes takes its comparison before or after the two positions; this
// keeps a number from being taken for the comparison.
template <class COMPARE>
using TLIST_COMPARE = std::enable_if_t<!std::is_arithmetic_v<COMPARE>>;

// A growable array of values with a "sorted" flag. When the flag is set no
// element is less than its predecessor, and searches are binary; a clear flag
// promises nothing. Every operation that may break the order checks it locally
// or clears the flag.
//
// Failures (bad index, empty list, failed allocation) leave an error pending,
// leave the list unchanged and return the documented fallback: the static
// default element, null, -1 or 0.
template <class T>
class T_LIST {
 public:
  // ---- Construction and copying
  T_LIST() = default;
  // Storage for capacity elements, none live.
  explicit T_LIST(int capacity) { Grow(capacity); }
  // n elements copied from array; capacity n, flag cleared.
  T_LIST(int n, const T* array) {
    if (n <= 0) return;
    T* b = Alloc(n);
    if (b == nullptr) return;
    std::copy(array, array + n, b);
    a_ = b;
    size_ = number_ = n;
  }
  // Capacity exactly the source's number; the flag is copied.
  T_LIST(const T_LIST& l) : sorted_(l.sorted_) {
    if (l.number_ <= 0) return;
    T* b = Alloc(l.number_);
    if (b == nullptr) return;
    std::copy(l.a_, l.a_ + l.number_, b);
    a_ = b;
    size_ = number_ = l.number_;
  }
  T_LIST(T_LIST&& l) noexcept
      : a_(l.a_), size_(l.size_), number_(l.number_), sorted_(l.sorted_) {
    l.a_ = nullptr;
    l.size_ = l.number_ = 0;
  }
  // Keeps the own storage when it holds enough; otherwise releases it before
  // allocating, so a failed allocation leaves the list empty and usable.
  T_LIST& operator=(const T_LIST& l) {
    if (&l == this) return *this;
    if (l.number_ > size_) {
      ClearAndFree();
      T* b = Alloc(l.number_);
      if (b == nullptr) return *this;
      a_ = b;
      size_ = l.number_;
    }
    std::copy(l.a_, l.a_ + l.number_, a_);
    number_ = l.number_;
    sorted_ = l.sorted_;
    return *this;
  }
  T_LIST& operator=(T_LIST&& l) noexcept {
    if (&l == this) return *this;
    delete[] a_;
    a_ = l.a_;
    size_ = l.size_;
    number_ = l.number_;
    sorted_ = l.sorted_;
    l.a_ = nullptr;
    l.size_ = l.number_ = 0;
    return *this;
  }
  ~T_LIST() { delete[] a_; }

  // A new heap copy owned by the caller; null after a failed allocation.
  T_LIST* Clone() const { return CloneSame(); }
  T_LIST* CloneSame() const {
    T_LIST* c = Cnew<T_LIST>(*this);
    if (C_ERROR::Is()) {
      delete c;
      return nullptr;
    }
    return c;
  }

  // The element returned by reference when none can be given: 0 for numbers,
  // null for pointers, a default-built object for classes.
  static const T& GetDefault() {
    static const T element{};
    return element;
  }

  // ---- Size and storage
  int GetNumber() const { return number_; }
  int GetSize() const { return size_; }
  C_BOOL IsVoid() const { return number_ == 0; }
  void CheckIsVoid() const {
    if (number_ != 0) TerrListIsNotVoid.Trigger();
  }
  void CheckIsNotVoid() const {
    if (number_ == 0) TerrListIsVoid.Trigger();
  }
  // Storage of exactly n when n exceeds the capacity; never shrinks.
  void Grow(int n) {
    if (n > size_) Reallocate(n);
  }
  // Storage of max(2 x capacity, n), at least 1, when n exceeds the capacity.
  void GrowAuto(int n) {
    if (n > size_) Reallocate(AutoCapacity(n));
  }
  // Elements that become live keep what the storage held, so the flag is
  // cleared when the number grows.
  void SetNumber(int n) {
    if (n < 0) {
      TerrInvalidIndex.Trigger();
      return;
    }
    GrowAuto(n);
    if (C_ERROR::Is()) return;
    if (n > number_) sorted_.SetFalse();
    number_ = n;
  }
  void Clear() { number_ = 0; }
  void ClearAndFree() {
    delete[] a_;
    a_ = nullptr;
    size_ = number_ = 0;
  }
  // Hands the storage (and its number through n) to the caller, who releases
  // it with delete[].
  T* Detach(int* n = nullptr) {
    T* b = a_;
    if (n != nullptr) *n = number_;
    a_ = nullptr;
    size_ = number_ = 0;
    sorted_.SetFalse();
    return b;
  }
  // Takes the caller's array of n elements (allocated with new[]).
  void ReplaceAll(int n, T** array) {
    if (array == nullptr) return;
    delete[] a_;
    a_ = *array;
    *array = nullptr;
    size_ = number_ = (a_ != nullptr && n > 0) ? n : 0;
    sorted_.SetFalse();
  }
  // Takes the other list's storage, capacity, number and flag.
  void Grab(T_LIST* other) {
    if (other == nullptr || other == this) return;
    delete[] a_;
    a_ = other->a_;
    size_ = other->size_;
    number_ = other->number_;
    sorted_ = other->sorted_;
    other->a_ = nullptr;
    other->size_ = other->number_ = 0;
  }

  // ---- Access
  const T& Get(int i) const {
    if (i < 0 || i >= number_) {
      TerrInvalidIndex.Trigger();
      return GetDefault();
    }
    return a_[i];
  }
  // Element number + k - 1: GetLast(0) is the last, GetLast(-1) the one before.
  const T& GetLast(int k = 0) const { return Get(number_ + k - 1); }
  // A writable pointer; the flag is cleared since the element may change.
  T* GetAdr(int i) {
    if (number_ == 0) {
      TerrListIsVoid.Trigger();
      return nullptr;
    }
    if (i < 0 || i >= number_) {
      TerrInvalidIndex.Trigger();
      return nullptr;
    }
    sorted_.SetFalse();
    return a_ + i;
  }
  T* GetLastAdr() { return GetAdr(number_ - 1); }
  // Unchecked; the flag is left alone.
  const T& GetFast(int i) const { return a_[i]; }
  const T& operator[](int i) const { return a_[i]; }
  T& operator[](int i) { return a_[i]; }
  T* GetAdrFast(int i) { return a_ + i; }
  const T* GetAdrFast(int i) const { return a_ + i; }
  const T& GetMin() const {
    int i = FindMin();
    return i < 0 ? GetDefault() : a_[i];
  }
  const T& GetMax() const {
    int i = FindMax();
    return i < 0 ? GetDefault() : a_[i];
  }
  // Copies of elements first..last into out (its previous elements dropped).
  // A range outside the list raises TerrInvalidIndex and leaves out alone.
  void GetSlice(int first, int last, T_LIST* out) const {
    if (out == nullptr) return;
    if (first < 0 || last >= number_ || last < first - 1) {
      TerrInvalidIndex.Trigger();
      return;
    }
    if (out == this) {
      T_LIST tmp;
      GetSlice(first, last, &tmp);
      if (!C_ERROR::Is()) out->Grab(&tmp);
      return;
    }
    int n = last - first + 1;
    out->Clear();
    out->Grow(n);
    if (C_ERROR::Is()) return;
    std::copy(a_ + first, a_ + first + n, out->a_);
    out->number_ = n;
    // A slice of an ordered list is ordered.
    out->sorted_ = sorted_;
  }
  T_LIST* GetSlice(int first, int last) const {
    T_LIST* out = Cnew<T_LIST>();
    if (C_ERROR::Is()) return nullptr;
    GetSlice(first, last, out);
    if (C_ERROR::Is()) {
      delete out;
      return nullptr;
    }
    return out;
  }

  // ---- Adding
  // v may be an element of this list: it is stored before the old storage is
  // released.
  void Append(const T& v) {
    if (number_ == size_) {
      T* b = Alloc(AutoCapacity(number_ + 1));
      if (b == nullptr) return;
      b[number_] = v;
      MoveTo(b, AutoCapacity(number_ + 1));
    } else {
      a_[number_] = v;
    }
    ++number_;
    if (sorted_ && number_ > 1 && a_[number_ - 2] > a_[number_ - 1]) sorted_.SetFalse();
  }
  // n copies of v.
  void Append(int n, const T& v) {
    if (n <= 0) return;
    if (!OpenGap(number_, n, [&](T* d) { std::fill(d, d + n, v); })) return;
    if (sorted_ && number_ > n && a_[number_ - n - 1] > a_[number_ - n]) sorted_.SetFalse();
  }
  void Append(const T_LIST& l) {
    if (&l == this) {
      T_LIST tmp(l);
      if (!C_ERROR::Is()) Append(tmp);
      return;
    }
    Append(l.number_, l.a_);
  }
  void Append(int n, const T* array) {
    if (n > 0) {
      if (!OpenGap(number_, n, [&](T* d) { std::copy(array, array + n, d); })) return;
    }
    sorted_.SetFalse();
  }
  void Insert(int i, const T& v) { Insert(i, 1, v); }
  void Insert(int i, int n, const T& v) {
    if (i < 0 || i > number_) {
      TerrInvalidIndex.Trigger();
      return;
    }
    if (n <= 0) return;
    // The tail moves before the copies are written: keep v aside.
    const T value(v);
    if (!OpenGap(i, n, [&](T* d) { std::fill(d, d + n, value); })) return;
    CheckInserted(i, n);
  }
  void Insert(int i, const T_LIST& l) {
    if (i < 0 || i > number_) {
      TerrInvalidIndex.Trigger();
      return;
    }
    if (&l == this) {
      T_LIST tmp(l);
      if (!C_ERROR::Is()) Insert(i, tmp);
      return;
    }
    int n = l.number_;
    if (n <= 0) return;
    if (!OpenGap(i, n, [&](T* d) { std::copy(l.a_, l.a_ + n, d); })) return;
    CheckInserted(i, n);
  }
  // Number 0, storage of exactly n, then n appends of v.
  void FillList(int n, const T& v) {
    const T value(v);
    number_ = 0;
    Grow(n);
    if (C_ERROR::Is()) return;
    for (int k = 0; k < n; ++k) a_[k] = value;
    number_ = n > 0 ? n : 0;
  }
  // Opens k slots at i: elements i.. move up by k; the k slots keep their old
  // contents. Storage grows to exactly number + k.
  void Shift(int k, int i) {
    if (i < 0 || i > number_) {
      TerrInvalidIndex.Trigger();
      return;
    }
    if (k < 0) return;
    Grow(number_ + k);
    if (C_ERROR::Is()) return;
    std::copy_backward(a_ + i, a_ + number_, a_ + number_ + k);
    number_ += k;
    sorted_.SetFalse();
  }
  // On a flagged non-empty list v goes after every element equal to it;
  // otherwise it is appended and the list sorted. Gives v's index, -1 on failure.
  int InsertSorted(const T& v) {
    if (sorted_ && number_ > 0) {
      int i = FindInterval(v) + 1;
      Insert(i, v);
      return C_ERROR::Is() ? -1 : i;
    }
    // v may be an element of this list, which the sort moves.
    const T value(v);
    Append(value);
    if (C_ERROR::Is()) return -1;
    Sort();
    return Search(value);
  }

  // ---- Removing (the order of the rest is kept, and so is the flag)
  void Remove(int i) {
    if (i < 0 || i >= number_) {
      TerrInvalidIndex.Trigger();
      return;
    }
    std::move(a_ + i + 1, a_ + number_, a_ + i);
    --number_;
  }
  void Remove(int i, int count) {
    if (i < 0 || count < 0 || i > number_ - count) {
      TerrInvalidIndex.Trigger();
      return;
    }
    std::move(a_ + i + count, a_ + number_, a_ + i);
    number_ -= count;
  }
  void RemoveLast(int k = 0) { Remove(number_ + k - 1); }
  // Keeps the first occurrence of each value; on a flagged list equal values
  // are neighbours, so only neighbours are compared.
  void RemoveMultiples() {
    if (number_ < 2) return;
    int w = 1;
    if (sorted_) {
      for (int r = 1; r < number_; ++r) {
        if (!(a_[r] == a_[w - 1])) {
          if (w != r) a_[w] = std::move(a_[r]);
          ++w;
        }
      }
    } else {
      for (int r = 1; r < number_; ++r) {
        int k = 0;
        while (k < w && !(a_[k] == a_[r])) ++k;
        if (k == w) {
          if (w != r) a_[w] = std::move(a_[r]);
          ++w;
        }
      }
    }
    number_ = w;
  }
  // Keeps the elements e with lo <= e <= hi, in order.
  void RemoveOutOfRange(const T& lo, const T& hi) {
    const T low(lo);
    const T high(hi);
    int w = 0;
    for (int r = 0; r < number_; ++r) {
      if (!(low > a_[r]) && !(a_[r] > high)) {
        if (w != r) a_[w] = std::move(a_[r]);
        ++w;
      }
    }
    number_ = w;
  }
  // Removes only when no error is pending, an earlier one included.
  void FindAndRemove(const T& v) {
    int i = Search(v);
    if (i < 0) {
      TerrListNotFound.Trigger();
      return;
    }
    if (C_ERROR::Is()) return;
    Remove(i);
  }

  // ---- Replacing and reordering
  void Replace(int i, const T& v) {
    if (i < 0 || i >= number_) {
      TerrInvalidIndex.Trigger();
      return;
    }
    a_[i] = v;
    if (sorted_ && ((i > 0 && a_[i - 1] > a_[i]) || (i + 1 < number_ && a_[i] > a_[i + 1])))
      sorted_.SetFalse();
  }
  void ReplaceFast(int i, const T& v) { a_[i] = v; }
  void Swap(int i, int j) {
    if (i < 0 || i >= number_ || j < 0 || j >= number_) {
      TerrInvalidIndex.Trigger();
      return;
    }
    SwapFast(i, j);
    sorted_.SetFalse();
  }
  void SwapFast(int i, int j) {
    using std::swap;
    swap(a_[i], a_[j]);
  }
  void Invert() {
    std::reverse(a_, a_ + number_);
    sorted_.SetFalse();
  }
  // Element i moves to (i + k) mod number; k may be negative or larger than
  // the number. Nothing happens (flag kept) when k mod number is 0.
  void Rotate(int k) {
    if (number_ == 0) return;
    int r = k % number_;
    if (r < 0) r += number_;
    if (r == 0) return;
    std::rotate(a_, a_ + (number_ - r), a_ + number_);
    sorted_.SetFalse();
  }
  // Fisher-Yates with the runtime's random integers.
  void Shuffle() {
    for (int i = number_ - 1; i >= 1; --i) {
      int j = int(CmathIntRand() % unsigned(i + 1));
      SwapFast(i, j);
    }
    sorted_.SetFalse();
  }
  // New storage of number elements holding, block after block, counts[b]
  // elements from starts[b]. Blocks must lie inside the list and their counts
  // add up to the number; otherwise CerrInvalidValue, list unchanged.
  void SwapBlocks(const T_LIST<int>& starts, const T_LIST<int>& counts) {
    int nb = starts.GetNumber();
    if (nb != counts.GetNumber()) {
      CerrInvalidValue.Trigger();
      return;
    }
    long total = 0;
    for (int b = 0; b < nb; ++b) {
      int s = starts.GetFast(b);
      int c = counts.GetFast(b);
      if (s < 0 || c < 0 || s > number_ - c) {
        CerrInvalidValue.Trigger();
        return;
      }
      total += c;
    }
    if (total != number_) {
      CerrInvalidValue.Trigger();
      return;
    }
    T* b = nullptr;
    if (number_ > 0) {
      b = Alloc(number_);
      if (b == nullptr) return;
      T* d = b;
      for (int k = 0; k < nb; ++k) {
        const T* s = a_ + starts.GetFast(k);
        d = std::copy(s, s + counts.GetFast(k), d);
      }
    }
    delete[] a_;
    a_ = b;
    size_ = number_;
    sorted_.SetFalse();
  }
  // Quicksort (not stable); nothing when the flag is set. Sets the flag.
  void Sort() {
    if (sorted_) return;
    if (number_ > 1) Tquicksort(a_, 0, number_ - 1, TLIST_LESS<T>());
    sorted_.SetTrue();
  }
  // Merge sort: equal elements keep their order. Sets the flag.
  void StableSort() {
    int n = number_;
    if (n == 0) {
      ClearAndFree();
      sorted_.SetTrue();
      return;
    }
    int* idx = CnewArray<int>(n);
    if (idx == nullptr) return;
    int* scratch = CnewArray<int>(n);
    if (scratch == nullptr) {
      delete[] idx;
      return;
    }
    T* b = Alloc(n);
    if (b == nullptr) {
      delete[] scratch;
      delete[] idx;
      return;
    }
    for (int k = 0; k < n; ++k) idx[k] = k;
    MergeSort(idx, scratch, 0, n - 1);
    for (int k = 0; k < n; ++k) b[k] = std::move(a_[idx[k]]);
    delete[] scratch;
    delete[] idx;
    delete[] a_;
    a_ = b;
    size_ = n;
    sorted_.SetTrue();
  }
  // Sorts positions first..last of indexes (indices into this list) by the
  // elements they address; compare(a, b) > 0 when *a goes after *b. The list
  // itself is unchanged. Nothing happens when it is flagged or holds fewer
  // than 2 elements. A position or an index outside its list raises
  // TerrInvalidIndex.
  template <class COMPARE, class = TLIST_COMPARE<COMPARE>>
  void SortIndexes(COMPARE compare, int first, int last, T_LIST<int>* indexes) const {
    if (indexes == nullptr || sorted_ || number_ < 2) return;
    if (first < 0 || last >= indexes->GetNumber()) {
      TerrInvalidIndex.Trigger();
      return;
    }
    if (last <= first) return;
    int* ids = indexes->GetAdrFast(0);
    for (int k = first; k <= last; ++k) {
      if (ids[k] < 0 || ids[k] >= number_) {
        TerrInvalidIndex.Trigger();
        return;
      }
    }
    const T* e = a_;
    Tquicksort(ids, first, last,
               [e, &compare](int x, int y) { return compare(e + y, e + x) > 0; });
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
  // Sets the flag when no element is less than its predecessor, clears it
  // otherwise.
  void SetSorted() {
    for (int k = 1; k < number_; ++k) {
      if (a_[k - 1] > a_[k]) {
        sorted_.SetFalse();
        return;
      }
    }
    sorted_.SetTrue();
  }
  // Sets the flag as given, without looking at the elements.
  void SetSorted(C_BOOL flag) { sorted_ = flag; }
  C_BOOL IsSorted() const { return sorted_; }

  // ---- Searching and comparing
  // Index of the first element equal to v, or -1: binary on a flagged list.
  int Search(const T& v) const {
    if (number_ == 0) return -1;
    if (!sorted_) {
      for (int k = 0; k < number_; ++k)
        if (a_[k] == v) return k;
      return -1;
    }
    int lo = LowerBound(v);
    return a_[lo] == v ? lo : -1;
  }
  int Find(const T& v) const {
    int i = Search(v);
    if (i < 0) TerrListNotFound.Trigger();
    return i;
  }
  // First index of the least (greatest) element; 0 (number - 1) on a flagged
  // list; -1 with TerrListIsVoid on an empty one.
  int FindMin() const {
    if (number_ == 0) {
      TerrListIsVoid.Trigger();
      return -1;
    }
    if (sorted_) return 0;
    int m = 0;
    for (int k = 1; k < number_; ++k)
      if (a_[m] > a_[k]) m = k;
    return m;
  }
  int FindMax() const {
    if (number_ == 0) {
      TerrListIsVoid.Trigger();
      return -1;
    }
    if (sorted_) return number_ - 1;
    int m = 0;
    for (int k = 1; k < number_; ++k)
      if (a_[k] > a_[m]) m = k;
    return m;
  }
  // On a flagged list: -1 when v < first, number - 1 when v >= last, else the
  // i with element i <= v < element i + 1. An empty list raises TerrListIsVoid,
  // an unflagged one TerrListNotSorted; both give 0.
  int FindInterval(const T& v) const {
    if (number_ == 0) {
      TerrListIsVoid.Trigger();
      return 0;
    }
    if (!sorted_) {
      TerrListNotSorted.Trigger();
      return 0;
    }
    if (a_[0] > v) return -1;
    if (!(a_[number_ - 1] > v)) return number_ - 1;
    int lo = 0;  // a[lo] <= v
    int hi = number_ - 1;  // v < a[hi]
    while (hi - lo > 1) {
      int mid = lo + (hi - lo) / 2;
      if (a_[mid] > v)
        hi = mid;
      else
        lo = mid;
    }
    return lo;
  }
  C_BOOL operator==(const T_LIST& l) const {
    if (number_ != l.number_) return false;
    for (int k = 0; k < number_; ++k)
      if (!(a_[k] == l.a_[k])) return false;
    return true;
  }
  C_BOOL operator!=(const T_LIST& l) const { return !(*this == l); }
  // Compares the numbers of elements only.
  C_BOOL operator>(const T_LIST& l) const { return number_ > l.number_; }
  C_BOOL StartsWith(const T_LIST& l) const {
    if (l.number_ > number_) return false;
    for (int k = 0; k < l.number_; ++k)
      if (!(a_[k] == l.a_[k])) return false;
    return true;
  }
  C_BOOL EndsWith(const T_LIST& l) const {
    if (l.number_ > number_) return false;
    const T* e = a_ + (number_ - l.number_);
    for (int k = 0; k < l.number_; ++k)
      if (!(e[k] == l.a_[k])) return false;
    return true;
  }
  // The elements of l occur here in the same order, not necessarily together.
  C_BOOL Contains(const T_LIST& l) const {
    int j = 0;
    for (int k = 0; k < number_ && j < l.number_; ++k)
      if (a_[k] == l.a_[j]) ++j;
    return j == l.number_;
  }

  // ---- Set operations. When both lists are flagged they merge from the
  // ends (each match uses one element of the other list); otherwise each
  // element is looked up with Search.
  void Intersect(const T_LIST& l) {
    if (&l == this) return;
    if (sorted_ && l.sorted_) {
      int i = number_ - 1;
      int j = l.number_ - 1;
      int w = number_;  // kept elements gather at the end, in order
      while (i >= 0) {
        if (j >= 0 && !(a_[i] > l.a_[j])) {
          if (l.a_[j] == a_[i]) {
            KeepAtEnd(i, &w);
            --i;
          }
          --j;
        } else {
          --i;
        }
      }
      DropHead(w);
      return;
    }
    int w = number_;
    for (int i = number_ - 1; i >= 0; --i)
      if (l.Search(a_[i]) >= 0) KeepAtEnd(i, &w);
    DropHead(w);
  }
  void Subtract(const T_LIST& l) {
    if (&l == this) {
      number_ = 0;
      return;
    }
    int w = number_;
    if (sorted_ && l.sorted_) {
      int i = number_ - 1;
      int j = l.number_ - 1;
      while (i >= 0) {
        if (j >= 0 && !(a_[i] > l.a_[j])) {
          if (l.a_[j] == a_[i]) {
            --i;
          }
          --j;
        } else {
          KeepAtEnd(i, &w);
          --i;
        }
      }
    } else {
      for (int i = number_ - 1; i >= 0; --i)
        if (l.Search(a_[i]) < 0) KeepAtEnd(i, &w);
    }
    DropHead(w);
  }
  // Appends the elements of l missing here (which clears the flag).
  void Unite(const T_LIST& l) {
    if (&l == this) {
      T_LIST tmp(l);
      if (!C_ERROR::Is()) Unite(tmp);
      return;
    }
    T_LIST extra;
    if (sorted_ && l.sorted_) {
      int i = number_ - 1;
      int j = l.number_ - 1;
      while (j >= 0) {
        if (i >= 0 && a_[i] > l.a_[j]) {
          --i;
        } else if (i >= 0 && a_[i] == l.a_[j]) {
          --i;
          --j;
        } else {
          extra.Append(l.a_[j]);
          if (C_ERROR::Is()) return;
          --j;
        }
      }
    } else {
      for (int j = 0; j < l.number_; ++j) {
        if (Search(l.a_[j]) < 0) {
          extra.Append(l.a_[j]);
          if (C_ERROR::Is()) return;
        }
      }
    }
    Append(extra);
  }
  // Symmetric difference: appends l, then keeps, in order, each element not
  // found both in this list as it was and in l.
  void UniteExc(const T_LIST& l) {
    T_LIST before(*this);
    if (C_ERROR::Is()) return;
    T_LIST other(l);
    if (C_ERROR::Is()) return;
    Append(other);
    if (C_ERROR::Is()) return;
    int w = 0;
    for (int r = 0; r < number_; ++r) {
      if (before.Search(a_[r]) >= 0 && other.Search(a_[r]) >= 0) continue;
      if (w != r) a_[w] = std::move(a_[r]);
      ++w;
    }
    number_ = w;
  }

  // ---- Persistence: the count, the elements, then the flag.
  void Save(C_FILE* file) const {
    Tsave(number_, file, 0);
    if (C_ERROR::Is()) return;
    for (int k = 0; k < number_; ++k) {
      TlistSaveElement(a_[k], file);
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
    T_LIST tmp(std::min(n, kLoadReserve));
    if (C_ERROR::Is()) return;
    for (int k = 0; k < n; ++k) {
      if (k >= tmp.size_) {
        tmp.GrowAuto(k + 1);
        if (C_ERROR::Is()) return;
      }
      TlistLoadElement(version, file, tmp.a_ + k);
      if (C_ERROR::Is()) return;
      tmp.number_ = k + 1;
    }
    C_BOOL flag;
    Tload(version, file, &flag);
    if (C_ERROR::Is()) return;
    tmp.sorted_ = flag;
    Grab(&tmp);
  }

 private:
  static T* Alloc(int n) { return CnewArray<T>(n); }
  // max(2 x capacity, n), at least 1.
  int AutoCapacity(int n) const {
    int twice = size_ > INT_MAX / 2 ? INT_MAX : 2 * size_;
    int c = std::max(twice, n);
    return c < 1 ? 1 : c;
  }
  // Moves the live elements into b (capacity cap) and releases the old storage.
  void MoveTo(T* b, int cap) {
    std::move(a_, a_ + number_, b);
    delete[] a_;
    a_ = b;
    size_ = cap;
  }
  void Reallocate(int cap) {
    T* b = Alloc(cap);
    if (b != nullptr) MoveTo(b, cap);
  }
  // Opens k slots at i and has fill write the new elements there. When the
  // storage must grow, fill runs before the old storage is released, so it may
  // read from the list itself (the tail has not moved yet).
  template <class FILL>
  bool OpenGap(int i, int k, FILL fill) {
    if (number_ + k > size_) {
      int cap = AutoCapacity(number_ + k);
      T* b = Alloc(cap);
      if (b == nullptr) return false;
      fill(b + i);
      std::move(a_, a_ + i, b);
      std::move(a_ + i, a_ + number_, b + i + k);
      delete[] a_;
      a_ = b;
      size_ = cap;
    } else {
      std::move_backward(a_ + i, a_ + number_, a_ + number_ + k);
      fill(a_ + i);
    }
    number_ += k;
    return true;
  }
  // After inserting n elements at i into a flagged list, the flag stays only
  // when the pairs (i - 1, i) .. (i + n - 1, i + n) that exist are in order.
  void CheckInserted(int i, int n) {
    if (!sorted_) return;
    int from = i > 0 ? i - 1 : 0;
    int to = std::min(i + n, number_ - 1);
    for (int k = from; k < to; ++k) {
      if (a_[k] > a_[k + 1]) {
        sorted_.SetFalse();
        return;
      }
    }
  }
  // Helpers of the set operations, which scan from the end: kept elements are
  // gathered at [w, number), then moved down to 0.
  void KeepAtEnd(int i, int* w) {
    --*w;
    if (*w != i) a_[*w] = std::move(a_[i]);
  }
  void DropHead(int w) {
    if (w > 0) std::move(a_ + w, a_ + number_, a_);
    number_ -= w;
  }
  void MergeSort(int* idx, int* scratch, int lo, int hi) const {
    if (lo >= hi) return;
    int mid = (lo + hi) / 2;
    MergeSort(idx, scratch, lo, mid);
    MergeSort(idx, scratch, mid + 1, hi);
    int i = lo, j = mid + 1, k = lo;
    // Take from the left unless the right element is strictly less: stable.
    while (i <= mid && j <= hi) scratch[k++] = a_[idx[i]] > a_[idx[j]] ? idx[j++] : idx[i++];
    while (i <= mid) scratch[k++] = idx[i++];
    while (j <= hi) scratch[k++] = idx[j++];
    std::copy(scratch + lo, scratch + hi + 1, idx + lo);
  }
  // First index in [0, number - 1] whose element is not less than v (number - 1
  // when every element before the last is less). number > 0.
  int LowerBound(const T& v) const {
    int lo = 0;
    int hi = number_ - 1;
    while (lo < hi) {
      int mid = (lo + hi) / 2;
      if (v > a_[mid])
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }

  T* a_ = nullptr;
  int size_ = 0;
  int number_ = 0;
  C_BOOL sorted_;
};

#endif
