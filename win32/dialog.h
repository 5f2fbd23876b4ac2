#pragma once
// Dialogs built from a dialog template of the program's resources, in the interface
// language chosen at start-up.
#include "wnd.h"

namespace win32 {

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);

  // Runs the dialog modally; returns the value given to EndDialog, or -1 when the
  // template cannot be made into a dialog.
  virtual INT_PTR DoModal();
  // Opens the dialog modelessly (tests drive it by its messages).
  bool Create(HWND parent = nullptr);
  void EndDialog(int result);
  // The value given to EndDialog, or 0 while the dialog has not been ended.
  [[nodiscard]] int GetModalResult() const { return m_modalResult; }

 protected:
  virtual BOOL OnInitDialog();
  // Centres the dialog over its owner (the work area when it has none), kept on the work area.
  void CenterWindow() const;
  virtual void DoDataExchange() {}
  virtual void OnOK();
  virtual void OnCancel();
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  [[nodiscard]] HWND OwnerWindow() const;
  void CenterIfUnplaced() const;

  UINT m_templateId;
  CWnd* m_parent;
  int m_modalResult = 0;
};

}  // namespace win32
