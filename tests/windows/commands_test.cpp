// The main dialog's small commands under Wine: the bulk font-name input, the About box
// from its button and from the system menu, other system commands; and the whole road
// from a load through in-place edits and the bulk input to the written file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "gui_support.h"
#include "marvento_version.h"
#include "resource.h"
#include "test_support.h"

using gui_test::Cells;
using gui_test::cellsOf;
using gui_test::TestDialog;
using gui_test::pickInCombo;
using marvento_test::Row;

namespace {

// The version line names the release the build is made from.
const std::string kVersionLine = std::string("Marvento Version ") + MARVENTO_VERSION_SHORT;

const char* aboutCaption() { return gui_test::ui("Marventoのﾊﾞｰｼﾞｮﾝ情報", "About Marvento"); }

// What the About box showed while it was open, gathered by a timer inside its modal
// loop, which then closes it by `closeKey` (VK_RETURN for OK, VK_ESCAPE).
struct AboutSeen {
  bool opened = false;
  DWORD style = 0;
  SIZE client{};
  SIZE units{};
  std::vector<std::string> texts;
  bool hasIcon = false;
  bool hasGroupBox = false;
  bool versionHasNoPrefix = false;
  int defaultButton = 0;
  std::string okText;
  std::vector<std::string> cut;  // texts wider than their control, in its own font
};
AboutSeen* g_seen = nullptr;
UINT g_closeKey = VK_RETURN;
int g_aboutTicks = 0;

void CALLBACK InspectAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND about = gui_test::findTopLevel(aboutCaption());
  if (about == nullptr) {
    if (++g_aboutTicks > 100) ::KillTimer(nullptr, timer);
    return;
  }
  ::KillTimer(nullptr, timer);
  AboutSeen& seen = *g_seen;
  seen.opened = true;
  seen.style = static_cast<DWORD>(::GetWindowLongPtrA(about, GWL_STYLE));
  RECT client{};
  ::GetClientRect(about, &client);
  seen.client = SIZE{client.right, client.bottom};
  RECT units{0, 0, 200, 72};
  ::MapDialogRect(about, &units);
  seen.units = SIZE{units.right, units.bottom};
  for (HWND child = ::GetWindow(about, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE));
    char cls[32] = {};
    ::GetClassNameA(child, cls, static_cast<int>(sizeof cls));
    const std::string text = gui_test::windowText(child);
    if (::lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
      seen.hasIcon = ::SendMessageA(child, STM_GETICON, 0, 0) != 0;
    } else if (::lstrcmpiA(cls, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX) {
      seen.hasGroupBox = true;
    } else if (::lstrcmpiA(cls, "Static") == 0) {
      seen.texts.push_back(text);
      HDC dc = ::GetDC(child);
      HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(child, WM_GETFONT, 0, 0)));
      SIZE extent{};
      ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      ::SelectObject(dc, previous);
      ::ReleaseDC(child, dc);
      RECT client{};
      ::GetClientRect(child, &client);
      if (extent.cx > client.right) {
        seen.cut.push_back(text + " (" + std::to_string(extent.cx) + " > " + std::to_string(client.right) + " pixels)");
      }
      if (text == kVersionLine) seen.versionHasNoPrefix = (style & SS_NOPREFIX) != 0;
    }
  }
  seen.defaultButton = LOWORD(::SendMessageA(about, DM_GETDEFID, 0, 0));
  seen.okText = gui_test::windowText(::GetDlgItem(about, IDOK));
  ::PostMessageA(about, WM_KEYDOWN, g_closeKey, 1);
}

// Runs `trigger` (which may open the About box modally) with the inspector armed.
template <typename Trigger>
AboutSeen withAboutInspector(UINT closeKey, Trigger trigger) {
  AboutSeen seen;
  g_seen = &seen;
  g_closeKey = closeKey;
  g_aboutTicks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &InspectAbout);
  trigger();
  ::KillTimer(nullptr, timer);
  gui_test::pump();
  g_seen = nullptr;
  return seen;
}

void clickTab(const TestDialog& dialog, int index) {
  RECT item{};
  ::SendMessageA(dialog.tab(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  ::SendMessageA(dialog.tab(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(dialog.tab(), WM_LBUTTONUP, 0, at);
  gui_test::pump();
}

std::vector<std::string> column(const std::vector<Cells>& rows, int c) {
  std::vector<std::string> out;
  out.reserve(rows.size());
  for (const auto& r : rows) out.push_back(r.at(c));
  return out;
}

using CommandsTest = gui_test::DialogTest;

TEST_F(CommandsTest, BulkInputOnTheSecondTabSetsOnlyPageOnesFontNames) {
  dialog.load(sample);
  clickTab(dialog, 1);
  const std::string face = pickInCombo(dialog.bulkCombo(1), "DejaVu Sans Mono");
  ASSERT_EQ(face, "DejaVu Sans Mono");

  const auto page1 = gui_test::listRows(dialog.fontList(1));
  ASSERT_EQ(page1.size(), marvento_test::sampleRows(1).size());
  EXPECT_EQ(column(page1, 3), std::vector<std::string>(page1.size(), face));
  std::vector<Row> expected = marvento_test::sampleRows(1);
  for (Row& r : expected) r.font = face;
  EXPECT_EQ(marvento_test::rowsOf(dialog.pages(), 1), expected);
  // Nothing else: the other columns of page 1, and page 0 entirely.
  EXPECT_EQ(page1, cellsOf(expected));
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)), cellsOf(marvento_test::sampleRows(0)));
  EXPECT_EQ(marvento_test::rowsOf(dialog.pages(), 0), marvento_test::sampleRows(0));
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)).at(0).at(3), "Tahoma");
  EXPECT_EQ(gui_test::comboEntries(dialog.bulkCombo(1)).at(
                static_cast<std::size_t>(::SendMessageA(dialog.bulkCombo(1), CB_GETCURSEL, 0, 0))),
            face)
      << "the combo keeps showing the chosen face";
}

TEST_F(CommandsTest, BulkInputBeforeALoadOrWithoutASelectedTabChangesNothing) {
  EXPECT_FALSE(pickInCombo(dialog.bulkCombo(0), "DejaVu Serif").empty());
  EXPECT_TRUE(gui_test::listRows(dialog.fontList(0)).empty());
  for (int k = 0; k < CMainDlg::kPages; ++k) EXPECT_TRUE(dialog.pages().rows(k).empty());

  dialog.load(sample);
  ::SendMessageA(dialog.tab(), TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
  pickInCombo(dialog.bulkCombo(0), "DejaVu Serif");
  EXPECT_EQ(marvento_test::rowsOf(dialog.pages(), 0), marvento_test::sampleRows(0));
  EXPECT_EQ(gui_test::listRows(dialog.fontList(0)), cellsOf(marvento_test::sampleRows(0)));
}

TEST_F(CommandsTest, VersionButtonOpensTheAboutBoxAndOkClosesIt) {
  const AboutSeen seen = withAboutInspector(VK_RETURN, [this]() { dialog.click(IDC_VERSION); });
  ASSERT_TRUE(seen.opened);
  EXPECT_EQ(gui_test::findTopLevel(aboutCaption()), nullptr) << "closed again";
  const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  EXPECT_EQ(seen.style & wanted, wanted);
  EXPECT_EQ(seen.client.cx, seen.units.cx);
  EXPECT_EQ(seen.client.cy, seen.units.cy);
  EXPECT_TRUE(seen.hasIcon);
  EXPECT_TRUE(seen.hasGroupBox);
  EXPECT_TRUE(seen.versionHasNoPrefix);
  ASSERT_GE(seen.texts.size(), 4u);
  EXPECT_EQ(seen.texts.at(0), kVersionLine);
  const std::string& framed = seen.texts.back();
  const std::string version = MARVENTO_VERSION_SHORT;
  EXPECT_TRUE(framed.size() > version.size() && framed.compare(framed.size() - version.size(), version.size(), version) == 0)
      << "the framed line names the same release: " << framed;
  for (const auto& text : seen.texts) EXPECT_FALSE(text.empty());
  EXPECT_TRUE(seen.cut.empty()) << "cut at these font metrics: " << seen.cut.front();
  EXPECT_EQ(seen.defaultButton, IDOK);
  EXPECT_EQ(seen.okText, "OK");
}

TEST_F(CommandsTest, SystemMenuItemOpensTheSameBoxAndEscapeClosesIt) {
  for (WPARAM command : {WPARAM{16}, WPARAM{0x1F}}) {
    const AboutSeen seen = withAboutInspector(VK_ESCAPE, [this, command]() {
      ::SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, command, 0);
    });
    EXPECT_TRUE(seen.opened) << command;
    ASSERT_GE(seen.texts.size(), 1u);
    EXPECT_EQ(seen.texts.at(0), kVersionLine);
    EXPECT_EQ(gui_test::findTopLevel(aboutCaption()), nullptr);
  }
  EXPECT_EQ(dialog.GetModalResult(), 0) << "the main dialog stays";
}

TEST_F(CommandsTest, OtherSystemCommandsKeepWorking) {
  const AboutSeen none = withAboutInspector(VK_ESCAPE, [this]() {
    ::SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, 32, 0);  // not an About id
    for (int i = 0; i < 5; ++i) {
      ::Sleep(60);
      gui_test::pump();
    }
  });
  EXPECT_FALSE(none.opened);

  ::SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  gui_test::pump();
  EXPECT_TRUE(::IsIconic(dialog.hwnd()));
  ::RedrawWindow(dialog.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // the minimised icon paint
  ::SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  gui_test::pump();
  EXPECT_FALSE(::IsIconic(dialog.hwnd()));

  ::SendMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
  gui_test::pump();
  EXPECT_EQ(dialog.GetModalResult(), IDCANCEL);
}

// Load Wine's own theme, edit a face, a size and an option in place, set the page's face
// in bulk, write; the changes go to a folder where a check with marvento-cli compares
// the written file with the original.
TEST_F(CommandsTest, EditsInPlaceAndInBulkReachTheWrittenFile) {
  const std::string light = gui_test::lightTheme();
  const char* outDir = std::getenv("MARVENTO_E2E_DIR");
  if (light.empty() || outDir == nullptr || *outDir == '\0') {
    GTEST_SKIP() << "needs MARVENTO_LIGHT_MSSTYLES and MARVENTO_E2E_DIR";
  }
  const std::string changes = std::string(outDir) + "\\expected-changes.txt";
  std::remove(changes.c_str());  // written again only when every step has worked
  dialog.load(light);
  ASSERT_TRUE(dialog.messages.empty());
  HWND list = dialog.fontList(0);
  ASSERT_GE(gui_test::listRows(list).size(), 3u);

  ASSERT_EQ(pickInCombo(dialog.bulkCombo(0), "DejaVu Sans"), "DejaVu Sans");
  struct Edit {
    int row, column;
    const char* value;
    const char* field;
  };
  const Edit edits[] = {{0, 3, "DejaVu Serif", "font"}, {1, 4, "12", "size"}, {2, 5, "Bold", "option"}};
  for (const Edit& e : edits) {
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT columnR{};
    ::SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(e.column), reinterpret_cast<LPARAM>(&columnR));
    RECT rowR{};
    rowR.left = LVIR_BOUNDS;
    ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(e.row), reinterpret_cast<LPARAM>(&rowR));
    const LPARAM at = MAKELPARAM((columnR.left + columnR.right) / 2, (rowR.top + rowR.bottom) / 2);
    ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(list, WM_LBUTTONUP, 0, at);
    gui_test::pump();
    HWND editor = ::GetDlgItem(list, widgets::CFontListCtrl::EditorId(e.column));
    ASSERT_TRUE(gui_test::visible(editor));
    gui_test::choose(list, editor, e.value);
    ASSERT_EQ(gui_test::listRows(list).at(e.row).at(e.column), e.value);
  }

  const std::string written = std::string(outDir) + "\\written.msstyles";
  dialog.write(written);
  ASSERT_TRUE(dialog.messages.empty());

  // The changes as the check reads them: the bulk face, then the cells in order.
  std::ofstream expected(changes);
  expected << "source\t" << light << "\n";
  expected << "bulk\t0\tfont\tDejaVu Sans\n";
  for (const Edit& e : edits) expected << "cell\t0\t" << e.row << "\t" << e.field << "\t" << e.value << "\n";
}

}  // namespace
