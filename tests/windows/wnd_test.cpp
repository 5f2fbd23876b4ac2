// The class layer's message dispatch: windows stay Unicode once subclassed, a handler that throws does not unwind through the
// system's code, the message still gets the window's own handling, and what was caught
// is written to the debug output.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "controls.h"

namespace {

#ifndef DBG_PRINTEXCEPTION_C
constexpr DWORD DBG_PRINTEXCEPTION_C = 0x40010006;
#endif

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text; a vectored handler
// sees it before the function's own handler swallows it.
std::string g_debugOutput;

LONG CALLBACK CollectDebugOutput(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  if (record.ExceptionCode == DBG_PRINTEXCEPTION_C && record.NumberParameters >= 2) {
    g_debugOutput += reinterpret_cast<const char*>(record.ExceptionInformation[1]);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

class ThrowingStatic : public win32::CStatic {
 public:
  bool unknownType = false;

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_SETTEXT) {
      if (unknownType) throw 42;
      throw std::runtime_error("no text today");
    }
    return win32::CStatic::OnMessage(msg, wp, lp, result);
  }
};

TEST(ClassLayer, ThrowingHandlerIsReportedAndTheMessageHandledByTheWindow) {
  void* handler = ::AddVectoredExceptionHandler(1, &CollectDebugOutput);
  ASSERT_NE(handler, nullptr);
  ThrowingStatic label;
  ASSERT_TRUE(label.Create(L"before", WS_POPUP, RECT{0, 0, 100, 20}, nullptr, 0));
  // A Unicode window, subclassed as one: text no code page holds crosses whole.
  EXPECT_TRUE(::IsWindowUnicode(label.GetSafeHwnd()));

  g_debugOutput.clear();
  label.SetWindowText(L"after \u0639\u3042\u00e9");
  EXPECT_EQ(label.GetWindowText(), L"after \u0639\u3042\u00e9");
  EXPECT_NE(g_debugOutput.find("no text today"), std::string::npos) << g_debugOutput;

  g_debugOutput.clear();
  label.unknownType = true;
  label.SetWindowText(L"again");
  EXPECT_EQ(label.GetWindowText(), L"again");
  EXPECT_NE(g_debugOutput.find("unknown type"), std::string::npos) << g_debugOutput;
  ::RemoveVectoredExceptionHandler(handler);
}

}  // namespace
