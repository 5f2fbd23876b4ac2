// The value rules every front end shares, judged on characters (UTF-16), not bytes.
#include <gtest/gtest.h>

#include "shown_text.h"
#include "font_pages.h"
#include "value_rules.h"

namespace {

using theme::ValueFault;

TEST(ValueRules, FaultsByColumn) {
  struct Case {
    int column;
    std::u16string value;
    ValueFault fault;
    std::u16string detail;
  };
  const Case cases[] = {
      {theme::kColFont, u"ＭＳ ゴシック", ValueFault::None, u""},
      {theme::kColFont, u"ゼ", ValueFault::None, u""},  // its second byte in code page 932 is '['
      {theme::kColFont, u" \u3000 ", ValueFault::Blank, u""},
      {theme::kColFont, u"a]b", ValueFault::HoldsForbidden, u"]"},
      {theme::kColFont, u"Tahoma ", ValueFault::EdgeBlank, u""},  // the reader would read "Tahoma"
      {theme::kColFont, u"\u3000Tahoma", ValueFault::None, u""},  // the reader keeps it
      {theme::kColSize, u"-16", ValueFault::None, u""},
      {theme::kColSize, u"+9", ValueFault::None, u""},
      {theme::kColSize, u"9.5", ValueFault::NotWholeNumber, u""},
      {theme::kColSize, u"000", ValueFault::Zero, u""},
      {theme::kColSize, u"2147483648", ValueFault::OutOfRange, u""},
      {theme::kColSize, u" 9", ValueFault::EdgeBlank, u""},
      {theme::kColOption, u"", ValueFault::None, u""},
      {theme::kColOption, u"BOLD  italic", ValueFault::None, u""},
      {theme::kColOption, u" ", ValueFault::EdgeBlank, u""},
      {theme::kColOption, u"bold ", ValueFault::EdgeBlank, u""},
      {theme::kColOption, u"Bold Heavy", ValueFault::UnknownOptionWord, u"heavy"},
      {theme::kColOption, u"bold Bold", ValueFault::RepeatedOptionWord, u"bold"},
      {theme::kColKey, u"", ValueFault::None, u""},
  };
  for (const Case& c : cases) {
    const theme::ValueVerdict v = theme::checkValue(c.column, c.value);
    EXPECT_EQ(v.fault, c.fault) << theme::utf16ToUtf8(c.value);
    EXPECT_EQ(v.detail, c.detail) << theme::utf16ToUtf8(c.value);
  }
}

TEST(ValueRules, SizesAndOptionsAsAFontTakesThem) {
  EXPECT_EQ(theme::wholeSize(u"-16"), -16);
  EXPECT_EQ(theme::wholeSize(u"+9"), 9);
  const theme::OptionStyle s = theme::optionStyle(u"italic STRIKEOUT");
  EXPECT_TRUE(s.italic && s.strikeout && !s.bold && !s.underline);
  EXPECT_FALSE(theme::optionStyle(u"BoldItalic").bold) << "words are separated by blanks";
  EXPECT_FALSE(theme::faceFitsAValue(u"Arial, Bold"));
  EXPECT_TRUE(theme::faceFitsAValue(u"   ")) << "installed names are never blank; only the characters count";
}

}  // namespace
