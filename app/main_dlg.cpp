#include "main_dlg.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <exception>

#include "about_dlg.h"
#include "app.h"
#include "clipboard.h"
#include "errors.h"
#include "file_dialog.h"
#include "fonts_from_theme.h"
#include "gdi.h"
#include "installed_faces.h"
#include "message_map.h"
#include "resource.h"
#include "size_scaling.h"
#include "theme_rebuild.h"
#include "tsv_row.h"
#include "ui_language.h"
#include "ui_resources.h"
#include "safe_write.h"
#include "shown_text.h"
#include "text.h"
#include "value_rules.h"

namespace {

constexpr const wchar_t* kThemeExtension = L"msstyles";
constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
// A new name is fine; an existing file is replaced only when the user agrees.
constexpr DWORD kSaveFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
constexpr const wchar_t* kCaption = L"Marvento";

constexpr std::array<int, theme::kColumnCount> kColumnWidths{150, 230, 120, 170, 50, 80};

// The lists, boxes and bulk combos are tab stops: Tab reaches every one of them.
// Several rows can be selected, for copying.
constexpr DWORD kFontListStyle = WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
// Owner drawn: each face is shown in itself.
constexpr DWORD kBulkComboStyle =
    WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS | CBS_OWNERDRAWFIXED;
// The boxes scroll as the user types, so names longer than the box can be entered.
constexpr DWORD kBoxStyle = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr RECT kSizeNameBoxRect{190, 38, 350, 58};
constexpr RECT kBulkComboRect{370, 38, 530, 400};
constexpr RECT kStyleNameBoxRect{10, 38, 170, 58};
struct LabelSpec {
  UINT text;
  RECT rect;
};
constexpr std::array<LabelSpec, 3> kLabels{{
    {IDS_LABEL_STYLE_NAME, {10, 25, 155, 37}},
    {IDS_LABEL_SIZE_NAME, {190, 25, 350, 37}},
    {IDS_LABEL_BULK_FONT, {370, 25, 530, 37}},
}};

// Posted by OnInitDialog: the start-up file is loaded once the dialog is on screen.
constexpr UINT kLoadStartupFile = WM_APP + 1;

// The context menu: each command with its text (IDS_MENU_FIRST in the same order), and
// where a separator follows.
constexpr std::array<UINT, 7> kMenuCommands{IDM_UNDO,  IDM_REDO, IDM_SIZES_LARGER, IDM_SIZES_SMALLER,
                                            IDM_FONTS_FROM_THEME, IDM_COPY, IDM_SELECT_ALL};
constexpr bool SeparatorAfter(UINT command) {
  return command == IDM_REDO || command == IDM_SIZES_SMALLER || command == IDM_FONTS_FROM_THEME;
}

// What a value shows: the theme's own UTF-16, as a write puts it back.
std::wstring Shown(const theme::EditableText& value, const theme::CodePage& cp) {
  return win32::FromU16(value.toWrite(cp));
}

// Cell `column` of a row: the identifying columns as read, the values as they are written.
std::wstring ShownCell(const theme::FontRow& row, int column, const theme::CodePage& cp) {
  if (column >= theme::kColFont) return Shown(row.value(column), cp);
  const theme::IdentityParts parts = theme::identityParts(row.identity);
  return win32::FromU16(column == theme::kColFile ? parts.file : column == theme::kColSection ? parts.section : parts.key);
}

// `text` with %1, %2, ... replaced by `values` in order.
std::wstring Fill(std::wstring text, std::initializer_list<std::wstring> values) {
  wchar_t number = L'1';  // at most nine values
  for (const std::wstring& value : values) {
    const std::wstring mark{L'%', number++};
    const std::size_t at = text.find(mark);
    if (at != std::wstring::npos) text.replace(at, mark.size(), value);
  }
  return text;
}

// Why a value typed or chosen for `column` is refused, in the interface's words; empty
// when it is taken. The core's value rules judge it, as they judge the command line's.
std::wstring WhyRefused(int column, const std::wstring& text) {
  if (text.size() > theme::kMaxFieldUnits) {
    return Fill(win32::LoadUiString(IDS_VALUE_TOO_LONG), {std::to_wstring(theme::kMaxFieldUnits)});
  }
  if (std::any_of(text.begin(), text.end(), [](wchar_t c) { return theme::isControl(c); })) {
    return win32::LoadUiString(IDS_VALUE_CONTROL);
  }
  const theme::ValueVerdict verdict = theme::checkValue(column, win32::ToU16(text));
  if (verdict.ok()) return {};
  // One string a fault, in the order of ValueFault (res/resource.h).
  static_assert(static_cast<UINT>(theme::ValueFault::RepeatedOptionWord) == IDS_VALUE_LAST - IDS_VALUE_FIRST);
  return Fill(win32::LoadUiString(IDS_VALUE_FIRST + static_cast<UINT>(verdict.fault)), {win32::FromU16(verdict.detail)});
}

void TrimWorkingSet() {
  ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

}  // namespace

CMainDlg::CMainDlg(win32::CWnd* parent) : win32::CDialog(IDD_MARVENTO_DIALOG, parent) {}

CMainDlg::~CMainDlg() {
  // The window goes before the icon it shows.
  if (GetSafeHwnd() != nullptr) ::DestroyWindow(GetSafeHwnd());
}

void CMainDlg::DoDataExchange() { m_tab.SubclassWindow(GetDlgItem(IDC_TAB)); }

BOOL CMainDlg::OnInitDialog() {
  win32::CDialog::OnInitDialog();

  HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
  const std::wstring aboutItem = win32::LoadUiString(IDS_ABOUTBOX);
  if (systemMenu != nullptr && !aboutItem.empty()) {
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutItem.c_str());
  }

  // Not shared: this icon is the dialog's own and is destroyed with it.
  m_icon.Attach(static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon.GetSafeHandle()));

  m_model.pages().pageCount = 3;
  m_tab.InsertItem(0, L"SIZE");

  // The tab keeps its margins to the dialog's edges when the dialog is resized; the
  // dialog never gets smaller than its template.
  RECT tabRect = m_tab.GetWindowRect();
  ScreenToClient(tabRect);
  const RECT client = GetClientRect();
  m_tabMargin = SIZE{client.right - tabRect.right, client.bottom - tabRect.bottom};
  const RECT window = GetWindowRect();
  m_minSize = SIZE{window.right - window.left, window.bottom - window.top};
  RECT area = tabRect;
  m_tab.AdjustRect(false, &area);

  HFONT font = GetFont();
  for (int page = 0; page < kPages; ++page) CreatePageWidgets(page, area, font);
  ShowPage(0);

  m_styleNameBox.Create(kBoxStyle | WS_VISIBLE, kStyleNameBoxRect, m_tab.GetSafeHwnd(), IDC_STYLE_NAME,
                        WS_EX_CLIENTEDGE);
  m_styleNameBox.SetFont(font);
  BindBox(m_styleNameBox, m_model.pages().styleNameBox);
  // Greyed boxes say why when pointed at: the tab, their parent, gets the mouse over them.
  m_boxTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  const std::wstring labelFace = win32::LoadUiString(IDS_LABEL_FACE);
  for (std::size_t i = 0; i < kLabels.size(); ++i) {
    m_labels[i].Create(win32::LoadUiString(kLabels[i].text).c_str(), WS_CHILD | WS_VISIBLE, kLabels[i].rect,
                       m_tab.GetSafeHwnd(), IDC_LABEL);
    m_labels[i].SetFont(font);
    if (!labelFace.empty()) m_labels[i].SetFaceName(labelFace);
  }

  // Tab walks into the tab control's boxes and combo (a control parent), in screen order:
  // the style-name box, the size-name box, the bulk combo; the list comes after the tab.
  ::SetWindowLongPtrW(m_tab.GetSafeHwnd(), GWL_EXSTYLE,
                      ::GetWindowLongPtrW(m_tab.GetSafeHwnd(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  HWND previous = HWND_TOP;
  const auto placeNext = [&previous](HWND hwnd) {
    ::SetWindowPos(hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = hwnd;
  };
  placeNext(m_styleNameBox.GetSafeHwnd());
  for (const auto& box : m_sizeNameBoxes) placeNext(box.GetSafeHwnd());
  for (const auto& combo : m_bulkCombos) placeNext(combo.GetSafeHwnd());

  RememberWrittenValues();
  ::DragAcceptFiles(m_hWnd, TRUE);
  m_keyFilter = ::SetWindowsHookExW(WH_MSGFILTER, &CMainDlg::MessageFilter, nullptr, ::GetCurrentThreadId());
  if (!m_startupPath.empty()) PostMessage(kLoadStartupFile);
  TrimWorkingSet();
  return TRUE;
}

void CMainDlg::CreatePageWidgets(int page, const RECT& area, HFONT font) {
  widgets::CFontListCtrl& list = m_fontLists.at(page);
  list.Create(kFontListStyle, RECT{0, 0, 1, 1}, m_hWnd, IDC_FONT_LIST, WS_EX_CLIENTEDGE);
  // The list shows the page: a value an editor chooses goes into the page, and the cell
  // is shown from there.
  list.SetCellChangedHandler(
      [this, page](int row, int column, const std::wstring& text) { return OnCellChanged(page, row, column, text); });
  PlaceList(list, area);
  list.SetFont(font);
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  for (int column = 0; column < theme::kColumnCount; ++column) {
    list.InsertColumn(column, win32::LoadUiString(IDS_COLUMN_FIRST + column).c_str(), LVCFMT_LEFT, -1);
  }
  list.SetColumnShares(kColumnWidths);  // every column in view, whatever the list's width

  win32::CEdit& box = m_sizeNameBoxes.at(page);
  box.Create(kBoxStyle, kSizeNameBoxRect, m_tab.GetSafeHwnd(), IDC_SIZE_NAME, WS_EX_CLIENTEDGE);
  box.SetFont(font);
  BindBox(box, m_model.pages().sizeNameBoxes.at(page));

  // Created under the dialog so that its notifications go to the dialog, then shown on
  // the tab control's body with the other page widgets.
  win32::CComboBox& combo = m_bulkCombos.at(page);
  combo.Create(kBulkComboStyle, kBulkComboRect, m_hWnd, IDC_BULK_FONT);
  combo.SetParent(m_tab.GetSafeHwnd());
  combo.SetFont(font);
  widgets::AddInstalledFaces(combo);
}

void CMainDlg::BindBox(win32::CEdit& box, theme::EditableText& value) {
  // `value` lies in the model's pages, which a load assigns anew but never moves: the reference holds.
  // A field holds at most this many units: a longer name could not be written whole.
  box.SendMessage(EM_LIMITTEXT, theme::kMaxFieldUnits);
  box.SetChangedHandler([this, &value](const std::wstring& text) {
    SetShownText(value, win32::ToU16(text), m_cp);
    UpdateTitle();
  });
}

void CMainDlg::PlaceList(const win32::CWnd& list, const RECT& area) {
  list.SetWindowPos(nullptr, area.left + 5, area.top + 40, (area.right - area.left) - 10,
                    (area.bottom - area.top) - 45, SWP_NOZORDER);
}

bool CMainDlg::OnSize(WPARAM wp, LPARAM lp, LRESULT&) {
  if (wp == SIZE_MINIMIZED || m_tab.GetSafeHwnd() == nullptr) return false;
  RECT tabRect = m_tab.GetWindowRect();
  ScreenToClient(tabRect);
  const int width = LOWORD(lp) - m_tabMargin.cx - tabRect.left;
  const int height = HIWORD(lp) - m_tabMargin.cy - tabRect.top;
  m_tab.SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  RECT area{tabRect.left, tabRect.top, tabRect.left + width, tabRect.top + height};
  m_tab.AdjustRect(false, &area);
  for (auto& list : m_fontLists) {
    list.HideSample();  // it would stand where a row was
    PlaceList(list, area);
  }
  ShowPage(m_tab.GetCurSel());  // the tab paints over the page; the page again over it
  return false;
}

bool CMainDlg::OnGetMinMaxInfo(WPARAM, LPARAM lp, LRESULT& result) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lp);
  if (m_minSize.cx > 0) info->ptMinTrackSize = POINT{m_minSize.cx, m_minSize.cy};
  result = 0;
  return true;
}

void CMainDlg::SelectPage(int page) {
  m_tab.SetCurSel(page);
  ShowPage(page);
}

void CMainDlg::ShowPage(int page) {
  // A focused widget of the page that goes hands the focus to its like on the new page.
  HWND focus = ::GetFocus();
  int focusKind = -1;  // 0 the list (or its editor), 1 the size-name box, 2 the bulk combo
  for (int k = 0; k < kPages; ++k) {
    if (k == page) continue;
    HWND list = m_fontLists.at(k).GetSafeHwnd();
    if (focus == list || (focus != nullptr && ::GetParent(focus) == list)) focusKind = 0;
    if (focus == m_sizeNameBoxes.at(k).GetSafeHwnd()) focusKind = 1;
    if (focus == m_bulkCombos.at(k).GetSafeHwnd()) focusKind = 2;
  }
  for (int k = 0; k < kPages; ++k) {
    const int command = k == page ? SW_SHOW : SW_HIDE;
    m_fontLists.at(k).ShowWindow(command);
    m_sizeNameBoxes.at(k).ShowWindow(command);
    m_bulkCombos.at(k).ShowWindow(command);
  }
  // The page widgets overlap the tab control, which paints over them whenever its
  // tabs change; paint the tab first and the page over it, frames included.
  ::RedrawWindow(m_tab.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  if (page >= 0 && page < kPages) {
    ::RedrawWindow(m_fontLists.at(page).GetSafeHwnd(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const std::array<HWND, 3> likes{m_fontLists.at(page).GetSafeHwnd(), m_sizeNameBoxes.at(page).GetSafeHwnd(),
                                    m_bulkCombos.at(page).GetSafeHwnd()};
    if (focusKind >= 0) ::SetFocus(likes.at(static_cast<std::size_t>(focusKind)));
  }
  ShowBoxStates();
}

bool CMainDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  using win32::OnCommand;
  using win32::OnMsg;
  using win32::OnNotify;
  static constexpr win32::MessageEntry<CMainDlg> kMessageMap[] = {
      OnMsg(WM_SYSCOMMAND, &CMainDlg::OnSysCommand),
      OnMsg(WM_PAINT, &CMainDlg::OnPaint),
      OnMsg(WM_QUERYDRAGICON, &CMainDlg::OnQueryDragIcon),
      OnMsg(WM_SETTINGCHANGE, &CMainDlg::OnSettingChange),
      OnMsg(WM_CLOSE, &CMainDlg::OnClose),
      OnMsg(WM_ACTIVATE, &CMainDlg::OnActivate),
      OnMsg(WM_DESTROY, &CMainDlg::OnDestroy),
      OnMsg(WM_DROPFILES, &CMainDlg::OnDropFiles),
      OnMsg(WM_SIZE, &CMainDlg::OnSize),
      OnMsg(WM_GETMINMAXINFO, &CMainDlg::OnGetMinMaxInfo),
      OnMsg(WM_CONTEXTMENU, &CMainDlg::OnContextMenu),
      OnMsg(kLoadStartupFile, &CMainDlg::OnLoadStartupFile),
      OnNotify(static_cast<UINT>(TCN_SELCHANGE), IDC_TAB, &CMainDlg::OnTabSelChange),
      OnCommand(BN_CLICKED, IDC_LOAD, &CMainDlg::OnLoad),
      OnCommand(BN_CLICKED, IDC_WRITE, &CMainDlg::OnWrite),
      OnCommand(BN_CLICKED, IDC_VERSION, &CMainDlg::OnVersion),
      OnCommand(CBN_SELENDOK, IDC_BULK_FONT, &CMainDlg::OnBulkFontSelChange),
      OnCommand(0, IDM_UNDO, &CMainDlg::OnUndo),
      OnCommand(0, IDM_REDO, &CMainDlg::OnRedo),
      OnCommand(0, IDM_SIZES_LARGER, &CMainDlg::OnSizesLarger),
      OnCommand(0, IDM_SIZES_SMALLER, &CMainDlg::OnSizesSmaller),
      OnCommand(0, IDM_FONTS_FROM_THEME, &CMainDlg::OnFontsFromTheme),
      OnCommand(0, IDM_COPY, &CMainDlg::OnCopy),
      OnCommand(0, IDM_SELECT_ALL, &CMainDlg::OnSelectAll),
  };
  return win32::RouteMessage<CMainDlg>(*this, kMessageMap, msg, wp, lp, result) ||
         win32::CDialog::OnMessage(msg, wp, lp, result);
}

bool CMainDlg::OnSysCommand(WPARAM wp, LPARAM, LRESULT& result) {
  if ((wp & 0xFFF0) != IDM_ABOUTBOX) return false;  // move, close and the others: default handling
  OnAbout();
  result = 0;
  return true;
}

bool CMainDlg::OnPaint(WPARAM, LPARAM, LRESULT& result) {
  if (::IsIconic(m_hWnd) == FALSE) return false;
  win32::CPaintDC dc(m_hWnd);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const RECT client = GetClientRect();
  const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc.GetSafeHdc(), x, y, m_icon.GetSafeHandle());
  result = 0;
  return true;
}

bool CMainDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result) {
  result = reinterpret_cast<LRESULT>(m_icon.GetSafeHandle());
  return true;
}

bool CMainDlg::OnSettingChange(WPARAM wp, LPARAM, LRESULT& result) {
  result = Default();
  if (wp == SPI_SETNONCLIENTMETRICS) ::InvalidateRect(m_hWnd, nullptr, TRUE);
  return true;
}

bool CMainDlg::OnActivate(WPARAM wp, LPARAM, LRESULT&) {
  // A sample tip stays on top of everything: not over another program or a box.
  if (LOWORD(wp) == WA_INACTIVE) {
    for (auto& list : m_fontLists) list.HideSample();
  }
  return false;
}

bool CMainDlg::OnDestroy(WPARAM, LPARAM, LRESULT&) {
  if (m_keyFilter != nullptr) ::UnhookWindowsHookEx(m_keyFilter);
  m_keyFilter = nullptr;
  return false;
}

bool CMainDlg::OnLoadStartupFile(WPARAM, LPARAM, LRESULT& result) {
  LoadFrom(m_startupPath);
  result = 0;
  return true;
}

void CMainDlg::OnVersion() {
  OnAbout();
  TrimWorkingSet();
}

bool CMainDlg::OnClose(WPARAM, LPARAM, LRESULT& result) {
  result = 0;
  if (!MayDiscardEdits()) return true;
  if (m_image.loaded()) ReleaseTheme();
  EndDialog(IDCANCEL);  // as "終了" ends it
  return true;
}

void CMainDlg::OnCancel() {
  if (MayDiscardEdits()) win32::CDialog::OnCancel();
}

void CMainDlg::RememberWrittenValues() {
  m_model.MarkWritten();
  UpdateTitle();
}

void CMainDlg::UpdateTitle() {
  // "light.msstyles * - Marvento" with unwritten edits, "Marvento" before a load.
  std::wstring title = kCaption;
  if (m_image.loaded()) {
    title = win32::FromAnsi(::PathFindFileNameA(m_loadedPath.c_str())) + (HasUnwrittenEdits() ? L" * - " : L" - ") + title;
  }
  if (title != GetWindowText()) SetWindowText(title);
}

// Edits count only while a theme is loaded: without one there is nothing to write.
bool CMainDlg::HasUnwrittenEdits() const { return m_image.loaded() && m_model.HasUnwrittenEdits(); }

bool CMainDlg::MayDiscardEdits() { return !HasUnwrittenEdits() || ConfirmDiscard(); }

bool CMainDlg::ConfirmDiscard() {
  // "No" is the default button: Enter keeps the edits.
  return ::MessageBoxW(m_hWnd, win32::LoadUiString(IDS_DISCARD_QUESTION).c_str(), kCaption,
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CMainDlg::ReleaseTheme() { m_image = theme::ThemeImage{}; }

void CMainDlg::OnTabSelChange() { ShowPage(m_tab.GetCurSel()); }

void CMainDlg::OnAbout() {
  CAboutDlg about(this);
  about.DoModal();
}

void CMainDlg::OnBulkFontSelChange() {
  // Only the selected page is touched, whichever combo spoke (only its combo is shown).
  const int page = m_tab.GetCurSel();
  if (page < 0 || page >= kPages) return;
  const win32::CComboBox& combo = m_bulkCombos.at(page);
  const int index = combo.GetCurSel();
  if (index == CB_ERR) return;
  const std::wstring face = combo.GetLBText(index);
  const std::u16string wide = win32::ToU16(face);
  RecordAction([this, page, &wide](theme::FontPages& pages) {  // the whole input is one step
    for (std::size_t row = 0; row < pages.rowCount(page); ++row) {
      theme::EditableText value = pages.rows(page)[row].font;
      if (SetShownText(value, wide, m_cp)) pages.setValue(page, row, theme::kColFont, std::move(value));
    }
  });
}

void CMainDlg::RecordAction(const std::function<void(theme::FontPages&)>& action) {
  // An editor left open would show the value its cell had before.
  for (auto& list : m_fontLists) list.CloseEditors();
  ShowStep(m_model.Record(action));
}

std::array<bool, CMainDlg::kPages> CMainDlg::ShowStep(const EditStep& step) {
  std::array<bool, kPages> touched{};
  for (const CellChange& change : step) {
    ShowCellFromModel(change.page, change.row, change.column);
    touched.at(static_cast<std::size_t>(change.page)) = true;
  }
  for (int page = 0; page < kPages; ++page) {
    if (touched.at(static_cast<std::size_t>(page))) ShowBulkFromModel(page);
  }
  UpdateTitle();
  return touched;
}

void CMainDlg::ResizeShownPage(int steps) {
  const int page = m_tab.GetCurSel();
  if (!m_image.loaded() || page < 0 || page >= kPages) return;
  RecordAction([page, steps](theme::FontPages& pages) { theme::growSizes(pages, steps, {page}); });
}

void CMainDlg::OnFontsFromTheme() {
  if (!m_image.loaded()) return;
  std::string path;
  if (!ChooseFontSource(path)) return;
  // The other theme is read as a load reads one, in the same language; only its pages are kept.
  theme::FontPages source;
  if (!ReadTheme(path, source, IDS_FONTS_FROM_FAILED, theme::Reading::ListedPartsOnly)) return;
  theme::CarriedFonts carried;
  // Every page in one step.
  RecordAction([&](theme::FontPages& pages) { carried = theme::carryFonts(source, pages, m_cp); });

  std::wstring text = Fill(win32::LoadUiString(IDS_FONTS_FROM_DONE),
                           {win32::FromAnsi(path), std::to_wstring(carried.changed),
                            std::to_wstring(carried.alreadyAlike), std::to_wstring(carried.unmatched.size())});
  if (!carried.pagesMissing.empty()) {
    std::wstring pages;
    for (const int page : carried.pagesMissing) {
      if (!pages.empty()) pages += L", ";
      pages += win32::FromU16(m_model.pages().sizeNames.at(page));
    }
    text += Fill(win32::LoadUiString(IDS_FONTS_FROM_PAGES_LACKING), {pages});
  }
  ShowMessage(text, MB_ICONINFORMATION);
}

void CMainDlg::OnCopy() {
  // The selected rows as `marvento-cli list --tsv` prints them on Windows (CRLF line ends).
  const int page = m_tab.GetCurSel();
  if (page < 0 || page >= kPages) return;
  const theme::FontPages& pages = m_model.pages();
  std::string text;
  for (const int row : m_fontLists.at(page).GetSelectedRows()) {
    if (static_cast<std::size_t>(row) >= pages.rowCount(page)) continue;
    // Each cell as the list shows it: the theme's own text, not its code-page form.
    std::vector<std::u16string> cells;
    for (int column = 0; column < theme::kColumnCount; ++column) {
      cells.push_back(win32::ToU16(ShownCell(pages.rows(page).at(static_cast<std::size_t>(row)), column, m_cp)));
    }
    text += theme::tsvLine(page, cells) + "\r\n";
  }
  if (!text.empty()) win32::SetClipboardText(m_hWnd, theme::utf8ToUtf16(text));
}

void CMainDlg::OnSelectAll() {
  const int page = m_tab.GetCurSel();
  if (page >= 0 && page < kPages) m_fontLists.at(page).SelectAll();
}

bool CMainDlg::OnContextMenu(WPARAM wp, LPARAM lp, LRESULT& result) {
  const auto from = reinterpret_cast<HWND>(wp);
  const int page = m_tab.GetCurSel();
  if (page < 0 || page >= kPages || from != m_fontLists.at(page).GetSafeHwnd()) return false;
  const widgets::CFontListCtrl& list = m_fontLists.at(page);
  // Screen coordinates, negative on a monitor left of or above the first.
  POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  if (at.x == -1 && at.y == -1) at = list.ContextMenuPoint();  // from the keyboard

  const bool rows = m_image.loaded() && m_model.pages().rowCount(page) > 0;
  const auto enabled = [&](UINT command) {
    switch (command) {
      case IDM_UNDO: return m_model.CanUndo();
      case IDM_REDO: return m_model.CanRedo();
      case IDM_FONTS_FROM_THEME: return m_image.loaded();
      case IDM_COPY: return !list.GetSelectedRows().empty();
      default: return rows;
    }
  };
  HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr) return false;
  for (std::size_t i = 0; i < kMenuCommands.size(); ++i) {
    const UINT command = kMenuCommands.at(i);
    const std::wstring text = win32::LoadUiString(IDS_MENU_FIRST + static_cast<UINT>(i));
    ::AppendMenuW(menu, MF_STRING | (enabled(command) ? MF_ENABLED : MF_GRAYED), command, text.c_str());
    if (SeparatorAfter(command)) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  }
  // The chosen command comes as WM_COMMAND, as from the keys.
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
  ::DestroyMenu(menu);
  result = 0;
  return true;
}

std::wstring CMainDlg::OnCellChanged(int page, int row, int column, const std::wstring& text) {
  if (row < 0 || static_cast<std::size_t>(row) >= m_model.pages().rowCount(page)) return {};
  std::wstring refused = WhyRefused(column, text);
  if (!refused.empty()) return refused;  // nothing written
  if (!m_model.SetCellText(page, row, column, win32::ToU16(text))) return {};
  ShowCellFromModel(page, row, column);
  ShowBulkFromModel(page);
  UpdateTitle();
  return {};
}

void CMainDlg::ShowBulkFromModel(int page) {
  const auto& rows = m_model.pages().rows(page);
  const std::u16string first = rows.empty() ? std::u16string() : rows.front().font.toWrite(m_cp);
  const bool shared = !rows.empty() && std::all_of(rows.begin(), rows.end(), [this, &first](const theme::FontRow& row) {
    return row.font.toWrite(m_cp) == first;
  });
  const win32::CComboBox& combo = m_bulkCombos.at(page);
  combo.SetCurSel(shared ? combo.FindStringExact(-1, win32::FromU16(first).c_str()) : -1);
}

void CMainDlg::ShowCellFromModel(int page, int row, int column) {
  const std::wstring text = ShownCell(m_model.pages().rows(page).at(static_cast<std::size_t>(row)), column, m_cp);
  m_fontLists.at(page).SetItemText(row, column, text.c_str());
}

void CMainDlg::UndoOrRedo(bool redo) {
  if (redo ? !m_model.CanRedo() : !m_model.CanUndo()) return;
  for (auto& list : m_fontLists) list.CloseEditors();
  const std::optional<EditStep> step = redo ? m_model.Redo() : m_model.Undo();
  if (!step) return;
  const std::array<bool, kPages> touched = ShowStep(*step);
  // A page that changed is shown, so the user sees what was undone.
  const int shown = m_tab.GetCurSel();
  const int page = step->front().page;
  const bool shownChanged = shown >= 0 && shown < kPages && touched.at(static_cast<std::size_t>(shown));
  if (!shownChanged && page < m_tab.GetItemCount()) SelectPage(page);
}

bool CMainDlg::OnListKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_TAB && win32::KeyHeld(VK_CONTROL)) {
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or the previous page, round.
    const int count = m_tab.GetItemCount();
    if (count > 1) {
      const int page = (m_tab.GetCurSel() + (win32::KeyHeld(VK_SHIFT) ? count - 1 : 1)) % count;
      SelectPage(page);
    }
    return true;
  }
  if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
  // The size editor's typing box, dropped or not: Enter writes what it holds (the entry
  // the keys moved to, or a typed size), Esc closes it without writing.
  HWND parent = ::GetParent(msg.hwnd);
  for (auto& list : m_fontLists) {
    if (parent == nullptr || parent != list.GetOpenEditor()) continue;
    if (msg.wParam == VK_RETURN) {
      list.CommitOpenEditor();
    } else {
      list.CloseEditors();
      ::SetFocus(list.GetSafeHwnd());
    }
    return true;
  }
  // A dropped list (an editor's or a bulk combo's) takes its own Enter (choose) and Esc
  // (close, nothing written).
  if (win32::IsClass(msg.hwnd, L"ComboBox") && ::SendMessageW(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0) return false;
  for (auto& list : m_fontLists) {
    HWND editor = list.GetOpenEditor();
    const bool inList = msg.hwnd == list.GetSafeHwnd();
    const bool inEditor = editor != nullptr && msg.hwnd == editor;
    if (msg.wParam == VK_ESCAPE && editor != nullptr) {
      // Esc closes the open editor, wherever the focus is; only then does it end the program.
      list.CloseEditors();
      if (inEditor) ::SetFocus(list.GetSafeHwnd());
      return true;
    }
    if (msg.wParam == VK_RETURN && inList) {
      list.OpenCurrentEditor();
      return true;
    }
    if (msg.wParam == VK_RETURN && inEditor) {
      ::SendMessageW(editor, CB_SHOWDROPDOWN, TRUE, 0);
      return true;
    }
  }
  return false;
}

bool CMainDlg::OnUndoKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || (msg.wParam != 'Z' && msg.wParam != 'Y')) return false;
  if (!win32::KeyHeld(VK_CONTROL) || win32::KeyHeld(VK_MENU)) return false;
  // The boxes keep their own undo.
  if (win32::IsClass(msg.hwnd, L"Edit")) return false;
  UndoOrRedo(msg.wParam == 'Y' || win32::KeyHeld(VK_SHIFT));
  return true;
}

LRESULT CALLBACK CMainDlg::MessageFilter(int code, WPARAM wp, LPARAM lp) {
  if (code == MSGF_DIALOGBOX && lp != 0) {
    const MSG& msg = *reinterpret_cast<const MSG*>(lp);
    HWND root = msg.hwnd != nullptr ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    auto* dialog = dynamic_cast<CMainDlg*>(win32::CWnd::FromHandlePermanent(root));
    if (dialog != nullptr && (dialog->OnUndoKey(msg) || dialog->OnListKey(msg))) return 1;
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

bool CMainDlg::OnDropFiles(WPARAM wp, LPARAM, LRESULT& result) {
  // Several files: the first is loaded, as if picked in the open dialog.
  auto* drop = reinterpret_cast<HDROP>(wp);
  char path[MAX_PATH] = {};
  const UINT length = ::DragQueryFileA(drop, 0, path, static_cast<UINT>(sizeof path));
  ::DragFinish(drop);
  result = 0;
  if (length != 0) LoadFrom(path);
  return true;
}

bool CMainDlg::ChooseThemeFile(bool open, UINT title, const std::wstring& initialName, std::string& path) const {
  win32::CFileDialog dialog(open, kThemeExtension, initialName, open ? kOpenFlags : kSaveFlags,
                            win32::LoadUiString(IDS_THEME_FILTER), m_hWnd);
  dialog.SetTitle(win32::LoadUiString(title));
  if (dialog.DoModal() != IDOK) return false;
  path = win32::ToAnsi(dialog.GetPathName());  // the core opens files by ANSI paths
  return true;
}

bool CMainDlg::ChooseThemeToLoad(std::string& path) { return ChooseThemeFile(true, IDS_OPEN_TITLE, {}, path); }

bool CMainDlg::ChooseFontSource(std::string& path) { return ChooseThemeFile(true, IDS_FONTS_FROM_TITLE, {}, path); }

bool CMainDlg::ChooseWriteTarget(const std::string& initialName, std::string& path) {
  return ChooseThemeFile(false, IDS_SAVE_TITLE, win32::FromAnsi(initialName), path);
}

void CMainDlg::ShowMessage(const std::wstring& text, UINT icon) {
  // The open editor goes first: left over its cell it would look like an edit in progress.
  for (auto& list : m_fontLists) list.CloseEditors();
  win32::AfxMessageBox(text, MB_OK | icon);
}

void CMainDlg::OnLoad() {
  std::string path;
  if (!ChooseThemeToLoad(path)) return;
  LoadFrom(path);
}

void CMainDlg::LoadFrom(const std::string& path) {
  // The new file is read and checked first: a refused file leaves the open theme, its
  // edits and its pages as they are, and nothing is asked for a file that is not used.
  theme::FontPages pages;
  std::optional<theme::ThemeImage> image = ReadTheme(path, pages, IDS_LOAD_FAILED, theme::Reading::WholeFile);
  if (!image || !MayDiscardEdits()) return;

  for (auto& list : m_fontLists) list.CloseEditors();
  m_image = std::move(*image);
  m_model.Load(std::move(pages));
  m_loadedPath = path;
  ::EnableWindow(GetDlgItem(IDC_WRITE), TRUE);
  ShowPagesFromModel();
  SelectPage(0);
  RememberWrittenValues();
  TrimWorkingSet();
}

std::optional<theme::ThemeImage> CMainDlg::ReadTheme(const std::string& path, theme::FontPages& pages, UINT heading,
                                                    theme::Reading reading) {
  try {
    return theme::loadTheme(path, pages, m_cp, theme::userInterfaceLanguage(), reading);
  } catch (const theme::ThemeError& error) {
    ShowMessage(ReadFailureMessage(heading, path, error.reason(), error.what()), MB_ICONERROR);
  } catch (const std::exception& error) {
    ShowMessage(ReadFailureMessage(heading, path, std::nullopt, error.what()), MB_ICONERROR);
  }
  return std::nullopt;
}

std::wstring CMainDlg::ReadFailureMessage(UINT heading, const std::string& path,
                                          std::optional<theme::ThemeReason> reason, const std::string& what) {
  // The reason in the interface's words, else the core's.
  std::wstring text = reason ? win32::LoadUiString(IDS_REASON_FIRST + static_cast<UINT>(*reason)) : std::wstring();
  if (text.empty()) text = win32::FromAnsi(what);
  return FailureMessage(heading, win32::FromAnsi(path) + L"\n" + text);
}

std::wstring CMainDlg::FailureMessage(UINT heading, const std::wstring& reason) {
  const std::wstring text = win32::LoadUiString(heading);
  return reason.empty() ? text : text + L"\n" + reason;
}

void CMainDlg::ShowPagesFromModel() {
  for (int page = 0; page < kPages; ++page) {
    widgets::CFontListCtrl& list = m_fontLists.at(page);
    list.DeleteAllItems();
    const auto& rows = m_model.pages().rows(page);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const int item = list.InsertItem(static_cast<int>(i), ShownCell(rows[i], theme::kColFile, m_cp).c_str());
      for (int column = theme::kColSection; column < theme::kColumnCount; ++column) {
        list.SetItemText(item, column, ShownCell(rows[i], column, m_cp).c_str());
      }
    }
    list.SetColumnShares(kColumnWidths);  // again: the rows may have brought a scroll bar
  }
  m_tab.DeleteAllItems();
  for (int page = 0; page < m_model.pages().pageCount && page < kPages; ++page) {
    m_tab.InsertItem(page, win32::FromU16(m_model.pages().sizeNames.at(page)).c_str());
  }
  for (int page = 0; page < kPages; ++page) ShowBulkFromModel(page);
  ShowBoxesFromModel();
}

void CMainDlg::ShowBoxesFromModel() {
  for (int page = 0; page < kPages; ++page) {
    m_sizeNameBoxes.at(page).SetWindowText(Shown(m_model.pages().sizeNameBoxes.at(page), m_cp));
  }
  m_styleNameBox.SetWindowText(Shown(m_model.pages().styleNameBox, m_cp));
  ShowBoxStates();
}

void CMainDlg::ShowBoxStates() {
  // The string rewriter changes only strings the file has: a name typed for one it lacks
  // would be dropped at the write, so the box takes none (as the command line refuses it).
  const std::wstring why = win32::LoadUiString(IDS_NO_NAME_STRING);
  const auto show = [this, &why](const win32::CEdit& box, const theme::EditableText& value, UINT id) {
    const bool lacking = m_image.loaded() && value.original.empty();
    ::EnableWindow(box.GetSafeHwnd(), lacking ? FALSE : TRUE);
    if (m_boxTip == nullptr) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_tab.GetSafeHwnd();
    tool.uId = id;
    ::SendMessageW(m_boxTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!lacking) return;
    tool.uFlags = TTF_SUBCLASS;
    tool.rect = box.GetWindowRect();
    m_tab.ScreenToClient(tool.rect);
    tool.lpszText = const_cast<wchar_t*>(why.c_str());
    ::SendMessageW(m_boxTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  };
  show(m_styleNameBox, m_model.pages().styleNameBox, IDC_STYLE_NAME);
  const int page = m_tab.GetCurSel();
  if (page >= 0 && page < kPages) show(m_sizeNameBoxes.at(page), m_model.pages().sizeNameBoxes.at(page), IDC_SIZE_NAME);
  for (int other = 0; other < kPages; ++other) {
    const bool lacking = m_image.loaded() && m_model.pages().sizeNameBoxes.at(other).original.empty();
    ::EnableWindow(m_sizeNameBoxes.at(other).GetSafeHwnd(), lacking ? FALSE : TRUE);
  }
}

void CMainDlg::OnWrite() {
  std::string target;
  if (!ChooseWriteTarget(::PathFindFileNameA(m_loadedPath.c_str()), target)) return;
  for (auto& list : m_fontLists) list.CloseEditors();
  m_targetPath = target;
  if (!m_image.loaded()) return;

  bool written = false;
  bool signatureDropped = false;
  try {
    const theme::RebuiltTheme rebuilt = theme::rebuildTheme(m_image, m_model.pages(), m_cp);
    theme::writeFileAtomically(m_targetPath, rebuilt);
    // An emptied box shows the name the file kept.
    for (const auto& [id, name] : rebuilt.keptNames()) *m_model.pages().nameBox(id) = name;
    written = true;
    signatureDropped = rebuilt.droppedCertificate();
  } catch (const std::exception& error) {
    ShowMessage(FailureMessage(IDS_WRITE_FAILED, win32::FromAnsi(error.what())), MB_ICONERROR);
  }
  // The file written is the open one from now on: the title names it, the next write offers it.
  if (written) m_loadedPath = m_targetPath;
  if (signatureDropped) ShowMessage(win32::LoadUiString(IDS_SIGNATURE_DROPPED), MB_ICONINFORMATION);
  ShowBoxesFromModel();
  if (written) RememberWrittenValues();
  Invalidate(true);
  TrimWorkingSet();
}
