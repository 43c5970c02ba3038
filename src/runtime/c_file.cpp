#include "runtime/c_file.h"

#include <cstdarg>
#include <cstring>
#include <limits>

#include "runtime/c_error.h"

#if defined(__GLIBC__) || defined(__APPLE__)
#include <locale.h>
#if defined(__APPLE__)
#include <xlocale.h>
#endif
#define G3GEOM_HAVE_USELOCALE 1
#endif

namespace {

// Formats with the "C" locale for this thread, so that a host that set a
// locale with a decimal comma still gets records that read back.
std::string Format(const char* format, ...) {
#if defined(G3GEOM_HAVE_USELOCALE)
  static locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  locale_t previous = locale_t(nullptr);
  if (cLocale != locale_t(nullptr)) previous = uselocale(cLocale);
#endif
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string out;
  if (n > 0 && size_t(n) < sizeof small) {
    out.assign(small, size_t(n));
  } else if (n > 0) {
    out.resize(size_t(n) + 1);
    std::vsnprintf(&out[0], out.size(), format, again);
    out.resize(size_t(n));
  }
  va_end(again);
#if defined(G3GEOM_HAVE_USELOCALE)
  if (previous != locale_t(nullptr)) uselocale(previous);
#endif
  return out;
}

}  // namespace

// ---------------------------------------------------------------- C_FILE

void C_FILE::Write(const C_STRING& format, double a, double b) {
  WriteText(Format(format.GetUtf8().c_str(), a, b));
}

void C_FILE::Write(const C_STRING& format, double a, double b, double c) {
  WriteText(Format(format.GetUtf8().c_str(), a, b, c));
}

void C_FILE::Write(const C_STRING& format, int a, int b, int c) {
  WriteText(Format(format.GetUtf8().c_str(), a, b, c));
}

void C_FILE::WriteText(const std::string& text) {
  if (text.empty()) return;
  Write(int64_t(text.size()), text.data());
}

// --------------------------------------------------------- C_FILE_MEMORY

C_FILE_MEMORY::C_FILE_MEMORY(int type) : type_(type) {}

C_FILE_MEMORY::C_FILE_MEMORY(int type, const std::string& content)
    : type_(type), data_(content) {}

void C_FILE_MEMORY::ReadLine(C_STRING& line) {
  const size_t size = data_.size();
  if (pos_ >= int64_t(size)) {
    CerrEndOfFile.Trigger();
    return;
  }
  const size_t begin = size_t(pos_);
  size_t end = data_.find('\n', begin);
  size_t next = end == std::string::npos ? size : end + 1;
  if (end == std::string::npos) end = size;
  size_t stop = end;
  if (stop > begin && data_[stop - 1] == '\r') --stop;
  line = C_STRING(data_.substr(begin, stop - begin));
  pos_ = int64_t(next);
}

void C_FILE_MEMORY::Read(int64_t n, void* buffer, int64_t* count) {
  if (count != nullptr) *count = 0;
  if (n < 0 || (n > 0 && buffer == nullptr)) {
    CerrInvalidValue.Trigger();
    return;
  }
  const int64_t left = int64_t(data_.size()) - pos_;
  const int64_t moved = left < n ? (left > 0 ? left : 0) : n;
  if (moved > 0) std::memcpy(buffer, data_.data() + pos_, size_t(moved));
  pos_ += moved;
  if (count != nullptr) *count = moved;
  if (moved < n) CerrEndOfFile.Trigger();
}

void C_FILE_MEMORY::Write(int64_t n, const void* buffer, int64_t* count) {
  if (count != nullptr) *count = 0;
  if (n < 0 || (n > 0 && buffer == nullptr)) {
    CerrInvalidValue.Trigger();
    return;
  }
  if (n == 0) return;
  // Writing inside the content overwrites it (patching), beyond extends it.
  const size_t at = size_t(pos_);
  const size_t len = size_t(n);
  if (at + len > data_.size()) data_.resize(at + len);
  std::memcpy(&data_[at], buffer, len);
  pos_ += n;
  if (count != nullptr) *count = n;
}

void C_FILE_MEMORY::Seek(int64_t position) {
  if (position < 0 || position > int64_t(data_.size())) {
    CerrInvalidValue.Trigger();
    return;
  }
  pos_ = position;
}

// ----------------------------------------------------------- C_FILE_DISK

C_FILE_DISK::~C_FILE_DISK() {
  if (f_ != nullptr) Close();
}

C_BOOL C_FILE_DISK::Open(const char* path, const char* mode, int type) {
  if (f_ != nullptr) Close();
  if (path == nullptr || mode == nullptr) {
    CerrInvalidValue.Trigger();
    return false;
  }
  const char* cmode = nullptr;
  if (std::strcmp(mode, "r") == 0) cmode = "rb";
  if (std::strcmp(mode, "w") == 0) cmode = "wb+";
  if (cmode == nullptr) {
    CerrInvalidValue.Trigger();
    return false;
  }
  f_ = std::fopen(path, cmode);
  if (f_ == nullptr) {
    CerrCannotOpenFile.Trigger();
    return false;
  }
  type_ = type;
  lastOp_ = 0;
  return true;
}

void C_FILE_DISK::Close() {
  if (f_ == nullptr) return;
  const int failed = std::fclose(f_);
  f_ = nullptr;
  type_ = 0;
  lastOp_ = 0;
  if (failed != 0) CerrWriteFailed.Trigger();
}

void C_FILE_DISK::Switch(int op) const {
  if (lastOp_ != 0 && lastOp_ != op) std::fseek(f_, 0, SEEK_CUR);
  lastOp_ = op;
}

void C_FILE_DISK::ReadLine(C_STRING& line) {
  if (f_ == nullptr) {
    CerrInvalidValue.Trigger();
    return;
  }
  Switch(1);
  std::string bytes;
  int c = std::getc(f_);
  if (c == EOF) {
    CerrEndOfFile.Trigger();
    return;
  }
  while (c != EOF && c != '\n') {
    bytes.push_back(char(c));
    c = std::getc(f_);
  }
  if (c == EOF && std::ferror(f_)) {
    CerrEndOfFile.Trigger();
    return;
  }
  if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
  line = C_STRING(bytes);
}

void C_FILE_DISK::Read(int64_t n, void* buffer, int64_t* count) {
  if (count != nullptr) *count = 0;
  if (f_ == nullptr || n < 0 || (n > 0 && buffer == nullptr)) {
    CerrInvalidValue.Trigger();
    return;
  }
  if (n == 0) return;
  Switch(1);
  const size_t moved = std::fread(buffer, 1, size_t(n), f_);
  if (count != nullptr) *count = int64_t(moved);
  if (int64_t(moved) < n) CerrEndOfFile.Trigger();
}

void C_FILE_DISK::Write(int64_t n, const void* buffer, int64_t* count) {
  if (count != nullptr) *count = 0;
  if (f_ == nullptr || n < 0 || (n > 0 && buffer == nullptr)) {
    CerrInvalidValue.Trigger();
    return;
  }
  if (n == 0) return;
  Switch(2);
  const size_t moved = std::fwrite(buffer, 1, size_t(n), f_);
  if (count != nullptr) *count = int64_t(moved);
  if (int64_t(moved) < n) CerrWriteFailed.Trigger();
}

int64_t C_FILE_DISK::Tell() const {
  if (f_ == nullptr) return 0;
  return int64_t(ftello(f_));
}

void C_FILE_DISK::Seek(int64_t position) {
  if (f_ == nullptr || position < 0 || fseeko(f_, off_t(position), SEEK_SET) != 0) {
    CerrInvalidValue.Trigger();
    return;
  }
  lastOp_ = 0;
}

C_BOOL C_FILE_DISK::AtEnd() const {
  if (f_ == nullptr) return true;
  Switch(1);
  const int c = std::getc(f_);
  if (c == EOF) return true;
  std::ungetc(c, f_);
  return false;
}
