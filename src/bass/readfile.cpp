// Opening without blocking lets a FIFO be told from a file before anything
// waits on it; the size comes from fstat, never from seeking to the end.

#include "bass/readfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

static int OpenPlainFile(const char *path, size_t *size, const char **why)
{
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = errno == ENOENT ? "missing" : errno == EISDIR ? "a folder, not a file" : strerror(errno);
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) < 0) {
        *why = strerror(errno);
        close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = S_ISDIR(st.st_mode) ? "a folder, not a file" : "not a plain file";
        close(fd);
        return -1;
    }
    if (st.st_size <= 0) {
        *why = "empty";
        close(fd);
        return -1;
    }
    if (st.st_size > BASS_MAX_FILE) {
        *why = "larger than 16 MiB, too large for a sound of the game";
        close(fd);
        return -1;
    }
    *size = size_t(st.st_size);
    return fd;
}

Uint8 *ReadSoundFile(const char *path, size_t *size, const char **why)
{
    size_t want = 0;
    int fd = OpenPlainFile(path, &want, why);
    if (fd < 0)
        return NULL;
    Uint8 *data = (Uint8 *)malloc(want);
    size_t got = 0;
    while (data && got < want) {
        ssize_t n = read(fd, data + got, want - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    close(fd);
    if (!data || got < want) {
        *why = data ? "could not be read whole" : "no memory to read it";
        free(data);
        return NULL;
    }
    *size = want;
    return data;
}
