/* sheet_pieces.h - where each interface piece lies in the skin sheet
 * ("UI.bmp") and where it is drawn in the window.
 * Source rectangles have exclusive right and bottom edges.
 */
#ifndef UI_SHEET_PIECES_H
#define UI_SHEET_PIECES_H

#include <cstdint>

#include "app/player_state.h"

struct sheet_rect {
    int32_t x1, y1, x2, y2;
};

struct screen_point {
    int32_t x, y;
};

constexpr sheet_rect CURSOR_PIECE = {0, 0, 16, 16};
constexpr screen_point TEXT_COLOUR_SAMPLE = {24, 8};

/* Column buttons in the order of column_button: [0] normal, [1] lit. */
constexpr sheet_rect BUTTON_PIECES[2][BUTTON_COUNT] = {
    {{32, 0, 58, 16}, {58, 0, 84, 16}, {84, 0, 110, 16}, {110, 0, 136, 16},
     {136, 0, 162, 16}, {162, 0, 188, 16}, {188, 0, 214, 16}, {214, 0, 240, 16}},
    {{32, 16, 58, 32}, {58, 16, 84, 32}, {84, 16, 110, 32}, {110, 16, 136, 32},
     {136, 16, 162, 32}, {162, 16, 188, 32}, {188, 16, 214, 32}, {214, 16, 240, 32}},
};
constexpr screen_point BUTTON_PLACES[BUTTON_COUNT] = {
    {6, 28}, {6, 53}, {6, 78}, {6, 103}, {6, 128}, {6, 153}, {6, 178}, {6, 203},
};

/* List rows: [0] normal, [1] the current tune. Row j is drawn ROW_PITCH
 * pixels below row j - 1. */
constexpr sheet_rect ROW_PIECES[2] = {{0, 32, 220, 48}, {0, 48, 220, 64}};
constexpr screen_point ROW_PLACE = {40, 50};
constexpr screen_point ROW_NUMBER_END = {67, 55};  /* right end of the number */
constexpr screen_point ROW_NAME_PLACE = {74, 54};

/* Scroll arrows: [0] normal, [1] held. */
constexpr sheet_rect UP_ARROW_PIECES[2] = {{220, 32, 236, 48}, {220, 48, 236, 64}};
constexpr sheet_rect DOWN_ARROW_PIECES[2] = {{236, 32, 252, 48}, {236, 48, 252, 64}};
constexpr screen_point UP_ARROW_PLACE = {264, 50};
constexpr screen_point DOWN_ARROW_PLACE = {264, 203};

constexpr sheet_rect TROUGH_PIECE = {0, 64, 240, 78};
constexpr screen_point TROUGH_PLACE = {40, 29};
constexpr sheet_rect TITLE_PIECE = {0, 78, 288, 98};
constexpr screen_point TITLE_PLACE = {0, 0};

/* The progress fill is cut from the right-hand end of this strip, as wide
 * as the bar, so the strip's right end always sits at the leading edge. */
constexpr sheet_rect FILL_STRIP = {0, 100, 240, 112};
constexpr screen_point FILL_PLACE = {41, 30};

constexpr screen_point ERROR_LINE_PLACE = {2, 219};

#endif
