#include "tune_tags.h"

#include <limits.h>

int tune_passes_of_setting(long long loops)
{
    if (loops < 0)
        return TUNE_LOOPS_DEFAULT;
    return loops > INT_MAX ? INT_MAX : (int)loops;
}

static const char *shown(const char *text)
{
    return text && *text ? text : NULL;
}

int tune_tags_read(bw_tune *tune, tune_tags *tags)
{
    bw_info info;
    if (!bw_get_info(tune, &info, sizeof info))
        return 0;
    tags->title = shown(info.title);
    tags->comment = shown(info.comment);
    tags->frames = bw_output_frames(tune);
    return 1;
}

int64_t tune_frames_in(int64_t frames, int rate, int64_t per_second)
{
    if (frames < 0 || rate <= 0)
        return -1;
    /* no overflow for any output the library gives (at most 5 hours) and per_second up to 10^9 */
    const int64_t whole = frames / rate, part = frames % rate;
    return whole * per_second + (part * per_second + rate / 2) / rate;
}
