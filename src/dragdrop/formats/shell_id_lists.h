// What a shell ID list means on this system: how the drop side encodes dragged URIs as
// items of a "Shell IDList Array", and how an absolute ID list is resolved to a path.
//
// Encoding of one item (its bytes after the 16-bit length):
//   byte 0     the kind:
//                'P' (0x50)  a local path: the rest is an absolute path, as the OS spells
//                            it (UTF-8 in practice), no NUL. A file: URI gives its local
//                            path; a URI of the desktop's virtual file system that is also
//                            mounted locally gives that mounted path.
//                'N' (0x4E)  a name inside the path of the items before it: the rest is one
//                            name, no '/' and no NUL.
//                'U' (0x55)  an item without a local path: the rest is its URI (UTF-8), kept
//                            for display only.
//   byte 1..   the kind's text.
// The Qt side builds one "Shell IDList Array" per drop: the folder is the desktop (an empty
// list, only the closing zero) and each dragged URI is one list of one item, 'P' or 'U'.
//
// Resolving an absolute list walks its items: 'P' sets the path, 'N' appends '/' and the
// name to it, and anything else ('U', an unknown kind, an 'N' with no path before it, an
// empty list) means the list has no path. A path longer than PATH_MAX bytes has none
// either. The path's bytes are converted from the system code page to UTF-16.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dragdrop/formats/pidl_list.h"

namespace foliotally::dragdrop {

inline constexpr uint8_t kIdItemLocalPath = 'P';
inline constexpr uint8_t kIdItemName = 'N';
inline constexpr uint8_t kIdItemUri = 'U';

// Resolves an absolute ID list to a file-system path; false when the list has none.
using TPathFromIdList =
    std::function<bool(std::span<const uint8_t> absolute_list, std::u16string& path)>;

// The resolution of this system, as described above.
bool SHGetPathFromIDListW(std::span<const uint8_t> absolute_list, std::u16string& path);

// One-item lists: a local path, a name inside it, a URI without a local path.
TIdList MakeLocalPathIdList(std::string_view path);
TIdList MakeUriIdList(std::string_view uri);
// An ID list of several items (for instance a 'P' item followed by 'N' items).
TIdList MakeIdList(std::span<const std::vector<uint8_t>> item_contents);

// A "Shell IDList Array" (CIDA) payload: cidl, then cidl + 1 offsets, then the folder's
// list and the item lists.
std::vector<uint8_t> MakeShellIdListArray(std::span<const uint8_t> folder,
                                          std::span<const TIdList> items);

}  // namespace foliotally::dragdrop
