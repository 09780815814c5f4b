#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <stdexcept>

// What the window needs of the Windows desktop beyond creating and showing
// itself: the functions newer versions added (looked up at run time, as the
// program also runs on Windows 7), the monitors' work areas, the stacking
// order, the taskbar button and the virtual desktops.
namespace timerset {

// A Windows function that failed, with its error code.
class WindowsError : public std::runtime_error {
 public:
  WindowsError(const char* function, DWORD code) : std::runtime_error(function), code_(code) {}
  DWORD code() const { return code_; }

 private:
  DWORD code_;
};

[[noreturn]] void throwLastError(const char* function);

// What the window moves itself in the stacking order with. Windows may refuse
// it to a program in the background; a test puts in one that always refuses.
extern BOOL(WINAPI* setWindowPos)(HWND, HWND, int, int, int, int, UINT);

namespace desktop {

// The DPI the window is laid out for: its monitor's, or the system's before
// Windows 10 1607.
UINT dpiOf(HWND window);
// The window's frame round a client area of this size, at this DPI.
SIZE frameAround(SIZE client, DWORD style, DWORD exStyle, UINT dpi);
// The system's message font (on a Japanese Windows its UI font) at this DPI.
HFONT createMessageFont(UINT dpi);

// Under Modern Standby (sleep with the system on in low power) the resume
// events reach only the windows registered for them; null before Windows 8.
HPOWERNOTIFY registerForResume(HWND window);
void unregisterForResume(HPOWERNOTIFY registration);

void centre(HWND window);       // On the primary monitor's work area.
bool isOnAScreen(HWND window);  // Wholly inside one monitor's work area.

// Out of the minimised state, the foreground left with the window that has it.
void restoreWithoutFocus(HWND window);
// Moves the window in the stacking order (HWND_TOP, HWND_TOPMOST,
// HWND_NOTOPMOST) without activating it; false where Windows refused.
bool stack(HWND window, HWND after);
// Flashes the taskbar button until the window comes to the foreground, or stops it.
void flash(HWND window, bool wanted);
void toCurrentDesktop(HWND window);

}  // namespace desktop
}  // namespace timerset
