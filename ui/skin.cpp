#include "ui/skin.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/bmp_check.h"
#include "ui/builtin_skin.h"
#include "ui/memory_bmp.h"

BITMAP *skin_sheet = nullptr;
BITMAP *backdrop_tile = nullptr;
BITMAP *back_buffer = nullptr;
int text_colour = 0;

/* Larger files cannot be sensible skins; refusing them bounds memory. */
constexpr long SKIN_FILE_MAX_BYTES = 64L << 20;

/* Reads a whole file; on failure returns false and says why. */
static bool read_file(const char *name, std::vector<unsigned char> &bytes, std::string &why)
{
    FILE *file = std::fopen(name, "rb");
    if (!file) {
        why = errno == ENOENT ? "not found" : std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        why = "is not a file";
        return false;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    bool ok = size >= 0 && size <= SKIN_FILE_MAX_BYTES && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok)
        why = size > SKIN_FILE_MAX_BYTES ? "is too large to be a skin image" : "cannot be read";
    return ok;
}

/* Loads one skin image from the current folder; on failure returns NULL
 * and says why. */
static BITMAP *load_skin_file(const char *name, int min_w, int min_h, std::string &why)
{
    std::vector<unsigned char> bytes;
    if (!read_file(name, bytes, why))
        return nullptr;
    if (const char *problem = bmp_header_problem(bytes.data(), bytes.size(),
                                                 static_cast<long>(bytes.size()))) {
        why = problem;
        return nullptr;
    }
    BITMAP *image = load_bmp_from_memory(bytes.data(), bytes.size());
    if (!image) {
        why = "could not be loaded";
        return nullptr;
    }
    if (image->w < min_w || image->h < min_h) {
        why = "is " + std::to_string(image->w) + " x " + std::to_string(image->h) +
              ", smaller than " + std::to_string(min_w) + " x " + std::to_string(min_h);
        destroy_bitmap(image);
        return nullptr;
    }
    return image;
}

static void destroy_if(BITMAP *&image)
{
    if (image)
        destroy_bitmap(image);
    image = nullptr;
}

/* A plain grey sheet and tile, for a build whose embedded skin is broken:
 * the program stays usable without pictures. */
static void make_blank_skin()
{
    skin_sheet = create_bitmap(SHEET_MIN_W, SHEET_MIN_H);
    backdrop_tile = create_bitmap(1, 1);
    clear_to_color(skin_sheet, makecol(200, 200, 200));
    clear_to_color(backdrop_tile, makecol(64, 64, 64));
}

static void use_builtin_skin()
{
    destroy_if(skin_sheet);
    destroy_if(backdrop_tile);
    skin_sheet = load_bmp_from_memory(BUILTIN_UI_BMP, BUILTIN_UI_BMP_SIZE);
    backdrop_tile = load_bmp_from_memory(BUILTIN_BG_BMP, BUILTIN_BG_BMP_SIZE);
    if (skin_sheet && backdrop_tile && skin_sheet->w >= SHEET_MIN_W &&
        skin_sheet->h >= SHEET_MIN_H)
        return;
    std::fprintf(stderr, "brindlewick: the built-in skin is damaged; drawing a blank one\n");
    destroy_if(skin_sheet);
    destroy_if(backdrop_tile);
    make_blank_skin();
}

void load_skin()
{
    std::string sheet_why, tile_why;
    skin_sheet = load_skin_file("UI.bmp", SHEET_MIN_W, SHEET_MIN_H, sheet_why);
    backdrop_tile = load_skin_file("BG.bmp", 1, 1, tile_why);
    if (!skin_sheet)
        std::fprintf(stderr, "brindlewick: UI.bmp %s; using the built-in skin\n", sheet_why.c_str());
    if (!backdrop_tile)
        std::fprintf(stderr, "brindlewick: BG.bmp %s; using the built-in skin\n", tile_why.c_str());
    if (!skin_sheet || !backdrop_tile)
        use_builtin_skin();
    back_buffer = create_bitmap_ex(bitmap_color_depth(skin_sheet), WINDOW_W, WINDOW_H);
    clear_bitmap(back_buffer);
    text_colour = getpixel(skin_sheet, 24, 8);
}

void release_skin()
{
    destroy_if(skin_sheet);
    destroy_if(backdrop_tile);
    destroy_if(back_buffer);
}
