#include "desktop_window.h"

#include <initguid.h>  // Defines the virtual desktop GUIDs here, not in a library.
#include <shobjidl.h>

namespace timerset {

void throwLastError(const char* function) { throw WindowsError(function, GetLastError()); }

BOOL(WINAPI* setWindowPos)(HWND, HWND, int, int, int, int, UINT) = SetWindowPos;

namespace desktop {
namespace {

// Looked up at run time: the per-monitor DPI functions came with Windows 10 1607 (before,
// the older functions give the system DPI), the resume registration with Windows 8.
template <typename F>
F* fromUser32(const char* name) {
  const FARPROC function = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<F*>(reinterpret_cast<void*>(function));
}

}  // namespace

UINT dpiOf(HWND window) {
  static const auto f = fromUser32<UINT WINAPI(HWND)>("GetDpiForWindow");
  if (f) return f(window);
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

SIZE frameAround(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
  RECT frame{0, 0, client.cx, client.cy};
  static const auto f =
      fromUser32<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (!(f ? f(&frame, style, FALSE, exStyle, dpi)
          : AdjustWindowRectEx(&frame, style, FALSE, exStyle))) {
    throwLastError("AdjustWindowRectEx");
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

LOGFONTW messageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  static const auto f =
      fromUser32<BOOL WINAPI(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
  if (!(f ? f(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)
          : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))) {
    throwLastError("SPI_GETNONCLIENTMETRICS");
  }
  return metrics.lfMessageFont;
}

HPOWERNOTIFY registerForResume(HWND window) {
  static const auto f =
      fromUser32<HPOWERNOTIFY WINAPI(HANDLE, DWORD)>("RegisterSuspendResumeNotification");
  return f ? f(window, DEVICE_NOTIFY_WINDOW_HANDLE) : nullptr;
}

void unregisterForResume(HPOWERNOTIFY registration) {
  static const auto f =
      fromUser32<BOOL WINAPI(HPOWERNOTIFY)>("UnregisterSuspendResumeNotification");
  if (registration) f(registration);
}

void centre(HWND window) {
  MONITORINFO primary{};
  primary.cbSize = sizeof primary;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
  const RECT& work = primary.rcWork;
  RECT frame;
  GetWindowRect(window, &frame);
  SetWindowPos(window, nullptr,
               work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
               work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A monitor unplugged, or the resolution lowered, may have left it off every screen.
bool isOnAScreen(HWND window) {
  RECT frame, inside;
  GetWindowRect(window, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  const HMONITOR on = MonitorFromRect(&frame, MONITOR_DEFAULTTONULL);
  return on && GetMonitorInfoW(on, &monitor) && IntersectRect(&inside, &frame, &monitor.rcWork) &&
         EqualRect(&inside, &frame);
}

// Wine focuses a restored window even when asked not to: the user's window gets it back.
void restoreWithoutFocus(HWND window) {
  const HWND foreground = GetForegroundWindow();
  ShowWindow(window, SW_SHOWNOACTIVATE);
  if (foreground && GetForegroundWindow() != foreground) SetForegroundWindow(foreground);
}

// Only the foreground process may bring a window to the top of the ordinary ones; any may
// make its own window topmost.
bool stack(HWND window, HWND after) {
  return setWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void flash(HWND window, bool wanted) {
  const DWORD flags = wanted ? FLASHW_TRAY | FLASHW_TIMERNOFG : FLASHW_STOP;
  FLASHWINFO info{sizeof info, window, flags, 0, 0};
  FlashWindowEx(&info);
}

// A window on another virtual desktop is cloaked, unseen yet "visible": moved to the desktop
// of the window the user works in, never switching desktops. The manager is asked for afresh
// (one kept goes stale when Explorer restarts); before Windows 10 there is none.
void toCurrentDesktop(HWND window) {
  IVirtualDesktopManager* desktops = nullptr;
  if (FAILED(CoCreateInstance(CLSID_VirtualDesktopManager, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IVirtualDesktopManager, reinterpret_cast<void**>(&desktops)))) {
    return;
  }
  BOOL onCurrent = TRUE;
  GUID desktop{};
  const HWND foreground = GetForegroundWindow();
  if (SUCCEEDED(desktops->IsWindowOnCurrentVirtualDesktop(window, &onCurrent)) && !onCurrent &&
      foreground && SUCCEEDED(desktops->GetWindowDesktopId(foreground, &desktop)) &&
      desktop != GUID{}) {
    desktops->MoveWindowToDesktop(window, desktop);
  }
  desktops->Release();
}

}  // namespace desktop
}  // namespace timerset
