#include "analysis.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Fails with the pending library error's text when one is pending.
bool Pending(std::string* error) {
  if (!C_ERROR::Is()) return false;
  *error = TakeLibraryError();
  return true;
}

double Dot(const G3_POINT& p, const G3_POINT& o, const G3_VECTOR1& v) {
  return (p.GetCx() - o.GetCx()) * v.GetCx() + (p.GetCy() - o.GetCy()) * v.GetCy() +
         (p.GetCz() - o.GetCz()) * v.GetCz();
}

Json VectorJson(const G3_VECTOR1& v) { return Xyz(v.GetCx(), v.GetCy(), v.GetCz()); }

}  // namespace

Json PointJson(const G3_POINT& p) { return Xyz(p.GetCx(), p.GetCy(), p.GetCz()); }

bool AnalyseObb(const G3_POINTS& pts, G3_OBBOX* obb, Json* report, std::string* error) {
  *obb = G3_OBBOX(pts);
  if (Pending(error)) return false;
  G3_BOX aabb(pts);
  if (Pending(error)) return false;
  const G3_FRAME& f = obb->GetFrame();
  double aabbVolume = aabb.GetVolume();
  Json j;
  j["points"] = pts.GetNumber();
  j["oriented_box"] = {{"centre", PointJson(f.GetPo())},
                       {"axes", Json::array({VectorJson(f.GetVx()), VectorJson(f.GetVy()),
                                             VectorJson(f.GetVz())})},
                       {"deltas", Xyz(obb->GetDeltaX(), obb->GetDeltaY(), obb->GetDeltaZ())},
                       {"volume", obb->GetVolume()}};
  j["axis_aligned_box"] = {{"min", Xyz(aabb.GetXmin(), aabb.GetYmin(), aabb.GetZmin())},
                           {"max", Xyz(aabb.GetXmax(), aabb.GetYmax(), aabb.GetZmax())},
                           {"volume", aabbVolume}};
  j["volume_ratio"] = aabbVolume > 0 ? obb->GetVolume() / aabbVolume : 1.0;
  *report = j;
  return true;
}

void DrawObb(const G3_POINTS& pts, const G3_OBBOX& obb, SvgPicture* svg) {
  const G3_FRAME& f = obb.GetFrame();
  std::vector<SvgPicture::P2> flat;
  flat.reserve(size_t(pts.GetNumber()));
  for (int i = 0; i < pts.GetNumber(); ++i) {
    const G3_POINT& p = pts.GetFast(i);
    flat.push_back({Dot(p, f.GetPo(), f.GetVx()), Dot(p, f.GetPo(), f.GetVy())});
  }
  svg->Points(flat, "#4a7ab5", 1.2);
  double hx = obb.GetDeltaX() / 2, hy = obb.GetDeltaY() / 2;
  svg->Polyline({{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}}, "#c03030", 2, true);
}

bool BuildKdTree(const G3_POINTS& pts, G3_KDTREE* tree, std::string* error) {
  T_LIST<int> ids(pts.GetNumber());
  for (int i = 0; i < pts.GetNumber(); ++i) ids.Append(i);
  if (Pending(error)) return false;
  // A negative tolerance keeps coincident points as separate entries.
  tree->Insert(pts, ids, false, -1.0);
  return !Pending(error);
}

double ChebyshevTo(const G3_POINT& p, const void* q) {
  const G3_POINT& a = *static_cast<const G3_POINT*>(q);
  return std::max({std::fabs(p.GetCx() - a.GetCx()), std::fabs(p.GetCy() - a.GetCy()),
                   std::fabs(p.GetCz() - a.GetCz())});
}

double EuclideanTo(const G3_POINT& p, const void* q) {
  const G3_POINT& a = *static_cast<const G3_POINT*>(q);
  return std::sqrt((p.GetCx() - a.GetCx()) * (p.GetCx() - a.GetCx()) +
                   (p.GetCy() - a.GetCy()) * (p.GetCy() - a.GetCy()) +
                   (p.GetCz() - a.GetCz()) * (p.GetCz() - a.GetCz()));
}

double LineDistanceTo(const G3_POINT& p, const void* axis) {
  const G3_AXIS& a = *static_cast<const G3_AXIS*>(axis);
  const G3_POINT& o = a.GetPo();
  const G3_VECTOR1& u = a.GetVx();
  double dx = p.GetCx() - o.GetCx(), dy = p.GetCy() - o.GetCy(), dz = p.GetCz() - o.GetCz();
  double cx = dy * u.GetCz() - dz * u.GetCy(), cy = dz * u.GetCx() - dx * u.GetCz(),
         cz = dx * u.GetCy() - dy * u.GetCx();
  return std::sqrt(cx * cx + cy * cy + cz * cz);
}

std::vector<double> BruteDistances(const G3_POINTS& pts, int k,
                                   double (*dist)(const G3_POINT&, const void*),
                                   const void* query) {
  std::vector<double> d(size_t(pts.GetNumber()));
  for (int i = 0; i < pts.GetNumber(); ++i) d[size_t(i)] = dist(pts.GetFast(i), query);
  std::sort(d.begin(), d.end());
  d.resize(std::min(d.size(), size_t(std::max(k, 0))));
  return d;
}

namespace {

void FromIds(const T_LIST<int>& ids, const G3_POINTS& pts,
             double (*dist)(const G3_POINT&, const void*), const void* query,
             std::vector<Neighbour>* out) {
  out->clear();
  for (int i = 0; i < ids.GetNumber(); ++i) {
    int id = ids.GetFast(i);
    out->push_back({id, dist(pts.GetFast(id), query)});
  }
  // A tree holding no more than k points answers them unsorted.
  std::stable_sort(out->begin(), out->end(),
                   [](const Neighbour& a, const Neighbour& b) { return a.distance < b.distance; });
}

}  // namespace

bool NearestToPoint(const G3_KDTREE& tree, const G3_POINTS& pts, const G3_POINT& q, int k,
                    std::vector<Neighbour>* out, std::string* error) {
  T_LIST<G3_POINT> found;
  T_LIST<int> ids;
  tree.SearchNearest(q, k, &found, &ids);
  if (Pending(error)) return false;
  FromIds(ids, pts, ChebyshevTo, &q, out);
  return true;
}

bool NearestToAxis(const G3_KDTREE& tree, const G3_POINTS& pts, const G3_AXIS& axis, int k,
                   std::vector<Neighbour>* out, std::string* error) {
  T_LIST<G3_POINT> found;
  T_LIST<int> ids;
  tree.SearchNearest(axis, k, &found, &ids);
  if (Pending(error)) return false;
  FromIds(ids, pts, LineDistanceTo, &axis, out);
  return true;
}

bool NearestEuclidean(const G3_KDTREE& tree, const G3_POINTS& pts, const G3_POINT& q, int k,
                      std::vector<Neighbour>* out, std::string* error) {
  out->clear();
  T_CONTEXT* c = tree.BeginEuclideanSearch(q);
  if (Pending(error)) return false;
  G3_POINT p;
  int id = -1;
  while (int(out->size()) < k && tree.SearchEuclideanNearest(c, &p, &id))
    out->push_back({id, EuclideanTo(pts.GetFast(id), &q)});
  tree.EndEuclideanSearch(c);
  return !Pending(error);
}

bool PointsInBox(const G3_KDTREE& tree, const G3_BOX& box, std::vector<int>* ids,
                 std::string* error) {
  T_LIST<G3_POINT> found;
  T_LIST<int> idList;
  ids->clear();
  tree.Search(box, &found, &idList, 63);
  if (Pending(error)) return false;
  for (int i = 0; i < idList.GetNumber(); ++i) ids->push_back(idList.GetFast(i));
  std::sort(ids->begin(), ids->end());
  return true;
}

bool QueryBoxes(const std::vector<G3_BOX>& boxes, const G3_BOX& query, bool plan,
                std::vector<int>* rtreeIds, std::vector<int>* hboxIds, std::string* error) {
  G3_RTREE rtree;
  T_LIST<G3_BOX> list(int(boxes.size()));
  for (size_t i = 0; i < boxes.size(); ++i) {
    rtree.InsertRect(boxes[i], int(i));
    list.Append(boxes[i]);
  }
  if (Pending(error)) return false;
  G3_HBOX hbox;
  hbox.SetBoxes(list, false, 4);
  if (Pending(error)) return false;

  T_LIST<int> a, b;
  G2_BOX plan2(query.GetXmin(), query.GetXmax(), query.GetYmin(), query.GetYmax());
  if (plan) {
    rtree.Intersect(plan2, &a);
    hbox.Intersect(plan2, &b);
  } else {
    rtree.Intersect(query, &a);
    hbox.Intersect(query, &b);
  }
  if (Pending(error)) return false;
  rtreeIds->assign(a.GetAdrFast(0), a.GetAdrFast(0) + a.GetNumber());
  hboxIds->assign(b.GetAdrFast(0), b.GetAdrFast(0) + b.GetNumber());
  std::sort(rtreeIds->begin(), rtreeIds->end());
  std::sort(hboxIds->begin(), hboxIds->end());
  return true;
}

bool Interpolate(const G3_POINTS& pts, double angle, double step, int minPoints,
                 G3_CV_COMPOSIT_BSPLINES* chain, std::string* error) {
  *chain = G3_CV_COMPOSIT_BSPLINES();
  chain->Interpol(G3_VECTOR::V0, pts, G3_VECTOR::V0, angle, step, minPoints, true, nullptr);
  return !Pending(error);
}

G3_CV_COMPOSIT* ToCompositCurve(const G3_CV_COMPOSIT_BSPLINES& chain) {
  G3_CV_COMPOSIT* cc = Cnew<G3_CV_COMPOSIT>();
  if (cc == nullptr) return nullptr;
  const T_LIST<double>& breaks = chain.GetBreaks();
  for (int k = 0; k < chain.GetNumberOfSegments(); ++k) {
    const G3_CV_BSPLINE_SLIM* s = chain.GetSegment(k);
    G3_CV* bs = Cnew<G3_CV_BSPLINE>(s->GetBs(), s->GetCPts());
    if (bs == nullptr) break;
    bs->SetStartEnd(breaks.Get(k), breaks.Get(k + 1));
    cc->Append(&bs);
    delete bs;  // null once the composite took it; released if the append failed
  }
  return cc;
}

void SampleChain(const G3_CV_COMPOSIT_BSPLINES& chain, int n, G3_POINTS* out) {
  out->Clear();
  const T_LIST<double>& b = chain.GetBreaks();
  if (b.GetNumber() < 2) return;
  int total = n * chain.GetNumberOfSegments();
  double lo = b.Get(0), hi = b.Get(b.GetNumber() - 1);
  for (int i = 0; i <= total; ++i) out->Append(chain.GetPosit(lo + (hi - lo) * i / total));
}

bool SaveCurveFile(const G3_CV& curve, const std::string& path, bool binary, std::string* error) {
  C_FILE_DISK f;
  if (!f.Open(path.c_str(), "w", binary ? C_FILE::BINARY : C_FILE::TEXT)) {
    *error = path + ":0: cannot write file";
    C_ERROR::ClearPending();
    return false;
  }
  curve.SaveEnc(&f);
  f.Close();
  if (Pending(error)) {
    *error = path + ":0: " + *error;
    return false;
  }
  return true;
}

namespace {

// Text record files begin with a frame line "<TAG"; binary ones with the
// open marker followed by the raw length of the tag.
int DetectCurveFileType(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return 0;
  unsigned char head[2] = {0, 0};
  size_t n = std::fread(head, 1, 2, f);
  std::fclose(f);
  if (n < 2 || head[0] != '<') return -1;
  return std::isalpha(head[1]) ? C_FILE::TEXT : C_FILE::BINARY;
}

}  // namespace

bool LoadCurveFile(const std::string& path, std::vector<G3_CV*>* curves, std::string* error) {
  int type = DetectCurveFileType(path);
  if (type == 0) {
    *error = path + ":0: cannot open file";
    return false;
  }
  if (type < 0) {
    *error = path + ":1: not an encoded curve record file";
    return false;
  }
  C_FILE_DISK f;
  if (!f.Open(path.c_str(), "r", type)) {
    *error = path + ":0: cannot open file: " + TakeLibraryError();
    return false;
  }
  while (!f.AtEnd()) {
    G3_CV* c = G3_CV::LoadEnc(kCurveFileVersion, &f);
    if (C_ERROR::Is() || c == nullptr) {
      delete c;
      std::string what = C_ERROR::Is() ? TakeLibraryError() : "unreadable curve record";
      *error = path + ":" + std::to_string(curves->size() + 1) + ": record " +
               std::to_string(curves->size() + 1) + " is not a valid curve record (" + what + ")";
      for (G3_CV* k : *curves) delete k;
      curves->clear();
      return false;
    }
    curves->push_back(c);
  }
  return true;
}

Json CurveTree(const G3_CV& c) {
  Json j;
  j["class"] = c.GetClassName().GetUtf8();
  j["span"] = Json::array({c.GetStart(), c.GetEnd()});
  if (c.IsPolygon()) {
    j["points"] = static_cast<const G3_CV_POLYGON&>(c).GetNumber();
  } else if (c.GetClass() == G3_CV_BSPLINE::CLASS) {
    const G3_CV_BSPLINE& b = static_cast<const G3_CV_BSPLINE&>(c);
    j["degree"] = b.GetDegree();
    j["control_points"] = b.GetCPts().GetNumber();
    j["knots"] = b.GetBs().GetNumberOfKnots();
    j["rational"] = b.GetCWts().GetNumber() > 0;
  } else if (c.GetClass() == G3_CV_COMPOSIT::CLASS) {
    const G3_CV_COMPOSIT& cc = static_cast<const G3_CV_COMPOSIT&>(c);
    Json kids = Json::array();
    for (int i = 0; i < cc.GetNumber(); ++i) kids.push_back(CurveTree(*cc.Get(i)));
    j["closed"] = bool(cc.IsClosed());
    j["children"] = kids;
  }
  return j;
}
