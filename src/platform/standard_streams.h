// The process's standard descriptors, as a command-line program needs them.
#pragma once

namespace foliotally {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that was closed when the program
// was started, so that no file the program opens later takes its place (a message meant
// for standard error would land in it). Call first thing, before any other open.
void ReopenClosedStandardDescriptors();

// Makes a file size limit show as a write error (EFBIG) instead of ending the program with
// its temporary file left behind.
void IgnoreFileSizeLimitSignal();

// Makes a write to a pipe whose reader has gone fail with EPIPE instead of ending the
// program (the helpers it starts get the default back).
void IgnoreBrokenPipeSignal();

bool IsTerminal(int fd);

}  // namespace foliotally
