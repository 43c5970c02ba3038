#include "runtime/c_error.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "runtime/t_node.h"

namespace {

std::string reported;

void Capture(const char* text) { reported = text; }

TEST(C_ERROR, LatestWinsAndGetPendingGivesTheConstant) {
  C_ERROR::ClearPending();
  CerrInvalidValue.Trigger();
  TerrListIsVoid.TriggerMild();
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrListIsVoid && TerrListIsVoid.IsMild());
  // A text error is copied: the caller's buffer may change afterwards.
  char text[] = "T#Err#Custom";
  C_ERROR::Trigger(text);
  std::strcpy(text, "overwritten!");
  ASSERT_NE(C_ERROR::GetPending(), nullptr);
  EXPECT_FALSE(C_ERROR::GetPending()->IsMild() || TerrListIsVoid.IsMild());
  // Raising the pending text again (it aliases the held copy).
  C_ERROR::TriggerDbg(C_ERROR::GetPending()->GetText());
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "T#Err#Custom");
  // The catalogue's calls pass a null detail: the constant itself is raised.
  CerrInvalidValue.TriggerMild(nullptr);
  EXPECT_TRUE(C_ERROR::GetPending() == &CerrInvalidValue && CerrInvalidValue.IsMild());
  C_ERROR::ClearPending();
  EXPECT_TRUE(!C_ERROR::Is() && C_ERROR::GetPending() == nullptr);
}

TEST(C_ERROR, ReportPendingHandsTheTextAndClears) {
  C_ERROR::ClearPending();
  C_ERROR::SetReportHandler(&Capture);
  C_ERROR::Trigger("DDoc#Err#Data of absent extension is lost");
  C_ERROR::ReportPending();
  EXPECT_EQ(reported, "DDoc#Err#Data of absent extension is lost");
  EXPECT_FALSE(C_ERROR::Is());
  // A null handler restores the default: one line on the standard error;
  // nothing pending, nothing written.
  C_ERROR::SetReportHandler(nullptr);
  CerrInternalError.Trigger();
  testing::internal::CaptureStderr();
  C_ERROR::ReportPending();
  C_ERROR::ReportPending();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "C#Err#Internal error\n");
}

TEST(C_ERROR, EachThreadHasItsOwnPendingError) {
  C_ERROR::ClearPending();
  CerrInvalidValue.Trigger();
  bool cleanAtStart = false;
  std::thread worker([&] {
    cleanAtStart = !C_ERROR::Is();
    C_ERROR::Trigger("T#Err#Worker");
  });
  worker.join();
  EXPECT_TRUE(cleanAtStart);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);  // untouched by the worker
  C_ERROR::ClearPending();
}

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer aborts instead of giving null
TEST(C_ERROR, CnewLeavesOutOfMemoryPendingOnFailure) {
  C_ERROR::ClearPending();
  EXPECT_EQ(CnewArray<char>(long(1) << 62), nullptr);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrOutOfMemory);
  C_ERROR::ClearPending();
}
#endif

}  // namespace
