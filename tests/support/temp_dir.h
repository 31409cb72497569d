// A temporary folder that is removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace foliotally::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Path of `relative` below the folder; parent folders are created.
  std::filesystem::path Make(const std::string& relative) const;
  // Writes `content` to `relative` (folders created) and returns the full path.
  std::filesystem::path Write(const std::string& relative, const std::string& content) const;
  std::filesystem::path MakeFolder(const std::string& relative) const;

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace foliotally::test
