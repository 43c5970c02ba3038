#ifndef G3TOOL_GEOMETRY_FILE_H
#define G3TOOL_GEOMETRY_FILE_H

#include <array>
#include <string>
#include <vector>

// Points and triangles read from a geometry file. Polygonal faces are split
// into triangle fans; indices are 0-based and checked against the points.
struct Mesh {
  std::vector<std::array<double, 3>> points;
  std::vector<std::array<int, 3>> triangles;
};

// Reads .xyz (three numbers a line, # comments), .obj (v and f lines), .off and
// ASCII .ply. On failure returns false with error set to "FILE:LINE: what is
// wrong" (LINE 0 when the file as a whole is at fault). Non-finite coordinates
// and empty point sets are failures.
bool ReadGeometryFile(const std::string& path, Mesh* mesh, std::string* error);

#endif
