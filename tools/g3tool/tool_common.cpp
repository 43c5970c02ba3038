#include "tool_common.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <g3geom/g3geom.h>

PhaseTimer::PhaseTimer(const ToolOptions& opt, const char* name)
    : verbose_(opt.verbose), name_(name), start_(std::chrono::steady_clock::now()) {}

PhaseTimer::~PhaseTimer() {
  if (!verbose_) return;
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
                  .count();
  std::fprintf(stderr, "[time] %-28s %10.3f ms\n", name_, ms);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return 1;
}

std::string TakeLibraryError() {
  const C_ERROR* e = C_ERROR::GetPending();
  std::string text = e != nullptr ? e->GetText() : "unknown error";
  C_ERROR::ClearPending();
  return text;
}

bool ParseNumbers(const std::string& text, size_t count, std::vector<double>* out,
                  std::string* error) {
  out->clear();
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t comma = text.find(',', pos);
    std::string word = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    char* end = nullptr;
    double v = std::strtod(word.c_str(), &end);
    if (word.empty() || *end != '\0' || !std::isfinite(v)) {
      *error = "'" + word + "' is not a finite number";
      return false;
    }
    out->push_back(v);
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  if (out->size() != count) {
    *error = "expected " + std::to_string(count) + " comma-separated numbers, got " +
             std::to_string(out->size());
    return false;
  }
  return true;
}

bool LoadMesh(const std::string& path, const ToolOptions& opt, Mesh* mesh) {
  PhaseTimer t(opt, "read file");
  std::string error;
  if (!ReadGeometryFile(path, mesh, &error)) {
    Fail(error);
    return false;
  }
  return true;
}

void ToPoints(const Mesh& mesh, G3_POINTS* pts) {
  pts->Clear();
  pts->Grow(int(mesh.points.size()));
  for (const auto& p : mesh.points) pts->Append(G3_POINT(p[0], p[1], p[2]));
}

Json Xyz(double x, double y, double z) { return Json::array({x, y, z}); }

namespace {

bool IsShortNumberArray(const Json& j) {
  if (!j.is_array() || j.empty() || j.size() > 6) return false;
  for (const auto& v : j)
    if (!v.is_number()) return false;
  return true;
}

std::string Scalar(const Json& v) {
  if (v.is_string()) return v.get<std::string>();
  if (v.is_number_float()) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v.get<double>());
    return buf;
  }
  if (IsShortNumberArray(v)) {
    std::string s = "(";
    for (size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + Scalar(v[i]);
    return s + ")";
  }
  return v.dump();
}

void PrintText(const Json& j, int indent) {
  std::string pad(size_t(indent), ' ');
  for (auto it = j.begin(); it != j.end(); ++it) {
    const Json& v = it.value();
    if (v.is_object()) {
      std::cout << pad << it.key() << ":\n";
      PrintText(v, indent + 2);
    } else if (v.is_array() && !IsShortNumberArray(v) && !v.empty()) {
      std::cout << pad << it.key() << ":\n";
      for (const auto& e : v) {
        if (e.is_object()) {
          std::cout << pad << "  -\n";
          PrintText(e, indent + 4);
        } else {
          std::cout << pad << "  - " << Scalar(e) << "\n";
        }
      }
    } else {
      std::cout << pad << it.key() << ": " << Scalar(v) << "\n";
    }
  }
}

}  // namespace

void PrintReport(const Json& doc, const ToolOptions& opt) {
  if (opt.json)
    std::cout << doc.dump(2) << "\n";
  else
    PrintText(doc, 0);
}
