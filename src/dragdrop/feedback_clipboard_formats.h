// The small status values the two sides of a drag exchange: drop effects (0 none, 1 copy,
// 2 move, 4 link, combinable), a flag and the target's class id.
#pragma once

#include <array>
#include <cstdint>

#include "dragdrop/simple_clipboard_format.h"

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

// "Preferred DropEffect": the effect the source prefers (read).
class TPreferredDropEffectClipboardFormat : public TCustomDWORDClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TPreferredDropEffectClipboardFormat();
  uint16_t GetClipboardFormat() const override;
};

// "Performed DropEffect": the effect the target carried out (write).
class TPerformedDropEffectClipboardFormat : public TCustomDWORDClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TPerformedDropEffectClipboardFormat();
  uint16_t GetClipboardFormat() const override;
};

// "Logical Performed DropEffect": the effect the source is to act on (write).
class TLogicalPerformedDropEffectClipboardFormat : public TCustomDWORDClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TLogicalPerformedDropEffectClipboardFormat();
  uint16_t GetClipboardFormat() const override;
};

// "Paste Succeeded": the effect of a completed paste (write).
class TPasteSucceededClipboardFormat : public TCustomDWORDClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TPasteSucceededClipboardFormat();
  uint16_t GetClipboardFormat() const override;
};

// "InShellDragLoop": non-zero while the drag runs in the shell's drag loop (read).
class TInShellDragLoopClipboardFormat : public TCustomDWORDClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }
  TInShellDragLoopClipboardFormat();
  uint16_t GetClipboardFormat() const override;
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
