/* hit_areas.h - where the controls answer the mouse, in window pixels.
 * Both ends of every range are inclusive; each area is one pixel inside the
 * piece drawn for it, so a piece's edge pixels do not count as hits.
 */
#ifndef UI_HIT_AREAS_H
#define UI_HIT_AREAS_H

#include <cstdint>

#include "app/player_state.h"

struct hit_area {
    int32_t x1, y1, x2, y2;
};

/* The column buttons, in the order of column_button. */
constexpr hit_area BUTTON_AREAS[BUTTON_COUNT] = {
    {7, 29, 31, 42},    /* rescan */
    {7, 54, 31, 67},    /* shuffle */
    {7, 79, 31, 92},    /* back */
    {7, 104, 31, 117},  /* stop */
    {7, 129, 31, 142},  /* play */
    {7, 154, 31, 167},  /* restart */
    {7, 179, 31, 192},  /* loop */
    {7, 204, 31, 217},  /* exit */
};

constexpr hit_area SCROLL_UP_AREA = {265, 51, 278, 64};
constexpr hit_area SCROLL_DOWN_AREA = {265, 204, 278, 217};

constexpr int32_t ROW_PITCH = 17;

/* List row j (0 = the first visible row). */
constexpr hit_area row_area(int32_t j)
{
    return {41, 51 + ROW_PITCH * j, 258, 64 + ROW_PITCH * j};
}

#endif
