// Where a file system keeps the DOS attribute bits (hidden, system, ...) of its entries.
#pragma once

namespace foliotally {

enum class DosAttributeSource {
  kSambaXattr,  // "user.DOSATTRIB", on any file system with user extended attributes
  kFatIoctl,    // vfat/msdos: FAT_IOCTL_GET_ATTRIBUTES on an open descriptor
  kCifsXattr,   // a mounted SMB share: "user.cifs.dosattrib", a little-endian 32-bit word
  kNtfsXattr,   // ntfs3: "system.ntfs_attrib", a little-endian 32-bit word
  kNone,        // pseudo and user-space file systems: nothing to ask
};

}  // namespace foliotally
