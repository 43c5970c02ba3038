#include "commands.h"

#include <algorithm>
#include <cmath>

#include "analysis.h"

namespace {

Json NeighboursJson(const std::vector<Neighbour>& found, const G3_POINTS& pts) {
  Json list = Json::array();
  for (const Neighbour& n : found)
    list.push_back({{"id", n.id}, {"point", PointJson(pts.GetFast(n.id))}, {"distance", n.distance}});
  return list;
}

bool ReadPoints(const std::string& file, const ToolOptions& opt, Mesh* mesh, G3_POINTS* pts) {
  if (!LoadMesh(file, opt, mesh)) return false;
  ToPoints(*mesh, pts);
  return true;
}

bool ParseBox(const std::string& text, G3_BOX* box, std::string* error) {
  std::vector<double> v;
  if (!ParseNumbers(text, 6, &v, error)) return false;
  if (v[0] > v[1] || v[2] > v[3] || v[4] > v[5]) {
    *error = "box minimum above its maximum (expected XMIN,XMAX,YMIN,YMAX,ZMIN,ZMAX)";
    return false;
  }
  *box = G3_BOX(v[0], v[1], v[2], v[3], v[4], v[5]);
  return true;
}

}  // namespace

int RunObb(const ObbArgs& a, const ToolOptions& opt) {
  Mesh mesh;
  G3_POINTS pts;
  if (!ReadPoints(a.file, opt, &mesh, &pts)) return 1;
  G3_OBBOX obb;
  Json report;
  std::string error;
  {
    PhaseTimer t(opt, "oriented box");
    if (!AnalyseObb(pts, &obb, &report, &error)) return Fail(a.file + ":0: " + error);
  }
  if (!a.svg.empty()) {
    SvgPicture svg;
    DrawObb(pts, obb, &svg);
    svg.Caption("oriented box of " + a.file + ", projected on its main plane");
    if (!svg.Write(a.svg)) return Fail(a.svg + ":0: cannot write file");
  }
  PrintReport(report, opt);
  return 0;
}

int RunKnn(const KnnArgs& a, const ToolOptions& opt) {
  std::string error;
  std::vector<double> q;
  bool byAxis = !a.axis.empty();
  if (!ParseNumbers(byAxis ? a.axis : a.point, byAxis ? 6 : 3, &q, &error))
    return Fail(std::string(byAxis ? "--axis" : "--point") + ": " + error);
  Mesh mesh;
  G3_POINTS pts;
  if (!ReadPoints(a.file, opt, &mesh, &pts)) return 1;
  G3_KDTREE tree;
  {
    PhaseTimer t(opt, "build kd-tree");
    if (!BuildKdTree(pts, &tree, &error)) return Fail(a.file + ":0: " + error);
  }
  std::vector<Neighbour> found;
  Json report;
  PhaseTimer t(opt, "search");
  if (byAxis) {
    G3_VECTOR dir(q[3], q[4], q[5]);
    if (dir.GetNorm() == 0) return Fail("--axis: the direction is the null vector");
    G3_AXIS axis(G3_POINT(q[0], q[1], q[2]), G3_VECTOR1(dir));
    if (!NearestToAxis(tree, pts, axis, a.k, &found, &error)) return Fail(a.file + ":0: " + error);
    report["query"] = {{"axis_point", Xyz(q[0], q[1], q[2])}, {"axis_direction", Xyz(q[3], q[4], q[5])}};
    report["metric"] = "distance to the line";
  } else {
    G3_POINT p(q[0], q[1], q[2]);
    bool ok = a.euclidean ? NearestEuclidean(tree, pts, p, a.k, &found, &error)
                          : NearestToPoint(tree, pts, p, a.k, &found, &error);
    if (!ok) return Fail(a.file + ":0: " + error);
    report["query"] = {{"point", Xyz(q[0], q[1], q[2])}};
    report["metric"] = a.euclidean ? "euclidean" : "chebyshev";
  }
  report["k"] = a.k;
  report["neighbours"] = NeighboursJson(found, pts);
  PrintReport(report, opt);
  return 0;
}

int RunRange(const RangeArgs& a, const ToolOptions& opt) {
  std::string error;
  G3_BOX box;
  if (!ParseBox(a.box, &box, &error)) return Fail("--box: " + error);
  Mesh mesh;
  G3_POINTS pts;
  if (!ReadPoints(a.file, opt, &mesh, &pts)) return 1;
  G3_KDTREE tree;
  std::vector<int> ids;
  {
    PhaseTimer t(opt, "build kd-tree");
    if (!BuildKdTree(pts, &tree, &error)) return Fail(a.file + ":0: " + error);
  }
  {
    PhaseTimer t(opt, "range search");
    if (!PointsInBox(tree, box, &ids, &error)) return Fail(a.file + ":0: " + error);
  }
  Json list = Json::array();
  for (int id : ids) list.push_back({{"id", id}, {"point", PointJson(pts.GetFast(id))}});
  Json report;
  report["box"] = {{"min", Xyz(box.GetXmin(), box.GetYmin(), box.GetZmin())},
                   {"max", Xyz(box.GetXmax(), box.GetYmax(), box.GetZmax())}};
  report["count"] = ids.size();
  report["points"] = list;
  PrintReport(report, opt);
  return 0;
}

int RunBoxes(const BoxesArgs& a, const ToolOptions& opt) {
  std::string error;
  G3_BOX query;
  if (!ParseBox(a.query, &query, &error)) return Fail("--query: " + error);
  Mesh mesh;
  if (!LoadMesh(a.file, opt, &mesh)) return 1;
  if (mesh.triangles.empty()) return Fail(a.file + ":0: the file has no faces");
  std::vector<G3_BOX> boxes;
  boxes.reserve(mesh.triangles.size());
  for (const auto& t : mesh.triangles) {
    G3_BOX b;
    for (int v : t) {
      const auto& p = mesh.points[size_t(v)];
      b.Unite(G3_POINT(p[0], p[1], p[2]));
    }
    boxes.push_back(b);
  }
  std::vector<int> r, h;
  {
    PhaseTimer t(opt, "index and query");
    if (!QueryBoxes(boxes, query, a.plan, &r, &h, &error)) return Fail(a.file + ":0: " + error);
  }
  if (r != h)
    return Fail(a.file + ":0: internal disagreement: the R-tree found " + std::to_string(r.size()) +
                " triangles, the hierarchical boxes " + std::to_string(h.size()));
  Json report;
  report["triangles"] = boxes.size();
  report["query"] = {{"min", Xyz(query.GetXmin(), query.GetYmin(), query.GetZmin())},
                     {"max", Xyz(query.GetXmax(), query.GetYmax(), query.GetZmax())},
                     {"plan", a.plan}};
  report["count"] = r.size();
  report["indexes_agree"] = true;
  report["triangle_ids"] = r;
  PrintReport(report, opt);
  return 0;
}

int RunInterpolate(const InterpolateArgs& a, const ToolOptions& opt) {
  if (!(a.step > 0)) return Fail("--step: must be positive");
  if (!(a.angle >= 0 && a.angle <= 180)) return Fail("--angle: must lie in [0, 180]");
  if (a.minPoints < 2) return Fail("--min-points: must be at least 2");
  Mesh mesh;
  G3_POINTS pts;
  if (!ReadPoints(a.file, opt, &mesh, &pts)) return 1;
  if (pts.GetNumber() < 2) return Fail(a.file + ":0: at least 2 points are needed");
  G3_CV_COMPOSIT_BSPLINES chain;
  std::string error;
  {
    PhaseTimer t(opt, "interpolate");
    if (!Interpolate(pts, a.angle, a.step, a.minPoints, &chain, &error))
      return Fail(a.file + ":0: " + error);
  }
  Json report;
  report["points"] = pts.GetNumber();
  report["segments"] = chain.GetNumberOfSegments();
  Json breaks = Json::array();
  for (int i = 0; i < chain.GetBreaks().GetNumber(); ++i) breaks.push_back(chain.GetBreaks().Get(i));
  report["break_parameters"] = breaks;
  double worst = 0;
  for (int i = 0; i < pts.GetNumber(); ++i) {
    G3_POINT p = chain.GetPosit(i * a.step);
    worst = std::max(worst, EuclideanTo(p, &pts.GetFast(i)));
  }
  report["max_deviation_at_points"] = worst;
  if (!a.svg.empty()) {
    SvgPicture svg;
    std::vector<SvgPicture::P2> in, curve, marks;
    for (int i = 0; i < pts.GetNumber(); ++i) in.push_back({pts.GetFast(i).GetCx(), pts.GetFast(i).GetCy()});
    G3_POINTS samples;
    SampleChain(chain, 32, &samples);
    for (int i = 0; i < samples.GetNumber(); ++i) curve.push_back({samples.GetFast(i).GetCx(), samples.GetFast(i).GetCy()});
    for (int i = 0; i < chain.GetBreaks().GetNumber(); ++i) {
      G3_POINT p = chain.GetPosit(chain.GetBreaks().Get(i));
      marks.push_back({p.GetCx(), p.GetCy()});
    }
    svg.Polyline(curve, "#2a8a2a", 2, false);
    svg.Points(in, "#333333", 2.5);
    svg.Marks(marks, "#c03030", 10);
    svg.Caption("composite B-spline through " + a.file + " (x, y), breaks in red");
    if (!svg.Write(a.svg)) return Fail(a.svg + ":0: cannot write file");
  }
  if (!a.save.empty()) {
    G3_CV_COMPOSIT* cc = ToCompositCurve(chain);
    if (cc == nullptr) return Fail(a.save + ":0: " + TakeLibraryError());
    bool ok = SaveCurveFile(*cc, a.save, a.binary, &error);
    delete cc;
    if (!ok) return Fail(error);
    report["saved"] = a.save;
  }
  PrintReport(report, opt);
  return 0;
}

int RunInspect(const InspectArgs& a, const ToolOptions& opt) {
  std::vector<G3_CV*> curves;
  std::string error;
  {
    PhaseTimer t(opt, "load records");
    if (!LoadCurveFile(a.file, &curves, &error)) return Fail(error);
  }
  if (curves.empty()) return Fail(a.file + ":0: no curve record in file");
  Json list = Json::array();
  for (G3_CV* c : curves) {
    list.push_back(CurveTree(*c));
    delete c;
  }
  Json report;
  report["file"] = a.file;
  report["curves"] = list;
  PrintReport(report, opt);
  return 0;
}
