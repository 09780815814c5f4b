#pragma once

class QWindow;

// What the window needs of an X11 window manager that Qt does not offer, or
// does not send at once. Each call does nothing when the program does not run
// on X11 (Wayland, or the offscreen platform of the tests).
namespace x11 {

// Whether the program talks to an X server.
bool available();

// Asks the window manager to put the window on top of its layer, as EWMH's
// _NET_RESTACK_WINDOW from an application, which a window manager may refuse
// but never answers by moving the keyboard focus. Without a window manager,
// restacks it directly. Sent at once, not when Qt next flushes.
void requestRaise(QWindow* window);

// Sets or clears the ICCCM urgency hint, the way X11 asks for the user's
// attention without taking the focus.
void setUrgent(QWindow* window, bool urgent);

// Sends Qt's buffered requests to the X server now.
void flush();

}  // namespace x11
