/* Foliotally page-count library.
 *
 * One function: give it the path of a file, get back the number of pages, or a negative
 * value that says why the file could not be counted. The function is reentrant and safe to
 * call from several threads at once; it never shows anything and never throws.
 */
#ifndef FOLIOTALLY_H
#define FOLIOTALLY_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Negative results. Every negative value means "not a countable PDF file". */
#define FOLIOTALLY_UNREADABLE (-1)  /* missing, no access, or an I/O error while reading */
#define FOLIOTALLY_NOT_REGULAR (-2) /* a folder, FIFO, socket or device: never opened */
#define FOLIOTALLY_NOT_PDF (-3)     /* no PDF header: some other kind of file */
#define FOLIOTALLY_DAMAGED (-4)     /* a PDF whose page tree cannot be found or trusted */
#define FOLIOTALLY_ENCRYPTED (-5)   /* encrypted so that the page tree cannot be read */

/* Returns the number of pages of the PDF file at `path` (zero-terminated, as the operating
 * system spells names), or one of the negative values above. A null or empty path gives
 * FOLIOTALLY_UNREADABLE. Only regular files are opened, and the call never blocks on a FIFO
 * or device. The count comes from the file's page tree; damaged files get a second opinion
 * from qpdf (files up to 64 MiB) before the answer is negative. */
__attribute__((visibility("default"))) int32_t GetFoliotally(const char* path);

#ifdef __cplusplus
}
#endif

#endif
