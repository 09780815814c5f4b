#pragma once

#include <string>

#include "desktop_window.h"  // windows.h first
#include "reminder/reminder.h"
#include "ui/form1_design.h"

struct IAccPropServices;

namespace timerset {

// The program's one window, built from the form's design, with the
// 20-second timer. It carries out what the reminder asks of it; a click of
// the button arms, each tick of Timer1 checks.
class Form1 final : public reminder::WindowOps {
 public:
  static constexpr UINT_PTR kTimer1 = 1;  // What a WM_TIMER for Timer1 carries.

  // showCommand: how the program was started (a shortcut's "minimised").
  Form1(HINSTANCE instance, int showCommand);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls, centres and shows it, and starts
  // Timer1. Throws WindowsError when Windows refuses.
  void create();
  HWND hwnd() const { return hwnd_; }
  // Moves the focus on Tab and Shift+Tab in the design's Tab order, which is
  // not the order the controls are read in; false for any other message.
  bool tab(const MSG& message);
  // The code the program ends with: 0 unless an error ended the window.
  int exitCode() const { return exitCode_; }

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

  HINSTANCE instance_;
  int showCommand_;
  HWND hwnd_ = nullptr;
  HFONT fonts_[std::size(form1::kControls)] =
      {};                     // Each control's, as laid out for the window's DPI.
  HIMC numberIme_ = nullptr;  // The number boxes' own input context, opened closed.
  IAccPropServices* annotations_ = nullptr;
  HPOWERNOTIFY suspendResume_ = nullptr;
  HWND lastFocus_ = nullptr;  // Given back when the window is activated again.
  bool failed_ = false;
  int exitCode_ = 0;
  reminder::SystemClock clock_;
  reminder::Reminder reminder_;
};

// Tells the user, in a message box, why the program is about to end: the
// exception being handled (called in a catch block), with the reason Windows
// gives for its error code.
void showFailure(HWND owner);

}  // namespace timerset
