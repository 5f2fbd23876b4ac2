#include "cell_editors.h"

#include "installed_faces.h"

namespace widgets {

namespace {

constexpr DWORD kSortedEditorStyle = WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS;
// The size editor takes typing too: any size the value rules allow.
constexpr DWORD kSizeEditorStyle = WS_CHILD | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
constexpr const wchar_t* kSizes[] = {L"1",  L"6",  L"7",  L"8",  L"9",  L"10", L"11", L"12", L"13",
                                     L"14", L"15", L"16", L"17", L"18", L"19", L"20", L"21", L"22"};
constexpr const wchar_t* kOptions[] = {L"Bold", L"Italic", L"Bold Italic", L""};
constexpr int kEditorRows = 9;  // the closed box and eight rows of its list

// The entry of `editor` whose whole text is `text` (ignoring case), or CB_ERR; unlike
// CB_FINDSTRINGEXACT it finds the empty entry.
int FindEntry(const win32::CComboBox& editor, const std::wstring& text) {
  const int count = static_cast<int>(editor.SendMessage(CB_GETCOUNT));
  for (int entry = 0; entry < count; ++entry) {
    if (::lstrcmpiW(editor.GetLBText(entry).c_str(), text.c_str()) == 0) return entry;
  }
  return CB_ERR;
}

}  // namespace

void CCellEditors::Create(HWND list, HFONT font) {
  const RECT tiny{0, 0, 1, 1};
  win32::CComboBox& faces = *m_editors[0];
  faces.Create(kSortedEditorStyle | CBS_OWNERDRAWFIXED, tiny, list, kIds[0]);
  faces.SetFont(font);
  AddInstalledFaces(faces);

  win32::CComboBox& sizes = *m_editors[1];
  sizes.Create(kSizeEditorStyle, tiny, list, kIds[1]);
  sizes.SetFont(font);
  for (const wchar_t* size : kSizes) sizes.AddString(size);

  win32::CComboBox& options = *m_editors[2];
  options.Create(kSortedEditorStyle, tiny, list, kIds[2]);
  options.SetFont(font);
  for (const wchar_t* option : kOptions) options.AddString(option);

  m_refusalTip.Create(list, TTS_BALLOON);
  m_column = -1;
}

void CCellEditors::Open(int row, int column, const RECT& cell, const std::wstring& text, bool drop) {
  m_row = row;
  m_column = column;
  const std::size_t index = static_cast<std::size_t>(column - kFirstColumn);
  const win32::CComboBox& editor = *m_editors.at(index);
  editor.MoveWindow(cell.left, cell.top, cell.right - cell.left, kEditorRows * (cell.bottom - cell.top), true);
  // The editor shows what the cell holds: its entry (ignoring case), or the cell's own
  // value as the first entry when none is offered (a face not installed, a size such as
  // -16), so that no value looks erased.
  if (m_cellEntry.at(index)) editor.SendMessage(CB_DELETESTRING, 0);
  int entry = FindEntry(editor, text);
  m_cellEntry.at(index) = entry == CB_ERR;
  if (entry == CB_ERR) {
    entry = static_cast<int>(editor.SendMessage(CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }
  editor.SetCurSel(entry);
  editor.ShowWindow(SW_SHOW);
  if (drop) {
    ::SetFocus(editor.GetSafeHwnd());
    editor.SendMessage(CB_SHOWDROPDOWN, TRUE);
  }
}

HWND CCellEditors::GetOpen() const {
  for (const auto* editor : m_editors) {
    if (editor->IsWindowVisible()) return editor->GetSafeHwnd();
  }
  return nullptr;
}

void CCellEditors::HideOpen() const {
  if (m_column < kFirstColumn) return;
  m_refusalTip.Hide();
  const win32::CComboBox& editor = Editor(m_column);
  if (editor.IsWindowVisible()) editor.ShowWindow(SW_HIDE);
}

void CCellEditors::HideAll() const {
  m_refusalTip.Hide();
  for (const auto* editor : m_editors) {
    if (editor->GetDroppedState()) editor->SendMessage(CB_SHOWDROPDOWN, FALSE);  // its list would stay
    if (editor->IsWindowVisible()) editor->ShowWindow(SW_HIDE);
  }
}

void CCellEditors::Close() {
  HideAll();
  m_column = -1;
  m_row = 0;
}

std::optional<std::wstring> CCellEditors::TextToWrite() {
  if (m_column < kFirstColumn) return std::nullopt;
  const win32::CComboBox& editor = Editor(m_column);
  if (!editor.IsWindowVisible()) return std::nullopt;
  if (m_column == theme::kColSize) {
    std::wstring text = editor.GetWindowText();  // typed or chosen
    if (editor.GetDroppedState()) {
      m_closingList = true;  // closed to write, not cancelled
      editor.SendMessage(CB_SHOWDROPDOWN, FALSE);
      m_closingList = false;
    }
    return text;
  }
  const int index = editor.GetCurSel();
  if (index == CB_ERR) return std::nullopt;
  return editor.GetLBText(index);
}

bool CCellEditors::HasFocus(const win32::CComboBox& editor) {
  HWND focus = ::GetFocus();
  return focus == editor.GetSafeHwnd() || (focus != nullptr && ::IsChild(editor.GetSafeHwnd(), focus));
}

bool CCellEditors::Written() const {
  const bool focused = m_column >= kFirstColumn && HasFocus(Editor(m_column));
  HideAll();
  return focused;
}

void CCellEditors::ShowRefusal(const std::wstring& reason) const {
  POINT at{0, 0};
  if (m_column >= kFirstColumn) {
    const RECT editor = Editor(m_column).GetWindowRect();
    at = POINT{editor.left + 8, editor.top + ::GetSystemMetrics(SM_CYVSCROLL)};
  }
  m_refusalTip.Show(reason, at);
}

bool CCellEditors::Cancelled() const {
  // (A closed editor losing the focus says the same; it stays open.)
  if (m_column < kFirstColumn || m_closingList) return false;
  const win32::CComboBox& editor = Editor(m_column);
  if (!editor.GetDroppedState()) return false;
  const bool focused = HasFocus(editor);
  m_refusalTip.Hide();
  editor.ShowWindow(SW_HIDE);
  return focused;
}

}  // namespace widgets
