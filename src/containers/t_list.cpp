#include "containers/t_list.h"

// The value lists whose element types belong to this layer or below; the
// lists of points, tokens and curves are instantiated with their element types.
template class T_LIST<double>;
template class T_LIST<int>;
template class T_LIST<void*>;
