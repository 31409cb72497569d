// Writes small, valid PDF files for tests: a catalog, a flat page tree and N empty pages,
// with a classic cross-reference table whose offsets are exact.
#pragma once

#include <string>

namespace foliotally::test {

std::string MakePdf(int pages);

}  // namespace foliotally::test
