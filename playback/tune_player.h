/* tune_player.h - the program's only contact with the tune engine.
 *
 * Threads: player_ready and player_shutdown run on the initial thread (once
 * each, before and after the worker); play_callback runs on the engine's
 * audio thread; everything else runs on the worker.
 * Nothing here reports failure to its caller: a tune that fails to load
 * simply does not stream, and the engine's last error text tells the user
 * why (failed_loads() lets the error line tell a new failure from an old).
 */
#ifndef PLAYBACK_TUNE_PLAYER_H
#define PLAYBACK_TUNE_PLAYER_H

#include <atomic>
#include <cstdint>

/* Length of the loaded tune in the callback's units (ticks); 0 at start.
 * Written by the worker after each start, read by the audio thread. */
extern std::atomic<int32_t> tune_length;
/* Progress of the streaming tune, position / tune_length; 0 at start and
 * whenever nothing streams. Written only by play_callback. */
extern std::atomic<float> play_fraction;

/* Opens the engine's output: 2 channels, 22050 Hz, 16 bits, 0.1 s buffer. */
void player_ready();

/* Stops and releases any tune, loads the selected slot's file, starts it at
 * position (0 or a value stop_tune returned) and sets tune_length from the
 * tune's information (beat_num x beat_clock x meas_num, wrapping as 32-bit;
 * 0 when the engine has no tune). */
void load_and_start(int32_t position);

/* How many loads have failed so far; the engine's error text says why the
 * last one did. */
int32_t failed_loads();

/* beat_clock x beat_num x meas_num, wrapping as a 32-bit product does
 * (never signed overflow). */
int32_t tune_length_from(int32_t beat_num, int32_t beat_clock, int32_t meas_num);

/* Stops the tune; returns the engine's position to resume from. */
int32_t stop_tune();

/* Hands the loop mode (1 or 0) to the engine. */
void set_loop(int32_t flag);

bool is_streaming();

float play_fraction_now();

/* The engine's last error text, never NULL. */
const char *last_error_text();

/* Releases the tune and the engine. */
void player_shutdown();

/* The engine's play callback: keeps play_fraction current. Returns position
 * while streaming, else 0. A tune_length of 0 or less gives a fraction of 0. */
int32_t play_callback(int32_t position);

#endif
