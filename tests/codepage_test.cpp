// The code-page layer and the case-insensitive comparisons the readers route by.
#include <gtest/gtest.h>

#include <stdexcept>

#include "codepage.h"
#include "test_support.h"
#include "text_compare.h"
#include "utf8_codec.h"

namespace marvento_test {
namespace {

TEST(CodePage, ConvertsJapaneseBothWays) {
  const std::string msGothic = sjis({0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53, 0x83, 0x56, 0x83, 0x62, 0x83, 0x4E});
  EXPECT_EQ(cp932().toAnsi(u"ＭＳ ゴシック"), msGothic);
  EXPECT_EQ(cp932().toWide(msGothic), u"ＭＳ ゴシック");
  EXPECT_EQ(cp932().toAnsi(u"\uFF71"), sjis({0xB1}));  // half-width katakana is one byte
  EXPECT_EQ(cp932().toWide(sjis({0xB1})), u"\uFF71");
}

TEST(CodePage, UnmappableCharactersBecomeTheDefaultCharacter) {
  EXPECT_EQ(cp932().toAnsi(u"a\u0639b"), "a?b");
  EXPECT_EQ(cp932().toAnsi(u"\u0639\u0627\u062F\u064A"), "????");
}

#ifndef _WIN32
TEST(CodePage, DefaultIs932) {
  const theme::CodePage cp;
  EXPECT_EQ(cp.id(), 932U);
  EXPECT_EQ(cp.toAnsi(u"\u3042"), sjis({0x82, 0xA0}));
}
#endif

TEST(CodePage, UnknownCodePageIsRefused) { EXPECT_THROW(theme::CodePage(54321), std::invalid_argument); }

TEST(CodePage, CutNeverSplitsADoubleByteCharacter) {
  const std::string a = sjis({0x82, 0xA0});  // あ
  EXPECT_EQ(theme::cutAnsi("x" + a + a, 2, cp932()), "x");
  EXPECT_EQ(theme::cutAnsi("x" + a + a, 3, cp932()), "x" + a);
  EXPECT_EQ(theme::cutAnsi("x" + a + a, 4, cp932()), "x" + a);
  EXPECT_EQ(theme::cutAnsi("abc", 63, cp932()), "abc");
}

TEST(Utf8, SurrogatesAndInvalidBytes) {
  EXPECT_EQ(theme::utf16ToUtf8(u"\u3042"), "\xE3\x81\x82");
  EXPECT_EQ(theme::utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(theme::utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(theme::utf8ToUtf16("\xE3\x81\x82"), u"\u3042");
  EXPECT_EQ(theme::utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
}

TEST(TextCompare, LetterCaseIgnored) {
  EXPECT_TRUE(theme::equalsIgnoreCase(u"NormalSize", u"NORMALsize"));
  EXPECT_FALSE(theme::equalsIgnoreCase(u"Normal", u"Normal "));
  EXPECT_FALSE(theme::equalsIgnoreCase(u"Norma", u"Normal"));
  EXPECT_TRUE(theme::containsIgnoreCase(u"CaptionFONT", u"font"));
  EXPECT_TRUE(theme::containsIgnoreCase(u"xFoNtx", u"font"));
  EXPECT_FALSE(theme::containsIgnoreCase(u"fon t", u"font"));
  EXPECT_FALSE(theme::containsIgnoreCase(u"fon", u"font"));
}

}  // namespace
}  // namespace marvento_test
