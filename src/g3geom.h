#ifndef G3GEOM_G3GEOM_H
#define G3GEOM_G3GEOM_H

// Everything the library offers: #include <g3geom/g3geom.h>
#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/c_math.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"
#include "runtime/t_solve.h"

#endif
