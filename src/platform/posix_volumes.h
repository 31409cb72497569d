// Reads the system's volume table: /proc/self/mounts, removable flags from /sys/block and
// labels from /dev/disk/by-label. Nothing here touches a mounted volume, so a hung network
// mount or an empty card reader cannot block the caller.
#pragma once

#include <vector>

#include "platform/volume.h"

namespace foliotally {

std::vector<Volume> ReadSystemVolumes();

}  // namespace foliotally
