#include "dragdrop/qt/e2e/x_screen.h"

// Xlib's macros (None, Bool, Status) would clash with Qt's names: its headers come last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

namespace foliotally::test {
namespace {

Display* AsDisplay(void* display) { return static_cast<Display*>(display); }

struct ImageDestroyer {
  void operator()(XImage* image) const { XDestroyImage(image); }
};

}  // namespace

void XScreen::DisplayCloser::operator()(void* display) const { XCloseDisplay(AsDisplay(display)); }

XScreen::XScreen() : display_(XOpenDisplay(nullptr)) {}

XScreen::~XScreen() = default;

std::string XScreen::CursorName() const {
  if (!Open()) return {};
  XFixesCursorImage* cursor = XFixesGetCursorImage(AsDisplay(display_.get()));
  if (cursor == nullptr) return {};
  std::string name = cursor->name != nullptr ? cursor->name : "";
  XFree(cursor);
  return name;
}

std::optional<QRect> XScreen::BoundsOf(const QRect& within,
                                       const std::function<bool(const Pixel&)>& wanted) const {
  if (!Open() || within.isEmpty()) return std::nullopt;
  Display* display = AsDisplay(display_.get());
  const std::unique_ptr<XImage, ImageDestroyer> image(
      XGetImage(display, DefaultRootWindow(display), within.x(), within.y(),
                static_cast<unsigned>(within.width()), static_cast<unsigned>(within.height()),
                AllPlanes, ZPixmap));
  if (!image) return std::nullopt;
  QRect bounds;
  for (int y = 0; y < within.height(); ++y) {
    for (int x = 0; x < within.width(); ++x) {
      // A 24-bit screen: 0xRRGGBB in each pixel.
      const unsigned long rgb = XGetPixel(image.get(), x, y);
      const Pixel pixel{static_cast<int>((rgb >> 16) & 0xff), static_cast<int>((rgb >> 8) & 0xff),
                        static_cast<int>(rgb & 0xff)};
      if (wanted(pixel)) bounds |= QRect(within.x() + x, within.y() + y, 1, 1);
    }
  }
  if (bounds.isEmpty()) return std::nullopt;
  return bounds;
}

}  // namespace foliotally::test
