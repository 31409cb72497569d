#include "platform/io_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace foliotally {
namespace {

TEST(IoError, ErrnoValuesMapOntoTheMessageTableCodes) {
  EXPECT_EQ(IoErrorCodeOf(ENOENT), 2);
  EXPECT_EQ(IoErrorCodeOf(ENOENT, /*parent_missing=*/true), 3);
  EXPECT_EQ(IoErrorCodeOf(ENOTDIR), 3);
  EXPECT_EQ(IoErrorCodeOf(ENAMETOOLONG), 3);
  EXPECT_EQ(IoErrorCodeOf(EACCES), 5);
  EXPECT_EQ(IoErrorCodeOf(EPERM), 5);
  EXPECT_EQ(IoErrorCodeOf(EMFILE), 4);
  EXPECT_EQ(IoErrorCodeOf(ENFILE), 4);
  EXPECT_EQ(IoErrorCodeOf(ENOSPC), 101);
  EXPECT_EQ(IoErrorCodeOf(ENOMEDIUM), 21);
  EXPECT_EQ(IoErrorCodeOf(EIO), 21);
  EXPECT_EQ(IoErrorCodeOf(ENXIO), 21);
  EXPECT_EQ(IoErrorCodeOf(ELOOP), ELOOP);
  EXPECT_EQ(IoErrorCodeOf(EROFS), EROFS);
}

TEST(IoError, MessagesByCode) {
  EXPECT_EQ(IoErrorMessage(2), "File not found");
  EXPECT_EQ(IoErrorMessage(3), "Invalid filename");
  EXPECT_EQ(IoErrorMessage(4), "Too many open files");
  EXPECT_EQ(IoErrorMessage(5), "File access denied");
  EXPECT_EQ(IoErrorMessage(100), "Read beyond end of file");
  EXPECT_EQ(IoErrorMessage(101), "Disk full");
  EXPECT_EQ(IoErrorMessage(106), "Invalid numeric input");
  EXPECT_EQ(IoErrorMessage(21), "I/O error 21");
  EXPECT_EQ(IoErrorMessage(0), "I/O error 0");
  EXPECT_EQ(IoErrorMessage(-7), "I/O error -7");
}

TEST(IoError, TheErrorCarriesCodeAndMessage) {
  const EInOutError error = MakeInOutError(IoErrorCodeOf(EACCES));
  EXPECT_EQ(error.ErrorCode, 5);
  EXPECT_EQ(error.Message(), "File access denied");
}

}  // namespace
}  // namespace foliotally
