/* pxtone.h - Brindlewick's tune engine: reads ".ptcop" and ".pttune" tunes,
 * synthesises them and streams them to the sound card.
 *
 * One engine per process. Every call may be made in any order: calls that
 * need something not there (a tune, a device) fail with an error text and
 * no other effect.
 *
 * Threads. All calls are made from one control thread (the program's worker),
 * except that pxtone_Tune_IsStreaming may also be called from inside the
 * play callback, and pxtone_Ready/pxtone_Release from the thread that owns
 * the engine's lifetime, while no other call is in progress. The play callback
 * runs on the engine's audio thread with no engine lock held.
 *
 * Errors. Every failing call leaves a short text (at most 36 characters),
 * read with pxtone_GetLastError. The text stays until the next failure.
 *
 * Units. Positions given out by pxtone_Tune_Stop and taken by
 * pxtone_Tune_Start are sample frames at the output rate chosen in
 * pxtone_Ready, counted from the start of the song. The play callback gets
 * the position of the sound being handed out, in ticks (see
 * pxtone_Tune_GetInformation).
 */
#ifndef PXTONE_H
#define PXTONE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Called once per audio buffer, on the engine's audio thread, with the
 * position in ticks of the sound in that buffer. May call
 * pxtone_Tune_IsStreaming. Its result is ignored: it never stops playback. */
typedef int32_t (*PXTONEPLAY_CALLBACK)(int32_t clock);

/* Opens the audio output. window: the program's window or NULL (unused on
 * this platform). channels 1 or 2; sps 8000..192000; bits 8 or 16;
 * buffer_sec 0.01..1.0 (rounded to a power-of-two frame count, so 0.1 s at
 * 22050 Hz is 2048 frames); direct_sound is ignored. callback may be NULL.
 * Where no audio device can be opened, opens a silent output that keeps
 * real-time pace, sets the error "no audio device, silent" and still
 * returns nonzero. Returns 0 on bad arguments. Calling it again while ready
 * releases the previous output first. */
int pxtone_Ready(void *window, int channels, int sps, int bits, float buffer_sec,
                 int direct_sound, PXTONEPLAY_CALLBACK callback);

/* Stops and releases any tune and closes the audio output. Safe to call
 * when not ready and more than once. Returns nonzero. */
int pxtone_Release(void);

/* Loads a tune, replacing (stopping and releasing) any tune loaded before.
 * module must be NULL (tunes from resources are not supported: error
 * "no resource tunes"); type_name is ignored; file_name is a path. Fails
 * with "cannot open: NAME", "not a tune: NAME" or "damaged tune: NAME",
 * leaving no tune loaded. A tune whose voice cannot be read still loads,
 * returns nonzero, plays that voice silent and sets "bad voice: NAME".
 * Returns nonzero on success. */
int pxtone_Tune_Load(void *module, const char *type_name, const char *file_name);

/* Stops and frees the loaded tune, if any. Returns nonzero. */
int pxtone_Tune_Release(void);

/* Starts the loaded tune at the sample position start_sample (clamped to
 * 0..the song's end), fading in over fade_in_msec milliseconds (0 = none).
 * Starting a tune that is playing restarts it at that position. Returns 0
 * (error "no tune loaded") when there is no tune, or when the engine is not
 * ready ("not ready"). */
int pxtone_Tune_Start(int32_t start_sample, int32_t fade_in_msec);

/* Stops the tune and returns the sample position of the first sound not yet
 * heard, for a later pxtone_Tune_Start to continue from. When nothing plays,
 * returns the position where the last tune stopped (0 if none). */
int32_t pxtone_Tune_Stop(void);

/* With loop on, the song continues from its repeat position when it reaches
 * its end, without a gap; with loop off it ends there. May be changed while
 * playing. Returns nonzero. */
int pxtone_Tune_SetLoop(int loop);

/* Nonzero while a started tune still has sound to hand out. Falls to 0 once
 * the last sound of a tune that ended is out, or after a stop. Lock-free;
 * callable from the play callback. */
int pxtone_Tune_IsStreaming(void);

/* For the loaded tune: beats per measure, tempo in beats per minute, ticks
 * per beat, and measures in the song (its "last" position where set, else
 * the last note's end rounded up to a whole measure), so that
 * beat_num * beat_clock * meas_num is the song's length in ticks. Any
 * pointer may be NULL. Without a tune, sets every value to 0 and returns 0
 * ("no tune loaded"). */
int pxtone_Tune_GetInformation(int32_t *beat_num, float *beat_tempo, int32_t *beat_clock,
                               int32_t *meas_num);

/* The last error text; "" before any error. The pointer stays valid until
 * the next engine call from the control thread. */
const char *pxtone_GetLastError(void);

#ifdef __cplusplus
}
#endif

#endif
