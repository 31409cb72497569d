// Pure rules that turn what POSIX reports about an entry into the program's attribute bits,
// kept apart from the system calls so they can be tested on their own.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/dos_attribute_source.h"
#include "platform/file_system.h"

namespace foliotally {

// Status of an entry from its stat data (links already followed): folder 0x10, archive 0x20
// for a regular file, system 0x04 for anything else, read-only 0x01 when no write bit is
// set for anyone. `dangling_link` marks stat data of a link whose target is missing; such
// an entry is of no kind and carries the system bit only.
FileStatus StatusFromStat(const struct stat& st, bool dangling_link = false);

// The DOS attribute bits Samba keeps in the "user.DOSATTRIB" extended attribute. Every
// version of that value begins with the bits as a NUL-terminated text "0x<hex>"; later
// versions follow it with a binary record that repeats them. Empty when the text is absent
// or not a number.
std::optional<uint32_t> ParseSambaDosAttributes(std::string_view value);

// The source for a file system given its statfs f_type.
DosAttributeSource DosAttributeSourceOf(long filesystem_magic);

// How a file system given by its statfs f_type compares names: FAT, exFAT, NTFS and SMB
// shares are case-blind but keep the case written; everything else is case-sensitive.
CaseRules CaseRulesOfMagic(long filesystem_magic);

}  // namespace foliotally
