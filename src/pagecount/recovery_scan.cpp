#include "pagecount/recovery_scan.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "pagecount/encryption.h"
#include "pagecount/growing_window.h"
#include "pagecount/limits.h"
#include "pagecount/pdf_parser.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Finds every occurrence of `word` in `text` that starts in [from, to) (offsets in `text`).
template <typename F>
void ForEach(std::string_view text, std::string_view word, size_t from, size_t to, F&& f) {
  for (size_t at = text.find(word, from); at != std::string_view::npos && at < to;
       at = text.find(word, at + 1))
    f(at);
}

Object RefTo(int64_t num) {
  Object ref;
  ref.kind = Object::Kind::kRef;
  ref.value = num;
  return ref;
}

}  // namespace

RecoveryScan::RecoveryScan(BlockReader& reader, ObjectStore& objects, EntryIndex& index,
                           const Deadline& deadline)
    : reader_(reader), objects_(objects), index_(index), deadline_(deadline) {}

Recovery RecoveryScan::Run() {
  std::string scratch;
  const std::string_view head = reader_.Read(0, limits::kHeaderSearch + 8, scratch);
  const size_t header = head.find("%PDF-");
  const bool has_header = header != std::string_view::npos && header <= limits::kHeaderSearch;
  // Chunks overlap by a little, so that a header split between two is seen whole.
  constexpr uint64_t kChunk = 1 << 20;
  constexpr uint64_t kLookBack = 64;
  for (uint64_t pos = 0; pos < reader_.size(); pos += kChunk) {
    deadline_.Check();
    const uint64_t base = pos >= kLookBack ? pos - kLookBack : 0;
    const std::string_view chunk =
        reader_.Read(base, static_cast<size_t>(pos + kChunk + 16 - base), scratch);
    ScanChunk(chunk, base, pos, std::min(pos + kChunk, base + chunk.size()));
  }
  Recovery recovery;
  recovery.has_header = has_header;
  if (!has_header && headers_.empty()) return recovery;
  index_.Refill(found_);
  ReadEncryption();
  IndexObjectStreams();
  recovery.objects = found_.size();
  if (!headers_.empty()) recovery.last_object = headers_.back().second;
  recovery.finding = FindCatalog();
  recovery.root = root_;
  return recovery;
}

void RecoveryScan::ScanChunk(std::string_view text, uint64_t base, uint64_t from, uint64_t to) {
  const size_t lo = static_cast<size_t>(from - base);
  const size_t hi = static_cast<size_t>(to - base);
  ForEach(text, "obj", lo, hi, [&](size_t at) { AddHeader(text, at, base); });
  ForEach(text, "trailer", lo, hi, [&](size_t at) { trailers_.push_back(base + at + 7); });
  ForEach(text, "/Catalog", lo, hi, [&](size_t at) { catalogs_.push_back(base + at); });
  ForEach(text, "/XRef", lo, hi, [&](size_t at) { xref_dicts_.push_back(base + at); });
  ForEach(text, "/ObjStm", lo, hi, [&](size_t at) { object_stream_marks_.push_back(base + at); });
}

void RecoveryScan::AddHeader(std::string_view text, size_t obj_at, uint64_t base) {
  if (obj_at + 3 < text.size() && IsPdfRegular(text[obj_at + 3])) return;
  // Backwards over "num gen ": digits, space, digits, space.
  size_t i = obj_at;
  auto spaces = [&] {
    const size_t end = i;
    while (i > 0 && IsPdfSpace(text[i - 1])) --i;
    return i < end;
  };
  auto digits = [&](size_t most) {
    const size_t end = i;
    while (i > 0 && IsDigit(text[i - 1]) && end - i < most) --i;
    return i < end;
  };
  // A generation too long for any integer is still a header to a viewer (the lookback
  // between chunks bounds how far back a header split by a chunk's start is seen).
  if (!spaces() || !digits(40)) return;
  const size_t gen_start = i;
  if (!spaces() || !digits(12)) return;
  if (i > 0 && IsPdfRegular(text[i - 1])) return;
  int64_t num = 0;
  for (size_t k = i; k < gen_start && IsDigit(text[k]); ++k) num = num * 10 + (text[k] - '0');
  if (num == 0 || static_cast<uint64_t>(num) >= limits::kMaxObjectNumber) return;
  found_[num] = {XrefEntry::Type::kInFile, base + i, 0};
  headers_.emplace_back(base + i, num);
}

void RecoveryScan::ReadEncryption() {
  // Encryption as the last trailer that names it says.
  for (auto it = trailers_.rbegin(); it != trailers_.rend(); ++it) {
    Object trailer;
    if (ParseDictAt(*it, trailer) && trailer.Find("Encrypt")) {
      objects_.set_streams_encrypted(EncryptsStreams(objects_, *trailer.Find("Encrypt")));
      return;
    }
  }
}

void RecoveryScan::IndexObjectStreams() {
  // The object holding each "/ObjStm" mark is an object stream; what it holds counts only
  // where no object of the same number stands in the file itself.
  std::unordered_set<int64_t> seen;
  std::unordered_map<int64_t, XrefEntry> compressed;
  for (uint64_t mark : object_stream_marks_) {
    const int64_t stream_num = ObjectHolding(mark);
    if (stream_num < 0 || !seen.insert(stream_num).second) continue;
    try {
      const auto& pairs = objects_.ObjectsInStream(stream_num);
      for (size_t i = 0; i < pairs.size(); ++i) {
        const int64_t num = pairs[i].first;
        if (num >= 0 && !found_.contains(num))
          compressed[num] = {XrefEntry::Type::kInStream, static_cast<uint64_t>(stream_num),
                             static_cast<int64_t>(i)};
      }
    } catch (const ReadFailure& f) {
      if (f.verdict == Verdict::kUnreadable || f.verdict == Verdict::kTimedOut) throw;
      if (f.verdict == Verdict::kEncrypted) hidden_by_encryption_ = true;
    }
  }
  if (compressed.empty()) return;
  found_.merge(compressed);
  index_.Refill(found_);
}

Recovery::Finding RecoveryScan::FindCatalog() {
  // The newest trailer naming a catalog with a page tree wins; then a cross-reference
  // stream's dictionary; then the last object that calls itself a catalog.
  bool root_named = false;
  for (auto it = trailers_.rbegin(); it != trailers_.rend(); ++it) {
    Object trailer;
    if (ParseDictAt(*it, trailer) && TryTrailer(trailer, root_named))
      return Recovery::Finding::kCatalog;
  }
  for (auto it = xref_dicts_.rbegin(); it != xref_dicts_.rend(); ++it) {
    const int64_t num = ObjectHolding(*it);
    Object dict;
    if (num >= 0 && SurvivesDamage([&] { dict = objects_.Resolve(RefTo(num)); }) &&
        TryTrailer(dict, root_named))
      return Recovery::Finding::kCatalog;
  }
  // A file whose trailer names a root that is not there has lost its page tree; a
  // catalog is looked for only where no trailer survives to name one.
  if (!root_named) {
    for (auto it = catalogs_.rbegin(); it != catalogs_.rend(); ++it) {
      const int64_t num = ObjectHolding(*it);
      if (num >= 0 && TryCatalog(RefTo(num))) return Recovery::Finding::kCatalog;
    }
  }
  // The catalog may be one of the objects that encryption keeps out of reach.
  if (hidden_by_encryption_) Fail(Verdict::kEncrypted, "object streams encrypted");
  if (tree_lost_) return Recovery::Finding::kTreeLost;
  return root_named ? Recovery::Finding::kRootLost : Recovery::Finding::kNoRoot;
}

bool RecoveryScan::TryTrailer(const Object& trailer, bool& root_named) {
  if (!trailer.IsDict() || !trailer.Find("Root")) return false;
  root_named = true;
  return TryCatalog(*trailer.Find("Root"));
}

bool RecoveryScan::TryCatalog(const Object& root) {
  bool has_tree = false;
  bool damaged_tree_root = false;
  const bool read = SurvivesDamage([&] {
    const Object catalog = objects_.Resolve(root);
    if (!catalog.IsDict() || !catalog.Find("Pages")) return;
    const Object& pages = *catalog.Find("Pages");
    // The root of the page tree stands in the file but cannot be read: its pages may still
    // be whole. A root that is not there at all has taken the tree with it.
    damaged_tree_root = pages.IsRef() && found_.contains(pages.value);
    has_tree = objects_.Resolve(pages).IsDict();
  });
  if (damaged_tree_root && !has_tree) tree_lost_ = true;
  if (!read || !has_tree) return false;
  root_ = root;
  return true;
}

int64_t RecoveryScan::ObjectHolding(uint64_t offset) const {
  auto it = std::upper_bound(headers_.begin(), headers_.end(), std::make_pair(offset, INT64_MAX));
  return it == headers_.begin() ? -1 : std::prev(it)->second;
}

bool RecoveryScan::ParseDictAt(uint64_t offset, Object& out) {
  std::string scratch;
  const ParseStatus status =
      ParseInFile(reader_, offset, 4096, scratch, [&](Parser& p, std::string_view) {
        out = Object{};
        return p.ParseObject(&out);
      });
  return status == ParseStatus::kOk && out.IsDict();
}

}  // namespace foliotally::pdf
