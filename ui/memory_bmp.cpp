#include "ui/memory_bmp.h"

#include <algorithm>
#include <cstring>

#include "ui/bmp_check.h"

namespace {

struct memory_reader {
    const unsigned char *data;
    size_t size;
    size_t pos;
};

memory_reader &reader_of(void *userdata)
{
    return *static_cast<memory_reader *>(userdata);
}

int reader_close(void *)
{
    return 0;
}

int reader_getc(void *userdata)
{
    memory_reader &r = reader_of(userdata);
    return r.pos < r.size ? r.data[r.pos++] : EOF;
}

int reader_ungetc(int c, void *userdata)
{
    memory_reader &r = reader_of(userdata);
    if (r.pos == 0 || r.data[r.pos - 1] != static_cast<unsigned char>(c))
        return EOF;
    r.pos--;
    return c;
}

long reader_read(void *p, long n, void *userdata)
{
    memory_reader &r = reader_of(userdata);
    if (n <= 0)
        return 0;
    size_t count = std::min(static_cast<size_t>(n), r.size - r.pos);
    std::memcpy(p, r.data + r.pos, count);
    r.pos += count;
    return static_cast<long>(count);
}

int reader_putc(int, void *)
{
    return EOF;
}

long reader_write(const void *, long, void *)
{
    return 0;
}

/* Allegro's seeks are forward and relative to the current position. */
int reader_seek(void *userdata, int offset)
{
    memory_reader &r = reader_of(userdata);
    if (offset < 0 || static_cast<size_t>(offset) > r.size - r.pos)
        return -1;
    r.pos += offset;
    return 0;
}

int reader_eof(void *userdata)
{
    memory_reader &r = reader_of(userdata);
    return r.pos >= r.size;
}

int reader_error(void *)
{
    return 0;
}

PACKFILE_VTABLE MEMORY_VTABLE = {
    reader_close, reader_getc, reader_ungetc, reader_read, reader_putc,
    reader_write, reader_seek, reader_eof,   reader_error,
};

}  // namespace

BITMAP *load_bmp_from_memory(const unsigned char *data, size_t size)
{
    if (bmp_header_problem(data, size, static_cast<long>(size)))
        return nullptr;
    memory_reader reader{data, size, 0};
    PACKFILE *file = pack_fopen_vtable(&MEMORY_VTABLE, &reader);
    if (!file)
        return nullptr;
    BITMAP *bitmap = load_bmp_pf(file, nullptr);
    pack_fclose(file);
    return bitmap;
}
