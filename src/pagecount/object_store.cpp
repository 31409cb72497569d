#include "pagecount/object_store.h"

#include <algorithm>

#include "pagecount/growing_window.h"
#include "pagecount/limits.h"
#include "pagecount/pdf_parser.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

struct ObjectStore::ObjectStream {
  int64_t num = 0;
  uint64_t last_use = 0;
  int64_t first = 0;
  std::vector<std::pair<int64_t, int64_t>> pairs;  // object number, offset after /First
  std::unique_ptr<StreamDecoder> decoder;
};

namespace {

// Parses one object from `parser`: only the `wanted` keys of a dictionary when some are
// named (`stopped_early` then tells whether it stopped before the dictionary's end).
ParseStatus ParseWanted(Parser& parser, std::string_view text, Object& out,
                        std::span<const std::string_view> wanted, bool& stopped_early) {
  out = Object{};
  parser.SkipSpace();
  const size_t at = parser.pos();
  const bool dict = at + 1 < text.size() && text[at] == '<' && text[at + 1] == '<';
  stopped_early = false;
  return (!wanted.empty() && dict) ? parser.ParseDictFor(out, wanted, stopped_early)
                                   : parser.ParseObject(&out);
}

constexpr const char* kGenerationOverflow = "generation number out of range";

}  // namespace

ObjectStore::ObjectStore(BlockReader& reader, EntryIndex& index, const Deadline& deadline)
    : reader_(reader),
      index_(index),
      deadline_(deadline),
      decode_budget_(limits::kMaxDecodedPerCount) {}

ObjectStore::~ObjectStore() = default;

Object ObjectStore::Resolve(Object object, std::span<const std::string_view> wanted) {
  // Resolving can re-enter itself (a stream's /Length is read while the stream is opened);
  // the depth bound stops an object stream whose /Length lies inside itself.
  struct DepthGuard {
    int& depth;
    ~DepthGuard() { --depth; }
  } guard{++resolve_depth_};
  if (resolve_depth_ > limits::kMaxResolveDepth) Damaged("reference chain too deep");
  for (int hops = 0; object.IsRef(); ++hops) {
    if (hops > limits::kMaxResolveDepth) Damaged("reference chain too long");
    object = Fetch(object.value, wanted);
  }
  return object;
}

Object ObjectStore::Fetch(int64_t num, std::span<const std::string_view> wanted) {
  if (++fetches_ > limits::kMaxFetches) Damaged("too many objects");
  // The clock is read every few fetches: a count of a sound file fetches only a handful.
  if (fetches_ % 64 == 0) deadline_.Check();
  // Object 0 heads the free list: never a real object.
  if (num <= 0 || static_cast<uint64_t>(num) >= limits::kMaxObjectNumber) return {};
  const XrefEntry e = index_.Lookup(num);
  switch (e.type) {
    case XrefEntry::Type::kInFile:
      return FetchInFile(num, e.offset, wanted);
    case XrefEntry::Type::kInStream:
      return FetchCompressed(num, static_cast<int64_t>(e.offset), e.index, wanted);
    default:
      return {};
  }
}

Object ObjectStore::FetchInFile(int64_t num, uint64_t offset,
                                std::span<const std::string_view> wanted) {
  Object out;
  if (ParseIndirectAt(offset, num, wanted, out, nullptr)) return out;
  // Files with junk before the header were often written with offsets counted from it.
  if (header_offset_ > 0 && ParseIndirectAt(offset + header_offset_, num, wanted, out, nullptr))
    return out;
  Damaged("object not where the index says");
}

bool ObjectStore::ParseIndirectAt(uint64_t offset, int64_t num,
                                  std::span<const std::string_view> wanted, Object& out,
                                  StreamRef* stream) {
  if (offset >= reader_.size()) return false;
  bool not_here = false;
  size_t data_at = 0;
  // The store's window, kept between objects so that a walk of many does not allocate for
  // each; a window of its own when this runs inside another parse (resolving a stream's
  // /Length below reads other objects).
  std::string own_window;
  std::string& scratch = window_busy_ ? own_window : window_;
  struct Busy {
    bool& busy;
    bool was;
    ~Busy() { busy = was; }
  } busy{window_busy_, window_busy_};
  window_busy_ = true;
  const ParseStatus status = ParseInFile(
      reader_, offset, 1024, scratch,
      [&](Parser& p, std::string_view text) {
        int64_t n = 0, gen = 0;
        ParseStatus st = p.IndirectHeader(n, gen);
        if (st == ParseStatus::kBad || (st == ParseStatus::kOk && num >= 0 && n != num)) {
          not_here = true;
          return ParseStatus::kBad;
        }
        bool stopped_early = false;
        if (st == ParseStatus::kOk) st = ParseWanted(p, text, out, wanted, stopped_early);
        if (st == ParseStatus::kOk && stream) {
          bool has_stream = false;
          if (!stopped_early) st = p.StreamKeyword(has_stream);
          if (st == ParseStatus::kOk && (!has_stream || !out.IsDict()))
            Damaged("expected a stream");
        }
        if (p.overflowed_generation()) NoteRepair(kGenerationOverflow);
        data_at = p.pos();
        return st;
      },
      /*in_place=*/true);  // the parse reads nothing else; the object keeps no view of it
  if (not_here) return false;
  if (status != ParseStatus::kOk) Damaged("unparsable object");
  if (stream) {
    stream->data_offset = offset + data_at;
    stream->length = StreamLength(out, stream->data_offset);
  }
  return true;
}

uint64_t ObjectStore::StreamLength(const Object& dict, uint64_t data_offset) {
  const uint64_t rest = reader_.size() - std::min(reader_.size(), data_offset);
  const Object* length = dict.Find("Length");
  if (!length) return rest;
  Object value = *length;
  if (value.IsRef() && !SurvivesDamage([&] { value = Resolve(value); })) value = Object{};
  // A wrong length is common; the decoders stop at the end of their own data, so the rest
  // of the file is a safe upper bound.
  if (!value.IsInt() || value.value < 0 || static_cast<uint64_t>(value.value) > rest) return rest;
  return static_cast<uint64_t>(value.value);
}

std::unique_ptr<StreamDecoder> ObjectStore::OpenStream(const Object& dict, const StreamRef& where) {
  Object resolved = dict;
  for (auto& [key, value] : resolved.entries)
    if ((key == "Filter" || key == "DecodeParms") && value.IsRef()) value = Resolve(value);
  return std::make_unique<StreamDecoder>(reader_, where.data_offset, where.length,
                                         StreamFormatOf(resolved), decode_budget_);
}

void ObjectStore::FindStream(int64_t num, Object& dict, StreamRef& where) {
  if (num <= 0 || static_cast<uint64_t>(num) >= limits::kMaxObjectNumber) Damaged("no stream");
  // Without the key its data would be read as noise.
  if (streams_encrypted_) Fail(Verdict::kEncrypted, "stream of an encrypted file");
  const XrefEntry e = index_.Lookup(num);
  if (e.type != XrefEntry::Type::kInFile) Damaged("stream not in the file");
  if (!ParseIndirectAt(e.offset, num, {}, dict, &where) &&
      !(header_offset_ > 0 && ParseIndirectAt(e.offset + header_offset_, num, {}, dict, &where)))
    Damaged("stream not found");
}

void ObjectStore::RenewDecodeBudget() { decode_budget_ = limits::kMaxDecodedPerCount; }

const std::vector<std::pair<int64_t, int64_t>>& ObjectStore::ObjectsInStream(int64_t stream_num) {
  return ObjectStreamFor(stream_num).pairs;
}

ObjectStore::ObjectStream& ObjectStore::ObjectStreamFor(int64_t stream_num) {
  ++clock_;
  for (auto& os : object_streams_) {
    if (os->num == stream_num) {
      os->last_use = clock_;
      return *os;
    }
  }
  std::unique_ptr<ObjectStream> os = LoadObjectStream(stream_num);
  if (object_streams_.size() >= limits::kObjectStreamCache) {
    auto oldest =
        std::min_element(object_streams_.begin(), object_streams_.end(),
                         [](const auto& a, const auto& b) { return a->last_use < b->last_use; });
    *oldest = std::move(os);
    return **oldest;
  }
  object_streams_.push_back(std::move(os));
  return *object_streams_.back();
}

std::unique_ptr<ObjectStore::ObjectStream> ObjectStore::LoadObjectStream(int64_t stream_num) {
  // Strings and streams of an encrypted file are encrypted; objects inside object streams
  // cannot be read without the key.
  if (streams_encrypted_) Fail(Verdict::kEncrypted, "object stream in an encrypted file");
  const XrefEntry e = index_.Lookup(stream_num);
  if (e.type != XrefEntry::Type::kInFile) Damaged("object stream not in the file");
  auto os = std::make_unique<ObjectStream>();
  os->num = stream_num;
  os->last_use = clock_;
  Object dict;
  StreamRef where;
  if (!ParseIndirectAt(e.offset, stream_num, {}, dict, &where) &&
      !(header_offset_ > 0 &&
        ParseIndirectAt(e.offset + header_offset_, stream_num, {}, dict, &where)))
    Damaged("object stream not found");
  const Object* n = dict.Find("N");
  const Object* first = dict.Find("First");
  if (!IsIntIn(n, 0, limits::kMaxObjectsPerStream) ||
      !IsIntIn(first, 0, static_cast<int64_t>(limits::kMaxStreamBytes)))
    Damaged("bad object stream");
  os->first = first->value;
  os->decoder = OpenStream(dict, where);
  const size_t have = os->decoder->Ensure(static_cast<size_t>(os->first));
  Parser p(os->decoder->data().substr(0, std::min<size_t>(have, os->first)), true);
  for (int64_t i = 0; i < n->value; ++i) {
    int64_t obj = 0, off = 0;
    if (p.Integer(obj) != ParseStatus::kOk || p.Integer(off) != ParseStatus::kOk) break;
    os->pairs.emplace_back(obj, off);
  }
  return os;
}

Object ObjectStore::FetchCompressed(int64_t num, int64_t stream_num, int64_t index,
                                    std::span<const std::string_view> wanted) {
  ObjectStream& os = ObjectStreamFor(stream_num);
  int64_t offset = -1;
  if (index >= 0 && static_cast<size_t>(index) < os.pairs.size() && os.pairs[index].first == num) {
    offset = os.pairs[index].second;
  } else {
    for (const auto& [obj, off] : os.pairs)
      if (obj == num) {
        offset = off;
        break;
      }
  }
  if (offset < 0) return {};  // not in the stream: a null object
  const uint64_t start = static_cast<uint64_t>(os.first) + static_cast<uint64_t>(offset);
  if (start >= limits::kMaxStreamBytes) Damaged("object beyond stream limit");
  Object out;
  const ParseStatus status = ParseInGrowingWindow(
      1024,
      [&](size_t len, bool& complete) {
        const size_t have = os.decoder->Ensure(static_cast<size_t>(start) + len);
        if (have <= start) Damaged("object beyond end of stream");
        complete = os.decoder->finished();
        return os.decoder->data().substr(static_cast<size_t>(start));
      },
      [&](Parser& p, std::string_view text) {
        bool stopped_early = false;
        const ParseStatus st = ParseWanted(p, text, out, wanted, stopped_early);
        if (p.overflowed_generation()) NoteRepair(kGenerationOverflow);
        return st;
      });
  if (status != ParseStatus::kOk) Damaged("unparsable compressed object");
  return out;
}

}  // namespace foliotally::pdf
