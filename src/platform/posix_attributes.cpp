#include "platform/posix_attributes.h"

#include <charconv>

namespace foliotally {
namespace {

// statfs f_type values (linux/magic.h and the file systems' own headers).
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kNtfsMagic = 0x5346544e;
constexpr long kCifsMagic = static_cast<long>(0xFF534D42u);
constexpr long kSmb2Magic = static_cast<long>(0xFE534D42u);
constexpr long kSmbMagic = 0x517B;
constexpr long kProcMagic = 0x9fa0;
constexpr long kSysfsMagic = 0x62656572;
constexpr long kFuseMagic = 0x65735546;
constexpr long kNfsMagic = 0x6969;

bool IsSmbMagic(long magic) {
  // f_type is a signed long; the SMB magics have their top bit set in 32 bits.
  const auto low = static_cast<uint32_t>(magic);
  return low == static_cast<uint32_t>(kCifsMagic) || low == static_cast<uint32_t>(kSmb2Magic) ||
         magic == kSmbMagic;
}

}  // namespace

FileStatus StatusFromStat(const struct stat& st, bool dangling_link) {
  FileStatus status;
  status.size = st.st_size;
  status.modified_seconds = st.st_mtim.tv_sec;
  status.device = st.st_dev;
  status.inode = st.st_ino;
  if (dangling_link) {
    status.kind = EntryKind::kOther;
    status.attributes = kAttrSystem;
    return status;
  }
  if (S_ISDIR(st.st_mode)) {
    status.kind = EntryKind::kFolder;
    status.attributes = kAttrDirectory;
  } else if (S_ISREG(st.st_mode)) {
    status.kind = EntryKind::kRegularFile;
    status.attributes = kAttrArchive;
  } else {
    status.kind = EntryKind::kOther;
    status.attributes = kAttrSystem;
  }
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) status.attributes |= kAttrReadOnly;
  return status;
}

std::optional<uint32_t> ParseSambaDosAttributes(std::string_view value) {
  const auto nul = value.find('\0');
  if (nul != std::string_view::npos) value = value.substr(0, nul);
  if (value.size() < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) return {};
  uint32_t bits = 0;
  const char* first = value.data() + 2;
  const char* last = value.data() + value.size();
  auto [end, ec] = std::from_chars(first, last, bits, 16);
  if (ec != std::errc() || end != last) return {};
  return bits;
}

DosAttributeSource DosAttributeSourceOf(long magic) {
  if (magic == kMsdosMagic) return DosAttributeSource::kFatIoctl;
  if (IsSmbMagic(magic)) return DosAttributeSource::kCifsXattr;
  if (magic == kNtfsMagic) return DosAttributeSource::kNtfsXattr;
  // A FUSE file system answers extended-attribute queries in user space, possibly over the
  // network (sshfs), and NFS has none: asking would only cost time.
  if (magic == kProcMagic || magic == kSysfsMagic || magic == kFuseMagic || magic == kNfsMagic ||
      magic == kExfatMagic)
    return DosAttributeSource::kNone;
  return DosAttributeSource::kSambaXattr;
}

CaseRules CaseRulesOfMagic(long magic) {
  if (magic == kMsdosMagic || magic == kExfatMagic || magic == kNtfsMagic || IsSmbMagic(magic))
    return CaseRules{.preserves_case = true, .case_sensitive = false};
  return CaseRules{.preserves_case = true, .case_sensitive = true};
}

}  // namespace foliotally
