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

// Changes only the letters a-z; Lithuanian and all other letters stay as they are.
std::string upperAscii(std::string_view text);
// The same, in place.
void makeUpperAscii(std::string& text);

// "&" becomes "&amp;", then '"' becomes "&quot;", so the "&" of "&quot;" is not escaped again.
std::string escapeName(std::string_view text);

// Number of characters (code points) in UTF-8 text.
std::size_t characterCount(std::string_view text);

// The first `count` characters of UTF-8 text.
std::string_view firstCharacters(std::string_view text, std::size_t count);

}  // namespace kvd507::rows
