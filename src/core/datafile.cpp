// Data files are opened only when they are ordinary files, so that a folder,
// a pipe or a device in their place is named as such instead of read as
// nothing or waited on for ever.

#include "core/datafile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

// An ordinary file, or the fault written into why.
static int PlainFile(const char *path, char *why, int whyLen)
{
    struct stat st;
    if (stat(path, &st) != 0) {
        snprintf(why, whyLen, "cannot open it: %s", strerror(errno));
        return 0;
    }
    if (S_ISDIR(st.st_mode)) {
        snprintf(why, whyLen, "is a folder, not a file");
        return 0;
    }
    if (!S_ISREG(st.st_mode)) {
        snprintf(why, whyLen, "is not an ordinary file (a pipe or a device)");
        return 0;
    }
    return 1;
}

FILE *OpenDataFile(const char *path, char *why, int whyLen)
{
    if (!PlainFile(path, why, whyLen))
        return NULL;
    FILE *f = fopen(path, "rb");
    if (!f)
        snprintf(why, whyLen, "cannot open it: %s", strerror(errno));
    return f;
}

int OpenDataDescriptor(const char *path, char *why, int whyLen)
{
    if (!PlainFile(path, why, whyLen))
        return -1;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        snprintf(why, whyLen, "cannot open it: %s", strerror(errno));
    return fd;
}

const char *FullDataPath(const char *path)
{
    static char full[4096 + 256];
    char dir[4096];
    if (!getcwd(dir, sizeof dir))
        return path;
    snprintf(full, sizeof full, "%s%s%s", dir, strcmp(dir, "/") ? "/" : "", path);
    return full;
}

void DataFault(const char *path, const char *why)
{
    fprintf(stderr, "kestravale: %s: %s\n", FullDataPath(path), why);
    exit(1);
}
