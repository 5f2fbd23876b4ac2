// The main dialog at the keyboard and on screens of other font metrics, under Wine: Tab
// order, the font list's keys, Esc and Ctrl+Tab; the bulk combo after an undo; the title;
// texts that fit their controls; a dialog that can be resized but not made smaller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_list_ctrl.h"
#include "gdi.h"
#include "gui_support.h"
#include "resource.h"
#include "test_support.h"
#include "text.h"
#include "ui_resources.h"

namespace {

using gui_test::press;
using KeyboardTest = gui_test::DialogTest;

TEST_F(KeyboardTest, TabReachesEveryWidgetOfTheShownPageInScreenOrder) {
  dialog.load(sample);
  ::SetFocus(::GetDlgItem(dialog.hwnd(), IDC_LOAD));
  std::vector<int> forward;
  for (int i = 0; i < 8; ++i) {
    press(::GetFocus(), VK_TAB);
    forward.push_back(::GetDlgCtrlID(::GetFocus()));
    // The shown page's widget, not a hidden page's.
    for (HWND shown : {dialog.fontList(0), dialog.sizeNameBox(0), dialog.bulkCombo(0)}) {
      if (forward.back() == ::GetDlgCtrlID(shown)) {
        EXPECT_EQ(::GetFocus(), shown);
      }
    }
  }
  EXPECT_EQ(forward, (std::vector<int>{IDC_WRITE, IDCANCEL, IDC_VERSION, IDC_STYLE_NAME, IDC_SIZE_NAME,
                                       IDC_BULK_FONT, IDC_FONT_LIST, IDC_LOAD}));
  std::vector<int> back;
  for (int i = 0; i < 4; ++i) {
    press(::GetFocus(), VK_TAB, false, true);
    back.push_back(::GetDlgCtrlID(::GetFocus()));
  }
  EXPECT_EQ(back, (std::vector<int>{IDC_FONT_LIST, IDC_BULK_FONT, IDC_SIZE_NAME, IDC_STYLE_NAME}));
}

TEST_F(KeyboardTest, ListKeysChooseACellAndItsDroppedEditorWritesOnlyAChoice) {
  dialog.load(sample);
  HWND list = dialog.fontList(0);
  const auto loaded = gui_test::listRows(list);
  gui_test::clickCell(list, 2, 1);  // a read-only cell: the list takes the focus and the row
  EXPECT_EQ(::GetFocus(), list);
  EXPECT_EQ(gui_test::fontListOf(list).GetCurrentRow(), 2);
  press(list, VK_SPACE);
  EXPECT_EQ(dialog.GetModalResult(), 0) << "Space presses no button";

  press(list, VK_UP);
  press(list, VK_RIGHT);  // font name -> size
  EXPECT_EQ(gui_test::fontListOf(list).GetCurrentRow(), 1);
  EXPECT_EQ(gui_test::fontListOf(list).GetCurrentColumn(), theme::kColSize);
  press(list, VK_F2);
  HWND sizes = ::GetDlgItem(list, IDC_SIZE_EDITOR);
  ASSERT_TRUE(gui_test::visible(sizes));
  EXPECT_NE(::SendMessageA(sizes, CB_GETDROPPEDSTATE, 0, 0), 0) << "opened with its list dropped";
  EXPECT_TRUE(::GetFocus() == sizes || ::GetParent(::GetFocus()) == sizes) << "the focus in the editor or its box";
  const std::string before = loaded.at(1).at(theme::kColSize);
  EXPECT_EQ(gui_test::selectedText(sizes), before);

  press(sizes, VK_DOWN);
  EXPECT_EQ(gui_test::listRows(list), loaded) << "moving the highlight writes nothing";
  press(sizes, VK_ESCAPE);
  EXPECT_FALSE(gui_test::visible(sizes)) << "Esc closes the editor";
  EXPECT_EQ(gui_test::listRows(list), loaded) << "and leaves the cell as it was";
  EXPECT_EQ(::GetFocus(), list);
  EXPECT_EQ(dialog.GetModalResult(), 0);

  press(list, VK_RETURN);  // Enter in the list opens the editor, it does not press Load
  EXPECT_EQ(dialog.loadAsked, 1);
  ASSERT_TRUE(gui_test::visible(sizes));
  const int next = static_cast<int>(::SendMessageA(sizes, CB_GETCURSEL, 0, 0)) + 1;
  press(sizes, VK_DOWN);
  press(sizes, VK_RETURN);
  const std::string chosen = gui_test::comboEntries(sizes).at(static_cast<std::size_t>(next));
  EXPECT_EQ(gui_test::listRows(list).at(1).at(theme::kColSize), chosen);
  EXPECT_EQ(dialog.pages().rows(0).at(1).size.text, chosen);
  EXPECT_EQ(::GetFocus(), list) << "back to the rows after a choice";
  EXPECT_FALSE(gui_test::visible(sizes)) << "a choice closes the editor";
  // Esc in the dropped bulk combo closes its list only.
  HWND bulk = dialog.bulkCombo(0);
  ::SendMessageA(bulk, CB_SHOWDROPDOWN, TRUE, 0);
  ::SetFocus(bulk);
  press(bulk, VK_ESCAPE);
  EXPECT_EQ(::SendMessageA(bulk, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(dialog.GetModalResult(), 0);
  ::SetFocus(list);
  press(list, 'Z', true);
  EXPECT_EQ(gui_test::listRows(list), loaded) << "the choice was one undo step";

  ::SendMessageA(list, WM_SYSKEYDOWN, VK_DOWN, 0);  // Alt+Down
  gui_test::pump();
  EXPECT_NE(::SendMessageA(sizes, CB_GETDROPPEDSTATE, 0, 0), 0);
  press(sizes, VK_ESCAPE);
  gui_test::clickCell(list, 0, theme::kColOption);
  ASSERT_TRUE(gui_test::visible(::GetDlgItem(list, IDC_OPTION_EDITOR)));
  press(list, VK_ESCAPE);
  EXPECT_FALSE(gui_test::visible(::GetDlgItem(list, IDC_OPTION_EDITOR)));
  EXPECT_EQ(dialog.GetModalResult(), 0) << "Esc with an editor open only closes it";
  press(list, VK_ESCAPE);
  EXPECT_EQ(dialog.GetModalResult(), IDCANCEL) << "with none open it ends the program";
}

TEST_F(KeyboardTest, CtrlTabSwitchesPagesAndTheFocusFollows) {
  dialog.load(sample);
  gui_test::clickCell(dialog.fontList(0), 0, 0);
  press(dialog.fontList(0), VK_TAB, true);
  EXPECT_EQ(::SendMessageA(dialog.tab(), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(gui_test::visible(dialog.fontList(1)));
  EXPECT_EQ(::GetFocus(), dialog.fontList(1));
  press(::GetFocus(), VK_TAB, true, true);
  EXPECT_EQ(::SendMessageA(dialog.tab(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(::GetFocus(), dialog.fontList(0));
}

TEST_F(KeyboardTest, BulkComboAfterUndoOrALoadShowsTheFaceEveryRowShares) {
  dialog.load(sample);
  HWND bulk = dialog.bulkCombo(0);
  HWND button = ::GetDlgItem(dialog.hwnd(), IDC_LOAD);
  ASSERT_EQ(gui_test::pickInCombo(bulk, "DejaVu Serif"), "DejaVu Serif");
  ASSERT_EQ(gui_test::pickInCombo(bulk, "DejaVu Sans"), "DejaVu Sans");
  press(button, 'Z', true);
  EXPECT_EQ(gui_test::selectedText(bulk), "DejaVu Serif");
  press(button, 'Z', true);
  EXPECT_EQ(gui_test::selectedText(bulk), "<none>") << "the loaded rows have several faces";
  press(button, 'Y', true);
  EXPECT_EQ(gui_test::selectedText(bulk), "DejaVu Serif");
  dialog.discardAnswer = true;
  dialog.load(sample);
  EXPECT_EQ(gui_test::selectedText(bulk), "<none>") << "a new load shows its own rows' faces";
}

TEST_F(KeyboardTest, TitleNamesTheLoadedFileAndMarksUnwrittenEdits) {
  EXPECT_EQ(gui_test::windowText(dialog.hwnd()), "Marvento");
  dialog.load(sample);
  EXPECT_EQ(gui_test::windowText(dialog.hwnd()), "sample.msstyles - Marvento");
  ::SetWindowTextA(dialog.styleNameBox(), "Mine");
  EXPECT_EQ(gui_test::windowText(dialog.hwnd()), "sample.msstyles * - Marvento");
  dialog.write(temp.file("out.msstyles"));
  EXPECT_EQ(gui_test::windowText(dialog.hwnd()), "out.msstyles - Marvento") << "once written, the file written";
  gui_test::pickInCombo(dialog.bulkCombo(0), "DejaVu Serif");
  EXPECT_EQ(gui_test::windowText(dialog.hwnd()), "out.msstyles * - Marvento");
  press(::GetDlgItem(dialog.hwnd(), IDC_LOAD), 'Z', true);
  EXPECT_EQ(gui_test::windowText(dialog.hwnd()), "out.msstyles - Marvento") << "undone to what was written";
}

// The pixels a text takes in `font` on the screen.
int TextWidth(const std::string& text, HFONT font) {
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ previous = ::SelectObject(screen, font);
  RECT rect{0, 0, 0, 0};
  ::DrawTextA(screen, text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
  ::SelectObject(screen, previous);
  ::ReleaseDC(nullptr, screen);
  return rect.right - rect.left;
}

int ClientWidth(HWND hwnd) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  return client.right;
}

TEST_F(KeyboardTest, EveryButtonAndLabelTextFitsItsControl) {
  const int frame = 2 * (::GetSystemMetrics(SM_CXEDGE) + 1);  // a push button's border and focus frame
  auto font = reinterpret_cast<HFONT>(::SendMessageA(dialog.hwnd(), WM_GETFONT, 0, 0));
  for (const int id : {IDC_LOAD, IDC_WRITE, IDCANCEL, IDC_VERSION}) {
    HWND button = ::GetDlgItem(dialog.hwnd(), id);
    const std::string text = gui_test::windowText(button);
    EXPECT_LE(TextWidth(text, font) + frame, ClientWidth(button)) << "cut: " << text;
  }
  // The labels paint in their own 9-point face.
  LOGFONTW labelFont{};
  labelFont.lfCharSet = DEFAULT_CHARSET;
  labelFont.lfHeight = 90;
  ::lstrcpynW(labelFont.lfFaceName, win32::LoadUiString(IDS_LABEL_FACE).c_str(), LF_FACESIZE);
  win32::CFont label;
  ASSERT_TRUE(label.CreatePointFontIndirect(&labelFont));
  for (int i = 0; i < 3; ++i) {
    const std::string text = gui_test::windowText(dialog.label(i));
    EXPECT_LE(TextWidth(text, label.GetSafeHandle()), ClientWidth(dialog.label(i))) << "cut: " << text;
  }
}

// Where the last column ends, and the list's client width.
std::pair<int, int> columnsEndAndWidth(HWND list) {
  int end = 0;
  for (int column = 0; column < theme::kColumnCount; ++column) {
    end += static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  RECT client{};
  ::GetClientRect(list, &client);
  return {end, client.right};
}

TEST_F(KeyboardTest, EveryColumnIsInViewTheyShareTheRoomAndACutCellShowsItsText) {
  dialog.load(sample);
  HWND list = dialog.fontList(0);
  const auto [end, width] = columnsEndAndWidth(list);
  EXPECT_EQ(end, width) << "at the default size every column is in view, filling the list";
  const int face = static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, theme::kColFont, 0));
  ::ShowWindow(dialog.hwnd(), SW_MAXIMIZE);
  gui_test::pump();
  const auto [grownEnd, grownWidth] = columnsEndAndWidth(list);
  EXPECT_EQ(grownEnd, grownWidth);
  EXPECT_GT(::SendMessageA(list, LVM_GETCOLUMNWIDTH, theme::kColFont, 0), face) << "the columns share the room";
  ::ShowWindow(dialog.hwnd(), SW_RESTORE);
  gui_test::pump();

  // A cell cut short shows its whole text over it when pointed at; a whole one shows none.
  HWND tip = gui_test::fontListOf(list).GetCellTip();
  ::SendMessageA(list, LVM_SETCOLUMNWIDTH, theme::kColSection, 20);
  const auto point = [list](int row, int column) {
    const RECT cell = gui_test::cellRect(list, row, column);
    ::SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 5, (cell.top + cell.bottom) / 2));
    gui_test::pump();
  };
  point(0, theme::kColSection);
  EXPECT_TRUE(gui_test::pumpUntil([tip] { return gui_test::visible(tip); }));
  EXPECT_EQ(win32::ToAnsi(gui_test::tipText(tip, list)), marvento_test::sampleRows(0).at(0).section);
  point(0, theme::kColFont);
  EXPECT_FALSE(gui_test::visible(tip));
  point(1, theme::kColSection);
  EXPECT_TRUE(gui_test::pumpUntil([tip] { return gui_test::visible(tip); }));
  ::SendMessageA(list, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(gui_test::visible(tip));
}

TEST_F(KeyboardTest, TheDialogGrowsWithItsListsButNeverBelowItsTemplate) {
  RECT window{};
  ::GetWindowRect(dialog.hwnd(), &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  RECT list{};
  ::GetWindowRect(dialog.fontList(0), &list);

  ::SetWindowPos(dialog.hwnd(), nullptr, 0, 0, width + 200, height + 100, SWP_NOMOVE | SWP_NOZORDER);
  gui_test::pump();
  RECT grown{};
  ::GetWindowRect(dialog.fontList(0), &grown);
  EXPECT_EQ(grown.right - grown.left, list.right - list.left + 200) << "the lists follow the dialog";
  EXPECT_EQ(grown.bottom - grown.top, list.bottom - list.top + 100);
  RECT tab{};
  ::GetWindowRect(dialog.tab(), &tab);
  EXPECT_GT(tab.right, grown.right);

  MINMAXINFO limits{};
  ::SendMessageA(dialog.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, width) << "never smaller than the template";
  EXPECT_EQ(limits.ptMinTrackSize.y, height);
  ::ShowWindow(dialog.hwnd(), SW_MAXIMIZE);
  gui_test::pump();
  EXPECT_TRUE(::IsZoomed(dialog.hwnd()));
  ::ShowWindow(dialog.hwnd(), SW_RESTORE);
  gui_test::pump();
}

}  // namespace
