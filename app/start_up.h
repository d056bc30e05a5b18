/* start_up.h - brings the program up and takes it down again.
 *
 * start_up() runs on the initial thread, in order: Allegro, the close
 * callback, keyboard and mouse, a 288 x 228 window at 32 bits (else 16),
 * background running, the 30 Hz frame timer, the skin, the tune player,
 * the random seed and the first folder scan. When Allegro or the window
 * cannot be started (no display), it prints why on stderr and returns false;
 * the caller then exits with 1.
 *
 * shut_down() releases the tune player, then the skin images and the back
 * buffer; Allegro itself is shut down by its own exit routine. After a
 * SIGTERM, SIGINT or SIGHUP (caught once start-up is done) it shuts Allegro
 * down itself and ends the program by that signal.
 */
#ifndef APP_START_UP_H
#define APP_START_UP_H

bool start_up();
void shut_down();

#endif
