#include "support/fake_file_system.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace foliotally::test {
namespace {

class FakeDirectoryStream final : public DirectoryStream {
 public:
  FakeDirectoryStream(const FakeFileSystem& fs, std::unique_ptr<DirectoryStream> inner,
                      std::string folder)
      : fs_(fs), inner_(std::move(inner)), folder_(std::move(folder)) {}

  bool Next(std::string& name, int& error) override {
    if (!inner_->Next(name, error)) return false;
    current_ = name;
    return true;
  }
  int StatCurrent(FileStatus& status) override {
    return fs_.Adjust(PathOfCurrent(), inner_->StatCurrent(status), status);
  }
  int KindOfCurrent(FileStatus& status) override {
    return fs_.Adjust(PathOfCurrent(), inner_->KindOfCurrent(status), status);
  }
  int KindOfCurrentLeavingHidden(FileStatus& status, bool& hidden_unread) override {
    const int error = KindOfCurrent(status);
    hidden_unread =
        fs_.shares_no_descriptors() && error == 0 && status.kind == EntryKind::kRegularFile;
    if (hidden_unread) status.attributes &= ~kAttrHidden;
    return error;
  }
  // Marks and failures never turn a file into a folder, so the listing's word stands.
  bool IsListedAsNonFolder() override { return inner_->IsListedAsNonFolder(); }
  std::shared_ptr<const FolderDescriptor> ShareDescriptor() override {
    return fs_.shares_no_descriptors() ? nullptr : inner_->ShareDescriptor();
  }

 private:
  std::string PathOfCurrent() const {
    return folder_ == "/" ? "/" + current_ : folder_ + "/" + current_;
  }

  const FakeFileSystem& fs_;
  std::unique_ptr<DirectoryStream> inner_;
  std::string folder_;
  std::string current_;
};

}  // namespace

std::string FakeFileSystem::Normalize(const std::string& path) {
  std::filesystem::path p(path);
  if (p.is_relative()) {
    std::string cwd;
    real_.CurrentDirectory(cwd);
    p = std::filesystem::path(cwd) / p;
  }
  std::string text = p.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

void FakeFileSystem::MarkHidden(const std::string& path) { hidden_.insert(Normalize(path)); }
void FakeFileSystem::MarkSystem(const std::string& path) { system_.insert(Normalize(path)); }

void FakeFileSystem::FailCall(FsCall call, const std::string& path, int error) {
  failures_[{call, Normalize(path)}] = error;
}

void FakeFileSystem::DenySearch(const std::string& folder) {
  search_denied_.insert(Normalize(folder));
}

bool FakeFileSystem::IsBehindDeniedSearch(const std::string& normalized) const {
  for (const std::string& folder : search_denied_)
    if (normalized.size() > folder.size() && normalized.starts_with(folder) &&
        normalized[folder.size()] == '/')
      return true;
  return false;
}

int FakeFileSystem::CallCount(FsCall call) const {
  auto it = calls_.find(call);
  return it == calls_.end() ? 0 : it->second;
}

std::optional<int> FakeFileSystem::FailureFor(FsCall call, const std::string& normalized) const {
  auto it = failures_.find({call, normalized});
  if (it == failures_.end()) return {};
  return it->second;
}

int FakeFileSystem::Adjust(const std::string& absolute_path, int error, FileStatus& status) const {
  if (auto failure = FailureFor(FsCall::kStat, absolute_path)) return *failure;
  if (IsBehindDeniedSearch(absolute_path)) return EACCES;
  if (error != 0) return error;
  if (hidden_.count(absolute_path)) status.attributes |= kAttrHidden;
  if (system_.count(absolute_path)) status.attributes |= kAttrSystem;
  return 0;
}

int FakeFileSystem::OpenDirectory(const std::string& folder,
                                  std::unique_ptr<DirectoryStream>& stream) {
  ++calls_[FsCall::kOpenDirectory];
  const std::string normalized = Normalize(folder);
  if (auto failure = FailureFor(FsCall::kOpenDirectory, normalized)) return *failure;
  if (IsBehindDeniedSearch(normalized)) return EACCES;
  std::unique_ptr<DirectoryStream> inner;
  if (const int error = real_.OpenDirectory(folder, inner); error != 0) return error;
  stream = std::make_unique<FakeDirectoryStream>(*this, std::move(inner), normalized);
  return 0;
}

int FakeFileSystem::Stat(const std::string& path, FileStatus& status) {
  ++calls_[FsCall::kStat];
  if (path.empty()) return ENOENT;
  const int error = real_.Stat(path, status);
  return Adjust(Normalize(path), error, status);
}

int FakeFileSystem::ChangeDirectory(const std::string& path) {
  ++calls_[FsCall::kChangeDirectory];
  if (!path.empty()) {
    const std::string normalized = Normalize(path);
    if (auto failure = FailureFor(FsCall::kChangeDirectory, normalized)) return *failure;
    if (search_denied_.count(normalized) || IsBehindDeniedSearch(normalized)) return EACCES;
  }
  return real_.ChangeDirectory(path);
}

int FakeFileSystem::CurrentDirectory(std::string& path) { return real_.CurrentDirectory(path); }

int FakeFileSystem::CaseRulesOf(const std::string& path, CaseRules& rules) {
  if (case_rules_) {
    rules = *case_rules_;
    return 0;
  }
  return real_.CaseRulesOf(path, rules);
}

void FaultyFileWriting::Fail(FsCall call, int error, size_t after_bytes) {
  failures_[call] = error;
  if (call == FsCall::kWrite) write_failure_after_ = after_bytes;
}

int FaultyFileWriting::ReadLink(const std::string& path, std::string& text) {
  return real_.ReadLink(path, text);
}
int FaultyFileWriting::StatTarget(const std::string& path, WriteTargetStatus& status) {
  return real_.StatTarget(path, status);
}
int FaultyFileWriting::CreateNew(const std::string& path, int& fd) {
  if (auto it = failures_.find(FsCall::kCreate); it != failures_.end()) return it->second;
  return real_.CreateNew(path, fd);
}
int FaultyFileWriting::OpenExisting(const std::string& path, int& fd) {
  return real_.OpenExisting(path, fd);
}
void FaultyFileWriting::CopyOwnership(int fd, const WriteTargetStatus& from) {
  real_.CopyOwnership(fd, from);
}
int FaultyFileWriting::WriteSome(int fd, std::string_view data, size_t& written) {
  size_t size = std::min(data.size(), chunk_);
  if (auto it = failures_.find(FsCall::kWrite); it != failures_.end()) {
    if (written_ >= write_failure_after_) {
      written = 0;
      return it->second;
    }
    size = std::min(size, write_failure_after_ - written_);
  }
  const int error = real_.WriteSome(fd, data.substr(0, size), written);
  written_ += written;
  return error;
}
int FaultyFileWriting::Sync(int fd) {
  if (auto it = failures_.find(FsCall::kSync); it != failures_.end()) return it->second;
  return real_.Sync(fd);
}
int FaultyFileWriting::Close(int fd) { return real_.Close(fd); }
int FaultyFileWriting::Rename(const std::string& from, const std::string& to) {
  if (auto it = failures_.find(FsCall::kRename); it != failures_.end()) return it->second;
  return real_.Rename(from, to);
}
int FaultyFileWriting::Remove(const std::string& path) { return real_.Remove(path); }
void FaultyFileWriting::SyncFolder(const std::string& folder) { real_.SyncFolder(folder); }

std::vector<Volume> FakeFileSystem::Volumes() { return volumes_ ? *volumes_ : real_.Volumes(); }

}  // namespace foliotally::test
