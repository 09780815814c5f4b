#pragma once

#include <string>

#include "desktop_window.h"  // windows.h first
#include "reminder/reminder.h"
#include "ui/form1_design.h"

struct IAccPropServices;

namespace timerset {

// The program's one window, built from the form's design. It carries out what the reminder
// asks of it; a click of the button arms, each tick of Timer1 checks.
class Form1 final : public reminder::WindowOps {
 public:
  static constexpr UINT_PTR kTimer1 = 1;  // What a WM_TIMER for Timer1 carries.

  // showCommand: how the program was started (a shortcut's "minimised").
  Form1(HINSTANCE instance, int showCommand);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls and starts Timer1; throws WindowsError.
  void create();
  HWND hwnd() const { return hwnd_; }
  // Tab and Shift+Tab in the design's Tab order, not the reading order; false for other messages.
  bool tab(const MSG& message);

  void hide() override;
  void show(Show how) override;
  bool raise(Stacking stacking) override;
  void restore() override;
  void keepAbove(bool above) override;
  void requestAttention(bool wanted) override;
  void centre() override;
  void toCurrentDesktop() override;
  bool isHidden() const override;
  bool isMinimised() const override;
  bool isOnAScreen() const override;
  std::u16string textOfT1() const override;
  std::u16string textOfT2() const override;

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  HWND item(const form1::Control& control) const { return GetDlgItem(hwnd_, control.id); }
  void createControls();
  void annotate();
  void layout(UINT dpi);
  SIZE frameSize(UINT dpi) const;
  void moveToDpi(UINT dpi, const RECT& suggested);
  void command(int id, int code);
  void checkNow();
  LRESULT paintColon(HDC dc, HWND control);
  void activated(bool active);
  void giveFocusBack();
  void destroyed();
  void fail();  // In a catch block.

  const bool com_;  // For the screen reader annotations and the virtual desktops; both optional.
  HINSTANCE instance_;
  int showCommand_;
  HWND hwnd_ = nullptr;
  HFONT fonts_[std::size(form1::kControls)] = {};  // For the window's DPI.
  HIMC numberIme_ = nullptr;  // The number boxes' own input context, opened closed.
  IAccPropServices* annotations_ = nullptr;
  HPOWERNOTIFY suspendResume_ = nullptr;
  HWND lastFocus_ = nullptr;  // Given back when the window is activated again.
  bool failed_ = false;       // Ended by an error: the program's exit code is 1.
  reminder::SystemClock clock_;
  reminder::Reminder reminder_;
};

// Tells the user why the program ends: the exception being handled, with Windows' reason.
void showFailure(HWND owner);

}  // namespace timerset
