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
  if (at == std::string_view::npos || at > limits::kHeaderSearch) Fail(Verdict::kNotPdf, "header");
  objects_.set_header_offset(at);
  index_.ReadFrom(sections_);
  sections_.Open(at);
  const Object* encrypt = sections_.TrailerValue("Encrypt", false);
  encrypted_ = encrypt && !encrypt->IsNull();
  if (encrypted_) objects_.set_streams_encrypted(EncryptsStreams(objects_, *encrypt));
  const Object* size = sections_.NewestTrailer().Find("Size");
  size_bound_ = IsIntIn(size, 1, static_cast<int64_t>(limits::kMaxObjectNumber))
                    ? static_cast<uint64_t>(size->value)
                    : limits::kMaxObjectNumber;
}

Document::ScanFinding Document::OpenByScanning() {
  RecoveryScan scan(reader_, objects_, index_, deadline_);
  const Recovery found = scan.Run();
  recovered_ = true;
  recovered_root_ = found.root;
  encrypted_ = found.encrypted;
  size_bound_ = found.objects;
  switch (found.finding) {
    case Recovery::Finding::kNothing:
      return ScanFinding::kNothing;
    case Recovery::Finding::kBody:
      return ScanFinding::kBody;
    case Recovery::Finding::kCatalog:
      return ScanFinding::kCatalog;
  }
  return ScanFinding::kBody;
}

Object Document::Root() {
  if (recovered_) return recovered_root_;
  const Object* root = sections_.TrailerValue("Root", true);
  if (!root) Damaged("no /Root");
  return *root;
}

uint64_t Document::ObjectBound() const { return std::min(size_bound_, reader_.size()); }

}  // namespace foliotally::pdf
