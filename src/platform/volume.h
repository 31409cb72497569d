// A mounted volume, the Linux counterpart of a drive.
#pragma once

#include <string>
#include <vector>

namespace foliotally {

enum class VolumeKind { kRemovable, kFixed, kNetwork, kOptical, kRam };

struct Volume {
  std::string root;    // mount point, e.g. "/" or "/media/usb"
  std::string source;  // what is mounted: "/dev/sdb1", "srv:/export", "//srv/share"
  std::string type;    // file-system type as the kernel names it: "ext4", "nfs4", ...
  VolumeKind kind = VolumeKind::kFixed;
  std::string label;  // volume label when the system knows it cheaply, else empty
};

// The volume a full path lies on: the one whose root is the longest leading folder of the
// path. Null when none holds it (an empty table, or a relative path). Pure: nothing is
// touched.
const Volume* VolumeContaining(const std::vector<Volume>& volumes, const std::string& path);

}  // namespace foliotally
