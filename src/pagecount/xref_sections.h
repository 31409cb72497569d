// The file's cross-reference sections: classic tables, cross-reference streams, hybrids, and
// older sections reached through /Prev. Read on demand and only once per count: a table
// entry is found by computing where it stands, not by reading the table; an older section
// is read only when a newer one lacks an object (or a trailer key).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "pagecount/block_reader.h"
#include "pagecount/deadline.h"
#include "pagecount/object_store.h"
#include "pagecount/xref_entry.h"

namespace foliotally::pdf {

class XrefSections final : public EntrySource {
 public:
  XrefSections(BlockReader& reader, ObjectStore& objects, const Deadline& deadline);
  ~XrefSections();
  XrefSections(const XrefSections&) = delete;
  XrefSections& operator=(const XrefSections&) = delete;

  // Finds "startxref" in the tail and reads the newest section. `header_offset`: bytes of
  // junk before the header, by which offsets counted from the header are shifted. Throws a
  // damaged ReadFailure when there is no such section.
  void Open(uint64_t header_offset);

  XrefEntry Lookup(int64_t num) override;
  // The value of `key` in the newest trailer that has it, reading older sections as needed
  // (or only the sections read so far); null when none has it.
  const Object* TrailerValue(std::string_view key, bool read_older);
  // The newest trailer.
  const Object& NewestTrailer() const;
  // True when the newest section is a classic table without a cross-reference stream
  // beside it: its objects stand whole in the file, none in object streams.
  bool NewestIsPlainTable() const;
  // True when objects or a table follow the last "startxref": an update that was cut short
  // before its own, so that the sections read are those of an older revision.
  bool update_cut_short() const { return update_cut_short_; }

 private:
  struct Section;

  void FindTail();
  bool LoadNextSection();
  // False when a section at `offset` was read before (a loop in the chain); else notes it.
  bool FirstVisit(uint64_t offset);
  std::unique_ptr<Section> LoadSection(uint64_t offset);
  std::unique_ptr<Section> LoadClassicSection(uint64_t offset);
  std::unique_ptr<Section> LoadStreamSection(uint64_t offset);
  XrefEntry LookupIn(Section& section, int64_t num);
  XrefEntry LookupInStream(Section& section, int64_t num);
  XrefEntry LookupInTable(Section& section, int64_t num);

  BlockReader& reader_;
  ObjectStore& objects_;
  const Deadline& deadline_;
  uint64_t header_offset_ = 0;
  uint64_t next_section_offset_ = 0;
  bool chain_ended_ = false;
  bool update_cut_short_ = false;
  std::vector<std::unique_ptr<Section>> sections_;
  std::vector<uint64_t> section_offsets_;  // of the sections read or being read
  std::string window_;
  // A table entry's bytes, kept between lookups so that a walk of many objects does not
  // allocate for each; apart from window_, which a lookup may interrupt.
  std::string entry_;
};

}  // namespace foliotally::pdf
