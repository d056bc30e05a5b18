/* end_requests.h - the signals that ask the program to end.
 *
 * catch_end_requests(), once start-up is done: SIGTERM, SIGINT and SIGHUP
 * end the frame loop as the close button does (end_request_handler). Each
 * handler is reset as it runs, so a second request of a kind ends the
 * program at once.
 *
 * end_as_requested(), at the end of shut-down: after such a signal, shuts
 * Allegro down and ends the program by that signal, as its default action
 * would have; otherwise returns.
 *
 * Windows has no such signals: there both do nothing (the close button, Esc
 * and the exit button end the program).
 */
#ifndef APP_END_REQUESTS_H
#define APP_END_REQUESTS_H

void catch_end_requests();
void end_as_requested();

#endif
