// A clipboard format: one platform format (an id and the media it travels in) that knows
// how to fetch its payload from a data object, parse it into its own state and render that
// state back into a medium. Concrete formats hold the state; data formats (data_format_base.h)
// take it over.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dragdrop/formats/class_model.h"
#include "dragdrop/formats/data_directions.h"
#include "dragdrop/formats/data_object.h"

namespace foliotally::dragdrop {

class TClipboardFormat;
class TCustomDataFormat;

// The class object of a clipboard format class, with its class operations. An operation
// left empty is inherited from the parent class.
class TClipboardFormatClass : public TMetaClass<TClipboardFormat> {
 public:
  using Conversions = void (*)(const TClipboardFormatClass& self);

  TClipboardFormatClass(std::string_view name, const TClipboardFormatClass* parent, Factory factory,
                        std::optional<TDataDirections> directions = {},
                        Conversions conversions = nullptr);

  const TClipboardFormatClass* Parent() const { return parent_; }
  // The directions the class serves unless a registry row says more; read by default.
  TDataDirections DefaultDirections() const { return directions_; }
  // Enters the registry rows in which this class names the data formats it converts to.
  void RegisterDataConversions() const;
  // Registers the class at module start-up: its data conversions.
  void RegisterFormat() const { RegisterDataConversions(); }

 private:
  const TClipboardFormatClass* parent_;
  TDataDirections directions_;
  Conversions conversions_;
};

class TClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  virtual const TClipboardFormatClass& ClassType() const { return Class(); }
  std::string_view ClassName() const { return ClassType().ClassName(); }

  virtual ~TClipboardFormat() = default;
  TClipboardFormat(const TClipboardFormat&) = delete;
  TClipboardFormat& operator=(const TClipboardFormat&) = delete;

  // The data format this object belongs to (not owned); set by the owning list.
  TCustomDataFormat* DataFormat = nullptr;

  // The descriptor: the format's id, no target device, content aspect, index -1 and the
  // media the format travels in. The id is asked of GetClipboardFormat on first use (a
  // constructor cannot reach the concrete class's override).
  const TFormatEtc& FormatEtc() const;

  // Parses a fetched medium into the state. Here: false.
  virtual bool ReadMedium(IDataObject& data_object, TStgMedium& medium);
  // Renders the state into a new medium for `format`. Here: false.
  virtual bool WriteMedium(const TFormatEtc& format, TStgMedium& medium);
  // The format id; every concrete class overrides it. Here: "Internal error: %s.%s needs
  // implementation".
  virtual uint16_t GetClipboardFormat() const;
  virtual void SetClipboardFormat(uint16_t id);
  // The registered name of the id (at most 255 characters).
  virtual std::string GetClipboardFormatName() const;
  // Raises "%s.ClipboardFormat is read-only".
  virtual void SetClipboardFormatName(const std::string& name);
  // Which of the own media the data object can render this format on, asked one medium
  // bit at a time.
  virtual uint32_t ProbeMedia(IDataObject& data_object);
  // True as soon as the data object can render the format on one of the own media.
  virtual bool HasValidFormats(IDataObject& data_object);
  // True when `format` names this id with no target device, the own aspect and a medium
  // in common. The index is not compared.
  virtual bool AcceptFormat(const TFormatEtc& format) const;
  // Clears, probes the media and fetches and parses the format.
  virtual bool GetData(IDataObject& data_object);
  // Clears and parses `medium` when its type is one of the own media; the medium is
  // released on every path, also when parsing raises.
  virtual bool ReadFromMedium(IDataObject& data_object, TStgMedium medium);
  // Renders the state for `format` and hands it to the data object; a refused medium is
  // released.
  virtual bool SetData(IDataObject& data_object, const TFormatEtc& format, TStgMedium& medium);
  // Takes the state of a data format (writing). Here: false.
  virtual bool Assign(TCustomDataFormat& data_format);
  // Puts the state into a data format (reading). Here: false.
  virtual bool AssignTo(TCustomDataFormat& data_format);
  virtual void Clear() = 0;
  virtual bool HasData() const { return true; }

 protected:
  // A format that travels on the media of `medium_mask`.
  explicit TClipboardFormat(uint32_t medium_mask);
  // A format with a given descriptor.
  explicit TClipboardFormat(const TFormatEtc& format);

 private:
  uint32_t ProbeOwnMedia(IDataObject& data_object, bool first_only);

  mutable TFormatEtc formatEtc_;
  mutable bool idKnown_ = false;
};

}  // namespace foliotally::dragdrop
