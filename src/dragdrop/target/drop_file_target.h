// TDropFileTarget: a drop target for file names. It reads the dropped names (Files) and
// the names they are mapped to, and reports a move as a copy.
#pragma once

#include "dragdrop/formats/data_format_files.h"
#include "dragdrop/target/custom_drop_multi_target.h"

namespace foliotally::dragdrop {

class TDropFileTarget : public TCustomDropMultiTarget {
 public:
  explicit TDropFileTarget(IDropPlatform& platform);

  std::string_view ClassName() const override { return "TDropFileTarget"; }

  // The dropped names: the list itself, filled only while OnDrop runs.
  TUnicodeStringList& Files() { return fileFormat_.Files(); }
  TUnicodeStringList& MappedNames() { return mapFormat_.NameMappings(); }

 protected:
  // A clipboard that prefers nothing is taken as a copy.
  uint32_t ReadPreferredDropEffect() override;

 private:
  TFileDataFormat& fileFormat_;
  TFileMapDataFormat& mapFormat_;
};

}  // namespace foliotally::dragdrop
