#pragma once
// The main dialog: four buttons, a tab per font page, and for every page a font list,
// a size-name box and a bulk font-name combo, with the style-name box and the labels
// above them. It owns the loaded theme image and the font pages and keeps the lists
// and boxes in step with the pages.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "codepage.h"
#include "controls.h"
#include "dialog.h"
#include "edit_model.h"
#include "errors.h"
#include "face_combo.h"
#include "font_list_ctrl.h"
#include "font_pages.h"
#include "gdi.h"
#include "label_static.h"
#include "theme_image.h"

class CMainDlg : public win32::CDialog {
 public:
  static constexpr int kPages = theme::kMaxPages;

  explicit CMainDlg(win32::CWnd* parent = nullptr);
  ~CMainDlg() override;

  // A theme file to load as soon as the dialog is shown (the command line's argument).
  void SetStartupPath(std::string path) { m_startupPath = std::move(path); }
  CMainDlg(const CMainDlg&) = delete;
  CMainDlg& operator=(const CMainDlg&) = delete;

  // What the tests look at.
  [[nodiscard]] const theme::FontPages& pages() const { return m_model.pages(); }
  [[nodiscard]] const theme::ThemeImage& image() const { return m_image; }
  [[nodiscard]] const std::string& loadedPath() const { return m_loadedPath; }
  [[nodiscard]] const std::string& targetPath() const { return m_targetPath; }
  [[nodiscard]] HWND fontList(int page) const { return m_fontLists.at(page).GetSafeHwnd(); }
  [[nodiscard]] HWND sizeNameBox(int page) const { return m_sizeNameBoxes.at(page).GetSafeHwnd(); }
  [[nodiscard]] HWND bulkCombo(int page) const { return m_bulkCombos.at(page).GetSafeHwnd(); }
  [[nodiscard]] HWND styleNameBox() const { return m_styleNameBox.GetSafeHwnd(); }
  [[nodiscard]] HWND label(int index) const { return m_labels.at(index).GetSafeHwnd(); }
  [[nodiscard]] HWND tab() const { return m_tab.GetSafeHwnd(); }
  // The tip over a name box the theme has no string for.
  [[nodiscard]] HWND boxTip() const { return m_boxTip; }
  // Edits made since the last load or write that no write has saved yet.
  [[nodiscard]] bool HasUnwrittenEdits() const;

 protected:
  // The two file dialogs and the message boxes; tests put given answers in their place.
  virtual bool ChooseThemeToLoad(std::string& path);
  virtual bool ChooseWriteTarget(const std::string& initialName, std::string& path);
  // The theme whose fonts "Fonts from another theme" takes.
  virtual bool ChooseFontSource(std::string& path);
  // `icon` says what the message is: MB_ICONERROR for a refusal, MB_ICONINFORMATION.
  virtual void ShowMessage(const std::wstring& text, UINT icon);
  // Asks whether edits not yet written may be dropped; true to go on.
  virtual bool ConfirmDiscard();

  // The open (`open`) or save dialog for a theme file, titled by string `title`.
  bool ChooseThemeFile(bool open, UINT title, const std::wstring& initialName, std::string& path) const;

  BOOL OnInitDialog() override;
  void DoDataExchange() override;
  void OnOK() override {}  // no control sends IDOK; Enter never ends the dialog
  void OnCancel() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  // Handlers of the message map (OnMessage): true when the message was handled.
  bool OnSysCommand(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnPaint(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnQueryDragIcon(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnSettingChange(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnClose(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnActivate(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnDestroy(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnDropFiles(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnLoadStartupFile(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnSize(WPARAM wp, LPARAM lp, LRESULT& result);
  bool OnGetMinMaxInfo(WPARAM wp, LPARAM lp, LRESULT& result);
  // The font list's context menu, asked for by a list (right click, Shift+F10, menu key).
  bool OnContextMenu(WPARAM wp, LPARAM lp, LRESULT& result);
  void OnTabSelChange();
  void OnLoad();
  void OnWrite();
  void OnVersion();
  void OnBulkFontSelChange();
  // The context menu's commands; the sizes and the copy act on the shown page.
  void OnUndo() { UndoOrRedo(false); }
  void OnRedo() { UndoOrRedo(true); }
  void OnSizesLarger() { ResizeShownPage(1); }
  void OnSizesSmaller() { ResizeShownPage(-1); }
  void OnFontsFromTheme();
  void OnCopy();
  void OnSelectAll();

  void OnAbout();
  void LoadFrom(const std::string& path);
  // A value an editor chose or took typed; returns why it is refused, or nothing.
  std::wstring OnCellChanged(int page, int row, int column, const std::wstring& text);
  // Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo; true when `msg` was such a key.
  bool OnUndoKey(const MSG& msg);
  // Enter and Esc of the font lists and their editors, Ctrl+Tab and Ctrl+Shift+Tab; true
  // when `msg` was one of them.
  bool OnListKey(const MSG& msg);
  void UndoOrRedo(bool redo);
  // Every size of the shown page `steps` larger (negative: smaller), as one undo step.
  void ResizeShownPage(int steps);
  // Runs `action` on the pages; the cells it changed are shown and recorded as one undo step.
  void RecordAction(const std::function<void(theme::FontPages&)>& action);
  // The cells of `step` shown from the model with their pages' bulk combos and the title;
  // returns the pages it touched.
  std::array<bool, kPages> ShowStep(const EditStep& step);
  // The modal loop offers every message to this filter before the dialog manager.
  static LRESULT CALLBACK MessageFilter(int code, WPARAM wp, LPARAM lp);

  void CreatePageWidgets(int page, const RECT& area, HFONT font);
  void ShowPage(int page);
  // The tab of `page` selected and its page shown.
  void SelectPage(int page);
  // The box writes its text into `value` as it changes.
  void BindBox(win32::CEdit& box, theme::EditableText& value);
  // A font list over the tab's display area `area`.
  static void PlaceList(const win32::CWnd& list, const RECT& area);
  // The lists, tabs and boxes made anew from the model.
  void ShowPagesFromModel();
  void ShowBoxesFromModel();
  // The name boxes the theme has no string for are greyed, and say why when pointed at.
  void ShowBoxStates();
  // The bulk combo shows the face every row of the page shares, or nothing.
  void ShowBulkFromModel(int page);
  // Cell (row, column) of a page's list shown from the model.
  void ShowCellFromModel(int page, int row, int column);
  void ReleaseTheme();
  // The values as they are now are the file's (a load or a write); the title says so.
  void RememberWrittenValues();
  bool MayDiscardEdits();
  // The heading of a failure message with the core's reason on the line below.
  static std::wstring FailureMessage(UINT heading, const std::wstring& reason);
  // The theme at `path` read into `pages` (a load, or the fonts of another theme); a file
  // that cannot be read is said with `heading`, the file and the reason, and gives nothing.
  std::optional<theme::ThemeImage> ReadTheme(const std::string& path, theme::FontPages& pages, UINT heading,
                                             theme::Reading reading);
  // A theme could not be read: the heading, the file, and the reason in the interface's language.
  static std::wstring ReadFailureMessage(UINT heading, const std::string& path,
                                        std::optional<theme::ThemeReason> reason, const std::string& what);
  // The title names the loaded file and marks unwritten edits.
  void UpdateTitle();

  theme::ThemeImage m_image;
  std::array<widgets::CFaceCombo, kPages> m_bulkCombos;
  std::array<widgets::CLabelStatic, 3> m_labels;
  win32::CEdit m_styleNameBox;
  std::string m_targetPath;
  std::string m_loadedPath;
  std::array<win32::CEdit, kPages> m_sizeNameBoxes;
  std::array<widgets::CFontListCtrl, kPages> m_fontLists;
  theme::CodePage m_cp;
  EditModel m_model{m_cp};  // the pages and their edits; the widgets show them
  win32::CTabCtrl m_tab;
  win32::CIcon m_icon;  // the dialog's own 16x16 icon, destroyed after its window
  std::string m_startupPath;
  HHOOK m_keyFilter = nullptr;
  HWND m_boxTip = nullptr;  // owned by the dialog: destroyed with it
  SIZE m_tabMargin{};  // from the tab's right and bottom edges to the client area's
  SIZE m_minSize{};    // the window as the template made it: never smaller
};
