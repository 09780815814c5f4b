// Drives the real timerset.exe from outside, through window messages and
// keyboard input. Fonts and icons are handles Wine does not hand across
// processes, and a DPI change cannot be made from outside, so those are checked
// on a Form1 created in this process (which carries the program's resources).
// Usage: form1_driver PROGRAM.exe [GoogleTest options]
#include "form1.h"  // windows.h first, then what needs it

#include <gtest/gtest.h>
#include <winver.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using timerset::Form1;

// Waits for a condition, handling this thread's own window messages meanwhile.
bool waitFor(const std::function<bool()>& condition, int milliseconds = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (MSG message; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
    if (std::chrono::steady_clock::now() > end) return false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  return true;
}

std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, 0);
  text.resize(static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void setText(HWND window, const std::wstring& text) {
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

INPUT keyInput(WORD virtualKey, wchar_t character, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki = {virtualKey, character, flags, 0, 0};
  return input;
}

// Through the system's input queue, as the keyboard delivers it.
void send(const std::vector<INPUT>& inputs) {
  ASSERT_EQ(
      SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()), sizeof(INPUT)),
      inputs.size());
}

void press(WORD key, bool shift = false) {
  std::vector<INPUT> inputs{keyInput(key, 0, 0), keyInput(key, 0, KEYEVENTF_KEYUP)};
  if (shift) inputs.insert(inputs.begin(), keyInput(VK_SHIFT, 0, 0));
  if (shift) inputs.push_back(keyInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
  send(inputs);
}

void type(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    for (const DWORD up : {0, KEYEVENTF_KEYUP})
      inputs.push_back(keyInput(0, c, KEYEVENTF_UNICODE | up));
  }
  send(inputs);
}

// Focuses a control the way a mouse click does.
void click(HWND control) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

bool foreground(HWND window) {
  SetForegroundWindow(window);
  return waitFor([window] { return GetForegroundWindow() == window; });
}

struct ControlCase {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  int left, top, width, height;  // twips
  int centipoints;               // 0: the system's message font
};

constexpr ControlCase kControls[] = {
    {Form1::kCommand1, L"Button", L"セット", 1320, 120, 975, 375, 0},
    {Form1::kT1, L"Edit", L"", 0, 120, 495, 375, 1200},
    {Form1::kT2, L"Edit", L"", 720, 120, 495, 375, 1200},
    {Form1::kLabel1, L"Static", L"：", 480, 240, 255, 255, 1125},
    {Form1::kText3, L"Edit", L"", 0, 600, 2295, 375, 0},
};

int pixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// Each control's class, text and place at this DPI; its font only where it can be read.
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
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    const LOGFONTW want = c.centipoints == 0
                              ? metrics.lfMessageFont
                              : LOGFONTW{-MulDiv(c.centipoints, static_cast<int>(dpi), 7200),
                                         0,
                                         0,
                                         0,
                                         FW_BOLD,
                                         0,
                                         0,
                                         0,
                                         SHIFTJIS_CHARSET,
                                         0,
                                         0,
                                         0,
                                         0,
                                         L"ＭＳ Ｐゴシック"};
    const auto key = [](const LOGFONTW& f) {
      return std::tuple(std::wstring(f.lfFaceName), f.lfHeight, f.lfWeight, f.lfCharSet, f.lfItalic,
                        f.lfUnderline, f.lfStrikeOut);
    };
    EXPECT_EQ(key(font), key(want));
  }
}

// --- The real program ---------------------------------------------------------

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
  std::vector<char> data(GetFileVersionInfoSizeW(program.c_str(), nullptr));
  ASSERT_TRUE(!data.empty() && GetFileVersionInfoW(program.c_str(), 0,
                                                   static_cast<DWORD>(data.size()), data.data()));
  const auto value = [&](const std::wstring& path) -> const void* {
    void* found = nullptr;
    UINT length = 0;
    return VerQueryValueW(data.data(), path.c_str(), &found, &length) && length ? found : nullptr;
  };
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value(L"\\"));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ((std::array{fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                        fixed->dwProductVersionLS}),
            (std::array<DWORD, 4>{0x10001, 7, 0x10001, 7}));  // 1,1,0,7
  const auto* language = static_cast<const WORD*>(value(L"\\VarFileInfo\\Translation"));
  ASSERT_NE(language, nullptr);
  EXPECT_EQ((std::array{language[0], language[1]}), (std::array<WORD, 2>{0x0411, 1200}));
  for (const auto& [name, text] : {std::pair{L"FileDescription", L"タイマセット"},
                                   {L"FileVersion", L"1.01.0007"},
                                   {L"ProductVersion", L"1.01.0007"}}) {
    const auto* found =
        static_cast<const wchar_t*>(value(L"\\StringFileInfo\\041104B0\\" + std::wstring(name)));
    EXPECT_STREQ(found ? found : L"(none)", text) << name;
  }
}

TEST(Form1Window, IsAFixedCentredWindowWithACloseBoxOnlyAndItsControls) {
  EXPECT_EQ(GetWindow(form1, GW_OWNER), nullptr);
  const auto boxes = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
  EXPECT_EQ(GetWindowLongPtrW(form1, GWL_STYLE) & boxes, WS_CAPTION | WS_SYSMENU);

  const UINT dpi = GetDpiForWindow(form1);
  RECT client, frame, work;
  GetClientRect(form1, &client);
  EXPECT_EQ((std::array{client.right, client.bottom}),
            (std::array<LONG, 2>{pixels(2355, dpi), pixels(1035, dpi)}));
  GetWindowRect(form1, &frame);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
  expectControls(form1, dpi, false);
}

TEST(Form1Window, StartsOnCommand1AndTabsThroughTheBoxes) {
  EXPECT_TRUE(waitFor([] { return focus() == item(Form1::kCommand1); }));
  ASSERT_TRUE(foreground(form1));
  const std::pair<int, bool> steps[] = {
      {Form1::kT1, false},       {Form1::kT2, false}, {Form1::kText3, false},
      {Form1::kCommand1, false}, {Form1::kT1, false}, {Form1::kCommand1, true},
      {Form1::kText3, true},     {Form1::kT2, true}};  // true: Shift+Tab
  for (const auto& [id, shift] : steps) {
    press(VK_TAB, shift);
    EXPECT_TRUE(waitFor([&] { return focus() == item(id); }))
        << id << (shift ? " by Shift+Tab" : "");
  }
}

TEST(Form1Window, HidesOnSetAndComesBackAtTheTickWithTheTextsKept) {
  // The target is now: due at the first tick, unless arming crosses midnight.
  SYSTEMTIME now;
  for (GetLocalTime(&now); now.wHour == 23 && now.wMinute == 59; GetLocalTime(&now)) Sleep(1000);
  std::wstring note;
  while (note.size() < 99990) note += L"会議 10:30 ";
  note.resize(99990);
  // Typed into each box after what it holds; the note's last ten characters
  // go past the EDIT default limit, to 100,000.
  const std::tuple<int, std::wstring, std::wstring> boxes[] = {
      {Form1::kT1, L"", std::to_wstring(now.wHour)},
      {Form1::kT2, L"", std::to_wstring(now.wMinute)},
      {Form1::kText3, note, L"資料を持参すること。"}};
  ASSERT_TRUE(foreground(form1));
  for (const auto& [id, before, typed] : boxes) {
    setText(item(id), before);
    click(item(id));
    ASSERT_TRUE(waitFor([&] { return focus() == item(id); }));
    SendMessageW(item(id), EM_SETSEL, before.size(), before.size());
    type(typed);
    EXPECT_TRUE(waitFor([&] { return textOf(item(id)) == before + typed; })) << id;
  }
  PostMessageW(item(Form1::kCommand1), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([] { return !IsWindowVisible(form1); })) << "セット did not hide the window";

  // The tick shows it above the window the user types in, which keeps the focus.
  const HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1280,
                                     1000, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(foreground(other));
  PostMessageW(form1, WM_TIMER, Form1::kTimer1, 0);
  ASSERT_TRUE(waitFor([] { return IsWindowVisible(form1) != FALSE; })) << "no pop-up";
  for (const auto& [id, before, typed] : boxes)
    EXPECT_TRUE(textOf(item(id)) == before + typed) << id;
  EXPECT_EQ(GetForegroundWindow(), other);
  EXPECT_TRUE(waitFor([&] {
    for (HWND w = GetWindow(other, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
      if (w == form1) return true;
    }
    return false;
  })) << "not raised";
  DestroyWindow(other);

  // Enter in a box arms too; a target later today then stays hidden at the tick.
  ASSERT_TRUE(foreground(form1));
  setText(item(Form1::kT1), std::to_wstring(std::min(now.wHour + 1, 23)));
  setText(item(Form1::kT2), L"59");
  click(item(Form1::kText3));
  ASSERT_TRUE(waitFor([] { return focus() == item(Form1::kText3); }));
  press(VK_RETURN);
  ASSERT_TRUE(waitFor([] { return !IsWindowVisible(form1); })) << "Enter did not hide the window";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(form1, WM_TIMER, Form1::kTimer1, 0, SMTO_NORMAL, 5000, &ignored);
  EXPECT_FALSE(IsWindowVisible(form1)) << "shown for a target not due";

  PostMessageW(form1, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 10000);
  DWORD code = 99;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u) << "259: still running";
}

// --- Form1 in this process ----------------------------------------------------

TEST(Form1InProcess, LaysItselfOutAndPicksItsFontsAtEveryDpi) {
  Form1 window(GetModuleHandleW(nullptr));
  ASSERT_NO_THROW(window.create());
  expectControls(window.hwnd(), GetDpiForWindow(window.hwnd()), true);
  for (const UINT dpi : {144u, 192u, 120u, 96u}) {
    RECT suggested{50, 60, 400, 300};
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    expectControls(window.hwnd(), dpi, true);
    RECT want{0, 0, pixels(2355, dpi), pixels(1035, dpi)}, frame;
    AdjustWindowRectExForDpi(&want, static_cast<DWORD>(GetWindowLongPtrW(window.hwnd(), GWL_STYLE)),
                             FALSE, 0, dpi);
    GetWindowRect(window.hwnd(), &frame);
    EXPECT_EQ(
        (std::array{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top}),
        (std::array{50L, 60L, want.right - want.left, want.bottom - want.top}));
  }
}

TEST(Form1InProcess, ShowsTheClockIcon) {
  Form1 window(GetModuleHandleW(nullptr));
  ASSERT_NO_THROW(window.create());
  EXPECT_NE(SendMessageW(window.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(
      reinterpret_cast<HICON>(SendMessageW(window.hwnd(), WM_GETICON, ICON_BIG, 0)), &info));
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  ASSERT_EQ((std::array{bitmap.bmWidth, bitmap.bmHeight}), (std::array<LONG, 2>{32, 32}));
  BITMAPINFO format{};  // 32-bit 0xRRGGBB, top row first
  format.bmiHeader = {sizeof format.bmiHeader, 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> colour(32 * 32), mask(32 * 32);
  const HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, 32, colour.data(), &format, DIB_RGB_COLORS);
  GetDIBits(screen, info.hbmMask, 0, 32, mask.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  // Transparent outside the round dial; inside only the dial's own colours.
  std::map<DWORD, int> count;  // By colour; transparent pixels under 1 << 24.
  for (std::size_t n = 0; n < colour.size(); ++n)
    ++count[mask[n] & 0xFFFFFF ? 1 << 24 : colour[n] & 0xFFFFFF];
  for (const std::size_t corner : {0, 31, 32 * 31, 32 * 32 - 1})
    EXPECT_NE(mask[corner] & 0xFFFFFF, 0u);
  EXPECT_GT(count[0xFFFF00], 300);  // The dial
  EXPECT_GT(count[0x000000], 60);   // Rim, marks and hands
  EXPECT_GT(count[0x808000], 30);   // The shadow
  EXPECT_EQ(count.size(), 4u);
  EXPECT_EQ(colour[16 * 32 + 15] & 0xFFFFFF, 0u);  // The hands meet at the centre.
}

TEST(Form1InProcess, RunsTimer1AndHandsTheReminderTheBoxTextsWhole) {
  static_assert(Form1::kTimer1Period == 20000);
  Form1 window(GetModuleHandleW(nullptr));
  ASSERT_NO_THROW(window.create());
  EXPECT_TRUE(KillTimer(window.hwnd(), Form1::kTimer1)) << "Timer1 is not running";
  std::wstring minutes;
  while (minutes.size() < 100000) minutes += L"５分 ";
  for (const std::wstring& text : {std::wstring(), std::wstring(L"１０時"), minutes}) {
    SetWindowTextW(GetDlgItem(window.hwnd(), Form1::kT1), text.c_str());
    SetWindowTextW(GetDlgItem(window.hwnd(), Form1::kT2), (text + L"半").c_str());
    EXPECT_TRUE(window.textOfT1() == std::u16string(text.begin(), text.end())) << text.size();
    EXPECT_TRUE(window.textOfT2() == std::u16string(text.begin(), text.end()) + u"半");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 2)
    return std::fputws(L"usage: form1_driver PROGRAM.exe [GoogleTest options]\n", stderr), 2;
  program = argv[1];
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return std::fwprintf(stderr, L"cannot start %ls: error %lu\n", argv[1], GetLastError()), 1;
  }
  const bool shown = waitFor(
      [] {
        DWORD owner = 0;
        form1 = FindWindowW(nullptr, L"タイマセット");
        GetWindowThreadProcessId(form1, &owner);
        return owner == process.dwProcessId && IsWindowVisible(form1);
      },
      20000);
  const int failed =
      shown ? RUN_ALL_TESTS() : (std::fputws(L"no window captioned タイマセット\n", stderr), 1);
  TerminateProcess(process.hProcess, 99);  // If a test left it running.
  return failed;
}
