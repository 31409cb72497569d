#include "platform/mount_table.h"

#include <gtest/gtest.h>

#include <set>

namespace foliotally {
namespace {

const char kMounts[] =
    "overlay / overlay rw,relatime 0 0\n"
    "proc /proc proc rw 0 0\n"
    "sysfs /sys sysfs rw 0 0\n"
    "tmpfs /dev tmpfs rw 0 0\n"
    "devpts /dev/pts devpts rw 0 0\n"
    "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
    "tmpfs /run tmpfs rw 0 0\n"
    "tmpfs /run/lock tmpfs rw 0 0\n"
    "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n"
    "portal /run/user/1000/doc fuse.portal rw 0 0\n"
    "/dev/loop3 /snap/core/123 squashfs ro 0 0\n"
    "tmpfs /tmp tmpfs rw 0 0\n"
    "/dev/sda2 /home ext4 rw 0 0\n"
    "/dev/sdb1 /media/u/USB\\040STICK vfat rw 0 0\n"
    "/dev/sr0 /media/u/CDROM iso9660 ro 0 0\n"
    "srv:/export /mnt/nfs nfs4 rw 0 0\n"
    "//srv/share /mnt/smb cifs rw 0 0\n"
    "u@host:/ /mnt/ssh fuse.sshfs rw 0 0\n"
    "/dev/sdc1 /run/media/u/Card exfat rw 0 0\n"
    "short line\n"
    "\n";

TEST(MountTable, ParsesFieldsAndDecodesEscapes) {
  const auto entries = ParseMountTable("a\\040b /x\\011y\\134z\\012 ext4 rw 0 0\nbad\n/ok /p t\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].source, "a b");
  EXPECT_EQ(entries[0].mount_point, "/x\ty\\z\n");
  EXPECT_EQ(entries[0].type, "ext4");
  EXPECT_EQ(entries[1].mount_point, "/p");
  // A backslash without three octal digits after it stays as written.
  EXPECT_EQ(ParseMountTable("s /a\\04 t\n")[0].mount_point, "/a\\04");
  EXPECT_EQ(ParseMountTable("s /a\\ t\n")[0].mount_point, "/a\\");
}

TEST(MountTable, PicksStorageAndNamesItsKind) {
  std::set<std::string> asked;
  DeviceFacts facts;
  facts.resolve_device = [&](const std::string& source) { return source; };
  facts.is_removable = [&](const std::string& device) {
    asked.insert(device);
    return device == "/dev/sdb1" || device == "/dev/sdc1";
  };
  facts.labels = {{"/dev/sdb1", "USB STICK"}, {"/dev/sda2", "home"}};

  const auto volumes = VolumesOf(ParseMountTable(kMounts), facts);
  std::vector<std::string> roots;
  for (const Volume& v : volumes) roots.push_back(v.root);
  EXPECT_EQ(roots,
            (std::vector<std::string>{"/", "/tmp", "/home", "/media/u/USB STICK", "/media/u/CDROM",
                                      "/mnt/nfs", "/mnt/smb", "/mnt/ssh", "/run/media/u/Card"}));
  const auto kind_of = [&](const std::string& root) {
    for (const Volume& v : volumes)
      if (v.root == root) return v.kind;
    ADD_FAILURE() << root;
    return VolumeKind::kFixed;
  };
  EXPECT_EQ(kind_of("/"), VolumeKind::kFixed);
  EXPECT_EQ(kind_of("/tmp"), VolumeKind::kRam);
  EXPECT_EQ(kind_of("/home"), VolumeKind::kFixed);
  EXPECT_EQ(kind_of("/media/u/USB STICK"), VolumeKind::kRemovable);
  EXPECT_EQ(kind_of("/media/u/CDROM"), VolumeKind::kOptical);
  EXPECT_EQ(kind_of("/mnt/nfs"), VolumeKind::kNetwork);
  EXPECT_EQ(kind_of("/mnt/smb"), VolumeKind::kNetwork);
  EXPECT_EQ(kind_of("/mnt/ssh"), VolumeKind::kNetwork);
  EXPECT_EQ(kind_of("/run/media/u/Card"), VolumeKind::kRemovable);
  EXPECT_EQ(volumes[3].label, "USB STICK");
  EXPECT_EQ(volumes[2].label, "home");
  EXPECT_EQ(volumes[5].source, "srv:/export");
  EXPECT_EQ(volumes[5].label, "");
  // Only block devices were looked up; network sources were never touched.
  EXPECT_EQ(asked, (std::set<std::string>{"/dev/sda2", "/dev/sdb1", "/dev/sr0", "/dev/sdc1"}));
}

TEST(MountTable, ALaterMountOverTheSamePointHidesTheEarlierOne) {
  const auto volumes = VolumesOf(
      ParseMountTable("/dev/sda1 /data ext4 rw 0 0\n/dev/sdb1 /data xfs rw 0 0\n"), DeviceFacts{});
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_EQ(volumes[0].type, "xfs");
}

TEST(MountTable, DevicesAreResolvedBeforeTheirFactsAreLookedUp) {
  DeviceFacts facts;
  facts.resolve_device = [](const std::string& source) {
    return source == "/dev/disk/by-uuid/1234" ? std::string("/dev/sdb1") : source;
  };
  facts.is_removable = [](const std::string& device) { return device == "/dev/sdb1"; };
  facts.labels = {{"/dev/sdb1", "STICK"}};
  const auto volumes = VolumesOf(ParseMountTable("/dev/disk/by-uuid/1234 /m vfat rw 0 0\n"), facts);
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_EQ(volumes[0].kind, VolumeKind::kRemovable);
  EXPECT_EQ(volumes[0].label, "STICK");
  EXPECT_EQ(volumes[0].source, "/dev/disk/by-uuid/1234");
}

TEST(MountTable, TheVolumeOfAPathIsTheOneWithTheLongestRoot) {
  std::vector<Volume> volumes(3);
  volumes[0].root = "/";
  volumes[1].root = "/media/u/USB";
  volumes[2].root = "/home";
  EXPECT_EQ(VolumeContaining(volumes, "/media/u/USB/docs/a.pdf"), &volumes[1]);
  EXPECT_EQ(VolumeContaining(volumes, "/media/u/USB"), &volumes[1]);
  EXPECT_EQ(VolumeContaining(volumes, "/media/u/USB2/a.pdf"), &volumes[0]);
  EXPECT_EQ(VolumeContaining(volumes, "/homework"), &volumes[0]);
  EXPECT_EQ(VolumeContaining(volumes, "/"), &volumes[0]);
  EXPECT_EQ(VolumeContaining(volumes, "relative/a.pdf"), nullptr);
  EXPECT_EQ(VolumeContaining({}, "/a"), nullptr);
}

}  // namespace
}  // namespace foliotally
