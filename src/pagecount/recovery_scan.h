// The second way into a file whose cross-reference data cannot be trusted: a scan of the
// whole file for "num gen obj" headers (the last one of a number wins, as in an updated
// file), objects in object streams, trailers and catalogs. What it finds refills the entry
// index, so that objects are fetched afterwards just as through a sound table.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "pagecount/block_reader.h"
#include "pagecount/deadline.h"
#include "pagecount/object_store.h"
#include "pagecount/xref_entry.h"

namespace foliotally::pdf {

struct Recovery {
  // kNothing: no PDF syntax at all; kRootLost: a trailer names a catalog that is not there
  // (or has no page tree); kNoRoot: objects, but nothing names a catalog and no object that
  // calls itself one has a page tree; kTreeLost: the catalog is there, and the root of
  // its page tree stands in the file but cannot be read; kCatalog: `root` is the catalog found.
  enum class Finding { kNothing, kRootLost, kNoRoot, kTreeLost, kCatalog };
  Finding finding = Finding::kNothing;
  Object root;
  uint64_t objects = 0;      // objects found, in the file and in object streams
  int64_t last_object = -1;  // the number of the object whose header stands last in the file
  bool has_header = false;
};

class RecoveryScan {
 public:
  RecoveryScan(BlockReader& reader, ObjectStore& objects, EntryIndex& index,
               const Deadline& deadline);
  // Scans, refills the index, and looks for the catalog. Throws an encrypted ReadFailure
  // when the catalog may lie in object streams that encryption keeps out of reach.
  Recovery Run();

 private:
  void ScanChunk(std::string_view text, uint64_t base, uint64_t from, uint64_t to);
  void AddHeader(std::string_view text, size_t obj_at, uint64_t base);
  void ReadEncryption();
  void IndexObjectStreams();
  Recovery::Finding FindCatalog();
  bool TryCatalog(const Object& root);
  bool TryTrailer(const Object& trailer, bool& root_named);
  // The number of the object whose header stands last before `offset`, or -1.
  int64_t ObjectHolding(uint64_t offset) const;
  bool ParseDictAt(uint64_t offset, Object& out);

  BlockReader& reader_;
  ObjectStore& objects_;
  EntryIndex& index_;
  const Deadline& deadline_;
  std::unordered_map<int64_t, XrefEntry> found_;
  std::vector<std::pair<uint64_t, int64_t>> headers_;  // offset, number; in file order
  std::vector<uint64_t> trailers_, catalogs_, xref_dicts_, object_stream_marks_;
  Object root_;
  bool hidden_by_encryption_ = false;
  bool tree_lost_ = false;
};

}  // namespace foliotally::pdf
