#include "tunes/tune_list.h"

#include <cstring>

static char tune_names[TUNE_CAPACITY][NAME_SLOT_BYTES];
static int32_t selected = 0;

void clear_tune_list()
{
    std::memset(tune_names, 0, sizeof tune_names);
}

bool add_tune(const char *name, int32_t index)
{
    if (index < 0 || index >= TUNE_CAPACITY)
        return false;
    size_t length = std::strlen(name);
    if (length >= NAME_SLOT_BYTES)
        return false;
    std::memcpy(tune_names[index], name, length + 1);
    return true;
}

const char *tune_name(int32_t slot)
{
    if (slot < 0 || slot >= TUNE_CAPACITY)
        return "";
    return tune_names[slot];
}

void select_slot(int32_t index)
{
    if (index >= TUNE_CAPACITY)
        selected = 0;
    else if (index < 0)
        selected = TUNE_CAPACITY - 1;
    else
        selected = index;
}

int32_t selected_slot()
{
    return selected;
}
