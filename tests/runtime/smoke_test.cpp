#include <gtest/gtest.h>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/c_math.h"
#include "runtime/c_string.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"
#include "runtime/t_solve.h"

TEST(RuntimeSmoke, EverythingLinks) {
  C_STRING s("1.5e2 x");
  int next = 0;
  EXPECT_EQ(s.ScanReal(0, &next), 150.0);
  EXPECT_EQ(next, 5);
  EXPECT_FALSE(C_ERROR::Is());
  C_FILE_MEMORY f(C_FILE::TEXT);
  int64_t pos = 0;
  TsaveStart("<", "CC", &f, &pos);
  Tsave(0.1, &f);
  TsaveTerm(">", pos, &f);
  f.Rewind();
  C_STRING name;
  TloadStart(1, &f, "<", &name, &pos);
  TloadTerm(1, &f, "<", ">", pos);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_TRUE(name == C_STRING("CC"));
  EXPECT_EQ(CmathSin(180), 0.0);
  double A[4] = {2, 0, 0, 4}, b[2] = {2, 4}, x[2] = {0, 0};
  Tsolve(A, b, x);
  EXPECT_EQ(x[0], 1.0);
  EXPECT_TRUE(T_NODE::VOID.IsVoid());
  TerrListIsVoid.Trigger();
  EXPECT_EQ(C_ERROR::GetPending(), &TerrListIsVoid);
  C_ERROR::ClearPending();
}
