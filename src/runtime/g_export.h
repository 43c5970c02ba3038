#ifndef G3GEOM_RUNTIME_G_EXPORT_H
#define G3GEOM_RUNTIME_G_EXPORT_H

// Export macro of the shared library: the library is built with hidden
// visibility, and only what carries G_API is seen by host programs.
#if defined(G3GEOM_BUILDING)
#define G_API __attribute__((visibility("default")))
#else
#define G_API
#endif

#endif
