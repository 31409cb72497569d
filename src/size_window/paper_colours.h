// The colour columns of "Pages by Size": colour and black-and-white pages per paper and
// orientation over the files of a count, gathered on a thread of their own only when the
// user asks for them (reading, and drawing pages with pdftoppm, takes far longer than
// counting), with progress and Stop. No Qt.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "size_window/paper_rows.h"

namespace foliotally {

class PaperColours {
 public:
  // One file's page count (negative: not countable), and for each page its paper ("A4
  // portrait"; empty where the size is unknown) and colour letter (C, G or ?). Called on
  // the gathering thread.
  using Read = std::function<int32_t(const std::string& path, std::vector<std::string>& papers,
                                     std::string& letters)>;
  // The library's count of the file, and the colours read and drawn with `renderer`.
  static int32_t ReadFile(const std::string& path, const std::string& renderer,
                          std::vector<std::string>& papers, std::string& letters);

  // Starts gathering at once.
  PaperColours(std::vector<std::string> files, Read read);
  // Stops and waits for the file being read (its renderer is killed by its own deadline).
  ~PaperColours();
  PaperColours(const PaperColours&) = delete;
  PaperColours& operator=(const PaperColours&) = delete;

  void Stop() { stop_ = true; }
  bool Done() const { return done_; }
  size_t FilesRead() const;
  size_t Files() const { return files_.size(); }

  // Adds the columns "Colour" and "B&W" (and "Unknown colour" when some page's colour is
  // unknown) to `table`, whose rows begin with paper and orientation.
  void AddColumns(SizeTable& table) const;

 private:
  void Gather();

  const std::vector<std::string> files_;
  const Read read_;
  mutable std::mutex mutex_;
  // Colour, black-and-white and unknown pages per paper ("A4 portrait"), under mutex_.
  std::map<std::string, std::array<int64_t, 3>> pages_;
  size_t read_files_ = 0;  // under mutex_
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::thread worker_;  // last: started once everything it touches exists
};

}  // namespace foliotally
