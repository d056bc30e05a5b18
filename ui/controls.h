/* controls.h - one handler per control, polled once per frame.
 *
 * Each handler reads Allegro's mouse_x, mouse_y, mouse_b (left button = bit
 * 0) and key[] as they are at the call, compares them with the latches in
 * player_state so that an action fires once per press, and calls the
 * transport actions or a rescan. All run on the worker thread; the frame
 * loop calls them in the order they are declared here, with exit_control
 * on every pass of the loop, frame due or not.
 */
#ifndef UI_CONTROLS_H
#define UI_CONTROLS_H

void rescan_control();
void shuffle_control();
void back_control();
void stop_control();
void play_control();
/* Also hands the loop mode to the tune player, every frame. */
void loop_control();
void restart_control();
void list_row_control();
void scroll_control();

/* Lights the exit button while the mouse is over it. Returns false (stop
 * the loop) when the left button is down on it or Esc is held. */
bool exit_control();

#endif
