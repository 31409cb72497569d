#include "folder_browser/volume_memory.h"

namespace foliotally {
namespace {

// Whether `root` is `path` or a folder above it ("/media/usb" holds "/media/usb/x", not
// "/media/usb2").
bool Holds(std::string_view root, std::string_view path) {
  if (root.empty() || !path.starts_with(root)) return false;
  return root.back() == '/' || path.size() == root.size() || path[root.size()] == '/';
}

}  // namespace

std::string VolumeRootOf(const std::vector<Volume>& volumes, std::string_view path) {
  std::string best = "/";
  for (const Volume& volume : volumes) {
    if (Holds(volume.root, path) && volume.root.size() > best.size()) best = volume.root;
  }
  return best;
}

std::string ListedVolumeRootOf(const std::vector<Volume>& volumes, const std::string& path) {
  const Volume* volume = VolumeContaining(volumes, path);
  return volume ? volume->root : std::string();
}

std::string VolumeFolderMemory::LastFolderOn(const std::string& root) const {
  const auto found = last_.find(root);
  return found == last_.end() ? root : found->second;
}

}  // namespace foliotally
