#pragma once
// Messages in the user's language. Every message is written in English where it is made,
// with {0}, {1}, ... for the parts it takes; in Japanese the table in messages.cpp gives
// the same message with the same parts. Messages the core makes stay as they come.
#include <initializer_list>
#include <string>
#include <string_view>

namespace cli {

// English until the program chooses (tests of the library parts always read English).
void useJapaneseMessages(bool japanese);

// `english` in the chosen language, with {k} replaced by the k-th part.
std::string say(std::string_view english, std::initializer_list<std::string_view> parts = {});

}  // namespace cli
