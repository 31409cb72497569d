#include "colour/colour_space.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "pagecount/verdict.h"

namespace foliotally::colour {

namespace {

using pdf::Object;

// Colour spaces naming colour spaces: a space defined through a chain of names (or an
// indexed space's base inside another) goes no deeper than this.
constexpr int kMaxSpaceDepth = 8;
// Lab's a and b run from about -128 to 127: two of them is no visible hue.
constexpr double kLabTolerance = 2.0;

double Clip01(double v) { return std::clamp(v, 0.0, 1.0); }

ColourSpace Of(SpaceFamily family, int components) {
  return {family, SpaceFamily::kUnknown, components};
}

ColourSpace ByDeviceName(std::string_view name, bool& known) {
  known = true;
  if (name == "DeviceGray" || name == "G" || name == "CalGray") return Of(SpaceFamily::kNeutral, 1);
  if (name == "DeviceRGB" || name == "RGB" || name == "CalRGB") return Of(SpaceFamily::kRgb, 3);
  if (name == "DeviceCMYK" || name == "CMYK") return Of(SpaceFamily::kCmyk, 4);
  if (name == "Pattern") return {SpaceFamily::kPattern, SpaceFamily::kUnknown, 0};
  known = false;
  return Of(SpaceFamily::kUnknown, 1);
}

// Ink names that print as black or nothing: "All" is every plate at once, a black.
bool IsBlackInk(std::string_view name) {
  return name == "Black" || name == "All" || name == "None";
}

class Classifier {
 public:
  Classifier(pdf::Document& doc, const Object* named) : doc_(doc), named_(named) {}

  ColourSpace Classify(const Object& space_object, int depth) {
    if (depth > kMaxSpaceDepth) return Of(SpaceFamily::kUnknown, 1);
    const Object value = doc_.Resolve(space_object);
    if (value.IsName()) return ByName(value.name, depth);
    if (!value.IsArray() || value.items.empty()) return Of(SpaceFamily::kUnknown, 1);
    const Object head = doc_.Resolve(value.items[0]);
    if (!head.IsName()) return Of(SpaceFamily::kUnknown, 1);
    return ByArray(head.name, value.items, depth);
  }

 private:
  ColourSpace ByName(const std::string& name, int depth) {
    bool known = false;
    const ColourSpace device = ByDeviceName(name, known);
    if (known) return device;
    const Object* entry = named_ && named_->IsDict() ? named_->Find(name) : nullptr;
    return entry ? Classify(*entry, depth + 1) : Of(SpaceFamily::kUnknown, 1);
  }

  ColourSpace ByArray(const std::string& kind, const std::vector<Object>& items, int depth) {
    const auto item = [&](size_t i) {
      return i < items.size() ? doc_.Resolve(items[i]) : Object{};
    };
    if (kind == "CalGray") return Of(SpaceFamily::kNeutral, 1);
    if (kind == "CalRGB") return Of(SpaceFamily::kRgb, 3);
    if (kind == "Lab") return Of(SpaceFamily::kLab, 3);
    if (kind == "ICCBased") {
      const Object stream = item(1);
      const Object* n = stream.IsDict() ? stream.Find("N") : nullptr;
      const Object channels = n ? doc_.Resolve(*n) : Object{};
      if (pdf::IsIntIn(&channels, 1, 1)) return Of(SpaceFamily::kNeutral, 1);
      if (pdf::IsIntIn(&channels, 3, 3)) return Of(SpaceFamily::kRgb, 3);
      if (pdf::IsIntIn(&channels, 4, 4)) return Of(SpaceFamily::kCmyk, 4);
      return Of(SpaceFamily::kUnknown, 1);
    }
    if (kind == "Indexed" || kind == "I") {
      // Which palette entries are grey would take the palette itself; a palette over a grey
      // space holds greys only.
      const bool grey =
          items.size() > 1 && Classify(items[1], depth + 1).family == SpaceFamily::kNeutral;
      return Of(grey ? SpaceFamily::kNeutral : SpaceFamily::kUnknown, 1);
    }
    if (kind == "Separation") {
      const Object ink = item(1);
      if (ink.IsName() && IsBlackInk(ink.name)) return Of(SpaceFamily::kNeutral, 1);
      return WithAlternate(items, 2, 1, depth);
    }
    if (kind == "DeviceN") {
      const Object inks = item(1);
      if (!inks.IsArray() || inks.items.empty() || inks.items.size() > 32)
        return Of(SpaceFamily::kUnknown, 1);
      const bool all_black =
          std::all_of(inks.items.begin(), inks.items.end(), [&](const Object& o) {
            const Object ink = doc_.Resolve(o);
            return ink.IsName() && IsBlackInk(ink.name);
          });
      const int n = static_cast<int>(inks.items.size());
      if (all_black) return Of(SpaceFamily::kNeutral, n);
      return WithAlternate(items, 2, n, depth);
    }
    if (kind == "Pattern") {
      ColourSpace pattern{SpaceFamily::kPattern, SpaceFamily::kUnknown, 0};
      if (items.size() > 1) {
        const ColourSpace base = Classify(items[1], depth + 1);
        pattern.base = base.family;
        pattern.components = base.components;
      }
      return pattern;
    }
    bool known = false;
    const ColourSpace device = ByDeviceName(kind, known);  // [/DeviceRGB], as some writers put it
    return known ? device : Of(SpaceFamily::kUnknown, 1);
  }

  // Inks of their own are drawn through their alternate space: a grey alternate draws grey.
  ColourSpace WithAlternate(const std::vector<Object>& items, size_t at, int components,
                            int depth) {
    if (items.size() > at && Classify(items[at], depth + 1).family == SpaceFamily::kNeutral)
      return Of(SpaceFamily::kNeutral, components);
    return Of(SpaceFamily::kTints, components);
  }

  pdf::Document& doc_;
  const Object* named_;
};

}  // namespace

ColourSpace ClassifyColourSpace(pdf::Document& doc, const pdf::Object& space_object,
                                const pdf::Object* named) {
  ColourSpace space = Of(SpaceFamily::kUnknown, 1);
  pdf::SurvivesDamage([&] { space = Classifier(doc, named).Classify(space_object, 0); });
  return space;
}

bool IsNeutralValue(SpaceFamily family, std::span<const double> values) {
  const auto spread = [&](size_t n) {
    if (values.size() < n) return 1.0;
    double lo = 1, hi = 0;
    for (size_t i = 0; i < n; ++i) {
      lo = std::min(lo, Clip01(values[i]));
      hi = std::max(hi, Clip01(values[i]));
    }
    return hi - lo;
  };
  switch (family) {
    case SpaceFamily::kNeutral:
      return true;
    case SpaceFamily::kRgb:
    case SpaceFamily::kCmyk:
      return spread(3) <= kValueTolerance;  // CMYK: black ink is free
    case SpaceFamily::kLab:
      return values.size() >= 3 && std::abs(values[1]) <= kLabTolerance &&
             std::abs(values[2]) <= kLabTolerance;
    case SpaceFamily::kTints:
      return !values.empty() &&
             std::all_of(values.begin(), values.end(), [](double v) { return v <= 0.5 / 255; });
    case SpaceFamily::kPattern:
    case SpaceFamily::kUnknown:
      break;
  }
  return false;
}

bool InitialValueIsNeutral(const ColourSpace& space) {
  // Black in the process spaces and Lab; full ink in a spot space; entry 0 of a palette.
  switch (space.family) {
    case SpaceFamily::kNeutral:
    case SpaceFamily::kRgb:
    case SpaceFamily::kCmyk:
    case SpaceFamily::kLab:
      return true;
    default:
      return false;
  }
}

}  // namespace foliotally::colour
