// The font list's in-place editors under Wine: which editor opens where, what it
// preselects, what a choice writes, what closes it, and the colours of the cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "font_list_ctrl.h"
#include "gui_support.h"
#include "resource.h"
#include "test_support.h"
#include "text.h"

using gui_test::Cells;
using gui_test::TestDialog;
using gui_test::cellRect;
using gui_test::choose;
using gui_test::clickAt;
using gui_test::clickCell;
using gui_test::selectedText;

namespace {

// Rows chosen for the editors: a size no entry equals, an option in lower case, a face
// that is not installed, and enough rows to scroll.
std::u16string editingText() {
  std::u16string text =
      u"[A]\r\nFont = DejaVu Sans, 2, bold italic\r\n"
      u"[B]\r\nFont = Nosuch Face, 9, Bold\r\n"
      u"[C]\r\nFont = DejaVu Sans, 8\r\n";
  for (int i = 0; i < 40; ++i) {
    text += u"[R" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u"]\r\nFont = DejaVu Serif, 9\r\n";
  }
  return text;
}

RECT rectInList(HWND editor, HWND list) {
  RECT r{};
  ::GetWindowRect(editor, &r);
  ::MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class FontListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create());
    marvento_test::ThemeBuilder theme = marvento_test::oneSizeTheme();
    theme.textFile(u"BLUE_INI", editingText());
    dialog.load(temp.write("editing.msstyles", theme.build().bytes));
    ASSERT_TRUE(dialog.messages.empty());
    list = dialog.fontList(0);
    ASSERT_GE(gui_test::listRows(list).size(), 40u);
  }

  [[nodiscard]] HWND editor(int id) const { return ::GetDlgItem(list, id); }
  [[nodiscard]] std::string cell(int row, int column) const { return gui_test::listRows(list).at(row).at(column); }
  [[nodiscard]] int openEditors() const {
    int open = 0;
    for (int id = IDC_FACE_EDITOR; id <= IDC_OPTION_EDITOR; ++id) open += gui_test::visible(editor(id)) ? 1 : 0;
    return open;
  }
  // A plain click makes the clicked row the only one selected (-1: a click below the rows, none).
  void expectOnlyRowSelected(int row) const {
    EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), row < 0 ? 0 : 1);
    if (row >= 0) {
      EXPECT_EQ(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), row);
    }
    // A click gives the list the focus, or the editor it dropped.
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == list || ::GetParent(focus) == list || ::GetParent(::GetParent(focus)) == list);
  }

  TestDialog dialog;
  marvento_test::TempDir temp;
  HWND list = nullptr;
};

TEST_F(FontListTest, EditorsAreHiddenChildDropDownsWithTheirEntries) {
  // WS_VSCROLL goes to the list; the face editor draws its faces itself; sizes can be typed.
  const DWORD styles[] = {0x40000303u | CBS_OWNERDRAWFIXED, 0x40000242u, 0x40000303u};
  for (int id = IDC_FACE_EDITOR; id <= IDC_OPTION_EDITOR; ++id) {
    HWND e = editor(id);
    ASSERT_NE(e, nullptr) << id;
    EXPECT_EQ(::GetParent(e), list);
    EXPECT_FALSE(gui_test::visible(e));
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(e, GWL_STYLE)) & ~(WS_VISIBLE | WS_VSCROLL),
              styles[id - IDC_FACE_EDITOR]);
    EXPECT_EQ(::SendMessageA(e, WM_GETFONT, 0, 0), ::SendMessageA(dialog.hwnd(), WM_GETFONT, 0, 0));
  }
  EXPECT_EQ(gui_test::comboEntries(editor(IDC_FACE_EDITOR)), gui_test::comboEntries(dialog.bulkCombo(0)));
  EXPECT_EQ(gui_test::comboEntries(editor(IDC_SIZE_EDITOR)),
            (std::vector<std::string>{"1", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16", "17", "18",
                                      "19", "20", "21", "22"}));
  EXPECT_EQ(gui_test::comboEntries(editor(IDC_OPTION_EDITOR)),
            (std::vector<std::string>{"", "Bold", "Bold Italic", "Italic"}));
}

int rowHeight(HWND list) {
  RECT row{};
  row.left = LVIR_BOUNDS;
  ::SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  return row.bottom - row.top;
}

TEST_F(FontListTest, RowsAreAtLeastTwentyPixelsHigh) {
  // A plain report list with the same font and a row, for comparison.
  win32::CListCtrl plain;
  ASSERT_TRUE(plain.Create(WS_CHILD | LVS_REPORT, RECT{0, 0, 300, 200}, dialog.hwnd(), 999));
  plain.SetFont(reinterpret_cast<HFONT>(::SendMessageA(dialog.hwnd(), WM_GETFONT, 0, 0)));
  plain.InsertColumn(0, L"x", LVCFMT_LEFT, 100);
  plain.InsertItem(0, L"x");
  ASSERT_LT(rowHeight(plain.GetSafeHwnd()), 20) << "the font alone would make rows lower";
  EXPECT_GE(rowHeight(list), 20);
  EXPECT_LE(rowHeight(list), 21) << "the row image list's height, and the list's own padding at most";
  auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_STATE, 0));
  ASSERT_NE(images, nullptr);
  int cx = 0;
  int cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 1);
  EXPECT_EQ(cy, 20);
  EXPECT_EQ(ImageList_GetImageCount(images), 0);
}

TEST_F(FontListTest, ClickOnASizeCellOpensTheSizeEditorOverIt) {
  clickCell(list, 2, 4);  // "8"
  HWND sizes = editor(IDC_SIZE_EDITOR);
  ASSERT_TRUE(gui_test::visible(sizes));
  EXPECT_EQ(openEditors(), 1);
  const RECT cellR = cellRect(list, 2, 4);
  const RECT r = rectInList(sizes, list);
  EXPECT_EQ(r.left, cellR.left);
  EXPECT_EQ(r.top, cellR.top);
  EXPECT_EQ(r.right - r.left, ::SendMessageA(list, LVM_GETCOLUMNWIDTH, 4, 0));
  EXPECT_NE(::SendMessageA(sizes, CB_GETDROPPEDSTATE, 0, 0), 0) << "a click drops its list";
  EXPECT_EQ(selectedText(sizes), "8");
  EXPECT_EQ(cell(2, 4), "8");
  auto* fontList = dynamic_cast<widgets::CFontListCtrl*>(win32::CWnd::FromHandlePermanent(list));
  ASSERT_NE(fontList, nullptr);
  EXPECT_EQ(fontList->GetEditingRow(), 2);
  EXPECT_EQ(fontList->GetEditingColumn(), 4);
  expectOnlyRowSelected(2);
}

TEST_F(FontListTest, EditorIsAsWideAsItsColumnAndNineRowsHighWhenDropped) {
  clickCell(list, 0, 5);
  HWND options = editor(IDC_OPTION_EDITOR);
  ASSERT_TRUE(gui_test::visible(options));
  const RECT r = rectInList(options, list);
  EXPECT_EQ(r.left, cellRect(list, 0, 5).left);
  EXPECT_EQ(r.right - r.left, ::SendMessageA(list, LVM_GETCOLUMNWIDTH, 5, 0));

  // The size editor is given nine rows' height for the closed box and its list.
  // Windows reports that whole height as the dropped rectangle; Wine reports the list
  // part below the box (and its common-controls 6 combo then shows up to 30 entries).
  clickCell(list, 0, 4);
  HWND sizes = editor(IDC_SIZE_EDITOR);
  ASSERT_TRUE(gui_test::visible(sizes));
  RECT given{};
  ::SendMessageA(sizes, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&given));
  RECT closed{};
  ::GetWindowRect(sizes, &closed);
  const int height = 9 * rowHeight(list);
  const int dropped = given.bottom - given.top;
  EXPECT_TRUE(dropped == height || dropped + (closed.bottom - closed.top) == height)
      << "dropped " << dropped << ", box " << closed.bottom - closed.top << ", nine rows " << height;
  EXPECT_EQ(given.top, closed.top);
  ::SendMessageA(sizes, CB_SHOWDROPDOWN, FALSE, 0);
  gui_test::pump();
}

TEST_F(FontListTest, AChoiceIsWrittenIntoTheCellAndThePageAtOnce) {
  clickCell(list, 2, 4);
  HWND sizes = editor(IDC_SIZE_EDITOR);
  // The keyboard in the dropped list: the highlight moves without a write, Enter chooses.
  ::SendMessageA(sizes, CB_SHOWDROPDOWN, TRUE, 0);
  ::SendMessageA(sizes, WM_KEYDOWN, VK_DOWN, 0);
  gui_test::pump();
  EXPECT_EQ(cell(2, 4), "8") << "moving the highlight writes nothing";
  ::SendMessageA(sizes, WM_KEYDOWN, VK_RETURN, 0);
  gui_test::pump();
  EXPECT_EQ(cell(2, 4), "9");
  EXPECT_EQ(dialog.pages().rows(0).at(2).size.text, "9");
  EXPECT_FALSE(gui_test::visible(sizes)) << "a choice closes the editor";
  EXPECT_EQ(::GetFocus(), list);
  clickCell(list, 2, 4);
  choose(list, sizes, "12");
  EXPECT_EQ(cell(2, 4), "12");
  EXPECT_EQ(dialog.pages().rows(0).at(2).size.text, "12");
  EXPECT_FALSE(gui_test::visible(sizes));
  EXPECT_EQ(cell(1, 4), "9") << "other rows keep their values";

  clickCell(list, 2, 3);
  choose(list, editor(IDC_FACE_EDITOR), "DejaVu Serif");
  EXPECT_EQ(cell(2, 3), "DejaVu Serif");
  EXPECT_EQ(dialog.pages().rows(0).at(2).font.text, "DejaVu Serif");
  EXPECT_EQ(dialog.pages().rows(0).at(2).size.text, "12");
  expectOnlyRowSelected(2);
}

TEST_F(FontListTest, EditorShowsTheCellsValueIgnoringCaseOrAsItsFirstEntry) {
  clickCell(list, 0, 4);  // "2": not offered, so shown as the first entry, not as "20"
  HWND sizes = editor(IDC_SIZE_EDITOR);
  EXPECT_EQ(selectedText(sizes), "2");
  EXPECT_EQ(::SendMessageA(sizes, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(gui_test::comboEntries(sizes).size(), 19u) << "the 18 sizes stay";
  EXPECT_EQ(cell(0, 4), "2") << "nothing is written until a choice";
  choose(list, sizes, "2");
  EXPECT_FALSE(dialog.HasUnwrittenEdits()) << "choosing it again changes nothing";

  clickCell(list, 0, 5);  // "bold italic"
  HWND options = editor(IDC_OPTION_EDITOR);
  EXPECT_EQ(selectedText(options), "Bold Italic");
  EXPECT_FALSE(gui_test::visible(editor(IDC_SIZE_EDITOR)));
  choose(list, options, "");
  EXPECT_EQ(cell(0, 5), "");
  EXPECT_EQ(dialog.pages().rows(0).at(0).option.text, "");
  clickCell(list, 0, 5);  // an empty option is the empty entry, offered once
  EXPECT_EQ(gui_test::comboEntries(options).size(), 4u);
  EXPECT_EQ(::SendMessageA(options, CB_GETCURSEL, 0, 0), 0);

  clickCell(list, 1, 3);  // a face that is not installed
  EXPECT_EQ(selectedText(editor(IDC_FACE_EDITOR)), "Nosuch Face");
  EXPECT_EQ(cell(1, 3), "Nosuch Face");
  clickCell(list, 0, 4);  // the size editor again: its own entry is gone, the cell's is first
  EXPECT_EQ(gui_test::comboEntries(sizes).size(), 19u);
  EXPECT_EQ(selectedText(sizes), "2");
}

TEST_F(FontListTest, TheSizeEditorTakesATypedSizeTheValueRulesAllowAsOneStep) {
  HWND sizes = editor(IDC_SIZE_EDITOR);
  HWND tip = gui_test::fontListOf(list).GetRefusalTip();
  struct Typed {
    const char* text;
    const char* refusal;  // nullptr: written
  };
  const Typed typed[] = {
      {"24", nullptr},
      {"-13", nullptr},
      {"0", gui_test::ui("サイズに 0 は使えません", "A size cannot be 0.")},
      {"12pt", gui_test::ui("サイズは整数です。ポイント (9) か、ピクセルの高さ (-12)",
                            "A size is a whole number: points (9), or a pixel height (-12).")},
      {"99999999999", gui_test::ui("サイズが大きすぎるか小さすぎます", "This size is too large or too small.")},
  };
  for (const Typed& t : typed) {
    clickCell(list, 2, 4);
    HWND box = ::GetWindow(sizes, GW_CHILD);  // where the size is typed
    ASSERT_NE(box, nullptr);
    ::SetWindowTextA(box, t.text);
    gui_test::press(box, VK_RETURN);
    if (t.refusal == nullptr) {
      EXPECT_EQ(cell(2, 4), t.text);
      EXPECT_FALSE(gui_test::visible(sizes)) << t.text;
      gui_test::press(list, 'Z', true);
      EXPECT_EQ(cell(2, 4), "8") << "one undo step takes " << t.text << " back";
      continue;
    }
    EXPECT_EQ(cell(2, 4), "8") << t.text << " is not written";
    EXPECT_TRUE(gui_test::visible(sizes)) << "the editor stays with " << t.text;
    EXPECT_TRUE(gui_test::pumpUntil([tip] { return gui_test::visible(tip); }));
    EXPECT_EQ(win32::ToAnsi(gui_test::tipText(tip, list)), t.refusal);
    gui_test::press(box, VK_ESCAPE);
    EXPECT_FALSE(gui_test::visible(sizes));
    EXPECT_FALSE(gui_test::visible(tip));
  }
  EXPECT_FALSE(dialog.HasUnwrittenEdits());
}

TEST_F(FontListTest, ClicksOnIdentifyingColumnsOrBelowTheRowsCloseTheEditor) {
  const auto before = gui_test::listRows(list);
  clickCell(list, 1, 4);
  ASSERT_EQ(openEditors(), 1);
  clickCell(list, 1, 1);
  EXPECT_EQ(openEditors(), 0);

  clickCell(list, 1, 5);
  ASSERT_EQ(openEditors(), 1);
  // Scrolled to the end, the space under the last row is empty list area.
  ::SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(before.size() - 1), FALSE);
  clickCell(list, static_cast<int>(before.size()) - 1, 5);
  ASSERT_EQ(openEditors(), 1);
  const RECT last = cellRect(list, static_cast<int>(before.size()) - 1, 4);
  RECT client{};
  ::GetClientRect(list, &client);
  if (last.bottom + 5 < client.bottom) {
    clickAt(list, (last.left + last.right) / 2, last.bottom + 5);
    EXPECT_EQ(openEditors(), 0);
  }
  EXPECT_EQ(gui_test::listRows(list), before);
  expectOnlyRowSelected(-1);
}

TEST_F(FontListTest, ScrollingClosesTheOpenEditor) {
  struct Scroll {
    UINT msg;
    WPARAM wp;
    const char* what;
  };
  const Scroll scrolls[] = {
      {WM_VSCROLL, SB_LINEDOWN, "vertical scroll bar"},
      {WM_HSCROLL, SB_LINERIGHT, "horizontal scroll bar"},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), "mouse wheel"},
      {WM_KEYDOWN, VK_NEXT, "page down key"},
  };
  for (const Scroll& s : scrolls) {
    ::SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    gui_test::pump();
    clickCell(list, 0, 4);
    ASSERT_EQ(openEditors(), 1) << s.what;
    ::SendMessageA(list, s.msg, s.wp, 0);
    gui_test::pump();
    EXPECT_EQ(openEditors(), 0) << s.what;
  }
}

TEST_F(FontListTest, EditorLiesOverTheClickedCellAfterHorizontalScrolling) {
  RECT r{};
  ::GetWindowRect(list, &r);
  ::MapWindowPoints(nullptr, dialog.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  ::MoveWindow(list, r.left, r.top, 420, r.bottom - r.top, TRUE);
  gui_test::pump();
  for (int column = 0; column < 6; ++column) ::SendMessageA(list, LVM_SETCOLUMNWIDTH, column, 120);  // widened by hand
  ::SendMessageA(list, LVM_SCROLL, 300, 0);
  gui_test::pump();
  ASSERT_GT(::GetScrollPos(list, SB_HORZ), 0);
  for (int column = 3; column <= 5; ++column) {
    clickCell(list, 1, column);
    HWND e = editor(widgets::CFontListCtrl::EditorId(column));
    ASSERT_TRUE(gui_test::visible(e)) << column;
    EXPECT_EQ(rectInList(e, list).left, cellRect(list, 1, column).left) << column;
  }
  ::SendMessageA(list, LVM_SCROLL, static_cast<WPARAM>(-1000), 0);
  gui_test::pump();
  clickCell(list, 2, 0);
  EXPECT_EQ(::GetScrollPos(list, SB_HORZ), 0) << "a click on an identifying cell stays where it is";
}

TEST_F(FontListTest, IdentifyingCellsAreDarkGreyOnLightGreyValueCellsBlackOnWhite) {
  const gui_test::Capture shot = gui_test::captureClient(list);
  ASSERT_FALSE(shot.pixels.empty());
  struct Expect {
    int column;
    COLORREF text, back;
  };
  for (const Expect& e : {Expect{0, RGB(72, 72, 72), RGB(240, 240, 240)}, Expect{1, RGB(72, 72, 72), RGB(240, 240, 240)},
                          Expect{2, RGB(72, 72, 72), RGB(240, 240, 240)}, Expect{3, RGB(0, 0, 0), RGB(255, 255, 255)},
                          Expect{4, RGB(0, 0, 0), RGB(255, 255, 255)}}) {
    for (int row = 0; row < 3; ++row) {
      const RECT cellR = cellRect(list, row, e.column);
      // Behind the text: a pixel near the cell's right end, where no text reaches.
      EXPECT_EQ(shot.at(cellR.right - 3, (cellR.top + cellR.bottom) / 2), e.back)
          << "background of row " << row << " column " << e.column;
      EXPECT_TRUE(shot.contains(cellR, e.text)) << "text of row " << row << " column " << e.column;
    }
  }
}

}  // namespace
