#include "console_output.h"

#include <iostream>
#include <stdexcept>
#include <utility>

#include "shown_text.h"

#ifdef _WIN32
#include <windows.h>

#include "codepage.h"
#endif

namespace cli {

namespace {
// Text is passed on in pieces of about this size, and whenever the stream is flushed.
constexpr std::size_t kPieceBytes = 4096;
}  // namespace

std::size_t wholeCharacters(std::string_view utf8) {
  std::size_t trailing = 0;  // continuation bytes seen from the end
  for (std::size_t i = utf8.size(); i > 0 && trailing < 4; --i) {
    const auto byte = static_cast<unsigned char>(utf8[i - 1]);
    if ((byte & 0xC0) == 0x80) {
      ++trailing;
      continue;
    }
    const std::size_t length = theme::utf8Length(byte);
    return length > trailing + 1 ? i - 1 : utf8.size();
  }
  return utf8.size();  // no lead byte close to the end: not UTF-8, nothing to wait for
}

ConvertingBuffer::ConvertingBuffer(Convert convert, std::streambuf* target)
    : convert_(std::move(convert)), target_(target) {}

ConvertingBuffer::~ConvertingBuffer() { passOn(pending_.size()); }

ConvertingBuffer::int_type ConvertingBuffer::overflow(int_type ch) {
  if (traits_type::eq_int_type(ch, traits_type::eof())) return sync() == 0 ? traits_type::not_eof(ch) : ch;
  const char c = traits_type::to_char_type(ch);
  return xsputn(&c, 1) == 1 ? ch : traits_type::eof();
}

std::streamsize ConvertingBuffer::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.size() >= kPieceBytes && !passOn(wholeCharacters(pending_))) return 0;
  return count;
}

int ConvertingBuffer::sync() {
  if (!passOn(wholeCharacters(pending_))) return -1;
  return target_->pubsync();
}

bool ConvertingBuffer::passOn(std::size_t length) {
  if (length == 0) return true;
  const std::string converted = convert_(std::string_view(pending_).substr(0, length));
  pending_.erase(0, length);
  const auto size = static_cast<std::streamsize>(converted.size());
  return target_->sputn(converted.data(), size) == size;
}

ConsoleCodePage::ConsoleCodePage() {
#ifdef _WIN32
  const UINT id = GetConsoleOutputCP();
  if (id == 0 || id == CP_UTF8) return;
  std::shared_ptr<theme::CodePage> codePage;
  try {
    codePage = std::make_shared<theme::CodePage>(id);
  } catch (const std::invalid_argument&) {
    return;  // a code page Windows cannot convert to: leave the UTF-8 alone
  }
  const ConvertingBuffer::Convert convert = [codePage](std::string_view utf8) {
    return codePage->toAnsi(theme::utf8ToUtf16(utf8));
  };
  const std::pair<std::ostream*, DWORD> streams[] = {{&std::cout, STD_OUTPUT_HANDLE}, {&std::cerr, STD_ERROR_HANDLE}};
  for (const auto& [stream, handle] : streams) {
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(handle), &mode) == 0) continue;  // a pipe or a file
    Redirect r{stream, stream->rdbuf(), std::make_unique<ConvertingBuffer>(convert, stream->rdbuf())};
    stream->rdbuf(r.buffer.get());
    redirects_.push_back(std::move(r));
  }
#endif
}

ConsoleCodePage::~ConsoleCodePage() {
  for (Redirect& r : redirects_) {
    r.stream->flush();
    r.stream->rdbuf(r.original);
  }
}

}  // namespace cli
