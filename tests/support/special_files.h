// Entries that are neither files nor folders, for tests that must never see them opened.
#pragma once

#include <filesystem>

namespace foliotally::test {

// A FIFO at `path`; opening it for reading would block without a writer.
void MakeFifo(const std::filesystem::path& path);
// A bound UNIX-domain socket at `path`; the socket itself is closed again.
void MakeSocket(const std::filesystem::path& path);
// Sets the last-write time of `path` (seconds since the epoch, UTC).
void SetModifiedTime(const std::filesystem::path& path, int64_t seconds);

}  // namespace foliotally::test
