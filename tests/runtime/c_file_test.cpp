#include "runtime/c_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/c_error.h"

TEST(C_FILE_MEMORY, ReadLineGivesEveryLineThenFails) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY f(C_FILE::TEXT, "a\nbc\r\n\nlast");
  const char* expected[] = {"a", "bc", "", "last"};
  C_STRING line;
  for (const char* e : expected) {
    f.ReadLine(line);
    EXPECT_FALSE(C_ERROR::Is());
    EXPECT_EQ(line.GetUtf8(), e);
  }
  EXPECT_TRUE(f.AtEnd());
  f.ReadLine(line);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrEndOfFile);
  EXPECT_EQ(line.GetUtf8(), "last");  // unchanged
  C_ERROR::ClearPending();
}

TEST(C_FILE_MEMORY, FormattedWriteAppendsWhatPrintfWrites) {
  C_FILE_MEMORY f(C_FILE::TEXT);
  f.Write(C_STRING("P%.16g %.16g %.16g\n"), 1.0, 0.1, -2.5);
  f.Write(C_STRING("%g;%g\n"), 1e300, 2.0);
  f.Write(C_STRING("T%d %d %d\n"), 7, -2, 0);
  f.WriteText("raw");
  EXPECT_EQ(f.GetContent(), "P1 0.1 -2.5\n1e+300;2\nT7 -2 0\nraw");
  EXPECT_FALSE(C_ERROR::Is());
}

TEST(C_FILE_MEMORY, RawBytesShortReadsAndPatching) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY f(C_FILE::BINARY);
  f.Write(6, "abcdef");
  EXPECT_EQ(f.Tell(), 6);
  f.Seek(2);
  f.Write(2, "XY");  // inside the content: overwrites
  EXPECT_EQ(f.GetContent(), "abXYef");
  EXPECT_EQ(f.Tell(), 4);
  f.Rewind();
  char buf[8] = {};
  int64_t count = -1;
  f.Read(4, buf, &count);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(std::string(buf, 4), "abXY");
  EXPECT_FALSE(C_ERROR::Is());
  f.Read(8, buf, &count);  // only two bytes left
  EXPECT_EQ(count, 2);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrEndOfFile);
  C_ERROR::ClearPending();
  f.Seek(7);  // beyond the end
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  EXPECT_EQ(f.Tell(), 6);
  C_ERROR::ClearPending();
}

TEST(C_FILE_DISK, TextAndBinaryFilesReadBackWhatWasWritten) {
  C_ERROR::ClearPending();
  const std::string path = testing::TempDir() + "g3geom_c_file_disk_test.bin";
  {
    C_FILE_DISK f;
    ASSERT_TRUE(f.Open(path.c_str(), "w", C_FILE::BINARY));
    EXPECT_EQ(f.GetType(), C_FILE::BINARY);
    const double v[2] = {0.1, -3.5};
    f.Write(16, v);
    f.Seek(0);  // read back in the same "w" file, then patch
    double first = 0;
    f.Read(8, &first);
    EXPECT_EQ(first, 0.1);
    const double patch = 7.25;
    f.Write(8, &patch);
    f.Close();
    EXPECT_FALSE(C_ERROR::Is());
  }
  {
    C_FILE_DISK f;
    ASSERT_TRUE(f.Open(path.c_str(), "r", C_FILE::BINARY));
    double v[3] = {0, 0, 0};
    int64_t count = -1;
    f.Read(24, v, &count);  // one double short
    EXPECT_EQ(count, 16);
    EXPECT_EQ(C_ERROR::GetPending(), &CerrEndOfFile);
    C_ERROR::ClearPending();
    EXPECT_EQ(v[0], 0.1);
    EXPECT_EQ(v[1], 7.25);
    f.Write(8, v);  // a read-only file
    EXPECT_EQ(C_ERROR::GetPending(), &CerrWriteFailed);
    C_ERROR::ClearPending();
  }
  {
    C_FILE_DISK f;
    ASSERT_TRUE(f.Open(path.c_str(), "w", C_FILE::TEXT));
    f.Write(C_STRING("V%.16g %.16g %.16g\n"), 1.0, 2.0, 3.0);
    f.WriteText("no end of line");
  }  // closed by the destructor
  {
    C_FILE_DISK f;
    ASSERT_TRUE(f.Open(path.c_str(), "r", C_FILE::TEXT));
    C_STRING line;
    f.ReadLine(line);
    EXPECT_EQ(line.GetUtf8(), "V1 2 3");
    EXPECT_FALSE(f.AtEnd());
    f.ReadLine(line);
    EXPECT_EQ(line.GetUtf8(), "no end of line");
    EXPECT_TRUE(f.AtEnd());
    EXPECT_FALSE(C_ERROR::Is());
    f.ReadLine(line);
    EXPECT_EQ(C_ERROR::GetPending(), &CerrEndOfFile);
    C_ERROR::ClearPending();
  }
  std::remove(path.c_str());

  C_FILE_DISK f;
  EXPECT_FALSE(f.Open((path + ".missing/x").c_str(), "r", C_FILE::TEXT));
  EXPECT_EQ(C_ERROR::GetPending(), &CerrCannotOpenFile);
  C_ERROR::ClearPending();
  EXPECT_FALSE(f.Open(path.c_str(), "a", C_FILE::TEXT));
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
  C_STRING line;
  f.ReadLine(line);  // not open
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
}
