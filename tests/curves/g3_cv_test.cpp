#include "curves/g3_cv.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "curves/g3_cv_bspline.h"
#include "curves/g3_cv_composit.h"
#include "curves/g3_cv_line.h"
#include "curves/g3_cv_polygon.h"
#include "curves_test_util.h"
#include "frame/g_errors.h"
#include "runtime/t_persist.h"

using namespace curves_test;

namespace {

// A curve class of the host's own, with a field of its own. Its second
// version, which the registry does not know, writes more: records included.
class TEST_CV_HELIX : public G3_CV {
 public:
  static const C_STRING CLASS, CLASS_V2;
  double pitch = 0;
  bool v2 = false;
  const C_STRING& GetClass() const override { return v2 ? CLASS_V2 : CLASS; }
  G3_CV* Clone() const override { return new TEST_CV_HELIX(*this); }
  void Save(C_FILE* file) const override {
    G3_CV::Save(file);
    Tsave(pitch, file);
    if (v2) G3_CV_LINE().SaveEnc(file);
  }
  void Load(int version, C_FILE* file) override {
    G3_CV::Load(version, file);
    if (!C_ERROR::Is()) Tload(version, file, &pitch);
  }
  static G3_CV* Generate() { return new TEST_CV_HELIX; }
};
const C_STRING TEST_CV_HELIX::CLASS("G3_CV_TESTHELIX");
const C_STRING TEST_CV_HELIX::CLASS_V2("G3_CV_TESTHELIX_V2");

// Library classes extended by the host, with a field of their own and a class
// name that begins with a short tag.
template <class BASE>
class TEST_EXTENDED : public BASE {
 public:
  int extra = 5;
  const C_STRING& GetClass() const override {
    static const C_STRING name("LNX_EXTENDED");
    return name;
  }
  G3_CV* Clone() const override { return new TEST_EXTENDED(*this); }
};
template <class BASE>
void ExpectClonedWhole() {
  TEST_EXTENDED<BASE> x;
  x.extra = 7;
  std::unique_ptr<BASE> c(static_cast<const BASE&>(x).CloneSame());
  ASSERT_TRUE(c && c->IsClass("LNX_EXTENDED"));
  EXPECT_EQ(static_cast<TEST_EXTENDED<BASE>*>(c.get())->extra, 7);
}

// Each test that needs it registers the helix: a second registration is harmless.
void RegisterHelix() { G3_CV::AddDefaultGenerator(TEST_CV_HELIX::CLASS, &TEST_CV_HELIX::Generate); }

}  // namespace

TEST_F(CurveTest, ChecksAndTheRegistryFindingExactNamesThenTheLongestPrefix) {
  G3_CV c;
  EXPECT_FAILS(c.CheckIsClass("G3_CV_LINE"), GerrWrongTypeOfCurve);

  RegisterHelix();
  G3_CV::AddDefaultGenerator("AAA_TEST_FIRST", &G3_CV::GenerateDefault);
  // {class name, class created (null: nothing), class lost}
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"G3_CV_TESTHELIX", "G3_CV_TESTHELIX", false},
      {"G3_CV_TESTHELIX_V9", "G3_CV_TESTHELIX", true},
      {"G3_CV_SPIRAL", "G3_CV", true},
      {"SPIRAL", nullptr, true}};
  for (const auto& [name, created, lost] : cases) {
    C_BOOL found_lost = !lost;
    std::unique_ptr<G3_CV> c(G3_CV::GenerateDefault(name, &found_lost));
    EXPECT_EQ(bool(found_lost), lost) << name;
    EXPECT_TRUE(created ? c && c->IsClass(created) : !c) << name;
  }
  std::unique_ptr<G3_CV> g(G3_CV::GenerateDefault("G3_CV_SPIRAL"));  // no flag to set
  EXPECT_TRUE(g && g->IsClass(G3_CV::CLASS));
}

TEST_F(CurveTest, BaseRecordWritesTokensOnlyWhenExplicit) {
  EXPECT_EQ(Text(G3_CV()), "0\n1\n0\n0\n0\n1\n");
  G3_CV c(0.5, 2);
  c.SetElt(E(5));
  c.GetTokens().Append(G_TOKEN(E(5), -1, -1));  // still the owner's own token
  EXPECT_EQ(Text(c), "5\n0\n0.5\n2\n");
  c.GetTokens().GetAdr(0)->SetKey(2);
  EXPECT_EQ(Text(c), "5\n1\n1\nT5 2 -1\n0\n0.5\n2\n");
  c.GetTokens().GetAdr(0)->SetKey(1);
  // Loaded back, the implicit token is (owner, 1, 0), and replaces the
  // tokens the curve held: loaded into the very curve, it is the only one.
  RoundTrip(c, c, [](const G3_CV& r) {
    EXPECT_TRUE(r.GetElt() == E(5) && r.GetStart() == 0.5 && r.GetEnd() == 2);
    ASSERT_EQ(r.GetTokens().GetNumber(), 1);
    const G_TOKEN& t = r.GetTokens().Get(0);
    EXPECT_TRUE(t.GetElt() == E(5) && t.GetKey() == 1 && t.GetIndex() == 0);
  });
}

TEST_F(CurveTest, BaseRecordVersionThresholds) {
  // {version, record, owner element (77: left as it was), key of the one token (0: none)}
  const std::tuple<int, const char*, intptr_t, int> cases[] = {
      {601038, "1\nT3 4 5\n0\n1.5\n2.5\n", 77, 4},    // no owner, no flag
      {601039, "9\n1\nT3 4 5\n0\n1.5\n2.5\n", 9, 4},  // owner, no flag
      {603020, "9\n1\nT3 4 5\n0\n1.5\n2.5\n", 9, 4},
      {603021, "9\n1\n1\nT3 4 5\n0\n1.5\n2.5\n", 9, 4},  // explicit tokens
      {603021, "9\n0\n1.5\n2.5\n", 9, 1},                // the implicit token
      {603021, "9\n1\n0\n0\n1.5\n2.5\n", 9, 0},
  };
  for (const auto& [version, text, elt, key] : cases) {
    C_FILE_MEMORY f(C_FILE::TEXT, text);
    G3_CV c;
    c.SetElt(E(77));
    c.Load(version, &f);
    ASSERT_FALSE(C_ERROR::Is()) << version << " " << text;
    EXPECT_TRUE(f.AtEnd() && c.GetElt() == E(elt) && c.GetStart() == 1.5 && c.GetEnd() == 2.5);
    ASSERT_EQ(c.GetTokens().GetNumber(), key != 0 ? 1 : 0) << text;
    EXPECT_TRUE(key == 0 || c.GetTokens().Get(0).GetKey() == key) << text;
  }
  C_FILE_MEMORY bad(C_FILE::TEXT, "9\n1\n1\nQ3 4 5\n0\n1.5\n2.5\n");
  G3_CV c;
  EXPECT_FAILS(c.Load(603021, &bad), "T#Err#Invalid file (token expected)");
  EXPECT_EQ(c.GetEnd(), 1);
}

TEST_F(CurveTest, LoadEncPicksTheClassByTagAndVersion) {
  RegisterHelix();
  EXPECT_EQ(Text(G3_CV(), true), "<G3_CV\n0\n1\n0\n0\n0\n1\n>\n");
  TEST_CV_HELIX h, h2;
  h.pitch = 2.5;
  h2.pitch = 9;
  h2.v2 = true;
  TEST_EXTENDED<G3_CV_LINE> client;
  client.SetPULen(4);
  EXPECT_EQ(Text(client, true).substr(0, 14), "<LNX_EXTENDED\n");  // not "LN"
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    reports.clear();
    C_FILE_MEMORY f(type);
    h.SaveEnc(&f);
    h2.SaveEnc(&f);
    client.SaveEnc(&f);
    f.Rewind();
    std::unique_ptr<G3_CV> a(G3_CV::LoadEnc(603021, &f)), b(G3_CV::LoadEnc(603021, &f));
    ASSERT_TRUE(a && b && a->IsClass(TEST_CV_HELIX::CLASS)) << PendingText();
    EXPECT_EQ(static_cast<TEST_CV_HELIX*>(a.get())->pitch, 2.5);
    // An absent class: read as its registered base, reported, the rest passed over.
    ASSERT_TRUE(b->IsClass(TEST_CV_HELIX::CLASS));
    EXPECT_EQ(static_cast<TEST_CV_HELIX*>(b.get())->pitch, 9);
    EXPECT_EQ(reports, std::vector<std::string>{"DDoc#Err#Data of absent extension is lost"});
    // "LNX_EXTENDED" begins with "LN": a library line from 603021 on.
    std::unique_ptr<G3_CV> c(G3_CV::LoadEnc(603021, &f));
    ASSERT_TRUE(c && c->IsClass("G3_CV_LINE") && f.AtEnd()) << PendingText();
    EXPECT_EQ(static_cast<G3_CV_LINE*>(c.get())->GetPULen(), 4);
  }
  // Below 603021 a short tag is a class name like any other: "LN" is unknown.
  reports.clear();
  C_FILE_MEMORY old(C_FILE::TEXT, Text(G3_CV_LINE(), true));
  EXPECT_EQ(G3_CV::LoadEnc(603020, &old), nullptr);
  EXPECT_EQ(Take(), GerrUnableToLoadCurve.GetText());
  EXPECT_EQ(reports, std::vector<std::string>{"DDoc#Err#Data of absent extension is lost"});
}

TEST_F(CurveTest, CloneSameOfALibraryClassGoesThroughTheVirtualClone) {
  ExpectClonedWhole<G3_CV_LINE>();
  ExpectClonedWhole<G3_CV_BSPLINE>();
  ExpectClonedWhole<G3_CV_COMPOSIT>();
  // A polygon list copies its polygons the same way.
  G3_CV_POLYGONS l;
  G3_CV_POLYGON* p = new TEST_EXTENDED<G3_CV_POLYGON>;
  l.Append(&p);
  G3_CV_POLYGONS copy(l);
  EXPECT_TRUE(copy.GetNumber() == 1 && copy.Get(0).IsClass("LNX_EXTENDED"));
  EXPECT_EQ(G3_CV().CloneSame(), nullptr);  // the base cannot clone
  EXPECT_EQ(Take(), "Clone()");
}
