#include "pagecount/xref_sections.h"

#include <algorithm>
#include <array>
#include <string>

#include "pagecount/growing_window.h"
#include "pagecount/limits.h"
#include "pagecount/pdf_parser.h"
#include "pagecount/verdict.h"

namespace foliotally::pdf {

struct XrefSections::Section {
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
  std::unique_ptr<StreamDecoder> decoder;
};

namespace {

// The keys of a classic trailer this reader looks at; /ID, /Info and the rest are skipped.
constexpr std::array<std::string_view, 5> kTrailerKeys = {"Size", "Root", "Prev", "XRefStm",
                                                          "Encrypt"};

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

XrefSections::XrefSections(BlockReader& reader, ObjectStore& objects, const Deadline& deadline)
    : reader_(reader), objects_(objects), deadline_(deadline) {}

XrefSections::~XrefSections() = default;

void XrefSections::Open(uint64_t header_offset) {
  header_offset_ = header_offset;
  FindTail();
  if (!LoadNextSection()) Damaged("no cross-reference section");
}

const Object& XrefSections::NewestTrailer() const { return sections_.front()->trailer; }

bool XrefSections::NewestIsPlainTable() const {
  return !sections_.front()->is_stream && !sections_.front()->hybrid;
}

const Object* XrefSections::TrailerValue(std::string_view key, bool read_older) {
  for (size_t i = 0;; ++i) {
    if (i == sections_.size() && (!read_older || !LoadNextSection())) return nullptr;
    if (const Object* value = sections_[i]->trailer.Find(key)) return value;
  }
}

void XrefSections::FindTail() {
  for (size_t len : {limits::kTailRead, limits::kLongTailRead}) {
    const uint64_t start = reader_.size() > len ? reader_.size() - len : 0;
    const std::string_view tail = reader_.Read(start, len, window_);
    const size_t at = tail.rfind("startxref");
    if (at != std::string_view::npos) {
      Parser p(tail, true, at + 9);
      int64_t offset = 0;
      if (p.Integer(offset) != ParseStatus::kOk) Damaged("startxref");
      next_section_offset_ = static_cast<uint64_t>(offset);
      // Junk after the end is common and harmless; objects or a table there are not.
      const std::string_view rest = tail.substr(p.pos());
      update_cut_short_ =
          rest.find("obj") != std::string_view::npos || rest.find("xref") != std::string_view::npos;
      return;
    }
    if (start == 0) break;
  }
  Damaged("no startxref");
}

bool XrefSections::LoadNextSection() {
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
  if (IsIntIn(prev, 0, INT64_MAX)) {
    next_section_offset_ = static_cast<uint64_t>(prev->value);
  } else {
    chain_ended_ = true;
  }
  sections_.push_back(std::move(section));
  return true;
}

bool XrefSections::FirstVisit(uint64_t offset) {
  // A file has a handful of sections, at most a few thousand: a flat list beats a hash set.
  if (std::find(section_offsets_.begin(), section_offsets_.end(), offset) != section_offsets_.end())
    return false;
  section_offsets_.push_back(offset);
  return true;
}

std::unique_ptr<XrefSections::Section> XrefSections::LoadSection(uint64_t offset) {
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

std::unique_ptr<XrefSections::Section> XrefSections::LoadClassicSection(uint64_t offset) {
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
  // The trailer dictionary: may be long in a hostile file.
  const ParseStatus trailer =
      ParseInFile(reader_, at + p.pos(), 4096, window_, [&](Parser& tp, std::string_view) {
        section->trailer = Object{};
        return tp.ParseDictKeeping(section->trailer, kTrailerKeys);
      });
  if (trailer != ParseStatus::kOk) Damaged("trailer");
  if (!section->trailer.IsDict()) Damaged("trailer is not a dictionary");
  const Object* stm = section->trailer.Find("XRefStm");
  if (IsIntIn(stm, 0, INT64_MAX) && FirstVisit(static_cast<uint64_t>(stm->value))) {
    // A hybrid file: the stream lists the objects an older reader is not meant to see. A
    // stream that cannot be read leaves the table to stand on its own.
    SurvivesDamage([&] {
      for (uint64_t shift : {uint64_t{0}, header_offset_}) {
        section->hybrid = LoadStreamSection(static_cast<uint64_t>(stm->value) + shift);
        if (section->hybrid || header_offset_ == 0) break;
      }
    });
  }
  return section;
}

std::unique_ptr<XrefSections::Section> XrefSections::LoadStreamSection(uint64_t offset) {
  auto section = std::make_unique<Section>();
  Object dict;
  StreamRef where;
  if (!objects_.ParseIndirectAt(offset, -1, {}, dict, &where) || !dict.IsDict()) return nullptr;
  const Object* w = dict.Find("W");
  if (!w || !w->IsArray() || w->items.size() < 3) return nullptr;
  int total = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (!IsIntIn(&w->items[i], 0, 8)) Damaged("bad /W");
    section->widths[i] = static_cast<int>(w->items[i].value);
    total += section->widths[i];
  }
  if (total == 0) Damaged("bad /W");
  const Object* size = dict.Find("Size");
  const Object* index = dict.Find("Index");
  const int64_t max = static_cast<int64_t>(limits::kMaxObjectNumber);
  if (index && index->IsArray()) {
    if (index->items.size() % 2 != 0) Damaged("bad /Index");
    for (size_t i = 0; i + 1 < index->items.size(); i += 2) {
      if (!IsIntIn(&index->items[i], 0, max) || !IsIntIn(&index->items[i + 1], 0, max))
        Damaged("bad /Index");
      section->ranges.push_back({index->items[i].value, index->items[i + 1].value});
    }
  } else {
    if (!IsIntIn(size, 0, max)) Damaged("bad /Size");
    section->ranges.push_back({0, size->value});
  }
  section->is_stream = true;
  section->decoder = objects_.OpenStream(dict, where);
  section->trailer = std::move(dict);
  return section;
}

XrefEntry XrefSections::Lookup(int64_t num) {
  for (size_t i = 0;; ++i) {
    if (i == sections_.size() && !LoadNextSection()) return {};
    const XrefEntry e = LookupIn(*sections_[i], num);
    if (e.type != XrefEntry::Type::kNone) return e;
  }
}

XrefEntry XrefSections::LookupIn(Section& s, int64_t num) {
  if (s.is_stream) return LookupInStream(s, num);
  const XrefEntry e = LookupInTable(s, num);
  // In a hybrid file the table marks the objects the stream holds as free, or leaves them out.
  if (e.type != XrefEntry::Type::kInFile && s.hybrid) {
    const XrefEntry h = LookupIn(*s.hybrid, num);
    if (h.type != XrefEntry::Type::kNone) return h;
  }
  return e;
}

XrefEntry XrefSections::LookupInStream(Section& s, int64_t num) {
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
      return {XrefEntry::Type::kFree, 0, 0};
    case 1:
      return {XrefEntry::Type::kInFile, fields[1], 0};
    case 2:
      return {XrefEntry::Type::kInStream, fields[1], static_cast<int64_t>(fields[2])};
    default:
      return {XrefEntry::Type::kFree, 0, 0};  // unknown types are null references
  }
}

XrefEntry XrefSections::LookupInTable(Section& s, int64_t num) {
  for (const auto& sub : s.subsections) {
    if (num < sub.first || num - sub.first >= sub.count) continue;
    // Read where it lies: the entry is parsed before anything else is read.
    const std::string_view line = reader_.ReadInPlace(
        sub.entries_at + static_cast<uint64_t>(num - sub.first) * sub.width, 20, entry_);
    size_t pos = 0;
    uint64_t offset = 0, gen = 0;
    if (!Digits(line, pos, offset) || !Digits(line, pos, gen)) Damaged("table entry");
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size()) Damaged("table entry");
    if (line[pos] == 'n') return {XrefEntry::Type::kInFile, offset, 0};
    if (line[pos] == 'f') return {XrefEntry::Type::kFree, 0, 0};
    Damaged("table entry type");
  }
  return {};
}

}  // namespace foliotally::pdf
