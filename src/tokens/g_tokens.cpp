#include "tokens/g_tokens.h"

#include "runtime/c_error.h"
#include "runtime/t_persist.h"

namespace {
// Room reserved ahead of reading a counted list; beyond it the list grows as
// the elements arrive.
const int kPreallocMax = 4096;
}  // namespace

G_TOKENS* G_TOKENS::CloneSame() const {
  G_TOKENS* copy = Cnew<G_TOKENS>(*this);
  if (C_ERROR::Is()) {
    delete copy;
    return nullptr;
  }
  return copy;
}

void G_TOKENS::RemoveVoid() {
  for (int i = GetNumber() - 1; i >= 0; --i)
    if (GetFast(i).GetElt() == nullptr) Remove(i);
}

void G_TOKENS::ChangeGeomsWithRefs(const T_LIST<void*>& olds, const T_LIST<void*>& news,
                                   C_BOOL removeOthers) {
  SetSorted(false);
  int i = 0;
  while (i < GetNumber()) {
    G_TOKEN& t = GetAdrFast(i)[0];
    if (t.GetElt() == nullptr) {
      Remove(i);
      continue;
    }
    int k = olds.Search(t.GetElt());
    if (k >= 0) {
      // An index outside news raises the list's error and reads as null.
      void* renamed = news.Get(k);
      if (renamed == nullptr) {
        Remove(i);
        continue;
      }
      t.SetElt(renamed);
    } else if (removeOthers) {
      Remove(i);
      continue;
    }
    ++i;
  }
}

void G_TOKENS::SearchTokensByKey(int key, T_LIST<int>* indices) const {
  indices->Clear();
  for (int i = 0; i < GetNumber(); ++i) {
    if (GetFast(i).GetKey() != key) continue;
    indices->Append(i);
    if (C_ERROR::Is()) return;
  }
}

void G_TOKENS::Save(C_FILE* file) const {
  Tsave(GetNumber(), file);
  if (C_ERROR::Is()) return;
  for (int i = 0; i < GetNumber(); ++i) {
    GetFast(i).Save(file);
    if (C_ERROR::Is()) return;
  }
  Tsave(C_BOOL(IsSorted()), file);
}

// The count comes from the file: the list grows with the tokens actually
// read, so a corrupted count can neither exhaust memory nor loop on a
// stream that has ended.
void G_TOKENS::Load(int version, C_FILE* file) {
  int n = 0;
  Tload(version, file, &n);
  if (C_ERROR::Is()) return;
  if (n < 0) {
    CerrInvalidValue.Trigger();
    return;
  }
  Clear();
  Grow(n < kPreallocMax ? n : kPreallocMax);
  if (C_ERROR::Is()) return;
  for (int i = 0; i < n; ++i) {
    G_TOKEN t;
    t.Load(version, file);
    if (C_ERROR::Is()) return;
    Append(t);
    if (C_ERROR::Is()) return;
  }
  C_BOOL sorted;
  Tload(version, file, &sorted);
  if (C_ERROR::Is()) return;
  SetSorted(sorted);
}
