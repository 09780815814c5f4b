#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <stdexcept>
#include <string>

#include "reminder/reminder.h"

struct IAccPropServices;

namespace timerset {

// The program's one window: the hour and minute boxes, the colon, the button,
// the note box and the 20-second timer. It supplies the reminder's window
// operations; a click of Command1 arms, each tick of Timer1 checks.
class Form1 final : public reminder::WindowOps {
 public:
  // Control ids; the timer's id is what a WM_TIMER for Timer1 carries.
  enum Id : int { kCommand1 = 101, kT1, kT2, kLabel1, kText3, kTimer1 = 1 };

  explicit Form1(HINSTANCE instance);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls, centred on the screen, hidden.
  // Throws WindowsError when Windows refuses.
  void create();
  HWND hwnd() const { return hwnd_; }
  // Moves the focus on Tab and Shift+Tab in the window's own order, which is
  // not the order the controls are read in; false for any other message.
  bool tab(const MSG& message);
  // The code the program ends with: 0 unless an error ended the window.
  int exitCode() const { return exitCode_; }

  void hide() override;
  void show() override;
  void raise() override;
  std::u16string textOfT1() const override;
  std::u16string textOfT2() const override;

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void createControls();
  void layout(UINT dpi);
  void fail(const char* what, DWORD code);
  void annotate();
  void checkNow();
  void popUp();
  void placeForPopUp();
  void toCurrentDesktop();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND command1_ = nullptr;
  HWND t1_ = nullptr;
  HWND t2_ = nullptr;
  HWND label1_ = nullptr;
  HWND text3_ = nullptr;
  HFONT boxFont_ = nullptr;      // t1, t2
  HFONT colonFont_ = nullptr;    // Label1
  HFONT messageFont_ = nullptr;  // Command1, Text3
  HIMC numberIme_ = nullptr;     // t1 and t2's own input context, opened closed
  IAccPropServices* annotations_ = nullptr;
  HPOWERNOTIFY suspendResume_ = nullptr;  // None before Windows 8
  HWND lastFocus_ = nullptr;              // Given back when the window is activated again
  bool hiddenByArming_ = false;           // Armed, and not shown since.
  bool poppedUp_ = false;                 // Shown by the reminder, and not armed since.
  bool failed_ = false;
  int exitCode_ = 0;
  reminder::SystemClock clock_;
  reminder::Reminder reminder_;
};

// A Windows function that failed, with its error code.
class WindowsError : public std::runtime_error {
 public:
  WindowsError(const char* function, DWORD code) : std::runtime_error(function), code_(code) {}
  DWORD code() const { return code_; }

 private:
  DWORD code_;
};

// What the window moves itself in the stacking order with. Windows may refuse
// it to a program in the background; a test puts in one that always refuses.
extern BOOL(WINAPI* setWindowPos)(HWND, HWND, int, int, int, int, UINT);

// Tells the user, in a message box, why the program is about to end.
// what names the failure; code, when not 0, is the Windows error code.
void showFailure(HWND owner, const char* what, DWORD code);

}  // namespace timerset
