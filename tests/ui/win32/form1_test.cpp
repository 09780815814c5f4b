// What the outside story cannot see of the Windows window: its layout, fonts, names and painting
// at each DPI; what it takes typed; where and how it pops up; how a failure ends it.
#include "form1.h"  // windows.h first, then what needs it

#include <gtest/gtest.h>
#include <imm.h>
#include <oleacc.h>

#include <algorithm>
#include <vector>

namespace {

// The visible controls and their places on the screen, by rows from the top, each left to right.
std::vector<std::pair<RECT, HWND>> readingOrder(HWND window) {
  std::vector<std::pair<RECT, HWND>> all;
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (RECT r; GetWindowRect(c, &r) && IsWindowVisible(c)) all.emplace_back(r, c);
  std::ranges::sort(all, [](const auto& a, const auto& b) {
    const bool sideBySide = a.first.top < b.first.bottom && b.first.top < a.first.bottom;
    return sideBySide ? a.first.left < b.first.left : a.first.top < b.first.top;
  });
  return all;
}

class Form1Test : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NO_THROW(form.create(); window = form.hwnd()); }
  void TearDown() override { DestroyWindow(other); }
  // The controls by their places in reading order, which the first test checks.
  enum Place { kHour, kColon, kMinute, kSet, kNote };
  HWND at(Place place) const { return readingOrder(form.hwnd()).at(place).second; }

  // The user's work, under the window from its start.
  const HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                                     600, nullptr, nullptr, nullptr, nullptr);
  timerset::Form1 form{GetModuleHandleW(nullptr), SW_SHOWNORMAL};
  HWND window = nullptr;
};

// Names read in screen order; at each DPI, at the size the window asks there: every control
// inside, none over another, texts that fit, the number boxes' borders whole beside the colon.
TEST_F(Form1Test, LaysItselfOutReadablyAtEveryDpi) {
  std::vector<std::wstring> names;
  for (const auto& [place, control] : readingOrder(window)) {
    IAccessible* object = nullptr;
    BSTR name = nullptr;
    AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_PPV_ARGS(&object));
    if (object) object->get_accName(VARIANT{VT_I4, 0, 0, 0, {}}, &name), object->Release();
    names.emplace_back(name, SysStringLen(name));
    SysFreeString(name);
  }
  EXPECT_EQ(names, (std::vector<std::wstring>{L"時", L"：", L"分", L"セット", L"メモ"}));
  for (const UINT dpi : {96u, 144u, 192u}) {
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    SIZE frame{};
    SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&frame));
    RECT suggested{50, 60, 50 + frame.cx, 60 + frame.cy}, client, inside, room;
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const wchar_t* const widest[] = {L"88", L"：", L"88", L"セット", L"メモ"};
    std::vector<RECT> boxes;
    for (auto [box, control] : readingOrder(window)) {
      // Its widest text's size in the font the mapper really gave it, and its first glyph's ink.
      const Place place = Place(boxes.size());
      const std::wstring_view text = widest[place];
      const HDC dc = GetDC(control);
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
      SIZE size{};
      GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
      ABC ink{};
      GetCharABCWidthsW(dc, text[0], text[0], &ink);
      ReleaseDC(control, dc);
      GetClientRect(control, &room);
      const LONG left = (box.left + box.right - size.cx) / 2 + ink.abcA;
      if (place == kColon)  // Its glyph alone, centred from the top as SS_CENTER draws it.
        box = {left, box.top, left + LONG(ink.abcB), box.top + size.cy};
      else  // Within the edit boxes' margins, or the button's focus rectangle.
        EXPECT_TRUE(size.cx <= room.right - 6 && size.cy <= room.bottom - 2) << "text " << place;
      EXPECT_TRUE(IntersectRect(&inside, &box, &client) && EqualRect(&inside, &box)) << place;
      for (const RECT& other : boxes) EXPECT_FALSE(IntersectRect(&inside, &box, &other)) << place;
      boxes.push_back(box);
    }
    // The colon's cell overlaps each number box: their borders' columns stay whole on the screen.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const HDC screen = GetDC(nullptr);
    const RECT colon = readingOrder(window).at(kColon).first;
    for (LONG y = colon.top; y < colon.bottom - 1; ++y)
      for (const LONG x : {colon.left, colon.right - 1})
        EXPECT_EQ(GetPixel(screen, x, y), GetPixel(screen, x, colon.top - 1)) << x << "," << y;
    ReleaseDC(nullptr, screen);
  }
}

// A note past 30,000 characters; the number boxes' input method closed as they take the focus.
TEST_F(Form1Test, TakesWhatIsTyped) {
  const HWND note = at(kNote);
  SetWindowTextW(note, std::wstring(30000, L'会').c_str());  // Full, were the default limit kept.
  SendMessageW(note, EM_SETSEL, 30000, 30000), SendMessageW(note, WM_CHAR, L'。', 1);
  EXPECT_EQ(GetWindowTextLengthW(note), 30001) << "the note cut at 30,000 characters";
  const auto open = [](HWND box, int set = -1) {
    const HIMC context = ImmGetContext(box);
    if (set >= 0) ImmSetOpenStatus(context, set);
    const bool status = ImmGetOpenStatus(context);
    return ImmReleaseContext(box, context), status;
  };
  for (const Place box : {kHour, kMinute}) {
    for (const Place opened : {box, kNote}) SetFocus(at(opened)), open(at(opened), TRUE);
    SetFocus(at(box));
    EXPECT_TRUE(!open(at(box)) && open(note)) << "box " << box << " open, or the note's closed";
  }
}

// What Windows answers a program in the background that moves its window to the top.
BOOL WINAPI refuse(HWND, HWND, int, int, int, int, UINT) { return FALSE; }

// At once after a clock change or wake, unfocused, refused the top or not; in place, or centred.
TEST_F(Form1Test, PopsUpAtOnceOnAMonitor) {
  SetWindowTextW(at(kHour), L"99");  // No clock shows 99:99: due at every check.
  RECT work, start, f;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window, &start);
  for (const auto& [message, kind, x, y, stays, stack] :  // Windows' own stacking left last.
       {std::tuple{WM_TIMECHANGE, 0, work.left + 10, work.top + 20, true, &refuse},
        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, work.right - 50, work.top, false, &refuse},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, -5000L, -5000L, false, &SetWindowPos}}) {
    timerset::setWindowPos = SetWindowPos;
    SendMessageW(at(kSet), BM_CLICK, 0, 0);
    ASSERT_FALSE(IsWindowVisible(window)) << "セット did not hide the window";
    timerset::setWindowPos = stack;
    KillTimer(window, timerset::Form1::kTimer1);  // No tick may show it.
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, message, kind, 0);  // As Windows sends them.
    GetWindowRect(window, &f);
    EXPECT_TRUE(IsWindowVisible(window) && GetForegroundWindow() != window) << kind;
    EXPECT_EQ((std::pair{f.left, f.top}),
              (stays ? std::pair{x, y} : std::pair{start.left, start.top}));
  }
  // Minimised while popped up (Wine lets no window manager do it): back at the next tick, above.
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(SetForegroundWindow(other) && GetForegroundWindow() == other);
  SendMessageW(window, WM_TIMER, timerset::Form1::kTimer1, 0);
  EXPECT_TRUE(!IsIconic(window) && GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetForegroundWindow(), other) << "brought back with the foreground";
}

// Out of GDI handles when moved to another DPI: told above every window, then it ends with 1.
TEST_F(Form1Test, ReportsAFailureAndEnds) {
  SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  static std::vector<HRGN> held;  // Every GDI handle the process can still get.
  for (HRGN handle; (handle = CreateRectRgn(0, 0, 1, 1));) held.push_back(handle);
  // Run in the message box's modal loop, as the user reads it and closes it.
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND box = FindWindowW(L"#32770", nullptr);
    wchar_t text[200] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 200);
    EXPECT_EQ(GetTopWindow(nullptr), box) << "a window above the message box";
    // The failing call named, with no stale reason after it.
    EXPECT_TRUE(std::wstring_view(text).ends_with(L"CreateFontIndirectW")) << text;
    for (const HRGN handle : held) DeleteObject(handle);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // The last test's window's.
  RECT suggested{0, 0, 600, 300};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_FALSE(KillTimer(nullptr, timer)) << "no message box";
  EXPECT_TRUE(!IsWindow(window) && PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) &&
              quit.wParam == 1);
}

}  // namespace
