// What the X server shows, read directly: the pointer's cursor by name and where a colour
// lies on the screen. The end-to-end tests use it to see another program as a user does.
#pragma once

#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace foliotally::test {

struct Pixel {
  int red = 0;
  int green = 0;
  int blue = 0;
};

class XScreen {
 public:
  // Opens the display named by DISPLAY; Open() tells whether that worked.
  XScreen();
  ~XScreen();
  XScreen(const XScreen&) = delete;
  XScreen& operator=(const XScreen&) = delete;

  bool Open() const { return display_ != nullptr; }
  // The name of the pointer's current cursor ("dnd-none", "dnd-copy", ...); empty for a
  // cursor without a name (the X server's own).
  std::string CursorName() const;
  // The smallest rectangle inside `within` that holds every pixel `wanted` takes; nothing
  // when no pixel does.
  std::optional<QRect> BoundsOf(const QRect& within,
                                const std::function<bool(const Pixel&)>& wanted) const;

 private:
  struct DisplayCloser {
    void operator()(void* display) const;
  };
  std::unique_ptr<void, DisplayCloser> display_;
};

}  // namespace foliotally::test
