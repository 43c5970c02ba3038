#include "runtime/c_string.h"

#include <clocale>
#include <cstdlib>
#include <limits>

#include "runtime/c_error.h"

#if defined(__GLIBC__) || defined(__APPLE__)
#include <locale.h>
#if defined(__APPLE__)
#include <xlocale.h>
#endif
#define G3GEOM_HAVE_STRTOD_L 1
#endif

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
    cp -= 0x10000;
    out.push_back(wchar_t(0xD800 + (cp >> 10)));
    out.push_back(wchar_t(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(wchar_t(cp));
  }
}

// Malformed sequences (stray continuation bytes, overlong forms, surrogates,
// truncated tails) become U+FFFD, one per offending byte.
std::wstring DecodeUtf8(const char* s, size_t n) {
  std::wstring out;
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(wchar_t(c));
      ++i;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((c & 0xE0) == 0xC0) {
      extra = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    if (i + size_t(extra) >= n) {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + size_t(k)]);
      if ((cc & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += size_t(extra) + 1;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

// True when the letters of word (lower case) stand at index i, in any case.
bool MatchWord(const std::wstring& s, size_t i, const char* word) {
  for (size_t k = 0; word[k] != '\0'; ++k) {
    if (i + k >= s.size() || Lower(s[i + k]) != wchar_t(word[k])) return false;
  }
  return true;
}

// Index just behind the optional sign and digits at i; digits counts them.
size_t SkipSignedDigits(const std::wstring& s, size_t i, size_t* digits) {
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) ++i;
  const size_t first = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  *digits = i - first;
  return i;
}

double ParseAsciiReal(const std::string& text) {
#if defined(G3GEOM_HAVE_STRTOD_L)
  // Numbers are written with a dot whatever locale the host has set.
  static locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  if (cLocale != locale_t(nullptr)) return strtod_l(text.c_str(), nullptr, cLocale);
#endif
  return std::strtod(text.c_str(), nullptr);
}

// Reads an optionally signed integer at start into *value and gives the index
// behind it; on failure the error is raised, *value is 0 and start is given.
int ScanInteger(const std::wstring& s, int start, int64_t* value) {
  *value = 0;
  if (start < 0 || size_t(start) >= s.size()) {
    CerrStringNotReal.Trigger();
    return start;
  }
  size_t i = size_t(start);
  bool negative = false;
  if (s[i] == L'+' || s[i] == L'-') {
    negative = s[i] == L'-';
    ++i;
  }
  if (i >= s.size() || !IsDigit(s[i])) {
    CerrStringNotReal.Trigger();
    return start;
  }
  // Accumulated as a negative magnitude so that the 64-bit minimum fits.
  const int64_t min = std::numeric_limits<int64_t>::min();
  int64_t v = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) {
    const int d = int(s[i] - L'0');
    if (v < (min + d) / 10) {
      CerrInvalidValue.Trigger();  // beyond the 64-bit range
      return start;
    }
    v = v * 10 - d;
  }
  if (!negative) {
    if (v == min) {
      CerrInvalidValue.Trigger();
      return start;
    }
    v = -v;
  }
  *value = v;
  return int(i);
}

}  // namespace

C_STRING::C_STRING(const char* utf8) {
  if (utf8 != nullptr) s_ = DecodeUtf8(utf8, std::char_traits<char>::length(utf8));
}

C_STRING::C_STRING(const std::string& utf8) : s_(DecodeUtf8(utf8.data(), utf8.size())) {}

C_STRING::C_STRING(const wchar_t* wide) {
  if (wide != nullptr) s_ = wide;
}

C_CHAR C_STRING::Get(int i) const {
  if (i < 0 || size_t(i) >= s_.size()) return C_CHAR();
  return C_CHAR(s_[size_t(i)]);
}

C_BOOL C_STRING::StartsWith(const C_STRING& s) const {
  return s.s_.size() <= s_.size() && s_.compare(0, s.s_.size(), s.s_) == 0;
}

double C_STRING::ScanReal(int start, int* next) const {
  if (next != nullptr) *next = start;
  if (start < 0 || size_t(start) >= s_.size()) {
    CerrStringNotReal.Trigger();
    return 0;
  }
  const size_t begin = size_t(start);
  size_t i = begin;
  bool negative = false;
  if (s_[i] == L'+' || s_[i] == L'-') {
    negative = s_[i] == L'-';
    ++i;
  }
  // The forms printf writes for values that are not finite.
  if (MatchWord(s_, i, "inf")) {
    i += 3;
    if (MatchWord(s_, i, "inity")) i += 5;
    if (next != nullptr) *next = int(i);
    const double inf = std::numeric_limits<double>::infinity();
    return negative ? -inf : inf;
  }
  if (MatchWord(s_, i, "nan")) {
    i += 3;
    if (next != nullptr) *next = int(i);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return negative ? -nan : nan;
  }
  size_t intDigits = 0;
  while (i < s_.size() && IsDigit(s_[i])) ++i, ++intDigits;
  size_t fracDigits = 0;
  if (i < s_.size() && s_[i] == L'.') {
    size_t j = i + 1;
    while (j < s_.size() && IsDigit(s_[j])) ++j, ++fracDigits;
    if (intDigits + fracDigits > 0) i = j;
  }
  if (intDigits + fracDigits == 0) {
    CerrStringNotReal.Trigger();
    return 0;
  }
  // An exponent counts only when digits follow the letter (and its sign).
  if (i < s_.size() && (s_[i] == L'e' || s_[i] == L'E')) {
    size_t expDigits = 0;
    const size_t j = SkipSignedDigits(s_, i + 1, &expDigits);
    if (expDigits > 0) i = j;
  }
  std::string ascii;
  ascii.reserve(i - begin);
  for (size_t k = begin; k < i; ++k) ascii.push_back(char(s_[k]));
  if (next != nullptr) *next = int(i);
  return ParseAsciiReal(ascii);
}

int64_t C_STRING::ScanLong(int start, int* next) const {
  int64_t v = 0;
  const int end = ScanInteger(s_, start, &v);
  if (next != nullptr) *next = end;
  return v;
}

int C_STRING::ScanInt(int start, int* next) const {
  if (next != nullptr) *next = start;
  int64_t v = 0;
  const int end = ScanInteger(s_, start, &v);
  if (end == start) return 0;
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
    CerrInvalidValue.Trigger();  // a number, but beyond the int range
    return 0;
  }
  if (next != nullptr) *next = end;
  return int(v);
}

std::string C_STRING::GetUtf8() const {
  std::string out;
  out.reserve(s_.size());
  for (size_t i = 0; i < s_.size(); ++i) {
    char32_t cp = char32_t(s_[i]);
    if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s_.size()) {
      const char32_t lo = char32_t(s_[i + 1]);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
        ++i;
      }
    }
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    AppendUtf8(out, cp);
  }
  return out;
}
