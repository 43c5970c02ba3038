#ifndef G3TOOL_TOOL_COMMON_H
#define G3TOOL_TOOL_COMMON_H

#include <chrono>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "geometry_file.h"

// Reports keep their keys in the order they were written.
using Json = nlohmann::ordered_json;

class G3_POINTS;

// Options every command shares.
struct ToolOptions {
  bool json = false;
  bool verbose = false;
};

// Times one phase of a command; with --verbose the time goes to stderr.
class PhaseTimer {
 public:
  PhaseTimer(const ToolOptions& opt, const char* name);
  ~PhaseTimer();
  PhaseTimer(const PhaseTimer&) = delete;
  PhaseTimer& operator=(const PhaseTimer&) = delete;

 private:
  bool verbose_;
  const char* name_;
  std::chrono::steady_clock::time_point start_;
};

// Prints "message" on stderr and gives the failure status 1.
int Fail(const std::string& message);

// The pending library error's text, or "unknown error"; the error is cleared.
std::string TakeLibraryError();

// Parses exactly count comma-separated finite numbers.
bool ParseNumbers(const std::string& text, size_t count, std::vector<double>* out,
                  std::string* error);

// Reads a geometry file; on failure prints the message and returns false.
bool LoadMesh(const std::string& path, const ToolOptions& opt, Mesh* mesh);

// The mesh's points as a library point list.
void ToPoints(const Mesh& mesh, G3_POINTS* pts);

// Prints a command's report: as JSON with --json, else as indented
// "key: value" lines.
void PrintReport(const Json& doc, const ToolOptions& opt);

// A point or vector as a JSON array of three numbers.
Json Xyz(double x, double y, double z);

#endif
