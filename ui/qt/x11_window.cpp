#include "x11_window.h"

#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

namespace x11 {
namespace {

xcb_connection_t* connection() {
  const auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

// The EWMH atoms, interned on first use: the program keeps one X connection
// to the end, and so do they.
xcb_ewmh_connection_t* ewmh(xcb_connection_t* c) {
  static xcb_ewmh_connection_t atoms{};
  static const bool ok =
      xcb_ewmh_init_atoms_replies(&atoms, xcb_ewmh_init_atoms(c, &atoms), nullptr);
  return ok ? &atoms : nullptr;
}

bool supports(xcb_ewmh_connection_t* e, xcb_atom_t hint) {
  xcb_ewmh_get_atoms_reply_t list;
  if (!xcb_ewmh_get_supported_reply(e, xcb_ewmh_get_supported(e, 0), &list, nullptr)) return false;
  const bool found =
      std::find(list.atoms, list.atoms + list.atoms_len, hint) != list.atoms + list.atoms_len;
  xcb_ewmh_get_atoms_reply_wipe(&list);
  return found;
}

// The window the manager has on top of all others, or none when that is ours.
xcb_window_t topmostOther(xcb_ewmh_connection_t* e, xcb_window_t ours) {
  xcb_ewmh_get_windows_reply_t list;  // Bottom to top.
  if (!xcb_ewmh_get_client_list_stacking_reply(e, xcb_ewmh_get_client_list_stacking(e, 0), &list,
                                               nullptr))
    return XCB_NONE;
  const xcb_window_t top = list.windows_len ? list.windows[list.windows_len - 1] : XCB_NONE;
  xcb_ewmh_get_windows_reply_wipe(&list);
  return top == ours ? XCB_NONE : top;
}

}  // namespace

// Never a bare raise: some window managers (xfwm4) take one as a wish for the
// focus.
bool requestRaise(QWindow* window) {
  xcb_connection_t* c = connection();
  xcb_ewmh_connection_t* e = c ? ewmh(c) : nullptr;
  if (!e || !window || !window->handle()) return false;
  const auto id = static_cast<xcb_window_t>(window->winId());
  const xcb_window_t root = e->screens[0]->root;
  xcb_window_t manager;
  if (!xcb_ewmh_get_supporting_wm_check_reply(e, xcb_ewmh_get_supporting_wm_check(e, root),
                                              &manager, nullptr)) {
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
  } else if (const xcb_window_t top = topmostOther(e, id); top == XCB_NONE) {
    // Already on top.
  } else if (supports(e, e->_NET_RESTACK_WINDOW)) {
    // Not xcb_ewmh_request_restack_window: that claims to come from a pager,
    // whose wishes managers grant unchecked.
    const std::uint32_t data[] = {XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL, top, XCB_STACK_MODE_ABOVE};
    xcb_ewmh_send_client_message(c, id, root, e->_NET_RESTACK_WINDOW, sizeof data, data);
  } else {
    // ICCCM's way to restack a window the manager has framed.
    xcb_configure_request_event_t request{};
    request.response_type = XCB_CONFIGURE_REQUEST;
    request.stack_mode = XCB_STACK_MODE_ABOVE;
    request.parent = root;
    request.window = id;
    request.sibling = top;
    request.value_mask = XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
  }
  xcb_flush(c);
  return true;
}

void requestAbove(QWindow* window) {
  xcb_connection_t* c = connection();
  xcb_ewmh_connection_t* e = c ? ewmh(c) : nullptr;
  if (!e || !window || !window->handle()) return;
  xcb_ewmh_request_change_wm_state(e, 0, static_cast<xcb_window_t>(window->winId()),
                                   XCB_EWMH_WM_STATE_ADD, e->_NET_WM_STATE_ABOVE, XCB_NONE,
                                   XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
  xcb_flush(c);
}

std::optional<QMargins> frameExtents(QWindow* window) {
  xcb_connection_t* c = connection();
  xcb_ewmh_connection_t* e = c ? ewmh(c) : nullptr;
  if (!e || !window || !window->handle() || !supports(e, e->_NET_REQUEST_FRAME_EXTENTS))
    return std::nullopt;
  const auto id = static_cast<xcb_window_t>(window->winId());
  // Cleared first, so that the answer is told from what an earlier frame left. Read back by
  // polling: the events on Qt's connection are Qt's.
  xcb_delete_property(c, id, e->_NET_FRAME_EXTENTS);
  xcb_ewmh_request_frame_extents(e, 0, id);
  xcb_flush(c);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  do {
    xcb_ewmh_get_extents_reply_t frame;
    if (xcb_ewmh_get_frame_extents_reply(e, xcb_ewmh_get_frame_extents(e, id), &frame, nullptr))
      return QMargins(frame.left, frame.top, frame.right, frame.bottom);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (std::chrono::steady_clock::now() < end);
  return std::nullopt;
}

bool setUrgent(QWindow* window, bool urgent) {
  xcb_connection_t* c = connection();
  if (!c || !window || !window->handle()) return false;
  const auto id = static_cast<xcb_window_t>(window->winId());
  // Read first, to keep the hints Qt set (input, initial state, group).
  xcb_icccm_wm_hints_t hints{};
  const bool set = xcb_icccm_get_wm_hints_reply(c, xcb_icccm_get_wm_hints(c, id), &hints, nullptr);
  const std::int32_t flags = urgent ? hints.flags | XCB_ICCCM_WM_HINT_X_URGENCY
                                    : hints.flags & ~XCB_ICCCM_WM_HINT_X_URGENCY;
  if (set && flags == hints.flags) return true;  // Managers take any rewrite as news.
  hints.flags = flags;
  xcb_icccm_set_wm_hints(c, id, &hints);
  xcb_flush(c);
  return true;
}

}  // namespace x11
