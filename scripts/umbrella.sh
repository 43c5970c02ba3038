#!/usr/bin/env bash
# Regenerates src/g3geom.h, the umbrella header that includes every public header.
set -euo pipefail
cd "$(dirname "$0")/../src"
{
  echo "#ifndef G3GEOM_G3GEOM_H"
  echo "#define G3GEOM_G3GEOM_H"
  echo
  echo "// Everything the library offers: #include <g3geom/g3geom.h>"
  for layer in runtime frame measures containers algebra volumes tokens curves indexes; do
    for h in $(ls $layer/*.h 2>/dev/null | sort); do echo "#include \"$h\""; done
  done
  echo
  echo "#endif"
} > g3geom.h
