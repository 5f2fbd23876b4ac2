// The font list's context menu under Wine: how it opens and what it offers, sizes one step
// larger and smaller, fonts from another theme, and copying selected rows; each change one
// undo step and an unwritten edit like any other.
#include <gtest/gtest.h>

#include <cwctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "font_list_ctrl.h"
#include "gui_support.h"
#include "resource.h"
#include "test_support.h"

namespace {

namespace mt = marvento_test;
using gui_test::press;
using gui_test::TestDialog;
using ContextMenuTest = gui_test::DialogTest;

struct MenuItem {
  std::wstring text;
  bool grey = false;
};
std::vector<MenuItem>* g_menu = nullptr;
int g_menuTicks = 0;

BOOL CALLBACK FindMenu(HWND hwnd, LPARAM found) {
  wchar_t cls[16] = {};
  ::GetClassNameW(hwnd, cls, 16);
  if (std::wstring(cls) == L"#32768" && ::IsWindowVisible(hwnd)) *reinterpret_cast<HWND*>(found) = hwnd;
  return TRUE;
}

// Runs inside the menu's modal loop: notes its items, then closes it without a choice.
void CALLBACK ReadMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindMenu, reinterpret_cast<LPARAM>(&window));
  if (window == nullptr) {
    if (++g_menuTicks > 50) ::KillTimer(nullptr, timer);
    return;
  }
  ::KillTimer(nullptr, timer);
  auto* menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    if ((::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0) continue;
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    g_menu->push_back({text, (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0});
  }
  ::EndMenu();
}

// The menu that `open` brings up, read while it is shown.
std::vector<MenuItem> menuOpenedBy(const std::function<void()>& open) {
  std::vector<MenuItem> items;
  g_menu = &items;
  g_menuTicks = 0;
  ::SetTimer(nullptr, 0, 20, &ReadMenu);
  open();
  gui_test::pump();
  g_menu = nullptr;
  return items;
}

std::vector<std::string> sizesOf(const TestDialog& dialog, int page) {
  std::vector<std::string> sizes;
  for (const auto& row : dialog.pages().rows(page)) sizes.push_back(row.size.text);
  return sizes;
}

TEST_F(ContextMenuTest, ARightClickOpensItWithWhatCanBeDone) {
  dialog.load(sample);
  HWND list = dialog.fontList(0);
  const auto byRightClick = menuOpenedBy([&] {
    const RECT cell = gui_test::cellRect(list, 1, 0);
    ::SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(cell.left + 5, cell.top + 5));
    ::SendMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(cell.left + 5, cell.top + 5));
  });
  ASSERT_EQ(byRightClick.size(), 7U);
  EXPECT_EQ(gui_test::fontListOf(list).GetSelectedRows(), std::vector<int>{1}) << "the row clicked is the selection";
  std::set<wchar_t> accessKeys;
  for (const MenuItem& item : byRightClick) {
    const std::size_t amp = item.text.find(L'&');
    ASSERT_NE(amp, std::wstring::npos) << "no access key";
    accessKeys.insert(static_cast<wchar_t>(std::towupper(item.text.at(amp + 1))));
  }
  EXPECT_EQ(accessKeys.size(), 7U) << "access keys are unique";
  for (const auto& [index, key] : std::vector<std::pair<int, std::wstring>>{
           {0, L"\tCtrl+Z"}, {1, L"\tCtrl+Y"}, {5, L"\tCtrl+C"}, {6, L"\tCtrl+A"}}) {
    const std::wstring& text = byRightClick.at(static_cast<std::size_t>(index)).text;
    ASSERT_GE(text.size(), key.size());
    EXPECT_EQ(text.substr(text.size() - key.size()), key) << "the item shows its keys";
  }
  const std::vector<bool> greyAtFirst{true, true, false, false, false, false, false};  // nothing to undo or redo
  for (std::size_t i = 0; i < greyAtFirst.size(); ++i) EXPECT_EQ(byRightClick[i].grey, greyAtFirst[i]) << i;

  // Here the menu key; Shift+F10 and the menu key typed into the real program: the driver's case.
  dialog.click(IDM_SIZES_LARGER);
  const auto afterAChange = menuOpenedBy([&] { ::SendMessageA(list, WM_KEYUP, VK_APPS, 1); });
  ASSERT_EQ(afterAChange.size(), 7U);
  EXPECT_FALSE(afterAChange[0].grey) << "undo after a change";
  EXPECT_TRUE(afterAChange[1].grey);
}

TEST_F(ContextMenuTest, SizesOneStepLargerAndSmallerOnTheShownPageAreOneUndoStepEach) {
  dialog.load(sample);
  const auto loaded1 = sizesOf(dialog, 1);
  dialog.click(IDM_SIZES_LARGER);
  EXPECT_EQ(sizesOf(dialog, 0), (std::vector<std::string>{"9", "10", "9", "9", "10"}));
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)).at(1).at(4), "10") << "the list shows the model";
  EXPECT_EQ(sizesOf(dialog, 1), loaded1) << "only the shown page";
  EXPECT_TRUE(dialog.HasUnwrittenEdits());

  dialog.click(IDM_SIZES_SMALLER);
  dialog.click(IDM_SIZES_SMALLER);
  EXPECT_EQ(sizesOf(dialog, 0), (std::vector<std::string>{"7", "8", "7", "7", "8"}));
  dialog.click(IDM_UNDO);
  dialog.click(IDM_UNDO);
  EXPECT_EQ(sizesOf(dialog, 0), (std::vector<std::string>{"9", "10", "9", "9", "10"})) << "one step each";
  dialog.click(IDM_UNDO);
  EXPECT_EQ(sizesOf(dialog, 0), (std::vector<std::string>{"8", "9", "8", "8", "9"}));
  EXPECT_FALSE(dialog.HasUnwrittenEdits());
  dialog.click(IDM_REDO);
  EXPECT_EQ(sizesOf(dialog, 0).front(), "9");
}

TEST_F(ContextMenuTest, FontsFromAnotherThemeChangeEveryPageInOneStepAndSaySo) {
  // The set: the sample with a face and size of page 0 and a face of page 1 tuned.
  const std::string set = temp.write("set.msstyles", mt::rebuiltBytes(mt::sampleTheme(), [](theme::FontPages& p) {
    p.setCell(0, 1, theme::kColFont, "Meiryo");
    p.setCell(0, 1, theme::kColSize, "10");
    p.setCell(1, 3, theme::kColFont, "Meiryo UI");
  }));
  dialog.load(sample);
  dialog.fontSourceAnswer = set;
  dialog.click(IDM_FONTS_FROM_THEME);
  ASSERT_EQ(dialog.messages.size(), 1U);
  EXPECT_EQ(dialog.messages.back(),
            std::string(gui_test::ui("", "Fonts taken from ")) + set +
                gui_test::ui(" からフォントを取り込みました。\n変更した行 2、すでに同じ行 7、対応する行のない行 0",
                             ".\n2 rows changed, 7 already alike, 0 with no match"));
  EXPECT_EQ(dialog.messageIcons, std::vector<UINT>{MB_ICONINFORMATION});
  EXPECT_EQ(dialog.pages().rows(0).at(1).font.text, "Meiryo");
  EXPECT_EQ(dialog.pages().rows(0).at(1).size.text, "10");
  EXPECT_EQ(dialog.pages().rows(1).at(3).font.text, "Meiryo UI");
  EXPECT_EQ(gui_test::listRows(dialog.fontList(1)).at(3).at(3), "Meiryo UI");
  EXPECT_TRUE(dialog.HasUnwrittenEdits());
  dialog.click(IDM_UNDO);
  EXPECT_EQ(mt::rowsOf(dialog.pages(), 0), mt::sampleRows(0));
  EXPECT_EQ(mt::rowsOf(dialog.pages(), 1), mt::sampleRows(1)) << "both pages in one step";
  EXPECT_FALSE(dialog.HasUnwrittenEdits());
  dialog.click(IDM_REDO);
  EXPECT_EQ(dialog.pages().rows(1).at(3).font.text, "Meiryo UI");

  // A file that is no theme: said with the file and its reason; nothing changes.
  const auto carried = mt::rowsOf(dialog.pages(), 1);
  dialog.fontSourceAnswer = temp.write("junk.msstyles", mt::Bytes{'j', 'u', 'n', 'k'});
  dialog.click(IDM_FONTS_FROM_THEME);
  EXPECT_EQ(dialog.messages.back().rfind(gui_test::ui("フォントを取り込めませんでした\n", "Taking the fonts failed.\n") +
                                             *dialog.fontSourceAnswer + "\n",
                                         0),
            0U)
      << dialog.messages.back();
  EXPECT_EQ(mt::rowsOf(dialog.pages(), 1), carried);
}

std::string clipboardText() {
  std::string text;
  if (::OpenClipboard(nullptr) == FALSE) return "<no clipboard>";
  if (HANDLE data = ::GetClipboardData(CF_TEXT); data != nullptr) {
    text = static_cast<const char*>(::GlobalLock(data));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  return text;
}

// Rows of page 0 of the sample as `list --tsv` prints them on Windows.
std::string tsvOf(std::initializer_list<int> rows) {
  std::string text;
  const auto sample = mt::sampleRows(0);
  for (const int i : rows) {
    const mt::Row& r = sample.at(static_cast<std::size_t>(i));
    text += "0\t" + r.file + "\t" + r.section + "\t" + r.key + "\t" + r.font + "\t" + r.size + "\t" + r.option + "\r\n";
  }
  return text;
}

TEST_F(ContextMenuTest, SelectedRowsAreCopiedAsTabSeparatedTextAndSelectingChangesNoValue) {
  dialog.load(sample);
  HWND list = dialog.fontList(0);
  const auto loaded = gui_test::listRows(list);
  gui_test::clickCell(list, 1, 0);
  const RECT third = gui_test::cellRect(list, 3, 1);
  ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(third.left + 5, third.top + 5));
  gui_test::pump();
  EXPECT_EQ(gui_test::fontListOf(list).GetSelectedRows(), (std::vector<int>{1, 2, 3}));
  press(list, 'C', true);
  EXPECT_EQ(clipboardText(), tsvOf({1, 2, 3}));

  press(list, VK_DOWN, false, true);  // Shift+Down: the selection grows from its anchor
  EXPECT_EQ(gui_test::fontListOf(list).GetSelectedRows(), (std::vector<int>{1, 2, 3, 4}));
  press(list, VK_UP);  // a plain move selects the row moved to
  EXPECT_EQ(gui_test::fontListOf(list).GetSelectedRows(), std::vector<int>{3});
  press(list, VK_HOME, true);  // Ctrl moves without selecting, Ctrl+Space adds the row
  press(list, VK_SPACE, true);
  EXPECT_EQ(gui_test::fontListOf(list).GetSelectedRows(), (std::vector<int>{0, 3}));
  press(list, 'A', true);
  dialog.click(IDM_COPY);
  EXPECT_EQ(clipboardText(), tsvOf({0, 1, 2, 3, 4}));

  gui_test::clickCell(list, 4, 4);  // a value cell: its editor opens, its row is the selection
  EXPECT_TRUE(gui_test::visible(::GetDlgItem(list, IDC_SIZE_EDITOR)));
  EXPECT_EQ(gui_test::fontListOf(list).GetSelectedRows(), std::vector<int>{4});
  EXPECT_EQ(gui_test::listRows(list), loaded);
  EXPECT_FALSE(dialog.HasUnwrittenEdits());
}

}  // namespace
