#include "svg.h"

#include <algorithm>
#include <cstdio>

void SvgPicture::Points(const std::vector<P2>& pts, const std::string& colour, double radius) {
  items_.push_back({Item::POINTS, pts, colour, radius});
}

void SvgPicture::Polyline(const std::vector<P2>& pts, const std::string& colour, double width,
                          bool closed) {
  items_.push_back({closed ? Item::LOOP : Item::LINE, pts, colour, width});
}

void SvgPicture::Marks(const std::vector<P2>& pts, const std::string& colour, double size) {
  items_.push_back({Item::MARKS, pts, colour, size});
}

void SvgPicture::Caption(const std::string& text) { caption_ = text; }

bool SvgPicture::Write(const std::string& path) const {
  const double size = 800, margin = 30;
  double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
  for (const Item& it : items_)
    for (const P2& p : it.pts)
      for (int i = 0; i < 2; ++i) {
        lo[i] = std::min(lo[i], p[i]);
        hi[i] = std::max(hi[i], p[i]);
      }
  if (lo[0] > hi[0]) lo[0] = lo[1] = 0, hi[0] = hi[1] = 1;
  // The picture keeps the content's aspect: 800 wide at most, 800 high at most.
  double sx = std::max(hi[0] - lo[0], 1e-12), sy = std::max(hi[1] - lo[1], 1e-12);
  double k = std::min((size - 2 * margin) / sx, (size - 2 * margin) / sy);
  double width = sx * k + 2 * margin, height = sy * k + 2 * margin + 20;
  auto X = [&](const P2& p) { return margin + (p[0] - lo[0]) * k; };
  auto Y = [&](const P2& p) { return height - margin - (p[1] - lo[1]) * k; };

  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f,
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" "
               "viewBox=\"0 0 %g %g\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
               width, height, width, height);
  for (const Item& it : items_) {
    if (it.kind == Item::POINTS) {
      std::fprintf(f, "<g fill=\"%s\">\n", it.colour.c_str());
      for (const P2& p : it.pts) std::fprintf(f, "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%g\"/>\n", X(p), Y(p), it.size);
      std::fprintf(f, "</g>\n");
    } else if (it.kind == Item::MARKS) {
      std::fprintf(f, "<g stroke=\"%s\" stroke-width=\"2\" fill=\"none\">\n", it.colour.c_str());
      for (const P2& p : it.pts)
        std::fprintf(f, "<rect x=\"%.2f\" y=\"%.2f\" width=\"%g\" height=\"%g\"/>\n",
                     X(p) - it.size / 2, Y(p) - it.size / 2, it.size, it.size);
      std::fprintf(f, "</g>\n");
    } else {
      std::fprintf(f, "<%s fill=\"none\" stroke=\"%s\" stroke-width=\"%g\" points=\"",
                   it.kind == Item::LOOP ? "polygon" : "polyline", it.colour.c_str(), it.size);
      for (const P2& p : it.pts) std::fprintf(f, "%.2f,%.2f ", X(p), Y(p));
      std::fprintf(f, "\"/>\n");
    }
  }
  if (!caption_.empty())
    std::fprintf(f, "<text x=\"%g\" y=\"20\" font-family=\"sans-serif\" font-size=\"14\">%s</text>\n",
                 margin, caption_.c_str());
  std::fprintf(f, "</svg>\n");
  return std::fclose(f) == 0;
}
