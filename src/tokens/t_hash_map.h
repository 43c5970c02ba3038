#ifndef G3GEOM_TOKENS_T_HASH_MAP_H
#define G3GEOM_TOKENS_T_HASH_MAP_H

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "runtime/c_bool.h"
#include "runtime/c_error.h"

// Hashing of a key into 32 unsigned bits; the bucket is that value modulo the
// number of buckets.
template <class K>
struct T_HASH_KEY;

// A 64-bit identifier folds its two halves together.
template <>
struct T_HASH_KEY<int64_t> {
  static uint32_t Hash(int64_t key) {
    uint64_t u = static_cast<uint64_t>(key);
    return static_cast<uint32_t>(u >> 32) ^ static_cast<uint32_t>(u);
  }
};

// An int key is taken as an unsigned number.
template <>
struct T_HASH_KEY<int> {
  static uint32_t Hash(int key) { return static_cast<uint32_t>(key); }
};

// Bucket counts of a hash map, smallest first: primes roughly doubling.
inline const int* T_HASH_MAP_BucketCounts(int* count) {
  static const int kCounts[] = {11,        23,        53,        97,        193,      389,
                                769,       1543,      3079,      6151,      12289,    24593,
                                49157,     98317,     196613,    393241,    786433,   1572869,
                                3145739,   6291469,   12582917,  25165843,  50331653, 100663319,
                                201326611, 402653189, 805306457, 1610612741};
  *count = int(sizeof(kCounts) / sizeof(kCounts[0]));
  return kCounts;
}

// x mod d for 32-bit unsigned x and d, by a multiplication with a constant
// computed once per bucket count instead of a division per lookup. Exact for
// every x and d > 0.
class T_HASH_MOD {
 public:
  T_HASH_MOD() = default;
  explicit T_HASH_MOD(uint32_t d) : d_(d), m_(d > 0 ? ~uint64_t(0) / d + 1 : 0) {}
  uint32_t Of(uint32_t x) const {
    // The high 64 bits of the 96-bit product (m x mod 2^64) d, in two halves.
    const uint64_t low = m_ * x;
    return static_cast<uint32_t>(((low >> 32) * d_ + (((low & 0xffffffffu) * d_) >> 32)) >> 32);
  }

 private:
  uint32_t d_ = 0;
  uint64_t m_ = 0;
};

// A hash map with one entry held inline in each bucket and further entries of
// the same bucket chained after it.
//
// Layout: the bucket array with its capacity, number and flag (as a list),
// then the number of entries and the number of buckets. Each bucket is an
// entry {link, key, value}; a bucket whose link is -1 is empty, a link of 0
// ends a chain, and a link n > 0 is the chained entry n - 1 of the overflow
// pool: one growable array of entries of the same shape, whose released
// entries are reused. When an insertion finds as many entries as buckets,
// the map is first rebuilt with the smallest bucket count of the table that
// holds one more entry: every entry is re-hashed, bucket by bucket, inline
// entry first, into a fresh bucket array, chained entries appended at the
// ends of their chains. A map without buckets finds nothing.
//
// K and V are plain values (trivially copyable), K hashable by H. Allocation
// failures leave CerrOutOfMemory pending and the map as it was.
template <class K, class V, class H = T_HASH_KEY<K>>
class T_HASH_MAP {
  static_assert(std::is_trivially_copyable<K>::value && std::is_trivially_copyable<V>::value,
                "hash map keys and values are plain values");

 public:
  struct ENTRY {
    intptr_t next;  // -1 empty bucket, 0 end of chain, else pool position + 1
    K key;
    V value;
  };

  T_HASH_MAP() = default;
  T_HASH_MAP(const T_HASH_MAP& other) { CopyFrom(other); }
  T_HASH_MAP& operator=(const T_HASH_MAP& other) {
    if (this != &other) {
      ClearAndFree();
      CopyFrom(other);
    }
    return *this;
  }
  ~T_HASH_MAP() { ClearAndFree(); }

  int GetNumber() const { return entries_; }
  int GetBucketCount() const { return nbuckets_; }
  // The same counts under their long names.
  int GetNumberOfEntries() const { return entries_; }
  int GetNumberOfBuckets() const { return nbuckets_; }
  C_BOOL IsVoid() const { return entries_ == 0; }

  // The value stored for key, or null when key is absent.
  const V* Search(const K& key) const { return const_cast<T_HASH_MAP*>(this)->Search(key); }
  V* Search(const K& key) {
    if (nbuckets_ <= 0) return nullptr;
    ENTRY* e = &buckets_[mod_.Of(H::Hash(key))];
    if (e->next == kEmpty) return nullptr;
    for (;;) {
      if (e->key == key) return &e->value;
      if (e->next == kEnd) return nullptr;
      e = &pool_[e->next - 1];
    }
  }

  // Stores value for key, replacing the value of a present key. On a failed
  // allocation the map is left as it was and the insert is lost.
  void Insert(const K& key, const V& value) {
    if (entries_ == nbuckets_) {
      Rebuild(NextBucketCount(entries_ + 1));
      if (C_ERROR::Is()) return;
    }
    const uint32_t hash = H::Hash(key);
    if (hash > maxHash_) maxHash_ = hash;
    ENTRY* head = &buckets_[mod_.Of(hash)];
    if (head->next == kEmpty) {
      Fill(head, key, value);
      ++entries_;
      return;
    }
    // The chain's last entry, by its link (0 for the bucket itself), since a
    // growing pool moves its entries.
    intptr_t last = kEnd;
    for (ENTRY* e = head;;) {
      if (e->key == key) {
        e->value = value;
        return;
      }
      if (e->next == kEnd) break;
      last = e->next;
      e = &pool_[last - 1];
    }
    const intptr_t link = TakeNode();
    if (link == kEnd) return;
    Fill(&pool_[link - 1], key, value);
    (last == kEnd ? head : &pool_[last - 1])->next = link;
    ++entries_;
  }

  // Removes key; false when it was absent. The bucket count never shrinks.
  C_BOOL Remove(const K& key) {
    if (nbuckets_ <= 0) return false;
    ENTRY* head = &buckets_[mod_.Of(H::Hash(key))];
    if (head->next == kEmpty) return false;
    if (head->key == key) {
      const intptr_t n = head->next;
      if (n == kEnd) {
        head->next = kEmpty;
      } else {
        *head = pool_[n - 1];  // the first chained entry moves up
        ReleaseNode(n);
      }
      --entries_;
      return true;
    }
    for (ENTRY* prev = head; prev->next != kEnd;) {
      const intptr_t n = prev->next;
      ENTRY* e = &pool_[n - 1];
      if (e->key == key) {
        prev->next = e->next;
        ReleaseNode(n);
        --entries_;
        return true;
      }
      prev = e;
    }
    return false;
  }

  // Frees every chained entry and marks every bucket empty; the bucket array
  // is kept.
  void Clear() {
    MarkEmpty(buckets_, nbuckets_);
    FreePool();
    entries_ = 0;
    maxHash_ = 0;
  }

  // Clear, then release the bucket array too.
  void ClearAndFree() {
    FreePool();
    ::operator delete(buckets_);
    buckets_ = nullptr;
    capacity_ = number_ = nbuckets_ = entries_ = 0;
    maxHash_ = 0;
    mod_ = T_HASH_MOD();
  }

  // Calls f(key, value) for every entry, bucket by bucket, inline entry first.
  template <class F>
  void ForEach(F f) const {
    for (int i = 0; i < nbuckets_; ++i) {
      const ENTRY* e = &buckets_[i];
      if (e->next == kEmpty) continue;
      for (;;) {
        f(e->key, e->value);
        if (e->next == kEnd) break;
        e = &pool_[e->next - 1];
      }
    }
  }

  // Smallest bucket count of the table that is at least n; the largest one
  // when none is.
  static int NextBucketCount(int n) {
    int count = 0;
    const int* table = T_HASH_MAP_BucketCounts(&count);
    for (int i = 0; i < count; ++i)
      if (table[i] >= n) return table[i];
    return table[count - 1];
  }

 private:
  static constexpr intptr_t kEmpty = -1;
  static constexpr intptr_t kEnd = 0;
  static constexpr int kFirstPoolSize = 16;

  static void Fill(ENTRY* e, const K& key, const V& value) {
    e->next = kEnd;
    e->key = key;
    e->value = value;
  }

  // Raw storage for n entries; only their links are ever read before the
  // entry is filled. Null with CerrOutOfMemory pending on failure.
  static ENTRY* Allocate(long n) {
    void* p = n > 0 && size_t(n) <= SIZE_MAX / sizeof(ENTRY)
                  ? ::operator new(size_t(n) * sizeof(ENTRY), std::nothrow)
                  : nullptr;
    if (p == nullptr) CerrOutOfMemory.Trigger();
    return static_cast<ENTRY*>(p);
  }

  // Every link -1 (all bits set), the rest of each entry left as it is.
  static void MarkEmpty(ENTRY* a, int n) {
    if (n > 0) std::memset(static_cast<void*>(a), 0xff, size_t(n) * sizeof(ENTRY));
  }

  // A free entry of the pool, by its link; 0 with CerrOutOfMemory pending
  // when the pool cannot grow.
  intptr_t TakeNode() {
    if (poolFree_ == kEnd && poolUsed_ == poolSize_ &&
        !GrowPool(poolSize_ < kFirstPoolSize ? kFirstPoolSize : 2L * poolSize_))
      return kEnd;
    return TakeReserved();
  }

  // The same when room is known to be there.
  intptr_t TakeReserved() {
    if (poolFree_ != kEnd) {
      const intptr_t link = poolFree_;
      poolFree_ = pool_[link - 1].next;
      --poolFreeCount_;
      return link;
    }
    return ++poolUsed_;
  }

  void ReleaseNode(intptr_t link) {
    pool_[link - 1].next = poolFree_;
    poolFree_ = link;
    ++poolFreeCount_;
  }

  // Moves the pool into an array of size entries; false with CerrOutOfMemory
  // pending (and the pool unchanged) when it cannot.
  bool GrowPool(long size) {
    if (size > INT32_MAX) {
      CerrOutOfMemory.Trigger();
      return false;
    }
    ENTRY* b = Allocate(size);
    if (b == nullptr) return false;
    if (poolUsed_ > 0) std::memcpy(static_cast<void*>(b), pool_, size_t(poolUsed_) * sizeof(ENTRY));
    ::operator delete(pool_);
    pool_ = b;
    poolSize_ = int(size);
    return true;
  }

  void FreePool() {
    ::operator delete(pool_);
    pool_ = nullptr;
    poolSize_ = poolUsed_ = poolFreeCount_ = 0;
    poolFree_ = kEnd;
  }

  // Re-hashes every entry into nb buckets, in the order of a walk over the
  // old buckets (inline entry first, then its chain) that appends each entry
  // at the end of its new chain. On a failed allocation the map is unchanged.
  //
  // The bucket array keeps room for the next bucket count of the table.
  // When the room is there and few entries change bucket (ids numbered from
  // 0 keep theirs), the entries are moved in place; otherwise they are copied
  // into a fresh array and pool.
  void Rebuild(int nb) {
    if (nb == nbuckets_ && buckets_ != nullptr) return;
    if (maxHash_ < uint32_t(nbuckets_) || nbuckets_ == 0) {
      // Every hash is below the old bucket count, so every entry keeps its
      // bucket and every chain its order: only the array grows.
      if (nb > capacity_) {
        const int room = RoomFor(nb);
        ENTRY* b = Allocate(room);
        if (b == nullptr) return;
        if (nbuckets_ > 0)
          std::memcpy(static_cast<void*>(b), buckets_, size_t(nbuckets_) * sizeof(ENTRY));
        ::operator delete(buckets_);
        buckets_ = b;
        capacity_ = room;
      }
      MarkEmpty(buckets_ + nbuckets_, nb - nbuckets_);
      number_ = nbuckets_ = nb;
      mod_ = T_HASH_MOD(static_cast<uint32_t>(nb));
      return;
    }
    if (nb <= capacity_) {
      const long movers = CountMovers(T_HASH_MOD(static_cast<uint32_t>(nb)));
      if (movers >= 0) {
        const long spare = long(poolSize_ - poolUsed_) + poolFreeCount_;
        if (spare < movers && !GrowPool(long(poolUsed_) + movers - poolFreeCount_)) return;
        RebuildInPlace(nb);
        return;
      }
    }
    RebuildCopy(nb);
  }

  // Inline entries that the bucket count nb would move to another bucket;
  // -1 once more than a quarter of the inline entries would move.
  long CountMovers(const T_HASH_MOD& mod) const {
    const long most = (long(entries_) - (poolUsed_ - poolFreeCount_)) / 4;
    long movers = 0;
    for (int i = 0; i < nbuckets_; ++i) {
      const ENTRY& e = buckets_[i];
      if (e.next != kEmpty && mod.Of(H::Hash(e.key)) != uint32_t(i) && ++movers > most) return -1;
    }
    return movers;
  }

  // The room of the bucket array for the bucket count nb.
  static int RoomFor(int nb) {
    const int next = NextBucketCount(nb + 1);
    return next > nb ? next : nb;
  }

  // Re-hash by copy into a fresh bucket array and a fresh pool.
  void RebuildCopy(int nb) {
    const int room = RoomFor(nb);
    ENTRY* fresh = Allocate(room);
    if (fresh == nullptr) return;
    MarkEmpty(fresh, nb);
    const T_HASH_MOD mod(static_cast<uint32_t>(nb));
    T_HASH_MAP next;  // takes the new array and pool; frees them on a failure
    next.buckets_ = fresh;
    next.capacity_ = room;
    next.number_ = next.nbuckets_ = nb;
    next.mod_ = mod;
    bool ok = true;
    ForEach([&](const K& key, const V& value) {
      if (!ok) return;
      ENTRY* head = &next.buckets_[mod.Of(H::Hash(key))];
      if (head->next == kEmpty) {
        Fill(head, key, value);
        return;
      }
      intptr_t last = kEnd;
      for (const ENTRY* e = head; e->next != kEnd; e = &next.pool_[last - 1]) last = e->next;
      const intptr_t link = next.TakeNode();
      if (link == kEnd) {
        ok = false;
        return;
      }
      Fill(&next.pool_[link - 1], key, value);
      (last == kEnd ? head : &next.pool_[last - 1])->next = link;
    });
    if (!ok) return;
    next.entries_ = entries_;
    next.maxHash_ = maxHash_;
    Swap(&next);
  }

  void Swap(T_HASH_MAP* o) {
    std::swap(buckets_, o->buckets_);
    std::swap(capacity_, o->capacity_);
    std::swap(number_, o->number_);
    std::swap(nbuckets_, o->nbuckets_);
    std::swap(entries_, o->entries_);
    std::swap(mod_, o->mod_);
    std::swap(maxHash_, o->maxHash_);
    std::swap(pool_, o->pool_);
    std::swap(poolSize_, o->poolSize_);
    std::swap(poolUsed_, o->poolUsed_);
    std::swap(poolFree_, o->poolFree_);
    std::swap(poolFreeCount_, o->poolFreeCount_);
  }

  // Re-hash in place, within the room of the bucket array, with a free pool
  // entry at hand for every inline entry that moves. Chained entries stay
  // where they are in the pool; only links change.
  void RebuildInPlace(int nb) {
    const int oldNb = nbuckets_;
    MarkEmpty(buckets_ + oldNb, nb - oldNb);
    const T_HASH_MOD oldMod = mod_;
    const T_HASH_MOD newMod(static_cast<uint32_t>(nb));

    // 1. Every chain keeps, in order, the entries that stay in their bucket;
    //    the others leave for a list of movers, in the order of the walk.
    intptr_t movers = kEnd, moversTail = kEnd;
    auto leave = [&](intptr_t link) {
      pool_[link - 1].next = kEnd;
      if (moversTail == kEnd)
        movers = link;
      else
        pool_[moversTail - 1].next = link;
      moversTail = link;
    };
    for (int i = 0; i < oldNb; ++i) {
      ENTRY* head = &buckets_[i];
      if (head->next == kEmpty) continue;
      intptr_t c = head->next;
      bool headKept = newMod.Of(H::Hash(head->key)) == uint32_t(i);
      if (!headKept) {
        const intptr_t n = TakeReserved();
        pool_[n - 1] = *head;
        leave(n);
      }
      intptr_t tail = kEnd;  // last kept chained entry; 0 for the bucket itself
      head->next = kEnd;
      while (c != kEnd) {
        ENTRY* e = &pool_[c - 1];
        const intptr_t next = e->next;
        if (newMod.Of(H::Hash(e->key)) != uint32_t(i)) {
          leave(c);
        } else if (!headKept) {
          *head = *e;
          head->next = kEnd;
          ReleaseNode(c);
          headKept = true;
        } else {
          e->next = kEnd;
          (tail == kEnd ? head : &pool_[tail - 1])->next = c;
          tail = c;
        }
        c = next;
      }
      if (!headKept) head->next = kEmpty;
    }

    // 2. Each mover goes into its new chain before the first entry of a
    //    later old bucket: movers come in walk order, so every chain ends up
    //    in walk order.
    auto rank = [&oldMod](const ENTRY& e) { return oldMod.Of(H::Hash(e.key)); };
    while (movers != kEnd) {
      const intptr_t m = movers;
      ENTRY* e = &pool_[m - 1];
      movers = e->next;
      ENTRY* head = &buckets_[newMod.Of(H::Hash(e->key))];
      if (head->next == kEmpty) {
        *head = *e;
        head->next = kEnd;
        ReleaseNode(m);
        continue;
      }
      const uint32_t r = rank(*e);
      if (rank(*head) > r) {
        // The mover takes the inline place; the entry there is chained first.
        const ENTRY displaced = *head;
        *head = *e;
        head->next = m;
        *e = displaced;
        continue;
      }
      ENTRY* prev = head;
      while (prev->next != kEnd && rank(pool_[prev->next - 1]) <= r) prev = &pool_[prev->next - 1];
      e->next = prev->next;
      prev->next = m;
    }
    number_ = nbuckets_ = nb;
    mod_ = newMod;
  }

  // The same buckets and pool, entry for entry.
  void CopyFrom(const T_HASH_MAP& other) {
    if (other.nbuckets_ <= 0) return;
    ENTRY* fresh = Allocate(other.nbuckets_);
    if (fresh == nullptr) return;
    ENTRY* pool = nullptr;
    if (other.poolUsed_ > 0) {
      pool = Allocate(other.poolUsed_);
      if (pool == nullptr) {
        ::operator delete(fresh);
        return;
      }
      std::memcpy(static_cast<void*>(pool), other.pool_, size_t(other.poolUsed_) * sizeof(ENTRY));
    }
    std::memcpy(static_cast<void*>(fresh), other.buckets_,
                size_t(other.nbuckets_) * sizeof(ENTRY));
    buckets_ = fresh;
    capacity_ = number_ = nbuckets_ = other.nbuckets_;
    entries_ = other.entries_;
    maxHash_ = other.maxHash_;
    mod_ = other.mod_;
    pool_ = pool;
    poolSize_ = poolUsed_ = other.poolUsed_;
    poolFree_ = other.poolFree_;
    poolFreeCount_ = other.poolFreeCount_;
  }

  ENTRY* buckets_ = nullptr;
  int capacity_ = 0;  // the bucket array as a list: capacity, number (of buckets), flag
  int number_ = 0;
  C_BOOL sorted_;
  int entries_ = 0;
  int nbuckets_ = 0;
  T_HASH_MOD mod_;         // modulo by the number of buckets
  uint32_t maxHash_ = 0;   // no entry since the last Clear hashed higher
  ENTRY* pool_ = nullptr;  // chained entries
  int poolSize_ = 0;
  int poolUsed_ = 0;
  intptr_t poolFree_ = kEnd;  // released pool entries, chained through their links
  int poolFreeCount_ = 0;
};

#endif
