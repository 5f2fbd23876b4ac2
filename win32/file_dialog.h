#pragma once
// The common open and save dialogs.
#include <windows.h>

#include <string>

namespace win32 {

class CFileDialog {
 public:
  // `filter` is "description|pattern|..." as the program writes it.
  CFileDialog(bool open, const char* defaultExtension, const char* fileName, DWORD flags, const char* filter,
              HWND owner = nullptr);
  // IDOK with the chosen path, or IDCANCEL.
  INT_PTR DoModal();
  [[nodiscard]] const std::string& GetPathName() const { return m_path; }
  // The dialog's title; empty keeps the system's own.
  void SetTitle(std::string title) { m_title = std::move(title); }

 private:
  bool m_open;
  std::string m_defaultExtension;
  std::string m_fileName;
  DWORD m_flags;
  std::string m_filter;
  HWND m_owner;
  std::string m_path;
  std::string m_title;
};

}  // namespace win32
