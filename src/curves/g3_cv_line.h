#ifndef G3GEOM_CURVES_G3_CV_LINE_H
#define G3GEOM_CURVES_G3_CV_LINE_H

#include "algebra/g3_axis.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "curves/g3_cv.h"
#include "measures/g_len.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

// A straight segment carried by an axis. The span is always (0, 1) at
// construction; PULen is the length per unit of parameter, so the segment
// runs from Po (parameter 0) to Po + PULen.Vx (parameter 1).
class G_API G3_CV_LINE : public G3_CV {
 public:
  static const C_STRING CLASS;       // "G3_CV_LINE"
  static const C_STRING CLASS_NAME;  // "#line"

  // Po (0, 0, 0), Vx (1, 0, 0), PULen 1.
  G3_CV_LINE() = default;
  G3_CV_LINE(const G3_AXIS& ax, G_LEN len) : axis_(ax), pulen_(len) {}
  // Unchecked.
  G3_CV_LINE(const G3_POINT& p, const G3_VECTOR1& u, G_LEN len) : axis_(p, u), pulen_(len) {}
  // From p1 to p2: Vx and PULen from normalising p2 - p1. Equal points leave
  // GerrNullVector pending with Vx (1, 0, 0) and PULen 1; a length below
  // G_LEN::Min leaves GerrLengthTooShort pending.
  G3_CV_LINE(const G3_POINT& p1, const G3_POINT& p2);
  // From p along v: Vx and PULen from normalising v, as above.
  G3_CV_LINE(const G3_POINT& p, const G3_VECTOR& v);
  // Po p1, Vx the unit vector from p1 to p2, PULen len.
  G3_CV_LINE(const G3_POINT& p1, const G3_POINT& p2, G_LEN len)
      : axis_(p1, G3_VECTOR1(p1, p2)), pulen_(len) {}
  G3_CV_LINE(const G3_CV_LINE& other) = default;
  G3_CV_LINE& operator=(const G3_CV_LINE& other) = default;
  ~G3_CV_LINE() override;

  const C_STRING& GetClass() const override;
  const C_STRING& GetClassName() const override;
  C_BOOL IsLine() const override { return true; }
  G3_CV* Clone() const override;
  G3_CV_LINE* CloneSame() const;
  static G3_CV* GenerateDefault();

  const G3_AXIS& GetAxis() const { return axis_; }
  void SetAxis(const G3_AXIS& ax) { axis_ = ax; }
  const G3_POINT& GetPo() const { return axis_.GetPo(); }
  void SetPo(const G3_POINT& p) { axis_.SetPo(p); }
  const G3_VECTOR1& GetVx() const { return axis_.GetVx(); }
  // Stored as given.
  void SetVx(const G3_VECTOR1& u) { axis_.SetVx(u); }
  G_LEN GetPULen() const { return pulen_; }
  void SetPULen(G_LEN len) { pulen_ = len; }

  // Lines have no order; against any other curve the base's answer (false).
  int operator>(const G3_CV_LINE&) const { return 0; }
  using G3_CV::operator>;

  // Base record, Po (point record), Vx (vector record), PULen (double).
  void Load(int version, C_FILE* file) override;
  void Save(C_FILE* file) const override;

 private:
  void SetFromVector(const G3_VECTOR& v);

  G3_AXIS axis_;
  G_LEN pulen_;
};

#endif
