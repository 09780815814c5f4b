// Drives the real timerset.exe from outside, through window messages and
// keyboard input, the way Windows and a user reach it.
// Usage: form1_driver PROGRAM.exe [GoogleTest options]
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring program;  // Set by main.

constexpr wchar_t kCaption[] = L"タイマセット";
constexpr UINT_PTR kTimer1 = 1;

// Waits for a condition, handling this thread's own window messages meanwhile.
bool waitFor(const std::function<bool()>& condition, int milliseconds = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// One run of the program, ended by force if a test leaves it running.
class Program {
 public:
  Program() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process_)) {
      ADD_FAILURE() << "cannot start the program, error " << GetLastError();
      return;
    }
    WaitForInputIdle(process_.hProcess, 10000);
    waitFor([this] { return (window_ = findWindow()) != nullptr; }, 20000);
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      children_.push_back(child);
    }
  }
  ~Program() {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
      }
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  HWND window() const { return window_; }
  // The controls in creation order, which is also the order Tab follows.
  HWND control(std::size_t n) const { return n < children_.size() ? children_[n] : nullptr; }
  std::size_t controlCount() const { return children_.size(); }
  DWORD threadId() const { return process_.dwThreadId; }

  HWND focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
  }

  // The exit code once the program has ended, or nothing after the wait.
  std::optional<DWORD> exitCode(int milliseconds) const {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
      return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  HWND findWindow() const {
    for (HWND found = FindWindowExW(nullptr, nullptr, nullptr, kCaption); found;
         found = FindWindowExW(nullptr, found, nullptr, kCaption)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(found, &pid);
      if (pid == process_.dwProcessId) return found;
    }
    return nullptr;
  }

  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
  std::vector<HWND> children_;
};

enum Control : std::size_t { kCommand1, kT1, kT2, kLabel1, kText3 };

std::wstring textOf(HWND control) {
  const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied =
      SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

void setText(HWND control, const std::wstring& text) {
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Focuses a control the way a mouse click does.
void click(HWND control) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void sendInput(std::vector<INPUT> inputs) {
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size());
}

INPUT key(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void press(WORD virtualKey, bool shift = false) {
  std::vector<INPUT> inputs;
  if (shift) inputs.push_back(key(VK_SHIFT, false));
  inputs.push_back(key(virtualKey, false));
  inputs.push_back(key(virtualKey, true));
  if (shift) inputs.push_back(key(VK_SHIFT, true));
  sendInput(inputs);
}

// Types characters as the keyboard would deliver them, through the input queue.
void type(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    for (const bool up : {false, true}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(input);
    }
  }
  sendInput(inputs);
}

int scaled(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

RECT rectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// --- The program file -------------------------------------------------------

std::wstring versionString(const std::vector<char>& data, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
  if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0) return L"(none)";
  return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

TEST(ProgramFile, CarriesTheVersionRecord) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(1, 1));  // 1,1,0,7
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(7, 0));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(1, 1));
  EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(7, 0));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0411);  // Japanese
  EXPECT_EQ(translation[1], 1200);    // Unicode

  EXPECT_EQ(versionString(data, L"FileDescription"), L"タイマセット");
  EXPECT_EQ(versionString(data, L"FileVersion"), L"1.01.0007");
  EXPECT_EQ(versionString(data, L"ProductVersion"), L"1.01.0007");
}

// The colours of an icon's pixels, and which are transparent.
struct IconPixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> colour;
  std::vector<bool> transparent;
};

IconPixels pixelsOf(HICON icon) {
  IconPixels pixels;
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return pixels;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  pixels.width = bitmap.bmWidth;
  pixels.height = bitmap.bmHeight;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight;  // Top row first.
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<DWORD> colour(static_cast<std::size_t>(bitmap.bmWidth * bitmap.bmHeight));
  std::vector<DWORD> mask(colour.size());
  const HDC screen = GetDC(nullptr);
  GetDIBits(screen, info.hbmColor, 0, bitmap.bmHeight, colour.data(), &format, DIB_RGB_COLORS);
  GetDIBits(screen, info.hbmMask, 0, bitmap.bmHeight, mask.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  for (std::size_t n = 0; n < colour.size(); ++n) {
    pixels.colour.push_back(colour[n] & 0xFFFFFF);  // 0xRRGGBB
    pixels.transparent.push_back((mask[n] & 0xFFFFFF) != 0);
  }
  return pixels;
}

TEST(ProgramFile, CarriesTheClockIconAsResourceOne) {
  const HMODULE file = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(file, nullptr);
  EXPECT_NE(FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)),
            nullptr);  // RT_GROUP_ICON
  const auto icon =
      static_cast<HICON>(LoadImageW(file, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
  ASSERT_NE(icon, nullptr);
  const IconPixels pixels = pixelsOf(icon);
  DestroyIcon(icon);
  FreeLibrary(file);
  ASSERT_EQ(pixels.width, 32);
  ASSERT_EQ(pixels.height, 32);

  // Transparent outside the round dial; inside only the dial's own colours.
  for (const std::size_t corner : {0u, 31u, 32u * 31u, 32u * 32u - 1u}) {
    EXPECT_TRUE(pixels.transparent[corner]) << "corner pixel " << corner;
  }
  int yellow = 0, black = 0, olive = 0, other = 0;
  for (std::size_t n = 0; n < pixels.colour.size(); ++n) {
    if (pixels.transparent[n]) continue;
    switch (pixels.colour[n]) {
      case 0xFFFF00:
        ++yellow;
        break;
      case 0x000000:
        ++black;
        break;
      case 0x808000:
        ++olive;
        break;
      default:
        ++other;
    }
  }
  EXPECT_GT(yellow, 300);  // The dial
  EXPECT_GT(black, 60);    // Rim, marks and hands
  EXPECT_GT(olive, 30);    // The shadow
  EXPECT_EQ(other, 0);
  // The dial's centre is a hand, dark on the yellow face.
  EXPECT_EQ(pixels.colour[16 * 32 + 15], 0x000000u);
}

// --- The window as it first appears -------------------------------------------
// Fonts and icons are GDI and icon handles, which Wine does not hand across
// processes (WM_GETFONT and WM_GETICON answer 0 here); form1_test checks them
// in the process that owns them.

class Form1Window : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { run = new Program; }
  static void TearDownTestSuite() {
    delete run;
    run = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(run->window(), nullptr) << "no window captioned タイマセット";
    dpi = GetDpiForWindow(run->window());
    ASSERT_GE(dpi, 96u);
  }

  static inline Program* run = nullptr;
  UINT dpi = 0;
};

TEST_F(Form1Window, IsAFixedCentredWindowWithACloseBoxOnly) {
  const HWND form1 = run->window();
  wchar_t caption[64] = {};
  GetWindowTextW(form1, caption, 64);
  EXPECT_STREQ(caption, kCaption);
  EXPECT_TRUE(IsWindowVisible(form1));
  EXPECT_EQ(GetWindow(form1, GW_OWNER), nullptr);

  const auto style = static_cast<DWORD>(GetWindowLongPtrW(form1, GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);

  RECT client;
  GetClientRect(form1, &client);
  EXPECT_EQ(client.right, scaled(2355, dpi));   // 157 pixels at 96 DPI
  EXPECT_EQ(client.bottom, scaled(1035, dpi));  // 69

  RECT frame, work;
  GetWindowRect(form1, &frame);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
}

struct ControlCase {
  const wchar_t* name;
  const wchar_t* className;
  const wchar_t* text;
  int left, top, width, height;  // twips
};

constexpr std::array<ControlCase, 5> kControls = {{
    {L"Command1", L"Button", L"セット", 1320, 120, 975, 375},
    {L"t1", L"Edit", L"", 0, 120, 495, 375},
    {L"t2", L"Edit", L"", 720, 120, 495, 375},
    {L"Label1", L"Static", L"：", 480, 240, 255, 255},
    {L"Text3", L"Edit", L"", 0, 600, 2295, 375},
}};

TEST_F(Form1Window, HasEachControlWhereItsTwipsSay) {
  ASSERT_EQ(run->controlCount(), kControls.size());
  for (std::size_t n = 0; n < kControls.size(); ++n) {
    const ControlCase& expected = kControls[n];
    SCOPED_TRACE(testing::Message() << "control " << n);
    const HWND control = run->control(n);
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    EXPECT_EQ(lstrcmpiW(className, expected.className), 0) << expected.className;
    EXPECT_EQ(textOf(control), expected.text);

    const RECT rect = rectInParent(control);
    EXPECT_EQ(rect.left, scaled(expected.left, dpi));
    EXPECT_EQ(rect.top, scaled(expected.top, dpi));
    EXPECT_EQ(rect.right - rect.left, scaled(expected.width, dpi));
    EXPECT_EQ(rect.bottom - rect.top, scaled(expected.height, dpi));
  }
}

TEST_F(Form1Window, StartsOnCommand1AndTabsThroughTheBoxes) {
  EXPECT_EQ(run->focus(), run->control(kCommand1));
  SetForegroundWindow(run->window());
  ASSERT_TRUE(waitFor([] { return GetForegroundWindow() == run->window(); }));

  const std::array<Control, 5> forward = {kT1, kT2, kText3, kCommand1, kT1};
  for (const Control next : forward) {
    press(VK_TAB);
    EXPECT_TRUE(waitFor([&] { return run->focus() == run->control(next); })) << "Tab to " << next;
  }
  const std::array<Control, 3> backward = {kCommand1, kText3, kT2};
  for (const Control next : backward) {
    press(VK_TAB, true);
    EXPECT_TRUE(waitFor([&] { return run->focus() == run->control(next); }))
        << "Shift+Tab to " << next;
  }
}

TEST_F(Form1Window, TakesTypingAndTextsBeyondTheEditDefaultLimit) {
  SetForegroundWindow(run->window());
  for (const Control box : {kT1, kT2, kText3}) {
    SCOPED_TRACE(testing::Message() << "box " << box);
    const HWND control = run->control(box);
    // Lifted from the EDIT default of 30000 characters.
    EXPECT_GT(SendMessageW(control, EM_GETLIMITTEXT, 0, 0), 100000);

    // 99,990 characters set, ten more typed at the end: all 100,000 kept.
    std::wstring text;
    while (text.size() < 99990) text += L"会議 10:30 ";
    text.resize(99990);
    setText(control, text);
    SendMessageW(control, EM_SETSEL, text.size(), text.size());
    click(control);
    ASSERT_TRUE(waitFor([&] { return run->focus() == control; }));
    SendMessageW(control, EM_SETSEL, text.size(), text.size());
    type(L"資料を持参すること。");
    text += L"資料を持参すること。";
    EXPECT_TRUE(waitFor([&] { return textOf(control).size() == 100000; }));
    EXPECT_TRUE(textOf(control) == text) << "the text came back changed";
  }
}

// --- Arming, the pop-up and the end -----------------------------------------------

// The local time of day, after waiting out the last minute of an hour, so a
// target taken from it stays in the same hour for the next minute.
SYSTEMTIME settledNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  while (now.wMinute == 59) {
    Sleep(1000);
    GetLocalTime(&now);
  }
  return now;
}

// A window of the driver's own that has the focus while the program is hidden,
// standing in for another program the user is typing into.
class OtherProgram {
 public:
  OtherProgram() {
    window_ = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1280, 1000,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(window_);
    SetFocus(window_);
    waitFor([this] { return GetForegroundWindow() == window_; });
  }
  ~OtherProgram() { DestroyWindow(window_); }
  HWND window() const { return window_; }

 private:
  HWND window_;
};

bool isAbove(HWND upper, HWND lower) {
  for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
    if (w == upper) return true;
  }
  return false;
}

TEST(Form1Lifecycle, HidesOnSetAndComesBackAtTheTickWithTheTextsKept) {
  Program run;
  const HWND form1 = run.window();
  ASSERT_NE(form1, nullptr);
  const SYSTEMTIME now = settledNow();
  const std::wstring hour = std::to_wstring(now.wHour);
  const std::wstring minute = std::to_wstring(now.wMinute);
  const std::wstring note = L"会議室へ移動 (資料を忘れずに)";

  // Type the target (now, so it is due) and a note, then click セット.
  SetForegroundWindow(form1);
  ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == form1; }));
  ASSERT_TRUE(waitFor([&] { return run.focus() == run.control(kCommand1); }));
  press(VK_TAB);
  type(hour);
  press(VK_TAB);
  type(minute);
  press(VK_TAB);
  type(note);
  ASSERT_TRUE(waitFor([&] { return textOf(run.control(kText3)) == note; }));
  EXPECT_EQ(textOf(run.control(kT1)), hour);
  EXPECT_EQ(textOf(run.control(kT2)), minute);

  PostMessageW(run.control(kCommand1), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(form1); })) << "セット did not hide the window";

  {
    // The tick brings it back, above the program the user works in, without
    // taking that program's focus.
    OtherProgram other;
    ASSERT_EQ(GetForegroundWindow(), other.window());
    PostMessageW(form1, WM_TIMER, kTimer1, 0);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(form1) != FALSE; })) << "no pop-up";
    EXPECT_EQ(textOf(run.control(kT1)), hour);
    EXPECT_EQ(textOf(run.control(kT2)), minute);
    EXPECT_EQ(textOf(run.control(kText3)), note);
    EXPECT_EQ(GetForegroundWindow(), other.window());
    EXPECT_TRUE(waitFor([&] { return isAbove(form1, other.window()); }));
  }

  // Enter arms too (Command1 is the default button). Now a target later
  // today: the tick finds it not due and the window stays hidden.
  SetForegroundWindow(form1);
  ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == form1; }));
  const std::wstring later = now.wHour < 23 ? std::to_wstring(now.wHour + 1) : L"22";
  setText(run.control(kT1), later);
  setText(run.control(kT2), now.wHour < 23 ? minute : L"59");
  click(run.control(kText3));
  ASSERT_TRUE(waitFor([&] { return run.focus() == run.control(kText3); }));
  press(VK_RETURN);
  ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(form1); })) << "Enter did not hide the window";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(form1, WM_TIMER, kTimer1, 0, SMTO_NORMAL, 5000, &ignored);
  EXPECT_FALSE(IsWindowVisible(form1)) << "shown for a target not due";
  EXPECT_EQ(textOf(run.control(kText3)), note);

  // Closing ends the program, cleanly.
  PostMessageW(form1, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.exitCode(10000), std::optional<DWORD>(0));
}

TEST(Form1Lifecycle, TheRealTimerTicksAndClosingEndsTheProgram) {
  Program run;
  const HWND form1 = run.window();
  ASSERT_NE(form1, nullptr);
  // A target that no clock shows is due at the first tick, which comes from
  // Timer1 itself within its 20 seconds.
  setText(run.control(kT1), L"25");
  setText(run.control(kT2), L"75");
  PostMessageW(run.control(kCommand1), BM_CLICK, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(form1); }));
  EXPECT_TRUE(waitFor([&] { return IsWindowVisible(form1) != FALSE; }, 25000))
      << "no tick within 25 s";
  PostMessageW(form1, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.exitCode(10000), std::optional<DWORD>(0));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    std::fputws(L"usage: form1_driver PROGRAM.exe [GoogleTest options]\n", stderr);
    return 2;
  }
  program = argv[1];
  return RUN_ALL_TESTS();
}
