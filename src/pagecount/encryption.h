// What an /Encrypt dictionary means for this reader: whether streams (object streams among
// them) are encrypted, or only strings, which the reader never reads.
#pragma once

#include "pagecount/object_store.h"

namespace foliotally::pdf {

// True unless the dictionary (resolved through `objects`) says streams are left as they are.
// A dictionary that cannot be read counts as encrypting them.
bool EncryptsStreams(ObjectStore& objects, const Object& encrypt);

}  // namespace foliotally::pdf
