#include "tracking_tip.h"

namespace widgets {

TTTOOLINFOW CTrackingTip::Tool(const wchar_t* text) const {
  // The tip's one tool.
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = m_owner;
  tool.uId = 1;
  tool.lpszText = const_cast<wchar_t*>(text);
  return tool;
}

bool CTrackingTip::Create(HWND owner, DWORD style, const wchar_t* text) {
  m_owner = owner;
  m_tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | style,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                            ::GetModuleHandleW(nullptr), nullptr);
  if (m_tip == nullptr) return false;
  TTTOOLINFOW tool = Tool(text);
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  ::SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return true;
}

void CTrackingTip::Show(const std::wstring& text, POINT screen) const {
  if (m_tip == nullptr) return;
  TTTOOLINFOW tool = Tool(text.c_str());
  if (text.empty()) {
    ::SendMessageW(m_tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  ::SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(m_tip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
  ::SendMessageW(m_tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace widgets
