// The live progress line on a terminal: files, pages and files per second, redrawn in
// place at most a few times a second and wiped before anything else is printed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace foliotally::count_cli {

class ProgressLine {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  using Write = std::function<void(std::string_view)>;

  // A disabled line writes nothing at all (standard error is not a terminal).
  ProgressLine(bool enabled, Write write, Clock clock,
               std::chrono::milliseconds interval = std::chrono::milliseconds(100));

  // New totals; the line is redrawn when the interval has passed since the last drawing.
  void Update(int64_t files, int64_t pages);
  // Wipes the line if it is shown, so that a message can be printed on a clean line.
  void Clear();

  // The text of the line for these figures.
  static std::string Text(int64_t files, int64_t pages, double seconds);

 private:
  bool enabled_;
  Write write_;
  Clock clock_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_drawn_;
  bool shown_ = false;
};

}  // namespace foliotally::count_cli
