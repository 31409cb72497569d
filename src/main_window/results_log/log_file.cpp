#include "main_window/results_log/log_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "errors/errors.h"
#include "platform/atomic_file.h"

namespace foliotally {

std::string SystemReason(int error) {
  std::string reason = std::strerror(error);
  while (!reason.empty() && std::strchr(" \r\n.", reason.back()) != nullptr) reason.pop_back();
  return reason;
}

std::string FullPathName(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

namespace {

[[noreturn]] void ThrowCreateError(const std::string& file_name, int error) {
  throw EFCreateError("Cannot create file \"" + FullPathName(file_name) + "\". " +
                      SystemReason(error));
}

[[noreturn]] void ThrowStreamError() { throw EOutOfResources("Failed to Save Stream"); }

}  // namespace

void SaveLogFile(const std::string& file_name, const std::string& text, FileWriting& io) {
  // A FIFO or device would block the window or be replaced by a plain file: refused.
  AtomicFile file(io, file_name, AtomicFile::Streams::kRefuse);
  if (const int error = file.Open(); error != 0) ThrowCreateError(file_name, error);
  if (file.Write(text) != 0) ThrowStreamError();
  if (const int error = file.Commit(); error != 0) {
    if (file.replace_failed()) ThrowCreateError(file_name, error);
    ThrowStreamError();
  }
}

void SaveLogFile(const std::string& file_name, const std::string& text) {
  SaveLogFile(file_name, text, SystemFileWriting());
}

}  // namespace foliotally
