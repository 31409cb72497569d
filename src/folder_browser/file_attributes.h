// The kinds of directory entries a file list shows, and the attribute bits they stand for.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace foliotally {

enum class TFileAttr {
  ftReadOnly,
  ftHidden,
  ftSystem,
  ftVolumeID,
  ftDirectory,
  ftArchive,
  ftNormal
};

// A set of TFileAttr members.
class TFileType {
 public:
  constexpr TFileType() = default;
  constexpr TFileType(std::initializer_list<TFileAttr> members) {
    for (TFileAttr member : members) bits_ |= Bit(member);
  }
  constexpr bool Contains(TFileAttr member) const { return (bits_ & Bit(member)) != 0; }
  constexpr bool operator==(const TFileType&) const = default;

  // The attribute word of the directory search: the bits of ftReadOnly to ftArchive;
  // ftNormal adds none.
  constexpr int32_t AttributeWord() const { return static_cast<int32_t>(bits_ & 0x3F); }

 private:
  // ftReadOnly..ftArchive take the attribute bits 0x01..0x20 in order; ftNormal takes a bit
  // of its own above them.
  static constexpr uint32_t Bit(TFileAttr member) { return 1u << static_cast<int>(member); }
  uint32_t bits_ = 0;
};

}  // namespace foliotally
