#include "form1.h"

#include <imm.h>
#include <initguid.h>  // Defines the accessibility GUIDs here, not in a library.
#include <oleacc.h>
#include <shobjidl.h>

#include <string_view>

namespace timerset {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows texts are UTF-16");

constexpr wchar_t kClassName[] = L"TimerSetForm1";
constexpr wchar_t kCaption[] = L"タイマセット";
// A fixed-size window with a close box only.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;
constexpr int kTwipsPerInch = 1440;
constexpr int kClientWidth = 2355;  // twips
constexpr int kClientHeight = 1035;

enum class Font { kMessage, kBox, kColon };

struct ControlDesign {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int left, top, width, height;  // twips
  Font font;
  const wchar_t* name;         // For screen readers, where the box has no visible label.
  const wchar_t* description;  // What the box takes.
};

// Created in screen order, which is the order screen readers read them in;
// the Tab order is kTabOrder. Each control is its own group, so arrow keys
// never move the focus.
constexpr DWORD kBox = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr ControlDesign kControls[] = {
    {Form1::kT1, L"EDIT", L"", kBox, WS_EX_CLIENTEDGE, 0, 120, 495, 375, Font::kBox, L"時",
     L"時（0〜23）"},
    // Its cell overlaps each number box by a pixel: it draws its glyph alone,
    // over the window's background (see WM_CTLCOLORSTATIC), so that it never
    // paints over the boxes' borders.
    {Form1::kLabel1, L"STATIC", L"：", SS_CENTER | SS_NOPREFIX, WS_EX_TRANSPARENT, 480, 240, 255,
     255, Font::kColon, nullptr, nullptr},
    {Form1::kT2, L"EDIT", L"", kBox, WS_EX_CLIENTEDGE, 720, 120, 495, 375, Font::kBox, L"分",
     L"分（0〜59）"},
    {Form1::kCommand1, L"BUTTON", L"セット", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 1320, 120, 975, 375,
     Font::kMessage, nullptr, nullptr},
    {Form1::kText3, L"EDIT", L"", kBox, WS_EX_CLIENTEDGE, 0, 600, 2295, 375, Font::kMessage,
     L"メモ", nullptr},
};
constexpr int kTabOrder[] = {Form1::kCommand1, Form1::kT1, Form1::kT2, Form1::kText3};

[[noreturn]] void throwLastError(const char* what) { throw WindowsError(what, GetLastError()); }

int twipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

// Looked up at run time, as the program also runs on Windows 7. The
// per-monitor DPI functions came with Windows 10 1607; before that the system
// DPI applies to every window, and the older functions give it. The
// registration for suspend and resume came with Windows 8.
struct UserFunctions {
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
  HPOWERNOTIFY(WINAPI* registerSuspendResume)(HANDLE, DWORD) = nullptr;
  BOOL(WINAPI* unregisterSuspendResume)(HPOWERNOTIFY) = nullptr;
};

template <typename F>
void load(F& function, HMODULE module, const char* name) {
  function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const UserFunctions& userFunctions() {
  static const UserFunctions functions = [] {
    UserFunctions f;
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    load(f.getDpiForWindow, user32, "GetDpiForWindow");
    load(f.adjustWindowRectExForDpi, user32, "AdjustWindowRectExForDpi");
    load(f.systemParametersInfoForDpi, user32, "SystemParametersInfoForDpi");
    load(f.registerSuspendResume, user32, "RegisterSuspendResumeNotification");
    load(f.unregisterSuspendResume, user32, "UnregisterSuspendResumeNotification");
    return f;
  }();
  return functions;
}

UINT windowDpi(HWND hwnd) {
  if (const auto f = userFunctions().getDpiForWindow) return f(hwnd);
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// "ＭＳ Ｐゴシック" bold in the Japanese character set, the size in 1/100 pt.
HFONT createGothic(int centipoints, UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(centipoints, static_cast<int>(dpi), 72 * 100);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = SHIFTJIS_CHARSET;
  std::wstring_view(L"ＭＳ Ｐゴシック").copy(font.lfFaceName, LF_FACESIZE - 1);
  const HFONT handle = CreateFontIndirectW(&font);
  if (!handle) throwLastError("CreateFontIndirectW");
  return handle;
}

// The system's message font (on a Japanese Windows its UI font) at this DPI.
HFONT createMessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  const auto f = userFunctions().systemParametersInfoForDpi;
  const BOOL ok = f ? f(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)
                    : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  if (!ok) throwLastError("SPI_GETNONCLIENTMETRICS");
  const HFONT handle = CreateFontIndirectW(&metrics.lfMessageFont);
  if (!handle) throwLastError("CreateFontIndirectW");
  return handle;
}

std::u16string textOf(HWND box) {
  SetLastError(ERROR_SUCCESS);
  const int length = GetWindowTextLengthW(box);
  if (length == 0 && GetLastError() != ERROR_SUCCESS) throwLastError("GetWindowTextLengthW");
  std::u16string text(static_cast<std::size_t>(length), u'\0');
  // The string's own terminator slot takes the terminating zero.
  const int copied = GetWindowTextW(box, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  if (copied == 0 && length > 0) throwLastError("GetWindowTextW");
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

// The icon (resource 1) at the sizes of the title bar and of Alt+Tab, loaded
// once: the window class, registered once, keeps them for the process.
struct ProgramIcons {
  HICON big;
  HICON small;
};

HICON loadIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                       GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

const ProgramIcons& programIcons(HINSTANCE instance) {
  static const ProgramIcons icons{loadIcon(instance, SM_CXICON, SM_CYICON),
                                  loadIcon(instance, SM_CXSMICON, SM_CYSMICON)};
  return icons;
}

// The window's frame round the client area of the design at this DPI.
SIZE frameSize(UINT dpi) {
  RECT frame{0, 0, twipsToPixels(kClientWidth, dpi), twipsToPixels(kClientHeight, dpi)};
  const auto adjust = userFunctions().adjustWindowRectExForDpi;
  if (!(adjust ? adjust(&frame, kStyle, FALSE, kExStyle, dpi)
               : AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle))) {
    throwLastError("AdjustWindowRectEx");
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT primaryWorkArea() {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}

void flash(HWND window, DWORD flags) {
  FLASHWINFO info{sizeof info, window, flags, 0, 0};
  FlashWindowEx(&info);
}

void centreOnPrimary(HWND window) {
  const RECT work = primaryWorkArea();
  RECT frame;
  GetWindowRect(window, &frame);
  SetWindowPos(window, nullptr,
               work.left + (work.right - work.left - (frame.right - frame.left)) / 2,
               work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

BOOL(WINAPI* setWindowPos)(HWND, HWND, int, int, int, int, UINT) = SetWindowPos;

void showFailure(HWND owner, const char* what, DWORD code) {
  std::wstring text = L"予期しないエラーのため、タイマセットを終了します。\n\n";
  for (const char* c = what; *c; ++c) text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  wchar_t* reason = nullptr;
  if (code != 0 &&
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr)) {
    text += L": ";
    text += reason;
    LocalFree(reason);
  }
  // Above every window, so that it is not lost behind the user's work.
  MessageBoxW(owner, text.c_str(), kCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
}

Form1::Form1(HINSTANCE instance) : instance_(instance), reminder_(*this, clock_) {}

Form1::~Form1() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (annotations_) annotations_->Release();
  if (suspendResume_) userFunctions().unregisterSuspendResume(suspendResume_);
  if (numberIme_) ImmDestroyContext(numberIme_);
  for (const HFONT font : {boxFont_, colonFont_, messageFont_}) {
    if (font) DeleteObject(font);
  }
}

void Form1::create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance_;
  const ProgramIcons& icons = programIcons(instance_);
  windowClass.hIcon = icons.big;
  windowClass.hIconSm = icons.small;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throwLastError("RegisterClassExW");
  }

  // Created on the primary monitor, so that its DPI is the one laid out for.
  const RECT work = primaryWorkArea();
  if (!CreateWindowExW(kExStyle, kClassName, kCaption, kStyle, work.left, work.top, 0, 0, nullptr,
                       nullptr, instance_, this)) {
    throwLastError("CreateWindowExW");
  }
  createControls();
  const UINT dpi = windowDpi(hwnd_);
  layout(dpi);
  const SIZE frame = frameSize(dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.cx, frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  centreOnPrimary(hwnd_);

  // Also as the window's own icons, so that anyone asking the window gets them.
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.big));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small));

  // Under Modern Standby (sleep with the system on in low power) the resume
  // events reach only the windows registered for them.
  if (const auto f = userFunctions().registerSuspendResume) {
    suspendResume_ = f(hwnd_, DEVICE_NOTIFY_WINDOW_HANDLE);
  }

  const auto wait = static_cast<UINT>(reminder::millisecondsToNextCheck(clock_.read()));
  if (!SetTimer(hwnd_, kTimer1, wait, nullptr)) throwLastError("SetTimer");
}

void Form1::createControls() {
  for (const ControlDesign& design : kControls) {
    // A box without a visible label gets a hidden one just before it, which
    // Microsoft Active Accessibility reads as its name.
    if (design.name && !CreateWindowExW(0, L"STATIC", design.name, WS_CHILD | SS_NOPREFIX, 0, 0, 0,
                                        0, hwnd_, nullptr, instance_, nullptr)) {
      throwLastError("CreateWindowExW");
    }
    const HWND control = CreateWindowExW(
        design.exStyle, design.className, design.text,
        WS_CHILD | WS_VISIBLE | WS_GROUP | design.style, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance_, nullptr);
    if (!control) throwLastError("CreateWindowExW");
  }
  command1_ = GetDlgItem(hwnd_, kCommand1);
  t1_ = GetDlgItem(hwnd_, kT1);
  t2_ = GetDlgItem(hwnd_, kT2);
  label1_ = GetDlgItem(hwnd_, kLabel1);
  text3_ = GetDlgItem(hwnd_, kText3);
  // Without this an EDIT takes at most 30000 characters from the keyboard.
  for (const HWND box : {t1_, t2_, text3_}) SendMessageW(box, EM_SETLIMITTEXT, 0, 0);
  annotate();

  // The number boxes get an input context of their own, closed whenever they
  // take the focus, so digits come half-width; the note box keeps the user's.
  numberIme_ = ImmCreateContext();
  if (numberIme_) {
    ImmAssociateContext(t1_, numberIme_);
    ImmAssociateContext(t2_, numberIme_);
    ImmSetOpenStatus(numberIme_, FALSE);
  }
}

// Names and descriptions as dynamic annotations, which screen readers get
// from Windows' accessibility proxies ahead of any label; where the system
// has no such service, the hidden labels still name the boxes.
void Form1::annotate() {
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, reinterpret_cast<void**>(&annotations_)))) {
    annotations_ = nullptr;
    return;
  }
  for (const ControlDesign& design : kControls) {
    const HWND control = GetDlgItem(hwnd_, design.id);
    if (design.name) {
      annotations_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                   design.name);
    }
    if (design.description) {
      annotations_->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                   design.description);
    }
  }
}

bool Form1::tab(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || !IsChild(hwnd_, message.hwnd) ||
      GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
    return false;
  }
  const int count = static_cast<int>(std::size(kTabOrder));
  const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
  int at = 0;
  while (at < count && GetDlgItem(hwnd_, kTabOrder[at]) != GetFocus()) ++at;
  const HWND next = GetDlgItem(hwnd_, kTabOrder[at == count ? 0 : (at + step) % count]);
  SetFocus(next);
  if (next != command1_) SendMessageW(next, EM_SETSEL, 0, -1);  // As a dialog box does.
  return true;
}

void Form1::layout(UINT dpi) {
  const HFONT oldFonts[] = {boxFont_, colonFont_, messageFont_};
  boxFont_ = createGothic(1200, dpi);
  colonFont_ = createGothic(1125, dpi);
  messageFont_ = createMessageFont(dpi);

  for (const ControlDesign& design : kControls) {
    const HWND control = GetDlgItem(hwnd_, design.id);
    SetWindowPos(control, nullptr, twipsToPixels(design.left, dpi), twipsToPixels(design.top, dpi),
                 twipsToPixels(design.width, dpi), twipsToPixels(design.height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const HFONT font = design.font == Font::kBox     ? boxFont_
                       : design.font == Font::kColon ? colonFont_
                                                     : messageFont_;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  for (const HFONT font : oldFonts) {
    if (font) DeleteObject(font);
  }
}

void Form1::hide() {
  hiddenByArming_ = true;
  if (poppedUp_) {
    // Back to an ordinary window before it goes, so that it does not come
    // back above everything before its time.
    poppedUp_ = false;
    flash(hwnd_, FLASHW_STOP);
    setWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  ShowWindow(hwnd_, SW_HIDE);
}

// Before any arming the window is the user's to arrange: shown if hidden, but
// left minimised if the user (or the shortcut that started it) minimised it.
// Once armed, only the reminder brings it back, as a pop-up.
void Form1::show() {
  if (hiddenByArming_ || (poppedUp_ && (!IsWindowVisible(hwnd_) || IsIconic(hwnd_)))) {
    popUp();
  } else if (!IsWindowVisible(hwnd_)) {
    ShowWindow(hwnd_, SW_SHOWNA);
  }
}

// The reminder has come: shown above every ordinary window until armed again,
// without taking the focus from whatever the user is typing into. A program in
// the background may not bring a window to the top of the ordinary ones (only
// the foreground process may), but it may make its own window topmost; where
// even that is refused, it is shown where it stands in the stacking order. The
// taskbar button flashes until the user turns to the window.
void Form1::popUp() {
  hiddenByArming_ = false;
  poppedUp_ = true;
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  placeForPopUp();
  if (!setWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                    SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW)) {
    ShowWindow(hwnd_, SW_SHOWNA);
  }
  flash(hwnd_, FLASHW_TRAY | FLASHW_TIMERNOFG);
}

// On every tick, as far as Windows lets a program in the background: to the
// top of the topmost windows once popped up (another program may have made its
// own topmost since), and onto the virtual desktop the user is on; to the top
// of the ordinary ones before any arming, unless minimised. Hidden, there is
// nothing to raise.
void Form1::raise() {
  if (poppedUp_) {
    if (!setWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE)) {
      ShowWindow(hwnd_, SW_SHOWNA);
      flash(hwnd_, FLASHW_TRAY | FLASHW_TIMERNOFG);
    }
    toCurrentDesktop();
  } else if (!hiddenByArming_ && !IsIconic(hwnd_)) {
    setWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// Where the user can see it: its old place, unless that no longer lies wholly
// within one monitor's work area (a monitor unplugged, the resolution lowered
// while hidden); then centred on the primary one, as at the start.
void Form1::placeForPopUp() {
  RECT frame;
  GetWindowRect(hwnd_, &frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  const HMONITOR on = MonitorFromRect(&frame, MONITOR_DEFAULTTONULL);
  RECT inside;
  if (!on || !GetMonitorInfoW(on, &monitor) ||
      !(IntersectRect(&inside, &frame, &monitor.rcWork) && EqualRect(&inside, &frame))) {
    centreOnPrimary(hwnd_);
  }
}

// A window stays on the virtual desktop it was shown on, cloaked while the
// user works on another, where a pop-up that takes no focus would go unseen
// (and still counts as visible): moved to the desktop of the window the user
// works in, never switching desktops. The manager is asked for afresh, as one
// kept goes stale when Explorer restarts; before Windows 10 there is none.
void Form1::toCurrentDesktop() {
  IVirtualDesktopManager* desktops = nullptr;
  if (FAILED(CoCreateInstance(CLSID_VirtualDesktopManager, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IVirtualDesktopManager, reinterpret_cast<void**>(&desktops)))) {
    return;
  }
  BOOL onCurrent = TRUE;
  GUID desktop{};
  const HWND foreground = GetForegroundWindow();
  if (SUCCEEDED(desktops->IsWindowOnCurrentVirtualDesktop(hwnd_, &onCurrent)) && !onCurrent &&
      foreground && SUCCEEDED(desktops->GetWindowDesktopId(foreground, &desktop)) &&
      desktop != GUID{}) {
    desktops->MoveWindowToDesktop(hwnd_, desktop);
  }
  desktops->Release();
}

// Three checks a minute on the clock's :00, :20 and :40, each wait measured
// afresh, from the check's own reading of the wall clock, so the ticks never
// drift.
void Form1::checkNow() {
  const auto wait = static_cast<UINT>(reminder_.checkReminder());
  if (!SetTimer(hwnd_, kTimer1, wait, nullptr)) throwLastError("SetTimer");
}

std::u16string Form1::textOfT1() const { return textOf(t1_); }
std::u16string Form1::textOfT2() const { return textOf(t2_); }

LRESULT CALLBACK Form1::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->failed_) {
    if (self && message == WM_DESTROY) PostQuitMessage(self->exitCode_);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  // Nothing may unwind through Windows' own frames.
  try {
    return self->handle(message, wParam, lParam);
  } catch (const WindowsError& e) {
    self->fail(e.what(), e.code());
  } catch (const std::exception& e) {
    self->fail(e.what(), 0);
  } catch (...) {
    self->fail("unknown exception", 0);
  }
  return 0;
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kCommand1 && HIWORD(wParam) == BN_CLICKED) {
        reminder_.armReminder();
        return 0;
      }
      if ((LOWORD(wParam) == kT1 || LOWORD(wParam) == kT2) && HIWORD(wParam) == EN_SETFOCUS &&
          numberIme_) {
        ImmSetOpenStatus(numberIme_, FALSE);
      }
      break;
    case WM_TIMER:
      if (wParam == kTimer1) {
        checkNow();
        return 0;
      }
      break;
    // After a sleep or a change of the clock, the next tick may be up to 20 s
    // away, or set from a clock that no longer holds: check now.
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) checkNow();
      return TRUE;
    case WM_TIMECHANGE:
      checkNow();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == label1_) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    case DM_GETDEFID:  // Enter in any box presses Command1.
      return MAKELRESULT(kCommand1, DC_HASDEFID);
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
      }
      break;
    case WM_SETFOCUS:  // Back to the control that had it, Command1 at first.
      SetFocus(lastFocus_ ? lastFocus_ : command1_);
      return 0;
    // Moved onto a monitor of another DPI: Windows asks the frame's size there
    // first, then suggests a place with it that keeps the window under the
    // cursor, in one move.
    case WM_GETDPISCALEDSIZE:
      *reinterpret_cast<SIZE*>(lParam) = frameSize(static_cast<UINT>(wParam));
      return TRUE;
    case WM_DPICHANGED: {
      layout(HIWORD(wParam));
      const RECT& r = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY:
      KillTimer(hwnd_, kTimer1);
      if (annotations_) {
        const MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
        for (const HWND box : {t1_, t2_, text3_}) {
          annotations_->ClearHwndProps(box, OBJID_CLIENT, CHILDID_SELF, props, 2);
        }
      }
      PostQuitMessage(exitCode_);
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Form1::fail(const char* what, DWORD code) {
  failed_ = true;
  exitCode_ = 1;
  KillTimer(hwnd_, kTimer1);
  showFailure(hwnd_, what, code);
  DestroyWindow(hwnd_);
}

}  // namespace timerset
