#include <cmath>
#include <string>

#include "algebra/geom_fixture.h"
#include "algebra/g2_axis.h"
#include "algebra/g2_point.h"
#include "algebra/g2_points.h"
#include "algebra/g2_transfo.h"
#include "algebra/g2_vector.h"
#include "algebra/g2_wpoint.h"
#include "algebra/g2_wpoints.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"

namespace {

// Puts the angular statics back: some tests move them to reach a bound.
class G2Test : public GeomTest {
 protected:
  void SetUp() override {
    GeomTest::SetUp();
    minSin_ = G_ANG::MinSin;
    minSin2_ = G_ANG::MinSin2;
  }
  void TearDown() override {
    G_ANG::MinSin = minSin_;
    G_ANG::MinSin2 = minSin2_;
    GeomTest::TearDown();
  }

 private:
  double minSin_ = 0, minSin2_ = 0;
};

const double kRound = 1e-12;

TEST_F(G2Test, ConstantsAndAccessors) {
  EXPECT_XY(G2_POINT::P0, 0.0, 0.0);
  EXPECT_XY(G2_VECTOR::V0, 0.0, 0.0);
  EXPECT_XY(G2_VECTOR1::VX, 1.0, 0.0);
  EXPECT_XY(G2_VECTOR1::VY, 0.0, 1.0);
  EXPECT_XY(G2_VECTOR1(), 1.0, 0.0);
  EXPECT_XY(G2_AXIS::OX.GetPo(), 0.0, 0.0);
  EXPECT_XY(G2_AXIS::OX.GetVx(), 1.0, 0.0);
  EXPECT_XY(G2_AXIS::OY.GetVx(), 0.0, 1.0);

  G2_POINT p(1, 2);
  EXPECT_EQ(p.GetCi(0), 1);
  EXPECT_EQ(p.GetCi(1), 2);
  EXPECT_EQ(p.GetCi(-3), 2);  // any other index reads y
  p.SetCi(2, 9);              // ignored
  EXPECT_XY(p, 1.0, 2.0);
  p.SetCi(1, 9);
  p.SetCar(p.GetCx(), p.GetCy() + 1);
  EXPECT_XY(p, 1.0, 10.0);
  G2_VECTOR v(3, 4);
  v.SetCi(0, -3);
  v.SetCi(-1, 0);
  EXPECT_XY(v, -3.0, 4.0);
  EXPECT_EQ(v.GetCi(7), 4);
}

TEST_F(G2Test, Operators) {
  const G2_POINT a(1, 2), b(4, 6);
  const G2_VECTOR u(1, 2), w(3, -1);
  EXPECT_XY(a + b, 5.0, 8.0);
  EXPECT_XY(b - a, 3.0, 4.0);
  EXPECT_XY(a + w, 4.0, 1.0);
  EXPECT_XY(a - w, -2.0, 3.0);
  EXPECT_XY(G2_POINT(a, w), 4.0, 1.0);
  EXPECT_XY(a >> b, 3.0, 4.0);
  EXPECT_XY(G2_VECTOR(a, b), 3.0, 4.0);
  EXPECT_XY(2 * a, 2.0, 4.0);
  EXPECT_XY(b / 2, 2.0, 3.0);
  EXPECT_XY(u + w, 4.0, 1.0);
  EXPECT_XY(u - w, -2.0, 3.0);
  EXPECT_XY(-u, -1.0, -2.0);
  EXPECT_XY(3 * u, 3.0, 6.0);
  EXPECT_XY(w / 2, 1.5, -0.5);
  EXPECT_EQ(u * w, 1);
  EXPECT_EQ(u ^ w, -7);  // 1 * -1 - 2 * 3
  EXPECT_EQ(w ^ u, 7);

  G2_VECTOR v = u;
  v += w;
  v *= 2;
  v /= 4;
  v.Invert();
  EXPECT_XY(v, -2.0, -0.5);
  EXPECT_EQ(G2_VECTOR(3, 4).GetNorm(), 5);
  EXPECT_EQ(G2_VECTOR(3, 4).GetNorm2(), 25);

  EXPECT_TRUE(a == G2_POINT(1, 2));
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(G2_POINT(1, 3) > G2_POINT(1, 2));
  EXPECT_TRUE(G2_POINT(2, 0) > G2_POINT(1, 9));
  EXPECT_FALSE(a > a);
  EXPECT_TRUE(G2_VECTOR(0, 1) > G2_VECTOR(-1, 5));
  EXPECT_FALSE(G2_VECTOR(0, 1) > G2_VECTOR(0, 1));
}

TEST_F(G2Test, UnitHasOneBand) {
  double norm = -1;
  G2_VECTOR v(3, 4);
  v.Unit(&norm);
  EXPECT_EQ(norm, 5);
  EXPECT_NEAR_XY(v, 0.6, 0.8, 2e-16);
  // Squared norm 1 + 5e-13: left as it is, norm 1.
  const double y = std::sqrt(5e-13);
  G2_VECTOR almost(1, y);
  almost.Unit(&norm);
  EXPECT_EQ(norm, 1);
  EXPECT_XY(almost, 1.0, y);
  // Squared norm 1 + 5e-9: the square root (no second band).
  const double y2 = std::sqrt(5e-9);
  G2_VECTOR near(1, y2);
  near.Unit(&norm);
  EXPECT_EQ(norm, std::sqrt(1 + y2 * y2));
  EXPECT_EQ(Take(), nullptr);

  G2_VECTOR null;
  null.Unit(&norm);
  EXPECT_EQ(norm, 0);
  EXPECT_XY(null, 0.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);

  EXPECT_XY(G2_VECTOR1(0, 0), 1.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);
  EXPECT_XY(G2_VECTOR1(G2_POINT(1, 1), G2_POINT(1, 1)), 1.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);
  EXPECT_XY(G2_VECTOR1(G2_POINT(1, 1), G2_POINT(1, -4)), 0.0, -1.0);
  EXPECT_XY(G2_VECTOR1(G2_VECTOR(0, 0.5)), 0.0, 1.0);
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G2Test, RotateAndDirectionTests) {
  G2_VECTOR v(1, 0);
  v.Rotate(90);
  EXPECT_NEAR_XY(v, 0.0, 1.0, kRound);
  v = G2_VECTOR(2, 1);
  v.Rotate(G_ANG(-90));
  EXPECT_NEAR_XY(v, 1.0, -2.0, kRound);
  G2_VECTOR1 u = G2_VECTOR1::VX;  // a direction turns as a vector does
  u.Rotate(90);
  EXPECT_NEAR_XY(u, 0.0, 1.0, kRound);

  const G2_VECTOR a(2, 0), c(0, 3);
  EXPECT_TRUE(G2_VECTOR(0, 0).Is0());
  EXPECT_FALSE(G2_VECTOR(1e-300, 0).Is0());
  EXPECT_TRUE(a.IsOn(G2_VECTOR(-4, 0)));  // either sense
  EXPECT_FALSE(a.IsOn(c));
  EXPECT_TRUE(a.IsOrthoTo(c));
  EXPECT_FALSE(a.IsOrthoTo(G2_VECTOR(1, 1)));
  const G2_VECTOR1 x = G2_VECTOR1::VX;
  EXPECT_TRUE(x.IsOn(G2_VECTOR1(-1, 0)));
  EXPECT_TRUE(x.IsOrthoTo(G2_VECTOR1::VY));
  EXPECT_FALSE(x.IsOn(G2_VECTOR1::VY));

  // General vectors, scaled and non-strict: (a ^ v)^2 = 1 = 0.5 * 1 * 2.
  G_ANG::MinSin2 = 0.5;
  EXPECT_TRUE(G2_VECTOR(1, 0).IsOn(G2_VECTOR(1, 1)));
  EXPECT_TRUE(G2_VECTOR(1, 0).IsOrthoTo(G2_VECTOR(1, 1)));
  G_ANG::MinSin2 = 0.4999;
  EXPECT_FALSE(G2_VECTOR(1, 0).IsOn(G2_VECTOR(1, 1)));
  EXPECT_FALSE(G2_VECTOR(1, 0).IsOrthoTo(G2_VECTOR(1, 1)));
  // Unit vectors, strict: (0.6, 0.8) is unit as it stands.
  const G2_VECTOR1 v1(0.6, 0.8);
  ASSERT_EQ(v1.GetCy(), 0.8);
  G_ANG::MinSin = 0.8;
  EXPECT_FALSE(x.IsOn(v1));
  EXPECT_TRUE(x.IsOrthoTo(v1));
  G_ANG::MinSin = 0.6;
  EXPECT_FALSE(x.IsOrthoTo(v1));
  G_ANG::MinSin = 0.80001;
  EXPECT_TRUE(x.IsOn(v1));
}

TEST_F(G2Test, PointTolerancesAndCoordinates) {
  const G2_POINT o(0, 0);
  EXPECT_FALSE(o.IsOn(G2_POINT(0, 0.5), 0.5));  // strict
  EXPECT_TRUE(o.IsOn(G2_POINT(0, 0.5), 0.5000001));
  EXPECT_FALSE(G2_POINT(7, -0.5).IsOn(G2_AXIS::OX, 0.5));
  EXPECT_TRUE(G2_POINT(7, -0.5).IsOn(G2_AXIS::OX, 0.5000001));
  EXPECT_TRUE(G2_POINT(0, 5).IsOn(G2_AXIS::OY, 1e-100));

  // p - o = 2u + 3v in a non-orthogonal basis.
  const G2_POINT c = G2_POINT(6, 4).GetCoo(G2_POINT(1, 1), G2_VECTOR(1, 0), G2_VECTOR(1, 1));
  EXPECT_EQ(Take(), nullptr);
  EXPECT_NEAR_XY(c, 2.0, 3.0, kRound);
  const G2_POINT bad = G2_POINT(6, 4).GetCoo(G2_POINT(1, 1), G2_VECTOR(1, 2), G2_VECTOR(-2, -4));
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_XY(bad, 0.0, 0.0);
}

TEST_F(G2Test, PointAndVectorRecords) {
  C_FILE_MEMORY text(C_FILE::TEXT);
  G2_POINT(1, 2.5).Save(&text);
  G2_VECTOR(-0.1, 1e20).Save(&text);
  EXPECT_EQ(text.GetContent(), "P1 2.5\nV-0.1 1e+20\n");
  C_FILE_MEMORY bin(C_FILE::BINARY);
  G2_POINT(1, 2.5).Save(&bin);
  G2_VECTOR(-0.1, 1e20).Save(&bin);
  EXPECT_EQ(bin.GetContent(), Bytes({1, 2.5, -0.1, 1e20}));
  for (C_FILE_MEMORY* f : {&text, &bin}) {
    f->Rewind();
    G2_POINT p;
    G2_VECTOR v;
    p.Load(0, f);
    v.Load(0, f);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_XY(p, 1.0, 2.5);
    EXPECT_XY(v, -0.1, 1e20);
  }
  C_FILE_MEMORY other(2);
  G2_POINT(1, 2).Save(&other);
  EXPECT_EQ(other.GetContent(), "");

  struct Case {
    const char* content;
    const char* error;
  };
  const Case points[] = {
      {"V1 2\n", "T#Err#Invalid file (point expected)"},
      {"P1\n", CerrStringNotReal.GetText()},
      {"P1  2\n", CerrStringNotReal.GetText()},
      {"", CerrEndOfFile.GetText()},
  };
  for (const Case& c : points) {
    C_FILE_MEMORY f(C_FILE::TEXT, c.content);
    G2_POINT p(7, 8);
    p.Load(0, &f);
    EXPECT_EQ(TakeText(), c.error) << c.content;
    EXPECT_XY(p, 7.0, 8.0);
  }
  C_FILE_MEMORY f(C_FILE::TEXT, "P1 2\n");
  G2_VECTOR v(7, 8);
  v.Load(0, &f);
  EXPECT_EQ(TakeText(), "T#Err#Invalid file (vector expected)");
  EXPECT_XY(v, 7.0, 8.0);
  C_FILE_MEMORY cut(C_FILE::BINARY, Bytes({1}));
  v.Load(0, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_XY(v, 7.0, 8.0);
}

TEST_F(G2Test, WeightedPoints) {
  const G2_WPOINT d;
  EXPECT_EQ(d.GetCx(), 0);
  EXPECT_EQ(d.GetCy(), 0);
  EXPECT_EQ(d.GetWt(), 1);
  const G2_WPOINT p(1, 2, 3);
  EXPECT_EQ(p.GetCi(0), 1);
  EXPECT_EQ(p.GetCi(2), 2);  // the weight only through GetWt
  EXPECT_TRUE(p == G2_WPOINT(1, 2, 3));
  EXPECT_TRUE(p != G2_WPOINT(1, 2, 4));
  EXPECT_FALSE(p > G2_WPOINT(0, 0, 0));
  EXPECT_FALSE(G2_WPOINT(0, 0, 0) > p);
  G2_WPOINTS l(4);
  l.Append(p);
  EXPECT_EQ(l.GetNumber(), 1);
  EXPECT_EQ(l.GetSize(), 4);
}

TEST_F(G2Test, Axes) {
  const G2_AXIS ab(G2_POINT(1, 1), G2_POINT(1, 5));
  EXPECT_XY(ab.GetVx(), 0.0, 1.0);
  const G2_AXIS same(G2_POINT(1, 1), G2_POINT(1, 1));
  EXPECT_EQ(Take(), &GerrNullVector);
  EXPECT_XY(same.GetVx(), 1.0, 0.0);

  double t = 0, s = 0;
  EXPECT_XY(ab.GetProj(G2_POINT(4, -2), &t), 1.0, -2.0);
  EXPECT_EQ(t, -3);

  const G2_AXIS up(G2_POINT(3, 5), G2_VECTOR1::VY);
  EXPECT_XY(G2_AXIS::OX.GetInter(up, 0, &t, &s), 3.0, 0.0);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(t, 3);
  EXPECT_EQ(s, -5);
  const G2_AXIS slant(G2_POINT(0, 1), G2_VECTOR1(1, 1));
  EXPECT_NEAR_XY(G2_AXIS::OX.GetInter(slant, 0), -1.0, 0.0, kRound);
  // A sine of 2e-8 still meets, far away.
  const G2_AXIS shallow(G2_POINT(0, 1), G2_VECTOR1(1, 2e-8));
  G2_AXIS::OX.GetInter(shallow, 0, &t);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_NEAR(t, -0.5e8, 1e-3);

  // Parallel, or at a sine below G_DIS::Min, whatever tol says.
  const G2_AXIS start(G2_POINT(2, 2), G2_VECTOR1::VX);
  for (const G2_VECTOR1& d : {G2_VECTOR1(-1, 0), G2_VECTOR1(1, 0.5e-8)}) {
    t = s = 99;
    const G2_POINT r = start.GetInter(G2_AXIS(G2_POINT(0, 0), d), 1e9, &t, &s);
    EXPECT_XY(r, 2.0, 2.0);
    const C_ERROR* e = C_ERROR::GetPending();
    EXPECT_EQ(e, &GerrNoIntersection);
    EXPECT_TRUE(e != nullptr && e->IsMild());
    C_ERROR::ClearPending();
    EXPECT_EQ(t, 99);
    EXPECT_EQ(s, 99);
  }

  const G2_AXIS back(G2_POINT(5, 0), G2_VECTOR1(-1, 0));
  EXPECT_TRUE(G2_AXIS::OX.IsOn(back, G_DIS::Min));
  const G2_AXIS off(G2_POINT(5, 0.5), G2_VECTOR1::VX);
  EXPECT_FALSE(G2_AXIS::OX.IsOn(off, 0.5));  // strict
  EXPECT_TRUE(G2_AXIS::OX.IsOn(off, 0.5000001));
  EXPECT_FALSE(G2_AXIS::OX.IsOn(G2_AXIS::OY, 1.0));

  G2_AXIS set;
  set.SetPo(G2_POINT(1, 2));
  set.SetVx(G2_VECTOR1(0, -1));
  C_FILE_MEMORY text(C_FILE::TEXT);
  set.Save(&text);
  EXPECT_EQ(text.GetContent(), "P1 2\nV0 -1\n");
  C_FILE_MEMORY bin(C_FILE::BINARY);
  set.Save(&bin);
  EXPECT_EQ(bin.GetContent(), Bytes({1, 2, 0, -1}));
  for (C_FILE_MEMORY* f : {&text, &bin}) {
    f->Rewind();
    G2_AXIS back2;
    back2.Load(0, f);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_XY(back2.GetPo(), 1.0, 2.0);
    EXPECT_XY(back2.GetVx(), 0.0, -1.0);
  }
  C_FILE_MEMORY cut(C_FILE::TEXT, "P1 2\n");
  G2_AXIS kept;
  kept.Load(0, &cut);
  EXPECT_EQ(Take(), &CerrEndOfFile);
  EXPECT_XY(kept.GetPo(), 0.0, 0.0);
  // A stream of another type reads nothing and keeps the axis.
  C_FILE_MEMORY other(2, "P1 2\nV0 -1\n");
  set.Load(0, &other);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XY(set.GetPo(), 1.0, 2.0);
  EXPECT_XY(set.GetVx(), 0.0, -1.0);
}

G2_POINT Map(const G2_TRANSFO& t, G2_POINT p) {
  t.Transfo(&p);
  return p;
}

TEST_F(G2Test, TransformationBuilders) {
  EXPECT_XY(Map(G2_TRANSFO::IDENTITY, G2_POINT(3, -4)), 3.0, -4.0);
  EXPECT_XY(Map(G2_TRANSFO(G2_VECTOR(1, 2)), G2_POINT(3, -4)), 4.0, -2.0);
  EXPECT_NEAR_XY(Map(G2_TRANSFO(G2_POINT(1, 1), G_ANG(180)), G2_POINT(2, 1)), 0.0, 1.0, kRound);
  EXPECT_NEAR_XY(Map(G2_TRANSFO(G2_POINT(1, 1), G_ANG(90)), G2_POINT(2, 1)), 1.0, 2.0, kRound);
  EXPECT_XY(Map(G2_TRANSFO(G2_POINT(1, 1), 2.0), G2_POINT(2, 3)), 3.0, 5.0);
  EXPECT_XY(Map(G2_TRANSFO(G2_POINT(1, 1), 2.0, 3.0), G2_POINT(2, 3)), 3.0, 7.0);
  // Local frame (o, u, u turned +90 degrees) to global.
  const G2_TRANSFO frame(G2_POINT(1, 2), G2_VECTOR1::VY);
  EXPECT_XY(Map(frame, G2_POINT(1, 0)), 1.0, 3.0);
  EXPECT_XY(Map(frame, G2_POINT(0, 1)), 0.0, 2.0);
  G2_VECTOR v(1, 0);
  frame.Transfo(&v);  // vectors ignore the translation
  EXPECT_XY(v, 0.0, 1.0);

  G2_TRANSFO m;
  m.SetSym(G2_AXIS::OX);
  EXPECT_NEAR_XY(Map(m, G2_POINT(1, 2)), 1.0, -2.0, kRound);
  m.SetSym(G2_AXIS(G2_POINT(0, 1), G2_VECTOR1(1, 1)));  // the line y = x + 1
  EXPECT_NEAR_XY(Map(m, G2_POINT(0, 0)), -1.0, 1.0, kRound);
  EXPECT_NEAR_XY(Map(m, G2_POINT(2, 3)), 2.0, 3.0, kRound);
  m.SetTra(G2_VECTOR(5, 5));
  m.SetIde();
  EXPECT_TRUE(m == G2_TRANSFO::IDENTITY);
  m.SetRot(G2_POINT(0, 0), 90);
  m.SetSca(G2_POINT(0, 0), -1);
  EXPECT_XY(Map(m, G2_POINT(1, 2)), -1.0, -2.0);
  m.SetFrame(G2_POINT(0, 0), G2_VECTOR1(-1, 0));
  EXPECT_XY(Map(m, G2_POINT(1, 2)), -1.0, -2.0);

  double raw[2][3];
  G2_TRANSFO(G2_VECTOR(7, 8)).GetMat(raw);
  EXPECT_EQ(raw[0][0], 1);
  EXPECT_EQ(raw[0][2], 7);
  EXPECT_EQ(raw[1][2], 8);
  const double given[2][3] = {{1, 2, 3}, {4, 5, 6}};
  m.SetMat(given);
  const double (*inner)[2][3] = nullptr;
  m.GetMat(&inner);
  EXPECT_EQ((*inner)[1][0], 4);
  EXPECT_XY(Map(m, G2_POINT(1, 1)), 6.0, 15.0);
  m.Clear();
  EXPECT_XY(Map(m, G2_POINT(1, 1)), 0.0, 0.0);
}

TEST_F(G2Test, CompositionOrderAndInverse) {
  const G2_TRANSFO tra(G2_VECTOR(1, 0));
  const G2_TRANSFO sca(G2_POINT(0, 0), 2.0);
  EXPECT_XY(Map(tra * sca, G2_POINT(1, 1)), 3.0, 2.0);  // scaling first
  EXPECT_XY(Map(sca * tra, G2_POINT(1, 1)), 4.0, 2.0);
  G2_TRANSFO t = tra;
  t <<= sca;  // tra . sca
  EXPECT_TRUE(t == tra * sca);
  t = tra;
  t >>= sca;  // sca . tra
  EXPECT_TRUE(t == sca * tra);

  const G2_TRANSFO rot(G2_POINT(2, -1), G_ANG(30));
  G2_TRANSFO inv = rot;
  inv.Invert();
  EXPECT_EQ(Take(), nullptr);
  EXPECT_NEAR_XY(Map(inv, Map(rot, G2_POINT(5, 7))), 5.0, 7.0, kRound);
  EXPECT_NEAR_XY(Map(inv, G2_POINT(2, -1)), 2.0, -1.0, kRound);  // the centre is fixed
  G2_TRANSFO shear;
  const double m[2][3] = {{2, 1, 3}, {0, 4, -8}};
  shear.SetMat(m);
  inv = shear;
  inv.Invert();
  EXPECT_NEAR_XY(Map(inv, G2_POINT(3, -8)), 0.0, 0.0, kRound);
  EXPECT_NEAR_XY(Map(inv, Map(shear, G2_POINT(-1, 2))), -1.0, 2.0, kRound);

  // det = 1e-14 < 1e-12: reported, unchanged.
  G2_TRANSFO flat(G2_POINT(3, 3), 1e-7);
  const G2_TRANSFO before = flat;
  flat.Invert();
  EXPECT_EQ(TakeText(), "Singular matrix");
  EXPECT_TRUE(flat == before);
}

TEST_F(G2Test, TransformationOrderCloneAndRecords) {
  const G2_TRANSFO tra(G2_VECTOR(1, 0));
  EXPECT_TRUE(G2_TRANSFO::IDENTITY < tra);  // m02: 0 < 1
  EXPECT_TRUE(tra > G2_TRANSFO::IDENTITY);
  EXPECT_FALSE(tra < tra);
  EXPECT_TRUE(tra != G2_TRANSFO::IDENTITY);
  EXPECT_TRUE(G2_TRANSFO(G2_POINT(0, 0), 2.0) > tra);  // m00 decides first

  G2_TRANSFO* copy = tra.Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(*copy == tra);
  delete copy;

  const G2_TRANSFO rot(G2_POINT(2, -1), G_ANG(30));
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    rot.Save(&f);
    if (type == C_FILE::BINARY) {
      double m[2][3];
      rot.GetMat(m);
      EXPECT_EQ(f.GetContent(), Bytes({m[0][0], m[0][1], m[0][2], m[1][0], m[1][1], m[1][2]}));
    }
    f.Rewind();
    G2_TRANSFO back;
    back.Load(0, &f);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_TRUE(back == rot) << type;
  }
  C_FILE_MEMORY cut(C_FILE::BINARY, Bytes({1, 2, 3, 4, 5}));
  G2_TRANSFO kept;
  kept.Load(0, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_TRUE(kept == G2_TRANSFO::IDENTITY);
}

TEST_F(G2Test, PointLists) {
  G2_POINTS l(2);
  l.Append(G2_POINT(1, 2));
  l.Append(G2_POINT(3, 4));
  l.Move(0, G2_VECTOR(1, -1));
  EXPECT_XY(l.Get(0), 2.0, 1.0);
  l.Move(2, G2_VECTOR(1, 1));
  EXPECT_EQ(Take(), &TerrInvalidIndex);
  EXPECT_EQ(l.GetNumber(), 2);

  // The count, then the point records; no flag behind them.
  C_FILE_MEMORY text(C_FILE::TEXT);
  l.Save(&text);
  const std::string& content = text.GetContent();
  const std::string tail = "P2 1\nP3 4\n";
  ASSERT_GE(content.size(), tail.size());
  EXPECT_EQ(content.substr(content.size() - tail.size()), tail);
  C_FILE_MEMORY bin(C_FILE::BINARY);
  l.Save(&bin);
  EXPECT_EQ(bin.GetContent().substr(bin.GetContent().size() - 32), Bytes({2, 1, 3, 4}));
  for (C_FILE_MEMORY* f : {&text, &bin}) {
    f->Rewind();
    G2_POINTS back;
    back.Load(0, f);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_TRUE(back == l);
    EXPECT_TRUE(f->AtEnd());
  }

  // A record that fails ends the load; the points read before it stay.
  C_FILE_MEMORY cut(C_FILE::TEXT, text.GetContent().substr(0, content.size() - 5));
  G2_POINTS part;
  part.Load(0, &cut);
  EXPECT_EQ(Take(), &CerrEndOfFile);
  ASSERT_EQ(part.GetNumber(), 1);
  EXPECT_XY(part.Get(0), 2.0, 1.0);
}

}  // namespace
