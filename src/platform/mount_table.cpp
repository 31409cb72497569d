#include "platform/mount_table.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace foliotally {
namespace {

std::string DecodeOctalEscapes(std::string_view field) {
  const auto is_octal = [](char c) { return c >= '0' && c <= '7'; };
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && is_octal(field[i + 1]) &&
        is_octal(field[i + 2]) && is_octal(field[i + 3])) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                               (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool IsUnder(const std::string& path, std::string_view folder) {
  return path == folder ||
         (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
          path[folder.size()] == '/');
}

constexpr std::array<std::string_view, 26> kPseudoTypes = {"proc",
                                                           "sysfs",
                                                           "cgroup",
                                                           "cgroup2",
                                                           "devpts",
                                                           "devtmpfs",
                                                           "mqueue",
                                                           "debugfs",
                                                           "securityfs",
                                                           "pstore",
                                                           "bpf",
                                                           "tracefs",
                                                           "hugetlbfs",
                                                           "fusectl",
                                                           "configfs",
                                                           "autofs",
                                                           "binfmt_misc",
                                                           "nsfs",
                                                           "rpc_pipefs",
                                                           "efivarfs",
                                                           "selinuxfs",
                                                           "none",
                                                           "fuse.gvfsd-fuse",
                                                           "fuse.portal",
                                                           "ramfs-initrd",
                                                           "nfsd"};

constexpr std::array<std::string_view, 20> kNetworkTypes = {
    "nfs",        "nfs4",   "cifs",  "smb3",           "smbfs",
    "ncpfs",      "9p",     "afs",   "ceph",           "glusterfs",
    "fuse.sshfs", "sshfs",  "davfs", "fuse.davfs2",    "fuse.rclone",
    "fuse.s3fs",  "lustre", "coda",  "fuse.glusterfs", "fuse.cephfs"};

template <size_t N>
bool Contains(const std::array<std::string_view, N>& set, const std::string& value) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

}  // namespace

std::vector<MountEntry> ParseMountTable(std::string_view text) {
  std::vector<MountEntry> entries;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string source, mount_point, type;
    if (!(fields >> source >> mount_point >> type)) continue;
    entries.push_back({DecodeOctalEscapes(source), DecodeOctalEscapes(mount_point), type});
  }
  return entries;
}

bool IsPseudoMount(const MountEntry& entry) {
  if (Contains(kPseudoTypes, entry.type)) return true;
  const std::string& point = entry.mount_point;
  if (IsUnder(point, "/proc") || IsUnder(point, "/sys") || IsUnder(point, "/dev")) return true;
  if (IsUnder(point, "/run/user")) return true;
  if (entry.type == "tmpfs" && IsUnder(point, "/run")) return true;
  if (entry.type == "squashfs" && IsUnder(point, "/snap")) return true;
  return false;
}

VolumeKind VolumeKindOf(const MountEntry& entry, bool removable_device) {
  if (Contains(kNetworkTypes, entry.type)) return VolumeKind::kNetwork;
  if (entry.type == "iso9660" || entry.type == "udf") return VolumeKind::kOptical;
  if (entry.type == "tmpfs" || entry.type == "ramfs") return VolumeKind::kRam;
  return removable_device ? VolumeKind::kRemovable : VolumeKind::kFixed;
}

std::vector<Volume> VolumesOf(const std::vector<MountEntry>& entries, const DeviceFacts& facts) {
  std::vector<Volume> volumes;
  for (const MountEntry& entry : entries) {
    if (IsPseudoMount(entry)) continue;
    Volume volume;
    volume.root = entry.mount_point;
    volume.source = entry.source;
    volume.type = entry.type;
    const bool is_device = entry.source.rfind("/dev/", 0) == 0;
    const std::string device =
        is_device && facts.resolve_device ? facts.resolve_device(entry.source) : entry.source;
    const bool removable = is_device && facts.is_removable && facts.is_removable(device);
    volume.kind = VolumeKindOf(entry, removable);
    if (is_device) {
      if (auto it = facts.labels.find(device); it != facts.labels.end()) volume.label = it->second;
    }
    auto same_root = std::find_if(volumes.begin(), volumes.end(),
                                  [&](const Volume& v) { return v.root == volume.root; });
    if (same_root != volumes.end()) volumes.erase(same_root);
    volumes.push_back(std::move(volume));
  }
  return volumes;
}

}  // namespace foliotally
