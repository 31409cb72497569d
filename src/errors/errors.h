// The program's error classes. Every error is an exception of a class named for the kind
// of failure and carries one message text. Plain C++: the folder-browser core raises these
// without knowing about the widgets.
#pragma once

#include <stdexcept>
#include <string>

namespace foliotally {

// Base of every error the program raises on purpose.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A folder could not be entered, a file not read or written; carries the platform code
// of the message table ("File not found" for 2 and so on).
class EInOutError : public Exception {
 public:
  EInOutError(int code, const std::string& message) : Exception(message), ErrorCode(code) {}
  int ErrorCode;
};

class EOutOfResources : public Exception {
  using Exception::Exception;
};
class EFCreateError : public Exception {
  using Exception::Exception;
};
class EInvalidOperation : public Exception {
  using Exception::Exception;
};
class EStringListError : public Exception {
  using Exception::Exception;
};
class EListError : public Exception {
  using Exception::Exception;
};
class EIntOverflow : public Exception {
 public:
  EIntOverflow() : Exception("Integer overflow") {}
};
class EClipboardException : public Exception {
  using Exception::Exception;
};
// The silent abort: it ends a handler like any error but the error display shows nothing.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

}  // namespace foliotally
