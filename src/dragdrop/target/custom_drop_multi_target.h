// TCustomDropMultiTarget: a drop target that fills a list of data formats from the dragged
// data, each on its own, and accepts a drag that offers any of their formats.
#pragma once

#include <memory>
#include <vector>

#include "dragdrop/target/custom_drop_target.h"

namespace foliotally::dragdrop {

using TDropCheckFormatEvent =
    std::function<void(TCustomDropTarget& sender, TCustomDataFormat& data_format, bool& accept)>;

class TCustomDropMultiTarget : public TCustomDropTarget {
 public:
  explicit TCustomDropMultiTarget(IDropPlatform& platform);
  // Frees the data formats it owns, last first.
  ~TCustomDropMultiTarget() override;

  std::string_view ClassName() const override { return "TCustomDropMultiTarget"; }

  TDropCheckFormatEvent OnCheckFormat;

 protected:
  bool FetchDataNow() override;
  // Raises "Can't clear data while async data transfer is in progress" during a transfer.
  void ClearData() override;
  bool AcceptsDataObject(IDataObject& data_object) override;
  virtual void FireCheckFormat(TCustomDataFormat& data_format, bool& accept);

  // Creates a data format owned by this component; it joins DataFormats.
  template <typename Format>
  Format& AddDataFormat() {
    auto format = std::make_unique<Format>(this);
    Format& added = *format;
    owned_.push_back(std::move(format));
    return added;
  }

 private:
  bool Accepts(TCustomDataFormat& data_format, IDataObject& data_object);

  std::vector<std::unique_ptr<TCustomDataFormat>> owned_;
};

}  // namespace foliotally::dragdrop
