// Where one object stands, and the index of such entries that the rest of the reader asks.
// The index is filled by the file's cross-reference sections, read as objects are asked for,
// or, when those cannot be trusted, by the recovery scan; nothing that asks it learns which.
#pragma once

#include <cstdint>
#include <unordered_map>

namespace foliotally::pdf {

struct XrefEntry {
  enum class Type : uint8_t { kNone, kFree, kInFile, kInStream };
  Type type = Type::kNone;
  uint64_t offset = 0;  // file offset of the object's header, or the object stream's number
  int64_t index = 0;    // index within the object stream
};

// What gives entries on demand: the cross-reference sections.
class EntrySource {
 public:
  virtual XrefEntry Lookup(int64_t num) = 0;

 protected:
  ~EntrySource() = default;
};

class EntryIndex {
 public:
  // Entries come from `source` as they are asked for.
  void ReadFrom(EntrySource& source) { source_ = &source; }
  // Entries found by a scan: from now on the only ones.
  void Refill(std::unordered_map<int64_t, XrefEntry> entries) {
    source_ = nullptr;
    found_ = std::move(entries);
  }
  // The numbers of the objects a refill holds, in no particular order.
  template <typename F>
  void ForEachRefilled(F&& f) const {
    for (const auto& [num, entry] : found_) f(num);
  }

  XrefEntry Lookup(int64_t num) {
    if (source_) return source_->Lookup(num);
    const auto it = found_.find(num);
    return it == found_.end() ? XrefEntry{} : it->second;
  }

 private:
  EntrySource* source_ = nullptr;
  std::unordered_map<int64_t, XrefEntry> found_;
};

}  // namespace foliotally::pdf
