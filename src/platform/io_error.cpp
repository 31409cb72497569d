#include "platform/io_error.h"

#include <cerrno>

namespace foliotally {

int IoErrorCodeOf(int errno_value, bool parent_missing) {
  switch (errno_value) {
    case ENOENT:
      return parent_missing ? kErrorPathNotFound : kErrorFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOSPC:
      return kErrorDiskFull;
    case ENOMEDIUM:
    case EIO:
    case ENXIO:
      return kErrorNotReady;
    default:
      return errno_value;
  }
}

std::string IoErrorMessage(int code) {
  switch (code) {
    case kErrorFileNotFound:
      return "File not found";
    case kErrorPathNotFound:
      return "Invalid filename";
    case kErrorTooManyOpenFiles:
      return "Too many open files";
    case kErrorAccessDenied:
      return "File access denied";
    case kErrorReadBeyondEnd:
      return "Read beyond end of file";
    case kErrorDiskFull:
      return "Disk full";
    case kErrorInvalidNumericInput:
      return "Invalid numeric input";
    default:
      return "I/O error " + std::to_string(code);
  }
}

EInOutError MakeInOutError(int code) { return EInOutError(code, IoErrorMessage(code)); }

}  // namespace foliotally
