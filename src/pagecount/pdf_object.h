// A PDF object as the reader keeps it: only what a page count and a page's size look at.
// Strings keep no content (nothing here reads them); names keep their decoded bytes.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foliotally::pdf {

struct DictEntry;

struct Object {
  enum class Kind : uint8_t { kNull, kBool, kInt, kReal, kName, kString, kArray, kDict, kRef };

  Kind kind = Kind::kNull;
  int64_t value = 0;  // bool, integer, the object number of a reference, or a real's bits
  uint32_t gen = 0;   // generation of a reference
  std::string name;
  std::vector<Object> items;       // array
  std::vector<DictEntry> entries;  // dictionary, in file order

  bool IsNull() const { return kind == Kind::kNull; }
  bool IsInt() const { return kind == Kind::kInt; }
  bool IsName() const { return kind == Kind::kName; }
  bool IsName(std::string_view n) const { return kind == Kind::kName && name == n; }
  bool IsArray() const { return kind == Kind::kArray; }
  bool IsDict() const { return kind == Kind::kDict; }
  bool IsRef() const { return kind == Kind::kRef; }
  bool IsNumber() const { return kind == Kind::kInt || kind == Kind::kReal; }

  // A real keeps its value in `value`'s bits: an object stays as small as it was.
  void SetReal(double real) {
    kind = Kind::kReal;
    value = std::bit_cast<int64_t>(real);
  }
  // The value of an integer or a real.
  std::optional<double> Number() const {
    if (kind == Kind::kInt) return static_cast<double>(value);
    if (kind == Kind::kReal) return std::bit_cast<double>(value);
    return std::nullopt;
  }

  // The value stored under `key` in a dictionary (the first one, as the file has it), or null.
  const Object* Find(std::string_view key) const;
};

struct DictEntry {
  std::string first;  // the key, without its slash
  Object second;
};

inline const Object* Object::Find(std::string_view key) const {
  for (const auto& [k, v] : entries)
    if (k == key) return &v;
  return nullptr;
}

// True when `o` is an integer within [lo, hi].
inline bool IsIntIn(const Object* o, int64_t lo, int64_t hi) {
  return o && o->IsInt() && o->value >= lo && o->value <= hi;
}

}  // namespace foliotally::pdf
