#pragma once

#include <QMargins>
#include <optional>

class QWindow;

// What the window needs of an X11 window manager that Qt does not offer, or does not send at
// once. Each call does nothing off X11 (Wayland, or the tests' offscreen platform).
namespace x11 {

// Asks the window manager to stack the window above the one on top, by _NET_RESTACK_WINDOW or
// else ICCCM's restack request: a manager may refuse, but none answers with the focus. Without
// a manager, restacks it directly. Sent at once, not at Qt's next flush. False off X11.
bool requestRaise(QWindow* window);

// Asks the window manager to keep a mapped window above the others.
void requestAbove(QWindow* window);

// The frame the window manager will give a window not yet mapped, in device pixels, as it
// answers EWMH's _NET_REQUEST_FRAME_EXTENTS; none where no manager answers, or off X11.
std::optional<QMargins> frameExtents(QWindow* window);

// The ICCCM urgency hint: X11's request for attention without the focus. False off X11.
bool setUrgent(QWindow* window, bool urgent);

}  // namespace x11
