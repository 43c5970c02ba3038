#include "indexes/g3_hbox.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "algebra/g3_axis.h"
#include "containers/t_sort.h"
#include "indexes/g3_box_classify.h"
#include "runtime/c_error.h"

using namespace g3_box_classify;

namespace {

constexpr const char kErrCannotBuild[] = "R#Err#Cannot build hierarchical boxes";
constexpr const char kErrLeafSize[] = "R#Err#Leaf size below 2";


// b with every NaN coordinate replaced by its void value: a union started from
// it then ignores NaN as Unite does, and no element box is ever NaN (a NaN
// element box would hide the sound boxes under it).
G3_BOX WithoutNan(const G3_BOX& b) {
  auto lo = [](double v) { return std::isnan(v) ? 1e100 : v; };
  auto hi = [](double v) { return std::isnan(v) ? -1e100 : v; };
  return G3_BOX(lo(b.GetXmin()), hi(b.GetXmax()), lo(b.GetYmin()), hi(b.GetYmax()),
                lo(b.GetZmin()), hi(b.GetZmax()));
}



// Asks for the cache lines of data about to be read.
inline void Prefetch(const void* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

// The order of the split: minimum coordinate on axis D; > 0 when a goes
// after b.
template <int D>
int CompareMin(const G3_BOX* a, const G3_BOX* b) {
  const double u = D == 0 ? a->GetXmin() : (D == 1 ? a->GetYmin() : a->GetZmin());
  const double v = D == 0 ? b->GetXmin() : (D == 1 ? b->GetYmin() : b->GetZmin());
  return u > v ? 1 : (u < v ? -1 : 0);
}

// G3_BOX::Unite inline: a bound is replaced only by a strictly smaller
// minimum or a strictly larger maximum.
inline void UniteInto(G3_BOX* a, const G3_BOX& b) {
  if (b.GetXmin() < a->GetXmin()) a->SetXmin(b.GetXmin());
  if (b.GetXmax() > a->GetXmax()) a->SetXmax(b.GetXmax());
  if (b.GetYmin() < a->GetYmin()) a->SetYmin(b.GetYmin());
  if (b.GetYmax() > a->GetYmax()) a->SetYmax(b.GetYmax());
  if (b.GetZmin() < a->GetZmin()) a->SetZmin(b.GetZmin());
  if (b.GetZmax() > a->GetZmax()) a->SetZmax(b.GetZmax());
}

// The minimum coordinate of b along axis 0, 1 or 2.
inline double MinOf(const G3_BOX& b, int axis) {
  return axis == 0 ? b.GetXmin() : (axis == 1 ? b.GetYmin() : b.GetZmin());
}

const T_LIST<G3_BOX>& EmptyBoxes() {
  static const T_LIST<G3_BOX> empty;
  return empty;
}

}  // namespace

G3_HBOX::IncrementalSearchContext::~IncrementalSearchContext() { delete heap; }

// ---------------------------------------------------------------- construction

G3_HBOX::G3_HBOX() { boxes_ = Cnew<T_LIST<G3_BOX>>(); }

G3_HBOX::G3_HBOX(const G3_HBOX& h) : leafSize_(h.leafSize_), hasNan_(h.hasNan_) {
  boxes_ = Cnew<T_LIST<G3_BOX>>();
  if (boxes_ == nullptr) return;
  if (h.boxes_ != nullptr) *boxes_ = *h.boxes_;
  if (C_ERROR::Is()) return;
  ids_ = h.ids_;
  if (C_ERROR::Is()) return;
  if (h.eltCount_ > 0) {
    const int n = h.ids_.GetNumber();
    elts_ = CnewArray<G3_HBOXELT>(h.eltCapacity_);
    if (elts_ != nullptr) posBoxes_ = CnewArray<G3_BOX>(n);
    if (posBoxes_ == nullptr) {
      ids_.Clear();
      boxes_->Clear();
      return;
    }
    for (int i = 0; i < h.eltCount_; ++i) elts_[i] = h.elts_[i];
    for (int k = 0; k < n; ++k) posBoxes_[k] = h.posBoxes_[k];
    eltCapacity_ = h.eltCapacity_;
    eltCount_ = h.eltCount_;
  }
}

G3_HBOX& G3_HBOX::operator=(const G3_HBOX& h) {
  if (&h == this) return *this;
  G3_HBOX tmp(h);
  if (C_ERROR::Is()) return *this;  // unchanged
  std::swap(elts_, tmp.elts_);
  std::swap(eltCount_, tmp.eltCount_);
  std::swap(eltCapacity_, tmp.eltCapacity_);
  std::swap(leafSize_, tmp.leafSize_);
  std::swap(boxes_, tmp.boxes_);
  std::swap(hasNan_, tmp.hasNan_);
  std::swap(posBoxes_, tmp.posBoxes_);
  ids_.Grab(&tmp.ids_);
  return *this;
}

const T_LIST<G3_BOX>& G3_HBOX::GetBoxes() const {
  return boxes_ != nullptr ? *boxes_ : EmptyBoxes();
}

G3_HBOX::~G3_HBOX() {
  delete[] elts_;
  delete[] posBoxes_;
  delete boxes_;
}

// ---------------------------------------------------------------- building

void G3_HBOX::SetBoxes(const T_LIST<G3_BOX>& boxes, C_BOOL splitZ, int leafSize) {
  if (leafSize < MIN_LEAF_SIZE) {
    C_ERROR::Trigger(kErrLeafSize);
    return;
  }
  leafSize_ = leafSize;
  if (boxes_ == nullptr) {
    boxes_ = Cnew<T_LIST<G3_BOX>>();
    if (boxes_ == nullptr) return;
  }
  // Copied into the list in place (boxes may be this very list). A failed
  // copy leaves the list empty, and the old hierarchy must go with it.
  *boxes_ = boxes;
  if (C_ERROR::Is()) {
    eltCount_ = 0;
    ids_.Clear();
    return;
  }
  BuildHBox(splitZ);
}

void G3_HBOX::GrabBoxes(T_LIST<G3_BOX>** boxes, C_BOOL splitZ, int leafSize) {
  if (leafSize < MIN_LEAF_SIZE) {
    C_ERROR::Trigger(kErrLeafSize);
    return;
  }
  leafSize_ = leafSize;
  if (boxes != nullptr && *boxes != nullptr) {
    if (*boxes != boxes_) {
      delete boxes_;
      boxes_ = *boxes;
    }
    *boxes = nullptr;
  } else if (boxes_ != nullptr) {
    boxes_->Clear();  // nothing given: an empty hierarchy
  }
  if (boxes_ == nullptr) {
    boxes_ = Cnew<T_LIST<G3_BOX>>();
    if (boxes_ == nullptr) return;
  }
  BuildHBox(splitZ);
}

void G3_HBOX::BuildHBox(C_BOOL splitZ) {
  eltCount_ = 0;
  hasNan_ = false;
  delete[] posBoxes_;
  posBoxes_ = nullptr;
  const int n = boxes_ != nullptr ? boxes_->GetNumber() : 0;
  ids_.Clear();
  ids_.SetNumber(n);
  if (C_ERROR::Is()) {
    ids_.Clear();
    return;
  }
  if (leafSize_ < MIN_LEAF_SIZE) {
    // A run of one box would be split forever.
    C_ERROR::Trigger(kErrLeafSize);
    ids_.Clear();
    return;
  }
  if (n > INT_MAX / 2) {
    C_ERROR::Trigger(kErrCannotBuild);
    ids_.Clear();
    return;
  }
  eltCapacity_ = 2 * n;
  if (n == 0) return;
  delete[] elts_;
  elts_ = CnewArray<G3_HBOXELT>(eltCapacity_);
  if (elts_ != nullptr) posBoxes_ = CnewArray<G3_BOX>(n);
  if (posBoxes_ == nullptr) {
    eltCapacity_ = 0;
    ids_.Clear();
    C_ERROR::Trigger(kErrCannotBuild);
    return;
  }
  int* id = ids_.GetAdrFast(0);
  for (int k = 0; k < n; ++k) id[k] = k;
  hasNan_ = false;
  for (int k = 0; k < n && !hasNan_; ++k) hasNan_ = HasNan((*boxes_)[k]);
  for (int k = 0; k < n; ++k) posBoxes_[k] = (*boxes_)[k];
  // The sorts and unions read keys and boxes laid out in permutation order
  // instead of chasing ids through the list. Without room for that, the
  // build sorts through the list as the protected Build does.
  BUILD_AREA area;
  area.keys = static_cast<SORT_KEY*>(::operator new(sizeof(SORT_KEY) * size_t(n), std::nothrow));
  area.boxes = static_cast<G3_BOX*>(::operator new(sizeof(G3_BOX) * size_t(n), std::nothrow));
  area.ids = static_cast<int*>(::operator new(sizeof(int) * size_t(n), std::nothrow));
  area.mins = static_cast<double*>(::operator new(sizeof(double) * size_t(n), std::nothrow));
  if (area.keys != nullptr && area.boxes != nullptr && area.ids != nullptr &&
      area.mins != nullptr)
    area_ = &area;
  if (area_ != nullptr && !boxes_->IsSorted() && n >= 2) {
    // Along an axis where no two minimums are equal, a sort has one outcome
    // whatever the order it starts from: a split there needs only the
    // smaller half, and the order inside the halves is settled when a leaf
    // or a sort with equal keys needs it.
    for (int axis = 0; axis < 3; ++axis) area.distinct[axis] = DistinctMins(axis);
    BuildFast(0, n - 1, splitZ, -1);
  } else {
    Build(0, n - 1, splitZ);
  }
  area_ = nullptr;
  ::operator delete(area.keys);
  ::operator delete(area.boxes);
  ::operator delete(area.ids);
  ::operator delete(area.mins);
}

void G3_HBOX::Build(int first, int last, C_BOOL splitZ) {
  if (last - first + 1 < leafSize_) {
    G3_HBOXELT& e = elts_[eltCount_];
    e = G3_HBOXELT();
    e = area_ != nullptr ? RangeBox(first, last) : GetBox(first, last);
    e.SetMin(first);
    e.SetMax(last);
    e.SetType(G3_HBOXELT::LEAF);
    ++eltCount_;
    return;
  }
  const G3_BOX b = area_ != nullptr ? RangeBox(first, last) : GetBox(first, last);
  const double dx = b.GetDeltaX(), dy = b.GetDeltaY(), dz = b.GetDeltaZ();
  // x only when strictly wider than y; z only when strictly wider than both.
  int axis = dy < dx ? 0 : 1;
  double extent = axis == 0 ? dx : dy;
  if (splitZ && dz > extent) axis = 2;
  if (area_ != nullptr) {
    SortRange(axis, first, last);
  } else {
    if (axis == 0)
      boxes_->SortIndexes(CompareMin<0>, first, last, &ids_);
    else if (axis == 1)
      boxes_->SortIndexes(CompareMin<1>, first, last, &ids_);
    else
      boxes_->SortIndexes(CompareMin<2>, first, last, &ids_);
    // Queries read the boxes in permutation order.
    if (posBoxes_ != nullptr)
      for (int k = first; k <= last; ++k) posBoxes_[k] = (*boxes_)[ids_[k]];
  }
  const int mid = (first + last) / 2;
  Build(first, mid, splitZ);
  const int left = eltCount_ - 1;
  Build(mid + 1, last, splitZ);
  const int right = eltCount_ - 1;
  G3_BOX nb = elts_[left].GetBox();
  nb.Unite(elts_[right].GetBox());
  G3_HBOXELT& e = elts_[eltCount_];
  e = G3_HBOXELT();
  e = nb;
  e.SetMin(first);
  e.SetMax(last);
  e.SetType(G3_HBOXELT::NODE);
  e.SetLink1(left);
  e.SetLink2(right);
  ++eltCount_;
}

void G3_HBOX::SortRange(int axis, int first, int last) {
  // The list's index sort does nothing on a list flagged sorted or on fewer
  // than 2 boxes, nor on a range of one position.
  if (boxes_->IsSorted() || boxes_->GetNumber() < 2 || last <= first) return;
  // The keys are the very values the list's comparison reads, and the same
  // quicksort runs over them: every comparison answers as it would there
  // (NaN is neither less nor greater), so positions move exactly alike.
  SORT_KEY* keys = area_->keys;
  const int n = last - first + 1;
  for (int k = 0; k < n; ++k) {
    const G3_BOX& b = posBoxes_[first + k];
    keys[k].key = axis == 0 ? b.GetXmin() : (axis == 1 ? b.GetYmin() : b.GetZmin());
    keys[k].pos = k;
  }
  Tquicksort(keys, 0, n - 1, [](const SORT_KEY& a, const SORT_KEY& b) { return a.key < b.key; });
  int* id = ids_.GetAdrFast(first);
  G3_BOX* box = posBoxes_ + first;
  for (int k = 0; k < n; ++k) {
    area_->ids[k] = id[keys[k].pos];
    area_->boxes[k] = box[keys[k].pos];
  }
  std::memcpy(id, area_->ids, sizeof(int) * size_t(n));
  std::memcpy(static_cast<void*>(box), area_->boxes, sizeof(G3_BOX) * size_t(n));
  ids_.SetSorted(false);
}

void G3_HBOX::BuildFast(int first, int last, C_BOOL splitZ, int order) {
  if (last - first + 1 < leafSize_) {
    if (order >= 0) OrderBy(order, first, last);
    G3_HBOXELT& e = elts_[eltCount_];
    e = G3_HBOXELT();
    e = RangeBox(first, last);
    e.SetMin(first);
    e.SetMax(last);
    e.SetType(G3_HBOXELT::LEAF);
    ++eltCount_;
    return;
  }
  // The extents do not depend on the order of the positions (a minimum of
  // -0 or +0 gives the same differences to compare).
  const G3_BOX b = RangeBox(first, last);
  const double dx = b.GetDeltaX(), dy = b.GetDeltaY(), dz = b.GetDeltaZ();
  int axis = dy < dx ? 0 : 1;
  double extent = axis == 0 ? dx : dy;
  if (splitZ && dz > extent) axis = 2;
  const int mid = (first + last) / 2;
  int childOrder = -1;
  if (area_->distinct[axis]) {
    SplitAt(axis, first, mid, last);
    childOrder = axis;
  } else {
    // Equal keys: the quicksort's outcome depends on where it starts from.
    if (order >= 0) OrderBy(order, first, last);
    SortRange(axis, first, last);
  }
  BuildFast(first, mid, splitZ, childOrder);
  const int left = eltCount_ - 1;
  BuildFast(mid + 1, last, splitZ, childOrder);
  const int right = eltCount_ - 1;
  G3_BOX nb = elts_[left].GetBox();
  nb.Unite(elts_[right].GetBox());
  G3_HBOXELT& e = elts_[eltCount_];
  e = G3_HBOXELT();
  e = nb;
  e.SetMin(first);
  e.SetMax(last);
  e.SetType(G3_HBOXELT::NODE);
  e.SetLink1(left);
  e.SetLink2(right);
  ++eltCount_;
}

void G3_HBOX::OrderBy(int axis, int first, int last) {
  int* id = ids_.GetAdrFast(0);
  if (last - first < 16) {
    // Insertion sort in place for the short runs of the leaves.
    for (int k = first + 1; k <= last; ++k) {
      const G3_BOX v = posBoxes_[k];
      const int vid = id[k];
      const double key = MinOf(v, axis);
      int m = k;
      for (; m > first && key < MinOf(posBoxes_[m - 1], axis); --m) {
        posBoxes_[m] = posBoxes_[m - 1];
        id[m] = id[m - 1];
      }
      posBoxes_[m] = v;
      id[m] = vid;
    }
    return;
  }
  SORT_KEY* keys = area_->keys;
  const int n = last - first + 1;
  for (int k = 0; k < n; ++k) keys[k] = SORT_KEY{MinOf(posBoxes_[first + k], axis), k};
  std::sort(keys, keys + n, [](const SORT_KEY& a, const SORT_KEY& b) { return a.key < b.key; });
  for (int k = 0; k < n; ++k) {
    area_->ids[k] = id[first + keys[k].pos];
    area_->boxes[k] = posBoxes_[first + keys[k].pos];
  }
  std::memcpy(id + first, area_->ids, sizeof(int) * size_t(n));
  std::memcpy(static_cast<void*>(posBoxes_ + first), area_->boxes, sizeof(G3_BOX) * size_t(n));
}

void G3_HBOX::SplitAt(int axis, int first, int mid, int last) {
  const int n = last - first + 1;
  double* mins = area_->mins;
  for (int k = 0; k < n; ++k) mins[k] = MinOf(posBoxes_[first + k], axis);
  std::nth_element(mins, mins + (mid - first), mins + n);
  const double pivot = mins[mid - first];
  // The keys being all different, exactly mid - first + 1 of them are at
  // most the pivot.
  int* id = ids_.GetAdrFast(0);
  int i = first, j = last;
  for (;;) {
    while (i <= j && MinOf(posBoxes_[i], axis) <= pivot) ++i;
    while (i <= j && MinOf(posBoxes_[j], axis) > pivot) --j;
    if (i >= j) break;
    std::swap(posBoxes_[i], posBoxes_[j]);
    std::swap(id[i], id[j]);
  }
  ids_.SetSorted(false);
}

C_BOOL G3_HBOX::DistinctMins(int axis) const {
  // Keys are counted by hash in a table of small counters; only those whose
  // counter saw two keys are then sorted and compared. -0 and +0 are equal
  // keys, and hash alike.
  const int n = boxes_->GetNumber();
  size_t slots = 2;
  int shift = 63;
  while (slots < 8 * size_t(n)) slots *= 2, --shift;
  unsigned char* seen = reinterpret_cast<unsigned char*>(area_->boxes);  // 48 bytes a box
  std::memset(seen, 0, slots);
  auto slot = [shift](double v) {
    uint64_t bits = 0;
    if (v != 0) std::memcpy(&bits, &v, sizeof(bits));
    return size_t((bits * 0x9E3779B97F4A7C15ull) >> shift);
  };
  for (int k = 0; k < n; ++k) {
    const double v = MinOf(posBoxes_[k], axis);
    if (std::isnan(v)) return false;
    unsigned char& c = seen[slot(v)];
    if (c < 2) ++c;
  }
  double* shared = area_->mins;
  int count = 0;
  for (int k = 0; k < n; ++k) {
    const double v = MinOf(posBoxes_[k], axis);
    if (seen[slot(v)] >= 2) shared[count++] = v;
  }
  std::sort(shared, shared + count);
  for (int k = 1; k < count; ++k)
    if (shared[k] == shared[k - 1]) return false;
  return true;
}

G3_BOX G3_HBOX::RangeBox(int first, int last) const {
  G3_BOX b = WithoutNan(posBoxes_[first]);
  for (int k = first + 1; k <= last; ++k) UniteInto(&b, posBoxes_[k]);
  return b;
}

G3_BOX G3_HBOX::GetBox(int first, int last) const {
  const T_LIST<G3_BOX>& boxes = *boxes_;
  G3_BOX b = WithoutNan(boxes[ids_[first]]);
  for (int k = first + 1; k <= last; ++k) UniteInto(&b, boxes[ids_[k]]);
  return b;
}

// ---------------------------------------------------------------- queries

void G3_HBOX::Intersect(const G3_BOX& q, T_LIST<int>* ids) const {
  if (ids == nullptr) return;
  ids->Clear();
  if (eltCount_ > 0) GetIndexes(eltCount_ - 1, q, ids);
}

void G3_HBOX::Intersect(const G2_BOX& q, T_LIST<int>* ids) const {
  if (ids == nullptr) return;
  ids->Clear();
  if (eltCount_ > 0) GetIndexes(eltCount_ - 1, q, ids);
}

void G3_HBOX::Intersect(const G3_AXIS& a, T_LIST<int>* ids) const {
  if (ids == nullptr) return;
  ids->Clear();
  if (eltCount_ > 0 && !AxisHasNan(a)) GetIndexes(eltCount_ - 1, a, ids);
}

template <class Q>
void G3_HBOX::GetIndexesOf(int elt, const Q& q, T_LIST<int>* ids) const {
  for (;;) {
    const G3_HBOXELT& e = elts_[elt];
    const int c = g3_box_classify::Classify(q, e.GetBox());
    if (c == OUTSIDE) return;
    if (c == INSIDE) {
      GatherMet(elt, ids);
      return;
    }
    if (e.GetType() == G3_HBOXELT::LEAF) {
      for (int k = e.GetMin(); k <= e.GetMax(); ++k)
        if (Overlaps(q, posBoxes_[k])) ids->Append(ids_[k]);
      return;
    }
    if (e.GetType() != G3_HBOXELT::NODE) return;
    Prefetch(&elts_[e.GetLink1()]);
    Prefetch(&elts_[e.GetLink2()]);
    GetIndexesOf(e.GetLink1(), q, ids);
    elt = e.GetLink2();  // classified afresh
  }
}

void G3_HBOX::GetIndexes(int elt, const G3_BOX& q, T_LIST<int>* ids) const {
  GetIndexesOf(elt, q, ids);
}

void G3_HBOX::GetIndexes(int elt, const G2_BOX& q, T_LIST<int>* ids) const {
  GetIndexesOf(elt, q, ids);
}

void G3_HBOX::GetIndexes(int elt, const G3_AXIS& a, T_LIST<int>* ids) const {
  for (;;) {
    const G3_HBOXELT& e = elts_[elt];
    if (!e.GetBox().Intersect(a, nullptr)) return;
    if (e.GetType() == G3_HBOXELT::LEAF) {
      // The line test takes a box with a NaN coordinate for met: such a box
      // meets nothing here, as in the box queries.
      for (int k = e.GetMin(); k <= e.GetMax(); ++k)
        if ((!hasNan_ || !HasNan(posBoxes_[k])) && posBoxes_[k].Intersect(a, nullptr))
          ids->Append(ids_[k]);
      return;
    }
    if (e.GetType() != G3_HBOXELT::NODE) return;
    GetIndexes(e.GetLink1(), a, ids);
    elt = e.GetLink2();
  }
}

void G3_HBOX::Gather(int elt, T_LIST<int>* ids) const {
  if (ids == nullptr) return;
  for (;;) {
    const G3_HBOXELT& e = elts_[elt];
    if (e.GetType() == G3_HBOXELT::LEAF) {
      const int first = e.GetMin(), last = e.GetMax();
      if (last >= first) ids->Append(last - first + 1, ids_.GetAdrFast(first));
      return;
    }
    if (e.GetType() != G3_HBOXELT::NODE) return;
    Gather(e.GetLink1(), ids);
    elt = e.GetLink2();
  }
}

void G3_HBOX::GatherMet(int elt, T_LIST<int>* ids) const {
  if (!hasNan_) {
    Gather(elt, ids);
    return;
  }
  for (;;) {
    const G3_HBOXELT& e = elts_[elt];
    if (e.GetType() == G3_HBOXELT::LEAF) {
      for (int k = e.GetMin(); k <= e.GetMax(); ++k) {
        if (!HasNan(posBoxes_[k])) ids->Append(ids_[k]);
      }
      return;
    }
    if (e.GetType() != G3_HBOXELT::NODE) return;
    GatherMet(e.GetLink1(), ids);
    elt = e.GetLink2();
  }
}

C_BOOL G3_HBOX::GetUnion(int elt, const G2_BOX& q, G3_BOX* out) const {
  const G3_HBOXELT& e = elts_[elt];
  const int c = Classify2(q, e.GetBox());
  if (c == OUTSIDE) return false;
  if (c == INSIDE) {
    *out = e.GetBox();
    return true;
  }
  if (e.GetType() == G3_HBOXELT::NODE) {
    G3_BOX tmp;
    const C_BOOL r1 = GetUnion(e.GetLink1(), q, out);
    const C_BOOL r2 = GetUnion(e.GetLink2(), q, &tmp);
    if (r1 && r2) {
      out->Unite(tmp);
      return true;
    }
    if (r1) return true;
    if (r2) {
      *out = tmp;
      return true;
    }
    return false;
  }
  if (e.GetType() != G3_HBOXELT::LEAF) return false;
  C_BOOL any = false;
  for (int k = e.GetMin(); k <= e.GetMax(); ++k) {
    const G3_BOX& b = posBoxes_[k];
    if (!Overlaps2(q, b)) continue;
    if (!any)
      *out = b;
    else
      out->Unite(b);
    any = true;
  }
  return any;
}

C_BOOL G3_HBOX::Union(const G2_BOX& q, G3_BOX* out) const {
  if (out == nullptr || eltCount_ == 0) return false;
  if (!GetUnion(eltCount_ - 1, q, out)) return false;
  if (q.GetXmax() < out->GetXmax()) out->SetXmax(q.GetXmax());
  if (q.GetXmin() > out->GetXmin()) out->SetXmin(q.GetXmin());
  if (q.GetYmax() < out->GetYmax()) out->SetYmax(q.GetYmax());
  if (q.GetYmin() > out->GetYmin()) out->SetYmin(q.GetYmin());
  return true;
}

C_BOOL G3_HBOX::IncludeAll(const G3_BOX& q) const {
  if (eltCount_ == 0) return true;
  return elts_[eltCount_ - 1].GetBox().IsIn(q);
}

C_BOOL G3_HBOX::IncludeAll(const G2_BOX& q) const {
  if (eltCount_ == 0) return true;
  const G3_BOX& r = elts_[eltCount_ - 1].GetBox();
  return q.GetXmin() <= r.GetXmin() && r.GetXmax() <= q.GetXmax() && q.GetYmin() <= r.GetYmin() &&
         r.GetYmax() <= q.GetYmax();
}

// ---------------------------------------------------------------- incremental search

T_CONTEXT* G3_HBOX_BeginIncrementalSearch(const G3_HBOX& h) {
  G3_HBOX::IncrementalSearchContext* c = Cnew<G3_HBOX::IncrementalSearchContext>();
  if (C_ERROR::Is()) {
    delete c;
    return nullptr;
  }
  c->hbox = &h;
  c->heap = Cnew<G3_HBOX::SEARCH_HEAP>();
  if (C_ERROR::Is()) {
    delete c;
    return nullptr;
  }
  if (h.GetNumber() == 0) return c;
  G3_HBOX::SEARCH_ENTRY e;
  e.value = 0.0;
  e.index = h.GetNumber() - 1;
  e.flag = false;
  e.key = 0.0;
  c->heap->Push(e);
  if (C_ERROR::Is()) {
    delete c;
    return nullptr;
  }
  return c;
}

void G3_HBOX_EndIncrementalSearch(T_CONTEXT* c) { delete c; }
