/* Foliotally page-count library.
 *
 * Give it a file, get back the number of pages, or a negative value that says why the file
 * could not be counted. The functions are reentrant and safe to call from several threads
 * at once; they never show anything and never throw.
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
 * from qpdf (files up to 64 MiB) before the answer is negative. qpdf runs in a helper
 * program installed with the library and found from the library's own location when it is
 * loaded (never from the working folder or PATH); the helper may use at most 512 MiB of
 * address space, and a file whose repair needs more counts as FOLIOTALLY_DAMAGED. A damaged
 * file whose pages can be recovered (see FOLIOTALLY_RECOVERED) gives the count a viewer
 * shows, as a positive number like any other: callers that must tell it apart use
 * GetFoliotallyCountAt. Zero is returned only for a sound file whose page tree holds no
 * page. */
__attribute__((visibility("default"))) int32_t GetFoliotally(const char* path);

/* The same count for a batch counter: `path` is taken relative to the open folder `dirfd`
 * (AT_FDCWD for the working folder; ignored for an absolute path), so a walk that holds
 * the folder open spares the kernel the lookup of every parent folder. `time_limit_ms`
 * bounds the time the count may take; 0 selects the library's default bound. A count that
 * runs out of time is FOLIOTALLY_DAMAGED. GetFoliotally(path) is
 * GetFoliotallyAt(AT_FDCWD, path, 0). */
__attribute__((visibility("default"))) int32_t GetFoliotallyAt(int dirfd, const char* path,
                                                               uint32_t time_limit_ms);

/* The same count of a file the caller has open as `fd` (opened for reading, O_NONBLOCK
 * where it may be a FIFO): for a caller that must look at the file itself before counting
 * it, and so opens it once for both. The file is read with pread only (the repair helper
 * reads a file description of its own), so its offset stays where it was, several threads
 * may count the same descriptor at once, and it is left open. A negative `fd` gives
 * FOLIOTALLY_UNREADABLE. */
__attribute__((visibility("default"))) int32_t GetFoliotallyFd(int fd, uint32_t time_limit_ms);

/* What a count says about the file besides its number (FoliotallyCount::verdict):
 * FOLIOTALLY_SOUND: read from the file's own cross-reference data and page tree as written;
 * FOLIOTALLY_RECOVERED: the file is damaged, and `pages` (always above zero) is what a
 *   viewer shows, read from a reconstruction;
 * FOLIOTALLY_NOT_COUNTABLE: `pages` is one of the negative values above;
 * FOLIOTALLY_TIMED_OUT: the count ran out of time, `pages` is FOLIOTALLY_DAMAGED, and more
 *   time may give an answer. */
#define FOLIOTALLY_SOUND 0
#define FOLIOTALLY_RECOVERED 1
#define FOLIOTALLY_NOT_COUNTABLE 2
#define FOLIOTALLY_TIMED_OUT 3

#define FOLIOTALLY_REASON_SIZE 96

/* The answer with its verdict, in storage the caller provides: the library keeps no pointer
 * to it, and nothing in it needs to be freed. */
struct FoliotallyCount {
  int32_t pages;   /* the number GetFoliotally gives */
  int32_t verdict; /* FOLIOTALLY_SOUND, _RECOVERED, _NOT_COUNTABLE or _TIMED_OUT */
  /* Why a count is not sound, in a few words ("cross-reference data rebuilt", "file ends
   * early after object 12", "timed out"); empty for a sound count. Zero-terminated ASCII,
   * cut to fit. It ends with "repair helper could not run" when the count needed the
   * repair helper (see foliotally-count(1)) and it could not be started. */
  char reason[FOLIOTALLY_REASON_SIZE];
};

/* GetFoliotallyAt's count, with its verdict and reason written to `*out` (which must not
 * be null). Returns `out->pages`. */
__attribute__((visibility("default"))) int32_t GetFoliotallyCountAt(int dirfd, const char* path,
                                                                    uint32_t time_limit_ms,
                                                                    struct FoliotallyCount* out);

/* GetFoliotallyFd's count, with its verdict and reason written to `*out`. */
__attribute__((visibility("default"))) int32_t GetFoliotallyCountFd(int fd, uint32_t time_limit_ms,
                                                                    struct FoliotallyCount* out);
/* Page sizes. The pages of a file grouped by size: each group is one size and its number
 * of pages, in the order the sizes first appear in the file. A size is the page as a
 * viewer shows it: the crop box (the media box where the page has none) clipped to the
 * media box, turned by the page's rotation and scaled by its user unit, in points (1/72
 * inch) to a thousandth of a point. With FOLIOTALLY_BOX_TRIM the page's trim box is taken
 * instead where it has one that can be read. */
#define FOLIOTALLY_BOX_CROP 0
#define FOLIOTALLY_BOX_TRIM 1

typedef struct FoliotallyPageSize {
  double width_pt;  /* after rotation */
  double height_pt; /* after rotation */
  int32_t pages;
} FoliotallyPageSize;

/* Measures the file at `path` (relative to `dirfd`, as for GetFoliotallyAt, within the same
 * `time_limit_ms`) and returns the number of distinct sizes, or one of the negative values
 * above for a file GetFoliotallyAt would not count; the page count and the error codes are
 * always those GetFoliotallyAt gives.
 *
 * Memory: the caller owns everything. `sizes` is an array of `capacity` elements that the
 * call fills with the first groups (it may be NULL when `capacity` is 0); nothing is
 * allocated for the caller and nothing needs freeing. When the result is larger than
 * `capacity`, the groups did not all fit: call again with an array of at least that many
 * elements. `unknown_pages` (may be NULL) receives the number of pages whose size could not
 * be read (a damaged box or page, a rotation that is not a multiple of 90, or pages the
 * walk did not reach in time); the groups' pages plus the unknown pages are the file's
 * page count. An unknown size is never guessed. Reentrant, as the count is; an unknown
 * `box` measures the crop box. */
__attribute__((visibility("default"))) int32_t GetFoliotallySizesAt(
    int dirfd, const char* path, uint32_t time_limit_ms, int32_t box, FoliotallyPageSize* sizes,
    int32_t capacity, int32_t* unknown_pages);

/* The same for a file the caller has open as `fd`, read as GetFoliotallyFd reads it. */
__attribute__((visibility("default"))) int32_t GetFoliotallySizesFd(int fd, uint32_t time_limit_ms,
                                                                    int32_t box,
                                                                    FoliotallyPageSize* sizes,
                                                                    int32_t capacity,
                                                                    int32_t* unknown_pages);

/* GetFoliotallyCountAt and GetFoliotallySizesAt in one reading of the file, for a caller that
 * wants both: returns what GetFoliotallySizesAt returns and fills `sizes` and
 * `unknown_pages` as it does, and writes to `*count` (may be NULL) what GetFoliotallyCountAt
 * writes, so that the verdict and reason are those of the reading that gave the sizes.
 * Memory as for GetFoliotallySizesAt: nothing is allocated for the caller. A call again
 * with a larger array, when the groups did not all fit, reads the file again. */
__attribute__((visibility("default"))) int32_t GetFoliotallyCountSizesAt(
    int dirfd, const char* path, uint32_t time_limit_ms, int32_t box, struct FoliotallyCount* count,
    FoliotallyPageSize* sizes, int32_t capacity, int32_t* unknown_pages);

/* The same for a file the caller has open as `fd`, read as GetFoliotallyFd reads it. */
__attribute__((visibility("default"))) int32_t GetFoliotallyCountSizesFd(
    int fd, uint32_t time_limit_ms, int32_t box, struct FoliotallyCount* count,
    FoliotallyPageSize* sizes, int32_t capacity, int32_t* unknown_pages);

#ifdef __cplusplus
}
#endif

#endif
