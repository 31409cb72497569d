#include "dragdrop/formats/persistent.h"

#include "dragdrop/formats/dragdrop_errors.h"

namespace foliotally::dragdrop {

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& destination) const { destination.AssignError(*this); }

void TPersistent::AssignError(const TPersistent& source) const {
  RaiseAssignError(source.ClassName(), ClassName());
}

}  // namespace foliotally::dragdrop
