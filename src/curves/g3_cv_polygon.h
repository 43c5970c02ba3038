#ifndef G3GEOM_CURVES_G3_CV_POLYGON_H
#define G3GEOM_CURVES_G3_CV_POLYGON_H

#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "containers/t_list_p.h"
#include "curves/g3_cv.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

// A polyline through an ordered list of points, open or closed. The parameter
// runs one unit per edge from 0 at the first point: an open polygon of n
// points has the span (0, n - 1), a closed one (0, n). The constructors set the
// span by this rule; the editing operations then shift the end by the number
// of points added or removed, whatever the closed flag.
class G_API G3_CV_POLYGON : public G3_CV {
 public:
  static const C_STRING CLASS;       // "G3_CV_POLYGON"
  static const C_STRING CLASS_NAME;  // "#polygon"

  // Open, no points, span (0, -1).
  G3_CV_POLYGON() : G3_CV(0, -1) {}
  // No points, room for capacity; span (0, 0) when closed, else (0, -1).
  G3_CV_POLYGON(C_BOOL closed, int capacity);
  // A copy of pts; span by the rule.
  G3_CV_POLYGON(C_BOOL closed, const G3_POINTS& pts);
  G3_CV_POLYGON(const G3_CV_POLYGON& other) = default;
  G3_CV_POLYGON& operator=(const G3_CV_POLYGON& other) = default;
  ~G3_CV_POLYGON() override;

  const C_STRING& GetClass() const override;
  const C_STRING& GetClassName() const override;
  C_BOOL IsPolygon() const override { return true; }
  G3_CV* Clone() const override;
  G3_CV_POLYGON* CloneSame() const;
  static G3_CV* GenerateDefault();

  // The closed flag; setting it leaves the span as it is.
  C_BOOL IsClosed() const { return closed_; }
  void SetClosed(C_BOOL closed) { closed_ = closed; }

  const G3_POINTS& GetPts() const { return pts_; }
  // Changes made through the pointer leave the span as it is.
  G3_POINTS* GetPtsAdr() { return &pts_; }
  int GetNumber() const { return pts_.GetNumber(); }
  // Checked by the list (invalid index: its error and the origin).
  const G3_POINT& Get(int i) const { return pts_.Get(i); }
  // Unchecked.
  const G3_POINT& GetFast(int i) const { return pts_.GetFast(i); }
  const G3_POINT& GetLast() const { return pts_.GetLast(0); }

  // Span end + 1.
  void Append(const G3_POINT& p);
  void Insert(int i, const G3_POINT& p);
  // Span end + other's number of points.
  void Append(const G3_CV_POLYGON& other);
  // Span end - 1.
  void Remove(int i);
  void RemoveLast();
  // Span unchanged.
  void Replace(int i, const G3_POINT& p) { pts_.Replace(i, p); }
  void Grow(int n) { pts_.Grow(n); }
  // No points (room kept), open, span (0, -1).
  void Clear();

  // Base record, closed flag, point list (count, point records, sorted flag).
  void Load(int version, C_FILE* file) override;
  void Save(C_FILE* file) const override;

 private:
  C_BOOL closed_;
  G3_POINTS pts_;
};

// An owning list of polygons.
class G_API G3_CV_POLYGONS : public T_LIST_P<G3_CV_POLYGON> {
 public:
  G3_CV_POLYGONS() = default;
  explicit G3_CV_POLYGONS(int capacity) : T_LIST_P<G3_CV_POLYGON>(capacity) {}
  // Each polygon copied.
  G3_CV_POLYGONS(const G3_CV_POLYGONS& other) = default;
  // Takes over the other list's storage, deletes the emptied list object and
  // nulls the pointer.
  explicit G3_CV_POLYGONS(G3_CV_POLYGONS** other);
  G3_CV_POLYGONS& operator=(const G3_CV_POLYGONS& other) = default;
  ~G3_CV_POLYGONS() = default;

  // A new copy owned by the caller; null on failure.
  G3_CV_POLYGONS* CloneSame() const;

  using T_LIST_P<G3_CV_POLYGON>::Append;
  // Moves every polygon of other to the end, deletes the emptied list object
  // and nulls the pointer.
  void Append(G3_CV_POLYGONS** other);
};

#endif
