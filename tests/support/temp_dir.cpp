#include "support/temp_dir.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace foliotally::test {

TempDir::TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "foliotally-test-XXXXXX").string();
  if (mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back any permissions a test took away so the tree can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Make(const std::string& relative) const {
  auto full = path_ / relative;
  std::filesystem::create_directories(full.parent_path());
  return full;
}

std::filesystem::path TempDir::Write(const std::string& relative,
                                     const std::string& content) const {
  auto full = Make(relative);
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + full.string());
  return full;
}

std::filesystem::path TempDir::MakeFolder(const std::string& relative) const {
  auto full = path_ / relative;
  std::filesystem::create_directories(full);
  return full;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace foliotally::test
