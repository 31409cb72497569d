// What a colour space can paint, as far as neutral and coloured go, and whether one value
// in it is neutral. A value is neutral when the renderer draws it as a grey: equal RGB
// channels, equal cyan, magenta and yellow (black is free), a and b of zero in Lab, within
// kValueTolerance.
#pragma once

#include <cstdint>
#include <span>

#include "pagecount/document.h"
#include "pagecount/pdf_object.h"

namespace foliotally::colour {

// How far apart a value's components may be for it to be neutral: 16 steps of 255 (about
// 6 %), the amount the pixels of a drawn page are held to (see kPixelTolerance).
inline constexpr int kPixelTolerance = 16;
inline constexpr double kValueTolerance = kPixelTolerance / 255.0;

enum class SpaceFamily : uint8_t {
  kNeutral,  // every value is neutral: gray spaces, a one-channel ICC profile, black ink
  kRgb,      // three channels, neutral when they are equal
  kCmyk,     // four inks, neutral when cyan, magenta and yellow are equal
  kLab,      // neutral when a and b are zero
  kTints,    // inks of their own (spot colours): neutral only when no ink is laid
  kPattern,  // values name a pattern; `base` is the family of an uncoloured pattern's values
  kUnknown,  // may paint colour whatever the value (a colour palette, an unreadable space)
};

struct ColourSpace {
  SpaceFamily family = SpaceFamily::kNeutral;
  SpaceFamily base = SpaceFamily::kUnknown;  // for kPattern
  int components = 1;
};

// The space `space_object` names or describes; `named` is the resource dictionary of colour spaces
// (resolved, or null) that a name other than a device space's is looked up in. Never throws
// on damage: what cannot be read is kUnknown.
ColourSpace ClassifyColourSpace(pdf::Document& doc, const pdf::Object& space_object,
                                const pdf::Object* named);

// Whether `values` (clipped to their range) are neutral in a space of `family`.
bool IsNeutralValue(SpaceFamily family, std::span<const double> values);

// The colour a space starts with when it is selected (black, full ink, palette entry 0):
// whether it is neutral.
bool InitialValueIsNeutral(const ColourSpace& space);

}  // namespace foliotally::colour
