// Drives timerset.exe through window messages and keys (usage: form1_driver PROGRAM.exe). Fonts
// and icons, which Wine does not hand across processes, and DPI changes are checked in-process.
#include "form1.h"  // windows.h first, then what needs it

#include <gtest/gtest.h>
#include <oleacc.h>
#include <winver.h>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "../../../resources/timerset.xpm"

namespace {

using timerset::Form1;

// Waits for a condition, handling this thread's own window messages meanwhile.
bool waitFor(const std::function<bool()>& condition, ULONGLONG milliseconds = 5000) {
  for (const ULONGLONG end = GetTickCount64() + milliseconds; !condition(); Sleep(20)) {
    if (GetTickCount64() > end) return false;
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  }
  return true;
}

std::wstring textOf(HWND window) {
  std::wstring text(200000, 0);  // Room for more than any test puts in
  text.resize(SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  return text;
}

void setText(HWND window, const std::wstring& text) {
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Keys go through the system's input queue, as the keyboard delivers them.
void press(BYTE virtualKey, bool shift = false) {
  if (shift) keybd_event(VK_SHIFT, 0, 0, 0);
  keybd_event(virtualKey, 0, 0, 0);
  keybd_event(virtualKey, 0, KEYEVENTF_KEYUP, 0);
  if (shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

void type(std::wstring_view text) {
  std::vector<INPUT> in(text.size() * 2);
  for (std::size_t n = 0; n < in.size(); ++n) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki = {0, text[n / 2], KEYEVENTF_UNICODE | (n % 2 ? KEYEVENTF_KEYUP : 0u), 0, 0};
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof in[0]);
}

bool foreground(HWND window) {
  SetForegroundWindow(window);
  return waitFor([window] { return GetForegroundWindow() == window; });
}

int pixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

struct ControlCase {
  int id;
  const wchar_t *className, *text;
  int left, top, width, height, centipoints;  // Twips; no points: the system's message font
};

constexpr ControlCase kControls[] = {
    {Form1::kCommand1, L"Button", L"セット", 1320, 120, 975, 375, 0},
    {Form1::kT1, L"Edit", L"", 0, 120, 495, 375, 1200},
    {Form1::kT2, L"Edit", L"", 720, 120, 495, 375, 1200},
    {Form1::kLabel1, L"Static", L"：", 480, 240, 255, 255, 1125},
    {Form1::kText3, L"Edit", L"", 0, 600, 2295, 375, 0},
};

// Each control's class, text and place at this DPI, and its font where it can be read.
void expectControls(HWND form1, UINT dpi, bool withFonts) {
  for (const ControlCase& c : kControls) {
    SCOPED_TRACE(testing::Message() << "control " << c.id << " at " << dpi << " DPI");
    const HWND control = GetDlgItem(form1, c.id);
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    EXPECT_EQ(lstrcmpiW(className, c.className), 0) << className;
    EXPECT_EQ(textOf(control), c.text);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form1, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((std::array{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::array<LONG, 4>{pixels(c.left, dpi), pixels(c.top, dpi), pixels(c.width, dpi),
                                   pixels(c.height, dpi)}));
    if (!withFonts) continue;
    LOGFONTW got{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof got, &got);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    using Font = std::tuple<std::wstring, LONG, LONG, BYTE>;  // Face, height, weight, charset
    const LOGFONTW& m = metrics.lfMessageFont;
    Font want{m.lfFaceName, m.lfHeight, m.lfWeight, m.lfCharSet};
    if (c.centipoints)
      want = {L"ＭＳ Ｐゴシック", -MulDiv(c.centipoints, dpi, 7200), FW_BOLD, SHIFTJIS_CHARSET};
    EXPECT_EQ(Font(got.lfFaceName, got.lfHeight, got.lfWeight, got.lfCharSet), want);
  }
}

std::wstring program;  // Set by main, as are the process and its window.
PROCESS_INFORMATION process{};
HWND form1 = nullptr;

HWND item(int id) { return GetDlgItem(form1, id); }

HWND focus() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(process.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

TEST(ProgramFile, CarriesTheVersionRecord) {
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, data.data())) << program;
  for (const auto& [name, text] : {std::pair{L"FileDescription", L"タイマセット"},
                                   {L"FileVersion", L"1.01.0007"},
                                   {L"ProductVersion", L"1.01.0007"}}) {
    const std::wstring path = L"\\StringFileInfo\\041104B0\\" + std::wstring(name);
    wchar_t* found = nullptr;
    UINT length = 0;
    VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&found), &length);
    EXPECT_STREQ(found, text);
  }
}

TEST(Form1Window, IsAFixedCentredWindowWithACloseBoxOnlyAndItsControls) {
  // A tick with the boxes empty reads them; the window stays up and usable.
  SendMessageTimeoutW(form1, WM_TIMER, Form1::kTimer1, 0, SMTO_NORMAL, 5000, nullptr);
  ASSERT_TRUE(IsWindowVisible(form1) && IsWindowEnabled(form1)) << "no usable window: " << program;
  const auto boxes = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
  EXPECT_EQ(GetWindowLongPtrW(form1, GWL_STYLE) & boxes, WS_CAPTION | WS_SYSMENU);
  const UINT dpi = GetDpiForWindow(form1);
  RECT client, frame, work;
  GetClientRect(form1, &client);
  GetWindowRect(form1, &frame);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ((std::array{client.right, client.bottom}),
            (std::array<LONG, 2>{pixels(2355, dpi), pixels(1035, dpi)}));
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
  expectControls(form1, dpi, false);

  // The colon's cell overlaps each number box by a pixel: the boxes' borders
  // must stay whole as the screen shows them.
  const HDC screen = GetDC(nullptr);
  for (const auto& [id, side] : {std::pair{Form1::kT1, 1}, std::pair{Form1::kT2, 0}}) {
    RECT box;
    GetWindowRect(item(id), &box);
    const LONG x = side ? box.right - 1 : box.left;
    const COLORREF border = GetPixel(screen, x, box.top);
    int cut = 0;
    for (LONG y = box.top; y < box.bottom; ++y) cut += GetPixel(screen, x, y) != border;
    EXPECT_EQ(cut, 0) << "rows of the border of control " << id << " painted over";
  }
  ReleaseDC(nullptr, screen);
}

bool topmost(HWND window) { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// What a screen reader gets through Microsoft Active Accessibility.
struct Accessible {
  LONG role;
  std::wstring name;
  bool operator==(const Accessible&) const = default;
};

void PrintTo(const Accessible& a, std::ostream* os) {
  std::string name(a.name.size() * 3, '\0');
  name.resize(WideCharToMultiByte(CP_UTF8, 0, a.name.data(), static_cast<int>(a.name.size()),
                                  name.data(), static_cast<int>(name.size()), nullptr, nullptr));
  *os << "role " << a.role << " \"" << name << '"';
}
Accessible accessibleOf(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible,
                                        reinterpret_cast<void**>(&object)))) {
    return {-1, L"(no accessible object)"};
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{};
  BSTR name = nullptr;
  object->get_accRole(self, &role);
  object->get_accName(self, &name);
  Accessible result{role.vt == VT_I4 ? role.lVal : -1, name ? name : L""};
  SysFreeString(name);
  object->Release();
  return result;
}

// Wine gives the label and the button the plain client role, where Windows
// has static text and push button.
TEST(Form1Window, IsReadInScreenOrderWithANameForEachBox) {
  const std::pair<int, Accessible> want[] = {
      {Form1::kT1, {ROLE_SYSTEM_TEXT, L"時"}},
      {Form1::kLabel1, {ROLE_SYSTEM_CLIENT, L"："}},
      {Form1::kT2, {ROLE_SYSTEM_TEXT, L"分"}},
      {Form1::kCommand1, {ROLE_SYSTEM_CLIENT, L"セット"}},
      {Form1::kText3, {ROLE_SYSTEM_TEXT, L"メモ"}},
  };
  std::vector<int> order;  // Of the visible controls, as the window lists its children.
  for (HWND child = GetWindow(form1, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) order.push_back(GetDlgCtrlID(child));
  }
  std::vector<int> wantOrder;
  for (const auto& [id, accessible] : want) {
    wantOrder.push_back(id);
    EXPECT_EQ(accessibleOf(item(id)), accessible) << "control " << id;
  }
  EXPECT_EQ(order, wantOrder);
}

TEST(Form1Window, TabsTypesHidesOnSetAndComesBackAtTheTickWithTheTextsKept) {
  EXPECT_TRUE(waitFor([] { return focus() == item(Form1::kCommand1); }));
  ASSERT_TRUE(foreground(form1));
  const std::pair<int, bool> steps[] = {
      {Form1::kT1, false},   {Form1::kT2, false}, {Form1::kText3, false}, {Form1::kCommand1, false},
      {Form1::kText3, true}, {Form1::kT2, true},  {Form1::kT1, true},     {Form1::kCommand1, true}};
  for (const auto& [id, shift] : steps) {
    press(VK_TAB, shift);
    EXPECT_TRUE(waitFor([&] { return focus() == item(id); })) << id << (shift ? " by Shift" : "");
  }

  // Typed on: a target of now, due unless arming crosses midnight; a note to 100,000 characters.
  SYSTEMTIME now;
  for (GetLocalTime(&now); now.wHour == 23 && now.wMinute == 59; GetLocalTime(&now)) Sleep(1000);
  const std::tuple<int, std::wstring, std::wstring> boxes[] = {
      {Form1::kT1, L"", std::to_wstring(now.wHour)},
      {Form1::kT2, L"", std::to_wstring(now.wMinute)},
      {Form1::kText3, std::wstring(99990, L'会'), L"資料を持参すること。"}};
  for (const auto& [id, had, typed] : boxes) {
    setText(item(id), had);
    press(VK_TAB);
    press(VK_END);
    type(typed);
    EXPECT_TRUE(waitFor([&] { return textOf(item(id)) == had + typed; })) << id;
  }
  PostMessageW(item(Form1::kCommand1), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([] { return !IsWindowVisible(form1); })) << "セット did not hide the window";

  // The tick shows it above the window the user types in, which keeps the focus.
  const HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1280,
                                     1000, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(foreground(other));
  PostMessageW(form1, WM_TIMER, Form1::kTimer1, 0);
  ASSERT_TRUE(waitFor([] { return IsWindowVisible(form1) != FALSE; })) << "no pop-up";
  for (const auto& [id, had, typed] : boxes) EXPECT_TRUE(textOf(item(id)) == had + typed) << id;
  EXPECT_EQ(GetForegroundWindow(), other);
  EXPECT_TRUE(topmost(form1));
  POINT corner{};  // Of the client area, where no control is
  ClientToScreen(form1, &corner);
  EXPECT_TRUE(waitFor([&] { return WindowFromPoint(corner) == form1; })) << "not raised";
  DestroyWindow(other);

  // Enter in a box arms too; a target later today then stays hidden at the tick.
  ASSERT_TRUE(foreground(form1));
  setText(item(Form1::kT1), std::to_wstring(now.wHour < 23 ? now.wHour + 1 : 23));
  setText(item(Form1::kT2), L"59");
  press(VK_TAB, true);  // From セット, which the click focused, to the note
  ASSERT_TRUE(waitFor([] { return focus() == item(Form1::kText3); }));
  press(VK_RETURN);
  ASSERT_TRUE(waitFor([] { return !IsWindowVisible(form1); })) << "Enter did not hide the window";
  EXPECT_FALSE(topmost(form1)) << "armed again, but still above every window";
  SendMessageTimeoutW(form1, WM_TIMER, Form1::kTimer1, 0, SMTO_NORMAL, 5000, nullptr);
  EXPECT_FALSE(IsWindowVisible(form1)) << "shown for a target not due";
}

// After a sleep or a change of the clock the window must not wait for the next tick.
TEST(Form1Window, ChecksAtOnceOnResumeAndOnAClockChange) {
  setText(item(Form1::kT1), L"99");  // No clock shows 99:99: due at the first check.
  setText(item(Form1::kT2), L"99");
  PostMessageW(form1, WM_TIMECHANGE, 0, 0);  // Left armed by the test before.
  ASSERT_TRUE(waitFor([] { return IsWindowVisible(form1) != FALSE; }))
      << "no check on WM_TIMECHANGE";
  const std::pair<UINT, WPARAM> wakes[] = {{WM_TIMECHANGE, 0},
                                           {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                           {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND}};
  for (const auto& [message, kind] : wakes) {
    SCOPED_TRACE(testing::Message() << "message " << message << ", " << kind);
    // Seconds away from the clock's next :00, :20 or :40, so that no tick can show it.
    SYSTEMTIME now;
    for (GetLocalTime(&now); now.wSecond % 20 < 1 || now.wSecond % 20 > 14; GetLocalTime(&now)) {
      Sleep(100);
    }
    PostMessageW(item(Form1::kCommand1), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([] { return !IsWindowVisible(form1); }))
        << "セット did not hide the window";
    EXPECT_FALSE(topmost(form1)) << "armed, but still above every window";
    PostMessageW(form1, message, kind, 0);
    EXPECT_TRUE(waitFor([] { return IsWindowVisible(form1) != FALSE; }, 2000))
        << "not checked at once";
    EXPECT_TRUE(topmost(form1)) << "popped up, but not above other windows";
  }
}

TEST(Form1Window, ClosingEndsTheProgram) {
  PostMessageW(form1, WM_CLOSE, 0, 0);
  DWORD code = WaitForSingleObject(process.hProcess, 10000);  // Then the exit code
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u) << "259: still running";
}

TEST(Form1InProcess, StartsTimer1AndLaysItselfOutAtEveryDpi) {
  Form1 window(GetModuleHandleW(nullptr));
  ASSERT_NO_THROW(window.create());
  EXPECT_TRUE(KillTimer(window.hwnd(), Form1::kTimer1)) << "Timer1 is not running";
  for (const UINT dpi : {144u, 192u, 120u, 96u}) {
    RECT suggested{50, 60, 400, 300}, want{0, 0, pixels(2355, dpi), pixels(1035, dpi)}, f;
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    expectControls(window.hwnd(), dpi, true);
    AdjustWindowRectExForDpi(&want, WS_CAPTION | WS_SYSMENU, FALSE, 0, dpi);
    GetWindowRect(window.hwnd(), &f);
    EXPECT_EQ((std::array{f.left, f.top, f.right - f.left, f.bottom - f.top}),
              (std::array{50L, 60L, want.right - want.left, want.bottom - want.top}));
  }
}

// Back where the user left it if that lies wholly in a monitor's work area,
// else centred in the primary one's as at the start (a monitor unplugged while hidden).
TEST(Form1InProcess, PopsUpOnAMonitor) {
  Form1 window(GetModuleHandleW(nullptr));
  ASSERT_NO_THROW(window.create());
  setText(GetDlgItem(window.hwnd(), Form1::kT1), L"99");  // Due at every tick.
  RECT work, start, f;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window.hwnd(), &start);
  for (const auto& [x, y, stays] : {std::tuple{work.left + 10, work.top + 20, true},
                                    {-5000L, -5000L, false},
                                    {work.right - 50, work.top, false}}) {
    window.hide();
    SetWindowPos(window.hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window.hwnd(), WM_TIMER, Form1::kTimer1, 0);
    GetWindowRect(window.hwnd(), &f);
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ((std::array{f.left, f.top}),
              (stays ? std::array{x, y} : std::array{start.left, start.top}));
  }
}

TEST(Form1InProcess, ShowsTheIconDrawnInThePixelMap) {
  Form1 window(GetModuleHandleW(nullptr));
  ASSERT_NO_THROW(window.create());
  EXPECT_NE(SendMessageW(window.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
  ICONINFO icon{};
  ASSERT_TRUE(GetIconInfo(
      reinterpret_cast<HICON>(SendMessageW(window.hwnd(), WM_GETICON, ICON_BIG, 0)), &icon));
  BITMAPINFO format{};  // 32 x 32 at 0xRRGGBB, top row first
  format.bmiHeader = {sizeof format.bmiHeader, 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> colour(32 * 32), mask(32 * 32), want;
  const HDC screen = GetDC(nullptr);
  GetDIBits(screen, icon.hbmColor, 0, 32, colour.data(), &format, DIB_RGB_COLORS);
  GetDIBits(screen, icon.hbmMask, 0, 32, mask.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  // Yellow, black and olive of the 16-colour palette; transparent (here 1 << 24) outside the dial.
  const std::map<char, DWORD> palette{{' ', 1 << 24}, {'y', 0xFFFF00}, {'k', 0}, {'o', 0x808000}};
  for (std::size_t n = 0; n < colour.size(); ++n) {
    colour[n] = mask[n] ? 1 << 24 : colour[n] & 0xFFFFFF;
    want.push_back(palette.at(timerset_icon[5 + n / 32][n % 32]));
  }
  EXPECT_TRUE(colour == want) << "the icon is not the picture in timerset.xpm";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  program = argc == 2 ? argv[1] : L"(no PROGRAM.exe given)";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                 &process);
  WaitForInputIdle(process.hProcess, 20000);  // Its window is up when it first waits for input.
  form1 = FindWindowW(nullptr, L"タイマセット");
  return RUN_ALL_TESTS();  // wine_gui.sh ends the program if a test left it running.
}
