/* window_handle.h - the program window's native handle for the tune engine.
 *
 * Returns the handle of the program's own window, or NULL where the engine
 * does not need one (Linux). On Windows it is what GetActiveWindow() gives
 * at that moment. Call on the initial thread after the display mode has
 * been set.
 */
#ifndef APP_WINDOW_HANDLE_H
#define APP_WINDOW_HANDLE_H

void *program_window_handle();

#endif
