#include "indexes/g3_rtree.h"

#include <cmath>
#include <utility>

#include "algebra/g3_axis.h"
#include "indexes/g3_box_classify.h"
#include "runtime/c_error.h"
#include "runtime/t_solve.h"

using namespace g3_box_classify;

namespace {

// A cover width below this counts as 1 when seeds are compared, so that a
// flat cover does not divide by zero.
constexpr double kFlatWidth = 1e-12;


// G3_BOX::Unite inline, for the hot loops: a bound is replaced only by a
// strictly smaller minimum or a strictly larger maximum.
inline double Lo(double a, double b) { return b < a ? b : a; }
inline double Hi(double a, double b) { return b > a ? b : a; }

inline void UniteInto(G3_BOX* a, const G3_BOX& b) {
  a->SetXmin(Lo(a->GetXmin(), b.GetXmin()));
  a->SetXmax(Hi(a->GetXmax(), b.GetXmax()));
  a->SetYmin(Lo(a->GetYmin(), b.GetYmin()));
  a->SetYmax(Hi(a->GetYmax(), b.GetYmax()));
  a->SetZmin(Lo(a->GetZmin(), b.GetZmin()));
  a->SetZmax(Hi(a->GetZmax(), b.GetZmax()));
}

// Volume of a united with b.
inline double UnitedVolume(const G3_BOX& a, const G3_BOX& b) {
  return (Hi(a.GetXmax(), b.GetXmax()) - Lo(a.GetXmin(), b.GetXmin())) *
         (Hi(a.GetYmax(), b.GetYmax()) - Lo(a.GetYmin(), b.GetYmin())) *
         (Hi(a.GetZmax(), b.GetZmax()) - Lo(a.GetZmin(), b.GetZmin()));
}

double Min(const G3_BOX& b, int d) {
  return d == 0 ? b.GetXmin() : (d == 1 ? b.GetYmin() : b.GetZmin());
}
double Max(const G3_BOX& b, int d) {
  return d == 0 ? b.GetXmax() : (d == 1 ? b.GetYmax() : b.GetZmax());
}



// TisEqual (relative 1e-12), with the calls it would answer false spared: a
// gap beyond a looser bound cannot be equal.
// std::fmax without the library call: a NaN argument gives the other one.
inline double MaxNum(double x, double y) {
  return std::isnan(x) ? y : (std::isnan(y) ? x : (x < y ? y : x));
}

inline C_BOOL NearlyEqual(double a, double b) {
  const double scale = MaxNum(1.0, MaxNum(std::fabs(a), std::fabs(b)));
  if (std::fabs(a - b) > 1e-9 * scale) return false;
  return TisEqual(a, b);
}

// Asks for a node's cache lines ahead of its visit.
inline void PrefetchNode(const G3_RTREE_NODE* n) {
#if defined(__GNUC__)
  const char* p = reinterpret_cast<const char*>(n);
  for (size_t k = 0; k < sizeof(G3_RTREE_NODE); k += 64) __builtin_prefetch(p + k);
#else
  (void)n;
#endif
}

// The slot value of a free slot.
const G3_BOX kZeroRect(0, 0, 0, 0, 0, 0);

}  // namespace

// ---------------------------------------------------------------- records

void G3_RTREE_NODE::Init() {
  count = 0;
  level = -1;
  for (G3_RTREE_BRANCH& b : branch) {
    b.rect = kZeroRect;
    b.child = nullptr;
  }
}

G3_BOX G3_RTREE_NODE::GetCover() const {
  G3_BOX cover;
  C_BOOL first = true;
  for (const G3_RTREE_BRANCH& b : branch) {
    if (b.child == nullptr) continue;
    if (first) {
      cover = b.rect;
      first = false;
    } else {
      UniteInto(&cover, b.rect);
    }
  }
  return cover;
}

G3_RTREE::IncrementalSearchContext::~IncrementalSearchContext() { delete heap; }

// ---------------------------------------------------------------- construction

G3_RTREE::G3_RTREE() {
  idMap_ = Cnew<T_HASH_MAP<int, G3_RTREE_RECORD>>();
  Clear();
}

G3_RTREE::G3_RTREE(const G3_RTREE& t) {
  CopyFrom(t);
  if (C_ERROR::Is()) {
    // Nothing half-copied is kept: no root, no map, every counter 0. The
    // operations treat that as a void tree, and the next insertion or Clear
    // builds a root again.
    FreeAll();
    boxCount_ = nodeCount_ = leafCount_ = innerCount_ = branchCount_ = 0;
  }
}

G3_RTREE& G3_RTREE::operator=(const G3_RTREE& t) {
  if (&t == this) return *this;
  G3_RTREE tmp(t);
  if (C_ERROR::Is()) return *this;
  // Take over tmp's nodes and map; tmp then frees what was ours.
  std::swap(root_, tmp.root_);
  std::swap(freeNodes_, tmp.freeNodes_);
  std::swap(reinserting_, tmp.reinserting_);
  std::swap(boxCount_, tmp.boxCount_);
  std::swap(nodeCount_, tmp.nodeCount_);
  std::swap(leafCount_, tmp.leafCount_);
  std::swap(innerCount_, tmp.innerCount_);
  std::swap(branchCount_, tmp.branchCount_);
  std::swap(pool_, tmp.pool_);
  std::swap(idMap_, tmp.idMap_);
  std::swap(freeCount_, tmp.freeCount_);
  minFill_ = t.minFill_;
  return *this;
}

G3_RTREE::~G3_RTREE() { FreeAll(); }

void G3_RTREE::FreeAll() {
  pool_.Clear();
  root_ = nullptr;
  freeNodes_ = nullptr;
  freeCount_ = 0;
  delete idMap_;
  idMap_ = nullptr;
}

void G3_RTREE::CopyFrom(const G3_RTREE& t) {
  minFill_ = t.minFill_;
  reinserting_ = false;
  boxCount_ = t.boxCount_;
  nodeCount_ = t.nodeCount_;
  leafCount_ = t.leafCount_;
  innerCount_ = t.innerCount_;
  branchCount_ = t.branchCount_;
  root_ = nullptr;
  freeNodes_ = nullptr;
  freeCount_ = 0;
  idMap_ = nullptr;
  if (t.idMap_ != nullptr) {
    idMap_ = Cnew<T_HASH_MAP<int, G3_RTREE_RECORD>>(*t.idMap_);
    if (C_ERROR::Is()) return;
  } else {
    idMap_ = Cnew<T_HASH_MAP<int, G3_RTREE_RECORD>>();
    if (C_ERROR::Is()) return;
  }

  // Same pool, node for node; then the links are redirected to the copies.
  const int n = t.pool_.GetNumber();
  pool_.Grow(n);
  if (C_ERROR::Is()) return;
  for (int k = 0; k < n; ++k) {
    G3_RTREE_NODE* c = Cnew<G3_RTREE_NODE>(t.pool_.GetFast(k));
    if (c == nullptr) return;
    pool_.Append(&c);
    if (c != nullptr) {  // still ours: the append failed
      delete c;
      return;
    }
  }
  // Free nodes keep nothing but their place in the chain.
  G3_RTREE_NODE** tail = &freeNodes_;
  for (const G3_RTREE_NODE* f = t.freeNodes_; f != nullptr; f = f->branch[0].child) {
    G3_RTREE_NODE* c = pool_.GetAdrFast(f->poolIndex);
    c->Init();
    *tail = c;
    tail = &c->branch[0].child;
    ++freeCount_;
  }
  for (int k = 0; k < n; ++k) {
    G3_RTREE_NODE& c = pool_.GetFast(k);
    if (c.level <= 0) continue;  // leaves hold ids; free nodes are chained above
    for (G3_RTREE_BRANCH& b : c.branch)
      if (b.child != nullptr) b.child = pool_.GetAdrFast(b.child->poolIndex);
  }
  if (t.root_ != nullptr) root_ = pool_.GetAdrFast(t.root_->poolIndex);
}

void G3_RTREE::Clear() {
  freeNodes_ = nullptr;
  freeCount_ = 0;
  pool_.Clear();
  boxCount_ = nodeCount_ = leafCount_ = innerCount_ = branchCount_ = 0;
  reinserting_ = false;
  if (idMap_ != nullptr) idMap_->Clear();
  root_ = NewIndex();
}

void G3_RTREE::GetGlobalBox(G3_BOX* box) const {
  if (box == nullptr) return;
  *box = G3_BOX();
  if (IsVoid() || root_ == nullptr) return;
  *box = root_->GetCover();
}

// ---------------------------------------------------------------- nodes

G3_RTREE_NODE* G3_RTREE::NewNode() {
  G3_RTREE_NODE* n = freeNodes_;
  if (n != nullptr) {
    freeNodes_ = n->branch[0].child;
    --freeCount_;
    const int index = n->poolIndex;
    n->Init();
    n->poolIndex = index;
  } else {
    n = Cnew<G3_RTREE_NODE>();
    if (n == nullptr) return nullptr;
    n->Init();
    n->poolIndex = pool_.GetNumber();
    G3_RTREE_NODE* owned = n;
    pool_.Append(&owned);
    if (owned != nullptr) {  // the append failed
      delete n;
      return nullptr;
    }
  }
  ++nodeCount_;
  return n;
}

G3_RTREE_NODE* G3_RTREE::NewIndex() {
  G3_RTREE_NODE* n = NewNode();
  if (n == nullptr) return nullptr;
  n->level = 0;
  ++leafCount_;
  return n;
}

void G3_RTREE::FreeNode(G3_RTREE_NODE* n) {
  if (n == nullptr) return;
  --nodeCount_;
  if (n->level == 0)
    --leafCount_;
  else if (n->level > 0)
    --innerCount_;
  const int index = n->poolIndex;
  n->Init();
  n->poolIndex = index;
  n->branch[0].child = freeNodes_;
  freeNodes_ = n;
  ++freeCount_;
}

C_BOOL G3_RTREE::ReserveFree(int n) {
  while (freeCount_ < n) {
    G3_RTREE_NODE* c = Cnew<G3_RTREE_NODE>();
    if (c == nullptr) return false;
    c->Init();
    c->poolIndex = pool_.GetNumber();
    G3_RTREE_NODE* owned = c;
    pool_.Append(&owned);
    if (owned != nullptr) {  // the append failed
      delete c;
      return false;
    }
    c->branch[0].child = freeNodes_;
    freeNodes_ = c;
    ++freeCount_;
  }
  return true;
}

G3_RTREE_NODE_LIST* G3_RTREE::NewListNode() { return Cnew<G3_RTREE_NODE_LIST>(); }

void G3_RTREE::FreeListNode(G3_RTREE_NODE_LIST* l) { delete l; }

void G3_RTREE::ReInsert(G3_RTREE_NODE* n, G3_RTREE_NODE_LIST** list) {
  G3_RTREE_NODE_LIST* l = NewListNode();
  if (l == nullptr) return;
  l->node = n;
  l->next = *list;
  *list = l;
}

C_BOOL G3_RTREE::AddBranch(const G3_RTREE_BRANCH& b, G3_RTREE_NODE* n,
                           G3_RTREE_NODE** newNode) {
  if (n->count < G3_RTREE_NODE_CARD) {
    for (G3_RTREE_BRANCH& slot : n->branch) {
      if (slot.child == nullptr) {
        slot = b;
        ++n->count;
        return false;
      }
    }
  }
  G3_RTREE_NODE* q = nullptr;
  SplitNode(n, b, &q);
  if (newNode != nullptr) *newNode = q;
  if (q == nullptr) return false;  // no node to split into: error pending
  if (n->level == 0)
    ++leafCount_;
  else
    ++innerCount_;
  return true;
}

// ---------------------------------------------------------------- insertion

C_BOOL G3_RTREE::InsertRect(const G3_BOX& box, int id) {
  // id + 1 = 0 would be a null slot: the entry would vanish from the tree.
  // A NaN box meets nothing and would leave covers and queries undefined.
  if (id == -1 || HasNan(box)) {
    CerrInvalidValue.Trigger();
    return false;
  }
  if (root_ == nullptr) {
    root_ = NewIndex();
    if (root_ == nullptr) return false;
  }
  if (idMap_ == nullptr) {
    idMap_ = Cnew<T_HASH_MAP<int, G3_RTREE_RECORD>>();
    if (idMap_ == nullptr) return false;
  }
  // A split on every level plus a new root: no allocation half-way.
  if (!ReserveFree(root_->level + 2)) return false;
  G3_RTREE_RECORD rec;
  rec.id = id;
  rec.box = box;
  // The map is written first: a record it cannot hold would otherwise leave
  // an entry that cannot be deleted by its id.
  const int records = idMap_->GetNumber();
  idMap_->Insert(id, rec);
  // Replacing a record cannot fail; a new one failed when it is not there.
  if (idMap_->GetNumber() == records && idMap_->Search(id) == nullptr) return false;
  G3_RTREE_BRANCH b;
  b.rect = box;
  b.child = G3_RTREE_BRANCH::IdToChild(id);
  broken_ = false;
  const C_BOOL split = InsertRect1(b, &root_, 0);
  // The reserve makes a failure below impossible; should one happen all the
  // same, the map must not keep a record the tree lacks.
  if (broken_) {
    idMap_->Remove(id);
    return false;
  }
  return split;
}

C_BOOL G3_RTREE::InsertRect1(const G3_RTREE_BRANCH& b, G3_RTREE_NODE** root, int level) {
  if (!reinserting_) ++boxCount_;
  G3_RTREE_NODE* newNode = nullptr;
  if (InsertRect2(b, *root, &newNode, level)) {
    G3_RTREE_NODE* r = NewNode();
    if (r == nullptr) return false;
    r->level = (*root)->level + 1;
    G3_RTREE_BRANCH nb;
    nb.rect = (*root)->GetCover();
    nb.child = *root;
    AddBranch(nb, r, nullptr);
    nb.rect = newNode->GetCover();
    nb.child = newNode;
    AddBranch(nb, r, nullptr);
    *root = r;
    ++innerCount_;
    branchCount_ += 2;
    return true;
  }
  return false;
}

C_BOOL G3_RTREE::InsertRect2(const G3_RTREE_BRANCH& b, G3_RTREE_NODE* n,
                             G3_RTREE_NODE** newNode, int level) {
  if (n->level > level) {
    // The next node is one of the children: have them all on their way while
    // the choice is made (the descent waits on memory more than on arithmetic).
    for (const G3_RTREE_BRANCH& s : n->branch)
      if (s.child != nullptr) PrefetchNode(s.child);
    // Least volume enlargement; among equal enlargements the smaller box.
    int best = -1;
    double bestGrow = 0, bestVol = 0;
    for (int i = 0; i < G3_RTREE_NODE_CARD; ++i) {
      const G3_RTREE_BRANCH& s = n->branch[i];
      if (s.child == nullptr) continue;
      const double vol = s.rect.GetVolume();
      const double grow = UnitedVolume(b.rect, s.rect) - vol;
      if (best < 0 || grow < bestGrow || (vol < bestVol && NearlyEqual(grow, bestGrow))) {
        best = i;
        bestGrow = grow;
        bestVol = vol;
      }
    }
    if (best < 0) {
      // An inner node always has a branch; nothing sound can be done here.
      CerrInternalError.Trigger();
      broken_ = true;
      return false;
    }
    G3_RTREE_BRANCH& chosen = n->branch[best];
    G3_RTREE_NODE* split = nullptr;
    if (!InsertRect2(b, chosen.child, &split, level)) {
      UniteInto(&chosen.rect, b.rect);
      return false;
    }
    if (split == nullptr) return false;  // no node to split into: error pending
    chosen.rect = chosen.child->GetCover();
    G3_RTREE_BRANCH nb;
    nb.rect = split->GetCover();
    nb.child = split;
    ++branchCount_;
    return AddBranch(nb, n, newNode);
  }
  if (n->level == level) {
    ++branchCount_;
    return AddBranch(b, n, newNode);
  }
  return false;
}

// ---------------------------------------------------------------- split

void G3_RTREE::SplitNode(G3_RTREE_NODE* n, const G3_RTREE_BRANCH& b, G3_RTREE_NODE** newNode) {
  const int level = n->level;
  GetBranches(n, b);
  MethodZero(&pv_);
  // Nodes were reserved before the update began, so this takes a free one.
  G3_RTREE_NODE* q = NewNode();
  if (q == nullptr) {
    broken_ = true;
    // Put the node back as it was (its 5 branches; b is not stored).
    for (int i = 0; i < G3_RTREE_NODE_CARD; ++i) n->branch[i] = branchBuf_[i];
    n->count = G3_RTREE_NODE_CARD;
    if (newNode != nullptr) *newNode = nullptr;
    return;
  }
  n->level = level;
  q->level = level;
  LoadNodes(n, q, &pv_);
  if (newNode != nullptr) *newNode = q;
}

void G3_RTREE::GetBranches(G3_RTREE_NODE* n, const G3_RTREE_BRANCH& b) {
  for (int i = 0; i < G3_RTREE_NODE_CARD; ++i) branchBuf_[i] = n->branch[i];
  branchBuf_[G3_RTREE_NODE_CARD] = b;
  coverSplit_ = branchBuf_[0].rect;
  for (int i = 1; i < G3_RTREE_SPLIT_CARD; ++i) UniteInto(&coverSplit_, branchBuf_[i].rect);
  const int level = n->level;
  const int index = n->poolIndex;
  n->Init();
  n->level = level;
  n->poolIndex = index;
}

void G3_RTREE::MethodZero(G3_RTREE_PARTITION_VARS* pv) {
  InitPVars(pv);
  PickSeeds(pv);
  Pigeonhole(pv);
}

void G3_RTREE::InitPVars(G3_RTREE_PARTITION_VARS* pv) {
  for (int i = 0; i < G3_RTREE_SPLIT_CARD; ++i) {
    pv->partition[i] = -1;
    pv->taken[i] = false;
  }
  for (int g = 0; g < 2; ++g) {
    pv->count[g] = 0;
    // An empty group has no cover and no volume: its first member sets both.
    pv->cover[g] = G3_BOX();
    pv->area[g] = 0;
  }
}

void G3_RTREE::PickSeeds(G3_RTREE_PARTITION_VARS* pv) {
  int bestAxis = -1;
  double bestSep = 0;
  int bestLow = 0, bestHigh = 0;
  for (int d = 0; d < 3; ++d) {
    int highMin = 0, lowMax = 0;
    for (int i = 1; i < G3_RTREE_SPLIT_CARD; ++i) {
      // Strict: the first of equal values is kept.
      if (Min(branchBuf_[i].rect, d) > Min(branchBuf_[highMin].rect, d)) highMin = i;
      if (Max(branchBuf_[i].rect, d) < Max(branchBuf_[lowMax].rect, d)) lowMax = i;
    }
    double width = Max(coverSplit_, d) - Min(coverSplit_, d);
    if (width < kFlatWidth) width = 1.0;
    const double sep =
        (Min(branchBuf_[highMin].rect, d) - Max(branchBuf_[lowMax].rect, d)) / width;
    // The earlier axis wins ties.
    if (bestAxis < 0 || sep > bestSep) {
      bestAxis = d;
      bestSep = sep;
      bestLow = lowMax;
      bestHigh = highMin;
    }
  }
  if (bestLow == bestHigh) return;
  Classify(bestLow, 0, pv);
  Classify(bestHigh, 1, pv);
}

void G3_RTREE::Pigeonhole(G3_RTREE_PARTITION_VARS* pv) {
  const int most = G3_RTREE_SPLIT_CARD - minFill_;
  for (int i = 0; i < G3_RTREE_SPLIT_CARD; ++i) {
    if (pv->taken[i]) continue;
    if (pv->count[0] >= most) {
      Classify(i, 1, pv);
      continue;
    }
    if (pv->count[1] >= most) {
      Classify(i, 0, pv);
      continue;
    }
    const G3_BOX& r = branchBuf_[i].rect;
    double grow[2];
    for (int g = 0; g < 2; ++g) {
      grow[g] = (pv->count[g] == 0 ? r.GetVolume() : UnitedVolume(pv->cover[g], r)) - pv->area[g];
    }
    int group;
    if (grow[0] < grow[1])
      group = 0;
    else if (grow[1] < grow[0])
      group = 1;
    else if (pv->area[1] > pv->area[0])
      group = 0;
    else if (pv->area[0] == pv->area[1] && pv->count[0] < pv->count[1])
      group = 0;
    else
      group = 1;
    Classify(i, group, pv);
  }
}

void G3_RTREE::Classify(int i, int group, G3_RTREE_PARTITION_VARS* pv) {
  pv->partition[i] = group;
  pv->taken[i] = true;
  if (pv->count[group] == 0)
    pv->cover[group] = branchBuf_[i].rect;
  else
    UniteInto(&pv->cover[group], branchBuf_[i].rect);
  pv->area[group] = pv->cover[group].GetVolume();
  ++pv->count[group];
}

void G3_RTREE::LoadNodes(G3_RTREE_NODE* n, G3_RTREE_NODE* q, G3_RTREE_PARTITION_VARS* pv) {
  for (int i = 0; i < G3_RTREE_SPLIT_CARD; ++i) {
    // Neither group holds more than 4 entries: these never split.
    if (pv->partition[i] == 0)
      AddBranch(branchBuf_[i], n, nullptr);
    else if (pv->partition[i] == 1)
      AddBranch(branchBuf_[i], q, nullptr);
  }
}

// ---------------------------------------------------------------- deletion

C_BOOL G3_RTREE::DeleteRect(int id) {
  if (idMap_ == nullptr) return false;
  const G3_RTREE_RECORD* rec = idMap_->Search(id);
  if (rec == nullptr) return false;
  const G3_BOX box = rec->box;
  const C_BOOL done = DeleteRect1(box, id, &root_);
  // A deletion that could not reserve its nodes changed nothing; keep the
  // record then, so that the id can be deleted later.
  if (!done && C_ERROR::Is()) return false;
  idMap_->Remove(id);
  return done;
}

C_BOOL G3_RTREE::DeleteRect1(const G3_BOX& r, int id, G3_RTREE_NODE** root) {
  if (*root == nullptr) return false;
  // At most one underfull node per level is reinserted, and each reinsertion
  // may split every level above it and add a root: reserve for all of them
  // now, so that no entry is lost to a failed allocation half-way.
  const int h = (*root)->level;
  if (!ReserveFree(h * (2 * h + 2))) return false;
  reinserting_ = true;
  G3_RTREE_NODE_LIST* list = nullptr;
  // The box leads the search; a box that meets nothing (NaN, inverted) would
  // hide its own entry, so the whole tree is then searched for the id.
  C_BOOL found = DeleteRect2(r, id, *root, &list, true);
  if (!found && !C_ERROR::Is()) found = DeleteRect2(r, id, *root, &list, false);
  if (!found) {
    reinserting_ = false;
    return false;
  }
  --boxCount_;
  while (list != nullptr) {
    G3_RTREE_NODE* n = list->node;
    for (G3_RTREE_BRANCH& b : n->branch) {
      if (b.child == nullptr) continue;
      --branchCount_;
      InsertRect1(b, root, n->level);
    }
    G3_RTREE_NODE_LIST* next = list->next;
    FreeNode(n);
    FreeListNode(list);
    list = next;
  }
  G3_RTREE_NODE* top = *root;
  if (top->level > 0 && top->count == 1) {
    for (G3_RTREE_BRANCH& b : top->branch) {
      if (b.child == nullptr) continue;
      --branchCount_;
      *root = b.child;
      FreeNode(top);
      break;
    }
  }
  reinserting_ = false;
  return true;
}

C_BOOL G3_RTREE::DeleteRect2(const G3_BOX& r, int id, G3_RTREE_NODE* n,
                             G3_RTREE_NODE_LIST** reinsert, C_BOOL guided) {
  G3_RTREE_NODE* const target = G3_RTREE_BRANCH::IdToChild(id);
  if (n->level == 0) {
    for (G3_RTREE_BRANCH& b : n->branch) {
      if (b.child != target) continue;
      b.rect = kZeroRect;
      b.child = nullptr;
      --n->count;
      --branchCount_;
      return true;
    }
    return false;
  }
  for (G3_RTREE_BRANCH& b : n->branch) {
    if (b.child == nullptr) continue;
    if (guided && !b.rect.Clashes(r)) continue;
    if (!DeleteRect2(r, id, b.child, reinsert, guided)) continue;
    G3_RTREE_NODE_LIST* head = *reinsert;
    if (b.child->count < minFill_) ReInsert(b.child, reinsert);
    if (*reinsert != head) {
      b.rect = kZeroRect;
      b.child = nullptr;
      --n->count;
      --branchCount_;
    } else {
      b.rect = b.child->GetCover();
    }
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- queries

void G3_RTREE::PrepareOutput(T_LIST<int>* ids) const {
  ids->Clear();
  if (!IsVoid()) ids->GrowAuto(boxCount_);
}

void G3_RTREE::Intersect(const G3_BOX& q, T_LIST<int>* ids) const {
  if (ids == nullptr) return;
  PrepareOutput(ids);
  if (IsVoid() || C_ERROR::Is()) return;
  GetIndexes(root_, q, ids);
}

void G3_RTREE::Intersect(const G2_BOX& q, T_LIST<int>* ids) const {
  if (ids == nullptr) return;
  PrepareOutput(ids);
  if (IsVoid() || C_ERROR::Is()) return;
  GetIndexes(root_, q, ids);
}

void G3_RTREE::Intersect(const G3_AXIS& a, T_LIST<int>* ids) const {
  if (ids == nullptr) return;
  PrepareOutput(ids);
  if (IsVoid() || C_ERROR::Is() || AxisHasNan(a)) return;
  GetIndexes(root_, a, ids);
}

template <class Q>
void G3_RTREE::GetIndexesOf(const G3_RTREE_NODE* n, const Q& q, T_LIST<int>* ids) const {
  if (n->level == 0) {
    for (const G3_RTREE_BRANCH& b : n->branch)
      if (b.child != nullptr && Overlaps(q, b.rect)) ids->Append(b.GetId());
    return;
  }
  // Every slot is classified first, so that the children to visit are
  // fetched together; they are then visited in slot order.
  int c[G3_RTREE_NODE_CARD];
  for (int i = 0; i < G3_RTREE_NODE_CARD; ++i) {
    const G3_RTREE_BRANCH& b = n->branch[i];
    c[i] = b.child == nullptr ? OUTSIDE : g3_box_classify::Classify(q, b.rect);
    if (c[i] != OUTSIDE) PrefetchNode(b.child);
  }
  for (int i = 0; i < G3_RTREE_NODE_CARD; ++i) {
    if (c[i] == INSIDE)
      Gather(n->branch[i].child, ids);
    else if (c[i] == PARTIAL)
      GetIndexesOf(n->branch[i].child, q, ids);
  }
}

void G3_RTREE::GetIndexes(const G3_RTREE_NODE* n, const G3_BOX& q, T_LIST<int>* ids) const {
  GetIndexesOf(n, q, ids);
}

void G3_RTREE::GetIndexes(const G3_RTREE_NODE* n, const G2_BOX& q, T_LIST<int>* ids) const {
  GetIndexesOf(n, q, ids);
}

void G3_RTREE::GetIndexes(const G3_RTREE_NODE* n, const G3_AXIS& a, T_LIST<int>* ids) const {
  for (const G3_RTREE_BRANCH& b : n->branch) {
    if (b.child == nullptr || !b.rect.Intersect(a, nullptr)) continue;
    if (n->level == 0)
      ids->Append(b.GetId());
    else
      GetIndexes(b.child, a, ids);
  }
}

void G3_RTREE::Gather(const G3_RTREE_NODE* n, T_LIST<int>* ids) const {
  if (n->level == 0) {
    for (const G3_RTREE_BRANCH& b : n->branch)
      if (b.child != nullptr) ids->Append(b.GetId());
    return;
  }
  for (const G3_RTREE_BRANCH& b : n->branch)
    if (b.child != nullptr) PrefetchNode(b.child);
  for (const G3_RTREE_BRANCH& b : n->branch)
    if (b.child != nullptr) Gather(b.child, ids);
}

C_BOOL G3_RTREE::GetUnion(const G3_RTREE_NODE* n, const G2_BOX& q, G3_BOX* out) const {
  C_BOOL any = false;
  for (const G3_RTREE_BRANCH& b : n->branch) {
    if (b.child == nullptr) continue;
    const int c = Classify2(q, b.rect);
    if (c == OUTSIDE) continue;
    G3_BOX part = b.rect;
    if (n->level > 0 && c == PARTIAL) {
      if (!GetUnion(b.child, q, &part)) continue;
    }
    if (!any)
      *out = part;
    else
      UniteInto(out, part);
    any = true;
  }
  return any;
}

C_BOOL G3_RTREE::Union(const G2_BOX& q, G3_BOX* out) const {
  if (out == nullptr || IsVoid()) return false;
  if (!GetUnion(root_, q, out)) return false;
  const C_BOOL overlap = out->GetXmin() <= q.GetXmax() && q.GetXmin() <= out->GetXmax() &&
                         out->GetYmin() <= q.GetYmax() && q.GetYmin() <= out->GetYmax();
  if (overlap) {
    if (q.GetXmax() < out->GetXmax()) out->SetXmax(q.GetXmax());
    if (q.GetXmin() > out->GetXmin()) out->SetXmin(q.GetXmin());
    if (q.GetYmax() < out->GetYmax()) out->SetYmax(q.GetYmax());
    if (q.GetYmin() > out->GetYmin()) out->SetYmin(q.GetYmin());
  }
  return true;
}

C_BOOL G3_RTREE::IncludeAll(const G3_BOX& q) const {
  if (IsVoid()) return true;
  G3_BOX g;
  GetGlobalBox(&g);
  return g.IsIn(q);
}

C_BOOL G3_RTREE::IncludeAll(const G2_BOX& q) const {
  if (IsVoid()) return true;
  G3_BOX g;
  GetGlobalBox(&g);
  return q.GetXmin() <= g.GetXmin() && g.GetXmax() <= q.GetXmax() && q.GetYmin() <= g.GetYmin() &&
         g.GetYmax() <= q.GetYmax();
}

// ---------------------------------------------------------------- incremental search

T_CONTEXT* G3_RTREE_BeginIncrementalSearch(const G3_RTREE& t) {
  G3_RTREE::IncrementalSearchContext* c = Cnew<G3_RTREE::IncrementalSearchContext>();
  if (C_ERROR::Is()) {
    delete c;
    return nullptr;
  }
  c->heap = Cnew<G3_RTREE::SEARCH_HEAP>();
  if (C_ERROR::Is()) {
    delete c;
    return nullptr;
  }
  if (t.IsVoid()) return c;
  G3_RTREE::SEARCH_ENTRY e;
  e.value = 0.0;
  e.node = t.GetRoot();
  e.flag = false;
  e.index = -1;
  e.key = 0.0;
  c->heap->Push(e);
  if (C_ERROR::Is()) {
    delete c;
    return nullptr;
  }
  return c;
}

void G3_RTREE_EndIncrementalSearch(T_CONTEXT* c) { delete c; }
