#ifndef G3GEOM_TESTS_VOLUMES_VOLUMES_TEST_UTIL_H
#define G3GEOM_TESTS_VOLUMES_VOLUMES_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "algebra/g2_axis.h"
#include "algebra/g2_points.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_points.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"
#include "volumes/g2_box.h"
#include "volumes/g3_box.h"
#include "volumes/g3_obbox.h"
#include "volumes/g3_prism.h"
#include "volumes/g3_rect.h"

// Shared by the volume tests (which include only this): a clean error state
// around each test, the values of a box or point in member order, lists, and
// record helpers.
namespace volumes_test {

class Test : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

using V = std::vector<double>;
inline V Values(const G2_POINT& p) { return {p.GetCx(), p.GetCy()}; }
inline V Values(const G3_POINT& p) { return {p.GetCx(), p.GetCy(), p.GetCz()}; }
inline V Values(const G3_VECTOR& v) { return {v.GetCx(), v.GetCy(), v.GetCz()}; }
inline V Values(const G2_BOX& b) { return {b.GetXmin(), b.GetXmax(), b.GetYmin(), b.GetYmax()}; }
inline V Values(const G3_RECT& b) { return {b.GetXmin(), b.GetXmax(), b.GetYmin(), b.GetYmax()}; }
inline V Values(const G3_BOX& b) {
  return {b.GetXmin(), b.GetXmax(), b.GetYmin(), b.GetYmax(), b.GetZmin(), b.GetZmax()};
}

// The values of x equal want to within tol (exactly by default).
template <class T>
void Expect(const T& x, const V& want, double tol = 0) {
  const V got = Values(x);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "value " << i;
}

template <class L, class E>
L ListOf(std::initializer_list<E> v) {
  L l;
  for (const E& e : v) l.Append(e);
  return l;
}

template <class T>
std::string Record(const T& x, int type) {
  C_FILE_MEMORY f(type);
  x.Save(&f);
  return f.GetContent();
}

// Saves x in text then in binary and hands each record, loaded back into a
// default value, to check along with the file type.
template <class T, class F>
void RoundTrip(const T& x, F check) {
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type, Record(x, type));
    T r;
    r.Load(1, &f);
    ASSERT_FALSE(C_ERROR::Is()) << "type " << type;
    EXPECT_TRUE(f.AtEnd()) << "type " << type;
    check(r, type);
  }
}

}  // namespace volumes_test

#endif
