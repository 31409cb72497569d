// A mounted volume, the Linux counterpart of a drive.
#pragma once

#include <string>

namespace foliotally {

enum class VolumeKind { kRemovable, kFixed, kNetwork, kOptical, kRam };

struct Volume {
  std::string root;    // mount point, e.g. "/" or "/media/usb"
  std::string source;  // what is mounted: "/dev/sdb1", "srv:/export", "//srv/share"
  std::string type;    // file-system type as the kernel names it: "ext4", "nfs4", ...
  VolumeKind kind = VolumeKind::kFixed;
  std::string label;  // volume label when the system knows it cheaply, else empty
};

}  // namespace foliotally
