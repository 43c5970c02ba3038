#ifndef G3GEOM_INDEXES_G3_BOX_CLASSIFY_H
#define G3GEOM_INDEXES_G3_BOX_CLASSIFY_H

#include <cmath>

#include "algebra/g3_axis.h"
#include "runtime/c_bool.h"
#include "volumes/g2_box.h"
#include "volumes/g3_box.h"

// The box tests that the R-tree and the hierarchical boxes share when they
// walk their trees: a stored box b against a query box q.
namespace g3_box_classify {

// Classification of a stored box b against a query box q.
enum { OUTSIDE = 0, PARTIAL = 1, INSIDE = 2 };

// Every comparison is made, without a short cut: a branch per axis costs
// more than the comparisons it would spare. A NaN coordinate fails them all.
inline bool Overlaps3(const G3_BOX& q, const G3_BOX& b) {
  return (int(q.GetXmin() <= b.GetXmax()) & int(b.GetXmin() <= q.GetXmax()) &
          int(q.GetYmin() <= b.GetYmax()) & int(b.GetYmin() <= q.GetYmax()) &
          int(q.GetZmin() <= b.GetZmax()) & int(b.GetZmin() <= q.GetZmax())) != 0;
}
inline bool Overlaps2(const G2_BOX& q, const G3_BOX& b) {
  return (int(q.GetXmin() <= b.GetXmax()) & int(b.GetXmin() <= q.GetXmax()) &
          int(q.GetYmin() <= b.GetYmax()) & int(b.GetYmin() <= q.GetYmax())) != 0;
}
// b lies within q (inclusive).
inline bool Within3(const G3_BOX& q, const G3_BOX& b) {
  return (int(q.GetXmin() <= b.GetXmin()) & int(b.GetXmax() <= q.GetXmax()) &
          int(q.GetYmin() <= b.GetYmin()) & int(b.GetYmax() <= q.GetYmax()) &
          int(q.GetZmin() <= b.GetZmin()) & int(b.GetZmax() <= q.GetZmax())) != 0;
}
inline bool Within2(const G2_BOX& q, const G3_BOX& b) {
  return (int(q.GetXmin() <= b.GetXmin()) & int(b.GetXmax() <= q.GetXmax()) &
          int(q.GetYmin() <= b.GetYmin()) & int(b.GetYmax() <= q.GetYmax())) != 0;
}

// Outside when disjoint on some axis (touching is not outside), inside when b
// lies within q, partial otherwise. Outside is the negation of the overlap,
// so that a NaN coordinate makes the pair outside.
inline int Classify3(const G3_BOX& q, const G3_BOX& b) {
  if (!Overlaps3(q, b)) return OUTSIDE;
  return Within3(q, b) ? INSIDE : PARTIAL;
}

// The same in plan: x and y only.
inline int Classify2(const G2_BOX& q, const G3_BOX& b) {
  if (!Overlaps2(q, b)) return OUTSIDE;
  return Within2(q, b) ? INSIDE : PARTIAL;
}

// The same tests named by the query's type, for the walks written once for
// both kinds of query.
inline bool Overlaps(const G3_BOX& q, const G3_BOX& b) { return Overlaps3(q, b); }
inline bool Overlaps(const G2_BOX& q, const G3_BOX& b) { return Overlaps2(q, b); }
inline int Classify(const G3_BOX& q, const G3_BOX& b) { return Classify3(q, b); }
inline int Classify(const G2_BOX& q, const G3_BOX& b) { return Classify2(q, b); }

inline C_BOOL AxisHasNan(const G3_AXIS& a) {
  const G3_POINT& p = a.GetPo();
  const G3_VECTOR1& v = a.GetVx();
  return std::isnan(p.GetCx()) || std::isnan(p.GetCy()) || std::isnan(p.GetCz()) ||
         std::isnan(v.GetCx()) || std::isnan(v.GetCy()) || std::isnan(v.GetCz());
}

inline C_BOOL HasNan(const G3_BOX& b) {
  return std::isnan(b.GetXmin()) || std::isnan(b.GetXmax()) || std::isnan(b.GetYmin()) ||
         std::isnan(b.GetYmax()) || std::isnan(b.GetZmin()) || std::isnan(b.GetZmax());
}

}  // namespace g3_box_classify

#endif
