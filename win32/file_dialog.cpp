#include "file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace win32 {

CFileDialog::CFileDialog(bool open, const wchar_t* defaultExtension, std::wstring fileName, DWORD flags,
                         std::wstring filter, HWND owner)
    : m_open(open),
      m_defaultExtension(defaultExtension != nullptr ? defaultExtension : L""),
      m_fileName(std::move(fileName)),
      m_flags(flags),
      m_filter(std::move(filter)),
      m_owner(owner) {}

INT_PTR CFileDialog::DoModal() {
  // The system wants the filter's parts separated and ended by NULs.
  std::vector<wchar_t> filter(m_filter.begin(), m_filter.end());
  for (wchar_t& c : filter) {
    if (c == L'|') c = L'\0';
  }
  filter.push_back(L'\0');
  filter.push_back(L'\0');

  std::vector<wchar_t> file(MAX_PATH, L'\0');
  m_fileName.copy(file.data(), file.size() - 1);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_owner;
  ofn.lpstrFilter = filter.data();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
  ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
  ofn.Flags = m_flags | OFN_EXPLORER;
  const BOOL ok = m_open ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
  if (ok == FALSE) return IDCANCEL;
  m_path = file.data();
  return IDOK;
}

}  // namespace win32
