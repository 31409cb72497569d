// What the three folder-browser controls share about their rows: they are read when the
// control's handle is created, on first need (first shown or first asked about), and each
// row is as tall as the tallest of the font, the glyphs and the height asked for.
#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>

namespace foliotally {

// A control's handle, created once on first need by running `create` (which reads the
// rows). Before that the control holds no rows and answers queries by creating it.
class LazyHandle {
 public:
  explicit LazyHandle(std::function<void()> create) : create_(std::move(create)) {}

  void Need() {
    if (created_) return;
    created_ = true;
    create_();
  }
  bool Created() const { return created_; }

 private:
  std::function<void()> create_;
  bool created_ = false;
};

// Makes the tallest of `heights` the delegate's row height; true when that changed it (a
// list then lays its rows out again).
template <typename RowDelegate>
bool FitRowHeight(RowDelegate& delegate, std::initializer_list<int> heights) {
  const int height = std::max(heights);
  if (height == delegate.RowHeight()) return false;
  delegate.SetRowHeight(height);
  return true;
}

}  // namespace foliotally
