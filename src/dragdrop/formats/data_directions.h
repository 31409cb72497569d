// Directions a format serves: read (fetched from a data object, as by a drop target) and
// write (rendered into one, as by a drop source or a target writing a value back).
#pragma once

#include <cstdint>

namespace foliotally::dragdrop {

enum class TDataDirection : uint8_t { ddRead = 0, ddWrite = 1 };

class TDataDirections {
 public:
  constexpr TDataDirections() = default;
  constexpr TDataDirections(TDataDirection direction) : bits_(Bit(direction)) {}
  static constexpr TDataDirections Both() {
    return TDataDirections(TDataDirection::ddRead) | TDataDirection::ddWrite;
  }

  constexpr bool Contains(TDataDirection direction) const { return (bits_ & Bit(direction)) != 0; }
  constexpr bool IsEmpty() const { return bits_ == 0; }
  constexpr TDataDirections operator|(TDataDirections other) const {
    TDataDirections sum;
    sum.bits_ = static_cast<uint8_t>(bits_ | other.bits_);
    return sum;
  }
  friend constexpr bool operator==(TDataDirections, TDataDirections) = default;

 private:
  static constexpr uint8_t Bit(TDataDirection direction) {
    return static_cast<uint8_t>(1u << static_cast<unsigned>(direction));
  }
  uint8_t bits_ = 0;
};

constexpr TDataDirections operator|(TDataDirection a, TDataDirection b) {
  return TDataDirections(a) | b;
}

}  // namespace foliotally::dragdrop
