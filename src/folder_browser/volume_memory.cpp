#include "folder_browser/volume_memory.h"

namespace foliotally {
std::string ListedVolumeRootOf(const std::vector<Volume>& volumes, const std::string& path) {
  const Volume* volume = VolumeContaining(volumes, path);
  return volume ? volume->root : std::string();
}

std::string VolumeFolderMemory::LastFolderOn(const std::string& root) const {
  const auto found = last_.find(root);
  return found == last_.end() ? root : found->second;
}

}  // namespace foliotally
