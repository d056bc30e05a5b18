/* floor_writer PATH BYTES: the least a process can do to leave a sound file
 * of BYTES bytes at PATH: start, write zeros in 64 KiB blocks, close, exit.
 * render_bench times it beside ptrender to show what starting a process and
 * writing the output cost on this machine before any rendering. Linked
 * statically, so no dynamic loading is counted either. Exit 0 on success. */
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

static char block[1 << 16];

int main(int argc, char **argv) {
    if (argc != 3) return 2;
    long long left = atoll(argv[2]);
    int fd = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return 1;
    while (left > 0) {
        ssize_t n = write(fd, block, left < (long long)sizeof block ? (size_t)left : sizeof block);
        if (n <= 0) return 1;
        left -= n;
    }
    return close(fd) == 0 ? 0 : 1;
}
