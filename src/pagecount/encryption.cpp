#include "pagecount/encryption.h"

namespace foliotally::pdf {

bool EncryptsStreams(ObjectStore& objects, const Object& encrypt) {
  Object dict;
  if (!SurvivesDamage([&] { dict = objects.Resolve(encrypt); }) || !dict.IsDict()) return true;
  // From version 4 on, streams are encrypted by the crypt filter /StmF names; /Identity
  // (also the default) leaves them as they are.
  if (!IsIntIn(dict.Find("V"), 4, 5)) return true;
  const Object* stmf = dict.Find("StmF");
  return stmf && !stmf->IsName("Identity");
}

}  // namespace foliotally::pdf
