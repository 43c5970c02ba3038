#ifndef G3GEOM_MEASURES_G_ARC_H
#define G3GEOM_MEASURES_G_ARC_H

#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G_ANG;

// An angular sweep in degrees, valid in [G_ARC::Min, G_ARC::Max + G_ANG::Min]
// (a NaN is never valid). Every value given to it is stored first and then
// checked, so a failed check leaves its error pending with the value kept.
class G_API G_ARC {
 public:
  // Smallest valid arc (1e-8 rad in degrees), its sine and squared sine.
  static double Min;
  static double MinSin;
  static double MinSin2;
  // Largest arc, a full turn; it has no setter.
  static double Max;
  static double GetMin() { return Min; }
  static double GetMinSin() { return MinSin; }
  static double GetMinSin2() { return MinSin2; }
  static double GetMax() { return Max; }
  // Sets Min to a (degrees) with its sine and squared sine.
  static void SetMin(double a);

  // A full turn, checked like any other value.
  G_ARC() : G_ARC(360.0) {}
  G_ARC(double deg) : v_(deg) { Check(); }  // NOLINT: implicit by design
  G_ARC(const G_ANG& a);                     // NOLINT: implicit by design
  G_ARC& operator=(double deg) {
    v_ = deg;
    Check();
    return *this;
  }

  G_ARC& operator*=(double f) {
    v_ *= f;
    Check();
    return *this;
  }
  G_ARC& operator/=(double f) {
    v_ /= f;
    Check();
    return *this;
  }
  G_ARC& operator+=(G_ARC a) {
    v_ += a.v_;
    Check();
    return *this;
  }
  G_ARC& operator-=(G_ARC a) {
    v_ -= a.v_;
    Check();
    return *this;
  }

  // Raises GerrArcTooNarrow unless value >= Min, then, independently,
  // GerrArcTooLarge unless value <= Max + G_ANG::Min (both non-strict; a NaN
  // raises both, the latter being the one left pending).
  void Check() const;

  operator double() const { return v_; }  // NOLINT: implicit by design

  // The loaded value is not checked.
  void Load(int version, C_FILE* file);
  void Save(C_FILE* file) const;

 private:
  double v_;
};

#endif
