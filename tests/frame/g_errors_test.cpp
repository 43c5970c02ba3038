#include "frame/g_errors.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>

namespace {

// Number of rows of the catalogue, counted by hand.
constexpr int kCatalogueSize = 307;

TEST(GErrors, CatalogueHoldsEveryConstantInOrder) {
  ASSERT_EQ(GerrGetCount(), kCatalogueSize);
  EXPECT_EQ(GerrGet(0), &GerrArcTooLarge);
  EXPECT_EQ(GerrGet(1), &GerrArcTooNarrow);
  EXPECT_EQ(GerrGet(51), &GerrImpossibleSpin);  // last of the general group
  EXPECT_EQ(GerrGet(52), &GerrFacetUnspecified);
  EXPECT_EQ(GerrGet(kCatalogueSize - 1), &GerrInvalidConeRadius);

  std::set<const C_ERROR*> seen;
  for (int i = 0; i < kCatalogueSize; ++i) {
    EXPECT_TRUE(seen.insert(GerrGet(i)).second) << "constant listed twice at " << i;
  }
  EXPECT_EQ(seen.count(nullptr), 0u);
  EXPECT_FALSE(C_ERROR::Is());

  for (int bad : {-1, kCatalogueSize}) {
    EXPECT_EQ(GerrGet(bad), nullptr);
    EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
    C_ERROR::ClearPending();
  }
}

TEST(GErrors, TextsAreExact) {
  const std::map<const C_ERROR*, const char*> expected = {
      {&GerrArcTooLarge, "G#Err#arc too large"},
      {&GerrDistanceIsNotNull, "G#Err#distance is not null"},
      {&GerrNullVector, "G#Err#null vector"},
      {&GerrUnableToFindEdgeGeometry, "G#Err#unable to fing geometry for edge"},
      {&GerrUnsuitableTopology,
       "G#Err#unsuitable topology (face or edge must not touch the intersection curve)"},
      {&GerrFacetSurfaceAngTolTooSmall, "G#Err#facet#Surface angular tolerance too small"},
      {&GerrFacetCurveAngTolTooSmall, "G#Facet#Err#curve angular tolerance too small"},
      {&GerrParasolidBlendFaceFace, "G#Fillet#Err#face-face inconsistency"},
      {&GerrParasolidBlendChamfer, "G#Fillet#Err#edge unsuited to asymetric chanfer"},
      {&GerrParasolidUnspecifiedError, "G#unspecified error"},
      {&GerrParasolidFragment, "G#Err#operation would cause sheet to break appart"},
      {&GerrRenderNoPolygonisation, "G#Err#rendering : unable to polygonize this entity"},
      {&GerrNotAEllipse, "G#Err#not a ellipse"},
      {&GerrHitError, "G#Fillet#Err#error in hit"},
      {&GerrHitNotSamePlane, "G#Hit#Err#not on same plane"},
      {&GerrTangentNull, "G#Err#tangent is nul"},
      {&GerrParasolid3FaceBlendFail, "G3Sh#Fil3faces#Err#Blend could not be created"},
      {&GerrInvalidConeRadius, "G3Cv#Err#Invalid cone radius"},
  };
  for (const auto& [error, text] : expected) EXPECT_STREQ(error->GetText(), text);
}

TEST(GErrors, EqualTextsStayDistinctConstants) {
  const struct {
    const C_ERROR *a, *b;
    const char* text;
  } twins[] = {
      {&GerrParasolidFxfWallClash, &GerrParasolidFxfFaceFace, "G#Err#face-face inconsistency"},
      {&GerrDifferentPeriodicities, &GerrDifferentPeriod, "G#Err#different periodicities"},
      {&GerrLinkCircleConcentric, &GerrConcentricCircle, "G#Link#Err#circles are concentric"},
  };
  for (const auto& t : twins) {
    EXPECT_NE(t.a, t.b);
    EXPECT_STREQ(t.a->GetText(), t.text);
    EXPECT_STREQ(t.b->GetText(), t.text);
    // Raising one makes that very constant pending, not its twin.
    t.b->Trigger();
    EXPECT_EQ(C_ERROR::GetPending(), t.b);
    C_ERROR::ClearPending();
  }

  // Those three are the only texts that repeat.
  std::map<std::string, int> count;
  for (int i = 0; i < GerrGetCount(); ++i) ++count[GerrGet(i)->GetText()];
  int repeated = 0;
  for (const auto& [text, n] : count) {
    if (n > 1) {
      EXPECT_EQ(n, 2) << text;
      ++repeated;
    }
  }
  EXPECT_EQ(repeated, 3);
}

TEST(GErrors, TextsFollowTheModuleFamilyPattern) {
  // <module>#[<family>#]Err#<text> with no trailing blank; "G#unspecified error" is
  // the one exception.
  const std::regex pattern("(G|G3Sh|G3Cv)#([A-Za-z0-9]+#)?Err#[^#](.*[^ ])?");
  int exceptions = 0;
  for (int i = 0; i < GerrGetCount(); ++i) {
    const char* text = GerrGet(i)->GetText();
    if (!std::regex_match(text, pattern)) {
      EXPECT_STREQ(text, "G#unspecified error");
      ++exceptions;
    }
  }
  EXPECT_EQ(exceptions, 1);
}

}  // namespace
