#include "file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace win32 {

CFileDialog::CFileDialog(bool open, const char* defaultExtension, const char* fileName, DWORD flags,
                         const char* filter, HWND owner)
    : m_open(open),
      m_defaultExtension(defaultExtension != nullptr ? defaultExtension : ""),
      m_fileName(fileName != nullptr ? fileName : ""),
      m_flags(flags),
      m_filter(filter != nullptr ? filter : ""),
      m_owner(owner) {}

INT_PTR CFileDialog::DoModal() {
  // The system wants the filter's parts separated and ended by NULs.
  std::vector<char> filter(m_filter.begin(), m_filter.end());
  for (char& c : filter) {
    if (c == '|') c = '\0';
  }
  filter.push_back('\0');
  filter.push_back('\0');

  std::vector<char> file(MAX_PATH, '\0');
  m_fileName.copy(file.data(), file.size() - 1);

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_owner;
  ofn.lpstrFilter = filter.data();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
  ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
  ofn.Flags = m_flags | OFN_EXPLORER;
  const BOOL ok = m_open ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
  if (ok == FALSE) return IDCANCEL;
  m_path = file.data();
  return IDOK;
}

}  // namespace win32
