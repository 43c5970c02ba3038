#include "frame/g_errors.h"

#define G_ERR(name, text) const C_ERROR name(text);
#include "frame/g_errors.def"
#undef G_ERR

namespace {

// Addresses only: filled before any dynamic initialisation runs.
const C_ERROR* const kCatalogue[] = {
#define G_ERR(name, text) &name,
#include "frame/g_errors.def"
#undef G_ERR
};

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
