#pragma once
// Messages in the user's language. Every message is written in English where it is made,
// with {0}, {1}, ... for the parts it takes; in Japanese the table in messages.cpp gives
// the same message with the same parts. Messages the core makes stay as they come.
#include <initializer_list>
#include <string>
#include <string_view>

namespace cli {

// The language messages are made in; main() chooses it from the user's locale and passes
// it to whatever makes a message.
enum class Language { English, Japanese };

// `text` with {k} replaced by the k-th part.
std::string format(std::string_view text, std::initializer_list<std::string_view> parts = {});

// `english` in `language`, with {k} replaced by the k-th part.
std::string say(Language language, std::string_view english, std::initializer_list<std::string_view> parts = {});

}  // namespace cli
