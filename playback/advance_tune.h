/* advance_tune.h - the per-frame progress update and end-of-tune advance.
 *
 * advance_tune() runs once per frame on the worker, after the controls:
 * it sets player_state.bar_width from the play fraction, and when the list
 * is not empty, nothing streams, loop mode is off and the transport is armed
 * (countdown exactly 1), it starts the next tune: the following one in list
 * order (wrapping to 1), or with shuffle on a random one other than the
 * current when there are two or more. The transport stays armed.
 */
#ifndef PLAYBACK_ADVANCE_TUNE_H
#define PLAYBACK_ADVANCE_TUNE_H

#include <cstdint>

constexpr int BAR_FULL_WIDTH = 240;

/* fraction x 240 truncated toward zero; 0 for NaN, saturated to the int32
 * range for fractions too large to convert. */
int32_t bar_width_for(float fraction);

void advance_tune();

#endif
