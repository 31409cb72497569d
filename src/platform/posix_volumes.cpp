#include "platform/posix_volumes.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/mount_table.h"

namespace foliotally {
namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Resolves a device path through the symlinks udev makes; the paths all lie in devtmpfs.
std::string ResolveDevice(const std::string& source) {
  char resolved[PATH_MAX];
  return realpath(source.c_str(), resolved) != nullptr ? std::string(resolved) : source;
}

// udev writes unusual bytes of a label as \xHH.
std::string DecodeHexEscapes(const std::string& name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
      const std::string hex = name.substr(i + 2, 2);
      char* end = nullptr;
      const long value = strtol(hex.c_str(), &end, 16);
      if (end == hex.c_str() + 2) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += name[i];
  }
  return out;
}

std::map<std::string, std::string> ReadLabels() {
  std::map<std::string, std::string> labels;
  const std::string folder = "/dev/disk/by-label";
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return labels;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    labels[ResolveDevice(folder + "/" + name)] = DecodeHexEscapes(name);
  }
  return labels;
}

// A partition has no removable flag of its own; its disk, the folder above it in sysfs,
// has one.
bool IsRemovableDevice(const std::string& device) {
  const auto slash = device.rfind('/');
  const std::string name = device.substr(slash + 1);
  if (name.empty()) return false;
  char resolved[PATH_MAX];
  const std::string link = "/sys/class/block/" + name;
  if (realpath(link.c_str(), resolved) == nullptr) return false;
  std::string node = resolved;
  for (int level = 0; level < 2; ++level) {
    std::ifstream flag(node + "/removable");
    char value = 0;
    if (flag >> value) return value == '1';
    node = node.substr(0, node.rfind('/'));
  }
  return false;
}

}  // namespace

std::vector<Volume> ReadSystemVolumes() {
  DeviceFacts facts;
  facts.is_removable = IsRemovableDevice;
  facts.resolve_device = ResolveDevice;
  facts.labels = ReadLabels();
  return VolumesOf(ParseMountTable(ReadWholeFile("/proc/self/mounts")), facts);
}

}  // namespace foliotally
