// TControlList: the registered controls of a drop target, in registration order (a
// control's descendants come after it). It does not own them.
#pragma once

#include <cstdint>
#include <vector>

namespace foliotally::dragdrop {

class TWinControl;

class TControlList {
 public:
  int32_t Add(TWinControl* control);
  void Insert(int32_t index, TWinControl* control);
  int32_t IndexOf(const TWinControl* control) const;
  TWinControl* Items(int32_t index) const;
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Removes the control; returns its former index, -1 when it was not there.
  int32_t Remove(const TWinControl* control);

 private:
  std::vector<TWinControl*> items_;
};

}  // namespace foliotally::dragdrop
