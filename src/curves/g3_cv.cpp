#include "curves/g3_cv.h"

#include <cstdint>
#include <typeinfo>

#include "curves/g3_cv_bspline.h"
#include "curves/g3_cv_circle.h"
#include "curves/g3_cv_composit.h"
#include "curves/g3_cv_line.h"
#include "curves/g3_cv_polygon.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/t_persist.h"

const C_STRING G3_CV::CLASS("G3_CV");
const C_STRING G3_CV::CLASS_NAME("#curve");
const G3_CV G3_CV::VOID;
T_LIST<G3_CV::GENERATOR> G3_CV::DefaultGenerators;

namespace {

// File versions from which the base record carries the owner element, and
// the explicit-tokens flag (and from which short tags name the class).
const int kVersionOwner = 601039;
const int kVersionShortTags = 603021;

const char kAbsentExtension[] = "DDoc#Err#Data of absent extension is lost";
const char kNestedTooDeeply[] = "G#Err#unable to load curve (records nested too deeply)";

// Short tags as (first character x 256) + second character.
const int kTagLine = 0x4C4E;      // "LN"
const int kTagPolygon = 0x5047;   // "PG"
const int kTagCircle = 0x4352;    // "CR"
const int kTagBspline = 0x4253;   // "BS"
const int kTagComposit = 0x4343;  // "CC"

// Depth of the encoded records being read, nested composites included.
int load_depth = 0;

struct DEPTH_GUARD {
  DEPTH_GUARD() { ++load_depth; }
  ~DEPTH_GUARD() { --load_depth; }
  DEPTH_GUARD(const DEPTH_GUARD&) = delete;
  DEPTH_GUARD& operator=(const DEPTH_GUARD&) = delete;
};

// The owner element travels in files as a 32-bit int.
int EltToInt(const void* elt) { return static_cast<int>(reinterpret_cast<intptr_t>(elt)); }

// A new default curve of the library class a short tag names, or null.
G3_CV* NewForShortTag(int code) {
  switch (code) {
    case kTagLine:
      return Cnew<G3_CV_LINE>();
    case kTagPolygon:
      return Cnew<G3_CV_POLYGON>();
    case kTagCircle:
      return Cnew<G3_CV_CIRCLE>();
    case kTagBspline:
      return Cnew<G3_CV_BSPLINE>();
    case kTagComposit:
      return Cnew<G3_CV_COMPOSIT>();
    default:
      return nullptr;
  }
}

}  // namespace

G3_CV::~G3_CV() = default;

const C_STRING& G3_CV::GetClass() const { return CLASS; }
const C_STRING& G3_CV::GetClassName() const { return CLASS_NAME; }
C_BOOL G3_CV::IsLine() const { return false; }
C_BOOL G3_CV::IsPolygon() const { return false; }
C_BOOL G3_CV::IsCircle() const { return false; }
C_BOOL G3_CV::IsEllipse() const { return false; }

G3_CV* G3_CV::Clone() const {
  C_ERROR::Trigger("Clone()");
  return nullptr;
}

void G3_CV::CheckIsClass(const C_STRING& name) const {
  if (!IsClass(name)) GerrWrongTypeOfCurve.Trigger();
}
void G3_CV::CheckIsLine() const {
  if (!IsLine()) GerrNotALine.Trigger();
}
void G3_CV::CheckIsPolygon() const {
  if (!IsPolygon()) GerrNotAPolygon.Trigger();
}
void G3_CV::CheckIsCircle() const {
  if (!IsCircle()) GerrNotACircle.Trigger();
}
void G3_CV::CheckIsEllipse() const {
  if (!IsEllipse()) GerrNotAEllipse.Trigger();
}

G3_CV* G3_CV::GenerateDefault() { return Cnew<G3_CV>(); }

// Appended with no test for a duplicate; the list clears its sorted flag
// when the new name sorts before the previous last one.
void G3_CV::AddDefaultGenerator(const C_STRING& name, GENERATOR_FUNCTION generator) {
  DefaultGenerators.Append(GENERATOR(name, generator));
}

G3_CV* G3_CV::GenerateDefault(const C_STRING& name, C_BOOL* lost) {
  if (lost != nullptr) *lost = false;
  if (!DefaultGenerators.IsSorted()) DefaultGenerators.Sort();
  int i = DefaultGenerators.Search(GENERATOR(name, nullptr));
  if (i >= 0) {
    GENERATOR_FUNCTION f = DefaultGenerators.GetFast(i).Generator;
    return f != nullptr ? f() : nullptr;
  }
  if (lost != nullptr && name != CLASS) *lost = true;
  // The last prefix in list order: on the sorted list, the longest one.
  int best = -1;
  for (int k = 0; k < DefaultGenerators.GetNumber(); ++k)
    if (name.StartsWith(DefaultGenerators.GetFast(k).Name)) best = k;
  if (best < 0) return nullptr;
  GENERATOR_FUNCTION f = DefaultGenerators.GetFast(best).Generator;
  return f != nullptr ? f() : nullptr;
}

// The tokens are implicit when they are exactly the one token naming the
// owner element itself: (owner, 1 or -1, 0 or -1).
void G3_CV::Save(C_FILE* file) const {
  Tsave(EltToInt(elt_), file);
  if (C_ERROR::Is()) return;
  C_BOOL implicitTokens = false;
  if (tokens_.GetNumber() == 1) {
    const G_TOKEN& t = tokens_.GetFast(0);
    implicitTokens = t.GetElt() == elt_ && (t.GetKey() == 1 || t.GetKey() == -1) &&
                     (t.GetIndex() == 0 || t.GetIndex() == -1);
  }
  C_BOOL explicitTokens = !implicitTokens;
  Tsave(explicitTokens, file);
  if (C_ERROR::Is()) return;
  if (explicitTokens) {
    tokens_.Save(file);
    if (C_ERROR::Is()) return;
  }
  Tsave(start_, file);
  if (C_ERROR::Is()) return;
  Tsave(end_, file);
}

void G3_CV::Load(int version, C_FILE* file) {
  if (version >= kVersionOwner) {
    void* elt = G_TOKEN::LoadEltPtr(1, version, file);
    if (C_ERROR::Is()) return;
    elt_ = elt;
  }
  C_BOOL explicitTokens = true;
  if (version >= kVersionShortTags) {
    Tload(version, file, &explicitTokens);
    if (C_ERROR::Is()) return;
  }
  // Either way the tokens read replace those the curve held, so that a curve
  // loaded back holds exactly the tokens it was saved with.
  if (explicitTokens) {
    tokens_.Load(version, file);
  } else {
    tokens_.Clear();
    tokens_.Append(G_TOKEN(elt_, 1, 0));
  }
  if (C_ERROR::Is()) return;
  double start = start_;
  double end = end_;
  Tload(version, file, &start);
  if (C_ERROR::Is()) return;
  Tload(version, file, &end);
  if (C_ERROR::Is()) return;
  start_ = start;
  end_ = end;
}

void G3_CV::SaveEnc(C_FILE* file) const {
  // The exact dynamic class picks a short tag; a derived class does not count.
  const std::type_info& type = typeid(*this);
  C_STRING tag;
  if (type == typeid(G3_CV_LINE)) {
    tag = "LN";
  } else if (type == typeid(G3_CV_POLYGON)) {
    tag = "PG";
  } else if (type == typeid(G3_CV_CIRCLE)) {
    tag = "CR";
  } else if (type == typeid(G3_CV_BSPLINE)) {
    tag = "BS";
  } else if (type == typeid(G3_CV_COMPOSIT)) {
    tag = "CC";
  } else {
    tag = GetClass();
  }
  int64_t position = 0;
  TsaveStart("<", tag, file, &position, 0);
  if (C_ERROR::Is()) return;
  Save(file);
  if (C_ERROR::Is()) return;
  TsaveTerm(">", position, file, 0);
}

// A curve created here and then failing to load is deleted: the caller gets
// null and nothing is left behind.
G3_CV* G3_CV::LoadEnc(int version, C_FILE* file) {
  if (load_depth >= MaxLoadDepth) {
    C_ERROR::Trigger(kNestedTooDeeply);
    return nullptr;
  }
  DEPTH_GUARD guard;
  C_STRING tag;
  int64_t position = 0;
  TloadStart(version, file, "<", &tag, &position);
  if (C_ERROR::Is()) return nullptr;
  G3_CV* cv = nullptr;
  if (version >= kVersionShortTags) {
    // Only the first two characters take part.
    cv = NewForShortTag(int(tag.Get(0)) * 256 + int(tag.Get(1)));
    if (C_ERROR::Is()) return nullptr;
  }
  if (cv == nullptr) {
    C_BOOL lost = false;
    cv = GenerateDefault(tag, &lost);
    if (C_ERROR::Is()) {
      delete cv;
      return nullptr;
    }
    if (lost) {
      // The curve is read as far as the generated class knows it; the rest
      // of the record is passed over when the frame is closed.
      C_ERROR::Trigger(kAbsentExtension);
      C_ERROR::ReportPending();
    }
    if (cv == nullptr) {
      GerrUnableToLoadCurve.Trigger();
      return nullptr;
    }
  }
  cv->Load(version, file);
  if (C_ERROR::Is()) {
    delete cv;
    return nullptr;
  }
  TloadTerm(version, file, "<", ">", position);
  if (C_ERROR::Is()) {
    delete cv;
    return nullptr;
  }
  return cv;
}
