#include "volumes/g3_box.h"

#include "volumes/volumes_test_util.h"

namespace {

using namespace volumes_test;  // NOLINT
using G3BoxTest = Test;

const G3_BOX kUnit(0, 1, 0, 1, 0, 1);

TEST_F(G3BoxTest, ConstructionAndUnion) {
  // The void box takes exactly what is united into it.
  G3_BOX b;
  Expect(b, {1e100, -1e100, 1e100, -1e100, 1e100, -1e100});
  b.Unite(G3_POINT(1, 2, 3));
  Expect(b, {1, 1, 2, 2, 3, 3});
  b.Unite(G3_BOX(-1, 0.5, 1, 4, 1, 2));
  Expect(b, {-1, 1, 1, 4, 1, 3});
  b.Unite(ListOf<G3_POINTS>({G3_POINT(3, -2, 1), G3_POINT(-4, 6, 0)}));
  Expect(b, {-4, 3, -2, 6, 0, 3});
  Expect(ListOf<G3_POINTS>({G3_POINT(1, 2, 3), G3_POINT(0, 7, -1)}).GetBox(), {0, 1, 2, 7, -1, 3});
  EXPECT_FALSE(C_ERROR::Is());
  // An empty list is an index error and gives the box at the origin.
  Expect(G3_POINTS().GetBox(), {0, 0, 0, 0, 0, 0});
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
}

TEST_F(G3BoxTest, MeasuresCornersAndResizing) {
  const G3_BOX b(1, 3, -1, 3, 0, 6);
  G3_POINTS c = ListOf<G3_POINTS>({G3_POINT(9, 9, 9)});  // cleared first
  b.GetCorners(&c);
  ASSERT_EQ(c.GetNumber(), 8);
  const V corners[8] = {{1, -1, 0}, {3, -1, 0}, {3, 3, 0}, {1, 3, 0},
                        {1, -1, 6}, {3, -1, 6}, {3, 3, 6}, {1, 3, 6}};
  for (int i = 0; i < 8; i++) Expect(c[i], corners[i]);

  G3_BOX s(0, 2, -1, 1, 4, 4);
  s.Scale(-1);
  s.Scale(std::nan(""));
  s.Scale(2);
  Expect(s, {-1, 3, -2, 2, 4, 4});
  s.Scale(0);
  Expect(s, {1, 1, 0, 0, 4, 4});
  G3_BOX v;
  v.Regularize();
  Expect(v, {-1e100, 1e100, -1e100, 1e100, -1e100, 1e100});
}

TEST_F(G3BoxTest, IntersectWithinTheDistanceResolution) {
  // A gap of 5e-9 is below G_DIS::Min (1e-8): swapped shut, no error.
  G3_BOX g = kUnit;
  g.Intersect(G3_BOX(1 + 5e-9, 2, 0, 1, 0, 1));
  EXPECT_FALSE(C_ERROR::Is());
  Expect(g, {1, 1 + 5e-9, 0, 1, 0, 1});
  // A real gap: the error; x is done, y left as computed, z not reached.
  G3_BOX f = kUnit;
  f.Intersect(G3_BOX(0.5, 3, 1.1, 2, 0.2, 0.3));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrBoxesNoIntersection);
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "G#Err#boxes without intersection");
  Expect(f, {0.5, 1, 1.1, 1, 0, 1});
}

TEST_F(G3BoxTest, ContainmentClashesAndHalfSpaces) {
  const G3_BOX inner(0.2, 0.8, 0, 1, 0.5, 0.5);
  EXPECT_TRUE(inner.IsIn(kUnit) && kUnit.IsIn(kUnit) && !(inner > kUnit));
  EXPECT_TRUE(G3_POINT(1, 0, 0.5).IsIn(kUnit));
  EXPECT_FALSE(G3_POINT(1, 0, 1.0000001).IsIn(kUnit));

  EXPECT_TRUE(kUnit.Clashes(G3_BOX(1, 2, 1, 2, 1, 2)));  // touching, on either side
  EXPECT_TRUE(kUnit.Clashes(G3_BOX(-1, 0, -1, 0, -1, 0)));
  EXPECT_FALSE(kUnit.Clashes(G3_BOX(1.0000001, 2, 0, 1, 0, 1)));
  EXPECT_FALSE(kUnit.Clashes(G3_BOX(0, 1, 0, 1, -2, -1e-300)));
  // Facing values equal by TisEqual touch for Clashes_i, not for Clashes.
  const G3_BOX near(1 + 1e-14, 2, 0, 1, 0, 1);
  EXPECT_FALSE(kUnit.Clashes(near));
  EXPECT_TRUE(kUnit.Clashes_i(near) && near.Clashes_i(kUnit));
  EXPECT_FALSE(kUnit.Clashes_i(G3_BOX(1 + 1e-6, 2, 0, 1, 0, 1)));

  // 1: wholly on the normal's side (a plane through a face too), 0: wholly
  // behind, -1: cut (touching from behind too). The normal (-1, -1, 0) picks
  // the opposite corners.
  const struct { G3_POINT p; G3_VECTOR1 n; int side; } planes[] = {
      {G3_POINT(0, 0, 0), G3_VECTOR1(0, 0, 1), 1},
      {G3_POINT(0, 0, 1), G3_VECTOR1(0, 0, 1), -1},
      {G3_POINT(0.25, 0.25, 0), G3_VECTOR1(-1, -1, 0), -1},
      {G3_POINT(-0.05, -0.05, 0), G3_VECTOR1(-1, -1, 0), 0},
      {G3_POINT(1.5, 1.5, 0), G3_VECTOR1(-1, -1, 0), 1}};
  for (const auto& c : planes) {
    EXPECT_EQ(int(kUnit.IsInHalfSpace(c.p, c.n)), c.side) << &c - planes;
    EXPECT_EQ(int(G3_PLANE(c.p, c.n).IsInHalfSpace(kUnit)), c.side) << &c - planes;
  }
}

TEST_F(G3BoxTest, HalfLineEntryAndWholeLine) {
  // With a point: the half-line's entry (its origin when inside); a miss
  // leaves the point alone.
  const G3_VECTOR1 x(1, 0, 0), d12(1, 2, 0);
  const struct { G3_POINT o; G3_VECTOR1 d; bool hit; V at; } rays[] = {
      {G3_POINT(-1, 0.5, 0.5), G3_VECTOR1(-1, 0, 0), false, {9, 9, 9}},  // behind
      // Along (1, 2, 0) the last plane reached decides: x = 0 at y = 0.5,
      // y = 0 at x = 0.25, then y = 0 at x = 1.5 (a miss).
      {G3_POINT(-1, -1.5, 0.5), d12, true, {0, 0.5, 0.5}},
      {G3_POINT(-1, -2.5, 0.5), d12, true, {0.25, 0, 0.5}},
      {G3_POINT(-1, -5, 0.5), d12, false, {9, 9, 9}},
      {G3_POINT(-1, 2, 0.5), x, false, {9, 9, 9}}};  // parallel to a face, outside
  for (const auto& c : rays) {
    G3_POINT p(9, 9, 9);
    EXPECT_EQ(bool(kUnit.Intersect(G3_AXIS(c.o, c.d), &p)), c.hit) << &c - rays;
    Expect(p, c.at, 1e-15);
  }
  // Without a point the whole line counts, and a line grazing an edge or
  // lying in a face misses.
  const struct { G3_POINT o; G3_VECTOR1 d; bool hit; } lines[] = {
      {G3_POINT(-1, 0.5, 0.5), G3_VECTOR1(-1, 0, 0), true},
      {G3_POINT(1, 1, 0), G3_VECTOR1(0, 0, 1), false},  // along an edge
      {G3_POINT(1, 0.5, 0), G3_VECTOR1(0, 0, 1), false},  // in a face
      {G3_POINT(0.999, 0.5, 0), G3_VECTOR1(0, 0, 1), true}};
  for (const auto& c : lines)
    EXPECT_EQ(bool(kUnit.Intersect(G3_AXIS(c.o, c.d), nullptr)), c.hit) << &c - lines;
}

TEST_F(G3BoxTest, ClipLineFractionsAndFaceCodes) {
  // exit face * 8 + entry face: 1 xmin, 2 xmax, 3 ymin, 4 ymax, 5 zmin,
  // 6 zmax, 0 for an end not cut; -1 on a miss, a and b untouched.
  const struct { G3_POINT p, q; int code; V a, b; } cases[] = {
      {G3_POINT(2, 0.5, 0.5), G3_POINT(-1, 0.5, 0.5), 1 * 8 + 2, {1, 0.5, 0.5}, {0, 0.5, 0.5}},
      // Out through zmax at t = 1/2; in through ymin at 1/4, out through zmax at 3/4.
      {G3_POINT(0.5, 0.5, 0.5), G3_POINT(0.5, 1, 1.5), 6 * 8, {0.5, 0.5, 0.5}, {0.5, 0.75, 1}},
      {G3_POINT(0.5, -0.25, 0.25), G3_POINT(0.5, 0.75, 1.25), 6 * 8 + 3, {0.5, 0, 0.5},
       {0.5, 0.5, 1}},
      // Ending on a face is not a cut.
      {G3_POINT(0.5, 0.5, 0.5), G3_POINT(1, 0.5, 0.5), 0, {0.5, 0.5, 0.5}, {1, 0.5, 0.5}},
      {G3_POINT(2.5, 0, 0.5), G3_POINT(0, 2.5, 0.5), -1, {7, 7, 7}, {8, 8, 8}}};  // by a corner
  for (const auto& c : cases) {
    G3_POINT a(7, 7, 7), b(8, 8, 8);
    EXPECT_EQ(kUnit.ClipLine(c.p, c.q, &a, &b), c.code) << &c - cases;
    Expect(a, c.a);
    Expect(b, c.b);
  }
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(-1, 0.5, 0.5), G3_POINT(0.5, 0.5, 0.5), nullptr, nullptr), 1);
}

TEST_F(G3BoxTest, TransfoGivesTheBoundsOfTheImage) {
  const V kVoid = {1e100, -1e100, 1e100, -1e100, 1e100, -1e100};
  const double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}};
  G3_TRANSFO quarter, mirror, proj;
  quarter.SetRotZ(90);
  mirror.SetSym(G3_PLANE::OXY);
  proj.SetMat(m);  // divides by z + 1
  const struct { G3_TRANSFO t; V in, want; } cases[] = {
      {G3_TRANSFO(G3_VECTOR(1, -1, 0.5)), {0, 1, 0, 2, 0, 3}, {1, 2, -1, 1, 0.5, 3.5}},
      {quarter, {0, 1, 0, 2, 0, 3}, {-2, 0, 0, 1, 0, 3}},
      {G3_TRANSFO(G3_POINT(0, 0, 0), -2.0), {1, 2, -1, 3, 0, 1}, {-4, -2, -6, 2, -2, 0}},
      {proj, {-2, 2, 0, 4, 0, 1}, {-2, 2, 0, 4, 0, 0.5}},  // the box of the eight corners
      // A box with an empty interval holds no point, nor does its image: through
      // a turn, a mirror or a projective map the void box would otherwise gather
      // its +-1e100 into the whole space. A translation only shifts the bounds.
      {mirror, kVoid, kVoid},
      {proj, kVoid, kVoid},
      {quarter, {0, 1, 3, 2, 0, 1}, {0, 1, 3, 2, 0, 1}},
      {G3_TRANSFO(G3_VECTOR(1, 2, 3)), kVoid, kVoid}};
  for (const auto& c : cases) {
    G3_BOX b(c.in[0], c.in[1], c.in[2], c.in[3], c.in[4], c.in[5]);
    b.Transfo(c.t);
    Expect(b, c.want, 1e-12);
  }
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(G3BoxTest, RecordsRoundTrip) {
  const G3_BOX b(-1.5, 2.25, 1.0 / 3, 7, -1e-300, 1e100);
  RoundTrip(b, [&](const G3_BOX& r, int) { EXPECT_TRUE(r == b); });
  // Six doubles: six lines of text, 48 bytes of binary.
  EXPECT_EQ(Record(b, C_FILE::TEXT), "-1.5\n2.25\n0.33333333333333331\n7\n-1e-300\n1e+100\n");
  const std::string bin = Record(b, C_FILE::BINARY);
  EXPECT_EQ(bin.size(), 48u);
  // A truncated record leaves the error pending.
  C_FILE_MEMORY cut(C_FILE::BINARY, bin.substr(0, 20));
  G3_BOX r;
  r.Load(1, &cut);
  EXPECT_TRUE(C_ERROR::Is());
}

}  // namespace
