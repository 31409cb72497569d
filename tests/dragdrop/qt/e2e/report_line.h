// What the two test programs of the end-to-end drop tests say on standard output: one
// line at a time, flushed at once, with drop actions by name.
#pragma once

#include <Qt>
#include <cstdio>
#include <string>

namespace foliotally::test {

inline void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

inline const char* ActionName(Qt::DropAction action) {
  switch (action & Qt::ActionMask) {
    case Qt::CopyAction:
      return "copy";
    case Qt::MoveAction:
      return "move";
    case Qt::LinkAction:
      return "link";
    default:
      return "none";
  }
}

}  // namespace foliotally::test
