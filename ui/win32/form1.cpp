#include "form1.h"

#include <imm.h>
#include <initguid.h>  // Defines the accessibility GUIDs here, not in a library.
#include <oleacc.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace timerset {
namespace {

using form1::Kind;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows texts are UTF-16, as the design's");
const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

constexpr wchar_t kClassName[] = L"TimerSetForm1";
// A fixed-size window with a close box only.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

constexpr const form1::Control& kT1 = form1::named("t1");
constexpr const form1::Control& kT2 = form1::named("t2");
constexpr const form1::Control& kLabel1 = form1::named("Label1");
constexpr const form1::Control& kCommand1 = form1::named("Command1");

// The controls by their places in the design's Tab order, labels among them.
constexpr std::size_t kCount = std::size(form1::kControls);
constexpr auto kTabOrder = [] {
  std::array<const form1::Control*, kCount> order{};
  for (const form1::Control& control : form1::kControls) order.at(control.tabPosition) = &control;
  return order;
}();
static_assert(std::find(kTabOrder.begin(), kTabOrder.end(), nullptr) == kTabOrder.end());

// What each form1::Kind is made of. Each control is its own group: arrow keys never move the focus.
constexpr struct {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
} kLooks[] = {
    {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {L"STATIC", SS_CENTER | SS_NOPREFIX, WS_EX_TRANSPARENT},  // See paintColon.
    {L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
};

int twipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), form1::kTwipsPerInch);
}

HFONT createFont(int centipoints, UINT dpi) {
  LOGFONTW font{};
  if (centipoints == 0) {
    font = desktop::messageFont(dpi);
  } else {
    font.lfHeight = -MulDiv(centipoints, static_cast<int>(dpi), 72 * 100);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = SHIFTJIS_CHARSET;
    std::wstring_view(wide(form1::kGothic)).copy(font.lfFaceName, LF_FACESIZE - 1);
  }
  SetLastError(ERROR_SUCCESS);  // CreateFontIndirectW sets no error code: none is told.
  if (const HFONT handle = CreateFontIndirectW(&font)) return handle;
  throwLastError("CreateFontIndirectW");
}

std::u16string textOf(HWND box) {
  std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(box)), u'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(box, reinterpret_cast<wchar_t*>(text.data()),
                                                      static_cast<int>(text.size()) + 1)));
  return text;
}

}  // namespace

void showFailure(HWND owner) {
  std::string what = "unknown exception";
  DWORD code = 0;
  try {
    throw;
  } catch (const WindowsError& e) {
    what = e.what(), code = e.code();
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  std::wstring text = L"予期しないエラーのため、タイマセットを終了します。\n\n";
  text.append(what.begin(), what.end());  // Windows' function names: ASCII.
  wchar_t* reason = nullptr;
  if (code != 0 &&
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr)) {
    text += L": ";
    text += reason;
    LocalFree(reason);
  }
  // System modal: topmost, so not lost behind the user's work; Wine ignores MB_TOPMOST.
  MessageBoxW(owner, text.c_str(), wide(form1::kCaption), MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
}

Form1::Form1(HINSTANCE instance, int showCommand)
    : com_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))),
      instance_(instance),
      showCommand_(showCommand),
      reminder_(*this, clock_) {}

Form1::~Form1() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (annotations_) annotations_->Release();
  desktop::unregisterForResume(suspendResume_);
  if (numberIme_) ImmDestroyContext(numberIme_);
  for (const HFONT font : fonts_) DeleteObject(font);
  if (com_) CoUninitialize();
}

void Form1::create() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance_;
  // Resource 1; Windows takes the small icon from it too.
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throwLastError("RegisterClassW");
  }
  // At 0,0, on the primary monitor, whose DPI it is laid out for.
  if (!CreateWindowExW(0, kClassName, wide(form1::kCaption), kStyle, 0, 0, 0, 0, nullptr, nullptr,
                       instance_, this)) {
    throwLastError("CreateWindowExW");
  }
  createControls();
  const UINT dpi = desktop::dpiOf(hwnd_);
  layout(dpi);
  const SIZE frame = frameSize(dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, frame.cx, frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  suspendResume_ = desktop::registerForResume(hwnd_);
  if (!SetTimer(hwnd_, kTimer1, static_cast<UINT>(reminder_.start()), nullptr)) {
    throwLastError("SetTimer");
  }
}

void Form1::createControls() {
  for (const form1::Control& design : form1::kControls) {
    // A hidden label just before it names it where there are no annotations.
    if (design.accessible &&
        !CreateWindowExW(0, L"STATIC", wide(design.accessible), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0,
                         hwnd_, nullptr, instance_, nullptr)) {
      throwLastError("CreateWindowExW");
    }
    const auto& look = kLooks[static_cast<int>(design.kind)];
    const HWND control = CreateWindowExW(
        look.exStyle, look.className, wide(design.text),
        WS_CHILD | WS_VISIBLE | WS_GROUP | look.style, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance_, nullptr);
    if (!control) throwLastError("CreateWindowExW");
    // Without this an EDIT takes at most 30000 characters from the keyboard.
    if (look.className[0] == L'E') SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
  }
  annotate();
  // The number boxes' own input context, closed whenever they take the focus: digits come
  // half-width. The note box keeps the user's.
  if ((numberIme_ = ImmCreateContext())) {
    for (const form1::Control& design : form1::kControls) {
      if (design.kind == Kind::kNumberBox) ImmAssociateContext(item(design), numberIme_);
    }
  }
}

// Names and descriptions as dynamic annotations, which screen readers take ahead of any label.
void Form1::annotate() {
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, reinterpret_cast<void**>(&annotations_)))) {
    return;
  }
  for (const form1::Control& design : form1::kControls) {
    for (const auto& [property, text] : {std::pair{PROPID_ACC_NAME, design.accessible},
                                         std::pair{PROPID_ACC_DESCRIPTION, design.description}}) {
      if (text) {
        annotations_->SetHwndPropStr(item(design), OBJID_CLIENT, CHILDID_SELF, property,
                                     wide(text));
      }
    }
  }
}

bool Form1::tab(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || !IsChild(hwnd_, message.hwnd) ||
      GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
    return false;
  }
  const std::size_t step = GetKeyState(VK_SHIFT) < 0 ? kCount - 1 : 1;
  std::size_t at = 0;
  while (at < kCount && item(*kTabOrder[at]) != GetFocus()) ++at;
  do at = (at + step) % kCount;
  while (kTabOrder[at]->kind == Kind::kLabel);
  const HWND next = item(*kTabOrder[at]);
  SetFocus(next);
  if (next != item(kCommand1)) SendMessageW(next, EM_SETSEL, 0, -1);  // As a dialog box does.
  return true;
}

void Form1::layout(UINT dpi) {
  for (std::size_t i = 0; i < kCount; ++i) {
    const form1::Control& design = form1::kControls[i];
    const HFONT old = fonts_[i];
    fonts_[i] = createFont(design.centipoints, dpi);
    SetWindowPos(item(design), nullptr, twipsToPixels(design.left, dpi),
                 twipsToPixels(design.top, dpi), twipsToPixels(design.width, dpi),
                 twipsToPixels(design.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(item(design), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[i]), TRUE);
    DeleteObject(old);
  }
}

SIZE Form1::frameSize(UINT dpi) const {
  return desktop::frameAround(
      {twipsToPixels(form1::kClientWidth, dpi), twipsToPixels(form1::kClientHeight, dpi)}, kStyle,
      0, dpi);
}

// On a monitor of another DPI, at the place Windows suggests for the size asked (frameSize).
void Form1::moveToDpi(UINT dpi, const RECT& suggested) {
  layout(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::hide() { ShowWindow(hwnd_, SW_HIDE); }

void Form1::show(Show how) {
  if (how == Show::kStart) {
    ShowWindow(hwnd_, showCommand_);
  } else if (isHidden()) {
    ShowWindow(hwnd_, SW_SHOWNA);
  }
}

bool Form1::raise(Stacking stacking) {
  return desktop::stack(hwnd_, stacking == Stacking::kAbove ? HWND_TOPMOST : HWND_TOP);
}

void Form1::restore() {
  if (isMinimised()) desktop::restoreWithoutFocus(hwnd_);
}

void Form1::keepAbove(bool above) { desktop::stack(hwnd_, above ? HWND_TOPMOST : HWND_NOTOPMOST); }
void Form1::requestAttention(bool wanted) { desktop::flash(hwnd_, wanted); }
void Form1::centre() { desktop::centre(hwnd_); }
void Form1::toCurrentDesktop() { desktop::toCurrentDesktop(hwnd_); }
bool Form1::isHidden() const { return !IsWindowVisible(hwnd_); }
bool Form1::isMinimised() const { return IsIconic(hwnd_); }
bool Form1::isOnAScreen() const { return desktop::isOnAScreen(hwnd_); }
std::u16string Form1::textOfT1() const { return textOf(item(kT1)); }
std::u16string Form1::textOfT2() const { return textOf(item(kT2)); }

void Form1::command(int id, int code) {
  if (id == kCommand1.id && code == BN_CLICKED) reminder_.armReminder();
  if (code == EN_SETFOCUS && (id == kT1.id || id == kT2.id) && numberIme_) {
    ImmSetOpenStatus(numberIme_, FALSE);
  }
}

// The next wait comes from the check's own reading of the clock: the ticks never drift.
void Form1::checkNow() {
  if (!SetTimer(hwnd_, kTimer1, static_cast<UINT>(reminder_.checkReminder()), nullptr)) {
    throwLastError("SetTimer");
  }
}

// The colon's cell overlaps each number box by a pixel: its glyph alone is drawn, never over
// the boxes' borders. Null for every other control.
LRESULT Form1::paintColon(HDC dc, HWND control) {
  if (GetDlgCtrlID(control) != kLabel1.id) return 0;
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

void Form1::activated(bool active) {
  if (active) return reminder_.windowActivated();
  if (IsChild(hwnd_, GetFocus())) lastFocus_ = GetFocus();
}

// Back to the control that had it, the first in the Tab order at first.
void Form1::giveFocusBack() { SetFocus(lastFocus_ ? lastFocus_ : item(*kTabOrder[0])); }

void Form1::destroyed() {
  if (annotations_) {
    MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
    for (const form1::Control& design : form1::kControls) {
      annotations_->ClearHwndProps(item(design), OBJID_CLIENT, CHILDID_SELF, props, 2);
    }
  }
  PostQuitMessage(0);
}

LRESULT CALLBACK Form1::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->failed_) {
    if (self && message == WM_DESTROY) PostQuitMessage(1);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  // Nothing may unwind through Windows' own frames.
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    self->fail();
  }
  return 0;
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) checkNow();
      return 0;
    // After a sleep or a clock change the next tick may be 20 s away, or set from a stale clock.
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) checkNow();
      return TRUE;
    case WM_TIMECHANGE:
      checkNow();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (const LRESULT brush =
              paintColon(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
        return brush;
      }
      break;
    case DM_GETDEFID:  // Enter in any box presses Command1.
      return MAKELRESULT(kCommand1.id, DC_HASDEFID);
    case WM_ACTIVATE:
      activated(LOWORD(wParam) != WA_INACTIVE);
      break;
    case WM_SETFOCUS:
      giveFocusBack();
      return 0;
    case WM_GETDPISCALEDSIZE:
      *reinterpret_cast<SIZE*>(lParam) = frameSize(static_cast<UINT>(wParam));
      return TRUE;
    case WM_DPICHANGED:
      moveToDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      destroyed();
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Form1::fail() {
  failed_ = true;
  showFailure(hwnd_);
  DestroyWindow(hwnd_);
}

}  // namespace timerset
