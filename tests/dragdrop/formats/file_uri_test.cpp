// File addresses to local names: the host part, percent escapes to raw bytes, NUL refused;
// and names that are not valid UTF-8 carried through UTF-16 without losing a byte.
#include "dragdrop/formats/file_uri.h"

#include <gtest/gtest.h>

#include "dragdrop/formats/file_name_text.h"

namespace foliotally::dragdrop {
namespace {

std::string PathOf(std::string_view uri) {
  return LocalPathOfFileUri(uri, "printshop").value_or("<refused>");
}

TEST(FileUri, EmptyHostLocalhostAndThisMachineAreLocalAnyOtherHostIsRefused) {
  EXPECT_EQ(PathOf("file:///srv/Scans"), "/srv/Scans");
  EXPECT_EQ(PathOf("file://localhost/srv/Scans"), "/srv/Scans");
  EXPECT_EQ(PathOf("file://LocalHost/srv/Scans"), "/srv/Scans");
  EXPECT_EQ(PathOf("file://printshop/srv/Scans"), "/srv/Scans");
  EXPECT_EQ(PathOf("file://PrintShop/srv/Scans"), "/srv/Scans");
  // Another machine's folder is never taken for a local one of a similar name.
  EXPECT_EQ(PathOf("file://srv/Scans"), "<refused>");
  EXPECT_EQ(PathOf("file://fileserver/srv/Scans"), "<refused>");
  EXPECT_EQ(PathOf("file://printshop"), "<refused>");
  // Without a known name of its own the machine still takes none and localhost.
  EXPECT_EQ(LocalPathOfFileUri("file://printshop/a", "").value_or("<refused>"), "<refused>");
  EXPECT_EQ(LocalPathOfFileUri("file://localhost/a", "").value_or("<refused>"), "/a");
  EXPECT_EQ(PathOf("file:/srv/Scans"), "/srv/Scans");
  EXPECT_EQ(PathOf("FILE:///srv"), "/srv");
  EXPECT_EQ(PathOf("http://localhost/srv"), "<refused>");
  EXPECT_EQ(PathOf("file:relative/name"), "<refused>");
  EXPECT_EQ(PathOf("file:"), "<refused>");
}

TEST(FileUri, EscapesAreDecodedToTheFileSystemsBytesAndANulRefusesTheName) {
  EXPECT_EQ(PathOf("file:///tmp/a%20b%25c%23d%3Fe"), "/tmp/a b%c#d?e");
  EXPECT_EQ(PathOf("file:///tmp/caf%C3%A9"), "/tmp/caf\xC3\xA9");
  // Latin-1 bytes, not valid UTF-8: kept as they are, never turned into U+FFFD.
  EXPECT_EQ(PathOf("file:///tmp/caf%E9"), "/tmp/caf\xE9");
  EXPECT_EQ(PathOf("file:///tmp/100%"), "/tmp/100%");
  EXPECT_EQ(PathOf("file:///tmp/a%zz"), "/tmp/a%zz");
  EXPECT_EQ(PathOf("file:///tmp/x?query#part"), "/tmp/x");
  // A NUL would end the name early and enter the folder before it.
  EXPECT_EQ(PathOf("file:///tmp%00/secret"), "<refused>");
  EXPECT_EQ(PathOf(std::string_view("file:///tmp\0/secret", 19)), "<refused>");
}

TEST(FileUri, AddressOfAPathGivesBackEveryByteOfIt) {
  for (const std::string path :
       {"/tmp/a b", "/tmp/100%", "/tmp/a#b?c", "/tmp/caf\xE9", "/tmp/\xE4\xB8\xAD", "/tmp/l\ni"}) {
    const std::string uri = FileUriOf(path);
    EXPECT_EQ(uri.find_first_of(" #?\n\x80\xE9"), std::string::npos) << uri;
    EXPECT_EQ(PathOf(uri), path) << uri;
  }
}

TEST(FileUri, ListLinesSkipCommentsAndBlankLinesAndStopAtTheLimit) {
  const std::vector<std::string_view> lines =
      UriListLines("# comment\r\nfile:///a\r\n\r\nfile:///b\nfile:///c");
  EXPECT_EQ(lines, (std::vector<std::string_view>{"file:///a", "file:///b", "file:///c"}));
  EXPECT_EQ(UriListLines("file:///a\nfile:///b\n", 1), std::vector<std::string_view>{"file:///a"});
  EXPECT_TRUE(UriListLines("").empty());
}

TEST(FileNameText, EveryByteSurvivesTheTripThroughUtf16) {
  const std::string names[] = {"/tmp/plain",
                               "/tmp/caf\xC3\xA9",
                               "/tmp/\xE4\xB8\xAD\xE6\x96\x87",
                               "/tmp/\xF0\x9F\x93\x84",
                               "/tmp/caf\xE9",           // Latin-1
                               "/tmp/\xC3",              // a cut sequence
                               "/tmp/\xC0\xAF",          // an overlong '/'
                               "/tmp/\xED\xA0\x80",      // an encoded surrogate
                               "/tmp/\xF4\x90\x80\x80",  // past U+10FFFF
                               "/tmp/\xFF\xFE\x80"};
  for (const std::string& name : names)
    EXPECT_EQ(Utf16ToFileName(FileNameToUtf16(name)), name) << name;
  EXPECT_EQ(FileNameToUtf16("/caf\xC3\xA9"), u"/caf\u00e9");
  EXPECT_EQ(FileNameToUtf16("/\xF0\x9F\x93\x84"), u"/\U0001F4C4");
  EXPECT_EQ(FileNameToUtf16("/caf\xE9"), u"/caf\xDCE9");
  // Surrogates no name can give (high ones unpaired) do not turn into bytes of a name.
  EXPECT_EQ(Utf16ToFileName(u"/a\xD800"), "/a?");
}

}  // namespace
}  // namespace foliotally::dragdrop
