#ifndef G3GEOM_FRAME_G_LIFECYCLE_H
#define G3GEOM_FRAME_G_LIFECYCLE_H

#include "runtime/g_export.h"

class G3_POINT;
class G3_FRAME;

// Start and stop of the library. Loading the library only builds its
// constants; the host then calls Gopen, uses the classes and calls Gclose.

// Registers the base curve class in the curve registry (through G3CVopen).
// May be called again.
G_API void Gopen();
// Nothing to release; a pending error stays pending.
G_API void Gclose();
// Registers the generator of the base curve class under its class name.
G_API void G3CVopen();

// Hooks of the host, null when the library is loaded; the host sets and
// clears them. The library never calls GeventCheckInterruption.
G_API extern void (*GDocCreatePtHandler)(const G3_POINT&);
G_API extern void (*GDocCreateFrHandler)(const G3_FRAME&);
G_API extern void (*GeventCheckInterruption)();

// Hands the object to the matching hook when one is set; does nothing
// otherwise. Offered to the host; the library never calls them itself.
G_API void GDocCreate(const G3_POINT& p);
G_API void GDocCreate(const G3_FRAME& f);

#endif
