// The library's one exported function.
#include "pagecount/count_pdf.h"
#include "pagecount/foliotally.h"

extern "C" int32_t GetFoliotally(const char* path) { return foliotally::pdf::CountPdfFile(path); }
