// The part of a PDF file a page count needs: the trailer's catalog and the objects it leads
// to, found through the cross-reference sections or, when those cannot be trusted, through a
// scan of the whole file. Either way fills the same entry index, so that the page tree is
// read the same way after both.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "pagecount/block_reader.h"
#include "pagecount/deadline.h"
#include "pagecount/object_store.h"
#include "pagecount/recovery_scan.h"
#include "pagecount/xref_entry.h"
#include "pagecount/xref_sections.h"

namespace foliotally::pdf {

class Document {
 public:
  Document(ByteSource& source, const Deadline& deadline);

  // Checks the header and reads the newest cross-reference section. Throws a ReadFailure
  // (not a PDF, damaged) when the file cannot be read this way.
  void Open();

  // The second way in (see RecoveryScan), for a file without a usable cross-reference table.
  // After kCatalog, Root() returns the catalog found.
  using ScanFinding = Recovery::Finding;
  ScanFinding OpenByScanning();
  // After OpenByScanning: whether the file begins with a PDF header, and the number of the
  // object whose header stands last in the file (-1 for none).
  bool has_header() const { return has_header_; }
  int64_t last_object() const { return last_object_; }

  // The first damage the count has read past (see ObjectStore::repair_note).
  const char* repair_note() const { return objects_.repair_note(); }
  void NoteRepair(const char* why) { objects_.NoteRepair(why); }

  // The trailer's /Root value (a reference, as a rule), from the newest section that has one.
  Object Root();
  // How many pages the file can hold at most. A /Count above it cannot be true.
  uint64_t PageBound() const;

  // Follows references to a direct object (see ObjectStore::Resolve).
  Object Resolve(Object object, std::span<const std::string_view> wanted = {}) {
    return objects_.Resolve(std::move(object), wanted);
  }

  // The stream object `ref` refers to: its dictionary, and a decoder for its data within
  // the count's decode budget. Throws a damaged verdict when `ref` leads to no stream.
  std::unique_ptr<StreamDecoder> OpenStream(const Object& ref, Object& dict);
  // See ObjectStore::RenewDecodeBudget.
  void RenewDecodeBudget() { objects_.RenewDecodeBudget(); }

  // After OpenByScanning: calls `f` with the number of every object the scan found.
  template <typename F>
  void ForEachRecoveredObject(F&& f) const {
    index_.ForEachRefilled(f);
  }

 private:
  BlockReader reader_;
  const Deadline& deadline_;
  EntryIndex index_;
  ObjectStore objects_;
  XrefSections sections_;
  bool recovered_ = false;
  bool has_header_ = false;
  int64_t last_object_ = -1;
  Object recovered_root_;
  uint64_t object_slots_ = 0;  // object numbers in use at most, object 0 included
  bool plain_table_ = false;
};

}  // namespace foliotally::pdf
