// foliotally-repair: qpdf's count of a damaged or encrypted PDF file, for the page-count
// library, which starts it with the file open on standard input and reads one line
// "<verdict> <pages>" from standard output. The library kills it when the count's time is
// up; the bounds set here stop it even where the library could not (the library's process
// gone, or the helper started by hand), and bound its memory, which a file whose streams
// inflate without end would otherwise fill until its time is up.
//   foliotally-repair [CPU-SECONDS] < FILE.pdf
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#ifdef __linux__
#include <signal.h>
#include <sys/prctl.h>
#endif

#include "pagecount/qpdf_fallback.h"
#include "pagecount/repair_process.h"

namespace {

// The address space in use already, from /proc/self/statm (its first field, in pages).
uint64_t AddressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  uint64_t pages = 0;
  statm >> pages;
  return pages * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
}

// Running out makes qpdf's allocations fail, and the count ends as damaged. A lower bound
// set by whoever started the helper is kept; so is a build whose sanitizer has reserved
// terabytes for its shadow memory before main began, which any bound would stop.
void LimitAddressSpace() {
  const rlim_t bound = foliotally::pdf::kRepairHelperAddressSpace;
  rlimit limit{};
  if (::getrlimit(RLIMIT_AS, &limit) != 0) return;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= bound) return;
  if (AddressSpaceInUse() > bound / 2) return;
  limit.rlim_cur = bound;
  ::setrlimit(RLIMIT_AS, &limit);
}

void LimitProcessorTime(const char* seconds_text) {
  rlim_t seconds = 0;
  const char* end = seconds_text + std::strlen(seconds_text);
  if (std::from_chars(seconds_text, end, seconds).ptr != end || seconds == 0) return;
  const rlimit limit{seconds, seconds + 1};
  ::setrlimit(RLIMIT_CPU, &limit);
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __linux__
  // Dies with the thread that started it: nobody is left to read the answer.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
  LimitAddressSpace();
  if (argc > 1) LimitProcessorTime(argv[1]);
  using foliotally::pdf::CountResult;
  using foliotally::pdf::Verdict;
  struct stat st {};
  CountResult result{Verdict::kUnreadable, 0, nullptr};
  if (::fstat(0, &st) == 0) {
    result = S_ISREG(st.st_mode)
                 ? foliotally::pdf::CountWithQpdf(0, static_cast<uint64_t>(st.st_size))
                 : CountResult{Verdict::kNotRegular, 0, nullptr};
  }
  return WriteAll(1, foliotally::pdf::FormatHelperAnswer(result)) ? 0 : 1;
}
