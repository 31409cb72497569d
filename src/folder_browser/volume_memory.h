// Mounted volumes in the part of drives: which volume holds a folder, and the last folder
// entered on each volume, so that "enter a volume" can go back to where the user was.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/volume.h"

namespace foliotally {

// The root of the listed volume holding `path` (an absolute POSIX path), or empty when no
// listed volume holds it: a folder on a file system left out of the table lies on no
// drive.
std::string ListedVolumeRootOf(const std::vector<Volume>& volumes, const std::string& path);

// The last folder entered on each volume.
class VolumeFolderMemory {
 public:
  void Remember(const std::string& root, const std::string& folder) { last_[root] = folder; }
  // The folder remembered for `root`, or `root` itself when none is.
  std::string LastFolderOn(const std::string& root) const;

 private:
  std::map<std::string, std::string> last_;
};

}  // namespace foliotally
