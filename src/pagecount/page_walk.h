// The pages of an opened document one by one, in page order, each with the attributes it
// inherits from the page-tree nodes above it. Sizes and colour both read pages this way.
//
// The walk holds no more than the kids still to visit, each with the attributes it inherits
// (shared between siblings), so a tree a million levels deep or a million pages wide costs
// memory in proportion to the kids waiting, never to its depth. It visits a node with kids
// once, whatever cycles or shared nodes the tree has; a page listed twice is shown twice, as
// viewers show it. It keeps to the reader's bounds on nodes, pushes, fetches and time.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "pagecount/document.h"
#include "pagecount/pdf_object.h"

namespace foliotally::pdf {

// What a page takes from its ancestors where it does not set it itself. References are
// followed, and so are those among a box's numbers. Null when no node sets it.
struct InheritedAttributes {
  Object resources;
  Object media_box;
  Object crop_box;
  Object rotate;
};

// One page as the walk yields it.
struct WalkedPage {
  // False: a kid that should hold a page could not be read (damage in the file); nothing
  // below is then known, and the page's size is unknown.
  bool readable = false;
  // The page's object number; -1 for a page written inside its parent's /Kids.
  int64_t number = -1;
  // The page dictionary, whole when the walk was asked for whole pages; otherwise only
  // as far as sizes need it, and without the values moved out into the fields below.
  Object page;
  // The page's own value where it sets one, else the inherited one (/Resources only when
  // the walk was asked for it).
  InheritedAttributes attributes;
  // Attributes a page never inherits, with references followed.
  Object trim_box;
  Object user_unit;
};

struct PageWalkOptions {
  // Read every key of a page (for a reader of its contents), or only the keys that give
  // its size, which is faster.
  bool whole_page = false;
  // Follow /Resources (only the reference: its own entries are left as the file has them).
  bool resources = false;
};

// After a recovery scan that found no usable catalog: the page objects the scan found (a
// dictionary of /Type /Page, or one without /Type and /Kids whose /Parent is a page-tree
// node), in object-number order, each with what it inherits through its /Parent chain.
// Bounded like the walk; throws as PageWalk::Next does.
std::vector<WalkedPage> ScannedPages(Document& doc, int64_t limit);

class PageWalk {
 public:
  // Walks the tree of the document's catalog.
  PageWalk(Document& doc, PageWalkOptions options);
  // Walks the tree below `root`, a reference to a node or a node itself.
  PageWalk(Document& doc, const Object& root, PageWalkOptions options);

  // The next page; false after the last. Throws a ReadFailure when the tree cannot be
  // walked further: out of time, an I/O error, or past the bounds on nodes and objects.
  // A damaged kid does not end the walk: it comes out as a page that is not readable.
  bool Next(WalkedPage& out);

  // Pages yielded so far.
  int64_t pages() const { return pages_; }

 private:
  struct Pending {
    int64_t number;                  // the kid's object number, or -1 for `direct`
    std::unique_ptr<Object> direct;  // a kid written inside /Kids
    std::shared_ptr<const InheritedAttributes> inherited;
  };

  void Push(const Object& kid, const std::shared_ptr<const InheritedAttributes>& inherited);
  bool SetsAny(const Object& node) const;
  void Override(Object& node, InheritedAttributes& into, bool keep_node);
  std::shared_ptr<const InheritedAttributes> Inherit(
      Object& node, const std::shared_ptr<const InheritedAttributes>& from);
  void Fill(WalkedPage& out, const InheritedAttributes& inherited);
  Object ResolveValue(Object value);

  friend std::vector<WalkedPage> ScannedPages(Document& doc, int64_t limit);

  Document& doc_;
  PageWalkOptions options_;
  std::vector<Pending> stack_;
  std::unordered_set<int64_t> visited_;
  size_t pushed_ = 0;
  size_t nodes_ = 0;
  int64_t pages_ = 0;
};

}  // namespace foliotally::pdf
