#include "support/pdf_writer.h"

#include <cstdio>
#include <vector>

namespace foliotally::test {

std::string MakePdf(int pages) {
  std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  auto add_object = [&](const std::string& body) {
    offsets.push_back(out.size());
    out += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  add_object("<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int i = 0; i < pages; ++i) kids += std::to_string(3 + i) + " 0 R ";
  add_object("<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(pages) + " >>");
  for (int i = 0; i < pages; ++i)
    add_object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
  const size_t xref = out.size();
  out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  char line[32];
  for (size_t off : offsets) {
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace foliotally::test

#include <zlib.h>

#include <map>

namespace foliotally::test {

std::string Deflate(const std::string& data) {
  uLongf len = compressBound(data.size());
  std::string out(len, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &len, reinterpret_cast<const Bytef*>(data.data()),
            data.size(), 9);
  out.resize(len);
  return out;
}

namespace {

// Objects by number; each is the text between "N 0 obj" and "endobj".
struct Objects {
  std::map<int, std::string> body;
  int next = 1;
  int Add(std::string text) {
    body[next] = std::move(text);
    return next++;
  }
};

// Builds a page tree over pages [first, first + count) below `parent`; returns its root.
int AddTree(Objects& objs, int count, int fanout, int parent, std::vector<int>& leaves) {
  const int node = objs.Add("");
  std::vector<int> kids;
  if (fanout <= 0 || count <= fanout) {
    for (int i = 0; i < count; ++i) {
      kids.push_back(objs.Add("<< /Type /Page /Parent " + std::to_string(node) +
                              " 0 R /MediaBox [0 0 612 792] >>"));
      leaves.push_back(kids.back());
    }
  } else {
    // Split into `fanout` nearly equal parts.
    int done = 0;
    for (int k = 0; k < fanout; ++k) {
      const int part = (count - done) / (fanout - k);
      if (part > 0) kids.push_back(AddTree(objs, part, fanout, node, leaves));
      done += part;
    }
  }
  std::string list;
  for (int k : kids) list += std::to_string(k) + " 0 R ";
  objs.body[node] = "<< /Type /Pages /Count " + std::to_string(count) + " /Kids [ " + list + "]" +
                    (parent ? " /Parent " + std::to_string(parent) + " 0 R" : "") + " >>";
  return node;
}

std::string Be(uint64_t v, int width) {
  std::string out(width, '\0');
  for (int i = width - 1; i >= 0; --i, v >>= 8) out[i] = static_cast<char>(v & 0xff);
  return out;
}

struct Entry {
  int type = 0;  // 0 free, 1 in file, 2 in object stream
  uint64_t a = 0;
  uint64_t b = 0;
};

// Encodes cross-reference rows (W [1 4 2]) with an optional PNG "Up" predictor, or the TIFF
// predictor (2: each byte less the one before it in its row).
std::string XrefRows(const std::vector<Entry>& rows, int predictor) {
  std::string raw, prev(7, '\0');
  for (const Entry& e : rows) {
    const std::string row = Be(e.type, 1) + Be(e.a, 4) + Be(e.b, 2);
    if (predictor >= 10) {
      raw += '\x02';
      for (int i = 0; i < 7; ++i) raw += static_cast<char>(row[i] - prev[i]);
      prev = row;
    } else if (predictor == 2) {
      for (int i = 0; i < 7; ++i) raw += static_cast<char>(row[i] - (i > 0 ? row[i - 1] : 0));
    } else {
      raw += row;
    }
  }
  return Deflate(raw);
}

class Writer {
 public:
  explicit Writer(const PdfOptions& o) : o_(o) {}

  std::string Write() {
    out_ = o_.junk + "%PDF-1.5\n%\xE2\xE3\xCF\xD3\n";
    const int root_count_num = o_.indirect_count ? objs_.Add("") : 0;
    std::vector<int> leaves;
    const int tree = AddTree(objs_, o_.pages, o_.fanout, 0, leaves);
    if (o_.indirect_count) {
      objs_.body[root_count_num] = std::to_string(o_.pages);
      ReplaceCount(tree, std::to_string(root_count_num) + " 0 R");
    }
    if (!o_.root_count.empty()) ReplaceCount(tree, o_.root_count);
    const int catalog = objs_.Add("<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
    root_ = catalog;
    const uint64_t xref = WriteBody(objs_.body, /*prev=*/0, 0);
    if (o_.update_pages <= 0) return out_;
    // The update: new pages, and a new root node (same number) holding the old kids too.
    Objects extra;
    extra.next = objs_.next + 2;  // past the first section's object and xref streams
    std::vector<int> added;
    for (int i = 0; i < o_.update_pages; ++i)
      added.push_back(extra.Add("<< /Type /Page /Parent " + std::to_string(tree) +
                                " 0 R /MediaBox [0 0 612 792] >>"));
    // The old root becomes a kid: move its text to a fresh number.
    const int old_root = extra.Add(objs_.body[tree]);
    std::string list = std::to_string(old_root) + " 0 R ";
    for (int a : added) list += std::to_string(a) + " 0 R ";
    extra.body[tree] = "<< /Type /Pages /Count " + std::to_string(o_.pages + o_.update_pages) +
                       " /Kids [ " + list + "] >>";
    next_ = extra.next;
    WriteBody(extra.body, xref, static_cast<int>(objs_.next));
    return out_;
  }

 private:
  void ReplaceCount(int node, const std::string& value) {
    std::string& b = objs_.body[node];
    const size_t at = b.find("/Count ");
    const size_t end = b.find(' ', at + 7);
    b.replace(at + 7, end - at - 7, value);
  }

  uint64_t Offset() const { return out_.size() - (o_.offsets_from_header ? o_.junk.size() : 0); }

  void Obj(int num, const std::string& text) {
    entries_[num] = {1, Offset(), 0};
    out_ += std::to_string(num) + " 0 obj\n" + text + "\nendobj\n";
  }

  // Writes `body` and a cross-reference section for it; returns the section's offset.
  uint64_t WriteBody(const std::map<int, std::string>& body, uint64_t prev, int) {
    entries_.clear();
    const bool compress = o_.object_streams && o_.xref != PdfOptions::Xref::kTable;
    std::map<int, std::string> packed;
    for (const auto& [num, text] : body) {
      if (compress && text.find("stream") == std::string::npos && text.find('<') == 0)
        packed[num] = text;
      else
        Obj(num, text);
    }
    int size = std::max(next_, objs_.next);
    if (!packed.empty()) {
      const int stm = size++;
      std::string head, data;
      int index = 0;
      for (const auto& [num, text] : packed) {
        head += std::to_string(num) + " " + std::to_string(data.size()) + " ";
        data += text + "\n";
        entries_[num] = {2, static_cast<uint64_t>(stm), static_cast<uint64_t>(index++)};
      }
      const std::string z = Deflate(head + data);
      entries_[stm] = {1, Offset(), 0};
      out_ += std::to_string(stm) + " 0 obj\n<< /Type /ObjStm /N " + std::to_string(packed.size()) +
              " /First " + std::to_string(head.size()) + " /Filter /FlateDecode /Length " +
              std::to_string(z.size()) + " >>\nstream\n" + z + "\nendstream\nendobj\n";
    }
    std::string trailer_keys = "/Size " + std::to_string(size + 1) + " /Root " +
                               std::to_string(root_) + " 0 R" +
                               (prev ? " /Prev " + std::to_string(prev) : "") +
                               (o_.trailer_extra.empty() ? "" : " " + o_.trailer_extra);
    if (o_.xref == PdfOptions::Xref::kTable) return WriteTable(size, trailer_keys, -1);
    if (o_.xref == PdfOptions::Xref::kStream) return WriteStream(size, trailer_keys);
    // Hybrid: the stream lists the compressed objects, the table the rest.
    const int xs = size;
    const uint64_t stm_at = Offset();
    std::map<int, Entry> packed_entries;
    for (const auto& [num, e] : entries_)
      if (e.type == 2) packed_entries[num] = e;
    std::vector<Entry> rows;
    const std::string index = IndexRuns(packed_entries, rows);
    const std::string z = XrefRows(rows, o_.predictor);
    out_ += std::to_string(xs) + " 0 obj\n<< /Type /XRef /W [1 4 2] /Index [" + index + "] /Size " +
            std::to_string(size + 1) + " /Filter /FlateDecode" + Parms() + " /Length " +
            std::to_string(z.size()) + " >>\nstream\n" + z + "\nendstream\nendobj\n";
    entries_[xs] = {1, stm_at, 0};
    return WriteTable(size + 1, trailer_keys, static_cast<int64_t>(stm_at));
  }

  std::string Parms() const {
    return o_.predictor >= 10 || o_.predictor == 2
               ? " /DecodeParms << /Predictor " + std::to_string(o_.predictor) + " /Columns 7 >>"
               : "";
  }

  uint64_t WriteTable(int size, const std::string& keys, int64_t xref_stm) {
    const uint64_t at = Offset();
    out_ += "xref\n";
    // One subsection per run of numbers present in this section (object 0 in the first).
    std::map<int, Entry> rows = entries_;
    if (!rows.count(0) && rows.begin()->first <= 1) rows[0] = {0, 0, 65535};
    char line[32];
    for (auto it = rows.begin(); it != rows.end();) {
      auto end = it;
      int n = it->first;
      while (end != rows.end() && end->first == n) ++end, ++n;
      out_ += std::to_string(it->first) + " " + std::to_string(n - it->first) + "\n";
      for (; it != end; ++it) {
        const Entry& e = it->second;
        if (e.type == 1)
          std::snprintf(line, sizeof line, "%010llu 00000 n \n",
                        static_cast<unsigned long long>(e.a));
        else
          std::snprintf(line, sizeof line, "0000000000 65535 f \n");
        out_ += line;
      }
    }
    (void)size;
    out_ += "trailer\n<< " + keys + (xref_stm >= 0 ? " /XRefStm " + std::to_string(xref_stm) : "") +
            " >>\nstartxref\n" + std::to_string(at) + "\n%%EOF\n";
    return at;
  }

  uint64_t WriteStream(int size, const std::string& keys) {
    const int xs = size;
    const uint64_t at = Offset();
    entries_[xs] = {1, at, 0};
    // Rows for the numbers in this section only, one /Index run per consecutive stretch.
    std::vector<Entry> rows;
    const std::string index = IndexRuns(entries_, rows);
    const std::string z = XrefRows(rows, o_.predictor);
    out_ += std::to_string(xs) + " 0 obj\n<< /Type /XRef /W [1 4 2] /Index [" + index + "] " +
            keys + " /Filter /FlateDecode" + Parms() + " /Length " + std::to_string(z.size()) +
            " >>\nstream\n" + z + "\nendstream\nendobj\nstartxref\n" + std::to_string(at) +
            "\n%%EOF\n";
    return at;
  }

  // The rows of `entries` and the /Index pairs that place them, one per consecutive run.
  static std::string IndexRuns(const std::map<int, Entry>& entries, std::vector<Entry>& rows) {
    std::string index;
    for (auto it = entries.begin(); it != entries.end();) {
      const int first = it->first;
      int n = first;
      for (; it != entries.end() && it->first == n; ++it, ++n) rows.push_back(it->second);
      index += std::to_string(first) + " " + std::to_string(n - first) + " ";
    }
    return index;
  }

  const PdfOptions& o_;
  Objects objs_;
  std::map<int, Entry> entries_;
  std::string out_;
  int root_ = 0;
  int next_ = 0;
};

}  // namespace

std::string MakePdfWith(const PdfOptions& options) { return Writer(options).Write(); }

}  // namespace foliotally::test

namespace foliotally::test {

std::string MakePdfFromObjects(const std::vector<std::string>& bodies,
                               const std::string& trailer_extra) {
  std::string out = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < bodies.size(); ++i) {
    offsets.push_back(out.size());
    out += std::to_string(i + 1) + " 0 obj\n" + bodies[i] + "\nendobj\n";
  }
  const size_t xref = out.size();
  out += "xref\n0 " + std::to_string(bodies.size() + 1) + "\n0000000000 65535 f \n";
  char line[32];
  for (size_t off : offsets) {
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(bodies.size() + 1) + " /Root 1 0 R " +
         trailer_extra + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace foliotally::test
