#include "folder_browser/subfolder_names.h"

#include "folder_browser/directory_search.h"
#include "folder_browser/path_functions.h"

namespace foliotally {

std::vector<std::string> SubfolderNamesOf(FileSystem& fs, const std::string& folder) {
  std::vector<std::string> names;
  TSearchRec rec;
  if (SearchFirst(fs, JoinFolderAndName(folder, "*.*"), kAttrDirectory, rec,
                  SearchYield::kFoldersOnly) == 0) {
    do {
      if ((rec.EntryAttributes & kAttrDirectory) && rec.EntryName != "." && rec.EntryName != "..")
        names.push_back(rec.EntryName);
    } while (SearchNext(rec) == 0);
  }
  SearchClose(rec);
  return names;
}

}  // namespace foliotally
