#ifndef G3GEOM_TOKENS_T_HASH_MAP_H
#define G3GEOM_TOKENS_T_HASH_MAP_H

#include <cstdint>

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

// A hash map with one entry held inline in each bucket and further entries of
// the same bucket chained in separately allocated nodes.
//
// Layout: the bucket array with its capacity, number and flag (as a list),
// then the number of entries and the number of buckets. A bucket whose inline
// link is -1 is empty; a link of 0 (null) ends a chain. When an insertion
// finds as many entries as buckets, the map is first rebuilt with the smallest
// bucket count of the table that holds one more entry. A map without buckets
// finds nothing.
//
// K must be hashable by H; V default-constructible and copy-assignable.
// Allocation failures leave CerrOutOfMemory pending and the map as it was.
template <class K, class V, class H = T_HASH_KEY<K>>
class T_HASH_MAP {
 public:
  struct ENTRY {
    ENTRY* next = nullptr;
    K key = K();
    V value = V();
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
    ENTRY* e = &buckets_[BucketOf(key, nbuckets_)];
    if (e->next == Empty()) return nullptr;
    for (; e != nullptr; e = e->next)
      if (e->key == key) return &e->value;
    return nullptr;
  }

  // Stores value for key, replacing the value of a present key. On a failed
  // allocation the map is left as it was and the insert is lost.
  void Insert(const K& key, const V& value) {
    if (entries_ == nbuckets_) {
      Rebuild(NextBucketCount(entries_ + 1));
      if (C_ERROR::Is()) return;
    }
    ENTRY* e = &buckets_[BucketOf(key, nbuckets_)];
    if (e->next == Empty()) {
      e->next = nullptr;
      e->key = key;
      e->value = value;
      ++entries_;
      return;
    }
    for (;;) {
      if (e->key == key) {
        e->value = value;
        return;
      }
      if (e->next == nullptr) break;
      e = e->next;
    }
    ENTRY* n = Cnew<ENTRY>();
    if (C_ERROR::Is()) return;
    n->key = key;
    n->value = value;
    e->next = n;
    ++entries_;
  }

  // Removes key; false when it was absent. The bucket count never shrinks.
  C_BOOL Remove(const K& key) {
    if (nbuckets_ <= 0) return false;
    ENTRY* head = &buckets_[BucketOf(key, nbuckets_)];
    if (head->next == Empty()) return false;
    if (head->key == key) {
      ENTRY* n = head->next;
      if (n == nullptr) {
        *head = ENTRY();
        head->next = Empty();
      } else {
        *head = *n;
        delete n;
      }
      --entries_;
      return true;
    }
    for (ENTRY* prev = head; prev->next != nullptr; prev = prev->next) {
      ENTRY* n = prev->next;
      if (n->key == key) {
        prev->next = n->next;
        delete n;
        --entries_;
        return true;
      }
    }
    return false;
  }

  // Frees every chained node and marks every bucket empty; the bucket array
  // is kept.
  void Clear() {
    for (int i = 0; i < nbuckets_; ++i) {
      ENTRY* head = &buckets_[i];
      if (head->next != Empty()) FreeChain(head->next);
      *head = ENTRY();
      head->next = Empty();
    }
    entries_ = 0;
  }

  // Clear, then release the bucket array too.
  void ClearAndFree() {
    Clear();
    delete[] buckets_;
    buckets_ = nullptr;
    capacity_ = number_ = nbuckets_ = 0;
  }

  // Calls f(key, value) for every entry, bucket by bucket, inline entry first.
  template <class F>
  void ForEach(F f) const {
    for (int i = 0; i < nbuckets_; ++i) {
      const ENTRY* e = &buckets_[i];
      if (e->next == Empty()) continue;
      for (; e != nullptr; e = e->next) f(e->key, e->value);
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
  // The link value of an empty bucket.
  static ENTRY* Empty() { return reinterpret_cast<ENTRY*>(intptr_t(-1)); }
  static int BucketOf(const K& key, int nbuckets) {
    return int(H::Hash(key) % static_cast<uint32_t>(nbuckets));
  }
  static void FreeChain(ENTRY* e) {
    while (e != nullptr) {
      ENTRY* n = e->next;
      delete e;
      e = n;
    }
  }

  // Appends (key, value) to a bucket array under construction; false on a
  // failed allocation.
  static bool Place(ENTRY* buckets, int nbuckets, const K& key, const V& value) {
    ENTRY* e = &buckets[BucketOf(key, nbuckets)];
    if (e->next == Empty()) {
      e->next = nullptr;
      e->key = key;
      e->value = value;
      return true;
    }
    while (e->next != nullptr) e = e->next;
    ENTRY* n = Cnew<ENTRY>();
    if (n == nullptr) return false;
    n->key = key;
    n->value = value;
    e->next = n;
    return true;
  }

  static void FreeBuckets(ENTRY* buckets, int nbuckets) {
    for (int i = 0; i < nbuckets; ++i)
      if (buckets[i].next != Empty()) FreeChain(buckets[i].next);
    delete[] buckets;
  }

  // Re-hashes every entry into a fresh array of nb buckets; on a failed
  // allocation everything new is released and the map is unchanged.
  void Rebuild(int nb) {
    if (nb == nbuckets_ && buckets_ != nullptr) return;
    ENTRY* fresh = CnewArray<ENTRY>(nb);
    if (fresh == nullptr) return;
    for (int i = 0; i < nb; ++i) fresh[i].next = Empty();
    bool ok = true;
    for (int i = 0; ok && i < nbuckets_; ++i) {
      const ENTRY* e = &buckets_[i];
      if (e->next == Empty()) continue;
      for (; ok && e != nullptr; e = e->next) ok = Place(fresh, nb, e->key, e->value);
    }
    if (!ok) {
      FreeBuckets(fresh, nb);
      return;
    }
    FreeBuckets(buckets_, nbuckets_);
    buckets_ = fresh;
    capacity_ = number_ = nbuckets_ = nb;
  }

  void CopyFrom(const T_HASH_MAP& other) {
    if (other.nbuckets_ <= 0) return;
    ENTRY* fresh = CnewArray<ENTRY>(other.nbuckets_);
    if (fresh == nullptr) return;
    for (int i = 0; i < other.nbuckets_; ++i) fresh[i].next = Empty();
    bool ok = true;
    other.ForEach([&](const K& k, const V& v) {
      if (ok) ok = Place(fresh, other.nbuckets_, k, v);
    });
    if (!ok) {
      FreeBuckets(fresh, other.nbuckets_);
      return;
    }
    buckets_ = fresh;
    capacity_ = number_ = nbuckets_ = other.nbuckets_;
    entries_ = other.entries_;
  }

  ENTRY* buckets_ = nullptr;
  int capacity_ = 0;  // the bucket array as a list: capacity, number, flag
  int number_ = 0;
  C_BOOL sorted_;
  int entries_ = 0;
  int nbuckets_ = 0;
};

#endif
