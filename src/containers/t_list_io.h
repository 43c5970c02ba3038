#ifndef G3GEOM_CONTAINERS_T_LIST_IO_H
#define G3GEOM_CONTAINERS_T_LIST_IO_H

#include <type_traits>
#include <utility>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_persist.h"

// How a list writes and reads one element: a class element through its own
// Save(C_FILE*) const and Load(int version, C_FILE*); a scalar that the
// template runtime knows (int, double, C_BOOL, 64-bit integer) through
// Tsave/Tload. Other element types (pointers, handles) have no record: asking
// for one raises CerrInvalidValue and writes or reads nothing.

template <class U, class = void>
struct TLIST_HAS_SAVE : std::false_type {};
template <class U>
struct TLIST_HAS_SAVE<U, std::void_t<decltype(std::declval<const U&>().Save(
                             static_cast<C_FILE*>(nullptr)))>> : std::true_type {};

template <class U, class = void>
struct TLIST_HAS_LOAD : std::false_type {};
template <class U>
struct TLIST_HAS_LOAD<U, std::void_t<decltype(std::declval<U&>().Load(
                             0, static_cast<C_FILE*>(nullptr)))>> : std::true_type {};

// True only for the exact types Tload is declared for (no conversion applies
// between pointers to different scalars).
template <class U, class = void>
struct TLIST_HAS_TLOAD : std::false_type {};
template <class U>
struct TLIST_HAS_TLOAD<U, std::void_t<decltype(Tload(0, static_cast<C_FILE*>(nullptr),
                                                     static_cast<U*>(nullptr)))>>
    : std::true_type {};

template <class U>
void TlistSaveElement(const U& value, C_FILE* file) {
  if constexpr (TLIST_HAS_SAVE<U>::value) {
    value.Save(file);
  } else if constexpr (TLIST_HAS_TLOAD<U>::value) {
    Tsave(value, file, 0);
  } else {
    (void)value;
    (void)file;
    CerrInvalidValue.Trigger();
  }
}

template <class U>
void TlistLoadElement(int version, C_FILE* file, U* value) {
  if constexpr (TLIST_HAS_LOAD<U>::value) {
    value->Load(version, file);
  } else if constexpr (TLIST_HAS_TLOAD<U>::value) {
    Tload(version, file, value);
  } else {
    (void)version;
    (void)file;
    (void)value;
    CerrInvalidValue.Trigger();
  }
}

#endif
