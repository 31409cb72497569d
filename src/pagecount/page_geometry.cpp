#include "pagecount/page_geometry.h"

#include <algorithm>
#include <cmath>

namespace foliotally::pdf {

std::optional<Rect> ReadBox(const Object& box) {
  if (!box.IsArray() || box.items.size() != 4) return std::nullopt;
  double v[4];
  for (size_t i = 0; i < 4; ++i) {
    const std::optional<double> n = box.items[i].Number();
    if (!n || !std::isfinite(*n)) return std::nullopt;
    v[i] = *n;
  }
  const Rect r{std::min(v[0], v[2]), std::min(v[1], v[3]), std::max(v[0], v[2]),
               std::max(v[1], v[3])};
  // Corners far apart can still overflow their difference.
  if (!(r.Width() > 0 && r.Height() > 0) || !std::isfinite(r.Width()) || !std::isfinite(r.Height()))
    return std::nullopt;
  return r;
}

std::optional<Rect> Intersect(const Rect& a, const Rect& b) {
  const Rect r{std::max(a.left, b.left), std::max(a.bottom, b.bottom), std::min(a.right, b.right),
               std::min(a.top, b.top)};
  if (!(r.Width() > 0 && r.Height() > 0)) return std::nullopt;
  return r;
}

std::optional<int> ReadQuarterTurns(const Object& rotate) {
  if (rotate.IsNull()) return 0;
  const std::optional<double> degrees = rotate.Number();
  if (!degrees || !std::isfinite(*degrees) || std::fmod(*degrees, 90.0) != 0) return std::nullopt;
  const double turns = std::fmod(*degrees / 90.0, 4.0);
  return (static_cast<int>(turns) + 4) % 4;
}

std::optional<double> ReadUserUnit(const Object& user_unit) {
  if (user_unit.IsNull()) return 1.0;
  const std::optional<double> unit = user_unit.Number();
  if (!unit || !(*unit > 0 && *unit <= kMaxUserUnit)) return std::nullopt;
  return *unit;
}

std::optional<PageSize> MeasurePage(const WalkedPage& page, SizeBox box) {
  if (!page.readable) return std::nullopt;
  const std::optional<Rect> media = ReadBox(page.attributes.media_box);
  if (!media) return std::nullopt;
  // A crop box that is missing, unreadable or outside the media box shows the media box,
  // as viewers do.
  Rect visible = *media;
  if (const auto crop = ReadBox(page.attributes.crop_box))
    visible = Intersect(*crop, *media).value_or(*media);
  if (box == SizeBox::kTrim) {
    if (const auto trim = ReadBox(page.trim_box))
      visible = Intersect(*trim, *media).value_or(visible);
  }
  const std::optional<int> turns = ReadQuarterTurns(page.attributes.rotate);
  const std::optional<double> unit = ReadUserUnit(page.user_unit);
  if (!turns || !unit) return std::nullopt;
  PageSize size{visible.Width() * *unit, visible.Height() * *unit};
  if (!std::isfinite(size.width_pt) || !std::isfinite(size.height_pt)) return std::nullopt;
  if (*turns % 2) std::swap(size.width_pt, size.height_pt);
  return size;
}

}  // namespace foliotally::pdf
