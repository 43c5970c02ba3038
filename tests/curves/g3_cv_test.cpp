#include "curves/g3_cv.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "curves/g3_cv_circle.h"
#include "curves/g3_cv_composit.h"
#include "curves/g3_cv_line.h"
#include "curves/g3_cv_polygon.h"
#include "curves_test_util.h"
#include "frame/g_errors.h"
#include "runtime/c_file.h"
#include "runtime/t_persist.h"

using namespace curves_test;

namespace {

// A curve class of the host's own: a helix with two fields of its own.
class TEST_CV_HELIX : public G3_CV {
 public:
  static const C_STRING CLASS;
  double pitch = 0;
  int turns = 0;
  const C_STRING& GetClass() const override { return CLASS; }
  G3_CV* Clone() const override { return new TEST_CV_HELIX(*this); }
  void Save(C_FILE* file) const override {
    G3_CV::Save(file);
    if (C_ERROR::Is()) return;
    Tsave(pitch, file);
    Tsave(turns, file);
  }
  void Load(int version, C_FILE* file) override {
    G3_CV::Load(version, file);
    if (C_ERROR::Is()) return;
    Tload(version, file, &pitch);
    Tload(version, file, &turns);
  }
  static G3_CV* Generate() { return new TEST_CV_HELIX; }
};
const C_STRING TEST_CV_HELIX::CLASS("G3_CV_TESTHELIX");

// A newer version of the helix, unknown to the registry: it writes more.
class TEST_CV_HELIX_PLUS : public TEST_CV_HELIX {
 public:
  static const C_STRING CLASS;
  const C_STRING& GetClass() const override { return CLASS; }
  G3_CV* Clone() const override { return new TEST_CV_HELIX_PLUS(*this); }
  void Save(C_FILE* file) const override {
    TEST_CV_HELIX::Save(file);
    if (C_ERROR::Is()) return;
    // Extra data holding nested records, all to be passed over.
    G3_CV_COMPOSIT c;
    G3_CV_LINE l;
    c.Append(l);
    c.SaveEnc(file);
  }
};
const C_STRING TEST_CV_HELIX_PLUS::CLASS("G3_CV_TESTHELIX_PLUS");

// A client line whose class name begins with a short tag.
class TEST_LN_CLIENT : public G3_CV_LINE {
 public:
  static const C_STRING CLASS;
  const C_STRING& GetClass() const override { return CLASS; }
  G3_CV* Clone() const override { return new TEST_LN_CLIENT(*this); }
};
const C_STRING TEST_LN_CLIENT::CLASS("LNX_CLIENT");

void RegisterHelix() {
  static bool done = false;
  if (!done) G3_CV::AddDefaultGenerator(TEST_CV_HELIX::CLASS, &TEST_CV_HELIX::Generate);
  done = true;
}

std::string Text(const G3_CV& cv) {
  C_FILE_MEMORY f(C_FILE::TEXT);
  cv.Save(&f);
  return f.GetContent();
}

std::string TextEnc(const G3_CV& cv) {
  C_FILE_MEMORY f(C_FILE::TEXT);
  cv.SaveEnc(&f);
  return f.GetContent();
}

}  // namespace

TEST_F(CurveTest, DefaultCurveAndItsChecks) {
  G3_CV c;
  EXPECT_EQ(c.GetElt(), nullptr);
  EXPECT_EQ(c.GetTokens().GetNumber(), 0);
  EXPECT_EQ(c.GetStart(), 0);
  EXPECT_EQ(c.GetEnd(), 1);
  EXPECT_EQ(c.GetSpan(), 1);
  EXPECT_EQ(G3_CV(2, -1.5).GetSpan(), -3.5);
  EXPECT_TRUE(c.GetClass() == C_STRING("G3_CV"));
  EXPECT_TRUE(c.GetClassName() == C_STRING("#curve"));
  EXPECT_FALSE(c.IsLine() || c.IsPolygon() || c.IsCircle() || c.IsEllipse());
  EXPECT_TRUE(c.IsClass("G3_CV"));
  EXPECT_FALSE(c.IsClass("G3_CV_LINE"));

  const struct {
    void (G3_CV::*check)() const;
    const C_ERROR* error;
  } checks[] = {{&G3_CV::CheckIsLine, &GerrNotALine},
                {&G3_CV::CheckIsPolygon, &GerrNotAPolygon},
                {&G3_CV::CheckIsCircle, &GerrNotACircle},
                {&G3_CV::CheckIsEllipse, &GerrNotAEllipse}};
  for (const auto& k : checks) {
    (c.*k.check)();
    EXPECT_EQ(C_ERROR::GetPending(), k.error);
    C_ERROR::ClearPending();
  }
  EXPECT_STREQ(GerrNotALine.GetText(), "G#Err#not a line");
  c.CheckIsClass("G3_CV");
  EXPECT_FALSE(C_ERROR::Is());
  c.CheckIsClass("G3_CV_LINE");
  EXPECT_EQ(C_ERROR::GetPending(), &GerrWrongTypeOfCurve);
  C_ERROR::ClearPending();

  // A line passes its own check only.
  G3_CV_LINE line;
  const G3_CV& as_base = line;
  as_base.CheckIsLine();
  EXPECT_FALSE(C_ERROR::Is());
  as_base.CheckIsCircle();
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNotACircle);
}

TEST_F(CurveTest, BaseCannotCloneAndCurvesHaveNoOrder) {
  G3_CV c(1, 4);
  c.SetElt(E(3));
  c.GetTokensAdr()->Append(G_TOKEN(E(3), 2, 2));
  EXPECT_EQ(c.Clone(), nullptr);
  EXPECT_STREQ(PendingText(), "Clone()");
  C_ERROR::ClearPending();
  EXPECT_EQ(c.CloneSame(), nullptr);
  EXPECT_STREQ(PendingText(), "Clone()");
  C_ERROR::ClearPending();

  G3_CV copy(c);
  EXPECT_EQ(copy.GetElt(), E(3));
  EXPECT_EQ(copy.GetTokens().GetNumber(), 1);
  EXPECT_EQ(copy.GetStart(), 1);
  EXPECT_EQ(copy.GetEnd(), 4);
  G3_CV assigned;
  assigned = c;
  EXPECT_EQ(assigned.GetTokens().Get(0).GetKey(), 2);
  EXPECT_FALSE(copy == c);
  EXPECT_TRUE(copy != c);
  EXPECT_FALSE(copy > c);
  EXPECT_FALSE(c == c);
  EXPECT_EQ(G3_CV::VOID.GetSpan(), 1);
}

TEST_F(CurveTest, RegistryFindsExactNamesThenTheLongestPrefix) {
  RegisterHelix();
  std::unique_ptr<G3_CV> d(G3_CV::GenerateDefault());
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->IsClass("G3_CV"));

  // A registration that sorts first clears the flag; the next lookup sorts.
  G3_CV::AddDefaultGenerator("AAA_TEST_FIRST", &G3_CV::GenerateDefault);
  EXPECT_FALSE(G3_CV::DefaultGenerators.IsSorted());
  C_BOOL lost = true;
  std::unique_ptr<G3_CV> exact(G3_CV::GenerateDefault(TEST_CV_HELIX::CLASS, &lost));
  EXPECT_TRUE(G3_CV::DefaultGenerators.IsSorted());
  ASSERT_NE(exact, nullptr);
  EXPECT_TRUE(exact->IsClass(TEST_CV_HELIX::CLASS));
  EXPECT_FALSE(lost);

  // Unknown names: the longest registered prefix, and lost set.
  std::unique_ptr<G3_CV> longer(G3_CV::GenerateDefault("G3_CV_TESTHELIX_V9", &lost));
  ASSERT_NE(longer, nullptr);
  EXPECT_TRUE(longer->IsClass(TEST_CV_HELIX::CLASS));
  EXPECT_TRUE(lost);
  std::unique_ptr<G3_CV> base(G3_CV::GenerateDefault("G3_CV_SPIRAL", &lost));
  ASSERT_NE(base, nullptr);
  EXPECT_TRUE(base->IsClass("G3_CV"));
  EXPECT_TRUE(lost);
  std::unique_ptr<G3_CV> own(G3_CV::GenerateDefault("G3_CV", &lost));
  EXPECT_FALSE(lost);
  EXPECT_EQ(G3_CV::GenerateDefault("SPIRAL", &lost), nullptr);
  EXPECT_TRUE(lost);
  std::unique_ptr<G3_CV> no_flag(G3_CV::GenerateDefault("G3_CV_X", nullptr));
  EXPECT_NE(no_flag, nullptr);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(CurveTest, BaseRecordWritesTokensOnlyWhenExplicit) {
  G3_CV c(0.5, 2);
  c.SetElt(E(5));
  c.GetTokensAdr()->Append(G_TOKEN(E(5), 1, 0));
  EXPECT_EQ(Text(c), "5\n0\n0.5\n2\n");
  // Key -1 and index -1 are still the owner's own token.
  c.GetTokensAdr()->GetAdr(0)->SetKey(-1);
  c.GetTokensAdr()->GetAdr(0)->SetIndex(-1);
  EXPECT_EQ(Text(c), "5\n0\n0.5\n2\n");
  // Any other key, another element or a second token makes them explicit.
  c.GetTokensAdr()->GetAdr(0)->SetKey(2);
  EXPECT_EQ(Text(c), "5\n1\n1\nT5 2 -1\n0\n0.5\n2\n");
  c.GetTokensAdr()->GetAdr(0)->SetKey(1);
  c.GetTokensAdr()->GetAdr(0)->SetElt(E(6));
  EXPECT_EQ(Text(c), "5\n1\n1\nT6 1 -1\n0\n0.5\n2\n");
  c.GetTokensAdr()->GetAdr(0)->SetElt(E(5));
  c.GetTokensAdr()->Append(G_TOKEN(E(5), 1, 0));
  EXPECT_EQ(Text(c), "5\n1\n2\nT5 1 -1\nT5 1 0\n0\n0.5\n2\n");
  EXPECT_EQ(Text(G3_CV()), "0\n1\n0\n0\n0\n1\n");

  // Loaded back at 603021 and later, the implicit token is (owner, 1, 0).
  G3_CV one(3, 4);
  one.SetElt(E(8));
  one.GetTokensAdr()->Append(G_TOKEN(E(8), -1, -1));
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    one.Save(&f);
    f.Rewind();
    G3_CV r;
    r.Load(kV603021, &f);
    ASSERT_FALSE(C_ERROR::Is());
    EXPECT_TRUE(f.AtEnd());
    EXPECT_EQ(r.GetElt(), E(8));
    ASSERT_EQ(r.GetTokens().GetNumber(), 1);
    EXPECT_EQ(r.GetTokens().Get(0).GetElt(), E(8));
    EXPECT_EQ(r.GetTokens().Get(0).GetKey(), 1);
    EXPECT_EQ(r.GetTokens().Get(0).GetIndex(), 0);
    EXPECT_EQ(r.GetStart(), 3);
    EXPECT_EQ(r.GetEnd(), 4);
  }
}

TEST_F(CurveTest, BaseRecordVersionThresholds) {
  struct CASE {
    int version;
    const char* text;
    intptr_t elt;  // expected owner (77: left as it was)
    int tokens;
  };
  const CASE cases[] = {
      {kV601038, "1\nT3 4 5\n0\n1.5\n2.5\n", 77, 1},     // no owner, no flag
      {kV601039, "9\n1\nT3 4 5\n0\n1.5\n2.5\n", 9, 1},   // owner, no flag
      {kV603020, "9\n1\nT3 4 5\n0\n1.5\n2.5\n", 9, 1},   // still no flag
      {kV603021, "9\n1\n1\nT3 4 5\n0\n1.5\n2.5\n", 9, 1},  // explicit tokens
      {kV603021, "9\n0\n1.5\n2.5\n", 9, 1},              // the implicit token
      {kV603021, "9\n1\n0\n0\n1.5\n2.5\n", 9, 0},        // explicitly none
  };
  for (const CASE& k : cases) {
    C_FILE_MEMORY f(C_FILE::TEXT, k.text);
    G3_CV c;
    c.SetElt(E(77));
    c.Load(k.version, &f);
    ASSERT_FALSE(C_ERROR::Is()) << k.version << " " << k.text;
    EXPECT_TRUE(f.AtEnd()) << k.version;
    EXPECT_EQ(c.GetElt(), E(k.elt)) << k.version;
    ASSERT_EQ(c.GetTokens().GetNumber(), k.tokens) << k.version;
    if (k.tokens == 1 && k.text[2] == '0') {
      EXPECT_EQ(c.GetTokens().Get(0).GetElt(), E(9));
      EXPECT_EQ(c.GetTokens().Get(0).GetKey(), 1);
    } else if (k.tokens == 1) {
      EXPECT_EQ(c.GetTokens().Get(0).GetElt(), E(3));
      EXPECT_EQ(c.GetTokens().Get(0).GetIndex(), 5);
    }
    EXPECT_EQ(c.GetStart(), 1.5);
    EXPECT_EQ(c.GetEnd(), 2.5);
  }
  // A bad token record stops the load before the span.
  C_FILE_MEMORY bad(C_FILE::TEXT, "9\n1\n1\nQ3 4 5\n0\n1.5\n2.5\n");
  G3_CV c;
  c.Load(kV603021, &bad);
  EXPECT_STREQ(PendingText(), "T#Err#Invalid file (token expected)");
  EXPECT_EQ(c.GetEnd(), 1);
}

TEST_F(CurveTest, EncodedRecordsUseShortTagsForLibraryClassesOnly) {
  EXPECT_EQ(TextEnc(G3_CV()), "<G3_CV\n0\n1\n0\n0\n0\n1\n>\n");
  EXPECT_EQ(TextEnc(G3_CV_LINE()).substr(0, 4), "<LN\n");
  EXPECT_EQ(TextEnc(G3_CV_POLYGON()).substr(0, 4), "<PG\n");
  EXPECT_EQ(TextEnc(G3_CV_CIRCLE()).substr(0, 4), "<CR\n");
  EXPECT_EQ(TextEnc(G3_CV_COMPOSIT()).substr(0, 4), "<CC\n");
  // A derived class is tagged with its own class name.
  EXPECT_EQ(TextEnc(TEST_LN_CLIENT()).substr(0, 12), "<LNX_CLIENT\n");
  EXPECT_EQ(TextEnc(TEST_CV_HELIX()).substr(0, 17), "<G3_CV_TESTHELIX\n");
  std::string s = TextEnc(G3_CV_LINE());
  EXPECT_EQ(s.substr(s.size() - 2), ">\n");
}

TEST_F(CurveTest, LoadEncPicksTheClassByTagAndVersion) {
  RegisterHelix();
  TEST_CV_HELIX h;
  h.pitch = 2.5;
  h.turns = 7;
  h.SetStartEnd(0, 14);
  G3_CV_LINE line(G3_POINT(1, 2, 3), G3_POINT(1, 2, 8));
  TEST_LN_CLIENT client;
  client.SetPULen(4);
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    h.SaveEnc(&f);
    line.SaveEnc(&f);
    client.SaveEnc(&f);
    G3_CV().SaveEnc(&f);
    f.Rewind();
    std::unique_ptr<G3_CV> a(G3_CV::LoadEnc(kV603021, &f));
    ASSERT_NE(a, nullptr) << PendingText();
    ASSERT_TRUE(a->IsClass(TEST_CV_HELIX::CLASS));
    EXPECT_EQ(static_cast<TEST_CV_HELIX*>(a.get())->pitch, 2.5);
    EXPECT_EQ(static_cast<TEST_CV_HELIX*>(a.get())->turns, 7);
    EXPECT_EQ(a->GetEnd(), 14);
    std::unique_ptr<G3_CV> b(G3_CV::LoadEnc(kV603021, &f));
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->IsLine());
    EXPECT_EQ(static_cast<G3_CV_LINE*>(b.get())->GetPULen(), 5);
    // "LNX_CLIENT" begins with "LN": a library line from 603021 on.
    std::unique_ptr<G3_CV> c(G3_CV::LoadEnc(kV603021, &f));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->IsClass("G3_CV_LINE"));
    EXPECT_EQ(static_cast<G3_CV_LINE*>(c.get())->GetPULen(), 4);
    // A record tagged "G3_CV" is a plain curve, with no message.
    std::unique_ptr<G3_CV> d(G3_CV::LoadEnc(kV603021, &f));
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->IsClass("G3_CV"));
    EXPECT_TRUE(f.AtEnd());
    EXPECT_TRUE(Reports().empty());
  }

  // Below 603021 the short tags mean nothing: "LN" has no registered prefix,
  // and "LNX_CLIENT" neither.
  C_FILE_MEMORY old(C_FILE::TEXT);
  line.SaveEnc(&old);
  old.Rewind();
  EXPECT_EQ(G3_CV::LoadEnc(kV603020, &old), nullptr);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrUnableToLoadCurve);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_EQ(Reports()[0], "DDoc#Err#Data of absent extension is lost");
}

TEST_F(CurveTest, AbsentClassIsReadAsItsRegisteredBaseAndTheRestSkipped) {
  RegisterHelix();
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    Reports().clear();
    C_FILE_MEMORY f(type);
    // An older file naming the line by its class name.
    int64_t pos = 0;
    TsaveStart("<", G3_CV_LINE::CLASS, &f, &pos, 0);
    // Its base record has the older form: owner, token list, span.
    Tsave(0, &f);
    Tsave(0, &f);
    Tsave(C_BOOL(false), &f);
    Tsave(0.25, &f);
    Tsave(0.75, &f);
    G3_POINT(0, 0, 0).Save(&f);
    G3_VECTOR(0, 1, 0).Save(&f);
    Tsave(3.0, &f);
    TsaveTerm(">", pos, &f, 0);
    // A newer helix with nested records in its extra data.
    TEST_CV_HELIX_PLUS plus;
    plus.pitch = 9;
    plus.SaveEnc(&f);
    G3_CV_CIRCLE().SaveEnc(&f);
    f.Rewind();

    std::unique_ptr<G3_CV> a(G3_CV::LoadEnc(kV603020, &f));
    ASSERT_NE(a, nullptr) << PendingText();
    EXPECT_FALSE(C_ERROR::Is());
    EXPECT_TRUE(a->IsClass("G3_CV"));
    EXPECT_EQ(a->GetStart(), 0.25);
    EXPECT_EQ(a->GetEnd(), 0.75);
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_EQ(Reports()[0], "DDoc#Err#Data of absent extension is lost");

    std::unique_ptr<G3_CV> b(G3_CV::LoadEnc(kVNow, &f));
    ASSERT_NE(b, nullptr) << PendingText();
    EXPECT_TRUE(b->IsClass(TEST_CV_HELIX::CLASS));
    EXPECT_EQ(static_cast<TEST_CV_HELIX*>(b.get())->pitch, 9);
    EXPECT_EQ(Reports().size(), 2u);

    std::unique_ptr<G3_CV> c(G3_CV::LoadEnc(kVNow, &f));
    ASSERT_NE(c, nullptr) << PendingText();
    EXPECT_TRUE(c->IsCircle());
    EXPECT_TRUE(f.AtEnd());
  }
}

TEST_F(CurveTest, UnknownTagsAndBrokenFramesGiveNull) {
  C_FILE_MEMORY unknown(C_FILE::TEXT, "<SPIRAL\n0\n1\n0\n0\n0\n1\n>\n");
  EXPECT_EQ(G3_CV::LoadEnc(kVNow, &unknown), nullptr);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrUnableToLoadCurve);
  EXPECT_STREQ(GerrUnableToLoadCurve.GetText(), "G#Err#unable to load curve (unknown type)");
  C_ERROR::ClearPending();

  const char* broken[] = {
      "",                                   // nothing at all
      "LN\n0\n1\n0\n0\n0\n1\n>\n",          // no record opening
      "<LN\n0\n1\n0\n0\n0\n1\nQ0 0 0\n",    // wrong record letter
      "<LN\n0\n1\n0\n0\n0\n1\nP0 0 0\nV1 0 0\n1\n",  // no record end
      "<CR\n0\n1\n0\n0\n0\nx\n>\n",         // a malformed number
  };
  for (const char* s : broken) {
    C_FILE_MEMORY f(C_FILE::TEXT, s);
    EXPECT_EQ(G3_CV::LoadEnc(kVNow, &f), nullptr) << s;
    EXPECT_TRUE(C_ERROR::Is()) << s;
    C_ERROR::ClearPending();
  }
  C_FILE_MEMORY letter(C_FILE::TEXT, "<LN\n0\n1\n0\n0\n0\n1\nQ0 0 0\n");
  G3_CV::LoadEnc(kVNow, &letter);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrInvalidFilePointExpected);
}
