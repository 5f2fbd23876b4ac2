// What a user can rely on while editing: no editor outlives the rows it was opened on,
// the wheel never changes a closed drop-down, edits are not dropped without a question,
// and the dialog's icon and the lists' row-height image lists are freed exactly once.
#include <gtest/gtest.h>

#include <memory>

#include "font_list_ctrl.h"
#include "gui_support.h"
#include "resource.h"
#include "test_support.h"

using gui_test::cellsOf;
using gui_test::TestDialog;

namespace {

void wheel(HWND hwnd, int notches) {
  ::SendMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(notches * WHEEL_DELTA)), 0);
  gui_test::pump();
}

class EditSafetyTest : public gui_test::DialogTest {
 protected:
  // A second file with a single row, standing in for "a new list".
  std::string oneRowTheme() {
    marvento_test::ThemeBuilder other = marvento_test::oneSizeTheme();
    other.textFile(u"BLUE_INI", u"[Only]\r\nFont = Arial, 7\r\n");
    return temp.write("one-row.msstyles", other.build().bytes);
  }
  // Picks "12" for the size of row 0 of page 0: an unwritten edit.
  void editASize() {
    HWND list = dialog.fontList(0);
    gui_test::clickCell(list, 0, 4);
    gui_test::choose(list, ::GetDlgItem(list, IDC_SIZE_EDITOR), "12");
    ASSERT_EQ(dialog.pages().rows(0).at(0).size.text, "12");
  }
};

TEST_F(EditSafetyTest, LoadAndBulkInputCloseTheEditorAndForgetItsCell) {
  dialog.load(sample);
  HWND list = dialog.fontList(0);
  HWND sizes = ::GetDlgItem(list, IDC_SIZE_EDITOR);
  gui_test::clickCell(list, 3, 4);
  ASSERT_TRUE(gui_test::visible(sizes));

  const std::string second = oneRowTheme();
  dialog.load(second);
  EXPECT_FALSE(gui_test::visible(sizes)) << "no editor over the new list";
  EXPECT_EQ(gui_test::fontListOf(dialog.fontList(0)).GetEditingColumn(), -1);
  // A choice still reaching the hidden editor lands in no cell of the new list.
  gui_test::choose(list, sizes, "20");
  EXPECT_EQ(gui_test::listRows(list), (std::vector<gui_test::Cells>{{"BLUE_INI", "Only", "Font", "Arial", "7", ""}}));
  EXPECT_EQ(dialog.pages().rows(0).at(0).size.text, "7");

  dialog.load(sample);
  HWND faces = ::GetDlgItem(list, IDC_FACE_EDITOR);
  gui_test::clickCell(list, 1, 3);
  ASSERT_TRUE(gui_test::visible(faces));
  gui_test::pickInCombo(dialog.bulkCombo(0), "DejaVu Serif");
  EXPECT_FALSE(gui_test::visible(faces)) << "the editor would show the face the cell had before";
  EXPECT_EQ(gui_test::fontListOf(dialog.fontList(0)).GetEditingColumn(), -1);
}

TEST_F(EditSafetyTest, WheelOverAClosedDropDownChangesNothing) {
  dialog.load(sample);
  HWND bulk = dialog.bulkCombo(0);
  ASSERT_EQ(gui_test::pickInCombo(bulk, "DejaVu Sans"), "DejaVu Sans");
  const auto rows = gui_test::listRows(dialog.fontList(0));
  ::SetFocus(bulk);
  wheel(bulk, -1);
  wheel(bulk, 2);
  EXPECT_EQ(gui_test::selectedText(bulk), "DejaVu Sans");
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)), rows) << "one notch would rewrite every face of the page";

  HWND list = dialog.fontList(0);
  HWND sizes = ::GetDlgItem(list, IDC_SIZE_EDITOR);
  gui_test::clickCell(list, 0, 4);  // "8"
  ::SetFocus(sizes);
  wheel(sizes, -1);
  EXPECT_EQ(gui_test::selectedText(sizes), "8");
  EXPECT_EQ(gui_test::listRows(list).at(0).at(4), "8");
  // Nor do the arrow keys or typed digits: a choice is made in the opened list.
  for (const UINT key : {VK_DOWN, VK_UP, VK_END}) ::SendMessageA(sizes, WM_KEYDOWN, key, 0);
  ::SendMessageA(sizes, WM_CHAR, '2', 0);
  gui_test::pump();
  EXPECT_EQ(gui_test::listRows(list).at(0).at(4), "8");
  ::SendMessageA(bulk, WM_KEYDOWN, VK_DOWN, 0);
  gui_test::pump();
  EXPECT_EQ(gui_test::selectedText(bulk), "DejaVu Sans");
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)).at(1).at(3), "DejaVu Sans");
}

TEST_F(EditSafetyTest, UnwrittenEditsAreDroppedOnlyWhenTheUserSaysSo) {
  dialog.load(sample);
  editASize();
  ::SetWindowTextA(dialog.styleNameBox(), "Mine");
  EXPECT_TRUE(dialog.HasUnwrittenEdits());

  // Esc first closes an open editor; nothing is asked.
  gui_test::clickCell(dialog.fontList(0), 1, 4);
  ::PostMessageA(dialog.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
  gui_test::pump();
  EXPECT_EQ(dialog.discardAsked, 0);
  EXPECT_FALSE(gui_test::visible(::GetDlgItem(dialog.fontList(0), IDC_SIZE_EDITOR)));
  // "No" keeps the dialog and the edits, whichever way it was to end or be replaced.
  dialog.discardAnswer = false;
  ::PostMessageA(dialog.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
  gui_test::pump();
  dialog.click(IDCANCEL);
  ::SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  gui_test::pump();
  dialog.load(oneRowTheme());
  EXPECT_EQ(dialog.discardAsked, 4);
  EXPECT_EQ(dialog.GetModalResult(), 0);
  EXPECT_TRUE(dialog.image().loaded());
  EXPECT_EQ(dialog.loadAsked, 2) << "the file is chosen and read before the question";
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)).at(0).at(4), "12");
  EXPECT_EQ(gui_test::windowText(dialog.styleNameBox()), "Mine");

  // "Yes" goes on.
  dialog.discardAnswer = true;
  dialog.load(sample);
  EXPECT_EQ(dialog.discardAsked, 5);
  EXPECT_EQ(dialog.loadAsked, 3);
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)), cellsOf(marvento_test::sampleRows(0)));
  EXPECT_FALSE(dialog.HasUnwrittenEdits());

  // Written edits, or edits put back as they were written, ask nothing.
  dialog.discardAnswer.reset();
  editASize();
  dialog.write(temp.file("out.msstyles"));
  EXPECT_FALSE(dialog.HasUnwrittenEdits());
  HWND list = dialog.fontList(0);
  gui_test::clickCell(list, 0, 4);
  gui_test::choose(list, ::GetDlgItem(list, IDC_SIZE_EDITOR), "6");
  EXPECT_TRUE(dialog.HasUnwrittenEdits());
  gui_test::clickCell(list, 0, 4);
  gui_test::choose(list, ::GetDlgItem(list, IDC_SIZE_EDITOR), "12");
  EXPECT_FALSE(dialog.HasUnwrittenEdits());
  ::SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  gui_test::pump();
  EXPECT_EQ(dialog.discardAsked, 5);
  EXPECT_EQ(dialog.GetModalResult(), IDCANCEL);
}

TEST_F(EditSafetyTest, EscapeAsksAndYesEndsTheDialog) {
  dialog.load(sample);
  editASize();
  dialog.discardAnswer = true;
  EXPECT_FALSE(gui_test::visible(::GetDlgItem(dialog.fontList(0), IDC_SIZE_EDITOR))) << "the choice closed it";
  gui_test::clickCell(dialog.fontList(0), 1, 4);
  ::PostMessageA(dialog.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);  // closes the open editor
  gui_test::pump();
  EXPECT_EQ(dialog.discardAsked, 0);
  EXPECT_EQ(dialog.GetModalResult(), 0);
  ::PostMessageA(dialog.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
  gui_test::pump();
  EXPECT_EQ(dialog.discardAsked, 1);
  EXPECT_EQ(dialog.GetModalResult(), IDCANCEL);
}

TEST(OwnedHandles, TheDialogsIconIsDestroyedWithIt) {
  auto dialog = std::make_unique<TestDialog>();
  ASSERT_TRUE(dialog->Create());
  gui_test::pump();
  auto icon = reinterpret_cast<HICON>(::SendMessageA(dialog->hwnd(), WM_GETICON, ICON_SMALL, 0));
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon, &info));
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  dialog.reset();
  EXPECT_FALSE(::GetIconInfo(icon, &info)) << "the small icon outlived the dialog";
}

// A font list whose window goes without its own WM_DESTROY handling, as when its owner
// object destroys it after detaching.
class SilentlyDestroyedList : public widgets::CFontListCtrl {
 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_DESTROY) return false;
    return widgets::CFontListCtrl::OnMessage(msg, wp, lp, result);
  }
};

TEST(OwnedHandles, TheRowHeightImageListIsLeftToTheWidget) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Create());
  SilentlyDestroyedList list;
  ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, RECT{0, 0, 200, 100}, dialog.hwnd(), 998));
  auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list.GetSafeHwnd(), LVM_GETIMAGELIST, LVSIL_STATE, 0));
  ASSERT_NE(images, nullptr);
  ::DestroyWindow(list.GetSafeHwnd());
  int cx = 0;
  int cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(images, &cx, &cy)) << "the list freed an image list it does not own";
  EXPECT_EQ(cy, 20);
}

}  // namespace
