#include "curves/g3_cv_composit.h"

#include "runtime/c_error.h"
#include "runtime/t_persist.h"

const C_STRING G3_CV_COMPOSIT::CLASS("G3_CV_COMPOSIT");
const C_STRING G3_CV_COMPOSIT::CLASS_NAME("#composite curve");

namespace {
// Room reserved ahead of reading the children; beyond it the list grows as
// the children arrive, so a corrupted count cannot exhaust memory.
const int kPreallocMax = 1024;
}  // namespace

G3_CV_COMPOSIT::~G3_CV_COMPOSIT() = default;

const C_STRING& G3_CV_COMPOSIT::GetClass() const { return CLASS; }
const C_STRING& G3_CV_COMPOSIT::GetClassName() const { return CLASS_NAME; }

G3_CV* G3_CV_COMPOSIT::Clone() const { return G3CvCopyOf(*this); }

// Through the virtual Clone, so that a class derived from this one is cloned
// whole.
G3_CV_COMPOSIT* G3_CV_COMPOSIT::CloneSame() const { return static_cast<G3_CV_COMPOSIT*>(Clone()); }

G3_CV* G3_CV_COMPOSIT::GenerateDefault() { return Cnew<G3_CV_COMPOSIT>(); }

// In every operation the span moves only once the list did change.
void G3_CV_COMPOSIT::Append(G3_CV** c) {
  if (c == nullptr || *c == nullptr) {
    CerrInvalidValue.Trigger();
    return;
  }
  double s = (*c)->GetSpan();
  curves_.Append(c);
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() + s);
}

void G3_CV_COMPOSIT::Insert(int i, G3_CV** c) {
  if (c == nullptr || *c == nullptr) {
    CerrInvalidValue.Trigger();
    return;
  }
  double s = (*c)->GetSpan();
  curves_.Insert(i, c);
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() + s);
}

void G3_CV_COMPOSIT::Append(const G3_CV& c) {
  G3_CV* copy = c.CloneSame();
  if (C_ERROR::Is()) {
    delete copy;
    return;
  }
  Append(&copy);
  delete copy;  // still set only when the append failed
}

void G3_CV_COMPOSIT::Insert(int i, const G3_CV& c) {
  if (i < 0 || i > curves_.GetNumber()) {
    curves_.Insert(i, c);  // raises the list's invalid-index error, copies nothing
    return;
  }
  G3_CV* copy = c.CloneSame();
  if (C_ERROR::Is()) {
    delete copy;
    return;
  }
  Insert(i, &copy);
  delete copy;
}

// The span of child i, 0 for an index out of range (the list then raises its
// invalid-index error, an empty list included).
double G3_CV_COMPOSIT::ChildSpan(int i) const {
  if (i < 0 || i >= curves_.GetNumber()) return 0;
  const G3_CV* child = curves_.GetAdrFast(i);
  return child != nullptr ? child->GetSpan() : 0;
}

void G3_CV_COMPOSIT::Remove(int i, G3_CV** out) {
  double s = ChildSpan(i);
  curves_.Remove(i, out);
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() - s);
}

void G3_CV_COMPOSIT::Replace(int i, G3_CV** c, G3_CV** old) {
  if (c == nullptr || *c == nullptr) {
    CerrInvalidValue.Trigger();
    return;
  }
  double s0 = ChildSpan(i);
  double s1 = (*c)->GetSpan();
  curves_.Replace(i, c, old);
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() - s0 + s1);
}

void G3_CV_COMPOSIT::Replace(int i, const G3_CV& c, G3_CV** old) {
  if (i < 0 || i >= curves_.GetNumber()) {
    curves_.Replace(i, c, old);  // raises the list's invalid-index error, copies nothing
    return;
  }
  G3_CV* copy = c.CloneSame();
  if (C_ERROR::Is()) {
    delete copy;
    return;
  }
  Replace(i, &copy, old);
  delete copy;
}

void G3_CV_COMPOSIT::Clear() {
  curves_.Clear();
  SetStartEnd(0, 0);
}

void G3_CV_COMPOSIT::Save(C_FILE* file) const {
  G3_CV::Save(file);
  if (C_ERROR::Is()) return;
  Tsave(closed_, file);
  if (C_ERROR::Is()) return;
  Tsave(curves_.GetNumber(), file);
  if (C_ERROR::Is()) return;
  for (int k = 0; k < curves_.GetNumber(); ++k) {
    curves_.Get(k).SaveEnc(file);
    if (C_ERROR::Is()) return;
  }
}

// A child that cannot be loaded ends the load with its error pending; the
// children read before it stay.
void G3_CV_COMPOSIT::Load(int version, C_FILE* file) {
  G3_CV::Load(version, file);
  if (C_ERROR::Is()) return;
  C_BOOL closed = closed_;
  Tload(version, file, &closed);
  if (C_ERROR::Is()) return;
  int n = 0;
  Tload(version, file, &n);
  if (C_ERROR::Is()) return;
  if (n < 0) {
    CerrInvalidValue.Trigger();
    return;
  }
  closed_ = closed;
  curves_.Clear();
  curves_.Grow(n < kPreallocMax ? n : kPreallocMax);
  if (C_ERROR::Is()) return;
  for (int k = 0; k < n; ++k) {
    G3_CV* child = G3_CV::LoadEnc(version, file);
    if (C_ERROR::Is()) {
      delete child;
      return;
    }
    curves_.Append(&child);
    if (C_ERROR::Is()) {
      delete child;
      return;
    }
  }
}
