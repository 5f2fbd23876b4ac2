#pragma once
// Message maps: a window class lists what it handles in a table, one line per message,
// command or notification, as the class library's message maps do.
#include <windows.h>

#include <span>

namespace win32 {

template <class T>
struct MessageEntry {
  enum class Kind { Message, Command, CommandRange, Notify };
  Kind kind;
  UINT msg;     // the message (Message), or the notification code (Command, Notify)
  UINT id;      // the control id of a Command or Notify, the first of a CommandRange
  UINT lastId;  // the last control id of a CommandRange
  bool (T::*message)(WPARAM, LPARAM, LRESULT&);  // returns false to leave the message to the base class
  void (T::*command)();                           // a command or notification, handled with result 0
};

// A message; the handler sets the result and returns true, or returns false to pass it on.
template <class T>
constexpr MessageEntry<T> OnMsg(UINT msg, bool (T::*handler)(WPARAM, LPARAM, LRESULT&)) {
  return {MessageEntry<T>::Kind::Message, msg, 0, 0, handler, nullptr};
}
// WM_COMMAND with notification `code` from control `id`.
template <class T>
constexpr MessageEntry<T> OnCommand(UINT code, UINT id, void (T::*handler)()) {
  return {MessageEntry<T>::Kind::Command, code, id, 0, nullptr, handler};
}
// WM_COMMAND with any notification from controls `firstId` to `lastId`; the handler
// reads the code and the id from `wp`.
template <class T>
constexpr MessageEntry<T> OnCommandRange(UINT firstId, UINT lastId, bool (T::*handler)(WPARAM, LPARAM, LRESULT&)) {
  return {MessageEntry<T>::Kind::CommandRange, 0, firstId, lastId, handler, nullptr};
}
// WM_NOTIFY with notification `code` from control `id`.
template <class T>
constexpr MessageEntry<T> OnNotify(UINT code, UINT id, void (T::*handler)()) {
  return {MessageEntry<T>::Kind::Notify, code, id, 0, nullptr, handler};
}

// Runs the first entry of `map` that matches; false when none does or its handler passed.
template <class T>
bool RouteMessage(T& self, std::span<const MessageEntry<T>> map, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  using Kind = typename MessageEntry<T>::Kind;
  for (const MessageEntry<T>& entry : map) {
    bool match = false;
    switch (entry.kind) {
      case Kind::Message:
        match = msg == entry.msg;
        break;
      case Kind::Command:
        match = msg == WM_COMMAND && HIWORD(wp) == entry.msg && LOWORD(wp) == entry.id;
        break;
      case Kind::CommandRange:
        match = msg == WM_COMMAND && LOWORD(wp) >= entry.id && LOWORD(wp) <= entry.lastId;
        break;
      case Kind::Notify: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        match = msg == WM_NOTIFY && header != nullptr && header->code == entry.msg && header->idFrom == entry.id;
        break;
      }
    }
    if (!match) continue;
    if (entry.message != nullptr) return (self.*entry.message)(wp, lp, result);
    (self.*entry.command)();
    result = 0;
    return true;
  }
  return false;
}

}  // namespace win32
