// Drop effects, key states and drag types: the small values every drop-target call carries.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace foliotally::dragdrop {

// The effect of a drop as the platform counts it; the scroll flag may join any of them.
inline constexpr uint32_t DROPEFFECT_NONE = 0;
inline constexpr uint32_t DROPEFFECT_COPY = 1;
inline constexpr uint32_t DROPEFFECT_MOVE = 2;
inline constexpr uint32_t DROPEFFECT_LINK = 4;
inline constexpr uint32_t DROPEFFECT_SCROLL = 0x80000000u;

// Key-state bits of a drag call: mouse buttons and modifier keys.
inline constexpr uint32_t MK_LBUTTON = 0x01;
inline constexpr uint32_t MK_RBUTTON = 0x02;
inline constexpr uint32_t MK_SHIFT = 0x04;
inline constexpr uint32_t MK_CONTROL = 0x08;
inline constexpr uint32_t MK_MBUTTON = 0x10;
inline constexpr uint32_t MK_ALT = 0x20;

// A small set over an enumeration, as the component's set-valued properties are.
template <typename Enum>
class TEnumSet {
 public:
  constexpr TEnumSet() = default;
  constexpr TEnumSet(std::initializer_list<Enum> items) {
    for (Enum item : items) Include(item);
  }
  constexpr void Include(Enum item) { bits_ |= Bit(item); }
  constexpr void Exclude(Enum item) { bits_ &= ~Bit(item); }
  constexpr bool Contains(Enum item) const { return (bits_ & Bit(item)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool operator==(const TEnumSet&) const = default;

 private:
  static constexpr uint32_t Bit(Enum item) { return 1u << static_cast<uint32_t>(item); }
  uint32_t bits_ = 0;
};

enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TEnumSet<TShiftStateItem>;

enum class TDragType { dtCopy, dtMove, dtLink };
using TDragTypes = TEnumSet<TDragType>;

// The shift state of a key state, bit for bit.
TShiftState ShiftStateOf(uint32_t key_state);

// The effects a set of drag types allows.
uint32_t EffectMaskOf(TDragTypes types);

// The effect the keys choose among `allowed`: Ctrl and Shift link, Ctrl alone copies,
// otherwise move; when the choice is not allowed, the first allowed of copy, move, link.
uint32_t EffectChosenByKeys(TShiftState shift, uint32_t allowed);

}  // namespace foliotally::dragdrop
