#include "curves/g3_cv_circle.h"

#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_math.h"
#include "runtime/t_persist.h"

const C_STRING G3_CV_CIRCLE::CLASS("G3_CV_CIRCLE");
const C_STRING G3_CV_CIRCLE::CLASS_NAME("#circle");

namespace {
const double kDegToRad = 0.017453292519943295;  // pi / 180
}  // namespace

G3_CV_CIRCLE::G3_CV_CIRCLE(const G3_PLANE& pl, G_LEN r, G_ARC a)
    : G3_CV(0, 0), plane_(pl), rad_(r) {
  SetSweep(0, a);
}

G3_CV_CIRCLE::G3_CV_CIRCLE(const G3_PLANE& pl, G_LEN r, G_ANG a0, G_ARC a)
    : G3_CV(0, 0), plane_(pl), rad_(r) {
  SetSweep(a0, a);
}

// Errors of the steps stay pending and the later steps still run, so the
// circle holds every value that could be computed.
G3_CV_CIRCLE::G3_CV_CIRCLE(const G3_PLANE& pl, const G3_POINT& p, G_ANG a1, G_ANG a2) {
  G3_VECTOR vx = CmathCos(a1) * pl.GetVx() + CmathSin(a1) * pl.GetVy();
  double r = G3_VECTOR(pl.GetPo(), p).GetNorm();
  plane_.SetPo(pl.GetPo());
  G3_VECTOR1 ux(vx);
  G3_VECTOR1 uy(pl.GetVz() ^ vx);
  plane_.SetVxVy(ux, uy);
  rad_ = r;  // stored even when too short, with GerrLengthTooShort pending
  SetSweep(0, double(a2) - double(a1));
}

G3_CV_CIRCLE::G3_CV_CIRCLE(const G3_POINT& pc, const G3_POINT& p1, const G3_POINT& p2,
                           const G3_VECTOR1& vz) {
  SetFromPoints(pc, p1, p2, vz);
}

G3_CV_CIRCLE::G3_CV_CIRCLE(const G3_POINT& pc, const G3_POINT& p1, const G3_POINT& p2) {
  // Colinear points give a null normal: (1, 0, 0) with GerrNullVector pending.
  G3_VECTOR1 vz(G3_VECTOR(pc, p1) ^ G3_VECTOR(pc, p2));
  SetFromPoints(pc, p1, p2, vz);
}

void G3_CV_CIRCLE::SetFromPoints(const G3_POINT& pc, const G3_POINT& p1, const G3_POINT& p2,
                                 const G3_VECTOR1& vz) {
  G3_VECTOR d(pc, p1);
  double r = 0;
  d.Unit(&r);  // a start point at the centre leaves GerrNullVector pending
  plane_.SetPo(pc);
  G3_VECTOR1 ux(d);
  G3_VECTOR1 uy(vz ^ d);
  plane_.SetVxVy(ux, uy);
  rad_ = r;  // stored even when too short, with GerrLengthTooShort pending
  SetSweep(0, G_ANG(pc, p1, p2, vz));
}

void G3_CV_CIRCLE::SetSweep(double start, double s) {
  if (s * kDegToRad * double(rad_) < G_LEN::Min) {
    GerrLengthTooShort.Trigger();
    return;
  }
  SetStartEnd(start, start + s);
}

G3_CV_CIRCLE::~G3_CV_CIRCLE() = default;

const C_STRING& G3_CV_CIRCLE::GetClass() const { return CLASS; }
const C_STRING& G3_CV_CIRCLE::GetClassName() const { return CLASS_NAME; }

G3_CV* G3_CV_CIRCLE::Clone() const { return G3CvCopyOf(*this); }

// Through the virtual Clone, so that a class derived from this one is cloned
// whole.
G3_CV_CIRCLE* G3_CV_CIRCLE::CloneSame() const { return static_cast<G3_CV_CIRCLE*>(Clone()); }

G3_CV* G3_CV_CIRCLE::GenerateDefault() { return Cnew<G3_CV_CIRCLE>(); }

void G3_CV_CIRCLE::Save(C_FILE* file) const {
  G3_CV::Save(file);
  if (C_ERROR::Is()) return;
  plane_.Save(file);
  if (C_ERROR::Is()) return;
  Tsave(double(rad_), file);
}

// The fields change only when the whole body was read.
void G3_CV_CIRCLE::Load(int version, C_FILE* file) {
  G3_CV::Load(version, file);
  if (C_ERROR::Is()) return;
  G3_PLANE pl = plane_;
  pl.Load(version, file);
  if (C_ERROR::Is()) return;
  G_LEN r = rad_;  // a loaded radius is not checked
  r.Load(version, file);
  if (C_ERROR::Is()) return;
  plane_ = pl;
  rad_ = r;
}
