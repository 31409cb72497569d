// The library's one exported function.
#include "pagecount/foliotally.h"
#include "pagecount/page_counter.h"

extern "C" int32_t GetFoliotally(const char* path) { return foliotally::pdf::CountPdfFile(path); }
