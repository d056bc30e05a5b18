#include "standard_output.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool stdout_is_terminal() { return isatty(STDOUT_FILENO); }

bool stdout_rewritable() {
    struct stat st;
    if (fstat(STDOUT_FILENO, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const int flags = fcntl(STDOUT_FILENO, F_GETFL);
    return flags != -1 && !(flags & O_APPEND) && lseek(STDOUT_FILENO, 0, SEEK_CUR) == 0;
}

int stdout_descriptor() { return STDOUT_FILENO; }

bool write_stdout(const char *data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(STDOUT_FILENO, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

std::FILE *temporary_file() { return std::tmpfile(); }
