// fuzz_skin: skin files as a downloaded skin may hold them, through the
// program's own skin loading (the file reading, the header checks, the image
// loader on UI.bmp and BG.bmp, the built-in skin when either is refused),
// then one whole frame drawn with whatever was loaded.
//
// Input (see skin_input.h): which of the two files exist, then UI.bmp's bytes
// and BG.bmp's. The files are written into a folder of the fuzzer's own,
// which is its current folder. A broken contract aborts, so libFuzzer keeps
// the input. The loader says on stderr why it refuses a file, thousands of
// times a second: fuzz/run closes the target's stderr (libFuzzer and the
// sanitizers keep their own).
#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/skin_input.h"
#include "ui/frame_drawing.h"
#include "ui/skin.h"

namespace {

std::string folder;

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_skin: %s\n", what);
        std::abort();
    }
}

void remove_folder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void put_file(const char *name, bool present, const uint8_t *data, size_t size)
{
    std::remove(name);
    if (!present)
        return;
    FILE *file = std::fopen(name, "wb");
    require(file != nullptr, "cannot write into the fuzzer's folder");
    require(std::fwrite(data, 1, size, file) == size, "short write");
    std::fclose(file);
}

void draw_one_frame()
{
    tile_backdrop();
    draw_title_strip();
    draw_column_buttons();
    draw_progress_bar();
    draw_list_rows();
    draw_scroll_arrows();
    draw_error_line();
    draw_cursor();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz_skin-XXXXXX").string();
    require(mkdtemp(pattern.data()) != nullptr, "cannot make a folder");
    folder = pattern;
    std::atexit(remove_folder);
    require(chdir(folder.c_str()) == 0, "cannot enter the folder");
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    mouse_x = 100;
    mouse_y = 100;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    skin_input in = split_skin_input(data, size);
    put_file("UI.bmp", in.sheet_present, in.sheet, in.sheet_size);
    put_file("BG.bmp", in.tile_present, in.tile, in.tile_size);
    load_skin();
    require(skin_sheet && backdrop_tile && back_buffer, "an image is missing after loading");
    require(skin_sheet->w >= SHEET_MIN_W && skin_sheet->h >= SHEET_MIN_H,
            "a sheet smaller than the pieces it holds");
    require(backdrop_tile->w >= 1 && backdrop_tile->h >= 1, "an empty backdrop");
    require(back_buffer->w == WINDOW_W && back_buffer->h == WINDOW_H,
            "a back buffer of the wrong size");
    require(bitmap_color_depth(back_buffer) == bitmap_color_depth(skin_sheet),
            "the back buffer's depth differs from the sheet's");
    draw_one_frame();
    release_skin();
    return 0;
}
