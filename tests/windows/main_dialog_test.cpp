// The main dialog under Wine: its widgets before a load, Load and Write through the
// file-dialog seam, page switching, and the ways it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "gui_support.h"
#include "installed_faces.h"
#include "resource.h"
#include "test_support.h"
#include "text.h"
#include "ui_resources.h"
#include "theme_rebuild.h"
#include "ui_language.h"

using gui_test::Cells;
using gui_test::cellsOf;
using gui_test::TestDialog;
using gui_test::ui;

namespace {

// Only the page widgets of `page` are shown (none when page is -1).
void expectOnlyPageShown(const TestDialog& dialog, int page) {
  for (int k = 0; k < CMainDlg::kPages; ++k) {
    EXPECT_EQ(gui_test::visible(dialog.fontList(k)), k == page) << "font list " << k;
    EXPECT_EQ(gui_test::visible(dialog.sizeNameBox(k)), k == page) << "size-name box " << k;
    EXPECT_EQ(gui_test::visible(dialog.bulkCombo(k)), k == page) << "bulk combo " << k;
  }
  EXPECT_TRUE(gui_test::visible(dialog.styleNameBox()));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(gui_test::visible(dialog.label(i))) << "label " << i;
}

// A click on the tab's title, as the user selects a page.
void clickTab(const TestDialog& dialog, int index) {
  RECT item{};
  ASSERT_TRUE(::SendMessageA(dialog.tab(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  ::SendMessageA(dialog.tab(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(dialog.tab(), WM_LBUTTONUP, 0, at);
  gui_test::pump();
}

// A failure message: the heading, and the core's reason on the line below it.
std::string heading(const std::string& message) { return message.substr(0, message.find('\n')); }
std::string reason(const std::string& message) {
  const auto newline = message.find('\n');
  return newline == std::string::npos ? std::string() : message.substr(newline + 1);
}

DWORD styleOf(HWND hwnd) { return static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE)); }
DWORD exStyleOf(HWND hwnd) { return static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE)); }

RECT rectIn(HWND hwnd, HWND parent) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void expectRect(const RECT& r, int left, int top, int right, int bottom, const char* what) {
  EXPECT_EQ(r.left, left) << what;
  EXPECT_EQ(r.top, top) << what;
  EXPECT_EQ(r.right, right) << what;
  EXPECT_EQ(r.bottom, bottom) << what;
}

struct Faces {
  std::set<std::wstring> text, symbolOnly, all;
};

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW* metric, DWORD, LPARAM lp) {
  auto* faces = reinterpret_cast<Faces*>(lp);
  faces->all.insert(font->lfFaceName);
  if (metric->tmCharSet != SYMBOL_CHARSET) faces->text.insert(font->lfFaceName);
  return 1;
}

// A combo's entries as it holds them.
std::vector<std::wstring> wideEntries(HWND combo) {
  std::vector<std::wstring> entries;
  const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t buffer[260] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    entries.emplace_back(buffer);
  }
  return entries;
}

using MainDialogTest = gui_test::DialogTest;

TEST_F(MainDialogTest, DialogTemplateGivesTheWindowItsStyleSizeAndButtons) {
  const DWORD style = styleOf(dialog.hwnd());
  const DWORD wanted = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), static_cast<DWORD>(WS_MAXIMIZEBOX | WS_THICKFRAME))
      << "it can be resized and maximised";
  EXPECT_EQ(style & WS_MINIMIZEBOX, 0u);
  EXPECT_TRUE(exStyleOf(dialog.hwnd()) & WS_EX_APPWINDOW);
  EXPECT_EQ(gui_test::windowText(dialog.hwnd()), "Marvento");

  RECT units{0, 0, 493, 351};
  ::MapDialogRect(dialog.hwnd(), &units);
  RECT client{};
  ::GetClientRect(dialog.hwnd(), &client);
  EXPECT_EQ(client.right, units.right);
  EXPECT_EQ(client.bottom, units.bottom);

  EXPECT_EQ(gui_test::windowText(::GetDlgItem(dialog.hwnd(), IDC_LOAD)), ui("読み込み", "Load"));
  EXPECT_EQ(gui_test::windowText(::GetDlgItem(dialog.hwnd(), IDC_WRITE)), ui("書き込み", "Write"));
  EXPECT_EQ(gui_test::windowText(::GetDlgItem(dialog.hwnd(), IDCANCEL)), ui("終了", "Exit"));
  EXPECT_EQ(gui_test::windowText(::GetDlgItem(dialog.hwnd(), IDC_VERSION)), ui("バージョン情報", "About"));
  EXPECT_EQ(LOWORD(::SendMessageA(dialog.hwnd(), DM_GETDEFID, 0, 0)), IDC_LOAD);
  EXPECT_FALSE(styleOf(dialog.tab()) & WS_TABSTOP);

  HMENU menu = ::GetSystemMenu(dialog.hwnd(), FALSE);
  char item[128] = {};
  ::GetMenuStringA(menu, IDM_ABOUTBOX, item, static_cast<int>(sizeof item), MF_BYCOMMAND);
  EXPECT_STREQ(item, ui("Marvento のﾊﾞｰｼﾞｮﾝ情報(&A)...", "&About Marvento..."));
  const int count = ::GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
  EXPECT_TRUE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);

  const auto smallIcon = ::SendMessageA(dialog.hwnd(), WM_GETICON, ICON_SMALL, 0);
  EXPECT_NE(smallIcon, 0);
  EXPECT_EQ(::SendMessageA(dialog.hwnd(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(::SendMessageA(dialog.hwnd(), WM_QUERYDRAGICON, 0, 0), smallIcon);
}

TEST_F(MainDialogTest, BeforeAnyLoadOneTabSizeShowsAnEmptyPageZero) {
  EXPECT_EQ(gui_test::tabTitles(dialog.tab()), std::vector<std::string>{"SIZE"});
  EXPECT_EQ(::SendMessageA(dialog.tab(), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog.hwnd(), IDC_WRITE)));
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.hwnd(), IDC_LOAD)));
  EXPECT_EQ(dialog.pages().pageCount, 3);
  expectOnlyPageShown(dialog, 0);

  EXPECT_TRUE(gui_test::listRows(dialog.fontList(0)).empty());
  EXPECT_EQ(gui_test::windowText(dialog.sizeNameBox(0)), "");
  EXPECT_EQ(gui_test::windowText(dialog.styleNameBox()), "");
  EXPECT_GT(::SendMessageA(dialog.bulkCombo(0), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(::SendMessageA(dialog.bulkCombo(0), CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(MainDialogTest, PageWidgetsHaveTheirIdsStylesParentsAndPlaces) {
  RECT area{};
  ::GetWindowRect(dialog.tab(), &area);
  ::MapWindowPoints(nullptr, dialog.hwnd(), reinterpret_cast<POINT*>(&area), 2);
  ::SendMessageA(dialog.tab(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));

  const char* titles[] = {ui("内部ファイル名", "Internal file name"), ui("セクション", "Section"), ui("キー", "Key"),
                          ui("フォント名", "Font name"), ui("サイズ", "Size"), ui("オプション", "Option")};
  for (int k = 0; k < CMainDlg::kPages; ++k) {
    SCOPED_TRACE("page " + std::to_string(k));
    HWND list = dialog.fontList(k);
    EXPECT_EQ(::GetDlgCtrlID(list), IDC_FONT_LIST);
    EXPECT_EQ(::GetParent(list), dialog.hwnd());
    // LVS_SHAREIMAGELISTS: the list's own row-height image list is freed by the widget;
    // several rows can be selected (no LVS_SINGLESEL), shown selected without the focus too.
    EXPECT_EQ(styleOf(list) & ~WS_VISIBLE, 0x40008001u | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP);
    EXPECT_TRUE(exStyleOf(list) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    expectRect(rectIn(list, dialog.hwnd()), area.left + 5, area.top + 40, area.right - 5, area.bottom - 5, "list");
    int columnsEnd = 0;
    for (int c = 0; c < 6; ++c) {
      char title[64] = {};
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
      column.pszText = title;
      column.cchTextMax = static_cast<int>(sizeof title);
      ASSERT_TRUE(::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column)));
      EXPECT_STREQ(title, titles[c]);
      columnsEnd += column.cx;
      EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    RECT client{};
    ::GetClientRect(list, &client);
    EXPECT_EQ(columnsEnd, client.right) << "the columns share the list's width";

    HWND box = dialog.sizeNameBox(k);
    EXPECT_EQ(::GetDlgCtrlID(box), IDC_SIZE_NAME);
    EXPECT_EQ(::GetParent(box), dialog.tab());
    EXPECT_EQ(styleOf(box) & ~WS_VISIBLE, static_cast<DWORD>(WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL));
    EXPECT_TRUE(exStyleOf(box) & WS_EX_CLIENTEDGE);
    expectRect(rectIn(box, dialog.tab()), 190, 38, 350, 58, "size-name box");

    HWND combo = dialog.bulkCombo(k);
    EXPECT_EQ(::GetDlgCtrlID(combo), IDC_BULK_FONT);
    EXPECT_EQ(::GetParent(combo), dialog.tab());
    // The combo hands WS_VSCROLL on to its drop-down list; it draws its faces itself.
    EXPECT_EQ(styleOf(combo) & ~(WS_VISIBLE | WS_VSCROLL), 0x40000303u | CBS_OWNERDRAWFIXED | WS_TABSTOP);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetComboBoxInfo(combo, &info));
    const RECT closed = rectIn(combo, dialog.tab());
    EXPECT_EQ(closed.left, 370);
    EXPECT_EQ(closed.top, 38);
    EXPECT_EQ(closed.right, 530);
    // The height asked for (362) holds the list: far more than the closed box.
    RECT dropped{};
    ::SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GT(dropped.bottom - dropped.top, 300);

    for (HWND control : {list, box, combo}) {
      EXPECT_TRUE(styleOf(control) & WS_TABSTOP) << "the keyboard reaches it";
      EXPECT_EQ(::SendMessageA(control, WM_GETFONT, 0, 0), ::SendMessageA(dialog.hwnd(), WM_GETFONT, 0, 0));
    }
  }

  HWND style = dialog.styleNameBox();
  EXPECT_EQ(::GetDlgCtrlID(style), IDC_STYLE_NAME);
  EXPECT_EQ(::GetParent(style), dialog.tab());
  EXPECT_EQ(styleOf(style), 0x50000000u | WS_TABSTOP | ES_AUTOHSCROLL);
  expectRect(rectIn(style, dialog.tab()), 10, 38, 170, 58, "style-name box");

  const char* labels[] = {ui("スタイル名", "Style name"), ui("フォントサイズ名", "Font size name"),
                          ui("フォント名一括入力", "Font name for every row")};
  const RECT labelRects[] = {{10, 25, 155, 37}, {190, 25, 350, 37}, {370, 25, 530, 37}};
  for (int i = 0; i < 3; ++i) {
    HWND label = dialog.label(i);
    EXPECT_EQ(gui_test::windowText(label), labels[i]);
    EXPECT_EQ(::GetDlgCtrlID(label), IDC_LABEL);
    EXPECT_EQ(::GetParent(label), dialog.tab());
    EXPECT_EQ(styleOf(label) & (WS_CHILD | WS_VISIBLE | SS_CENTER), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    const RECT& r = labelRects[i];
    expectRect(rectIn(label, dialog.tab()), r.left, r.top, r.right, r.bottom, labels[i]);
  }
}

TEST_F(MainDialogTest, PagesAreFontListsAndLabelsPaintThemselves) {
  for (int k = 0; k < CMainDlg::kPages; ++k) {
    EXPECT_NE(dynamic_cast<widgets::CFontListCtrl*>(win32::CWnd::FromHandlePermanent(dialog.fontList(k))), nullptr);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(dynamic_cast<widgets::CLabelStatic*>(win32::CWnd::FromHandlePermanent(dialog.label(i))), nullptr);
  }
}

TEST_F(MainDialogTest, BulkComboListsInstalledFacesWithoutSymbolAndVerticalFonts) {
  const auto entries = wideEntries(dialog.bulkCombo(0));
  ASSERT_FALSE(entries.empty());
  for (int k = 1; k < CMainDlg::kPages; ++k) EXPECT_EQ(wideEntries(dialog.bulkCombo(k)), entries);
  for (std::size_t i = 1; i < entries.size(); ++i) {
    EXPECT_LE(::lstrcmpiW(entries[i - 1].c_str(), entries[i].c_str()), 0) << "sorted: " << win32::ToAnsi(entries[i]);
  }

  // What the system reports, gathered here on its own: faces with a non-symbol charset.
  Faces faces;
  LOGFONTW any{};
  any.lfCharSet = DEFAULT_CHARSET;
  HDC screen = ::GetDC(nullptr);
  ::EnumFontFamiliesExW(screen, &any, &CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
  ::ReleaseDC(nullptr, screen);
  for (const auto& face : faces.all) {
    if (faces.text.count(face) == 0) faces.symbolOnly.insert(face);
  }

  for (const auto& entry : entries) {
    EXPECT_NE(entry.front(), L'@') << win32::ToAnsi(entry);
    EXPECT_EQ(faces.symbolOnly.count(entry), 0u) << "symbol font listed: " << win32::ToAnsi(entry);
    EXPECT_EQ(faces.text.count(entry), 1u) << "not an installed face: " << win32::ToAnsi(entry);
  }
  // Every text face is listed under its whole name (ignoring case), even when a longer
  // name beginning with it came first, whatever the code page can hold.
  for (const auto& face : faces.text) {
    if (face.front() == L'@' || face.find_first_of(L",[]") != std::wstring::npos) continue;
    const bool listed = std::any_of(entries.begin(), entries.end(), [&face](const std::wstring& e) {
      return ::lstrcmpiW(e.c_str(), face.c_str()) == 0;
    });
    EXPECT_TRUE(listed) << "missing face " << win32::ToAnsi(face);
  }
  // The Japanese font that setup installs, by its Japanese name on a Japanese system.
  const std::wstring ipa = theme::isJapanese(win32::GetUiLanguage()) ? L"IPA Pゴシック" : L"IPAPGothic";
  EXPECT_TRUE(std::find(entries.begin(), entries.end(), ipa) != entries.end());
}

TEST_F(MainDialogTest, FaceFilterLeavesOutSymbolVerticalAndListedFacesOnly) {
  win32::CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS, RECT{0, 0, 100, 200},
                           dialog.hwnd(), 1));
  auto face = [](const wchar_t* name) {
    LOGFONTW font{};
    ::lstrcpynW(font.lfFaceName, name, LF_FACESIZE);
    return font;
  };
  TEXTMETRICW text{};
  text.tmCharSet = SHIFTJIS_CHARSET;
  TEXTMETRICW symbol{};
  symbol.tmCharSet = SYMBOL_CHARSET;

  EXPECT_TRUE(widgets::AddFace(combo, face(L"Arial Black"), text));
  EXPECT_FALSE(widgets::AddFace(combo, face(L"Webdings"), symbol));
  EXPECT_FALSE(widgets::AddFace(combo, face(L"@MS UI Gothic"), text));
  EXPECT_TRUE(widgets::AddFace(combo, face(L"Arial"), text)) << "the beginning of a listed name is a face of its own";
  EXPECT_FALSE(widgets::AddFace(combo, face(L"arial black"), text)) << "listed already, ignoring case";
  EXPECT_FALSE(widgets::AddFace(combo, face(L"Arial"), text)) << "listed twice";
  EXPECT_TRUE(widgets::AddFace(combo, face(L"Arial Blac"), text));
  // Names a theme value cannot hold; names any code page may lack are offered whole.
  EXPECT_FALSE(widgets::AddFace(combo, face(L"Sans, Bold"), text));
  EXPECT_FALSE(widgets::AddFace(combo, face(L"[Beta] Sans"), text));
  EXPECT_TRUE(widgets::AddFace(combo, face(L"MS P\u30B4\u30B7\u30C3\u30AF"), text));  // MS Pゴシック
  EXPECT_TRUE(widgets::AddFace(combo, face(L"Noto \u0639"), text));
  EXPECT_EQ(wideEntries(combo.GetSafeHwnd()),
            (std::vector<std::wstring>{L"Arial", L"Arial Blac", L"Arial Black", L"MS P\u30B4\u30B7\u30C3\u30AF",
                                       L"Noto \u0639"}));
}

TEST_F(MainDialogTest, LoadShowsEveryPageTabsAndBoxes) {
  dialog.load(sample);
  EXPECT_EQ(dialog.loadAsked, 1);
  EXPECT_TRUE(dialog.messages.empty());
  EXPECT_EQ(dialog.loadedPath(), sample);
  EXPECT_TRUE(dialog.image().loaded());
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.hwnd(), IDC_WRITE)));

  EXPECT_EQ(gui_test::tabTitles(dialog.tab()), (std::vector<std::string>{"NormalSize", "LargeFonts"}));
  EXPECT_EQ(::SendMessageA(dialog.tab(), TCM_GETCURSEL, 0, 0), 0);
  expectOnlyPageShown(dialog, 0);
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)), cellsOf(marvento_test::sampleRows(0)));
  EXPECT_EQ(gui_test::listRows(dialog.fontList(1)), cellsOf(marvento_test::sampleRows(1)));
  for (int k = 2; k < CMainDlg::kPages; ++k) EXPECT_TRUE(gui_test::listRows(dialog.fontList(k)).empty());
  // The size names come in the interface's language where the theme has it.
  EXPECT_EQ(gui_test::windowText(dialog.sizeNameBox(0)), gui_test::ui("標準", "Normal"));
  EXPECT_EQ(gui_test::windowText(dialog.sizeNameBox(1)), gui_test::ui("大", "Large Fonts"));
  EXPECT_EQ(gui_test::windowText(dialog.sizeNameBox(2)), "");
  EXPECT_EQ(gui_test::windowText(dialog.styleNameBox()), "Sample Style");
}

TEST_F(MainDialogTest, TheThemesOwnTextsAreShownEditedCopiedAndWrittenWhole) {
  // Names no ANSI code page holds whole (Japanese with Arabic), and no style-name string.
  marvento_test::ThemeBuilder theme;
  theme.nameLists({u"Blue"}, {u"BLUE_INI"}, {u"標準\u0639"});
  theme.textFile(u"BLUE_INI", u"[Sec\u0639]\r\nFont = ＭＳ ゴシック\u0639, 9\r\n");
  theme.strings(marvento_test::blockOf(3000), marvento_test::stringBlock({{marvento_test::indexInBlock(3000), u"大\u0639"}}));
  const std::string path = temp.write("unicode.msstyles", theme.build().bytes);
  dialog.load(path);
  ASSERT_TRUE(dialog.messages.empty()) << dialog.messages.front();
  HWND list = dialog.fontList(0);
  EXPECT_EQ(gui_test::wideCell(list, 0, 1), L"Sec\u0639");
  EXPECT_EQ(gui_test::wideCell(list, 0, 3), L"ＭＳ ゴシック\u0639");
  wchar_t title[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = title;
  item.cchTextMax = 64;
  ::SendMessageW(dialog.tab(), TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::wstring(title), L"標準\u0639");
  EXPECT_EQ(gui_test::wideText(dialog.sizeNameBox(0)), L"大\u0639");

  // The style-name box has no string to write into: greyed, and it says why.
  EXPECT_FALSE(::IsWindowEnabled(dialog.styleNameBox()));
  EXPECT_TRUE(::IsWindowEnabled(dialog.sizeNameBox(0)));
  ASSERT_EQ(::SendMessageW(dialog.boxTip(), TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(win32::ToAnsi(gui_test::tipText(dialog.boxTip(), dialog.tab(), IDC_STYLE_NAME)),
            ui("このテーマにはこの名前の文字列がないため、変更できません",
               "This theme has no text for this name, so it cannot be changed."));

  // Copied as shown.
  gui_test::clickCell(list, 0, 0);
  dialog.click(IDM_COPY);
  std::wstring copied;
  ASSERT_TRUE(::OpenClipboard(nullptr));
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    copied = static_cast<const wchar_t*>(::GlobalLock(data));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  EXPECT_EQ(copied, L"0\tBLUE_INI\tSec\u0639\tFont\tＭＳ ゴシック\u0639\t9\t\r\n");

  // A typed name is written as typed and shown so again; the face stays whole.
  ::SetWindowTextW(dialog.sizeNameBox(0), L"特大\u0639");
  const std::string target = temp.file("unicode-out.msstyles");
  dialog.write(target);
  dialog.load(target);
  EXPECT_EQ(gui_test::wideText(dialog.sizeNameBox(0)), L"特大\u0639");
  EXPECT_EQ(gui_test::wideCell(dialog.fontList(0), 0, 3), L"ＭＳ ゴシック\u0639");
  EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(MainDialogTest, LoadOfWinesLightThemeListsItsRows) {
  const std::string light = gui_test::lightTheme();
  if (light.empty()) GTEST_SKIP() << "MARVENTO_LIGHT_MSSTYLES is not set (Wine's light.msstyles not found)";
  dialog.load(light);
  ASSERT_TRUE(dialog.messages.empty());
  EXPECT_EQ(gui_test::tabTitles(dialog.tab()), std::vector<std::string>{"NormalSize"});
  const auto rows = gui_test::listRows(dialog.fontList(0));
  EXPECT_EQ(rows.size(), dialog.pages().rowCount(0));
  EXPECT_GE(rows.size(), 10u);
  // Lines of its BLUE_INI text, read off the file with other tools.
  EXPECT_NE(std::find(rows.begin(), rows.end(), Cells{"BLUE_INI", "Button.Commandlink", "Font", "Tahoma", "10", ""}),
            rows.end());
  EXPECT_NE(std::find(rows.begin(), rows.end(), Cells{"BLUE_INI", "Tooltip.StandardTitle", "Font", "Tahoma", "-12", "bold"}),
            rows.end());
  // Its size-name string comes first in Arabic; the interface's language is shown instead.
  EXPECT_NE(gui_test::windowText(dialog.sizeNameBox(0)).find_first_not_of('?'), std::string::npos);
  if (std::string(gui_test::ui("ja", "en")) == "ja") {
    EXPECT_EQ(gui_test::windowText(dialog.sizeNameBox(0)), "標準");
  }
  EXPECT_EQ(gui_test::windowText(dialog.sizeNameBox(0)), dialog.pages().sizeNameBoxes[0].text);
  expectOnlyPageShown(dialog, 0);
}

TEST_F(MainDialogTest, CancelledLoadChangesNothing) {
  dialog.load(sample);
  dialog.loadAnswer.reset();
  dialog.click(IDC_LOAD);
  EXPECT_EQ(dialog.loadAsked, 2);
  EXPECT_EQ(dialog.loadedPath(), sample);
  EXPECT_EQ(gui_test::listRows(dialog.fontList(1)), cellsOf(marvento_test::sampleRows(1)));
  EXPECT_EQ(gui_test::tabTitles(dialog.tab()).size(), 2u);

  TestDialog fresh;
  ASSERT_TRUE(fresh.Create());
  fresh.click(IDC_LOAD);
  EXPECT_EQ(fresh.loadAsked, 1);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(fresh.hwnd(), IDC_WRITE)));
  EXPECT_EQ(gui_test::tabTitles(fresh.tab()), std::vector<std::string>{"SIZE"});
}

TEST_F(MainDialogTest, RefusedLoadNamesTheFileSaysWhyAndKeepsWhatIsOpen) {
  dialog.load(sample);
  HWND list = dialog.fontList(0);
  gui_test::clickCell(list, 0, 4);
  gui_test::choose(list, ::GetDlgItem(list, IDC_SIZE_EDITOR), "20");
  ::SetWindowTextA(dialog.styleNameBox(), "Mine");
  const auto rows = gui_test::listRows(list);
  const std::string junk = temp.write("junk.msstyles", marvento_test::Bytes{'n', 'o', 't', ' ', 'P', 'E'});
  dialog.load(junk);  // no question: the file is refused before anything is dropped
  ASSERT_EQ(dialog.messages.size(), 1u);
  EXPECT_EQ(heading(dialog.messages[0]), ui("読み込みに失敗しました", "Loading failed."));
  EXPECT_EQ(reason(dialog.messages[0]),
            junk + "\n" + ui("ファイルの中身が壊れています", "The file is damaged."))
      << "the file, then the reason in the interface's language";
  EXPECT_EQ(dialog.messageIcons, std::vector<UINT>{MB_ICONERROR});
  EXPECT_EQ(dialog.discardAsked, 0);
  EXPECT_TRUE(dialog.image().loaded());
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.hwnd(), IDC_WRITE))) << "the open theme can still be written";
  EXPECT_EQ(gui_test::tabTitles(dialog.tab()), (std::vector<std::string>{"NormalSize", "LargeFonts"}));
  EXPECT_EQ(gui_test::listRows(list), rows);
  EXPECT_EQ(dialog.pages().rows(0).at(0).size.text, "20");
  EXPECT_EQ(gui_test::windowText(dialog.styleNameBox()), "Mine");
  EXPECT_EQ(dialog.loadedPath(), sample);
  EXPECT_TRUE(dialog.HasUnwrittenEdits());

  // A path that does not exist, with nothing open: refused, and Write stays disabled.
  TestDialog fresh;
  ASSERT_TRUE(fresh.Create());
  const std::string missing = temp.file("missing.msstyles");
  fresh.load(missing);
  ASSERT_EQ(fresh.messages.size(), 1u);
  EXPECT_EQ(heading(fresh.messages[0]), ui("読み込みに失敗しました", "Loading failed."));
  EXPECT_EQ(reason(fresh.messages[0]).rfind(missing + "\n" + ui("ファイルを開けません", "The file cannot be opened."), 0), 0u)
      << fresh.messages[0];
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(fresh.hwnd(), IDC_WRITE)));
  EXPECT_FALSE(fresh.image().loaded());
}

TEST_F(MainDialogTest, SecondLoadReplacesTheFirstFilesRowsAndTabs) {
  marvento_test::ThemeBuilder other = marvento_test::oneSizeTheme();
  other.textFile(u"BLUE_INI", u"[Only]\r\nFont = Arial, 7\r\n");
  const std::string second = temp.write("other.msstyles", other.build().bytes);
  dialog.load(sample);
  dialog.load(second);
  EXPECT_EQ(gui_test::tabTitles(dialog.tab()), std::vector<std::string>{"Normal"});
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)), (std::vector<Cells>{{"BLUE_INI", "Only", "Font", "Arial", "7", ""}}));
  EXPECT_TRUE(gui_test::listRows(dialog.fontList(1)).empty());
  EXPECT_EQ(gui_test::windowText(dialog.sizeNameBox(1)), "");
  EXPECT_EQ(gui_test::windowText(dialog.styleNameBox()), "");
}

TEST_F(MainDialogTest, TabClicksShowExactlyOnePage) {
  dialog.load(sample);
  clickTab(dialog, 1);
  EXPECT_EQ(::SendMessageA(dialog.tab(), TCM_GETCURSEL, 0, 0), 1);
  expectOnlyPageShown(dialog, 1);
  clickTab(dialog, 0);
  expectOnlyPageShown(dialog, 0);

  // With no tab selected no page is shown.
  ::SendMessageA(dialog.tab(), TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
  NMHDR change{dialog.tab(), IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
  EXPECT_EQ(::SendMessageA(dialog.hwnd(), WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&change)), 0);
  expectOnlyPageShown(dialog, -1);

  // A second load selects tab 0 and shows page 0 again.
  clickTab(dialog, 1);
  dialog.load(sample);
  EXPECT_EQ(::SendMessageA(dialog.tab(), TCM_GETCURSEL, 0, 0), 0);
  expectOnlyPageShown(dialog, 0);
}

TEST_F(MainDialogTest, WriteSavesTheCoresRebuildOfThePagesAndBoxes) {
  dialog.load(sample);
  ::SetWindowTextA(dialog.sizeNameBox(1), "Huge");
  ::SetWindowTextA(dialog.styleNameBox(), "My Style");
  const std::string target = temp.file("written.msstyles");
  dialog.write(target);
  EXPECT_EQ(dialog.writeAsked, 1);
  EXPECT_EQ(dialog.writeInitialNames, std::vector<std::string>{"sample.msstyles"});
  EXPECT_TRUE(dialog.messages.empty());
  EXPECT_EQ(dialog.targetPath(), target);

  // The same edits made on the core alone.
  theme::FontPages pages;
  const theme::ThemeImage image = theme::loadTheme(sample, pages, marvento_test::cp932(), theme::userInterfaceLanguage());
  pages.sizeNameBoxes[1].text = "Huge";
  pages.styleNameBox.text = "My Style";
  EXPECT_EQ(marvento_test::readFile(target), theme::rebuildTheme(image, pages, marvento_test::cp932()).bytes());

  theme::FontPages reread;
  theme::loadTheme(target, reread, marvento_test::cp932(), theme::userInterfaceLanguage());
  EXPECT_EQ(reread.sizeNameBoxes[0].text, gui_test::ui("標準", "Normal"));
  EXPECT_EQ(reread.sizeNameBoxes[1].text, "Huge");
  EXPECT_EQ(reread.styleNameBox.text, "My Style");
  EXPECT_EQ(marvento_test::rowsOf(reread, 1), marvento_test::sampleRows(1));

  // The loaded image is unchanged: writing twice gives the same file.
  // The written file is the open one: the title names it, the next write offers it.
  EXPECT_EQ(dialog.loadedPath(), target);
  EXPECT_EQ(gui_test::windowText(dialog.hwnd()), "written.msstyles - Marvento");
  const std::string again = temp.file("again.msstyles");
  dialog.write(again);
  EXPECT_EQ(marvento_test::readFile(again), marvento_test::readFile(target));
  EXPECT_EQ(dialog.writeInitialNames, (std::vector<std::string>{"sample.msstyles", "written.msstyles"}));
}

TEST_F(MainDialogTest, EmptiedBoxIsWrittenWithTheFilesNameAndShownAgain) {
  dialog.load(sample);
  ::SetWindowTextA(dialog.styleNameBox(), "");
  dialog.write(temp.file("out.msstyles"));
  theme::FontPages reread;
  theme::loadTheme(temp.file("out.msstyles"), reread, marvento_test::cp932());
  EXPECT_EQ(reread.styleNameBox.text, "Sample Style");
  EXPECT_EQ(gui_test::windowText(dialog.styleNameBox()), "Sample Style");
}

TEST_F(MainDialogTest, FailedWriteSaysSoAndLeavesTheTargetAlone) {
  dialog.load(sample);
  const marvento_test::Bytes before{'o', 'l', 'd'};
  const std::string target = temp.write("locked.msstyles", before);
  // Held open without sharing: the target can be neither replaced nor written.
  HANDLE lock = ::CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  dialog.write(target);
  ::CloseHandle(lock);
  ASSERT_EQ(dialog.messages.size(), 1u);
  EXPECT_EQ(heading(dialog.messages[0]), ui("書き込みに失敗しました", "Writing failed."));
  EXPECT_EQ(reason(dialog.messages[0]).rfind("cannot write " + target, 0), 0u) << dialog.messages[0];
  EXPECT_EQ(marvento_test::readFile(target), before);

  dialog.messages.clear();
  dialog.write(temp.file("no-such-folder\\x.msstyles"));
  ASSERT_EQ(dialog.messages.size(), 1u);
  EXPECT_EQ(heading(dialog.messages[0]), ui("書き込みに失敗しました", "Writing failed."));
  EXPECT_FALSE(reason(dialog.messages[0]).empty());
}

TEST_F(MainDialogTest, WriteWithoutALoadOrCancelledWritesNothing) {
  const std::string target = temp.file("never.msstyles");
  dialog.write(target);
  EXPECT_EQ(dialog.writeAsked, 1);
  EXPECT_TRUE(dialog.messages.empty());
  EXPECT_FALSE(marvento_test::fileExists(target));

  EXPECT_EQ(dialog.targetPath(), target);  // kept even though nothing was written

  dialog.load(sample);
  dialog.writeAnswer.reset();
  dialog.click(IDC_WRITE);
  EXPECT_EQ(dialog.writeAsked, 2);
  EXPECT_EQ(dialog.targetPath(), target);
  EXPECT_FALSE(marvento_test::fileExists(target));
}

TEST_F(MainDialogTest, EnterRunsLoadAndNeverEndsTheDialog) {
  ::SetFocus(dialog.hwnd());
  ::PostMessageA(dialog.hwnd(), WM_KEYDOWN, VK_RETURN, 1);
  gui_test::pump();
  EXPECT_EQ(dialog.loadAsked, 1);
  // With the focus in an edit box Enter still presses the default button.
  ::PostMessageA(dialog.styleNameBox(), WM_KEYDOWN, VK_RETURN, 1);
  gui_test::pump();
  EXPECT_EQ(dialog.loadAsked, 2);
  ::SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  gui_test::pump();
  EXPECT_EQ(dialog.GetModalResult(), 0);
  EXPECT_TRUE(gui_test::visible(dialog.hwnd()));
}

TEST_F(MainDialogTest, EscapeAndExitEndTheDialogKeepingTheImage) {
  dialog.load(sample);
  ::PostMessageA(dialog.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
  gui_test::pump();
  EXPECT_EQ(dialog.GetModalResult(), IDCANCEL);
  EXPECT_TRUE(dialog.image().loaded());

  TestDialog other;
  ASSERT_TRUE(other.Create());
  other.load(sample);
  other.click(IDCANCEL);
  EXPECT_EQ(other.GetModalResult(), IDCANCEL);
  EXPECT_TRUE(other.image().loaded());
}

TEST_F(MainDialogTest, CloseBoxReleasesTheImageAndEndsTheDialog) {
  dialog.load(sample);
  ASSERT_TRUE(dialog.image().loaded());
  ::SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  gui_test::pump();
  EXPECT_FALSE(dialog.image().loaded());
  EXPECT_EQ(dialog.GetModalResult(), IDCANCEL);
}

TEST_F(MainDialogTest, OnlyANonClientMetricsChangeRepaintsTheDialog) {
  auto pendingPaint = [this]() { return ::GetUpdateRect(dialog.hwnd(), nullptr, FALSE) != FALSE; };
  ::UpdateWindow(dialog.hwnd());
  ASSERT_FALSE(pendingPaint());
  ::SendMessageA(dialog.hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_FALSE(pendingPaint());
  ::SendMessageA(dialog.hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_TRUE(pendingPaint());
  ::UpdateWindow(dialog.hwnd());
}

}  // namespace
