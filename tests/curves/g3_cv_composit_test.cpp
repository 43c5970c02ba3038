#include "curves/g3_cv_composit.h"

#include <gtest/gtest.h>

#include <memory>

#include "curves/g3_cv_circle.h"
#include "curves/g3_cv_line.h"
#include "curves/g3_cv_polygon.h"
#include "curves_test_util.h"
#include "frame/g_errors.h"

using namespace curves_test;

namespace {

G3_CV_CIRCLE Arc(double sweep) { return G3_CV_CIRCLE(G3_PLANE(), G_LEN(1), G_ARC(sweep)); }

// comp{ line, arc 90, closed triangle, comp{ line, closed comp{ arc 45 } } }: span 140.
G3_CV_COMPOSIT Nested() {
  G3_CV_COMPOSIT inner(true, 1), middle, top;
  inner.Append(Arc(45));
  middle.Append(G3_CV_LINE(G3_POINT(0, 0, 0), G3_POINT(0, 0, 2)));
  middle.Append(inner);
  G3_CV_POLYGON tri(true, 3);
  for (int k = 0; k < 3; ++k) tri.Append(G3_POINT(k, k * k, 0));
  top.SetElt(E(21));
  top.Append(G3_CV_LINE(G3_POINT(1, 0, 0), G3_POINT(4, 0, 0)));
  top.Append(Arc(90));
  top.Append(tri);
  top.Append(middle);
  return top;
}

G3_CV* LoadEncOf(const std::string& rec, int type) {
  C_FILE_MEMORY f(type, rec);
  return G3_CV::LoadEnc(kVNow, &f);
}

}  // namespace

TEST_F(CurveTest, CompositeSpanIsTheSumOfItsChildren) {
  // Pointers to derived classes are taken over (and nulled); copies are copies.
  G3_CV_COMPOSIT d, empty;
  G3_CV_LINE* p = new G3_CV_LINE;
  G3_CV_CIRCLE *r = new G3_CV_CIRCLE(Arc(30)), q = Arc(90);
  d.Append(&p);
  d.Append(q);
  q.SetStartEnd(0, 10);  // the caller's curve stays the caller's
  EXPECT_TRUE(p == nullptr && d.GetEnd() == 91 && d.Get(1)->GetEnd() == 90);
  d.Remove(1);
  d.Insert(0, &r);
  d.Insert(1, G3_CV_POLYGON(true, 2));  // no points, closed: span 0
  d.Insert(3, Arc(5));
  EXPECT_TRUE(r == nullptr && d.GetEnd() == 36);
  G3_CV* out = nullptr;
  d.Remove(0, &out);
  std::unique_ptr<G3_CV> removed(out);
  EXPECT_TRUE(out && out->GetEnd() == 30 && d.GetStart() == 0 && d.GetEnd() == 6);
  EXPECT_TRUE(d.Get(0)->IsPolygon() && d.Get(1)->IsLine() && d.Get(2)->IsCircle());

  // Refused, nothing taken nor changed: bad indices (an empty composite too), null curves.
  G3_CV_LINE *c = new G3_CV_LINE, *none = nullptr;
  std::unique_ptr<G3_CV> keep(c);
  EXPECT_FAILS(d.Insert(4, &c), "T#Err#Invalid index");
  EXPECT_FAILS(d.Append(&none), CerrInvalidValue);
  EXPECT_FAILS(empty.Replace(0, &c), "T#Err#Invalid index");
  EXPECT_TRUE(c == keep.get() && d.GetEnd() == 6 && empty.GetEnd() == 0);
}

TEST_F(CurveTest, CompositeReplaceAndCopies) {
  G3_CV_COMPOSIT d;
  d.Append(G3_CV_LINE());
  d.Append(Arc(90));
  G3_CV *n = new G3_CV_CIRCLE(Arc(20)), *old = nullptr;
  d.Replace(1, &n, &old);
  std::unique_ptr<G3_CV> replaced(old);
  EXPECT_TRUE(!n && old && old->GetEnd() == 90 && d.GetEnd() == 21);
  G3_CV_CIRCLE* arc = new G3_CV_CIRCLE(Arc(10));
  d.Replace(0, &arc);  // no out-pointer: the former child is deleted
  EXPECT_TRUE(!arc && d.GetEnd() == 30);
  // Replacing a child by itself hands nothing out.
  G3_CV *same = d.GetAdr(1), marker;
  old = &marker;
  d.Replace(1, &same, &old);
  EXPECT_TRUE(old == nullptr && d.GetEnd() == 30);

  G3_CV_COMPOSIT a = Nested();  // assignment is deep
  d = a;
  EXPECT_EQ(Text(d, true), Text(a, true));
  d.GetAdr(1)->SetStartEnd(0, 1);
  EXPECT_EQ(a.Get(1)->GetEnd(), 90);
}

TEST_F(CurveTest, NestedCompositesRoundTripAndHostileRecordsFailCleanly) {
  G3_CV_COMPOSIT src = Nested(), into;
  const std::string text = Text(src, true), lines = "\n" + text;
  std::string tags;
  for (size_t at = lines.find("\n<"); at != std::string::npos; at = lines.find("\n<", at + 1))
    tags += lines.substr(at + 2, 2) + " ";
  EXPECT_EQ(tags, "CC LN CR PG CC LN CC CR ");
  // Loading into a composite replaces its children; the span is the one read.
  into.Append(Arc(7));
  RoundTrip(src, into, [&](const G3_CV_COMPOSIT& r) {
    EXPECT_TRUE(Text(r, true) == text && r.GetEnd() == 140);  // every field of every child
  });

  // A child count far beyond the file, a negative one, an unknown child tag.
  for (const char* s : {"2000000000\n<LN\n>\n>\n", "-5\n>\n", "1\n<XY\n>\n>\n"}) {
    EXPECT_EQ(LoadEncOf(std::string("<CC\n0\n1\n0\n0\n0\n1\n0\n") + s, C_FILE::TEXT), nullptr);
    EXPECT_NE(Take(), "") << s;
  }
  // The children read before a failing one stay in the composite.
  C_FILE_MEMORY g(C_FILE::TEXT, "0\n1\n0\n0\n0\n1\n0\n3\n" + Text(G3_CV_LINE(), true) +
                                    Text(Arc(90), true) + "<SPIRAL\n>\n");
  G3_CV_COMPOSIT r;
  EXPECT_FAILS(r.Load(kVNow, &g), GerrUnableToLoadCurve);
  EXPECT_EQ(r.GetNumber(), 2);
  // Every cut of an encoded record, text and binary, fails with an error
  // pending and leaks nothing; the whole record loads.
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    src.SaveEnc(&f);
    const std::string full = f.GetContent();
    // (A text file may lack its last line end: that cut is whole.)
    for (size_t n = 0; n + (type == C_FILE::TEXT) < full.size(); ++n) {
      std::unique_ptr<G3_CV> cut(LoadEncOf(full.substr(0, n), type));
      EXPECT_TRUE(!cut && !Take().empty()) << type << " " << n;
    }
    std::unique_ptr<G3_CV> whole(LoadEncOf(full, type));
    EXPECT_TRUE(whole && Text(*whole, true) == text) << PendingText();
  }
}

TEST_F(CurveTest, NestingDepthIsCapped) {
  // depth - 1 composite records, each holding the next, around a line.
  const auto nested = [](int depth) {
    std::string rec = Text(G3_CV_LINE(), true);
    for (int k = 1; k < depth; ++k) rec = "<CC\n0\n1\n0\n0\n0\n1\n0\n1\n" + rec + ">\n";
    return rec;
  };
  EXPECT_EQ(LoadEncOf(nested(G3_CV::MaxLoadDepth + 1), C_FILE::TEXT), nullptr);
  EXPECT_EQ(Take(), "G#Err#unable to load curve (records nested too deeply)");
  std::unique_ptr<G3_CV> r(LoadEncOf(nested(G3_CV::MaxLoadDepth), C_FILE::TEXT));
  ASSERT_NE(r, nullptr) << PendingText();  // the count is back to 0
  EXPECT_EQ(r->GetSpan(), 1);
}
