#ifndef G3GEOM_CONTAINERS_T_SORT_H
#define G3GEOM_CONTAINERS_T_SORT_H

#include <type_traits>
#include <utility>

// The in-place quicksort shared by the lists and the spatial indexes.
// less(a, b) is true when a goes strictly before b. Not stable.

// Ranges of fewer elements than this are finished by insertion sort.
constexpr int TSORT_SMALL_RANGE = 9;
// Pending ranges. The larger part of a split is pushed and the smaller one
// handled next, so at most log2(n) ranges are ever pending.
constexpr int TSORT_STACK_DEPTH = 64;

// Small trivially copyable pivots are held in a local, so that the scans do
// not reload them after every swap; larger ones are read in place (the pivot
// stays at lo during the partition).
template <class T>
using TSORT_PIVOT =
    std::conditional_t<std::is_trivially_copyable_v<T> && sizeof(T) <= 16, const T, const T&>;

// Insertion sort of a[lo..hi]: an element moves left while it is strictly less
// than its left neighbour, so equal elements keep their order.
template <class T, class LESS>
void TinsertionSort(T* a, int lo, int hi, LESS less) {
  for (int k = lo + 1; k <= hi; ++k) {
    if (!less(a[k], a[k - 1])) continue;
    T v = std::move(a[k]);
    int m = k;
    do {
      a[m] = std::move(a[m - 1]);
      --m;
    } while (m > lo && less(v, a[m - 1]));
    a[m] = std::move(v);
  }
}

// Two-way partition of a[lo..hi] (hi > lo) around its middle element
// a[lo + size / 2], which is first swapped to lo. i scans up while a[i] < pivot,
// j scans down while pivot < a[j]; while i <= j the two are swapped and the
// scans resume. The pivot then goes to j. On return a[lo..*j-1] <= pivot,
// a[*j] is the pivot, a[*j+1..*i-1] equal it and a[*i..hi] >= pivot.
template <class T, class LESS>
void Tpartition(T* a, int lo, int hi, LESS less, int* iOut, int* jOut) {
  using std::swap;
  swap(a[lo], a[lo + (hi - lo + 1) / 2]);
  TSORT_PIVOT<T> p = a[lo];
  int i = lo + 1;
  int j = hi;
  // Only the first upward scan can run past hi; after a swap the element put
  // at j + 1 stops it. The downward scan always stops at the pivot in lo.
  // Once the swap has made i pass j the resumed scans would stop at once, so
  // they are skipped (they could otherwise read beyond hi).
  while (i <= hi && less(a[i], p)) ++i;
  while (less(p, a[j])) --j;
  while (i <= j) {
    swap(a[i], a[j]);
    ++i;
    --j;
    if (i > j) break;
    while (less(a[i], p)) ++i;
    while (less(p, a[j])) --j;
  }
  swap(a[lo], a[j]);
  *iOut = i;
  *jOut = j;
}

// Quicksort of a[lo..hi] with an explicit stack of ranges.
template <class T, class LESS>
void Tquicksort(T* a, int lo, int hi, LESS less) {
  struct RANGE {
    int lo, hi;
  };
  RANGE stack[TSORT_STACK_DEPTH];
  int top = 0;
  for (;;) {
    while (hi - lo + 1 >= TSORT_SMALL_RANGE) {
      int i = 0, j = 0;
      Tpartition(a, lo, hi, less, &i, &j);
      // Ranges [lo, j - 1] and [i, hi]: push the larger, go on with the
      // smaller; a range of one element is dropped.
      if (j - lo >= hi - i + 1) {
        if (j - 1 > lo) stack[top++] = RANGE{lo, j - 1};
        lo = i;
      } else {
        if (hi > i) stack[top++] = RANGE{i, hi};
        hi = j - 1;
      }
    }
    if (hi > lo) TinsertionSort(a, lo, hi, less);
    if (top == 0) return;
    --top;
    lo = stack[top].lo;
    hi = stack[top].hi;
  }
}

#endif
