#ifndef G3GEOM_RUNTIME_C_ERROR_H
#define G3GEOM_RUNTIME_C_ERROR_H

#include <cstddef>
#include <new>
#include <utility>

#include "runtime/c_bool.h"
#include "runtime/g_export.h"

// An error of the library. The catalogue's errors are constants built from
// their message texts; raising one makes it the pending error of the calling
// thread (the latest raised wins) until it is cleared or reported.
class G_API C_ERROR {
 public:
  // Constant-initialised, so that the constants are usable from the static
  // initialisers of other files.
  constexpr explicit C_ERROR(const char* text) : text_(text) {}
  C_ERROR(const C_ERROR&) = delete;
  C_ERROR& operator=(const C_ERROR&) = delete;

  void Trigger() const;
  // The detail pointer of the catalogue's calls is always null.
  void Trigger(std::nullptr_t) const { Trigger(); }
  // A mild error is an expected absence of result ("no intersection").
  void TriggerMild() const;
  void TriggerMild(const char* /*detail*/) const { TriggerMild(); }
  // An error given by its text alone (the text is copied): C_ERROR::Trigger("T#Err#...").
  // GetPending then gives a per-thread C_ERROR holding the copy; a detail,
  // when given, is appended after ": ".
  static void Trigger(const char* text, const char* detail = nullptr);
  static void TriggerDbg(const char* text, const char* detail = nullptr);

  // Whether an error is pending on the calling thread, mild ones included.
  static C_BOOL Is();
  static void ClearPending();
  // Hands the pending error's text to the report handler and clears it.
  static void ReportPending(const char* detail = nullptr);

  // The pending error, null when none; for a constant, that very constant.
  static const C_ERROR* GetPending();
  const char* GetText() const { return text_; }
  // True when this error is the pending one and was raised mild.
  C_BOOL IsMild() const;
  // Where ReportPending hands the text (UTF-8). Default: one line on stderr;
  // null restores the default.
  static void SetReportHandler(void (*handler)(const char*));

 private:
  const char* text_;
};

G_API extern const C_ERROR CerrStringNotReal;
G_API extern const C_ERROR CerrInternalError;
G_API extern const C_ERROR CerrInvalidValue;
G_API extern const C_ERROR CerrOutOfMemory;
// Stream failures: reading past the end, a failed write, a file that cannot
// be opened.
G_API extern const C_ERROR CerrEndOfFile;
G_API extern const C_ERROR CerrWriteFailed;
G_API extern const C_ERROR CerrCannotOpenFile;

// Non-throwing allocation: a failed allocation leaves CerrOutOfMemory pending
// and gives null, so callers test C_ERROR::Is() right after allocating.
template <class T, class... A>
T* Cnew(A&&... args) {
  T* p = new (std::nothrow) T(std::forward<A>(args)...);
  if (p == nullptr) CerrOutOfMemory.Trigger();
  return p;
}

template <class T>
T* CnewArray(long n) {
  T* p = new (std::nothrow) T[n > 0 ? n : 1];
  if (p == nullptr) CerrOutOfMemory.Trigger();
  return p;
}

#endif
