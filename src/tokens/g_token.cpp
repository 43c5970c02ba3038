#include "tokens/g_token.h"

#include <cstdint>
#include <cstring>

#include "runtime/c_error.h"
#include "runtime/c_string.h"
#include "runtime/t_persist.h"
#include "tokens/g_tokens.h"

const G_TOKEN G_TOKEN::VOID;
C_BOOL G_TOKEN::X64bits;
T_HASH_MAP<int64_t, int> G_TOKEN::TokensMap;

namespace {

// File versions at which the element reference changed form.
const int kVersionElt64 = 608026;      // written as a 64-bit integer
const int kVersionEltMapped = 608031;  // kinds 1 and 2 mapped when X64bits is set
const int kVersionEltAny = 608101;     // every kind follows X64bits

const char kTokenExpected[] = "T#Err#Invalid file (token expected)";
const char kBadHashMap[] = "T#Err#Invalid file (bad hash map)";

// The element reference travels in files as a 32-bit int.
int EltToInt(const void* elt) { return static_cast<int>(reinterpret_cast<intptr_t>(elt)); }
void* IntToElt(int v) { return reinterpret_cast<void*>(static_cast<intptr_t>(v)); }
int Low32(int64_t v) { return static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// Maps a 64-bit identifier; a failed mapping raises the bad-hash-map error.
C_BOOL MapIdentifier(int64_t identifier, int* id) {
  int v = G_TOKEN::GetIdFromIdentifier(identifier);
  if (C_ERROR::Is()) {
    C_ERROR::TriggerDbg(kBadHashMap);
    return false;
  }
  *id = v;
  return true;
}

}  // namespace

C_BOOL G_TOKEN::operator<(const G_TOKEN& t) const {
  uintptr_t a = reinterpret_cast<uintptr_t>(elt_);
  uintptr_t b = reinterpret_cast<uintptr_t>(t.elt_);
  if (a != b) return a < b;
  if (key_ != t.key_) return key_ < t.key_;
  return index_ < t.index_;
}

void G_TOKEN::Save(C_FILE* file) const {
  if (file->GetType() == C_FILE::TEXT) {
    static const C_STRING format("T%d %d %d\n");
    file->Write(format, EltToInt(elt_), key_, index_);
  } else if (file->GetType() == C_FILE::BINARY) {
    int32_t buf[3] = {EltToInt(elt_), key_, index_};
    file->Write(int64_t(sizeof(buf)), buf);
  }
}

// A text record changes the token only when its whole line was read.
void G_TOKEN::Load(int /*version*/, C_FILE* file) {
  if (file->GetType() == C_FILE::TEXT) {
    static C_STRING line;
    file->ReadLine(line);
    if (C_ERROR::Is()) return;
    if (line.Get(0) != 'T') {
      C_ERROR::Trigger(kTokenExpected);
      return;
    }
    int next = 1;
    int elt = 0;
    if (X64bits) {
      int64_t identifier = line.ScanLong(1, &next);
      if (C_ERROR::Is()) return;
      if (!MapIdentifier(identifier, &elt)) return;
    } else {
      elt = line.ScanInt(1, &next);
      if (C_ERROR::Is()) return;
    }
    int key = line.ScanInt(next + 1, &next);
    if (C_ERROR::Is()) return;
    int index = line.ScanInt(next + 1, &next);
    if (C_ERROR::Is()) return;
    elt_ = IntToElt(elt);
    key_ = key;
    index_ = index;
  } else if (file->GetType() == C_FILE::BINARY) {
    if (X64bits) {
      unsigned char buf[16];
      file->Read(int64_t(sizeof(buf)), buf);
      if (C_ERROR::Is()) return;
      int64_t identifier = 0;
      int32_t ki[2] = {0, 0};
      memcpy(&identifier, buf, 8);
      memcpy(ki, buf + 8, 8);
      // The whole record is read: key and index are taken even when the
      // identifier cannot be mapped, which leaves the element as it was.
      key_ = ki[0];
      index_ = ki[1];
      int elt = 0;
      if (!MapIdentifier(identifier, &elt)) return;
      elt_ = IntToElt(elt);
    } else {
      int32_t buf[3] = {0, 0, 0};
      file->Read(int64_t(sizeof(buf)), buf);
      if (C_ERROR::Is()) return;
      elt_ = IntToElt(buf[0]);
      key_ = buf[1];
      index_ = buf[2];
    }
  }
}

void* G_TOKEN::LoadEltPtr(int kind, int version, C_FILE* file) {
  if (version < kVersionElt64) {
    int v = 0;
    Tload(version, file, &v);
    return C_ERROR::Is() ? nullptr : IntToElt(v);
  }
  if (version < kVersionEltMapped) {
    int64_t v = 0;
    Tload(version, file, &v);
    return C_ERROR::Is() ? nullptr : IntToElt(Low32(v));
  }
  if (version < kVersionEltAny && (kind == 1 || kind == 2)) {
    int64_t v = 0;
    Tload(version, file, &v);
    if (C_ERROR::Is()) return nullptr;
    if (!X64bits) return IntToElt(Low32(v));
    int id = 0;
    return MapIdentifier(v, &id) ? IntToElt(id) : nullptr;
  }
  if (X64bits) {
    int64_t v = 0;
    Tload(version, file, &v);
    if (C_ERROR::Is()) return nullptr;
    int id = 0;
    return MapIdentifier(v, &id) ? IntToElt(id) : nullptr;
  }
  int v = 0;
  Tload(version, file, &v);
  return C_ERROR::Is() ? nullptr : IntToElt(v);
}

int G_TOKEN::GetIdFromIdentifier(int64_t identifier) {
  if (identifier == 0) return 0;
  const int* found = TokensMap.Search(identifier);
  if (C_ERROR::Is()) return 0;
  if (found != nullptr) return *found;
  int id = TokensMap.GetNumber() + 1;
  TokensMap.Insert(identifier, id);
  // A lost insert (no room to grow the map) gives no number.
  if (C_ERROR::Is()) return 0;
  return id;
}

void G_TOKEN::ClearTokensMap() { TokensMap.Clear(); }

// The token registry belongs to the host; this library keeps none.
void G_TOKEN::Clear(int) {}
void G_TOKEN::Clear32Or64(C_BOOL, int) {}
void G_TOKEN::Add(int, const G_TOKEN&) {}
void G_TOKEN::Add(int, const G_TOKENS&) {}
void G_TOKEN::Remove(int, int) {}
void G_TOKEN::Replace(int, int, const G_TOKEN&) {}
void G_TOKEN::GetAll(int, G_TOKENS*) {}
void G_TOKEN::GetAll32Or64(C_BOOL, int, G_TOKENS*) {}
void G_TOKEN::GetPartElts(int, T_LIST<void*>*) {}
void G_TOKEN::ChangePartElts(int, const T_LIST<void*>&, const T_LIST<void*>&, C_BOOL) {}
void G_TOKEN::ChangePartEltsForSlavePart(int, void*, const T_LIST<void*>&, const T_LIST<int>&) {}
void G_TOKEN::OpenClass() {}
int G_TOKEN::GetNumber(int) { return 0; }
int G_TOKEN::Search(int, const G_TOKEN&) { return -1; }
G_TOKEN G_TOKEN::Get(int, int) { return VOID; }
