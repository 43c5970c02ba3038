#ifndef G3TOOL_ANALYSIS_H
#define G3TOOL_ANALYSIS_H

#include <string>
#include <vector>

#include <g3geom/g3geom.h>

#include "svg.h"
#include "tool_common.h"

// The computations behind the commands, shared with the demo. Each returns
// false with *error set when the library reports a failure.

Json PointJson(const G3_POINT& p);

// Oriented box of the points, compared with their axis-aligned box.
bool AnalyseObb(const G3_POINTS& pts, G3_OBBOX* obb, Json* report, std::string* error);

// Points and the box outline projected on the box's main plane (Vx, Vy).
void DrawObb(const G3_POINTS& pts, const G3_OBBOX& obb, SvgPicture* svg);

// A kd-tree over the points; point i gets id i (coincident points all kept).
bool BuildKdTree(const G3_POINTS& pts, G3_KDTREE* tree, std::string* error);

struct Neighbour {
  int id;
  double distance;
};
// k nearest by the kd-tree: to a point (Chebyshev distance), to a line
// (distance to the line), or by Euclidean distance (incremental search).
bool NearestToPoint(const G3_KDTREE& tree, const G3_POINTS& pts, const G3_POINT& q, int k,
                    std::vector<Neighbour>* out, std::string* error);
bool NearestToAxis(const G3_KDTREE& tree, const G3_POINTS& pts, const G3_AXIS& axis, int k,
                   std::vector<Neighbour>* out, std::string* error);
bool NearestEuclidean(const G3_KDTREE& tree, const G3_POINTS& pts, const G3_POINT& q, int k,
                      std::vector<Neighbour>* out, std::string* error);
// The same answers by brute force, for cross-checks.
std::vector<double> BruteDistances(const G3_POINTS& pts, int k, double (*dist)(const G3_POINT&, const void*),
                                   const void* query);
double ChebyshevTo(const G3_POINT& p, const void* q);
double EuclideanTo(const G3_POINT& p, const void* q);
double LineDistanceTo(const G3_POINT& p, const void* axis);

// Ids of the points in the box, ascending.
bool PointsInBox(const G3_KDTREE& tree, const G3_BOX& box, std::vector<int>* ids,
                 std::string* error);

// Ids (ascending) of the boxes meeting the query, from an R-tree and from
// hierarchical boxes built over the same boxes; plan: x and y only.
bool QueryBoxes(const std::vector<G3_BOX>& boxes, const G3_BOX& query, bool plan,
                std::vector<int>* rtreeIds, std::vector<int>* hboxIds, std::string* error);

// Composite B-spline interpolation through the points in order.
bool Interpolate(const G3_POINTS& pts, double angle, double step, int minPoints,
                 G3_CV_COMPOSIT_BSPLINES* chain, std::string* error);
// The chain as a composite curve of B-spline curves (the caller owns it).
G3_CV_COMPOSIT* ToCompositCurve(const G3_CV_COMPOSIT_BSPLINES& chain);
// Samples of the chain, n per segment.
void SampleChain(const G3_CV_COMPOSIT_BSPLINES& chain, int n, G3_POINTS* out);

// Encoded curve records: save one curve; load every record of a file.
bool SaveCurveFile(const G3_CV& curve, const std::string& path, bool binary, std::string* error);
bool LoadCurveFile(const std::string& path, std::vector<G3_CV*>* curves, std::string* error);
Json CurveTree(const G3_CV& curve);

// The file version that curve records are written and read with.
constexpr int kCurveFileVersion = 608101;

#endif
