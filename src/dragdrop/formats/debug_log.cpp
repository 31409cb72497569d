#include "dragdrop/formats/debug_log.h"

#include <iostream>
#include <utility>

namespace foliotally::dragdrop {
namespace {

TDebugSink& Sink() {
  static TDebugSink sink;
  return sink;
}

}  // namespace

void OutputDebugString(std::string_view text) {
  if (Sink()) {
    Sink()(text);
  } else {
    std::cerr << text << '\n';
  }
}

TDebugSink SetDebugSink(TDebugSink sink) { return std::exchange(Sink(), std::move(sink)); }

}  // namespace foliotally::dragdrop
