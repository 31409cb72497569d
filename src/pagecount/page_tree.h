// The page tree of an opened document: its root's /Count, checked, or a walk of the tree.
#pragma once

#include <cstdint>

#include "pagecount/document.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

// Returns the number of pages; throws a ReadFailure when there is no page tree to count.
int32_t CountPageTree(Document& doc);

// The count of a document opened by its cross-reference data (Document::Open): sound, or
// recovered when the count read past damage. Throws as CountPageTree does.
CountResult CountOpenedDocument(Document& doc);

// Visits every node below `root` once, whatever cycles or shared kids the tree has, and
// counts the leaves.
int32_t WalkPageTree(Document& doc, const Object& root);

// After a recovery scan: the page objects the scan found, whether or not a tree holds them.
// A page object is a dictionary of /Type /Page, or one without /Type and /Kids whose
// /Parent is a page-tree node.
int32_t CountPageObjects(Document& doc);

}  // namespace foliotally::pdf
