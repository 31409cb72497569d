// The part of a PDF file a page count needs: the cross-reference sections (classic tables,
// cross-reference streams, hybrids, and older sections reached through /Prev), the trailer,
// and the objects they locate, in the file or in object streams. Everything is read on
// demand and only once per count: a table entry is found by computing where it stands, not
// by reading the table; an older section is read only when a newer one lacks an object.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "pagecount/block_reader.h"
#include "pagecount/deadline.h"
#include "pagecount/pdf_object.h"
#include "pagecount/stream_decoder.h"

namespace foliotally::pdf {

class Document {
 public:
  Document(ByteSource& source, const Deadline& deadline);
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Checks the header and reads the newest cross-reference section. Throws a ReadFailure
  // (not a PDF, damaged) when the file cannot be read this way.
  void Open();

  // What a scan of a file without a usable cross-reference table found.
  enum class ScanFinding { kNothing, kBody, kCatalog };
  // The second way in, for a file whose tables cannot be trusted: scans the whole file for
  // "num gen obj" headers (the last one of a number wins, as in an updated file), objects in
  // object streams, trailers and catalogs. kNothing: no PDF syntax at all; kBody: objects
  // but no catalog with a page tree; kCatalog: Root() then returns the catalog found.
  ScanFinding OpenByScanning();

  // The trailer's /Root value (a reference, as a rule), from the newest section that has one.
  Object Root();
  // True when the trailer names an /Encrypt dictionary: strings and streams are then
  // encrypted, so object streams cannot be read without the key.
  bool encrypted() const { return encrypted_; }
  // How many objects the file can hold at most: its /Size, bounded by its length.
  uint64_t ObjectBound() const;

  // Follows references until a direct object (null for a free or missing object). With
  // `wanted`, a dictionary reached through a reference keeps only those keys and is read
  // only as far as needed to find them.
  Object Resolve(Object object, std::span<const std::string_view> wanted = {});

  // Bytes of data available to the reader (the file's length).
  uint64_t size() const { return reader_.size(); }

 private:
  struct Entry;
  struct Section;
  struct ObjectStream;
  struct StreamRef {
    uint64_t data_offset = 0;
    uint64_t length = 0;
  };

  Object Fetch(int64_t num, std::span<const std::string_view> wanted);
  Entry Lookup(int64_t num);
  Entry LookupIn(Section& section, int64_t num);
  bool LoadNextSection();
  // False when a section at `offset` was read before (a loop in the chain); else notes it.
  bool FirstVisit(uint64_t offset);
  std::unique_ptr<Section> LoadSection(uint64_t offset);
  std::unique_ptr<Section> LoadClassicSection(uint64_t offset);
  std::unique_ptr<Section> LoadStreamSection(uint64_t offset);
  // Parses "num gen obj" and the object at `offset`; false when no such header is there.
  bool ParseIndirectAt(uint64_t offset, int64_t num, std::span<const std::string_view> wanted,
                       Object& out, StreamRef* stream);
  Object FetchInFile(int64_t num, uint64_t offset, std::span<const std::string_view> wanted,
                     StreamRef* stream);
  Object FetchCompressed(int64_t num, int64_t stream_num, int64_t index,
                         std::span<const std::string_view> wanted);
  ObjectStream& ObjectStreamFor(int64_t stream_num);
  std::unique_ptr<StreamDecoder> OpenStream(const Object& dict, const StreamRef& where);
  uint64_t StreamLength(const Object& dict, uint64_t data_offset);
  void FindTail();
  void ScanChunk(std::string_view text, uint64_t base, uint64_t from, uint64_t to);
  bool TryCatalog(const Object& candidate);
  void AddObjectStreamsToScan();
  bool ParseDictAt(uint64_t offset, Object& out);
  bool StreamsEncrypted(const Object& encrypt);

  BlockReader reader_;
  const Deadline& deadline_;
  uint64_t header_offset_ = 0;
  uint64_t first_section_offset_ = 0;
  uint64_t next_section_offset_ = 0;
  bool chain_ended_ = false;
  bool encrypted_ = false;
  bool streams_encrypted_ = false;
  uint64_t size_bound_ = 0;
  std::vector<std::unique_ptr<Section>> sections_;
  std::vector<uint64_t> section_offsets_;  // of the sections read or being read
  std::vector<std::unique_ptr<ObjectStream>> object_streams_;
  uint64_t decode_budget_;
  uint64_t fetches_ = 0;
  uint64_t clock_ = 0;
  int resolve_depth_ = 0;
  std::string window_;
  // Filled by OpenByScanning.
  bool scanned_ = false;
  std::unordered_map<int64_t, uint64_t> scanned_objects_;  // number -> offset of its header
  std::unordered_map<int64_t, std::pair<int64_t, int64_t>> scanned_compressed_;
  std::vector<std::pair<uint64_t, int64_t>> headers_;  // offset, number; in file order
  std::vector<uint64_t> trailers_, catalogs_, xref_dicts_, object_stream_marks_;
  Object scanned_root_;
  bool hidden_by_encryption_ = false;
};

}  // namespace foliotally::pdf
