// The local file names that file: addresses and the lists holding them name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foliotally::dragdrop {

// The local path a file: address names, as the file system's bytes (percent escapes
// decoded byte for byte, whatever the bytes are). Nothing when the address is not a file:
// address, names another machine (a host other than none, "localhost" or `host_name`,
// compared ignoring case), is not absolute, or holds a NUL (raw or escaped), which would
// cut the name short.
std::optional<std::string> LocalPathOfFileUri(std::string_view uri, std::string_view host_name);

// The lines of a text/uri-list (or of a file manager's copied-files list): lines end in
// CR LF or LF, and lines that are empty or start with '#' are comments. At most
// `max_lines` lines are taken; the rest are not looked at.
std::vector<std::string_view> UriListLines(std::string_view list, size_t max_lines = SIZE_MAX);

// The file: address of a local absolute path, its bytes percent-escaped where an address
// may not hold them as they are (so a name that is not valid UTF-8 keeps its bytes).
std::string FileUriOf(std::string_view path);

// This machine's name, for LocalPathOfFileUri; empty when it cannot be read.
std::string ThisHostName();

}  // namespace foliotally::dragdrop
