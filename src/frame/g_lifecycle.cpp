#include "frame/g_lifecycle.h"

#include "curves/g3_cv.h"

void (*GDocCreatePtHandler)(const G3_POINT&) = nullptr;
void (*GDocCreateFrHandler)(const G3_FRAME&) = nullptr;
void (*GeventCheckInterruption)() = nullptr;

// The token functions keep no state that a start would have to reset.
void Gopen() { G3CVopen(); }

void Gclose() {}

void G3CVopen() { G3_CV::AddDefaultGenerator(G3_CV::CLASS, G3_CV::GenerateDefault); }

void GDocCreate(const G3_POINT& p) {
  if (GDocCreatePtHandler != nullptr) GDocCreatePtHandler(p);
}

void GDocCreate(const G3_FRAME& f) {
  if (GDocCreateFrHandler != nullptr) GDocCreateFrHandler(f);
}
