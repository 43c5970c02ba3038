#include "curves/g_bspline.h"

#include <climits>
#include <cmath>

#include "runtime/c_error.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"

double G_BSPLINE::KnotSep = 1e-8;

namespace {

const char* const kInvalidDegree = "G#Err#Invalid B-spline (invalid degree)";
const char* const kInvalidNumber = "G#Err#Invalid B-spline (invalid number of functions)";
const char* const kOutOfRange = "G#Err#Out of range";

// Largest number of functions a counted constructor accepts: the knot count
// f + p + 1 must stay an int.
const int kMaxFuncs = INT_MAX / 2;

// The Cox-de Boor triangle on the knot window T, where T[0] is knot s - p + 1
// of interval s: knot s + 1 - j is T[p - j] and knot s + j is T[p - 1 + j].
// N receives the p + 1 non-zero values.
void CoxDeBoor(int p, double u, const double* T, double* N) {
  double left[G_BSPLINE::MaxDegree + 1];
  double right[G_BSPLINE::MaxDegree + 1];
  N[0] = 1.0;
  for (int j = 1; j <= p; ++j) {
    left[j] = u - T[p - j];
    right[j] = T[p - 1 + j] - u;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      double temp = N[r] / (right[r + 1] + left[j - r]);
      N[r] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    N[j] = saved;
  }
}

}  // namespace

// ---- Construction

G_BSPLINE::G_BSPLINE() { knots_.SetSorted(1); }

G_BSPLINE::G_BSPLINE(C_BOOL periodic, int degree, const T_LIST<double>& knots)
    : knots_(knots), periodic_(periodic), degree_(degree) {
  if (degree < 1 || degree > MaxDegree) {
    C_ERROR::Trigger(kInvalidDegree);
    return;
  }
  knots_.Sort();
}

G_BSPLINE::G_BSPLINE(C_BOOL periodic, int degree, int nfuncs)
    : periodic_(periodic), degree_(degree) {
  knots_.SetSorted(1);
  MakeKnots(degree, periodic ? UNIFORM : CLAMPED, nfuncs);
}

G_BSPLINE::G_BSPLINE(C_BOOL periodic, int degree, KTYPE type, int nfuncs)
    : periodic_(periodic), degree_(degree) {
  knots_.SetSorted(1);
  MakeKnots(degree, type, nfuncs);
}

void G_BSPLINE::MakeKnots(int p, KTYPE type, int f) {
  if (p < 1 || p > MaxDegree) {
    C_ERROR::Trigger(kInvalidDegree);
    return;
  }
  if (f < p + 1 || f > kMaxFuncs) {
    C_ERROR::Trigger(kInvalidNumber);
    return;
  }
  if (type != UNIFORM && type != CLAMPED && type != BEZIER) {
    CerrInvalidValue.Trigger();
    return;
  }
  T_LIST<double> t(periodic_ ? f + 1 : f + p + 1);
  if (C_ERROR::Is()) return;
  if (!periodic_) {
    if (type == UNIFORM) {
      for (int i = 0; i <= f + p; ++i) t.Append(double(i));
    } else if (type == CLAMPED) {
      t.Append(p + 1, 0.0);
      for (int i = 1; i <= f - p - 1; ++i) t.Append(double(i));
      t.Append(p + 1, double(f - p));
    } else {
      // End multiplicity p + 1, inner multiplicity p.
      t.Append(0.0);
      double value = 0.0;
      for (int k = 1; k < f + 1; k += p) {
        t.Append(p, value);
        value += 1.0;
      }
      t.Append(t.GetLast());
    }
  } else {
    if (type == UNIFORM) {
      for (int i = 0; i <= f; ++i) t.Append(double(i));
    } else if (type == CLAMPED) {
      for (int i = 0; i <= f - p; ++i) t.Append(double(i));
      t.Append(p, double(f + 1 - p));
    } else {
      t.Append(0.0);
      double value = 0.0;
      for (int k = 1; k <= f; ++k) {
        if ((k - 1) % p == 0) value += 1.0;
        t.Append(value);
      }
    }
  }
  if (C_ERROR::Is()) return;
  t.SetSorted(1);
  knots_.Grab(&t);
}

// ---- Sizes and ranges

int G_BSPLINE::GetNumberOfFuncs() const {
  int n = knots_.GetNumber();
  return periodic_ ? n - 1 : n - degree_ - 1;
}

void G_BSPLINE::GetRange(double* a, double* b) const {
  int n = knots_.GetNumber();
  if (periodic_) {
    *a = knots_.Get(0);
    *b = knots_.Get(n - 1);
  } else {
    *a = knots_.Get(degree_);
    *b = knots_.Get(n - degree_ - 1);
  }
}

double G_BSPLINE::GetSpan() const {
  double a = 0, b = 0;
  GetRange(&a, &b);
  return b - a;
}

double G_BSPLINE::GetUnwrapped(int i) const {
  int n = knots_.GetNumber();
  if (!periodic_ || n < 2 || (i >= 0 && i < n)) return knots_.Get(i);
  // i = q (n - 1) + r with 0 <= r < n - 1: knot r shifted by q periods. One
  // period away this is t[n - 1 + i] - P below and t[i - n + 1] + P above.
  int nf = n - 1;
  int q = i / nf;
  int r = i % nf;
  if (r < 0) {
    r += nf;
    --q;
  }
  double period = knots_[n - 1] - knots_[0];
  return knots_[r] + q * period;
}

double G_BSPLINE::WrapParam(double a, double b, double u) {
  if (b <= a) return u;
  double period = b - a;
  if (u < a - 10 * period || u > b + 10 * period) {
    double r = std::fmod(u - a, period);
    if (r < 0) r += period;
    u = a + r;
  }
  while (u < a) u += period;
  while (u >= b) u -= period;
  if (u < a) return a;  // rounding
  return u;
}

// ---- Evaluation

C_BOOL G_BSPLINE::CheckEval() const {
  int n = knots_.GetNumber();
  if (n == 0) {
    knots_.CheckIsNotVoid();
    return 0;
  }
  if (degree_ < 1 || degree_ > MaxDegree) {
    C_ERROR::Trigger(kInvalidDegree);
    return 0;
  }
  // As many functions as the constructors demand: the knot windows of every
  // interval then lie inside the vector.
  if (GetNumberOfFuncs() < degree_ + 1) {
    C_ERROR::Trigger(kInvalidNumber);
    return 0;
  }
  return 1;
}

int G_BSPLINE::FindInterval(double u) const {
  int n = knots_.GetNumber();
  if (n == 0) {
    knots_.CheckIsNotVoid();
    return 0;
  }
  if (periodic_) {
    u = WrapParam(knots_[0], knots_[n - 1], u);
    return knots_.FindInterval(u);
  }
  int p = degree_;
  double a = knots_.Get(p);
  double b = knots_.Get(n - p - 1);
  if (C_ERROR::Is()) return 0;
  if (!(u >= a && u <= b)) {  // a NaN is out of range as well
    C_ERROR::Trigger(kOutOfRange);
    return 0;
  }
  if (u == b) {
    // The last interval of non-zero length that ends at u.
    int i = n - p - 2;
    while (i > 0 && knots_[i] == u) --i;
    return i;
  }
  return knots_.FindInterval(u);
}

int G_BSPLINE::GetFirstNZ(double u) const {
  int s = FindInterval(u);
  if (C_ERROR::Is()) return 0;
  return periodic_ ? s : s - degree_;
}

int G_BSPLINE::GetFirstNZ(int s) const {
  if (!periodic_) return s - degree_;
  int nf = knots_.GetNumber() - 1;
  return nf > 0 ? s % nf : s;  // remainder with the sign of s
}

// The interval of u for evaluation, with the window of 2p knots around it:
// *T points at knot s - p + 1 (into the list, or into buffer for a periodic
// window that crosses the seam). Returns the first non-zero function, or -1
// with an error pending. u is wrapped or clamped by the caller.
int G_BSPLINE::EvalWindow(double u, double* buffer, const double** T) const {
  int n = knots_.GetNumber();
  int p = degree_;
  int s = FindInterval(u);
  if (C_ERROR::Is()) return -1;
  if (!periodic_) {
    // A degenerate vector (no interval of non-zero length in the range) or an
    // unsorted one may name an interval without a full window.
    if (s < p || s > n - p - 2) {
      C_ERROR::Trigger(kOutOfRange);
      return -1;
    }
    *T = knots_.GetAdrFast(s - p + 1);
    return s - p;
  }
  if (s < 0 || s > n - 2) {  // a period of zero length
    C_ERROR::Trigger(kOutOfRange);
    return -1;
  }
  if (s - p + 1 >= 0 && s + p <= n - 1) {
    *T = knots_.GetAdrFast(s - p + 1);
  } else {
    for (int i = 0; i < 2 * p; ++i) buffer[i] = GetUnwrapped(s - p + 1 + i);
    *T = buffer;
  }
  return s;
}

int G_BSPLINE::GetValuesNZ(double u, double* values) const {
  if (!CheckEval()) return 0;
  int n = knots_.GetNumber();
  int p = degree_;
  if (!periodic_) {
    // Clamped to t[0], not t[p]: below t[p] the interval search raises.
    double b = knots_[n - p - 1];
    if (u < knots_[0]) u = knots_[0];
    if (u > b) u = b;
  } else {
    u = WrapParam(knots_[0], knots_[n - 1], u);
  }
  double buffer[2 * MaxDegree];
  const double* T = nullptr;
  int first = EvalWindow(u, buffer, &T);
  if (first < 0 && C_ERROR::Is()) return 0;
  CoxDeBoor(p, u, T, values);
  return first;
}

int G_BSPLINE::GetDerivsNZ(int nd, double u, double** ders) const {
  if (!CheckEval()) return 0;
  int n = knots_.GetNumber();
  int p = degree_;
  if (!periodic_) {
    // Clamped to t[p] here, unlike GetValuesNZ.
    double a = knots_[p];
    double b = knots_[n - p - 1];
    if (u < a) u = a;
    if (u > b) u = b;
  } else {
    u = WrapParam(knots_[0], knots_[n - 1], u);
  }
  double buffer[2 * MaxDegree];
  const double* T = nullptr;
  int first = EvalWindow(u, buffer, &T);
  if (first < 0 && C_ERROR::Is()) return 0;

  double ndu[MaxDegree + 1][MaxDegree + 1];
  double left[MaxDegree + 1];
  double right[MaxDegree + 1];
  ndu[0][0] = 1.0;
  for (int j = 1; j <= p; ++j) {
    left[j] = u - T[p - j];
    right[j] = T[p - 1 + j] - u;
    double saved = 0.0;
    for (int r = 0; r < j; ++r) {
      ndu[j][r] = right[r + 1] + left[j - r];
      double temp = ndu[r][j - 1] / ndu[j][r];
      ndu[r][j] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    ndu[j][j] = saved;
  }
  for (int j = 0; j <= p; ++j) ders[0][j] = ndu[j][p];

  // Derivatives above the degree vanish; the recurrence runs up to p only.
  int kmax = nd < p ? nd : p;
  double a[2][MaxDegree + 1];
  for (int r = 0; r <= p; ++r) {
    int s1 = 0;
    int s2 = 1;
    a[0][0] = 1.0;
    for (int k = 1; k <= kmax; ++k) {
      double d = 0.0;
      int rk = r - k;
      int pk = p - k;
      if (r >= k) {
        a[s2][0] = a[s1][0] / ndu[pk + 1][rk];
        d = a[s2][0] * ndu[rk][pk];
      }
      int j1 = rk >= -1 ? 1 : -rk;
      int j2 = r - 1 <= pk ? k - 1 : p - r;
      for (int j = j1; j <= j2; ++j) {
        a[s2][j] = (a[s1][j] - a[s1][j - 1]) / ndu[pk + 1][rk + j];
        d += a[s2][j] * ndu[rk + j][pk];
      }
      if (r <= pk) {
        a[s2][k] = -a[s1][k - 1] / ndu[pk + 1][r];
        d += a[s2][k] * ndu[r][pk];
      }
      ders[k][r] = d;
      int t = s1;
      s1 = s2;
      s2 = t;
    }
  }
  double factor = p;
  for (int k = 1; k <= kmax; ++k) {
    for (int j = 0; j <= p; ++j) ders[k][j] *= factor;
    factor *= p - k;
  }
  for (int k = kmax + 1; k <= nd; ++k)
    for (int j = 0; j <= p; ++j) ders[k][j] = 0.0;
  return first;
}

double G_BSPLINE::GetValue(int j, double u) const {
  if (j < 0 || j >= GetNumberOfFuncs()) return 0.0;
  if (!CheckEval()) return 0.0;
  int n = knots_.GetNumber();
  int p = degree_;
  double values[MaxDegree + 1];
  if (!periodic_) {
    // Open support: 0 at the end knots of the support.
    if (!(knots_[j] < u && u < knots_[j + p + 1])) return 0.0;
    int first = GetValuesNZ(u, values);
    if (C_ERROR::Is()) return 0.0;
    int k = j - first;
    return k >= 0 && k <= p ? values[k] : 0.0;
  }
  u = WrapParam(knots_[0], knots_[n - 1], u);
  int nf = n - 1;
  C_BOOL inside;
  if (j - p < 0)  // the support wraps over the seam
    inside = u > knots_[j - p + nf] || u < knots_[j + 1];
  else
    inside = knots_[j - p] < u && u < knots_[j + 1];
  if (!inside) return 0.0;
  int first = GetValuesNZ(u, values);
  if (C_ERROR::Is()) return 0.0;
  int k = j < first ? j + nf - first : j - first;
  return k >= 0 && k <= p ? values[k] : 0.0;
}

void G_BSPLINE::GetInfluenceRange(int j, int* k0, int* k1, C_BOOL* split, int* k2,
                                  int* k3) const {
  int n = knots_.GetNumber();
  if (n == 0) {
    knots_.CheckIsNotVoid();
    return;
  }
  int p = degree_;
  *split = 0;
  if (!periodic_) {
    *k0 = j;
    *k1 = j + p + 1;
    return;
  }
  *k0 = j - p;
  *k1 = j + 1;
  if (*k0 < 0) {
    *split = 1;
    if (k2 != nullptr) *k2 = *k0 + n - 1;
    if (k3 != nullptr) *k3 = n - 1;
    *k0 = 0;
  }
}

void G_BSPLINE::GetInfluenceRange(int j, double* u0, double* u1, C_BOOL* split, double* u2,
                                  double* u3) const {
  int k0 = 0, k1 = 0, k2 = 0, k3 = 0;
  C_BOOL sp;
  GetInfluenceRange(j, &k0, &k1, &sp, &k2, &k3);
  if (C_ERROR::Is()) return;
  // Checked reads: j need not name a function.
  double a = knots_.Get(k0);
  double b = knots_.Get(k1);
  if (C_ERROR::Is()) return;
  *u0 = a;
  *u1 = b;
  *split = sp;
  if (sp) {
    double c = knots_.Get(k2);
    double d = knots_.Get(k3);
    if (C_ERROR::Is()) return;
    if (u2 != nullptr) *u2 = c;
    if (u3 != nullptr) *u3 = d;
  }
}

void G_BSPLINE::GetInfluencedCtlPts(double u, T_LIST<int>* indices) const {
  int n = knots_.GetNumber();
  if (n == 0) {
    knots_.CheckIsNotVoid();
    return;
  }
  const double tol = 1e-12;
  int p = degree_;
  int s = FindInterval(u);
  if (C_ERROR::Is()) return;
  if (s < 0 || s > n - 1) {  // a periodic vector of zero period
    C_ERROR::Trigger(kOutOfRange);
    return;
  }
  int m = GetMulti(s);
  if (C_ERROR::Is()) return;
  int first = s - p;
  int last = s;
  if (!periodic_) {
    if (std::fabs(u - knots_[n - m]) < tol) {
      indices->Append(s);
      return;
    }
    if (std::fabs(u - knots_[m - 1]) < tol) last = s - m + 1;
  } else {
    if (first < 0) {
      first += n - 1;
      last += n - 1;
    }
    if (std::fabs(u - knots_[n - m]) < tol) {
      last = s - m + 1;
      first = last - p;
    }
  }
  for (int i = first; i <= last && !C_ERROR::Is(); ++i) indices->Append(i);
}

// ---- Persistence

void G_BSPLINE::Save(C_FILE* file) const {
  knots_.Save(file);
  if (C_ERROR::Is()) return;
  Tsave(periodic_, file, 0);
  if (C_ERROR::Is()) return;
  Tsave(degree_, file, 0);
}

void G_BSPLINE::Load(int version, C_FILE* file) {
  knots_.Load(version, file);
  if (C_ERROR::Is()) return;
  Tload(version, file, &periodic_);
  if (C_ERROR::Is()) return;
  Tload(version, file, &degree_);
}
