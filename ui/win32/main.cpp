// タイマセット for Windows: creates the window and runs its message loop.
#include "form1.h"

#include <commctrl.h>

#include <cstdlib>
#include <exception>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  try {
    // Shown as the program was started: a shortcut's "minimised" is kept.
    timerset::Form1 form1(instance, showCommand);
    form1.create();

    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
      if (got == -1) timerset::throwLastError("GetMessageW");
      // Tab, Shift+Tab and Enter as in a dialog box.
      if (form1.tab(message) || IsDialogMessageW(form1.hwnd(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
  } catch (...) {
    timerset::showFailure(nullptr);
    return 1;
  }
}

// Any exception that escapes anyway ends the program without the default
// handler's report, which would link the C++ name demangler (some 40 KB) into
// a program that has no console to print it on.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
