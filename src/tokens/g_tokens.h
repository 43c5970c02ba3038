#ifndef G3GEOM_TOKENS_G_TOKENS_H
#define G3GEOM_TOKENS_G_TOKENS_H

#include "containers/t_list.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"
#include "tokens/g_token.h"

// A list of tokens: the value list with renaming, searching and persistence.
class G_API G_TOKENS : public T_LIST<G_TOKEN> {
 public:
  G_TOKENS() = default;
  explicit G_TOKENS(int capacity) : T_LIST<G_TOKEN>(capacity) {}
  G_TOKENS(const G_TOKENS& other) = default;
  G_TOKENS& operator=(const G_TOKENS& other) = default;
  ~G_TOKENS() = default;

  // A heap copy owned by the caller; null with an error pending on failure.
  G_TOKENS* CloneSame() const;

  // Removes, from the last token to the first, every token whose element is
  // null (key and index are not looked at).
  void RemoveVoid();
  // Renames elements: a token whose element stands at k in olds takes news[k]
  // (a null new element, or an index outside news, removes it); a token whose
  // element is not in olds is removed when removeOthers is true. Tokens with a
  // null element are removed. Clears the sorted flag.
  void ChangeGeomsWithRefs(const T_LIST<void*>& olds, const T_LIST<void*>& news,
                           C_BOOL removeOthers);
  // Indices, increasing, of the tokens whose key is exactly key (-1 is no
  // wildcard here).
  void SearchTokensByKey(int key, T_LIST<int>* indices) const;
  void SearchTokensByKey(int key, T_LIST<int>& indices) const { SearchTokensByKey(key, &indices); }

  // Count, each token, sorted flag.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);
};

#endif
