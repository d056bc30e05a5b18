/* handlers.h - the two callbacks Allegro calls on its own threads, and the
 * handler of the signals that ask the program to end.
 * tick_handler runs on the timer thread 30 times a second; close_handler on
 * the window thread when the window's close button is used;
 * end_request_handler on whichever thread a SIGTERM, SIGINT or SIGHUP meets.
 * Each touches only its atomic word in player_state.
 */
#ifndef APP_HANDLERS_H
#define APP_HANDLERS_H

/* Adds 1 to player_state.frame_ticks. */
void tick_handler();

/* Sets player_state.quit_requested to -1. */
void close_handler();

/* Sets player_state.quit_requested to the signal's number, so the program
 * shuts down as after the close button (Allegro's own handler would take
 * the screen away while a frame is being drawn). */
void end_request_handler(int signal_number);

#endif
