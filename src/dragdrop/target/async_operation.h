// The asynchronous-operation side of a data object: a source that lets the target fetch
// the data on a thread of its own after the drop, and wants to hear when it is done.
// The drop target looks for it on the data object it was given.
#pragma once

#include <cstdint>

#include "dragdrop/formats/hresult.h"

namespace foliotally::dragdrop {

class IAsyncOperation {
 public:
  virtual ~IAsyncOperation() = default;
  // Whether the source allows an asynchronous transfer.
  virtual HResult GetAsyncMode(bool& is_async) = 0;
  // The target begins one; the source keeps the data until EndOperation.
  virtual HResult StartOperation() = 0;
  virtual HResult InOperation(bool& in_async_op) = 0;
  // The target is done, with this result and the effect it carried out.
  virtual HResult EndOperation(HResult result, uint32_t effect) = 0;
};

}  // namespace foliotally::dragdrop
