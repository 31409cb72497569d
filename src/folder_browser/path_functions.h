// Splitting and joining path texts. Pure functions on strings; positions are 1-based and 0
// means "none". A byte that is the second half of a double-byte character never counts as
// a delimiter. The examples name the Windows form first and the POSIX form after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "folder_browser/path_style.h"

namespace foliotally {

// Position of the last character of `text` that is in `delimiters`, or 0.
size_t LastDelimiterIn(std::string_view delimiters, std::string_view text,
                       const PathStyle& style = PathStyle::Native());

// Whether the character at `position` is in `delimiters`; false outside the text.
bool IsDelimiterAt(std::string_view delimiters, std::string_view text, size_t position,
                   const PathStyle& style = PathStyle::Native());

// Whether the character at `position` is the path delimiter; false outside the text.
bool IsPathDelimiterAt(std::string_view text, size_t position,
                       const PathStyle& style = PathStyle::Native());

// The folder part with its trailing delimiter: C:\a\b.pdf -> C:\a\ ; /a/b.pdf -> /a/ .
std::string PathPartOf(std::string_view path, const PathStyle& style = PathStyle::Native());

// The folder part without a trailing delimiter, a root kept whole: C:\a\b.pdf -> C:\a,
// C:\b.pdf -> C:\ ; /a/b.pdf -> /a, /b.pdf -> / .
std::string FolderPartOf(std::string_view path, const PathStyle& style = PathStyle::Native());

// A drive (C:) or a network root (\\srv\share), or empty. Always empty in the POSIX style,
// where the root "/" plays the part of a drive's root.
std::string DrivePartOf(std::string_view path, const PathStyle& style = PathStyle::Native());

// The part after the last delimiter.
std::string NamePartOf(std::string_view path, const PathStyle& style = PathStyle::Native());

// The extension with its dot (a.tar.gz -> .gz, a. -> .), or empty.
std::string ExtensionPartOf(std::string_view path, const PathStyle& style = PathStyle::Native());

// The text with one path delimiter appended unless it already ends in one.
std::string WithTrailingDelimiter(std::string_view text,
                                  const PathStyle& style = PathStyle::Native());

// Folder and name joined by exactly one path delimiter. An empty folder gives the name
// alone (a name relative to the current folder) rather than a path from the root.
std::string JoinFolderAndName(std::string_view folder, std::string_view name,
                              const PathStyle& style = PathStyle::Native());

}  // namespace foliotally
