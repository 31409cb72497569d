// A data format: what the application wants from a drag (a list of file names, a set of
// feedback values), filled from whichever of its compatible clipboard formats the data
// object offers first, in the registry's order of preference.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "dragdrop/formats/class_model.h"
#include "dragdrop/formats/clipboard_format_list.h"
#include "dragdrop/formats/data_directions.h"
#include "dragdrop/formats/data_object.h"

namespace foliotally::dragdrop {

class TCustomDataFormat;
class TDataFormats;
class TDataFormatClass;

// The component a data format belongs to: it lists its data formats and says which
// clipboard formats a data format of a given class may use. The drag-and-drop component
// base implements it.
class IDataFormatOwner {
 public:
  virtual TDataFormats& DataFormats() = 0;
  // Fills `formats` with new objects of the clipboard format classes a data format of
  // class `cls` can use here (a drop target: those it can read).
  virtual void GetCompatibleFormats(const TDataFormatClass& cls, TClipboardFormats& formats) = 0;

 protected:
  ~IDataFormatOwner() = default;
};

// The class object of a data format class. Its factory takes the owner component (may be
// null); RegisterCompatibleFormats, left empty, is inherited from the parent class.
class TDataFormatClass : public TMetaClass<TCustomDataFormat, IDataFormatOwner*> {
 public:
  using Registration = void (*)(const TDataFormatClass& self);

  TDataFormatClass(std::string_view name, const TDataFormatClass* parent, Factory factory,
                   Registration register_compatible_formats = nullptr);

  const TDataFormatClass* Parent() const { return parent_; }
  // Enters the registry rows that pair this class with its clipboard formats.
  void RegisterCompatibleFormats() const;

 private:
  const TDataFormatClass* parent_;
  Registration registration_;
};

class TCustomDataFormat {
 public:
  static const TDataFormatClass& Class();
  virtual const TDataFormatClass& ClassType() const { return Class(); }
  std::string_view ClassName() const { return ClassType().ClassName(); }

  // Joins the owner's DataFormats when there is an owner.
  explicit TCustomDataFormat(IDataFormatOwner* owner);
  // Leaves the owner's DataFormats; frees the clipboard format objects.
  virtual ~TCustomDataFormat();
  TCustomDataFormat(const TCustomDataFormat&) = delete;
  TCustomDataFormat& operator=(const TCustomDataFormat&) = delete;

  // A data format of class `cls` for use without a component: its compatible formats are
  // filled at once from the registry for `direction`.
  static std::unique_ptr<TCustomDataFormat> CreateFormat(const TDataFormatClass& cls,
                                                         TDataDirection direction);

  std::function<void(TCustomDataFormat& sender)> OnChanging;
  IDataFormatOwner* Owner() const { return owner_; }

  // Calls OnChanging; the name lists' changing hooks lead here.
  virtual void Changing();
  virtual void Clear() = 0;
  // Takes the state of a clipboard format; here by asking it to AssignTo this format.
  virtual bool Assign(TClipboardFormat& format);
  // Puts the state into a clipboard format; here by asking it to Assign this format.
  virtual bool AssignTo(TClipboardFormat& format);
  // Tries the compatible formats in order, while this format needs data; the first that
  // is fetched, holds data and is taken ends the walk.
  virtual bool GetData(IDataObject& data_object);
  virtual bool HasData() const = 0;
  virtual bool NeedsData() const { return !HasData(); }
  // True when the data object renders any compatible format on one of its media.
  virtual bool HasValidFormats(IDataObject& data_object);
  // True when any compatible format accepts the descriptor.
  virtual bool AcceptFormat(const TFormatEtc& format);

  // The clipboard formats this data format can be filled from, in order of preference;
  // built from the owner on first use (a data format without owner and without a list of
  // its own is a programming error).
  TClipboardFormats& CompatibleFormats();

 private:
  IDataFormatOwner* owner_;
  std::unique_ptr<TClipboardFormats> compatibleFormats_;
};

}  // namespace foliotally::dragdrop
