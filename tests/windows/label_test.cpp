// The painted label under Wine, read back from the screen: it paints its text and
// nothing else, in the menu-text colour or grey, wrapped, centred only when asked, and
// in its own font whatever font it is given.
#include <gtest/gtest.h>

#include <memory>

#include "gui_support.h"
#include "label_static.h"
#include "text.h"

namespace {

constexpr COLORREF kBehind = RGB(200, 40, 40);  // what lies behind the labels

LRESULT CALLBACK PlainWindow(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcA(hwnd, msg, wp, lp); }

// A red window on which labels are placed.
class Backdrop {
 public:
  Backdrop() {
    brush_ = ::CreateSolidBrush(kBehind);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &PlainWindow;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = brush_;
    wc.lpszClassName = "MarventoLabelBackdrop";
    ::RegisterClassA(&wc);
    hwnd_ = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 20, 20, 400, 200, nullptr, nullptr,
                              wc.hInstance, nullptr);
  }
  ~Backdrop() {
    ::DestroyWindow(hwnd_);
    ::UnregisterClassA("MarventoLabelBackdrop", ::GetModuleHandleA(nullptr));  // the class holds the brush
    ::DeleteObject(brush_);
  }
  Backdrop(const Backdrop&) = delete;
  Backdrop& operator=(const Backdrop&) = delete;

  std::unique_ptr<widgets::CLabelStatic> label(const char* text, RECT rect, DWORD extraStyle = 0) {
    auto label = std::make_unique<widgets::CLabelStatic>();
    EXPECT_TRUE(label->Create(win32::FromAnsi(text).c_str(), WS_CHILD | WS_VISIBLE | extraStyle, rect, hwnd_, 0xFFFF));
    return label;
  }
  [[nodiscard]] HWND hwnd() const { return hwnd_; }

 private:
  HBRUSH brush_;
  HWND hwnd_;
};

// Columns and rows of a capture that hold anything but the backdrop colour.
struct Ink {
  int left = -1, right = -1, top = -1, bottom = -1;
  bool any() const { return left >= 0; }
};
Ink inkOf(const gui_test::Capture& shot) {
  Ink ink;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      if (shot.at(x, y) == kBehind) continue;
      if (!ink.any() || x < ink.left) ink.left = x;
      if (x > ink.right) ink.right = x;
      if (ink.top < 0) ink.top = y;
      ink.bottom = y;
    }
  }
  return ink;
}

int countColour(const gui_test::Capture& shot, COLORREF colour) {
  int n = 0;
  for (COLORREF c : shot.pixels) n += c == colour ? 1 : 0;
  return n;
}

TEST(LabelTest, EmptyTextPaintsNothingNotEvenABackground) {
  Backdrop back;
  auto label = back.label("", RECT{10, 10, 200, 40});
  const auto shot = gui_test::captureClient(label->GetSafeHwnd());
  ASSERT_FALSE(shot.pixels.empty());
  EXPECT_FALSE(inkOf(shot).any());
}

TEST(LabelTest, TextIsPaintedInTheMenuTextColourOverWhatLiesBehind) {
  Backdrop back;
  auto label = back.label("フォント名一括入力", RECT{10, 10, 200, 40});
  const auto shot = gui_test::captureClient(label->GetSafeHwnd());
  EXPECT_GT(countColour(shot, ::GetSysColor(COLOR_MENUTEXT)), 10);
  EXPECT_EQ(countColour(shot, ::GetSysColor(COLOR_3DFACE)), 0) << "no background of its own";
  EXPECT_EQ(shot.at(shot.width - 1, shot.height - 1), kBehind);
  const Ink ink = inkOf(shot);
  ASSERT_TRUE(ink.any());
  EXPECT_LT(ink.left, 3) << "left-aligned";
  EXPECT_LT(ink.top, 4) << "not centred vertically";
}

TEST(LabelTest, DisabledTextIsGrey) {
  Backdrop back;
  auto label = back.label("スタイル名", RECT{10, 10, 200, 40});
  ::EnableWindow(label->GetSafeHwnd(), FALSE);
  const auto shot = gui_test::captureClient(label->GetSafeHwnd());
  EXPECT_GT(countColour(shot, RGB(127, 127, 127)), 10);
  EXPECT_EQ(countColour(shot, ::GetSysColor(COLOR_MENUTEXT)), 0);
}

TEST(LabelTest, LongTextWrapsAtWordBreaksAndIsCutAtTheBottom) {
  Backdrop back;
  const char* text = "Marvento changes the fonts of visual styles";
  auto oneLine = back.label("Marvento", RECT{10, 10, 90, 110});
  auto wrapped = back.label(text, RECT{100, 10, 180, 110});
  auto cut = back.label(text, RECT{200, 10, 280, 30});
  const Ink line = inkOf(gui_test::captureClient(oneLine->GetSafeHwnd()));
  const Ink lines = inkOf(gui_test::captureClient(wrapped->GetSafeHwnd()));
  ASSERT_TRUE(line.any() && lines.any());
  const int lineHeight = line.bottom - line.top + 1;
  EXPECT_GT(lines.bottom - lines.top + 1, 2 * lineHeight) << "several lines";
  EXPECT_LE(lines.right, 79) << "kept inside its width";
  const auto cutShot = gui_test::captureClient(cut->GetSafeHwnd());
  EXPECT_EQ(cutShot.height, 20);
  EXPECT_TRUE(inkOf(cutShot).any());
}

TEST(LabelTest, CentredOnlyWithSsCenter) {
  Backdrop back;
  auto centred = back.label("ab", RECT{10, 10, 210, 40}, SS_CENTER);
  const auto shot = gui_test::captureClient(centred->GetSafeHwnd());
  const Ink ink = inkOf(shot);
  ASSERT_TRUE(ink.any());
  EXPECT_GT(ink.left, 60);
  EXPECT_LE(std::abs(ink.left - (shot.width - 1 - ink.right)), 3);
}

TEST(LabelTest, AGivenFontDoesNotChangeTheLabelsFont) {
  Backdrop back;
  auto plain = back.label("Marvento", RECT{10, 10, 200, 60});
  auto given = back.label("Marvento", RECT{10, 70, 200, 120});
  LOGFONTA big{};
  big.lfHeight = -36;
  ::lstrcpyA(big.lfFaceName, "DejaVu Serif");
  HFONT font = ::CreateFontIndirectA(&big);
  given->SetFont(font);
  const auto a = gui_test::captureClient(plain->GetSafeHwnd());
  const auto b = gui_test::captureClient(given->GetSafeHwnd());
  EXPECT_EQ(a.pixels, b.pixels);
  given->SetFont(nullptr);
  ::DeleteObject(font);
}

}  // namespace
