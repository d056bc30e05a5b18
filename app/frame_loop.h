/* frame_loop.h - the worker thread's loop, one frame per timer tick.
 *
 * run_frame_loop() runs until the exit control says stop (checked on every
 * pass) or the close button has been used; between ticks it rests 1 ms.
 * Ticks that piled up are worked off as back-to-back frames. Returns 0.
 *
 * run_frame() runs one whole frame: the controls, advance_tune, the drawing
 * steps and present_frame, then takes one tick off frame_ticks, counts the
 * frames Space has been held and steps the settling countdown down.
 * Both run on the worker thread; the skin must be loaded.
 */
#ifndef APP_FRAME_LOOP_H
#define APP_FRAME_LOOP_H

int run_frame_loop();
void run_frame();

#endif
