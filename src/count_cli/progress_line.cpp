#include "count_cli/progress_line.h"

#include <cstdio>

namespace foliotally::count_cli {
namespace {

// Carriage return, then "erase to end of line": the cursor stays on the same row.
constexpr std::string_view kWipe = "\r\x1b[K";

}  // namespace

ProgressLine::ProgressLine(bool enabled, Write write, Clock clock,
                           std::chrono::milliseconds interval)
    : enabled_(enabled), write_(std::move(write)), clock_(std::move(clock)), interval_(interval) {
  if (enabled_) start_ = last_drawn_ = clock_();
}

void ProgressLine::Update(int64_t files, int64_t pages) {
  if (!enabled_) return;
  const auto now = clock_();
  if (now - last_drawn_ < interval_) return;
  last_drawn_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  write_(std::string(kWipe) + Text(files, pages, seconds));
  shown_ = true;
}

void ProgressLine::Clear() {
  if (!shown_) return;
  write_(kWipe);
  shown_ = false;
}

std::string ProgressLine::Text(int64_t files, int64_t pages, double seconds) {
  const double rate = seconds > 0 ? static_cast<double>(files) / seconds : 0.0;
  char text[96];
  std::snprintf(text, sizeof text, "%lld files, %lld pages, %.0f files/s",
                static_cast<long long>(files), static_cast<long long>(pages), rate);
  return text;
}

}  // namespace foliotally::count_cli
