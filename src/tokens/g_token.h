#ifndef G3GEOM_TOKENS_G_TOKEN_H
#define G3GEOM_TOKENS_G_TOKEN_H

#include <cstdint>

#include "containers/t_list.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"
#include "tokens/t_hash_map.h"

class G_TOKENS;

// The name of a piece of the host's geometry: an opaque element reference
// (never dereferenced here) and two integers locating a sub-entity in it.
// A key or index of -1 is a wildcard for equality; all three members 0 make
// the void token. In files the element is written as a 32-bit int.
class G_API G_TOKEN {
 public:
  G_TOKEN() = default;
  G_TOKEN(void* elt, int key, int index) : elt_(elt), key_(key), index_(index) {}

  void* GetElt() const { return elt_; }
  void SetElt(void* elt) { elt_ = elt; }
  int GetKey() const { return key_; }
  void SetKey(int key) { key_ = key; }
  int GetIndex() const { return index_; }
  void SetIndex(int index) { index_ = index; }

  // Elements equal, keys equal or either -1, indices equal or either -1.
  C_BOOL operator==(const G_TOKEN& t) const {
    return elt_ == t.elt_ && (key_ == t.key_ || key_ == -1 || t.key_ == -1) &&
           (index_ == t.index_ || index_ == -1 || t.index_ == -1);
  }
  C_BOOL operator!=(const G_TOKEN& t) const { return !(*this == t); }
  // Lexicographic on element (unsigned), key, index; no wildcards.
  C_BOOL operator<(const G_TOKEN& t) const;
  C_BOOL operator>(const G_TOKEN& t) const { return t < *this; }

  C_BOOL IsVoid() const { return elt_ == nullptr && key_ == 0 && index_ == 0; }

  // Text: one line "T<element> <key> <index>"; binary: the three members as
  // 32-bit ints. The 32-bit form is written whatever X64bits holds.
  void Save(C_FILE* file) const;
  // With X64bits set the element is read as a 64-bit identifier and mapped
  // through TokensMap.
  void Load(int version, C_FILE* file);

  // Reads one element reference written by the host's persistence; the
  // element as an int, 0 after any error.
  static void* LoadEltPtr(int kind, int version, C_FILE* file);
  // Numbers 64-bit identifiers 1, 2, 3, ... in the order first met since the
  // last ClearTokensMap; identifier 0 gives 0.
  static int GetIdFromIdentifier(int64_t identifier);
  static void ClearTokensMap();

  static void SetX64bits(C_BOOL flag) { X64bits = flag; }
  static C_BOOL GetX64bits() { return X64bits; }

  // The host's token registry: inert in this library.
  static void Clear(int part);
  static void Clear32Or64(C_BOOL x64, int part);
  static void Add(int part, const G_TOKEN& token);
  static void Add(int part, const G_TOKENS& tokens);
  static void Remove(int part, int i);
  static void Replace(int part, int i, const G_TOKEN& token);
  static void GetAll(int part, G_TOKENS* tokens);
  static void GetAll32Or64(C_BOOL x64, int part, G_TOKENS* tokens);
  static void GetPartElts(int part, T_LIST<void*>* elts);
  static void ChangePartElts(int part, const T_LIST<void*>& olds, const T_LIST<void*>& news,
                             C_BOOL removeOthers);
  static void ChangePartEltsForSlavePart(int part, void* elt, const T_LIST<void*>& elts,
                                         const T_LIST<int>& ids);
  static void OpenClass();
  static int GetNumber(int part);
  static int Search(int part, const G_TOKEN& token);
  static G_TOKEN Get(int part, int i);

  static const G_TOKEN VOID;
  static C_BOOL X64bits;
  // 64-bit identifier -> small int; its entry count is the last number given.
  static T_HASH_MAP<int64_t, int> TokensMap;

 private:
  void* elt_ = nullptr;
  int key_ = 0;
  int index_ = 0;
};

#endif
