#ifndef G3GEOM_FRAME_G_ERRORS_H
#define G3GEOM_FRAME_G_ERRORS_H

#include "runtime/c_error.h"
#include "runtime/g_export.h"

// The library's error constants, shared with the host's modules. Each is built
// from its message text when the library is loaded and never changes; two
// constants with the same text are still two distinct errors. Most of them are
// not raised inside the library: they are the vocabulary the host's modules use.
#define G_ERR(name, text) G_API extern const C_ERROR name;
#include "frame/g_errors.def"
#undef G_ERR

// The catalogue in the order in which it is built, for hosts and tests that
// walk it. GerrGet gives null and leaves CerrInvalidValue pending when i is not
// in [0, GerrGetCount()).
G_API int GerrGetCount();
G_API const C_ERROR* GerrGet(int i);

#endif
