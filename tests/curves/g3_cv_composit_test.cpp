#include "curves/g3_cv_composit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "curves/g3_cv_bspline.h"
#include "curves/g3_cv_circle.h"
#include "curves/g3_cv_line.h"
#include "curves/g3_cv_polygon.h"
#include "curves/g_bspline.h"
#include "curves_test_util.h"
#include "frame/g_errors.h"
#include "runtime/c_file.h"
#include "runtime/t_persist.h"

using namespace curves_test;

namespace {

void ExpectSpan(const G3_CV& c, double s, double e) {
  EXPECT_EQ(c.GetStart(), s);
  EXPECT_EQ(c.GetEnd(), e);
}

G3_CV_CIRCLE Arc(double sweep) { return G3_CV_CIRCLE(G3_PLANE(), G_LEN(1), G_ARC(sweep)); }

// comp{ line, arc 90, polygon of 4 (span 3), b-spline (span 3),
//       comp{ line, comp{ arc 45 } } }
G3_CV_COMPOSIT Nested() {
  G3_CV_COMPOSIT inner(true, 1);
  inner.Append(Arc(45));
  G3_CV_COMPOSIT middle;
  middle.Append(G3_CV_LINE(G3_POINT(0, 0, 0), G3_POINT(0, 0, 2)));
  middle.Append(inner);
  G3_CV_COMPOSIT top;
  top.SetElt(E(21));
  top.Append(G3_CV_LINE(G3_POINT(1, 0, 0), G3_POINT(4, 0, 0)));
  top.Append(Arc(90));
  G3_POINTS pts;
  for (int k = 0; k < 4; ++k) pts.Append(G3_POINT(k, k * k, 0));
  top.Append(G3_CV_POLYGON(false, pts));
  G3_POINTS cps;
  for (int k = 0; k < 6; ++k) cps.Append(G3_POINT(k, 1, 2));
  top.Append(G3_CV_BSPLINE(G_BSPLINE(false, 3, 6), cps));
  top.Append(middle);
  return top;
}

// The opening and closing lines of the frames, in order.
std::vector<std::string> Frames(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    std::string line = text.substr(at, end - at);
    if (!line.empty() && (line[0] == '<' || line[0] == '>')) out.push_back(line);
    at = end + 1;
  }
  return out;
}

void ExpectNestedShape(const G3_CV* cv) {
  ASSERT_NE(cv, nullptr);
  ASSERT_TRUE(cv->IsClass("G3_CV_COMPOSIT"));
  const auto* top = static_cast<const G3_CV_COMPOSIT*>(cv);
  EXPECT_EQ(top->GetElt(), E(21));
  ASSERT_EQ(top->GetNumber(), 5);
  ExpectSpan(*top, 0, 1 + 90 + 3 + 3 + 1 + 45);
  ASSERT_TRUE(top->Get(0)->IsLine());
  EXPECT_EQ(static_cast<const G3_CV_LINE*>(top->Get(0))->GetPULen(), 3);
  ASSERT_TRUE(top->Get(1)->IsCircle());
  EXPECT_EQ(top->Get(1)->GetEnd(), 90);
  ASSERT_TRUE(top->Get(2)->IsPolygon());
  EXPECT_TRUE(static_cast<const G3_CV_POLYGON*>(top->Get(2))->GetLast() == G3_POINT(3, 9, 0));
  ASSERT_TRUE(top->Get(3)->IsClass("G3_CV_BSPLINE"));
  const auto* bs = static_cast<const G3_CV_BSPLINE*>(top->Get(3));
  EXPECT_EQ(bs->GetNumberOfCPts(), 6);
  EXPECT_EQ(bs->GetDegree(), 3);
  ASSERT_TRUE(top->Get(4)->IsClass("G3_CV_COMPOSIT"));
  const auto* middle = static_cast<const G3_CV_COMPOSIT*>(top->Get(4));
  ASSERT_EQ(middle->GetNumber(), 2);
  EXPECT_TRUE(middle->Get(0)->IsLine());
  ASSERT_TRUE(middle->Get(1)->IsClass("G3_CV_COMPOSIT"));
  const auto* inner = static_cast<const G3_CV_COMPOSIT*>(middle->Get(1));
  EXPECT_TRUE(inner->IsClosed());
  ASSERT_EQ(inner->GetNumber(), 1);
  EXPECT_TRUE(inner->Get(0)->IsCircle());
  EXPECT_EQ(inner->Get(0)->GetEnd(), 45);
}

// Records nested depth deep: depth - 1 composites, each holding the next,
// around a line.
G3_CV_COMPOSIT* Chain(int depth) {
  G3_CV_COMPOSIT* c = new G3_CV_COMPOSIT;
  c->Append(G3_CV_LINE());
  for (int k = 2; k < depth; ++k) {
    G3_CV* inner = c;
    c = new G3_CV_COMPOSIT;
    c->Append(&inner);
  }
  return c;
}

}  // namespace

TEST_F(CurveTest, CompositeSpanIsTheSumOfItsChildren) {
  G3_CV_COMPOSIT d;
  ExpectSpan(d, 0, 0);
  EXPECT_FALSE(d.IsClosed());
  EXPECT_TRUE(d.IsComposit());
  EXPECT_TRUE(d.GetClass() == C_STRING("G3_CV_COMPOSIT"));
  EXPECT_TRUE(d.GetClassName() == C_STRING("#composite curve"));
  G3_CV_COMPOSIT room(true, 4);
  EXPECT_TRUE(room.IsClosed());
  ExpectSpan(room, 0, 0);

  G3_CV* p = new G3_CV_LINE;
  G3_CV_CIRCLE q = Arc(90);
  d.Append(&p);
  EXPECT_EQ(p, nullptr);
  d.Append(q);
  ExpectSpan(d, 0, 91);
  EXPECT_NE(d.Get(1), &q);
  q.SetStartEnd(0, 10);  // the caller's curve stays the caller's
  EXPECT_EQ(d.Get(1)->GetEnd(), 90);
  d.Remove(1, nullptr);
  ExpectSpan(d, 0, 1);

  G3_CV* r = new G3_CV_CIRCLE(Arc(30));
  d.Insert(0, &r);
  EXPECT_EQ(r, nullptr);
  d.Insert(1, G3_CV_POLYGON(true, 2));  // a closed polygon without points: span 0
  d.Insert(3, Arc(5));
  ExpectSpan(d, 0, 36);
  ASSERT_EQ(d.GetNumber(), 4);
  EXPECT_TRUE(d.Get(0)->IsCircle());
  EXPECT_TRUE(d.Get(1)->IsPolygon());
  EXPECT_TRUE(d.Get(2)->IsLine());

  d.Swap(0, 2);
  EXPECT_TRUE(d.Get(0)->IsLine());
  ExpectSpan(d, 0, 36);

  G3_CV* out = nullptr;
  d.Remove(2, &out);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->GetEnd(), 30);
  delete out;
  ExpectSpan(d, 0, 6);
  d.Clear();
  ExpectSpan(d, 0, 0);
  EXPECT_EQ(d.GetNumber(), 0);
}

TEST_F(CurveTest, CompositeRefusesBadIndicesAndNullCurves) {
  G3_CV_COMPOSIT d;
  d.Append(Arc(90));
  G3_CV* c = new G3_CV_LINE;
  d.Insert(3, &c);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  ASSERT_NE(c, nullptr);  // not taken over
  d.Insert(-1, *c);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  d.Replace(1, &c, nullptr);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_NE(c, nullptr);
  delete c;
  G3_CV* none = nullptr;
  d.Append(&none);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
  d.Remove(4, nullptr);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_EQ(d.GetNumber(), 1);
  ExpectSpan(d, 0, 90);

  // A bad index gives the shared default curve, or null.
  const G3_CV* g = d.Get(5);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  ASSERT_NE(g, nullptr);
  EXPECT_TRUE(g->IsClass("G3_CV"));
  EXPECT_EQ(g->GetSpan(), 1);
  EXPECT_EQ(d.GetAdr(5), nullptr);
  EXPECT_TRUE(C_ERROR::Is());
}

TEST_F(CurveTest, CompositeReplaceHandsTheFormerChildOver) {
  G3_CV_COMPOSIT d;
  d.Append(G3_CV_LINE());
  d.Append(Arc(90));
  G3_CV* n = new G3_CV_CIRCLE(Arc(20));
  G3_CV* old = nullptr;
  d.Replace(1, &n, &old);
  EXPECT_EQ(n, nullptr);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->GetEnd(), 90);
  delete old;
  ExpectSpan(d, 0, 21);
  d.Replace(0, Arc(10), nullptr);
  ExpectSpan(d, 0, 30);
  EXPECT_TRUE(d.Get(0)->IsCircle());
  // A curve that cannot be copied: place 0 keeps its child, the span stays.
  d.Replace(0, G3_CV(0, 100), &old);
  EXPECT_STREQ(PendingText(), "Clone()");
  C_ERROR::ClearPending();
  ExpectSpan(d, 0, 30);
  EXPECT_EQ(d.Get(0)->GetEnd(), 10);
  d.Append(G3_CV(0, 100));
  EXPECT_STREQ(PendingText(), "Clone()");
  C_ERROR::ClearPending();
  EXPECT_EQ(d.GetNumber(), 2);
  // Replacing a child by itself changes nothing and hands nothing out.
  G3_CV* same = d.GetAdr(1);
  G3_CV marker;
  old = &marker;
  d.Replace(1, &same, &old);
  EXPECT_EQ(old, nullptr);
  EXPECT_EQ(d.GetAdr(1)->GetEnd(), 20);
  ExpectSpan(d, 0, 30);
}

TEST_F(CurveTest, CompositeCopiesCopyEveryChild) {
  G3_CV_COMPOSIT a = Nested();
  G3_CV_COMPOSIT b(a);
  ExpectNestedShape(&b);
  EXPECT_NE(b.Get(0), a.Get(0));
  EXPECT_NE(static_cast<const G3_CV_COMPOSIT*>(b.Get(4))->Get(0),
            static_cast<const G3_CV_COMPOSIT*>(a.Get(4))->Get(0));
  b.GetAdr(1)->SetStartEnd(0, 1);
  EXPECT_EQ(a.Get(1)->GetEnd(), 90);
  G3_CV_COMPOSIT c;
  c.Append(G3_CV_LINE());
  c = a;
  ExpectNestedShape(&c);
  std::unique_ptr<G3_CV> d(a.Clone());
  ExpectNestedShape(d.get());
  std::unique_ptr<G3_CV_COMPOSIT> e(a.CloneSame());
  ExpectNestedShape(e.get());
  std::unique_ptr<G3_CV> g(G3_CV_COMPOSIT::GenerateDefault());
  EXPECT_EQ(g->GetSpan(), 0);
}

TEST_F(CurveTest, NestedCompositesRoundTripInTextAndBinary) {
  G3_CV_COMPOSIT src = Nested();
  C_FILE_MEMORY text(C_FILE::TEXT);
  src.SaveEnc(&text);
  EXPECT_EQ(Frames(text.GetContent()),
            (std::vector<std::string>{"<CC", "<LN", ">", "<CR", ">", "<PG", ">", "<BS", ">",
                                      "<CC", "<LN", ">", "<CC", "<CR", ">", ">", ">", ">"}));
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    src.SaveEnc(&f);
    G3_CV_LINE().SaveEnc(&f);
    f.Rewind();
    std::unique_ptr<G3_CV> r(G3_CV::LoadEnc(kVNow, &f));
    ASSERT_FALSE(C_ERROR::Is()) << PendingText();
    ExpectNestedShape(r.get());
    std::unique_ptr<G3_CV> next(G3_CV::LoadEnc(kVNow, &f));
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->IsLine());
    EXPECT_TRUE(f.AtEnd());
  }

  // Loading into a composite replaces its children; the span is the one read.
  C_FILE_MEMORY f(C_FILE::BINARY);
  src.Save(&f);
  f.Rewind();
  G3_CV_COMPOSIT into;
  into.Append(Arc(7));
  into.Load(kVNow, &f);
  ASSERT_FALSE(C_ERROR::Is());
  ExpectNestedShape(&into);
}

TEST_F(CurveTest, CompositeLoadKeepsTheChildrenReadBeforeAFailure) {
  C_FILE_MEMORY f(C_FILE::TEXT);
  G3_CV_COMPOSIT c;
  c.Append(G3_CV_LINE());
  c.Append(Arc(90));
  c.Save(&f);
  std::string rec = f.GetContent();
  // Announce three children and make the third of an unknown class.
  size_t at = rec.find("\n2\n<LN") + 1;
  rec.replace(at, 1, "3");
  rec += "<SPIRAL\n>\n";
  C_FILE_MEMORY g(C_FILE::TEXT, rec);
  G3_CV_COMPOSIT r;
  r.Load(kVNow, &g);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrUnableToLoadCurve);
  EXPECT_EQ(r.GetNumber(), 2);
}

TEST_F(CurveTest, HostileCompositeRecordsFailCleanly) {
  // A child count far beyond the file, and a negative one.
  const char* counts[] = {"<CC\n0\n1\n0\n0\n0\n1\n0\n2000000000\n<LN\n>\n>\n",
                          "<CC\n0\n1\n0\n0\n0\n1\n0\n-5\n>\n"};
  for (const char* s : counts) {
    C_FILE_MEMORY f(C_FILE::TEXT, s);
    EXPECT_EQ(G3_CV::LoadEnc(kVNow, &f), nullptr) << s;
    EXPECT_TRUE(C_ERROR::Is()) << s;
    C_ERROR::ClearPending();
  }
  // An unknown tag among the children.
  C_FILE_MEMORY unknown(C_FILE::TEXT, "<CC\n0\n1\n0\n0\n0\n1\n0\n1\n<XY\n>\n>\n");
  EXPECT_EQ(G3_CV::LoadEnc(kVNow, &unknown), nullptr);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrUnableToLoadCurve);
  C_ERROR::ClearPending();

  // Every cut of a record, text and binary, fails with an error pending.
  G3_CV_COMPOSIT src = Nested();
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    src.SaveEnc(&f);
    const std::string full = f.GetContent();
    // (A text file may lack its last line end: that cut is whole.)
    const size_t whole = type == C_FILE::TEXT ? full.size() - 1 : full.size();
    for (size_t n = 0; n < whole; ++n) {
      C_FILE_MEMORY cut(type, full.substr(0, n));
      G3_CV* r = G3_CV::LoadEnc(kVNow, &cut);
      EXPECT_EQ(r, nullptr) << type << " " << n;
      EXPECT_TRUE(C_ERROR::Is()) << type << " " << n;
      delete r;
      C_ERROR::ClearPending();
    }
  }

  // Corrupted bytes may load or fail, but never crash, leak or hang. (The
  // b-spline child is left out: its lists are read by the list templates.)
  G3_CV* bs = nullptr;
  src.Remove(3, &bs);
  delete bs;
  C_FILE_MEMORY bin(C_FILE::BINARY);
  src.SaveEnc(&bin);
  const std::string full = bin.GetContent();
  const unsigned char values[] = {0x00, 0xff, 0x7f, 0x80};
  int failures = 0;
  for (size_t n = 0; n < full.size(); ++n) {
    for (unsigned char v : values) {
      std::string bad = full;
      if (static_cast<unsigned char>(bad[n]) == v) continue;
      bad[n] = static_cast<char>(v);
      C_FILE_MEMORY f(C_FILE::BINARY, bad);
      G3_CV* r = G3_CV::LoadEnc(kVNow, &f);
      if (r == nullptr) {
        EXPECT_TRUE(C_ERROR::Is());
        ++failures;
      }
      delete r;
      C_ERROR::ClearPending();
    }
  }
  EXPECT_GT(failures, 0);
}

TEST_F(CurveTest, NestingDepthIsCapped) {
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    std::unique_ptr<G3_CV_COMPOSIT> ok(Chain(G3_CV::MaxLoadDepth));
    C_FILE_MEMORY f(type);
    ok->SaveEnc(&f);
    f.Rewind();
    std::unique_ptr<G3_CV> r(G3_CV::LoadEnc(kVNow, &f));
    ASSERT_NE(r, nullptr) << PendingText();
    EXPECT_EQ(r->GetSpan(), 1);

    std::unique_ptr<G3_CV_COMPOSIT> deep(Chain(G3_CV::MaxLoadDepth + 1));
    C_FILE_MEMORY g(type);
    deep->SaveEnc(&g);
    g.Rewind();
    EXPECT_EQ(G3_CV::LoadEnc(kVNow, &g), nullptr);
    EXPECT_STREQ(PendingText(), "G#Err#unable to load curve (records nested too deeply)");
    C_ERROR::ClearPending();
    // The depth count is back to zero afterwards.
    f.Rewind();
    std::unique_ptr<G3_CV> again(G3_CV::LoadEnc(kVNow, &f));
    EXPECT_NE(again, nullptr);
  }
}
