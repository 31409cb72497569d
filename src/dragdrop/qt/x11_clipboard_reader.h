// Reading the clipboard of an X server through a connection of its own, on any thread: a
// large or slow transfer (a list of ten megabytes, an owner that does not answer) then
// never holds up the user interface, as Qt's own clipboard, read on the user-interface
// thread, does.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace foliotally::dragdrop {

struct TClipboardPayload {
  std::string mimeType;  // the first of the wanted types the owner offers
  std::string bytes;
};

// The clipboard's data in the first of `wanted` (MIME type names; "text/plain" stands for
// the owner's UTF-8 text) that its owner offers. Nothing when there is no X server, no
// owner, none of the types, or the transfer takes longer than `limit` in all.
std::optional<TClipboardPayload> ReadX11Clipboard(const std::vector<std::string>& wanted,
                                                  std::chrono::milliseconds limit);

}  // namespace foliotally::dragdrop
