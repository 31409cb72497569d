// A small runtime class model. The format registry stores classes, not objects: it must
// tell whether one class descends from another and create an object of a class it only
// knows at run time. A class object carries the class's name, a link to its parent class
// and a factory (none for an abstract class). Class objects are immutable and live for the
// whole process; they are compared by address.
#pragma once

#include <memory>
#include <string_view>

namespace foliotally::dragdrop {

template <typename Object, typename... Args>
class TMetaClass {
 public:
  using Factory = std::unique_ptr<Object> (*)(Args...);

  constexpr TMetaClass(std::string_view name, const TMetaClass* parent, Factory factory)
      : name_(name), parent_(parent), factory_(factory) {}
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;

  std::string_view ClassName() const { return name_; }
  const TMetaClass* ClassParent() const { return parent_; }
  bool IsAbstract() const { return factory_ == nullptr; }

  // True when this class is `ancestor` or descends from it.
  bool InheritsFrom(const TMetaClass& ancestor) const {
    for (const TMetaClass* cls = this; cls != nullptr; cls = cls->parent_) {
      if (cls == &ancestor) return true;
    }
    return false;
  }

  // A new object of this class; null for an abstract class.
  std::unique_ptr<Object> Create(Args... args) const {
    return factory_ ? factory_(args...) : nullptr;
  }

 private:
  std::string_view name_;
  const TMetaClass* parent_;
  Factory factory_;
};

// The factory of a concrete class, for a class object's constructor.
template <typename Concrete, typename Object, typename... Args>
std::unique_ptr<Object> Construct(Args... args) {
  return std::make_unique<Concrete>(args...);
}

}  // namespace foliotally::dragdrop
