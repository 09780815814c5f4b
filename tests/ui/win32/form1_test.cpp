// Form1 created in this process, where its fonts can be read back and a DPI
// change can be delivered as Windows delivers it.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>

#include "form1.h"

namespace {

using timerset::Form1;

RECT rectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LOGFONTW fontOf(HWND control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  EXPECT_NE(handle, nullptr);
  EXPECT_EQ(GetObjectW(handle, sizeof font, &font), static_cast<int>(sizeof font));
  return font;
}

LOGFONTW messageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  EXPECT_TRUE(
      SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi));
  return metrics.lfMessageFont;
}

struct ControlCase {
  int id;
  int left, top, width, height;  // twips
  int centipoints;               // 0: the system's message font
};

constexpr std::array<ControlCase, 5> kControls = {{
    {Form1::kCommand1, 1320, 120, 975, 375, 0},
    {Form1::kT1, 0, 120, 495, 375, 1200},
    {Form1::kT2, 720, 120, 495, 375, 1200},
    {Form1::kLabel1, 480, 240, 255, 255, 1125},
    {Form1::kText3, 0, 600, 2295, 375, 0},
}};

int scaled(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

class Form1InProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    form1 = std::make_unique<Form1>(GetModuleHandleW(nullptr));
    ASSERT_NO_THROW(form1->create());
  }
  HWND item(int id) const { return GetDlgItem(form1->hwnd(), id); }

  // Every control at its twips and in its font for this DPI.
  void expectLayout(UINT dpi) const {
    for (const ControlCase& c : kControls) {
      SCOPED_TRACE(testing::Message() << "control " << c.id << " at " << dpi << " DPI");
      const RECT rect = rectInParent(item(c.id));
      EXPECT_EQ(rect.left, scaled(c.left, dpi));
      EXPECT_EQ(rect.top, scaled(c.top, dpi));
      EXPECT_EQ(rect.right - rect.left, scaled(c.width, dpi));
      EXPECT_EQ(rect.bottom - rect.top, scaled(c.height, dpi));

      const LOGFONTW font = fontOf(item(c.id));
      if (c.centipoints == 0) {
        const LOGFONTW expected = messageFont(dpi);
        EXPECT_STREQ(font.lfFaceName, expected.lfFaceName);
        EXPECT_EQ(font.lfHeight, expected.lfHeight);
        EXPECT_EQ(font.lfCharSet, expected.lfCharSet);
      } else {
        EXPECT_STREQ(font.lfFaceName, L"ＭＳ Ｐゴシック");
        EXPECT_EQ(font.lfHeight, -MulDiv(c.centipoints, static_cast<int>(dpi), 7200));
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
      }
    }
  }

  std::unique_ptr<Form1> form1;
};

TEST_F(Form1InProcess, UsesItsFontsAtTheWindowsDpi) {
  const UINT dpi = GetDpiForWindow(form1->hwnd());
  expectLayout(dpi);
  if (dpi == 96) {  // 12 pt is 16 pixels, 11.25 pt 15.
    EXPECT_EQ(fontOf(item(Form1::kT1)).lfHeight, -16);
    EXPECT_EQ(fontOf(item(Form1::kLabel1)).lfHeight, -15);
  }
}

TEST_F(Form1InProcess, LaysItselfOutAgainWhenTheDpiChanges) {
  for (const UINT dpi : {144u, 192u, 120u, 96u}) {
    RECT suggested{50, 60, 400, 300};
    SendMessageW(form1->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    expectLayout(dpi);

    RECT expected{0, 0, scaled(2355, dpi), scaled(1035, dpi)};
    AdjustWindowRectExForDpi(
        &expected, static_cast<DWORD>(GetWindowLongPtrW(form1->hwnd(), GWL_STYLE)), FALSE, 0, dpi);
    RECT frame;
    GetWindowRect(form1->hwnd(), &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.top, 60);
    EXPECT_EQ(frame.right - frame.left, expected.right - expected.left) << dpi << " DPI";
    EXPECT_EQ(frame.bottom - frame.top, expected.bottom - expected.top) << dpi << " DPI";
  }
}

TEST_F(Form1InProcess, ShowsTheProgramIcon) {
  for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
    const auto icon = reinterpret_cast<HICON>(SendMessageW(form1->hwnd(), WM_GETICON, which, 0));
    ASSERT_NE(icon, nullptr) << "icon " << which;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(metric));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  EXPECT_EQ(GetClassLongPtrW(form1->hwnd(), GCLP_HICON),
            static_cast<ULONG_PTR>(SendMessageW(form1->hwnd(), WM_GETICON, ICON_BIG, 0)));
}

TEST_F(Form1InProcess, HandsTheReminderTheBoxTextsWhole) {
  std::wstring hour = L"１０時";
  std::wstring minute;
  while (minute.size() < 100000) minute += L"５分 ";
  SetWindowTextW(item(Form1::kT1), hour.c_str());
  SetWindowTextW(item(Form1::kT2), minute.c_str());
  EXPECT_TRUE(form1->textOfT1() == std::u16string(hour.begin(), hour.end()));
  EXPECT_TRUE(form1->textOfT2() == std::u16string(minute.begin(), minute.end()));
  SetWindowTextW(item(Form1::kT1), L"");
  EXPECT_TRUE(form1->textOfT1().empty());
}

}  // namespace
