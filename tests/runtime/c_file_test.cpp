#include "runtime/c_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/c_error.h"

namespace {

// True when exactly e is pending; clears it.
bool Raised(const C_ERROR& e) {
  const bool same = C_ERROR::GetPending() == &e;
  C_ERROR::ClearPending();
  return same;
}

// Reads every line of f, expecting lines, then the end of the file with the
// line left unchanged.
void ExpectLines(C_FILE* f, std::initializer_list<const char*> lines) {
  C_STRING line;
  for (const char* expected : lines) {
    f->ReadLine(line);
    EXPECT_EQ(line.GetUtf8(), expected);
  }
  EXPECT_TRUE(!C_ERROR::Is() && f->AtEnd());
  f->ReadLine(line);
  EXPECT_TRUE(Raised(CerrEndOfFile) && line.GetUtf8() == *(lines.end() - 1));
}

TEST(C_FILE_MEMORY, TextLinesAndFormattedWrites) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY in(C_FILE::TEXT, "a\nbc\r\n\nlast");
  ExpectLines(&in, {"a", "bc", "", "last"});
  C_FILE_MEMORY out(C_FILE::TEXT);  // exactly what printf writes
  out.Write(C_STRING("P%.16g %.16g %g\n"), 1.0, 0.1, 1e300);
  out.Write(C_STRING("T%d %d %d\n"), 7, -2, 0);
  EXPECT_EQ(out.GetContent(), "P1 0.1 1e+300\nT7 -2 0\n");
}

TEST(C_FILE_MEMORY, RawBytesShortReadsAndPatching) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY f(C_FILE::BINARY);
  f.Write(6, "abcdef");
  f.Seek(2);
  f.Write(2, "XY");  // inside the content: overwrites
  EXPECT_TRUE(f.GetContent() == "abXYef" && f.Tell() == 4);
  char buf[8] = {};
  int64_t count = -1;
  f.Read(8, buf, &count);  // two bytes left
  EXPECT_TRUE(count == 2 && std::string(buf, 2) == "ef");
  EXPECT_TRUE(Raised(CerrEndOfFile));
  f.Seek(7);  // beyond the end
  EXPECT_TRUE(Raised(CerrInvalidValue) && f.Tell() == 6);
}

TEST(C_FILE_DISK, FilesReadBackWhatWasWrittenAndReportFailures) {
  C_ERROR::ClearPending();
  const std::string path = testing::TempDir() + "g3geom_c_file_disk_test";
  C_FILE_DISK f;
  ASSERT_TRUE(f.Open(path.c_str(), "w", C_FILE::BINARY));
  const double v[2] = {0.1, -3.5};
  double back[3] = {0, 0, 0};
  f.Write(16, v);
  ASSERT_TRUE(f.Open(path.c_str(), "r", C_FILE::BINARY));  // closes the previous one
  int64_t count = -1;
  f.Read(24, back, &count);
  EXPECT_TRUE(count == 16 && back[1] == -3.5);
  EXPECT_TRUE(Raised(CerrEndOfFile));
  f.Write(8, v);  // a file opened for reading
  EXPECT_TRUE(Raised(CerrWriteFailed));

  ASSERT_TRUE(f.Open(path.c_str(), "w", C_FILE::TEXT));
  f.Write(C_STRING("V%.16g %.16g %.16g\n"), 1.0, 2.0, 3.0);
  f.WriteText("no end of line");
  ASSERT_TRUE(f.Open(path.c_str(), "r", C_FILE::TEXT));
  ExpectLines(&f, {"V1 2 3", "no end of line"});
  f.Close();
  std::remove(path.c_str());
  EXPECT_FALSE(f.Open((path + ".missing/x").c_str(), "r", C_FILE::TEXT));
  EXPECT_TRUE(Raised(CerrCannotOpenFile));
}

}  // namespace
