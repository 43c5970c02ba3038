#ifndef G3GEOM_CURVES_G3_CV_H
#define G3GEOM_CURVES_G3_CV_H

#include "containers/t_list.h"
#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"
#include "tokens/g_tokens.h"

// The base of every space curve: the owning element (never dereferenced), the
// tokens that name the curve and its parameter span. Curves are heap objects
// handled through G3_CV*; what Clone, CloneSame, a generator or LoadEnc
// returns belongs to the caller and is deleted through the virtual destructor.
class G_API G3_CV {
 public:
  // A generator of default curves of one class, registered by class name.
  typedef G3_CV* (*GENERATOR_FUNCTION)();
  struct G_API GENERATOR {
    C_STRING Name;
    GENERATOR_FUNCTION Generator = nullptr;
    GENERATOR() = default;
    GENERATOR(const C_STRING& name, GENERATOR_FUNCTION generator)
        : Name(name), Generator(generator) {}
    const C_STRING& GetName() const { return Name; }
    GENERATOR_FUNCTION GetGenerator() const { return Generator; }
    // Ordered and compared by name.
    C_BOOL operator==(const GENERATOR& g) const { return Name == g.Name; }
    C_BOOL operator!=(const GENERATOR& g) const { return Name != g.Name; }
    C_BOOL operator>(const GENERATOR& g) const { return Name > g.Name; }
    C_BOOL operator<(const GENERATOR& g) const { return Name < g.Name; }
  };

  // No owner, no tokens, span (0, 1).
  G3_CV() = default;
  // The span as given, unchecked.
  G3_CV(double start, double end) : start_(start), end_(end) {}
  G3_CV(const G3_CV& other) = default;
  G3_CV& operator=(const G3_CV& other) = default;

  // Virtual interface, in this order.
  virtual const C_STRING& GetClass() const;
  virtual const C_STRING& GetClassName() const;
  virtual C_BOOL IsLine() const;
  virtual C_BOOL IsPolygon() const;
  virtual C_BOOL IsCircle() const;
  virtual C_BOOL IsEllipse() const;
  virtual ~G3_CV();
  // The base cannot clone: raises "Clone()" and gives null.
  virtual G3_CV* Clone() const;
  // The base record: owner element, explicit-tokens flag, tokens when
  // explicit, parameter start and end.
  virtual void Load(int version, C_FILE* file);
  virtual void Save(C_FILE* file) const;

  void* GetElt() const { return elt_; }
  void SetElt(void* elt) { elt_ = elt; }
  const G_TOKENS& GetTokens() const { return tokens_; }
  G_TOKENS& GetTokens() { return tokens_; }
  G_TOKENS* GetTokensAdr() { return &tokens_; }
  void SetTokens(const G_TOKENS& tokens) { tokens_ = tokens; }
  double GetStart() const { return start_; }
  double GetEnd() const { return end_; }
  void SetStart(double start) { start_ = start; }
  void SetEnd(double end) { end_ = end; }
  void SetStartEnd(double start, double end) {
    start_ = start;
    end_ = end;
  }
  // Parameter start and end as a pair.
  void GetRange(double* start, double* end) const {
    *start = start_;
    *end = end_;
  }
  // End minus start.
  double GetSpan() const { return end_ - start_; }

  // Identity and checks: the checks raise their error when the answer is no.
  C_BOOL IsClass(const C_STRING& name) const { return name == GetClass(); }
  void CheckIsClass(const C_STRING& name) const;
  void CheckIsLine() const;
  void CheckIsPolygon() const;
  void CheckIsCircle() const;
  void CheckIsEllipse() const;
  G3_CV* CloneSame() const { return Clone(); }

  // Curves have no value equality nor order; these exist for the list templates.
  C_BOOL operator==(const G3_CV&) const { return false; }
  C_BOOL operator!=(const G3_CV&) const { return true; }
  C_BOOL operator>(const G3_CV&) const { return false; }

  // Registry of default generators, process-wide, sorted by name lazily on the
  // first lookup after a registration.
  static G3_CV* GenerateDefault();
  static void AddDefaultGenerator(const C_STRING& name, GENERATOR_FUNCTION generator);
  // A new curve for a class name: the exact name's generator, else that of the
  // longest registered prefix, else null. *lost (may be null) tells that the
  // class itself is absent (a name other than "G3_CV" not found exactly).
  static G3_CV* GenerateDefault(const C_STRING& name, C_BOOL* lost = nullptr);

  // Encoded record: a framed record tagged by the curve's class ("LN", "PG",
  // "CR", "BS", "CC" for the library's classes, GetClass() for any other).
  void SaveEnc(C_FILE* file) const;
  // A new curve read from one encoded record, or null with an error pending.
  static G3_CV* LoadEnc(int version, C_FILE* file);

  // Deepest nesting of encoded records that LoadEnc accepts.
  static const int MaxLoadDepth = 256;

  static const C_STRING CLASS;
  static const C_STRING CLASS_NAME;
  static const G3_CV VOID;
  static T_LIST<GENERATOR> DefaultGenerators;

 private:
  void* elt_ = nullptr;
  G_TOKENS tokens_;
  double start_ = 0;
  double end_ = 1;
};

// A heap copy of a curve, for the Clone of each class: null, with the error
// left pending, when the allocation or the copy of a member failed.
template <class T>
T* G3CvCopyOf(const T& curve) {
  T* c = Cnew<T>(curve);
  if (C_ERROR::Is()) {
    delete c;
    return nullptr;
  }
  return c;
}

#endif
