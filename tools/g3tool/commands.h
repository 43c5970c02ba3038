#ifndef G3TOOL_COMMANDS_H
#define G3TOOL_COMMANDS_H

#include <string>

#include "tool_common.h"

// Each command returns the process exit status: 0 success, 1 failure.

struct ObbArgs {
  std::string file, svg;
};
int RunObb(const ObbArgs& a, const ToolOptions& opt);

struct KnnArgs {
  std::string file, point, axis;
  int k = 1;
  bool euclidean = false;
};
int RunKnn(const KnnArgs& a, const ToolOptions& opt);

struct RangeArgs {
  std::string file, box;
};
int RunRange(const RangeArgs& a, const ToolOptions& opt);

struct BoxesArgs {
  std::string file, query;
  bool plan = false;
};
int RunBoxes(const BoxesArgs& a, const ToolOptions& opt);

struct InterpolateArgs {
  std::string file, svg, save;
  double angle = 120, step = 1;
  int minPoints = 2;
  bool binary = false;
};
int RunInterpolate(const InterpolateArgs& a, const ToolOptions& opt);

struct InspectArgs {
  std::string file;
};
int RunInspect(const InspectArgs& a, const ToolOptions& opt);

struct DemoArgs {
  std::string out = ".";
};
int RunDemo(const DemoArgs& a, const ToolOptions& opt);

#endif
