#include "platform/posix_attributes.h"

#include <gtest/gtest.h>

#include <string>

namespace foliotally {
namespace {

struct stat StatOf(mode_t mode) {
  struct stat st {};
  st.st_mode = mode;
  st.st_size = 1234;
  st.st_mtim.tv_sec = 1700000000;
  st.st_dev = 7;
  st.st_ino = 99;
  return st;
}

TEST(PosixAttributes, KindsAndTheirBits) {
  FileStatus file = StatusFromStat(StatOf(S_IFREG | 0644));
  EXPECT_EQ(file.kind, EntryKind::kRegularFile);
  EXPECT_EQ(file.attributes, kAttrArchive);
  EXPECT_EQ(file.size, 1234);
  EXPECT_EQ(file.modified_seconds, 1700000000);
  EXPECT_EQ(file.device, 7u);
  EXPECT_EQ(file.inode, 99u);

  const FileStatus folder = StatusFromStat(StatOf(S_IFDIR | 0755));
  EXPECT_EQ(folder.kind, EntryKind::kFolder);
  EXPECT_EQ(folder.attributes, kAttrDirectory);

  for (mode_t type : {S_IFIFO, S_IFSOCK, S_IFCHR, S_IFBLK}) {
    const FileStatus other = StatusFromStat(StatOf(type | 0644));
    EXPECT_EQ(other.kind, EntryKind::kOther);
    EXPECT_EQ(other.attributes, kAttrSystem);
  }
  const FileStatus dangling = StatusFromStat(StatOf(S_IFLNK | 0777), /*dangling_link=*/true);
  EXPECT_EQ(dangling.kind, EntryKind::kOther);
  EXPECT_EQ(dangling.attributes, kAttrSystem);
}

TEST(PosixAttributes, ReadOnlyOnlyWhenNobodyMayWrite) {
  EXPECT_EQ(StatusFromStat(StatOf(S_IFREG | 0444)).attributes, kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(StatusFromStat(StatOf(S_IFREG | 0464)).attributes, kAttrArchive);
  EXPECT_EQ(StatusFromStat(StatOf(S_IFREG | 0446)).attributes, kAttrArchive);
  EXPECT_EQ(StatusFromStat(StatOf(S_IFDIR | 0555)).attributes, kAttrDirectory | kAttrReadOnly);
}

TEST(PosixAttributes, SambaDosAttributesInTextAndBinaryForms) {
  EXPECT_EQ(ParseSambaDosAttributes("0x22"), 0x22u);
  EXPECT_EQ(ParseSambaDosAttributes("0X2"), 0x2u);
  // Later versions: the text, its NUL, then a binary record.
  EXPECT_EQ(ParseSambaDosAttributes(std::string("0x12\0\x05\x00\xff\xff", 9)), 0x12u);
  // Version 3 records without valid attributes carry an empty text.
  EXPECT_EQ(ParseSambaDosAttributes(std::string("\0\x03\x00", 3)), std::nullopt);
  EXPECT_EQ(ParseSambaDosAttributes(""), std::nullopt);
  EXPECT_EQ(ParseSambaDosAttributes("0x"), std::nullopt);
  EXPECT_EQ(ParseSambaDosAttributes("22"), std::nullopt);
  EXPECT_EQ(ParseSambaDosAttributes("0x2g"), std::nullopt);
  EXPECT_EQ(ParseSambaDosAttributes("0x1234567890"), std::nullopt);
}

TEST(PosixAttributes, CaseRulesByFileSystem) {
  const CaseRules ext4 = CaseRulesOfMagic(0xEF53);
  EXPECT_TRUE(ext4.case_sensitive);
  EXPECT_TRUE(ext4.preserves_case);
  for (long magic : {0x4d44L, 0x2011BAB0L, 0x5346544eL, static_cast<long>(0xFF534D42u),
                     static_cast<long>(0xFE534D42u), 0x517BL}) {
    const CaseRules rules = CaseRulesOfMagic(magic);
    EXPECT_FALSE(rules.case_sensitive) << std::hex << magic;
    EXPECT_TRUE(rules.preserves_case) << std::hex << magic;
  }
  // f_type is a signed long and may come sign-extended.
  EXPECT_FALSE(
      CaseRulesOfMagic(static_cast<long>(static_cast<int32_t>(0xFF534D42u))).case_sensitive);
}

TEST(PosixAttributes, WhereDosAttributesAreKept) {
  EXPECT_EQ(DosAttributeSourceOf(0xEF53), DosAttributeSource::kSambaXattr);
  EXPECT_EQ(DosAttributeSourceOf(0x4d44), DosAttributeSource::kFatIoctl);
  EXPECT_EQ(DosAttributeSourceOf(static_cast<long>(0xFF534D42u)), DosAttributeSource::kCifsXattr);
  EXPECT_EQ(DosAttributeSourceOf(0x5346544e), DosAttributeSource::kNtfsXattr);
  EXPECT_EQ(DosAttributeSourceOf(0x65735546), DosAttributeSource::kNone);  // FUSE, e.g. sshfs
  EXPECT_EQ(DosAttributeSourceOf(0x6969), DosAttributeSource::kNone);      // NFS
}

}  // namespace
}  // namespace foliotally
