// Glyphs for the program's buttons, from the desktop's icon theme where it has one.
#pragma once

#include <QIcon>
#include <string_view>

class QStyle;

namespace foliotally {

// The glyph for a button role: "save", "stop", "count-selected", "count-all", "close" or
// "ok". Taken from the icon theme (freedesktop names), else the widget style's standard
// icon; a null icon for an unknown role. `style` defaults to the application's style.
QIcon ButtonGlyph(std::string_view role, const QStyle* style = nullptr);

}  // namespace foliotally
