#include "runtime/c_error.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "runtime/t_node.h"

namespace {

std::string reported;
int reports = 0;

void Capture(const char* text) {
  reported = text;
  ++reports;
}

TEST(C_ERROR, LatestWinsAndGetPendingGivesTheConstant) {
  C_ERROR::ClearPending();
  CerrInvalidValue.Trigger();
  EXPECT_FALSE(CerrInvalidValue.IsMild());
  TerrListIsVoid.TriggerMild();
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListIsVoid);
  EXPECT_TRUE(TerrListIsVoid.IsMild());
  // A text error is copied: the caller's buffer may change afterwards.
  char text[] = "T#Err#Custom";
  C_ERROR::Trigger(text);
  std::strcpy(text, "overwritten!");
  ASSERT_NE(C_ERROR::GetPending(), nullptr);
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "T#Err#Custom");
  EXPECT_FALSE(C_ERROR::GetPending()->IsMild() || TerrListIsVoid.IsMild());
  // Raising the pending text again (it aliases the held copy).
  C_ERROR::TriggerDbg(C_ERROR::GetPending()->GetText());
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "T#Err#Custom");
  // The catalogue's calls pass a null detail: the constant itself is raised.
  CerrInvalidValue.TriggerMild(nullptr);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  EXPECT_TRUE(CerrInvalidValue.IsMild());
  C_ERROR::ClearPending();
  EXPECT_TRUE(!C_ERROR::Is() && C_ERROR::GetPending() == nullptr);
}

TEST(C_ERROR, ReportPendingHandsTheTextAndClears) {
  C_ERROR::ClearPending();
  C_ERROR::SetReportHandler(&Capture);
  reports = 0;
  C_ERROR::ReportPending();  // nothing pending: nothing handed
  C_ERROR::Trigger("DDoc#Err#Data of absent extension is lost");
  C_ERROR::ReportPending();
  EXPECT_EQ(reported, "DDoc#Err#Data of absent extension is lost");
  EXPECT_FALSE(C_ERROR::Is());
  // A null handler restores the default: one line on the standard error.
  C_ERROR::SetReportHandler(nullptr);
  CerrInternalError.Trigger();
  testing::internal::CaptureStderr();
  C_ERROR::ReportPending();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "C#Err#Internal error\n");
  EXPECT_EQ(reports, 1);
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

TEST(C_ERROR, CnewLeavesOutOfMemoryPendingOnFailure) {
  C_ERROR::ClearPending();
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer aborts instead of giving null
  EXPECT_EQ(CnewArray<char>(long(1) << 62), nullptr);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrOutOfMemory);
  C_ERROR::ClearPending();
#endif
}

}  // namespace
