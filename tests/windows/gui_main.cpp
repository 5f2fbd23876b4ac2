// Entry of the GUI tests: the common controls are registered and the interface language
// chosen as the program's start-up does, then GoogleTest runs the cases on this (the UI) thread.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "ui_language_choice.h"

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);
  ChooseUiLanguage();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
