// Counts one file with the page-count library after moving to another folder, as the window
// does while the user browses, and prints the count.
//   helper_location_probe FOLDER FILE
#include <unistd.h>

#include <cstdio>

#include "pagecount/foliotally.h"

int main(int argc, char** argv) {
  if (argc != 3 || ::chdir(argv[1]) != 0) return 2;
  std::printf("%d\n", GetFoliotally(argv[2]));
  return 0;
}
