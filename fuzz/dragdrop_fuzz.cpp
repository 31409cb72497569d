// Feeds arbitrary bytes to the drag-and-drop payload readers of one family (chosen when the
// target is built): each ReadData directly, and a fetch through the test data object on a
// medium the first byte picks. No input may crash, hang, read outside the payload or make
// the reader allocate more than the payload calls for.
#include <cstddef>
#include <cstdint>
#include <span>

#include "payload_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  foliotally::dragdrop::ExercisePayload(foliotally::dragdrop::PayloadFamily::DRAGDROP_FUZZ_FAMILY,
                                        std::span(data, size));
  return 0;
}
