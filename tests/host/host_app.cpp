// A host program built against the installed library.
#include <g3geom/g3geom.h>

#include <cstdio>

int main() {
  C_STRING s("1.5e2 x");
  int next = 0;
  double v = s.ScanReal(0, &next);
  if (C_ERROR::Is() || v != 150.0 || next != 5) return 1;
  std::printf("host ok\n");
  return 0;
}
