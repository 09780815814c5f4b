#include "x11_window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

namespace x11 {
namespace {

xcb_connection_t* connection() {
  const auto* x11 =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootOf(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(
          c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr),
      &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A property of 32-bit items, empty when it is not set.
class Property {
 public:
  Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
      : reply_(
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1024), nullptr),
            &std::free) {}
  // Valid while the property lives.
  std::span<const std::uint32_t> items() const& {
    if (!reply_ || reply_->format != 32) return {};
    return {static_cast<const std::uint32_t*>(xcb_get_property_value(reply_.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply_.get()) / 4)};
  }
  std::span<const std::uint32_t> items() const&& = delete;
  bool empty() const { return items().empty(); }

 private:
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply_;
};

bool managed(xcb_connection_t* c) {
  return !Property(c, rootOf(c), atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).empty();
}

bool supports(xcb_connection_t* c, xcb_atom_t hint) {
  const Property supported(c, rootOf(c), atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
  const auto atoms = supported.items();
  return std::find(atoms.begin(), atoms.end(), hint) != atoms.end();
}

// The window the manager has on top of all others, or none when that is ours.
xcb_window_t topmostOther(xcb_connection_t* c, xcb_window_t ours) {
  const Property stacking(c, rootOf(c), atom(c, "_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
  const auto windows = stacking.items();  // Bottom to top.
  return windows.empty() || windows.back() == ours ? XCB_NONE : windows.back();
}

void sendToManager(xcb_connection_t* c, const void* event) {
  xcb_send_event(c, 0, rootOf(c),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 static_cast<const char*>(event));
}

}  // namespace

bool available() { return connection() != nullptr; }

// Never a bare raise: some window managers (xfwm4) take one as a wish for the
// focus.
void requestRaise(QWindow* window) {
  xcb_connection_t* c = connection();
  if (!c || !window || !window->handle()) return;
  const auto id = static_cast<xcb_window_t>(window->winId());
  if (!managed(c)) {
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
  } else if (const xcb_window_t top = topmostOther(c, id); top != XCB_NONE) {
    const xcb_atom_t restack = atom(c, "_NET_RESTACK_WINDOW");
    if (supports(c, restack)) {
      constexpr std::uint32_t kFromApplication = 1;
      xcb_client_message_event_t message{};
      message.response_type = XCB_CLIENT_MESSAGE;
      message.format = 32;
      message.window = id;
      message.type = restack;
      message.data.data32[0] = kFromApplication;
      message.data.data32[1] = top;
      message.data.data32[2] = XCB_STACK_MODE_ABOVE;
      sendToManager(c, &message);
    } else {
      // ICCCM's way to restack a window the manager has framed.
      xcb_configure_request_event_t request{};
      request.response_type = XCB_CONFIGURE_REQUEST;
      request.stack_mode = XCB_STACK_MODE_ABOVE;
      request.parent = rootOf(c);
      request.window = id;
      request.sibling = top;
      request.value_mask = XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE;
      sendToManager(c, &request);
    }
  }
  xcb_flush(c);
}

void requestAbove(QWindow* window) {
  xcb_connection_t* c = connection();
  if (!c || !window || !window->handle()) return;
  constexpr std::uint32_t kAdd = 1, kFromApplication = 1;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window->winId());
  message.type = atom(c, "_NET_WM_STATE");
  message.data.data32[0] = kAdd;
  message.data.data32[1] = atom(c, "_NET_WM_STATE_ABOVE");
  message.data.data32[3] = kFromApplication;
  sendToManager(c, &message);
  xcb_flush(c);
}

void setUrgent(QWindow* window, bool urgent) {
  xcb_connection_t* c = connection();
  if (!c || !window || !window->handle()) return;
  const auto id = static_cast<xcb_window_t>(window->winId());
  // WM_HINTS: flags, input, initial state, icon pixmap, icon window, icon x,
  // icon y, icon mask, window group; bit 8 of the flags is the urgency.
  constexpr std::uint32_t kUrgency = 1u << 8;
  std::array<std::uint32_t, 9> hints{};
  const Property property(c, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS);
  const auto current = property.items();
  std::copy_n(current.begin(), std::min(current.size(), hints.size()), hints.begin());
  const std::uint32_t flags = urgent ? hints[0] | kUrgency : hints[0] & ~kUrgency;
  if (flags == hints[0] && !current.empty()) return;
  hints[0] = flags;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                      hints.size(), hints.data());
  xcb_flush(c);
}

}  // namespace x11
