#ifndef G3GEOM_CURVES_G3_CV_COMPOSIT_H
#define G3GEOM_CURVES_G3_CV_COMPOSIT_H

#include <type_traits>

#include "containers/t_list_p.h"
#include "curves/g3_cv.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

// A chain of curves of any class, owned by the composite. The span starts at 0
// and ends at the sum of the children's spans, kept up to date by every
// operation that adds, removes or replaces a child. The composite does not
// test that the children join.
//
// Ownership: operations taking G3_CV** take the curve over and null the
// caller's pointer; those taking const G3_CV& add a copy made by CloneSame.
// A removed or replaced child goes to the out-pointer, or is deleted when it
// is null. Copying a composite copies every child.
class G_API G3_CV_COMPOSIT : public G3_CV {
 public:
  static const C_STRING CLASS;       // "G3_CV_COMPOSIT"
  static const C_STRING CLASS_NAME;  // "#composite curve"

  // Open, no children, span (0, 0).
  G3_CV_COMPOSIT() : G3_CV(0, 0) {}
  G3_CV_COMPOSIT(C_BOOL closed, int capacity) : G3_CV(0, 0), closed_(closed), curves_(capacity) {}
  G3_CV_COMPOSIT(const G3_CV_COMPOSIT& other) = default;
  G3_CV_COMPOSIT& operator=(const G3_CV_COMPOSIT& other) = default;
  ~G3_CV_COMPOSIT() override;

  const C_STRING& GetClass() const override;
  const C_STRING& GetClassName() const override;
  G3_CV* Clone() const override;
  G3_CV_COMPOSIT* CloneSame() const;
  static G3_CV* GenerateDefault();
  C_BOOL IsComposit() const { return true; }

  C_BOOL IsClosed() const { return closed_; }
  void SetClosed(C_BOOL closed) { closed_ = closed; }

  int GetNumber() const { return curves_.GetNumber(); }
  // Child i, still owned by the composite. A bad index raises the list's
  // error; Get then gives a shared default curve, GetAdr null.
  const G3_CV* Get(int i) const { return &curves_.Get(i); }
  G3_CV* GetAdr(int i) { return curves_.GetAdr(i); }

  // A null curve is refused (CerrInvalidValue), nothing changes.
  void Append(G3_CV** c);
  void Insert(int i, G3_CV** c);
  void Append(const G3_CV& c);
  void Insert(int i, const G3_CV& c);
  void Remove(int i, G3_CV** out = nullptr);
  void Replace(int i, G3_CV** c, G3_CV** old = nullptr);
  // When the copy fails, place i keeps its child and the span is unchanged.
  void Replace(int i, const G3_CV& c, G3_CV** old = nullptr);

  // The same hand-overs from a pointer to a derived class (a G3_CV_LINE**,
  // say): the caller's pointer is nulled only when the composite took it.
  template <class T, class = std::enable_if_t<std::is_base_of<G3_CV, T>::value>>
  void Append(T** c) {
    HandOver(c, [this](G3_CV** b) { Append(b); });
  }
  template <class T, class = std::enable_if_t<std::is_base_of<G3_CV, T>::value>>
  void Insert(int i, T** c) {
    HandOver(c, [this, i](G3_CV** b) { Insert(i, b); });
  }
  template <class T, class = std::enable_if_t<std::is_base_of<G3_CV, T>::value>>
  void Replace(int i, T** c, G3_CV** old = nullptr) {
    HandOver(c, [this, i, old](G3_CV** b) { Replace(i, b, old); });
  }
  void Swap(int i, int j) { curves_.Swap(i, j); }
  // Deletes every child; span (0, 0); the closed flag stays.
  void Clear();

  // Base record, closed flag, number of children, each child as an encoded
  // record. Loading replaces the children; the span is the one read.
  void Load(int version, C_FILE* file) override;
  void Save(C_FILE* file) const override;

 private:
  template <class T, class F>
  static void HandOver(T** c, F take) {
    G3_CV* b = c != nullptr ? *c : nullptr;
    take(c != nullptr ? &b : nullptr);
    if (c != nullptr && b == nullptr) *c = nullptr;
  }
  double ChildSpan(int i) const;

  C_BOOL closed_;
  T_LIST_P<G3_CV> curves_;
};

#endif
