#include "runtime/t_persist.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/c_error.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kValues[] = {0.1, 1e-300, -0.0, DBL_MAX, -DBL_MIN, 4.9e-324, kInf, -kInf};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void SaveAll(C_FILE* f) {
  Tsave(42, f);
  Tsave(-7, f);
  for (double v : kValues) Tsave(v, f);
  Tsave(std::numeric_limits<double>::quiet_NaN(), f);
  Tsave(C_BOOL(true), f);
  Tsave(int64_t(-9000000000000000001), f);
}

void CheckLoadAll(C_FILE* f) {
  int i = 0;
  Tload(1, f, &i);
  EXPECT_EQ(i, 42);
  Tload(1, f, &i);
  EXPECT_EQ(i, -7);
  for (double v : kValues) {
    double d = 12345;
    Tload(1, f, &d);
    EXPECT_TRUE(SameBits(d, v)) << v << " read " << d;
  }
  double nan = 0;
  Tload(1, f, &nan);
  EXPECT_TRUE(std::isnan(nan));
  C_BOOL b;
  Tload(1, f, &b);
  EXPECT_TRUE(b);
  int64_t l = 0;
  Tload(1, f, &l);
  EXPECT_EQ(l, int64_t(-9000000000000000001));
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_TRUE(f->AtEnd());
}

// outer "CC" { 1, inner "LN" { 2.5, innermost "BS" { 4 } }, 3 }, then 99.
void SaveNested(C_FILE* f) {
  int64_t outer = 0, inner = 0, innermost = 0;
  TsaveStart("<", "CC", f, &outer);
  Tsave(1, f);
  TsaveStart("<", "LN", f, &inner);
  Tsave(2.5, f);
  TsaveStart("<", "BS", f, &innermost);
  Tsave(4, f);
  TsaveTerm(">", innermost, f);
  TsaveTerm(">", inner, f);
  Tsave(3, f);
  TsaveTerm(">", outer, f);
  Tsave(99, f);
  ASSERT_FALSE(C_ERROR::Is());
}

}  // namespace

TEST(Tpersist, ScalarTextRecordsAreExactLinesAndReadBackExactly) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY f(C_FILE::TEXT);
  SaveAll(&f);
  EXPECT_EQ(f.GetContent(),
            "42\n-7\n0.10000000000000001\n1e-300\n-0\n1.7976931348623157e+308\n"
            "-2.2250738585072014e-308\n4.9406564584124654e-324\ninf\n-inf\nnan\n1\n"
            "-9000000000000000001\n");
  f.Rewind();
  CheckLoadAll(&f);
}

TEST(Tpersist, ScalarBinaryRecordsAreRawBytes) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY f(C_FILE::BINARY);
  SaveAll(&f);
  EXPECT_EQ(f.GetContent().size(), 4 + 4 + 8 * 9 + 4 + 8u);
  int first = 0;
  std::memcpy(&first, f.GetContent().data(), 4);
  EXPECT_EQ(first, 42);
  f.Rewind();
  CheckLoadAll(&f);
}

TEST(Tpersist, FailedScalarLoadsLeaveTheValueUnchanged) {
  C_ERROR::ClearPending();
  const char* badInts[] = {"12x\n", "1.5\n", " 3\n", "\n", "99999999999\n", ""};
  for (const char* text : badInts) {
    C_FILE_MEMORY f(C_FILE::TEXT, text);
    int i = -5;
    Tload(1, &f, &i);
    EXPECT_TRUE(C_ERROR::Is()) << text;
    EXPECT_EQ(i, -5) << text;
    C_ERROR::ClearPending();
  }
  for (const char* text : {"abc\n", "1.5 2\n", "P1 2 3\n"}) {
    C_FILE_MEMORY f(C_FILE::TEXT, text);
    double d = 8;
    Tload(1, &f, &d);
    EXPECT_EQ(C_ERROR::GetPending(), &CerrStringNotReal) << text;
    EXPECT_EQ(d, 8) << text;
    C_ERROR::ClearPending();
  }
  C_FILE_MEMORY shortBinary(C_FILE::BINARY, std::string("\x01\x02\x03", 3));
  int i = -5;
  Tload(1, &shortBinary, &i);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrEndOfFile);
  EXPECT_EQ(i, -5);
  C_ERROR::ClearPending();
  int64_t l = 6;
  C_FILE_MEMORY emptyBinary(C_FILE::BINARY);
  Tload(1, &emptyBinary, &l);
  EXPECT_TRUE(C_ERROR::Is());
  EXPECT_EQ(l, 6);
  C_ERROR::ClearPending();

  // Any other stream type neither reads nor writes.
  C_FILE_MEMORY inert(2, "5\n");
  Tload(1, &inert, &i);
  Tsave(1.5, &inert);
  EXPECT_EQ(i, -5);
  EXPECT_EQ(inert.GetContent(), "5\n");
  EXPECT_FALSE(C_ERROR::Is());
}

TEST(Tpersist, NestedFramesHaveAFixedLayout) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY text(C_FILE::TEXT);
  SaveNested(&text);
  EXPECT_EQ(text.GetContent(), "<CC\n1\n<LN\n2.5\n<BS\n4\n>\n>\n3\n>\n99\n");

  C_FILE_MEMORY bin(C_FILE::BINARY);
  SaveNested(&bin);
  const std::string& c = bin.GetContent();
  // "<", int32 2, "CC", int64 count, then the body and ">".
  // innermost: 4 + 1 = 5; inner: 8 + (1 + 4 + 2 + 8 + 5) + 1 = 29;
  // outer: 4 + (1 + 4 + 2 + 8 + 29) + 4 + 1 = 53.
  ASSERT_EQ(c.size(), 1 + 4 + 2 + 8 + 53 + 4u);
  EXPECT_EQ(c.substr(0, 1), "<");
  int32_t nameLen = 0;
  std::memcpy(&nameLen, c.data() + 1, 4);
  EXPECT_EQ(nameLen, 2);
  EXPECT_EQ(c.substr(5, 2), "CC");
  int64_t count = 0;
  std::memcpy(&count, c.data() + 7, 8);
  EXPECT_EQ(count, 53);
  std::memcpy(&count, c.data() + 15 + 4 + 7, 8);
  EXPECT_EQ(count, 29);
  EXPECT_EQ(c.substr(c.size() - 5, 1), ">");

  for (C_FILE_MEMORY* f : {&text, &bin}) {
    f->Rewind();
    C_STRING name;
    int64_t outer = 0, inner = 0, innermost = 0;
    int i = 0;
    double d = 0;
    TloadStart(1, f, "<", &name, &outer);
    EXPECT_EQ(name.GetUtf8(), "CC");
    Tload(1, f, &i);
    EXPECT_EQ(i, 1);
    TloadStart(1, f, "<", &name, &inner);
    EXPECT_EQ(name.GetUtf8(), "LN");
    Tload(1, f, &d);
    EXPECT_EQ(d, 2.5);
    TloadStart(1, f, "<", &name, &innermost);
    EXPECT_EQ(name.GetUtf8(), "BS");
    Tload(1, f, &i);
    EXPECT_EQ(i, 4);
    TloadTerm(1, f, "<", ">", innermost);
    TloadTerm(1, f, "<", ">", inner);
    Tload(1, f, &i);
    EXPECT_EQ(i, 3);
    TloadTerm(1, f, "<", ">", outer);
    Tload(1, f, &i);
    EXPECT_EQ(i, 99);
    EXPECT_FALSE(C_ERROR::Is());
  }
}

TEST(Tpersist, TloadTermPassesOverAnUnreadBodyWithNestedFrames) {
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_ERROR::ClearPending();
    C_FILE_MEMORY f(type);
    SaveNested(&f);
    f.Rewind();
    C_STRING name;
    int64_t outer = 0, inner = 0;
    int i = 0;
    // A reader that knows only the first field of the outer record.
    TloadStart(1, &f, "<", &name, &outer);
    Tload(1, &f, &i);
    TloadTerm(1, &f, "<", ">", outer);
    Tload(1, &f, &i);
    EXPECT_EQ(i, 99) << type;
    EXPECT_FALSE(C_ERROR::Is()) << type;
    // A reader that stops inside the nested record before its own body.
    f.Rewind();
    TloadStart(1, &f, "<", &name, &outer);
    Tload(1, &f, &i);
    TloadStart(1, &f, "<", &name, &inner);
    TloadTerm(1, &f, "<", ">", inner);
    Tload(1, &f, &i);
    EXPECT_EQ(i, 3) << type;
    TloadTerm(1, &f, "<", ">", outer);
    Tload(1, &f, &i);
    EXPECT_EQ(i, 99) << type;
    EXPECT_FALSE(C_ERROR::Is()) << type;
  }
}

TEST(Tpersist, TruncatedOrCorruptedFramesRaiseErrors) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY text(C_FILE::TEXT);
  SaveNested(&text);
  C_FILE_MEMORY bin(C_FILE::BINARY);
  SaveNested(&bin);
  const std::string t = text.GetContent();
  const std::string b = bin.GetContent();
  std::string longCount = b;
  longCount[7] = char(0x7F);  // count far beyond the end
  std::string wrongClose = b;
  wrongClose[b.size() - 5] = '#';
  // Text: the last close missing; binary: cut inside the body, a wrong open
  // marker, a count beyond the end, a wrong close marker.
  const struct {
    int type;
    std::string content;
  } cases[] = {{C_FILE::TEXT, t.substr(0, t.find(">\n3\n") + 4)},
               {C_FILE::TEXT, "5\n1\n>\n"},
               {C_FILE::TEXT, ""},
               {C_FILE::BINARY, b.substr(0, b.size() - 10)},
               {C_FILE::BINARY, "#" + b.substr(1)},
               {C_FILE::BINARY, b.substr(0, 3)},
               {C_FILE::BINARY, longCount},
               {C_FILE::BINARY, wrongClose}};
  for (const auto& c : cases) {
    C_FILE_MEMORY f(c.type, c.content);
    C_STRING name;
    int64_t outer = 0;
    TloadStart(1, &f, "<", &name, &outer);
    if (!C_ERROR::Is()) TloadTerm(1, &f, "<", ">", outer);
    EXPECT_EQ(C_ERROR::GetPending(), &TerrCorruptedRecord) << c.type << " " << c.content.size();
    C_ERROR::ClearPending();
  }
  // A body read beyond its end (a reader out of step with the record).
  C_FILE_MEMORY f(C_FILE::BINARY);
  int64_t pos = 0;
  TsaveStart("<", "X", &f, &pos);
  Tsave(1, &f);
  TsaveTerm(">", pos, &f);
  Tsave(2, &f);
  f.Rewind();
  C_STRING name;
  TloadStart(1, &f, "<", &name, &pos);
  double d = 0;
  Tload(1, &f, &d);  // 8 bytes where 4 were written
  TloadTerm(1, &f, "<", ">", pos);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrCorruptedRecord);
  C_ERROR::ClearPending();
}

TEST(Tpersist, BinaryFramesArePatchedInDiskFiles) {
  C_ERROR::ClearPending();
  const std::string path = testing::TempDir() + "g3geom_t_persist_test.bin";
  {
    C_FILE_DISK f;
    ASSERT_TRUE(f.Open(path.c_str(), "w", C_FILE::BINARY));
    SaveNested(&f);
    f.Close();
  }
  C_FILE_DISK f;
  ASSERT_TRUE(f.Open(path.c_str(), "r", C_FILE::BINARY));
  C_STRING name;
  int64_t outer = 0;
  int i = 0;
  TloadStart(1, &f, "<", &name, &outer);
  EXPECT_EQ(name.GetUtf8(), "CC");
  TloadTerm(1, &f, "<", ">", outer);
  Tload(1, &f, &i);
  EXPECT_EQ(i, 99);
  EXPECT_FALSE(C_ERROR::Is());
  f.Close();
  std::remove(path.c_str());
}
