// The base of objects whose state can be copied from one another: Assign asks the source
// to put its state into the destination, and a pair that knows nothing of each other ends
// in the error "Cannot assign a %s to a %s".
#pragma once

#include <string_view>

namespace foliotally::dragdrop {

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual std::string_view ClassName() const = 0;

  // Takes the state of `source`; the base asks the source to AssignTo this object.
  virtual void Assign(const TPersistent& source);

 protected:
  TPersistent() = default;
  TPersistent(const TPersistent&) = default;
  TPersistent& operator=(const TPersistent&) = default;

  // Puts this object's state into `destination`; the base refuses.
  virtual void AssignTo(TPersistent& destination) const;
  // Raises "Cannot assign a <source class> to a <this class>".
  [[noreturn]] void AssignError(const TPersistent& source) const;

  // Lets a class reach AssignTo of another object of the family.
  static void CallAssignTo(const TPersistent& source, TPersistent& destination) {
    source.AssignTo(destination);
  }
};

}  // namespace foliotally::dragdrop
