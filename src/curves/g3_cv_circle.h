#ifndef G3GEOM_CURVES_G3_CV_CIRCLE_H
#define G3GEOM_CURVES_G3_CV_CIRCLE_H

#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "curves/g3_cv.h"
#include "measures/g_ang.h"
#include "measures/g_arc.h"
#include "measures/g_len.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

// A circular arc carried by a plane: the plane's origin is the centre Pc, its
// Vx points to parameter 0. The parameter span holds angles in degrees from
// Vx towards Vy; a full circle has the span (0, 360).
//
// The constructors that take a sweep s check the arc length: when
// s.pi/180.r is below G_LEN::Min (so always for a negative sweep) they leave
// GerrLengthTooShort pending and the span as it was initialised: (0, 0) for
// the (plane, r, ..., G_ARC) forms, (0, 1) for those that compute their plane.
class G_API G3_CV_CIRCLE : public G3_CV {
 public:
  static const C_STRING CLASS;       // "G3_CV_CIRCLE"
  static const C_STRING CLASS_NAME;  // "#circle"

  // Default plane, radius 1, span (0, 360).
  G3_CV_CIRCLE() : G3_CV(0, 360) {}
  // Full circle, unchecked.
  G3_CV_CIRCLE(const G3_PLANE& pl, G_LEN r) : G3_CV(0, 360), plane_(pl), rad_(r) {}
  // Span (0, a).
  G3_CV_CIRCLE(const G3_PLANE& pl, G_LEN r, G_ARC a);
  // Span (a0, a0 + a).
  G3_CV_CIRCLE(const G3_PLANE& pl, G_LEN r, G_ANG a0, G_ARC a);
  // The plane turned to start at a1, the radius from p, span (0, a2 - a1).
  G3_CV_CIRCLE(const G3_PLANE& pl, const G3_POINT& p, G_ANG a1, G_ANG a2);
  // Centre pc, from p1 to p2 about vz.
  G3_CV_CIRCLE(const G3_POINT& pc, const G3_POINT& p1, const G3_POINT& p2,
               const G3_VECTOR1& vz);
  // Centre pc, from p1 to p2 the short way (about the normal of the points).
  G3_CV_CIRCLE(const G3_POINT& pc, const G3_POINT& p1, const G3_POINT& p2);
  G3_CV_CIRCLE(const G3_CV_CIRCLE& other) = default;
  G3_CV_CIRCLE& operator=(const G3_CV_CIRCLE& other) = default;
  ~G3_CV_CIRCLE() override;

  const C_STRING& GetClass() const override;
  const C_STRING& GetClassName() const override;
  C_BOOL IsCircle() const override { return true; }
  G3_CV* Clone() const override;
  G3_CV_CIRCLE* CloneSame() const;
  static G3_CV* GenerateDefault();

  const G3_PLANE& GetPlane() const { return plane_; }
  void SetPlane(const G3_PLANE& pl) { plane_ = pl; }
  const G3_POINT& GetPc() const { return plane_.GetPo(); }
  void SetPc(const G3_POINT& p) { plane_.SetPo(p); }
  const G3_VECTOR1& GetVx() const { return plane_.GetVx(); }
  const G3_VECTOR1& GetVy() const { return plane_.GetVy(); }
  void SetVxVy(const G3_VECTOR1& vx, const G3_VECTOR1& vy) { plane_.SetVxVy(vx, vy); }
  G3_VECTOR1 GetVz() const { return plane_.GetVz(); }
  G_LEN GetRad() const { return rad_; }
  void SetRad(G_LEN r) { rad_ = r; }
  // End - start; the arc's own check may leave GerrArcTooNarrow or
  // GerrArcTooLarge pending, the value is returned in either case.
  G_ARC GetArc() const { return G_ARC(GetEnd() - GetStart()); }

  // Base record, plane record, radius (double).
  void Load(int version, C_FILE* file) override;
  void Save(C_FILE* file) const override;

 private:
  // Centre, start point and normal; the span stays as initialised.
  void SetFromPoints(const G3_POINT& pc, const G3_POINT& p1, const G3_POINT& p2,
                     const G3_VECTOR1& vz);
  // Sets the span (start, start + s) unless the arc is shorter than G_LEN::Min.
  void SetSweep(double start, double s);

  G3_PLANE plane_;
  G_LEN rad_;
};

#endif
