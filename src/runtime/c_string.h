#ifndef G3GEOM_RUNTIME_C_STRING_H
#define G3GEOM_RUNTIME_C_STRING_H

#include <cstdint>
#include <string>

#include "runtime/c_bool.h"
#include "runtime/g_export.h"

// One wide character.
class G_API C_CHAR {
 public:
  C_CHAR() = default;
  C_CHAR(wchar_t c) : c_(c) {}  // NOLINT: implicit by design
  C_BOOL operator==(char c) const { return c_ == wchar_t(static_cast<unsigned char>(c)); }
  C_BOOL operator!=(char c) const { return !(*this == c); }
  C_BOOL operator==(const C_CHAR& c) const { return c_ == c.c_; }
  C_BOOL operator!=(const C_CHAR& c) const { return c_ != c.c_; }
  operator int() const { return int(c_); }  // NOLINT: implicit by design

 private:
  wchar_t c_ = 0;
};

// A string of wide characters. Built from UTF-8 text.
class G_API C_STRING {
 public:
  C_STRING() = default;
  C_STRING(const char* utf8);          // NOLINT: implicit by design
  C_STRING(const std::string& utf8);   // NOLINT: implicit by design
  C_STRING(const wchar_t* wide);       // NOLINT: implicit by design

  C_BOOL operator==(const C_STRING& s) const { return s_ == s.s_; }
  C_BOOL operator!=(const C_STRING& s) const { return s_ != s.s_; }
  C_BOOL operator>(const C_STRING& s) const { return s_ > s.s_; }
  C_BOOL operator<(const C_STRING& s) const { return s_ < s.s_; }

  // Character at 0-based index i; the null character outside the string.
  C_CHAR Get(int i) const;
  int GetNumber() const { return int(s_.size()); }
  C_BOOL IsVoid() const { return s_.empty(); }
  C_BOOL StartsWith(const C_STRING& s) const;

  // Read the number that begins exactly at index start (optional sign, digits,
  // fraction and exponent for a real; no leading blanks), return it and set
  // *next to the index of the first character after it. An exponent letter
  // not followed by digits is not part of the number. ScanReal also reads the
  // forms printf writes for values that are not finite ("inf", "-inf", "nan",
  // "-nan", in any case). Where no number stands, CerrStringNotReal is left
  // pending, 0 is returned and *next is start; an integer beyond its type's
  // range does the same with CerrInvalidValue. Nothing past the end is read.
  double ScanReal(int start, int* next) const;
  int ScanInt(int start, int* next) const;
  int64_t ScanLong(int start, int* next) const;

  std::string GetUtf8() const;
  const std::wstring& GetWide() const { return s_; }

 private:
  std::wstring s_;
};

// A text written first compares as well: "G3_CV_LINE" == curve.GetClass().
inline C_BOOL operator==(const char* a, const C_STRING& b) { return b == C_STRING(a); }
inline C_BOOL operator!=(const char* a, const C_STRING& b) { return b != C_STRING(a); }

#endif
