#include "pagecount/document.h"

#include <algorithm>
#include <string>

#include "pagecount/encryption.h"
#include "pagecount/limits.h"
#include "pagecount/recovery_scan.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

Document::Document(ByteSource& source, const Deadline& deadline)
    : reader_(source),
      deadline_(deadline),
      objects_(reader_, index_, deadline),
      sections_(reader_, objects_, deadline) {}

void Document::Open() {
  std::string scratch;
  const std::string_view head = reader_.Read(0, limits::kHeaderSearch + 8, scratch);
  const size_t at = head.find("%PDF-");
  if (at == std::string_view::npos || at > limits::kHeaderSearch)
    Fail(Verdict::kNotPdf, "no PDF header");
  objects_.set_header_offset(at);
  index_.ReadFrom(sections_);
  sections_.Open(at);
  if (sections_.update_cut_short()) NoteRepair("file ends early");
  // Strings and streams of an encrypted file are encrypted: object streams may be out of reach.
  const Object* encrypt = sections_.TrailerValue("Encrypt", false);
  if (encrypt && !encrypt->IsNull())
    objects_.set_streams_encrypted(EncryptsStreams(objects_, *encrypt));
  const Object* size = sections_.NewestTrailer().Find("Size");
  object_slots_ = IsIntIn(size, 1, static_cast<int64_t>(limits::kMaxObjectNumber))
                      ? static_cast<uint64_t>(size->value)
                      : limits::kMaxObjectNumber;
  plain_table_ = sections_.NewestIsPlainTable();
}

Document::ScanFinding Document::OpenByScanning() {
  RecoveryScan scan(reader_, objects_, index_, deadline_);
  const Recovery found = scan.Run();
  recovered_ = true;
  has_header_ = found.has_header;
  recovered_root_ = found.root;
  last_object_ = found.last_object;
  object_slots_ = found.objects + 1;
  return found.finding;
}

Object Document::Root() {
  if (recovered_) return recovered_root_;
  const Object* root = sections_.TrailerValue("Root", true);
  if (!root) Damaged("no /Root");
  return *root;
}

std::unique_ptr<StreamDecoder> Document::OpenStream(const Object& ref, Object& dict) {
  if (!ref.IsRef()) Damaged("no stream");
  StreamRef where;
  objects_.FindStream(ref.value, dict, where);
  return objects_.OpenStream(dict, where);
}

uint64_t Document::PageBound() const {
  // Each page needs an object besides object 0, the catalog and the tree's root; a page
  // inline in /Kids needs none, but a walk of the tree, which a /Count above the bound
  // leads to, counts it all the same.
  const uint64_t by_objects = object_slots_ > 3 ? object_slots_ - 3 : 0;
  // And a few bytes: where every object stands whole in the file, a header, a dictionary,
  // "endobj", its table entry and a reference in /Kids take more than 32.
  const uint64_t by_bytes = reader_.size() / (plain_table_ ? 32 : 1);
  return std::min(by_objects, by_bytes);
}

}  // namespace foliotally::pdf
