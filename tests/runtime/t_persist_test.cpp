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

void SaveAll(C_FILE* f) {
  Tsave(42, f);
  for (double v : kValues) Tsave(v, f);
  Tsave(std::nan(""), f);
  Tsave(C_BOOL(true), f);
  Tsave(int64_t(-9000000000000000001), f);
}

void CheckLoadAll(C_FILE* f) {
  int i = 0;
  Tload(1, f, &i);
  EXPECT_EQ(i, 42);
  for (double v : kValues) {
    double d = 12345;
    Tload(1, f, &d);
    EXPECT_EQ(std::memcmp(&d, &v, sizeof d), 0) << v << " read as " << d;
  }
  double nan = 0;
  C_BOOL b;
  int64_t l = 0;
  Tload(1, f, &nan);
  Tload(1, f, &b);
  Tload(1, f, &l);
  EXPECT_TRUE(std::isnan(nan) && b && l == int64_t(-9000000000000000001));
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

TEST(Tpersist, ScalarsRoundTripExactlyInBothForms) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY text(C_FILE::TEXT), bin(C_FILE::BINARY);
  SaveAll(&text);
  SaveAll(&bin);
  EXPECT_EQ(text.GetContent(),
            "42\n0.10000000000000001\n1e-300\n-0\n1.7976931348623157e+308\n"
            "-2.2250738585072014e-308\n4.9406564584124654e-324\ninf\n-inf\nnan\n1\n"
            "-9000000000000000001\n");
  EXPECT_EQ(bin.GetContent().size(), 4 + 8 * 9 + 4 + 8u);
  text.Rewind();
  bin.Rewind();
  CheckLoadAll(&text);
  CheckLoadAll(&bin);
}

TEST(Tpersist, FailedScalarLoadsLeaveTheValueUnchanged) {
  C_ERROR::ClearPending();
  // Malformed lines and the end of the stream, for an int and a double.
  const struct {
    const char* text;
    bool doubleFails;
  } cases[] = {{"12x\n", true},    {"1.5 2\n", true}, {" 3\n", true},  {"\n", true},
               {"P1 2 3\n", true}, {"", true},        {"1.5\n", false}};
  for (const auto& c : cases) {
    C_FILE_MEMORY fi(C_FILE::TEXT, c.text), fd(C_FILE::TEXT, c.text);
    int i = -5;
    double d = 8;
    Tload(1, &fi, &i);
    EXPECT_TRUE(C_ERROR::Is() && i == -5) << c.text;
    C_ERROR::ClearPending();
    Tload(1, &fd, &d);
    EXPECT_EQ(bool(C_ERROR::Is()), c.doubleFails) << c.text;
    EXPECT_EQ(d, c.doubleFails ? 8 : 1.5) << c.text;
    C_ERROR::ClearPending();
  }
  C_FILE_MEMORY shortBinary(C_FILE::BINARY, std::string("\x01\x02\x03", 3));
  int i = -5;
  Tload(1, &shortBinary, &i);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrEndOfFile);
  EXPECT_EQ(i, -5);
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
  C_FILE_MEMORY text(C_FILE::TEXT), bin(C_FILE::BINARY);
  SaveNested(&text);
  SaveNested(&bin);
  EXPECT_EQ(text.GetContent(), "<CC\n1\n<LN\n2.5\n<BS\n4\n>\n>\n3\n>\n99\n");
  // "<", int32 2, "CC", int64 count of the bytes up to the end of ">".
  // innermost: 4 + 1 = 5; inner: 8 + (1 + 4 + 2 + 8 + 5) + 1 = 29;
  // outer: 4 + (1 + 4 + 2 + 8 + 29) + 4 + 1 = 53.
  const std::string& c = bin.GetContent();
  ASSERT_EQ(c.size(), 1 + 4 + 2 + 8 + 53 + 4u);
  int32_t nameLen = 0;
  int64_t outer = 0, inner = 0;
  std::memcpy(&nameLen, c.data() + 1, 4);
  std::memcpy(&outer, c.data() + 7, 8);
  std::memcpy(&inner, c.data() + 26, 8);
  EXPECT_EQ(c.substr(0, 1) + c.substr(5, 2) + c.substr(c.size() - 5, 1), "<CC>");
  EXPECT_EQ(nameLen, 2);
  EXPECT_EQ(outer, 53);
  EXPECT_EQ(inner, 29);
}

TEST(Tpersist, TloadTermPassesOverTheUnreadBodyWithNestedFrames) {
  C_ERROR::ClearPending();
  // Memory streams of both forms, and a disk file whose counts are patched.
  const std::string path = testing::TempDir() + "g3geom_t_persist_test.bin";
  C_FILE_MEMORY text(C_FILE::TEXT), bin(C_FILE::BINARY);
  C_FILE_DISK disk;
  ASSERT_TRUE(disk.Open(path.c_str(), "w", C_FILE::BINARY));
  for (C_FILE* f :
       {static_cast<C_FILE*>(&text), static_cast<C_FILE*>(&bin), static_cast<C_FILE*>(&disk)}) {
    SaveNested(f);
    C_STRING name;
    int64_t outer = 0, inner = 0;
    int i = 0;
    // Read to the end; stop after the first field; stop inside the nested
    // record before its body.
    for (int reader = 0; reader < 3; ++reader) {
      f->Seek(0);
      TloadStart(1, f, "<", &name, &outer);
      EXPECT_EQ(name.GetUtf8(), "CC");
      Tload(1, f, &i);
      if (reader != 1) {
        TloadStart(1, f, "<", &name, &inner);
        EXPECT_EQ(name.GetUtf8(), "LN");
        double d = 0;
        if (reader == 0) Tload(1, f, &d);
        EXPECT_EQ(d, reader == 0 ? 2.5 : 0);
        TloadTerm(1, f, "<", ">", inner);
        Tload(1, f, &i);
        EXPECT_EQ(i, 3);
      }
      TloadTerm(1, f, "<", ">", outer);
      Tload(1, f, &i);
      EXPECT_EQ(i, 99) << f << " " << reader;
      EXPECT_FALSE(C_ERROR::Is()) << f << " " << reader;
    }
  }
  disk.Close();
  std::remove(path.c_str());
}

TEST(Tpersist, TruncatedOrCorruptedFramesRaiseErrors) {
  C_ERROR::ClearPending();
  C_FILE_MEMORY text(C_FILE::TEXT), bin(C_FILE::BINARY);
  SaveNested(&text);
  SaveNested(&bin);
  const std::string t = text.GetContent(), b = bin.GetContent();
  std::string longCount = b, wrongClose = b;
  longCount[7] = char(0x7F);
  wrongClose[b.size() - 5] = '#';
  // Text: the last close missing, no open line, nothing. Binary: cut inside
  // the body, a wrong open marker, cut inside the name, a count beyond the
  // end, a wrong close marker.
  const struct {
    int type;
    std::string content;
  } cases[] = {{C_FILE::TEXT, t.substr(0, t.find(">\n3\n") + 4)},
               {C_FILE::TEXT, "5\n1\n>\n"},
               {C_FILE::TEXT, ""},
               {C_FILE::BINARY, b.substr(0, b.size() - 10)},
               {C_FILE::BINARY, "#" + b.substr(1)},
               {C_FILE::BINARY, b.substr(0, 6)},
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
  // A reader that goes beyond the end of the inner body (28 bytes).
  bin.Rewind();
  C_STRING name;
  int64_t outer = 0, inner = 0;
  char body[29];
  TloadStart(1, &bin, "<", &name, &outer);
  bin.Read(4, body);
  TloadStart(1, &bin, "<", &name, &inner);
  bin.Read(29, body);
  TloadTerm(1, &bin, "<", ">", inner);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrCorruptedRecord);
  C_ERROR::ClearPending();
}

}  // namespace
