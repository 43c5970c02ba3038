#include "frame/g_errors.h"

#define G_ERRORS_DEFINE(name, text) const C_ERROR name(text);
G_ERRORS_TABLE(G_ERRORS_DEFINE)
#undef G_ERRORS_DEFINE

namespace {

// Addresses only: filled before any dynamic initialisation runs.
#define G_ERRORS_ADDRESS(name, text) &name,
const C_ERROR* const kCatalogue[] = {G_ERRORS_TABLE(G_ERRORS_ADDRESS)};
#undef G_ERRORS_ADDRESS

constexpr int kCount = int(sizeof(kCatalogue) / sizeof(kCatalogue[0]));

}  // namespace

int GerrGetCount() { return kCount; }

const C_ERROR* GerrGet(int i) {
  if (i < 0 || i >= kCount) {
    CerrInvalidValue.Trigger();
    return nullptr;
  }
  return kCatalogue[i];
}
