// The conversion of marvento-cli's UTF-8 output for a console in another code page.
#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include "codepage.h"
#include "cp932.h"
#include "console_output.h"
#include "shown_text.h"

namespace {

constexpr std::string_view kMixed = "ＭＳ ゴシック, Café, 😀 Tahoma\n";

std::string toCp932(std::string_view utf8) { return marvento_test::cp932().toAnsi(theme::utf8ToUtf16(utf8)); }

TEST(WholeCharacters, StopsBeforeACharacterThatIsNotComplete) {
  const std::string go = "ゴ";  // three bytes
  const std::string face = "😀";  // four bytes
  EXPECT_EQ(cli::wholeCharacters(""), 0U);
  EXPECT_EQ(cli::wholeCharacters("ab"), 2U);
  EXPECT_EQ(cli::wholeCharacters("a" + go), 4U);
  EXPECT_EQ(cli::wholeCharacters("a" + go.substr(0, 1)), 1U);
  EXPECT_EQ(cli::wholeCharacters("a" + go.substr(0, 2)), 1U);
  EXPECT_EQ(cli::wholeCharacters("a" + face.substr(0, 3)), 1U);
  EXPECT_EQ(cli::wholeCharacters("a" + face), 5U);
  EXPECT_EQ(cli::wholeCharacters("\x80\x80\x80\x80\x80"), 5U);  // no lead byte: nothing to wait for
}

TEST(ConvertingBuffer, CharactersCutBetweenWritesConvertAsAWhole) {
  std::stringbuf target;
  {
    cli::ConvertingBuffer buffer(toCp932, &target);
    std::ostream out(&buffer);
    for (char c : kMixed) out << c << std::flush;  // every character cut at every byte
  }
  EXPECT_EQ(target.str(), toCp932(kMixed));
  EXPECT_NE(target.str().find("\x82\x6c\x82\x72"), std::string::npos);  // ＭＳ in code page 932
}

TEST(ConvertingBuffer, LongTextPassesOnInPiecesWithoutCuttingCharacters) {
  std::string text;
  while (text.size() < 20000) (text += "x") += kMixed;  // pieces end at shifting byte positions
  std::stringbuf target;
  cli::ConvertingBuffer buffer(toCp932, &target);
  std::ostream out(&buffer);
  out << text.substr(0, 4095);
  out << text.substr(4095, 9001);
  EXPECT_FALSE(target.str().empty()) << "nothing passed on before a flush";
  out << text.substr(13096) << std::flush;
  EXPECT_EQ(target.str(), toCp932(text));
}

TEST(ConvertingBuffer, ACutCharacterLeftAtTheEndIsStillPassedOn) {
  std::stringbuf target;
  {
    cli::ConvertingBuffer buffer(toCp932, &target);
    std::ostream out(&buffer);
    out << "ok " << std::string("ゴ").substr(0, 2) << std::flush;
    EXPECT_EQ(target.str(), "ok ");
  }
  EXPECT_GT(target.str().size(), 3U);
  EXPECT_EQ(target.str().substr(0, 3), "ok ");
}

}  // namespace
