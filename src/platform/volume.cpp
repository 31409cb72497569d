#include "platform/volume.h"

namespace foliotally {
namespace {

// Whether `root` is `path` or a leading folder of it.
bool IsRootOf(const std::string& root, const std::string& path) {
  if (root.empty() || path.compare(0, root.size(), root) != 0) return false;
  return path.size() == root.size() || root.back() == '/' || path[root.size()] == '/';
}

}  // namespace

const Volume* VolumeContaining(const std::vector<Volume>& volumes, const std::string& path) {
  const Volume* best = nullptr;
  for (const Volume& volume : volumes) {
    if (IsRootOf(volume.root, path) && (!best || volume.root.size() > best->root.size()))
      best = &volume;
  }
  return best;
}

}  // namespace foliotally
