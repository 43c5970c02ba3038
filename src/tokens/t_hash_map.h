#ifndef G3GEOM_TOKENS_T_HASH_MAP_H
#define G3GEOM_TOKENS_T_HASH_MAP_H

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

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
    ENTRY* head = &buckets_[mod_.Of(H::Hash(key))];
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
    const intptr_t link = TakeNode(&pool_, &poolSize_, &poolUsed_, &poolFree_);
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
  }

  // Clear, then release the bucket array too.
  void ClearAndFree() {
    FreePool();
    ::operator delete(buckets_);
    buckets_ = nullptr;
    capacity_ = number_ = nbuckets_ = entries_ = 0;
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

  // A free entry of a pool, by its link; 0 with CerrOutOfMemory pending when
  // the pool cannot grow. Growing moves the entries into a twice larger array.
  static intptr_t TakeNode(ENTRY** pool, int* size, int* used, intptr_t* freeList) {
    if (*freeList != kEnd) {
      const intptr_t link = *freeList;
      *freeList = (*pool)[link - 1].next;
      return link;
    }
    if (*used == *size) {
      const long grown = *size < kFirstPoolSize ? kFirstPoolSize : 2L * *size;
      if (grown > INT32_MAX) {
        CerrOutOfMemory.Trigger();
        return kEnd;
      }
      ENTRY* b = Allocate(grown);
      if (b == nullptr) return kEnd;
      if (*used > 0) std::memcpy(static_cast<void*>(b), *pool, size_t(*used) * sizeof(ENTRY));
      ::operator delete(*pool);
      *pool = b;
      *size = int(grown);
    }
    return ++*used;
  }

  void ReleaseNode(intptr_t link) {
    pool_[link - 1].next = poolFree_;
    poolFree_ = link;
  }

  void FreePool() {
    ::operator delete(pool_);
    pool_ = nullptr;
    poolSize_ = poolUsed_ = 0;
    poolFree_ = kEnd;
  }

  // Re-hashes every entry into a fresh bucket array of nb buckets and a fresh
  // pool; on a failed allocation everything new is released and the map is
  // unchanged.
  void Rebuild(int nb) {
    if (nb == nbuckets_ && buckets_ != nullptr) return;
    ENTRY* fresh = Allocate(nb);
    if (fresh == nullptr) return;
    MarkEmpty(fresh, nb);
    const T_HASH_MOD mod(static_cast<uint32_t>(nb));
    ENTRY* pool = nullptr;
    int size = 0, used = 0;
    intptr_t none = kEnd;
    bool ok = true;
    ForEach([&](const K& key, const V& value) {
      if (!ok) return;
      ENTRY* head = &fresh[mod.Of(H::Hash(key))];
      if (head->next == kEmpty) {
        Fill(head, key, value);
        return;
      }
      intptr_t last = kEnd;
      for (const ENTRY* e = head; e->next != kEnd; e = &pool[last - 1]) last = e->next;
      const intptr_t link = TakeNode(&pool, &size, &used, &none);
      if (link == kEnd) {
        ok = false;
        return;
      }
      Fill(&pool[link - 1], key, value);
      (last == kEnd ? head : &pool[last - 1])->next = link;
    });
    if (!ok) {
      ::operator delete(pool);
      ::operator delete(fresh);
      return;
    }
    FreePool();
    ::operator delete(buckets_);
    buckets_ = fresh;
    capacity_ = number_ = nbuckets_ = nb;
    mod_ = mod;
    pool_ = pool;
    poolSize_ = size;
    poolUsed_ = used;
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
    mod_ = other.mod_;
    pool_ = pool;
    poolSize_ = poolUsed_ = other.poolUsed_;
    poolFree_ = other.poolFree_;
  }

  ENTRY* buckets_ = nullptr;
  int capacity_ = 0;  // the bucket array as a list: capacity, number, flag
  int number_ = 0;
  C_BOOL sorted_;
  int entries_ = 0;
  int nbuckets_ = 0;
  T_HASH_MOD mod_;         // modulo by the number of buckets
  ENTRY* pool_ = nullptr;  // chained entries
  int poolSize_ = 0;
  int poolUsed_ = 0;
  intptr_t poolFree_ = kEnd;  // released pool entries, chained through their links
};

#endif
