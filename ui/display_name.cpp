#include "ui/display_name.h"

#include <cstring>

void shorten_for_list(char *text)
{
    char *dot = std::strchr(text, '.');
    if (dot && std::strcmp(dot, ".pt") >= 0)
        *dot = '\0';
    if (std::strlen(text) > SHOWN_NAME_MAX)
        std::memcpy(text + SHOWN_NAME_KEPT, "...", 4);
}
