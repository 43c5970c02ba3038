#ifndef G3GEOM_RUNTIME_C_FILE_H
#define G3GEOM_RUNTIME_C_FILE_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/c_bool.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

// A stream that records are written to and read from. GetType() is 1 for a
// text stream and 3 for a binary one; records are neither read nor written on
// any other type. Reading past the end, a short read or a failed write leaves
// an error pending.
class G_API C_FILE {
 public:
  enum { TEXT = 1, BINARY = 3 };
  virtual ~C_FILE() = default;
  virtual int GetType() const = 0;
  // Reads the next line (without its "\n" or "\r\n") into line. A last line
  // without a final end of line is still a line; at the end of the stream
  // CerrEndOfFile is left pending and line is unchanged.
  virtual void ReadLine(C_STRING& line) = 0;
  // Writes exactly what printf would for the format (which carries its own
  // "\n"), numbers always with a dot whatever the host's locale.
  void Write(const C_STRING& format, double a, double b);
  void Write(const C_STRING& format, double a, double b, double c);
  void Write(const C_STRING& format, int a, int b, int c);
  // Writes text as it stands (used by the text forms of the framed records).
  void WriteText(const std::string& text);
  // Raw bytes; count, when given, receives the number of bytes moved.
  virtual void Read(int64_t n, void* buffer, int64_t* count = nullptr) = 0;
  virtual void Write(int64_t n, const void* buffer, int64_t* count = nullptr) = 0;
  // Position of the next byte to read or write, and repositioning for
  // patching (binary) or skipping.
  virtual int64_t Tell() const = 0;
  virtual void Seek(int64_t position) = 0;
  // True when nothing is left to read.
  virtual C_BOOL AtEnd() const = 0;
};

// A stream held in memory.
class G_API C_FILE_MEMORY : public C_FILE {
 public:
  explicit C_FILE_MEMORY(int type);
  C_FILE_MEMORY(int type, const std::string& content);
  int GetType() const override { return type_; }
  void ReadLine(C_STRING& line) override;
  using C_FILE::Write;
  void Read(int64_t n, void* buffer, int64_t* count = nullptr) override;
  void Write(int64_t n, const void* buffer, int64_t* count = nullptr) override;
  int64_t Tell() const override { return pos_; }
  void Seek(int64_t position) override;
  C_BOOL AtEnd() const override { return pos_ >= int64_t(data_.size()); }
  // Back to the first byte, for reading what was written.
  void Rewind() { pos_ = 0; }
  const std::string& GetContent() const { return data_; }

 private:
  int type_;
  std::string data_;
  int64_t pos_ = 0;
};

// A stream on a disk file.
class G_API C_FILE_DISK : public C_FILE {
 public:
  C_FILE_DISK() = default;
  ~C_FILE_DISK() override;
  C_FILE_DISK(const C_FILE_DISK&) = delete;
  C_FILE_DISK& operator=(const C_FILE_DISK&) = delete;
  // mode "r" or "w"; type 1 (text) or 3 (binary), any other type being inert
  // for records. Bytes are moved untranslated in both types. A "w" file is
  // also readable and repositionable, for patching frame lengths. False, with
  // an error pending, when the file cannot be opened.
  C_BOOL Open(const char* path, const char* mode, int type);
  // Flushes and closes; a failed flush leaves CerrWriteFailed pending. The
  // destructor closes a file left open the same way.
  void Close();
  int GetType() const override { return type_; }
  void ReadLine(C_STRING& line) override;
  using C_FILE::Write;
  void Read(int64_t n, void* buffer, int64_t* count = nullptr) override;
  void Write(int64_t n, const void* buffer, int64_t* count = nullptr) override;
  int64_t Tell() const override;
  void Seek(int64_t position) override;
  C_BOOL AtEnd() const override;

 private:
  // The C library asks for a repositioning between a write and a read.
  void Switch(int op) const;
  std::FILE* f_ = nullptr;
  int type_ = 0;
  mutable int lastOp_ = 0;  // 0 none or repositioned, 1 read, 2 write
};

#endif
