// Placeholder until the reader lands: every file is "unreadable".
#include "pagecount/foliotally.h"

extern "C" int32_t GetFoliotally(const char*) { return FOLIOTALLY_UNREADABLE; }
