// Drives Marvento.exe from outside, as a user would: starts it, waits for its windows,
// presses its buttons and keys, answers its file dialogs, and checks what appears.
// Used by the start-up tests and by the screenshot command (which pauses the driver at
// "sync" points while it captures the screen).
//
//   marvento_driver [--timeout SECONDS] [--sync-dir DIR] [--windows-version V]
//                   EXE [ARG...] -- ACTION...
//
// --windows-version runs a copy of EXE that Wine reports as version V (winxp, win7...)
// through Wine's per-program settings, leaving the prefix's own version alone.
// Actions: expect-dialog | expect-refusal | enter | load PATH | write PATH |
//          write-new PATH | write-over PATH yes|no | close-box | exit-button | escape |
//          close-box-asks yes|no | click-cell ROW COLUMN | edit-cell ROW COLUMN VALUE |
//          expect-loaded | expect-load-failed | drop-faces NAME | hover-row ROW | ctrl-z |
//          about | expect-title TEXT | tab-order | list-keys | load-refused PATH |
//          maximise | type-size ROW TEXT written|refused | expect-style-box-greyed | sync NAME
// The texts looked for are the Japanese ones on a Japanese interface, else the English.
#include <windows.h>
#include <commctrl.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "font_pages.h"
#include "resource.h"
#include "ui_language.h"

namespace {

bool Japanese() { return theme::isJapanese(::GetUserDefaultUILanguage()); }
std::wstring Ui(const wchar_t* japanese, const wchar_t* english) { return Japanese() ? japanese : english; }
std::wstring RefusalText() { return Ui(L"MarventoはWindowsXPでのみ動きます。", L"Marvento runs on Windows XP only."); }
std::wstring DiscardQuestion() {
  return Ui(L"変更が書き込まれていません。破棄しますか？", L"The changes have not been written. Discard them?");
}
std::wstring LoadFailed() { return Ui(L"読み込みに失敗しました", L"Loading failed."); }
constexpr int kFileNameCombo = 0x47C;  // cmb13 of the explorer-style file dialog
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kFileTypeCombo = 0x470;  // cmb1

int g_passed = 0;
int g_failed = 0;
DWORD g_timeoutMs = 60000;
std::wstring g_syncDir;

void Print(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
  std::fputs(utf8.c_str(), stdout);
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

bool Check(bool condition, const std::wstring& what) {
  Print((condition ? L"ok: " : L"FAIL: ") + what);
  (condition ? g_passed : g_failed) += 1;
  return condition;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  ::GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buffer[128] = {};
  ::GetClassNameW(hwnd, buffer, 128);
  return buffer;
}

struct Target {
  PROCESS_INFORMATION process{};
  bool sawMainDialog = false;
  bool sawRefusal = false;
};
Target g_target;

struct DialogSearch {
  DWORD pid;
  std::vector<HWND> found;
  const wchar_t* cls = L"#32770";  // dialogs; "#32768" for popup menus
};

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<DialogSearch*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->pid && ::IsWindowVisible(hwnd) && ClassOf(hwnd) == search->cls) search->found.push_back(hwnd);
  return TRUE;
}

// The visible top-level dialogs of the target process.
std::vector<HWND> Dialogs() {
  DialogSearch search{g_target.process.dwProcessId, {}};
  ::EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// "Marvento", or "<file> - Marvento" and "<file> * - Marvento" once a file is loaded.
bool IsMainTitle(const std::wstring& title) {
  const std::wstring suffix = L" - Marvento";
  return title == L"Marvento" ||
         (title.size() > suffix.size() && title.compare(title.size() - suffix.size(), suffix.size(), suffix) == 0);
}

bool IsMainDialog(HWND hwnd) {
  HWND tab = ::GetDlgItem(hwnd, IDC_TAB);
  return tab != nullptr && ClassOf(tab) == L"SysTabControl32" && IsMainTitle(TextOf(hwnd));
}

bool IsRefusal(HWND hwnd) {
  bool found = false;
  for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Static" && TextOf(child) == RefusalText()) found = true;
  }
  return found;
}

bool IsFileDialog(HWND hwnd) {
  return ::GetDlgItem(hwnd, kFileNameCombo) != nullptr || ::GetDlgItem(hwnd, kFileNameEdit) != nullptr;
}

bool HasStatic(HWND hwnd, const std::wstring& text) {
  for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Static" && TextOf(child) == text) return true;
  }
  return false;
}

// A message box asking Yes or No.
bool IsYesNoBox(HWND hwnd) { return ::GetDlgItem(hwnd, IDYES) != nullptr && ::GetDlgItem(hwnd, IDNO) != nullptr; }

bool IsAboutBox(HWND hwnd) { return TextOf(hwnd) == Ui(L"Marventoのﾊﾞｰｼﾞｮﾝ情報", L"About Marvento"); }

// A message box whose text begins with `heading` (a failure message and its reason).
bool HasStaticBeginning(HWND hwnd, const std::wstring& heading) {
  for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Static" && TextOf(child).rfind(heading, 0) == 0) return true;
  }
  return false;
}

void NoteWindows() {
  for (HWND hwnd : Dialogs()) {
    if (IsMainDialog(hwnd)) g_target.sawMainDialog = true;
    if (IsRefusal(hwnd)) g_target.sawRefusal = true;
  }
}

bool Exited(DWORD ms) { return ::WaitForSingleObject(g_target.process.hProcess, ms) == WAIT_OBJECT_0; }

// Polls until `match` finds a dialog of the target, the process ends or time runs out.
template <typename Match>
HWND WaitFor(Match match) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < g_timeoutMs) {
    NoteWindows();
    for (HWND hwnd : Dialogs()) {
      if (match(hwnd)) return hwnd;
    }
    if (Exited(100)) return nullptr;
  }
  return nullptr;
}

HWND MainDialog() { return WaitFor(IsMainDialog); }

// Polls until `holds` is true, the process ends or time runs out: what the program does
// in answer to posted messages and typed keys shows a moment later on a busy machine.
template <typename Holds>
bool Eventually(Holds holds) {
  const DWORD start = ::GetTickCount();
  while (!holds()) {
    if (::GetTickCount() - start >= g_timeoutMs || Exited(50)) return holds();
  }
  return true;
}

// Whether a popup menu of the target is open, waited for until it is (`open`) or is not.
bool MenuOpen(bool open) {
  const DWORD start = ::GetTickCount();
  do {
    DialogSearch search{g_target.process.dwProcessId, {}, L"#32768"};
    ::EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found.empty() != open) return open;
  } while (::GetTickCount() - start < g_timeoutMs && !Exited(50));
  return !open;
}

std::vector<char> FileBytes(const std::wstring& path) {
  std::vector<char> bytes;
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE && read > 0) {
    bytes.insert(bytes.end(), buffer, buffer + read);
  }
  ::CloseHandle(file);
  return bytes;
}

// Waits until the main dialog takes input again (a modal child has closed).
bool WaitIdle(HWND dialog) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < g_timeoutMs) {
    bool modalOpen = false;
    for (HWND hwnd : Dialogs()) {
      if (hwnd != dialog) modalOpen = true;
    }
    DWORD_PTR result = 0;
    if (!modalOpen && ::IsWindowEnabled(dialog) &&
        ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0) {
      return true;
    }
    if (Exited(100)) return false;
  }
  return false;
}

void Click(HWND dialog, int id) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void PostKey(HWND hwnd, UINT key) {
  ::PostMessageW(hwnd, WM_KEYDOWN, key, 1);
  ::PostMessageW(hwnd, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

bool ExpectExit(const std::wstring& how) {
  const bool exited = Exited(g_timeoutMs);
  Check(exited, how + L" ends the process");
  return exited;
}

// Answers the file dialog that `button` opens with `path` (or cancels it when empty).
bool AnswerFileDialog(HWND dialog, int button, const std::wstring& path, const std::wstring& what) {
  Click(dialog, button);
  HWND files = WaitFor([dialog](HWND hwnd) { return hwnd != dialog && IsFileDialog(hwnd); });
  if (!Check(files != nullptr, what + L": the file dialog opens")) return false;
  // Its filter in the interface language; on an English interface its title as well
  // (a Japanese one keeps the system's own title).
  wchar_t filter[128] = {};
  ::SendMessageW(::GetDlgItem(files, kFileTypeCombo), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
  Check(std::wstring(filter) == Ui(L"スタイルファイル(*.msstyles)", L"Visual styles (*.msstyles)"),
        what + L": the filter is \"" + filter + L"\"");
  if (!Japanese()) {
    Check(TextOf(files) == (button == IDC_LOAD ? L"Open" : L"Save As"), what + L": the title is " + TextOf(files));
  }
  if (path.empty()) {
    Click(files, IDCANCEL);
  } else {
    std::wstring native = path;
    std::replace(native.begin(), native.end(), L'/', L'\\');
    HWND name = ::GetDlgItem(files, kFileNameCombo);
    if (name == nullptr) name = ::GetDlgItem(files, kFileNameEdit);
    ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(native.c_str()));
    Click(files, IDOK);
  }
  const bool idle = WaitIdle(dialog);
  if (!idle) {
    for (HWND hwnd : Dialogs()) Print(L"  open window: \"" + TextOf(hwnd) + L"\"");
  }
  return Check(idle, what + L": the main dialog takes input again");
}


std::wstring Native(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

// Size and time of last writing, or -1 and 0 when the file is missing.
std::pair<LONGLONG, ULONGLONG> FileState(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExW(Native(path).c_str(), GetFileExInfoStandard, &data) == FALSE) return {-1, 0};
  return {(static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
          (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime};
}

// Writes to `path`, which exists: the save dialog asks before replacing it.
void WriteOver(HWND dialog, const std::wstring& path, bool replace) {
  const auto before = FileState(path);
  Check(before.first > 0, path + L" exists before writing over it");
  ::Sleep(50);  // a replacement gets a later time
  Click(dialog, IDC_WRITE);
  HWND files = WaitFor([dialog](HWND hwnd) { return hwnd != dialog && IsFileDialog(hwnd); });
  if (!Check(files != nullptr, L"write over " + path + L": the save dialog opens")) return;
  HWND name = ::GetDlgItem(files, kFileNameCombo);
  if (name == nullptr) name = ::GetDlgItem(files, kFileNameEdit);
  const std::wstring native = Native(path);
  ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(native.c_str()));
  Click(files, IDOK);
  HWND ask = WaitFor([dialog, files](HWND hwnd) { return hwnd != dialog && hwnd != files && IsYesNoBox(hwnd); });
  if (!Check(ask != nullptr, L"replacing " + path + L" is asked first")) return;
  Click(ask, replace ? IDYES : IDNO);
  if (!replace) {
    // Back in the save dialog, which the user then cancels.
    const DWORD start = ::GetTickCount();
    while (::IsWindow(ask) && ::GetTickCount() - start < g_timeoutMs) ::Sleep(50);
    Click(files, IDCANCEL);
  }
  Check(WaitIdle(dialog), L"write over " + path + L": the main dialog takes input again");
  if (replace) {
    const auto after = FileState(path);
    Check(after.first > 0 && after.second != before.second, L"Yes replaces the file");
  } else {
    Check(FileState(path) == before, L"No leaves the file as it was");
  }
}

// Closes by the close box while edits are unwritten: the question comes first.
void CloseBoxAsks(HWND dialog, bool discard) {
  ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND ask = WaitFor([](HWND hwnd) { return HasStatic(hwnd, DiscardQuestion()); });
  if (!Check(ask != nullptr, L"the close box asks about the unwritten edits")) return;
  Check(TextOf(ask) == L"Marvento" && IsYesNoBox(ask), L"the question is a Yes/No box titled Marvento");
  Click(ask, discard ? IDYES : IDNO);
  if (discard) {
    ExpectExit(L"Yes to the question");
  } else {
    Check(WaitIdle(dialog) && ::IsWindow(dialog), L"No keeps the dialog open");
  }
}

// A key typed with Ctrl, Shift or Alt held (`held`, 0 for none), without waiting for it.
void PressKey(WORD key, WORD held) {
  std::vector<INPUT> input;
  auto add = [&input](WORD code, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = code;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.push_back(in);
  };
  if (held != 0) add(held, false);
  add(key, false);
  add(key, true);
  if (held != 0) add(held, true);
  ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// Keys typed on the keyboard into the program in front, each (key, held) pair waited for.
void Type(HWND dialog, std::initializer_list<std::pair<WORD, WORD>> keys) {
  ::SetForegroundWindow(dialog);
  for (const auto& [key, held] : keys) {
    PressKey(key, held);
    ::Sleep(100);
    WaitIdle(dialog);
  }
}

// The window that has the keyboard focus in the program's thread.
HWND FocusOf(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info);
  return info.hwndFocus;
}

void Sync(const std::wstring& name) {
  if (g_syncDir.empty()) return;
  const std::wstring ready = g_syncDir + L"\\" + name + L".ready";
  const std::wstring done = g_syncDir + L"\\" + name + L".done";
  HANDLE file = ::CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  const DWORD start = ::GetTickCount();
  while (::GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES && ::GetTickCount() - start < g_timeoutMs) {
    ::Sleep(100);
  }
  Check(::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES, L"screen captured: " + name);
}

HWND VisibleFontList(HWND dialog) {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::GetDlgCtrlID(child) == IDC_FONT_LIST && ::IsWindowVisible(child)) return child;
  }
  return nullptr;
}

// Clicks a cell of the visible font list. Rows are 20 pixels high (the list's row
// image list); the cell is found from the column widths and the header's height.
void ClickCell(HWND dialog, int row, int column) {
  HWND list = VisibleFontList(dialog);
  if (!Check(list != nullptr, L"a font list is shown")) return;
  int x = 0;
  for (int c = 0; c < column; ++c) x += static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
  x += 8 - static_cast<int>(::GetScrollPos(list, SB_HORZ));
  RECT header{};
  ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
  const int y = (header.bottom - header.top) + 20 * row + 10;
  // Sent, not posted: a reply to WaitIdle's WM_NULL can come before posted input is read.
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000, &result);
  ::SendMessageTimeoutW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000, &result);
  WaitIdle(dialog);
}

// Moves the mouse over a row of the visible list, as the user points at it.
void HoverRow(HWND dialog, int row) {
  HWND list = VisibleFontList(dialog);
  if (!Check(list != nullptr, L"a font list is shown")) return;
  RECT header{};
  ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
  POINT at{200, (header.bottom - header.top) + 20 * row + 10};
  POINT screen = at;
  ::ClientToScreen(list, &screen);
  ::SetCursorPos(screen.x, screen.y);
  ::PostMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  WaitIdle(dialog);
}

// Clicks a value cell and returns its editor once open, or nullptr.
HWND OpenEditorAt(HWND dialog, int row, int column) {
  ClickCell(dialog, row, column);
  HWND list = VisibleFontList(dialog);
  HWND editor = list != nullptr ? ::GetDlgItem(list, IDC_FACE_EDITOR + column - theme::kColFont) : nullptr;
  // WaitIdle's WM_NULL is a sent message, which the program may handle before the posted
  // clicks: the editor may open a moment after it returns.
  const DWORD start = ::GetTickCount();
  while (editor != nullptr && !::IsWindowVisible(editor) && ::GetTickCount() - start < g_timeoutMs && !Exited(20)) {
  }
  if (!Check(editor != nullptr && ::IsWindowVisible(editor), L"the editor opens over the cell")) return nullptr;
  return editor;
}

BOOL CALLBACK FindShownTip(HWND hwnd, LPARAM found) {
  if (ClassOf(hwnd) == L"tooltips_class32" && ::IsWindowVisible(hwnd)) {
    *reinterpret_cast<bool*>(found) = true;
  }
  return TRUE;
}

// A tip of the program's on screen (its text cannot be read from another process).
bool TipShown(HWND dialog) {
  bool shown = false;
  ::EnumThreadWindows(::GetWindowThreadProcessId(dialog, nullptr), &FindShownTip, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

// Types `text` into the size editor of `row` and presses Enter: written (the editor
// closes, the title marks the edit) or refused (nothing written, the editor stays and says why).
void TypeSize(HWND dialog, int row, const std::wstring& text, bool written) {
  const std::wstring before = TextOf(dialog);
  HWND editor = OpenEditorAt(dialog, row, theme::kColSize);
  if (editor == nullptr) return;
  HWND box = ::GetWindow(editor, GW_CHILD);
  ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Sync(L"typed-size");
  Type(dialog, {{VK_RETURN, 0}});
  if (written) {
    Eventually([&] { return !::IsWindowVisible(editor); });
    Check(!::IsWindowVisible(editor) && TextOf(dialog).find(L" * - ") != std::wstring::npos,
          L"the typed size " + text + L" is written and the editor closes: " + TextOf(dialog));
    return;
  }
  // A refusal is the tip; the editor stays open and nothing is written.
  Check(Eventually([&] { return TipShown(dialog); }), L"the size editor says why " + text + L" is refused");
  Check(::IsWindowVisible(editor) && TextOf(dialog) == before, L"the typed size " + text + L" is refused, not written");
  Sync(L"typed-size-refused");
  Type(dialog, {{VK_ESCAPE, 0}});
  Check(Eventually([&] { return !::IsWindowVisible(editor) && !TipShown(dialog); }),
        L"Esc closes the editor and its tip");
}

// Opens the editor over a cell and chooses `value` in it, as the user picks an entry.
void EditCell(HWND dialog, int row, int column, const std::wstring& value) {
  HWND editor = OpenEditorAt(dialog, row, column);
  if (editor == nullptr) return;
  HWND list = VisibleFontList(dialog);
  const auto index = ::SendMessageW(editor, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(value.c_str()));
  if (!Check(index != CB_ERR, L"the editor offers " + value)) return;
  ::SendMessageW(editor, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // As a click on the entry in the dropped list: the selection changes, then it is chosen.
  for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
    ::PostMessageW(list, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(editor), code), reinterpret_cast<LPARAM>(editor));
  }
  // A choice closes the editor once it is written.
  Eventually([editor] { return !::IsWindowVisible(editor); });
  // List-view items cannot be read across processes; what the edit did shows in what
  // the program asks afterwards.
  WaitIdle(dialog);
}

// Opens the shown font list's context menu by a key (Shift+F10, the menu key) typed with
// the focus on its first row.
bool OpenContextMenu(HWND dialog, WORD key, WORD held) {
  ClickCell(dialog, 0, 0);  // an identifying cell: the list takes the focus, no editor opens
  Type(dialog, {{key, held}});
  return Check(MenuOpen(true), std::wstring(key == VK_APPS ? L"the menu key" : L"Shift+F10") +
                                   L" opens the font list's context menu");
}

int Run(const std::vector<std::wstring>& actions) {
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const std::wstring& action = actions[i];
    auto next = [&]() { return i + 1 < actions.size() ? actions[++i] : std::wstring(); };
    if (action == L"expect-dialog") {
      HWND dialog = MainDialog();
      Check(dialog != nullptr, L"the main dialog opens");
      Check(!g_target.sawRefusal, L"no refusal message is shown");
      if (dialog == nullptr) return 1;
      Check(!::IsWindowEnabled(::GetDlgItem(dialog, IDC_WRITE)), L"書き込み is disabled before a load");
    } else if (action == L"expect-refusal") {
      HWND box = WaitFor(IsRefusal);
      if (!Check(box != nullptr, L"the refusal message appears")) return 1;
      Check(TextOf(box) == L"Marvento", L"the message is titled Marvento (" + TextOf(box) + L")");
      Check(::GetDlgItem(box, IDOK) != nullptr && ::GetDlgItem(box, IDCANCEL) == nullptr,
            L"the message has an OK button only");
      Click(box, IDOK);
      ExpectExit(L"OK on the refusal");
      NoteWindows();
      Check(!g_target.sawMainDialog, L"no main dialog was created");
    } else if (action == L"enter") {
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      PostKey(dialog, VK_RETURN);
      HWND files = WaitFor([dialog](HWND hwnd) { return hwnd != dialog && IsFileDialog(hwnd); });
      Check(files != nullptr, L"Enter presses 読み込み (the open dialog appears)");
      if (files != nullptr) Click(files, IDCANCEL);
      Check(WaitIdle(dialog) && ::IsWindow(dialog), L"the main dialog is still open after Enter");
      Check(!::IsWindowEnabled(::GetDlgItem(dialog, IDC_WRITE)), L"cancelling the open dialog leaves 書き込み disabled");
    } else if (action == L"expect-loaded") {
      // Loaded at start-up from the command line.
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      const DWORD start = ::GetTickCount();
      HWND tab = ::GetDlgItem(dialog, IDC_TAB);
      while (!::IsWindowEnabled(::GetDlgItem(dialog, IDC_WRITE)) && ::GetTickCount() - start < g_timeoutMs) ::Sleep(100);
      WaitIdle(dialog);
      Check(::IsWindowEnabled(::GetDlgItem(dialog, IDC_WRITE)), L"the file on the command line is loaded");
      HWND list = VisibleFontList(dialog);
      Check(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0) > 0 && list != nullptr &&
                ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0,
            L"its tabs and rows are shown");
    } else if (action == L"expect-load-failed") {
      HWND box = WaitFor([](HWND hwnd) { return HasStaticBeginning(hwnd, LoadFailed()); });
      if (!Check(box != nullptr, L"the load-failed message appears")) return 1;
      Click(box, IDOK);
      HWND dialog = MainDialog();
      Check(dialog != nullptr && WaitIdle(dialog), L"the dialog stays after the message");
      if (dialog != nullptr) Check(!::IsWindowEnabled(::GetDlgItem(dialog, IDC_WRITE)), L"nothing to write");
    } else if (action == L"drop-faces") {
      // The bulk font-name combo of the shown page, dropped down for a look.
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      HWND tab = ::GetDlgItem(dialog, IDC_TAB);
      for (HWND child = ::GetWindow(tab, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(child) == IDC_BULK_FONT && ::IsWindowVisible(child)) {
          const auto selected = ::SendMessageW(child, CB_GETCURSEL, 0, 0);
          ::PostMessageW(child, CB_SHOWDROPDOWN, TRUE, 0);
          WaitIdle(dialog);
          Sync(next());
          PostKey(child, VK_ESCAPE);  // closed without a choice
          WaitIdle(dialog);
          // The list follows the pointer while it is open; show the old choice again.
          ::SendMessageW(child, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
          break;
        }
      }
    } else if (action == L"ctrl-z") {
      // Typed on the keyboard into the program in front.
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      ::SetForegroundWindow(dialog);
      WaitIdle(dialog);
      INPUT keys[4] = {};
      const WORD codes[4] = {VK_CONTROL, 'Z', 'Z', VK_CONTROL};
      for (int k = 0; k < 4; ++k) {
        keys[k].type = INPUT_KEYBOARD;
        keys[k].ki.wVk = codes[k];
        keys[k].ki.dwFlags = k < 2 ? 0 : KEYEVENTF_KEYUP;
      }
      Check(::SendInput(4, keys, sizeof(INPUT)) == 4, L"Ctrl+Z typed");
      ::Sleep(300);
      WaitIdle(dialog);
    } else if (action == L"hover-row") {
      const int row = std::stoi(next());
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      HoverRow(dialog, row);
    } else if (action == L"write-over") {
      const std::wstring path = next();
      const bool replace = next() == L"yes";
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      WriteOver(dialog, path, replace);
    } else if (action == L"close-box-asks") {
      const bool discard = next() == L"yes";
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      CloseBoxAsks(dialog, discard);
    } else if (action == L"edit-cell") {
      const int row = std::stoi(next());
      const int column = std::stoi(next());
      const std::wstring value = next();
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      EditCell(dialog, row, column, value);
    } else if (action == L"load" || action == L"write" || action == L"write-new") {
      const std::wstring path = next();
      if (action == L"write-new") ::DeleteFileW(Native(path).c_str());
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      const bool load = action == L"load";
      std::wstring what = action;
      what += L" ";
      what += path;
      if (!AnswerFileDialog(dialog, load ? IDC_LOAD : IDC_WRITE, path, what)) return 1;
      if (load) {
        HWND tab = ::GetDlgItem(dialog, IDC_TAB);
        HWND list = VisibleFontList(dialog);
        Check(::IsWindowEnabled(::GetDlgItem(dialog, IDC_WRITE)), L"書き込み is enabled after the load");
        Check(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0) > 0, L"the loaded file has tabs");
        Check(list != nullptr && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0, L"page 0 lists font rows");
      } else {
        Check(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES, L"the target exists after writing");
      }
    } else if (action == L"close-box" || action == L"exit-button" || action == L"escape") {
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      if (action == L"close-box") {
        ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else if (action == L"exit-button") {
        Click(dialog, IDCANCEL);
      } else {
        PostKey(dialog, VK_ESCAPE);
      }
      ExpectExit(action);
    } else if (action == L"type-size") {
      const int row = std::stoi(next());
      const std::wstring text = next();
      const bool written = next() == L"written";
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      TypeSize(dialog, row, text, written);
    } else if (action == L"expect-style-box-greyed") {
      // The loaded theme has no style-name string: its box takes no typing.
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      HWND box = ::GetDlgItem(::GetDlgItem(dialog, IDC_TAB), IDC_STYLE_NAME);
      Check(box != nullptr && !::IsWindowEnabled(box), L"the style-name box is greyed");
    } else if (action == L"click-cell") {
      const int row = std::stoi(next());
      const int column = std::stoi(next());
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      ClickCell(dialog, row, column);
    } else if (action == L"about") {
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      Click(dialog, IDC_VERSION);
      HWND about = WaitFor(IsAboutBox);
      Check(about != nullptr, L"バージョン情報 opens the About box");
      if (about == nullptr) return 1;
      Sync(L"about");
      Click(about, IDOK);
      Check(WaitIdle(dialog), L"OK closes the About box");
    } else if (action == L"expect-title") {
      const std::wstring title = next();
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      WaitIdle(dialog);
      Check(TextOf(dialog) == title, L"the title is \"" + title + L"\" (" + TextOf(dialog) + L")");
    } else if (action == L"tab-order") {
      // From 読み込み, Tab reaches the buttons, the style-name box, the size-name box, the
      // bulk combo and the font list, in screen order; Shift+Tab goes back.
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      ::SetForegroundWindow(dialog);
      WaitIdle(dialog);
      Type(dialog, {{VK_TAB, VK_SHIFT}, {VK_TAB, 0}});  // to the list and back to 読み込み
      // A greyed name box (the theme has no string for it) is passed over.
      std::vector<int> wanted{IDC_WRITE, IDCANCEL, IDC_VERSION};
      HWND tab = ::GetDlgItem(dialog, IDC_TAB);
      for (const int box : {IDC_STYLE_NAME, IDC_SIZE_NAME}) {
        for (HWND child = ::GetWindow(tab, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
          if (::GetDlgCtrlID(child) == box && ::IsWindowVisible(child) && ::IsWindowEnabled(child)) {
            wanted.push_back(box);
            break;
          }
        }
      }
      wanted.insert(wanted.end(), {IDC_BULK_FONT, IDC_FONT_LIST, IDC_LOAD});
      std::vector<int> order;
      for (std::size_t i = 0; i < wanted.size(); ++i) {
        Type(dialog, {{VK_TAB, 0}});
        order.push_back(::GetDlgCtrlID(FocusOf(dialog)));
      }
      std::wstring seen;
      for (int id : order) seen += L" " + std::to_wstring(id);
      Check(order == wanted, L"Tab goes through every widget in screen order:" + seen);
      Type(dialog, {{VK_TAB, VK_SHIFT}});
      Check(FocusOf(dialog) == VisibleFontList(dialog), L"Shift+Tab from 読み込み reaches the shown font list");
    } else if (action == L"list-keys") {
      // On a loaded theme without edits: a read-only cell clicked, then only keys.
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      HWND list = VisibleFontList(dialog);
      if (!Check(list != nullptr, L"a font list is shown")) return 1;
      const std::wstring clean = TextOf(dialog);
      ClickCell(dialog, 2, 1);
      Type(dialog, {{VK_SPACE, 0}});
      Check(!Exited(300), L"Space on a read-only cell presses no button");
      HWND sizes = ::GetDlgItem(list, IDC_SIZE_EDITOR);
      Type(dialog, {{VK_RIGHT, 0}, {VK_F2, 0}});
      Check(::IsWindowVisible(sizes) && ::SendMessageW(sizes, CB_GETDROPPEDSTATE, 0, 0) != 0,
            L"Right and F2 open the size editor with its list dropped");
      Type(dialog, {{VK_DOWN, 0}, {VK_ESCAPE, 0}});
      Check(!::IsWindowVisible(sizes) && TextOf(dialog) == clean, L"Down then Esc writes nothing and closes the editor");
      Type(dialog, {{VK_DOWN, VK_MENU}, {VK_ESCAPE, 0}});
      Check(!Exited(300) && !::IsWindowVisible(sizes), L"Esc with the editor open closes only the editor");
      Type(dialog, {{VK_DOWN, VK_MENU}, {VK_DOWN, 0}, {VK_RETURN, 0}});
      Check(TextOf(dialog) != clean && !::IsWindowVisible(sizes),
            L"Alt+Down, Down and Enter write a choice and close the editor: " + TextOf(dialog));
      Type(dialog, {{'Z', VK_CONTROL}});
      Check(TextOf(dialog) == clean, L"Ctrl+Z takes the choice back as one step");
      HWND tab = ::GetDlgItem(dialog, IDC_TAB);
      const auto pages = ::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0);
      Type(dialog, {{VK_TAB, VK_CONTROL}});
      Check(pages > 0 && ::SendMessageW(tab, TCM_GETCURSEL, 0, 0) == 1 % pages &&
                FocusOf(dialog) == VisibleFontList(dialog),
            L"Ctrl+Tab shows the next page (round) with the focus in its list: page " +
                std::to_wstring(::SendMessageW(tab, TCM_GETCURSEL, 0, 0)) + L" of " + std::to_wstring(pages) +
                L", focus on " + std::to_wstring(::GetDlgCtrlID(FocusOf(dialog))));
    } else if (action == L"load-refused") {
      // A file that is no theme, while a theme is open: the message names the file and
      // the open theme stays, 書き込み included.
      const std::wstring path = next();
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      HWND tab = ::GetDlgItem(dialog, IDC_TAB);
      const auto tabs = ::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0);
      const std::wstring title = TextOf(dialog);
      Click(dialog, IDC_LOAD);
      HWND files = WaitFor([dialog](HWND hwnd) { return hwnd != dialog && IsFileDialog(hwnd); });
      if (!Check(files != nullptr, L"the open dialog opens")) return 1;
      HWND name = ::GetDlgItem(files, kFileNameCombo);
      if (name == nullptr) name = ::GetDlgItem(files, kFileNameEdit);
      const std::wstring native = Native(path);
      ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(native.c_str()));
      Click(files, IDOK);
      HWND box = WaitFor([](HWND hwnd) { return HasStaticBeginning(hwnd, LoadFailed()); });
      if (!Check(box != nullptr, L"the load-failed message appears")) return 1;
      bool named = false;
      for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (TextOf(child).find(native) != std::wstring::npos) named = true;
      }
      Check(named, L"the message names " + native);
      Click(box, IDOK);
      const bool idle = WaitIdle(dialog);
      if (!idle) {
        for (HWND hwnd : Dialogs()) {
          Print(L"  open window: \"" + TextOf(hwnd) + L"\"");
          for (HWND child = ::GetWindow(hwnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            Print(L"    " + ClassOf(child) + L" \"" + TextOf(child) + L"\"");
          }
        }
      }
      Check(idle, L"the dialog takes input again");
      Check(::IsWindowEnabled(::GetDlgItem(dialog, IDC_WRITE)) && ::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0) == tabs &&
                TextOf(dialog) == title,
            L"the open theme, its tabs and 書き込み stay");
    } else if (action == L"maximise") {
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      RECT before{};
      ::GetWindowRect(VisibleFontList(dialog), &before);
      ::ShowWindow(dialog, SW_MAXIMIZE);
      WaitIdle(dialog);
      RECT after{};
      ::GetWindowRect(VisibleFontList(dialog), &after);
      Check(::IsZoomed(dialog) && after.right - after.left > before.right - before.left,
            L"maximised, the font list grows with the dialog");
      ::ShowWindow(dialog, SW_RESTORE);
      WaitIdle(dialog);
    } else if (action == L"context-menu-larger") {
      // From the keyboard: Shift+F10 on the font list opens its context menu, and the
      // access key of "sizes one step larger" applies it.
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      const std::wstring before = TextOf(dialog);
      if (!OpenContextMenu(dialog, VK_F10, VK_SHIFT)) return 1;
      Type(dialog, {{'L', 0}});
      Check(!MenuOpen(false) && WaitIdle(dialog), L"its access key L closes the menu");
      Check(TextOf(dialog).find(L" * - ") != std::wstring::npos,
            L"sizes one step larger is an unwritten edit: " + before + L" -> " + TextOf(dialog));
    } else if (action == L"show-context-menu") {
      // The font list's context menu held open for the screen capture `name`, then closed by Esc.
      const std::wstring name = next();
      HWND dialog = MainDialog();
      if (dialog == nullptr || !OpenContextMenu(dialog, VK_F10, VK_SHIFT)) return 1;
      Sync(name);
      Type(dialog, {{VK_ESCAPE, 0}});
      Check(!MenuOpen(false), L"Esc closes the context menu");
    } else if (action == L"context-menu-fonts-from") {
      // The menu key on the font list, the access key of "fonts from another theme", the
      // open dialog answered; the message with the counts is shown here and closed.
      const std::wstring path = next();
      HWND dialog = MainDialog();
      if (dialog == nullptr) return 1;
      if (!OpenContextMenu(dialog, VK_APPS, 0)) return 1;
      PressKey('F', 0);  // its access key; the open dialog comes up
      const std::wstring what = L"fonts from " + path;
      HWND files = WaitFor([dialog](HWND hwnd) { return hwnd != dialog && IsFileDialog(hwnd); });
      if (!Check(files != nullptr, what + L": the open dialog opens")) return 1;
      HWND name = ::GetDlgItem(files, kFileNameCombo);
      if (name == nullptr) name = ::GetDlgItem(files, kFileNameEdit);
      const std::wstring native = Native(path);
      ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(native.c_str()));
      Click(files, IDOK);
      HWND box = WaitFor([dialog, files](HWND hwnd) { return hwnd != dialog && hwnd != files && !IsFileDialog(hwnd); });
      if (!Check(box != nullptr, what + L": a message says what was taken")) return 1;
      std::wstring said;
      for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static" && !TextOf(child).empty()) said += TextOf(child);
      }
      Print(L"  message: " + said);
      Check(said.find(native) != std::wstring::npos, what + L": the message names the file");
      Click(box, IDOK);
      Check(WaitIdle(dialog), what + L": OK closes the message");
    } else if (action == L"expect-same-file") {
      const std::wstring a = next();
      const std::wstring b = next();
      const std::vector<char> bytesA = FileBytes(Native(a));
      const std::vector<char> bytesB = FileBytes(Native(b));
      Check(!bytesA.empty() && bytesA == bytesB, a + L" (" + std::to_wstring(bytesA.size()) + L" bytes) and " + b +
                                                     L" (" + std::to_wstring(bytesB.size()) + L" bytes) are the same");
    } else if (action == L"sync") {
      Sync(next());
    } else {
      Check(false, L"unknown action " + action);
      return 1;
    }
  }
  return 0;
}

// Copies `exe` beside itself as "<name>-<version>.exe" and tells Wine to report
// `version` to that program (HKCU\Software\Wine\AppDefaults\<file>\Version).
std::wstring CopyReportingVersion(const std::wstring& exe, const std::wstring& version) {
  std::wstring copy = exe;
  const std::size_t dot = copy.rfind(L'.');
  copy.insert(dot == std::wstring::npos ? copy.size() : dot, L"-" + version);
  if (::CopyFileW(exe.c_str(), copy.c_str(), FALSE) == FALSE) {
    Check(false, L"copy " + exe + L" to " + copy);
    return exe;
  }
  const std::size_t slash = copy.find_last_of(L"\\/");
  const std::wstring key =
      L"Software\\Wine\\AppDefaults\\" + copy.substr(slash == std::wstring::npos ? 0 : slash + 1);
  HKEY handle = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) ==
      ERROR_SUCCESS) {
    const std::size_t bytes = (version.size() + 1) * sizeof(wchar_t);  // with the terminating NUL
    ::RegSetValueExW(handle, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                     static_cast<DWORD>(bytes));
    ::RegCloseKey(handle);
  }
  Print(L"running " + copy + L" as Windows version " + version);
  return copy;
}

std::wstring Quote(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  for (wchar_t c : arg) {
    if (c == L'"') quoted += L'\\';
    quoted += c;
  }
  return quoted + L"\"";
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  ::LocalFree(argv);
  std::size_t i = 0;
  std::wstring windowsVersion;
  while (i < args.size() && args[i].rfind(L"--", 0) == 0 && args[i] != L"--") {
    if (args[i] == L"--timeout" && i + 1 < args.size()) {
      g_timeoutMs = static_cast<DWORD>(std::stoul(args[i + 1]) * 1000);
      i += 2;
    } else if (args[i] == L"--windows-version" && i + 1 < args.size()) {
      windowsVersion = args[i + 1];
      i += 2;
    } else if (args[i] == L"--sync-dir" && i + 1 < args.size()) {
      g_syncDir = args[i + 1];
      i += 2;
    } else {
      break;
    }
  }
  if (!windowsVersion.empty() && i < args.size()) args[i] = CopyReportingVersion(args[i], windowsVersion);
  std::wstring commandLine;
  for (; i < args.size() && args[i] != L"--"; ++i) commandLine += (commandLine.empty() ? L"" : L" ") + Quote(args[i]);
  const std::vector<std::wstring> actions(args.begin() + static_cast<std::ptrdiff_t>(std::min(i + 1, args.size())),
                                          args.end());
  if (commandLine.empty() || actions.empty()) {
    Print(L"usage: marvento_driver [--timeout S] [--sync-dir DIR] EXE [ARG...] -- ACTION...");
    return 2;
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back(L'\0');
  if (::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &g_target.process) == FALSE) {
    Print(L"FAIL: cannot start " + commandLine);
    return 1;
  }
  ::WaitForInputIdle(g_target.process.hProcess, g_timeoutMs);
  Run(actions);
  if (!Exited(0)) {
    ::TerminateProcess(g_target.process.hProcess, 3);
    Exited(5000);
  }
  Print(std::to_wstring(g_passed) + L" passed, " + std::to_wstring(g_failed) + L" failed");
  return g_failed == 0 ? 0 : 1;
}
