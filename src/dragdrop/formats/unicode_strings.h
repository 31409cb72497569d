// Lists of UTF-16 strings, the form dropped names travel in. TUnicodeStrings is the
// abstract list with change hooks and an update bracket; TUnicodeStringList keeps its
// strings in a growable array; TUnicodeStringsAdapter presents an 8-bit TStringList through
// the same interface, converting with the system code page on every access.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dragdrop/formats/persistent.h"

namespace foliotally::dragdrop {

class TStringList;

class TUnicodeStrings : public TPersistent {
 public:
  using TNotifyEvent = std::function<void(TUnicodeStrings& sender)>;

  // Called after and before every change while no update bracket is open.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  virtual int32_t GetCapacity() const { return GetCount(); }
  virtual void SetCapacity(int32_t /*capacity*/) {}
  virtual int32_t GetCount() const = 0;
  // Get, Put and Delete take 0 <= index < count; Insert 0 <= index <= count. Any other
  // index raises "List index out of bounds (%d)" (a view may raise its own error).
  virtual std::u16string Get(int32_t index) const = 0;
  virtual void Put(int32_t index, const std::u16string& text) = 0;
  virtual void Changed();
  virtual void Changing();
  // Appends; returns the index the text went to.
  virtual int32_t Add(const std::u16string& text);
  // The last exact (case-sensitive) match, or -1.
  virtual int32_t IndexOf(const std::u16string& text) const;
  virtual void Insert(int32_t index, const std::u16string& text) = 0;
  virtual void Clear() = 0;
  virtual void Delete(int32_t index) = 0;
  virtual void Exchange(int32_t index1, int32_t index2);
  virtual void Move(int32_t from, int32_t to);

  void BeginUpdate();
  void EndUpdate();

  int32_t Count() const { return GetCount(); }
  int32_t Capacity() const { return GetCapacity(); }

  // From another TUnicodeStrings or a TStringList (converted from the system code page):
  // clear and add every item in order, in one update bracket.
  void Assign(const TPersistent& source) override;

 protected:
  // Into a TStringList: every item converted to the system code page.
  void AssignTo(TPersistent& destination) const override;
  // Raises "List index out of bounds (%d)" unless 0 <= index < count.
  void CheckIndex(int32_t index) const;

 private:
  int32_t updateCount_ = 0;
};

class TUnicodeStringList : public TUnicodeStrings {
 public:
  std::string_view ClassName() const override { return "TUnicodeStringList"; }

  int32_t GetCapacity() const override { return static_cast<int32_t>(items_.size()); }
  void SetCapacity(int32_t capacity) override;
  int32_t GetCount() const override { return count_; }
  std::u16string Get(int32_t index) const override;
  void Put(int32_t index, const std::u16string& text) override;
  void Insert(int32_t index, const std::u16string& text) override;
  void Clear() override;
  void Delete(int32_t index) override;

 private:
  void Grow();

  std::vector<std::u16string> items_;  // its size is the capacity
  int32_t count_ = 0;
};

class TUnicodeStringsAdapter : public TUnicodeStrings {
 public:
  // Does not own `strings`, which must outlive the adapter.
  explicit TUnicodeStringsAdapter(TStringList& strings) : strings_(strings) {}
  std::string_view ClassName() const override { return "TUnicodeStringsAdapter"; }

  int32_t GetCapacity() const override;
  void SetCapacity(int32_t /*capacity*/) override {}
  int32_t GetCount() const override;
  std::u16string Get(int32_t index) const override;
  void Put(int32_t index, const std::u16string& text) override;
  void Insert(int32_t index, const std::u16string& text) override;
  void Clear() override;
  void Delete(int32_t index) override;

 private:
  TStringList& strings_;
};

}  // namespace foliotally::dragdrop
