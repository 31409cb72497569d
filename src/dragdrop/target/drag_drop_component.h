// TDragDropComponent: the base of the drag-and-drop components. It keeps the component's
// data formats and says which clipboard formats they may use (here: none).
#pragma once

#include <string_view>

#include "dragdrop/formats/data_format_base.h"
#include "dragdrop/formats/data_format_list.h"
#include "dragdrop/formats/persistent.h"

namespace foliotally::dragdrop {

class TDragDropComponent : public TPersistent, public IDataFormatOwner {
 public:
  TDragDropComponent() = default;
  TDragDropComponent(const TDragDropComponent&) = delete;
  TDragDropComponent& operator=(const TDragDropComponent&) = delete;

  std::string_view ClassName() const override { return "TDragDropComponent"; }

  TDataFormats& DataFormats() override { return dataFormats_; }
  // Empties the list: a plain component reads no format.
  void GetCompatibleFormats(const TDataFormatClass& cls, TClipboardFormats& formats) override;

 private:
  TDataFormats dataFormats_;
};

// The toolkit's clipboard as a source of Assign: assigning it to a drop target pastes.
class TClipboard : public TPersistent {
 public:
  std::string_view ClassName() const override { return "TClipboard"; }
};

// Something that offers a data object, as a source of Assign.
class IDataObjectProvider {
 public:
  virtual std::shared_ptr<IDataObject> DataObject() const = 0;

 protected:
  ~IDataObjectProvider() = default;
};

}  // namespace foliotally::dragdrop
