#include "support/special_files.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace foliotally::test {

void MakeFifo(const std::filesystem::path& path) {
  if (mkfifo(path.c_str(), 0644) != 0) throw std::runtime_error("mkfifo " + path.string());
}

void MakeSocket(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.string().size() >= sizeof address.sun_path)
    throw std::runtime_error("socket path too long: " + path.string());
  std::strcpy(address.sun_path, path.c_str());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("socket");
  const int rc = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  close(fd);
  if (rc != 0) throw std::runtime_error("bind " + path.string());
}

void SetModifiedTime(const std::filesystem::path& path, int64_t seconds) {
  timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
    throw std::runtime_error("utimensat " + path.string());
}

}  // namespace foliotally::test
