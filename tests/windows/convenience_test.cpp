// What the program offers beyond its first version, under Wine: the file argument,
// dropped files, undo and redo of the font pages, faces shown in themselves, the sample
// tip of a row, and the English interface.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "command_line.h"
#include "face_combo.h"
#include "font_list_ctrl.h"
#include "gui_support.h"
#include "resource.h"
#include "test_support.h"

using gui_test::cellsOf;
using gui_test::TestDialog;

namespace {

TEST(CommandLine, FirstArgumentIsTheFileToLoad) {
  EXPECT_EQ(FirstArgument(""), "");
  EXPECT_EQ(FirstArgument(nullptr), "");
  EXPECT_EQ(FirstArgument("  C:\\a.msstyles other"), "C:\\a.msstyles");
  EXPECT_EQ(FirstArgument("\"C:\\My Themes\\a b.msstyles\" x"), "C:\\My Themes\\a b.msstyles");
  EXPECT_EQ(FirstArgument("\"unclosed quote"), "unclosed quote");
  // Code page 932: the trail byte of "表" is 0x5C, which is no separator.
  EXPECT_EQ(FirstArgument("C:\\\x95\x5C.msstyles"), "C:\\\x95\x5C.msstyles");
}

// A drop of `paths` on `hwnd`, as the shell delivers it (DROPFILES, ANSI names).
void dropFiles(HWND hwnd, const std::vector<std::string>& paths) {
  std::size_t size = sizeof(DROPFILES) + 1;
  for (const auto& p : paths) size += p.size() + 1;
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
  for (const auto& p : paths) {
    std::memcpy(at, p.c_str(), p.size() + 1);
    at += p.size() + 1;
  }
  ::GlobalUnlock(memory);
  ::SendMessageA(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // the program frees it
  gui_test::pump();
}

class ConvenienceTest : public gui_test::DialogTest {
 protected:
  // One choice in the bulk combo, as a click in its list makes it (one notification).
  void pickWithMouse(HWND combo, const char* face) {
    const auto index = ::SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face));
    ASSERT_NE(index, CB_ERR);
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {  // a click on the entry in the dropped list
      ::SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_BULK_FONT, code), reinterpret_cast<LPARAM>(combo));
    }
    gui_test::pump();
  }
  std::string faceOf(int row) const { return gui_test::listRows(dialog.fontList(0)).at(row).at(3); }
  std::string sizeOf(int row) const { return gui_test::listRows(dialog.fontList(0)).at(row).at(4); }
  void pickSize(int row, const char* size) {
    HWND list = dialog.fontList(0);
    gui_test::clickCell(list, row, 4);
    gui_test::choose(list, ::GetDlgItem(list, IDC_SIZE_EDITOR), size);
  }
};

TEST_F(ConvenienceTest, DroppedFileIsLoadedTheFirstOfSeveral) {
  EXPECT_TRUE(::GetWindowLongPtrA(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  dropFiles(dialog.hwnd(), {sample, temp.file("second.msstyles")});
  EXPECT_EQ(dialog.loadedPath(), sample);
  EXPECT_EQ(dialog.loadAsked, 0) << "no open dialog";
  EXPECT_EQ(gui_test::listRows(dialog.fontList(1)), cellsOf(marvento_test::sampleRows(1)));

  // A file that is no theme: refused as from the open dialog, before any question; the
  // open theme and its edits stay.
  pickSize(0, "20");
  dropFiles(dialog.hwnd(), {temp.file("missing.msstyles")});
  ASSERT_EQ(dialog.messages.size(), 1u);
  EXPECT_EQ(dialog.discardAsked, 0);
  EXPECT_TRUE(dialog.image().loaded());
  EXPECT_EQ(dialog.loadedPath(), sample);
  EXPECT_EQ(sizeOf(0), "20");

  // A theme, with edits unwritten: asked once it has loaded; No keeps them.
  dialog.discardAnswer = false;
  const std::string other = temp.write("other.msstyles", marvento_test::sampleTheme());
  dropFiles(dialog.hwnd(), {other});
  EXPECT_EQ(dialog.discardAsked, 1);
  EXPECT_EQ(dialog.loadedPath(), sample);
  EXPECT_EQ(sizeOf(0), "20");
  dialog.discardAnswer = true;
  dropFiles(dialog.hwnd(), {other});
  EXPECT_EQ(dialog.loadedPath(), other);
  EXPECT_EQ(sizeOf(0), marvento_test::sampleRows(0).at(0).size);
}

TEST_F(ConvenienceTest, UndoAndRedoOfCellChoicesAndBulkInputs) {
  dialog.load(sample);
  HWND button = ::GetDlgItem(dialog.hwnd(), IDC_LOAD);
  pickSize(0, "20");
  pickSize(0, "22");
  pickWithMouse(dialog.bulkCombo(0), "DejaVu Serif");
  for (int row = 0; row < 5; ++row) ASSERT_EQ(faceOf(row), "DejaVu Serif");

  gui_test::press(button, 'Z', true);  // the whole bulk input at once
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)).at(2).at(3), "Verdana");
  EXPECT_EQ(faceOf(0), "Tahoma");
  EXPECT_EQ(dialog.pages().rows(0).at(2).font.text, "Verdana") << "cells and pages together";
  EXPECT_EQ(sizeOf(0), "22");
  gui_test::press(button, 'Z', true);
  EXPECT_EQ(sizeOf(0), "20");
  EXPECT_EQ(dialog.pages().rows(0).at(0).size.text, "20");
  gui_test::press(button, 'Z', true);
  EXPECT_EQ(sizeOf(0), "8");
  EXPECT_FALSE(dialog.HasUnwrittenEdits()) << "back to what was loaded";
  gui_test::press(button, 'Z', true);  // nothing more to undo
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)), cellsOf(marvento_test::sampleRows(0)));

  gui_test::press(button, 'Y', true);
  EXPECT_EQ(sizeOf(0), "20");
  gui_test::press(dialog.bulkCombo(0), 'Z', true, true);  // Ctrl+Shift+Z, wherever the focus is but a box
  EXPECT_EQ(sizeOf(0), "22");
  EXPECT_TRUE(dialog.HasUnwrittenEdits());

  // A new change drops what could be redone; the boxes keep their own undo.
  gui_test::press(button, 'Z', true);
  pickSize(1, "6");
  gui_test::press(button, 'Y', true);
  EXPECT_EQ(sizeOf(0), "20");
  gui_test::press(dialog.styleNameBox(), 'Z', true);
  EXPECT_EQ(sizeOf(1), "6");

  // Load clears the history.
  dialog.discardAnswer = true;
  dialog.load(sample);
  gui_test::press(button, 'Z', true);
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)), cellsOf(marvento_test::sampleRows(0)));
}

TEST_F(ConvenienceTest, FaceListsDrawEachFaceInItself) {
  dialog.load(sample);
  HWND editor = ::GetDlgItem(dialog.fontList(0), IDC_FACE_EDITOR);
  for (HWND combo : {dialog.bulkCombo(0), editor}) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(combo, GWL_STYLE));
    EXPECT_EQ(style & (CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | CBS_SORT), CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | CBS_SORT);
  }
  auto base = reinterpret_cast<HFONT>(::SendMessageA(dialog.hwnd(), WM_GETFONT, 0, 0));
  LOGFONTA baseFont{};
  ::GetObjectA(base, sizeof baseFont, &baseFont);
  HFONT serif = widgets::CFaceCombo::FontForFace(L"DejaVu Serif", base);
  ASSERT_NE(serif, base);
  LOGFONTA serifFont{};
  ::GetObjectA(serif, sizeof serifFont, &serifFont);
  EXPECT_STREQ(serifFont.lfFaceName, "DejaVu Serif");
  EXPECT_EQ(serifFont.lfHeight, baseFont.lfHeight);
  // A symbol font, and a face that is not installed, fall back to the dialog font.
  EXPECT_EQ(widgets::CFaceCombo::FontForFace(L"Wingdings", base), base);
  EXPECT_EQ(widgets::CFaceCombo::FontForFace(L"Nosuch Face", base), base);

  // Painted: the entry in its own face differs from the same text in the dialog font.
  ::SendMessageA(dialog.bulkCombo(0), CB_SETCURSEL,
                 ::SendMessageA(dialog.bulkCombo(0), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>("DejaVu Sans Mono")),
                 0);
  const gui_test::Capture shot = gui_test::captureClient(dialog.bulkCombo(0));
  HDC dc = ::GetDC(nullptr);
  SIZE inOwnFace{};
  SIZE inDialogFont{};
  HGDIOBJ previous = ::SelectObject(dc, widgets::CFaceCombo::FontForFace(L"DejaVu Sans Mono", base));
  ::GetTextExtentPoint32A(dc, "DejaVu Sans Mono", 16, &inOwnFace);
  ::SelectObject(dc, base);
  ::GetTextExtentPoint32A(dc, "DejaVu Sans Mono", 16, &inDialogFont);
  ::SelectObject(dc, previous);
  ::ReleaseDC(nullptr, dc);
  ASSERT_NE(inOwnFace.cx, inDialogFont.cx) << "the two fonts must be told apart";
  // The rightmost text pixel of the field ends where the own face's text would end.
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(::GetComboBoxInfo(dialog.bulkCombo(0), &info));
  const COLORREF background = shot.at(info.rcItem.right - 4, (info.rcItem.top + info.rcItem.bottom) / 2);
  int right = -1;
  // Inside the field's frame and focus rectangle: the text's own pixels.
  for (int y = info.rcItem.top + 2; y < info.rcItem.bottom - 2; ++y) {
    for (int x = info.rcItem.left + 2; x < info.rcItem.right - 2; ++x) {
      if (shot.at(x, y) != background) right = std::max(right, x);
    }
  }
  EXPECT_NEAR(right, info.rcItem.left + 2 + inOwnFace.cx, 3) << "own face " << inOwnFace.cx << ", dialog font " << inDialogFont.cx;
}

TEST_F(ConvenienceTest, HoveringARowShowsItsSampleInItsFont) {
  marvento_test::ThemeBuilder theme = marvento_test::oneSizeTheme();
  theme.textFile(u"BLUE_INI", u"[A]\r\nFont = DejaVu Serif, 9, bold italic\r\n[B]\r\nFont = DejaVu Sans, -20\r\n");
  dialog.load(temp.write("hover.msstyles", theme.build().bytes));
  HWND list = dialog.fontList(0);
  auto* fontList = dynamic_cast<widgets::CFontListCtrl*>(win32::CWnd::FromHandlePermanent(list));
  HWND tip = fontList->GetSampleTip();
  ASSERT_NE(tip, nullptr);
  RECT before{};
  ::GetWindowRect(list, &before);

  auto hover = [list](int row) {
    const RECT cell = gui_test::cellRect(list, row, 1);
    POINT at{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    POINT screen = at;
    ::ClientToScreen(list, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    gui_test::pump();
  };
  auto tipFont = [tip]() {
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(tip, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
  };
  hover(0);
  EXPECT_TRUE(gui_test::pumpUntil([tip] { return gui_test::visible(tip); }));
  LOGFONTA font = tipFont();
  EXPECT_STREQ(font.lfFaceName, "DejaVu Serif");
  HDC dc = ::GetDC(nullptr);
  EXPECT_EQ(font.lfHeight, -::MulDiv(9, ::GetDeviceCaps(dc, LOGPIXELSY), 72));
  ::ReleaseDC(nullptr, dc);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_TRUE(font.lfItalic);
  wchar_t text[64] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = list;
  tool.uId = 1;
  tool.lpszText = text;
  ::SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L"Aa あア亜 123");

  hover(1);
  font = tipFont();
  EXPECT_STREQ(font.lfFaceName, "DejaVu Sans");
  EXPECT_EQ(font.lfHeight, -20) << "a negative size is a pixel height";
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
  EXPECT_FALSE(font.lfItalic);

  // The window changing size takes it away: it would point at where the row was.
  RECT window{};
  ::GetWindowRect(dialog.hwnd(), &window);
  ::SetWindowPos(dialog.hwnd(), nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
  gui_test::pump();
  EXPECT_FALSE(gui_test::visible(tip));
  ::SetWindowPos(dialog.hwnd(), nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
  gui_test::pump();
  hover(1);
  EXPECT_TRUE(gui_test::pumpUntil([tip] { return gui_test::visible(tip); }));
  ::GetWindowRect(list, &before);

  // Below the rows: no sample; the layout never moved.
  const RECT last = gui_test::cellRect(list, 1, 1);
  ::SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(last.left + 5, last.bottom + 30));
  gui_test::pump();
  EXPECT_FALSE(gui_test::visible(tip));
  RECT after{};
  ::GetWindowRect(list, &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(ConvenienceTest, InterfaceLanguageChoosesTheDialogFont) {
  LOGFONTA font{};
  ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(dialog.hwnd(), WM_GETFONT, 0, 0)), sizeof font, &font);
  // Japanese: "ＭＳ Ｐゴシック" (IPA fonts stand in under Wine); English: "MS Shell Dlg".
  if (std::string(gui_test::ui("ja", "en")) == "en") {
    EXPECT_STREQ(font.lfFaceName, "MS Shell Dlg");
    EXPECT_EQ(gui_test::windowText(::GetDlgItem(dialog.hwnd(), IDC_LOAD)), "Load");
  } else {
    EXPECT_STRNE(font.lfFaceName, "MS Shell Dlg");
    EXPECT_EQ(gui_test::windowText(::GetDlgItem(dialog.hwnd(), IDC_LOAD)), "読み込み");
  }
}

}  // namespace
