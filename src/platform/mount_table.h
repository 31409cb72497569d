// The mount table in the form /proc/self/mounts gives it, and the rules that pick the
// volumes a user would call drives out of it. Pure functions; the reading is elsewhere.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/volume.h"

namespace foliotally {

struct MountEntry {
  std::string source;
  std::string mount_point;
  std::string type;
};

// Parses the lines of a mounts file ("source mount-point type options dump pass"); the
// octal escapes \040, \011, \012 and \134 in the first two fields are decoded. Lines with
// fewer than three fields are skipped.
std::vector<MountEntry> ParseMountTable(std::string_view text);

// Whether a mount is kernel or session plumbing rather than storage: proc, sysfs, cgroups,
// devpts, tmpfs under /run, /dev or /sys, mounts below /run/user (desktop portals), snap
// images and the like.
bool IsPseudoMount(const MountEntry& entry);

// Network, optical and RAM kinds follow from the type; a block device the kernel calls
// removable gives a removable volume; anything else is fixed.
VolumeKind VolumeKindOf(const MountEntry& entry, bool removable_device);

// What the volume table needs to know about block devices, answered without touching any
// mounted volume.
struct DeviceFacts {
  // Whether the block device behind a /dev source is removable.
  std::function<bool(const std::string& source)> is_removable;
  // Labels by resolved device path ("/dev/sdb1" -> "USB STICK").
  std::map<std::string, std::string> labels;
  // Resolves a /dev source to the device node (symlinks under /dev/disk, /dev/mapper).
  std::function<std::string(const std::string& source)> resolve_device;
};

// The volumes of a parsed table: pseudo mounts left out, one volume per mount point (a
// later mount over the same point hides the earlier one), in the table's order.
std::vector<Volume> VolumesOf(const std::vector<MountEntry>& entries, const DeviceFacts& facts);

}  // namespace foliotally
