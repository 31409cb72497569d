// The base of every format whose payload is one run of bytes, carried in a byte block or a
// stream: reading a medium of either kind into one buffer for ReadData, and rendering
// GetDataSize bytes of WriteData into a new medium.
#pragma once

#include <cstdint>
#include <span>

#include "dragdrop/formats/clipboard_format_base.h"

namespace foliotally::dragdrop {

// Streams are copied in pieces of at most this many bytes.
inline constexpr uint32_t kTransferBlockSize = 1024 * 1024;

class TCustomSimpleClipboardFormat : public TClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }

  // A byte block is parsed as it is; a stream is read from its start in pieces, stopping at
  // the first empty read, and what arrived is parsed. An empty block or stream is a
  // successful fetch with no data. A stream size beyond 31 bits raises ERangeError.
  bool ReadMedium(IDataObject& data_object, TStgMedium& medium) override;
  // A stream when the descriptor asks for one (its mask not "any"), else a byte block.
  bool WriteMedium(const TFormatEtc& format, TStgMedium& medium) override;

  // Parses one payload into the state; true when it held what the format needs.
  virtual bool ReadData(std::span<const uint8_t> payload) = 0;
  // Renders the state into `buffer` of GetDataSize bytes.
  virtual bool WriteData(std::span<uint8_t> buffer) const = 0;
  virtual int32_t GetDataSize() const = 0;

 protected:
  // Travels in a byte block or a stream.
  TCustomSimpleClipboardFormat();
};

}  // namespace foliotally::dragdrop
