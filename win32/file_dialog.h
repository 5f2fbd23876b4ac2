#pragma once
// The common open and save dialogs.
#include <windows.h>

#include <string>

namespace win32 {

class CFileDialog {
 public:
  // `filter` is "description|pattern|..." as the program writes it.
  CFileDialog(bool open, const wchar_t* defaultExtension, std::wstring fileName, DWORD flags, std::wstring filter,
              HWND owner = nullptr);
  // IDOK with the chosen path, or IDCANCEL.
  INT_PTR DoModal();
  [[nodiscard]] const std::wstring& GetPathName() const { return m_path; }
  // The dialog's title; empty keeps the system's own.
  void SetTitle(std::wstring title) { m_title = std::move(title); }

 private:
  bool m_open;
  std::wstring m_defaultExtension;
  std::wstring m_fileName;
  DWORD m_flags;
  std::wstring m_filter;
  HWND m_owner;
  std::wstring m_path;
  std::wstring m_title;
};

}  // namespace win32
