#ifndef G3GEOM_MEASURES_G_TOL_H
#define G3GEOM_MEASURES_G_TOL_H

#include "measures/g_arc.h"
#include "measures/g_len.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

// A length and an arc used together as a tolerance. Both members are checked
// when set, the defaults (0.0002 and 5 degrees) included.
class G_API G_TOL {
 public:
  G_TOL() : len_(0.0002), arc_(5.0) {}
  G_TOL(G_LEN len, G_ARC arc) : len_(len), arc_(arc) {}

  G_LEN GetLen() const { return len_; }
  G_ARC GetArc() const { return arc_; }
  void SetLen(G_LEN len) { len_ = len; }
  void SetArc(G_ARC arc) { arc_ = arc; }

  // The length, then the arc; loaded values are not checked.
  void Load(int version, C_FILE* file);
  void Save(C_FILE* file) const;

 private:
  G_LEN len_;
  G_ARC arc_;
};

#endif
