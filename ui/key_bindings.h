/* key_bindings.h - the four keys the program answers, as Allegro key codes.
 * Read through key_down(), which looks at Allegro's key[] state.
 */
#ifndef UI_KEY_BINDINGS_H
#define UI_KEY_BINDINGS_H

enum key_action : int {
    KEY_FOR_EXIT,         /* ends the program */
    KEY_FOR_STOP_RESUME,  /* stops, or resumes when stopped */
    KEY_FOR_SCROLL_UP,
    KEY_FOR_SCROLL_DOWN,
    KEY_ACTION_COUNT,
};

/* True while the key bound to action is held. */
bool key_down(key_action action);

#endif
