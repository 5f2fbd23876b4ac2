#include "codepage.h"
#include "shown_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace theme {

namespace {

// Length of the character that starts with `lead` in a multibyte code page.
std::size_t charLength(unsigned cp, unsigned char lead) {
#ifdef _WIN32
  if (cp != CP_UTF8) {
    return IsDBCSLeadByteEx(cp, lead) ? 2 : 1;
  }
#endif
  switch (cp) {
    case 932:
      return ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
    case 936:
    case 949:
    case 950:
      return (lead >= 0x81 && lead <= 0xFE) ? 2 : 1;
    case 65001:
      return utf8Length(lead);
    default:
      return 1;
  }
}

// The code pages that hold ASCII as ASCII: every ANSI code page Windows pairs with a
// language (ansiCodePageOf), UTF-8 and US-ASCII. Not so the EBCDIC ones (037, 500, ...).
bool holdsAsciiAsIs(unsigned cp) {
  switch (cp) {
    case 874: case 932: case 936: case 949: case 950:
    case 1250: case 1251: case 1252: case 1253: case 1254: case 1255: case 1256: case 1257: case 1258:
    case 20127: case 65001:
      return true;
    default:
      return false;
  }
}

template <typename Text>
bool allAscii(Text text) {
  return std::all_of(text.begin(), text.end(), [](auto c) { return static_cast<std::uint32_t>(c) < 0x80; });
}

}  // namespace

std::size_t CodePage::ansiSize(std::u16string_view wide) const {
  if (asciiAsIs_ && allAscii(wide)) return wide.size();
  return toAnsi(wide).size();
}

#ifdef _WIN32

struct CodePage::Impl {};

CodePage::CodePage(unsigned id) : id_(id) {
  if (id != 0 && IsValidCodePage(id) == 0) {
    throw std::invalid_argument("unknown code page " + std::to_string(id));
  }
  if (id_ == 0) {
    id_ = GetACP();
  }
  asciiAsIs_ = holdsAsciiAsIs(id_);
}

std::string CodePage::toAnsi(std::u16string_view wide) const {
  if (wide.empty()) return {};
  if (asciiAsIs_ && allAscii(wide)) return std::string(wide.begin(), wide.end());
  const auto* src = reinterpret_cast<const wchar_t*>(wide.data());
  const int n = WideCharToMultiByte(id_, 0, src, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(id_, 0, src, static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::u16string CodePage::toWide(std::string_view ansi) const {
  if (ansi.empty()) return {};
  if (asciiAsIs_ && allAscii(ansi)) return std::u16string(ansi.begin(), ansi.end());
  const int n = MultiByteToWideChar(id_, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::u16string out(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
  if (n > 0) {
    MultiByteToWideChar(id_, 0, ansi.data(), static_cast<int>(ansi.size()), reinterpret_cast<wchar_t*>(out.data()),
                        n);
  }
  return out;
}

#else

namespace {
// iconv_open reports failure as (iconv_t)-1.
bool opened(iconv_t cd) { return reinterpret_cast<std::intptr_t>(cd) != -1; }
}  // namespace

// A converter, opened on first use: loading iconv's modules costs more than the whole
// work of a command whose texts are ASCII.
class LazyConverter {
 public:
  LazyConverter(std::string to, std::string from) : to_(std::move(to)), from_(std::move(from)) {}
  ~LazyConverter() {
    if (opened(cd_)) iconv_close(cd_);
  }
  LazyConverter(const LazyConverter&) = delete;
  LazyConverter& operator=(const LazyConverter&) = delete;
  LazyConverter(LazyConverter&&) = delete;
  LazyConverter& operator=(LazyConverter&&) = delete;

  // Opens it now; false when iconv has no such conversion.
  bool open() {
    std::call_once(once_, [this] { cd_ = iconv_open(to_.c_str(), from_.c_str()); });
    return opened(cd_);
  }
  // The converter; std::invalid_argument when it cannot be opened.
  iconv_t get(unsigned id) {
    if (!open()) throw std::invalid_argument("unknown code page " + std::to_string(id));
    return cd_;
  }

 private:
  std::string to_, from_;
  std::once_flag once_;
  iconv_t cd_ = reinterpret_cast<iconv_t>(std::intptr_t{-1});  // NOLINT(performance-no-int-to-ptr): iconv's own failure value
};

struct CodePage::Impl {
  explicit Impl(const std::string& name) : toAnsi(name, "UTF-16LE"), toWide("UTF-16LE", name) {}
  LazyConverter toAnsi;
  LazyConverter toWide;
};

namespace {

std::string iconvName(unsigned id) {
  if (id == 65001) return "UTF-8";
  if (id == 20127) return "ASCII";
  return "CP" + std::to_string(id);
}

// Runs `cd` over `in`; an unconvertible or incomplete input unit of `unit` bytes is
// replaced by `fallback` and skipped, as the Windows calls do with their default char.
std::string convert(iconv_t cd, std::string_view in, std::size_t unit, std::string_view fallback) {
  std::string out;
  out.resize(in.size() * 2 + 16);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  std::size_t used = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL: one unit cannot be converted.
    if (out.size() - used < fallback.size()) out.resize(out.size() * 2);
    out.replace(used, fallback.size(), fallback);
    used += fallback.size();
    const std::size_t skip = std::min(unit, srcLeft);
    src += skip;
    srcLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  // What a converter with a state still holds (code page 1258 keeps the last letter back
  // in case a combining mark follows) comes out when it is told the input has ended.
  for (;;) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t r = iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (r != static_cast<std::size_t>(-1) || errno != E2BIG) break;
    out.resize(out.size() * 2);
  }
  out.resize(used);
  return out;
}

}  // namespace

CodePage::CodePage(unsigned id)
    : id_(id == 0 ? 932 : id),
      asciiAsIs_(holdsAsciiAsIs(id_)),
      impl_(std::make_unique<Impl>(iconvName(id_))) {
  // The code pages that hold ASCII as it is are all known to iconv; any other is tried now.
  if (!asciiAsIs_ && (!impl_->toAnsi.open() || !impl_->toWide.open())) {
    throw std::invalid_argument("unknown code page " + std::to_string(id));
  }
}

std::string CodePage::toAnsi(std::u16string_view wide) const {
  if (wide.empty()) return {};
  if (asciiAsIs_ && allAscii(wide)) return std::string(wide.begin(), wide.end());
  std::string le(wide.size() * 2, '\0');
  for (std::size_t i = 0; i < wide.size(); ++i) {
    le[2 * i] = static_cast<char>(wide[i] & 0xFF);
    le[2 * i + 1] = static_cast<char>(wide[i] >> 8);
  }
  return convert(impl_->toAnsi.get(id_), le, 2, "?");
}

std::u16string CodePage::toWide(std::string_view ansi) const {
  if (ansi.empty()) return {};
  if (asciiAsIs_ && allAscii(ansi)) return std::u16string(ansi.begin(), ansi.end());
  // The default Unicode character of code page 932 is the katakana middle dot.
  const char16_t fallbackUnit = id_ == 932 ? u'\u30FB' : u'?';
  const std::string fallback{static_cast<char>(fallbackUnit & 0xFF), static_cast<char>(fallbackUnit >> 8)};
  const std::string le = convert(impl_->toWide.get(id_), ansi, 1, fallback);
  std::u16string out(le.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(le[2 * i]) |
                                   (static_cast<unsigned char>(le[2 * i + 1]) << 8));
  }
  return out;
}

#endif

bool CodePage::keepsAscii() const { return asciiAsIs_; }

CodePage::~CodePage() = default;
CodePage::CodePage(CodePage&&) noexcept = default;
CodePage& CodePage::operator=(CodePage&&) noexcept = default;

std::string cutAnsi(std::string_view ansi, std::size_t maxBytes, const CodePage& cp) {
  std::size_t end = 0;
  while (end < ansi.size()) {
    const std::size_t len = charLength(cp.id(), static_cast<unsigned char>(ansi[end]));
    if (end + len > maxBytes) break;
    end += len;
  }
  return std::string(ansi.substr(0, std::min(end, ansi.size())));
}

unsigned ansiCodePageOf(LanguagePreference language) {
  if (!language) return 932;
  const unsigned primary = primaryLanguage(*language);
  const unsigned sub = *language >> 10U;
  switch (primary) {
    case kJapanesePrimary: return 932;
    case 0x04: return sub == 2 || sub == 4 ? 936 : 950;  // Chinese: PRC and Singapore simplified
    case 0x12: return 949;  // Korean
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1B: case 0x1C: case 0x24:
      return 1250;  // Czech, Hungarian, Polish, Romanian, Slovak, Albanian, Slovenian
    case 0x1A: return sub == 3 ? 1251 : 1250;  // Croatian, Bosnian, Serbian: Cyrillic or Latin
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F: case 0x3F:
      return 1251;  // Bulgarian, Russian, Ukrainian, Belarusian, Macedonian, Kazakh
    case 0x08: return 1253;  // Greek
    case 0x1F: return 1254;  // Turkish
    case 0x0D: return 1255;  // Hebrew
    case 0x01: case 0x20: case 0x29: return 1256;  // Arabic, Urdu, Persian
    case 0x25: case 0x26: case 0x27: return 1257;  // Estonian, Latvian, Lithuanian
    case 0x2A: return 1258;  // Vietnamese
    case 0x1E: return 874;   // Thai
    default: return 1252;
  }
}

unsigned defaultCodePage() {
#ifdef _WIN32
  return CodePage::kDefault;
#else
  return ansiCodePageOf(localeLanguage());
#endif
}

}  // namespace theme
