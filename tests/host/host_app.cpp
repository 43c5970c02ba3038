// A host program built against the installed library: it touches every layer
// through the exported names only, and fails (status 1) on a wrong answer.
#include <g3geom/g3geom.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::printf("host check failed: %s\n", what);
    ++failures;
  }
}

bool Near(double a, double b) { return std::fabs(a - b) < 1e-9; }

}  // namespace

int main() {
  Gopen();

  // Runtime and catalogue.
  C_STRING s("1.5e2 x");
  int next = 0;
  Check(s.ScanReal(0, &next) == 150.0 && next == 5 && !C_ERROR::Is(), "ScanReal");
  GerrNullVector.Trigger();
  Check(C_ERROR::GetPending() == &GerrNullVector &&
            std::strcmp(GerrNullVector.GetText(), "G#Err#null vector") == 0,
        "pending catalogue error");
  C_ERROR::ClearPending();

  // Algebra: a quarter turn about z maps x onto y.
  G3_TRANSFO t;
  t.SetRotZ(G_ANG(90));
  G3_POINT p(1, 0, 0);
  t.Transfo(&p);
  Check(Near(p.GetCx(), 0) && Near(p.GetCy(), 1) && Near(p.GetCz(), 0), "rotation");

  // Volumes: the oriented box of a flat 4 x 2 rectangle's corners.
  G3_POINTS pts;
  pts.Append(G3_POINT(0, 0, 0));
  pts.Append(G3_POINT(4, 0, 0));
  pts.Append(G3_POINT(4, 2, 0));
  pts.Append(G3_POINT(0, 2, 0));
  G3_OBBOX obb(pts);
  Check(!C_ERROR::Is() && Near(obb.GetDeltaX(), 4) && Near(obb.GetDeltaY(), 2), "oriented box");
  C_ERROR::ClearPending();

  // Indexes: the kd-tree, the R-tree and the hierarchical boxes.
  G3_KDTREE tree;
  T_LIST<int> ids;
  for (int i = 0; i < pts.GetNumber(); ++i) ids.Append(i);
  tree.Insert(pts, ids, false, 0.0);
  int id = -1;
  tree.SearchNearest(G3_POINT(3.9, 1.9, 0), &id);
  Check(!C_ERROR::Is() && id == 2, "kd-tree nearest");
  G3_RTREE rtree;
  T_LIST<G3_BOX> boxes;
  for (int i = 0; i < 10; ++i) {
    G3_BOX b(i, i + 0.5, 0, 1, 0, 1);
    rtree.InsertRect(b, i);
    boxes.Append(b);
  }
  G3_HBOX hbox;
  hbox.SetBoxes(boxes, false, 2);
  T_LIST<int> a, b;
  rtree.Intersect(G3_BOX(2.2, 4.1, 0, 1, 0, 1), &a);
  hbox.Intersect(G3_BOX(2.2, 4.1, 0, 1, 0, 1), &b);
  Check(!C_ERROR::Is() && a.GetNumber() == 3 && b.GetNumber() == 3, "box indexes");

  // Curves: a line through the encoded records and back.
  G3_CV_LINE line(G3_POINT(0, 0, 0), G3_POINT(3, 4, 0));
  C_FILE_MEMORY f(C_FILE::TEXT);
  line.SaveEnc(&f);
  f.Rewind();
  G3_CV* back = G3_CV::LoadEnc(608101, &f);
  Check(!C_ERROR::Is() && back != nullptr && back->IsLine(), "curve record round trip");
  delete back;

  Gclose();
  if (failures == 0) std::printf("host ok\n");
  return failures == 0 ? 0 : 1;
}
