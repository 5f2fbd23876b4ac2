#pragma once
// marvento-cli writes UTF-8. A Windows console shows text in its own output code page
// (code page 932 on a Japanese XP, whose consoles cannot show UTF-8), so what goes to
// a console is converted to that code page; pipes and files get the UTF-8 unchanged.
#include <functional>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The length of the longest start of `utf8` that does not end inside a character.
std::size_t wholeCharacters(std::string_view utf8);

// A stream buffer that converts UTF-8 to another encoding on its way to `target`.
// A character split between two writes is held back until it is whole.
class ConvertingBuffer : public std::streambuf {
 public:
  using Convert = std::function<std::string(std::string_view utf8)>;

  ConvertingBuffer(Convert convert, std::streambuf* target);
  ~ConvertingBuffer() override;  // passes on what is left, even a cut character
  ConvertingBuffer(const ConvertingBuffer&) = delete;
  ConvertingBuffer& operator=(const ConvertingBuffer&) = delete;

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  bool passOn(std::size_t length);

  Convert convert_;
  std::streambuf* target_;
  std::string pending_;
};

// While it lives, std::cout and std::cerr write in the console's output code page
// when they are a Windows console. Does nothing for pipes, files and elsewhere.
class ConsoleCodePage {
 public:
  ConsoleCodePage();
  ~ConsoleCodePage();  // flushes and gives the streams their own buffers back
  ConsoleCodePage(const ConsoleCodePage&) = delete;
  ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

 private:
  struct Redirect {
    std::ostream* stream;
    std::streambuf* original;
    std::unique_ptr<ConvertingBuffer> buffer;
  };
  std::vector<Redirect> redirects_;
};

}  // namespace cli
