/* pxtone.h - Brindlewick's tune engine: reads ".ptcop" and ".pttune" tunes,
 * synthesises them and streams them to the sound card.
 *
 * One engine per process. Every call may be made in any order: calls that
 * need something not there (a tune, a device) fail with an error text and
 * no other effect (a failed load has still released the tune before it).
 *
 * Threads. All calls are made from one control thread (the program's worker),
 * except that pxtone_Tune_IsStreaming may also be called from inside the
 * play callback, and pxtone_Ready/pxtone_Release from the thread that owns
 * the engine's lifetime, while no other call is in progress. The play callback
 * runs on the engine's audio thread with no engine lock held.
 *
 * Errors. Every failing call leaves a short text (at most 36 characters),
 * read with pxtone_GetLastError. The text stays until the next failure, or
 * until a lost sound device is found again ("sound device back").
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

/* Called once per audio buffer while a started tune plays, on the engine's
 * audio thread, with the position in ticks of the buffer's first frame
 * (after a loop jump, counted from the song's start again). When a tune
 * ends by itself, one last call comes with pxtone_Tune_IsStreaming already
 * 0; no calls come while stopped. No engine lock is held during the call;
 * it may call pxtone_Tune_IsStreaming and nothing else of the engine. Its
 * result is ignored: it never stops playback. */
typedef int32_t (*PXTONEPLAY_CALLBACK)(int32_t clock);

/* Opens the audio output (on Linux our PulseAudio client or SDL audio,
 * started here, so after the program's graphics library, with SDL's signal
 * handlers off; on Windows waveOut). window: the program's window or NULL
 * (no output needs it). channels 1 or 2; sps
 * 8000..192000; bits 8 or 16; buffer_sec 0.01..1.0, rounded to the nearest
 * power-of-two frame count (0.1 s at 22050 Hz is 2048 frames); direct_sound
 * is ignored. callback may be NULL.
 * Where no audio device can be opened, plays on a silent output of its own,
 * which keeps real-time pace, sets the error "no audio device, silent" and
 * still returns nonzero. A device that goes away or stops asking for sound
 * later is replaced by a silent output at the same pace ("sound device lost,
 * silent"); each later Load or Start tries the device again, at most every
 * few seconds ("sound device back" when it is).
 * Returns 0 ("bad audio format") on bad arguments, keeping any output it
 * had. Calling it again while ready releases the previous output (and any
 * tune) first. */
int pxtone_Ready(void *window, int channels, int sps, int bits, float buffer_sec,
                 int direct_sound, PXTONEPLAY_CALLBACK callback);

/* Stops and releases any tune and closes the audio output. Safe to call
 * when not ready and more than once. Returns nonzero. */
int pxtone_Release(void);

/* Loads a tune, replacing (stopping and releasing) any tune loaded before;
 * it waits for pxtone_Tune_Start. module must be NULL (tunes from resources
 * are not supported: error "no resource tunes"); type_name is ignored;
 * file_name is a path, NAME in texts its last part ("(no name)" when empty).
 * Fails with "cannot open: NAME", "not a tune: NAME", "unsupported tune
 * version: NAME" (a pxtone file code of a date not read: the two read are
 * 071119 and the older 060930, projects and tunes alike), "damaged tune:
 * NAME" or "tune too big: NAME", leaving no tune loaded. A tune whose voice cannot be read still
 * loads, returns nonzero, plays that voice silent and sets "bad voice:
 * NAME". Works whether or not the engine is ready. Returns nonzero on
 * success. */
int pxtone_Tune_Load(void *module, const char *type_name, const char *file_name);

/* Stops and frees the loaded tune, if any. Returns nonzero. */
int pxtone_Tune_Release(void);

/* Starts the loaded tune at the sample position start_sample (clamped to
 * 0..the song's end), from the next audio buffer on, fading in linearly
 * over fade_in_msec milliseconds (0 or less = none; at most a minute).
 * Starting a tune that is playing restarts it at that position. A start at
 * the song's end (loop off) plays only what still rings out there (a
 * delay's echoes), so streaming falls within a buffer or two. Returns 0 (error "no tune loaded") when there is no tune, or when
 * the engine is not ready ("not ready"). After a failed load the load's
 * error text stays: it is the one that says why nothing plays. */
int pxtone_Tune_Start(int32_t start_sample, int32_t fade_in_msec);

/* Stops the tune and returns the sample position of the first sound not yet
 * handed to the sound device, for a later pxtone_Tune_Start to continue
 * from: everything before it is heard, nothing after it. A tune stopped
 * while its echoes ring out past the song's end gives the end. When nothing
 * plays, returns where the loaded tune stopped or ended, or 0 when it was
 * not started since it was loaded. Positions past INT32_MAX (27 hours at
 * 22050 Hz) are given as INT32_MAX. */
int32_t pxtone_Tune_Stop(void);

/* With loop on, the song continues from its repeat position when it reaches
 * its end, without a gap; with loop off it ends there. May be changed while
 * playing. Returns nonzero. */
int pxtone_Tune_SetLoop(int loop);

/* Nonzero from pxtone_Tune_Start while the tune still has sound to hand
 * out. Falls to 0 in the audio buffer after the one holding a tune's last
 * sound (loop off), and at a stop, load or release. Lock-free; callable
 * from the play callback. */
int pxtone_Tune_IsStreaming(void);

/* For the loaded tune: beats per measure, tempo in beats per minute, ticks
 * per beat, and measures in the song (its "last" position where set, else
 * the last note's end rounded up to a whole measure), so that
 * beat_num * beat_clock * meas_num is the song's length in ticks. Any
 * pointer may be NULL. Without a tune, sets every value to 0 and returns 0
 * ("no tune loaded", or the failed load's text kept, as at a start). */
int pxtone_Tune_GetInformation(int32_t *beat_num, float *beat_tempo, int32_t *beat_clock,
                               int32_t *meas_num);

/* The last error text; "" before any error. Errors from the audio side
 * (device trouble) may arrive at any time. The pointer and its text stay
 * valid until the next engine call from the control thread. */
const char *pxtone_GetLastError(void);

#ifdef __cplusplus
}
#endif

#endif
