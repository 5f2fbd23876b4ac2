#pragma once
// Helpers of the GUI tests: the main dialog with its file dialogs and message boxes
// replaced by given answers, message pumping, and reading controls back.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "font_list_ctrl.h"
#include "main_dlg.h"
#include "test_support.h"

namespace gui_test {

// The main dialog opened modelessly, with the two file dialogs answered from the
// given paths (none = the user cancels) and the message boxes recorded.
class TestDialog : public CMainDlg {
 public:
  TestDialog();
  ~TestDialog() override;
  TestDialog(const TestDialog&) = delete;
  TestDialog& operator=(const TestDialog&) = delete;

  std::optional<std::string> loadAnswer;
  std::optional<std::string> writeAnswer;
  std::optional<std::string> fontSourceAnswer;  // "Fonts from another theme"
  std::vector<std::string> messages;  // in the ANSI code page
  std::vector<UINT> messageIcons;
  // The answer to the unwritten-edits question (none: the test does not expect one).
  std::optional<bool> discardAnswer;
  int discardAsked = 0;
  std::vector<std::string> writeInitialNames;
  int loadAsked = 0;
  int writeAsked = 0;

  [[nodiscard]] HWND hwnd() const { return GetSafeHwnd(); }
  // Clicks a button of the dialog as the user would (BN_CLICKED from the button), or
  // chooses a menu command (BN_CLICKED is 0, as a menu sends it).
  void click(int id) const;
  void load(const std::string& path);
  void write(const std::string& path);

 protected:
  bool ChooseThemeToLoad(std::string& path) override;
  bool ChooseWriteTarget(const std::string& initialName, std::string& path) override;
  bool ChooseFontSource(std::string& path) override;
  void ShowMessage(const std::wstring& text, UINT icon) override;
  bool ConfirmDiscard() override;
};

// The font list widget behind a list window of the dialog.
widgets::CFontListCtrl& fontListOf(HWND list);

// The text the program shows: the Japanese one (code page 932) on a Japanese interface,
// else the English one.
const char* ui(const char* japanese, const char* english);

// Dispatches every pending message of this thread (through the dialog manager).
void pump();
// Pumps until `holds` is true or two seconds have passed; returns `holds`. A tip or an
// editor shows a moment after the message that asks for it on a busy machine.
bool pumpUntil(const std::function<bool()>& holds);
// `key` typed into `target` with Ctrl and Shift held or not, through the dialog's message
// loop (the dialog manager and the program's message filter).
void press(HWND target, UINT key, bool control = false, bool shift = false);

using Cells = std::vector<std::string>;
std::vector<Cells> listRows(HWND list);
// Rows of the model written out as the six cells a list shows.
std::vector<Cells> cellsOf(const std::vector<marvento_test::Row>& rows);
std::string windowText(HWND hwnd);
// The same texts as the program holds them, in UTF-16.
std::wstring wideText(HWND hwnd);
std::wstring wideCell(HWND list, int row, int column);
// The text of tool 1 of `owner` in a tooltip (the font list's tips), or of tool `id`.
std::wstring tipText(HWND tip, HWND owner, UINT_PTR id = 1);
std::vector<std::string> tabTitles(HWND tab);
std::vector<std::string> comboEntries(HWND combo);
bool visible(HWND hwnd);
// The top-level window of this thread with `caption`, or nullptr.
HWND findTopLevel(const char* caption);

// A window's client area as painted on the screen, pixel by pixel.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // rows from the top
  [[nodiscard]] COLORREF at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
  // Whether some pixel inside `rect` (clipped to the capture) has exactly `colour`.
  [[nodiscard]] bool contains(const RECT& rect, COLORREF colour) const;
};
// Repaints `hwnd` (and its children) now, then reads its client area back.
Capture captureClient(HWND hwnd);

// A cell of a font list as displayed, in list coordinates.
RECT cellRect(HWND list, int row, int column);
// A left click (button down and up) at a point of `hwnd`'s client area.
void clickAt(HWND hwnd, int x, int y);
void clickCell(HWND list, int row, int column);
// The selected entry's text, or "<none>".
std::string selectedText(HWND combo);
// The user picks `text` in the open editor (its selection change reaches the list as
// the control would send it).
void choose(HWND list, HWND editor, const char* text);
// The user picks `face` in a bulk combo; returns the entry then selected.
std::string pickInCombo(HWND combo, const char* face);

// A Windows path for a test file, from MARVENTO_* environment variables or empty.
std::string lightTheme();

// A freshly opened main dialog and the two-size sample theme written to a temporary file.
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create());
    pump();
    sample = temp.write("sample.msstyles", marvento_test::sampleTheme());
  }

  TestDialog dialog;
  marvento_test::TempDir temp;
  std::string sample;
};

}  // namespace gui_test
