// The page tree of an opened document: its root's /Count, checked, or a walk of the tree.
#pragma once

#include <cstdint>

#include "pagecount/document.h"

namespace foliotally::pdf {

// Returns the number of pages; throws a ReadFailure when there is no page tree to count.
int32_t CountPageTree(Document& doc);

// Visits every node below `root` once, whatever cycles or shared kids the tree has, and
// counts the leaves.
int32_t WalkPageTree(Document& doc, const Object& root);

}  // namespace foliotally::pdf
