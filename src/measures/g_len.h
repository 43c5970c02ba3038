#ifndef G3GEOM_MEASURES_G_LEN_H
#define G3GEOM_MEASURES_G_LEN_H

#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G_DIS;

// A length: valid when at least G_LEN::Min (a NaN is never valid). Every value
// given to it (construction, assignment, arithmetic) is stored first and then
// checked, so a failed check leaves GerrLengthTooShort pending with the
// offending value kept.
class G_API G_LEN {
 public:
  // Smallest valid length, process-wide (1e-7 at load).
  static double Min;
  static double GetMin() { return Min; }
  static void SetMin(double d) { Min = d; }

  // 1.0, checked like any other value.
  G_LEN() : G_LEN(1.0) {}
  G_LEN(double d) : v_(d) { Check(); }  // NOLINT: implicit by design
  // The signed value of the distance, so a negative distance fails the check.
  G_LEN(const G_DIS& d);  // NOLINT: implicit by design
  G_LEN& operator=(double d) {
    v_ = d;
    Check();
    return *this;
  }

  G_LEN& operator*=(double f) {
    v_ *= f;
    Check();
    return *this;
  }
  G_LEN& operator/=(double f) {
    v_ /= f;
    Check();
    return *this;
  }
  G_LEN& operator+=(G_LEN l) {
    v_ += l.v_;
    Check();
    return *this;
  }
  G_LEN& operator-=(G_LEN l) {
    v_ -= l.v_;
    Check();
    return *this;
  }

  // Raises GerrLengthTooShort unless value >= Min (non-strict; NaN fails).
  void Check() const;
  // |this - other| < G_DIS::Min (strict): lengths are compared at the distance
  // resolution, not at G_LEN::Min.
  C_BOOL Equals(const G_LEN& other) const;

  operator double() const { return v_; }  // NOLINT: implicit by design

  // The loaded value is not checked.
  void Load(int version, C_FILE* file);
  void Save(C_FILE* file) const;

 private:
  double v_;
};

#endif
