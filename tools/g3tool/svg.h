#ifndef G3TOOL_SVG_H
#define G3TOOL_SVG_H

#include <array>
#include <string>
#include <vector>

// A picture in plane coordinates, written as SVG scaled to fit 800 x 800 with
// y pointing up.
class SvgPicture {
 public:
  using P2 = std::array<double, 2>;
  void Points(const std::vector<P2>& pts, const std::string& colour, double radius);
  void Polyline(const std::vector<P2>& pts, const std::string& colour, double width,
                bool closed);
  void Marks(const std::vector<P2>& pts, const std::string& colour, double size);
  void Caption(const std::string& text);
  // False when the file cannot be written.
  bool Write(const std::string& path) const;

 private:
  struct Item {
    enum Kind { POINTS, LINE, LOOP, MARKS } kind;
    std::vector<P2> pts;
    std::string colour;
    double size;
  };
  std::vector<Item> items_;
  std::string caption_;
};

#endif
