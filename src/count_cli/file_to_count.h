// One file handed from the walk to the counter.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/folder_descriptor.h"

namespace foliotally::count_cli {

struct FileToCount {
  std::string path;  // as the results name it
  // The folder the walk found the file in, held open, and where the file's own name
  // begins in `path`: the counter then opens the name relative to the folder. Without a
  // folder the path is opened as it stands.
  std::shared_ptr<const FolderDescriptor> folder;
  size_t name_offset = 0;

  const char* NameInFolder() const { return path.c_str() + name_offset; }
};

}  // namespace foliotally::count_cli
