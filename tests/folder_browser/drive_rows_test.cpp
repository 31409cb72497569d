#include "folder_browser/drive_rows.h"

#include <gtest/gtest.h>

#include <QImage>

#include "folder_browser/drive_glyphs.h"
#include "folder_browser/name_collation.h"

namespace foliotally {
namespace {

Volume MakeVolume(const std::string& root, VolumeKind kind, const std::string& label,
                  const std::string& source) {
  Volume volume;
  volume.root = root;
  volume.kind = kind;
  volume.label = label;
  volume.source = source;
  return volume;
}

std::string Text(const Volume& volume, TTextCase text_case) {
  return DriveRowText(volume,
                      [text_case](const std::string& t) { return InTextCase(t, text_case); });
}

TEST(DriveRowText, RootThenLabelOrSourceInTheChosenCase) {
  const auto upper = TTextCase::tcUpperCase;
  const auto lower = TTextCase::tcLowerCase;
  const Volume system = MakeVolume("/", VolumeKind::kFixed, "System", "/dev/sda1");
  EXPECT_EQ(Text(system, upper), "/ [SYSTEM]");
  EXPECT_EQ(Text(system, lower), "/ [system]");
  // A labelled stick shows its label; an empty reader its root alone.
  EXPECT_EQ(Text(MakeVolume("/media/Usb", VolumeKind::kRemovable, "Stick", "/dev/sdb1"), upper),
            "/media/Usb [STICK]");
  EXPECT_EQ(Text(MakeVolume("/media/Usb", VolumeKind::kRemovable, "", "/dev/sdb1"), upper),
            "/media/Usb");
  // Optical and RAM volumes without a label show empty brackets.
  EXPECT_EQ(Text(MakeVolume("/media/cdrom", VolumeKind::kOptical, "", "/dev/sr0"), upper),
            "/media/cdrom []");
  EXPECT_EQ(Text(MakeVolume("/scratch", VolumeKind::kRam, "", "tmpfs"), lower), "/scratch []");
  // A network volume shows its source; without one, its label.
  EXPECT_EQ(Text(MakeVolume("/mnt/share", VolumeKind::kNetwork, "x", "//Srv/Share"), upper),
            "/mnt/share //SRV/SHARE");
  EXPECT_EQ(Text(MakeVolume("/mnt/nfs", VolumeKind::kNetwork, "Data", ""), lower),
            "/mnt/nfs [data]");
  // Labels beyond ASCII are cased by the locale's rules.
  EXPECT_EQ(Text(MakeVolume("/d", VolumeKind::kFixed, "Daten-Ä", "/dev/sdc1"), lower),
            "/d [daten-ä]");
}

TEST(DriveRowsOf, SortedByRootAndRootlessVolumesLeftOut) {
  std::vector<Volume> volumes = {MakeVolume("/media/usb", VolumeKind::kRemovable, "", ""),
                                 MakeVolume("/", VolumeKind::kFixed, "", ""),
                                 MakeVolume("", VolumeKind::kFixed, "ghost", ""),
                                 MakeVolume("/home", VolumeKind::kFixed, "", ""),
                                 MakeVolume("/media/usb-2", VolumeKind::kRemovable, "", "")};
  std::vector<std::string> roots;
  for (const DriveRow& row : DriveRowsOf(volumes, [](const std::string& t) { return t; }))
    roots.push_back(row.root);
  EXPECT_EQ(roots, (std::vector<std::string>{"/", "/home", "/media/usb", "/media/usb-2"}));
  EXPECT_TRUE(DriveRowsOf({}, [](const std::string& t) { return t; }).empty());
}

TEST(DriveGlyphs, FiveDistinctGlyphsOfTheSameSize) {
  const VolumeKind kinds[] = {VolumeKind::kRemovable, VolumeKind::kFixed, VolumeKind::kNetwork,
                              VolumeKind::kOptical, VolumeKind::kRam};
  DriveGlyphSet glyphs;
  for (VolumeKind a : kinds) {
    const QImage image = glyphs.Pixmap(a).toImage();
    EXPECT_EQ(image.size(), QSize(16, 11));
    // The corners are see-through, so the row's background shows around the picture.
    EXPECT_EQ(qAlpha(image.pixel(0, 10)), 0) << static_cast<int>(a);
    for (VolumeKind b : kinds) {
      if (a != b) {
        EXPECT_NE(image, glyphs.Pixmap(b).toImage());
      }
    }
  }
}

}  // namespace
}  // namespace foliotally
