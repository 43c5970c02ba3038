#include "frame/g_errors.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>

namespace {

// Number of rows of the catalogue, counted by hand.
constexpr int kCatalogueSize = 307;

TEST(GErrors, CatalogueHoldsEveryConstantOnceInOrder) {
  ASSERT_EQ(GerrGetCount(), kCatalogueSize);
  EXPECT_EQ(GerrGet(0), &GerrArcTooLarge);
  EXPECT_EQ(GerrGet(51), &GerrImpossibleSpin);  // last of the general group
  EXPECT_EQ(GerrGet(52), &GerrFacetUnspecified);
  EXPECT_EQ(GerrGet(kCatalogueSize - 1), &GerrInvalidConeRadius);
  std::set<const C_ERROR*> seen;
  for (int i = 0; i < kCatalogueSize; ++i) {
    EXPECT_TRUE(GerrGet(i) != nullptr && seen.insert(GerrGet(i)).second) << i;
  }
  EXPECT_FALSE(C_ERROR::Is());
  for (int bad : {-1, kCatalogueSize}) {
    EXPECT_EQ(GerrGet(bad), nullptr);
    EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
    C_ERROR::ClearPending();
  }
}

TEST(GErrors, TextsAreExactMisspellingsAndTwinsIncluded) {
  const std::map<const C_ERROR*, const char*> expected = {
      {&GerrUnableToFindEdgeGeometry, "G#Err#unable to fing geometry for edge"},
      {&GerrUnsuitableTopology,
       "G#Err#unsuitable topology (face or edge must not touch the intersection curve)"},
      {&GerrFacetCurveAngTolTooSmall, "G#Facet#Err#curve angular tolerance too small"},
      {&GerrParasolidBlendChamfer, "G#Fillet#Err#edge unsuited to asymetric chanfer"},
      {&GerrParasolidFragment, "G#Err#operation would cause sheet to break appart"},
      {&GerrRenderNoPolygonisation, "G#Err#rendering : unable to polygonize this entity"},
      {&GerrNotAEllipse, "G#Err#not a ellipse"},
      {&GerrTangentNull, "G#Err#tangent is nul"},
      {&GerrParasolid3FaceBlendFail, "G3Sh#Fil3faces#Err#Blend could not be created"},
      // Three pairs of distinct constants share a text; no other text repeats.
      {&GerrParasolidFxfWallClash, "G#Err#face-face inconsistency"},
      {&GerrParasolidFxfFaceFace, "G#Err#face-face inconsistency"},
      {&GerrDifferentPeriodicities, "G#Err#different periodicities"},
      {&GerrDifferentPeriod, "G#Err#different periodicities"},
      {&GerrLinkCircleConcentric, "G#Link#Err#circles are concentric"},
      {&GerrConcentricCircle, "G#Link#Err#circles are concentric"},
  };
  ASSERT_EQ(expected.size(), 15u);  // the twins are distinct keys
  for (const auto& [error, text] : expected) EXPECT_STREQ(error->GetText(), text);
  std::set<std::string> texts;
  for (int i = 0; i < GerrGetCount(); ++i) texts.insert(GerrGet(i)->GetText());
  EXPECT_EQ(texts.size(), size_t(kCatalogueSize - 3));
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
