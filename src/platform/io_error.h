// Error numbers of the operating system turned into the program's I/O error codes and
// their message texts.
#pragma once

#include <string>

#include "errors/errors.h"

namespace foliotally {

// The program's I/O error codes that have a name of their own.
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorPathNotFound = 3;
inline constexpr int kErrorTooManyOpenFiles = 4;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorNoMoreFiles = 18;
inline constexpr int kErrorNotReady = 21;
inline constexpr int kErrorReadBeyondEnd = 100;
inline constexpr int kErrorDiskFull = 101;
inline constexpr int kErrorInvalidNumericInput = 106;

// Maps an errno value onto an I/O error code. `parent_missing` tells an ENOENT whose parent
// folder is missing too (code 3) from one where only the last name is missing (code 2).
// An errno without a mapping is kept as the code.
int IoErrorCodeOf(int errno_value, bool parent_missing = false);

// The message shown for an I/O error code: "File not found" for 2 ... "I/O error %d".
std::string IoErrorMessage(int code);

// The EInOutError for an I/O error code, with its message.
EInOutError MakeInOutError(int code);

}  // namespace foliotally
