// g3tool: the g3geom library on your own geometry files.
//   exit status 0 success, 1 failure (a message "FILE:LINE: what" on stderr),
//   2 usage error.
#include <cstdio>
#include <string>

#include <CLI/CLI.hpp>
#include <g3geom/g3geom.h>

#include "commands.h"

namespace {

void AddCommon(CLI::App* cmd, ToolOptions* opt) {
  cmd->add_flag("--json", opt->json, "print the report as JSON");
  cmd->add_flag("--verbose,-v", opt->verbose, "print the time of each phase on stderr");
}

}  // namespace

int main(int argc, char** argv) {
  Gopen();
  CLI::App app{"g3tool: oriented boxes, nearest points, box indexes and B-spline "
               "interpolation with the g3geom library"};
  app.require_subcommand(1);
  ToolOptions opt;

  DemoArgs demo;
  CLI::App* cDemo = app.add_subcommand("demo", "run every subsystem on built-in samples and write demo.svg");
  cDemo->add_option("--out", demo.out, "folder for demo.svg and the saved curve")->capture_default_str();
  AddCommon(cDemo, &opt);

  ObbArgs obb;
  CLI::App* cObb = app.add_subcommand("obb", "oriented bounding box of the points of FILE");
  cObb->add_option("FILE", obb.file, "point file (.xyz, .obj, .off, .ply)")->required();
  cObb->add_option("--svg", obb.svg, "write the points and the box, projected on its main plane");
  AddCommon(cObb, &opt);

  KnnArgs knn;
  CLI::App* cKnn = app.add_subcommand("knn", "nearest points of FILE to a point or a line");
  cKnn->add_option("FILE", knn.file, "point file")->required();
  CLI::Option* oPoint = cKnn->add_option("--point", knn.point, "query point X,Y,Z");
  CLI::Option* oAxis = cKnn->add_option("--axis", knn.axis, "query line PX,PY,PZ,DX,DY,DZ");
  oPoint->excludes(oAxis);
  cKnn->add_option("-k", knn.k, "number of points")->check(CLI::Range(1, 1000000))->capture_default_str();
  cKnn->add_flag("--euclidean", knn.euclidean, "Euclidean distance (incremental search) instead of Chebyshev")
      ->excludes(oAxis);
  AddCommon(cKnn, &opt);

  RangeArgs range;
  CLI::App* cRange = app.add_subcommand("range", "points of FILE inside a box");
  cRange->add_option("FILE", range.file, "point file")->required();
  cRange->add_option("--box", range.box, "XMIN,XMAX,YMIN,YMAX,ZMIN,ZMAX")->required();
  AddCommon(cRange, &opt);

  BoxesArgs boxes;
  CLI::App* cBoxes = app.add_subcommand("boxes", "triangles of MESH whose boxes meet a query box");
  cBoxes->add_option("MESH", boxes.file, "mesh file (.obj, .off, .ply)")->required();
  cBoxes->add_option("--query", boxes.query, "XMIN,XMAX,YMIN,YMAX,ZMIN,ZMAX")->required();
  cBoxes->add_flag("--plan", boxes.plan, "compare x and y ranges only");
  AddCommon(cBoxes, &opt);

  InterpolateArgs ip;
  CLI::App* cIp = app.add_subcommand("interpolate", "composite cubic B-spline through the points of FILE");
  cIp->add_option("FILE", ip.file, "point file, points in order")->required();
  cIp->add_option("--angle", ip.angle, "break angle in degrees: a corner at most this angle cuts")->capture_default_str();
  cIp->add_option("--step", ip.step, "parameter step between points")->capture_default_str();
  cIp->add_option("--min-points", ip.minPoints, "fewest points of a segment")->capture_default_str();
  cIp->add_option("--svg", ip.svg, "write the points, the curve and its breaks (x, y)");
  cIp->add_option("--save", ip.save, "write the curve as an encoded composite curve record");
  cIp->add_flag("--binary", ip.binary, "save in binary form instead of text");
  AddCommon(cIp, &opt);

  InspectArgs inspect;
  CLI::App* cInspect = app.add_subcommand("inspect", "print the class tree of encoded curve records");
  cInspect->add_option("CURVEFILE", inspect.file, "curve record file (text or binary)")->required();
  AddCommon(cInspect, &opt);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }

  int status = 2;
  if (cDemo->parsed()) status = RunDemo(demo, opt);
  else if (cObb->parsed()) status = RunObb(obb, opt);
  else if (cKnn->parsed()) {
    if (knn.point.empty() && knn.axis.empty()) {
      std::fprintf(stderr, "knn: one of --point or --axis is required\n");
      return 2;
    }
    status = RunKnn(knn, opt);
  } else if (cRange->parsed()) status = RunRange(range, opt);
  else if (cBoxes->parsed()) status = RunBoxes(boxes, opt);
  else if (cIp->parsed()) status = RunInterpolate(ip, opt);
  else if (cInspect->parsed()) status = RunInspect(inspect, opt);
  Gclose();
  return status;
}
