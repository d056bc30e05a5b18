#include "ui/display_name.h"

#include <cstring>

static unsigned char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a')
                                : static_cast<unsigned char>(c);
}

/* Whether text orders at or after ".pt", letters folded to lower case. */
static bool orders_from_pt(const char *text)
{
    for (const char *pt = ".pt"; *pt; pt++, text++)
        if (folded(*text) != static_cast<unsigned char>(*pt))
            return folded(*text) > static_cast<unsigned char>(*pt);
    return true;
}

size_t shown_part(const char *name)
{
    const char *dot = std::strchr(name, '.');
    if (dot && orders_from_pt(dot))
        return static_cast<size_t>(dot - name);
    return std::strlen(name);
}

void list_text(const char *name, char *out)
{
    name_text(name, shown_part(name), SHOWN_NAME_MAX, "...", out, LIST_TEXT_BYTES);
}
