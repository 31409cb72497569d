#include "main_window/count_status_text.h"

namespace foliotally {

std::string CountOf(int64_t number, const std::string& noun) {
  return std::to_string(number) + " " + noun + (number == 1 ? "" : "s");
}

std::string CountEndedText(int32_t files, int32_t invalid, bool stopped) {
  std::string text = (stopped ? "Stopped after " : "Counted ") + CountOf(files, "file");
  if (invalid == 1) return text + "; 1 was not a valid PDF file.";
  if (invalid > 1) return text + "; " + std::to_string(invalid) + " were not valid PDF files.";
  return text + ".";
}

}  // namespace foliotally
