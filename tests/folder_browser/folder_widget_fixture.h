// Shared set-up of the folder-browser widget tests: a real temporary tree seen through the
// test file system, with the process's current folder put back after each test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/fake_file_system.h"
#include "support/temp_dir.h"

namespace foliotally::test {

class FolderWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_cwd_ = std::filesystem::current_path();
    root_ = std::filesystem::canonical(dir_.path()).string();
    // Every list starts at the current folder; start them inside the tree.
    std::filesystem::current_path(root_);
  }
  void TearDown() override { std::filesystem::current_path(saved_cwd_); }

  std::string At(const std::string& relative) const { return root_ + "/" + relative; }
  void Touch(const std::string& relative) const { dir_.Write(relative, "x"); }

  template <typename List>
  static std::vector<std::string> ItemsOf(List& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list.Items(i));
    return items;
  }

  TempDir dir_;
  std::string root_;
  FakeFileSystem fs_;
  std::filesystem::path saved_cwd_;
};

}  // namespace foliotally::test
