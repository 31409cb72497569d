// Fetching the objects of a PDF file: an object at its place in the file, or inside an
// object stream, found through the entry index, with references followed to a direct object.
// Every fetch is bounded: objects by size, streams by the count's decode budget, references
// by depth, fetches by number and the count by its deadline.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pagecount/block_reader.h"
#include "pagecount/deadline.h"
#include "pagecount/pdf_object.h"
#include "pagecount/stream_decoder.h"
#include "pagecount/xref_entry.h"

namespace foliotally::pdf {

// Where a stream's data lies in the file.
struct StreamRef {
  uint64_t data_offset = 0;
  uint64_t length = 0;
};

class ObjectStore {
 public:
  ObjectStore(BlockReader& reader, EntryIndex& index, const Deadline& deadline);
  ~ObjectStore();
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  // Bytes of junk before the header: offsets written from the header are tried shifted by it.
  void set_header_offset(uint64_t offset) { header_offset_ = offset; }
  // Streams of an encrypted file cannot be decoded: object streams are then out of reach.
  void set_streams_encrypted(bool encrypted) { streams_encrypted_ = encrypted; }

  // The first damage this count has read past (a string literal), or null: what makes a
  // count of an otherwise sound file a recovered one.
  const char* repair_note() const { return repair_note_; }
  void NoteRepair(const char* why) {
    if (repair_note_ == nullptr) repair_note_ = why;
  }

  // Follows references until a direct object (null for a free or missing object). With
  // `wanted`, a dictionary reached through a reference keeps only those keys and is read
  // only as far as needed to find them.
  Object Resolve(Object object, std::span<const std::string_view> wanted = {});

  // Parses "num gen obj" and the object at `offset` (any number when `num` is negative);
  // false when no such header stands there. With `stream`, the object must be a stream,
  // whose data is then located.
  bool ParseIndirectAt(uint64_t offset, int64_t num, std::span<const std::string_view> wanted,
                       Object& out, StreamRef* stream);
  // The stream object `num`, which stands in the file itself (never in an object stream):
  // its dictionary and where its data lies. Throws a damaged verdict when there is none,
  // an encrypted one when the file's streams are encrypted.
  void FindStream(int64_t num, Object& dict, StreamRef& where);
  // Grants the decode budget anew: for a reader of many pages' contents, which bounds each
  // page on its own, under the same deadline.
  void RenewDecodeBudget();
  // A decoder for the stream with dictionary `dict` at `where`.
  std::unique_ptr<StreamDecoder> OpenStream(const Object& dict, const StreamRef& where);
  // The (object number, offset) pairs that object stream `stream_num` lists.
  const std::vector<std::pair<int64_t, int64_t>>& ObjectsInStream(int64_t stream_num);

 private:
  struct ObjectStream;

  Object Fetch(int64_t num, std::span<const std::string_view> wanted);
  Object FetchInFile(int64_t num, uint64_t offset, std::span<const std::string_view> wanted);
  Object FetchCompressed(int64_t num, int64_t stream_num, int64_t index,
                         std::span<const std::string_view> wanted);
  ObjectStream& ObjectStreamFor(int64_t stream_num);
  std::unique_ptr<ObjectStream> LoadObjectStream(int64_t stream_num);
  uint64_t StreamLength(const Object& dict, uint64_t data_offset);

  BlockReader& reader_;
  EntryIndex& index_;
  const Deadline& deadline_;
  uint64_t header_offset_ = 0;
  bool streams_encrypted_ = false;
  std::vector<std::unique_ptr<ObjectStream>> object_streams_;
  uint64_t decode_budget_;
  uint64_t fetches_ = 0;
  uint64_t clock_ = 0;
  int resolve_depth_ = 0;
  std::string window_;  // ParseIndirectAt's bytes, while window_busy_
  bool window_busy_ = false;
  const char* repair_note_ = nullptr;
};

}  // namespace foliotally::pdf
