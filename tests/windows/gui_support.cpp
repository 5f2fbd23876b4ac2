#include "gui_support.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "resource.h"
#include "ui_language.h"
#include "ui_language_choice.h"
#include "text.h"
#include "ui_resources.h"

namespace gui_test {

TestDialog::TestDialog() = default;

TestDialog::~TestDialog() {
  if (GetSafeHwnd() != nullptr) ::DestroyWindow(GetSafeHwnd());
  pump();
}

void TestDialog::click(int id) const {
  ::SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hwnd(), id)));
  pump();
}

void TestDialog::load(const std::string& path) {
  loadAnswer = path;
  click(IDC_LOAD);
}

void TestDialog::write(const std::string& path) {
  writeAnswer = path;
  click(IDC_WRITE);
}

bool TestDialog::ChooseThemeToLoad(std::string& path) {
  ++loadAsked;
  if (!loadAnswer) return false;
  path = *loadAnswer;
  return true;
}

bool TestDialog::ChooseWriteTarget(const std::string& initialName, std::string& path) {
  ++writeAsked;
  writeInitialNames.push_back(initialName);
  if (!writeAnswer) return false;
  path = *writeAnswer;
  return true;
}

bool TestDialog::ChooseFontSource(std::string& path) {
  if (!fontSourceAnswer) return false;
  path = *fontSourceAnswer;
  return true;
}

void TestDialog::ShowMessage(const std::wstring& text, UINT icon) {
  messages.push_back(win32::ToAnsi(text));
  messageIcons.push_back(icon);
}

bool TestDialog::ConfirmDiscard() {
  ++discardAsked;
  EXPECT_TRUE(discardAnswer.has_value()) << "unexpected question about unwritten edits";
  return discardAnswer.value_or(true);
}

widgets::CFontListCtrl& fontListOf(HWND list) {
  return *dynamic_cast<widgets::CFontListCtrl*>(win32::CWnd::FromHandlePermanent(list));
}

const char* ui(const char* japanese, const char* english) {
  return theme::isJapanese(win32::GetUiLanguage()) ? japanese : english;
}

void pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    HWND top = msg.hwnd != nullptr ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top != nullptr && ::IsDialogMessageA(top, &msg) != FALSE) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

bool pumpUntil(const std::function<bool()>& holds) {
  const DWORD start = ::GetTickCount();
  for (pump(); !holds(); pump()) {
    if (::GetTickCount() - start >= 2000) return holds();
    ::Sleep(10);
  }
  return true;
}

void press(HWND target, UINT key, bool control, bool shift) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = control ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  ::SetKeyboardState(keys);
  ::PostMessageA(target, WM_KEYDOWN, key, 1);
  pump();
  keys[VK_CONTROL] = 0;
  keys[VK_SHIFT] = 0;
  ::SetKeyboardState(keys);
}

std::vector<Cells> listRows(HWND list) {
  std::vector<Cells> rows;
  HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    Cells cells;
    for (int c = 0; c < columns; ++c) {
      char buffer[260] = {};
      LVITEMA item{};
      item.iSubItem = c;
      item.pszText = buffer;
      item.cchTextMax = static_cast<int>(sizeof buffer);
      ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      cells.emplace_back(buffer);
    }
    rows.push_back(cells);
  }
  return rows;
}

std::vector<Cells> cellsOf(const std::vector<marvento_test::Row>& rows) {
  std::vector<Cells> out;
  out.reserve(rows.size());
  for (const auto& r : rows) out.push_back({r.file, r.section, r.key, r.font, r.size, r.option});
  return out;
}

std::string windowText(HWND hwnd) {
  char buffer[512] = {};
  ::GetWindowTextA(hwnd, buffer, static_cast<int>(sizeof buffer));
  return buffer;
}

std::wstring wideText(HWND hwnd) {
  wchar_t buffer[512] = {};
  ::GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

std::wstring wideCell(HWND list, int row, int column) {
  wchar_t buffer[260] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 260;
  ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::wstring tipText(HWND tip, HWND owner, UINT_PTR id) {
  wchar_t buffer[512] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = owner;
  tool.uId = id;
  tool.lpszText = buffer;
  ::SendMessageW(tip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));  // the size counts from Vista on
  return buffer;
}

std::vector<std::string> tabTitles(HWND tab) {
  std::vector<std::string> titles;
  const int count = static_cast<int>(::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char buffer[260] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(sizeof buffer);
    ::SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    titles.emplace_back(item.pszText);
  }
  return titles;
}

std::vector<std::string> comboEntries(HWND combo) {
  std::vector<std::string> entries;
  const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char buffer[260] = {};
    ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    entries.emplace_back(buffer);
  }
  return entries;
}

bool visible(HWND hwnd) { return ::IsWindowVisible(hwnd) != FALSE; }

namespace {
struct CaptionSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<CaptionSearch*>(lp);
  if (::IsWindowVisible(hwnd) != FALSE && windowText(hwnd) == search->caption) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND findTopLevel(const char* caption) {
  CaptionSearch search{caption, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Capture::contains(const RECT& rect, COLORREF colour) const {
  for (int y = std::max(0, static_cast<int>(rect.top)); y < std::min(height, static_cast<int>(rect.bottom)); ++y) {
    for (int x = std::max(0, static_cast<int>(rect.left)); x < std::min(width, static_cast<int>(rect.right)); ++x) {
      if (at(x, y) == colour) return true;
    }
  }
  return false;
}

Capture captureClient(HWND hwnd) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  pump();
  Capture shot;
  RECT client{};
  ::GetClientRect(hwnd, &client);
  shot.width = client.right;
  shot.height = client.bottom;
  if (shot.width <= 0 || shot.height <= 0) return shot;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC windowDc = ::GetDC(hwnd);
  HDC memoryDc = ::CreateCompatibleDC(windowDc);
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = ::SelectObject(memoryDc, bitmap);
  ::BitBlt(memoryDc, 0, 0, shot.width, shot.height, windowDc, 0, 0, SRCCOPY);
  ::GdiFlush();
  const auto* pixel = static_cast<const std::uint8_t*>(bits);
  shot.pixels.reserve(static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height));
  for (int i = 0; i < shot.width * shot.height; ++i, pixel += 4) shot.pixels.push_back(RGB(pixel[2], pixel[1], pixel[0]));
  ::SelectObject(memoryDc, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memoryDc);
  ::ReleaseDC(hwnd, windowDc);
  return shot;
}

// A cell as displayed: the header item's columns, the row's lines, in list coordinates.
RECT cellRect(HWND list, int row, int column) {
  HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT columnR{};
  ::SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&columnR));
  ::MapWindowPoints(header, list, reinterpret_cast<POINT*>(&columnR), 2);
  RECT rowR{};
  rowR.left = LVIR_BOUNDS;
  ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rowR));
  return RECT{columnR.left, rowR.top, columnR.right, rowR.bottom};
}

void clickAt(HWND hwnd, int x, int y) {
  ::SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  ::SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  gui_test::pump();
}

void clickCell(HWND list, int row, int column) {
  const RECT r = cellRect(list, row, column);
  clickAt(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::string selectedText(HWND combo) {
  const auto index = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return "<none>";
  return gui_test::comboEntries(combo).at(static_cast<std::size_t>(index));
}

// The user picks `text` in the open editor (its selection change reaches the list as
// the control would send it).
void choose(HWND list, HWND editor, const char* text) {
  const auto entries = gui_test::comboEntries(editor);
  const auto found = std::find(entries.begin(), entries.end(), std::string(text));
  ASSERT_NE(found, entries.end()) << text;
  const auto index = found - entries.begin();
  ::SendMessageA(editor, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // As a click on an entry of the dropped list: the selection changes, then the choice is made.
  for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
    ::SendMessageA(list, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(editor), code), reinterpret_cast<LPARAM>(editor));
  }
  gui_test::pump();
}

// The user picks `face` in a bulk combo; the combo reports the change to its owner.
std::string pickInCombo(HWND combo, const char* face) {
  const auto index = ::SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face));
  if (index == CB_ERR) return {};
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // By the keyboard in the dropped list, so the control sends its own notifications: one
  // step down and back up lands on `face` again, and Enter chooses it.
  ::SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ::SendMessageA(combo, WM_KEYDOWN, index > 0 ? VK_UP : VK_DOWN, 0);
  ::SendMessageA(combo, WM_KEYDOWN, index > 0 ? VK_DOWN : VK_UP, 0);
  ::SendMessageA(combo, WM_KEYDOWN, VK_RETURN, 0);
  gui_test::pump();
  return gui_test::comboEntries(combo).at(static_cast<std::size_t>(::SendMessageA(combo, CB_GETCURSEL, 0, 0)));
}

std::string lightTheme() {
  const char* path = std::getenv("MARVENTO_LIGHT_MSSTYLES");
  return path != nullptr ? path : "";
}

}  // namespace gui_test
