// fuzz_names: file names as the folder scan finds them, through the slot copy
// (add_tune, tune_name) and the list's way of showing them (the extension cut,
// the text the font draws for any bytes, the "..." shortening, then the real
// row drawing with Allegro's font).
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

// Characters in text when it is well-formed UTF-8, else -1.
int utf8_characters(const char *text)
{
    int chars = 0;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; chars++) {
        int n = *p < 0x80 ? 1 : *p >= 0xC2 && *p < 0xE0 ? 2 : *p >= 0xE0 && *p < 0xF0 ? 3
              : *p >= 0xF0 && *p < 0xF5 ? 4 : 0;
        if (n == 0)
            return -1;
        for (int k = 1; k < n; k++)
            if ((p[k] & 0xC0) != 0x80)
                return -1;
        p += n;
    }
    return chars;
}

// The list shows well-formed UTF-8 of at most 23 characters: the text of
// the name up to its extension, or the first 20 characters of it and "...".
void check_shown_name(const char *name)
{
    char text[LIST_TEXT_BYTES];
    list_text(name, text);
    int chars = utf8_characters(text);
    require(chars >= 0, "a shown name is not UTF-8");
    require(chars <= SHOWN_NAME_MAX, "a shown name is longer than 23 characters");
    char whole[text_bytes_for(NAME_SLOT_BYTES)];
    name_text(name, shown_part(name), NAME_SLOT_BYTES, "", whole, sizeof whole);
    size_t shown = std::strlen(text);
    bool same = std::strcmp(text, whole) == 0;
    bool cut = chars == SHOWN_NAME_MAX && shown >= 3 && std::strcmp(text + shown - 3, "...") == 0 &&
               std::strncmp(text, whole, shown - 3) == 0;
    require(same || cut, "a shown name is not taken from the file name");
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
