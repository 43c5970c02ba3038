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
const double kValues[] = {0.1, -0.0, DBL_MAX, 4.9e-324, -kInf};

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

std::string Nested(int type) {
  C_FILE_MEMORY f(type);
  SaveNested(&f);
  return f.GetContent();
}

TEST(Tpersist, ScalarsRoundTripExactlyInBothForms) {
  C_ERROR::ClearPending();
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    Tsave(42, &f);
    for (double v : kValues) Tsave(v, &f);
    Tsave(std::nan(""), &f);
    Tsave(C_BOOL(true), &f);
    Tsave(int64_t(-9000000000000000001), &f);
    if (type == C_FILE::TEXT) {
      EXPECT_EQ(f.GetContent(), "42\n0.10000000000000001\n-0\n1.7976931348623157e+308\n"
                                "4.9406564584124654e-324\n-inf\nnan\n1\n-9000000000000000001\n");
    } else {
      EXPECT_EQ(f.GetContent().size(), 4 + 8 * 6 + 4 + 8u);
    }
    f.Rewind();
    int i = 0;
    double d[6] = {};
    C_BOOL b;
    int64_t l = 0;
    Tload(1, &f, &i);
    for (double& x : d) Tload(1, &f, &x);
    Tload(1, &f, &b);
    Tload(1, &f, &l);
    EXPECT_EQ(std::memcmp(d, kValues, sizeof kValues), 0);  // bit for bit: -0, subnormals
    EXPECT_TRUE(i == 42 && std::isnan(d[5]) && b && l == int64_t(-9000000000000000001));
    EXPECT_TRUE(!C_ERROR::Is() && f.AtEnd()) << type;
  }
}

TEST(Tpersist, FailedScalarLoadsLeaveTheValueUnchanged) {
  C_ERROR::ClearPending();
  // A malformed line, the end of the stream, a short binary int; a real fails an int.
  for (const std::string& text : {std::string("12x\n"), std::string(), std::string("\x01\x02"),
                                  std::string("1.5\n")}) {
    const int type = text[0] == '\x01' ? C_FILE::BINARY : C_FILE::TEXT;
    C_FILE_MEMORY fi(type, text), fd(type, text);
    int i = -5;
    double d = 8;
    Tload(1, &fi, &i);
    EXPECT_TRUE(C_ERROR::Is() && i == -5) << text;
    C_ERROR::ClearPending();
    Tload(1, &fd, &d);
    const bool real = text == "1.5\n";
    EXPECT_EQ(bool(C_ERROR::Is()), !real) << text;
    EXPECT_EQ(d, real ? 1.5 : 8) << text;
    C_ERROR::ClearPending();
  }
}

TEST(Tpersist, NestedFramesHaveAFixedLayoutAndTloadTermPassesOverUnreadBodies) {
  C_ERROR::ClearPending();
  EXPECT_EQ(Nested(C_FILE::TEXT), "<CC\n1\n<LN\n2.5\n<BS\n4\n>\n>\n3\n>\n99\n");
  // "<", int32 2, "CC", int64 count of the bytes up to the end of ">".
  // innermost: 4 + 1 = 5; inner: 8 + (1 + 4 + 2 + 8 + 5) + 1 = 29;
  // outer: 4 + (1 + 4 + 2 + 8 + 29) + 4 + 1 = 53.
  const std::string c = Nested(C_FILE::BINARY);
  ASSERT_EQ(c.size(), 1 + 4 + 2 + 8 + 53 + 4u);
  const auto at = [&](int pos, int size) {
    int64_t v = 0;  // little-endian
    std::memcpy(&v, c.data() + pos, size);
    return v;
  };
  EXPECT_EQ(c.substr(0, 1) + c.substr(5, 2) + c.substr(c.size() - 5, 1), "<CC>");
  EXPECT_TRUE(at(1, 4) == 2 && at(7, 8) == 53 && at(26, 8) == 29);

  // Read back from memory streams of both forms, and from a disk file whose
  // counts were patched in place.
  const std::string path = testing::TempDir() + "g3geom_t_persist_test.bin";
  C_FILE_MEMORY text(C_FILE::TEXT, Nested(C_FILE::TEXT)), bin(C_FILE::BINARY, c);
  C_FILE_DISK disk;
  ASSERT_TRUE(disk.Open(path.c_str(), "w", C_FILE::BINARY));
  SaveNested(&disk);
  for (C_FILE* f : {static_cast<C_FILE*>(&text), static_cast<C_FILE*>(&bin),
                    static_cast<C_FILE*>(&disk)}) {
    C_STRING name;
    int64_t outer = 0, inner = 0;
    // Stop after the first field; stop inside the nested record before its body.
    for (bool nested : {false, true}) {
      int i = 0;
      f->Seek(0);
      TloadStart(1, f, "<", &name, &outer);
      EXPECT_EQ(name.GetUtf8(), "CC");
      Tload(1, f, &i);
      if (nested) {
        TloadStart(1, f, "<", &name, &inner);
        EXPECT_EQ(name.GetUtf8(), "LN");
        TloadTerm(1, f, "<", ">", inner);
        Tload(1, f, &i);
        EXPECT_EQ(i, 3);
      }
      TloadTerm(1, f, "<", ">", outer);
      Tload(1, f, &i);
      EXPECT_EQ(i, 99) << f << " " << nested;
      EXPECT_FALSE(C_ERROR::Is()) << f << " " << nested;
    }
  }
  disk.Close();
  std::remove(path.c_str());
}

TEST(Tpersist, TruncatedOrCorruptedFramesRaiseErrors) {
  C_ERROR::ClearPending();
  const std::string t = Nested(C_FILE::TEXT), b = Nested(C_FILE::BINARY);
  std::string longCount = b, wrongClose = b;
  longCount[7] = char(0x7F);
  wrongClose[b.size() - 5] = '#';
  // Text: the last close missing. Binary: cut inside the body, a count beyond
  // the end, a wrong close marker.
  const struct {
    int type;
    std::string content;
  } cases[] = {{C_FILE::TEXT, t.substr(0, t.find(">\n3\n") + 4)},
               {C_FILE::BINARY, b.substr(0, b.size() - 10)},
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
  C_FILE_MEMORY bin(C_FILE::BINARY, b);
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
