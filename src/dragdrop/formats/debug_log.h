// Debug output for developers (OutputDebugString on the platform this protocol comes from):
// by default a line on standard error. A test or a host program may send it elsewhere.
#pragma once

#include <functional>
#include <string_view>

namespace foliotally::dragdrop {

using TDebugSink = std::function<void(std::string_view text)>;

void OutputDebugString(std::string_view text);
// Replaces the sink; an empty sink restores standard error. Returns the previous sink.
TDebugSink SetDebugSink(TDebugSink sink);

}  // namespace foliotally::dragdrop
