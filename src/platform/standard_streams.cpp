#include "platform/standard_streams.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace foliotally {

void ReopenClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0) continue;
    // open takes the lowest free descriptor, which is this one.
    const int opened = ::open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
}

void IgnoreFileSizeLimitSignal() { ::signal(SIGXFSZ, SIG_IGN); }

void IgnoreBrokenPipeSignal() { ::signal(SIGPIPE, SIG_IGN); }

bool IsTerminal(int fd) { return ::isatty(fd) == 1; }

}  // namespace foliotally
