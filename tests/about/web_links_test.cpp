// Where the guide is found, the two addresses made from it, the status bar text, and which
// address each link opens.
#include "about/web_links.h"

#include <gtest/gtest.h>

#include <QDir>
#include <vector>

#include "support/temp_dir.h"

namespace foliotally {
namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

TEST(WebLinks, GuideInstalledBesideTheProgramComesFirst) {
  test::TempDir dir;
  const auto installed = dir.Write("prefix/share/doc/foliotally/index.html", "<html>");
  const auto tree = dir.Write("src/doc/guide/index.html", "<html>");
  dir.MakeFolder("prefix/bin");
  EXPECT_EQ(LocateGuide(Q(dir.path() / "prefix/bin"), Q(tree)), Q(installed));
}

TEST(WebLinks, BuildTreeUsesTheSourceCopyAndNoGuideGivesTheInstalledPlace) {
  test::TempDir dir;
  const auto tree = dir.Write("src/doc/guide/index.html", "<html>");
  dir.MakeFolder("build/src/app");
  EXPECT_EQ(LocateGuide(Q(dir.path() / "build/src/app"), Q(tree)), Q(tree));

  const QString nowhere = LocateGuide(Q(dir.path() / "build/src/app"), Q(dir.path() / "gone.html"));
  EXPECT_EQ(nowhere, Q(dir.path() / "build/src/share/doc/foliotally/index.html"));
  EXPECT_EQ(LocateGuide(Q(dir.path() / "bin"), ""),
            Q(dir.path() / "share/doc/foliotally/index.html"));
  // A folder named like the guide is not the guide.
  dir.MakeFolder("p/share/doc/foliotally/index.html");
  dir.MakeFolder("p/bin");
  EXPECT_EQ(LocateGuide(Q(dir.path() / "p/bin"), Q(tree)), Q(tree));
}

TEST(WebLinks, AddressesAreTheGuideAndItsCountingSection) {
  const WebAddresses addresses = WebAddresses::ForGuide("/usr/share/doc/foliotally/index.html");
  EXPECT_EQ(addresses.home, QUrl("file:///usr/share/doc/foliotally/index.html"));
  EXPECT_EQ(addresses.page, QUrl("file:///usr/share/doc/foliotally/index.html#counting"));
  EXPECT_EQ(InitialStatusText(addresses),
            "Visit me at file:///usr/share/doc/foliotally/index.html#counting");

  // A path with a blank reads as the user wrote it, while the address stays valid.
  const WebAddresses spaced = WebAddresses::ForGuide("/home/a b/guide.html");
  EXPECT_TRUE(spaced.page.isValid());
  EXPECT_EQ(spaced.page.toLocalFile(), "/home/a b/guide.html");
  EXPECT_EQ(AddressText(spaced.home), "file:///home/a b/guide.html");
}

TEST(WebLinks, TheProgramsAddressesPointAtAGuideThatExists) {
  const WebAddresses addresses = ProgramWebAddresses();
  ASSERT_TRUE(addresses.home.isLocalFile());
  EXPECT_TRUE(QFileInfo(addresses.home.toLocalFile()).isFile())
      << addresses.home.toString().toStdString();
  EXPECT_EQ(addresses.page.fragment(), "counting");
  EXPECT_TRUE(InitialStatusText(addresses).startsWith("Visit me at file:///"));
  // The page address lands on a section the guide really has.
  const std::string guide = test::ReadFileBytes(addresses.home.toLocalFile().toStdString());
  EXPECT_NE(guide.find("id=\"" + addresses.page.fragment().toStdString() + "\""),
            std::string::npos);
}

TEST(WebLinks, HomeAndPageOpenTheirOwnAddress) {
  std::vector<QUrl> opened;
  const WebLinks links(WebAddresses::ForGuide("/g/index.html"), [&opened](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  links.OpenHome();
  links.OpenPage();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], QUrl("file:///g/index.html"));
  EXPECT_EQ(opened[1], QUrl("file:///g/index.html#counting"));

  const WebLinks none(WebAddresses::ForGuide("/g/index.html"), nullptr);
  none.OpenHome();  // no opener: nothing happens, nothing thrown
  none.OpenPage();
}

}  // namespace
}  // namespace foliotally
