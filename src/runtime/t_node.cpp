#include "runtime/t_node.h"

const T_NODE T_NODE::VOID;

const C_ERROR TerrInvalidIndex("T#Err#Invalid index");
const C_ERROR TerrListIsVoid("T#Err#List is void");
const C_ERROR TerrListIsNotVoid("T#Err#List is not void");
const C_ERROR TerrListNotFound("T#Err#Object not found in list");
const C_ERROR TerrListNotSorted("T#Err#List is not sorted");
const C_ERROR TerrTreeInvalidNode("T#Err#Invalid tree node");
const C_ERROR TerrTreeNoParent("T#Err#Tree node has no parent");
const C_ERROR TerrTreeCorruptedTree("T#Err#Corrupted tree");
