// "Shell IDList Array": a CIDA payload, a count cidl and cidl + 1 offsets of ID lists, the
// first the folder and the others the items relative to it; and the read-only view that
// turns those items into path names.
#pragma once

#include "dragdrop/formats/clipboard_format_simple.h"
#include "dragdrop/formats/pidl_list.h"
#include "dragdrop/formats/shell_id_lists.h"
#include "dragdrop/formats/unicode_strings.h"

namespace foliotally::dragdrop {

// The items of a TPIDLList as names: item i is list i + 1 joined to the folder (list 0)
// and resolved when read, "" for an item without a path. Changing it does nothing.
class TPIDLsToFilenamesStrings : public TUnicodeStrings {
 public:
  explicit TPIDLsToFilenamesStrings(const TPIDLList& lists,
                                    TPathFromIdList resolve = SHGetPathFromIDListW)
      : lists_(lists), resolve_(std::move(resolve)) {}
  std::string_view ClassName() const override { return "TPIDLsToFilenamesStrings"; }

  void SetResolver(TPathFromIdList resolve) { resolve_ = std::move(resolve); }

  int32_t GetCount() const override;
  // An index outside the view raises "Filename index out of range".
  std::u16string Get(int32_t index) const override;
  void Put(int32_t, const std::u16string&) override {}
  void Insert(int32_t, const std::u16string&) override {}
  void Clear() override {}
  void Delete(int32_t) override {}

 private:
  const TPIDLList& lists_;
  TPathFromIdList resolve_;
};

class TPIDLClipboardFormat : public TCustomSimpleClipboardFormat {
 public:
  static const TClipboardFormatClass& Class();
  const TClipboardFormatClass& ClassType() const override { return Class(); }

  TPIDLClipboardFormat();

  TPIDLList& IdLists() { return idLists_; }
  const TPIDLList& IdLists() const { return idLists_; }
  TPIDLsToFilenamesStrings& PathNames() { return pathNames_; }

  uint16_t GetClipboardFormat() const override;
  void Clear() override { idLists_.Clear(); }
  bool HasData() const override { return idLists_.Count() > 0; }
  bool ReadData(std::span<const uint8_t> payload) override;
  bool WriteData(std::span<uint8_t> buffer) const override;
  int32_t GetDataSize() const override;

 private:
  TPIDLList idLists_;
  TPIDLsToFilenamesStrings pathNames_{idLists_};
};

}  // namespace foliotally::dragdrop
