#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <stdexcept>

// What the window needs of the Windows desktop: the functions newer versions added (looked up
// at run time for Windows 7), work areas, stacking, the taskbar button, virtual desktops.
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

// How the window restacks itself; a test puts in one that refuses, as Windows may.
extern BOOL(WINAPI* setWindowPos)(HWND, HWND, int, int, int, int, UINT);

namespace desktop {

// Its monitor's DPI, or the system's before Windows 10 1607.
UINT dpiOf(HWND window);
// The window's frame round a client area of this size, at this DPI.
SIZE frameAround(SIZE client, DWORD style, DWORD exStyle, UINT dpi);
// The system's message font (on a Japanese Windows its UI font) at this DPI.
LOGFONTW messageFont(UINT dpi);

// Under Modern Standby resume events reach only windows registered for them; null before 8.
HPOWERNOTIFY registerForResume(HWND window);
void unregisterForResume(HPOWERNOTIFY registration);

void centre(HWND window);       // On the primary monitor's work area.
bool isOnAScreen(HWND window);  // Wholly inside one monitor's work area.

// Out of the minimised state, the foreground left with the window that has it.
void restoreWithoutFocus(HWND window);
// To HWND_TOP, HWND_TOPMOST or HWND_NOTOPMOST, not activated; false where Windows refused.
bool stack(HWND window, HWND after);
// Flashes the taskbar button until the window comes to the foreground, or stops it.
void flash(HWND window, bool wanted);
void toCurrentDesktop(HWND window);

}  // namespace desktop
}  // namespace timerset
