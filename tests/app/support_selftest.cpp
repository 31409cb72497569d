#include <gtest/gtest.h>

#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::test {

TEST(TestSupport, WritesPdfWithPagesAndRemovesFolder) {
  std::filesystem::path kept;
  {
    TempDir dir;
    kept = dir.Write("sub/a.pdf", MakePdf(3));
    EXPECT_TRUE(std::filesystem::exists(kept));
    std::string bytes = ReadFileBytes(kept);
    EXPECT_EQ(bytes.rfind("%PDF-1.4", 0), 0u);
    EXPECT_NE(bytes.find("/Count 3"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(kept));
}

}  // namespace foliotally::test
