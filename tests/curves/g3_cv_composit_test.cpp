#include "curves/g3_cv_composit.h"

#include <gtest/gtest.h>

#include <cstdio>
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

// The class and span end of a curve, and of its children for a composite.
std::string Shape(const G3_CV* cv) {
  if (cv == nullptr) return "null";
  char end[32];
  std::snprintf(end, sizeof end, "%g", cv->GetEnd());
  std::string s = cv->GetClass().GetUtf8().substr(6) + ":" + end;
  if (!cv->IsClass("G3_CV_COMPOSIT")) return s;
  const auto* c = static_cast<const G3_CV_COMPOSIT*>(cv);
  s += c->IsClosed() ? "[" : "(";
  for (int k = 0; k < c->GetNumber(); ++k) s += (k ? " " : "") + Shape(c->Get(k));
  return s + (c->IsClosed() ? "]" : ")");
}

const char kNestedShape[] =
    "COMPOSIT:143(LINE:1 CIRCLE:90 POLYGON:3 BSPLINE:3 COMPOSIT:46(LINE:1 COMPOSIT:45[CIRCLE:45]))";

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
  EXPECT_TRUE(d.IsComposit() && !d.IsClosed() && d.GetSpan() == 0);
  EXPECT_TRUE(d.GetClass() == C_STRING("G3_CV_COMPOSIT") &&
              d.GetClassName() == C_STRING("#composite curve"));
  EXPECT_TRUE(G3_CV_COMPOSIT(true, 4).IsClosed());

  G3_CV* p = new G3_CV_LINE;
  G3_CV_CIRCLE q = Arc(90);
  d.Append(&p);
  EXPECT_EQ(p, nullptr);
  d.Append(q);
  ExpectSpan(d, 0, 91);
  q.SetStartEnd(0, 10);  // the caller's curve stays the caller's
  EXPECT_EQ(d.Get(1)->GetEnd(), 90);
  d.Remove(1, nullptr);
  ExpectSpan(d, 0, 1);
  G3_CV* r = new G3_CV_CIRCLE(Arc(30));
  d.Insert(0, &r);
  d.Insert(1, G3_CV_POLYGON(true, 2));  // no points, closed: span 0
  d.Insert(3, Arc(5));
  ExpectSpan(d, 0, 36);
  d.Swap(0, 2);
  EXPECT_TRUE(d.Get(0)->IsLine() && d.Get(1)->IsPolygon() && d.Get(2)->IsCircle());
  G3_CV* out = nullptr;
  d.Remove(2, &out);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->GetEnd(), 30);
  delete out;
  ExpectSpan(d, 0, 6);

  // Refused: bad indices (the curve is not taken) and null curves.
  G3_CV* c = new G3_CV_LINE;
  d.Insert(4, &c);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  d.Replace(3, &c, nullptr);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  ASSERT_NE(c, nullptr);
  delete c;
  G3_CV* none = nullptr;
  d.Append(&none);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
  ExpectSpan(d, 0, 6);
  // Removing or replacing in an empty composite is a bad index too.
  G3_CV_COMPOSIT empty;
  G3_CV* keep = new G3_CV_LINE;
  empty.Remove(0, nullptr);
  EXPECT_STREQ(PendingText(), "T#Err#Invalid index");
  C_ERROR::ClearPending();
  empty.Replace(0, &keep, nullptr);
  EXPECT_STREQ(PendingText(), "T#Err#Invalid index");
  C_ERROR::ClearPending();
  empty.Replace(0, G3_CV_LINE(), nullptr);
  EXPECT_STREQ(PendingText(), "T#Err#Invalid index");
  C_ERROR::ClearPending();
  ASSERT_NE(keep, nullptr);
  delete keep;
  ExpectSpan(empty, 0, 0);
  // A bad index gives the shared default curve, or null.
  EXPECT_TRUE(d.Get(5)->IsClass("G3_CV") && d.Get(5)->GetSpan() == 1);
  EXPECT_EQ(d.GetAdr(5), nullptr);
  C_ERROR::ClearPending();
  d.Clear();
  ExpectSpan(d, 0, 0);
  EXPECT_EQ(d.GetNumber(), 0);
}

TEST_F(CurveTest, CompositeReplaceAndCopies) {
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
  // A curve that cannot be copied: place 0 keeps its child, the span stays.
  d.Replace(0, G3_CV(0, 100), &old);
  EXPECT_STREQ(PendingText(), "Clone()");
  C_ERROR::ClearPending();
  EXPECT_EQ(d.Get(0)->GetEnd(), 10);
  ExpectSpan(d, 0, 30);
  // Replacing a child by itself hands nothing out.
  G3_CV* same = d.GetAdr(1);
  G3_CV marker;
  old = &marker;
  d.Replace(1, &same, &old);
  EXPECT_EQ(old, nullptr);
  ExpectSpan(d, 0, 30);

  G3_CV_COMPOSIT a = Nested();
  G3_CV_COMPOSIT b(a);
  EXPECT_EQ(Shape(&b), kNestedShape);
  EXPECT_NE(b.Get(0), a.Get(0));
  b.GetAdr(1)->SetStartEnd(0, 1);
  EXPECT_EQ(a.Get(1)->GetEnd(), 90);
  d = a;
  EXPECT_EQ(Shape(&d), kNestedShape);
  std::unique_ptr<G3_CV> e(a.Clone());
  EXPECT_EQ(Shape(e.get()), kNestedShape);
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
    EXPECT_EQ(Shape(r.get()), kNestedShape);
    EXPECT_EQ(r->GetElt(), E(21));
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
  EXPECT_EQ(Shape(&into), kNestedShape);
}

TEST_F(CurveTest, HostileCompositeRecordsFailCleanly) {
  // A child count far beyond the file, a negative one, an unknown child tag.
  const char* bad[] = {"<CC\n0\n1\n0\n0\n0\n1\n0\n2000000000\n<LN\n>\n>\n",
                       "<CC\n0\n1\n0\n0\n0\n1\n0\n-5\n>\n",
                       "<CC\n0\n1\n0\n0\n0\n1\n0\n1\n<XY\n>\n>\n"};
  for (const char* s : bad) {
    C_FILE_MEMORY f(C_FILE::TEXT, s);
    EXPECT_EQ(G3_CV::LoadEnc(kVNow, &f), nullptr) << s;
    EXPECT_TRUE(C_ERROR::Is()) << s;
    C_ERROR::ClearPending();
  }
  // The children read before a failing one stay in the composite.
  G3_CV_COMPOSIT two;
  two.Append(G3_CV_LINE());
  two.Append(Arc(90));
  C_FILE_MEMORY f(C_FILE::TEXT);
  two.Save(&f);
  std::string rec = f.GetContent();
  rec.replace(rec.find("\n2\n<LN") + 1, 1, "3");  // three announced
  C_FILE_MEMORY g(C_FILE::TEXT, rec + "<SPIRAL\n>\n");
  G3_CV_COMPOSIT r;
  r.Load(kVNow, &g);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrUnableToLoadCurve);
  EXPECT_EQ(r.GetNumber(), 2);
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
