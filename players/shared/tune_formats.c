#include "tune_formats.h"

#include <string.h>
#include <strings.h>

const tune_format TUNE_FORMATS[TUNE_FORMAT_COUNT] = {
    {BW_FORMAT_PTCOP, "ptcop", TUNE_PTCOP_MIME_TYPE},
    {BW_FORMAT_PTTUNE, "pttune", TUNE_PTTUNE_MIME_TYPE},
};

const char *const TUNE_EXTENSIONS[TUNE_FORMAT_COUNT + 1] = {"ptcop", "pttune", NULL};
const char *const TUNE_MIME_TYPES[TUNE_FORMAT_COUNT + 1] = {TUNE_PTCOP_MIME_TYPE, TUNE_PTTUNE_MIME_TYPE, NULL};

const tune_format *tune_format_of_bytes(const void *data, size_t size)
{
    const int format = bw_probe(data, size);
    for (int i = 0; i < TUNE_FORMAT_COUNT; i++)
        if (TUNE_FORMATS[i].format == format)
            return &TUNE_FORMATS[i];
    return NULL;
}

const tune_format *tune_format_of_name(const char *name)
{
    const char *dot = name ? strrchr(name, '.') : NULL;
    if (dot == NULL || strchr(dot, '/') != NULL)
        return NULL;
    for (int i = 0; i < TUNE_FORMAT_COUNT; i++)
        if (strcasecmp(dot + 1, TUNE_FORMATS[i].extension) == 0)
            return &TUNE_FORMATS[i];
    return NULL;
}
