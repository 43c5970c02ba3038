#ifndef G3GEOM_RUNTIME_T_PERSIST_H
#define G3GEOM_RUNTIME_T_PERSIST_H

#include <cstdint>

#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

// Scalar persistence. On a text stream each value is one line; on a binary
// stream its raw bytes. Doubles round-trip exactly in both forms. Failures
// (end of stream, malformed line) are left pending; the value is then unchanged.
G_API void Tload(int version, C_FILE* file, int* value);
G_API void Tload(int version, C_FILE* file, double* value);
G_API void Tload(int version, C_FILE* file, C_BOOL* value);
G_API void Tload(int version, C_FILE* file, int64_t* value);
G_API void Tsave(int value, C_FILE* file, int flag = 0);
G_API void Tsave(double value, C_FILE* file, int flag = 0);
G_API void Tsave(C_BOOL value, C_FILE* file, int flag = 0);
G_API void Tsave(int64_t value, C_FILE* file, int flag = 0);

// Framed records. TsaveStart writes the opening of a record named name and
// gives back its position; TsaveTerm writes its end. TloadStart reads the
// opening, giving the name and the position; TloadTerm reads the end,
// passing over whatever of the body was not read (nested records included).
// A truncated or corrupted frame leaves TerrCorruptedRecord pending.
//
// Binary form: the open marker's bytes, the name (int32 byte count and UTF-8
// bytes), an int64 count of the bytes that follow up to the end of the close
// marker, the body, the close marker's bytes. TsaveStart gives the position of
// the count, which TsaveTerm patches; TloadStart gives the position of the
// record's end, from which TloadTerm finds the close marker.
// Text form: a line made of the open marker and the name, the body's lines, a
// line holding the close marker alone. No other record begins with "<" or ">",
// so TloadTerm passes over unread lines, counting nested opens, until the
// matching close.
G_API void TsaveStart(const char* open, const C_STRING& name, C_FILE* file, int64_t* position,
                      int flag = 0);
G_API void TsaveTerm(const char* close, int64_t position, C_FILE* file, int flag = 0);
G_API void TloadStart(int version, C_FILE* file, const char* open, C_STRING* name,
                      int64_t* position);
G_API void TloadTerm(int version, C_FILE* file, const char* open, const char* close,
                     int64_t position);

G_API extern const C_ERROR TerrCorruptedRecord;

#endif
