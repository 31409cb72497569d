// Test main whose application object is the program's own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "messages/application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  foliotally::TApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
