#include "runtime/t_persist.h"

#include <cinttypes>
#include <cstring>
#include <string>

#include "runtime/c_error.h"

const C_ERROR TerrCorruptedRecord("T#Err#Corrupted record");

namespace {

// Longest name a binary frame may announce; a larger count is a corrupted
// frame, not an allocation to attempt.
constexpr int32_t kMaxFrameName = 1 << 16;

// Reads one text line and checks that it is exactly one number as the
// scanner reads it. False, with an error pending, otherwise.
bool ReadNumberLine(C_FILE* file, C_STRING* line) {
  file->ReadLine(*line);
  return !C_ERROR::Is();
}

// The scanner stopped before the end of the line: trailing characters make
// the line malformed.
bool WholeLine(const C_STRING& line, int next) {
  if (next == line.GetNumber()) return true;
  CerrStringNotReal.Trigger();
  return false;
}

template <class T>
void LoadRaw(C_FILE* file, T* value) {
  T v;
  file->Read(int64_t(sizeof v), &v);
  if (C_ERROR::Is()) return;
  *value = v;
}

template <class T>
void SaveRaw(C_FILE* file, T value) {
  file->Write(int64_t(sizeof value), &value);
}

int64_t LoadTextLong(C_FILE* file, bool* ok) {
  *ok = false;
  C_STRING line;
  if (!ReadNumberLine(file, &line)) return 0;
  int next = 0;
  const int64_t v = line.ScanLong(0, &next);
  if (C_ERROR::Is() || !WholeLine(line, next)) return 0;
  *ok = true;
  return v;
}

}  // namespace

// ------------------------------------------------------------- scalars

void Tload(int /*version*/, C_FILE* file, int* value) {
  if (file == nullptr || value == nullptr) return;
  if (file->GetType() == C_FILE::BINARY) {
    LoadRaw(file, value);
  } else if (file->GetType() == C_FILE::TEXT) {
    C_STRING line;
    if (!ReadNumberLine(file, &line)) return;
    int next = 0;
    const int v = line.ScanInt(0, &next);
    if (C_ERROR::Is() || !WholeLine(line, next)) return;
    *value = v;
  }
}

void Tload(int /*version*/, C_FILE* file, double* value) {
  if (file == nullptr || value == nullptr) return;
  if (file->GetType() == C_FILE::BINARY) {
    LoadRaw(file, value);
  } else if (file->GetType() == C_FILE::TEXT) {
    C_STRING line;
    if (!ReadNumberLine(file, &line)) return;
    int next = 0;
    const double v = line.ScanReal(0, &next);
    if (C_ERROR::Is() || !WholeLine(line, next)) return;
    *value = v;
  }
}

// Stored as an int, 0 or 1; any other int reads as true.
void Tload(int version, C_FILE* file, C_BOOL* value) {
  if (value == nullptr) return;
  int v = int(*value);
  Tload(version, file, &v);
  if (C_ERROR::Is()) return;
  *value = C_BOOL(v);
}

void Tload(int /*version*/, C_FILE* file, int64_t* value) {
  if (file == nullptr || value == nullptr) return;
  if (file->GetType() == C_FILE::BINARY) {
    LoadRaw(file, value);
  } else if (file->GetType() == C_FILE::TEXT) {
    bool ok = false;
    const int64_t v = LoadTextLong(file, &ok);
    if (ok) *value = v;
  }
}

void Tsave(int value, C_FILE* file, int /*flag*/) {
  if (file == nullptr) return;
  if (file->GetType() == C_FILE::BINARY) {
    SaveRaw(file, value);
  } else if (file->GetType() == C_FILE::TEXT) {
    file->WriteText(std::to_string(value) + "\n");
  }
}

// Text: 17 significant digits, enough for every double to read back exactly;
// infinities and NaN are written "inf", "-inf", "nan", which read back too.
void Tsave(double value, C_FILE* file, int /*flag*/) {
  if (file == nullptr) return;
  if (file->GetType() == C_FILE::BINARY) {
    SaveRaw(file, value);
  } else if (file->GetType() == C_FILE::TEXT) {
    file->Write(C_STRING("%.17g\n"), value, 0.0);
  }
}

void Tsave(C_BOOL value, C_FILE* file, int flag) { Tsave(int(value) != 0 ? 1 : 0, file, flag); }

void Tsave(int64_t value, C_FILE* file, int /*flag*/) {
  if (file == nullptr) return;
  if (file->GetType() == C_FILE::BINARY) {
    SaveRaw(file, value);
  } else if (file->GetType() == C_FILE::TEXT) {
    file->WriteText(std::to_string(value) + "\n");
  }
}

// ------------------------------------------------------------- frames

void TsaveStart(const char* open, const C_STRING& name, C_FILE* file, int64_t* position,
                int /*flag*/) {
  if (position != nullptr) *position = 0;
  if (file == nullptr || open == nullptr || open[0] == '\0') {
    CerrInvalidValue.Trigger();
    return;
  }
  const std::string utf8 = name.GetUtf8();
  if (file->GetType() == C_FILE::BINARY) {
    if (utf8.size() > size_t(kMaxFrameName)) {
      CerrInvalidValue.Trigger();
      return;
    }
    file->Write(int64_t(std::strlen(open)), open);
    if (C_ERROR::Is()) return;
    SaveRaw(file, int32_t(utf8.size()));
    if (C_ERROR::Is()) return;
    file->Write(int64_t(utf8.size()), utf8.data());
    if (C_ERROR::Is()) return;
    const int64_t at = file->Tell();
    SaveRaw(file, int64_t(0));  // patched by TsaveTerm
    if (C_ERROR::Is()) return;
    if (position != nullptr) *position = at;
  } else if (file->GetType() == C_FILE::TEXT) {
    // A name with a line end would break the line structure of the frame.
    if (utf8.find('\n') != std::string::npos || utf8.find('\r') != std::string::npos) {
      CerrInvalidValue.Trigger();
      return;
    }
    const int64_t at = file->Tell();
    file->WriteText(std::string(open) + utf8 + "\n");
    if (C_ERROR::Is()) return;
    if (position != nullptr) *position = at;
  }
}

void TsaveTerm(const char* close, int64_t position, C_FILE* file, int /*flag*/) {
  if (file == nullptr || close == nullptr || close[0] == '\0') {
    CerrInvalidValue.Trigger();
    return;
  }
  if (file->GetType() == C_FILE::BINARY) {
    file->Write(int64_t(std::strlen(close)), close);
    if (C_ERROR::Is()) return;
    const int64_t end = file->Tell();
    const int64_t bodyStart = position + int64_t(sizeof(int64_t));
    if (position < 0 || bodyStart > end) {
      CerrInvalidValue.Trigger();
      return;
    }
    file->Seek(position);
    if (C_ERROR::Is()) return;
    SaveRaw(file, int64_t(end - bodyStart));
    if (C_ERROR::Is()) return;
    file->Seek(end);
  } else if (file->GetType() == C_FILE::TEXT) {
    file->WriteText(std::string(close) + "\n");
  }
}

void TloadStart(int /*version*/, C_FILE* file, const char* open, C_STRING* name,
                int64_t* position) {
  if (file == nullptr || open == nullptr || open[0] == '\0') {
    CerrInvalidValue.Trigger();
    return;
  }
  const size_t openLen = std::strlen(open);
  if (file->GetType() == C_FILE::BINARY) {
    std::string marker(openLen, '\0');
    file->Read(int64_t(openLen), &marker[0]);
    if (C_ERROR::Is() || marker != open) {
      TerrCorruptedRecord.Trigger();
      return;
    }
    int32_t nameLen = -1;
    LoadRaw(file, &nameLen);
    if (C_ERROR::Is() || nameLen < 0 || nameLen > kMaxFrameName) {
      TerrCorruptedRecord.Trigger();
      return;
    }
    std::string utf8(size_t(nameLen), '\0');
    if (nameLen > 0) file->Read(nameLen, &utf8[0]);
    int64_t length = -1;
    if (!C_ERROR::Is()) LoadRaw(file, &length);
    if (C_ERROR::Is() || length < 0) {
      TerrCorruptedRecord.Trigger();
      return;
    }
    const int64_t bodyStart = file->Tell();
    if (name != nullptr) *name = C_STRING(utf8);
    // The close marker sits at the end of the counted bytes.
    if (position != nullptr) *position = bodyStart + length;
  } else if (file->GetType() == C_FILE::TEXT) {
    C_STRING line;
    file->ReadLine(line);
    if (C_ERROR::Is()) {
      TerrCorruptedRecord.Trigger();
      return;
    }
    const std::string utf8 = line.GetUtf8();
    if (utf8.compare(0, openLen, open) != 0) {
      TerrCorruptedRecord.Trigger();
      return;
    }
    if (name != nullptr) *name = C_STRING(utf8.substr(openLen));
    if (position != nullptr) *position = file->Tell();
  }
}

void TloadTerm(int /*version*/, C_FILE* file, const char* open, const char* close,
               int64_t position) {
  if (file == nullptr || open == nullptr || close == nullptr || open[0] == '\0' ||
      close[0] == '\0') {
    CerrInvalidValue.Trigger();
    return;
  }
  if (file->GetType() == C_FILE::BINARY) {
    const int64_t closeLen = int64_t(std::strlen(close));
    const int64_t at = position - closeLen;
    // The body may not have been read to its end, but never beyond it.
    if (at < 0 || file->Tell() > at) {
      TerrCorruptedRecord.Trigger();
      return;
    }
    file->Seek(at);
    std::string marker(size_t(closeLen), '\0');
    if (!C_ERROR::Is()) file->Read(closeLen, &marker[0]);
    if (C_ERROR::Is() || marker != close) TerrCorruptedRecord.Trigger();
  } else if (file->GetType() == C_FILE::TEXT) {
    const size_t openLen = std::strlen(open);
    int depth = 0;
    for (;;) {
      C_STRING line;
      file->ReadLine(line);
      if (C_ERROR::Is()) {
        TerrCorruptedRecord.Trigger();  // no close before the end
        return;
      }
      const std::string utf8 = line.GetUtf8();
      if (utf8 == close) {
        if (depth == 0) return;
        --depth;
      } else if (utf8.compare(0, openLen, open) == 0) {
        ++depth;
      }
    }
  }
}
