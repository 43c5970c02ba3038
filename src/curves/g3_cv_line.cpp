#include "curves/g3_cv_line.h"

#include "runtime/c_error.h"
#include "runtime/t_persist.h"

const C_STRING G3_CV_LINE::CLASS("G3_CV_LINE");
const C_STRING G3_CV_LINE::CLASS_NAME("#line");

G3_CV_LINE::G3_CV_LINE(const G3_POINT& p1, const G3_POINT& p2) {
  axis_.SetPo(p1);
  SetFromVector(G3_VECTOR(p1, p2));
}

G3_CV_LINE::G3_CV_LINE(const G3_POINT& p, const G3_VECTOR& v) {
  axis_.SetPo(p);
  SetFromVector(v);
}

// A null vector keeps the default direction and length; a length below
// G_LEN::Min is stored and leaves GerrLengthTooShort pending.
void G3_CV_LINE::SetFromVector(const G3_VECTOR& v) {
  G3_VECTOR u(v);
  double norm = 0;
  u.Unit(&norm);
  if (C_ERROR::Is()) return;
  // u is unit already: making it a G3_VECTOR1 leaves it as it is.
  axis_.SetVx(G3_VECTOR1(u));
  pulen_ = norm;
}

G3_CV_LINE::~G3_CV_LINE() = default;

const C_STRING& G3_CV_LINE::GetClass() const { return CLASS; }
const C_STRING& G3_CV_LINE::GetClassName() const { return CLASS_NAME; }

G3_CV* G3_CV_LINE::Clone() const { return G3CvCopyOf(*this); }

// Through the virtual Clone, so that a class derived from this one is cloned
// whole.
G3_CV_LINE* G3_CV_LINE::CloneSame() const { return static_cast<G3_CV_LINE*>(Clone()); }

G3_CV* G3_CV_LINE::GenerateDefault() { return Cnew<G3_CV_LINE>(); }

void G3_CV_LINE::Save(C_FILE* file) const {
  G3_CV::Save(file);
  if (C_ERROR::Is()) return;
  axis_.GetPo().Save(file);
  if (C_ERROR::Is()) return;
  axis_.GetVx().Save(file);
  if (C_ERROR::Is()) return;
  Tsave(double(pulen_), file);
}

// The fields change only when the whole body was read.
void G3_CV_LINE::Load(int version, C_FILE* file) {
  G3_CV::Load(version, file);
  if (C_ERROR::Is()) return;
  G3_POINT p = axis_.GetPo();
  p.Load(version, file);
  if (C_ERROR::Is()) return;
  G3_VECTOR1 v = axis_.GetVx();  // read as stored, not normalised again
  v.Load(version, file);
  if (C_ERROR::Is()) return;
  G_LEN len = pulen_;  // a loaded length is not checked
  len.Load(version, file);
  if (C_ERROR::Is()) return;
  axis_ = G3_AXIS(p, v);
  pulen_ = len;
}
