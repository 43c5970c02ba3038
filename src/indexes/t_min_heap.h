#ifndef G3GEOM_INDEXES_T_MIN_HEAP_H
#define G3GEOM_INDEXES_T_MIN_HEAP_H

#include <utility>

#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/t_node.h"

// Reads the priority of a heap entry from its member `key` (a double).
template <class E>
struct TMIN_HEAP_MEMBER_KEY {
  static double Get(const E& e) { return e.key; }
};

// A binary min-heap of entries E ordered by a double key, the smallest first.
// KEY is a tiny accessor with `static double Get(const E&)`; by default the
// entry's member `key` is read.
//
// The exact push and pop moves are part of the contract, because the
// incremental searches built on this heap rely on the order in which entries
// of equal key come out:
// - Push appends at the end and sifts up: the entry swaps with its parent at
//   (i - 1) / 2 as long as the parent's key is not strictly smaller (an entry
//   therefore climbs above an older entry of the same key).
// - Pop takes position 0 and walks the hole down to a leaf, each time into the
//   child of smaller key, the left child when the keys are equal; then the
//   last entry fills the hole (unless the hole is the last position) and sifts
//   up, and the last position is dropped.
//
// E must be default-constructible and copyable. A failed growth leaves
// CerrOutOfMemory pending and the heap unchanged.
template <class E, class KEY = TMIN_HEAP_MEMBER_KEY<E>>
class T_MIN_HEAP {
 public:
  static constexpr int INITIAL_CAPACITY = 16;

  T_MIN_HEAP() = default;
  ~T_MIN_HEAP() { delete[] a_; }
  T_MIN_HEAP(const T_MIN_HEAP& h) { CopyFrom(h); }
  T_MIN_HEAP& operator=(const T_MIN_HEAP& h) {
    if (&h != this) {
      Free();
      CopyFrom(h);
    }
    return *this;
  }
  T_MIN_HEAP(T_MIN_HEAP&& h) noexcept : a_(h.a_), size_(h.size_), number_(h.number_) {
    h.a_ = nullptr;
    h.size_ = h.number_ = 0;
  }
  T_MIN_HEAP& operator=(T_MIN_HEAP&& h) noexcept {
    if (&h != this) {
      delete[] a_;
      a_ = h.a_;
      size_ = h.size_;
      number_ = h.number_;
      h.a_ = nullptr;
      h.size_ = h.number_ = 0;
    }
    return *this;
  }

  int GetNumber() const { return number_; }
  // Entries the storage holds before it must grow.
  int GetSize() const { return size_; }
  C_BOOL IsVoid() const { return number_ == 0; }
  // Entries in heap order (position 0 is the smallest); no index check.
  const E& GetFast(int i) const { return a_[i]; }
  const E& operator[](int i) const { return a_[i]; }
  // The same with a check: an index out of range raises TerrInvalidIndex and
  // gives a default-built entry.
  const E& Get(int i) const {
    if (i < 0 || i >= number_) {
      TerrInvalidIndex.Trigger();
      static const E none{};
      return none;
    }
    return a_[i];
  }
  // The smallest entry; no check, the heap must not be void.
  const E& Top() const { return a_[0]; }

  // Makes room for n entries; CerrOutOfMemory pending on failure.
  void Reserve(int n) {
    if (n > size_) Grow(n);
  }
  // Empties the heap, keeping its storage.
  void Clear() { number_ = 0; }
  // Empties the heap and releases its storage.
  void Free() {
    delete[] a_;
    a_ = nullptr;
    size_ = number_ = 0;
  }

  void Push(const E& e) {
    if (number_ == size_ && !Grow(size_ < INITIAL_CAPACITY ? INITIAL_CAPACITY : 2 * size_)) return;
    a_[number_] = e;
    SiftUp(number_);
    ++number_;
  }

  // Removes the smallest entry into *out (when out is given). A void heap
  // raises TerrListIsVoid and returns false, *out untouched.
  C_BOOL Pop(E* out) {
    if (number_ == 0) {
      TerrListIsVoid.Trigger();
      return false;
    }
    if (out != nullptr) *out = std::move(a_[0]);
    const int last = number_ - 1;
    int hole = 0;
    for (;;) {
      const int left = 2 * hole + 1;
      if (left > last) break;
      int child = left;
      // Right only when strictly smaller: the left child wins ties.
      if (left + 1 <= last && KEY::Get(a_[left + 1]) < KEY::Get(a_[left])) child = left + 1;
      a_[hole] = std::move(a_[child]);
      hole = child;
    }
    if (hole != last) {
      a_[hole] = std::move(a_[last]);
      SiftUp(hole);
    }
    number_ = last;
    return true;
  }

  // Pop returning the entry; a default-built entry (and TerrListIsVoid) for a
  // void heap.
  E Pop() {
    E e{};
    Pop(&e);
    return e;
  }

 private:
  // Moves the entry at i up while its parent's key is not strictly smaller.
  void SiftUp(int i) {
    E e = std::move(a_[i]);
    const double k = KEY::Get(e);
    while (i > 0) {
      const int parent = (i - 1) / 2;
      if (KEY::Get(a_[parent]) < k) break;
      a_[i] = std::move(a_[parent]);
      i = parent;
    }
    a_[i] = std::move(e);
  }

  C_BOOL Grow(int n) {
    E* b = CnewArray<E>(n);
    if (b == nullptr) return false;
    for (int i = 0; i < number_; ++i) b[i] = std::move(a_[i]);
    delete[] a_;
    a_ = b;
    size_ = n;
    return true;
  }

  void CopyFrom(const T_MIN_HEAP& h) {
    if (h.number_ == 0) return;
    E* b = CnewArray<E>(h.number_);
    if (b == nullptr) return;
    for (int i = 0; i < h.number_; ++i) b[i] = h.a_[i];
    a_ = b;
    size_ = number_ = h.number_;
  }

  E* a_ = nullptr;
  int size_ = 0;
  int number_ = 0;
};

#endif
