#ifndef G3GEOM_ALGEBRA_G_COORD_RECORD_H
#define G3GEOM_ALGEBRA_G_COORD_RECORD_H

#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

// The one record shape of the points and vectors of the plane and of space:
// on a text stream one line made by format (a record letter, then the n
// numbers separated by single blanks); on a binary stream the n raw doubles.
// Other stream types write and read nothing.
G_API void GsaveCoords(C_FILE* file, const C_STRING& format, const double* c, int n);

// Reads n coordinates (n = 2 or 3) into c. Text: the line must begin with
// letter (else wrong is raised, or the text wrongText when wrong is null) and
// the numbers are read with exactly one separator character between them.
// True only when the whole record was read; the caller's value then changes.
G_API C_BOOL GloadCoords(C_FILE* file, char letter, const C_ERROR* wrong,
                         const char* wrongText, double* c, int n);

#endif
