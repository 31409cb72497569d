// Bounds that keep a hostile file from costing unbounded time or memory. Each is far above
// what a real PDF file needs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace foliotally::pdf::limits {

// The "%PDF-" header may follow junk, but only within this many bytes of the start.
inline constexpr size_t kHeaderSearch = 1024;
// The first read of the tail; a second, longer one only when "startxref" is not in it.
inline constexpr size_t kTailRead = 4096;
inline constexpr size_t kLongTailRead = 64 * 1024;
// Nesting of arrays and dictionaries inside one object.
inline constexpr int kMaxNesting = 64;
// Cross-reference sections reached through /Prev and /XRefStm.
inline constexpr int kMaxSections = 1024;
// Subsections of one classic cross-reference table.
inline constexpr int kMaxSubsections = 100000;
// Largest object number the reader accepts.
inline constexpr uint64_t kMaxObjectNumber = 1u << 30;
// Largest single object (a page-tree node with a long /Kids array, say) read from the file.
inline constexpr size_t kMaxObjectBytes = 16u << 20;
// Decoded bytes of one stream, and of all streams in one count.
inline constexpr size_t kMaxStreamBytes = 64u << 20;
inline constexpr uint64_t kMaxDecodedPerCount = 256u << 20;
// Objects in one object stream.
inline constexpr int64_t kMaxObjectsPerStream = 1 << 20;
// Object streams kept decoded at once within one count.
inline constexpr size_t kObjectStreamCache = 4;
// Indirect objects one resolution may pass through (a /Length that is itself a reference...).
inline constexpr int kMaxResolveDepth = 16;
// Page-tree nodes one walk may visit.
inline constexpr size_t kMaxWalkNodes = 4u << 20;
// Kids a walk may put on its stack (a /Kids array shared by many nodes is pushed each time).
inline constexpr size_t kMaxWalkPushes = 16u << 20;
// Kids a walk page by page may hold waiting at once (each with what it inherits).
inline constexpr size_t kMaxWalkPending = 4u << 20;
// Objects fetched by one count, walk included.
inline constexpr uint64_t kMaxFetches = 8u << 20;

}  // namespace foliotally::pdf::limits
