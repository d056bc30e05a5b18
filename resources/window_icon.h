// The program's icon as the X11 window icon. Linking resources/window_icon.cpp
// into the program is all it takes: before main runs, it points Allegro's
// `allegro_icon` at the XPM below, and Allegro's X11 port gives the window
// that icon when it creates it. No call is needed and nothing can fail here;
// an icon Allegro cannot read just leaves the window without one.
#ifndef RESOURCES_WINDOW_ICON_H
#define RESOURCES_WINDOW_ICON_H

// 32 x 32 XPM, made by tools/make_skin (window_icon_xpm.inc).
extern const char *brindlewick_icon_xpm[];

#endif
