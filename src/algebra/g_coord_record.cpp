#include "algebra/g_coord_record.h"

#include <cstdint>

void GsaveCoords(C_FILE* file, const C_STRING& format, const double* c, int n) {
  if (file->GetType() == C_FILE::TEXT) {
    if (n == 2)
      file->Write(format, c[0], c[1]);
    else
      file->Write(format, c[0], c[1], c[2]);
  } else if (file->GetType() == C_FILE::BINARY) {
    file->Write(int64_t(n * sizeof(double)), c);
  }
}

C_BOOL GloadCoords(C_FILE* file, char letter, const C_ERROR* wrong, const char* wrongText,
                   double* c, int n) {
  if (file->GetType() == C_FILE::TEXT) {
    C_STRING line;
    file->ReadLine(line);
    if (C_ERROR::Is()) return false;
    if (line.Get(0) != letter) {
      if (wrong != nullptr)
        wrong->Trigger();
      else
        C_ERROR::Trigger(wrongText);
      return false;
    }
    // Exactly one separator character between the numbers.
    int next = 1;
    for (int k = 0; k < n; ++k) {
      c[k] = line.ScanReal(k == 0 ? 1 : next + 1, &next);
      if (C_ERROR::Is()) return false;
    }
    return true;
  }
  if (file->GetType() == C_FILE::BINARY) {
    const int64_t size = int64_t(n * sizeof(double));
    int64_t count = 0;
    file->Read(size, c, &count);
    if (C_ERROR::Is()) return false;
    if (count != size) {
      CerrInvalidValue.Trigger();
      return false;
    }
    return true;
  }
  return false;
}
