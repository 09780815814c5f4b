#pragma once

class QWindow;

// What the window needs of an X11 window manager that Qt does not offer, or
// does not send at once. Each call does nothing when the program does not run
// on X11 (Wayland, or the offscreen platform of the tests).
namespace x11 {

// Whether the program talks to an X server.
bool available();

// Asks the window manager to stack the window above the one now on top: by
// EWMH's _NET_RESTACK_WINDOW from an application, or ICCCM's restack request
// where the manager lacks it. A manager may refuse either, but none answers
// by moving the keyboard focus. Without a window manager, restacks it
// directly. Sent at once, not when Qt next flushes.
void requestRaise(QWindow* window);

// Asks the window manager to keep a mapped window above the others
// (_NET_WM_STATE_ABOVE).
void requestAbove(QWindow* window);

// Sets or clears the ICCCM urgency hint, the way X11 asks for the user's
// attention without taking the focus.
void setUrgent(QWindow* window, bool urgent);

}  // namespace x11
