// fuzz_names: file names as the folder scan finds them, through the slot copy
// (add_tune, tune_name) and the list's way of showing them (the extension cut
// and the "..." shortening, then the real row drawing with Allegro's font).
//
// Input: two bytes that choose the first slot (from 2 below the table to 2
// past it), then names separated by NUL bytes, put in consecutive slots. A
// broken contract aborts, so libFuzzer keeps the input.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/player_state.h"
#include "tunes/tune_list.h"
#include "ui/display_name.h"
#include "ui/frame_drawing.h"
#include "ui/skin.h"

namespace {

constexpr int LIST_TEXT_BYTES = 128;

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_names: %s\n", what);
        std::abort();
    }
}

void check_slot_copy(const std::string &name, int32_t slot)
{
    bool fits = slot >= 0 && slot < TUNE_CAPACITY && name.size() < NAME_SLOT_BYTES;
    bool added = add_tune(name.c_str(), slot);
    require(added == fits, "add_tune accepted what does not fit, or refused what does");
    const char *kept = tune_name(slot);
    require(std::strlen(kept) < NAME_SLOT_BYTES, "a slot holds more than 63 bytes");
    if (added)
        require(name == kept, "a slot does not hold the name given");
}

// The list shows a prefix of the name, or its first 20 bytes and "...".
void check_shown_name(const char *name)
{
    char text[LIST_TEXT_BYTES] = {};
    std::strncpy(text, name, LIST_TEXT_BYTES - 1);
    shorten_for_list(text);
    size_t shown = std::strlen(text);
    require(shown <= SHOWN_NAME_MAX, "a shown name is longer than 23 bytes");
    bool prefix = std::strncmp(text, name, shown) == 0;
    bool cut = shown == SHOWN_NAME_KEPT + 3 &&
               std::strncmp(text, name, SHOWN_NAME_KEPT) == 0 &&
               std::strcmp(text + SHOWN_NAME_KEPT, "...") == 0;
    require(prefix || cut, "a shown name is not taken from the file name");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    load_skin();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    int32_t first = (data[0] | data[1] << 8) % (TUNE_CAPACITY + 5) - 2;
    clear_tune_list();
    int32_t slot = first;
    const char *at = reinterpret_cast<const char *>(data + 2);
    const char *end = reinterpret_cast<const char *>(data + size);
    while (at < end) {
        const char *stop = static_cast<const char *>(std::memchr(at, '\0', size_t(end - at)));
        if (!stop)
            stop = end;
        std::string name(at, stop);
        check_slot_copy(name, slot);
        check_shown_name(tune_name(slot));
        slot++;
        at = stop + 1;
    }
    player_state.top_row = first + 1;
    player_state.current_tune = first + 2;
    player_state.tune_count = slot - first;
    draw_list_rows();
    return 0;
}
