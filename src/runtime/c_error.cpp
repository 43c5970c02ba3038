#include "runtime/c_error.h"

#include <atomic>
#include <cstdio>
#include <optional>
#include <string>

const C_ERROR CerrStringNotReal("C#Err#String is not a real");
const C_ERROR CerrInternalError("C#Err#Internal error");
const C_ERROR CerrInvalidValue("C#Err#Invalid value");
const C_ERROR CerrOutOfMemory("C#Err#Out of memory");
const C_ERROR CerrEndOfFile("C#Err#End of file");
const C_ERROR CerrWriteFailed("C#Err#Write failed");
const C_ERROR CerrCannotOpenFile("C#Err#Cannot open file");

namespace {

// The pending error of one thread. An error raised by its text alone is held
// in textError, which points into text; a constant is held by its address.
struct PendingState {
  const C_ERROR* pending = nullptr;
  bool mild = false;
  std::string text;
  std::optional<C_ERROR> textError;
};

PendingState& State() {
  thread_local PendingState state;
  return state;
}

void DefaultReport(const char* text) { std::fprintf(stderr, "%s\n", text); }

std::atomic<void (*)(const char*)> reportHandler{&DefaultReport};

void RaiseText(const char* text, const char* detail) {
  PendingState& st = State();
  // Copy first: text may be the pending error's own text.
  std::string copy = text != nullptr ? text : "";
  if (detail != nullptr && detail[0] != '\0') {
    copy += ": ";
    copy += detail;
  }
  st.textError.reset();
  st.text.swap(copy);
  st.textError.emplace(st.text.c_str());
  st.pending = &*st.textError;
  st.mild = false;
}

}  // namespace

void C_ERROR::Trigger() const {
  PendingState& st = State();
  st.pending = this;
  st.mild = false;
}

void C_ERROR::TriggerMild() const {
  PendingState& st = State();
  st.pending = this;
  st.mild = true;
}

void C_ERROR::Trigger(const char* text, const char* detail) { RaiseText(text, detail); }

void C_ERROR::TriggerDbg(const char* text, const char* detail) { RaiseText(text, detail); }

C_BOOL C_ERROR::Is() { return State().pending != nullptr; }

void C_ERROR::ClearPending() {
  PendingState& st = State();
  st.pending = nullptr;
  st.mild = false;
}

void C_ERROR::ReportPending(const char* detail) {
  PendingState& st = State();
  if (st.pending == nullptr) return;
  std::string text = st.pending->GetText() != nullptr ? st.pending->GetText() : "";
  if (detail != nullptr && detail[0] != '\0') {
    text += ": ";
    text += detail;
  }
  // Cleared before the handler runs, so a handler may raise errors of its own.
  ClearPending();
  reportHandler.load()(text.c_str());
}

const C_ERROR* C_ERROR::GetPending() { return State().pending; }

C_BOOL C_ERROR::IsMild() const {
  const PendingState& st = State();
  return st.pending == this && st.mild;
}

void C_ERROR::SetReportHandler(void (*handler)(const char*)) {
  reportHandler.store(handler != nullptr ? handler : &DefaultReport);
}
