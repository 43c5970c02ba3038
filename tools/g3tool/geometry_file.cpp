#include "geometry_file.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Reads a file line by line and formats "FILE:LINE: message" errors.
class LineReader {
 public:
  explicit LineReader(const std::string& path) : path_(path), in_(path) {}
  bool IsOpen() const { return bool(in_); }
  bool Next(std::string* line) {
    if (!std::getline(in_, *line)) return false;
    ++number_;
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return true;
  }
  bool Fail(const std::string& what, std::string* error) const {
    *error = path_ + ":" + std::to_string(number_) + ": " + what;
    return false;
  }
  bool FailFile(const std::string& what, std::string* error) const {
    *error = path_ + ":0: " + what;
    return false;
  }

 private:
  std::string path_;
  std::ifstream in_;
  int number_ = 0;
};

std::string StripComment(const std::string& line) {
  size_t hash = line.find('#');
  return hash == std::string::npos ? line : line.substr(0, hash);
}

std::vector<std::string> Split(const std::string& line) {
  std::istringstream s(line);
  std::vector<std::string> words;
  std::string w;
  while (s >> w) words.push_back(w);
  return words;
}

// A whole word read as a finite number.
bool ParseReal(const std::string& word, double* v, std::string* what) {
  errno = 0;
  char* end = nullptr;
  *v = std::strtod(word.c_str(), &end);
  if (end == word.c_str() || *end != '\0') {
    *what = "'" + word + "' is not a number";
    return false;
  }
  if (!std::isfinite(*v)) {
    *what = "coordinate '" + word + "' is not finite";
    return false;
  }
  return true;
}

bool ParseInt(const std::string& word, long* v) {
  errno = 0;
  char* end = nullptr;
  *v = std::strtol(word.c_str(), &end, 10);
  return end != word.c_str() && *end == '\0' && errno == 0;
}

bool ParsePoint(const std::vector<std::string>& w, size_t first, std::array<double, 3>* p,
                std::string* what) {
  for (int i = 0; i < 3; ++i)
    if (!ParseReal(w[first + i], &(*p)[i], what)) return false;
  return true;
}

// Splits a polygon given by 0-based indices into a triangle fan.
// base is the number of the first vertex in the file's own counting (1 for .obj).
bool AddPolygon(const std::vector<long>& idx, size_t npoints, long base, Mesh* mesh,
                std::string* what) {
  if (idx.size() < 3) {
    *what = "face with fewer than 3 vertices";
    return false;
  }
  for (long i : idx) {
    if (i < 0 || size_t(i) >= npoints) {
      *what = "face vertex index " + std::to_string(i + base) + " out of range (" +
              std::to_string(base) + ".." + std::to_string(long(npoints) - 1 + base) + ")";
      return false;
    }
  }
  for (size_t k = 1; k + 1 < idx.size(); ++k)
    mesh->triangles.push_back({int(idx[0]), int(idx[k]), int(idx[k + 1])});
  return true;
}

bool ReadXyz(LineReader& r, Mesh* mesh, std::string* error) {
  std::string line, what;
  while (r.Next(&line)) {
    std::vector<std::string> w = Split(StripComment(line));
    if (w.empty()) continue;
    if (w.size() != 3) return r.Fail("expected three numbers, found " + std::to_string(w.size()) + " fields", error);
    std::array<double, 3> p;
    if (!ParsePoint(w, 0, &p, &what)) return r.Fail(what, error);
    mesh->points.push_back(p);
  }
  return true;
}

bool ReadObj(LineReader& r, Mesh* mesh, std::string* error) {
  std::string line, what;
  std::vector<std::vector<long>> faces;
  std::vector<int> faceLines;
  while (r.Next(&line)) {
    std::vector<std::string> w = Split(StripComment(line));
    if (w.empty()) continue;
    if (w[0] == "v") {
      if (w.size() < 4 || w.size() > 5) return r.Fail("a vertex needs 3 coordinates", error);
      std::array<double, 3> p;
      if (!ParsePoint(w, 1, &p, &what)) return r.Fail(what, error);
      mesh->points.push_back(p);
    } else if (w[0] == "f") {
      std::vector<long> idx;
      for (size_t i = 1; i < w.size(); ++i) {
        long v = 0;
        if (!ParseInt(w[i].substr(0, w[i].find('/')), &v) || v == 0)
          return r.Fail("bad face vertex '" + w[i] + "'", error);
        // Negative indices count back from the last vertex read so far.
        idx.push_back(v > 0 ? v - 1 : long(mesh->points.size()) + v);
      }
      if (!AddPolygon(idx, mesh->points.size(), 1, mesh, &what)) return r.Fail(what, error);
    }
  }
  return true;
}

// Next line that is not blank once comments are removed.
bool NextWords(LineReader& r, std::vector<std::string>* w) {
  std::string line;
  while (r.Next(&line)) {
    *w = Split(StripComment(line));
    if (!w->empty()) return true;
  }
  return false;
}

bool ReadOff(LineReader& r, Mesh* mesh, std::string* error) {
  std::vector<std::string> w;
  std::string what;
  if (!NextWords(r, &w) || w[0] != "OFF") return r.Fail("missing OFF header", error);
  if (w.size() == 1 && !NextWords(r, &w)) return r.Fail("missing vertex and face counts", error);
  if (w.size() > 1 && w[0] == "OFF") w.erase(w.begin());
  long nv = 0, nf = 0;
  if (w.size() < 2 || !ParseInt(w[0], &nv) || !ParseInt(w[1], &nf) || nv < 0 || nf < 0)
    return r.Fail("bad vertex and face counts", error);
  for (long i = 0; i < nv; ++i) {
    if (!NextWords(r, &w)) return r.Fail("file ends after " + std::to_string(i) + " of " + std::to_string(nv) + " vertices", error);
    if (w.size() < 3) return r.Fail("a vertex needs 3 coordinates", error);
    std::array<double, 3> p;
    if (!ParsePoint(w, 0, &p, &what)) return r.Fail(what, error);
    mesh->points.push_back(p);
  }
  for (long i = 0; i < nf; ++i) {
    if (!NextWords(r, &w)) return r.Fail("file ends after " + std::to_string(i) + " of " + std::to_string(nf) + " faces", error);
    long n = 0;
    if (!ParseInt(w[0], &n) || n < 0 || size_t(n) + 1 > w.size()) return r.Fail("bad face record", error);
    std::vector<long> idx;
    for (long k = 1; k <= n; ++k) {
      long v = 0;
      if (!ParseInt(w[k], &v)) return r.Fail("bad face vertex '" + w[k] + "'", error);
      idx.push_back(v);
    }
    if (!AddPolygon(idx, mesh->points.size(), 0, mesh, &what)) return r.Fail(what, error);
  }
  return true;
}

bool ReadPly(LineReader& r, Mesh* mesh, std::string* error) {
  std::string line, what;
  if (!r.Next(&line) || line != "ply") return r.Fail("missing ply header", error);
  long nv = -1, nf = 0;
  std::string element;
  int xyz[3] = {-1, -1, -1};
  int nprops = 0;
  bool ascii = false;
  for (;;) {
    if (!r.Next(&line)) return r.Fail("header has no end_header", error);
    std::vector<std::string> w = Split(line);
    if (w.empty() || w[0] == "comment" || w[0] == "obj_info") continue;
    if (w[0] == "end_header") break;
    if (w[0] == "format") {
      if (w.size() < 2 || w[1] != "ascii") return r.Fail("only ASCII PLY files are read", error);
      ascii = true;
    } else if (w[0] == "element" && w.size() == 3) {
      element = w[1];
      long n = 0;
      if (!ParseInt(w[2], &n) || n < 0) return r.Fail("bad element count", error);
      if (element == "vertex") nv = n;
      if (element == "face") nf = n;
    } else if (w[0] == "property" && element == "vertex") {
      const std::string& name = w.back();
      if (name == "x") xyz[0] = nprops;
      if (name == "y") xyz[1] = nprops;
      if (name == "z") xyz[2] = nprops;
      ++nprops;
    }
  }
  if (!ascii) return r.Fail("missing format line", error);
  if (nv < 0 || xyz[0] < 0 || xyz[1] < 0 || xyz[2] < 0)
    return r.Fail("header declares no vertex x, y, z", error);
  for (long i = 0; i < nv; ++i) {
    if (!r.Next(&line)) return r.Fail("file ends after " + std::to_string(i) + " of " + std::to_string(nv) + " vertices", error);
    std::vector<std::string> w = Split(line);
    if (long(w.size()) < nprops) return r.Fail("vertex has fewer values than properties", error);
    std::array<double, 3> p;
    for (int c = 0; c < 3; ++c)
      if (!ParseReal(w[xyz[c]], &p[c], &what)) return r.Fail(what, error);
    mesh->points.push_back(p);
  }
  for (long i = 0; i < nf; ++i) {
    if (!r.Next(&line)) return r.Fail("file ends after " + std::to_string(i) + " of " + std::to_string(nf) + " faces", error);
    std::vector<std::string> w = Split(line);
    long n = 0;
    if (w.empty() || !ParseInt(w[0], &n) || n < 0 || size_t(n) + 1 > w.size()) return r.Fail("bad face record", error);
    std::vector<long> idx;
    for (long k = 1; k <= n; ++k) {
      long v = 0;
      if (!ParseInt(w[k], &v)) return r.Fail("bad face vertex '" + w[k] + "'", error);
      idx.push_back(v);
    }
    if (!AddPolygon(idx, mesh->points.size(), 0, mesh, &what)) return r.Fail(what, error);
  }
  return true;
}

std::string Extension(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

bool ReadGeometryFile(const std::string& path, Mesh* mesh, std::string* error) {
  *mesh = Mesh();
  LineReader r(path);
  if (!r.IsOpen()) return r.FailFile("cannot open file", error);
  std::string ext = Extension(path);
  bool ok;
  if (ext == "xyz" || ext == "txt") ok = ReadXyz(r, mesh, error);
  else if (ext == "obj") ok = ReadObj(r, mesh, error);
  else if (ext == "off") ok = ReadOff(r, mesh, error);
  else if (ext == "ply") ok = ReadPly(r, mesh, error);
  else return r.FailFile("unknown file type (expected .xyz, .obj, .off or .ply)", error);
  if (!ok) return false;
  if (mesh->points.empty()) return r.FailFile("no points in file", error);
  return true;
}
