#include "pagecount/document.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "pagecount/limits.h"
#include "pagecount/pdf_parser.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

struct Document::Entry {
  enum class Type : uint8_t { kNone, kFree, kInFile, kInStream };
  Type type = Type::kNone;
  uint64_t offset = 0;  // file offset, or the object stream's number
  int64_t index = 0;    // index within the object stream
};

struct Document::Section {
  struct Subsection {
    int64_t first = 0;
    int64_t count = 0;
    uint64_t entries_at = 0;
    uint64_t width = 20;
  };
  struct Range {
    int64_t first = 0;
    int64_t count = 0;
  };
  bool is_stream = false;
  Object trailer;
  // Classic table.
  std::vector<Subsection> subsections;
  std::unique_ptr<Section> hybrid;  // the /XRefStm stream of a hybrid file
  // Cross-reference stream.
  std::array<int, 3> widths{};
  std::vector<Range> ranges;
  StreamRef data;
  std::unique_ptr<StreamDecoder> decoder;
};

struct Document::ObjectStream {
  int64_t num = 0;
  uint64_t last_use = 0;
  int64_t first = 0;
  std::vector<std::pair<int64_t, int64_t>> pairs;  // object number, offset after /First
  std::unique_ptr<StreamDecoder> decoder;
};

namespace {

// The keys of a classic trailer this reader looks at; /ID, /Info and the rest are skipped.
constexpr std::array<std::string_view, 5> kTrailerKeys = {"Size", "Root", "Prev", "XRefStm",
                                                          "Encrypt"};

bool IsRealInt(const Object* o, int64_t lo, int64_t hi) {
  return o && o->IsInt() && o->value >= lo && o->value <= hi;
}

// Reads a run of digits inside a classic table entry.
bool Digits(std::string_view s, size_t& pos, uint64_t& out) {
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
  const size_t start = pos;
  out = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && pos - start < 12)
    out = out * 10 + static_cast<uint64_t>(s[pos++] - '0');
  return pos > start;
}

}  // namespace

Document::Document(ByteSource& source, const Deadline& deadline)
    : reader_(source), deadline_(deadline), decode_budget_(limits::kMaxDecodedPerCount) {}

Document::~Document() = default;

void Document::Open() {
  const std::string_view head = reader_.Read(0, limits::kHeaderSearch + 8, window_);
  const size_t at = head.find("%PDF-");
  if (at == std::string_view::npos || at > limits::kHeaderSearch) Fail(Verdict::kNotPdf, "header");
  header_offset_ = at;
  FindTail();
  if (!LoadNextSection()) Damaged("no cross-reference section");
  const Object* encrypt = nullptr;
  for (const auto& s : sections_)
    if ((encrypt = s->trailer.Find("Encrypt")) != nullptr) break;
  encrypted_ = encrypt && !encrypt->IsNull();
  if (encrypted_) streams_encrypted_ = StreamsEncrypted(*encrypt);
  const Object* size = sections_.front()->trailer.Find("Size");
  size_bound_ = IsRealInt(size, 1, static_cast<int64_t>(limits::kMaxObjectNumber))
                    ? static_cast<uint64_t>(size->value)
                    : limits::kMaxObjectNumber;
}

void Document::FindTail() {
  for (size_t len : {limits::kTailRead, limits::kLongTailRead}) {
    const uint64_t start = reader_.size() > len ? reader_.size() - len : 0;
    const std::string_view tail = reader_.Read(start, len, window_);
    const size_t at = tail.rfind("startxref");
    if (at != std::string_view::npos) {
      Parser p(tail, true, at + 9);
      int64_t offset = 0;
      if (p.Integer(offset) != ParseStatus::kOk) Damaged("startxref");
      first_section_offset_ = next_section_offset_ = static_cast<uint64_t>(offset);
      return;
    }
    if (start == 0) break;
  }
  Damaged("no startxref");
}

bool Document::LoadNextSection() {
  if (chain_ended_) return false;
  deadline_.Check();
  if (sections_.size() >= static_cast<size_t>(limits::kMaxSections)) Damaged("too many sections");
  const uint64_t offset = next_section_offset_;
  // A /Prev that leads back to a section already read ends the chain: the loop adds nothing.
  if (!FirstVisit(offset)) {
    chain_ended_ = true;
    return false;
  }
  std::unique_ptr<Section> section = LoadSection(offset);
  if (!section) {
    // The newest section must be there; an older one that is not only ends the chain.
    if (sections_.empty()) Damaged("cross-reference section not found");
    chain_ended_ = true;
    return false;
  }
  const Object* prev = section->trailer.Find("Prev");
  if (IsRealInt(prev, 0, INT64_MAX)) {
    next_section_offset_ = static_cast<uint64_t>(prev->value);
  } else {
    chain_ended_ = true;
  }
  sections_.push_back(std::move(section));
  return true;
}

bool Document::FirstVisit(uint64_t offset) {
  // A file has a handful of sections, at most a few thousand: a flat list beats a hash set.
  if (std::find(section_offsets_.begin(), section_offsets_.end(), offset) != section_offsets_.end())
    return false;
  section_offsets_.push_back(offset);
  return true;
}

std::unique_ptr<Document::Section> Document::LoadSection(uint64_t offset) {
  // Files with junk before the header were often written with offsets counted from the
  // header: try the offset as given, then shifted by the junk's length.
  for (uint64_t shift : {uint64_t{0}, header_offset_}) {
    if (shift != 0 && header_offset_ == 0) break;
    const uint64_t at = offset + shift;
    if (at >= reader_.size()) continue;
    const std::string_view text = reader_.Read(at, 64, window_);
    Parser p(text, at + text.size() >= reader_.size());
    if (p.Keyword("xref") == ParseStatus::kOk) return LoadClassicSection(at);
    p.set_pos(0);
    int64_t num = 0, gen = 0;
    if (p.IndirectHeader(num, gen) == ParseStatus::kOk) {
      if (auto s = LoadStreamSection(at)) return s;
    }
  }
  return nullptr;
}

std::unique_ptr<Document::Section> Document::LoadClassicSection(uint64_t offset) {
  auto section = std::make_unique<Section>();
  constexpr size_t kWindow = 1024;
  uint64_t at = offset;
  std::string_view text = reader_.Read(at, kWindow, window_);
  Parser p(text, at + text.size() >= reader_.size());
  if (p.Keyword("xref") != ParseStatus::kOk) return nullptr;
  for (int n = 0;; ++n) {
    if (n > limits::kMaxSubsections) Damaged("too many subsections");
    // Each subsection header is read from a fresh window at its own offset, so that the
    // entries between headers are skipped without being read.
    at += p.pos();
    text = reader_.Read(at, kWindow, window_);
    p = Parser(text, at + text.size() >= reader_.size());
    if (p.Keyword("trailer") == ParseStatus::kOk) break;
    int64_t first = 0, count = 0;
    if (p.Integer(first) != ParseStatus::kOk || p.Integer(count) != ParseStatus::kOk)
      Damaged("subsection header");
    if (static_cast<uint64_t>(first) > limits::kMaxObjectNumber ||
        static_cast<uint64_t>(count) > limits::kMaxObjectNumber)
      Damaged("subsection range");
    p.SkipSpace();
    Section::Subsection sub{first, count, at + p.pos(), 20};
    if (count > 0) {
      // Entries are 20 bytes by the book; some writers end them with one byte less or more.
      // Where the second entry (or what follows the first) starts tells the width.
      std::string scratch;
      const std::string_view entry = reader_.Read(sub.entries_at, 24, scratch);
      if (entry.size() < 19) Damaged("truncated table");
      size_t next = 18;
      while (next < entry.size() && IsPdfSpace(entry[next])) ++next;
      if (next < 19 || next > 21) Damaged("table entry width");
      sub.width = next;
    }
    const uint64_t end = sub.entries_at + static_cast<uint64_t>(count) * sub.width;
    if (end > reader_.size()) Damaged("table past the end");
    section->subsections.push_back(sub);
    at = end;
    p.set_pos(0);
  }
  // The trailer dictionary: may be long in a hostile file, so the window grows as needed.
  at += p.pos();
  for (size_t len = 4096;; len *= 4) {
    text = reader_.Read(at, len, window_);
    Parser tp(text, at + text.size() >= reader_.size());
    section->trailer = Object{};
    const ParseStatus st = tp.ParseDictKeeping(section->trailer, kTrailerKeys);
    if (st == ParseStatus::kOk) break;
    if (st == ParseStatus::kBad || len >= limits::kMaxObjectBytes) Damaged("trailer");
  }
  if (!section->trailer.IsDict()) Damaged("trailer is not a dictionary");
  const Object* stm = section->trailer.Find("XRefStm");
  if (IsRealInt(stm, 0, INT64_MAX) && FirstVisit(static_cast<uint64_t>(stm->value))) {
    // A hybrid file: the stream lists the objects an older reader is not meant to see. A
    // stream that cannot be read leaves the table to stand on its own.
    try {
      for (uint64_t shift : {uint64_t{0}, header_offset_}) {
        section->hybrid = LoadStreamSection(static_cast<uint64_t>(stm->value) + shift);
        if (section->hybrid || header_offset_ == 0) break;
      }
    } catch (const ReadFailure& f) {
      if (f.verdict == Verdict::kUnreadable || f.verdict == Verdict::kTimedOut) throw;
    }
  }
  return section;
}

std::unique_ptr<Document::Section> Document::LoadStreamSection(uint64_t offset) {
  auto section = std::make_unique<Section>();
  Object dict;
  StreamRef where;
  if (!ParseIndirectAt(offset, -1, {}, dict, &where) || !dict.IsDict()) return nullptr;
  const Object* w = dict.Find("W");
  if (!w || !w->IsArray() || w->items.size() < 3) return nullptr;
  int total = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (!IsRealInt(&w->items[i], 0, 8)) Damaged("bad /W");
    section->widths[i] = static_cast<int>(w->items[i].value);
    total += section->widths[i];
  }
  if (total == 0) Damaged("bad /W");
  const Object* size = dict.Find("Size");
  const Object* index = dict.Find("Index");
  if (index && index->IsArray()) {
    if (index->items.size() % 2 != 0) Damaged("bad /Index");
    for (size_t i = 0; i + 1 < index->items.size(); i += 2) {
      const int64_t max = static_cast<int64_t>(limits::kMaxObjectNumber);
      if (!IsRealInt(&index->items[i], 0, max) || !IsRealInt(&index->items[i + 1], 0, max))
        Damaged("bad /Index");
      section->ranges.push_back({index->items[i].value, index->items[i + 1].value});
    }
  } else {
    if (!IsRealInt(size, 0, static_cast<int64_t>(limits::kMaxObjectNumber))) Damaged("bad /Size");
    section->ranges.push_back({0, size->value});
  }
  section->is_stream = true;
  section->data = where;
  section->decoder = OpenStream(dict, where);
  section->trailer = std::move(dict);
  return section;
}

bool Document::ParseIndirectAt(uint64_t offset, int64_t num,
                               std::span<const std::string_view> wanted, Object& out,
                               StreamRef* stream) {
  if (offset >= reader_.size()) return false;
  // A window of its own: resolving the stream's /Length below reads other objects.
  std::string scratch;
  for (size_t len = 1024;; len *= 4) {
    const std::string_view window = reader_.Read(offset, len, scratch);
    const bool complete = offset + window.size() >= reader_.size();
    Parser p(window, complete);
    int64_t n = 0, gen = 0;
    const ParseStatus head = p.IndirectHeader(n, gen);
    if (head == ParseStatus::kBad || (head == ParseStatus::kOk && num >= 0 && n != num))
      return false;
    ParseStatus st = head;
    bool stopped_early = false;
    if (st == ParseStatus::kOk) {
      out = Object{};
      p.SkipSpace();
      const bool dict =
          p.pos() + 1 < window.size() && window[p.pos()] == '<' && window[p.pos() + 1] == '<';
      st = (!wanted.empty() && dict) ? p.ParseDictFor(out, wanted, stopped_early)
                                     : p.ParseObject(&out);
    }
    bool has_stream = false;
    if (st == ParseStatus::kOk && stream && !stopped_early) st = p.StreamKeyword(has_stream);
    if (st == ParseStatus::kOk) {
      if (stream) {
        if (!has_stream || !out.IsDict()) Damaged("expected a stream");
        stream->data_offset = offset + p.pos();
        stream->length = StreamLength(out, stream->data_offset);
      }
      return true;
    }
    if (st == ParseStatus::kBad || complete || len >= limits::kMaxObjectBytes)
      Damaged("unparsable object");
  }
}

uint64_t Document::StreamLength(const Object& dict, uint64_t data_offset) {
  const uint64_t rest = reader_.size() - std::min(reader_.size(), data_offset);
  const Object* length = dict.Find("Length");
  if (!length) return rest;
  Object value = *length;
  if (value.IsRef()) {
    try {
      value = Resolve(value);
    } catch (const ReadFailure& f) {
      if (f.verdict == Verdict::kUnreadable || f.verdict == Verdict::kTimedOut) throw;
      value = Object{};
    }
  }
  // A wrong length is common; the decoders stop at the end of their own data, so the rest
  // of the file is a safe upper bound.
  if (!value.IsInt() || value.value < 0 || static_cast<uint64_t>(value.value) > rest) return rest;
  return static_cast<uint64_t>(value.value);
}

std::unique_ptr<StreamDecoder> Document::OpenStream(const Object& dict, const StreamRef& where) {
  Object resolved = dict;
  for (auto& [key, value] : resolved.entries)
    if ((key == "Filter" || key == "DecodeParms") && value.IsRef()) value = Resolve(value);
  return std::make_unique<StreamDecoder>(reader_, where.data_offset, where.length,
                                         StreamFormatOf(resolved), decode_budget_);
}

Document::Entry Document::Lookup(int64_t num) {
  if (scanned_) {
    if (auto it = scanned_objects_.find(num); it != scanned_objects_.end())
      return {Entry::Type::kInFile, it->second, 0};
    if (auto it = scanned_compressed_.find(num); it != scanned_compressed_.end())
      return {Entry::Type::kInStream, static_cast<uint64_t>(it->second.first), it->second.second};
    return {};
  }
  for (size_t i = 0;; ++i) {
    if (i == sections_.size() && !LoadNextSection()) return {};
    const Entry e = LookupIn(*sections_[i], num);
    if (e.type != Entry::Type::kNone) return e;
  }
}

Document::Entry Document::LookupIn(Section& s, int64_t num) {
  if (s.is_stream) {
    int64_t idx = 0;
    bool found = false;
    for (const auto& r : s.ranges) {
      if (num >= r.first && num - r.first < r.count) {
        idx += num - r.first;
        found = true;
        break;
      }
      idx += r.count;
    }
    if (!found) return {};
    const size_t w = static_cast<size_t>(s.widths[0] + s.widths[1] + s.widths[2]);
    const uint64_t start = static_cast<uint64_t>(idx) * w;
    if (start + w > limits::kMaxStreamBytes) Damaged("entry beyond stream limit");
    if (s.decoder->Ensure(start + w) < start + w) return {};
    const auto* bytes = reinterpret_cast<const unsigned char*>(s.decoder->data().data() + start);
    uint64_t fields[3] = {1, 0, 0};  // a missing type field means "in the file"
    for (int f = 0; f < 3; ++f) {
      if (s.widths[f] == 0) continue;
      uint64_t v = 0;
      for (int b = 0; b < s.widths[f]; ++b) v = (v << 8) | *bytes++;
      fields[f] = v;
    }
    switch (fields[0]) {
      case 0:
        return {Entry::Type::kFree, 0, 0};
      case 1:
        return {Entry::Type::kInFile, fields[1], 0};
      case 2:
        return {Entry::Type::kInStream, fields[1], static_cast<int64_t>(fields[2])};
      default:
        return {Entry::Type::kFree, 0, 0};  // unknown types are null references
    }
  }
  Entry e;
  for (const auto& sub : s.subsections) {
    if (num < sub.first || num - sub.first >= sub.count) continue;
    std::string scratch;
    const std::string_view line = reader_.Read(
        sub.entries_at + static_cast<uint64_t>(num - sub.first) * sub.width, 20, scratch);
    size_t pos = 0;
    uint64_t offset = 0, gen = 0;
    if (!Digits(line, pos, offset) || !Digits(line, pos, gen)) Damaged("table entry");
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size()) Damaged("table entry");
    if (line[pos] == 'n') {
      e = {Entry::Type::kInFile, offset, 0};
    } else if (line[pos] == 'f') {
      e = {Entry::Type::kFree, 0, 0};
    } else {
      Damaged("table entry type");
    }
    break;
  }
  // In a hybrid file the table marks the objects the stream holds as free, or leaves them out.
  if (e.type != Entry::Type::kInFile && s.hybrid) {
    const Entry h = LookupIn(*s.hybrid, num);
    if (h.type != Entry::Type::kNone) return h;
  }
  return e;
}

bool Document::StreamsEncrypted(const Object& encrypt) {
  Object dict;
  try {
    dict = Resolve(encrypt);
  } catch (const ReadFailure& f) {
    if (f.verdict == Verdict::kUnreadable || f.verdict == Verdict::kTimedOut) throw;
    return true;
  }
  if (!dict.IsDict()) return true;
  // From version 4 on, streams are encrypted by the crypt filter /StmF names; /Identity
  // (also the default) leaves them as they are.
  const Object* v = dict.Find("V");
  if (!IsRealInt(v, 4, 5)) return true;
  const Object* stmf = dict.Find("StmF");
  return stmf && !stmf->IsName("Identity");
}

Object Document::Root() {
  if (scanned_) return scanned_root_;
  for (size_t i = 0;; ++i) {
    if (i == sections_.size() && !LoadNextSection()) Damaged("no /Root");
    if (const Object* root = sections_[i]->trailer.Find("Root")) return *root;
  }
}

uint64_t Document::ObjectBound() const { return std::min(size_bound_, reader_.size()); }

Object Document::Resolve(Object object, std::span<const std::string_view> wanted) {
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

Object Document::Fetch(int64_t num, std::span<const std::string_view> wanted) {
  if (++fetches_ > limits::kMaxFetches) Damaged("too many objects");
  // The clock is read every few fetches: a count of a sound file fetches only a handful.
  if (fetches_ % 64 == 0) deadline_.Check();
  // Object 0 heads the free list: never a real object.
  if (num <= 0 || static_cast<uint64_t>(num) >= limits::kMaxObjectNumber) return {};
  const Entry e = Lookup(num);
  switch (e.type) {
    case Entry::Type::kInFile:
      return FetchInFile(num, e.offset, wanted, nullptr);
    case Entry::Type::kInStream:
      return FetchCompressed(num, static_cast<int64_t>(e.offset), e.index, wanted);
    default:
      return {};
  }
}

Object Document::FetchInFile(int64_t num, uint64_t offset, std::span<const std::string_view> wanted,
                             StreamRef* stream) {
  Object out;
  if (ParseIndirectAt(offset, num, wanted, out, stream)) return out;
  if (scanned_) Damaged("object not where the scan found it");
  if (header_offset_ > 0 && ParseIndirectAt(offset + header_offset_, num, wanted, out, stream))
    return out;
  Damaged("object not where the table says");
}

Document::ObjectStream& Document::ObjectStreamFor(int64_t stream_num) {
  ++clock_;
  for (auto& os : object_streams_) {
    if (os->num == stream_num) {
      os->last_use = clock_;
      return *os;
    }
  }
  // Strings and streams of an encrypted file are encrypted; objects inside object streams
  // cannot be read without the key.
  if (streams_encrypted_) Fail(Verdict::kEncrypted, "object stream in an encrypted file");
  const Entry e = Lookup(stream_num);
  if (e.type != Entry::Type::kInFile) Damaged("object stream not in the file");
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
  if (!IsRealInt(n, 0, limits::kMaxObjectsPerStream) ||
      !IsRealInt(first, 0, static_cast<int64_t>(limits::kMaxStreamBytes)))
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

Object Document::FetchCompressed(int64_t num, int64_t stream_num, int64_t index,
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
  for (size_t len = 1024;; len *= 4) {
    const size_t have = os.decoder->Ensure(static_cast<size_t>(start) + len);
    if (have <= start) Damaged("object beyond end of stream");
    const std::string_view text = os.decoder->data().substr(static_cast<size_t>(start));
    Parser p(text, os.decoder->finished());
    Object out;
    p.SkipSpace();
    const bool dict = p.pos() + 1 < text.size() && text[p.pos()] == '<' && text[p.pos() + 1] == '<';
    bool stopped_early = false;
    const ParseStatus st = (!wanted.empty() && dict) ? p.ParseDictFor(out, wanted, stopped_early)
                                                     : p.ParseObject(&out);
    if (st == ParseStatus::kOk) return out;
    if (st == ParseStatus::kBad || os.decoder->finished() || len >= limits::kMaxObjectBytes)
      Damaged("unparsable compressed object");
  }
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Finds every occurrence of `word` in `text` that starts in [from, to) (offsets in `text`).
template <typename F>
void ForEach(std::string_view text, std::string_view word, size_t from, size_t to, F&& f) {
  for (size_t at = text.find(word, from); at != std::string_view::npos && at < to;
       at = text.find(word, at + 1))
    f(at);
}

}  // namespace

void Document::ScanChunk(std::string_view text, uint64_t base, uint64_t from, uint64_t to) {
  const size_t lo = static_cast<size_t>(from - base);
  const size_t hi = static_cast<size_t>(to - base);
  ForEach(text, "obj", lo, hi, [&](size_t at) {
    if (at + 3 < text.size() && IsPdfRegular(text[at + 3])) return;
    // Backwards over "num gen ": digits, space, digits, space.
    size_t i = at;
    auto spaces = [&] {
      const size_t end = i;
      while (i > 0 && IsPdfSpace(text[i - 1])) --i;
      return i < end;
    };
    auto digits = [&] {
      const size_t end = i;
      while (i > 0 && IsDigit(text[i - 1]) && end - i < 12) --i;
      return i < end;
    };
    if (!spaces() || !digits()) return;
    const size_t gen_start = i;
    if (!spaces() || !digits()) return;
    if (i > 0 && IsPdfRegular(text[i - 1])) return;
    int64_t num = 0;
    for (size_t k = i; k < gen_start && IsDigit(text[k]); ++k) num = num * 10 + (text[k] - '0');
    if (num == 0 || static_cast<uint64_t>(num) >= limits::kMaxObjectNumber) return;
    scanned_objects_[num] = base + i;
    headers_.emplace_back(base + i, num);
  });
  ForEach(text, "trailer", lo, hi, [&](size_t at) { trailers_.push_back(base + at + 7); });
  ForEach(text, "/Catalog", lo, hi, [&](size_t at) { catalogs_.push_back(base + at); });
  ForEach(text, "/XRef", lo, hi, [&](size_t at) { xref_dicts_.push_back(base + at); });
  ForEach(text, "/ObjStm", lo, hi, [&](size_t at) { object_stream_marks_.push_back(base + at); });
}

bool Document::ParseDictAt(uint64_t offset, Object& out) {
  std::string scratch;
  for (size_t len = 4096;; len *= 4) {
    const std::string_view window = reader_.Read(offset, len, scratch);
    Parser p(window, offset + window.size() >= reader_.size());
    out = Object{};
    const ParseStatus st = p.ParseObject(&out);
    if (st == ParseStatus::kOk) return out.IsDict();
    if (st == ParseStatus::kBad || len >= limits::kMaxObjectBytes) return false;
  }
}

bool Document::TryCatalog(const Object& root) {
  try {
    const Object catalog = Resolve(root);
    if (!catalog.IsDict() || !catalog.Find("Pages")) return false;
    const Object pages = Resolve(*catalog.Find("Pages"));
    if (!pages.IsDict()) return false;
  } catch (const ReadFailure& f) {
    if (f.verdict == Verdict::kUnreadable || f.verdict == Verdict::kTimedOut) throw;
    return false;
  }
  scanned_root_ = root;
  return true;
}

void Document::AddObjectStreamsToScan() {
  // The object holding each "/ObjStm" mark is an object stream; what it holds counts only
  // where no object of the same number stands in the file itself.
  std::unordered_set<int64_t> seen;
  for (uint64_t mark : object_stream_marks_) {
    auto it = std::upper_bound(headers_.begin(), headers_.end(), std::make_pair(mark, INT64_MAX));
    if (it == headers_.begin()) continue;
    const int64_t stream_num = std::prev(it)->second;
    if (!seen.insert(stream_num).second) continue;
    try {
      const ObjectStream& os = ObjectStreamFor(stream_num);
      for (size_t i = 0; i < os.pairs.size(); ++i) {
        const int64_t num = os.pairs[i].first;
        if (num >= 0 && !scanned_objects_.contains(num))
          scanned_compressed_[num] = {stream_num, static_cast<int64_t>(i)};
      }
    } catch (const ReadFailure& f) {
      if (f.verdict == Verdict::kUnreadable || f.verdict == Verdict::kTimedOut) throw;
      if (f.verdict == Verdict::kEncrypted) hidden_by_encryption_ = true;
    }
  }
}

Document::ScanFinding Document::OpenByScanning() {
  const std::string_view head = reader_.Read(0, limits::kHeaderSearch + 8, window_);
  const size_t header = head.find("%PDF-");
  const bool has_header = header != std::string_view::npos && header <= limits::kHeaderSearch;
  constexpr uint64_t kChunk = 1 << 20;
  constexpr uint64_t kLookBack = 64;
  std::string scratch;
  for (uint64_t pos = 0; pos < reader_.size(); pos += kChunk) {
    deadline_.Check();
    const uint64_t base = pos >= kLookBack ? pos - kLookBack : 0;
    const std::string_view chunk =
        reader_.Read(base, static_cast<size_t>(pos + kChunk + 16 - base), scratch);
    ScanChunk(chunk, base, pos, std::min(pos + kChunk, base + chunk.size()));
  }
  if (!has_header && headers_.empty()) return ScanFinding::kNothing;
  scanned_ = true;
  size_bound_ = scanned_objects_.size();
  // Encryption as the last trailer that names it says.
  for (auto it = trailers_.rbegin(); it != trailers_.rend(); ++it) {
    Object trailer;
    if (ParseDictAt(*it, trailer) && trailer.Find("Encrypt")) {
      encrypted_ = true;
      streams_encrypted_ = StreamsEncrypted(*trailer.Find("Encrypt"));
      break;
    }
  }
  AddObjectStreamsToScan();
  size_bound_ += scanned_compressed_.size();
  // The newest trailer naming a catalog with a page tree wins; then a cross-reference
  // stream's dictionary; then the last object that calls itself a catalog.
  bool root_named = false;
  for (auto it = trailers_.rbegin(); it != trailers_.rend(); ++it) {
    Object trailer;
    if (!ParseDictAt(*it, trailer) || !trailer.Find("Root")) continue;
    root_named = true;
    if (TryCatalog(*trailer.Find("Root"))) return ScanFinding::kCatalog;
  }
  auto holder = [&](uint64_t mark) -> int64_t {
    auto it = std::upper_bound(headers_.begin(), headers_.end(), std::make_pair(mark, INT64_MAX));
    return it == headers_.begin() ? -1 : std::prev(it)->second;
  };
  for (auto it = xref_dicts_.rbegin(); it != xref_dicts_.rend(); ++it) {
    const int64_t num = holder(*it);
    if (num < 0) continue;
    Object ref;
    ref.kind = Object::Kind::kRef;
    ref.value = num;
    try {
      const Object dict = Resolve(ref);
      if (!dict.IsDict() || !dict.Find("Root")) continue;
      root_named = true;
      if (TryCatalog(*dict.Find("Root"))) return ScanFinding::kCatalog;
    } catch (const ReadFailure& f) {
      if (f.verdict == Verdict::kUnreadable || f.verdict == Verdict::kTimedOut) throw;
    }
  }
  // A file whose trailer names a root that is not there has lost its page tree; a
  // catalog is looked for only where no trailer survives to name one.
  if (root_named) {
    if (hidden_by_encryption_) Fail(Verdict::kEncrypted, "object streams encrypted");
    return ScanFinding::kBody;
  }
  for (auto it = catalogs_.rbegin(); it != catalogs_.rend(); ++it) {
    const int64_t num = holder(*it);
    if (num < 0) continue;
    Object ref;
    ref.kind = Object::Kind::kRef;
    ref.value = num;
    if (TryCatalog(ref)) return ScanFinding::kCatalog;
  }
  // The catalog may be one of the objects that encryption keeps out of reach.
  if (hidden_by_encryption_) Fail(Verdict::kEncrypted, "object streams encrypted");
  return ScanFinding::kBody;
}

}  // namespace foliotally::pdf
