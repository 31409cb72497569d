#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>

#include "folder_browser/dos_date_time.h"
#include "folder_browser/wildcard.h"

namespace foliotally {
namespace {

bool Match(const char* pattern, const char* name) { return WildcardPattern(pattern).Matches(name); }

TEST(Wildcard, StarAndQuestionMarkIgnoringCase) {
  EXPECT_TRUE(Match("*.pdf", "a.pdf"));
  EXPECT_TRUE(Match("*.pdf", "d.PDF"));
  EXPECT_TRUE(Match("*.PDF", "b.pdf"));
  EXPECT_FALSE(Match("*.pdf", "a.pdf.txt"));
  EXPECT_FALSE(Match("*.pdf", "pdf"));
  EXPECT_TRUE(Match("?.pdf", "x.pdf"));
  EXPECT_FALSE(Match("?.pdf", "xy.pdf"));
  EXPECT_TRUE(Match("*", ".cache"));
  EXPECT_TRUE(Match("*.pdf", ".pdf"));
}

TEST(Wildcard, DotStarAlsoMatchesNamesWithoutADot) {
  EXPECT_TRUE(Match("*.*", "readme"));
  EXPECT_TRUE(Match("*.*", "."));
  EXPECT_TRUE(Match("*.*", ".."));
  EXPECT_TRUE(Match("a*.*", "abc"));
  EXPECT_TRUE(Match("a*.*", "a.b.c"));
  EXPECT_FALSE(Match("a*.*", "bcd"));
  EXPECT_TRUE(Match("x.*", "x"));
}

TEST(Wildcard, BracketsAndBackslashesAreOrdinaryCharacters) {
  EXPECT_TRUE(Match("report[1].pdf", "report[1].pdf"));
  EXPECT_FALSE(Match("report[1].pdf", "report1.pdf"));
  EXPECT_TRUE(Match("*[*", "a[b"));
  EXPECT_TRUE(Match("a\\*", "a\\b"));
  EXPECT_FALSE(Match("a\\*", "a*"));
  EXPECT_TRUE(HasWildcards("*.pdf"));
  EXPECT_TRUE(HasWildcards("a?"));
  EXPECT_FALSE(HasWildcards("report[1].pdf"));
}

class DosDateTime : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC0", 1);
    tzset();
  }
  static int64_t Utc(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return timegm(&tm);
  }
};

TEST_F(DosDateTime, PacksDateHighAndTimeLow) {
  int32_t packed = 0;
  ASSERT_TRUE(PackDosDateTime(Utc(2024, 3, 15, 13, 45, 31), packed));
  const auto bits = static_cast<uint32_t>(packed);
  EXPECT_EQ(bits >> 16, (44u << 9) | (3u << 5) | 15u);
  EXPECT_EQ(bits & 0xFFFF, (13u << 11) | (45u << 5) | 15u);
}

TEST_F(DosDateTime, OnlyYears1980To2107Fit) {
  int32_t packed = 7;
  EXPECT_FALSE(PackDosDateTime(Utc(1979, 12, 31, 23, 59, 59), packed));
  EXPECT_EQ(packed, 7);
  EXPECT_TRUE(PackDosDateTime(Utc(1980, 1, 1, 0, 0, 0), packed));
  EXPECT_EQ(packed, (1 << 5 | 1) << 16);
  EXPECT_TRUE(PackDosDateTime(Utc(2107, 12, 31, 23, 59, 58), packed));
  EXPECT_LT(packed, 0);  // the top bit belongs to the year
  EXPECT_FALSE(PackDosDateTime(Utc(2108, 1, 1, 0, 0, 0), packed));
}

TEST_F(DosDateTime, UsesLocalTime) {
  setenv("TZ", "XXX-2", 1);  // two hours east of UTC
  tzset();
  int32_t packed = 0;
  ASSERT_TRUE(PackDosDateTime(Utc(1979, 12, 31, 23, 0, 0), packed));
  EXPECT_EQ(static_cast<uint32_t>(packed) >> 16, (0u << 9) | (1u << 5) | 1u);
  setenv("TZ", "XXX-14", 1);  // the zone furthest east: 1980 begins there first
  tzset();
  EXPECT_TRUE(PackDosDateTime(Utc(1979, 12, 31, 10, 0, 0), packed));
  EXPECT_FALSE(PackDosDateTime(Utc(1979, 12, 31, 9, 59, 59), packed));
}

}  // namespace
}  // namespace foliotally
