/* transport.h - the transport actions the controls trigger.
 *
 * Each works on player_state and the tune player; all run on the worker
 * thread inside a frame. Actions that start a tune with settling set
 * transport_countdown to SETTLE_FRAMES, which keeps the end-of-tune advance
 * from firing until the countdown has fallen to 1.
 */
#ifndef PLAYBACK_TRANSPORT_H
#define PLAYBACK_TRANSPORT_H

#include <cstdint>

constexpr int32_t SETTLE_FRAMES = 10;
constexpr int32_t VISIBLE_ROWS = 10;

/* A list row was clicked: makes tune n current and starts it from 0.
 * The caller guarantees n != current_tune and n <= tune_count. */
void pick_tune(int32_t n);

/* Starts previous_tune from 0 and swaps it with current_tune, then scrolls
 * the list so the current tune is visible. previous_tune is not checked
 * against tune_count. */
void go_back();

/* Stops playback (countdown 0) and keeps the engine's resume position. */
void stop_play();

/* Reloads the current tune and starts it at resume_position. */
void resume_play();

/* Starts the selected tune again from 0, armed at once (countdown 1). */
void restart_play();

/* Scrolls the list the least needed for tune n to be in the visible rows. */
void bring_into_view(int32_t n);

#endif
