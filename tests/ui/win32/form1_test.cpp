// What the outside story cannot see of the Windows window: fonts and layout at
// each DPI, the names a screen reader reads, the colon's painting, the topmost
// flag, the checks on resume and on a clock change, the pop-up's place and refusals.
#include "form1.h"  // windows.h first, then what needs it

#include <gtest/gtest.h>
#include <oleacc.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

using timerset::Form1;

// Waits for a condition, handling this thread's window messages meanwhile.
bool waitFor(const std::function<bool()>& condition, ULONGLONG milliseconds = 5000) {
  for (const ULONGLONG end = GetTickCount64() + milliseconds; !condition(); Sleep(20)) {
    if (GetTickCount64() > end) return false;
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  }
  return true;
}

int pixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

class Form1Test : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_THROW(form.create());
    ShowWindow(form.hwnd(), SW_SHOW);
  }
  HWND item(int id) const { return GetDlgItem(form.hwnd(), id); }
  bool topmost() const { return GetWindowLongPtrW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST; }

  Form1 form{GetModuleHandleW(nullptr)};
};

// In screen order, the order a screen reader reads them in: twips, 1/100 pt of
// the bold Gothic (0: the system's message font), and what Microsoft Active
// Accessibility reads (Wine gives the label and the button the plain client
// role, where Windows has static text and push button).
constexpr std::tuple<int, std::array<int, 4>, int, LONG, const wchar_t*> kControls[] = {
    {Form1::kT1, {0, 120, 495, 375}, 1200, ROLE_SYSTEM_TEXT, L"時"},
    {Form1::kLabel1, {480, 240, 255, 255}, 1125, ROLE_SYSTEM_CLIENT, L"："},
    {Form1::kT2, {720, 120, 495, 375}, 1200, ROLE_SYSTEM_TEXT, L"分"},
    {Form1::kCommand1, {1320, 120, 975, 375}, 0, ROLE_SYSTEM_CLIENT, L"セット"},
    {Form1::kText3, {0, 600, 2295, 375}, 0, ROLE_SYSTEM_TEXT, L"メモ"},
};

std::pair<LONG, std::wstring> accessible(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible,
                                        reinterpret_cast<void**>(&object)))) {
    return {};
  }
  VARIANT self{}, role{};
  self.vt = VT_I4;
  BSTR name = nullptr;
  object->get_accRole(self, &role);
  object->get_accName(self, &name);
  std::pair<LONG, std::wstring> read{role.lVal, name ? name : L""};
  SysFreeString(name);
  object->Release();
  return read;
}

TEST_F(Form1Test, LaysItselfOutAndNamesItsControlsAtEveryDpi) {
  const auto buttons = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
  EXPECT_EQ(GetWindowLongPtrW(form.hwnd(), GWL_STYLE) & buttons, WS_CAPTION | WS_SYSMENU);
  EXPECT_TRUE(KillTimer(form.hwnd(), Form1::kTimer1)) << "Timer1 is not running";
  std::vector<int> order;  // Of the visible controls, as the window lists its children.
  for (HWND child = GetWindow(form.hwnd(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) order.push_back(GetDlgCtrlID(child));
  }
  EXPECT_EQ(order, (std::vector<int>{Form1::kT1, Form1::kLabel1, Form1::kT2, Form1::kCommand1,
                                     Form1::kText3}));
  // Its frame at a DPI is the design's; the place and size Windows then suggests are taken.
  for (const UINT dpi : {144u, 192u, 120u, 96u}) {
    RECT suggested{50, 60, 400, 300}, want{0, 0, pixels(2355, dpi), pixels(1035, dpi)}, f;
    SIZE answer{1, 1};
    AdjustWindowRectExForDpi(&want, WS_CAPTION | WS_SYSMENU, FALSE, 0, dpi);
    EXPECT_TRUE(
        SendMessageW(form.hwnd(), WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&answer)));
    EXPECT_EQ((std::pair{answer.cx, answer.cy}),
              (std::pair{want.right - want.left, want.bottom - want.top}));
    SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(form.hwnd(), &f);
    EXPECT_TRUE(EqualRect(&f, &suggested));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    for (const auto& [id, twips, centipoints, role, name] : kControls) {
      SCOPED_TRACE(testing::Message() << "control " << id << " at " << dpi << " DPI");
      RECT r;
      GetWindowRect(item(id), &r);
      MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ((std::array{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                (std::array<LONG, 4>{pixels(twips[0], dpi), pixels(twips[1], dpi),
                                     pixels(twips[2], dpi), pixels(twips[3], dpi)}));
      LOGFONTW font{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(item(id), WM_GETFONT, 0, 0)), sizeof font,
                 &font);
      using Font = std::tuple<std::wstring, LONG, LONG, BYTE>;  // Face, height, weight, charset
      const LOGFONTW& m = metrics.lfMessageFont;
      const Font want = centipoints ? Font{L"ＭＳ Ｐゴシック", -MulDiv(centipoints, dpi, 7200),
                                           FW_BOLD, SHIFTJIS_CHARSET}
                                    : Font{m.lfFaceName, m.lfHeight, m.lfWeight, m.lfCharSet};
      EXPECT_EQ(Font(font.lfFaceName, font.lfHeight, font.lfWeight, font.lfCharSet), want);
      EXPECT_EQ(accessible(item(id)), std::pair(role, std::wstring(name)));
    }
  }
}

// The colon's cell overlaps each number box by a pixel: the boxes' borders
// must stay whole on the screen.
TEST_F(Form1Test, TheColonLeavesTheBoxBordersWhole) {
  UpdateWindow(form.hwnd());
  const HDC screen = GetDC(nullptr);
  for (const auto& [id, right] : {std::pair{Form1::kT1, true}, std::pair{Form1::kT2, false}}) {
    RECT box;
    GetWindowRect(item(id), &box);
    const LONG x = right ? box.right - 1 : box.left;
    int cut = 0;
    for (LONG y = box.top; y < box.bottom; ++y)
      cut += GetPixel(screen, x, y) != GetPixel(screen, x, box.top);
    EXPECT_EQ(cut, 0) << "rows of the border of control " << id << " painted over";
  }
  ReleaseDC(nullptr, screen);
}

// A note past an edit box's default 30,000 characters, typed on the keyboard.
TEST_F(Form1Test, TakesALongNote) {
  const HWND box = item(Form1::kText3);
  SetWindowTextW(box, std::wstring(99990, L'会').c_str());
  SendMessageW(box, EM_SETSEL, 99990, 99990);
  for (const wchar_t c : std::wstring_view(L"資料を持参すること。"))
    SendMessageW(box, WM_CHAR, c, 1);
  EXPECT_EQ(GetWindowTextLengthW(box), 100000);
}

// Checked at once, not at the next tick, after a wake or a clock change; and
// topmost from the pop-up until armed again, never taking the foreground.
TEST_F(Form1Test, ChecksAtOnceOnWakingAndOnAClockChange) {
  const HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                                     600, nullptr, nullptr, nullptr, nullptr);
  SetWindowTextW(item(Form1::kT1), L"99");  // No clock shows 99:99: due at the first check.
  const std::pair<UINT, WPARAM> checks[] = {{WM_TIMECHANGE, 0},
                                            {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                            {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND}};
  for (const auto& [message, kind] : checks) {
    SCOPED_TRACE(testing::Message() << "message " << message << ", " << kind);
    KillTimer(form.hwnd(), Form1::kTimer1);  // No tick may show it.
    SendMessageW(item(Form1::kCommand1), BM_CLICK, 0, 0);
    ASSERT_FALSE(IsWindowVisible(form.hwnd())) << "セット did not hide the window";
    EXPECT_FALSE(topmost()) << "armed, but still above every window";
    SetForegroundWindow(other);
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == other; }));
    PostMessageW(form.hwnd(), message, kind, 0);
    EXPECT_TRUE(waitFor([this] { return IsWindowVisible(form.hwnd()); }, 2000)) << "not at once";
    EXPECT_TRUE(topmost()) << "popped up, but not above other windows";
    EXPECT_EQ(GetForegroundWindow(), other) << "the pop-up took the foreground";
  }
  DestroyWindow(other);
}

// What Windows answers a program in the background that moves its window to the top.
BOOL WINAPI refuse(HWND, HWND, int, int, int, int, UINT) { return FALSE; }

// Left minimised before any arming. Armed, back where the user left it if on a monitor's work
// area, else centred (a monitor unplugged); also where Windows refuses it the top.
TEST_F(Form1Test, PopsUpOnAMonitor) {
  SetWindowTextW(item(Form1::kT1), L"99");  // Due at every tick.
  RECT work, start, f;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(form.hwnd(), &start);
  ShowWindow(form.hwnd(), SW_MINIMIZE);
  SendMessageW(form.hwnd(), WM_TIMER, Form1::kTimer1, 0);
  EXPECT_TRUE(IsIconic(form.hwnd()) && !topmost()) << "popped up before any arming";
  ShowWindow(form.hwnd(), SW_RESTORE);
  for (const auto& [x, y, stays, stack] : {std::tuple{work.left + 10, work.top + 20, true, &refuse},
                                           {-5000L, -5000L, false, &SetWindowPos},
                                           {work.right - 50, work.top, false, &refuse}}) {
    timerset::setWindowPos = stack;
    form.hide();
    SetWindowPos(form.hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(form.hwnd(), WM_TIMER, Form1::kTimer1, 0);
    GetWindowRect(form.hwnd(), &f);
    EXPECT_TRUE(form.exitCode() == 0 && IsWindowVisible(form.hwnd()) && !IsIconic(form.hwnd()));
    EXPECT_EQ((std::array{f.left, f.top}),
              (stays ? std::array{x, y} : std::array{start.left, start.top}));
  }
  timerset::setWindowPos = SetWindowPos;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  return RUN_ALL_TESTS();
}
