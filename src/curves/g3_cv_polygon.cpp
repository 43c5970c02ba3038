#include "curves/g3_cv_polygon.h"

#include "runtime/c_error.h"
#include "runtime/t_persist.h"

const C_STRING G3_CV_POLYGON::CLASS("G3_CV_POLYGON");
const C_STRING G3_CV_POLYGON::CLASS_NAME("#polygon");

namespace {

// Room reserved ahead of reading a counted point list; beyond it the list
// grows as the points arrive, so a corrupted count cannot exhaust memory.
const int kPreallocMax = 4096;

// End of the span of n points by the rule.
double SpanEnd(C_BOOL closed, int n) { return closed ? double(n) : double(n - 1); }

// Reads a point list record (count, points, sorted flag) into pts, which is
// replaced only when the whole record was read.
void LoadPoints(int version, C_FILE* file, G3_POINTS* pts) {
  int n = 0;
  Tload(version, file, &n);
  if (C_ERROR::Is()) return;
  if (n < 0) {
    CerrInvalidValue.Trigger();
    return;
  }
  G3_POINTS tmp(n < kPreallocMax ? n : kPreallocMax);
  if (C_ERROR::Is()) return;
  for (int k = 0; k < n; ++k) {
    G3_POINT p;
    p.Load(version, file);
    if (C_ERROR::Is()) return;
    tmp.Append(p);
    if (C_ERROR::Is()) return;
  }
  C_BOOL sorted;
  Tload(version, file, &sorted);
  if (C_ERROR::Is()) return;
  tmp.SetSorted(sorted);
  pts->Grab(&tmp);
}

}  // namespace

G3_CV_POLYGON::G3_CV_POLYGON(C_BOOL closed, int capacity)
    : G3_CV(0, SpanEnd(closed, 0)), closed_(closed), pts_(capacity) {}

G3_CV_POLYGON::G3_CV_POLYGON(C_BOOL closed, const G3_POINTS& pts)
    : G3_CV(0, SpanEnd(closed, pts.GetNumber())), closed_(closed), pts_(pts) {}

G3_CV_POLYGON::~G3_CV_POLYGON() = default;

const C_STRING& G3_CV_POLYGON::GetClass() const { return CLASS; }
const C_STRING& G3_CV_POLYGON::GetClassName() const { return CLASS_NAME; }

G3_CV* G3_CV_POLYGON::Clone() const { return G3CvCopyOf(*this); }

// Through the virtual Clone, so that a class derived from this one is cloned
// whole.
G3_CV_POLYGON* G3_CV_POLYGON::CloneSame() const { return static_cast<G3_CV_POLYGON*>(Clone()); }

G3_CV* G3_CV_POLYGON::GenerateDefault() { return Cnew<G3_CV_POLYGON>(); }

// The span moves only when the list did change.
void G3_CV_POLYGON::Append(const G3_POINT& p) {
  pts_.Append(p);
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() + 1);
}

void G3_CV_POLYGON::Insert(int i, const G3_POINT& p) {
  pts_.Insert(i, p);
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() + 1);
}

void G3_CV_POLYGON::Append(const G3_CV_POLYGON& other) {
  int n = other.pts_.GetNumber();
  if (&other == this) {
    G3_POINTS copy(pts_);  // appending a list to itself reads what it writes
    if (C_ERROR::Is()) return;
    pts_.Append(copy);
  } else {
    pts_.Append(other.pts_);
  }
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() + n);
}

void G3_CV_POLYGON::Remove(int i) {
  pts_.Remove(i);
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() - 1);
}

void G3_CV_POLYGON::RemoveLast() {
  pts_.RemoveLast(0);
  if (C_ERROR::Is()) return;
  SetEnd(GetEnd() - 1);
}

void G3_CV_POLYGON::Clear() {
  pts_.Clear();
  closed_ = false;
  SetStartEnd(0, -1);
}

void G3_CV_POLYGON::Save(C_FILE* file) const {
  G3_CV::Save(file);
  if (C_ERROR::Is()) return;
  Tsave(closed_, file);
  if (C_ERROR::Is()) return;
  Tsave(pts_.GetNumber(), file);
  if (C_ERROR::Is()) return;
  for (int k = 0; k < pts_.GetNumber(); ++k) {
    pts_.GetFast(k).Save(file);
    if (C_ERROR::Is()) return;
  }
  Tsave(C_BOOL(pts_.IsSorted()), file);
}

void G3_CV_POLYGON::Load(int version, C_FILE* file) {
  G3_CV::Load(version, file);
  if (C_ERROR::Is()) return;
  C_BOOL closed = closed_;
  Tload(version, file, &closed);
  if (C_ERROR::Is()) return;
  LoadPoints(version, file, &pts_);
  if (C_ERROR::Is()) return;
  closed_ = closed;
}

// Polygon lists. The other list is emptied without deleting its polygons,
// which now belong to this one, and then deleted.
namespace {

void TakeAll(G3_CV_POLYGONS* into, G3_CV_POLYGONS* from) {
  int n = from->GetNumber();
  into->Grow(into->GetNumber() + n);  // room first: the appends cannot fail
  if (C_ERROR::Is()) return;
  for (int k = 0; k < n; ++k) {
    G3_CV_POLYGON* p = from->GetAdrFast(k);
    into->Append(&p);
  }
  for (int k = 0; k < n; ++k) {
    G3_CV_POLYGON* p = nullptr;
    from->RemoveLast(&p);
  }
}

}  // namespace

G3_CV_POLYGONS::G3_CV_POLYGONS(G3_CV_POLYGONS** other) {
  if (other == nullptr || *other == nullptr) return;
  C_BOOL sorted = (*other)->IsSorted();
  TakeAll(this, *other);
  if (C_ERROR::Is()) return;
  SetSorted(sorted);
  delete *other;
  *other = nullptr;
}

G3_CV_POLYGONS* G3_CV_POLYGONS::CloneSame() const {
  G3_CV_POLYGONS* c = Cnew<G3_CV_POLYGONS>(*this);
  if (C_ERROR::Is()) {
    delete c;
    return nullptr;
  }
  return c;
}

void G3_CV_POLYGONS::Append(G3_CV_POLYGONS** other) {
  if (other == nullptr || *other == nullptr) return;
  if (*other == this) {
    CerrInvalidValue.Trigger();
    return;
  }
  TakeAll(this, *other);
  if (C_ERROR::Is()) return;
  delete *other;
  *other = nullptr;
}
