#ifndef G3GEOM_RUNTIME_T_NODE_H
#define G3GEOM_RUNTIME_T_NODE_H

#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/g_export.h"

// Handle of a node of a binary tree: the node's slot, or -1 when void.
class G_API T_NODE {
 public:
  T_NODE() = default;
  explicit T_NODE(int id) : id_(id) {}
  void Clear() { id_ = -1; }
  int GetId() const { return id_; }
  C_BOOL IsVoid() const { return id_ < 0; }
  C_BOOL operator==(const T_NODE& n) const { return id_ == n.id_; }
  C_BOOL operator!=(const T_NODE& n) const { return id_ != n.id_; }
  C_BOOL operator>(const T_NODE& n) const { return id_ > n.id_; }
  static const T_NODE VOID;

 private:
  int id_ = -1;
};

// Base of the incremental-search contexts handed out by the spatial indexes;
// contexts are deleted through the base.
class G_API T_CONTEXT {
 public:
  virtual ~T_CONTEXT() = default;

 protected:
  T_CONTEXT() = default;
};

// Errors raised by the library's template code.
G_API extern const C_ERROR TerrInvalidIndex;
G_API extern const C_ERROR TerrListIsVoid;
G_API extern const C_ERROR TerrListIsNotVoid;
G_API extern const C_ERROR TerrListNotFound;
G_API extern const C_ERROR TerrListNotSorted;
G_API extern const C_ERROR TerrTreeInvalidNode;
G_API extern const C_ERROR TerrTreeNoParent;
G_API extern const C_ERROR TerrTreeCorruptedTree;

#endif
