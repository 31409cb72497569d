#include "about/button_glyphs.h"

#include <QApplication>
#include <QStyle>
#include <array>

namespace foliotally {
namespace {

struct GlyphSource {
  std::string_view role;
  const char* themeName;  // freedesktop icon naming
  QStyle::StandardPixmap fallback;
};

constexpr std::array kGlyphs{
    GlyphSource{"save", "document-save", QStyle::SP_DialogSaveButton},
    GlyphSource{"stop", "process-stop", QStyle::SP_BrowserStop},
    GlyphSource{"count-selected", "edit-select-all", QStyle::SP_FileDialogDetailedView},
    GlyphSource{"count-all", "folder-open", QStyle::SP_DirOpenIcon},
    GlyphSource{"close", "window-close", QStyle::SP_DialogCloseButton},
    GlyphSource{"ok", "dialog-ok", QStyle::SP_DialogOkButton},
};

}  // namespace

QIcon ButtonGlyph(std::string_view role, const QStyle* style) {
  for (const GlyphSource& glyph : kGlyphs) {
    if (glyph.role != role) continue;
    QIcon themed = QIcon::fromTheme(glyph.themeName);
    if (!themed.isNull()) return themed;
    if (style == nullptr) style = QApplication::style();
    return style != nullptr ? style->standardIcon(glyph.fallback) : QIcon();
  }
  return {};
}

}  // namespace foliotally
