#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvd507::rows {

// Text rules shared by the readers and the writer. All texts are UTF-8.

// Removes every character with a code of 32 or less from both ends; a no-break space stays.
std::string_view trim(std::string_view text);

// Every control character (code below 32) but line feed, carriage return and tab becomes a
// space: a declaration can carry those three, as character references, and no other. In place,
// for texts kept in a buffer that is used again.
void makeControlsSpaces(std::string& text);

// Every letter in capitals by Unicode's full case mapping with no language's own rules: "ė"
// becomes "Ė" and "ß" becomes "SS". Text that is all ASCII only has its a-z changed, without a
// call into ICU; bytes that are no UTF-8 stay as they are.
std::string upperCase(std::string_view text);
// The same, in place.
void makeUpperCase(std::string& text);

// "&" becomes "&amp;", then '"' becomes "&quot;", so the "&" of "&quot;" is not escaped again.
std::string escapeName(std::string_view text);

// Number of characters (code points) in UTF-8 text.
std::size_t characterCount(std::string_view text);

// The first `count` characters of UTF-8 text.
std::string_view firstCharacters(std::string_view text, std::size_t count);

// How many characters of a value a finding quotes: a cell may hold thousands, and a finding is
// read on one line.
inline constexpr std::size_t kQuotedCharacters = 60;

// The value in double quotes as a finding shows it: its first kQuotedCharacters characters and
// "…" when there are more.
std::string quotedValue(std::string_view text);

}  // namespace kvd507::rows
