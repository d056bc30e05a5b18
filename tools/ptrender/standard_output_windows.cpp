#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "standard_output.h"

bool stdout_is_terminal() { return _isatty(_fileno(stdout)); }

bool stdout_rewritable() {
    // (cmd's ">>" leaves the file's position at its end)
    HANDLE out = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout)));
    return out != INVALID_HANDLE_VALUE && GetFileType(out) == FILE_TYPE_DISK &&
           _lseeki64(_fileno(stdout), 0, SEEK_CUR) == 0;
}

int stdout_descriptor() { return _fileno(stdout); }

bool write_stdout(const char *data, size_t size) {
    _setmode(_fileno(stdout), _O_BINARY);
    while (size > 0) {
        const unsigned chunk = size < (1u << 30) ? unsigned(size) : 1u << 30;
        const int n = _write(_fileno(stdout), data, chunk);
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// The C library's own tmpfile() makes its file in the root of the drive,
// where a user may not write.
std::FILE *temporary_file() {
    wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH || !GetTempFileNameW(folder, L"ptr", 0, name))
        return nullptr;
    // "D": deleted once closed; "T": kept in memory as far as it can be.
    return _wfopen(name, L"w+bTD");
}
