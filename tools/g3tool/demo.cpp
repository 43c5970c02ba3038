// g3tool demo: every subsystem on built-in, deterministic samples.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "analysis.h"
#include "commands.h"

namespace {

// A small deterministic generator, so the demo prints the same numbers on
// every machine.
class Sampler {
 public:
  explicit Sampler(uint64_t seed) : s_(seed) {}
  double Uniform() {  // in [0, 1)
    s_ = s_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return double(s_ >> 11) * (1.0 / 9007199254740992.0);
  }
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }

 private:
  uint64_t s_;
};

// Points near the surface of an ellipsoid with semi-axes 6, 3, 1.5, turned
// 30 degrees about z then 20 about x, and moved to (10, -4, 2).
void NoisyEllipsoid(int n, G3_POINTS* pts) {
  Sampler r(20261206);
  const double pi = 3.14159265358979323846;
  double cz = std::cos(pi / 6), sz = std::sin(pi / 6), cx = std::cos(pi / 9), sx = std::sin(pi / 9);
  for (int i = 0; i < n; ++i) {
    double u = r.Range(-1, 1), t = r.Range(0, 2 * pi), noise = 1 + r.Range(-0.02, 0.02);
    double s = std::sqrt(1 - u * u);
    double x = 6 * s * std::cos(t) * noise, y = 3 * s * std::sin(t) * noise, z = 1.5 * u * noise;
    double x1 = cz * x - sz * y, y1 = sz * x + cz * y;
    double y2 = cx * y1 - sx * z, z2 = sx * y1 + cx * z;
    pts->Append(G3_POINT(10 + x1, -4 + y2, 2 + z2));
  }
}

// Small boxes scattered in [0, 100]^3.
void ScatteredBoxes(int n, std::vector<G3_BOX>* boxes) {
  Sampler r(7);
  for (int i = 0; i < n; ++i) {
    double x = r.Range(0, 100), y = r.Range(0, 100), z = r.Range(0, 100);
    boxes->push_back(G3_BOX(x, x + r.Range(0.1, 3), y, y + r.Range(0.1, 3), z, z + r.Range(0.1, 3)));
  }
}

// A zigzag polyline with sharp corners, in the plane z = 0.
void Zigzag(G3_POINTS* pts) {
  const double corners[][2] = {{0, 0}, {10, 0}, {10, 6}, {2, 6}, {6, 12}, {14, 12}};
  for (int c = 0; c + 1 < 6; ++c)
    for (int k = 0; k < 5; ++k) {
      double t = k / 5.0;
      pts->Append(G3_POINT(corners[c][0] + t * (corners[c + 1][0] - corners[c][0]),
                           corners[c][1] + t * (corners[c + 1][1] - corners[c][1]), 0));
    }
  pts->Append(G3_POINT(corners[5][0], corners[5][1], 0));
}

bool SameDistances(const std::vector<Neighbour>& found, const std::vector<double>& brute) {
  if (found.size() != brute.size()) return false;
  for (size_t i = 0; i < found.size(); ++i)
    if (std::fabs(found[i].distance - brute[i]) > 1e-12 * (1 + brute[i])) return false;
  return true;
}

int Check(bool ok, const char* what, int* failures) {
  if (!ok) {
    ++*failures;
    Fail(std::string("demo: check failed: ") + what);
  }
  return ok;
}

}  // namespace

int RunDemo(const DemoArgs& a, const ToolOptions& opt) {
  std::string error;
  int failures = 0;
  Json report;
  std::error_code ec;
  std::filesystem::create_directories(a.out, ec);
  if (ec) return Fail(a.out + ":0: cannot create the output folder: " + ec.message());

  // 1. Oriented box of a noisy, rotated ellipsoid.
  G3_POINTS cloud;
  NoisyEllipsoid(4000, &cloud);
  G3_OBBOX obb;
  Json obbReport;
  {
    PhaseTimer t(opt, "oriented box");
    if (!AnalyseObb(cloud, &obb, &obbReport, &error)) return Fail("demo: oriented box: " + error);
  }
  report["oriented_box"] = obbReport;

  // 2. kd-tree queries, cross-checked against brute force.
  G3_KDTREE tree;
  if (!BuildKdTree(cloud, &tree, &error)) return Fail("demo: kd-tree: " + error);
  G3_POINT q(10, -4, 3);
  G3_AXIS axis(G3_POINT(0, 0, 0), G3_VECTOR1(G3_VECTOR(1, -0.4, 0.2)));
  std::vector<Neighbour> cheb, line, eucl;
  std::vector<int> inBox;
  G3_BOX window(8, 12, -6, -2, 1, 3);
  {
    PhaseTimer t(opt, "kd-tree queries");
    if (!NearestToPoint(tree, cloud, q, 10, &cheb, &error) ||
        !NearestToAxis(tree, cloud, axis, 10, &line, &error) ||
        !NearestEuclidean(tree, cloud, q, 10, &eucl, &error) ||
        !PointsInBox(tree, window, &inBox, &error))
      return Fail("demo: kd-tree: " + error);
  }
  std::vector<int> bruteInBox;
  for (int i = 0; i < cloud.GetNumber(); ++i) {
    const G3_POINT& p = cloud.GetFast(i);
    if (p.GetCx() >= 8 && p.GetCx() <= 12 && p.GetCy() >= -6 && p.GetCy() <= -2 && p.GetCz() >= 1 && p.GetCz() <= 3)
      bruteInBox.push_back(i);
  }
  Json kd;
  kd["points"] = cloud.GetNumber();
  kd["k_nearest_chebyshev_agrees"] = Check(SameDistances(cheb, BruteDistances(cloud, 10, ChebyshevTo, &q)), "k nearest (Chebyshev)", &failures) != 0;
  kd["k_nearest_to_line_agrees"] = Check(SameDistances(line, BruteDistances(cloud, 10, LineDistanceTo, &axis)), "k nearest to a line", &failures) != 0;
  kd["incremental_euclidean_agrees"] = Check(SameDistances(eucl, BruteDistances(cloud, 10, EuclideanTo, &q)), "incremental Euclidean search", &failures) != 0;
  kd["range_count"] = inBox.size();
  kd["range_agrees"] = Check(inBox == bruteInBox, "range search", &failures) != 0;
  kd["nearest_distance"] = cheb.empty() ? 0.0 : cheb[0].distance;
  report["kd_tree"] = kd;

  // 3. R-tree and hierarchical boxes on the same boxes.
  std::vector<G3_BOX> boxes;
  ScatteredBoxes(3000, &boxes);
  std::vector<int> r, h, rp, hp;
  G3_BOX query(20, 45, 30, 60, 0, 100);
  {
    PhaseTimer t(opt, "box indexes");
    if (!QueryBoxes(boxes, query, false, &r, &h, &error) ||
        !QueryBoxes(boxes, G3_BOX(20, 45, 30, 60, 40, 41), true, &rp, &hp, &error))
      return Fail("demo: box indexes: " + error);
  }
  Json bx;
  bx["boxes"] = boxes.size();
  bx["window_hits"] = r.size();
  bx["plan_window_hits"] = rp.size();
  bx["indexes_agree"] = Check(r == h && rp == hp, "R-tree and hierarchical boxes agree", &failures) != 0;
  report["box_indexes"] = bx;

  // 4. Composite B-spline interpolation with corners, saved and loaded back.
  G3_POINTS zig;
  Zigzag(&zig);
  G3_CV_COMPOSIT_BSPLINES chain;
  {
    PhaseTimer t(opt, "interpolation");
    if (!Interpolate(zig, 120, 1, 2, &chain, &error)) return Fail("demo: interpolation: " + error);
  }
  Json breaks = Json::array();
  for (int i = 0; i < chain.GetBreaks().GetNumber(); ++i) breaks.push_back(chain.GetBreaks().Get(i));
  double worst = 0;
  for (int i = 0; i < zig.GetNumber(); ++i) worst = std::max(worst, EuclideanTo(chain.GetPosit(i), &zig.GetFast(i)));
  Json ip;
  ip["points"] = zig.GetNumber();
  ip["segments"] = chain.GetNumberOfSegments();
  ip["break_parameters"] = breaks;
  ip["max_deviation_at_points"] = worst;
  Check(worst < 1e-9, "interpolation passes through its points", &failures);

  std::string curveFile = a.out + "/demo_curve.txt";
  G3_CV_COMPOSIT* cc = ToCompositCurve(chain);
  if (cc == nullptr) return Fail("demo: " + TakeLibraryError());
  bool saved = SaveCurveFile(*cc, curveFile, false, &error);
  Json before = CurveTree(*cc);
  delete cc;
  if (!saved) return Fail(error);
  std::vector<G3_CV*> loaded;
  if (!LoadCurveFile(curveFile, &loaded, &error)) return Fail(error);
  bool intact = loaded.size() == 1 && CurveTree(*loaded[0]) == before;
  for (G3_CV* c : loaded) delete c;
  ip["saved_to"] = curveFile;
  ip["loaded_back_intact"] = Check(intact, "curve record round trip", &failures) != 0;
  report["interpolation"] = ip;

  // 5. The picture.
  SvgPicture svg;
  DrawObb(cloud, obb, &svg);
  std::string svgFile = a.out + "/demo.svg";
  // The curve is drawn beside the cloud, scaled into the box's frame.
  G3_POINTS samples;
  SampleChain(chain, 24, &samples);
  double ox = obb.GetDeltaX() / 2 + 2, oy = -obb.GetDeltaY() / 2;
  std::vector<SvgPicture::P2> curve, marks, pts;
  for (int i = 0; i < samples.GetNumber(); ++i) curve.push_back({ox + 0.5 * samples.GetFast(i).GetCx(), oy + 0.5 * samples.GetFast(i).GetCy()});
  for (int i = 0; i < zig.GetNumber(); ++i) pts.push_back({ox + 0.5 * zig.GetFast(i).GetCx(), oy + 0.5 * zig.GetFast(i).GetCy()});
  for (int i = 0; i < chain.GetBreaks().GetNumber(); ++i) {
    G3_POINT p = chain.GetPosit(chain.GetBreaks().Get(i));
    marks.push_back({ox + 0.5 * p.GetCx(), oy + 0.5 * p.GetCy()});
  }
  svg.Polyline(curve, "#2a8a2a", 2, false);
  svg.Points(pts, "#333333", 2.5);
  svg.Marks(marks, "#c03030", 10);
  svg.Caption("g3tool demo: oriented box (red) of a point cloud; interpolated zigzag with breaks");
  if (!svg.Write(svgFile)) return Fail(svgFile + ":0: cannot write file");
  report["picture"] = svgFile;
  report["checks_failed"] = failures;

  PrintReport(report, opt);
  return failures == 0 ? 0 : 1;
}
