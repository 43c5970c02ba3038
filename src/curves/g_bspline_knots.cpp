// Queries and edits of the knot vector of G_BSPLINE.

#include <cmath>

#include "curves/g_bspline.h"
#include "runtime/c_error.h"
#include "runtime/t_node.h"

namespace {

const char* const kInvalidDegree = "G#Err#Invalid B-spline (invalid degree)";
const char* const kInvalidNumber = "G#Err#Invalid B-spline (invalid number of functions)";
const char* const kOutOfRange = "G#Err#Out of range";

// Absolute tolerance of the knot-arc walks.
const double kArcTol = 1e-10;

}  // namespace

double G_BSPLINE::GetAcc() const {
  int n = knots_.GetNumber();
  if (n == 0) {
    knots_.CheckIsNotVoid();
    return 0.0;
  }
  return KnotSep * std::fmax(std::fabs(knots_[0]), std::fabs(knots_[n - 1]));
}

int G_BSPLINE::GetMulti(int i) const {
  int n = knots_.GetNumber();
  double v = knots_.Get(i);
  if (C_ERROR::Is()) return 0;
  int lo = i;
  while (lo > 0 && knots_[lo - 1] == v) --lo;
  int hi = i;
  while (hi < n - 1 && knots_[hi + 1] == v) ++hi;
  int m = hi - lo + 1;
  if (periodic_) {
    // Across the seam: only knots numerically equal to t[i] count.
    if (lo == 0) {
      for (int k = n - 2; k > hi && knots_[k] == v; --k) ++m;
    } else if (hi == n - 1 && lo >= 2) {
      for (int k = 1; k < lo && knots_[k] == v; ++k) ++m;
    }
  }
  return m;
}

void G_BSPLINE::FindMultiKnots(int m, T_LIST<int>* out) const {
  out->Clear();
  int n = knots_.GetNumber();
  out->Grow(n);
  if (C_ERROR::Is() || n == 0) return;
  int i = 0;
  int end = n;
  if (periodic_) {
    int lead = 1;
    while (lead < n && knots_[lead] == knots_[0]) ++lead;
    if (lead == n) {  // every knot equal: a single run
      if (n >= m) out->Append(0);
      return;
    }
    int trail = 1;
    while (trail < n && knots_[n - 1 - trail] == knots_[n - 1]) ++trail;
    // The two end runs are one knot at the seam.
    if (lead + trail - 1 >= m) out->Append(0);
    i = lead;
    end = n - trail;
  }
  while (i < end) {
    int j = i + 1;
    while (j < end && knots_[j] == knots_[i]) ++j;
    if (j - i >= m) out->Append(i);
    i = j;
  }
}

C_BOOL G_BSPLINE::IsUniform() const {
  int n = knots_.GetNumber();
  double acc = GetAcc();
  if (C_ERROR::Is() || n < 2) return n == 1;
  double d0 = knots_[1] - knots_[0];
  for (int i = 1; i <= n - 2; ++i) {
    double d = knots_[i + 1] - knots_[i];
    if (d < d0 - acc || d > d0 + acc) return 0;
  }
  return 1;
}

C_BOOL G_BSPLINE::IsClamped() const {
  if (periodic_) return 0;
  int n = knots_.GetNumber();
  int p = degree_;
  if (p < 0 || n - p - 1 < 0 || p > n - 1) return 0;
  return knots_[0] == knots_[p] && knots_[n - p - 1] == knots_[n - 1];
}

C_BOOL G_BSPLINE::IsQuasiUniform() const {
  if (periodic_) return 0;
  int n = knots_.GetNumber();
  int p = degree_;
  if (p < 0 || p + 1 > n - 1) return 0;
  double acc = GetAcc();
  double d0 = knots_[p + 1] - knots_[p];
  for (int i = p; i <= n - p - 2; ++i) {
    double d = knots_[i + 1] - knots_[i];
    if (d < d0 - acc || d > d0 + acc) return 0;
  }
  return IsClamped();
}

C_BOOL G_BSPLINE::IsBezier() const {
  return !periodic_ && knots_.GetNumber() == 2 * degree_ + 2 && IsClamped();
}

C_BOOL G_BSPLINE::IsClean() const {
  int n = knots_.GetNumber();
  if (n == 0) return 1;
  double acc = GetAcc();
  for (int i = 0; i + 1 < n; ++i) {
    double d = knots_[i + 1] - knots_[i];
    if (d != 0 && d < acc) return 0;
  }
  return 1;
}

C_BOOL G_BSPLINE::IsWrappable() const {
  if (periodic_) return 0;
  int n = knots_.GetNumber();
  int p = degree_;
  // Every knot the test reads exists from 2p + 1 knots on.
  if (p < 0 || n < 2 * p + 1) return 0;
  double acc = GetAcc();
  double a = knots_[p];
  double b = knots_[n - p - 1];
  for (int k = 1; k <= p; ++k) {
    if (std::fabs((a - knots_[p - k]) - (b - knots_[n - p - 1 - k])) > acc) return 0;
    if (std::fabs((knots_[n - p - 1 + k] - b) - (knots_[p + k] - a)) > acc) return 0;
  }
  return 1;
}

void G_BSPLINE::Clean(double* u) const {
  int n = knots_.GetNumber();
  if (n == 0) {
    knots_.CheckIsNotVoid();
    return;
  }
  double acc = GetAcc();
  if (!periodic_) {
    int p = degree_;
    double a = knots_.Get(p);
    double b = knots_.Get(n - p - 1);
    if (C_ERROR::Is()) return;
    if (*u < a) {
      *u = a;
    } else if (*u > b) {
      *u = b;
    } else {
      for (int k = n - p - 1; k >= p; --k) {
        if (std::fabs(*u - knots_[k]) < acc) {
          *u = knots_[k];
          break;
        }
      }
    }
    return;
  }
  *u = WrapParam(knots_[0], knots_[n - 1], *u);
  for (int k = n - 1; k >= 0; --k) {
    if (std::fabs(*u - knots_[k]) < acc) {
      *u = knots_[k];
      break;
    }
  }
}

int G_BSPLINE::GetNear(double u) const {
  int n = knots_.GetNumber();
  if (n == 0) {
    knots_.CheckIsNotVoid();
    return 0;
  }
  if (!periodic_) {
    int p = degree_;
    double a = knots_.Get(p);
    double b = knots_.Get(n - p - 1);
    if (C_ERROR::Is()) return 0;
    if (!(u >= a && u <= b)) {
      C_ERROR::Trigger(kOutOfRange);
      return 0;
    }
  } else {
    u = WrapParam(knots_[0], knots_[n - 1], u);
  }
  int i = knots_.FindInterval(u);
  if (C_ERROR::Is()) return 0;
  // At or beyond the last knot there is no next one to compare with.
  if (i < 0) return 0;
  if (i >= n - 1) return n - 1;
  return u - knots_[i] > knots_[i + 1] - u ? i + 1 : i;  // a tie goes to i
}

double G_BSPLINE::NextEndArc(double u, double uMax) const {
  int n = knots_.GetNumber();
  int i = FindInterval(u);
  if (C_ERROR::Is()) return u;
  if (i < 0 || i >= n - 1) {  // a periodic vector of zero period
    C_ERROR::Trigger(kOutOfRange);
    return u;
  }
  int k = i + 1;
  while (k < n - degree_ - 1 && std::fabs(knots_[k] - knots_[i]) < kArcTol) ++k;
  double e = knots_[k];
  if (uMax <= e) e = uMax;
  return std::fabs(e - uMax) < kArcTol ? uMax : e;
}

double G_BSPLINE::PrevBegArc(double u, double from) const {
  // A walk that reaches u passes each knot at most twice (once more after a
  // periodic wrap); one that has not reached u by then never will (u beyond
  // the range, or a walk stuck at the end of the range), and gives u.
  long steps = 2L * knots_.GetNumber() + 4;
  double x = from;
  double e;
  do {
    e = NextEndArc(x, u);
    if (C_ERROR::Is()) return u;
    if (std::fabs(e - u) < kArcTol) return x;
    x = e;
  } while (e <= u && --steps > 0);
  return u;
}

void G_BSPLINE::GetLimitParamArc(double u, double* beg, double* end, double lo,
                                 double hi) const {
  double b, e;
  if (std::fabs(u - hi) < kArcTol) {
    b = PrevBegArc(u, lo);
    if (C_ERROR::Is()) return;
    e = hi;
  } else {
    int n = knots_.GetNumber();
    int i = FindInterval(u);
    if (C_ERROR::Is()) return;
    if (i < 0 || i >= n - 1) {
      C_ERROR::Trigger(kOutOfRange);
      return;
    }
    int k = i + 1;
    while (k < n - degree_ - 1 && std::fabs(knots_[k] - knots_[i]) < kArcTol) ++k;
    b = knots_[i];
    e = knots_[k];
  }
  *beg = std::fmax(b, lo);
  *end = std::fmin(e, hi);
}

void G_BSPLINE::SetRange(double a1, double b1) {
  double a = 0, b = 0;
  GetRange(&a, &b);
  if (C_ERROR::Is()) return;
  if (!(b != a)) {  // an empty range cannot be stretched
    CerrInvalidValue.Trigger();
    return;
  }
  double s = (b1 - a1) / (b - a);
  int n = knots_.GetNumber();
  for (int i = 0; i < n; ++i) {
    double t = knots_[i];
    // The end knots land exactly on the new ends.
    if (t == a)
      knots_[i] = a1;
    else if (t == b)
      knots_[i] = b1;
    else
      knots_[i] = (t - a) * s + a1;
  }
  knots_.SetSorted(0);
  knots_.Sort();
}

void G_BSPLINE::Negate() {
  knots_.Invert();
  int n = knots_.GetNumber();
  for (int i = 0; i < n; ++i) knots_[i] = -knots_[i];
  knots_.SetSorted(0);
  knots_.Sort();
}

void G_BSPLINE::Wrap() {
  if (periodic_) return;
  int n = knots_.GetNumber();
  int p = degree_;
  if (p < 0) {
    C_ERROR::Trigger(kInvalidDegree);
    return;
  }
  // A period needs two knots left.
  if (n - 2 * p < 2) {
    C_ERROR::Trigger(kInvalidNumber);
    return;
  }
  if (p > 0) {
    knots_.Remove(n - p, p);
    if (C_ERROR::Is()) return;
    knots_.Remove(0, p);
    if (C_ERROR::Is()) return;
  }
  periodic_ = 1;
}

void G_BSPLINE::Unwrap() {
  if (!periodic_) return;
  int n = knots_.GetNumber();
  int p = degree_;
  if (p < 0 || p > MaxDegree) {
    C_ERROR::Trigger(kInvalidDegree);
    return;
  }
  if (n < 2) {
    C_ERROR::Trigger(kInvalidNumber);
    return;
  }
  T_LIST<double> t(n + 2 * p);
  if (C_ERROR::Is()) return;
  // Knots -p ... n - 1 + p of the extended vector: t[n-1-p] - P ... t[n-2] - P
  // in front, t[1] + P ... t[p] + P behind.
  for (int i = -p; i < n + p; ++i) t.Append(GetUnwrapped(i));
  if (C_ERROR::Is()) return;
  t.SetSorted(1);
  knots_.Grab(&t);
  periodic_ = 0;
}
