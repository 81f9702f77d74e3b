/* hushgate-yardstick: the least file work that status, block and unblock can
 * be done with, as the measure that hushgate-bench holds hushgate-cli to.
 *
 *   hushgate-yardstick status|block|unblock FILE
 *   hushgate-yardstick entries
 *
 * One pass through a 1 MiB buffer, lines handled as they go by, nothing kept
 * but the line being looked at. The rules are the engine's: a line's text is
 * its bytes up to LF with one CR just before the LF removed, and it is a
 * block entry only when that text equals an entry exactly. block writes the
 * non-empty lines, each with its own line end (a last line without one gets
 * LF), then the entries, each with LF; unblock writes the non-empty lines
 * that are no entry. Like hushgate-cli, block leaves a file that holds every
 * entry alone and unblock a file it would not change. A write goes to a
 * temporary file beside FILE, which is synced and renamed over FILE, and
 * the folder is synced; without the locks, recovery records and checks for
 * other writers of our engine, which are what the comparison shows the cost
 * of.
 *
 * Exit codes as hushgate-cli's: status 0 blocked, 1 not; 2 usage; 3 error. */

#define _POSIX_C_SOURCE 200809L

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h> /* mkstemp */
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "block_entries.h"

enum { kBufferSize = 1 << 20 };
static const char kPrefix[] = "127.0.0.1 ";

/* Entries by hash, so that a file of loopback lines costs no more than one
 * of other lines: 256 slots for 68 entries, open addressing. */
static unsigned char slots[256];
static size_t shortest = (size_t)-1, longest;

static unsigned hashOf(const char* text, size_t size) {
    unsigned h = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        h = (h ^ (unsigned char)text[i]) * 16777619u;
    }
    return h;
}

static void indexEntries(void) {
    for (int i = 0; i < BLOCK_ENTRY_COUNT; ++i) {
        const size_t size = strlen(kBlockEntries[i]);
        unsigned slot = hashOf(kBlockEntries[i], size) & 255u;
        while (slots[slot] != 0) {
            slot = (slot + 1) & 255u;
        }
        slots[slot] = (unsigned char)(i + 1);
        shortest = size < shortest ? size : shortest;
        longest = size > longest ? size : longest;
    }
}

/* The index of the entry equal to the text, or -1. */
static int entryOf(const char* text, size_t size) {
    if (size < shortest || size > longest || memcmp(text, kPrefix, sizeof kPrefix - 1) != 0) {
        return -1;
    }
    for (unsigned slot = hashOf(text, size) & 255u; slots[slot] != 0; slot = (slot + 1) & 255u) {
        const char* entry = kBlockEntries[slots[slot] - 1];
        if (strlen(entry) == size && memcmp(entry, text, size) == 0) {
            return slots[slot] - 1;
        }
    }
    return -1;
}

/* The temporary file while it is ours to remove. */
static const char* pending;

static int fail(const char* what, const char* path) {
    fprintf(stderr, "hushgate-yardstick: %s %s: %s\n", what, path, strerror(errno));
    if (pending != NULL) {
        unlink(pending);
    }
    return 3;
}

static int writeAll(int fd, const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t done = write(fd, bytes, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return -1;
        }
        bytes += done;
        size -= (size_t)done;
    }
    return 0;
}

/* The output of block and unblock: kept lines are gathered in a buffer of
 * their own and written in 1 MiB pieces. */
struct Output {
    int fd;
    size_t used;
    char* bytes;
};

static int put(struct Output* out, const char* bytes, size_t size) {
    if (out->used + size > kBufferSize) {
        if (writeAll(out->fd, out->bytes, out->used) != 0) {
            return -1;
        }
        out->used = 0;
        if (size > kBufferSize) {
            return writeAll(out->fd, bytes, size);
        }
    }
    memcpy(out->bytes + out->used, bytes, size);
    out->used += size;
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "entries") == 0) {
        for (int i = 0; i < BLOCK_ENTRY_COUNT; ++i) {
            puts(kBlockEntries[i]);
        }
        return fflush(stdout) == 0 ? 0 : 3;
    }
    const int status = argc == 3 && strcmp(argv[1], "status") == 0;
    const int block = argc == 3 && strcmp(argv[1], "block") == 0;
    const int unblock = argc == 3 && strcmp(argv[1], "unblock") == 0;
    if (!status && !block && !unblock) {
        fputs("usage: hushgate-yardstick status|block|unblock FILE | entries\n", stderr);
        return 2;
    }
    const char* const path = argv[2];
    indexEntries();

    const int in = open(path, O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (in < 0 || fstat(in, &st) != 0) {
        return fail("cannot read", path);
    }
    /* Static, so that nothing is left to free on any way out. */
    static char buffer[kBufferSize], outBytes[kBufferSize], temporary[4096];
    struct Output out = {-1, 0, outBytes};
    /* The temporary file is named after FILE. */
    const size_t pathSize = strlen(path);
    if (pathSize + sizeof ".yardstick-XXXXXX" > sizeof temporary) {
        fputs("hushgate-yardstick: path too long\n", stderr);
        return 3;
    }
    memcpy(temporary, path, pathSize);
    memcpy(temporary + pathSize, ".yardstick-XXXXXX", sizeof ".yardstick-XXXXXX");
    if (!status) {
        out.fd = mkstemp(temporary);
        pending = out.fd >= 0 ? temporary : NULL;
        if (out.fd < 0 || fchmod(out.fd, st.st_mode & 07777) != 0) {
            return fail("cannot create a file beside", path);
        }
    }

    char found[BLOCK_ENTRY_COUNT] = {0};
    int foundCount = 0;
    size_t dropped = 0; /* lines left out: empty lines, and entries on unblock */
    size_t held = 0;    /* bytes of a line not yet ended at the buffer's start */
    int passing = 0;    /* inside a line longer than the buffer: no entry, not empty */
    for (;;) {
        const ssize_t got = read(in, buffer + held, kBufferSize - held);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return fail("cannot read", path);
        }
        const int atEnd = got == 0;
        const char* const end = buffer + held + got;
        const char* line = buffer;
        const char* keepFrom = buffer; /* start of the run of kept lines not yet put */
        for (;;) {
            const char* lf = memchr(line, '\n', (size_t)(end - line));
            if (lf == NULL) {
                break;
            }
            const char* const next = lf + 1;
            if (passing) {
                passing = 0;
                line = next;
                continue;
            }
            const size_t size = (size_t)(lf - line) - (lf > line && lf[-1] == '\r');
            const int entry = size == 0 ? -1 : entryOf(line, size);
            if (entry >= 0 && !found[entry]) {
                found[entry] = 1;
                ++foundCount;
            }
            if (size == 0 || (unblock && entry >= 0)) {
                ++dropped;
                if (!status && put(&out, keepFrom, (size_t)(line - keepFrom)) != 0) {
                    return fail("cannot write beside", path);
                }
                keepFrom = next;
            }
            line = next;
        }
        /* Whatever follows the last LF is a line not yet ended: at the end of
         * the file it is the last line, else it waits for the next read. */
        if (!status && put(&out, keepFrom, (size_t)(line - keepFrom)) != 0) {
            return fail("cannot write beside", path);
        }
        if (atEnd) {
            const int entry = passing ? -1 : entryOf(line, (size_t)(end - line));
            if (entry >= 0 && !found[entry]) {
                found[entry] = 1;
                ++foundCount;
            }
            if (unblock && entry >= 0) {
                ++dropped;
            } else if ((line < end || passing) && !status &&
                       (put(&out, line, (size_t)(end - line)) != 0 || put(&out, "\n", 1) != 0)) {
                return fail("cannot write beside", path);
            }
            break;
        }
        held = (size_t)(end - line);
        if (held == kBufferSize) {
            /* A line of 1 MiB and more is neither empty nor an entry: it
             * goes through as it is, up to its LF. */
            if (!status && put(&out, buffer, held) != 0) {
                return fail("cannot write beside", path);
            }
            held = 0;
            passing = 1;
        } else {
            memmove(buffer, line, held);
        }
    }
    close(in);

    const int blocked = foundCount == BLOCK_ENTRY_COUNT;
    if (status) {
        puts(blocked ? "blocked" : "unblocked");
        return fflush(stdout) != 0 ? 3 : blocked ? 0 : 1;
    }
    /* What hushgate-cli leaves unwritten: a file already blocked, and a
     * file without entry lines and empty lines. */
    const int unchanged = block ? blocked : dropped == 0;
    if (block && !unchanged) {
        for (int i = 0; i < BLOCK_ENTRY_COUNT; ++i) {
            if (put(&out, kBlockEntries[i], strlen(kBlockEntries[i])) != 0 ||
                put(&out, "\n", 1) != 0) {
                return fail("cannot write beside", path);
            }
        }
    }
    if (unchanged) {
        close(out.fd);
        unlink(temporary);
        return 0;
    }
    if (writeAll(out.fd, out.bytes, out.used) != 0 || fsync(out.fd) != 0 || close(out.fd) != 0) {
        return fail("cannot write beside", path);
    }
    if (rename(temporary, path) != 0) {
        return fail("cannot replace", path);
    }
    pending = NULL;
    /* The rename itself lasts only once the folder is on disk. */
    char* const slash = strrchr(temporary, '/');
    const char* folder = ".";
    if (slash != NULL) {
        slash[slash == temporary] = '\0';
        folder = temporary;
    }
    const int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0 || fsync(dir) != 0) {
        return fail("cannot sync the folder of", path);
    }
    close(dir);
    return 0;
}
