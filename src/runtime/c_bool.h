#ifndef G3GEOM_RUNTIME_C_BOOL_H
#define G3GEOM_RUNTIME_C_BOOL_H

#include "runtime/g_export.h"

// The result of every predicate. A default-built C_BOOL is false.
class G_API C_BOOL {
 public:
  C_BOOL() = default;
  C_BOOL(int v) : v_(v != 0 ? 1 : 0) {}  // NOLINT: implicit by design
  void SetTrue() { v_ = 1; }
  void SetFalse() { v_ = 0; }
  operator int() const { return v_; }  // NOLINT: implicit by design

 private:
  int v_ = 0;
};

// A three-way answer: true (1), false (0) or unknown (-1).
class G_API C_LOG {
 public:
  C_LOG() = default;
  C_LOG(int v) : v_(v < 0 ? -1 : (v != 0 ? 1 : 0)) {}  // NOLINT: implicit by design
  C_LOG(C_BOOL b) : v_(int(b)) {}                      // NOLINT: implicit by design
  C_LOG& operator=(C_BOOL b) {
    v_ = int(b);
    return *this;
  }
  void SetTrue() { v_ = 1; }
  void SetFalse() { v_ = 0; }
  void SetUnknown() { v_ = -1; }
  C_BOOL IsTrue() const { return v_ == 1; }
  C_BOOL IsUnknown() const { return v_ == -1; }
  operator int() const { return v_; }  // NOLINT: implicit by design

 private:
  int v_ = -1;
};

#endif
