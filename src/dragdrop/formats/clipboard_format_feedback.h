// The small status values the two sides of a drag exchange: drop effects (0 none, 1 copy,
// 2 move, 4 link, combinable), a flag and the target's class id.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/clipboard_format_simple.h"

namespace foliotally::dragdrop {

// A format holding one little-endian 32-bit value.
class TCustomDWORDClipboardFormat : public TCustomSimpleClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }

  uint32_t Value() const { return value_; }
  void SetValue(uint32_t value) { value_ = value; }

  void Clear() override { value_ = 0; }
  // A fetched value counts even when it is 0.
  bool HasData() const override { return true; }
  // Takes the first four bytes; a shorter payload is refused and leaves the value 0.
  bool ReadData(std::span<const uint8_t> payload) override;
  // Only into exactly four bytes.
  bool WriteData(std::span<uint8_t> buffer) const override;
  int32_t GetDataSize() const override { return 4; }

 private:
  uint32_t value_ = 0;
};

// What every named feedback value format shares: its class object, a child of the 32-bit
// value format's, and its id, registered under the name `Self` gives.
template <typename Self>
class TFeedbackValueFormat : public TCustomDWORDClipboardFormat {
 public:
  static const TClipboardFormatClass& Class() {
    static const TClipboardFormatClass cls(Self::kClassName, &TCustomDWORDClipboardFormat::Class(),
                                           &Construct<Self, TClipboardFormat>, Self::kDirections);
    return cls;
  }
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  uint16_t GetClipboardFormat() const override {
    static const uint16_t id = RegisteredFormatId(Self::kFormatName);
    return id;
  }
};

// The effect the source prefers (read).
class TPreferredDropEffectClipboardFormat
    : public TFeedbackValueFormat<TPreferredDropEffectClipboardFormat> {
 public:
  static constexpr std::string_view kClassName = "TPreferredDropEffectClipboardFormat";
  static constexpr std::string_view kFormatName = "Preferred DropEffect";
  static constexpr TDataDirections kDirections = TDataDirection::ddRead;
};

// The effect the target carried out (write).
class TPerformedDropEffectClipboardFormat
    : public TFeedbackValueFormat<TPerformedDropEffectClipboardFormat> {
 public:
  static constexpr std::string_view kClassName = "TPerformedDropEffectClipboardFormat";
  static constexpr std::string_view kFormatName = "Performed DropEffect";
  static constexpr TDataDirections kDirections = TDataDirection::ddWrite;
};

// The effect the source is to act on (write).
class TLogicalPerformedDropEffectClipboardFormat
    : public TFeedbackValueFormat<TLogicalPerformedDropEffectClipboardFormat> {
 public:
  static constexpr std::string_view kClassName = "TLogicalPerformedDropEffectClipboardFormat";
  static constexpr std::string_view kFormatName = "Logical Performed DropEffect";
  static constexpr TDataDirections kDirections = TDataDirection::ddWrite;
};

// The effect of a completed paste (write).
class TPasteSucceededClipboardFormat : public TFeedbackValueFormat<TPasteSucceededClipboardFormat> {
 public:
  static constexpr std::string_view kClassName = "TPasteSucceededClipboardFormat";
  static constexpr std::string_view kFormatName = "Paste Succeeded";
  static constexpr TDataDirections kDirections = TDataDirection::ddWrite;
};

// Non-zero while the drag runs in the shell's drag loop (read).
class TInShellDragLoopClipboardFormat
    : public TFeedbackValueFormat<TInShellDragLoopClipboardFormat> {
 public:
  static constexpr std::string_view kClassName = "TInShellDragLoopClipboardFormat";
  static constexpr std::string_view kFormatName = "InShellDragLoop";
  static constexpr TDataDirections kDirections = TDataDirection::ddRead;
};

using TClassId = std::array<uint8_t, 16>;

// "TargetCLSID": the class id of the drop target (write); all zero means none.
class TTargetCLSIDClipboardFormat : public TCustomSimpleClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TTargetCLSIDClipboardFormat();

  const TClassId& CLSID() const { return clsid_; }
  void SetCLSID(const TClassId& clsid) { clsid_ = clsid; }

  uint16_t GetClipboardFormat() const override;
  void Clear() override { clsid_ = {}; }
  bool HasData() const override;
  // Exactly 16 bytes, in and out.
  bool ReadData(std::span<const uint8_t> payload) override;
  bool WriteData(std::span<uint8_t> buffer) const override;
  int32_t GetDataSize() const override { return 16; }

 private:
  TClassId clsid_{};
};

}  // namespace foliotally::dragdrop
