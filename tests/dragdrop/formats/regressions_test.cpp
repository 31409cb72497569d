// Replays the inputs the fuzz target found, one folder per payload family.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "payload_harness.h"

namespace foliotally::dragdrop {
namespace {

TEST(DragDropRegressions, FoundInputsAreHandled) {
  const std::filesystem::path root = DRAGDROP_REGRESSIONS_DIR;
  int replayed = 0;
  for (const auto& folder : std::filesystem::directory_iterator(root)) {
    PayloadFamily family;
    if (!folder.is_directory() || !PayloadFamilyNamed(folder.path().filename().string(), family)) {
      continue;
    }
    for (const auto& file : std::filesystem::directory_iterator(folder.path())) {
      std::ifstream in(file.path(), std::ios::binary);
      std::vector<uint8_t> input(std::istreambuf_iterator<char>(in), {});
      SCOPED_TRACE(file.path().string());
      ExercisePayload(family, input);
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace foliotally::dragdrop
