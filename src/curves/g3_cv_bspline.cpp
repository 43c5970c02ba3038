#include "curves/g3_cv_bspline.h"

#include "runtime/c_error.h"

const C_STRING G3_CV_BSPLINE::CLASS("G3_CV_BSPLINE");
const C_STRING G3_CV_BSPLINE::CLASS_NAME("#b-spline curve");
double G3_CV_BSPLINE::TolForSketch = 1e-5;
NewtonMethodStruct G3_CV_BSPLINE::NewtonVars = {};

G3_CV_BSPLINE::G3_CV_BSPLINE() = default;

namespace {

// Ends of the range of a basis, for the span of the curve built on it.
double RangeStart(const G_BSPLINE& bs) {
  double a = 0, b = 1;
  bs.GetRange(&a, &b);
  return a;
}

double RangeEnd(const G_BSPLINE& bs) {
  double a = 0, b = 1;
  bs.GetRange(&a, &b);
  return b;
}

}  // namespace

G3_CV_BSPLINE::G3_CV_BSPLINE(const G_BSPLINE& bs, const G3_POINTS& pts)
    : G3_CV(RangeStart(bs), RangeEnd(bs)), bs_(bs), pts_(pts) {}

G3_CV_BSPLINE::G3_CV_BSPLINE(const G_BSPLINE& bs, const G3_POINTS& pts,
                             const T_LIST<double>& wts)
    : G3_CV(RangeStart(bs), RangeEnd(bs)), bs_(bs), pts_(pts), wts_(wts) {}

G3_CV_BSPLINE::G3_CV_BSPLINE(const G3_CV_BSPLINE& other) = default;

G3_CV_BSPLINE& G3_CV_BSPLINE::operator=(const G3_CV_BSPLINE& other) {
  if (this == &other) return *this;
  G3_CV::operator=(other);
  bs_ = other.bs_;
  pts_ = other.pts_;
  wts_ = other.wts_;
  return *this;
}

G3_CV_BSPLINE::~G3_CV_BSPLINE() = default;

const C_STRING& G3_CV_BSPLINE::GetClass() const { return CLASS; }

const C_STRING& G3_CV_BSPLINE::GetClassName() const { return CLASS_NAME; }

G3_CV* G3_CV_BSPLINE::Clone() const { return G3CvCopyOf(*this); }

// Through the virtual Clone, so that a class derived from this one is cloned
// whole.
G3_CV_BSPLINE* G3_CV_BSPLINE::CloneSame() const { return static_cast<G3_CV_BSPLINE*>(Clone()); }

G3_CV* G3_CV_BSPLINE::GenerateDefault() { return Cnew<G3_CV_BSPLINE>(); }

double G3_CV_BSPLINE::GetKnot(int i) const { return bs_.GetKnots().Get(i); }

void G3_CV_BSPLINE::SetKnots(const T_LIST<double>& knots) {
  T_LIST<double> sorted(knots);
  sorted.SetSorted(0);  // the copy may carry a stale flag: sort for real
  sorted.Sort();
  bs_.SetKnots(sorted);
}

double G3_CV_BSPLINE::GetCWt(int i) const {
  if (wts_.GetNumber() == 0) return 1.0;
  return wts_.Get(i);
}

void G3_CV_BSPLINE::Save(C_FILE* file) const {
  G3_CV::Save(file);
  if (C_ERROR::Is()) return;
  bs_.Save(file);
  if (C_ERROR::Is()) return;
  pts_.Save(file);
  if (C_ERROR::Is()) return;
  wts_.Save(file);
}

void G3_CV_BSPLINE::Load(int version, C_FILE* file) {
  G3_CV::Load(version, file);
  if (C_ERROR::Is()) return;
  bs_.Load(version, file);
  if (C_ERROR::Is()) return;
  pts_.Load(version, file);
  if (C_ERROR::Is()) return;
  // The weight list is replaced only when its whole record was read.
  wts_.Load(version, file);
}
